// The resource script as the stand-in layer reads it: the main dialog's 40
// controls in template order, the umlauts as UTF-8, the script features the
// parser accepts and refuses, and dialog units turned into pixels.
#include <gtest/gtest.h>

#include <windows.h>

#include <iterator>
#include <string>
#include <vector>

#include "orbel_test_api.h"
#include "resource.h"

namespace {

standin::DialogTemplate MainDialog() {
  standin::DialogTemplate t;
  std::string error;
  EXPECT_TRUE(
      standin::ParseDialogTemplate(standin::BuiltInResourceScript(), "RunDialog", &t, &error))
      << error;
  return t;
}

// The dialog's own styles: a popup with caption and system menu, a modal
// frame, topmost (extended style 8) with dialog-modal-frame (1).
TEST(PlatformTemplate, MainDialogHeader) {
  const standin::DialogTemplate t = MainDialog();
  EXPECT_EQ(t.caption, "Zoror ido Rede");
  EXPECT_EQ(t.style, 0x90C808CCu);
  EXPECT_EQ(t.ex_style, 0x00000009u);
  EXPECT_EQ(t.font_size, 8);
  EXPECT_EQ(t.font_face, "MS Sans Serif");
  EXPECT_EQ((std::vector<int>{t.x, t.y, t.cx, t.cy}), (std::vector<int>{107, 12, 227, 308}));
}

// Every control in template order, which is also the tab order, with every
// style bit that behaviour depends on: radio buttons and check boxes that the
// dialog checks itself (not automatic), fields without auto-scroll, read-only
// result fields, the phase frame with its static edge.
TEST(PlatformTemplate, ControlsInTabOrderWithTheirStyles) {
  const DWORD F = 0x50810000, R = 0x50810800, O = 0x50010004, C = 0x50010003, G = 0x50020007;
  const struct {
    int id;
    DWORD style;
  } rows[] = {{101, F}, {102, F}, {103, F}, {130, O}, {131, O},         {104, F}, {105, F},
              {106, F}, {132, O}, {133, O}, {115, C}, {112, C},         {118, G}, {123, G},
              {126, G}, {114, G}, {120, G}, {119, G}, {117, G},         {107, F}, {108, F},
              {109, F}, {110, F}, {200, R}, {200, R}, {200, R},         {200, R}, {200, R},
              {200, R}, {121, G}, {111, R}, {200, R}, {116, R},         {122, G}, {113, R},
              {124, G}, {125, R}, {127, R}, {128, G}, {129, 0x50000007}};
  const standin::DialogTemplate t = MainDialog();
  ASSERT_EQ(t.controls.size(), std::size(rows));
  for (size_t i = 0; i < t.controls.size(); ++i) {
    const standin::ControlTemplate& c = t.controls[i];
    EXPECT_EQ(c.id, rows[i].id) << i;
    EXPECT_EQ(c.style, rows[i].style) << i;
    EXPECT_EQ(c.class_name, rows[i].style == F || rows[i].style == R ? "Edit" : "Button") << i;
    EXPECT_EQ(c.ex_style, c.id == IDC_PHASE_FRAME ? 0x00020020u : 0u) << i;
  }
  // Labels with umlauts arrive as UTF-8.
  EXPECT_EQ(t.controls[9].text, "S\u00FCd");
  EXPECT_EQ(t.controls[18].text, "L\u00E4ngengrad");
}

std::vector<LONG> Box(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}

// Dialog units with the 6 x 13 base units, rounded half away from zero, and
// the non-client edges that the dialog manager and the styles give each window.
TEST(PlatformTemplate, PixelsOfTheBuiltDialog) {
  standin::Reset();
  HWND d = CreateDialogParamA(nullptr, "RunDialog", nullptr, nullptr, 0);
  ASSERT_NE(d, nullptr);
  RECT rc{};
  GetClientRect(d, &rc);
  EXPECT_EQ(Box(rc), (std::vector<LONG>{0, 0, 341, 501}));  // 227 x 308 DU: 340.5 x 500.5
  EXPECT_EQ(standin::DialogUnitsToPixelsY(46), 75);         // 74.75
  const struct {
    int id;
    RECT window;  // in dialog client pixels
    RECT client;
  } cases[] = {
      {IDC_PHASE_FRAME, {222, 325, 297, 400}, {0, 0, 73, 73}},  // 1-pixel static edge
      {IDC_LONG_DEG, {30, 37, 60, 57}, {0, 0, 26, 16}},   // WS_BORDER became a 2-pixel client edge
      {IDC_SOUTH, {218, 109, 269, 125}, {0, 0, 51, 16}},  // no frame at all
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(Box(standin::Control(d, c.id)->rect_px), Box(c.window));
    GetClientRect(GetDlgItem(d, c.id), &rc);
    EXPECT_EQ(Box(rc), Box(c.client));
  }
  // The dialog manager's conversion of WS_BORDER, visible in the window styles.
  EXPECT_EQ(GetWindowLongA(GetDlgItem(d, IDC_LONG_DEG), GWL_STYLE), 0x50010000);
  EXPECT_EQ(GetWindowLongA(GetDlgItem(d, IDC_LONG_DEG), GWL_EXSTYLE),
            WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY);
  standin::Reset();
}

TEST(PlatformTemplate, ScriptFeatures) {
  const char* script = R"(
#include "resource.h"
#define MY_ID 42
#pragma code_page(65001)
/* A block comment
   over two lines */
#ifdef NOT_DEFINED
broken stuff that is skipped
#else
Other DIALOGEX 0, 0, 10, 10
BEGIN
  CONTROL "x", 1, "Button", BS_PUSHBUTTON, 0, 0, 5, 5
END
#endif
101 ICON "ignored.ico"
Sample DIALOGEX DISCARDABLE 1, 2, 30, 40, 0
EXSTYLE WS_EX_TOPMOST
CAPTION "Say ""hi"""
FONT 8, "MS Sans Serif", 400, 0, 1
BEGIN
  CONTROL "a", MY_ID, EDIT, WS_TABSTOP | NOT WS_VISIBLE, 1, 2, 3, 4  // trailing comment
  CONTROL "b", IDC_EAST, "Button", BS_AUTOCHECKBOX | WS_GROUP, 5, 6, 7, 8, WS_EX_STATICEDGE, 99
END
)";
  standin::DialogTemplate t;
  std::string error;
  ASSERT_TRUE(standin::ParseDialogTemplate(script, "sample", &t, &error)) << error;
  EXPECT_EQ(t.caption, "Say \"hi\"");
  // No STYLE: the resource compiler's default plus caption and font bits.
  EXPECT_EQ(t.style,
            static_cast<DWORD>(WS_POPUP | WS_BORDER | WS_SYSMENU | WS_CAPTION | DS_SETFONT));
  EXPECT_EQ(t.ex_style, static_cast<DWORD>(WS_EX_TOPMOST));
  ASSERT_EQ(t.controls.size(), 2u);
  EXPECT_EQ(t.controls[0].id, 42);
  EXPECT_EQ(t.controls[0].class_name, "EDIT");
  EXPECT_EQ(t.controls[0].style, static_cast<DWORD>(WS_CHILD | WS_TABSTOP));
  EXPECT_EQ(t.controls[1].id, 130);
  EXPECT_EQ(t.controls[1].style,
            static_cast<DWORD>(WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX | WS_GROUP));
  EXPECT_EQ(t.controls[1].ex_style, static_cast<DWORD>(WS_EX_STATICEDGE));
  ASSERT_TRUE(standin::ParseDialogTemplate(script, "Other", &t, &error)) << error;
  EXPECT_EQ(t.controls.size(), 1u);
}

TEST(PlatformTemplate, RefusedScripts) {
  const std::pair<const char*, const char*> cases[] = {
      {"D DIALOGEX 0,0,1,1\nBEGIN\n  LTEXT \"x\", 1, 0, 0, 1, 1\nEND\n",
       "line 3: unsupported control statement 'LTEXT': write controls in the CONTROL form"},
      {"#pragma code_page(1252)\nD DIALOGEX 0,0,1,1\nBEGIN\nEND\n",
       "line 1: only #pragma code_page(65001) (UTF-8) is read"},
      {"E DIALOGEX 0,0,1,1\nBEGIN\nEND\n", "no DIALOGEX resource named \"D\""},
      {"D DIALOGEX 0,0,1,1\nBEGIN\n  CONTROL \"x, 1, \"Edit\", 0, 0, 0, 1, 1\nEND\n",
       "line 3: unterminated string"},
      {"#ifdef X\nD DIALOGEX 0,0,1,1\n", "line 2: #if without #endif"},
  };
  for (const auto& [script, message] : cases) {
    standin::DialogTemplate t;
    std::string error;
    EXPECT_FALSE(standin::ParseDialogTemplate(script, "D", &t, &error));
    EXPECT_EQ(error, message);
  }
}

}  // namespace
