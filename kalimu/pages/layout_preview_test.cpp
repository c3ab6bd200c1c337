// The layout preview: its extent, margin and orientation rules as tables, the three size
// routines on the sample model, the caption lines, the paper picture through the shared palette
// and a paint that draws into the control.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "kalimu/pages/layout_preview.h"
#include "kalimu/pages/page_test_support.h"

namespace kalimu::pages {
namespace {

using test::HostedPage;
using test::InkModel;
using test::PageFixture;

TEST(PreviewRules, ExtentsFromTheirUnits) {
  struct Case {
    int32_t value, unit, expected;
  };
  for (const Case& c : {Case{2100, 1, 2976}, Case{2970, 1, 4209}, Case{827, 2, 2977}, Case{1100, 0, 3960},
                        Case{0, 1, 0}}) {
    EXPECT_EQ(PreviewExtentFromUnit(c.value, c.unit), c.expected) << c.value << " " << c.unit;
  }
}

TEST(PreviewRules, EvenedMargins) {
  struct Case {
    PreviewMargins in;
    uint16_t kind;
    PreviewMargins out;
  };
  const Case cases[] = {
      {{30, 50, 40, 30}, 0, {40, 50, 40, 50}},
      {{30, 50, 40, 60}, 3, {40, 68, 40, 60}},
      {{30, 50, 40, 20}, 3, {40, 50, 40, 50}},
      {{30, 50, 40, 42}, 3, {40, 50, 40, 42}},
      {{50, 10, 20, 90}, 1, {50, 90, 50, 90}},
  };
  for (const Case& c : cases) {
    const PreviewMargins got = EvenPreviewMargins(c.in, c.kind);
    EXPECT_EQ(got, c.out) << c.in.left << "," << c.in.top << "," << c.in.right << "," << c.in.bottom << " kind "
                          << c.kind << " -> " << got.left << "," << got.top << "," << got.right << "," << got.bottom;
  }
}

TEST(PreviewRules, OrientationTable) {
  using enum PreviewPart;
  constexpr auto A = PreviewTurn::kAsTheyAre;
  constexpr auto T = PreviewTurn::kTurned;
  constexpr PreviewExtent kTall = {100, 200};
  constexpr PreviewExtent kLong = {200, 100};
  struct Case {
    PreviewPart part;
    int32_t orientation, pages;
    bool wide;
    PreviewExtent extent;
    PreviewTurn turn;
  };
  const Case cases[] = {
      {kPaperSize, 1, 1, false, kTall, A},   {kPaperSize, 2, 1, false, kTall, T},
      {kPaperSize, 1, -4, true, kTall, A},   {kPaperSize, 1, -4, false, kTall, T},
      {kPaperSize, 1, 2, false, kLong, A},   {kPaperSize, 1, 2, false, kTall, T},
      {kPaperSize, 2, 2, false, kTall, A},   {kPaperSize, 2, 2, false, kLong, T},
      {kPrintableArea, 1, 2, false, kTall, T}, {kPrintableArea, 2, 2, false, kTall, A},
      {kPrintableArea, 1, -4, true, kTall, A}, {kPrintableArea, 2, -4, false, kTall, A},
      {kPrintableArea, 2, -4, true, kTall, T}, {kPrintableArea, 1, 3, false, kTall, A},
      {kPrintableArea, 2, -1, false, kTall, T}, {kPrintableArea, 1, 4, false, kTall, PreviewTurn::kNone},
      {kPrintableArea, 1, 0, false, kTall, PreviewTurn::kNone}, {kPrintableArea, 1, -5, false, kTall, PreviewTurn::kNone},
      {kMargins, 1, 1, false, kTall, A},     {kMargins, 2, 4, false, kTall, T},
      {kMargins, 2, -4, false, kTall, A},    {kMargins, 1, -4, false, kTall, T},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    EXPECT_EQ(PreviewOrientation(c.part, c.orientation, c.pages, c.wide, c.extent), c.turn) << i;
  }
}

// The sample model with its custom size (id 256, margin record 1) of paper kind 0.
testkit::ModelDescription PreviewModel() {
  testkit::ModelDescription model = InkModel(8, true);
  for (auto& paper : model.papers) {
    if (paper.id == 256) paper.kind = 0;
  }
  return model;
}

class Preview : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.ok()) << fixture_.error();
    s().ResetToDefaults();
    s().SetPagesPerSheet(1);
    s().SetOrientation(1);
    s().SetMarginOptions(0);
    s().SetLayoutOptions(0);
    s().SetPaperOptions(0);
  }
  settings::JobSettings& s() { return fixture_.settings(); }
  PageParam& param() { return fixture_.param(); }
  std::string Str(UINT id) {
    char text[256] = {};
    LoadStringA(fixture_.module(), id, text, sizeof(text));
    return text;
  }
  PageFixture fixture_{PreviewModel()};
};

// The custom size enters in 0.1 mm: 2100 x 2970 is 2976 x 4209 in 1/360 inch; a landscape job
// stores it and its margins turned.
TEST_F(Preview, CustomSizeAndLandscape) {
  s().SetCustomPaperUnit(1);
  s().SetCustomPaperSize({2100, 2970});
  struct Case {
    int32_t orientation;
    PreviewExtent extent;
    PreviewMargins margins;
  };
  // The sample model's custom size uses margin record 1: (108, 108, 108, 198).
  for (const Case& c : {Case{1, {2976, 4209}, {108, 108, 108, 198}}, Case{2, {4209, 2976}, {108, 108, 198, 108}}}) {
    SCOPED_TRACE(c.orientation);
    s().SetOrientation(c.orientation);
    PreviewLayout layout = {};
    ASSERT_EQ(GetPreviewMargins(param(), 256, &layout), 1);
    EXPECT_EQ(layout.document_paper.width, c.extent.width);
    EXPECT_EQ(layout.document_paper.height, c.extent.height);
    EXPECT_EQ(layout.document_margins, c.margins);
    ASSERT_EQ(GetPreviewPaperSize(param(), 256, &layout), 1);
    EXPECT_EQ(layout.output_paper.width, c.extent.width);
    EXPECT_EQ(layout.output_margins, c.margins);
  }
  // 1/100 inch: 827 x 1169 is first taken to 0.1 mm.
  s().SetOrientation(1);
  s().SetCustomPaperUnit(2);
  s().SetCustomPaperSize({827, 1169});
  PreviewLayout layout = {};
  ASSERT_EQ(GetPreviewMargins(param(), 256, &layout), 1);
  EXPECT_EQ(layout.document_paper.width, PreviewExtentFromUnit(827 * 254 / 100, 1));
  EXPECT_EQ(layout.document_paper.height, PreviewExtentFromUnit(1169 * 254 / 100, 1));
}

TEST_F(Preview, UnknownPaperLeavesTheLayoutAlone) {
  PreviewLayout layout;
  std::memset(&layout, 0x5A, sizeof(layout));
  const PreviewLayout before = layout;
  EXPECT_EQ(GetPreviewPaperSize(param(), 4242, &layout), 0);
  EXPECT_EQ(GetPreviewPrintableArea(param(), 4242, &layout), 0);
  EXPECT_EQ(GetPreviewMargins(param(), 4242, &layout), 0);
  EXPECT_EQ(std::memcmp(&layout, &before, sizeof(layout)), 0);
}

// Source 530 (and 531) clears the printable top and bottom; margin option 1 evens them; the
// rotated page turns them round.
TEST_F(Preview, PrintableMargins) {
  struct Case {
    const char* name;
    int32_t source;
    uint32_t margin_options;
    uint32_t layout_options;
    PreviewMargins expected;
  };
  const Case cases[] = {
      {"sheet feeder", 7, 0, 0, {108, 108, 108, 198}},
      {"source 530", 530, 0, 0, {108, 0, 108, 0}},
      {"source 531", 531, 0, 0, {108, 0, 108, 0}},
      {"evened", 7, 1, 0, {108, 198, 108, 198}},
      {"rotated", 7, 0, 256, {108, 198, 108, 108}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    s().SetDefaultSource(c.source);
    s().SetMarginOptions(c.margin_options);
    s().SetLayoutOptions(c.layout_options);
    PreviewLayout layout = {};
    ASSERT_EQ(GetPreviewPrintableArea(param(), 256, &layout), 1);
    EXPECT_EQ(layout.printable_margins, c.expected);
  }
}

// The caption lines: the paper's name, the scale percentage and the output paper when scaled,
// the source and cut captions and the colour mode.
TEST_F(Preview, CaptionLines) {
  s().SetPaperSize(9);
  s().SetDefaultSource(7);
  s().SetScalingOptions(0);
  PreviewCaptions captions;
  BuildPreviewCaptions(&param(), &captions);
  EXPECT_EQ(std::string(captions.paper), Str(9));
  EXPECT_FALSE(captions.scaled);
  EXPECT_EQ(std::string(captions.source), Str(1501));  // source 7 names string 1500 + 1
  EXPECT_EQ(std::string(captions.cut), Str(s().TestCutOptionBits(1) ? 8069 : 8070));

  s().SetScalingOptions(8);
  s().SetScalePercent(150);
  s().SetOutputPaperSize(8);
  BuildPreviewCaptions(&param(), &captions);
  EXPECT_TRUE(captions.scaled);
  EXPECT_EQ(std::string(captions.second), "150%");
  EXPECT_EQ(std::string(captions.third), Str(8));

  struct Colour {
    int32_t mode;
    UINT id;
  };
  for (const Colour& c : {Colour{0, 8009}, Colour{1, 8008}, Colour{2, 8010}, Colour{3, 8054}, Colour{4, 8063},
                          Colour{6, 8139}, Colour{7, 8009}, Colour{5, 0}}) {
    s().SetColorMode(c.mode);
    BuildPreviewCaptions(&param(), &captions);
    EXPECT_EQ(std::string(captions.colour), c.id == 0 ? "" : Str(c.id)) << c.mode;
  }
}

// Paper pictures by the paper options, marks by orientation and rotation.
TEST_F(Preview, PictureIds) {
  struct Case {
    uint32_t paper_options;
    int32_t orientation;
    uint32_t layout_options;
    int picture;
    int mark;
  };
  const Case cases[] = {{0, 1, 0, 9500, 9501}, {0, 2, 0, 9500, 9511}, {0, 1, 256, 9500, 9506},
                        {1 | 256, 1, 0, 9700, 9701}};
  for (const Case& c : cases) {
    s().SetPaperOptions(c.paper_options);
    s().SetOrientation(c.orientation);
    s().SetLayoutOptions(c.layout_options);
    EXPECT_EQ(PreviewPaperPictureId(&param()), c.picture) << c.paper_options;
    EXPECT_EQ(PreviewOrientationMarkId(&param()), c.mark) << c.paper_options;
  }
}

// The 256-colour paper picture comes through the sheet's palette, made once; a 24-bit picture
// does not.
TEST_F(Preview, SharedPalettePictures) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = nullptr;
  ASSERT_EQ(LoadSharedPaletteBitmap(&param(), 9500, &bitmap, dc), 1);
  ASSERT_NE(bitmap, nullptr);
  HPALETTE palette = fixture_.shared().preview_palette;
  EXPECT_NE(palette, nullptr);
  DeleteObject(bitmap);
  bitmap = nullptr;
  ASSERT_EQ(LoadSharedPaletteBitmap(&param(), 9600, &bitmap, dc), 1);
  EXPECT_EQ(fixture_.shared().preview_palette, palette);
  DeleteObject(bitmap);
  bitmap = nullptr;
  EXPECT_EQ(LoadSharedPaletteBitmap(&param(), 7504, &bitmap, dc), 0);  // 24-bit
  EXPECT_EQ(LoadSharedPaletteBitmap(&param(), 4, &bitmap, dc), 0);     // missing
  EXPECT_EQ(bitmap, nullptr);
  DeleteDC(dc);
  DeleteObject(palette);
  fixture_.shared().preview_palette = nullptr;
}

// Painting draws the settings' paper picture into the control: something is drawn on the white
// canvas, a roll paper draws its own picture, and painting the sheet paper again gives the first
// picture back whole (nothing of the roll is left).
TEST_F(Preview, PaintDrawsTheSettingsPaperPictureIntoTheControl) {
  HostedPage page(fixture_, 902);
  ASSERT_NE(page.window(), nullptr);
  HWND control = page.item(2401);
  ASSERT_NE(control, nullptr);
  ShowWindow(GetParent(page.window()), SW_SHOW);
  ShowWindow(page.window(), SW_SHOW);
  const auto paint = [&](int roll) {
    fixture_.settings().SetPaperOptionBits(1, roll);
    EXPECT_EQ(PreviewPaperPictureId(&param()), roll != 0 ? 9600 : 9500);
    PaintLayoutPreview(page.window(), &param(), 2401);
    RECT client;
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    std::vector<COLORREF> pixels;
    for (int y = 1; y < client.bottom - 1; y += 2) {
      for (int x = 1; x < client.right - 1; x += 2) pixels.push_back(GetPixel(dc, x, y));
    }
    ReleaseDC(control, dc);
    return pixels;
  };
  const std::vector<COLORREF> sheet = paint(0);
  const auto drawn = std::count_if(sheet.begin(), sheet.end(),
                                   [](COLORREF c) { return c != CLR_INVALID && c != RGB(255, 255, 255); });
  EXPECT_GT(drawn, 10);  // the canvas is white: any other pixel was drawn
  EXPECT_NE(paint(1), sheet);
  EXPECT_EQ(paint(0), sheet);
  if (fixture_.shared().preview_palette != nullptr) {
    DeleteObject(fixture_.shared().preview_palette);
    fixture_.shared().preview_palette = nullptr;
  }
}

}  // namespace
}  // namespace kalimu::pages
