// orbel: the dialog in a window of its own on Linux. The program code runs
// unchanged on the stand-in layer; an FLTK window shows the layer's dialog
// and feeds it the user's input.
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "app_main.h"
#include "fltk_view.h"
#include "orbel_host_api.h"
#include "orbel_version.h"
#include "standin_resources.h"
#include "x11_display.h"

namespace {

// Written for people and for help2man, which makes the manual page from it.
const char kHelp[] =
    "Usage: orbel [--help | --version]\n"
    "Shows, for one date and one place, the local clock times of sunrise, sunset,\n"
    "moonrise and moonset and a picture of the moon's phase with its name, in a\n"
    "window. The place is typed in degrees, minutes and seconds with its hemispheres,\n"
    "the zone in whole hours. With \"Systemzeit \u00fcbernehmen\" checked the zone,\n"
    "daylight saving and the date follow the system clock; else they are typed. The\n"
    "place, the hemispheres and the two check boxes are kept for the next start.\n"
    "\n"
    "Options:\n"
    "  -h, --help     print this help and exit\n"
    "  --version      print the version and exit\n"
    "\n"
    "Without arguments the window opens; it takes no others. For reports,\n"
    "tables and scripts without a window, see orbel-cli --help.\n"
    "\n"
    "Exit status: 0 when the window was closed, 2 when there is no display or an\n"
    "argument was given.\n";

// An argument as a message may repeat it: printable ASCII, other bytes as
// \xNN, at most 40 of them.
std::string Shown(const char* argument) {
  std::string shown;
  for (size_t i = 0; argument[i] != '\0'; ++i) {
    if (i == 40) return shown + "...";
    const unsigned char c = static_cast<unsigned char>(argument[i]);
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
    shown += c >= 0x20 && c < 0x7F ? std::string(1, static_cast<char>(c)) : escaped;
  }
  return shown;
}

// 0 when what was printed reached standard output, else 1 with the reason.
int Written() {
  if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) return 0;
  std::fprintf(stderr, "orbel: cannot write the output: %s\n", std::strerror(errno));
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kHelp, stdout);
    return Written();
  }
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("orbel %s\n", ORBEL_VERSION_TEXT);
    return Written();
  }
  if (argc > 1) {
    std::fprintf(stderr, "orbel: unknown argument '%s': the window takes none (orbel --help)\n",
                 Shown(argv[1]).c_str());
    return 2;
  }
  std::string why;
  if (!orbel_view::OpenDisplay(&why)) {
    std::fprintf(stderr,
                 "orbel: %s; the window needs a display, orbel-cli does not (orbel-cli --help)\n",
                 why.c_str());
    return 2;
  }
  // Like orbel32.exe the program reads no command line: AppMain gets an empty one.
  char command_line[] = "";

  orbel_view::FltkFrontEnd front_end;
  front_end.Install();
  // The dialog's save of its ten keys reaches the file whole, after it ends.
  standin::HoldProfileWrites();
  RegisterResources();
  const int status = AppMain(GetModuleHandleA(nullptr), nullptr, command_line, SW_SHOWDEFAULT);
  front_end.Shutdown();
  if (!standin::CommitProfileWrites(&why)) {
    std::fprintf(stderr, "orbel: the settings were not saved: %s\n", why.c_str());
    return 1;
  }
  return status;
}
