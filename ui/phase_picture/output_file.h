// Opening and closing the image files, with the error messages the writers
// share; private to the phase picture library.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace orbel {
namespace picture_files {

struct FileCloser {
  void operator()(FILE* f) const {
    if (f != nullptr) std::fclose(f);
  }
};
using File = std::unique_ptr<FILE, FileCloser>;

// Opens `path` for writing in binary; throws std::runtime_error
// "cannot write PATH: REASON" when it cannot.
File OpenForWriting(const std::string& path);

// Closes the file; throws the same error when a write to it or the closing
// failed (a full disk, say).
void Finish(File file, const std::string& path);

}  // namespace picture_files
}  // namespace orbel
