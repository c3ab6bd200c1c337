// The monochrome-toning group on the real dialog: the circle and its cross, the coordinate edits
// and spin arrows, the rows and the tone presets.
#include <gtest/gtest.h>

#include "kalimu/dialogs/advanced_settings_rules.h"
#include "kalimu/dialogs/advanced_settings_test_support.h"
#include "kalimu/pages/control_test_support.h"

namespace kalimu::dialogs {
namespace {

class ToningTest : public test::AdvancedDialogTest {
 protected:
  void SetUp() override {
    Open(true);
    s().SetModeVariant(1);
    s().SetColorMode(7);
    s().SetGamma(180);
    ASSERT_NE(Show(), nullptr);
    ASSERT_EQ(s().GetColorMode(), 7);
    // The circle on the screen whatever the dialog's size (a larger font widens it): drawing on
    // the dialog's device context reaches only the visible pixels.
    RECT screen{};
    GetWindowRect(item(8547), &screen);
    RECT window{};
    GetWindowRect(dialog_, &window);
    SetWindowPos(dialog_, nullptr, window.left + 100 - screen.left, window.top + 100 - screen.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(dialog_);
    circle_ = ClientRect(8547);
  }
  // The client point of toning point (x, y).
  POINT At(int x, int y) const { return {circle_.left + 75 + x, circle_.top + 75 - y}; }
  void ClickAt(POINT p) { SendMessageA(dialog_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y)); }
  void Spin(int spin, int code) {
    SendMessageA(dialog_, WM_VSCROLL, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(item(spin)));
  }
  int32_t X() { return s().GetAdjustment(9); }
  int32_t Y() { return s().GetAdjustment(10); }
  RECT circle_{};
};

TEST_F(ToningTest, TheCircleIsMade151PixelsSquare) {
  EXPECT_EQ(circle_.right - circle_.left, kToningCircleSize);
  EXPECT_EQ(circle_.bottom - circle_.top, kToningCircleSize);
}

TEST_F(ToningTest, ClicksPlaceTheCrossInsideTheCircleOnly) {
  s().SetTonePreset(0);
  ClickAt(At(20, -10));
  EXPECT_EQ(X(), 20);
  EXPECT_EQ(Y(), -10);
  EXPECT_EQ(Text(8557), "20");
  EXPECT_EQ(Text(8560), "-10");
  EXPECT_EQ(s().GetTonePreset(), 4);  // the preset becomes custom
  const POINT first = At(20, -10);
  EXPECT_EQ(Pixel(first.x + 3, first.y), RGB(255, 0, 0));  // the cross, 7 pixels wide
  EXPECT_EQ(Pixel(first.x, first.y - 3), RGB(255, 0, 0));

  ClickAt(At(0, 0));  // the centre pixel
  EXPECT_EQ(X(), 0);
  EXPECT_EQ(Y(), 0);
  // The old cross is erased (the picture behind it drawn again), the new one drawn.
  EXPECT_NE(Pixel(first.x + 3, first.y), RGB(255, 0, 0));
  EXPECT_EQ(Pixel(At(0, 0).x - 3, At(0, 0).y), RGB(255, 0, 0));
  // Repainting the circle keeps the cross.
  RedrawWindow(item(8547), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(Pixel(At(0, 0).x + 2, At(0, 0).y), RGB(255, 0, 0));

  ClickAt(At(80, 0));  // 80 pixels right of the centre: outside
  EXPECT_EQ(X(), 0);
  EXPECT_EQ(Y(), 0);
}

TEST_F(ToningTest, TypedCoordinatesStayInsideTheCircle) {
  struct Case {
    int edit;
    const char* typed;
    int32_t other;
    int32_t stored;
    const char* shown;
  };
  const Case cases[] = {
      {8557, "80", 0, 75, "75"},
      {8557, "70", 40, 63, "63"},   // √4025 cut toward zero
      {8557, "-5+", 0, 5, "5"},     // the last sign typed wins
      {8560, "-80", 0, -75, "-75"},
      {8557, "-", 0, 0, "-"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    s().SetAdjustment(c.edit == 8557 ? 10 : 9, c.other);
    Type(c.edit, c.typed);
    EXPECT_EQ(c.edit == 8557 ? X() : Y(), c.stored);
    EXPECT_EQ(Text(c.edit), c.shown);
  }
  Command(8557, EN_KILLFOCUS);
  EXPECT_EQ(Text(8557), "0");
}

TEST_F(ToningTest, SpinArrowsStopAtTheEdge) {
  s().SetAdjustment(10, 0);
  Type(8557, "74");
  Spin(8558, SB_LINEUP);
  EXPECT_EQ(X(), 75);
  Spin(8558, SB_LINEUP);
  EXPECT_EQ(X(), 75);
  EXPECT_EQ(Text(8557), "75");
  Type(8557, "-75");
  Spin(8558, SB_LINEDOWN);
  EXPECT_EQ(X(), -75);
  Spin(8558, SB_LINEUP);
  EXPECT_EQ(X(), -74);
  // With x at the edge the y arrow is held by the circle.
  Type(8557, "75");
  Spin(8561, SB_LINEUP);
  EXPECT_EQ(Y(), 0);
  Spin(8561, SB_THUMBPOSITION);  // other codes leave the value
  EXPECT_EQ(Y(), 0);
}

// With up-down controls in place of the coordinate arrows, the arrows step the point as the
// scroll bars do.
TEST_F(ToningTest, UpDownSpinArrowsStepLikeTheScrollBars) {
  for (int spin : {8558, 8561}) ASSERT_NE(pages::test::ReplaceWithUpDown(dialog_, spin), nullptr);
  Command(8501, CBN_CLOSEUP);  // the preset list closing shows the coordinates and sets the arrows up
  s().SetAdjustment(10, 0);
  Type(8557, "74");
  pages::test::ClickUpDownArrow(item(8558), true);
  EXPECT_EQ(X(), 75);
  pages::test::ClickUpDownArrow(item(8558), true);
  EXPECT_EQ(X(), 75);
  pages::test::ClickUpDownArrow(item(8558), false);
  EXPECT_EQ(X(), 74);
  Type(8557, "0");
  pages::test::ClickUpDownArrow(item(8561), true);
  EXPECT_EQ(Y(), 1);
}

TEST_F(ToningTest, RowsSlidersAndTheFadeRow) {
  MoveSlider(8519, 20);
  EXPECT_EQ(s().GetAdjustment(8), -30);
  EXPECT_EQ(Text(8514), "30");
  // The fade edit turns "+" into "-" and takes up to 50.
  Type(8514, "+45");
  EXPECT_EQ(s().GetAdjustment(8), -45);
  EXPECT_EQ(Position(8519), 5);
  Type(8510, "12");
  EXPECT_EQ(s().GetAdjustment(0), 12);
  EXPECT_EQ(Position(8515), 37);
  Click(8540);
  EXPECT_EQ(s().GetAdjustment(0), -12);
  EXPECT_EQ(s().GetTonePreset(), 4);
}

TEST_F(ToningTest, FixedPresetsReplaceTheValuesAndMoveTheCross) {
  s().SetAdjustment(0, 9);
  s().SetAdjustment(8, -7);
  s().SetAdjustment(11, 1);
  SendMessageA(item(8501), CB_SETCURSEL, 3, 0);
  Command(8501, CBN_SELENDOK);
  EXPECT_EQ(s().GetTonePreset(), 3);
  EXPECT_EQ(X(), 40);
  EXPECT_EQ(Y(), 48);
  EXPECT_EQ(s().GetAdjustment(0), 0);
  EXPECT_EQ(s().GetAdjustment(8), -2);
  EXPECT_EQ(s().GetAdjustment(11), 0);
  EXPECT_EQ(Text(8557), "40");
  EXPECT_EQ(Text(8514), "2");
  EXPECT_EQ(Pixel(At(40, 48).x + 3, At(40, 48).y), RGB(255, 0, 0));
  // Touching a toning control afterwards makes the preset custom.
  Click(8521);
  EXPECT_EQ(s().GetAdjustment(11), 1);
  EXPECT_EQ(s().GetTonePreset(), 4);
  EXPECT_EQ(SendMessageA(item(8501), CB_GETCOUNT, 0, 0), 5);
}

TEST_F(ToningTest, CursorTurnsIntoTheToningCursorOverTheCircle) {
  HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
  SetCursor(arrow);
  const POINT inside = At(10, 10);
  SendMessageA(dialog_, WM_MOUSEMOVE, 0, MAKELPARAM(inside.x, inside.y));
  EXPECT_FALSE(Enabled(8547));  // its clicks reach the dialog
  HCURSOR toning = GetCursor();
  EXPECT_NE(toning, arrow);
  EXPECT_EQ(shared().toning_saved_cursor, arrow);
  const POINT outside = At(74, 74);
  SendMessageA(dialog_, WM_MOUSEMOVE, 0, MAKELPARAM(outside.x, outside.y));
  EXPECT_EQ(GetCursor(), arrow);
}

}  // namespace
}  // namespace kalimu::dialogs
