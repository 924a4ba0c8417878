// Built-in behaviour of the controls: single-line edit, buttons (push, check,
// radio, group box) and the common-controls status window.
#include <algorithm>
#include <cstring>

#include "internal.h"
#include "utf8.h"

namespace standin {
namespace internal {

void NotifyParent(Window* control, WORD code) {
  HWND parent = control->parent;
  HWND self = control->handle;
  WPARAM wp = MAKEWPARAM(static_cast<WORD>(control->id), code);
  SendMessageA(parent, WM_COMMAND, wp, reinterpret_cast<LPARAM>(self));
}

// Advance widths in pixels approximating "MS Sans Serif" 8 pt at 96 dpi. The
// raster font has fixed per-character advances; the values here follow its
// proportions (digits 6, minus 4, space 3, narrow i/l 2, wide m/w 8, most
// capitals 7 or 8). Characters not listed measure 6 (the average width),
// accented letters measure as their base letter.
static int CharWidth(uint32_t cp) {
  // One row per 16 characters: control characters, then from the space.
  // clang-format off
  static const unsigned char kAscii[128] = {
      0,  0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 0,  // 0x00
      0,  0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 0,  // 0x10
      3,  3, 4, 7, 6, 9, 7, 2,  4, 4, 5, 7, 3, 4, 3, 4,  // space ! " # $ % & ' ( ) * + , - . /
      6,  6, 6, 6, 6, 6, 6, 6,  6, 6, 3, 3, 7, 7, 7, 6,  // 0-9 : ; < = > ?
      11, 7, 7, 8, 8, 7, 6, 8,  8, 2, 5, 7, 6, 8, 8, 8,  // @ A-O
      7,  8, 7, 7, 6, 8, 7, 10, 7, 7, 7, 3, 4, 3, 5, 6,  // P-Z [ \ ] ^ _
      3,  6, 6, 5, 6, 6, 3, 6,  6, 2, 2, 5, 2, 8, 6, 6,  // ` a-o
      6,  6, 3, 5, 3, 6, 5, 8,  5, 5, 5, 4, 2, 4, 7, 0,  // p-z { | } ~ DEL
  };
  // clang-format on
  if (cp < 128) return kAscii[cp];
  switch (cp) {
    case 0x00B0:  // degree sign
      return 4;
    case 0x00C4:  // Ä
    case 0x00D6:  // Ö
    case 0x00DC:  // Ü
      return 8;
    case 0x00E4:  // ä
    case 0x00F6:  // ö
    case 0x00FC:  // ü
      return 6;
    case 0x00DF:  // ß
      return 6;
    default:
      return 6;
  }
}

int TextWidth(const std::string& utf8) {
  int width = 0;
  for (uint32_t cp : DecodeUtf8(utf8)) width += CharWidth(cp);
  return width;
}

// The status window lies along the bottom of its parent's client area.
static void PlaceStatusBar(Window* w) {
  if (Window* parent = W(w->parent)) {
    RECT pc = ClientRectOf(parent);
    w->rect = RECT{0, pc.bottom - kStatusBarHeight, pc.right, pc.bottom};
  }
}

void InitControl(Window* w) {
  if (w->kind == WindowKind::kStatusBar) {
    w->part_edges = {-1};
    w->part_texts = {w->text};
    w->part_types = {0};
    PlaceStatusBar(w);
  }
}

// ------------------------------------------------------------------ edit

namespace {

// The most characters an edit control takes from the keyboard (EM_LIMITTEXT's
// default).
constexpr size_t kTextLimit = 32767;

size_t SelMin(const Window* w) {
  return std::min(w->sel_anchor, w->sel_caret);
}
size_t SelMax(const Window* w) {
  return std::max(w->sel_anchor, w->sel_caret);
}

int AvailableWidth(const Window* w) {
  return ClientRectOf(w).right;
}

// Replaces the selection with `insert` (UTF-8). With honor_limit, the text
// limit and, without ES_AUTOHSCROLL, the control's width cut the insertion
// short; what is cut is reported with EN_MAXTEXT. Returns true on a change.
bool ReplaceSelection(Window* w, const std::string& insert, bool honor_limit) {
  HWND self = w->handle;
  size_t start = SelMin(w);
  size_t end = SelMax(w);
  size_t len = Utf8Length(w->text);
  start = std::min(start, len);
  end = std::min(end, len);
  std::string head = w->text.substr(0, Utf8Offset(w->text, start));
  std::string tail = w->text.substr(Utf8Offset(w->text, end));
  std::vector<uint32_t> chars = DecodeUtf8(insert);
  bool cut = false;
  if (honor_limit) {
    size_t remaining = len - (end - start);
    while (!chars.empty() && remaining + chars.size() > kTextLimit) {
      chars.pop_back();
      cut = true;
    }
    if (!(w->style & ES_AUTOHSCROLL)) {
      auto joined = [&]() {
        std::string mid;
        for (uint32_t cp : chars) mid += EncodeUtf8(cp);
        return head + mid + tail;
      };
      while (!chars.empty() && TextWidth(joined()) > AvailableWidth(w)) {
        chars.pop_back();
        cut = true;
      }
    }
  }
  std::string mid;
  for (uint32_t cp : chars) mid += EncodeUtf8(cp);
  std::string new_text = head + mid + tail;
  bool changed = new_text != w->text;
  w->text = new_text;
  w->sel_anchor = w->sel_caret = start + chars.size();
  if (cut) {
    ++S().beeps;
    NotifyParent(w, EN_MAXTEXT);
    if (!(w = W(self))) return changed;
  }
  if (changed) {
    NotifyParent(w, EN_UPDATE);
    if ((w = W(self))) NotifyParent(w, EN_CHANGE);
  }
  return changed;
}

size_t CaretFromX(const Window* w, int x) {
  int pos = 0;
  size_t index = 0;
  for (uint32_t cp : DecodeUtf8(w->text)) {
    int cw = CharWidth(cp);
    if (x < pos + cw / 2) return index;
    pos += cw;
    ++index;
  }
  return index;
}

}  // namespace

LRESULT EditProc(Window* w, UINT msg, WPARAM wp, LPARAM lp) {
  HWND self = w->handle;
  const bool read_only = (w->style & ES_READONLY) != 0;
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_SETTEXT:
      // Not limited: the limits apply to typing only.
      SetTextRaw(w, reinterpret_cast<const char*>(lp));
      w->sel_anchor = w->sel_caret = 0;
      NotifyParent(w, EN_UPDATE);
      if ((w = W(self))) NotifyParent(w, EN_CHANGE);
      return TRUE;
    case WM_GETTEXT:
      return CopyTextOut(w->text, wp, lp);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->text.size());
    case WM_SETFOCUS:
      NotifyParent(w, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      NotifyParent(w, EN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(self);
      if ((w = W(self))) w->sel_anchor = w->sel_caret = CaretFromX(w, GET_X_LPARAM(lp));
      return 0;
    case WM_CHAR: {
      uint32_t c = static_cast<uint32_t>(wp);
      if (read_only) return 0;
      if (c == VK_BACK) {
        if (SelMin(w) == SelMax(w)) {
          if (w->sel_caret == 0) return 0;
          w->sel_anchor = w->sel_caret - 1;
        }
        ReplaceSelection(w, "", false);
        return 0;
      }
      if (c < 0x20 || c == 0x7F) return 0;
      if ((w->style & ES_NUMBER) && (c < '0' || c > '9')) {
        ++S().beeps;
        return 0;
      }
      ReplaceSelection(w, EncodeUtf8(c), true);
      return 0;
    }
    case WM_KEYDOWN: {
      size_t len = Utf8Length(w->text);
      bool extend = S().shift_down;
      size_t caret = w->sel_caret;
      switch (wp) {
        case VK_LEFT:
          caret = caret > 0 ? caret - 1 : 0;
          break;
        case VK_RIGHT:
          caret = std::min(caret + 1, len);
          break;
        case VK_HOME:
          caret = 0;
          break;
        case VK_END:
          caret = len;
          break;
        case VK_DELETE:
          if (read_only) return 0;
          if (SelMin(w) == SelMax(w)) {
            if (w->sel_caret >= len) return 0;
            w->sel_anchor = w->sel_caret + 1;
          }
          ReplaceSelection(w, "", false);
          return 0;
        default:
          return 0;
      }
      w->sel_caret = caret;
      if (!extend) w->sel_anchor = caret;
      return 0;
    }
    case EM_SETSEL: {
      size_t len = Utf8Length(w->text);
      intptr_t start = static_cast<intptr_t>(static_cast<int>(wp));
      intptr_t end = static_cast<intptr_t>(static_cast<int>(lp));
      if (start == -1) {
        w->sel_anchor = w->sel_caret;  // removes the selection
        return 0;
      }
      if (end == -1) end = static_cast<intptr_t>(len);
      w->sel_anchor = std::min(static_cast<size_t>(std::max<intptr_t>(start, 0)), len);
      w->sel_caret = std::min(static_cast<size_t>(std::max<intptr_t>(end, 0)), len);
      return 0;
    }
    default:
      return DefWindowProcA(self, msg, wp, lp);
  }
}

// ------------------------------------------------------------------ buttons

namespace {

UINT MaxCheck(UINT type) {
  switch (type) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return BST_CHECKED;
    case BS_3STATE:
    case BS_AUTO3STATE:
      return BST_INDETERMINATE;
    default:
      return BST_UNCHECKED;
  }
}

// Clears the other automatic radio buttons of the button's group.
void UncheckGroupSiblings(Window* w) {
  HWND dialog = w->parent;
  HWND self = w->handle;
  HWND start = GetNextDlgGroupItem(dialog, self, FALSE);
  for (HWND h = start; h && h != self;) {
    Window* other = W(h);
    if (!other) break;
    if (other->kind == WindowKind::kButton &&
        (other->style & BS_TYPEMASK) == static_cast<DWORD>(BS_AUTORADIOBUTTON)) {
      SendMessageA(h, BM_SETCHECK, BST_UNCHECKED, 0);
    }
    HWND next = GetNextDlgGroupItem(dialog, h, FALSE);
    if (next == start) break;
    h = next;
  }
}

void Click(Window* w) {
  HWND self = w->handle;
  switch (w->style & BS_TYPEMASK) {
    case BS_AUTOCHECKBOX:
      SendMessageA(self, BM_SETCHECK, w->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
      break;
    case BS_AUTORADIOBUTTON:
      SendMessageA(self, BM_SETCHECK, BST_CHECKED, 0);
      break;
    case BS_AUTO3STATE:
      SendMessageA(self, BM_SETCHECK, w->check == BST_INDETERMINATE ? 0 : w->check + 1, 0);
      break;
    default:
      break;
  }
  if ((w = W(self))) NotifyParent(w, BN_CLICKED);
}

}  // namespace

LRESULT ButtonProc(Window* w, UINT msg, WPARAM wp, LPARAM lp) {
  HWND self = w->handle;
  const UINT type = w->style & BS_TYPEMASK;
  const bool group_box = type == BS_GROUPBOX;
  switch (msg) {
    case WM_GETDLGCODE:
      switch (type) {
        case BS_PUSHBUTTON:
        case BS_USERBUTTON:
          return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_DEFPUSHBUTTON:
          return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
          return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX:
          return DLGC_STATIC;
        default:
          return DLGC_BUTTON;
      }
    case BM_GETCHECK:
      return w->check;
    case BM_SETCHECK: {
      // No notification. A radio button carries WS_TABSTOP only while checked.
      UINT check = std::min(static_cast<UINT>(wp), MaxCheck(type));
      if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
        if (check) {
          w->style |= WS_TABSTOP;
        } else {
          w->style &= ~static_cast<DWORD>(WS_TABSTOP);
        }
      }
      w->check = check;
      if (type == BS_AUTORADIOBUTTON && check == BST_CHECKED) UncheckGroupSiblings(w);
      return 0;
    }
    case BM_CLICK:
      if (group_box) return 0;
      SendMessageA(self, WM_LBUTTONDOWN, 0, 0);
      SendMessageA(self, WM_LBUTTONUP, 0, 0);
      return 0;
    case WM_LBUTTONDOWN:
      if (group_box) return 0;
      SetFocus(self);
      if ((w = W(self))) w->pressed = true;
      return 0;
    case WM_KEYDOWN:
      if (wp == VK_SPACE && !group_box) w->pressed = true;
      return 0;
    case WM_LBUTTONUP:
    case WM_KEYUP:
      if (msg == WM_KEYUP && wp != VK_SPACE) return 0;
      if (!w->pressed) return 0;
      w->pressed = false;
      Click(w);
      return 0;
    case WM_SETFOCUS:
      if (w->style & BS_NOTIFY) NotifyParent(w, BN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      w->pressed = false;
      if (w->style & BS_NOTIFY) NotifyParent(w, BN_KILLFOCUS);
      return 0;
    default:
      return DefWindowProcA(self, msg, wp, lp);
  }
}

// ------------------------------------------------------------------ status window

LRESULT StatusProc(Window* w, UINT msg, WPARAM wp, LPARAM lp) {
  HWND self = w->handle;
  switch (msg) {
    case SB_SETPARTS: {
      int count = static_cast<int>(wp);
      const int* edges = reinterpret_cast<const int*>(lp);
      if (count <= 0 || count > 256 || !edges) return FALSE;
      w->part_edges.assign(edges, edges + count);
      w->part_texts.resize(static_cast<size_t>(count));
      w->part_types.resize(static_cast<size_t>(count), 0);
      return TRUE;
    }
    case SB_SETTEXTA: {
      // Low byte: part index; high byte: SBT_* flags.
      UINT part = LOBYTE(wp);
      UINT type = static_cast<UINT>(wp) & 0xFF00;
      std::string text = (!(type & SBT_OWNERDRAW) && lp) ? reinterpret_cast<const char*>(lp) : "";
      if (part >= w->part_texts.size()) return FALSE;
      w->part_texts[part] = text;
      w->part_types[part] = type;
      return TRUE;
    }
    case SB_GETTEXTA:
    case SB_GETTEXTLENGTHA: {
      UINT part = LOBYTE(wp);
      if (part >= w->part_texts.size()) return 0;
      const std::string& text = w->part_texts[part];
      if (msg == SB_GETTEXTA && lp) {
        std::memcpy(reinterpret_cast<char*>(lp), text.c_str(), text.size() + 1);
      }
      return MAKELONG(text.size(), w->part_types[part]);
    }
    default:
      return DefWindowProcA(self, msg, wp, lp);
  }
}

}  // namespace internal
}  // namespace standin

using namespace standin::internal;

extern "C" VOID WINAPI InitCommonControls(void) {
  S().common_controls = true;
}

extern "C" HWND WINAPI CreateStatusWindowA(LONG style, LPCSTR text, HWND parent, UINT id) {
  return CreateWindowExA(0, STATUSCLASSNAMEA, text, static_cast<DWORD>(style), 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr, nullptr);
}
