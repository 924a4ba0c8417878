// The files the tools write: PNG pixels as libpng reads them back, the .ico
// rows at sizes that need padding, the messages of failed writes, and files
// that appear whole or not at all.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>
#include <thread>
#include <string>
#include <utility>
#include <vector>

#ifdef ORBEL_HAVE_PNG
#include <png.h>
#endif

#include "ico_file.h"
#include "png_file.h"
#include "ppm_file.h"
#include "whole_file.h"

namespace {

std::vector<uint8_t> Pattern(size_t bytes) {
  std::vector<uint8_t> v(bytes);
  for (size_t i = 0; i < bytes; ++i) v[i] = static_cast<uint8_t>(i * 7 + i / 5);
  return v;
}

#ifdef ORBEL_HAVE_PNG
TEST(PhasePictureFiles, PngReadsBackAsWritten) {
  const std::string path = ::testing::TempDir() + "phase_picture_" + std::to_string(getpid());
  for (const int channels : {3, 4}) {
    const std::vector<uint8_t> pixels = Pattern(5 * 3 * channels);  // rows of odd lengths
    orbel::WritePngFile(path, 5, 3, channels, pixels);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
    EXPECT_EQ(image.format & PNG_FORMAT_FLAG_ALPHA, channels == 4 ? PNG_FORMAT_FLAG_ALPHA : 0u);
    image.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    std::vector<uint8_t> read(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, read.data(), 0, nullptr));
    EXPECT_EQ(read, pixels) << channels;
  }
  std::remove(path.c_str());
}
#endif

// Colour rows of 8-bit indices and mask rows of bits, both padded to 32-bit
// words and stored bottom-up after the headers and 256 colours.
TEST(PhasePictureFiles, IcoRowsArePaddedAndStoredBottomUp) {
  for (const auto [size, colourRow, maskRow] : {std::array<int, 3>{18, 20, 4}, {33, 36, 8}}) {
    SCOPED_TRACE(size);
    orbel::IndexedIcon icon{size, {0x000000, 0x00FFFF}, {}, {}};
    icon.indices.assign(size * size, 0);
    icon.indices[size - 1] = 1;  // top row, last pixel
    icon.transparent.assign(size * size, false);
    icon.transparent[0] = true;  // top row, first pixel
    const std::vector<uint8_t> file = orbel::IcoFile(icon);
    const int colours = 6 + 16 + 40, topRow = colours + 256 * 4 + colourRow * (size - 1);
    const int mask = topRow + colourRow;
    ASSERT_EQ(file.size(), static_cast<size_t>(mask + maskRow * size));
    EXPECT_EQ(file[14] | file[15] << 8, static_cast<int>(file.size()) - 22);
    EXPECT_EQ(file[colours + 4], 0x00);  // colour 1, yellow, is stored blue, green, red
    EXPECT_EQ(file[colours + 6], 0xFF);
    EXPECT_EQ(file[topRow + size - 1], 1);
    EXPECT_EQ(file[topRow + size], 0);  // padding
    EXPECT_EQ(file[mask + maskRow * (size - 1)], 0x80);
  }
}

// Large pictures fail while written, a small PNG when it is closed (libpng
// reports a failing write of its own as an encoding failure).
TEST(PhasePictureFiles, FailedWritesSayWhy) {
  const std::vector<uint8_t> rgb = Pattern(300 * 300 * 3);
  const orbel::IndexedIcon icon{
      256, {}, std::vector<uint8_t>(256 * 256), std::vector<bool>(256 * 256)};
  for (const std::string kind : {"ppm", "ico", "png"}) {
    if (kind == "png" && !orbel::CanWritePng()) continue;
    for (const auto& [path, reason] :
         {std::pair<std::string, std::string>{"/nonexistent/dir/x", "No such file or directory"},
          {"/dev/full", "No space left on device"}}) {
      SCOPED_TRACE(kind + " " + path);
      if (access(path.c_str(), W_OK) != 0 && path == "/dev/full") continue;
      try {
        if (kind == "ppm") orbel::WritePpmFile(path, 300, 300, rgb);
        if (kind == "ico") orbel::WriteIcoFile(path, icon);
        if (kind == "png") orbel::WritePngFile(path, 300, 300, 3, rgb);  // past libpng's buffer
        ADD_FAILURE() << "no error";
      } catch (const std::system_error& e) {
        EXPECT_EQ(e.what(), "cannot write " + path + ": " + reason);
      }
    }
  }
}

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A write that fails part-way (a size limit, as ulimit -f sets) leaves the old
// file as it was and nothing beside it; a symbolic link is written through,
// and stays a link; a FIFO is written directly; a new file gets the mode the
// umask gives, a replaced one keeps its own.
TEST(WholeFile, AppearsWholeOrNotAtAll) {
  const std::string dir = ::testing::TempDir() + "whole_file_" + std::to_string(getpid());
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  const std::string file = dir + "/moon.ppm", link = dir + "/link.ppm", fifo = dir + "/fifo";
  orbel::WriteWholeFile(file, "good");
  chmod(file.c_str(), 0640);
  const pid_t child = fork();
  if (child == 0) {
    const rlimit limit{1000, 1000};
    setrlimit(RLIMIT_FSIZE, &limit);
    try {
      orbel::WriteWholeFile(file, std::string(5000, 'x'));
    } catch (const std::system_error& e) {
      _exit(e.code().value() == EFBIG ? 0 : 2);
    }
    _exit(1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the write did not fail with EFBIG";
  EXPECT_EQ(Contents(file), "good");

  ASSERT_EQ(symlink("moon.ppm", link.c_str()), 0);
  orbel::WriteWholeFile(link, "better");
  struct stat st;
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(Contents(file), "better");
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string piped;
  std::thread reader([&] { piped = Contents(fifo); });
  orbel::WriteWholeFile(fifo, "through the pipe");
  reader.join();
  EXPECT_EQ(piped, "through the pipe");

  for (const char* name : {"moon.ppm", "link.ppm", "fifo"}) {
    std::remove((dir + "/" + name).c_str());
  }
  EXPECT_EQ(rmdir(dir.c_str()), 0) << "a temporary file was left behind";
}

}  // namespace
