// Simulated user input on a dialog: key presses with the dialog manager's
// keyboard interface (Tab, Enter, Escape, arrows), typing, clicks on controls
// and at pixels, right clicks, timer ticks and the passing of virtual time,
// as the modal loop and Perform() carry them out.
#include <string>

#include "internal.h"
#include "utf8.h"

namespace standin {
namespace internal {

namespace {

bool IsGroupBox(const Window* w) {
  return w->kind == WindowKind::kButton &&
         (w->style & BS_TYPEMASK) == static_cast<DWORD>(BS_GROUPBOX);
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
  for (const Timer& t : due) DeliverTimer(t.hwnd, t.id);
}

}  // namespace

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
      return DeliverTimer(dialog, input.timer);
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
