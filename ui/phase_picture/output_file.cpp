#include "output_file.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace orbel {
namespace picture_files {

File OpenForWriting(const std::string& path) {
  File file(std::fopen(path.c_str(), "wb"));
  if (!file) throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
  return file;
}

void Finish(File file, const std::string& path) {
  const bool failed = std::ferror(file.get()) != 0;
  if (std::fclose(file.release()) != 0 || failed) {
    throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
  }
}

}  // namespace picture_files
}  // namespace orbel
