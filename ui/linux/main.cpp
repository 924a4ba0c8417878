// orbel: the dialog in a window of its own on Linux. The program code runs
// unchanged on the stand-in layer; an FLTK window shows the layer's dialog
// and feeds it the user's input.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app_main.h"
#include "fltk_view.h"
#include "x11_display.h"

int main(int argc, char** argv) {
  if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::puts(
        "usage: orbel (no arguments) - the window with sunrise, sunset, moonrise and moonset "
        "for a date and a place; for the command line see orbel-cli --help");
    return 0;
  }
  std::string why;
  if (!orbel_view::OpenDisplay(&why)) {
    std::fprintf(stderr,
                 "orbel: %s; the window needs a display, orbel-cli does not (orbel-cli --help)\n",
                 why.c_str());
    return 2;
  }
  // Like orbel32.exe the program takes no arguments: AppMain gets the command
  // line and ignores it.
  std::string command_line;
  for (int i = 1; i < argc; ++i) command_line += std::string(i > 1 ? " " : "") + argv[i];

  orbel_view::FltkFrontEnd front_end;
  front_end.Install();
  const int status = AppMain(GetModuleHandleA(nullptr), nullptr, &command_line[0], SW_SHOWDEFAULT);
  front_end.Shutdown();
  return status;
}
