// The dialog manager: dialogs built from templates, the default dialog
// procedure, keyboard navigation (Tab, Enter, Escape, arrows), the modal loop
// fed by queued inputs, dialog item access and the message box.
#include <cstdio>
#include <cstring>
#include <string>

#include "internal.h"

namespace standin {
namespace internal {

namespace {

bool IsGroupBox(const Window* w) {
  return w->kind == WindowKind::kButton &&
         (w->style & BS_TYPEMASK) == static_cast<DWORD>(BS_GROUPBOX);
}

bool CanTakeFocus(const Window* c) {
  return (c->style & WS_VISIBLE) && !(c->style & WS_DISABLED);
}

LRESULT DialogDefault(Window* w, UINT msg, WPARAM wp, LPARAM lp) {
  HWND dialog = w->handle;
  switch (msg) {
    case WM_CLOSE: {
      // A close request becomes IDCANCEL, unless a disabled IDCANCEL control refuses it.
      HWND cancel = GetDlgItem(dialog, IDCANCEL);
      if (cancel && !IsWindowEnabled(cancel)) {
        MessageBeep(0);
        return 0;
      }
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, reinterpret_cast<LPARAM>(cancel));
      return 0;
    }
    case WM_NEXTDLGCTL: {
      HWND target =
          lp ? reinterpret_cast<HWND>(wp) : GetNextDlgTabItem(dialog, GetFocus(), wp != 0);
      DialogSetFocus(dialog, target);
      return 0;
    }
    default:
      return DefWindowProcA(dialog, msg, wp, lp);
  }
}

std::string TemplateName(LPCSTR name) {
  if (IS_INTRESOURCE(name)) return std::to_string(reinterpret_cast<uintptr_t>(name));
  return name ? name : "";
}

HWND CreateFromTemplate(const DialogTemplate& t, HINSTANCE instance, HWND owner, DLGPROC proc,
                        LPARAM param, const std::string& name) {
  DWORD style = t.style;
  DWORD ex_style = t.ex_style;
  if (style & DS_MODALFRAME) ex_style |= WS_EX_DLGMODALFRAME;
  RECT r{0, 0, DialogUnitsToPixelsX(t.cx), DialogUnitsToPixelsY(t.cy)};
  AdjustWindowRectEx(&r, style, FALSE, ex_style);
  int width = r.right - r.left;
  int height = r.bottom - r.top;
  int x = 0;
  int y = 0;
  if (style & DS_CENTER) {
    x = (kScreenWidth - width) / 2;
    y = (kScreenHeight - height) / 2;
  } else {
    POINT p{DialogUnitsToPixelsX(t.x), DialogUnitsToPixelsY(t.y)};
    if (owner && !(style & DS_ABSALIGN)) ClientToScreen(owner, &p);
    x = p.x;
    y = p.y;
  }
  HWND dialog = CreateWindowInternal(ex_style, "#32770", t.caption.c_str(),
                                     style & ~static_cast<DWORD>(WS_VISIBLE), x, y, width, height,
                                     owner, nullptr, instance, nullptr);
  if (!dialog) return nullptr;
  Window* d = W(dialog);
  d->dlgproc = proc;
  d->template_name = name;
  for (const ControlTemplate& c : t.controls) {
    // As the dialog manager does: a child, and WS_BORDER drawn as a client edge.
    DWORD cs = (c.style & ~static_cast<DWORD>(WS_POPUP)) | WS_CHILD;
    DWORD cex = c.ex_style;
    if (cs & WS_BORDER) {
      cs &= ~static_cast<DWORD>(WS_BORDER);
      cex |= WS_EX_CLIENTEDGE;
    }
    HWND child = CreateWindowInternal(
        cex | WS_EX_NOPARENTNOTIFY, c.class_name, c.text.c_str(), cs, DialogUnitsToPixelsX(c.x),
        DialogUnitsToPixelsY(c.y), DialogUnitsToPixelsX(c.cx), DialogUnitsToPixelsY(c.cy), dialog,
        reinterpret_cast<HMENU>(static_cast<intptr_t>(c.id)), instance, nullptr);
    if (!child) {
      if (style & DS_NOFAILCREATE) continue;
      std::fprintf(stderr, "standin: dialog \"%s\": control %d of class \"%s\" cannot be created\n",
                   name.c_str(), c.id, c.class_name.c_str());
      DestroyWindow(dialog);
      return nullptr;
    }
    Window* cw = W(child);
    cw->from_template = true;
    cw->template_style = c.style;
    cw->template_ex_style = c.ex_style;
    cw->template_du = RECT{c.x, c.y, c.x + c.cx, c.y + c.cy};
  }
  HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
  LRESULT wants_focus = SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
  if (!W(dialog)) return nullptr;
  if (wants_focus) {
    // The dialog procedure may have changed the tab stops: search again.
    HWND focus = GetNextDlgTabItem(dialog, nullptr, FALSE);
    if (focus) DialogSetFocus(dialog, focus);
  }
  d = W(dialog);
  if (d && !d->ended && (style & WS_VISIBLE)) d->style |= WS_VISIBLE;
  return W(dialog) ? dialog : nullptr;
}

UINT CharForKey(UINT vk, bool shift, bool ctrl) {
  if (vk >= 'A' && vk <= 'Z') {
    if (ctrl) return vk - 'A' + 1;
    return shift ? vk : vk - 'A' + 'a';
  }
  if (ctrl) return 0;
  if (vk >= '0' && vk <= '9') return vk;
  switch (vk) {
    case VK_SPACE:
      return ' ';
    case VK_BACK:
      return VK_BACK;
    case 0xBD:  // VK_OEM_MINUS
      return '-';
    default:
      return 0;
  }
}

bool PressKey(HWND dialog, UINT vk, bool shift, bool ctrl) {
  State& s = S();
  s.shift_down = shift;
  s.ctrl_down = ctrl;
  HWND focus = GetFocus();
  bool in_dialog = focus && IsChild(dialog, focus);
  LRESULT code = in_dialog ? SendMessageA(focus, WM_GETDLGCODE, vk, 0) : 0;
  bool handled = true;
  switch (vk) {
    case VK_TAB:
      if (code & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) {
        handled = false;
      } else {
        SendMessageA(dialog, WM_NEXTDLGCTL, shift ? 1 : 0, 0);
      }
      break;
    case VK_RETURN:
      if (code & DLGC_WANTALLKEYS) {
        handled = false;
      } else if (in_dialog && (code & DLGC_DEFPUSHBUTTON)) {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED),
                     reinterpret_cast<LPARAM>(focus));
      } else {
        // No default push button: Enter is IDOK.
        SendMessageA(dialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
      }
      break;
    case VK_ESCAPE:
      if (code & DLGC_WANTALLKEYS) {
        handled = false;
      } else {
        SendMessageA(dialog, WM_COMMAND, IDCANCEL,
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
      }
      break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      if (!in_dialog || (code & (DLGC_WANTARROWS | DLGC_WANTALLKEYS))) {
        handled = false;
      } else {
        HWND next = GetNextDlgGroupItem(dialog, focus, vk == VK_LEFT || vk == VK_UP);
        if (next && next != focus) {
          SetFocus(next);
          Window* nw = W(next);
          if (nw && nw->kind == WindowKind::kButton &&
              (nw->style & BS_TYPEMASK) == static_cast<DWORD>(BS_AUTORADIOBUTTON) &&
              nw->check != BST_CHECKED) {
            SendMessageA(next, BM_CLICK, 0, 0);
          }
        }
      }
      break;
    default:
      handled = false;
      break;
  }
  if (!handled) {
    HWND target = in_dialog ? focus : dialog;
    SendMessageA(target, WM_KEYDOWN, vk, 1);
    UINT ch = CharForKey(vk, shift, ctrl);
    if (ch && W(target)) SendMessageA(target, WM_CHAR, ch, 1);
    if (W(target)) SendMessageA(target, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
  }
  s.shift_down = false;
  s.ctrl_down = false;
  return true;
}

bool DialogGone(HWND dialog) {
  Window* d = W(dialog);
  return !d || d->ended;
}

bool TypeText(HWND dialog, const std::string& text) {
  for (uint32_t cp : DecodeUtf8(text)) {
    if (DialogGone(dialog)) return false;
    switch (cp) {
      case '\t':
        PressKey(dialog, VK_TAB, false, false);
        break;
      case '\r':
      case '\n':
        PressKey(dialog, VK_RETURN, false, false);
        break;
      case 0x1B:
        PressKey(dialog, VK_ESCAPE, false, false);
        break;
      case '\b':
        PressKey(dialog, VK_BACK, false, false);
        break;
      default: {
        HWND focus = GetFocus();
        if (!focus) return false;
        SendMessageA(focus, WM_CHAR, cp, 1);
        break;
      }
    }
  }
  return true;
}

bool ClickControl(HWND dialog, Window* c, EditEntry entry) {
  if (!c || !IsVisibleChain(c) || !IsEnabledChain(c)) return false;
  HWND h = c->handle;
  if (IsGroupBox(c)) {
    // Group boxes are transparent to the mouse: the dialog gets the click.
    LPARAM at = MAKELPARAM(c->rect.left + 1, c->rect.top + 1);
    SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, at);
    if (W(dialog)) SendMessageA(dialog, WM_LBUTTONUP, 0, at);
    return true;
  }
  if (c->kind == WindowKind::kEdit) {
    RECT client = ClientRectOf(c);
    LPARAM at = MAKELPARAM(client.right, client.bottom / 2);  // right of the text
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
    if (W(h) && entry == EditEntry::kSelectAll) SendMessageA(h, EM_SETSEL, 0, -1);
    if (W(h)) SendMessageA(h, WM_LBUTTONUP, 0, at);
    return true;
  }
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  if (W(h)) SendMessageA(h, WM_LBUTTONUP, 0, 0);
  return true;
}

// The child that takes the mouse at `pt` (dialog client pixels): the first
// visible one in z order (template order) whose window holds the point. Group
// boxes are transparent to the mouse. Null on the bare dialog surface.
Window* ChildAt(Window* d, POINT pt) {
  for (HWND h : d->children) {
    Window* c = W(h);
    if (!c || !(c->style & WS_VISIBLE) || IsGroupBox(c)) continue;
    if (pt.x >= c->rect.left && pt.x < c->rect.right && pt.y >= c->rect.top &&
        pt.y < c->rect.bottom) {
      return c;
    }
  }
  return nullptr;
}

// `pt` in dialog client pixels as client coordinates of `c`, packed for a
// mouse message.
LPARAM ClientPoint(Window* d, Window* c, POINT pt) {
  POINT dialog_origin = ClientOriginOnScreen(d);
  POINT control_origin = ClientOriginOnScreen(c);
  return MAKELPARAM(pt.x - (control_origin.x - dialog_origin.x),
                    pt.y - (control_origin.y - dialog_origin.y));
}

// One mouse click (button down, then up) at `pt`, delivered as Windows does to
// the window under the point; a disabled control swallows it.
bool MouseClickAt(HWND dialog, POINT pt, UINT down, UINT up, WPARAM button, WPARAM mods) {
  Window* d = W(dialog);
  if (!d) return false;
  HWND target = dialog;
  LPARAM at = MAKELPARAM(pt.x, pt.y);
  if (Window* c = ChildAt(d, pt)) {
    if (c->style & WS_DISABLED) return false;
    target = c->handle;
    at = ClientPoint(d, c, pt);
  }
  SendMessageA(target, down, button | mods, at);
  if (W(target)) SendMessageA(target, up, mods, at);
  return true;
}

bool RightClickAt(HWND dialog, POINT pt, bool shift, bool ctrl) {
  WPARAM mods = (shift ? MK_SHIFT : 0) | (ctrl ? MK_CONTROL : 0);
  return MouseClickAt(dialog, pt, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, mods);
}

bool LeftClickAt(HWND dialog, POINT pt) {
  return MouseClickAt(dialog, pt, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, 0);
}

void AdvanceTime(long long ms) {
  State& s = S();
  s.virtual_ms += ms;
  AdvanceInjectedClockMs(ms);
  // Each due timer fires once, however many periods passed, as WM_TIMER does.
  std::vector<Timer> due;
  for (Timer& t : s.timers) {
    if (t.next_due_ms <= s.virtual_ms) {
      due.push_back(t);
      t.next_due_ms = s.virtual_ms + t.elapse;
    }
  }
  for (const Timer& t : due) FireTimer(t.hwnd, t.id);
}

void RunModalLoop(HWND dialog) {
  State& s = S();
  for (;;) {
    if (DialogGone(dialog)) return;
    if (!s.posted.empty()) {
      MSG m = s.posted.front();
      s.posted.pop_front();
      if (W(m.hwnd)) SendMessageA(m.hwnd, m.message, m.wParam, m.lParam);
      continue;
    }
    if (!s.inputs.empty()) {
      Input input = std::move(s.inputs.front());
      s.inputs.pop_front();
      PerformInput(dialog, input);
      continue;
    }
    if (s.idle_hook && s.idle_hook(dialog)) continue;
    s.loop_ran_dry = true;
    std::fprintf(stderr,
                 "standin: the modal loop of dialog \"%s\" has no more input; ending it with -1\n",
                 W(dialog)->template_name.c_str());
    EndDialog(dialog, -1);
    return;
  }
}

}  // namespace

LRESULT DialogProcDispatch(Window* w, UINT msg, WPARAM wp, LPARAM lp) {
  HWND dialog = w->handle;
  DLGPROC proc = w->dlgproc;
  INT_PTR r = proc ? proc(dialog, msg, wp, lp) : 0;
  Window* d = W(dialog);
  if (!d) return r;
  if (r) {
    switch (msg) {
      case WM_INITDIALOG:
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORBTN:
      case WM_CTLCOLORDLG:
      case WM_CTLCOLORSTATIC:
        return r;
      default:
        return d->msg_result;
    }
  }
  return DialogDefault(d, msg, wp, lp);
}

void DialogSetFocus(HWND, HWND control) {
  if (!control) return;
  if (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
    SendMessageA(control, EM_SETSEL, 0, -1);
  }
  SetFocus(control);
}

void DispatchPosted() {
  State& s = S();
  while (!s.posted.empty()) {
    MSG m = s.posted.front();
    s.posted.pop_front();
    if (W(m.hwnd)) SendMessageA(m.hwnd, m.message, m.wParam, m.lParam);
  }
}

bool PerformInput(HWND dialog, const Input& input) {
  State& s = S();
  Window* d = W(dialog);
  auto target = [&]() -> Window* {
    if (input.hwnd) return W(input.hwnd);
    return ChildById(d, input.id);
  };
  switch (input.kind) {
    case Input::Kind::kClick: {
      if (!d) return false;
      Window* c = target();
      return ClickControl(dialog, c, EditEntry::kCaretAtEnd);
    }
    case Input::Kind::kClickAt:
      return LeftClickAt(dialog, input.point);
    case Input::Kind::kType: {
      if (!d) return false;
      Window* c = target();
      if (!c || c->kind != WindowKind::kEdit) return false;
      if (!ClickControl(dialog, c, input.entry)) return false;
      return TypeText(dialog, input.text);
    }
    case Input::Kind::kText:
      return d && TypeText(dialog, input.text);
    case Input::Kind::kKey:
      return d && PressKey(dialog, input.vk, input.shift, input.ctrl);
    case Input::Kind::kClose:
      if (!d) return false;
      SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
      return true;
    case Input::Kind::kRightClick:
      return RightClickAt(dialog, input.point, input.shift, input.ctrl);
    case Input::Kind::kFireTimer:
      return FireTimer(dialog, input.timer);
    case Input::Kind::kAdvanceTime:
      AdvanceTime(input.ms);
      return true;
    case Input::Kind::kAnswerMessageBox:
      s.message_box_answers.push_back(input.answer);
      return true;
    case Input::Kind::kSetClock:
      SetClock(input.clock);
      return true;
    case Input::Kind::kCall:
      if (input.call) input.call(dialog);
      return true;
  }
  return false;
}

}  // namespace internal
}  // namespace standin

using namespace standin::internal;

// ------------------------------------------------------------------ dialogs

extern "C" INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR template_name, HWND owner,
                                          DLGPROC dialog_func, LPARAM init_param) {
  State& s = S();
  std::string name = TemplateName(template_name);
  s.dialog_box_calls.push_back(standin::DialogBoxCall{instance, name, owner, init_param, 0});
  size_t call_index = s.dialog_box_calls.size() - 1;
  auto finish = [&](INT_PTR result) {
    s.dialog_box_calls[call_index].result = result;
    return result;
  };
  if (owner && !W(owner)) return finish(0);
  standin::DialogTemplate t;
  std::string error;
  if (!FindTemplate(template_name, &t, &error)) {
    std::fprintf(stderr, "standin: DialogBoxParamA: %s\n", error.c_str());
    return finish(-1);
  }
  // A modal dialog disables its owner while it runs.
  bool reenable_owner = owner && IsWindowEnabled(owner);
  if (reenable_owner) EnableWindow(owner, FALSE);
  HWND dialog = CreateFromTemplate(t, instance, owner, dialog_func, init_param, name);
  if (!dialog) {
    if (reenable_owner && W(owner)) EnableWindow(owner, TRUE);
    return finish(-1);
  }
  s.modal_stack.push_back(dialog);
  RunModalLoop(dialog);
  INT_PTR result = 0;
  if (Window* d = W(dialog)) {
    result = d->end_result;
    CaptureSnapshot(d, &s.last_ended);
    s.last_ended.result = result;
    DestroyWindow(dialog);
  }
  s.modal_stack.pop_back();
  if (reenable_owner && W(owner)) EnableWindow(owner, TRUE);
  return finish(result);
}

extern "C" HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR template_name, HWND owner,
                                          DLGPROC dialog_func, LPARAM init_param) {
  standin::DialogTemplate t;
  std::string error;
  if (!FindTemplate(template_name, &t, &error)) {
    std::fprintf(stderr, "standin: CreateDialogParamA: %s\n", error.c_str());
    return nullptr;
  }
  return CreateFromTemplate(t, instance, owner, dialog_func, init_param,
                            TemplateName(template_name));
}

extern "C" BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
  Window* d = W(dialog);
  if (!d) return FALSE;
  d->ended = true;
  d->end_result = result;
  d->style &= ~static_cast<DWORD>(WS_VISIBLE);  // hidden at once, destroyed by the loop
  return TRUE;
}

extern "C" LRESULT WINAPI DefDlgProcA(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  Window* d = W(dialog);
  return d ? DialogDefault(d, msg, wp, lp) : 0;
}

extern "C" BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG msg) {
  if (!msg || !W(dialog)) return FALSE;
  if (msg->message == WM_KEYDOWN) {
    PressKey(dialog, static_cast<UINT>(msg->wParam), false, false);
    return TRUE;
  }
  if (msg->message == WM_CHAR) {
    if (HWND focus = GetFocus()) SendMessageA(focus, WM_CHAR, msg->wParam, msg->lParam);
    return TRUE;
  }
  return FALSE;
}

extern "C" HWND WINAPI GetDlgItem(HWND dialog, int id) {
  Window* c = ChildById(W(dialog), id);
  return c ? c->handle : nullptr;
}

extern "C" int WINAPI GetDlgCtrlID(HWND hwnd) {
  Window* w = W(hwnd);
  return w ? w->id : 0;
}

extern "C" LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT msg, WPARAM wp, LPARAM lp) {
  HWND c = GetDlgItem(dialog, id);
  return c ? SendMessageA(c, msg, wp, lp) : 0;
}

extern "C" BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
  HWND c = GetDlgItem(dialog, id);
  if (!c) return FALSE;
  return SendMessageA(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

extern "C" UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int max_count) {
  if (!text || max_count <= 0) return 0;
  text[0] = '\0';
  HWND c = GetDlgItem(dialog, id);
  if (!c) return 0;
  return static_cast<UINT>(
      SendMessageA(c, WM_GETTEXT, static_cast<WPARAM>(max_count), reinterpret_cast<LPARAM>(text)));
}

extern "C" BOOL WINAPI SetDlgItemInt(HWND dialog, int id, UINT value, BOOL is_signed) {
  char text[16];
  if (is_signed) {
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  } else {
    std::snprintf(text, sizeof text, "%u", value);
  }
  return SetDlgItemTextA(dialog, id, text);
}

// Windows' rules: leading spaces are skipped; a signed read accepts one '-';
// then at least one digit; then only spaces may follow. Anything else, or a
// value beyond the range (signed -2147483648..2147483647, unsigned
// 0..4294967295), reads as 0 with *translated FALSE.
extern "C" UINT WINAPI GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL is_signed) {
  if (translated) *translated = FALSE;
  HWND c = GetDlgItem(dialog, id);
  if (!c) return 0;
  LRESULT length = SendMessageA(c, WM_GETTEXTLENGTH, 0, 0);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(c, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  const char* p = text.c_str();
  while (*p == ' ') ++p;
  bool negative = false;
  if (is_signed && *p == '-') {
    negative = true;
    ++p;
  }
  if (*p < '0' || *p > '9') return 0;
  unsigned long long value = 0;
  bool overflow = false;
  while (*p >= '0' && *p <= '9') {
    value = value * 10 + static_cast<unsigned>(*p - '0');
    if (value > 0xFFFFFFFFull) overflow = true;
    if (overflow) value = 0x100000000ull;  // keeps the loop from wrapping
    ++p;
  }
  while (*p == ' ') ++p;
  if (*p != '\0' || overflow) return 0;
  UINT result = 0;
  if (is_signed) {
    if (negative) {
      if (value > 2147483648ull) return 0;
      result = static_cast<UINT>(0u - static_cast<UINT>(value));
    } else {
      if (value > 2147483647ull) return 0;
      result = static_cast<UINT>(value);
    }
  } else {
    result = static_cast<UINT>(value);
  }
  if (translated) *translated = TRUE;
  return result;
}

extern "C" BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND c = GetDlgItem(dialog, id);
  if (!c) return FALSE;
  SendMessageA(c, BM_SETCHECK, check, 0);
  return TRUE;
}

extern "C" UINT WINAPI IsDlgButtonChecked(HWND dialog, int id) {
  return static_cast<UINT>(SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0));
}

extern "C" BOOL WINAPI CheckRadioButton(HWND dialog, int first_id, int last_id, int check_id) {
  for (int id = first_id; id <= last_id; ++id) {
    if (HWND c = GetDlgItem(dialog, id)) {
      SendMessageA(c, BM_SETCHECK, id == check_id ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }
  return TRUE;
}

// The next (or previous) visible, enabled WS_TABSTOP control in template
// order, wrapping around; the control itself when there is no other.
extern "C" HWND WINAPI GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  Window* d = W(dialog);
  if (!d) return nullptr;
  const auto& children = d->children;
  int n = static_cast<int>(children.size());
  if (n == 0) return nullptr;
  int start = previous ? n : -1;
  for (int i = 0; i < n; ++i) {
    if (children[static_cast<size_t>(i)] == control) start = i;
  }
  for (int step = 1; step <= n; ++step) {
    int j = ((start + (previous ? -step : step)) % n + n) % n;
    Window* c = W(children[static_cast<size_t>(j)]);
    if (c && (c->style & WS_TABSTOP) && CanTakeFocus(c)) return c->handle;
  }
  return control;
}

// The next (or previous) visible, enabled control of the group that holds
// `control`; a group starts at a WS_GROUP control and runs to the next one.
extern "C" HWND WINAPI GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
  Window* d = W(dialog);
  if (!d || d->children.empty()) return nullptr;
  const auto& children = d->children;
  int n = static_cast<int>(children.size());
  int index = -1;
  for (int i = 0; i < n; ++i) {
    if (children[static_cast<size_t>(i)] == control) index = i;
  }
  if (index < 0) return children.front();
  int first = index;
  while (first > 0 && !(W(children[static_cast<size_t>(first)])->style & WS_GROUP)) --first;
  int last = index + 1;
  while (last < n && !(W(children[static_cast<size_t>(last)])->style & WS_GROUP)) ++last;
  int size = last - first;
  for (int step = 1; step < size; ++step) {
    int j = first + (((index - first) + (previous ? -step : step)) % size + size) % size;
    Window* c = W(children[static_cast<size_t>(j)]);
    if (c && CanTakeFocus(c)) return c->handle;
  }
  return control;
}

extern "C" BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect) {
  if (!W(dialog) || !rect) return FALSE;
  rect->left = standin::DialogUnitsToPixelsX(rect->left);
  rect->right = standin::DialogUnitsToPixelsX(rect->right);
  rect->top = standin::DialogUnitsToPixelsY(rect->top);
  rect->bottom = standin::DialogUnitsToPixelsY(rect->bottom);
  return TRUE;
}

// ------------------------------------------------------------------ message box

extern "C" int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  State& s = S();
  standin::MessageBoxRecord rec;
  rec.owner = owner;
  rec.text = text ? text : "";
  rec.caption = caption ? caption : "Error";
  rec.type = type;
  int answer = 0;
  if (s.message_box_hook) {
    answer = s.message_box_hook(rec);
  } else if (!s.message_box_answers.empty()) {
    answer = s.message_box_answers.front();
    s.message_box_answers.pop_front();
  } else {
    switch (type & MB_TYPEMASK) {
      case MB_YESNO:
      case MB_YESNOCANCEL:
        answer = IDNO;
        break;
      case MB_OKCANCEL:
      case MB_RETRYCANCEL:
      case MB_CANCELTRYCONTINUE:
        answer = IDCANCEL;
        break;
      case MB_ABORTRETRYIGNORE:
        answer = IDABORT;
        break;
      default:
        answer = IDOK;
        break;
    }
  }
  rec.answer = answer;
  s.message_boxes.push_back(rec);
  return answer;
}
