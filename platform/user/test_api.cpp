// The test API of the windowing half: its part of the reset, scripted answers and records, state
// queries and counters.
#include "internal.h"

namespace standin {

using namespace internal;

namespace internal {

void CaptureSnapshot(Window* dialog, DialogSnapshot* out) {
  DialogSnapshot snap;
  snap.template_name = dialog->template_name;
  snap.title = dialog->text;
  snap.result = dialog->end_result;
  for (HWND h : dialog->children) {
    Window* c = W(h);
    if (!c) continue;
    snap.controls.push_back(ControlStateOf(c));
    if (c->kind == WindowKind::kStatusBar && !snap.status_bar) {
      snap.status_bar = StatusBarStateOf(c);
    }
    if (c->surface) snap.pixels[c->id] = PixelsOf(c);
  }
  *out = std::move(snap);
}

}  // namespace internal

// ------------------------------------------------------------------ inputs

void QueueInputs(std::vector<Input> inputs) {
  for (Input& in : inputs) S().inputs.push_back(std::move(in));
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

std::optional<ControlState> Control(HWND dialog, int id) {
  Window* c = ChildById(W(dialog), id);
  if (!c) return std::nullopt;
  return ControlStateOf(c);
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

bool FireTimer(HWND hwnd, UINT_PTR id) {
  return DeliverTimer(hwnd, id);
}

int Beeps() {
  return S().beeps;
}

bool CommonControlsInitialized() {
  return S().common_controls;
}

// ------------------------------------------------------------------ reset

// The windowing half's part of Reset(), which base/layer_reset.cpp runs
// before it clears the GDI, the clock and the profile.
void internal::ResetWindowing() {
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
  ResetTemplates();
}

}  // namespace standin
