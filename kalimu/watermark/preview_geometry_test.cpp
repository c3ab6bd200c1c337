// The edit dialog's preview geometry as tables: paper and printable rects for page extents from
// A4 at 360 dpi to a long roll at 1440 dpi, cells and codes, snapping, bitmap boxes, the
// mirrored round trip of page units, sizes and degrees.
#include "kalimu/watermark/preview_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace kalimu::watermark {
namespace {

bool Same(PixelRect a, PixelRect b) { return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom; }

TEST(PreviewGeometry, PaperRects) {
  struct Case {
    const char* what;
    PreviewPage page;
    PixelRect paper;
  };
  const Case cases[] = {
      {"2100 x 2970 in 200 x 150: height-limited", {200, 150, {2100, 2970}, {}, false}, {50, 4, 150, 146}},
      {"a wide page: width-limited", {200, 150, {2970, 2100}, {}, false}, {4, 7, 196, 142}},
      {"A4 at 360 dpi", {300, 300, {2977, 4209}, {}, false}, {47, 4, 253, 296}},
      {"a 38 m roll at 1440 dpi (beyond 32 bits)", {300, 300, {63360, 2154330}, {}, false}, {146, 4, 154, 296}},
      {"no extent", {200, 150, {0, 0}, {}, false}, {4, 75, 196, 75}},
  };
  for (const Case& c : cases) {
    const PixelRect paper = ComputePaperRect(c.page);
    EXPECT_TRUE(Same(paper, c.paper)) << c.what << ": " << paper.left << "," << paper.top << "," << paper.right << ","
                                      << paper.bottom;
    // Zero margins and a zero extent leave the printable rect the paper.
    EXPECT_TRUE(Same(ComputePreviewPrintableRect(c.page), paper)) << c.what;
  }
}

TEST(PreviewGeometry, CellsAndCodes) {
  const int normal[10] = {4, 0, 1, 2, 3, 5, 6, 7, 8, -1};
  const int mirrored[10] = {4, 2, 1, 0, 5, 3, 8, 7, 6, -1};
  for (int code = 0; code <= 9; ++code) {
    EXPECT_EQ(CellOfCode(code, false), normal[code]) << code;
    EXPECT_EQ(CellOfCode(code, true), mirrored[code]) << code;
    if (code < 9) {
      EXPECT_EQ(CodeOfCell(CellOfCode(code, false), false), code);
      EXPECT_EQ(CodeOfCell(CellOfCode(code, true), true), code);
    }
  }
  EXPECT_EQ(CodeOfCell(0, false), 1);
  EXPECT_EQ(CodeOfCell(0, true), 3);
  EXPECT_EQ(CellOfCode(10, false), -1);
  EXPECT_EQ(CodeOfCell(-1, false), kFreePosition);
}

TEST(PreviewGeometry, SnappingTouchesTheNamedEdges) {
  const PixelRect area{10, 20, 210, 120};
  const auto anchors = BuildPositionAnchors(area);
  EXPECT_EQ(anchors[4].x, 110);
  EXPECT_EQ(anchors[4].y, 70);
  const double diagonal = PrintableDiagonal(area);
  BoxShape shape{};
  shape.box_width = 40, shape.box_height = 20, shape.size = 30;
  struct Case {
    int cell;
    int code;
    int32_t left, top, right, bottom;
  };
  const Case cases[] = {{0, 1, 10, 20, 50, 40}, {4, 0, 90, 60, 130, 80}, {8, 8, 170, 100, 210, 120},
                        {5, 5, 170, 60, 210, 80}};
  for (const Case& c : cases) {
    EXPECT_EQ(SnapToPosition(shape, c.cell, anchors, diagonal, 0, 0, false), c.code) << c.cell;
    const PixelRect b = BoxBounds(shape.box);
    EXPECT_TRUE(Same(b, {c.left, c.top, c.right, c.bottom})) << c.cell << ": " << b.left << "," << b.top;
  }
  EXPECT_EQ(SnapToPosition(shape, 0, anchors, diagonal, 0, 0, true), 3);  // mirrored page
}

TEST(PreviewGeometry, BitmapBoxes) {
  BoxShape shape{};
  shape.bitmap = true;
  shape.size = 50;
  shape.box.centre_x = 100, shape.box.centre_y = 100;
  ASSERT_TRUE(ComputeBitmapBox(shape, 200, 300, -100));  // 3:1, top-down
  EXPECT_EQ(shape.box_width, 100);
  EXPECT_EQ(shape.box_height, 33);
  ASSERT_TRUE(ComputeBitmapBox(shape, 200, 100, 400));
  EXPECT_EQ(shape.box_height, 100);
  EXPECT_EQ(shape.box_width, 25);
  EXPECT_FALSE(ComputeBitmapBox(shape, 200, 0, 100));
  EXPECT_FALSE(ComputeBitmapBox(shape, 200, 65536, 100));  // a width word of 0
  EXPECT_FALSE(ComputeBitmapBox(shape, 200, 100, 0));
}

TEST(PreviewGeometry, MirroredRoundTripOfPageUnits) {
  const PixelRect area{7, 11, 187, 141};
  const double diagonal = PrintableDiagonal(area);
  for (bool mirrored : {false, true}) {
    for (double degrees : {0.0, 30.0, -75.0}) {
      BoxShape shape{};
      shape.box_width = 41, shape.box_height = 17, shape.size = 20;
      shape.angle = degrees * std::numbers::pi / 180;
      shape.box.centre_x = 60, shape.box.centre_y = 90;
      ComputeRotatedBox(shape.box, 41, 17, shape.angle, mirrored);
      const EntryBox units = BoxToPageUnits(shape, area, diagonal, 0, 0, mirrored);
      BoxShape back = shape;
      back.box.centre_x = back.box.centre_y = 0;
      BoxFromPageUnits(back, units, area, mirrored);
      EXPECT_NEAR(back.box.centre_x, 60, 1) << mirrored << " " << degrees;
      EXPECT_NEAR(back.box.centre_y, 90, 1) << mirrored << " " << degrees;
    }
  }
  BoxShape shape{};
  EXPECT_EQ(BoxToPageUnits(shape, {5, 5, 5, 100}, 10, 0, 0, false).right, 0);  // no width: no division
}

TEST(PreviewGeometry, SizesAndDegrees) {
  const PixelRect area{0, 0, 300, 400};
  EXPECT_DOUBLE_EQ(EntrySizePercent(5000, 2000, area), 50);  // width-limited on a tall area
  EXPECT_DOUBLE_EQ(EntrySizePercent(2000, 5000, {0, 0, 400, 300}), 50);
  EXPECT_EQ(EntrySizePercent(5000, 5000, {0, 0, 0, 300}), 0);
  BoxShape bitmap{};
  bitmap.bitmap = true;
  EXPECT_NEAR(SizeFromEntryBox(bitmap, 6000, 3000, area, 0, 0), 180 * 100 / 500.0, 1e-9);
  EXPECT_EQ(SizeFromEntryBox(bitmap, 6000, 3000, {0, 0, 0, 0}, 0, 0), 0);
  BoxShape text{};
  EXPECT_GT(SizeFromEntryBox(text, 6000, 1000, area, 400, 100), 0);
  EXPECT_EQ(SizeFromEntryBox(text, 6000, 1000, area, 0, 0), 0);

  const double deg = std::numbers::pi / 180;
  struct Case {
    double degrees;
    int32_t shown;
  };
  const Case cases[] = {{89.5, 90}, {-90.4, -90}, {45, 45}, {-0.5, -1}, {0.49, 0}, {179.6, 180}, {-180, -180}};
  for (const Case& c : cases) EXPECT_EQ(DegreesOfAngle(c.degrees * deg), c.shown) << c.degrees;
  EXPECT_EQ(DegreesOfAngle(NAN), 0);
}

}  // namespace
}  // namespace kalimu::watermark
