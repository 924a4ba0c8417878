#include "whole_file.h"

#include <cerrno>
#include <cstdio>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdlib>
#endif

namespace orbel {

namespace {

[[noreturn]] void Fail(const std::string& path, int error) {
  throw std::system_error(error != 0 ? error : EIO, std::generic_category(),
                          "cannot write " + path);
}

#ifdef _WIN32
std::wstring Wide(const std::string& text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(n > 0 ? static_cast<size_t>(n) : 1, L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), n);
  wide.resize(wide.size() - 1);
  return wide;
}

void WriteAll(FILE* file, std::string_view bytes, const std::string& path) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fflush(file) != 0) {
    const int error = errno;
    std::fclose(file);
    Fail(path, error);
  }
}
#else
// Writes everything to a descriptor; false with errno set when that fails.
bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// The file a path stands for: itself, or the end of its chain of symbolic
// links (which need not exist yet).
std::string Target(const std::string& path) {
  std::string target = path;
  for (int links = 0; links < 40; ++links) {
    struct stat st;
    if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
    std::vector<char> link(PATH_MAX + 1);
    const ssize_t n = readlink(target.c_str(), link.data(), PATH_MAX);
    if (n < 0) return target;
    const std::string next(link.data(), static_cast<size_t>(n));
    const size_t slash = target.rfind('/');
    target =
        next[0] == '/' || slash == std::string::npos ? next : target.substr(0, slash + 1) + next;
  }
  return target;
}
#endif

}  // namespace

void WriteWholeFile(const std::string& path, std::string_view bytes) {
#ifdef _WIN32
  if (path == "-") {
    WriteAll(stdout, bytes, "the output");
    return;
  }
  const std::wstring target = Wide(path);
  const std::wstring temporary = target + L".orbel-new";
  FILE* file = _wfopen(temporary.c_str(), L"wb");
  if (file == nullptr) Fail(path, errno);
  WriteAll(file, bytes, path);
  if (std::fclose(file) != 0) {
    const int error = errno;
    _wremove(temporary.c_str());
    Fail(path, error);
  }
  if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    _wremove(temporary.c_str());
    Fail(path, EACCES);
  }
#else
  // A size limit (ulimit -f) makes the write fail with EFBIG instead of
  // ending the process halfway.
  std::signal(SIGXFSZ, SIG_IGN);
  struct stat st;
  const std::string target = path == "-" ? path : Target(path);
  const bool exists = path != "-" && stat(target.c_str(), &st) == 0;
  if (path == "-" || (exists && !S_ISREG(st.st_mode))) {
    const int fd = path == "-" ? 1 : open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) Fail(path, errno);
    const bool written = WriteAll(fd, bytes);
    const int error = errno;
    if (fd != 1) close(fd);
    if (!written) Fail(path, error);
    return;
  }
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string name = folder + (folder == "." ? "/." : ".") + base + ".XXXXXX";
  const int fd = mkstemp(name.data());
  if (fd < 0) Fail(path, errno);
  // The new file keeps the old one's permissions, or gets those of a new file.
  mode_t mode = 0;
  if (exists) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  bool ok = WriteAll(fd, bytes) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
  int error = errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && rename(name.c_str(), target.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    unlink(name.c_str());
    Fail(path, error);
  }
#endif
}

}  // namespace orbel
