// The X11 side of the Linux window that FLTK leaves to the program: opening
// the display without FLTK's fatal error, and the "keep above" hint.
#pragma once

#include <string>

class Fl_Window;

namespace orbel_view {

// Opens the display that DISPLAY names and hands it to FLTK. When there is
// none, returns false and puts the reason, one line, into *why.
bool OpenDisplay(std::string* why);

// Asks the window manager to keep the shown window above normal windows
// (_NET_WM_STATE_ABOVE). Without a window manager, or with one that does not
// follow the hint, nothing happens.
void KeepAbove(Fl_Window* window);

}  // namespace orbel_view
