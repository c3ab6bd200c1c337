// A poster's preview geometry: the paper box and the panels as tables over one control size,
// the margin insets, the hit test, and the layout filled from the job's paper.
#include <gtest/gtest.h>

#include <cstring>

#include "kalimu/pages/layout_preview.h"
#include "kalimu/pages/page_test_support.h"

namespace kalimu::pages {
namespace {

std::string Text(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

constexpr RECT kClient{0, 0, 200, 180};  // square 10..190 x 0..180, inner area 170 x 170

TEST(PosterPanelLayout, PaperBoxAndPanels) {
  struct Case {
    const char* name;
    int32_t kind;
    bool wide;
    PreviewExtent paper;
    PosterPanels expected;
    RECT box;
    RECT first, last;  // the first and the last panel
  };
  const Case cases[] = {
      {"4:1 is shown as 3:1", -1, false, {4000, 1000}, {4, 2, 2, true}, {17, 64, 187, 120}, {17, 64, 97, 87},
       {102, 92, 182, 115}},
      {"3.5:1 keeps its shape, its quotient is 3", -1, false, {3500, 1000}, {4, 2, 2, true}, {17, 68, 187, 116},
       {17, 68, 97, 87}, {102, 92, 182, 111}},
      {"2:1 keeps its shape", -1, false, {2000, 1000}, {4, 2, 2, false}, {17, 50, 187, 135}, {17, 50, 97, 87},
       {102, 92, 182, 130}},
      {"1:4 is shown as 1:3", -1, false, {1000, 4000}, {4, 2, 2, true}, {74, 7, 130, 177}, {74, 7, 97, 87},
       {102, 92, 125, 172}},
      {"square, 3 x 3", -2, false, {1000, 1000}, {9, 3, 3, false}, {17, 7, 187, 177}, {17, 7, 68, 58},
       {130, 120, 182, 172}},
      {"4 x 4", -3, false, {1000, 1000}, {16, 4, 4, false}, {17, 7, 187, 177}, {17, 7, 54, 44}, {144, 134, 182, 172}},
      {"two panels side by side on a wide page", -4, true, {2000, 1000}, {2, 2, 1, false}, {17, 50, 187, 135},
       {17, 71, 97, 113}, {102, 71, 182, 113}},
      {"two panels one above the other", -4, false, {1000, 2000}, {2, 1, 2, false}, {60, 7, 145, 177},
       {81, 7, 123, 87}, {81, 92, 123, 172}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PreviewLayout layout = {};
    layout.output_paper = c.paper;
    const PosterPanels got = LayoutPosterPanels(kClient, c.kind, c.wide, 0, &layout);
    EXPECT_EQ(got.count, c.expected.count);
    EXPECT_EQ(got.columns, c.expected.columns);
    EXPECT_EQ(got.rows, c.expected.rows);
    EXPECT_EQ(got.elongated, c.expected.elongated);
    EXPECT_EQ(Text(layout.control), Text(RECT{10, 0, 190, 180}));
    EXPECT_EQ(Text(layout.paper_area), Text(c.box));
    EXPECT_EQ(Text(layout.cells[0]), Text(c.first));
    EXPECT_EQ(Text(layout.cells[got.count - 1]), Text(c.last));
  }
}

// Nothing is laid out for a page that is not a poster or a paper without extent; a control too
// small for its gaps still gives every panel a pixel.
TEST(PosterPanelLayout, DegenerateInputs) {
  struct Case {
    const char* name;
    int32_t kind;
    PreviewExtent paper;
    RECT client;
    int count;
  };
  const Case cases[] = {
      {"one page per sheet", 1, {1000, 1000}, kClient, 0},
      {"unknown code", -5, {1000, 1000}, kClient, 0},
      {"paper not found", -1, {0, 0}, kClient, 0},
      {"negative extent", -1, {-10, 1000}, kClient, 0},
      {"tiny control", -3, {1000, 1000}, {0, 0, 12, 12}, 16},
      {"empty control", -1, {1000, 1000}, {0, 0, 0, 0}, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PreviewLayout layout = {};
    layout.output_paper = c.paper;
    const PosterPanels got = LayoutPosterPanels(c.client, c.kind, false, 0, &layout);
    EXPECT_EQ(got.count, c.count);
    for (int i = 0; i < got.count; ++i) {
      EXPECT_GE(layout.cells[i].right - layout.cells[i].left, 1) << i;
      EXPECT_GE(layout.cells[i].bottom - layout.cells[i].top, 1) << i;
    }
  }
}

TEST(PosterPanelLayout, MarginInsetsFollowTheMarginOptions) {
  struct Case {
    uint32_t options;
    LONG top, bottom;
  };
  for (const Case& c : {Case{0, 2, 4}, Case{1, 4, 4}, Case{2, 2, 2}, Case{3, 2, 2}}) {
    PreviewLayout layout = {};
    layout.output_paper = {2000, 1000};
    ASSERT_EQ(LayoutPosterPanels(kClient, -1, false, c.options, &layout).count, 4);
    const RECT& cell = layout.cells[3];
    EXPECT_EQ(Text(layout.printable[3]), Text(RECT{cell.left + 2, cell.top + c.top, cell.right - 2, cell.bottom - c.bottom}))
        << "margin options " << c.options;
  }
}

TEST(PosterPanelLayout, HitTestUsesThePanelsMovedByTheOrigin) {
  PreviewLayout layout = {};
  layout.output_paper = {2000, 1000};
  const PosterPanels panels = LayoutPosterPanels(kClient, -1, false, 0, &layout);  // panels as in the table
  const POINT origin{300, 400};
  struct Case {
    POINT at;  // in the control's client coordinates
    int panel;
  };
  for (const Case& c : {Case{{17, 50}, 0}, Case{{96, 86}, 0}, Case{{97, 86}, -1}, Case{{100, 60}, -1},
                        Case{{102, 50}, 1}, Case{{17, 92}, 2}, Case{{181, 129}, 3}, Case{{181, 130}, -1},
                        Case{{5, 5}, -1}}) {
    EXPECT_EQ(PosterPanelAt(layout, panels, origin, POINT{c.at.x + origin.x, c.at.y + origin.y}), c.panel)
        << c.at.x << "," << c.at.y;
  }
  EXPECT_EQ(PosterPanelAt(layout, PosterPanels{}, origin, POINT{317, 450}), -1);
}

// The job's layout: the output paper and the page from the output paper id, the margins from the
// document's paper; for two panels on a wide page each pair is turned.
class PosterPreviewOfTheJob : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.ok()) << fixture_.error();
    s().SetOrientation(DMORIENT_PORTRAIT);
    s().SetCustomPaperUnit(1);
    s().SetMarginOptions(0);
    s().SetLayoutOptions(0);
    s().SetPaperOptions(0);
  }
  settings::JobSettings& s() { return fixture_.settings(); }
  test::PageFixture fixture_{test::InkModel(8, true)};
};

TEST_F(PosterPreviewOfTheJob, FillsTheExtentsThenThePanels) {
  s().SetCustomPaperSize({4000, 1000});  // 0.1 mm: 5669 x 1417 in 1/360 inch
  s().SetPaperSize(256);
  s().SetOutputPaperSize(256);
  s().SetPagesPerSheet(-1);
  PreviewLayout layout;
  std::memset(&layout, 0x5A, sizeof(layout));
  const PosterPanels panels = FillPosterPreviewLayout(fixture_.param(), kClient, &layout);
  EXPECT_EQ(panels.count, 4);
  EXPECT_TRUE(panels.elongated);
  EXPECT_EQ(layout.output_paper.width, 5669);
  EXPECT_EQ(layout.output_paper.height, 1417);
  EXPECT_EQ(layout.document_paper.width, 5669);
  EXPECT_EQ(Text(layout.paper_area), Text(RECT{17, 64, 187, 120})) << "shown as 3:1";
  EXPECT_EQ(Text(layout.cells[4]), Text(RECT{0, 0, 0, 0})) << "cells past the panels are left empty";

  // Not found: nothing to show.
  s().SetOutputPaperSize(4242);
  EXPECT_EQ(FillPosterPreviewLayout(fixture_.param(), kClient, &layout).count, 0);
}

TEST_F(PosterPreviewOfTheJob, TwoPanelsOnAWidePageTurnEachPair) {
  s().SetCustomPaperSize({2000, 1000});
  s().SetPaperSize(256);
  s().SetOutputPaperSize(256);
  s().SetPagesPerSheet(-4);
  s().RecomputePageGeometry();
  ASSERT_EQ(s().IsPaperWiderThanLong(), 1);
  PreviewLayout turned;
  const PosterPanels panels = FillPosterPreviewLayout(fixture_.param(), kClient, &turned);
  s().SetPagesPerSheet(-1);
  PreviewLayout plain;
  FillPosterPreviewLayout(fixture_.param(), kClient, &plain);
  EXPECT_EQ(panels.count, 2);
  EXPECT_EQ(panels.columns, 2);
  EXPECT_EQ(turned.output_paper.width, plain.output_paper.height);
  EXPECT_EQ(turned.output_paper.height, plain.output_paper.width);
  EXPECT_EQ(turned.document_paper.width, plain.document_paper.height);
}

}  // namespace
}  // namespace kalimu::pages
