// Drives orbel32.exe from outside, the way a user would, for the Wine tests.
//
// A console program started under the same Wine prefix (and so the same
// wineserver) as the dialog. It runs its commands in order and stops at the
// first one that fails, with exit code 1 (2 for a usage error):
//
//   driver [--title TITLE] [--timeout SECONDS] COMMAND [ARGS]...
//
//   wait-dialog          wait until a visible top-level window titled TITLE exists
//   list-controls        print id, class, text and state of every child control
//   get-text ID          print the text of control ID
//   set-text ID TEXT     set the text of control ID
//   click ID             click button ID
//   press-key KEY        press KEY (escape, return, tab, space or a decimal
//                        virtual-key code) in the dialog's focused control
//   wait-exit            wait until the dialog's process has ended; fails
//                        when it ended by an exception (a crash)
//   close-escape         press-key escape, then wait-exit
//   screenshot FILE      save the dialog's client area as a 24-bit BMP
//   read-profile [KEY]...  print KEY=VALUE from section ORBEL32 of WIN.INI
//                        (default: the ten keys the program saves); fails when
//                        a key is missing
//   set-profile KEY VALUE  write one key of section ORBEL32
//   delete-profile       remove section ORBEL32
//
// Keys are posted to the focused control of the dialog's thread, as the
// keyboard would deliver them, so the dialog manager (IsDialogMessage in the
// modal loop) turns Escape into WM_COMMAND IDCANCEL exactly as for a real key.
// Synthesised input (SendInput) would instead depend on which X window has the
// keyboard focus, which nothing manages on a bare Xvfb display.
//
// Arguments and output are UTF-8; --timeout (default 20 s) bounds every wait.
#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

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

struct Session {
  std::string title = "Zoror ido Rede";
  DWORD timeoutMs = 20000;
  HWND dialog = nullptr;
  DWORD processId = 0;
};

bool Fail(const char* format, const char* arg = "") {
  std::fprintf(stderr, "driver: ");
  std::fprintf(stderr, format, arg);
  std::fprintf(stderr, "\n");
  return false;
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

// The dialog found by an earlier command, or the window titled TITLE now.
bool FindDialog(Session& s) {
  if (s.dialog != nullptr && IsWindow(s.dialog)) return true;
  s.dialog = FindWindowW(nullptr, Wide(s.title).c_str());
  if (s.dialog == nullptr) return Fail("no window titled \"%s\"", s.title.c_str());
  GetWindowThreadProcessId(s.dialog, &s.processId);
  return true;
}

bool WaitDialog(Session& s) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND w = FindWindowW(nullptr, Wide(s.title).c_str());
    if (w != nullptr && IsWindowVisible(w)) {
      s.dialog = w;
      GetWindowThreadProcessId(w, &s.processId);
      std::printf("dialog \"%s\" visible, class %s, after %lu ms\n", s.title.c_str(),
                  ClassName(w).c_str(), static_cast<unsigned long>(GetTickCount() - start));
      return true;
    }
    if (GetTickCount() - start > s.timeoutMs) {
      return Fail(w == nullptr ? "no window titled \"%s\" appeared"
                               : "the window \"%s\" exists but is not visible",
                  s.title.c_str());
    }
    Sleep(100);
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

bool Control(Session& s, const char* idText, HWND& control) {
  int id = 0;
  if (!ParseControlId(idText, id) || !FindDialog(s)) return false;
  control = GetDlgItem(s.dialog, id);
  return control != nullptr || Fail("the dialog has no control %s", idText);
}

BOOL CALLBACK PrintControl(HWND w, LPARAM) {
  std::printf("%5d %-12s %s%s \"%s\"\n", GetDlgCtrlID(w), ClassName(w).c_str(),
              IsWindowVisible(w) ? "visible" : "hidden", IsWindowEnabled(w) ? "" : " disabled",
              WindowText(w).c_str());
  return TRUE;
}

bool ListControls(Session& s) {
  if (!FindDialog(s)) return false;
  EnumChildWindows(s.dialog, PrintControl, 0);
  return true;
}

bool GetText(Session& s, const char* id) {
  HWND c = nullptr;
  if (!Control(s, id, c)) return false;
  std::printf("%s\n", WindowText(c).c_str());
  return true;
}

bool SetText(Session& s, const char* id, const char* text) {
  HWND c = nullptr;
  if (!Control(s, id, c)) return false;
  const std::wstring wide = Wide(text);
  return SendMessageW(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str())) != FALSE ||
         Fail("control %s refused the text", id);
}

bool Click(Session& s, const char* id) {
  HWND c = nullptr;
  if (!Control(s, id, c)) return false;
  // Posted: a click that ends the dialog must not block this program.
  return PostMessageA(c, BM_CLICK, 0, 0) != FALSE || Fail("cannot click control %s", id);
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
  return posted || Fail("cannot post key \"%s\"", name);
}

bool WaitExit(Session& s) {
  if (s.processId == 0 && !FindDialog(s)) return false;
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, s.processId);
  if (process == nullptr) {
    std::printf("process %lu ended\n", static_cast<unsigned long>(s.processId));
    return true;  // already gone
  }
  const DWORD waited = WaitForSingleObject(process, s.timeoutMs);
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  if (waited != WAIT_OBJECT_0) return Fail("the dialog's process did not end");
  std::printf("process %lu ended with exit code %lu\n", static_cast<unsigned long>(s.processId),
              static_cast<unsigned long>(code));
  s.dialog = nullptr;
  // Codes 0xC0000000 and up are exceptions (a crash), not a return from WinMain.
  return code < 0xC0000000u || Fail("the process ended by an exception");
}

bool WriteBmp(const char* path, int width, int height, const std::vector<unsigned char>& rows) {
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + rows.size());
  FILE* f = _wfopen(Wide(path).c_str(), L"wb");
  if (f == nullptr) return Fail("cannot write %s", path);
  const bool ok = std::fwrite(&file, sizeof file, 1, f) == 1 &&
                  std::fwrite(&info, sizeof info, 1, f) == 1 &&
                  std::fwrite(rows.data(), 1, rows.size(), f) == rows.size();
  return (std::fclose(f) == 0 && ok) || Fail("cannot write %s", path);
}

// Copies the dialog's client area from the screen, so it shows what a user
// sees. Only the client area: without a window manager Wine draws no caption.
bool Screenshot(Session& s, const char* path) {
  if (!FindDialog(s)) return false;
  RECT r;
  GetClientRect(s.dialog, &r);
  POINT origin = {0, 0};
  ClientToScreen(s.dialog, &origin);
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return Fail("the dialog has no area");
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up rows, as a BMP file stores them
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
  std::vector<unsigned char> rows(stride * height);
  const int copied = GetDIBits(memory, bitmap, 0, height, rows.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (copied != height) return Fail("cannot read the screen");
  if (!WriteBmp(path, width, height, rows)) return false;
  std::printf("saved %dx%d pixels to %s\n", width, height, path);
  return true;
}

bool ReadProfile(const std::vector<const char*>& keys) {
  // A default no saved value can have, to tell a missing key from an empty one.
  const wchar_t kMissing[] = L"\x01";
  bool allPresent = true;
  for (const char* key : keys) {
    wchar_t value[256];
    GetProfileStringW(kSection, Wide(key).c_str(), kMissing, value, sizeof value / sizeof value[0]);
    if (std::wcscmp(value, kMissing) == 0) {
      std::printf("%s missing\n", key);
      allPresent = false;
    } else {
      std::printf("%s=%s\n", key, Utf8(value).c_str());
    }
  }
  return allPresent || Fail("section ORBEL32 lacks keys");
}

bool WriteProfile(const char* key, const char* value) {
  const std::wstring k = Wide(key), v = Wide(value);
  return WriteProfileStringW(kSection, k.c_str(), v.c_str()) || Fail("cannot write key %s", key);
}

struct Command {
  const char* name;
  int arity;  // -1: any number, up to the next command name
};

const Command kCommands[] = {{"wait-dialog", 0},   {"list-controls", 0}, {"get-text", 1},
                             {"set-text", 2},      {"click", 1},         {"press-key", 1},
                             {"wait-exit", 0},     {"close-escape", 0},  {"screenshot", 1},
                             {"read-profile", -1}, {"set-profile", 2},   {"delete-profile", 0}};

const Command* FindCommand(const char* name) {
  for (const Command& c : kCommands) {
    if (std::strcmp(name, c.name) == 0) return &c;
  }
  return nullptr;
}

bool Execute(Session& s, const std::string& cmd, std::vector<const char*> args) {
  if (cmd == "wait-dialog") return WaitDialog(s);
  if (cmd == "list-controls") return ListControls(s);
  if (cmd == "get-text") return GetText(s, args[0]);
  if (cmd == "set-text") return SetText(s, args[0], args[1]);
  if (cmd == "click") return Click(s, args[0]);
  if (cmd == "press-key") return PressKey(s, args[0]);
  if (cmd == "wait-exit") return WaitExit(s);
  if (cmd == "close-escape") return PressKey(s, "escape") && WaitExit(s);
  if (cmd == "screenshot") return Screenshot(s, args[0]);
  if (cmd == "read-profile") {
    if (args.empty()) args.assign(std::begin(kSavedKeys), std::end(kSavedKeys));
    return ReadProfile(args);
  }
  if (cmd == "set-profile") {
    return WriteProfile(args[0], args[1]);
  }
  return WriteProfileStringW(kSection, nullptr, nullptr) ||
         Fail("cannot delete section ORBEL32");  // delete-profile
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
  for (const auto& step : plan) {
    const bool ok = Execute(s, step.first->name, step.second);
    std::fflush(stdout);
    if (!ok) return 1;
  }
  return 0;
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
