// What a front-end needs to show the headless Win32 layer's dialog in a
// window of its own: feeding it the user's input, the hooks through which the
// modal loop waits for events and message boxes are answered, and what to
// paint. Not part of the Win32 surface: program code never includes this
// header. Tests use it through orbel_test_api.h.
//
// The layer keeps every window, control, timer and pixel in memory. The modal
// loop of DialogBoxParamA takes "inputs" (what a user does: click, type, keys,
// the close box, a right click, a timer tick) from a queue. A front-end fills
// the queue from its own events, through the idle hook, and paints from the
// query functions below.
#pragma once

#include <windows.h>

#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace standin {

// ---------------------------------------------------------------- resources

// The program's resource script, as the C preprocessor leaves it (the build
// runs the compiler's preprocessor over the program's .rc file, with
// RC_INVOKED defined, as the resource compiler does on Windows). Its DIALOGEX
// templates are what DialogBoxParamA and CreateDialogParamA find, as Windows
// finds a program's own resources. Register it once, before the first dialog.
void RegisterResourceScript(std::string script);

// ---------------------------------------------------------------- inputs

// How a click or Type() enters an edit control.
enum class EditEntry {
  kSelectAll,   // the whole text is selected, as when tabbing into the field
  kCaretAtEnd,  // the caret goes after the last character, as a click right of the text
};

struct Input {
  enum class Kind {
    kClick,             // left click on control `id` (or `hwnd`)
    kClickAt,           // left click at `point` (dialog client pixels), as the mouse gives it
    kType,              // click into edit `id` as `entry` says, then type `text`
    kText,              // type `text` into whatever has the focus
    kKey,               // press and release `vk` with `shift` / `ctrl` held
    kClose,             // the caption's close box (also Alt+F4, system menu Close)
    kRightClick,        // right click at `point` (dialog client pixels)
    kFireTimer,         // deliver WM_TIMER for timer `timer` of the dialog, if set
    kAdvanceTime,       // advance the virtual time by `ms`: injected clock and due timers
    kAnswerMessageBox,  // the next message box returns `answer`
    kSetClock,          // inject the wall clock `clock`
    kCall,              // run `call(dialog)` inside the loop (checks, custom steps)
  };
  Kind kind = Kind::kCall;
  int id = 0;
  HWND hwnd = nullptr;
  std::string text;
  EditEntry entry = EditEntry::kSelectAll;
  UINT vk = 0;
  bool shift = false;
  bool ctrl = false;
  POINT point{};
  UINT_PTR timer = 0;
  long long ms = 0;
  int answer = 0;
  time_t clock = 0;
  std::function<void(HWND)> call;

  static Input Click(int id);
  static Input ClickWindow(HWND hwnd);
  // A left click at (x, y) in the dialog's client pixels: the control under
  // the point gets it (group boxes let it through to the dialog), an edit puts
  // its caret at the character boundary nearest to x. A disabled control
  // swallows it.
  static Input ClickAt(int x, int y);
  static Input Type(int id, std::string text, EditEntry entry = EditEntry::kSelectAll);
  static Input Text(std::string text);
  static Input Key(UINT vk, bool shift = false, bool ctrl = false);
  static Input Tab() { return Key(VK_TAB); }
  static Input ShiftTab() { return Key(VK_TAB, true); }
  static Input Enter() { return Key(VK_RETURN); }
  static Input Escape() { return Key(VK_ESCAPE); }
  static Input Space() { return Key(VK_SPACE); }
  static Input Close();
  // A right click at (x, y) in the dialog's client pixels; the default point
  // (2, 2) lies on the bare dialog surface of the main dialog.
  static Input RightClick(bool shift, bool ctrl, int x = 2, int y = 2);
  static Input FireTimer(UINT_PTR timer_id);
  static Input AdvanceTime(long long ms);
  static Input AnswerMessageBox(int answer);
  static Input SetClock(time_t t);
  static Input Call(std::function<void(HWND dialog)> fn);
};

// Appends to the queue that modal loops consume in order.
void QueueInput(Input input);

// Performs one input on `dialog` at once (for dialogs made with
// CreateDialogParamA, or while a message box holds the modal loop), then
// delivers posted messages. Returns false when the input had no target or no
// effect: unknown or disabled control, a timer that is not set, a key with no
// focus window.
bool Perform(HWND dialog, const Input& input);

// Called by a modal loop whenever its input queue is empty. The hook may queue
// inputs or wait for real events; it returns false to give up. Without a hook,
// or when it gives up, the loop reports "no more input" on stderr, ends the
// dialog with -1 and LoopRanDry() turns true: a script that forgets to close
// the dialog fails instead of hanging.
void SetIdleHook(std::function<bool(HWND dialog)> hook);

// ---------------------------------------------------------------- message boxes

struct MessageBoxRecord {
  HWND owner = nullptr;
  std::string text;
  std::string caption;
  UINT type = 0;
  int answer = 0;
};

// A front-end may show real boxes; the hook's result is the answer.
void SetMessageBoxHook(std::function<int(const MessageBoxRecord&)> hook);

// ---------------------------------------------------------------- what to paint

struct ControlState {
  HWND hwnd = nullptr;
  int id = 0;
  std::string class_name;    // as created: "Edit", "Button", "msctls_statusbar32", ...
  std::string text;          // UTF-8
  DWORD style = 0;           // current window style (WS_BORDER already turned into
  DWORD ex_style = 0;        // WS_EX_CLIENTEDGE, as the dialog manager does)
  DWORD template_style = 0;  // style and extended style as written in the template
  DWORD template_ex_style = 0;
  RECT rect_du{};    // template rectangle in dialog units (left, top, right, bottom)
  RECT rect_px{};    // window rectangle in the dialog's client pixels
  RECT client_px{};  // GetClientRect: (0, 0, width, height)
  bool enabled = false;
  bool visible = false;
  bool focused = false;
  int check = 0;         // buttons: BST_* state
  size_t sel_start = 0;  // edits: selection in characters
  size_t sel_end = 0;
  size_t caret = 0;  // edits: where the caret is, the end of the selection that moves
};

struct StatusBarState {
  std::vector<int> right_edges;  // as given to SB_SETPARTS; -1 = right end
  std::vector<std::string> texts;
  std::vector<UINT> types;  // SBT_* drawing flags given with each text
};

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> rgb;  // row-major, RGB() layout
  COLORREF at(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
};

std::vector<ControlState> Controls(HWND dialog);  // in template (z and tab) order
HWND FindStatusBar(HWND parent);
StatusBarState StatusBar(HWND status_window);
// The client pixels of a window as GetDC surfaces them; empty before any GetDC.
Pixels WindowPixels(HWND hwnd);

struct TimerState {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT elapse = 0;
  // Virtual milliseconds until the timer is due (AdvanceTime by at least this
  // much fires it); 0 or less when it is already due.
  long long due_in_ms = 0;
};
std::vector<TimerState> Timers();

// ---------------------------------------------------------------- the profile

// From now on the profile writes of this process change what it reads at
// once and reach the file together at CommitProfileWrites, under one lock, so
// that a save of several keys lands whole and two programs saving at once
// each leave a profile wholly theirs.
void HoldProfileWrites();
// Writes the held changes, each file replaced whole. False, with the file and
// the reason in `why`, when a file could not be written; it is left as it was.
bool CommitProfileWrites(std::string* why);

}  // namespace standin
