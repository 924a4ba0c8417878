#include "fltk_view.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "view_logic.h"
#include "x11_display.h"

namespace orbel_view {

using standin::ControlState;
using standin::Input;

namespace {

// DejaVu Sans (FLTK's sans-serif) at 10 pixels has the 6-pixel digits of
// "MS Sans Serif" 8 pt, by which the layer decides what fits into a field.
constexpr Fl_Font kFont = FL_HELVETICA;
constexpr int kFontSize = 10;

Fl_Color Sys(int index) {
  const COLORREF c = GetSysColor(index);
  return fl_rgb_color(GetRValue(c), GetGValue(c), GetBValue(c));
}

struct Box {
  int x, y, w, h;
};

Box Of(const RECT& r) {
  return Box{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Box Inset(const Box& b, int n) {
  return Box{b.x + n, b.y + n, b.w - 2 * n, b.h - 2 * n};
}

// One pixel of 3D edge: `top_left` along the top and left sides,
// `bottom_right` along the bottom and right sides.
void Edge(const Box& b, Fl_Color top_left, Fl_Color bottom_right) {
  if (b.w < 2 || b.h < 2) return;
  fl_color(top_left);
  fl_xyline(b.x, b.y, b.x + b.w - 2);
  fl_yxline(b.x, b.y, b.y + b.h - 2);
  fl_color(bottom_right);
  fl_xyline(b.x, b.y + b.h - 1, b.x + b.w - 1);
  fl_yxline(b.x + b.w - 1, b.y, b.y + b.h - 1);
}

// The sunken two-pixel edge of WS_EX_CLIENTEDGE (edit fields, check boxes).
void SunkenEdge(const Box& b) {
  Edge(b, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
  Edge(Inset(b, 1), Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT));
}

// Baseline for one line of text whose box is centred on `centre_y`.
int Baseline(int centre_y) {
  return centre_y - fl_height() / 2 + fl_height() - fl_descent();
}

// A control's caption; disabled captions are engraved grey, as Windows draws them.
void Caption(const std::string& text, int x, int centre_y, bool enabled) {
  const int y = Baseline(centre_y);
  if (!enabled) {
    fl_color(Sys(COLOR_BTNHIGHLIGHT));
    fl_draw(text.c_str(), x + 1, y + 1);
    fl_color(Sys(COLOR_GRAYTEXT));
  } else {
    fl_color(Sys(COLOR_BTNTEXT));
  }
  fl_draw(text.c_str(), x, y);
}

// Width of the first `chars` characters of UTF-8 `text`.
int PrefixWidth(const std::string& text, size_t chars) {
  size_t i = 0;
  for (; i < text.size() && chars > 0; --chars) {
    ++i;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
  }
  return static_cast<int>(fl_width(text.c_str(), static_cast<int>(i)));
}

void DottedFocus(int x, int y, int w, int h) {
  fl_color(FL_BLACK);
  fl_line_style(FL_DOT);
  fl_rect(x, y, w, h);
  fl_line_style(FL_SOLID);
}

void PaintEdit(const ControlState& c) {
  const Box outer = Of(c.rect_px);
  Box client = outer;
  if (c.ex_style & WS_EX_CLIENTEDGE) {
    SunkenEdge(outer);
    client = Inset(outer, 2);
  } else if (c.ex_style & WS_EX_STATICEDGE) {
    Edge(outer, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
    client = Inset(outer, 1);
  }
  const bool editable = c.enabled && !(c.style & ES_READONLY);
  fl_color(editable ? Sys(COLOR_WINDOW) : Sys(COLOR_BTNFACE));
  fl_rectf(client.x, client.y, client.w, client.h);

  fl_push_clip(client.x, client.y, client.w, client.h);
  const int x = client.x + 1;
  const int baseline = Baseline(client.y + client.h / 2);
  const int top = baseline - (fl_height() - fl_descent());
  fl_color(c.enabled ? Sys(COLOR_WINDOWTEXT) : Sys(COLOR_GRAYTEXT));
  fl_draw(c.text.c_str(), x, baseline);
  if (c.focused && c.sel_start < c.sel_end) {
    // An edit shows its selection only while it has the focus.
    const int from = x + PrefixWidth(c.text, c.sel_start);
    const int to = x + PrefixWidth(c.text, c.sel_end);
    fl_color(Sys(COLOR_HIGHLIGHT));
    fl_rectf(from, top, to - from, fl_height());
    fl_push_clip(from, top, to - from, fl_height());
    fl_color(Sys(COLOR_HIGHLIGHTTEXT));
    fl_draw(c.text.c_str(), x, baseline);
    fl_pop_clip();
  }
  if (c.focused) {
    fl_color(Sys(COLOR_WINDOWTEXT));
    fl_yxline(x + PrefixWidth(c.text, c.caret), top, top + fl_height() - 1);
  }
  fl_pop_clip();
}

// The classic 7 x 7 check mark, drawn into a box's 9 x 9 inside.
void CheckMark(int x, int y) {
  static const char* const kRows[7] = {"......X", ".....XX", "X...XXX", "XX.XXX.",
                                       "XXXXX..", ".XXX...", "..X...."};
  for (int row = 0; row < 7; ++row) {
    for (int col = 0; col < 7; ++col) {
      if (kRows[row][col] == 'X') fl_point(x + col, y + row);
    }
  }
}

void PaintCheckBox(const Box& b, const ControlState& c) {
  const Box box{b.x, b.y + (b.h - 13) / 2, 13, 13};
  SunkenEdge(box);
  const Box inside = Inset(box, 2);
  fl_color(c.enabled ? Sys(COLOR_WINDOW) : Sys(COLOR_BTNFACE));
  fl_rectf(inside.x, inside.y, inside.w, inside.h);
  if (c.check == BST_CHECKED) {
    fl_color(c.enabled ? Sys(COLOR_WINDOWTEXT) : Sys(COLOR_GRAYTEXT));
    CheckMark(inside.x + 1, inside.y + 1);
  }
}

void PaintRadio(const Box& b, const ControlState& c) {
  const int x = b.x;
  const int y = b.y + (b.h - 12) / 2;
  fl_color(c.enabled ? Sys(COLOR_WINDOW) : Sys(COLOR_BTNFACE));
  fl_pie(x + 1, y + 1, 10, 10, 0, 360);
  // Sunken ring: dark in the upper left, light in the lower right.
  fl_color(Sys(COLOR_BTNSHADOW));
  fl_arc(x, y, 12, 12, 45, 225);
  fl_color(Sys(COLOR_BTNHIGHLIGHT));
  fl_arc(x, y, 12, 12, 225, 405);
  fl_color(Sys(COLOR_3DDKSHADOW));
  fl_arc(x + 1, y + 1, 10, 10, 45, 225);
  fl_color(Sys(COLOR_3DLIGHT));
  fl_arc(x + 1, y + 1, 10, 10, 225, 405);
  if (c.check == BST_CHECKED) {
    fl_color(c.enabled ? Sys(COLOR_WINDOWTEXT) : Sys(COLOR_GRAYTEXT));
    fl_rectf(x + 5, y + 4, 2, 4);
    fl_rectf(x + 4, y + 5, 4, 2);
  }
}

void PaintGroupBox(const Box& b, const ControlState& c) {
  // The etched frame's top runs through the middle of the caption.
  const int top = b.y + fl_height() / 2;
  const int h = b.h - (top - b.y);
  fl_color(Sys(COLOR_BTNHIGHLIGHT));
  fl_rect(b.x + 1, top + 1, b.w - 1, h - 1);
  fl_color(Sys(COLOR_BTNSHADOW));
  fl_rect(b.x, top, b.w - 1, h - 1);
  if (c.text.empty()) return;
  const int x = b.x + 8;
  const int w = static_cast<int>(fl_width(c.text.c_str()));
  fl_color(Sys(COLOR_BTNFACE));
  fl_rectf(x - 2, b.y, w + 4, fl_height());
  Caption(c.text, x, b.y + fl_height() / 2, c.enabled);
}

void PaintButton(const ControlState& c) {
  const Box b = Of(c.rect_px);
  const UINT type = c.style & BS_TYPEMASK;
  if (type == BS_GROUPBOX) {
    Box client = b;
    if (c.ex_style & WS_EX_STATICEDGE) {
      Edge(b, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
      client = Inset(b, 1);
    }
    // What the program drew into the client area (the phase picture) shows
    // as it was drawn; before that, the group box itself.
    const standin::Pixels pixels = standin::WindowPixels(c.hwnd);
    if (pixels.width > 0) {
      std::vector<unsigned char> rgb;
      rgb.reserve(pixels.rgb.size() * 3);
      for (COLORREF p : pixels.rgb) {
        rgb.push_back(GetRValue(p));
        rgb.push_back(GetGValue(p));
        rgb.push_back(GetBValue(p));
      }
      fl_draw_image(rgb.data(), client.x, client.y, pixels.width, pixels.height, 3);
    } else {
      PaintGroupBox(client, c);
    }
    return;
  }
  int text_x = b.x;
  switch (type) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
      PaintCheckBox(b, c);
      text_x += 16;
      break;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      PaintRadio(b, c);
      text_x += 16;
      break;
    default:
      // A push button: raised face with the caption in the middle.
      Edge(b, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_3DDKSHADOW));
      Edge(Inset(b, 1), Sys(COLOR_3DLIGHT), Sys(COLOR_BTNSHADOW));
      text_x += (b.w - static_cast<int>(fl_width(c.text.c_str()))) / 2;
      break;
  }
  // Not clipped to the button: DejaVu Sans is wider than "MS Sans Serif",
  // and "Sommerzeit" would lose its last letter.
  const int centre_y = b.y + b.h / 2;
  Caption(c.text, text_x, centre_y, c.enabled);
  if (c.focused) {
    const int w = static_cast<int>(fl_width(c.text.c_str()));
    DottedFocus(text_x - 1, centre_y - fl_height() / 2, w + 3, fl_height());
  }
}

void PaintStatusBar(const ControlState& c, const standin::StatusBarState& bar) {
  const Box b = Of(c.rect_px);
  fl_color(Sys(COLOR_BTNFACE));
  fl_rectf(b.x, b.y, b.w, b.h);
  Box client = b;
  if (c.style & WS_BORDER) {
    fl_color(Sys(COLOR_WINDOWFRAME));
    fl_rect(b.x, b.y, b.w, b.h);
    client = Inset(b, 1);
  }
  int left = 0;
  for (size_t i = 0; i < bar.right_edges.size(); ++i) {
    const int edge = bar.right_edges[i];
    const int right = edge < 0 ? client.w : std::min(edge, client.w);
    // Each part is sunken, with a two-pixel gap to the next.
    const Box part{client.x + left, client.y + 2, right - left - 2, client.h - 2};
    if (part.w > 2) {
      Edge(part, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
      fl_push_clip(part.x + 1, part.y + 1, part.w - 2, part.h - 2);
      if (i < bar.texts.size()) Caption(bar.texts[i], part.x + 3, part.y + part.h / 2, true);
      fl_pop_clip();
    }
    left = right;
  }
}

bool IsGroupBox(const ControlState& c) {
  return c.class_name == "Button" && (c.style & BS_TYPEMASK) == static_cast<DWORD>(BS_GROUPBOX);
}

Modifiers EventModifiers() {
  const int state = Fl::event_state();
  return Modifiers{(state & FL_SHIFT) != 0, (state & FL_CTRL) != 0, (state & FL_ALT) != 0};
}

}  // namespace

// ------------------------------------------------------------------ the window

class DialogWindow : public Fl_Double_Window {
 public:
  DialogWindow(HWND dialog, int width, int height)
      : Fl_Double_Window(width, height), dialog_(dialog) {
    end();
    callback(OnCloseBox);
    size_range(width, height, width, height);  // the dialog has a fixed size
    xclass("orbel");
  }

  HWND dialog() const { return dialog_; }

  // Shows the window centred in the screen's work area, as DS_CENTER does.
  void Open() {
    Refresh();
    int x = 0, y = 0, w = 0, h = 0;
    Fl::screen_work_area(x, y, w, h);
    position(x + (w - this->w()) / 2, y + (h - this->h()) / 2);
    show();
    if (GetWindowLongA(dialog_, GWL_EXSTYLE) & WS_EX_TOPMOST) KeepAbove(this);
  }

  // Paints again when the dialog looks different from what was painted.
  void Refresh() {
    Scene now = CaptureScene(dialog_);
    if (LooksSame(now, painted_)) return;
    if (now.title != painted_.title) copy_label(now.title.c_str());
    painted_ = std::move(now);
    redraw();
  }

 protected:
  void draw() override {
    fl_font(kFont, kFontSize);
    fl_color(Sys(COLOR_BTNFACE));
    fl_rectf(0, 0, w(), h());
    const std::vector<ControlState> controls = standin::Controls(dialog_);
    // Group boxes lie behind the controls they frame; the rest is painted
    // from the bottom of the z order up, as Windows does.
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
      if (it->visible && IsGroupBox(*it)) PaintButton(*it);
    }
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
      const ControlState& c = *it;
      if (!c.visible || IsGroupBox(c)) continue;
      if (c.class_name == "Edit") {
        PaintEdit(c);
      } else if (c.class_name == "Button") {
        PaintButton(c);
      } else if (c.class_name == STATUSCLASSNAMEA) {
        PaintStatusBar(c, standin::StatusBar(c.hwnd));
      }
    }
  }

  int handle(int event) override {
    switch (event) {
      case FL_PUSH: {
        const Modifiers mods = EventModifiers();
        if (Fl::event_button() == FL_LEFT_MOUSE) {
          standin::QueueInput(Input::ClickAt(Fl::event_x(), Fl::event_y()));
        } else if (Fl::event_button() == FL_RIGHT_MOUSE) {
          standin::QueueInput(
              Input::RightClick(mods.shift, mods.ctrl, Fl::event_x(), Fl::event_y()));
        }
        return 1;
      }
      case FL_KEYBOARD:
      case FL_SHORTCUT: {
        // FLTK offers a key as a shortcut when no widget has the focus.
        std::optional<Input> input =
            InputForKey(Fl::event_key(), Fl::event_text(), EventModifiers());
        if (input) standin::QueueInput(std::move(*input));
        return 1;
      }
      case FL_RELEASE:
      case FL_DRAG:
      case FL_KEYUP:
      case FL_FOCUS:
      case FL_UNFOCUS:
      case FL_ENTER:
      case FL_LEAVE:
      case FL_MOVE:
        return 1;
      default:
        return Fl_Double_Window::handle(event);
    }
  }

 private:
  // The window manager's close box (WM_DELETE_WINDOW).
  static void OnCloseBox(Fl_Widget*, void*) { standin::QueueInput(Input::Close()); }

  HWND dialog_;
  Scene painted_;
};

// ------------------------------------------------------------------ front-end

FltkFrontEnd::FltkFrontEnd() = default;

FltkFrontEnd::~FltkFrontEnd() {
  Shutdown();
}

void FltkFrontEnd::Install() {
  start_ = std::chrono::steady_clock::now();
  advanced_ms_ = 0;
  standin::SetIdleHook([this](HWND dialog) { return OnIdle(dialog); });
  standin::SetMessageBoxHook(
      [this](const standin::MessageBoxRecord& box) { return OnMessageBox(box); });
}

void FltkFrontEnd::Shutdown() {
  standin::SetIdleHook(nullptr);
  standin::SetMessageBoxHook(nullptr);
  if (window_) {
    window_->hide();
    window_.reset();
    Fl::flush();
  }
}

long long FltkFrontEnd::PendingMs() const {
  const auto elapsed = std::chrono::steady_clock::now() - start_;
  return std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() - advanced_ms_;
}

bool FltkFrontEnd::OnIdle(HWND dialog) {
  if (!window_ || window_->dialog() != dialog) {
    RECT client = {};
    GetClientRect(dialog, &client);
    if (window_) window_->hide();
    window_ = std::make_unique<DialogWindow>(dialog, client.right, client.bottom);
    window_->Open();
  }
  window_->Refresh();
  const long long pending = PendingMs();
  const TimerPlan plan = PlanTimers(standin::Timers(), pending);
  if (plan.advance) {
    advanced_ms_ += pending;
    standin::QueueInput(Input::AdvanceTime(pending));
    return true;
  }
  // Paints what changed, then sleeps until an event or the next tick; the
  // event handlers queue the inputs that the modal loop runs next.
  Fl::wait(plan.wait_seconds);
  return true;
}

// Windows keeps delivering WM_TIMER while a message box is up (its own
// message loop dispatches them), so the clock goes on ticking here too.
void FltkFrontEnd::TickDuringMessageBox(void* data) {
  auto* self = static_cast<FltkFrontEnd*>(data);
  long long pending = self->PendingMs();
  TimerPlan plan = PlanTimers(standin::Timers(), pending);
  if (plan.advance) {
    self->advanced_ms_ += pending;
    standin::Perform(self->box_owner_, Input::AdvanceTime(pending));
    if (self->window_) self->window_->Refresh();
    plan = PlanTimers(standin::Timers(), 0);
  }
  if (plan.wait_seconds < kForever) Fl::add_timeout(plan.wait_seconds, TickDuringMessageBox, self);
}

int FltkFrontEnd::OnMessageBox(const standin::MessageBoxRecord& box) {
  const MessageBoxChoices choices = ChoicesFor(box.type);
  auto label = [&](size_t i) {
    return i < choices.labels.size() ? choices.labels[i].c_str() : nullptr;
  };
  if (window_) window_->Refresh();
  box_owner_ = box.owner;
  TickDuringMessageBox(this);
  fl_message_title(box.caption.c_str());
  const int choice = fl_choice("%s", label(0), label(1), label(2), box.text.c_str());
  Fl::remove_timeout(TickDuringMessageBox, this);
  box_owner_ = nullptr;
  const size_t index = static_cast<size_t>(std::max(choice, 0));
  return index < choices.answers.size() ? choices.answers[index] : choices.answers.front();
}

}  // namespace orbel_view
