// The stand-in dialog manager and controls, driven through a small test
// dialog: notifications and their order, check states, clicks, the keys the
// dialog manager takes (Tab, Enter, Escape), typing into fields that take no
// more than their width, integer reading, the modal loop, message boxes,
// timers, the status window, and windows of registered classes.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "orbel_test_api.h"

namespace {

using standin::EditEntry;
using standin::Input;

// Fields 10 (20 DU wide: 26 client pixels), 11 (12 DU: 14 pixels), the
// read-only 12, an automatic check box, a plain radio button, a group box and
// an auto-scrolling field 13, in this tab order.
const char kScript[] = R"(
TestDialog DIALOGEX 0, 0, 200, 100
STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE
CAPTION "Test"
FONT 8, "MS Sans Serif"
BEGIN
  CONTROL "", 10, "Edit", WS_BORDER | WS_TABSTOP, 10, 10, 20, 12
  CONTROL "", 11, "Edit", WS_BORDER | WS_TABSTOP, 40, 10, 12, 12
  CONTROL "ro", 12, "Edit", WS_BORDER | WS_TABSTOP | ES_READONLY, 60, 10, 20, 12
  CONTROL "Check", 20, "Button", BS_AUTOCHECKBOX | WS_TABSTOP, 10, 30, 50, 12
  CONTROL "Radio", 21, "Button", BS_RADIOBUTTON | WS_TABSTOP, 10, 45, 50, 12
  CONTROL "Group", 30, "Button", BS_GROUPBOX | WS_GROUP, 100, 5, 90, 60
  CONTROL "", 13, "Edit", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 110, 20, 20, 12
END
)";

struct Msg {
  UINT msg;
  WPARAM wp;
  LPARAM lp;
};

std::vector<Msg> g_log;
std::function<void(HWND, UINT, WPARAM, LPARAM)> g_on;
INT_PTR g_init_result = TRUE;

INT_PTR CALLBACK TestProc(HWND d, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
    case WM_COMMAND:
    case WM_TIMER:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDOWN:
    case WM_SYSCOMMAND:
    case WM_CLOSE:
    case WM_CONTEXTMENU:
      g_log.push_back({msg, wp, lp});
      break;
    default:
      return FALSE;
  }
  if (g_on) g_on(d, msg, wp, lp);
  if (msg == WM_INITDIALOG) return g_init_result;
  if (msg == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
    EndDialog(d, 100 + LOWORD(wp));
    return TRUE;
  }
  return FALSE;
}

// WM_COMMAND notifications in order, as (id, code).
std::vector<std::pair<int, int>> Commands() {
  std::vector<std::pair<int, int>> out;
  for (const Msg& m : g_log) {
    if (m.msg == WM_COMMAND) out.emplace_back(LOWORD(m.wp), HIWORD(m.wp));
  }
  return out;
}

using Pairs = std::vector<std::pair<int, int>>;

class PlatformDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::Reset();
    standin::RegisterDialogTemplate("TestDialog", kScript);
    g_log.clear();
    g_on = nullptr;
    g_init_result = TRUE;
  }
  void TearDown() override {
    g_on = nullptr;
    standin::Reset();
  }
  HWND Open() {
    d_ = CreateDialogParamA(nullptr, "TestDialog", nullptr, TestProc, 0);
    EXPECT_NE(d_, nullptr);
    return d_;
  }
  bool Do(const Input& in) { return standin::Perform(d_, in); }
  std::string Text(int id) { return standin::Text(d_, id); }

  HWND d_ = nullptr;
};

TEST_F(PlatformDialog, FieldWritesNotifySynchronously) {
  Open();
  std::string seen;
  g_on = [&](HWND d, UINT m, WPARAM wp, LPARAM) {
    if (m == WM_COMMAND && HIWORD(wp) == EN_CHANGE) seen = standin::Text(d, LOWORD(wp));
  };
  g_log.clear();
  EXPECT_TRUE(SetDlgItemInt(d_, 10, static_cast<UINT>(-12345), TRUE));
  // Notified before SetDlgItemInt returns, with the new text in place; and a
  // program's write is not limited to the field's width.
  EXPECT_EQ(Commands(), (Pairs{{10, EN_UPDATE}, {10, EN_CHANGE}}));
  EXPECT_EQ(g_log[1].lp, reinterpret_cast<LPARAM>(GetDlgItem(d_, 10)));
  EXPECT_EQ(seen, "-12345");
  SetDlgItemInt(d_, 10, 4294967295u, FALSE);
  EXPECT_EQ(Text(10), "4294967295");
  g_log.clear();
  EXPECT_TRUE(SetDlgItemTextA(d_, 12, "12:34"));  // read-only fields notify too
  EXPECT_EQ(Commands(), (Pairs{{12, EN_UPDATE}, {12, EN_CHANGE}}));
  EXPECT_FALSE(SetDlgItemTextA(d_, 99, "x"));
}

TEST_F(PlatformDialog, GetDlgItemIntFollowsWin32) {
  struct Case {
    const char* text;
    BOOL is_signed;
    UINT value;
    BOOL translated;
  };
  const Case cases[] = {
      {"12", TRUE, 12, TRUE},
      {"-5", TRUE, static_cast<UINT>(-5), TRUE},
      {"-5", FALSE, 0, FALSE},  // unsigned reads refuse the minus sign
      {" 7", TRUE, 7, TRUE},    // leading spaces are skipped
      {"7  ", FALSE, 7, TRUE},  // and so are trailing ones
      {"  -0", TRUE, 0, TRUE},
      {"\t7", TRUE, 0, FALSE},  // only spaces
      {"abc", TRUE, 0, FALSE},
      {"", FALSE, 0, FALSE},
      {"12abc", TRUE, 0, FALSE},
      {"1 2", TRUE, 0, FALSE},
      {"- 5", TRUE, 0, FALSE},
      {"+5", TRUE, 0, FALSE},
      {"007", FALSE, 7, TRUE},
      {"2147483647", TRUE, 2147483647u, TRUE},
      {"2147483648", TRUE, 0, FALSE},
      {"-2147483648", TRUE, 0x80000000u, TRUE},
      {"-2147483649", TRUE, 0, FALSE},
      {"4294967295", FALSE, 4294967295u, TRUE},
      {"4294967295", TRUE, 0, FALSE},
      {"4294967296", FALSE, 0, FALSE},
      {"99999999999999999999999", FALSE, 0, FALSE},
  };
  Open();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("\"") + c.text + "\" signed " + std::to_string(c.is_signed));
    SetDlgItemTextA(d_, 13, c.text);
    BOOL translated = 2;
    EXPECT_EQ(GetDlgItemInt(d_, 13, &translated, c.is_signed), c.value);
    EXPECT_EQ(translated, c.translated);
    EXPECT_EQ(GetDlgItemInt(d_, 13, nullptr, c.is_signed), c.value);
  }
  BOOL translated = 2;
  EXPECT_EQ(GetDlgItemInt(d_, 99, &translated, TRUE), 0u);
  EXPECT_FALSE(translated);
}

TEST_F(PlatformDialog, GetDlgItemTextCutsToTheBuffer) {
  Open();
  SetDlgItemTextA(d_, 13, "12345");
  char buf[8] = "zzzzzzz";
  EXPECT_EQ(GetDlgItemTextA(d_, 13, buf, 4), 3u);
  EXPECT_STREQ(buf, "123");
  EXPECT_EQ(GetDlgItemTextA(d_, 13, buf, 1), 0u);
  EXPECT_STREQ(buf, "");
  // UTF-8: a character that does not fit whole is left out.
  SetDlgItemTextA(d_, 13,
                  "S\xC3\xBC"
                  "d");
  EXPECT_EQ(GetDlgItemTextA(d_, 13, buf, 4), 3u);
  EXPECT_STREQ(buf, "S\xC3\xBC");
  EXPECT_EQ(GetDlgItemTextA(d_, 13, buf, 3), 1u);
  EXPECT_STREQ(buf, "S");
  EXPECT_EQ(GetDlgItemTextA(d_, 99, buf, 4), 0u);
  EXPECT_STREQ(buf, "");
}

TEST_F(PlatformDialog, CheckStatesRaiseNoNotification) {
  Open();
  HWND radio = GetDlgItem(d_, 21);
  g_log.clear();
  SendMessageA(GetDlgItem(d_, 20), BM_SETCHECK, BST_CHECKED, 0);
  SendMessageA(radio, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_TRUE(Commands().empty());
  EXPECT_EQ(SendMessageA(GetDlgItem(d_, 20), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(d_, 21), static_cast<UINT>(BST_CHECKED));
  // A check box has two states: 2 is cut to 1.
  CheckDlgButton(d_, 20, BST_INDETERMINATE);
  EXPECT_EQ(IsDlgButtonChecked(d_, 20), static_cast<UINT>(BST_CHECKED));
  // A radio button carries WS_TABSTOP only while it is checked.
  CheckDlgButton(d_, 21, BST_UNCHECKED);
  EXPECT_EQ(GetWindowLongA(radio, GWL_STYLE) & WS_TABSTOP, 0);
  CheckDlgButton(d_, 21, BST_CHECKED);
  EXPECT_NE(GetWindowLongA(radio, GWL_STYLE) & WS_TABSTOP, 0);
}

TEST_F(PlatformDialog, ClicksOnButtons) {
  Open();
  std::vector<int> check_when_notified;
  g_on = [&](HWND d, UINT m, WPARAM wp, LPARAM) {
    if (m == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
      check_when_notified.push_back(static_cast<int>(IsDlgButtonChecked(d, LOWORD(wp))));
    }
  };
  g_log.clear();
  ASSERT_TRUE(Do(Input::Click(20)));  // the automatic check box toggles, then notifies
  ASSERT_TRUE(Do(Input::Click(20)));
  ASSERT_TRUE(Do(Input::Click(21)));  // the plain radio button only notifies
  SendMessageA(GetDlgItem(d_, 21), BM_CLICK, 0, 0);
  EXPECT_EQ(check_when_notified, (std::vector<int>{1, 0, 0, 0}));
  EXPECT_EQ(Commands(), (Pairs{{10, EN_KILLFOCUS},
                               {20, BN_CLICKED},
                               {20, BN_CLICKED},
                               {21, BN_CLICKED},
                               {21, BN_CLICKED}}));
  EXPECT_EQ(GetFocus(), GetDlgItem(d_, 21));  // a click takes the focus

  // Space on the focused check box clicks it.
  SetFocus(GetDlgItem(d_, 20));
  ASSERT_TRUE(Do(Input::Space()));
  EXPECT_EQ(IsDlgButtonChecked(d_, 20), static_cast<UINT>(BST_CHECKED));

  // A group box takes no input: the click goes to the dialog.
  g_log.clear();
  ASSERT_TRUE(Do(Input::Click(30)));
  ASSERT_EQ(g_log.size(), 1u);
  EXPECT_EQ(g_log[0].msg, static_cast<UINT>(WM_LBUTTONDOWN));

  // A disabled control cannot be clicked.
  EnableWindow(GetDlgItem(d_, 20), FALSE);
  g_log.clear();
  EXPECT_FALSE(Do(Input::Click(20)));
  EXPECT_TRUE(g_log.empty());
}

// Mouse clicks at dialog pixels, as a front-end forwards them: the control
// under the point gets the click in its own client coordinates.
TEST_F(PlatformDialog, ClicksAtPixels) {
  Open();
  SetDlgItemTextA(d_, 10, "12");
  // Field 10's client area starts at dialog pixel (17, 18); digits are 6
  // pixels wide, and the caret goes to the nearer character boundary.
  struct Case {
    int x;
    size_t caret;
  };
  const Case cases[] = {{17, 0}, {19, 0}, {20, 1}, {25, 1}, {26, 2}, {42, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    SetFocus(GetDlgItem(d_, 11));
    ASSERT_TRUE(Do(Input::ClickAt(c.x, 25)));
    std::optional<standin::ControlState> field = standin::Control(d_, 10);
    EXPECT_TRUE(field->focused);
    EXPECT_EQ(field->caret, c.caret);
    EXPECT_EQ(field->sel_start, field->sel_end);  // a click selects nothing
  }
  Do(Input::ClickAt(20, 25));
  Do(Input::Text("5"));
  EXPECT_EQ(Text(10), "152");  // typing goes in at the clicked place

  ASSERT_TRUE(Do(Input::ClickAt(20, 55)));  // the check box (15, 49)-(90, 69)
  EXPECT_EQ(standin::Check(d_, 20), BST_CHECKED);
  EXPECT_EQ(standin::FocusedId(d_), 20);

  // The bare surface and a group box's inside: the dialog gets the click.
  for (POINT p : {POINT{2, 2}, POINT{270, 90}}) {
    g_log.clear();
    ASSERT_TRUE(Do(Input::ClickAt(p.x, p.y)));
    ASSERT_EQ(g_log.size(), 1u);
    EXPECT_EQ(g_log[0].msg, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(g_log[0].wp, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(g_log[0].lp, MAKELPARAM(p.x, p.y));
  }

  EnableWindow(GetDlgItem(d_, 20), FALSE);
  g_log.clear();
  EXPECT_FALSE(Do(Input::ClickAt(20, 55)));
  EXPECT_TRUE(g_log.empty());
  EXPECT_EQ(standin::Check(d_, 20), BST_CHECKED);
}

TEST_F(PlatformDialog, EnterEscapeAndCloseBecomeOkAndCancel) {
  struct Case {
    const char* name;
    Input input;
    std::vector<UINT> messages;
    INT_PTR result;
  };
  const Case cases[] = {
      {"enter", Input::Enter(), {WM_COMMAND}, 101},
      {"escape", Input::Escape(), {WM_COMMAND}, 102},
      {"close box", Input::Close(), {WM_SYSCOMMAND, WM_CLOSE, WM_COMMAND}, 102},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_log.clear();
    standin::QueueInputs({Input::Call([](HWND) { g_log.clear(); }), c.input});
    EXPECT_EQ(DialogBoxParamA(nullptr, "TestDialog", nullptr, TestProc, 0), c.result);
    std::vector<UINT> messages;
    for (const Msg& m : g_log) messages.push_back(m.msg);
    EXPECT_EQ(messages, c.messages);
    // The command carries the bare id: no notification code, no control.
    EXPECT_EQ(g_log.back().wp, static_cast<WPARAM>(c.result - 100));
    EXPECT_EQ(g_log.back().lp, 0);
    EXPECT_EQ(standin::ActiveDialog(), nullptr);  // destroyed when the run ended
  }
  EXPECT_EQ(standin::DialogBoxCalls().size(), 3u);
  EXPECT_FALSE(standin::LoopRanDry());
}

TEST_F(PlatformDialog, ModalRunKeepsTheFinalState) {
  standin::QueueInputs({Input::Type(10, "42"), Input::Click(20), Input::Enter()});
  EXPECT_EQ(DialogBoxParamA(nullptr, "TestDialog", nullptr, TestProc, 7), 101);
  const standin::DialogSnapshot& snap = standin::LastEndedDialog();
  EXPECT_EQ(snap.title, "Test");
  ASSERT_EQ(snap.controls.size(), 7u);
  EXPECT_EQ(snap.controls[0].text, "42");
  EXPECT_EQ(snap.controls[3].check, BST_CHECKED);
  ASSERT_EQ(standin::DialogBoxCalls().size(), 1u);
  EXPECT_EQ(standin::DialogBoxCalls()[0].param, 7);
  EXPECT_EQ(standin::DialogBoxCalls()[0].result, 101);
  EXPECT_EQ(g_log.front().lp, 7);  // WM_INITDIALOG's lParam
}

TEST_F(PlatformDialog, ModalLoopWithoutInputFailsInsteadOfHanging) {
  standin::QueueInput(Input::Type(10, "1"));
  EXPECT_EQ(DialogBoxParamA(nullptr, "TestDialog", nullptr, TestProc, 0), -1);
  EXPECT_TRUE(standin::LoopRanDry());
  // An idle hook may feed the loop instead.
  standin::Reset();
  standin::RegisterDialogTemplate("TestDialog", kScript);
  int calls = 0;
  standin::SetIdleHook([&](HWND) {
    if (++calls == 2) standin::QueueInput(Input::Escape());
    return true;
  });
  EXPECT_EQ(DialogBoxParamA(nullptr, "TestDialog", nullptr, TestProc, 0), 102);
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(standin::LoopRanDry());
}

TEST_F(PlatformDialog, TabOrderSkipsDisabledControlsAndWraps) {
  Open();
  // WM_INITDIALOG returned TRUE: the first tab stop has the focus, its text selected.
  EXPECT_EQ(standin::FocusedId(d_), 10);
  auto order = [&](bool back, int steps) {
    std::vector<int> ids;
    for (int i = 0; i < steps; ++i) {
      Do(back ? Input::ShiftTab() : Input::Tab());
      ids.push_back(standin::FocusedId(d_));
    }
    return ids;
  };
  EXPECT_EQ(order(false, 6), (std::vector<int>{11, 12, 20, 21, 13, 10}));
  EnableWindow(GetDlgItem(d_, 11), FALSE);
  EnableWindow(GetDlgItem(d_, 20), FALSE);
  EXPECT_EQ(order(false, 4), (std::vector<int>{12, 21, 13, 10}));
  EXPECT_EQ(order(true, 2), (std::vector<int>{13, 21}));
  CheckDlgButton(d_, 21, BST_UNCHECKED);  // unchecked radio buttons are no tab stops
  EXPECT_EQ(order(true, 1), (std::vector<int>{12}));
  // Tabbing into a field selects its text; focus changes notify old, then new.
  SetDlgItemTextA(d_, 13, "abc");
  g_log.clear();
  Do(Input::ShiftTab());
  Do(Input::ShiftTab());
  EXPECT_EQ(Commands(),
            (Pairs{{12, EN_KILLFOCUS}, {10, EN_SETFOCUS}, {10, EN_KILLFOCUS}, {13, EN_SETFOCUS}}));
  std::optional<standin::ControlState> st = standin::Control(d_, 13);
  ASSERT_TRUE(st);
  EXPECT_EQ(st->sel_start, 0u);
  EXPECT_EQ(st->sel_end, 3u);
}

TEST_F(PlatformDialog, NoDefaultFocusWhenInitDialogReturnsFalse) {
  g_init_result = FALSE;
  Open();
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(PlatformDialog, DisablingTheFocusedFieldDropsTheFocus) {
  Open();
  g_log.clear();
  EXPECT_FALSE(EnableWindow(GetDlgItem(d_, 10), FALSE));  // it was enabled
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(Commands(), (Pairs{{10, EN_KILLFOCUS}}));
  EXPECT_TRUE(EnableWindow(GetDlgItem(d_, 10), TRUE));  // it was disabled
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d_, 10)));
}

// 26 client pixels take four digits (6 each) or "-180" (4 + 18), but not five
// digits; 14 pixels take two digits. Programs' writes are not limited.
TEST_F(PlatformDialog, TypingStopsAtTheFieldsWidth) {
  Open();
  struct Case {
    int id;
    const char* typed;
    const char* result;
  };
  const Case cases[] = {
      {10, "12345", "1234"},
      {10, "-180", "-180"},
      {10, "-1234", "-123"},
      {11, "300", "30"},
      {13, "1234567890", "1234567890"},  // ES_AUTOHSCROLL
      {12, "x", "ro"},                   // read-only
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    EXPECT_TRUE(Do(Input::Type(c.id, c.typed)));
    EXPECT_EQ(Text(c.id), c.result);
  }
  // Each refused character: EN_MAXTEXT and a beep, and no change notification.
  g_log.clear();
  int beeps = standin::Beeps();
  Do(Input::Type(11, "1234"));
  EXPECT_EQ(Commands(), (Pairs{{12, EN_KILLFOCUS},
                               {11, EN_SETFOCUS},
                               {11, EN_UPDATE},
                               {11, EN_CHANGE},
                               {11, EN_UPDATE},
                               {11, EN_CHANGE},
                               {11, EN_MAXTEXT},
                               {11, EN_MAXTEXT}}));
  EXPECT_EQ(standin::Beeps(), beeps + 2);
}

TEST_F(PlatformDialog, EditingKeys) {
  Open();
  struct Step {
    Input input;
    const char* text;
  };
  const Step steps[] = {
      {Input::Type(10, "1234"), "1234"},
      {Input::Key(VK_HOME), "1234"},
      {Input::Key(VK_DELETE), "234"},
      {Input::Key(VK_END), "234"},
      {Input::Text("\b"), "23"},
      {Input::Key(VK_LEFT), "23"},
      {Input::Text("9"), "293"},
      {Input::Key(VK_HOME, true), "293"},  // Shift+Home selects back to the start
      {Input::Text("7"), "73"},
      {Input::Type(10, "1", EditEntry::kCaretAtEnd), "731"},
      {Input::Type(10, "5"), "5"},  // the default entry selects the whole text
  };
  for (const Step& s : steps) {
    Do(s.input);
    EXPECT_EQ(Text(10), s.text);
  }
}

TEST_F(PlatformDialog, RightClicks) {
  Open();
  struct Case {
    int x, y;
    bool shift, ctrl;
    bool reaches_dialog;
  };
  const Case cases[] = {
      {2, 2, true, true, true},      // bare surface
      {270, 90, false, true, true},  // inside the group box, which is transparent
      {170, 40, true, true, false},  // over field 13
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    g_log.clear();
    EXPECT_TRUE(Do(Input::RightClick(c.shift, c.ctrl, c.x, c.y)));
    bool reached = !g_log.empty() && g_log[0].msg == WM_RBUTTONDOWN;
    EXPECT_EQ(reached, c.reaches_dialog);
    if (reached) {
      WPARAM mods = MK_RBUTTON | (c.shift ? MK_SHIFT : 0) | (c.ctrl ? MK_CONTROL : 0);
      EXPECT_EQ(g_log[0].wp, mods);
      EXPECT_EQ(g_log[0].lp, MAKELPARAM(c.x, c.y));
    }
  }
  EnableWindow(GetDlgItem(d_, 13), FALSE);
  g_log.clear();
  EXPECT_FALSE(Do(Input::RightClick(true, true, 170, 40)));  // swallowed by the disabled field
  EXPECT_TRUE(g_log.empty());
}

TEST_F(PlatformDialog, MessageBoxAnswers) {
  EXPECT_EQ(MessageBoxA(nullptr, "Reset?", "Caption", MB_YESNO | MB_ICONQUESTION), IDNO);
  standin::AnswerNextMessageBox(IDYES);
  EXPECT_EQ(MessageBoxA(nullptr, "Again?", "Caption", MB_YESNO), IDYES);
  EXPECT_EQ(MessageBoxA(nullptr, "Note", nullptr, MB_OK), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "Go on?", "C", MB_OKCANCEL), IDCANCEL);
  const auto& boxes = standin::MessageBoxes();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0].text, "Reset?");
  EXPECT_EQ(boxes[0].caption, "Caption");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(boxes[0].answer, IDNO);
  EXPECT_EQ(boxes[2].caption, "Error");  // Windows' caption when none is given
}

TEST_F(PlatformDialog, TimersFireOnlyWhileSet) {
  Open();
  standin::SetClock(1000);
  EXPECT_EQ(SetTimer(d_, 1, 1000, nullptr), 1u);
  g_log.clear();
  EXPECT_FALSE(Do(Input::FireTimer(2)));
  EXPECT_TRUE(Do(Input::FireTimer(1)));
  Do(Input::AdvanceTime(999));
  Do(Input::AdvanceTime(1));       // due: one tick
  Do(Input::AdvanceTime(5000));    // five periods, still one tick
  EXPECT_EQ(time(nullptr), 1006);  // the injected clock moved along
  int ticks = 0;
  for (const Msg& m : g_log) ticks += m.msg == WM_TIMER && m.wp == 1;
  EXPECT_EQ(ticks, 3);
  ASSERT_EQ(standin::Timers().size(), 1u);
  EXPECT_EQ(standin::Timers()[0].elapse, 1000u);
  EXPECT_TRUE(KillTimer(d_, 1));
  EXPECT_FALSE(KillTimer(d_, 1));
  EXPECT_FALSE(Do(Input::FireTimer(1)));
  EXPECT_TRUE(standin::Timers().empty());
}

// A front-end waits for the next tick by due_in_ms and then advances the
// virtual time by what really passed.
TEST_F(PlatformDialog, TimersTellWhenTheyAreDue) {
  Open();
  SetTimer(d_, 1, 1000, nullptr);
  auto due = [] { return standin::Timers().at(0).due_in_ms; };
  EXPECT_EQ(due(), 1000);
  Do(Input::AdvanceTime(400));
  EXPECT_EQ(due(), 600);
  g_log.clear();
  Do(Input::AdvanceTime(1700));  // late: one tick, and the next a period later
  EXPECT_EQ(g_log.size(), 1u);
  EXPECT_EQ(due(), 1000);
  SetTimer(d_, 1, 250, nullptr);  // setting it again restarts the period
  EXPECT_EQ(due(), 250);
}

TEST_F(PlatformDialog, StatusWindow) {
  Open();
  InitCommonControls();
  EXPECT_TRUE(standin::CommonControlsInitialized());
  HWND bar = CreateStatusWindowA(0x50800000, "", d_, 32778);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(GetDlgItem(d_, 32778), bar);
  EXPECT_EQ(standin::FindStatusBar(d_), bar);
  RECT client{}, rc{};
  GetClientRect(d_, &client);
  GetWindowRect(bar, &rc);
  POINT bottom_right{rc.right, rc.bottom};
  ScreenToClient(d_, &bottom_right);
  EXPECT_EQ(bottom_right.x, client.right);  // along the whole bottom edge
  EXPECT_EQ(bottom_right.y, client.bottom);
  int edges[3] = {80, 200, -1};
  EXPECT_TRUE(SendMessageA(bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges)));
  EXPECT_TRUE(SendMessageA(bar, SB_SETTEXT, 2, reinterpret_cast<LPARAM>("Vollmond")));
  EXPECT_TRUE(SendMessageA(bar, SB_SETTEXTA, 1 | SBT_NOBORDERS, reinterpret_cast<LPARAM>("web")));
  EXPECT_FALSE(SendMessageA(bar, SB_SETTEXTA, 3, reinterpret_cast<LPARAM>("no such part")));
  standin::StatusBarState st = standin::StatusBar(bar);
  EXPECT_EQ(st.right_edges, (std::vector<int>{80, 200, -1}));
  EXPECT_EQ(st.texts, (std::vector<std::string>{"", "web", "Vollmond"}));
  EXPECT_EQ(st.types, (std::vector<UINT>{0, SBT_NOBORDERS, 0}));
  EXPECT_EQ(SendMessageA(bar, SB_GETTEXTLENGTHA, 2, 0), MAKELONG(8, 0));
}

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  g_log.push_back({msg, wp, lp});
  return DefWindowProcA(hwnd, msg, wp, lp);
}

TEST_F(PlatformDialog, RegisteredClassAndOwnedModalDialog) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = OwnerProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "ORBEL32";
  ASSERT_NE(RegisterClassExA(&wc), 0);
  EXPECT_EQ(RegisterClassExA(&wc), 0);  // already there
  EXPECT_NE(wc.hCursor, nullptr);
  EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), wc.hCursor);

  g_log.clear();
  HWND owner = CreateWindowExA(0, "ORBEL32", "My Application", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                               0, CW_USEDEFAULT, 0, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(owner, nullptr);
  ASSERT_GE(g_log.size(), 2u);
  EXPECT_EQ(g_log[0].msg, static_cast<UINT>(WM_NCCREATE));
  EXPECT_EQ(g_log[1].msg, static_cast<UINT>(WM_CREATE));
  EXPECT_FALSE(IsWindowVisible(owner));

  // While the modal dialog runs its owner is disabled; afterwards enabled again.
  bool owner_enabled_inside = true;
  standin::QueueInputs(
      {Input::Call([&](HWND) { owner_enabled_inside = IsWindowEnabled(owner); }), Input::Escape()});
  EXPECT_EQ(DialogBoxParamA(wc.hInstance, "TestDialog", owner, TestProc, 0), 102);
  EXPECT_FALSE(owner_enabled_inside);
  EXPECT_TRUE(IsWindowEnabled(owner));
  ASSERT_EQ(standin::TopLevelWindows().size(), 1u);
  EXPECT_EQ(standin::TopLevelWindows()[0].text, "My Application");
}

}  // namespace
