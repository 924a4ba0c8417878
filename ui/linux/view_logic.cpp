#include "view_logic.h"

#include <FL/Enumerations.H>

#include <algorithm>
#include <tuple>

namespace orbel_view {

using standin::Input;

std::optional<Input> InputForKey(int key, const std::string& text, Modifiers mods) {
  if (mods.alt) {
    // The dialog has no mnemonics; Alt+F4 is the close box, as on Windows.
    if (key == FL_F + 4) return Input::Close();
    return std::nullopt;
  }
  UINT vk = 0;
  switch (key) {
    case FL_Tab:
      vk = VK_TAB;
      break;
    case FL_Enter:
    case FL_KP_Enter:
      vk = VK_RETURN;
      break;
    case FL_Escape:
      vk = VK_ESCAPE;
      break;
    case FL_BackSpace:
      vk = VK_BACK;
      break;
    case FL_Delete:
      vk = VK_DELETE;
      break;
    case FL_Insert:
      vk = VK_INSERT;
      break;
    case FL_Home:
      vk = VK_HOME;
      break;
    case FL_End:
      vk = VK_END;
      break;
    case FL_Left:
      vk = VK_LEFT;
      break;
    case FL_Right:
      vk = VK_RIGHT;
      break;
    case FL_Up:
      vk = VK_UP;
      break;
    case FL_Down:
      vk = VK_DOWN;
      break;
    case FL_Page_Up:
      vk = VK_PRIOR;
      break;
    case FL_Page_Down:
      vk = VK_NEXT;
      break;
    case ' ':
      // A key, not text: Space presses the focused button.
      vk = VK_SPACE;
      break;
    default:
      break;
  }
  if (vk != 0) return Input::Key(vk, mods.shift, mods.ctrl);
  if (mods.ctrl) {
    // Control combinations type nothing; letters still reach the control as keys.
    if (key >= 'a' && key <= 'z')
      return Input::Key(static_cast<UINT>(key - 'a' + 'A'), mods.shift, true);
    return std::nullopt;
  }
  const unsigned char first = text.empty() ? 0 : static_cast<unsigned char>(text[0]);
  if (first < 0x20 || first == 0x7F) return std::nullopt;
  return Input::Text(text);
}

TimerPlan PlanTimers(const std::vector<standin::TimerState>& timers, long long pending_ms) {
  TimerPlan plan;
  if (timers.empty()) {
    plan.wait_seconds = kForever;
    return plan;
  }
  long long next = timers.front().due_in_ms;
  for (const standin::TimerState& t : timers) next = std::min(next, t.due_in_ms);
  if (next <= pending_ms) {
    plan.advance = true;
    return plan;
  }
  plan.wait_seconds = static_cast<double>(next - pending_ms) / 1000.0;
  return plan;
}

MessageBoxChoices ChoicesFor(UINT type) {
  MessageBoxChoices c;
  switch (type & MB_TYPEMASK) {
    case MB_YESNO:
      c.labels = {"No", "Yes"};
      c.answers = {IDNO, IDYES};
      break;
    case MB_YESNOCANCEL:
      c.labels = {"Cancel", "Yes", "No"};
      c.answers = {IDCANCEL, IDYES, IDNO};
      break;
    case MB_OKCANCEL:
      c.labels = {"Cancel", "OK"};
      c.answers = {IDCANCEL, IDOK};
      break;
    case MB_RETRYCANCEL:
      c.labels = {"Cancel", "Retry"};
      c.answers = {IDCANCEL, IDRETRY};
      break;
    default:
      c.labels = {"OK"};
      c.answers = {IDOK};
      break;
  }
  return c;
}

Scene CaptureScene(HWND dialog) {
  Scene scene;
  char title[256] = "";
  GetWindowTextA(dialog, title, sizeof title);
  scene.title = title;
  scene.controls = standin::Controls(dialog);
  for (const standin::ControlState& c : scene.controls) {
    standin::Pixels p = standin::WindowPixels(c.hwnd);
    if (p.width > 0) scene.surfaces.push_back(std::move(p));
  }
  if (HWND bar = standin::FindStatusBar(dialog)) scene.status_texts = standin::StatusBar(bar).texts;
  return scene;
}

namespace {

auto Look(const standin::ControlState& c) {
  return std::make_tuple(c.hwnd, c.text, c.style, c.ex_style, c.rect_px.left, c.rect_px.top,
                         c.rect_px.right, c.rect_px.bottom, c.focused, c.check, c.sel_start,
                         c.sel_end, c.caret);
}

}  // namespace

bool LooksSame(const Scene& a, const Scene& b) {
  if (a.title != b.title || a.status_texts != b.status_texts) return false;
  if (a.controls.size() != b.controls.size() || a.surfaces.size() != b.surfaces.size()) {
    return false;
  }
  for (size_t i = 0; i < a.controls.size(); ++i) {
    if (Look(a.controls[i]) != Look(b.controls[i])) return false;
  }
  for (size_t i = 0; i < a.surfaces.size(); ++i) {
    const standin::Pixels& p = a.surfaces[i];
    const standin::Pixels& q = b.surfaces[i];
    if (p.width != q.width || p.height != q.height || p.rgb != q.rgb) return false;
  }
  return true;
}

}  // namespace orbel_view
