// The stand-in dialog manager and controls where the Linux window and the
// tests rely on them beyond what the dialog scenarios show, driven through a
// small test dialog: Win32's integer and text reading, clicks at pixels, the
// keys the dialog manager takes (Tab, Enter, Escape), typing into fields that
// take no more than their width, editing keys, the modal loop, timers and
// their due times, the status window and an owned dialog.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "orbel_test_api.h"

namespace orbel_test {
extern const char kTestDialogScript[];
}

namespace {

using standin::EditEntry;
using standin::Input;

// platform/test_dialog.rc, preprocessed.
using orbel_test::kTestDialogScript;

struct Msg {
  UINT msg;
  WPARAM wp;
  LPARAM lp;
  UINT check;  // of the control that sent a WM_COMMAND, as it was then
};

std::vector<Msg> g_log;
INT_PTR g_init_result = TRUE;

INT_PTR CALLBACK TestProc(HWND d, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
    case WM_COMMAND:
    case WM_TIMER:
    case WM_LBUTTONDOWN:
    case WM_SYSCOMMAND:
    case WM_CLOSE:
      g_log.push_back({msg, wp, lp, msg == WM_COMMAND ? IsDlgButtonChecked(d, LOWORD(wp)) : 0});
      break;
    default:
      return FALSE;
  }
  if (msg == WM_INITDIALOG) return g_init_result;
  if (msg == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
    EndDialog(d, 100 + LOWORD(wp));
    return TRUE;
  }
  return FALSE;
}

using Pairs = std::vector<std::pair<int, int>>;

// WM_COMMAND notifications in order, as (id, code).
Pairs Commands() {
  Pairs out;
  for (const Msg& m : g_log) {
    if (m.msg == WM_COMMAND) out.emplace_back(LOWORD(m.wp), HIWORD(m.wp));
  }
  return out;
}

class PlatformDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::Reset();
    standin::RegisterDialogTemplate("TestDialog", kTestDialogScript);
    g_log.clear();
    g_init_result = TRUE;
  }
  void TearDown() override { standin::Reset(); }
  HWND Open() {
    d_ = CreateDialogParamA(nullptr, "TestDialog", nullptr, TestProc, 7);
    EXPECT_NE(d_, nullptr);
    return d_;
  }
  bool Do(const Input& in) { return standin::Perform(d_, in); }
  std::string Text(int id) { return standin::Text(d_, id); }

  HWND d_ = nullptr;
};

// GetDlgItemInt: leading and trailing spaces are skipped; a signed read (S)
// takes one '-'; then digits only, within the range; anything else reads as
// 0, not translated. GetDlgItemText: at most size - 1 bytes, and a UTF-8
// character that does not fit whole is left out.
TEST_F(PlatformDialog, FieldsReadAsInWin32) {
  const BOOL S = TRUE, U = FALSE;
  const struct {
    const char* text;
    BOOL is_signed;
    long long value;
    BOOL translated;
  } cases[] = {{"12", S, 12, 1},
               {"-5", S, -5, 1},
               {"-5", U, 0, 0},
               {" 7", S, 7, 1},
               {"7  ", U, 7, 1},
               {"  -0", S, 0, 1},
               {"\t7", S, 0, 0},
               {"abc", S, 0, 0},
               {"", U, 0, 0},
               {"12abc", S, 0, 0},
               {"1 2", S, 0, 0},
               {"- 5", S, 0, 0},
               {"+5", S, 0, 0},
               {"007", U, 7, 1},
               {"2147483647", S, 2147483647, 1},
               {"2147483648", S, 0, 0},
               {"-2147483648", S, -2147483648LL, 1},
               {"-2147483649", S, 0, 0},
               {"4294967295", U, 4294967295, 1},
               {"4294967295", S, 0, 0},
               {"4294967296", U, 0, 0},
               {"99999999999999999999999", U, 0, 0}};
  Open();
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("\"") + c.text + "\" signed " + std::to_string(c.is_signed));
    SetDlgItemTextA(d_, 13, c.text);
    BOOL translated = 2;
    EXPECT_EQ(GetDlgItemInt(d_, 13, &translated, c.is_signed), static_cast<UINT>(c.value));
    EXPECT_EQ(translated, c.translated);
  }
  // Programs' writes: an unsigned number stays unsigned.
  SetDlgItemInt(d_, 10, 4294967295u, FALSE);
  EXPECT_EQ(Text(10), "4294967295");
  SetDlgItemTextA(d_, 13, "S\u00FCd");
  const std::pair<int, const char*> cuts[] = {{5, "S\u00FCd"}, {4, "S\u00FC"}, {3, "S"}, {1, ""}};
  for (const auto& [size, text] : cuts) {
    char buf[8] = "zzzzzzz";
    EXPECT_EQ(GetDlgItemTextA(d_, 13, buf, size), std::strlen(text));
    EXPECT_STREQ(buf, text);
  }
}

// Mouse clicks at dialog pixels, as the Linux window forwards them: the
// control under the point gets the click in its own client coordinates; and
// Space on a button.
TEST_F(PlatformDialog, ClicksAtPixels) {
  Open();
  SetDlgItemTextA(d_, 10, "12");
  // Field 10's client area starts at dialog pixel (17, 18); digits are 6
  // pixels wide, and the caret goes to the nearer character boundary.
  for (auto [x, caret] :
       {std::pair<int, size_t>{17, 0}, {19, 0}, {20, 1}, {25, 1}, {26, 2}, {42, 2}}) {
    SCOPED_TRACE(x);
    SetFocus(GetDlgItem(d_, 11));
    ASSERT_TRUE(Do(Input::ClickAt(x, 25)));
    std::optional<standin::ControlState> field = standin::Control(d_, 10);
    EXPECT_TRUE(field->focused);
    EXPECT_EQ(field->caret, caret);
    EXPECT_EQ(field->sel_start, field->sel_end);  // a click selects nothing
  }
  Do(Input::ClickAt(20, 25));
  Do(Input::Text("5"));
  EXPECT_EQ(Text(10), "152");  // typing goes in at the clicked place

  // The automatic check box at (15, 49)-(90, 69) is checked before it
  // notifies, once; the plain radio button below it only notifies.
  g_log.clear();
  ASSERT_TRUE(Do(Input::ClickAt(20, 55)));
  ASSERT_TRUE(Do(Input::ClickAt(20, 80)));
  EXPECT_EQ(Commands(), (Pairs{{10, EN_KILLFOCUS}, {20, BN_CLICKED}, {21, BN_CLICKED}}));
  EXPECT_EQ(g_log[1].check, static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(standin::Check(d_, 21), BST_UNCHECKED);
  EXPECT_EQ(standin::FocusedId(d_), 21);
  // Space on the focused check box clicks it too.
  SetFocus(GetDlgItem(d_, 20));
  ASSERT_TRUE(Do(Input::Space()));
  EXPECT_EQ(standin::Check(d_, 20), BST_UNCHECKED);

  // The bare surface and a group box's inside: the dialog gets the click.
  for (POINT p : {POINT{2, 2}, POINT{270, 90}}) {
    g_log.clear();
    ASSERT_TRUE(Do(Input::ClickAt(p.x, p.y)));
    ASSERT_EQ(g_log.size(), 1u);
    EXPECT_EQ(g_log[0].msg, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(g_log[0].wp, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(g_log[0].lp, MAKELPARAM(p.x, p.y));
  }

  // A disabled control swallows the click.
  EnableWindow(GetDlgItem(d_, 20), FALSE);
  g_log.clear();
  EXPECT_FALSE(Do(Input::ClickAt(20, 55)));
  EXPECT_TRUE(g_log.empty());
  EXPECT_EQ(standin::Check(d_, 20), BST_UNCHECKED);
}

// Enter is IDOK, Escape and the close box are IDCANCEL: the scenarios cannot
// tell them apart, as the dialog saves either way.
TEST_F(PlatformDialog, EnterEscapeAndCloseBecomeOkAndCancel) {
  const struct {
    const char* name;
    Input input;
    std::vector<UINT> messages;
    INT_PTR result;
  } cases[] = {
      {"enter", Input::Enter(), {WM_COMMAND}, 101},
      {"escape", Input::Escape(), {WM_COMMAND}, 102},
      {"close box", Input::Close(), {WM_SYSCOMMAND, WM_CLOSE, WM_COMMAND}, 102},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
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
}

// A modal loop without input ends with -1 instead of hanging the test.
TEST_F(PlatformDialog, ModalLoopWithoutInputFailsInsteadOfHanging) {
  EXPECT_EQ(DialogBoxParamA(nullptr, "TestDialog", nullptr, TestProc, 0), -1);
  EXPECT_TRUE(standin::LoopRanDry());
}

TEST_F(PlatformDialog, TabOrderSkipsDisabledControlsAndWraps) {
  Open();
  // WM_INITDIALOG got the caller's parameter and returned TRUE: the first tab
  // stop has the focus.
  EXPECT_EQ(g_log.front().lp, 7);
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
  CheckDlgButton(d_, 21, BST_UNCHECKED);  // unchecked radio buttons are no tab stops
  EXPECT_EQ(order(true, 2), (std::vector<int>{13, 12}));
  // Tabbing into a field selects its text; focus changes notify old, then new.
  SetDlgItemTextA(d_, 13, "abc");
  g_log.clear();
  Do(Input::ShiftTab());
  Do(Input::ShiftTab());
  EXPECT_EQ(Commands(),
            (Pairs{{12, EN_KILLFOCUS}, {10, EN_SETFOCUS}, {10, EN_KILLFOCUS}, {13, EN_SETFOCUS}}));
  std::optional<standin::ControlState> st = standin::Control(d_, 13);
  EXPECT_EQ(st->sel_start, 0u);
  EXPECT_EQ(st->sel_end, 3u);
  // Disabling the focused field takes the focus away.
  EnableWindow(GetDlgItem(d_, 13), FALSE);
  EXPECT_EQ(GetFocus(), nullptr);
  // With WM_INITDIALOG returning FALSE nothing has the focus.
  g_init_result = FALSE;
  Open();
  EXPECT_EQ(GetFocus(), nullptr);
}

// Typing: 26 client pixels take four digits (6 each) or "-180" (4 + 18), but
// not five digits; 14 pixels take two digits.
TEST_F(PlatformDialog, TypingStopsAtTheFieldsWidth) {
  Open();
  const struct {
    int id;
    const char *typed, *result;
  } cases[] = {{10, "12345", "1234"},
               {10, "-180", "-180"},
               {10, "-1234", "-123"},
               {11, "300", "30"},
               {13, "1234567890", "1234567890"},  // ES_AUTOHSCROLL
               {12, "x", "ro"}};                  // read-only
  for (const auto& c : cases) {
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
  // A program's write is not limited, and notifies in read-only fields too.
  g_log.clear();
  SetDlgItemTextA(d_, 12, "12:34:56");
  EXPECT_EQ(Commands(), (Pairs{{12, EN_UPDATE}, {12, EN_CHANGE}}));
  EXPECT_EQ(Text(12), "12:34:56");
}

// Keys and typing in order, with the text after each: Shift+Home selects back
// to the start, and Type's default entry selects the whole text.
TEST_F(PlatformDialog, EditingKeys) {
  Open();
  const std::pair<Input, const char*> steps[] = {
      {Input::Type(10, "1234"), "1234"},
      {Input::Key(VK_HOME), "1234"},
      {Input::Key(VK_RIGHT), "1234"},
      {Input::Key(VK_DELETE), "134"},
      {Input::Key(VK_END), "134"},
      {Input::Text("\b"), "13"},
      {Input::Key(VK_LEFT), "13"},
      {Input::Text("9"), "193"},
      {Input::Key(VK_HOME, true), "193"},
      {Input::Text("7"), "73"},
      {Input::Type(10, "1", EditEntry::kCaretAtEnd), "731"},
      {Input::Type(10, "5"), "5"},
      // Keys move and delete by characters, not bytes.
      {Input::Type(10, "a\xC3\xA9\xE2\x82\xAC"), "a\xC3\xA9\xE2\x82\xAC"},  // aé€
      {Input::Key(VK_HOME), "a\xC3\xA9\xE2\x82\xAC"},
      {Input::Key(VK_RIGHT), "a\xC3\xA9\xE2\x82\xAC"},
      {Input::Key(VK_DELETE), "a\xE2\x82\xAC"},
      {Input::Key(VK_END), "a\xE2\x82\xAC"},
      {Input::Text("\b"), "a"}};
  for (const auto& [input, text] : steps) {
    Do(input);
    EXPECT_EQ(Text(10), text);
  }
}

// A group runs from a WS_GROUP control, or the first control, to the next
// WS_GROUP control, and its steps wrap: 10, 11, 12, 20 and 21 are one group,
// the group box 30 and the field 13 the next.
TEST_F(PlatformDialog, GroupsRunFromOneGroupStartToTheNext) {
  Open();
  const auto item = [&](int id) { return GetDlgItem(d_, id); };
  EXPECT_EQ(GetNextDlgGroupItem(d_, item(11), TRUE), item(10));
  EXPECT_EQ(GetNextDlgGroupItem(d_, item(21), FALSE), item(10));
  EXPECT_EQ(GetNextDlgGroupItem(d_, item(10), TRUE), item(21));
  EXPECT_EQ(GetNextDlgGroupItem(d_, item(13), FALSE), item(30));
}

// A timer ticks once when due, however late; the Linux window waits for the
// next tick by due_in_ms and then advances the virtual time by what passed.
TEST_F(PlatformDialog, TimersTickWhenDue) {
  Open();
  standin::SetClock(1000);
  EXPECT_EQ(SetTimer(d_, 1, 1000, nullptr), 1u);
  auto due = [] { return standin::Timers().at(0).due_in_ms; };
  EXPECT_EQ(due(), 1000);
  g_log.clear();
  Do(Input::AdvanceTime(400));
  EXPECT_EQ(due(), 600);
  Do(Input::AdvanceTime(599));
  EXPECT_TRUE(g_log.empty());
  Do(Input::AdvanceTime(1));  // due: one tick
  EXPECT_EQ(due(), 1000);
  Do(Input::AdvanceTime(5700));  // five periods late: one tick, the next a period later
  EXPECT_EQ(g_log.size(), 2u);
  EXPECT_EQ(due(), 1000);
  EXPECT_EQ(time(nullptr), 1006);  // the injected clock moved along
  SetTimer(d_, 1, 250, nullptr);   // setting it again restarts the period
  EXPECT_EQ(due(), 250);
  EXPECT_TRUE(KillTimer(d_, 1));
  EXPECT_FALSE(KillTimer(d_, 1));
  EXPECT_TRUE(standin::Timers().empty());
}

// The status window lies along the whole bottom edge; its parts keep their
// texts and drawing types.
TEST_F(PlatformDialog, StatusWindow) {
  Open();
  HWND bar = CreateStatusWindowA(0x50800000, "", d_, 32778);
  RECT client{}, rc{};
  GetClientRect(d_, &client);
  GetWindowRect(bar, &rc);
  POINT bottom_right{rc.right, rc.bottom};
  ScreenToClient(d_, &bottom_right);
  EXPECT_EQ(bottom_right.x, client.right);
  EXPECT_EQ(bottom_right.y, client.bottom);
  int edges[3] = {80, 200, -1};
  EXPECT_TRUE(SendMessageA(bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges)));
  EXPECT_TRUE(SendMessageA(bar, SB_SETTEXTA, 1 | SBT_NOBORDERS, reinterpret_cast<LPARAM>("web")));
  EXPECT_FALSE(SendMessageA(bar, SB_SETTEXTA, 3, reinterpret_cast<LPARAM>("no such part")));
  EXPECT_EQ(standin::StatusBar(bar).types, (std::vector<UINT>{0, SBT_NOBORDERS, 0}));
}

// As the program starts: a window class, its hidden window and the dialog
// that it owns, which disables it while the dialog runs.
TEST_F(PlatformDialog, RegisteredClassAndOwnedModalDialog) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "ORBEL32";
  ASSERT_NE(RegisterClassExA(&wc), 0);
  EXPECT_EQ(RegisterClassExA(&wc), 0);  // already there
  HWND owner = CreateWindowExA(0, "ORBEL32", "My Application", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                               0, CW_USEDEFAULT, 0, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  EXPECT_FALSE(IsWindowVisible(owner));
  bool owner_enabled_inside = true;
  standin::QueueInputs(
      {Input::Call([&](HWND) { owner_enabled_inside = IsWindowEnabled(owner); }), Input::Escape()});
  EXPECT_EQ(DialogBoxParamA(nullptr, "TestDialog", owner, TestProc, 0), 102);
  EXPECT_FALSE(owner_enabled_inside);
  EXPECT_TRUE(IsWindowEnabled(owner));
}

}  // namespace
