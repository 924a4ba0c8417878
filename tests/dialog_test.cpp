// The main dialog driven headless on the stand-in layer: its initial state, the
// field rules, the modes, the reset gesture, closing and saving.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "main_dialog.h"
#include "moon_events.h"
#include "orbel_test_api.h"
#include "resource.h"
#include "settings.h"
#include "sun_events.h"
#include "test_files.h"

namespace {

using standin::Input;

// 12:00:00 UTC on 15 January 2024 and on 15 July 2024.
const time_t kWinterNoon = 1705320000;
const time_t kSummerNoon = 1721044800;
const char kCentralEurope[] = "CET-1CEST,M3.5.0,M10.5.0/3";

double Angle(int degrees, int minutes, int seconds) {
  return degrees + minutes * (1.0 / 60) + seconds * (1.0 / 3600);
}

struct Expected {
  std::string sunrise, sunset, moonset, moonrise;
};

Expected Engine(uint8_t day, uint8_t month, uint32_t year, double lat, double lon, int8_t zone) {
  Expected e;
  e.sunrise = SunriseText(day, month, year, lat, lon, zone);
  e.sunset = SunsetText(day, month, year, lat, lon, zone);
  e.moonset = MoonsetText(day, month, year, lat, lon, zone);
  e.moonrise = MoonriseText(day, month, year, lat, lon, zone);
  return e;
}

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::Reset();
    profile_ = TempPath("win.ini");
    standin::SetProfilePath(profile_);
    standin::SetTimeZone(kCentralEurope);
    standin::SetClock(kWinterNoon);
  }
  void TearDown() override {
    if (dialog_ != nullptr && IsWindow(dialog_)) DestroyWindow(dialog_);
    std::remove(profile_.c_str());
    standin::Reset();
  }

  void WriteProfile(const std::string& text) { std::ofstream(profile_) << text; }
  std::string ReadProfile() {
    std::ifstream in(profile_);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  // Loads the settings and opens the dialog without a modal loop, so each
  // input can be followed by checks.
  void Open() {
    LoadSettings();
    dialog_ = CreateDialogParamA(nullptr, "RunDialog", nullptr, DialogProc, 0);
    ASSERT_NE(dialog_, nullptr);
  }
  bool Do(const Input& input) { return standin::Perform(dialog_, input); }
  std::string Text(int id) { return standin::Text(dialog_, id); }
  int Check(int id) { return standin::Check(dialog_, id); }
  bool Enabled(int id) { return standin::Enabled(dialog_, id); }
  void SwitchToManual() {
    if (Check(IDC_SYSTEM_TIME) == BST_CHECKED) {
      ASSERT_TRUE(Do(Input::Click(IDC_SYSTEM_TIME)));
    }
  }

  void ExpectResults(const Expected& e) {
    EXPECT_EQ(Text(IDC_SUNRISE), e.sunrise);
    EXPECT_EQ(Text(IDC_SUNSET), e.sunset);
    EXPECT_EQ(Text(IDC_MOONSET), e.moonset);
    EXPECT_EQ(Text(IDC_MOONRISE), e.moonrise);
  }

  // Runs the dialog modally with the queued inputs, as the program does.
  INT_PTR RunModal(std::vector<Input> inputs) {
    LoadSettings();
    standin::QueueInputs(std::move(inputs));
    const INT_PTR result = DialogBoxParamA(nullptr, "RunDialog", nullptr, DialogProc, 0);
    EXPECT_FALSE(standin::LoopRanDry());
    return result;
  }

  std::string profile_;
  HWND dialog_ = nullptr;
};

TEST_F(DialogTest, EmptyProfileGivesDefaultPlaceInSystemTimeMode) {
  Open();
  const int ids[] = {IDC_LONG_DEG, IDC_LONG_MIN, IDC_LONG_SEC, IDC_LAT_DEG, IDC_LAT_MIN,
                     IDC_LAT_SEC,  IDC_ZONE,     IDC_DAY,      IDC_MONTH,   IDC_YEAR};
  const char* values[] = {"9", "18", "27", "48", "44", "36", "-3", "14", "12", "1999"};
  for (size_t i = 0; i < 10; ++i) EXPECT_EQ(Text(ids[i]), values[i]) << ids[i];

  EXPECT_EQ(Check(IDC_SYSTEM_TIME), BST_CHECKED);
  EXPECT_EQ(Check(IDC_DAYLIGHT), BST_UNCHECKED);
  for (int id : {IDC_ZONE, IDC_DAY, IDC_MONTH, IDC_YEAR, IDC_DAYLIGHT}) EXPECT_FALSE(Enabled(id));
  EXPECT_TRUE(Enabled(IDC_LONG_DEG));
  EXPECT_EQ(Check(IDC_EAST), BST_CHECKED);
  EXPECT_EQ(Check(IDC_WEST), BST_UNCHECKED);
  EXPECT_EQ(Check(IDC_NORTH), BST_CHECKED);
  EXPECT_EQ(Check(IDC_SOUTH), BST_UNCHECKED);

  // The results already show the seeded values; clock and phase wait for a tick.
  ExpectResults(Engine(14, 12, 1999, Angle(48, 44, 36), Angle(9, 18, 27), -3));
  const standin::StatusBarState bar = standin::StatusBar(StatusBar);
  ASSERT_EQ(bar.right_edges, (std::vector<int>{80, 200, -1}));
  EXPECT_EQ(bar.texts[0], "");
  EXPECT_EQ(bar.texts[1], kWebAddress);
  EXPECT_EQ(bar.texts[2], "");
  EXPECT_EQ(standin::Timers().size(), 1u);
  EXPECT_EQ(standin::Timers()[0].elapse, 1000u);
}

TEST_F(DialogTest, HandEditedProfile) {
  WriteProfile(
      "[ORBEL32]\nLG=122\nLM=25\nLS=10\nBG=37\nBM=46\nBS=29\nSystemZeit=2\nSommerZeit=2\n"
      "North=0\nEast=0\n");
  Open();
  EXPECT_EQ(Text(IDC_LONG_DEG), "122");
  EXPECT_EQ(Text(IDC_LAT_SEC), "29");
  // Any SystemZeit but 1 is manual mode; any other flag but 0 counts as set.
  EXPECT_EQ(Check(IDC_SYSTEM_TIME), BST_UNCHECKED);
  EXPECT_TRUE(Enabled(IDC_ZONE));
  EXPECT_TRUE(Enabled(IDC_DAYLIGHT));
  EXPECT_EQ(Check(IDC_DAYLIGHT), BST_CHECKED);
  EXPECT_EQ(Check(IDC_WEST), BST_CHECKED);
  EXPECT_EQ(Check(IDC_SOUTH), BST_CHECKED);
  // Manual mode starts at zone -3 and 14.12.1999; the daylight box makes it -4.
  EXPECT_EQ(Text(IDC_ZONE), "-3");
  EXPECT_EQ(Text(IDC_DAY) + "." + Text(IDC_MONTH) + "." + Text(IDC_YEAR), "14.12.1999");
  ExpectResults(Engine(14, 12, 1999, 360 - Angle(37, 46, 29), 360 - Angle(122, 25, 10), -4));
}

struct FieldRuleCase {
  const char* name;
  int id;
  const char* text;
  uint8_t day, month;
  uint32_t year;
};

TEST_F(DialogTest, DateFieldRules) {
  const FieldRuleCase cases[] = {
      {"day 0", IDC_DAY, "0", 1, 12, 1999},     {"day empty", IDC_DAY, "", 1, 12, 1999},
      {"day 200", IDC_DAY, "200", 1, 12, 1999}, {"day 300", IDC_DAY, "300", 44, 12, 1999},
      {"day text", IDC_DAY, "x", 1, 12, 1999},  {"month 13", IDC_MONTH, "13", 14, 13, 1999},
      {"year 0", IDC_YEAR, "0", 14, 12, 1},     {"year empty", IDC_YEAR, "", 14, 12, 1},
      {"year -5", IDC_YEAR, "-5", 14, 12, 1},   {"year 2000", IDC_YEAR, "2000", 14, 12, 2000},
  };
  Open();
  SwitchToManual();
  for (const FieldRuleCase& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Do(Input::Call([](HWND d) {
      SetDlgItemTextA(d, IDC_DAY, "14");
      SetDlgItemTextA(d, IDC_MONTH, "12");
      SetDlgItemTextA(d, IDC_YEAR, "1999");
    })));
    ASSERT_TRUE(Do(Input::Call([&](HWND d) { SetDlgItemTextA(d, c.id, c.text); })));
    ExpectResults(Engine(c.day, c.month, c.year, Angle(48, 44, 36), Angle(9, 18, 27), -3));
  }
}

TEST_F(DialogTest, ZoneWithAndWithoutDaylightBox) {
  Open();
  SwitchToManual();
  ASSERT_TRUE(Do(Input::Type(IDC_ZONE, "-1")));
  ExpectResults(Engine(14, 12, 1999, Angle(48, 44, 36), Angle(9, 18, 27), -1));
  ASSERT_TRUE(Do(Input::Click(IDC_DAYLIGHT)));
  EXPECT_EQ(Check(IDC_DAYLIGHT), BST_CHECKED);
  ExpectResults(Engine(14, 12, 1999, Angle(48, 44, 36), Angle(9, 18, 27), -2));
}

TEST_F(DialogTest, WestSouthAndMinusSigns) {
  Open();
  SwitchToManual();
  ASSERT_TRUE(Do(Input::Call([](HWND d) {
    SetDlgItemInt(d, IDC_LONG_DEG, 9, TRUE);
    SetDlgItemInt(d, IDC_LONG_MIN, 11, TRUE);
    SetDlgItemInt(d, IDC_LONG_SEC, 0, TRUE);
    SetDlgItemInt(d, IDC_LAT_DEG, 48, TRUE);
    SetDlgItemInt(d, IDC_LAT_MIN, 46, TRUE);
    SetDlgItemInt(d, IDC_LAT_SEC, 0, TRUE);
  })));
  ASSERT_TRUE(Do(Input::Click(IDC_WEST)));
  EXPECT_EQ(Check(IDC_WEST), BST_CHECKED);
  EXPECT_EQ(Check(IDC_EAST), BST_UNCHECKED);
  ExpectResults(Engine(14, 12, 1999, Angle(48, 46, 0), 360 - Angle(9, 11, 0), -3));
  ASSERT_TRUE(Do(Input::Click(IDC_SOUTH)));
  EXPECT_EQ(Check(IDC_SOUTH), BST_CHECKED);
  ExpectResults(Engine(14, 12, 1999, 360 - Angle(48, 46, 0), 360 - Angle(9, 11, 0), -3));
  EXPECT_NEAR(360 - Angle(9, 11, 0), 350.81666666666666, 1e-12);
  EXPECT_NEAR(360 - Angle(48, 46, 0), 311.23333333333333, 1e-12);

  // A minus sign keeps its sign in the formula: -10 deg 30 min is -9.5.
  ASSERT_TRUE(Do(Input::Click(IDC_EAST)));
  ASSERT_TRUE(Do(Input::Click(IDC_NORTH)));
  ASSERT_TRUE(Do(Input::Type(IDC_LONG_DEG, "-10")));
  ASSERT_TRUE(Do(Input::Type(IDC_LONG_MIN, "30")));
  ExpectResults(Engine(14, 12, 1999, Angle(48, 46, 0), -9.5, -3));
}

TEST_F(DialogTest, ClickingTheCheckedRadioStillRecomputes) {
  Open();
  ASSERT_TRUE(Do(Input::Call([](HWND d) { SetDlgItemTextA(d, IDC_SUNRISE, "stale"); })));
  ASSERT_TRUE(Do(Input::Click(IDC_EAST)));
  EXPECT_EQ(Check(IDC_EAST), BST_CHECKED);
  EXPECT_NE(Text(IDC_SUNRISE), "stale");
}

TEST_F(DialogTest, SystemTimeModeFollowsClockAndZone) {
  Open();
  // First tick: clock and the picture of the seeded date, then the fields.
  ASSERT_TRUE(Do(Input::FireTimer(IDT_CLOCK)));
  standin::StatusBarState bar = standin::StatusBar(StatusBar);
  EXPECT_EQ(bar.texts[0], "13:00:00");
  EXPECT_EQ(bar.texts[2], "Zunehmender Mond");  // 14.12.1999: age 6
  EXPECT_EQ(Text(IDC_ZONE), "-1");
  EXPECT_EQ(Check(IDC_DAYLIGHT), BST_UNCHECKED);
  EXPECT_EQ(Text(IDC_DAY) + "." + Text(IDC_MONTH) + "." + Text(IDC_YEAR), "15.1.2024");
  ExpectResults(Engine(15, 1, 2024, Angle(48, 44, 36), Angle(9, 18, 27), -1));

  // Second tick: the picture follows the system date (26 January 2024: full moon).
  standin::SetClock(kWinterNoon + 11 * 86400);
  ASSERT_TRUE(Do(Input::FireTimer(IDT_CLOCK)));
  bar = standin::StatusBar(StatusBar);
  EXPECT_EQ(bar.texts[2], "Zunehmender Mond");
  ASSERT_TRUE(Do(Input::FireTimer(IDT_CLOCK)));
  EXPECT_EQ(standin::StatusBar(StatusBar).texts[2], "Vollmond");

  // Summer: the daylight box follows the system though it cannot be clicked.
  standin::SetClock(kSummerNoon);
  ASSERT_TRUE(Do(Input::FireTimer(IDT_CLOCK)));
  EXPECT_EQ(standin::StatusBar(StatusBar).texts[0], "14:00:00");
  EXPECT_EQ(Check(IDC_DAYLIGHT), BST_CHECKED);
  EXPECT_EQ(Text(IDC_ZONE), "-1");
  ExpectResults(Engine(15, 7, 2024, Angle(48, 44, 36), Angle(9, 18, 27), -2));
}

TEST_F(DialogTest, TickInManualModeLeavesFieldsAlone) {
  Open();
  SwitchToManual();
  for (int id : {IDC_ZONE, IDC_DAY, IDC_MONTH, IDC_YEAR, IDC_DAYLIGHT}) EXPECT_TRUE(Enabled(id));
  ASSERT_TRUE(Do(Input::FireTimer(IDT_CLOCK)));
  EXPECT_EQ(Text(IDC_ZONE), "-3");
  EXPECT_EQ(Text(IDC_YEAR), "1999");
  EXPECT_EQ(standin::StatusBar(StatusBar).texts[0], "13:00:00");
}

TEST_F(DialogTest, FailingTimeZoneLeavesZoneFieldAndClearsBox) {
  Open();
  standin::OverrideTimeZoneInformation(standin::TimeZoneOverride{0, 0, 0, TIME_ZONE_ID_INVALID});
  ASSERT_TRUE(Do(Input::Call([](HWND d) { SetDlgItemInt(d, IDC_ZONE, 5, TRUE); })));
  ASSERT_TRUE(Do(Input::FireTimer(IDT_CLOCK)));
  EXPECT_EQ(Text(IDC_ZONE), "5");
  EXPECT_EQ(Check(IDC_DAYLIGHT), BST_UNCHECKED);

  standin::OverrideTimeZoneInformation(
      standin::TimeZoneOverride{-330, 0, -60, TIME_ZONE_ID_STANDARD});
  ASSERT_TRUE(Do(Input::FireTimer(IDT_CLOCK)));
  EXPECT_EQ(Text(IDC_ZONE), "-5");  // a bias of -330 minutes truncates to -5 hours
}

TEST_F(DialogTest, ResetGesture) {
  Open();
  SwitchToManual();
  ASSERT_TRUE(Do(Input::Click(IDC_WEST)));
  ASSERT_TRUE(Do(Input::Type(IDC_LAT_DEG, "10")));

  // One modifier alone asks nothing.
  ASSERT_TRUE(Do(Input::RightClick(true, false)));
  ASSERT_TRUE(Do(Input::RightClick(false, true)));
  EXPECT_TRUE(standin::MessageBoxes().empty());

  // No changes nothing.
  standin::AnswerNextMessageBox(IDNO);
  ASSERT_TRUE(Do(Input::RightClick(true, true)));
  ASSERT_EQ(standin::MessageBoxes().size(), 1u);
  const standin::MessageBoxRecord& box = standin::MessageBoxes()[0];
  EXPECT_EQ(box.text, "Alle Parameter wieder auf Doverizez ?");
  EXPECT_EQ(box.caption, "Rrrrrrrrrrrrrrrrrrrrrrrrrrreset");
  EXPECT_EQ(box.type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(box.owner, dialog_);
  EXPECT_EQ(Text(IDC_LAT_DEG), "10");
  EXPECT_EQ(Check(IDC_WEST), BST_CHECKED);

  // Yes restores 48 46 0 N, 9 11 0 E, zone -1; date and boxes stay.
  standin::AnswerNextMessageBox(IDYES);
  ASSERT_TRUE(Do(Input::RightClick(true, true)));
  const char* expected[][2] = {{"104", "48"}, {"105", "46"}, {"106", "0"}, {"101", "9"},
                               {"102", "11"}, {"103", "0"},  {"107", "-1"}};
  for (auto& e : expected) EXPECT_EQ(Text(std::stoi(e[0])), e[1]) << e[0];
  EXPECT_EQ(Check(IDC_EAST), BST_CHECKED);
  EXPECT_EQ(Check(IDC_NORTH), BST_CHECKED);
  EXPECT_EQ(Check(IDC_SYSTEM_TIME), BST_UNCHECKED);
  ExpectResults(Engine(14, 12, 1999, Angle(48, 46, 0), Angle(9, 11, 0), -1));
}

// Enter, Escape and the close box all end the dialog and save the ten keys.
TEST_F(DialogTest, EveryWayOfClosingSaves) {
  const Input closers[] = {Input::Enter(), Input::Escape(), Input::Close()};
  for (const Input& closer : closers) {
    std::remove(profile_.c_str());
    const INT_PTR result = RunModal({Input::Type(IDC_LONG_DEG, "12"), Input::Click(IDC_SOUTH),
                                     Input::Click(IDC_SYSTEM_TIME), closer});
    EXPECT_EQ(result, 1);
    const std::string saved = ReadProfile();
    EXPECT_EQ(saved,
              "[ORBEL32]\nLG=12\nLM=18\nLS=27\nBG=48\nBM=44\nBS=36\nSommerZeit=0\n"
              "SystemZeit=0\nEast=1\nNorth=0\n");
    EXPECT_TRUE(standin::Timers().empty());
  }
  // The next start shows what was saved.
  LoadSettings();
  EXPECT_EQ(Settings.LongitudeDeg, 12);
  EXPECT_EQ(Settings.North, 0);
  EXPECT_EQ(Settings.ManualTime, 1);
}

// A place field is saved whole: "-180" and "1234" must not come back cut short,
// and a non-numeric text is stored as it stands.
TEST_F(DialogTest, LongPlaceTextsSurviveSaveAndLoad) {
  RunModal({Input::Call([](HWND d) {
              SetDlgItemTextA(d, IDC_LONG_DEG, "-180");
              SetDlgItemTextA(d, IDC_LAT_DEG, "1234");
              SetDlgItemTextA(d, IDC_LAT_MIN, "abc");
            }),
            Input::Escape()});
  const std::string saved = ReadProfile();
  EXPECT_NE(saved.find("LG=-180\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("BG=1234\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("BM=abc\n"), std::string::npos) << saved;
  LoadSettings();
  EXPECT_EQ(Settings.LongitudeDeg, -180);
  EXPECT_EQ(Settings.LatitudeDeg, 1234);
  EXPECT_EQ(Settings.LatitudeMin, 0);
}

TEST_F(DialogTest, SavingKeepsOtherSectionsAndKeyOrder) {
  WriteProfile("; comment\n[windows]\nload=\n[ORBEL32]\nNorth=1\nLG=5\n");
  RunModal({Input::Escape()});
  const std::string saved = ReadProfile();
  EXPECT_EQ(saved.rfind("; comment\n[windows]\nload=\n[ORBEL32]\n", 0), 0u) << saved;
  EXPECT_NE(saved.find("LG=5"), std::string::npos);
}

TEST_F(DialogTest, TabOrderStartsAtLongitudeDegrees) {
  Open();
  EXPECT_EQ(standin::FocusedId(dialog_), IDC_LONG_DEG);
  ASSERT_TRUE(Do(Input::Tab()));
  EXPECT_EQ(standin::FocusedId(dialog_), IDC_LONG_MIN);
}

}  // namespace
