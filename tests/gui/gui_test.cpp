// orbel, the Linux window, run as a user runs it: on a virtual X display
// (Xvfb) it is driven with real X input from xdotool (clicks, typing, the
// Shift+Ctrl right click and the reset question's Yes), closed through its
// close box (WM_DELETE_WINDOW, as a window manager sends it), and judged by
// the profile it saved and the pixels of its phase frame. The screenshot for
// the README is taken on the way. Without a display it must say so in one
// line and exit with status 2.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <windows.h>

#include "../test_files.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "main_dialog.h"
#include "moon_phase.h"
#include "orbel_test_api.h"
#include "resource.h"
#include "x_client.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

const char kTitle[] = "Zoror ido Rede";
const char kResetCaption[] = "Rrrrrrrrrrrrrrrrrrrrrrrrrrreset";
// Central European time by POSIX rule, so no time zone database is needed.
const char kZone[] = "CET-1CEST,M3.5.0,M10.5.0/3";

// The environment of this process with `set` replacing (or, for an empty
// value, removing) the named variables.
std::vector<std::string> Environment(const std::map<std::string, std::string>& set) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    if (set.count(entry.substr(0, entry.find('='))) == 0) env.push_back(entry);
  }
  for (const auto& [name, value] : set) {
    if (!value.empty()) env.push_back(name + "=" + value);
  }
  return env;
}

// Starts a program with its output in `log`; `keep_fd` stays open in it.
pid_t Start(const std::vector<std::string>& args, const std::vector<std::string>& env,
            const std::string& log, int keep_fd = -1) {
  std::vector<char*> argv, envp;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  argv.push_back(nullptr);
  envp.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int in = open("/dev/null", O_RDONLY);
    if (out < 0 || in < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(out, 2) < 0) _exit(126);
    for (int fd = 3; fd < 256; ++fd) {
      if (fd != keep_fd) close(fd);
    }
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  return pid;
}

// The exit status of `pid`; -1 when it was killed by a signal, -2 when it
// did not end within the time.
int WaitForExit(pid_t pid, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (Clock::now() > deadline) return -2;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void Stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  if (WaitForExit(pid, std::chrono::seconds(5)) == -2) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
}

struct Finished {
  int status = 0;
  std::string out, err;
};

// Runs orbel to its end with separate standard output and error.
Finished RunOrbel(const std::vector<std::string>& args, const std::vector<std::string>& env) {
  const std::string base = ::testing::TempDir() + "orbel_gui_" + std::to_string(getpid());
  std::vector<std::string> argv = {ORBEL_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  // Start() puts both streams into one file; split them with a wrapper shell.
  std::vector<std::string> shell = {"/bin/sh", "-c", "exec \"$@\" 2>\"" + base + ".err\"", "sh"};
  shell.insert(shell.end(), argv.begin(), argv.end());
  const pid_t pid = Start(shell, env, base + ".out");
  Finished run;
  run.status = WaitForExit(pid, std::chrono::seconds(20));
  run.out = ReadFile(base + ".out");
  run.err = ReadFile(base + ".err");
  std::remove((base + ".out").c_str());
  std::remove((base + ".err").c_str());
  return run;
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (!done()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return true;
}

TEST(OrbelProgram, HelpIsOneLine) {
  Finished run = RunOrbel({"--help"}, Environment({{"DISPLAY", ""}}));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
  EXPECT_NE(run.out.find("orbel-cli"), std::string::npos);
  EXPECT_EQ(run.err, "");
}

TEST(OrbelProgram, WithoutADisplayItPointsToTheCommandLineTool) {
  for (const char* display : {"", ":4094"}) {
    SCOPED_TRACE(display);
    Finished run = RunOrbel({}, Environment({{"DISPLAY", display}}));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(run.err.rfind("orbel: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("orbel-cli"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
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
    if (std::strlen(XVFB_PATH) == 0) return;
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = Start({XVFB_PATH, "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24",
                  "-nolisten", "tcp"},
                 Environment({}), log_, fds[1]);
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
    Stop(pid_);
    std::remove(log_.c_str());
  }
  const std::string& display() const { return display_; }

 private:
  const std::string log_ =
      ::testing::TempDir() + "orbel_gui_xvfb_" + std::to_string(getpid()) + ".log";
  pid_t pid_ = -1;
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
    env_ = Environment({{"DISPLAY", xvfb_.display()},
                        {"XDG_CONFIG_HOME", home_ + "/config"},
                        {"HOME", home_},
                        {"TZ", kZone},
                        {"XAUTHORITY", ""},
                        {"LSAN_OPTIONS", "suppressions=" ORBEL_LSAN_SUPPRESSIONS}});
  }
  void TearDown() override {
    Stop(orbel_);
    if (HasFailure()) {
      std::printf("orbel's output:\n%s\n", ReadFile(home_ + "/orbel.log").c_str());
    }
    if (!home_.empty()) std::system(("rm -rf '" + home_ + "'").c_str());
  }

  void StartOrbel() {
    orbel_ = Start({ORBEL_PATH}, env_, home_ + "/orbel.log");
    ASSERT_TRUE(
        WaitFor([&] { return (window_ = x_.FindWindow(kTitle)) != 0; }, std::chrono::seconds(15)))
        << "no window \"" << kTitle << "\"";
  }

  void Xdotool(std::vector<std::string> args) {
    args.insert(args.begin(), XDOTOOL_PATH);
    const pid_t pid = Start(args, env_, home_ + "/xdotool.log");
    ASSERT_EQ(WaitForExit(pid, std::chrono::seconds(10)), 0)
        << "xdotool " << args[1] << ": " << ReadFile(home_ + "/xdotool.log");
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
  std::vector<std::string> env_;
  pid_t orbel_ = -1;
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
  EXPECT_EQ(WaitForExit(orbel_, std::chrono::seconds(10)), 0);
  orbel_ = -1;
  const std::map<std::string, std::string> expected_profile = {
      {"LG", "9"},         {"LM", "11"},        {"LS", "0"},  // reset place, east...
      {"BG", "48"},        {"BM", "46"},        {"BS", "0"},  // ...and north
      {"SommerZeit", "0"}, {"SystemZeit", "0"},               // manual mode
      {"East", "0"},       {"North", "1"},                    // West clicked
  };
  EXPECT_EQ(SavedProfile(), expected_profile);
}

}  // namespace
