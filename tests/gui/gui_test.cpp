// orbel, the Linux window, run as a user runs it: on a virtual X display
// (Xvfb) it is driven with real X input from xdotool (clicks, typing, the
// Shift+Ctrl right click and the reset question's Yes), closed through its
// close box (WM_DELETE_WINDOW, as a window manager sends it), and judged by
// the profile it saved and the pixels of its phase frame. Without a display it
// must say so in one line and exit with status 2.
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "run_program.h"
#include "test_files.h"
#include "main_dialog.h"
#include "moon_phase.h"
#include "orbel_test_api.h"
#include "orbel_version.h"
#include "resource.h"

// Xlib after the stand-in's windows.h, whose names it does not share.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using run_program::Ended;
using std::chrono::seconds;

const char kTitle[] = "Zoror ido Rede";
const char kResetCaption[] = "Rrrrrrrrrrrrrrrrrrrrrrrrrrreset";
// Central European time by POSIX rule, so no time zone database is needed.
const char kZone[] = "CET-1CEST,M3.5.0,M10.5.0/3";

bool WaitFor(const std::function<bool()>& done, seconds timeout) {
  for (const auto end = std::chrono::steady_clock::now() + timeout; !done();) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return true;
}

// --help and --version write to standard output and exit with 0; without a
// display (none named, or one that is not there), or given an argument, orbel
// says so in one line on standard error and exits with 2.
TEST(OrbelProgram, HelpVersionAndRefusals) {
  const std::string version = std::string("orbel ") + ORBEL_VERSION_TEXT + "\n";
  const struct {
    const char* arg;
    const char* display;  // null: DISPLAY unset
    int status;
    std::string text;  // the start of what is written
  } cases[] = {{"--help", nullptr, 0, "Usage: orbel [--help | --version]\n"},
               {"--version", nullptr, 0, version},
               {"--geometry", ":4094", 2, "orbel: unknown argument '--geometry'"},
               {"today", ":4094", 2, "orbel: unknown argument 'today'"},
               {"\x1b[2J", ":4094", 2, "orbel: unknown argument '\\x1b[2J'"},
               {nullptr, nullptr, 2, "orbel: "},
               {nullptr, ":4094", 2, "orbel: "}};
  for (const auto& c : cases) {
    run_program::Options options;
    options.env["DISPLAY"] = c.display ? std::optional<std::string>(c.display) : std::nullopt;
    const Ended run = run_program::Run(
        c.arg ? std::vector<std::string>{ORBEL_PATH, c.arg} : std::vector<std::string>{ORBEL_PATH},
        options, seconds(20));
    const std::string& said = c.status == 0 ? run.out : run.err;
    EXPECT_EQ(run.status, c.status) << said;
    EXPECT_EQ(c.status == 0 ? run.err : run.out, "");
    EXPECT_EQ(said.rfind(c.text, 0), 0u) << said;
    if (c.status != 0) {
      EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    }
    if (c.arg == nullptr) {
      EXPECT_NE(said.find("orbel-cli"), std::string::npos) << said;
    }
  }
  // Help that does not reach its output is a failure.
  const Ended full =
      run_program::Run({"/bin/sh", "-c", std::string(ORBEL_PATH) + " --help >/dev/full"});
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.err, "orbel: cannot write the output: No space left on device\n");
  // The help describes the window as it is: seconds typed, no azimuths shown.
  const std::string help = run_program::Run({ORBEL_PATH, "--help"}).out;
  EXPECT_NE(help.find("degrees, minutes and seconds"), std::string::npos) << help;
  EXPECT_EQ(help.find("azimuth"), std::string::npos) << help;
}

// The mapped top-level window named `name`, or 0.
Window FindWindow(Display* d, const std::string& name) {
  Window root = 0, parent = 0, *children = nullptr, found = 0;
  unsigned count = 0;
  if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) return 0;
  for (unsigned i = 0; i < count && found == 0; ++i) {
    XWindowAttributes a;
    char* title = nullptr;
    if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable &&
        XFetchName(d, children[i], &title) && title != nullptr) {
      if (name == title) found = children[i];
      XFree(title);
    }
  }
  if (children != nullptr) XFree(children);
  return found;
}

// orbel on a virtual X display of its own (Xvfb, on a free display number),
// beside the dialog as the stand-in layer lays it out, opened headless in this
// process: where the controls are, and what the phase frame shows for a date.
class OrbelWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::strlen(XVFB_PATH) == 0 || std::strlen(XDOTOOL_PATH) == 0) {
      GTEST_SKIP() << "Xvfb or xdotool is missing (scripts/install-deps --gui installs them)";
    }
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    run_program::Options options;
    options.keepFd = fds[1];
    xvfb_ = std::make_unique<run_program::Child>(
        std::vector<std::string>{XVFB_PATH, "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                 "1024x768x24", "-nolisten", "tcp"},
        options);
    close(fds[1]);
    // Xvfb writes its display number when it is ready for clients.
    std::string display = ":";
    pollfd p = {fds[0], POLLIN, 0};
    for (char c = 0; poll(&p, 1, 20000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n';) display += c;
    close(fds[0]);
    ASSERT_NE(x_ = XOpenDisplay(display.c_str()), nullptr) << "Xvfb did not start";
    char dir[] = "/tmp/orbel-gui-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    home_ = dir;
    env_.env = {{"DISPLAY", display},
                {"XDG_CONFIG_HOME", home_ + "/config"},
                {"HOME", home_},
                {"TZ", kZone},
                {"XAUTHORITY", std::nullopt},
                {"LSAN_OPTIONS", "suppressions=" ORBEL_LSAN_SUPPRESSIONS}};
    standin::Reset();
    standin::SetProfilePath(home_ + "/layout.ini");
    standin::SetTimeZone(kZone);
    layout_ = CreateDialogParamA(nullptr, "RunDialog", nullptr, DialogProc, 0);
  }
  void TearDown() override {
    if (orbel_) {
      const Ended ended = orbel_->Stop();
      if (HasFailure())
        std::printf("orbel's output:\n%s%s\n", ended.out.c_str(), ended.err.c_str());
    }
    if (x_ != nullptr) XCloseDisplay(x_);
    if (xvfb_) xvfb_->Stop();  // SIGTERM: Xvfb removes its lock file
    standin::Reset();
    if (!home_.empty()) std::system(("rm -rf '" + home_ + "'").c_str());
  }

  void Xdotool(std::vector<std::string> args) {
    args.insert(args.begin(), XDOTOOL_PATH);
    const Ended run = run_program::Run(args, env_, seconds(10));
    ASSERT_EQ(run.status, 0) << "xdotool " << args[1] << ": " << run.err;
  }
  // Moves the mouse to a point in the control, `fraction` of the way across,
  // and clicks the left button there.
  void ClickIn(int id, double fraction) {
    const RECT r = standin::Control(layout_, id)->rect_px;
    Xdotool({"mousemove", "--window", std::to_string(window_),
             std::to_string(r.left + static_cast<int>((r.right - r.left) * fraction)),
             std::to_string((r.top + r.bottom) / 2), "click", "1"});
  }
  // The window's pixels in a rectangle, 0xRRGGBB row by row (the screen is
  // 24-bit TrueColor).
  std::vector<uint32_t> Pixels(const RECT& r) {
    std::vector<uint32_t> rgb;
    XImage* image = XGetImage(x_, window_, r.left, r.top, static_cast<unsigned>(r.right - r.left),
                              static_cast<unsigned>(r.bottom - r.top), AllPlanes, ZPixmap);
    if (image == nullptr) return rgb;
    for (int y = 0; y < image->height; ++y) {
      for (int x = 0; x < image->width; ++x) rgb.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
    }
    XDestroyImage(image);
    return rgb;
  }
  // The phase frame's client area in dialog pixels.
  RECT PhaseArea() {
    HWND frame = GetDlgItem(layout_, IDC_PHASE_FRAME);
    POINT at = {0, 0}, dialog_at = {0, 0};
    ClientToScreen(frame, &at);
    ClientToScreen(layout_, &dialog_at);
    RECT r = {};
    GetClientRect(frame, &r);
    const int x = at.x - dialog_at.x, y = at.y - dialog_at.y;
    return RECT{x, y, x + r.right, y + r.bottom};
  }
  // The phase frame's pixels (0xRRGGBB) after a tick on the date, as the
  // layer draws them.
  std::vector<uint32_t> PhasePixels(int day, int month, int year) {
    SetDlgItemInt(layout_, IDC_DAY, static_cast<UINT>(day), FALSE);
    SetDlgItemInt(layout_, IDC_MONTH, static_cast<UINT>(month), FALSE);
    SetDlgItemInt(layout_, IDC_YEAR, static_cast<UINT>(year), FALSE);
    UpdateMoonPhase(layout_);
    std::vector<uint32_t> rgb;
    for (COLORREF c : standin::WindowPixels(GetDlgItem(layout_, IDC_PHASE_FRAME)).rgb) {
      rgb.push_back(static_cast<uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c));
    }
    return rgb;
  }

  // The close box (WM_DELETE_WINDOW, as a window manager sends it).
  void CloseBox() {
    XEvent close = {};
    close.xclient.type = ClientMessage;
    close.xclient.window = window_;
    close.xclient.message_type = XInternAtom(x_, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(x_, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    ASSERT_TRUE(XSendEvent(x_, window_, False, NoEventMask, &close));
    XSync(x_, False);
  }

  std::unique_ptr<run_program::Child> xvfb_, orbel_;
  Display* x_ = nullptr;
  HWND layout_ = nullptr;
  std::string home_;
  run_program::Options env_;
  Window window_ = 0;
};

// Today's local date in the test's zone (set in TZ by SetUp): day, month, year.
std::array<int, 3> LocalToday() {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  return {local->tm_mday, local->tm_mon + 1, local->tm_year + 1900};
}

TEST_F(OrbelWindow, RealInputChangesWhatIsSavedAndDrawn) {
  // The window's own clock: libfaketime cannot hold it here (the sanitizer
  // builds' window aborts at its end under it), so "today" is both the date
  // before the start and the date after the picture shows, which differ only
  // across a midnight.
  const std::array<int, 3> startDay = LocalToday();
  orbel_ = std::make_unique<run_program::Child>(std::vector<std::string>{ORBEL_PATH}, env_);
  ASSERT_TRUE(WaitFor([&] { return (window_ = FindWindow(x_, kTitle)) != 0; }, seconds(15)))
      << "no window \"" << kTitle << "\"";

  // The dialog's client area at the layer's size, centred on the 1024 x 768
  // screen, of fixed size and above other windows (the template's
  // WS_EX_TOPMOST).
  RECT client = {};
  GetClientRect(layout_, &client);
  XWindowAttributes a = {};
  XGetWindowAttributes(x_, window_, &a);
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(x_, window_, DefaultRootWindow(x_), 0, 0, &x, &y, &child);
  EXPECT_EQ(a.width, client.right);
  EXPECT_EQ(a.height, client.bottom);
  EXPECT_NEAR(x, (1024 - client.right) / 2, 1);
  EXPECT_NEAR(y, (768 - client.bottom) / 2, 1);
  XSizeHints hints = {};
  long supplied = 0;
  EXPECT_TRUE(XGetWMNormalHints(x_, window_, &hints, &supplied) && (hints.flags & PMinSize) &&
              (hints.flags & PMaxSize) && hints.min_width == hints.max_width &&
              hints.min_height == hints.max_height);
  Atom type = 0, *state = nullptr;
  int format = 0;
  unsigned long count = 0, rest = 0;
  XGetWindowProperty(x_, window_, XInternAtom(x_, "_NET_WM_STATE", False), 0, 64, False, XA_ATOM,
                     &type, &format, &count, &rest, reinterpret_cast<unsigned char**>(&state));
  const Atom above = XInternAtom(x_, "_NET_WM_STATE_ABOVE", False);
  EXPECT_TRUE(state != nullptr && std::find(state, state + count, above) != state + count);
  if (state != nullptr) XFree(state);

  // The first tick, a second after the start, draws the phase picture of the
  // seeded date, 14.12.1999; the next ones, in system-time mode, today's.
  const RECT phase = PhaseArea();
  const std::vector<uint32_t> seeded = PhasePixels(14, 12, 1999);
  const auto picture = [&](const std::array<int, 3>& d) { return PhasePixels(d[0], d[1], d[2]); };
  std::vector<uint32_t> today = picture(startDay);
  ASSERT_TRUE(WaitFor(
      [&] {
        const std::vector<uint32_t> p = Pixels(phase);
        if (p == seeded || p == today) return true;
        today = picture(LocalToday());  // past midnight since the start
        return p == today;
      },
      seconds(5)))
      << "no phase picture";

  // Manual mode, so that the date can be typed.
  ClickIn(IDC_SYSTEM_TIME, 0.05);

  // Shift+Ctrl+right click on the bare dialog asks the reset question in a
  // box of its own; Return answers its default, Yes.
  Xdotool({"mousemove", "--window", std::to_string(window_), "2", "2", "keydown", "shift",
           "keydown", "ctrl", "click", "3", "keyup", "ctrl", "keyup", "shift"});
  Window box = 0;
  ASSERT_TRUE(WaitFor([&] { return (box = FindWindow(x_, kResetCaption)) != 0; }, seconds(5)))
      << "no reset question";
  Xdotool({"windowfocus", "--sync", std::to_string(box), "key", "Return"});
  ASSERT_TRUE(WaitFor([&] { return FindWindow(x_, kResetCaption) == 0; }, seconds(5)));

  // A date whose moon differs from today's, which system-time mode showed:
  // the full moon of 21.6.2024, or else the waning moon of 6.1.2024.
  int day = 21, month = 6;
  std::vector<uint32_t> expected = PhasePixels(day, month, 2024);
  if (expected == today) {
    day = 6;
    month = 1;
    expected = PhasePixels(day, month, 2024);
  }

  // Click right of the day's text, delete it and type the day; Tab selects
  // the month and the year, which are typed over.
  Xdotool({"windowfocus", "--sync", std::to_string(window_)});
  ClickIn(IDC_DAY, 0.8);
  Xdotool({"key", "End", "BackSpace", "BackSpace", "type", std::to_string(day)});
  Xdotool({"key", "Tab", "type", std::to_string(month)});
  Xdotool({"key", "Tab", "type", "2024"});
  ClickIn(IDC_WEST, 0.2);

  // The next tick draws the moon of the typed date, pixel for pixel as the
  // layer's DrawMoonPhase draws it.
  ASSERT_TRUE(WaitFor([&] { return Pixels(phase) == expected; }, seconds(5)))
      << "the phase frame does not show " << day << "." << month << ".2024";

  // The close box saves and ends the program: the reset place, manual mode,
  // West clicked.
  CloseBox();
  EXPECT_EQ(orbel_->Wait(seconds(10)).status, 0);
  EXPECT_EQ(ReadFile(home_ + "/config/orbel/win.ini"),
            "[ORBEL32]\nLG=9\nLM=11\nLS=0\nBG=48\nBM=46\nBS=0\nSommerZeit=0\nSystemZeit=0\nEast=0\n"
            "North=1\n");
}

// A settings file that is a FIFO neither holds the start nor is replaced:
// the window opens with the built-in place, and closing it says in one line
// that the settings were not saved, with status 1.
TEST_F(OrbelWindow, SettingsThatCannotBeSavedAreSaidSo) {
  const std::string ini = home_ + "/config/orbel/win.ini";
  ASSERT_EQ(std::system(("mkdir -p '" + home_ + "/config/orbel' && mkfifo '" + ini + "'").c_str()),
            0);
  orbel_ = std::make_unique<run_program::Child>(std::vector<std::string>{ORBEL_PATH}, env_);
  ASSERT_TRUE(WaitFor([&] { return (window_ = FindWindow(x_, kTitle)) != 0; }, seconds(15)))
      << "no window \"" << kTitle << "\"";
  CloseBox();
  const Ended ended = orbel_->Wait(seconds(10));
  orbel_.reset();
  EXPECT_EQ(ended.status, 1);
  EXPECT_NE(
      ended.err.find("orbel: the settings were not saved: " + ini + " is not a regular file\n"),
      std::string::npos)
      << ended.err;
  struct stat st;
  EXPECT_TRUE(stat(ini.c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
}

}  // namespace
