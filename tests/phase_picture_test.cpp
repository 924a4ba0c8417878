// The phase picture's image files: PNG pixels as libpng reads them back, the
// .ico layout at sizes whose rows need padding, and the messages of writes that
// fail.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#ifdef ORBEL_HAVE_PNG
#include <png.h>
#endif

#include "ico_file.h"
#include "png_file.h"
#include "ppm_file.h"

namespace {

std::vector<uint8_t> Pattern(size_t bytes) {
  std::vector<uint8_t> v(bytes);
  for (size_t i = 0; i < bytes; ++i) v[i] = static_cast<uint8_t>(i * 7 + i / 5);
  return v;
}

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "phase_picture_" + std::to_string(getpid()) + "_" + name;
}

#ifdef ORBEL_HAVE_PNG
TEST(PhasePictureFiles, PngReadsBackAsWritten) {
  for (const int channels : {3, 4}) {
    SCOPED_TRACE(channels);
    const int width = 5, height = 3;  // rows of an odd number of bytes
    const std::vector<uint8_t> pixels = Pattern(static_cast<size_t>(width) * height * channels);
    const std::string path = TempPath("read_back.png");
    orbel::WritePngFile(path, width, height, channels, pixels);

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
    EXPECT_EQ(image.width, static_cast<png_uint_32>(width));
    EXPECT_EQ(image.height, static_cast<png_uint_32>(height));
    EXPECT_EQ(image.format & PNG_FORMAT_FLAG_ALPHA, channels == 4 ? PNG_FORMAT_FLAG_ALPHA : 0u);
    image.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    std::vector<uint8_t> read(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, read.data(), 0, nullptr));
    EXPECT_EQ(read, pixels);
    std::remove(path.c_str());
  }
}
#endif

// Colour rows of 8-bit indices and mask rows of bits, both padded to 32-bit
// words, stored bottom-up after the header, the bitmap header and 256 colours.
TEST(PhasePictureFiles, IcoRowsArePaddedAndStoredBottomUp) {
  struct Case {
    int size;
    size_t colourRow, maskRow;
  };
  for (const Case& c : {Case{18, 20, 4}, Case{33, 36, 8}, Case{64, 64, 8}}) {
    SCOPED_TRACE(c.size);
    const size_t pixels = static_cast<size_t>(c.size) * c.size;
    orbel::IndexedIcon icon;
    icon.size = c.size;
    icon.palette = {0x000000, 0x00FFFF, 0x808080};
    icon.indices.assign(pixels, 2);
    icon.indices[c.size - 1] = 1;  // top row, last pixel
    icon.transparent.assign(pixels, false);
    icon.transparent[0] = true;  // top row, first pixel
    const std::vector<uint8_t> file = orbel::IcoFile(icon);

    const size_t colours = 6 + 16 + 40, indices = colours + 256 * 4;
    const size_t mask = indices + c.colourRow * c.size;
    ASSERT_EQ(file.size(), mask + c.maskRow * c.size);
    EXPECT_EQ(file[6], c.size);
    EXPECT_EQ(file[14] | file[15] << 8 | file[16] << 16, static_cast<int>(file.size() - 22));
    EXPECT_EQ(file[colours + 4], 0x00);  // colour 1, yellow, is stored blue, green, red
    EXPECT_EQ(file[colours + 6], 0xFF);
    EXPECT_EQ(file[colours + 3 * 4], 0x00);  // colours beyond the palette are black
    const size_t topRow = indices + c.colourRow * (c.size - 1);
    EXPECT_EQ(file[topRow + c.size - 1], 1);
    EXPECT_EQ(file[topRow + c.colourRow - 1], c.colourRow > static_cast<size_t>(c.size) ? 0 : 1);
    EXPECT_EQ(file[indices], 2);
    EXPECT_EQ(file[mask + c.maskRow * (c.size - 1)], 0x80);
    EXPECT_EQ(file[mask], 0x00);
  }
}

TEST(PhasePictureFiles, FailedWritesSayWhy) {
  struct Writer {
    const char* name;
    std::function<void(const std::string&)> write;
    std::string prefix;
  };
  const std::vector<uint8_t> rgb = Pattern(300 * 300 * 3);  // more than a stdio buffer holds
  orbel::IndexedIcon icon;
  icon.size = 256;
  icon.indices.assign(256 * 256, 0);
  icon.transparent.assign(256 * 256, false);
  std::vector<Writer> writers = {
      {"ppm", [&](const std::string& p) { orbel::WritePpmFile(p, 300, 300, rgb); },
       "cannot write "},
      {"ico", [&](const std::string& p) { orbel::WriteIcoFile(p, icon); }, ""},
  };
  // A small PNG, which reaches the disk only when the file is closed (libpng
  // reports a failing write of its own as an encoding failure).
  const std::vector<uint8_t> small = Pattern(5 * 3 * 3);
  if (orbel::CanWritePng()) {
    writers.push_back({"png", [&](const std::string& p) { orbel::WritePngFile(p, 5, 3, 3, small); },
                       "cannot write "});
  }
  const struct {
    std::string path, reason;
  } failures[] = {{"/nonexistent/dir/picture", "No such file or directory"},
                  {"/dev/full", "No space left on device"}};
  for (const Writer& writer : writers) {
    for (const auto& failure : failures) {
      SCOPED_TRACE(std::string(writer.name) + " " + failure.path);
      if (access(failure.path.c_str(), W_OK) != 0 && failure.path == "/dev/full") continue;
      try {
        writer.write(failure.path);
        ADD_FAILURE() << "no error";
      } catch (const std::runtime_error& e) {
        EXPECT_EQ(e.what(), writer.prefix + failure.path + ": " + failure.reason);
      }
    }
  }
}

}  // namespace
