// The dialog scenarios (dialog/scenarios) run in process on the stand-in
// layer, each in a winter and a summer setting of the clock, and the few checks
// that need the stand-in's fault injection or its inner state.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "main_dialog.h"
#include "orbel_test_api.h"
#include "resource.h"
#include "scenario.h"
#include "dialog_settings.h"
#include "test_files.h"

namespace {

using standin::Input;

// 12:00 UTC on 15 January 2024: winter in Central Europe, summer in Sydney,
// so that the daylight box is tested both ways.
const time_t kJanuaryNoon = 1705320000;

struct Setting {
  const char* name;
  const char* zone;
};
const Setting kSettings[] = {{"CentralEurope", "CET-1CEST,M3.5.0,M10.5.0/3"},
                             {"Sydney", "AEST-10AEDT,M10.1.0,M4.1.0/3"}};

class StandinBackend : public scenario::Backend {
 public:
  explicit StandinBackend(std::string profile) : profile_(std::move(profile)) {}
  const char* Name() const override { return "standin"; }

  bool WriteProfile(const std::vector<std::pair<std::string, std::string>>& keys,
                    std::string&) override {
    std::ofstream out(profile_, std::ios::trunc);
    if (!keys.empty()) out << "[ORBEL32]\n";
    for (const auto& [key, value] : keys) out << key << "=" << value << "\n";
    return true;
  }

  std::optional<std::string> ProfileValue(const std::string& key) override {
    std::istringstream in(ReadFile(profile_));
    bool inSection = false;
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line[0] == '[') inSection = line == "[ORBEL32]";
      if (inSection && line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    }
    return std::nullopt;
  }

  // As the program starts its dialog; the scenario goes on from the loop.
  bool Start(const std::function<bool()>& step, std::string& why) override {
    closed_ = false;
    standin::RereadProfile();  // a new start reads the profile afresh
    LoadSettings();
    standin::SetIdleHook([&](HWND dialog) {
      dialog_ = dialog;
      return !closed_ && step();
    });
    DialogBoxParamA(nullptr, "RunDialog", nullptr, DialogProc, 0);
    standin::SetIdleHook(nullptr);
    dialog_ = nullptr;
    if (!closed_) why = "the scenario stopped or ended while the dialog was open";
    return closed_;
  }

  bool SetText(int id, const std::string& text, std::string& why) override {
    if (GetDlgItem(dialog_, id) == nullptr) return (why = "no such control"), false;
    return Do(Input::Call([&](HWND d) { SetDlgItemTextA(d, id, text.c_str()); }), why);
  }
  bool Type(int id, const std::string& text, std::string& why) override {
    return Do(Input::Type(id, text), why);
  }
  bool Click(int id, std::string& why) override { return Do(Input::Click(id), why); }
  bool Key(UINT vk, std::string& why) override { return Do(Input::Key(vk), why); }

  bool RightClick(bool shift, bool ctrl, std::optional<bool> answer, Box& box,
                  std::string& why) override {
    const size_t before = standin::MessageBoxes().size();
    if (answer) standin::AnswerNextMessageBox(*answer ? IDYES : IDNO);
    if (!Do(Input::RightClick(shift, ctrl), why)) return false;
    box.shown = standin::MessageBoxes().size() > before;
    if (box.shown) {
      box.caption = standin::MessageBoxes().back().caption;
      box.text = standin::MessageBoxes().back().text;
    }
    return true;
  }

  bool Tick(std::string& why) override { return Do(Input::AdvanceTime(1000), why); }

  bool Close(const std::string& way, std::string& why) override {
    const Input input = way == "escape"  ? Input::Escape()
                        : way == "enter" ? Input::Enter()
                                         : Input::Close();
    if (!Do(input, why)) return false;
    closed_ = !IsWindowVisible(dialog_);
    if (!closed_) why = "the dialog is still open";
    return closed_;
  }

  std::string Text(int id) override { return standin::Text(dialog_, id); }
  bool Checked(int id) override { return standin::Check(dialog_, id) == BST_CHECKED; }
  bool Enabled(int id) override { return standin::Enabled(dialog_, id); }
  int FocusedId() override { return standin::FocusedId(dialog_); }
  std::string StatusText(int part) override {
    const standin::StatusBarState bar = standin::StatusBar(StatusBar);
    return part < static_cast<int>(bar.texts.size()) ? bar.texts[part] : "(no such part)";
  }
  bool PhasePicture(scenario::Picture& picture, std::string& why) override {
    const standin::Pixels pixels = standin::WindowPixels(GetDlgItem(dialog_, IDC_PHASE_FRAME));
    if (pixels.width == 0) return (why = "nothing drawn in the phase frame"), false;
    picture = {pixels.width, pixels.height, pixels.rgb};
    return true;
  }
  void Wait(int) override {}

 private:
  bool Do(const Input& input, std::string& why) {
    if (standin::Perform(dialog_, input)) return true;
    why = "the stand-in refused the input";
    return false;
  }

  std::string profile_;
  HWND dialog_ = nullptr;
  bool closed_ = false;
};

class StandinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::Reset();
    profile_ = TempPath("win.ini");
    standin::SetProfilePath(profile_);
    standin::SetTimeZone(kSettings[0].zone);
    standin::SetClock(kJanuaryNoon);
  }
  void TearDown() override {
    std::remove(profile_.c_str());
    standin::Reset();
  }
  std::string profile_;
};

struct ScenarioRun {
  std::string file;
  Setting setting;
};
void PrintTo(const ScenarioRun& run, std::ostream* out) {
  *out << run.file << " in " << run.setting.name;
}

class Scenario : public StandinTest, public ::testing::WithParamInterface<ScenarioRun> {};

TEST_P(Scenario, Passes) {
  const ScenarioRun& run = GetParam();
  standin::SetTimeZone(run.setting.zone);
  StandinBackend backend(profile_);
  const std::string name = std::filesystem::path(run.file).filename().string();
  const scenario::Result result = scenario::Run(name, ReadFile(run.file), backend);
  for (const std::string& failure : result.failures) ADD_FAILURE() << failure;
  EXPECT_GT(result.checks, 0);
}

std::vector<ScenarioRun> AllRuns() {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(ORBEL_SCENARIO_DIR)) {
    if (entry.path().extension() == ".scenario") files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  std::vector<ScenarioRun> runs;
  for (const std::string& file : files) {
    for (const Setting& setting : kSettings) runs.push_back({file, setting});
  }
  return runs;
}

INSTANTIATE_TEST_SUITE_P(Dialog, Scenario, ::testing::ValuesIn(AllRuns()),
                         [](const ::testing::TestParamInfo<ScenarioRun>& info) {
                           return std::filesystem::path(info.param.file).stem().string() + "_" +
                                  info.param.setting.name;
                         });

// What only the stand-in can show: the timer and the status bar's layout, and
// a failing GetTimeZoneInformation.
TEST_F(StandinTest, TimerStatusBarAndAFailingTimeZone) {
  LoadSettings();
  HWND dialog = CreateDialogParamA(nullptr, "RunDialog", nullptr, DialogProc, 0);
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(standin::Timers().size(), 1u);
  EXPECT_EQ(standin::Timers()[0].elapse, 1000u);
  EXPECT_EQ(standin::StatusBar(StatusBar).right_edges, (std::vector<int>{80, 200, -1}));

  // Zone field left as it is, daylight box cleared.
  standin::OverrideTimeZoneInformation(standin::TimeZoneOverride{0, 0, 0, TIME_ZONE_ID_INVALID});
  ASSERT_TRUE(standin::Perform(dialog, Input::Call([](HWND d) {
                                 SetDlgItemInt(d, IDC_ZONE, 5, TRUE);
                                 SendMessageA(GetDlgItem(d, IDC_DAYLIGHT), BM_SETCHECK, BST_CHECKED,
                                              0);
                               })));
  ASSERT_TRUE(standin::Perform(dialog, Input::FireTimer(IDT_CLOCK)));
  EXPECT_EQ(standin::Text(dialog, IDC_ZONE), "5");
  EXPECT_EQ(standin::Check(dialog, IDC_DAYLIGHT), BST_UNCHECKED);
  // A bias of -330 minutes truncates to -5 hours.
  standin::OverrideTimeZoneInformation(
      standin::TimeZoneOverride{-330, 0, -60, TIME_ZONE_ID_STANDARD});
  ASSERT_TRUE(standin::Perform(dialog, Input::FireTimer(IDT_CLOCK)));
  EXPECT_EQ(standin::Text(dialog, IDC_ZONE), "-5");
  DestroyWindow(dialog);
}

}  // namespace
