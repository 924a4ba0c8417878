// The Linux window of the dialog: an FLTK window that paints what the
// stand-in layer holds (controls, status bar, the phase frame's pixels) and
// turns the user's mouse and keyboard into the layer's inputs. The layer
// stays the only state; the window keeps none of its own.
#pragma once

#include <windows.h>

#include <chrono>
#include <memory>

#include "orbel_host_api.h"

namespace orbel_view {

class DialogWindow;

class FltkFrontEnd {
 public:
  FltkFrontEnd();
  ~FltkFrontEnd();
  FltkFrontEnd(const FltkFrontEnd&) = delete;
  FltkFrontEnd& operator=(const FltkFrontEnd&) = delete;

  // Sets the layer's idle and message-box hooks; the display must be open.
  // From then on every modal dialog shows in a window that opens when its
  // loop first waits for input, and the layer's time follows the real clock.
  void Install();
  // Takes the hooks back and closes the window, after the dialog has ended.
  void Shutdown();

 private:
  bool OnIdle(HWND dialog);
  int OnMessageBox(const standin::MessageBoxRecord& box);
  static void TickDuringMessageBox(void* self);
  // Real milliseconds since Install() that the layer's time has not had yet.
  long long PendingMs() const;

  std::unique_ptr<DialogWindow> window_;
  std::chrono::steady_clock::time_point start_;
  long long advanced_ms_ = 0;
  HWND box_owner_ = nullptr;
};

}  // namespace orbel_view
