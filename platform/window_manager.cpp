// Windows, classes, handles, messages, focus, enabling, timers and geometry
// of the headless Win32 layer.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "internal.h"

namespace standin {
namespace internal {

State& S() {
  static State state;
  return state;
}

uintptr_t NewHandle() {
  // One counter for every kind of handle, so that no two objects of any kind
  // ever share a value and a stale handle never names a new object.
  static uintptr_t next = 0x10000;
  next += 4;
  return next;
}

Window* W(HWND hwnd) {
  if (!hwnd) return nullptr;
  auto& windows = S().windows;
  auto it = windows.find(reinterpret_cast<uintptr_t>(hwnd));
  return it == windows.end() ? nullptr : it->second.get();
}

Window* ChildById(Window* parent, int id) {
  if (!parent) return nullptr;
  for (Window* c : parent->child_windows) {
    if (c->id == id) return c;
  }
  return nullptr;
}

std::string Lower(const std::string& s) {
  std::string out = s;
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

namespace {

// Length in bytes of the character starting at s[i]: a valid UTF-8 sequence
// counts whole, a stray byte counts as one character of its own.
size_t CharLength(const std::string& s, size_t i, uint32_t* cp) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  int extra = c < 0x80             ? 0
              : (c & 0xE0) == 0xC0 ? 1
              : (c & 0xF0) == 0xE0 ? 2
              : (c & 0xF8) == 0xF0 ? 3
                                   : -1;
  *cp = c;
  if (extra <= 0 || i + extra >= s.size()) return 1;
  uint32_t value = c & (0x3Fu >> extra);
  for (int k = 1; k <= extra; ++k) {
    unsigned char next = static_cast<unsigned char>(s[i + k]);
    if ((next & 0xC0) != 0x80) return 1;
    value = (value << 6) | (next & 0x3Fu);
  }
  *cp = value;
  return static_cast<size_t>(extra) + 1;
}

}  // namespace

std::vector<uint32_t> DecodeUtf8(const std::string& s) {
  std::vector<uint32_t> out;
  for (size_t i = 0; i < s.size();) {
    uint32_t cp = 0;
    i += CharLength(s, i, &cp);
    out.push_back(cp);
  }
  return out;
}

std::string EncodeUtf8(uint32_t cp) {
  std::string out;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

size_t Utf8Length(const std::string& s) {
  return DecodeUtf8(s).size();
}

size_t Utf8Offset(const std::string& s, size_t n) {
  size_t i = 0;
  for (; i < s.size() && n > 0; --n) {
    uint32_t cp = 0;
    i += CharLength(s, i, &cp);
  }
  return i;
}

void SetTextRaw(Window* w, const char* text) {
  w->text = text ? text : "";
}

// WM_GETTEXT: at most size - 1 bytes and a terminator; a multi-byte character
// that does not fit whole is left out. Returns the bytes copied.
LRESULT CopyTextOut(const std::string& text, WPARAM size, LPARAM buffer) {
  char* out = reinterpret_cast<char*>(buffer);
  if (!out || size == 0) return 0;
  size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
  while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
  return static_cast<LRESULT>(n);
}

namespace {

struct Insets {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// Non-client frame of a window, by the rules of the classic look: outer frame,
// border, caption, client edge (AdjustWindowRectEx).
Insets NonClient(DWORD style, DWORD ex_style) {
  int adjust = 0;
  if ((ex_style & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE) {
    adjust = 1;
  } else if ((ex_style & WS_EX_DLGMODALFRAME) || (style & (WS_THICKFRAME | WS_DLGFRAME))) {
    adjust = 2;
  }
  if (style & WS_THICKFRAME) adjust += 1;
  if ((style & (WS_BORDER | WS_DLGFRAME)) || (ex_style & WS_EX_DLGMODALFRAME)) adjust += 1;
  Insets in{adjust, adjust, adjust, adjust};
  if ((style & WS_CAPTION) == WS_CAPTION) in.top += kCaptionHeight;
  if (ex_style & WS_EX_CLIENTEDGE) {
    in.left += 2;
    in.top += 2;
    in.right += 2;
    in.bottom += 2;
  }
  return in;
}

WindowKind BuiltInKind(const std::string& lower_class) {
  if (lower_class == "edit") return WindowKind::kEdit;
  if (lower_class == "button") return WindowKind::kButton;
  if (lower_class == "msctls_statusbar32") return WindowKind::kStatusBar;
  if (lower_class == "#32770") return WindowKind::kDialog;
  return WindowKind::kGeneric;
}

bool IsBuiltInClass(const std::string& lower_class) {
  return lower_class == "edit" || lower_class == "button" || lower_class == "msctls_statusbar32" ||
         lower_class == "#32770";
}

std::string ClassNameOf(LPCSTR name) {
  if (!name) return "";
  if (IS_INTRESOURCE(name)) {
    // An atom: find the registered class that has it.
    ATOM atom = static_cast<ATOM>(reinterpret_cast<uintptr_t>(name));
    for (auto& [key, rec] : S().classes) {
      if (rec.atom == atom) return rec.name;
    }
    return "";
  }
  return name;
}

void RemoveTimersOf(HWND hwnd) {
  auto& timers = S().timers;
  timers.erase(std::remove_if(timers.begin(), timers.end(),
                              [hwnd](const Timer& t) { return t.hwnd == hwnd; }),
               timers.end());
}

bool IsSelfOrDescendant(HWND ancestor, HWND hwnd) {
  for (Window* w = W(hwnd); w; w = W(w->parent)) {
    if (w->handle == ancestor) return true;
    if (!(w->style & WS_CHILD)) break;
  }
  return false;
}

void DestroyRecursive(HWND hwnd) {
  Window* w = W(hwnd);
  if (!w || w->destroying) return;
  w->destroying = true;
  SendMessageA(hwnd, WM_DESTROY, 0, 0);
  w = W(hwnd);
  if (!w) return;
  std::vector<HWND> children = w->children;
  for (HWND c : children) DestroyRecursive(c);
  SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
  w = W(hwnd);
  if (!w) return;
  if (S().focus == hwnd) S().focus = nullptr;
  RemoveTimersOf(hwnd);
  if (Window* p = W(w->parent)) {
    auto& siblings = p->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), hwnd), siblings.end());
    auto& records = p->child_windows;
    records.erase(std::remove(records.begin(), records.end(), w), records.end());
  }
  auto& top = S().top_level;
  top.erase(std::remove(top.begin(), top.end(), hwnd), top.end());
  S().windows.erase(reinterpret_cast<uintptr_t>(hwnd));
}

}  // namespace

RECT ClientRectOf(const Window* w) {
  Insets in = NonClient(w->style, w->ex_style);
  int width = std::max<int>(0, (w->rect.right - w->rect.left) - in.left - in.right);
  int height = std::max<int>(0, (w->rect.bottom - w->rect.top) - in.top - in.bottom);
  return RECT{0, 0, width, height};
}

static POINT WindowOriginOnScreen(const Window* w) {
  POINT p{w->rect.left, w->rect.top};
  if (w->style & WS_CHILD) {
    if (Window* parent = W(w->parent)) {
      POINT o = ClientOriginOnScreen(parent);
      p.x += o.x;
      p.y += o.y;
    }
  }
  return p;
}

POINT ClientOriginOnScreen(const Window* w) {
  POINT p = WindowOriginOnScreen(w);
  Insets in = NonClient(w->style, w->ex_style);
  return POINT{p.x + in.left, p.y + in.top};
}

bool IsEnabledChain(const Window* w) {
  for (; w; w = (w->style & WS_CHILD) ? W(w->parent) : nullptr) {
    if (w->style & WS_DISABLED) return false;
  }
  return true;
}

bool IsVisibleChain(const Window* w) {
  for (; w; w = (w->style & WS_CHILD) ? W(w->parent) : nullptr) {
    if (!(w->style & WS_VISIBLE)) return false;
  }
  return true;
}

HWND CreateWindowInternal(DWORD ex_style, const std::string& class_name, const char* text,
                          DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu,
                          HINSTANCE instance, LPVOID param) {
  State& s = S();
  std::string key = Lower(class_name);
  auto cls = s.classes.find(key);
  bool registered = cls != s.classes.end();
  if (!registered && !IsBuiltInClass(key)) {
    s.last_error = 1407;  // ERROR_CANNOT_FIND_WND_CLASS
    return nullptr;
  }
  Window* parent_window = W(parent);
  if ((style & WS_CHILD) && !parent_window) {
    s.last_error = 1406;  // ERROR_TLW_WITH_WSCHILD
    return nullptr;
  }
  if (parent && !parent_window) {
    s.last_error = 1400;  // ERROR_INVALID_WINDOW_HANDLE
    return nullptr;
  }

  auto owned = std::make_unique<Window>();
  Window* w = owned.get();
  w->handle = reinterpret_cast<HWND>(NewHandle());
  w->kind = registered ? WindowKind::kGeneric : BuiltInKind(key);
  w->class_name = registered ? cls->second.name : class_name;
  w->wndproc = registered ? cls->second.wc.lpfnWndProc : nullptr;
  w->text = text ? text : "";
  w->style = style;
  w->ex_style = ex_style;
  w->instance = instance;
  if (style & WS_CHILD) {
    w->parent = parent;
    w->id = static_cast<int>(reinterpret_cast<intptr_t>(menu));
  } else {
    w->owner = parent;
  }
  if (!(style & WS_CHILD)) {
    // Default position and size of overlapped windows.
    if (x == CW_USEDEFAULT) {
      x = 0;
      y = 0;
    }
    if (width == CW_USEDEFAULT) {
      width = kScreenWidth * 3 / 4;
      height = kScreenHeight * 3 / 4;
    }
  }
  w->rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};

  HWND handle = w->handle;
  s.windows[reinterpret_cast<uintptr_t>(handle)] = std::move(owned);
  if (parent_window && (style & WS_CHILD)) {
    parent_window->children.push_back(handle);
    parent_window->child_windows.push_back(w);
  } else {
    s.top_level.push_back(handle);
  }

  if (w->kind == WindowKind::kGeneric) {
    CREATESTRUCTA cs{};
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parent;
    cs.cx = width;
    cs.cy = height;
    cs.x = x;
    cs.y = y;
    cs.style = static_cast<LONG>(style);
    cs.lpszName = text;
    cs.lpszClass = class_name.c_str();
    cs.dwExStyle = ex_style;
    if (!SendMessageA(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) ||
        SendMessageA(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
      DestroyWindow(handle);
      return nullptr;
    }
  } else {
    InitControl(w);
  }
  return W(handle) ? handle : nullptr;
}

void DestroyAll() {
  State& s = S();
  while (!s.top_level.empty()) {
    HWND h = s.top_level.back();
    DestroyWindow(h);
    // A window whose procedure refuses to go still leaves the table.
    if (!s.top_level.empty() && s.top_level.back() == h) {
      s.top_level.pop_back();
      s.windows.erase(reinterpret_cast<uintptr_t>(h));
    }
  }
  s.windows.clear();
  s.focus = nullptr;
}

}  // namespace internal
}  // namespace standin

using namespace standin::internal;

// ------------------------------------------------------------------ kernel32

extern "C" HMODULE WINAPI GetModuleHandleA(LPCSTR module_name) {
  return module_name ? nullptr : reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x400000));
}

extern "C" DWORD WINAPI GetLastError(void) {
  return S().last_error;
}

extern "C" VOID WINAPI SetLastError(DWORD error) {
  S().last_error = error;
}

// number * numerator / denominator with a 64-bit intermediate, rounded to the
// nearest integer, halves away from zero; -1 on overflow or a zero divisor.
extern "C" int WINAPI MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  long long p = static_cast<long long>(number) * numerator;
  long long q = p / denominator;
  long long r = p % denominator;
  if (2 * (r < 0 ? -r : r) >= (denominator < 0 ? -static_cast<long long>(denominator)
                                               : static_cast<long long>(denominator))) {
    q += ((p < 0) != (denominator < 0)) ? -1 : 1;
  }
  if (q > 2147483647LL || q < -2147483647LL - 1) return -1;
  return static_cast<int>(q);
}

// ------------------------------------------------------------------ classes

extern "C" ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc) {
  State& s = S();
  if (!wc || wc->cbSize != sizeof(WNDCLASSEXA) || !wc->lpszClassName ||
      IS_INTRESOURCE(wc->lpszClassName)) {
    s.last_error = 87;  // ERROR_INVALID_PARAMETER
    return 0;
  }
  std::string key = Lower(wc->lpszClassName);
  if (s.classes.count(key)) {
    s.last_error = 1410;  // ERROR_CLASS_ALREADY_EXISTS
    return 0;
  }
  ClassRecord rec;
  rec.wc = *wc;
  rec.name = wc->lpszClassName;
  if (wc->lpszMenuName && !IS_INTRESOURCE(wc->lpszMenuName)) rec.menu_name = wc->lpszMenuName;
  rec.atom = s.next_atom++;
  ATOM atom = rec.atom;
  s.classes[key] = std::move(rec);
  ClassRecord& stored = s.classes[key];
  stored.wc.lpszClassName = stored.name.c_str();
  if (!stored.menu_name.empty()) stored.wc.lpszMenuName = stored.menu_name.c_str();
  return atom;
}

extern "C" BOOL WINAPI UnregisterClassA(LPCSTR class_name, HINSTANCE) {
  std::string name = ClassNameOf(class_name);
  return S().classes.erase(Lower(name)) ? TRUE : FALSE;
}

extern "C" BOOL WINAPI GetClassInfoExA(HINSTANCE, LPCSTR class_name, LPWNDCLASSEXA wc) {
  if (!wc) return FALSE;
  std::string name = ClassNameOf(class_name);
  auto it = S().classes.find(Lower(name));
  if (it == S().classes.end()) {
    S().last_error = 1411;  // ERROR_CLASS_DOES_NOT_EXIST
    return FALSE;
  }
  *wc = it->second.wc;
  wc->cbSize = sizeof(WNDCLASSEXA);
  return TRUE;
}

// ------------------------------------------------------------------ windows

extern "C" HWND WINAPI CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name,
                                       DWORD style, int x, int y, int width, int height,
                                       HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  std::string name = ClassNameOf(class_name);
  if (name.empty()) {
    S().last_error = 1407;
    return nullptr;
  }
  return CreateWindowInternal(ex_style, name, window_name, style, x, y, width, height, parent, menu,
                              instance, param);
}

extern "C" BOOL WINAPI DestroyWindow(HWND hwnd) {
  Window* w = W(hwnd);
  if (!w) return FALSE;
  // Owned top-level windows go first, as on Windows.
  std::vector<HWND> owned;
  for (HWND t : S().top_level) {
    Window* tw = W(t);
    if (tw && tw->owner == hwnd) owned.push_back(t);
  }
  for (HWND t : owned) DestroyWindow(t);
  if (S().focus && IsSelfOrDescendant(hwnd, S().focus)) S().focus = nullptr;
  DestroyRecursive(hwnd);
  return TRUE;
}

extern "C" BOOL WINAPI IsWindow(HWND hwnd) {
  return W(hwnd) ? TRUE : FALSE;
}

extern "C" BOOL WINAPI IsWindowVisible(HWND hwnd) {
  Window* w = W(hwnd);
  return w && IsVisibleChain(w) ? TRUE : FALSE;
}

extern "C" BOOL WINAPI ShowWindow(HWND hwnd, int cmd_show) {
  Window* w = W(hwnd);
  if (!w) return FALSE;
  BOOL was_visible = (w->style & WS_VISIBLE) ? TRUE : FALSE;
  if (cmd_show == SW_HIDE) {
    w->style &= ~static_cast<DWORD>(WS_VISIBLE);
  } else {
    w->style |= WS_VISIBLE;
  }
  return was_visible;
}

extern "C" BOOL WINAPI UpdateWindow(HWND hwnd) {
  return W(hwnd) ? TRUE : FALSE;
}

extern "C" BOOL WINAPI InvalidateRect(HWND hwnd, const RECT*, BOOL) {
  return hwnd == nullptr || W(hwnd) ? TRUE : FALSE;
}

extern "C" LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Window* w = W(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_NCCREATE:
      return TRUE;
    case WM_SETTEXT:
      SetTextRaw(w, reinterpret_cast<const char*>(lp));
      return TRUE;
    case WM_GETTEXT:
      return CopyTextOut(w->text, wp, lp);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->text.size());
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == SC_CLOSE) SendMessageA(hwnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_RBUTTONUP: {
      POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      ClientToScreen(hwnd, &p);
      SendMessageA(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(p.x, p.y));
      return 0;
    }
    case WM_CONTEXTMENU:
      if ((w->style & WS_CHILD) && w->parent) return SendMessageA(w->parent, msg, wp, lp);
      return 0;
    default:
      return 0;
  }
}

extern "C" LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return proc ? proc(hwnd, msg, wp, lp) : 0;
}

extern "C" HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
  // System cursors only: each id has its own fixed handle value.
  if (instance || !IS_INTRESOURCE(name)) return nullptr;
  uintptr_t id = reinterpret_cast<uintptr_t>(name);
  if ((id >= 32512 && id <= 32516) || (id >= 32640 && id <= 32651)) {
    return reinterpret_cast<HCURSOR>(0x1000000 + id);
  }
  return nullptr;
}

extern "C" HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
  if (instance || !IS_INTRESOURCE(name)) return nullptr;
  uintptr_t id = reinterpret_cast<uintptr_t>(name);
  if (id >= 32512 && id <= 32518) return reinterpret_cast<HICON>(0x2000000 + id);
  return nullptr;
}

extern "C" HWND WINAPI GetParent(HWND hwnd) {
  Window* w = W(hwnd);
  if (!w) return nullptr;
  if (w->style & WS_CHILD) return w->parent;
  if (w->style & WS_POPUP) return w->owner;
  return nullptr;
}

extern "C" HWND WINAPI GetWindow(HWND hwnd, UINT cmd) {
  Window* w = W(hwnd);
  if (!w) return nullptr;
  if (cmd == GW_OWNER) return (w->style & WS_CHILD) ? nullptr : w->owner;
  if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  const std::vector<HWND>* siblings = nullptr;
  if (Window* p = W(w->parent); p && (w->style & WS_CHILD)) {
    siblings = &p->children;
  } else {
    siblings = &S().top_level;
  }
  auto it = std::find(siblings->begin(), siblings->end(), hwnd);
  if (it == siblings->end()) return nullptr;
  switch (cmd) {
    case GW_HWNDFIRST:
      return siblings->front();
    case GW_HWNDLAST:
      return siblings->back();
    case GW_HWNDNEXT:
      return it + 1 == siblings->end() ? nullptr : *(it + 1);
    case GW_HWNDPREV:
      return it == siblings->begin() ? nullptr : *(it - 1);
    default:
      return nullptr;
  }
}

extern "C" BOOL WINAPI IsChild(HWND parent, HWND hwnd) {
  Window* w = W(hwnd);
  while (w && (w->style & WS_CHILD)) {
    if (w->parent == parent) return TRUE;
    w = W(w->parent);
  }
  return FALSE;
}

extern "C" LONG_PTR WINAPI GetWindowLongPtrA(HWND hwnd, int index) {
  Window* w = W(hwnd);
  if (!w) return 0;
  if (w->kind == WindowKind::kDialog && index >= 0) {
    if (index == DWLP_MSGRESULT) return w->msg_result;
    if (index == DWLP_DLGPROC) return reinterpret_cast<LONG_PTR>(w->dlgproc);
    if (index == DWLP_USER) return w->dlg_user;
    return 0;
  }
  switch (index) {
    case GWL_STYLE:
      return static_cast<LONG>(w->style);
    case GWL_EXSTYLE:
      return static_cast<LONG>(w->ex_style);
    case GWLP_ID:
      return w->id;
    case GWLP_USERDATA:
      return w->user_data;
    case GWLP_WNDPROC:
      return reinterpret_cast<LONG_PTR>(w->wndproc);
    case GWLP_HINSTANCE:
      return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
      return reinterpret_cast<LONG_PTR>((w->style & WS_CHILD) ? w->parent : w->owner);
    default:
      return 0;
  }
}

extern "C" LONG_PTR WINAPI SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
  Window* w = W(hwnd);
  if (!w) return 0;
  LONG_PTR old = GetWindowLongPtrA(hwnd, index);
  if (w->kind == WindowKind::kDialog && index >= 0) {
    if (index == DWLP_MSGRESULT) w->msg_result = value;
    if (index == DWLP_DLGPROC) w->dlgproc = reinterpret_cast<DLGPROC>(value);
    if (index == DWLP_USER) w->dlg_user = value;
    return old;
  }
  switch (index) {
    case GWL_STYLE:
      w->style = static_cast<DWORD>(value);
      break;
    case GWL_EXSTYLE:
      w->ex_style = static_cast<DWORD>(value);
      break;
    case GWLP_ID:
      w->id = static_cast<int>(value);
      break;
    case GWLP_USERDATA:
      w->user_data = value;
      break;
    case GWLP_WNDPROC:
      if (w->kind == WindowKind::kGeneric) w->wndproc = reinterpret_cast<WNDPROC>(value);
      break;
    default:
      break;
  }
  return old;
}

extern "C" LONG WINAPI GetWindowLongA(HWND hwnd, int index) {
  return static_cast<LONG>(GetWindowLongPtrA(hwnd, index));
}

extern "C" LONG WINAPI SetWindowLongA(HWND hwnd, int index, LONG value) {
  return static_cast<LONG>(SetWindowLongPtrA(hwnd, index, value));
}

extern "C" BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text) {
  if (!W(hwnd)) return FALSE;
  return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

extern "C" int WINAPI GetWindowTextA(HWND hwnd, LPSTR text, int max_count) {
  if (!text || max_count <= 0) return 0;
  text[0] = '\0';
  if (!W(hwnd)) return 0;
  return static_cast<int>(SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(max_count),
                                       reinterpret_cast<LPARAM>(text)));
}

extern "C" int WINAPI GetWindowTextLengthA(HWND hwnd) {
  return static_cast<int>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

// ------------------------------------------------------------------ geometry

extern "C" BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
  Window* w = W(hwnd);
  if (!w || !rect) return FALSE;
  *rect = ClientRectOf(w);
  return TRUE;
}

extern "C" BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect) {
  Window* w = W(hwnd);
  if (!w || !rect) return FALSE;
  POINT o = WindowOriginOnScreen(w);
  *rect =
      RECT{o.x, o.y, o.x + (w->rect.right - w->rect.left), o.y + (w->rect.bottom - w->rect.top)};
  return TRUE;
}

extern "C" BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point) {
  Window* w = W(hwnd);
  if (!w || !point) return FALSE;
  POINT o = ClientOriginOnScreen(w);
  point->x += o.x;
  point->y += o.y;
  return TRUE;
}

extern "C" BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT point) {
  Window* w = W(hwnd);
  if (!w || !point) return FALSE;
  POINT o = ClientOriginOnScreen(w);
  point->x -= o.x;
  point->y -= o.y;
  return TRUE;
}

extern "C" BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD ex_style) {
  if (!rect) return FALSE;
  Insets in = NonClient(style, ex_style);
  rect->left -= in.left;
  rect->top -= in.top + (menu ? kCaptionHeight : 0);
  rect->right += in.right;
  rect->bottom += in.bottom;
  return TRUE;
}

// ------------------------------------------------------------------ enabling and focus

extern "C" BOOL WINAPI IsWindowEnabled(HWND hwnd) {
  Window* w = W(hwnd);
  return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

extern "C" BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable) {
  Window* w = W(hwnd);
  if (!w) return FALSE;
  BOOL was_disabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
  if (enable && was_disabled) {
    w->style &= ~static_cast<DWORD>(WS_DISABLED);
    SendMessageA(hwnd, WM_ENABLE, TRUE, 0);
  } else if (!enable && !was_disabled) {
    SendMessageA(hwnd, WM_CANCELMODE, 0, 0);
    if ((w = W(hwnd)) == nullptr) return FALSE;
    w->style |= WS_DISABLED;
    // A disabled window cannot keep the focus.
    if (S().focus && IsSelfOrDescendant(hwnd, S().focus)) SetFocus(nullptr);
    SendMessageA(hwnd, WM_ENABLE, FALSE, 0);
  }
  return was_disabled;
}

extern "C" HWND WINAPI SetFocus(HWND hwnd) {
  State& s = S();
  HWND old = s.focus;
  if (hwnd && !W(hwnd)) {
    s.last_error = 1400;
    return nullptr;
  }
  if (hwnd == old) return old;
  s.focus = hwnd;
  if (old && W(old)) {
    SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (s.focus != hwnd) return old;  // the old window moved the focus elsewhere
  }
  if (hwnd && W(hwnd)) SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

extern "C" HWND WINAPI GetFocus(void) {
  HWND f = S().focus;
  return W(f) ? f : nullptr;
}

extern "C" HWND WINAPI GetActiveWindow(void) {
  State& s = S();
  for (auto it = s.modal_stack.rbegin(); it != s.modal_stack.rend(); ++it) {
    if (W(*it)) return *it;
  }
  return nullptr;
}

extern "C" BOOL WINAPI MessageBeep(UINT) {
  ++S().beeps;
  return TRUE;
}

// ------------------------------------------------------------------ messages

extern "C" LRESULT WINAPI SendMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Window* w = W(hwnd);
  if (!w) return 0;
  switch (w->kind) {
    case WindowKind::kDialog:
      return DialogProcDispatch(w, msg, wp, lp);
    case WindowKind::kEdit:
      return EditProc(w, msg, wp, lp);
    case WindowKind::kButton:
      return ButtonProc(w, msg, wp, lp);
    case WindowKind::kStatusBar:
      return StatusProc(w, msg, wp, lp);
    case WindowKind::kGeneric:
    default:
      if (w->wndproc) return w->wndproc(hwnd, msg, wp, lp);
      return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

extern "C" BOOL WINAPI PostMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (hwnd && !W(hwnd)) {
    S().last_error = 1400;
    return FALSE;
  }
  MSG m{};
  m.hwnd = hwnd;
  m.message = msg;
  m.wParam = wp;
  m.lParam = lp;
  S().posted.push_back(m);
  return TRUE;
}

// ------------------------------------------------------------------ timers

extern "C" UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  State& s = S();
  if (hwnd && !W(hwnd)) {
    s.last_error = 1400;
    return 0;
  }
  if (elapse < 10) elapse = 10;  // USER_TIMER_MINIMUM
  if (!hwnd) {
    static UINT_PTR next_thread_timer = 0x7FFF;
    id = ++next_thread_timer;
  }
  for (Timer& t : s.timers) {
    if (t.hwnd == hwnd && t.id == id) {
      t.elapse = elapse;
      t.proc = proc;
      t.next_due_ms = s.virtual_ms + elapse;
      return id ? id : 1;
    }
  }
  s.timers.push_back(Timer{hwnd, id, elapse, proc, s.virtual_ms + elapse});
  return id ? id : 1;
}

extern "C" BOOL WINAPI KillTimer(HWND hwnd, UINT_PTR id) {
  auto& timers = S().timers;
  for (auto it = timers.begin(); it != timers.end(); ++it) {
    if (it->hwnd == hwnd && it->id == id) {
      timers.erase(it);
      return TRUE;
    }
  }
  return FALSE;
}
