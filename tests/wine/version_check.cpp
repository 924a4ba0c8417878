// Checks the version resource of a Windows program as Explorer's file
// properties read it.
//
//   version_check FILE NAME=VALUE...
//
// NAME is a string of the first translation (FileVersion, ProductName, ...) or
// "fixed", the numeric file version "a.b.c.d". Prints each mismatch; exits 0
// when all match, 1 when one does not, 2 on a usage error.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The value of `name` in the version resource `info`, or "(missing)".
std::string Query(const std::vector<char>& info, const std::string& name) {
  void* data = nullptr;
  UINT size = 0;
  char text[128];
  if (name == "fixed") {
    if (!VerQueryValueA(info.data(), "\\", &data, &size)) return "(missing)";
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(data);
    std::snprintf(text, sizeof text, "%lu.%lu.%lu.%lu", fixed->dwFileVersionMS >> 16,
                  fixed->dwFileVersionMS & 0xffff, fixed->dwFileVersionLS >> 16,
                  fixed->dwFileVersionLS & 0xffff);
    return text;
  }
  if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", &data, &size)) return "(missing)";
  const auto* translation = static_cast<const WORD*>(data);
  std::snprintf(text, sizeof text, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1],
                name.c_str());
  if (!VerQueryValueA(info.data(), text, &data, &size)) return "(missing)";
  return static_cast<const char*>(data);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: version_check FILE NAME=VALUE...\n");
    return 2;
  }
  const DWORD size = GetFileVersionInfoSizeA(argv[1], nullptr);
  std::vector<char> info(size);
  if (size == 0 || !GetFileVersionInfoA(argv[1], 0, size, info.data())) {
    std::printf("%s: no version resource\n", argv[1]);
    return 1;
  }
  int status = 0;
  for (int i = 2; i < argc; ++i) {
    const char* equals = std::strchr(argv[i], '=');
    if (!equals) return 2;
    const std::string name(argv[i], equals - argv[i]), seen = Query(info, name);
    if (seen != equals + 1) {
      std::printf("%s: %s is \"%s\", expected \"%s\"\n", argv[1], name.c_str(), seen.c_str(),
                  equals + 1);
      status = 1;
    }
  }
  return status;
}
