// The host API: what a front-end uses to show the layer's dialog and feed it
// the user's input.
#include <algorithm>

#include "internal.h"
#include "orbel_host_api.h"

namespace standin {

namespace internal {

ControlState ControlStateOf(Window* c) {
  ControlState st;
  st.hwnd = c->handle;
  st.id = c->id;
  st.class_name = c->class_name;
  st.text = c->kind == WindowKind::kStatusBar ? c->part_texts[0] : c->text;
  st.style = c->style;
  st.ex_style = c->ex_style;
  st.template_style = c->template_style;
  st.template_ex_style = c->template_ex_style;
  st.rect_du = c->template_du;
  st.rect_px = c->rect;
  st.client_px = ClientRectOf(c);
  st.enabled = !(c->style & WS_DISABLED);
  st.visible = (c->style & WS_VISIBLE) != 0;
  st.focused = S().focus == c->handle;
  st.check = static_cast<int>(c->check);
  st.sel_start = std::min(c->sel_anchor, c->sel_caret);
  st.sel_end = std::max(c->sel_anchor, c->sel_caret);
  st.caret = c->sel_caret;
  return st;
}

StatusBarState StatusBarStateOf(Window* w) {
  StatusBarState st;
  st.right_edges = w->part_edges;
  st.texts = w->part_texts;
  st.types = w->part_types;
  return st;
}

Pixels PixelsOf(Window* w) {
  Pixels p;
  if (!w->surface) return p;
  p.width = w->surface->width;
  p.height = w->surface->height;
  p.rgb = w->surface->pixels;
  return p;
}

}  // namespace internal

using namespace internal;

// ------------------------------------------------------------------ inputs

Input Input::Click(int id) {
  Input in;
  in.kind = Kind::kClick;
  in.id = id;
  return in;
}

Input Input::ClickWindow(HWND hwnd) {
  Input in;
  in.kind = Kind::kClick;
  in.hwnd = hwnd;
  return in;
}

Input Input::ClickAt(int x, int y) {
  Input in;
  in.kind = Kind::kClickAt;
  in.point = POINT{x, y};
  return in;
}

Input Input::Type(int id, std::string text, EditEntry entry) {
  Input in;
  in.kind = Kind::kType;
  in.id = id;
  in.text = std::move(text);
  in.entry = entry;
  return in;
}

Input Input::Text(std::string text) {
  Input in;
  in.kind = Kind::kText;
  in.text = std::move(text);
  return in;
}

Input Input::Key(UINT vk, bool shift, bool ctrl) {
  Input in;
  in.kind = Kind::kKey;
  in.vk = vk;
  in.shift = shift;
  in.ctrl = ctrl;
  return in;
}

Input Input::Close() {
  Input in;
  in.kind = Kind::kClose;
  return in;
}

Input Input::RightClick(bool shift, bool ctrl, int x, int y) {
  Input in;
  in.kind = Kind::kRightClick;
  in.shift = shift;
  in.ctrl = ctrl;
  in.point = POINT{x, y};
  return in;
}

Input Input::FireTimer(UINT_PTR timer_id) {
  Input in;
  in.kind = Kind::kFireTimer;
  in.timer = timer_id;
  return in;
}

Input Input::AdvanceTime(long long ms) {
  Input in;
  in.kind = Kind::kAdvanceTime;
  in.ms = ms;
  return in;
}

Input Input::AnswerMessageBox(int answer) {
  Input in;
  in.kind = Kind::kAnswerMessageBox;
  in.answer = answer;
  return in;
}

Input Input::SetClock(time_t t) {
  Input in;
  in.kind = Kind::kSetClock;
  in.clock = t;
  return in;
}

Input Input::Call(std::function<void(HWND dialog)> fn) {
  Input in;
  in.kind = Kind::kCall;
  in.call = std::move(fn);
  return in;
}

void QueueInput(Input input) {
  S().inputs.push_back(std::move(input));
}

bool Perform(HWND dialog, const Input& input) {
  bool ok = PerformInput(dialog, input);
  DispatchPosted();
  return ok;
}

void SetIdleHook(std::function<bool(HWND dialog)> hook) {
  S().idle_hook = std::move(hook);
}

// ------------------------------------------------------------------ message boxes

void SetMessageBoxHook(std::function<int(const MessageBoxRecord&)> hook) {
  S().message_box_hook = std::move(hook);
}

// ------------------------------------------------------------------ what to paint

std::vector<ControlState> Controls(HWND dialog) {
  std::vector<ControlState> out;
  Window* d = W(dialog);
  if (!d) return out;
  for (HWND h : d->children) {
    if (Window* c = W(h)) out.push_back(ControlStateOf(c));
  }
  return out;
}

HWND FindStatusBar(HWND parent) {
  Window* p = W(parent);
  if (!p) return nullptr;
  for (HWND h : p->children) {
    Window* c = W(h);
    if (c && c->kind == WindowKind::kStatusBar) return h;
  }
  return nullptr;
}

StatusBarState StatusBar(HWND status_window) {
  Window* w = W(status_window);
  if (!w || w->kind != WindowKind::kStatusBar) return StatusBarState{};
  return StatusBarStateOf(w);
}

Pixels WindowPixels(HWND hwnd) {
  Window* w = W(hwnd);
  return w ? PixelsOf(w) : Pixels{};
}

std::vector<TimerState> Timers() {
  std::vector<TimerState> out;
  for (const Timer& t : S().timers) {
    out.push_back(TimerState{t.hwnd, t.id, t.elapse, t.next_due_ms - S().virtual_ms});
  }
  return out;
}

}  // namespace standin
