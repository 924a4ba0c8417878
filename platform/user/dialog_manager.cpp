// The dialog manager: dialogs built from templates, the default dialog
// procedure, the modal loop fed by queued inputs, tab and group order, dialog
// item access, the message box, and dialog units in pixels.
#include <cstdio>
#include <string>

#include "internal.h"

namespace standin {
namespace internal {

namespace {

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

bool DialogGone(HWND dialog) {
  Window* d = W(dialog);
  return !d || d->ended;
}

LRESULT DialogProcDispatch(Window* w, UINT msg, WPARAM wp, LPARAM lp) {
  HWND dialog = w->handle;
  DLGPROC proc = w->dlgproc;
  INT_PTR r = proc ? proc(dialog, msg, wp, lp) : 0;
  Window* d = W(dialog);
  if (!d) return r;
  // A nonzero return means the procedure handled the message, whose result is
  // then 0 (nothing here sets DWLP_MSGRESULT); WM_INITDIALOG's result is the
  // return value itself.
  if (r) return msg == WM_INITDIALOG ? r : 0;
  return DialogDefault(d, msg, wp, lp);
}

void DialogSetFocus(HWND, HWND control) {
  if (!control) return;
  if (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
    SendMessageA(control, EM_SETSEL, 0, -1);
  }
  SetFocus(control);
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

// ------------------------------------------------------------------ dialog units

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

int standin::DialogUnitsToPixelsX(int du) {
  return MulDiv(du, kBaseUnitX, 4);
}

int standin::DialogUnitsToPixelsY(int du) {
  return MulDiv(du, kBaseUnitY, 8);
}
