// Control and inspection of the headless Win32 layer for tests, beyond what a
// front-end uses (orbel_host_api.h, included here): the whole-layer reset,
// scripted answers and records, state queries, fault and clock injection,
// the profile path and extra dialog templates. Not part of the Win32
// surface: program code never includes this header.
//
// A test fills the input queue before it runs a modal dialog, or performs
// inputs one by one on a dialog made with CreateDialogParamA.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "orbel_host_api.h"

namespace standin {

// ---------------------------------------------------------------- whole layer

// Destroys every window, class, timer and GDI object; empties the input queue,
// the posted messages, the message-box answers and records; drops the clock
// and time-zone injection, the profile path override and the extra dialog
// templates (the program's resource script stays); clears the idle and
// message-box hooks.
void Reset();

// ---------------------------------------------------------------- inputs

void QueueInputs(std::vector<Input> inputs);
bool LoopRanDry();  // see SetIdleHook

// ---------------------------------------------------------------- message boxes

// Answers are used first-in first-out. Unscripted boxes answer the negative
// choice: IDNO for MB_YESNO / MB_YESNOCANCEL, IDCANCEL for MB_OKCANCEL,
// MB_RETRYCANCEL and MB_CANCELTRYCONTINUE, IDABORT for MB_ABORTRETRYIGNORE,
// IDOK for MB_OK.
void AnswerNextMessageBox(int answer);
const std::vector<MessageBoxRecord>& MessageBoxes();

// ---------------------------------------------------------------- queries

// The innermost modal dialog that is running, else the most recently created
// dialog that still exists, else null.
HWND ActiveDialog();
std::optional<ControlState> Control(HWND dialog, int id);  // first control with that id
std::string Text(HWND dialog, int id);
int Check(HWND dialog, int id);
bool Enabled(HWND dialog, int id);
int FocusedId(HWND dialog);  // control id of the focus window, 0 when none is in the dialog

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
// Forgets this process's snapshot of the profile, so that the next read takes
// the file as it is now, as a program started anew does.
void RereadProfile();

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
// script text as the C preprocessor leaves it (see RegisterResourceScript),
// or written without macros, comments and #include.
bool ParseDialogTemplate(const std::string& rc_text, const std::string& name, DialogTemplate* out,
                         std::string* error);
// Makes DialogBoxParamA / CreateDialogParamA find `name` in `rc_text` (for
// test dialogs), or no longer find it (to test a missing template).
void RegisterDialogTemplate(const std::string& name, const std::string& rc_text);
void RemoveDialogTemplate(const std::string& name);

// Dialog units to pixels with the base units of "MS Sans Serif" 8 pt (6 x 13).
int DialogUnitsToPixelsX(int du);
int DialogUnitsToPixelsY(int du);

}  // namespace standin
