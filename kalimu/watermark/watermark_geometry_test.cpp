// Printable rectangle, rotated boxes, new-entry boxes and thumbnail sides.
#include "kalimu/watermark/watermark_geometry.h"

#include <gtest/gtest.h>

#include <numbers>

namespace kalimu::watermark {
namespace {

TEST(WatermarkGeometry, PrintableRect) {
  const PixelRect paper{50, 4, 150, 146};
  auto same = [](PixelRect a, PixelRect b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  };
  EXPECT_TRUE(same(ComputePrintableRect({2100, 2970}, paper, {0, 0, 0, 0}), paper));
  EXPECT_TRUE(same(ComputePrintableRect({0, 0}, paper, {100, 100, 100, 100}), paper));
  // 210 of 2100 units is 1000/10000 of the width: 10 of 100 pixels.
  EXPECT_TRUE(same(ComputePrintableRect({2100, 2970}, paper, {210, 297, 105, 0}), PixelRect{60, 18, 145, 146}));
  // Margins whose products pass 32 bits.
  const PixelRect big = ComputePrintableRect({2000000000, 2000000000}, {0, 0, 1000, 1000},
                                             {1000000000, 0, 0, 0});
  EXPECT_EQ(big.left, 500);
}

TEST(WatermarkGeometry, RotatedBoxCorners) {
  WatermarkBox box{};
  box.centre_x = 100, box.centre_y = 50;
  ComputeRotatedBox(box, 41, 20, 0, false);
  EXPECT_EQ(box.left_top_x, 80);
  EXPECT_EQ(box.left_top_y, 40);
  EXPECT_EQ(box.right_bottom_x, 120);
  EXPECT_EQ(box.right_bottom_y, 60);

  // A quarter turn clockwise: the right-top corner goes to the bottom right of the centre.
  ComputeRotatedBox(box, 40, 20, std::numbers::pi / 2, false);
  EXPECT_EQ(box.right_top_x, 110);
  EXPECT_EQ(box.right_top_y, 70);
  // Mirrored, the angle is negated.
  ComputeRotatedBox(box, 40, 20, std::numbers::pi / 2, true);
  EXPECT_EQ(box.right_top_x, 90);
  EXPECT_EQ(box.right_top_y, 30);
}

TEST(WatermarkGeometry, NewEntryBoxKeepsTheBitmapAspect) {
  struct Case {
    const char* what;
    PageExtent extent;
    PageMargins margins;
    int32_t width, height;
    EntryBox box;
  };
  const Case cases[] = {
      // f = 0.5 < g = 1: bw = 5000, bh = 2500.
      {"wide bitmap, square page", {1000, 1000}, {0, 0, 0, 0}, 200, 100, {2500, 3750, 7500, 6250}},
      // f = 4 > g = 1.5: bh = 5000, bw = 5000 x 1.5 / 4 = 1875 (the product would give 833).
      {"tall bitmap, A-like page", {2000, 3000}, {0, 0, 0, 0}, 100, 400, {4062, 2500, 5937, 7500}},
      // f = 0.01 on a page with g = 100: bh = 5000 x 0.0001 (the product would pass 10000).
      {"thin bitmap on a tall page", {100, 10000}, {0, 0, 0, 0}, 1000, 10, {2500, 4999, 7500, 4999}},
      {"margins shape the area", {1000, 1000}, {0, 0, 500, 0}, 100, 100, {2500, 3750, 7500, 6250}},
      {"no bitmap width", {1000, 1000}, {0, 0, 0, 0}, 0, 100, {0, 0, 0, 0}},
      {"no area width", {1000, 1000}, {500, 0, 500, 0}, 100, 100, {0, 0, 0, 0}},
      {"no area height", {1000, 1000}, {0, 500, 0, 500}, 100, 100, {0, 0, 0, 0}},
      {"no page", {0, 0}, {0, 0, 0, 0}, 100, 100, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const EntryBox b = ComputeNewEntryBox(c.extent, c.margins, c.width, c.height);
    EXPECT_EQ(b.left, c.box.left);
    EXPECT_EQ(b.top, c.box.top);
    EXPECT_EQ(b.right, c.box.right);
    EXPECT_EQ(b.bottom, c.box.bottom);
    EXPECT_LE(b.right, 10000);
    EXPECT_LE(b.bottom, 10000);
  }
}

TEST(WatermarkGeometry, ThumbnailSides) {
  struct Case {
    int32_t w, h, tw, th;
  };
  const Case cases[] = {
      {1000, 250, 128, 32}, {250, 1000, 32, 128}, {100, 100, 128, 128}, {10, 5, 128, 64},
      {1000, 1, 128, 1},  // beyond 128:1 a side stays 1
      {1, 1000, 1, 128},  {5, 0, 128, 25}, {0, 0, 128, 128},
  };
  for (const Case& c : cases) {
    const ThumbnailSize t = ThumbnailSizeFor(c.w, c.h);
    EXPECT_EQ(t.width, c.tw) << c.w << " x " << c.h;
    EXPECT_EQ(t.height, c.th) << c.w << " x " << c.h;
  }
}

}  // namespace
}  // namespace kalimu::watermark
