// Runs a dialog scenario (tests/ui/dialog/scenarios) against the real orbel32.exe
// under Wine, working its dialog from outside the way a user or another
// program could.
//
//   driver [--timeout SECONDS] SCENARIO_FILE PROGRAM_EXE
//
// A console program started under the same Wine prefix (and so the same
// wineserver) as the program. It prints each failed check, naming the
// scenario line, the control, the expected and the seen value, and exits 0
// when every check passed, 1 when one failed or an action could not be done,
// 2 on a usage error.
//
// Keys are posted to the focused control of the dialog's thread, as the
// keyboard would deliver them, so the dialog manager (IsDialogMessage in the
// modal loop) turns Escape into WM_COMMAND IDCANCEL exactly as for a real key.
// Synthesised input (SendInput) would instead depend on which X window has the
// keyboard focus, which nothing manages on a bare Xvfb display. For the same
// reason clicks are BM_CLICK and the right click is a WM_RBUTTONDOWN sent to the
// dialog with the modifier flags a real click would carry.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "scenario.h"

namespace {

const wchar_t kSection[] = L"ORBEL32";
const char kTitle[] = "Zoror ido Rede";
const int kStatusBarId = 32778;
const int kPhaseFrameId = 129;

// Texts go to and from the windows and WIN.INI through the wide-character API,
// so that "Süd" arrives intact whatever the system's ANSI code page is.
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

// A visible top-level window of process `processId`: titled `title`, or when
// the title is empty any one but `except`.
struct WindowSearch {
  std::wstring title;
  DWORD processId;
  HWND except;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND w, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (!IsWindowVisible(w) || w == search->except || pid != search->processId) return TRUE;
  wchar_t text[256] = L"";
  GetWindowTextW(w, text, sizeof text / sizeof text[0]);
  if (!search->title.empty() && search->title != text) return TRUE;
  search->found = w;
  return FALSE;
}

HWND FindTopLevel(DWORD processId, const std::string& title, HWND except = nullptr) {
  WindowSearch search = {Wide(title), processId, except, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK CollectStatic(HWND w, LPARAM param) {
  wchar_t name[16] = L"";
  GetClassNameW(w, name, sizeof name / sizeof name[0]);
  const std::string text = WindowText(w);
  if (std::wcscmp(name, L"Static") == 0 && !text.empty()) {
    *reinterpret_cast<std::string*>(param) = text;
  }
  return TRUE;
}

// The pixels of a screen rectangle, top-down rows of COLORREF values.
bool CaptureScreen(int x, int y, int width, int height, scenario::Picture& picture) {
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
    const uint32_t* p = static_cast<const uint32_t*>(bits);  // 0x00RRGGBB
    picture = {width, height, {}};
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
      picture.pixels.push_back(RGB(p[i] >> 16, (p[i] >> 8) & 0xFF, p[i] & 0xFF));
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

class WineBackend : public scenario::Backend {
 public:
  WineBackend(std::string program, DWORD timeoutMs)
      : program_(std::move(program)), timeoutMs_(timeoutMs) {}
  ~WineBackend() override {
    if (process_ != nullptr) CloseHandle(process_);
  }
  const char* Name() const override { return "wine"; }

  bool WriteProfile(const std::vector<std::pair<std::string, std::string>>& keys,
                    std::string& why) override {
    WriteProfileStringW(kSection, nullptr, nullptr);  // the whole section goes
    for (const auto& [key, value] : keys) {
      if (!WriteProfileStringW(kSection, Wide(key).c_str(), Wide(value).c_str())) {
        return Failed("cannot write key " + key, why);
      }
    }
    return true;
  }

  std::optional<std::string> ProfileValue(const std::string& key) override {
    const wchar_t kMissing[] = L"\x01";  // no saved value can be this
    wchar_t value[256];
    GetProfileStringW(kSection, Wide(key).c_str(), kMissing, value, sizeof value / sizeof value[0]);
    if (std::wcscmp(value, kMissing) == 0) return std::nullopt;
    return Utf8(value);
  }

  // Starts the program without the variable TZ. Wine passes the Unix TZ (such
  // as "Europe/Berlin") on to Windows programs, whose C runtime reads it in its
  // own format and so gets the local time wrong, while the Win32 time calls
  // follow the Unix zone. Windows sets no TZ; without it the C runtime follows
  // the Win32 zone there as here.
  bool Start(const std::function<bool()>&, std::string& why) override {
    if (process_ != nullptr) CloseHandle(process_);
    process_ = nullptr;
    dialog_ = nullptr;
    SetEnvironmentVariableW(L"TZ", nullptr);
    std::wstring commandLine = L"\"" + Wide(program_) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
      return Failed("cannot start " + program_, why);
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    const DWORD start = GetTickCount();
    while ((dialog_ = FindTopLevel(processId_, kTitle)) == nullptr) {
      if (WaitForSingleObject(process_, 0) == WAIT_OBJECT_0) {
        return Failed("the program ended before its dialog appeared", why);
      }
      if (GetTickCount() - start > timeoutMs_) return Failed("no dialog appeared", why);
      Sleep(50);
    }
    return Sync(why);
  }

  // WM_SETTEXT is sent, so the field's change notification has been handled,
  // and the results recomputed, when it returns.
  bool SetText(int id, const std::string& text, std::string& why) override {
    HWND c = GetDlgItem(dialog_, id);
    const std::wstring wide = Wide(text);
    if (c == nullptr || !SendMessageW(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()))) {
      return Failed("control " + std::to_string(id) + " refused the text", why);
    }
    return true;
  }

  // The whole text selected, then one WM_CHAR per character, each handled by
  // the field (and its change notification by the dialog) before the next.
  bool Type(int id, const std::string& text, std::string& why) override {
    HWND c = GetDlgItem(dialog_, id);
    if (c == nullptr) return Failed("no control " + std::to_string(id), why);
    SendMessageW(c, EM_SETSEL, 0, -1);
    for (const wchar_t ch : Wide(text)) SendMessageW(c, WM_CHAR, ch, 1);
    return true;
  }

  // Sent: it returns when the button and the dialog have handled the click.
  bool Click(int id, std::string& why) override {
    DWORD_PTR result = 0;
    HWND c = GetDlgItem(dialog_, id);
    if (c == nullptr || !SendMessageTimeoutW(c, BM_CLICK, 0, 0, SMTO_NORMAL, timeoutMs_, &result)) {
      return Failed("the click on control " + std::to_string(id) + " was not handled", why);
    }
    return true;
  }

  // A posted key is handled after the messages sent before the next check, so
  // the dialog is given a moment before the check is made.
  bool Key(UINT vk, std::string& why) override {
    if (!PostKey(vk, why)) return false;
    Sleep(100);
    return Sync(why);
  }

  bool RightClick(bool shift, bool ctrl, std::optional<bool> answer, Box& box,
                  std::string& why) override {
    // A point of the dialog's client area that lies on no control.
    RECT client;
    GetClientRect(dialog_, &client);
    POINT point = {-1, -1};
    for (int step = 4; step < client.bottom / 2 && point.x < 0; step += 4) {
      const POINT p = {client.right - step, step};
      if (ChildWindowFromPointEx(dialog_, p, CWP_ALL) == dialog_) point = p;
    }
    if (point.x < 0) return Failed("no point of the dialog lies off its controls", why);
    const WPARAM keys = MK_RBUTTON | (shift ? MK_SHIFT : 0) | (ctrl ? MK_CONTROL : 0);
    // With a short timeout: while the dialog asks its question it stays in the
    // message box's loop.
    DWORD_PTR result = 0;
    SendMessageTimeoutW(dialog_, WM_RBUTTONDOWN, keys, MAKELPARAM(point.x, point.y), SMTO_NORMAL,
                        500, &result);
    HWND question = nullptr;
    const DWORD start = GetTickCount();
    while ((question = FindTopLevel(processId_, "", dialog_)) == nullptr && answer &&
           GetTickCount() - start < timeoutMs_) {
      Sleep(50);
    }
    box.shown = question != nullptr;
    if (!box.shown) return Sync(why);
    wchar_t caption[256] = L"";
    GetWindowTextW(question, caption, sizeof caption / sizeof caption[0]);
    box.caption = Utf8(caption);
    EnumChildWindows(question, CollectStatic, reinterpret_cast<LPARAM>(&box.text));
    // A box not asked for is answered No, so that nothing changes.
    const int button = answer && *answer ? IDYES : IDNO;
    HWND control = GetDlgItem(question, button);
    if (control == nullptr) return Failed("the question has no Yes and No buttons", why);
    PostMessageW(control, BM_CLICK, 0, 0);
    while (IsWindow(question)) {
      if (GetTickCount() - start > timeoutMs_) return Failed("the question does not close", why);
      Sleep(20);
    }
    return Sync(why);  // the dialog has acted on the answer
  }

  // The first tick sets the clock in part 0; each later one changes it.
  bool Tick(std::string& why) override {
    const std::string before = StatusText(0);
    const DWORD start = GetTickCount();
    do {
      Sleep(50);
      if (StatusText(0) != before) return Sync(why);  // the rest of the tick has run, too
    } while (GetTickCount() - start < timeoutMs_);
    return Failed("the clock in status part 0 stays \"" + before + "\": no timer tick", why);
  }

  // Escape and Enter in the focused field, or the close box, which makes the
  // window manager send WM_SYSCOMMAND SC_CLOSE; then the program must end on
  // its own, without an exception.
  bool Close(const std::string& way, std::string& why) override {
    if (way == "box") {
      if (!PostMessageW(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0)) {
        return Failed("cannot post SC_CLOSE", why);
      }
    } else if (!PostKey(way == "escape" ? VK_ESCAPE : VK_RETURN, why)) {
      return false;
    }
    if (WaitForSingleObject(process_, timeoutMs_) != WAIT_OBJECT_0) {
      return Failed("the program did not end", why);
    }
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    // Codes 0xC0000000 and up are exceptions (a crash), not a return from WinMain.
    if (code >= 0xC0000000u) return Failed("the program ended by an exception", why);
    return true;
  }

  std::string Text(int id) override { return WindowText(GetDlgItem(dialog_, id)); }
  bool Checked(int id) override {
    return SendMessageW(GetDlgItem(dialog_, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  bool Enabled(int id) override { return IsWindowEnabled(GetDlgItem(dialog_, id)) != FALSE; }
  int FocusedId() override {
    HWND focus = Focused();
    return focus != nullptr ? GetDlgCtrlID(focus) : 0;
  }

  // SB_GETTEXTW writes into a buffer whose address it is given; the system
  // does not carry it across processes, so the buffer lives in the dialog's.
  std::string StatusText(int part) override {
    HWND bar = GetDlgItem(dialog_, kStatusBarId);
    const size_t length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, part, 0));
    const size_t bytes = (length + 1) * sizeof(wchar_t);
    HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId_);
    if (bar == nullptr || process == nullptr) return "(no status bar)";
    void* remote =
        VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    std::vector<wchar_t> local(length + 1, L'\0');
    SIZE_T read = 0;
    if (remote != nullptr) {
      SendMessageW(bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(remote));
      ReadProcessMemory(process, remote, local.data(), bytes, &read);
      VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    local[length] = L'\0';
    return read == bytes ? Utf8(local.data()) : "(unreadable)";
  }

  // The picture is drawn straight onto the screen: read back from there.
  bool PhasePicture(scenario::Picture& picture, std::string& why) override {
    HWND frame = GetDlgItem(dialog_, kPhaseFrameId);
    RECT client;
    GetClientRect(frame, &client);
    POINT origin = {0, 0};
    ClientToScreen(frame, &origin);
    return CaptureScreen(origin.x, origin.y, client.right, client.bottom, picture) ||
           Failed("cannot read the screen", why);
  }
  // Wine copies a window's drawing to the X server shortly afterwards.
  bool ScreenLags() const override { return true; }
  void Wait(int milliseconds) override { Sleep(milliseconds); }

 private:
  static bool Failed(const std::string& what, std::string& why) {
    why = what;
    return false;
  }

  // Waits until the dialog's thread has handled everything sent to it before:
  // a message from another thread is handled when that thread is back in its
  // message loop.
  bool Sync(std::string& why) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(dialog_, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs_, &result) != 0 ||
           Failed("the dialog does not answer", why);
  }

  bool PostKey(UINT vk, std::string& why) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16;
    HWND target = Focused();
    if (target == nullptr) target = dialog_;
    if (!PostMessageA(target, WM_KEYDOWN, vk, scan | 1) ||
        !PostMessageA(target, WM_KEYUP, vk, scan | 1 | (3u << 30))) {
      return Failed("cannot post the key", why);
    }
    return true;
  }

  HWND Focused() {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(dialog_, nullptr);
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
  }

  std::string program_;
  DWORD timeoutMs_;
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  HWND dialog_ = nullptr;
};

}  // namespace

int main() {
  int argc = 0;
  wchar_t** wideArgv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(Utf8(wideArgv[i]));
  LocalFree(wideArgv);
  _setmode(_fileno(stdout), _O_BINARY);

  DWORD timeoutMs = 20000;
  if (args.size() == 4 && args[0] == "--timeout") {
    timeoutMs = static_cast<DWORD>(std::stod(args[1]) * 1000);
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: driver [--timeout SECONDS] SCENARIO PROGRAM\n");
    return 2;
  }
  std::ifstream file(Wide(args[0]).c_str(), std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  if (!file) {
    std::fprintf(stderr, "driver: cannot read %s\n", args[0].c_str());
    return 2;
  }
  WineBackend backend(args[1], timeoutMs);
  std::string name = args[0].substr(args[0].find_last_of("/\\") + 1);
  const scenario::Result result = scenario::Run(name, text.str(), backend);
  for (const std::string& failure : result.failures) {
    std::fprintf(stderr, "driver: FAILED %s\n", failure.c_str());
  }
  std::printf("%s: %d checks, %zu failed\n", name.c_str(), result.checks, result.failures.size());
  return result.failures.empty() ? 0 : 1;
}
