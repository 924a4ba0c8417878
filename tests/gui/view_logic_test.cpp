// The decisions of the Linux window, without a display: how FLTK's keys
// reach the dialog, when the timers are advanced, what the reset question's
// buttons answer, and when the window must be painted again.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>

#include <windows.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "main_dialog.h"
#include "moon_phase.h"
#include "orbel_test_api.h"
#include "resource.h"
#include "dialog_settings.h"
#include "view_logic.h"

namespace {

using orbel_view::Modifiers;
using standin::Input;

// An input as one line: its kind, text or key and modifiers.
std::string Describe(const std::optional<Input>& in) {
  if (!in) return "nothing";
  return std::to_string(static_cast<int>(in->kind)) + " '" + in->text + "' " +
         std::to_string(in->vk) + (in->shift ? " shift" : "") + (in->ctrl ? " ctrl" : "");
}

// Printable text is typed, navigation and editing keys (Space among them)
// are keys with their modifiers, Alt+F4 is the close box; Alt and Ctrl
// combinations, function keys and lone modifiers give nothing.
TEST(ViewKeys, FltkKeysBecomeLayerInputs) {
  const Modifiers none, shift{true, false, false}, ctrl{false, true, false},
      alt{false, false, true};
  const struct {
    int key;
    const char* text;
    Modifiers mods;
    std::optional<Input> input;
  } cases[] = {
      {'7', "7", none, Input::Text("7")},
      {FL_KP + '5', "5", none, Input::Text("5")},
      {'-', "-", none, Input::Text("-")},
      {'u', "\xC3\xBC", none, Input::Text("\xC3\xBC")},  // what the layout made of the key: ü
      {'7', "/", shift, Input::Text("/")},
      {FL_Tab, "\t", shift, Input::Key(VK_TAB, true)},
      {FL_Left, "", none, Input::Key(VK_LEFT)},
      {FL_BackSpace, "\b", none, Input::Key(VK_BACK)},
      {FL_Escape, "\x1b", none, Input::Key(VK_ESCAPE)},
      {' ', " ", none, Input::Key(VK_SPACE)},
      {FL_End, "", shift, Input::Key(VK_END, true)},
      {'a', "\x01", ctrl, Input::Key('A', false, true)},
      {FL_F + 4, "", alt, Input::Close()},
      {'1', "1", ctrl, std::nullopt},
      {'x', "x", alt, std::nullopt},
      {FL_F + 1, "", none, std::nullopt},
      {FL_Shift_L, "", shift, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Describe(orbel_view::InputForKey(c.key, c.text, c.mods)), Describe(c.input)) << c.key;
  }
}

TEST(ViewTimers, AdvanceOnlyWhenATimerIsDue) {
  using orbel_view::PlanTimers;
  EXPECT_FALSE(PlanTimers({}, 5000).advance);
  EXPECT_EQ(PlanTimers({}, 5000).wait_seconds, orbel_view::kForever);
  std::vector<standin::TimerState> timers = {{nullptr, 1, 1000, 1000}, {nullptr, 2, 250, 700}};
  EXPECT_FALSE(PlanTimers(timers, 400).advance);
  EXPECT_DOUBLE_EQ(PlanTimers(timers, 400).wait_seconds, 0.3);  // the sooner of the two
  EXPECT_TRUE(PlanTimers(timers, 700).advance);
  timers[1].due_in_ms = -20;  // overdue
  EXPECT_TRUE(PlanTimers(timers, 0).advance);
}

// fl_choice's choice 0 is what Escape and the close box give, choice 1 is
// the Return default: for the reset question, No and Yes; for the failed
// save, Cancel and Retry. Each label goes with its answer.
TEST(ViewMessageBox, EscapeGivesTheNegativeChoiceAndReturnTheDefault) {
  const struct {
    UINT type;
    std::vector<std::string> labels;
    std::vector<int> answers;
  } cases[] = {
      {MB_YESNO | MB_ICONQUESTION, {"No", "Yes"}, {IDNO, IDYES}},
      {MB_YESNOCANCEL, {"Cancel", "Yes", "No"}, {IDCANCEL, IDYES, IDNO}},
      {MB_OKCANCEL, {"Cancel", "OK"}, {IDCANCEL, IDOK}},
      {MB_RETRYCANCEL, {"Cancel", "Retry"}, {IDCANCEL, IDRETRY}},
      {MB_OK, {"OK"}, {IDOK}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    const orbel_view::MessageBoxChoices got = orbel_view::ChoicesFor(c.type);
    EXPECT_EQ(got.labels, c.labels);
    EXPECT_EQ(got.answers, c.answers);
  }
}

// The main dialog on the layer, opened without a modal loop: every change
// that shows makes the scene differ from the one painted before.
TEST(ViewScene, ChangesWithEverythingThatShows) {
  const std::string profile =
      ::testing::TempDir() + "orbel_view_test_" + std::to_string(getpid()) + ".ini";
  standin::Reset();
  std::remove(profile.c_str());  // a fresh start: system-time mode
  standin::SetProfilePath(profile);
  standin::SetTimeZone("CET-1CEST,M3.5.0,M10.5.0/3");
  standin::SetClock(1705320000);
  LoadSettings();
  HWND dialog = CreateDialogParamA(nullptr, "RunDialog", nullptr, DialogProc, 0);
  ASSERT_NE(dialog, nullptr);

  orbel_view::Scene before = orbel_view::CaptureScene(dialog);
  EXPECT_EQ(before.title, "Zoror ido Rede");
  EXPECT_TRUE(orbel_view::LooksSame(before, orbel_view::CaptureScene(dialog)));
  const std::vector<Input> changes = {
      Input::Text("5"),                                 // a field's text
      Input::Key(VK_LEFT),                              // only the caret moves
      Input::Key(VK_END, true),                         // only the selection grows
      Input::Click(IDC_SYSTEM_TIME),                    // a check and five controls enabled
      Input::AdvanceTime(1000),                         // the tick: clock, phase name, picture
      Input::Type(IDC_DAY, "28"),                       // a date field: new results
      Input::Call([](HWND d) { UpdateMoonPhase(d); }),  // the picture alone
  };
  for (const Input& change : changes) {
    SCOPED_TRACE(static_cast<int>(change.kind));
    standin::Perform(dialog, change);
    orbel_view::Scene after = orbel_view::CaptureScene(dialog);
    EXPECT_FALSE(orbel_view::LooksSame(before, after));
    before = std::move(after);
  }
  EXPECT_EQ(before.surfaces.size(), 1u);  // the phase frame
  EXPECT_EQ(before.status_texts.size(), 3u);
  standin::Reset();
  std::remove(profile.c_str());
}

}  // namespace
