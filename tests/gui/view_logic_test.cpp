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
#include "settings.h"
#include "view_logic.h"

namespace {

using orbel_view::InputForKey;
using orbel_view::Modifiers;
using standin::Input;

const Modifiers kNone;
const Modifiers kShift{true, false, false};
const Modifiers kCtrl{false, true, false};
const Modifiers kAlt{false, false, true};

TEST(ViewKeys, PrintableTextIsTypedAndTheRestIgnored) {
  struct Case {
    int key;
    const char* text;
    Modifiers mods;
    const char* typed;  // null: no input
  };
  const Case cases[] = {
      {'7', "7", kNone, "7"},
      {FL_KP + '5', "5", kNone, "5"},  // keypad digits type digits
      {'-', "-", kNone, "-"},
      {'u', "\xC3\xBC", kNone, "\xC3\xBC"},  // what the keyboard layout made of the key: ü
      {'7', "/", kShift, "/"},
      {'1', "1", kCtrl, nullptr},
      {'x', "x", kAlt, nullptr},
      {FL_F + 1, "", kNone, nullptr},
      {FL_Shift_L, "", kShift, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    std::optional<Input> in = InputForKey(c.key, c.text, c.mods);
    if (c.typed == nullptr) {
      EXPECT_FALSE(in.has_value());
      continue;
    }
    ASSERT_TRUE(in.has_value());
    EXPECT_EQ(in->kind, Input::Kind::kText);
    EXPECT_EQ(in->text, c.typed);
  }
  std::optional<Input> alt_f4 = InputForKey(FL_F + 4, "", kAlt);
  ASSERT_TRUE(alt_f4.has_value());
  EXPECT_EQ(alt_f4->kind, Input::Kind::kClose);
}

TEST(ViewTimers, AdvanceOnlyWhenATimerIsDue) {
  using orbel_view::PlanTimers;
  EXPECT_FALSE(PlanTimers({}, 5000).advance);
  EXPECT_EQ(PlanTimers({}, 5000).wait_seconds, orbel_view::kForever);

  std::vector<standin::TimerState> timers = {{nullptr, 1, 1000, 1000}, {nullptr, 2, 250, 700}};
  orbel_view::TimerPlan early = PlanTimers(timers, 400);
  EXPECT_FALSE(early.advance);
  EXPECT_DOUBLE_EQ(early.wait_seconds, 0.3);  // the sooner of the two
  EXPECT_TRUE(PlanTimers(timers, 700).advance);
  timers[1].due_in_ms = -20;  // overdue
  EXPECT_TRUE(PlanTimers(timers, 0).advance);
}

// fl_choice's choice 0 is what Escape and the close box give, choice 1 is
// the Return default: for the reset question, No and Yes.
TEST(ViewMessageBox, YesNoQuestionDefaultsToYesAndEscapesToNo) {
  orbel_view::MessageBoxChoices c = orbel_view::ChoicesFor(MB_YESNO | MB_ICONQUESTION);
  EXPECT_EQ(c.labels, (std::vector<std::string>{"No", "Yes"}));
  EXPECT_EQ(c.answers, (std::vector<int>{IDNO, IDYES}));
  EXPECT_EQ(orbel_view::ChoicesFor(MB_OK).answers, (std::vector<int>{IDOK}));
}

// The main dialog on the layer, opened without a modal loop.
class ViewOnDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::Reset();
    std::remove(profile_.c_str());  // a fresh start: system-time mode
    standin::SetProfilePath(profile_);
    standin::SetTimeZone("CET-1CEST,M3.5.0,M10.5.0/3");
    standin::SetClock(1705320000);
    LoadSettings();
    dialog_ = CreateDialogParamA(nullptr, "RunDialog", nullptr, DialogProc, 0);
    ASSERT_NE(dialog_, nullptr);
  }
  void TearDown() override {
    standin::Reset();
    std::remove(profile_.c_str());
  }
  void Key(int key, const char* text, Modifiers mods = {}) {
    std::optional<Input> in = InputForKey(key, text, mods);
    ASSERT_TRUE(in.has_value());
    standin::Perform(dialog_, *in);
  }
  const std::string profile_ =
      ::testing::TempDir() + "orbel_view_test_" + std::to_string(getpid()) + ".ini";
  HWND dialog_ = nullptr;
};

// Keys as FLTK reports them move through the dialog and edit its fields.
TEST_F(ViewOnDialog, KeysDriveTheDialog) {
  ASSERT_EQ(standin::FocusedId(dialog_), IDC_LONG_DEG);
  Key(FL_Tab, "\t");
  EXPECT_EQ(standin::FocusedId(dialog_), IDC_LONG_MIN);
  Key('4', "4");
  Key('2', "2");
  EXPECT_EQ(standin::Text(dialog_, IDC_LONG_MIN), "42");
  Key(FL_Left, "");
  Key(FL_BackSpace, "\b");
  EXPECT_EQ(standin::Text(dialog_, IDC_LONG_MIN), "2");
  Key(FL_Tab, "\t", kShift);
  EXPECT_EQ(standin::FocusedId(dialog_), IDC_LONG_DEG);
  // Space is a key, not text: it presses the focused check box.
  SetFocus(GetDlgItem(dialog_, IDC_SYSTEM_TIME));
  const int checked = standin::Check(dialog_, IDC_SYSTEM_TIME);
  Key(' ', " ");
  EXPECT_NE(standin::Check(dialog_, IDC_SYSTEM_TIME), checked);
  Key(FL_Escape, "\x1b");
  EXPECT_FALSE(IsWindowVisible(dialog_));  // ended
}

TEST_F(ViewOnDialog, SceneChangesWithEverythingThatShows) {
  using orbel_view::CaptureScene;
  using orbel_view::LooksSame;
  orbel_view::Scene before = CaptureScene(dialog_);
  EXPECT_EQ(before.title, "Zoror ido Rede");
  EXPECT_TRUE(LooksSame(before, CaptureScene(dialog_)));

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
    standin::Perform(dialog_, change);
    orbel_view::Scene after = CaptureScene(dialog_);
    EXPECT_FALSE(LooksSame(before, after));
    before = std::move(after);
  }
  EXPECT_EQ(before.surfaces.size(), 1u);  // the phase frame
  EXPECT_EQ(before.status_texts.size(), 3u);
}

}  // namespace
