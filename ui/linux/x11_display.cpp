#include "x11_display.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <X11/Xatom.h>

#include <cstdlib>

namespace orbel_view {

bool OpenDisplay(std::string* why) {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') {
    *why = "no X display: DISPLAY is not set";
    return false;
  }
  // FLTK's own fl_open_display() ends the process when this fails.
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    *why = std::string("cannot open the X display \"") + name + "\"";
    return false;
  }
  fl_open_display(display);
  return true;
}

void KeepAbove(Fl_Window* window) {
  const Window xid = fl_xid(window);
  if (xid == 0) return;
  const Atom state = XInternAtom(fl_display, "_NET_WM_STATE", False);
  Atom above = XInternAtom(fl_display, "_NET_WM_STATE_ABOVE", False);
  // A window manager that has not yet taken the window reads the property;
  // one that has takes the request.
  XChangeProperty(fl_display, xid, state, XA_ATOM, 32, PropModeAppend,
                  reinterpret_cast<unsigned char*>(&above), 1);
  XEvent request = {};
  request.xclient.type = ClientMessage;
  request.xclient.window = xid;
  request.xclient.message_type = state;
  request.xclient.format = 32;
  request.xclient.data.l[0] = 1;  // _NET_WM_STATE_ADD
  request.xclient.data.l[1] = static_cast<long>(above);
  request.xclient.data.l[3] = 1;  // from a normal application
  XSendEvent(fl_display, RootWindow(fl_display, fl_screen), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &request);
  XFlush(fl_display);
}

}  // namespace orbel_view
