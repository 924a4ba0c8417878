// The window manager of the headless Win32 layer: the window table and its
// handles, classes, creation and destruction, the default window procedure,
// message dispatch and posting, geometry, enabling, focus and timers.
#include <algorithm>
#include <cstring>

#include "internal.h"
#include "utf8.h"

namespace standin {
namespace internal {

State& S() {
  static State state = [] {
    JoinLayerReset(ResetWindowing);
    return State{};
  }();
  return state;
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

namespace {

bool IsLiveWindow(HWND hwnd) {
  return W(hwnd) != nullptr;
}

// The client pixels that a window's device contexts draw on: made at the
// client area's size in the button face colour by the first drawing, and kept
// for the window's life.
Surface* ClientPixels(HWND hwnd) {
  Window* w = W(hwnd);
  if (!w) return nullptr;
  if (!w->surface) {
    RECT client = ClientRectOf(w);
    w->surface = std::make_unique<Surface>();
    w->surface->width = client.right;
    w->surface->height = client.bottom;
    w->surface->pixels.assign(
        static_cast<size_t>(client.right) * static_cast<size_t>(client.bottom),
        GetSysColor(COLOR_BTNFACE));
  }
  return w->surface.get();
}

}  // namespace

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
  if (!registered && !IsBuiltInClass(key)) return nullptr;
  Window* parent_window = W(parent);
  if ((style & WS_CHILD) && !parent_window) return nullptr;
  if (parent && !parent_window) return nullptr;

  auto owned = std::make_unique<Window>();
  Window* w = owned.get();
  w->handle = reinterpret_cast<HWND>(NewHandle());
  w->kind = registered ? WindowKind::kGeneric : BuiltInKind(key);
  w->class_name = registered ? cls->second.name : class_name;
  w->wndproc = registered ? cls->second.wndproc : nullptr;
  w->text = text ? text : "";
  w->style = style;
  w->ex_style = ex_style;
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
  SetWindowSurfaceLookup({IsLiveWindow, ClientPixels});  // device contexts can now name windows
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

// ------------------------------------------------------------------ module

extern "C" HMODULE WINAPI GetModuleHandleA(LPCSTR module_name) {
  return module_name ? nullptr : reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x400000));
}

// ------------------------------------------------------------------ classes

extern "C" ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc) {
  State& s = S();
  if (!wc || wc->cbSize != sizeof(WNDCLASSEXA) || !wc->lpszClassName ||
      IS_INTRESOURCE(wc->lpszClassName)) {
    return 0;
  }
  std::string key = Lower(wc->lpszClassName);
  if (s.classes.count(key)) return 0;  // already registered
  ClassRecord& rec = s.classes[key];
  rec.name = wc->lpszClassName;
  rec.wndproc = wc->lpfnWndProc;
  rec.atom = s.next_atom++;
  return rec.atom;
}

// ------------------------------------------------------------------ windows

extern "C" HWND WINAPI CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name,
                                       DWORD style, int x, int y, int width, int height,
                                       HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  std::string name = ClassNameOf(class_name);
  if (name.empty()) return nullptr;
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

extern "C" HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
  // System cursors only: each id has its own fixed handle value.
  if (instance || !IS_INTRESOURCE(name)) return nullptr;
  uintptr_t id = reinterpret_cast<uintptr_t>(name);
  if ((id >= 32512 && id <= 32516) || (id >= 32640 && id <= 32651)) {
    return reinterpret_cast<HCURSOR>(0x1000000 + id);
  }
  return nullptr;
}

extern "C" BOOL WINAPI IsChild(HWND parent, HWND hwnd) {
  Window* w = W(hwnd);
  while (w && (w->style & WS_CHILD)) {
    if (w->parent == parent) return TRUE;
    w = W(w->parent);
  }
  return FALSE;
}

extern "C" LONG WINAPI GetWindowLongA(HWND hwnd, int index) {
  Window* w = W(hwnd);
  if (!w) return 0;
  switch (index) {
    case GWL_STYLE:
      return static_cast<LONG>(w->style);
    case GWL_EXSTYLE:
      return static_cast<LONG>(w->ex_style);
    default:
      return 0;
  }
}

extern "C" int WINAPI GetWindowTextA(HWND hwnd, LPSTR text, int max_count) {
  if (!text || max_count <= 0) return 0;
  text[0] = '\0';
  if (!W(hwnd)) return 0;
  return static_cast<int>(SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(max_count),
                                       reinterpret_cast<LPARAM>(text)));
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
  if (hwnd && !W(hwnd)) return nullptr;
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
  if (hwnd && !W(hwnd)) return FALSE;
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
  if (hwnd && !W(hwnd)) return 0;
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

namespace standin {
namespace internal {

void DispatchPosted() {
  State& s = S();
  while (!s.posted.empty()) {
    MSG m = s.posted.front();
    s.posted.pop_front();
    if (W(m.hwnd)) SendMessageA(m.hwnd, m.message, m.wParam, m.lParam);
  }
}

bool DeliverTimer(HWND hwnd, UINT_PTR id) {
  for (const Timer& t : S().timers) {
    if (t.hwnd != hwnd || t.id != id) continue;
    if (t.proc) {
      TIMERPROC proc = t.proc;
      proc(hwnd, WM_TIMER, id, static_cast<DWORD>(S().virtual_ms));
    } else {
      SendMessageA(hwnd, WM_TIMER, id, 0);
    }
    return true;
  }
  return false;
}

}  // namespace internal
}  // namespace standin
