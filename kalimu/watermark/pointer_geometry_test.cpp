// Placing a watermark with the pointer: handles, clamped moves, resizing with its floor, the
// rotation drag's angle, folding and snapping, and the cursors per handle and mode.
#include "kalimu/watermark/pointer_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace kalimu::watermark {
namespace {

constexpr double kPi = std::numbers::pi;

WatermarkBox Box(int32_t cx, int32_t cy, int32_t w, int32_t h, double angle = 0) {
  WatermarkBox box{};
  box.centre_x = cx, box.centre_y = cy;
  ComputeRotatedBox(box, w, h, angle, false);
  return box;
}

TEST(PointerGeometry, RoundingOfTwentieths) {
  const int32_t cases[][2] = {{10, 0}, {11, 1}, {-10, 0}, {-11, -1}, {30, 1}, {31, 2}, {100, 5}, {-100, -5}};
  for (const auto& c : cases) EXPECT_EQ(RoundTwentieth(c[0]), c[1]) << c[0];
}

TEST(PointerGeometry, HandlesAreSquaresAroundTheCorners) {
  const WatermarkBox box = Box(100, 100, 40, 20);
  const auto handles = CreateCornerHandles(box, 0, false);
  // Handle 0 around the right-top corner (120, 90), side 10.
  int32_t min_x = 1000, max_x = -1000, min_y = 1000, max_y = -1000;
  for (const PreviewPoint& p : handles[0]) {
    min_x = std::min(min_x, p.x), max_x = std::max(max_x, p.x);
    min_y = std::min(min_y, p.y), max_y = std::max(max_y, p.y);
  }
  EXPECT_EQ(min_x, 115);
  EXPECT_EQ(max_x, 125);
  EXPECT_EQ(min_y, 85);
  EXPECT_EQ(max_y, 95);
  EXPECT_EQ(handles[3][0].x - box.left_top_x, handles[3][2].x - box.left_top_x + 10);
}

TEST(PointerGeometry, MovesKeepTheCentreOnThePrintableArea) {
  const PixelRect area{10, 10, 200, 150};
  const WatermarkBox box = Box(100, 80, 40, 20);
  struct Case {
    int32_t dx, dy, cx, cy;
  };
  const Case cases[] = {{5, -7, 105, 73}, {-500, 0, 10, 80}, {0, 500, 100, 150}, {200, -200, 200, 10}};
  for (const Case& c : cases) {
    const WatermarkBox moved = MoveBoxClamped(box, c.dx, c.dy, area);
    EXPECT_EQ(moved.centre_x, c.cx);
    EXPECT_EQ(moved.centre_y, c.cy);
    EXPECT_EQ(moved.left_top_x - moved.centre_x, box.left_top_x - box.centre_x);  // size kept
  }
}

TEST(PointerGeometry, ResizingKeepsProportionsAndItsLimits) {
  BoxShape shape{};
  shape.box = Box(100, 100, 40, 20);
  shape.box_width = 40, shape.box_height = 20, shape.size = 20;
  // Handle 1 (right-bottom) dragged 10 down, height-driven: the height grows by 20.
  BoxShape grown = shape;
  EXPECT_DOUBLE_EQ(ResizeBoxByCorner(grown, shape.box, 1, 0, 10, true, false, 100), 40);
  EXPECT_EQ(grown.box_height, 40);
  EXPECT_EQ(grown.box_width, 80);
  // Width-driven, 10 to the right of handle 0.
  BoxShape wider = shape;
  ResizeBoxByCorner(wider, shape.box, 0, 10, 0, false, false, 100);
  EXPECT_EQ(wider.box_width, 60);
  EXPECT_EQ(wider.box_height, 30);
  // Dragged through the centre: the floor of 5; far out: the track bar's maximum.
  BoxShape tiny = shape;
  EXPECT_DOUBLE_EQ(ResizeBoxByCorner(tiny, shape.box, 1, 0, -10, true, false, 100), 5);
  BoxShape huge = shape;
  EXPECT_DOUBLE_EQ(ResizeBoxByCorner(huge, shape.box, 1, 0, 1000, true, false, 100), 100);
  BoxShape empty = shape;
  empty.box_height = 0;
  EXPECT_DOUBLE_EQ(ResizeBoxByCorner(empty, shape.box, 1, 0, 10, true, false, 100), 20);
}

TEST(PointerGeometry, RotationDrag) {
  const PreviewPoint centre{100, 100};
  EXPECT_NEAR(DragRotationAngle({100, 150}, {150, 100}, centre, false), kPi / 2, 1e-12);  // clockwise on screen
  EXPECT_NEAR(DragRotationAngle({100, 50}, {150, 100}, centre, false), -kPi / 2, 1e-12);
  EXPECT_NEAR(DragRotationAngle({100, 150}, {150, 100}, centre, true), -kPi / 2, 1e-12);
  EXPECT_EQ(DragRotationAngle({100, 100}, {150, 100}, centre, false), 0);
  // Parallel vectors whose quotient rounds past 1: no NaN.
  const double same = DragRotationAngle({100 + 3 * 7, 100 + 3 * 13}, {100 + 7, 100 + 13}, centre, false);
  EXPECT_FALSE(std::isnan(same));
  EXPECT_NEAR(same, 0, 1e-6);

  const double deg = kPi / 180;
  struct Case {
    double in, out;
  };
  const Case cases[] = {{89.5 * deg, kPi / 2},   {-90.4 * deg, -kPi / 2}, {45 * deg, 45 * deg}, {0.6 * deg, 0},
                        {270 * deg, -kPi / 2}, {181 * deg, kPi},        {-179.5 * deg, kPi},  {-30 * deg, -30 * deg}};
  for (const Case& c : cases) EXPECT_NEAR(NormaliseAndSnapAngle(c.in), c.out, 1e-12) << c.in / deg;
  EXPECT_EQ(NormaliseAndSnapAngle(89.5 * deg), kPi / 2);  // exactly
}

TEST(PointerGeometry, Cursors) {
  using C = PreviewCursor;
  struct Case {
    bool handle;
    int corner;
    bool box, preview;
    int mode, state;
    C cursor;
  };
  const Case cases[] = {
      {true, 0, true, true, 1, 1, C::kSizeNeSw}, {true, 1, true, true, 1, 1, C::kSizeNwSe},
      {true, 2, true, true, 2, 1, C::kSizeNeSw}, {true, 3, true, true, 2, 1, C::kSizeNwSe},
      {true, 0, true, true, 3, 0, C::kRotate},   {true, 0, true, true, 0, 1, C::kArrow},
      {false, 1, true, true, 3, 0, C::kRotate},  {false, 1, false, true, 2, 1, C::kSizeNwSe},
      {false, 0, false, false, 3, 0, C::kArrow}, {false, 0, true, true, 1, 1, C::kArrow},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChoosePreviewCursor(c.handle, c.corner, c.box, c.preview, c.mode, c.state), c.cursor)
        << c.handle << c.corner << c.mode << c.state;
  }
}

}  // namespace
}  // namespace kalimu::watermark
