// Control and inspection of the headless Win32 layer, for tests and for a
// front-end that shows the dialog. Not part of the Win32 surface: program code
// never includes this header.
//
// The layer keeps every window, control, timer and pixel in memory. The modal
// loop of DialogBoxParamA takes "inputs" (what a user does: click, type, keys,
// the close box, a right click, a timer tick) from a queue. A test fills the
// queue before it runs the dialog; a front-end fills it from its own events,
// through the idle hook, and paints from the query functions.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <ctime>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace standin {

// ---------------------------------------------------------------- whole layer

// Destroys every window, class, timer and GDI object; empties the input queue,
// the posted messages, the message-box answers and records; drops the clock
// and time-zone injection, the profile path override and the extra dialog
// templates; clears the idle and message-box hooks.
void Reset();

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
void QueueInputs(std::vector<Input> inputs);
size_t PendingInputs();

// Performs one input on `dialog` at once (for dialogs made with
// CreateDialogParamA), then delivers posted messages. Returns false when the
// input had no target or no effect: unknown or disabled control, a timer that
// is not set, a key with no focus window.
bool Perform(HWND dialog, const Input& input);

// Delivers all posted messages now (the modal loop does this itself).
void DispatchPostedMessages();

// Called by a modal loop whenever its input queue is empty. The hook may queue
// inputs or wait for real events; it returns false to give up. Without a hook,
// or when it gives up, the loop reports "no more input" on stderr, ends the
// dialog with -1 and LoopRanDry() turns true: a script that forgets to close
// the dialog fails instead of hanging.
void SetIdleHook(std::function<bool(HWND dialog)> hook);
bool LoopRanDry();

// ---------------------------------------------------------------- message boxes

struct MessageBoxRecord {
  HWND owner = nullptr;
  std::string text;
  std::string caption;
  UINT type = 0;
  int answer = 0;
};

// Answers are used first-in first-out. Unscripted boxes answer the negative
// choice: IDNO for MB_YESNO / MB_YESNOCANCEL, IDCANCEL for MB_OKCANCEL,
// MB_RETRYCANCEL and MB_CANCELTRYCONTINUE, IDABORT for MB_ABORTRETRYIGNORE,
// IDOK for MB_OK.
void AnswerNextMessageBox(int answer);
const std::vector<MessageBoxRecord>& MessageBoxes();
// A front-end may show real boxes; the hook's result is the answer.
void SetMessageBoxHook(std::function<int(const MessageBoxRecord&)> hook);

// ---------------------------------------------------------------- queries

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
  bool simple = false;
};

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> rgb;  // row-major, RGB() layout
  COLORREF at(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
};

// The innermost modal dialog that is running, else the most recently created
// dialog that still exists, else null.
HWND ActiveDialog();
std::vector<ControlState> Controls(HWND dialog);           // in template (z and tab) order
std::optional<ControlState> Control(HWND dialog, int id);  // first control with that id
std::string Text(HWND dialog, int id);
int Check(HWND dialog, int id);
bool Enabled(HWND dialog, int id);
int FocusedId(HWND dialog);  // control id of the focus window, 0 when none is in the dialog
HWND FindStatusBar(HWND parent);
StatusBarState StatusBar(HWND status_window);
// The client pixels of a window as GetDC surfaces them; empty before any GetDC.
Pixels WindowPixels(HWND hwnd);

struct DialogSnapshot {
  std::string template_name;
  std::string title;
  INT_PTR result = 0;
  std::vector<ControlState> controls;
  std::optional<StatusBarState> status_bar;
  std::map<int, Pixels> pixels;  // by control id, for controls that have a surface
};
// State of the last modal dialog, taken when it ended, just before its windows
// were destroyed.
const DialogSnapshot& LastEndedDialog();

struct DialogBoxCall {
  HINSTANCE instance = nullptr;
  std::string template_name;
  HWND owner = nullptr;
  LPARAM param = 0;
  INT_PTR result = 0;
};
const std::vector<DialogBoxCall>& DialogBoxCalls();

struct WindowState {
  HWND hwnd = nullptr;
  std::string class_name;
  std::string text;
  DWORD style = 0;
  DWORD ex_style = 0;
  HWND parent = nullptr;
  HWND owner = nullptr;
  bool visible = false;
  RECT rect{};
};
std::vector<WindowState> TopLevelWindows();

struct TimerState {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT elapse = 0;
  // Virtual milliseconds until the timer is due (AdvanceTime by at least this
  // much fires it); 0 or less when it is already due.
  long long due_in_ms = 0;
};
std::vector<TimerState> Timers();
// Delivers WM_TIMER (or calls the timer's TIMERPROC) if timer `id` of `hwnd`
// is set; returns false otherwise.
bool FireTimer(HWND hwnd, UINT_PTR id);

int LiveGdiObjects();      // created by the program and not yet deleted
int LiveDeviceContexts();  // from GetDC / CreateCompatibleDC, not yet released
int Beeps();               // MessageBeep calls and refused keystrokes
bool CommonControlsInitialized();

// ---------------------------------------------------------------- clock and zone

// The standard `time` returns the injected clock while one is set (the layer
// defines `time` for the whole program); localtime follows TZ.
void SetClock(time_t t);
void AdvanceClock(long long seconds);
void UseRealClock();
// Sets TZ (a zone name such as "Europe/Berlin" or a POSIX rule such as
// "CET-1CEST,M3.5.0,M10.5.0/3") for localtime and GetTimeZoneInformation.
void SetTimeZone(const std::string& tz);

// Replaces what GetTimeZoneInformation reports. With result
// TIME_ZONE_ID_INVALID the call fails and leaves its argument untouched.
struct TimeZoneOverride {
  LONG bias = 0;
  LONG standard_bias = 0;
  LONG daylight_bias = -60;
  DWORD result = TIME_ZONE_ID_UNKNOWN;
};
void OverrideTimeZoneInformation(std::optional<TimeZoneOverride> tz);

// ---------------------------------------------------------------- profile

// The file behind GetProfileIntA / WriteProfileStringA. Default:
// $XDG_CONFIG_HOME/orbel/win.ini, else $HOME/.config/orbel/win.ini.
void SetProfilePath(const std::string& path);
std::string ProfilePath();

// Makes the next profile write fail as on a full disk once `bytes` bytes of
// the new file are written (at once for 0); the write returns FALSE and
// leaves the old file as it was. One write only; a negative count, or
// Reset(), takes the failure back.
void FailProfileWriteAfter(long long bytes);

// ---------------------------------------------------------------- templates

struct ControlTemplate {
  std::string text;  // UTF-8
  int id = 0;
  std::string class_name;
  DWORD style = 0;
  DWORD ex_style = 0;
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
};

struct DialogTemplate {
  std::string name;
  DWORD style = 0;
  DWORD ex_style = 0;
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  std::string caption;
  int font_size = 0;
  std::string font_face;
  std::vector<ControlTemplate> controls;
};

// Parses the DIALOGEX resource `name` (case-insensitive) out of resource
// script text. `#include "resource.h"` resolves to the program's resource.h.
bool ParseDialogTemplate(const std::string& rc_text, const std::string& name, DialogTemplate* out,
                         std::string* error);
// The program's resource script as embedded at build time.
const std::string& BuiltInResourceScript();
// Makes DialogBoxParamA / CreateDialogParamA find `name` in `rc_text` (for
// test dialogs), or no longer find it (to test a missing template).
void RegisterDialogTemplate(const std::string& name, const std::string& rc_text);
void RemoveDialogTemplate(const std::string& name);

// Dialog units to pixels with the base units of "MS Sans Serif" 8 pt (6 x 13).
int DialogUnitsToPixelsX(int du);
int DialogUnitsToPixelsY(int du);

}  // namespace standin
