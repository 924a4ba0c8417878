// Drives orbel32.exe from outside, the way a user or another program could, for
// the Wine tests.
//
// A console program started under the same Wine prefix (and so the same
// wineserver) as the dialog. It runs its commands in order:
//
//   driver [--title TITLE] [--timeout SECONDS] COMMAND [ARGS]...
//
// Actions (the first one that fails stops the run):
//   start EXE            start EXE; later commands work on its dialog
//   wait-dialog          wait until a visible top-level window titled TITLE exists
//   list-controls        print id, class, text and state of every child control
//   get-text ID          print the text of control ID
//   get-check ID         print 1 when button ID is checked, else 0
//   set-text ID TEXT     set the text of control ID (WM_SETTEXT)
//   type ID TEXT         select the text of field ID and type TEXT over it (WM_CHAR)
//   click ID             click button ID and wait until the dialog handled it
//   press-key KEY        press KEY (escape, return, tab, space or a decimal
//                        virtual-key code) in the dialog's focused control
//   wait-tick            wait until the clock in status part 0 changes, that is
//                        until the dialog's timer has ticked
//   rclick MODIFIERS     right click on the dialog's surface, off every control,
//                        with MODIFIERS held: shift, ctrl, shift+ctrl or none
//   answer-box yes|no    wait for the reset question and answer it
//   wait-exit            wait until the dialog's process has ended; fails
//                        when it ended by an exception (a crash)
//   close-escape, close-enter, close-box
//                        close the dialog by Escape, by Enter or by its close box
//                        (WM_SYSCOMMAND SC_CLOSE), then wait-exit
//   screenshot FILE      save the dialog's window as FILE, a .png or .bmp
//   note TEXT            print TEXT; it labels the failures that follow
//   read-profile [KEY]...  print KEY=VALUE from section ORBEL32 of WIN.INI
//                        (default: the ten keys the program saves)
//   set-profile KEY VALUE  write one key of section ORBEL32
//   delete-profile       remove section ORBEL32
//
// Checks (a failing check is reported and the run goes on; the exit code is 1):
//   expect-text ID TEXT       the text of control ID
//   expect-check ID 0|1       the check state of button ID
//   expect-enabled ID 0|1     whether control ID is enabled
//   expect-status PART TEXT   the text of status bar part PART
//   expect-clock              status part 0 shows hh:mm:ss within 3 s of GetLocalTime
//   expect-system-time        zone 107, daylight box 112 and date 108-110 agree
//                             with GetTimeZoneInformation and GetLocalTime
//   expect-phase AGE          the phase picture of frame 129 on the screen and
//                             the name in status part 2 fit the moon age AGE
//   expect-no-box             no reset question is showing
//   expect-profile KEY=VALUE...  keys of section ORBEL32 (missing keys fail)
//
// A failure names the control, the expected and the seen value, e.g.
//   driver: FAILED [14.12.1999] control 111 (sunrise): expected "08:08", seen "08:09"
// Exit code: 0 all passed, 1 a check or an action failed, 2 a usage error.
//
// Keys are posted to the focused control of the dialog's thread, as the
// keyboard would deliver them, so the dialog manager (IsDialogMessage in the
// modal loop) turns Escape into WM_COMMAND IDCANCEL exactly as for a real key.
// Synthesised input (SendInput) would instead depend on which X window has the
// keyboard focus, which nothing manages on a bare Xvfb display. For the same
// reason clicks are BM_CLICK and the right click is a WM_RBUTTONDOWN sent to the
// dialog with the modifier flags a real click would carry.
//
// Arguments and output are UTF-8; --timeout (default 20 s) bounds every wait.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

namespace {

const wchar_t kSection[] = L"ORBEL32";
const char* const kSavedKeys[] = {"LG", "LM",         "LS",         "BG",    "BM",
                                  "BS", "SystemZeit", "SommerZeit", "North", "East"};
const char kResetCaption[] = "Rrrrrrrrrrrrrrrrrrrrrrrrrrreset";
const char kResetText[] = "Alle Parameter wieder auf Doverizez ?";
const int kStatusBarId = 32778;
const int kPhaseFrameId = 129;

struct Session {
  std::string title = "Zoror ido Rede";
  DWORD timeoutMs = 20000;
  HWND dialog = nullptr;
  DWORD processId = 0;
  HANDLE process = nullptr;  // when this run started the program
  std::string note;          // labels failure messages
  int failures = 0;
};

bool Fail(const char* format, const char* arg = "") {
  std::fprintf(stderr, "driver: ");
  std::fprintf(stderr, format, arg);
  std::fprintf(stderr, "\n");
  return false;
}

// A failed check: reported with the current note, counted, and the run goes on.
void CheckFailed(Session& s, const std::string& what) {
  ++s.failures;
  std::fprintf(stderr, "driver: FAILED %s%s%s\n", s.note.empty() ? "" : "[",
               s.note.empty() ? "" : (s.note + "] ").c_str(), what.c_str());
  std::fflush(stderr);
}

std::string Quote(const std::string& text) {
  return "\"" + text + "\"";
}

// What each control is, for failure messages.
std::string ControlName(int id) {
  static const struct {
    int id;
    const char* name;
  } kNames[] = {{101, "longitude degrees"},
                {102, "longitude minutes"},
                {103, "longitude seconds"},
                {104, "latitude degrees"},
                {105, "latitude minutes"},
                {106, "latitude seconds"},
                {107, "zone"},
                {108, "day"},
                {109, "month"},
                {110, "year"},
                {111, "sunrise"},
                {112, "Sommerzeit box"},
                {113, "sunset"},
                {115, "Systemzeit box"},
                {125, "moonset"},
                {127, "moonrise"},
                {129, "phase frame"},
                {130, "Ost"},
                {131, "West"},
                {132, "Nord"},
                {133, "Süd"},
                {kStatusBarId, "status bar"}};
  std::string out = "control " + std::to_string(id);
  for (const auto& n : kNames) {
    if (n.id == id) return out + " (" + n.name + ")";
  }
  return out;
}

// The driver reads its arguments and prints its output as UTF-8 and talks to
// the windows and WIN.INI through the wide-character API, so that texts such as
// "Süd" arrive intact whatever the ANSI code page of the system is.
std::wstring Wide(const std::string& utf8) {
  std::wstring out(utf8.size() + 1, L'\0');
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &out[0], static_cast<int>(out.size()));
  out.resize(n > 0 ? n - 1 : 0);
  return out;
}

std::string Utf8(const wchar_t* wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n : 1, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, &out[0], n, nullptr, nullptr);
  out.resize(n > 0 ? n - 1 : 0);
  return out;
}

// WM_GETTEXT (not GetWindowText) also reads controls of other processes.
std::string WindowText(HWND w) {
  wchar_t text[1024] = L"";
  SendMessageW(w, WM_GETTEXT, sizeof text / sizeof text[0], reinterpret_cast<LPARAM>(text));
  return Utf8(text);
}

std::string ClassName(HWND w) {
  wchar_t name[64] = L"";
  GetClassNameW(w, name, sizeof name / sizeof name[0]);
  return Utf8(name);
}

// Waits until the dialog's thread has handled everything sent to it before: a
// message sent from another thread is handled only when that thread is back in
// its message loop.
bool Sync(Session& s) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(s.dialog, WM_NULL, 0, 0, SMTO_NORMAL, s.timeoutMs, &result) != 0 ||
         Fail("the dialog does not answer");
}

// The visible top-level windows titled TITLE, of process PID when it is not 0.
struct WindowSearch {
  std::wstring title;
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND w, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  wchar_t text[256] = L"";
  GetWindowTextW(w, text, sizeof text / sizeof text[0]);
  if (search->title != text || !IsWindowVisible(w)) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (search->processId != 0 && pid != search->processId) return TRUE;
  search->found = w;
  return FALSE;
}

HWND FindTopLevel(const std::string& title, DWORD processId) {
  WindowSearch search = {Wide(title), processId, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The dialog found by an earlier command, or the window titled TITLE now.
bool FindDialog(Session& s) {
  if (s.dialog != nullptr && IsWindow(s.dialog)) return true;
  s.dialog = FindTopLevel(s.title, s.processId);
  if (s.dialog == nullptr) return Fail("no window titled \"%s\"", s.title.c_str());
  GetWindowThreadProcessId(s.dialog, &s.processId);
  return true;
}

void ForgetProcess(Session& s) {
  if (s.process != nullptr) CloseHandle(s.process);
  s.process = nullptr;
  s.processId = 0;
  s.dialog = nullptr;
}

// Starts EXE without the variable TZ. Wine passes the Unix TZ (such as
// "Europe/Berlin") on to Windows programs, whose C runtime reads it in its own
// format ("CET-1CEST") and so gets the local time wrong, while the Win32 time
// calls follow the Unix zone. Windows sets no TZ; without it the C runtime
// follows the Win32 zone there as here.
bool Start(Session& s, const char* exe) {
  ForgetProcess(s);
  SetEnvironmentVariableW(L"TZ", nullptr);
  std::wstring commandLine = L"\"" + Wide(exe) + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return Fail("cannot start %s", exe);
  }
  CloseHandle(info.hThread);
  s.process = info.hProcess;
  s.processId = info.dwProcessId;
  return true;
}

bool WaitDialog(Session& s) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND w = FindTopLevel(s.title, s.processId);
    if (w != nullptr) {
      s.dialog = w;
      GetWindowThreadProcessId(w, &s.processId);
      std::printf("dialog \"%s\" visible, class %s, after %lu ms\n", s.title.c_str(),
                  ClassName(w).c_str(), static_cast<unsigned long>(GetTickCount() - start));
      return Sync(s);
    }
    if (s.process != nullptr && WaitForSingleObject(s.process, 0) == WAIT_OBJECT_0) {
      return Fail("the program ended before its dialog \"%s\" appeared", s.title.c_str());
    }
    if (GetTickCount() - start > s.timeoutMs) {
      return Fail("no visible window titled \"%s\" appeared", s.title.c_str());
    }
    Sleep(50);
  }
}

bool ParseControlId(const char* text, int& id) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 0);
  if (end == text || *end != '\0' || value < 0 || value > 0xFFFF) {
    return Fail("bad control id \"%s\"", text);
  }
  id = static_cast<int>(value);
  return true;
}

bool Control(Session& s, const char* idText, HWND& control, int* idOut = nullptr) {
  int id = 0;
  if (!ParseControlId(idText, id) || !FindDialog(s)) return false;
  if (idOut != nullptr) *idOut = id;
  control = GetDlgItem(s.dialog, id);
  return control != nullptr || Fail("the dialog has no control %s", idText);
}

bool ParseFlag(const char* text, bool& flag) {
  if (std::strcmp(text, "0") != 0 && std::strcmp(text, "1") != 0) {
    return Fail("expected 0 or 1, not \"%s\"", text);
  }
  flag = text[0] == '1';
  return true;
}

BOOL CALLBACK PrintControl(HWND w, LPARAM) {
  std::printf("%5d %-18s %s%s \"%s\"\n", GetDlgCtrlID(w), ClassName(w).c_str(),
              IsWindowVisible(w) ? "visible" : "hidden", IsWindowEnabled(w) ? "" : " disabled",
              WindowText(w).c_str());
  return TRUE;
}

bool ListControls(Session& s) {
  if (!FindDialog(s)) return false;
  EnumChildWindows(s.dialog, PrintControl, 0);
  return true;
}

bool IsCheckedButton(HWND button) {
  return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool GetText(Session& s, const char* id) {
  HWND c = nullptr;
  if (!Control(s, id, c)) return false;
  std::printf("%s\n", WindowText(c).c_str());
  return true;
}

bool GetCheck(Session& s, const char* id) {
  HWND c = nullptr;
  if (!Control(s, id, c)) return false;
  std::printf("%d\n", IsCheckedButton(c) ? 1 : 0);
  return true;
}

// WM_SETTEXT is sent, so the field's change notification has been handled,
// and the results recomputed, when it returns.
bool SetText(Session& s, const char* id, const char* text) {
  HWND c = nullptr;
  if (!Control(s, id, c)) return false;
  const std::wstring wide = Wide(text);
  return SendMessageW(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str())) != FALSE ||
         Fail("control %s refused the text", id);
}

// Typing: the whole text selected, then one WM_CHAR per character, each handled
// by the field (and its change notification by the dialog) before the next.
bool Type(Session& s, const char* id, const char* text) {
  HWND c = nullptr;
  if (!Control(s, id, c)) return false;
  SendMessageW(c, EM_SETSEL, 0, -1);
  for (const wchar_t ch : Wide(text)) SendMessageW(c, WM_CHAR, ch, 1);
  return true;
}

// Sent, not posted: it returns when the button and the dialog have handled the
// click. No button of the dialog ends it.
bool Click(Session& s, const char* id) {
  HWND c = nullptr;
  if (!Control(s, id, c)) return false;
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(c, BM_CLICK, 0, 0, SMTO_NORMAL, s.timeoutMs, &result) != 0 ||
         Fail("the click on control %s was not handled", id);
}

bool ParseKey(const char* name, UINT& vk) {
  static const struct {
    const char* name;
    UINT vk;
  } kNames[] = {{"escape", VK_ESCAPE}, {"return", VK_RETURN}, {"tab", VK_TAB}, {"space", VK_SPACE}};
  for (const auto& k : kNames) {
    if (std::strcmp(name, k.name) == 0) {
      vk = k.vk;
      return true;
    }
  }
  char* end = nullptr;
  const long code = std::strtol(name, &end, 10);
  if (end == name || *end != '\0' || code <= 0 || code > 0xFE)
    return Fail("unknown key \"%s\"", name);
  vk = static_cast<UINT>(code);
  return true;
}

bool PressKey(Session& s, const char* name) {
  UINT vk = 0;
  if (!ParseKey(name, vk) || !FindDialog(s)) return false;
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(s.dialog, nullptr);
  HWND target = s.dialog;
  if (GetGUIThreadInfo(thread, &info) && info.hwndFocus != nullptr) target = info.hwndFocus;
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16;
  const bool posted = PostMessageA(target, WM_KEYDOWN, vk, scan | 1) &&
                      PostMessageA(target, WM_KEYUP, vk, scan | 1 | (3u << 30));
  if (!posted) return Fail("cannot post key \"%s\"", name);
  if (target == s.dialog) {
    std::printf("pressed %s in the dialog\n", name);
  } else {
    std::printf("pressed %s in control %d\n", name, GetDlgCtrlID(target));
  }
  return true;
}

bool WaitExit(Session& s) {
  if (s.processId == 0 && !FindDialog(s)) return false;
  HANDLE process = s.process;
  if (process == nullptr) {
    process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, s.processId);
    if (process == nullptr) {
      std::printf("process %lu ended\n", static_cast<unsigned long>(s.processId));
      ForgetProcess(s);
      return true;  // already gone
    }
  }
  const DWORD waited = WaitForSingleObject(process, s.timeoutMs);
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  if (process != s.process) CloseHandle(process);
  if (waited != WAIT_OBJECT_0) return Fail("the dialog's process did not end");
  std::printf("process %lu ended with exit code %lu\n", static_cast<unsigned long>(s.processId),
              static_cast<unsigned long>(code));
  ForgetProcess(s);
  // Codes 0xC0000000 and up are exceptions (a crash), not a return from WinMain.
  return code < 0xC0000000u || Fail("the process ended by an exception");
}

// The closing ways a user has: Escape and Enter in a field, and the close box,
// which makes the window manager send WM_SYSCOMMAND SC_CLOSE.
bool Close(Session& s, const std::string& how) {
  if (!FindDialog(s)) return false;
  if (how == "box") {
    if (!PostMessageW(s.dialog, WM_SYSCOMMAND, SC_CLOSE, 0)) return Fail("cannot post SC_CLOSE");
  } else if (!PressKey(s, how.c_str())) {
    return false;
  }
  return WaitExit(s);
}

// ---- Status bar ----

// The text of status bar part PART. SB_GETTEXTW writes into a buffer whose
// address it is given; the system does not carry it across processes (only
// messages below WM_USER are marshalled), so the buffer lives in the dialog's
// process.
bool StatusText(Session& s, int part, std::string& text) {
  if (!FindDialog(s)) return false;
  HWND bar = GetDlgItem(s.dialog, kStatusBarId);
  if (bar == nullptr) return Fail("the dialog has no status bar (control %s)", "32778");
  const size_t length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, part, 0));
  const size_t bytes = (length + 1) * sizeof(wchar_t);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, s.processId);
  if (process == nullptr) return Fail("cannot open the dialog's process");
  void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  std::vector<wchar_t> local(length + 1, L'\0');
  bool ok = remote != nullptr;
  if (ok) {
    SendMessageW(bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(remote));
    SIZE_T read = 0;
    ok = ReadProcessMemory(process, remote, local.data(), bytes, &read) && read == bytes;
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  if (!ok) return Fail("cannot read the status bar's text");
  local[length] = L'\0';
  text = Utf8(local.data());
  return true;
}

// The first tick sets the clock in part 0; each later one changes it.
bool WaitTick(Session& s) {
  std::string before, now;
  if (!StatusText(s, 0, before)) return false;
  const DWORD start = GetTickCount();
  do {
    Sleep(50);
    if (!StatusText(s, 0, now)) return false;
    if (now != before) return Sync(s);  // the rest of the tick has run, too
  } while (GetTickCount() - start < s.timeoutMs);
  return Fail("the clock in status part 0 stays \"%s\": no timer tick", before.c_str());
}

// ---- Checks ----

void ExpectEqual(Session& s, const std::string& what, const std::string& expected,
                 const std::string& seen) {
  if (seen != expected) {
    CheckFailed(s, what + ": expected " + Quote(expected) + ", seen " + Quote(seen));
  }
}

bool ExpectText(Session& s, const char* idText, const char* expected) {
  HWND c = nullptr;
  int id = 0;
  if (!Control(s, idText, c, &id)) return false;
  ExpectEqual(s, ControlName(id), expected, WindowText(c));
  return true;
}

bool ExpectCheck(Session& s, const char* idText, const char* expectedText) {
  HWND c = nullptr;
  int id = 0;
  bool expected = false;
  if (!ParseFlag(expectedText, expected) || !Control(s, idText, c, &id)) return false;
  const bool seen = IsCheckedButton(c);
  if (seen != expected) {
    CheckFailed(s, ControlName(id) + ": expected " + (expected ? "checked" : "unchecked") +
                       ", seen " + (seen ? "checked" : "unchecked"));
  }
  return true;
}

bool ExpectEnabled(Session& s, const char* idText, const char* expectedText) {
  HWND c = nullptr;
  int id = 0;
  bool expected = false;
  if (!ParseFlag(expectedText, expected) || !Control(s, idText, c, &id)) return false;
  const bool seen = IsWindowEnabled(c) != FALSE;
  if (seen != expected) {
    CheckFailed(s, ControlName(id) + ": expected " + (expected ? "enabled" : "disabled") +
                       ", seen " + (seen ? "enabled" : "disabled"));
  }
  return true;
}

bool ExpectStatus(Session& s, const char* partText, const char* expected) {
  const int part = std::atoi(partText);
  std::string seen;
  if (!StatusText(s, part, seen)) return false;
  ExpectEqual(s, "status part " + std::to_string(part), expected, seen);
  return true;
}

bool ExpectClock(Session& s) {
  std::string text;
  if (!StatusText(s, 0, text)) return false;
  SYSTEMTIME now;
  GetLocalTime(&now);
  unsigned h = 0, m = 0, sec = 0;
  char rest = 0;
  if (text.size() != 8 || std::sscanf(text.c_str(), "%2u:%2u:%2u%c", &h, &m, &sec, &rest) != 3) {
    CheckFailed(s, "status part 0: expected the clock as hh:mm:ss, seen " + Quote(text));
    return true;
  }
  const int seen = static_cast<int>(h * 3600 + m * 60 + sec);
  const int local = now.wHour * 3600 + now.wMinute * 60 + now.wSecond;
  int difference = (local - seen + 86400) % 86400;
  if (difference > 43200) difference -= 86400;
  // The clock is written once a second, so it lags the local time by up to 1 s.
  if (difference < -1 || difference > 3) {
    char expected[16];
    std::snprintf(expected, sizeof expected, "%02u:%02u:%02u", now.wHour, now.wMinute, now.wSecond);
    CheckFailed(
        s, "status part 0 (clock): expected about " + Quote(expected) + ", seen " + Quote(text));
  }
  return true;
}

// In system-time mode each tick sets the zone field, the daylight box and the
// date from the system: the same calls made here must give the same values.
bool ExpectSystemTime(Session& s) {
  if (!FindDialog(s)) return false;
  SYSTEMTIME before, after;
  GetLocalTime(&before);
  TIME_ZONE_INFORMATION zone = {};
  const DWORD state = GetTimeZoneInformation(&zone);
  const std::string day = WindowText(GetDlgItem(s.dialog, 108));
  const std::string month = WindowText(GetDlgItem(s.dialog, 109));
  const std::string year = WindowText(GetDlgItem(s.dialog, 110));
  GetLocalTime(&after);
  std::printf("system: zone bias %ld min, state %lu, date %u.%u.%u\n", zone.Bias,
              static_cast<unsigned long>(state), before.wDay, before.wMonth, before.wYear);

  if (state != TIME_ZONE_ID_INVALID) {
    ExpectEqual(s, ControlName(107), std::to_string(zone.Bias / 60),
                WindowText(GetDlgItem(s.dialog, 107)));
  }
  const bool daylight = state == TIME_ZONE_ID_DAYLIGHT;
  const bool box = IsCheckedButton(GetDlgItem(s.dialog, 112));
  if (box != daylight) {
    CheckFailed(s, ControlName(112) + ": expected " + (daylight ? "checked" : "unchecked") +
                       " as GetTimeZoneInformation says, seen " + (box ? "checked" : "unchecked"));
  }
  // Around midnight either date is right.
  const SYSTEMTIME* dates[] = {&before, &after};
  bool matched = false;
  for (const SYSTEMTIME* d : dates) {
    matched = matched || (day == std::to_string(d->wDay) && month == std::to_string(d->wMonth) &&
                          year == std::to_string(d->wYear));
  }
  if (!matched) {
    ExpectEqual(s, ControlName(108), std::to_string(after.wDay), day);
    ExpectEqual(s, ControlName(109), std::to_string(after.wMonth), month);
    ExpectEqual(s, ControlName(110), std::to_string(after.wYear), year);
  }
  return true;
}

// ---- The phase picture ----

// The pixels of a screen rectangle, top-down rows of 0x00RRGGBB.
bool CaptureScreen(int x, int y, int width, int height, std::vector<uint32_t>& pixels) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = bitmap != nullptr;
  if (ok) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    ok = BitBlt(memory, 0, 0, width, height, screen, x, y, SRCCOPY) != FALSE;
    GdiFlush();
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    pixels.assign(p, p + static_cast<size_t>(width) * height);
    for (uint32_t& px : pixels) px &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok || Fail("cannot read the screen");
}

// Counts of yellow and grey pixels in the left and right half of the picture,
// and the mean column of each colour. The picture is 2r x 2r pixels at the
// frame's top-left corner, r half the frame's client width; the frame is less
// high than wide, so only its visible rows count.
struct PhaseCounts {
  long yellowLeft = 0, yellowRight = 0, greyLeft = 0, greyRight = 0;
  long diskPixels = 0;  // of the visible rows
  double yellowMeanX = 0, greyMeanX = 0;
  int radius = 0;

  std::string Describe() const {
    char text[240];
    std::snprintf(text, sizeof text,
                  "yellow %ld px left, %ld px right (mean column %.1f); grey %ld px left, %ld px "
                  "right (mean column %.1f); centre column %d, disk %ld px",
                  yellowLeft, yellowRight, yellowMeanX, greyLeft, greyRight, greyMeanX, radius,
                  diskPixels);
    return text;
  }
};

bool CountPhase(Session& s, PhaseCounts& c) {
  HWND frame = GetDlgItem(s.dialog, kPhaseFrameId);
  if (frame == nullptr) return Fail("the dialog has no phase frame (control 129)");
  RECT client;
  GetClientRect(frame, &client);
  c = PhaseCounts();
  c.radius = client.right / 2;
  const int size = 2 * c.radius;
  const int rows = client.bottom < size ? client.bottom : size;
  if (c.radius < 4 || rows < c.radius) return Fail("the phase frame is too small");
  POINT origin = {0, 0};
  ClientToScreen(frame, &origin);
  std::vector<uint32_t> pixels;
  if (!CaptureScreen(origin.x, origin.y, size, rows, pixels)) return false;
  // The picture's yellow RGB(255, 255, 0) and grey RGB(128, 128, 128) as DIB
  // pixels, 0x00RRGGBB.
  const uint32_t yellow = 0xFFFF00, grey = 0x808080;
  const double r = c.radius;
  double yellowSum = 0, greySum = 0;
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < size; ++x) {
      const double dx = x + 0.5 - r, dy = y + 0.5 - r;
      if (dx * dx + dy * dy < r * r) ++c.diskPixels;
      const uint32_t p = pixels[static_cast<size_t>(y) * size + x];
      const bool left = x < c.radius;
      if (p == yellow) {
        (left ? c.yellowLeft : c.yellowRight)++;
        yellowSum += x + 0.5;
      } else if (p == grey) {
        (left ? c.greyLeft : c.greyRight)++;
        greySum += x + 0.5;
      }
    }
  }
  const long yellowCount = c.yellowLeft + c.yellowRight, greyCount = c.greyLeft + c.greyRight;
  c.yellowMeanX = yellowCount > 0 ? yellowSum / yellowCount : -1;
  c.greyMeanX = greyCount > 0 ? greySum / greyCount : -1;
  return true;
}

// What the picture must show for AGE; empty when it does.
std::string PhaseMismatch(const PhaseCounts& c, int age) {
  const double r = c.radius;
  const double disk = c.diskPixels;
  const double yellow = c.yellowLeft + c.yellowRight, grey = c.greyLeft + c.greyRight;
  // The outlines and small unfilled pockets take a part of the disk.
  if (yellow + grey < 0.7 * disk) return "a yellow and grey disk";
  if (age == 0) return yellow == 0 ? "" : "a grey disk without yellow";
  if (age == 15) return grey < 0.05 * disk ? "" : "a yellow disk without grey";
  if (yellow == 0 || grey == 0) return "a yellow and a grey part";
  const bool waxing = age >= 1 && age <= 14;
  const bool yellowRight = c.yellowMeanX > r && c.greyMeanX < r;
  const bool yellowLeft = c.yellowMeanX < r && c.greyMeanX > r;
  if (waxing) return yellowRight ? "" : "yellow on the right, grey on the left";
  return yellowLeft ? "" : "yellow on the left, grey on the right";
}

const char* PhaseName(int age) {
  if (age == 0) return "Neumond";
  if (age >= 1 && age <= 14) return "Zunehmender Mond";
  if (age == 15) return "Vollmond";
  return "Abnehmender Mond";
}

// The picture is drawn once a tick straight onto the screen; Wine copies a
// window's drawing to the X server shortly afterwards, so the check looks again
// for up to two ticks before it reports what it saw.
bool ExpectPhase(Session& s, const char* ageText) {
  char* end = nullptr;
  const long age = std::strtol(ageText, &end, 10);
  if (end == ageText || *end != '\0' || age < 0 || age > 29) {
    return Fail("bad moon age \"%s\"", ageText);
  }
  if (!FindDialog(s)) return false;
  PhaseCounts counts;
  std::string mismatch;
  const DWORD start = GetTickCount();
  for (;;) {
    if (!CountPhase(s, counts)) return false;
    mismatch = PhaseMismatch(counts, static_cast<int>(age));
    if (mismatch.empty() || GetTickCount() - start > 2500) break;
    Sleep(100);
  }
  std::printf("phase picture for age %ld: %s\n", age, counts.Describe().c_str());
  if (!mismatch.empty()) {
    CheckFailed(s, ControlName(kPhaseFrameId) + ", moon age " + std::to_string(age) +
                       ": expected " + mismatch + ", seen " + counts.Describe());
  }
  return ExpectStatus(s, "2", PhaseName(static_cast<int>(age)));
}

// ---- The reset gesture ----

// A point of the dialog's client area that lies on no control: the right click
// of the gesture must reach the dialog itself.
bool FreePoint(Session& s, POINT& point) {
  RECT client;
  GetClientRect(s.dialog, &client);
  for (int step = 4; step < client.bottom / 2; step += 4) {
    point = {client.right - step, step};
    if (ChildWindowFromPointEx(s.dialog, point, CWP_ALL) == s.dialog) return true;
  }
  return Fail("no point of the dialog lies off its controls");
}

bool RightClick(Session& s, const std::string& modifiers) {
  WPARAM keys = MK_RBUTTON;
  if (modifiers == "shift") {
    keys |= MK_SHIFT;
  } else if (modifiers == "ctrl") {
    keys |= MK_CONTROL;
  } else if (modifiers == "shift+ctrl" || modifiers == "ctrl+shift") {
    keys |= MK_SHIFT | MK_CONTROL;
  } else if (modifiers != "none") {
    return Fail("unknown modifiers \"%s\"", modifiers.c_str());
  }
  POINT point;
  if (!FindDialog(s) || !FreePoint(s, point)) return false;
  // Sent with a short timeout: when the dialog asks its question it stays in
  // the message box's loop, and the answer comes from answer-box.
  DWORD_PTR result = 0;
  SendMessageTimeoutW(s.dialog, WM_RBUTTONDOWN, keys, MAKELPARAM(point.x, point.y), SMTO_NORMAL,
                      500, &result);
  return true;
}

bool ExpectNoBox(Session& s) {
  if (!FindDialog(s) || !Sync(s)) return false;
  HWND box = FindTopLevel(kResetCaption, s.processId);
  if (box != nullptr) {
    CheckFailed(s, std::string("a message box ") + Quote(kResetCaption) + ": expected none");
    PostMessageW(box, WM_COMMAND, IDNO, 0);  // leave nothing changed and nothing open
  }
  return true;
}

struct StaticSearch {
  std::string text;
};

BOOL CALLBACK CollectStatic(HWND w, LPARAM param) {
  const std::string text = WindowText(w);
  if (ClassName(w) == "Static" && !text.empty())
    reinterpret_cast<StaticSearch*>(param)->text = text;
  return TRUE;
}

bool AnswerBox(Session& s, const std::string& answer) {
  if (answer != "yes" && answer != "no")
    return Fail("answer yes or no, not \"%s\"", answer.c_str());
  if (!FindDialog(s)) return false;
  HWND box = nullptr;
  const DWORD start = GetTickCount();
  while ((box = FindTopLevel(kResetCaption, s.processId)) == nullptr) {
    if (GetTickCount() - start > s.timeoutMs) {
      CheckFailed(s, std::string("reset question: expected a message box ") + Quote(kResetCaption) +
                         ", seen none");
      return true;
    }
    Sleep(50);
  }
  StaticSearch message;
  EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&message));
  ExpectEqual(s, "text of the reset question", kResetText, message.text);
  if (GetWindow(box, GW_OWNER) != s.dialog) {
    CheckFailed(s, "reset question: expected a box owned by the dialog, seen another owner");
  }
  HWND yes = GetDlgItem(box, IDYES), no = GetDlgItem(box, IDNO);
  if (yes == nullptr || no == nullptr) {
    CheckFailed(s, "reset question: expected the buttons Yes and No");
  }
  HWND button = answer == "yes" ? yes : no;
  if (button != nullptr) {
    PostMessageW(button, BM_CLICK, 0, 0);
  } else {
    PostMessageW(box, WM_COMMAND, answer == "yes" ? IDYES : IDNO, 0);
  }
  while (IsWindow(box)) {
    if (GetTickCount() - start > s.timeoutMs) return Fail("the reset question does not close");
    Sleep(20);
  }
  return Sync(s);  // the dialog has acted on the answer
}

// ---- Pictures ----

// Top-down rows of RGB bytes.
struct Image {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
};

bool WriteFile(const char* path, const std::vector<unsigned char>& bytes) {
  FILE* f = _wfopen(Wide(path).c_str(), L"wb");
  if (f == nullptr) return Fail("cannot write %s", path);
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return (std::fclose(f) == 0 && ok) || Fail("cannot write %s", path);
}

template <typename T>
void Append(std::vector<unsigned char>& out, const T& value) {
  const auto* p = reinterpret_cast<const unsigned char*>(&value);
  out.insert(out.end(), p, p + sizeof value);
}

std::vector<unsigned char> EncodeBmp(const Image& image) {
  const size_t stride = (static_cast<size_t>(image.width) * 3 + 3) & ~static_cast<size_t>(3);
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = image.width;
  info.biHeight = image.height;  // bottom-up rows
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + stride * image.height);
  std::vector<unsigned char> out;
  Append(out, file);
  Append(out, info);
  for (int y = image.height - 1; y >= 0; --y) {
    const unsigned char* row = &image.rgb[static_cast<size_t>(y) * image.width * 3];
    for (int x = 0; x < image.width; ++x) {
      out.push_back(row[3 * x + 2]);
      out.push_back(row[3 * x + 1]);
      out.push_back(row[3 * x]);
    }
    out.resize(out.size() + stride - static_cast<size_t>(image.width) * 3, 0);
  }
  return out;
}

// A minimal zlib stream: one deflate block with the fixed Huffman codes and
// greedy LZ77 matches found through a hash of the next three bytes. Plenty for
// the flat colours of a dialog.
class Deflater {
 public:
  std::vector<unsigned char> Compress(const std::vector<unsigned char>& data) {
    out_ = {0x78, 0x01};
    Bits(1, 1);  // final block
    Bits(1, 2);  // fixed Huffman codes
    std::vector<int> head(1 << 15, -1);
    const size_t n = data.size();
    size_t i = 0;
    while (i < n) {
      size_t length = 0, distance = 0;
      if (i + 3 <= n) {
        const unsigned h = Hash(&data[i]);
        const int candidate = head[h];
        head[h] = static_cast<int>(i);
        if (candidate >= 0 && i - candidate <= 32768) {
          while (length < 258 && i + length < n && data[candidate + length] == data[i + length]) {
            ++length;
          }
          distance = i - candidate;
        }
      }
      if (length >= 3) {
        Match(length, distance);
        for (size_t k = 1; k < length && i + k + 3 <= n; ++k) {
          head[Hash(&data[i + k])] = static_cast<int>(i + k);
        }
        i += length;
      } else {
        Literal(data[i++]);
      }
    }
    Literal(256);  // end of block
    if (bitCount_ > 0) out_.push_back(static_cast<unsigned char>(bitBuffer_));
    uint32_t a = 1, b = 0;
    for (unsigned char byte : data) {
      a = (a + byte) % 65521;
      b = (b + a) % 65521;
    }
    const uint32_t adler = (b << 16) | a;
    for (int shift = 24; shift >= 0; shift -= 8) out_.push_back((adler >> shift) & 0xFF);
    return out_;
  }

 private:
  static unsigned Hash(const unsigned char* p) {
    return ((p[0] << 10) ^ (p[1] << 5) ^ p[2]) & 0x7FFF;
  }

  // Extra bits and values go least significant bit first.
  void Bits(uint32_t value, int count) {
    bitBuffer_ |= value << bitCount_;
    bitCount_ += count;
    while (bitCount_ >= 8) {
      out_.push_back(static_cast<unsigned char>(bitBuffer_));
      bitBuffer_ >>= 8;
      bitCount_ -= 8;
    }
  }

  // Huffman codes go most significant bit first.
  void Code(uint32_t code, int length) {
    uint32_t reversed = 0;
    for (int k = 0; k < length; ++k) reversed |= ((code >> k) & 1) << (length - 1 - k);
    Bits(reversed, length);
  }

  void Literal(int symbol) {
    if (symbol < 144) {
      Code(0x30 + symbol, 8);
    } else if (symbol < 256) {
      Code(0x190 + symbol - 144, 9);
    } else if (symbol < 280) {
      Code(symbol - 256, 7);
    } else {
      Code(0xC0 + symbol - 280, 8);
    }
  }

  void Match(size_t length, size_t distance) {
    static const int kLengthBase[] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                      15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                      67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const int kLengthExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    static const int kDistanceBase[] = {
        1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
        193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    static const int kDistanceExtra[] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                         6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
    int l = 28;
    while (kLengthBase[l] > static_cast<int>(length)) --l;
    Literal(257 + l);
    Bits(static_cast<uint32_t>(length - kLengthBase[l]), kLengthExtra[l]);
    int d = 29;
    while (kDistanceBase[d] > static_cast<int>(distance)) --d;
    Code(d, 5);
    Bits(static_cast<uint32_t>(distance - kDistanceBase[d]), kDistanceExtra[d]);
  }

  std::vector<unsigned char> out_;
  uint32_t bitBuffer_ = 0;
  int bitCount_ = 0;
};

uint32_t Crc32(const unsigned char* data, size_t size, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

void PngChunk(std::vector<unsigned char>& out, const char* type,
              const std::vector<unsigned char>& data) {
  const auto big = [&out](uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back((v >> shift) & 0xFF);
  };
  big(static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  big(Crc32(&out[start], out.size() - start));
}

// An 8-bit RGB PNG. Each row gets the filter ("Sub" or "Up") that leaves the
// most zero bytes, which the matcher then packs into long runs.
std::vector<unsigned char> EncodePng(const Image& image) {
  const size_t rowBytes = static_cast<size_t>(image.width) * 3;
  std::vector<unsigned char> filtered;
  std::vector<unsigned char> sub(rowBytes), up(rowBytes);
  for (int y = 0; y < image.height; ++y) {
    const unsigned char* row = &image.rgb[y * rowBytes];
    const unsigned char* above = y > 0 ? row - rowBytes : nullptr;
    size_t subZeros = 0, upZeros = 0;
    for (size_t i = 0; i < rowBytes; ++i) {
      sub[i] = static_cast<unsigned char>(row[i] - (i >= 3 ? row[i - 3] : 0));
      up[i] = static_cast<unsigned char>(row[i] - (above != nullptr ? above[i] : 0));
      subZeros += sub[i] == 0;
      upZeros += up[i] == 0;
    }
    const bool useUp = upZeros > subZeros;
    filtered.push_back(useUp ? 2 : 1);
    const std::vector<unsigned char>& chosen = useUp ? up : sub;
    filtered.insert(filtered.end(), chosen.begin(), chosen.end());
  }
  std::vector<unsigned char> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<unsigned char> header;
  for (uint32_t v : {static_cast<uint32_t>(image.width), static_cast<uint32_t>(image.height)}) {
    for (int shift = 24; shift >= 0; shift -= 8) header.push_back((v >> shift) & 0xFF);
  }
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no interlace
  PngChunk(out, "IHDR", header);
  PngChunk(out, "IDAT", Deflater().Compress(filtered));
  PngChunk(out, "IEND", {});
  return out;
}

// Copies the dialog's window from the screen, so it shows what a user sees. The
// caption and frame are there when something draws them: Wine in its virtual
// desktop does; on a bare X display without a window manager nothing does.
bool Screenshot(Session& s, const char* path) {
  if (!FindDialog(s)) return false;
  RECT r;
  GetWindowRect(s.dialog, &r);
  POINT origin = {r.left, r.top};
  Image image;
  image.width = r.right - r.left;
  image.height = r.bottom - r.top;
  if (image.width <= 0 || image.height <= 0) return Fail("the dialog has no area");
  std::vector<uint32_t> pixels;
  if (!CaptureScreen(origin.x, origin.y, image.width, image.height, pixels)) return false;
  for (uint32_t p : pixels) {
    image.rgb.push_back((p >> 16) & 0xFF);
    image.rgb.push_back((p >> 8) & 0xFF);
    image.rgb.push_back(p & 0xFF);
  }
  const std::string name = path;
  const bool png = name.size() >= 4 && _stricmp(name.c_str() + name.size() - 4, ".png") == 0;
  if (!WriteFile(path, png ? EncodePng(image) : EncodeBmp(image))) return false;
  std::printf("saved %dx%d pixels to %s\n", image.width, image.height, path);
  return true;
}

// ---- The profile ----

// A default no saved value can have, to tell a missing key from an empty one.
const wchar_t kMissing[] = L"\x01";

std::string ProfileValue(const std::string& key, bool& present) {
  wchar_t value[256];
  GetProfileStringW(kSection, Wide(key).c_str(), kMissing, value, sizeof value / sizeof value[0]);
  present = std::wcscmp(value, kMissing) != 0;
  return present ? Utf8(value) : std::string();
}

bool ReadProfile(const std::vector<const char*>& keys) {
  bool allPresent = true;
  for (const char* key : keys) {
    bool present = false;
    const std::string value = ProfileValue(key, present);
    if (present) {
      std::printf("%s=%s\n", key, value.c_str());
    } else {
      std::printf("%s missing\n", key);
      allPresent = false;
    }
  }
  return allPresent || Fail("section ORBEL32 lacks keys");
}

bool ExpectProfile(Session& s, const std::vector<const char*>& pairs) {
  for (const char* pair : pairs) {
    const char* equals = std::strchr(pair, '=');
    if (equals == nullptr) return Fail("expected KEY=VALUE, not \"%s\"", pair);
    const std::string key(pair, equals), expected(equals + 1);
    bool present = false;
    const std::string seen = ProfileValue(key, present);
    if (!present) {
      CheckFailed(s, "WIN.INI [ORBEL32] " + key + ": expected " + Quote(expected) + ", seen none");
    } else {
      ExpectEqual(s, "WIN.INI [ORBEL32] " + key, expected, seen);
    }
  }
  return true;
}

bool WriteProfile(const char* key, const char* value) {
  const std::wstring k = Wide(key), v = Wide(value);
  return WriteProfileStringW(kSection, k.c_str(), v.c_str()) || Fail("cannot write key %s", key);
}

// ---- Command line ----

struct Command {
  const char* name;
  int arity;  // -1: any number, up to the next command name
};

const Command kCommands[] = {{"start", 1},         {"wait-dialog", 0},   {"list-controls", 0},
                             {"get-text", 1},      {"get-check", 1},     {"set-text", 2},
                             {"type", 2},          {"click", 1},         {"press-key", 1},
                             {"wait-tick", 0},     {"rclick", 1},        {"answer-box", 1},
                             {"wait-exit", 0},     {"close-escape", 0},  {"close-enter", 0},
                             {"close-box", 0},     {"screenshot", 1},    {"note", 1},
                             {"read-profile", -1}, {"set-profile", 2},   {"delete-profile", 0},
                             {"expect-text", 2},   {"expect-check", 2},  {"expect-enabled", 2},
                             {"expect-status", 2}, {"expect-clock", 0},  {"expect-system-time", 0},
                             {"expect-phase", 1},  {"expect-no-box", 0}, {"expect-profile", -1}};

const Command* FindCommand(const char* name) {
  for (const Command& c : kCommands) {
    if (std::strcmp(name, c.name) == 0) return &c;
  }
  return nullptr;
}

bool Execute(Session& s, const std::string& cmd, std::vector<const char*> args) {
  if (cmd == "start") return Start(s, args[0]);
  if (cmd == "wait-dialog") return WaitDialog(s);
  if (cmd == "list-controls") return ListControls(s);
  if (cmd == "get-text") return GetText(s, args[0]);
  if (cmd == "get-check") return GetCheck(s, args[0]);
  if (cmd == "set-text") return SetText(s, args[0], args[1]);
  if (cmd == "type") return Type(s, args[0], args[1]);
  if (cmd == "click") return Click(s, args[0]);
  if (cmd == "press-key") return PressKey(s, args[0]);
  if (cmd == "wait-tick") return WaitTick(s);
  if (cmd == "rclick") return RightClick(s, args[0]);
  if (cmd == "answer-box") return AnswerBox(s, args[0]);
  if (cmd == "wait-exit") return WaitExit(s);
  if (cmd == "close-escape") return Close(s, "escape");
  if (cmd == "close-enter") return Close(s, "return");
  if (cmd == "close-box") return Close(s, "box");
  if (cmd == "screenshot") return Screenshot(s, args[0]);
  if (cmd == "note") {
    s.note = args[0];
    std::printf("== %s\n", args[0]);
    return true;
  }
  if (cmd == "read-profile") {
    if (args.empty()) args.assign(std::begin(kSavedKeys), std::end(kSavedKeys));
    return ReadProfile(args);
  }
  if (cmd == "set-profile") return WriteProfile(args[0], args[1]);
  if (cmd == "delete-profile") {
    return WriteProfileStringW(kSection, nullptr, nullptr) || Fail("cannot delete section ORBEL32");
  }
  if (cmd == "expect-text") return ExpectText(s, args[0], args[1]);
  if (cmd == "expect-check") return ExpectCheck(s, args[0], args[1]);
  if (cmd == "expect-enabled") return ExpectEnabled(s, args[0], args[1]);
  if (cmd == "expect-status") return ExpectStatus(s, args[0], args[1]);
  if (cmd == "expect-clock") return ExpectClock(s);
  if (cmd == "expect-system-time") return ExpectSystemTime(s);
  if (cmd == "expect-phase") return ExpectPhase(s, args[0]);
  if (cmd == "expect-no-box") return ExpectNoBox(s);
  return ExpectProfile(s, args);  // expect-profile
}

// Runs the commands in argv[i..argc) in order; the exit code of the program.
int Run(int argc, char** argv, int i) {
  Session s;
  for (; i + 1 < argc && std::strncmp(argv[i], "--", 2) == 0; i += 2) {
    if (std::strcmp(argv[i], "--title") == 0) {
      s.title = argv[i + 1];
    } else if (std::strcmp(argv[i], "--timeout") == 0) {
      s.timeoutMs = static_cast<DWORD>(std::atof(argv[i + 1]) * 1000.0);
    } else {
      break;
    }
  }
  // Check the whole command line first, so that a typo fails before any action.
  std::vector<std::pair<const Command*, std::vector<const char*>>> plan;
  while (i < argc) {
    const Command* c = FindCommand(argv[i]);
    if (c == nullptr) {
      Fail("unknown command or option %s", argv[i]);
      return 2;
    }
    std::vector<const char*> args;
    for (++i; i < argc && (c->arity < 0 ? FindCommand(argv[i]) == nullptr
                                        : static_cast<int>(args.size()) < c->arity);
         ++i) {
      args.push_back(argv[i]);
    }
    if (c->arity >= 0 && static_cast<int>(args.size()) != c->arity) {
      Fail("too few arguments for %s", c->name);
      return 2;
    }
    plan.emplace_back(c, args);
  }
  if (plan.empty()) {
    Fail("no command");
    return 2;
  }
  int status = 0;
  for (const auto& step : plan) {
    const bool ok = Execute(s, step.first->name, step.second);
    std::fflush(stdout);
    if (!ok) {
      Fail("stopped at %s", step.first->name);
      status = 1;
      break;
    }
  }
  if (s.failures > 0) {
    std::fprintf(stderr, "driver: %d check(s) failed\n", s.failures);
    status = 1;
  }
  ForgetProcess(s);
  return status;
}

}  // namespace

int main() {
  // The arguments as UTF-8, from the wide command line.
  int argc = 0;
  wchar_t** wideArgv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (wideArgv == nullptr) return 2;
  std::vector<std::string> args(argc);
  std::vector<char*> argv;
  for (int i = 0; i < argc; ++i) {
    args[i] = Utf8(wideArgv[i]);
    argv.push_back(&args[i][0]);
  }
  LocalFree(wideArgv);
  // "\n" stays one byte, so scripts can read the output as on Linux.
  _setmode(_fileno(stdout), _O_BINARY);
  return Run(argc, argv.data(), 1);
}
