// The one way the tools write a file: whole or not at all. A regular file (or
// a missing one) is written to a temporary file beside it, or beside the target
// of a symbolic link, and renamed over it, so that a failure (a full disk, a
// size limit) leaves the old file as it was. What is not a regular file (a
// FIFO, a device, "-" for standard output) is written directly.
#pragma once

#include <string>
#include <string_view>

namespace orbel {

// Writes `bytes` as the file `path`. Throws std::system_error "cannot write
// PATH: REASON" (the system's reason) when it cannot.
void WriteWholeFile(const std::string& path, std::string_view bytes);

}  // namespace orbel
