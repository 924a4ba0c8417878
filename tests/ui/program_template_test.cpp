// The program's own resource script as the stand-in layer reads it: the main
// dialog's 40 controls in template order, the umlauts as UTF-8, and dialog
// units turned into pixels.
#include <gtest/gtest.h>

#include <windows.h>

#include <iterator>
#include <string>
#include <vector>

#include "orbel_test_api.h"
#include "resource.h"
#include "standin_resources.h"

namespace {

standin::DialogTemplate MainDialog() {
  standin::DialogTemplate t;
  std::string error;
  EXPECT_TRUE(standin::ParseDialogTemplate(ResourceScriptText(), "RunDialog", &t, &error)) << error;
  return t;
}

// The dialog's own styles: a popup with caption and system menu, a modal
// frame, topmost (extended style 8) with dialog-modal-frame (1).
TEST(ProgramTemplate, MainDialogHeader) {
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
TEST(ProgramTemplate, ControlsInTabOrderWithTheirStyles) {
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
TEST(ProgramTemplate, PixelsOfTheBuiltDialog) {
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

}  // namespace
