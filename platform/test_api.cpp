// The test and front-end API: inputs, queries and the whole-layer reset.
#include "internal.h"

namespace standin {

using namespace internal;

namespace {

ControlState StateOf(Window* c) {
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

StatusBarState StatusOf(Window* w) {
  StatusBarState st;
  st.right_edges = w->part_edges;
  st.texts = w->part_texts;
  st.types = w->part_types;
  st.simple = w->simple;
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

}  // namespace

namespace internal {

void CaptureSnapshot(Window* dialog, DialogSnapshot* out) {
  DialogSnapshot snap;
  snap.template_name = dialog->template_name;
  snap.title = dialog->text;
  snap.result = dialog->end_result;
  for (HWND h : dialog->children) {
    Window* c = W(h);
    if (!c) continue;
    snap.controls.push_back(StateOf(c));
    if (c->kind == WindowKind::kStatusBar && !snap.status_bar) snap.status_bar = StatusOf(c);
    if (c->surface) snap.pixels[c->id] = PixelsOf(c);
  }
  *out = std::move(snap);
}

}  // namespace internal

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

void QueueInputs(std::vector<Input> inputs) {
  for (Input& in : inputs) S().inputs.push_back(std::move(in));
}

size_t PendingInputs() {
  return S().inputs.size();
}

bool Perform(HWND dialog, const Input& input) {
  bool ok = PerformInput(dialog, input);
  DispatchPosted();
  return ok;
}

void DispatchPostedMessages() {
  DispatchPosted();
}

void SetIdleHook(std::function<bool(HWND dialog)> hook) {
  S().idle_hook = std::move(hook);
}

bool LoopRanDry() {
  return S().loop_ran_dry;
}

// ------------------------------------------------------------------ message boxes

void AnswerNextMessageBox(int answer) {
  S().message_box_answers.push_back(answer);
}

const std::vector<MessageBoxRecord>& MessageBoxes() {
  return S().message_boxes;
}

void SetMessageBoxHook(std::function<int(const MessageBoxRecord&)> hook) {
  S().message_box_hook = std::move(hook);
}

// ------------------------------------------------------------------ queries

HWND ActiveDialog() {
  State& s = S();
  for (auto it = s.modal_stack.rbegin(); it != s.modal_stack.rend(); ++it) {
    if (W(*it)) return *it;
  }
  for (auto it = s.top_level.rbegin(); it != s.top_level.rend(); ++it) {
    Window* w = W(*it);
    if (w && w->kind == WindowKind::kDialog) return *it;
  }
  return nullptr;
}

std::vector<ControlState> Controls(HWND dialog) {
  std::vector<ControlState> out;
  Window* d = W(dialog);
  if (!d) return out;
  for (HWND h : d->children) {
    if (Window* c = W(h)) out.push_back(StateOf(c));
  }
  return out;
}

std::optional<ControlState> Control(HWND dialog, int id) {
  Window* c = ChildById(W(dialog), id);
  if (!c) return std::nullopt;
  return StateOf(c);
}

std::string Text(HWND dialog, int id) {
  Window* c = ChildById(W(dialog), id);
  return c ? c->text : std::string();
}

int Check(HWND dialog, int id) {
  Window* c = ChildById(W(dialog), id);
  return c ? static_cast<int>(c->check) : 0;
}

bool Enabled(HWND dialog, int id) {
  Window* c = ChildById(W(dialog), id);
  return c && !(c->style & WS_DISABLED);
}

int FocusedId(HWND dialog) {
  HWND focus = GetFocus();
  if (!focus || !IsChild(dialog, focus)) return 0;
  return GetDlgCtrlID(focus);
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
  return StatusOf(w);
}

Pixels WindowPixels(HWND hwnd) {
  Window* w = W(hwnd);
  return w ? PixelsOf(w) : Pixels{};
}

const DialogSnapshot& LastEndedDialog() {
  return S().last_ended;
}

const std::vector<DialogBoxCall>& DialogBoxCalls() {
  return S().dialog_box_calls;
}

std::vector<WindowState> TopLevelWindows() {
  std::vector<WindowState> out;
  for (HWND h : S().top_level) {
    Window* w = W(h);
    if (!w) continue;
    WindowState st;
    st.hwnd = h;
    st.class_name = w->class_name;
    st.text = w->text;
    st.style = w->style;
    st.ex_style = w->ex_style;
    st.parent = w->parent;
    st.owner = w->owner;
    st.visible = (w->style & WS_VISIBLE) != 0;
    GetWindowRect(h, &st.rect);
    out.push_back(st);
  }
  return out;
}

std::vector<TimerState> Timers() {
  std::vector<TimerState> out;
  for (const Timer& t : S().timers) {
    out.push_back(TimerState{t.hwnd, t.id, t.elapse, t.next_due_ms - S().virtual_ms});
  }
  return out;
}

bool FireTimer(HWND hwnd, UINT_PTR id) {
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

int LiveGdiObjects() {
  return LiveGdiObjectCount();
}

int LiveDeviceContexts() {
  return LiveDcCount();
}

int Beeps() {
  return S().beeps;
}

bool CommonControlsInitialized() {
  return S().common_controls;
}

// ------------------------------------------------------------------ reset

void Reset() {
  DestroyAll();
  State& s = S();
  s.classes.clear();
  s.next_atom = 0xC000;
  s.focus = nullptr;
  s.modal_stack.clear();
  s.timers.clear();
  s.posted.clear();
  s.inputs.clear();
  s.idle_hook = nullptr;
  s.loop_ran_dry = false;
  s.message_box_answers.clear();
  s.message_box_hook = nullptr;
  s.message_boxes.clear();
  s.dialog_box_calls.clear();
  s.last_ended = DialogSnapshot{};
  s.virtual_ms = 0;
  s.beeps = 0;
  s.common_controls = false;
  s.shift_down = false;
  s.ctrl_down = false;
  s.last_error = 0;
  ResetGdi();
  ResetClockAndZone();
  ResetProfile();
  ResetTemplates();
}

}  // namespace standin
