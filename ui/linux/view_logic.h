// The parts of the Linux window that decide rather than draw: which layer
// input a key stands for, when the layer's timers are due, which buttons a
// message box offers, and whether the dialog looks different from what was
// last painted. Free of FLTK calls, so tests run them without a display.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "orbel_host_api.h"

namespace orbel_view {

// Modifier keys held during a key press or a click.
struct Modifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// The layer input for a key press: `key` is FLTK's key code
// (Fl::event_key()), `text` the UTF-8 text the key produced. Navigation and
// editing keys become Input::Key with their virtual-key code, printable text
// Input::Text, Alt+F4 the close box. Nothing for keys the dialog has no use
// for (Alt combinations, function keys, lone modifiers).
std::optional<standin::Input> InputForKey(int key, const std::string& text, Modifiers mods);

// What to do about the layer's timers when `pending_ms` of real time have
// passed that the layer's virtual time has not yet been advanced by.
struct TimerPlan {
  bool advance = false;     // advance the layer's time by pending_ms now: a timer is due
  double wait_seconds = 0;  // otherwise wait this long for events (kForever: no timer)
};
constexpr double kForever = 1e20;  // FLTK's "no timeout"
TimerPlan PlanTimers(const std::vector<standin::TimerState>& timers, long long pending_ms);

// The buttons of a message box as fl_choice takes them: choice 0 is what
// Escape and the window's close box give, choice 1 the default (Return).
struct MessageBoxChoices {
  std::vector<std::string> labels;  // for fl_choice's b0, b1, b2
  std::vector<int> answers;         // the MessageBoxA result of each choice
};
MessageBoxChoices ChoicesFor(UINT type);

// Everything of a dialog that shows on the screen, to tell whether it must
// be painted again.
struct Scene {
  std::string title;
  std::vector<standin::ControlState> controls;
  std::vector<std::string> status_texts;
  std::vector<standin::Pixels> surfaces;  // of the controls that have one, in order
};
Scene CaptureScene(HWND dialog);
bool LooksSame(const Scene& a, const Scene& b);

}  // namespace orbel_view
