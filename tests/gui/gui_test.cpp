// orbel, the Linux window, run as a user runs it: on a virtual X display
// (Xvfb) it is driven with real X input from xdotool (clicks, typing, the
// Shift+Ctrl right click and the reset question's Yes), closed through its
// close box (WM_DELETE_WINDOW, as a window manager sends it), and judged by
// the profile it saved and the pixels of its phase frame. The screenshot for
// the README is taken on the way. Without a display it must say so in one
// line and exit with status 2.
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "../run_program.h"
#include "../test_files.h"
#include "main_dialog.h"
#include "moon_phase.h"
#include "orbel_test_api.h"
#include "resource.h"
#include "x_client.h"

namespace {

using Clock = std::chrono::steady_clock;

const char kTitle[] = "Zoror ido Rede";
const char kResetCaption[] = "Rrrrrrrrrrrrrrrrrrrrrrrrrrreset";
// Central European time by POSIX rule, so no time zone database is needed.
const char kZone[] = "CET-1CEST,M3.5.0,M10.5.0/3";

using run_program::Ended;

// Runs orbel to its end with DISPLAY set to `display`, or unset when empty.
Ended RunOrbel(const std::vector<std::string>& args, const std::string& display) {
  std::vector<std::string> argv = {ORBEL_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  run_program::Options options;
  options.env["DISPLAY"] = display.empty() ? std::optional<std::string>() : display;
  return run_program::Run(argv, options, std::chrono::seconds(20));
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (!done()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return true;
}

// --help writes one line and exits with 0; without a display (none named, or
// one that is not there) orbel says so in one line and exits with 2.
TEST(OrbelProgram, HelpAndMissingDisplay) {
  const struct {
    const char* arg;
    const char* display;
    int status;
    const char* line;  // the start of the one line written
  } cases[] = {{"--help", "", 0, "usage: orbel"},
               {nullptr, "", 2, "orbel: "},
               {nullptr, ":4094", 2, "orbel: "}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.display);
    const Ended run =
        RunOrbel(c.arg ? std::vector<std::string>{c.arg} : std::vector<std::string>{}, c.display);
    EXPECT_EQ(run.status, c.status);
    const std::string& said = c.status == 0 ? run.out : run.err;
    EXPECT_EQ(c.status == 0 ? run.err : run.out, "");
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(said.rfind(c.line, 0), 0u) << said;
    EXPECT_NE(said.find("orbel-cli"), std::string::npos) << said;
  }
}

// The dialog as the stand-in layer lays it out, opened headless in this
// process: where the controls are, and what the phase frame shows for a date.
class Layout {
 public:
  Layout() {
    standin::Reset();
    standin::SetProfilePath(::testing::TempDir() + "orbel_gui_layout.ini");
    standin::SetTimeZone(kZone);
    dialog_ = CreateDialogParamA(nullptr, "RunDialog", nullptr, DialogProc, 0);
  }
  ~Layout() { standin::Reset(); }
  RECT ClientRect() {
    RECT r = {};
    GetClientRect(dialog_, &r);
    return r;
  }
  // A point in the control, `fraction` of the way across, in dialog pixels.
  POINT In(int id, double fraction = 0.5) {
    const RECT r = standin::Control(dialog_, id)->rect_px;
    return POINT{r.left + static_cast<int>((r.right - r.left) * fraction), (r.top + r.bottom) / 2};
  }
  // The phase frame's client area in dialog pixels.
  RECT PhaseArea() {
    HWND frame = GetDlgItem(dialog_, IDC_PHASE_FRAME);
    POINT origin = {0, 0}, dialog_origin = {0, 0};
    ClientToScreen(frame, &origin);
    ClientToScreen(dialog_, &dialog_origin);
    RECT client = {};
    GetClientRect(frame, &client);
    const int x = origin.x - dialog_origin.x, y = origin.y - dialog_origin.y;
    return RECT{x, y, x + client.right, y + client.bottom};
  }
  // The phase frame's pixels (0xRRGGBB) after a tick on the date.
  std::vector<uint32_t> PhasePixels(int day, int month, int year) {
    SetDlgItemInt(dialog_, IDC_DAY, static_cast<UINT>(day), FALSE);
    SetDlgItemInt(dialog_, IDC_MONTH, static_cast<UINT>(month), FALSE);
    SetDlgItemInt(dialog_, IDC_YEAR, static_cast<UINT>(year), FALSE);
    UpdateMoonPhase(dialog_);
    std::vector<uint32_t> rgb;
    for (COLORREF c : standin::WindowPixels(GetDlgItem(dialog_, IDC_PHASE_FRAME)).rgb) {
      rgb.push_back(static_cast<uint32_t>(GetRValue(c)) << 16 |
                    static_cast<uint32_t>(GetGValue(c)) << 8 | GetBValue(c));
    }
    return rgb;
  }

 private:
  HWND dialog_ = nullptr;
};

// A virtual X display of its own, on a free display number.
class Xvfb {
 public:
  Xvfb() {
    int fds[2];
    if (std::strlen(XVFB_PATH) == 0 || pipe(fds) != 0) return;
    run_program::Options options;
    options.keepFd = fds[1];
    xvfb_ = std::make_unique<run_program::Child>(
        std::vector<std::string>{XVFB_PATH, "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                 "1024x768x24", "-nolisten", "tcp"},
        options);
    close(fds[1]);
    // Xvfb writes its display number when it is ready for clients.
    std::string number;
    pollfd p = {fds[0], POLLIN, 0};
    char c = 0;
    while (poll(&p, 1, 20000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (!number.empty()) display_ = ":" + number;
  }
  ~Xvfb() {
    if (xvfb_) xvfb_->Stop();
  }
  const std::string& display() const { return display_; }

 private:
  std::unique_ptr<run_program::Child> xvfb_;
  std::string display_;
};

class OrbelWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::strlen(XVFB_PATH) == 0 || std::strlen(XDOTOOL_PATH) == 0) {
      GTEST_SKIP() << "Xvfb or xdotool is missing (scripts/install-deps --gui installs them)";
    }
    ASSERT_FALSE(xvfb_.display().empty()) << "Xvfb did not start";
    ASSERT_TRUE(x_.Open(xvfb_.display()));
    char dir[] = "/tmp/orbel-gui-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    home_ = dir;
    env_.env = {{"DISPLAY", xvfb_.display()},
                {"XDG_CONFIG_HOME", home_ + "/config"},
                {"HOME", home_},
                {"TZ", kZone},
                {"XAUTHORITY", std::nullopt},
                {"LSAN_OPTIONS", "suppressions=" ORBEL_LSAN_SUPPRESSIONS}};
  }
  void TearDown() override {
    if (orbel_) {
      const Ended ended = orbel_->Stop();
      if (HasFailure())
        std::printf("orbel's output:\n%s%s\n", ended.out.c_str(), ended.err.c_str());
    }
    if (!home_.empty()) std::system(("rm -rf '" + home_ + "'").c_str());
  }

  void StartOrbel() {
    orbel_ = std::make_unique<run_program::Child>(std::vector<std::string>{ORBEL_PATH}, env_);
    ASSERT_TRUE(
        WaitFor([&] { return (window_ = x_.FindWindow(kTitle)) != 0; }, std::chrono::seconds(15)))
        << "no window \"" << kTitle << "\"";
  }

  void Xdotool(std::vector<std::string> args) {
    args.insert(args.begin(), XDOTOOL_PATH);
    const Ended run = run_program::Run(args, env_, std::chrono::seconds(10));
    ASSERT_EQ(run.status, 0) << "xdotool " << args[1] << ": " << run.err;
  }
  // Moves the mouse to a dialog pixel and clicks the left button there.
  void ClickAt(POINT p) {
    Xdotool({"mousemove", "--window", std::to_string(window_), std::to_string(p.x),
             std::to_string(p.y), "click", "1"});
  }

  std::vector<uint32_t> Pixels(const RECT& r) {
    return x_.Capture(window_, r.left, r.top, r.right - r.left, r.bottom - r.top);
  }

  std::map<std::string, std::string> SavedProfile() {
    std::map<std::string, std::string> keys;
    std::istringstream lines(ReadFile(home_ + "/config/orbel/win.ini"));
    std::string line;
    while (std::getline(lines, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const size_t eq = line.find('=');
      if (eq != std::string::npos) keys[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return keys;
  }

  Xvfb xvfb_;
  gui_test::XClient x_;
  Layout layout_;
  std::string home_;
  run_program::Options env_;
  std::unique_ptr<run_program::Child> orbel_;
  unsigned long window_ = 0;
};

TEST_F(OrbelWindow, RealInputChangesWhatIsSavedAndDrawn) {
  ASSERT_NO_FATAL_FAILURE(StartOrbel());

  // The dialog's client area at the layer's size, centred on the 1024 x 768
  // screen, of fixed size and above other windows.
  const RECT client = layout_.ClientRect();
  const gui_test::Geometry g = x_.GetGeometry(window_);
  EXPECT_EQ(g.width, client.right);
  EXPECT_EQ(g.height, client.bottom);
  EXPECT_NEAR(g.x, (1024 - client.right) / 2, 1);
  EXPECT_NEAR(g.y, (768 - client.bottom) / 2, 1);
  EXPECT_TRUE(x_.AsksForFixedSize(window_));
  EXPECT_TRUE(x_.AsksToStayAbove(window_));  // the template's WS_EX_TOPMOST

  // The first tick, a second after the start, draws the phase picture of the
  // seeded date, 14.12.1999; the next ones, in system-time mode, today's.
  // Then the window is what the README shows.
  const RECT phase = layout_.PhaseArea();
  const std::vector<uint32_t> seeded = layout_.PhasePixels(14, 12, 1999);
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  const std::vector<uint32_t> today =
      layout_.PhasePixels(local->tm_mday, local->tm_mon + 1, local->tm_year + 1900);
  ASSERT_TRUE(WaitFor(
      [&] {
        const std::vector<uint32_t> p = Pixels(phase);
        return p == seeded || p == today;
      },
      std::chrono::seconds(5)))
      << "no phase picture";
  const std::string shot = std::string(ORBEL_GUI_OUTPUT_DIR) + "/screenshot-linux.png";
  EXPECT_TRUE(gui_test::WritePng(shot, client.right, client.bottom, Pixels(client))) << shot;

  // Manual mode, so that the date can be typed.
  ClickAt(layout_.In(IDC_SYSTEM_TIME, 0.05));

  // Shift+Ctrl+right click on the bare dialog asks the reset question in a
  // box of its own; Return answers its default, Yes.
  Xdotool({"mousemove", "--window", std::to_string(window_), "2", "2", "keydown", "shift",
           "keydown", "ctrl", "click", "3", "keyup", "ctrl", "keyup", "shift"});
  unsigned long box = 0;
  ASSERT_TRUE(
      WaitFor([&] { return (box = x_.FindWindow(kResetCaption)) != 0; }, std::chrono::seconds(5)))
      << "no reset question";
  Xdotool({"windowfocus", "--sync", std::to_string(box), "key", "Return"});
  ASSERT_TRUE(WaitFor([&] { return x_.FindWindow(kResetCaption) == 0; }, std::chrono::seconds(5)));

  // A date whose moon differs from today's, which system-time mode showed:
  // the full moon of 21.6.2024, or else the waning moon of 6.1.2024.
  int day = 21, month = 6;
  std::vector<uint32_t> expected = layout_.PhasePixels(day, month, 2024);
  if (expected == today) {
    day = 6;
    month = 1;
    expected = layout_.PhasePixels(day, month, 2024);
  }

  // Click right of the day's text, delete it and type the day; Tab selects
  // the month and the year, which are typed over.
  Xdotool({"windowfocus", "--sync", std::to_string(window_)});
  ClickAt(layout_.In(IDC_DAY, 0.8));
  Xdotool({"key", "End", "BackSpace", "BackSpace", "type", std::to_string(day)});
  Xdotool({"key", "Tab", "type", std::to_string(month)});
  Xdotool({"key", "Tab", "type", "2024"});
  ClickAt(layout_.In(IDC_WEST, 0.2));

  // The next tick draws the moon of the typed date, pixel for pixel as the
  // layer's DrawMoonPhase draws it.
  ASSERT_TRUE(WaitFor([&] { return Pixels(phase) == expected; }, std::chrono::seconds(5)))
      << "the phase frame does not show " << day << "." << month << ".2024";

  // The close box saves and ends the program.
  ASSERT_TRUE(x_.SendCloseRequest(window_));
  EXPECT_EQ(orbel_->Wait(std::chrono::seconds(10)).status, 0);
  const std::map<std::string, std::string> expected_profile = {
      {"LG", "9"},         {"LM", "11"},        {"LS", "0"},  // reset place, east...
      {"BG", "48"},        {"BM", "46"},        {"BS", "0"},  // ...and north
      {"SommerZeit", "0"}, {"SystemZeit", "0"},               // manual mode
      {"East", "0"},       {"North", "1"},                    // West clicked
  };
  EXPECT_EQ(SavedProfile(), expected_profile);
}

}  // namespace
