// Layout flags and the scaling formula they choose, and the page geometry written into the
// device mode, compared byte for byte with golden records.
#include <gtest/gtest.h>

#include <cstring>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/job_settings_test_support.h"
#include "testkit/kalimu/rule_models.h"
#include "testkit/kalimu/user_files_builder.h"

namespace kalimu::settings {
namespace {

using test::SettingsOnPrinter;

struct LayoutCase {
  const char* name;
  uint32_t scaling;
  int16_t pages;
  int16_t duplex;
  uint32_t duplex_options;
  uint32_t paper_options;
  uint32_t cut_options;
  uint32_t layout_options;
  uint16_t feed_auto;
  uint16_t flags;
};

class LayoutFlags : public ::testing::TestWithParam<uint32_t> {
 protected:
  void SetUp() override { ASSERT_TRUE(fixture_.ok()) << fixture_.error(); }
  void Apply(const LayoutCase& c) {
    DriverDevMode& r = fixture_.record();
    r.ScalingOptions = c.scaling;
    r.PagesPerSheet = c.pages;
    r.Public.dmDuplex = c.duplex;
    r.DuplexOptions = c.duplex_options;
    r.PaperOptions = c.paper_options;
    r.CutOptions = c.cut_options;
    r.LayoutOptions = c.layout_options;
    r.PaperFeedAuto = c.feed_auto;
  }
  SettingsOnPrinter fixture_{testkit::RuleModel(GetParam())};
};

TEST_P(LayoutFlags, FlagWordFromTheOptions) {
  const LayoutCase plain[] = {
      {"nothing", 0, 1, 1, 0, 0, 0, 0, 0, 0},
      {"two-up duplex, option 4", 0, 2, 2, 4, 0, 0, 0, 0, 8212},
      {"poster fitted", 1 | 2, -1, 1, 0, 0, 0, 0, 0, 9},
      {"percent", 1, 1, 1, 0, 0, 0, 0, 0, 2},
      {"duplex with option 1", 0, 1, 3, 1, 0, 0, 0, 0, 0x20},
      {"layout option 4", 0, 1, 1, 0, 0, 0, 4, 0, 0x40},
      {"paper 1, cut 1", 0, 1, 1, 0, 1, 1, 0, 0, 0x580},
      {"paper 8 and 0x100, cut 1 and 2", 0, 1, 1, 0, 8 | 0x100, 1 | 2, 0, 1, 0xA80},
      {"paper 1, cut 1 and 8", 0, 1, 1, 0, 1, 1 | 8, 0, 0, 0x1180},
      {"paper 1, every cut bit", 0, 1, 1, 0, 1, 1 | 2 | 8, 0, 0, 0x180},
  };
  const LayoutCase large[] = {
      {"nothing", 0, 1, 1, 0, 0, 0, 0, 0, 0},
      {"paper 8, automatic feed", 0, 1, 1, 0, 8, 0, 0, 1, 0x4040},
      {"paper 8", 0, 1, 1, 0, 8, 1, 0, 0, 0x40},
      {"paper 8 and 1, automatic feed", 0, 1, 1, 0, 8 | 1, 0, 0, 1, 0x4380},
      {"paper 1 and 0x80", 0, 1, 1, 0, 1 | 0x80, 1, 0, 0, 0},
      {"paper 1, cut 1 and 2", 0, 1, 1, 0, 1, 1 | 2, 0, 0, 0x980},
      {"layout option 4 is the small models'", 0, 1, 1, 0, 0, 0, 4, 0, 0},
  };
  const auto cases = GetParam() != 0 ? std::span<const LayoutCase>(large) : std::span<const LayoutCase>(plain);
  for (const LayoutCase& c : cases) {
    Apply(c);
    EXPECT_EQ(fixture_.settings().GetLayoutFlags(), c.flags) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Word28, LayoutFlags, ::testing::Values(0u, 0x200u),
                         [](const auto& info) { return std::string(info.param != 0 ? "LargeFormat" : "Plain"); });

// The page geometry of the rule model: A4 on the sheet feeder at the resolution of the chosen
// print mode, one page per sheet, no duplex, portrait.
class PageGeometry : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.ok()) << fixture_.error();
    DriverDevMode& r = record();
    r.Public.dmPaperSize = 9;
    r.PaperSizeIndex = 0;
    r.OutputPaperSize = 9;
    r.Public.dmDefaultSource = 7;
    r.PaperSourceIndex = 0;
    r.PagesPerSheet = 1;
    r.Public.dmDuplex = 1;
    r.Public.dmOrientation = 1;
    r.ScalePercent = 100;
    SelectMode(1, 101);
  }
  void SelectMode(int16_t mode_id, int32_t media_id) {
    record().SettingsRecord.ModeId = mode_id;
    record().SettingsRecord.MediaId = media_id;
  }
  DriverDevMode& record() { return fixture_.record(); }
  JobSettings& s() { return fixture_.settings(); }

  struct Golden {
    int16_t quality, y_resolution;
    ResolutionPair device;
    ExtentPair image;
    ExtentPair paper;
    EdgeValues paper_margins;
    uint32_t balance;
    EdgeValues additions;
    ExtentPair output;
    EdgeValues output_margins;
    ResolutionPair render;
    uint16_t percent;
  };
  // Recomputes and compares the whole record with the one expected: the geometry fields as
  // given, every other byte unchanged.
  void ExpectGeometry(const Golden& g, const char* name) {
    DriverDevMode expected = record();
    expected.Public.dmPrintQuality = g.quality;
    expected.Public.dmYResolution = g.y_resolution;
    expected.DeviceResolution = g.device;
    expected.ImageWidth = static_cast<uint32_t>(g.image.width);
    expected.ImageHeight = static_cast<uint32_t>(g.image.height);
    expected.PaperDotExtent = g.paper;
    expected.PaperMargins = g.paper_margins;
    expected.MarginBalance = g.balance;
    expected.MarginAdditions = g.additions;
    expected.OutputExtent = g.output;
    expected.OutputMargins = g.output_margins;
    expected.RenderResolution = g.render;
    expected.ScalePercent = g.percent;
    s().RecomputePageGeometry();
    const DriverDevMode& r = record();
    EXPECT_EQ(r.RenderResolution.x, g.render.x) << name;
    EXPECT_EQ(r.RenderResolution.y, g.render.y) << name;
    EXPECT_EQ(r.ImageWidth, expected.ImageWidth) << name;
    EXPECT_EQ(r.ImageHeight, expected.ImageHeight) << name;
    EXPECT_EQ(r.PaperDotExtent.width, g.paper.width) << name;
    EXPECT_EQ(r.PaperDotExtent.height, g.paper.height) << name;
    EXPECT_EQ(r.OutputExtent.width, g.output.width) << name;
    EXPECT_EQ(r.OutputExtent.height, g.output.height) << name;
    EXPECT_EQ(r.OutputMargins.right, g.output_margins.right) << name;
    EXPECT_EQ(r.OutputMargins.bottom, g.output_margins.bottom) << name;
    EXPECT_EQ(r.ScalePercent, g.percent) << name;
    EXPECT_EQ(std::memcmp(&r, &expected, sizeof(r)), 0) << name;
  }
  SettingsOnPrinter fixture_{testkit::RuleModel()};
};

TEST_F(PageGeometry, A4AtThreeResolutions) {
  ExpectGeometry({360, 360, {360, 360}, {2760, 3903}, {2976, 4209}, {108, 108, 108, 198}, 0, {},
                  {2976, 4209}, {108, 108, 108, 198}, {360, 360}, 100},
                 "360 dpi");
  SelectMode(2, 101);
  ExpectGeometry({720, 720, {720, 720}, {5520, 7806}, {5952, 8418}, {216, 216, 216, 396}, 0, {},
                  {5952, 8418}, {216, 216, 216, 396}, {720, 720}, 100},
                 "720 dpi");
  // 1440 x 720: the plain fit keeps the image square, so it renders at 720 and 50 per cent.
  SelectMode(4, 102);
  ExpectGeometry({1440, 720, {1440, 720}, {5520, 7806}, {11904, 8418}, {432, 216, 432, 396}, 0, {},
                  {5952, 8418}, {216, 216, 216, 396}, {720, 720}, 50},
                 "1440 x 720 dpi");
}

TEST_F(PageGeometry, ALongRollAtFineResolutionDoesNotOverflow) {
  DriverDevMode& r = record();
  r.Public.dmPaperSize = testkit::kLongRollPaperId;
  r.PaperSizeIndex = 6;
  r.OutputPaperSize = testkit::kLongRollPaperId;
  r.Public.dmDefaultSource = 256;
  r.PaperSourceIndex = 2;
  SelectMode(5, 103);
  ExpectGeometry({1440, 1440, {1440, 1440}, {33984, 1599424}, {34560, 1600000}, {288, 288, 288, 288}, 0, {},
                  {34560, 1600000}, {288, 288, 288, 288}, {1440, 1440}, 100},
                 "28 m roll at 1440 dpi");
}

TEST_F(PageGeometry, PosterInA720Mode) {
  record().PagesPerSheet = -1;
  SelectMode(2, 101);
  ExpectGeometry({360, 360, {360, 360}, {5520, 7806}, {2976, 4209}, {108, 108, 108, 198}, 0, {},
                  {5952, 8418}, {216, 216, 216, 396}, {720, 720}, 100},
                 "poster");
}

TEST_F(PageGeometry, TwoUpOnAPortraitSheet) {
  record().PagesPerSheet = 2;
  // The cell is half the area's height by its width; the percentage is measured against the
  // same layout scaled to the output paper.
  ExpectGeometry({360, 360, {360, 360}, {1924, 2721}, {2976, 4209}, {108, 108, 108, 198}, 0, {},
                  {2074, 2934}, {75, 75, 75, 138}, {251, 251}, 108},
                 "2-up");
}

TEST_F(PageGeometry, BindingMarginRaisesTheBindingSide) {
  DriverDevMode& r = record();
  r.Public.dmDuplex = DMDUP_VERTICAL;
  r.BindingEdge = 2;
  r.BindingMargin = 100;  // 1/100 inch: one inch
  ExpectGeometry({360, 360, {360, 360}, {2760, 3651}, {2976, 4209}, {108, 360, 108, 198}, 0, {0, 252, 0, 0},
                  {2976, 4209}, {108, 360, 108, 198}, {360, 360}, 100},
                 "portrait, top");
  r.Public.dmOrientation = 2;
  ExpectGeometry({360, 360, {360, 360}, {2508, 3903}, {2976, 4209}, {108, 108, 360, 198}, 0, {0, 0, 252, 0},
                  {2976, 4209}, {108, 108, 360, 198}, {360, 360}, 100},
                 "landscape, right");
  // In 0.1 mm the same margin is 25.4 mm.
  r.DuplexOptions = kDuplexOptionBindingMarginMetric;
  r.BindingMargin = 254;
  EXPECT_EQ(s().GetBindingMargin360(), 360);
}

TEST_F(PageGeometry, BindingLayoutsWithDuplexOption1) {
  DriverDevMode& r = record();
  r.Public.dmDuplex = DMDUP_VERTICAL;
  r.DuplexOptions = 1;    // margins balanced on the output paper, no binding offsets
  r.BindingMargin = 100;  // one inch taken from the half the pages share
  ExpectGeometry({360, 360, {360, 360}, {1541, 2179}, {2976, 4209}, {108, 198, 108, 198}, 0, {},
                  {1661, 2350}, {60, 60, 60, 111}, {201, 201}, 107},
                 "binding fit");
  r.ScalingOptions = 1;  // flag word 34: the percentage of the fitted scale
  r.ScalePercent = 100;
  ExpectGeometry({360, 360, {360, 360}, {1546, 2760}, {2976, 4209}, {108, 198, 108, 198}, 0, {},
                  {1661, 2350}, {60, 60, 0, 0}, {201, 201}, 56},
                 "binding percent");
}

TEST_F(PageGeometry, ThePrintableWidthOfTheSourceWidensTheRightMargin) {
  DriverDevMode& r = record();
  r.CustomPaperUnit = 1;
  r.CustomPaperWidth = 20000;  // 2 m wide, on a feeder that prints 13 inch (4680/360) at most
  r.CustomPaperLength = 3000;
  EdgeValues margins{};
  EXPECT_EQ(s().GetPaperMarginsForSource(&margins, 256, 0), 0);
  const int32_t width = (20000 * 360 + 127) / 254;
  EXPECT_EQ(margins.left, 108);
  EXPECT_EQ(margins.right, width - 108 - 4680);
  r.CustomPaperWidth = 2000;  // narrower than the feeder: the paper's own margins
  EXPECT_EQ(s().GetPaperMarginsForSource(&margins, 256, 0), 0);
  EXPECT_EQ(margins.right, 108);
  // Paper options 8: no side margins. Only a kind-3 paper answers 1.
  r.PaperOptions = 8;
  EXPECT_EQ(s().GetPaperMarginsForSource(&margins, 9, 0), 0);
  EXPECT_EQ(margins.left, 0);
  EXPECT_EQ(margins.right, 0);
  EXPECT_EQ(margins.top, 108);
  EXPECT_EQ(s().GetPaperMarginsForSource(&margins, 300, 0), 1);
}

TEST_F(PageGeometry, ScaleLimitsWhenScaledToTheOutputPaper) {
  DriverDevMode& r = record();
  r.ScalingOptions = 8;
  for (const auto& c : {std::pair<uint16_t, uint16_t>{700, 650}, {5, 10}, {300, 300}}) {
    r.ScalePercent = c.first;
    s().RecomputePageGeometry();
    EXPECT_EQ(r.ScalePercent, c.second) << c.first;
  }
  r.ScalePercent = 700;
  EXPECT_EQ(s().ClampScaleToRange(), 0);
  EXPECT_EQ(r.ScalePercent, 700);
}

TEST_F(PageGeometry, ModeResolutionFields) {
  record().PagesPerSheet = -2;
  SelectMode(2, 101);
  s().ApplyModeResolution();
  EXPECT_EQ(record().Public.dmPrintQuality, 360);
  EXPECT_EQ(record().Public.dmYResolution, 360);
  EXPECT_EQ(record().DeviceResolution.x, 720u);  // as the mode gives it
  EXPECT_EQ(record().RenderResolution.y, 720u);
}

TEST_F(PageGeometry, BindingMarginLimits) {
  uint16_t limits[2] = {};
  s().GetBindingMarginLimits(limits);  // left margin 108/360 inch = 7.6 mm
  EXPECT_EQ(limits[0], 30);
  EXPECT_EQ(limits[1], 118);
  record().DuplexOptions = kDuplexOptionBindingMarginMetric;
  s().GetBindingMarginLimits(limits);
  EXPECT_EQ(limits[0], 76);
  EXPECT_EQ(limits[1], 300);
  record().Public.dmDuplex = DMDUP_VERTICAL;
  record().DuplexOptions |= 1;
  s().GetBindingMarginLimits(limits);
  EXPECT_EQ(limits[0], 30);
  EXPECT_EQ(limits[1], 300);
}

TEST_F(PageGeometry, AnUnlistedFlagWordRendersAtTheDeviceResolution) {
  record().ScalingOptions = 1;
  record().LayoutOptions = 4;  // 0x40 | 2: no formula
  ResolutionPair scale{};
  ExtentPair size{1, 1};
  record().DeviceResolution = {360, 360};
  EXPECT_EQ(s().ComputeLayoutScale({100, 100}, {200, 200}, {200, 200}, &scale, &size), 1);
  EXPECT_EQ(scale.x, 360u);
  EXPECT_EQ(size.width, 0);
  // An empty page is refused the same way, without dividing by it.
  record().LayoutOptions = 0;
  record().ScalingOptions = 0;
  EXPECT_EQ(s().ComputeLayoutScale({0, 100}, {200, 200}, {200, 200}, &scale, &size), 0);
  EXPECT_EQ(scale.y, 360u);
}

TEST_F(PageGeometry, BorderlessPaperTakesItsExtension) {
  DriverDevMode& r = record();
  r.Public.dmPaperSize = 300;
  r.PaperSizeIndex = 3;
  r.OutputPaperSize = 300;
  r.LayoutOptions = 4;  // flag word 0x40: the output paper grows by the extension on all sides
  ExtentPair size{};
  s().GetPaperSize360(300, &size, 1);
  EXPECT_EQ(size.width, 2976 + 30 + 50);
  EXPECT_EQ(size.height, 4209 + 40 + 60);
  s().GetPaperSize360(300, &size, 0);
  EXPECT_EQ(size.width, 2976);
  // Unknown ids take the custom size as 0.1 mm.
  r.CustomPaperWidth = 254;
  r.CustomPaperLength = 508;
  r.CustomPaperUnit = 2;
  r.LayoutOptions = 0;
  s().GetPaperSize360(999, &size, 0);
  EXPECT_EQ(size.width, 360);
  EXPECT_EQ(size.height, 720);
  EXPECT_EQ(s().GetPaperKind(), 3u);
  EXPECT_EQ(s().GetOutputPaperKind(), 3u);
}

TEST_F(PageGeometry, WatermarkBoxByPositionCode) {
  DriverDevMode& r = record();
  const struct {
    int16_t code;
    EdgeValues box;
  } cases[] = {{1, {0, 0, 2000, 1000}},          {2, {4000, 0, 6000, 1000}},        {3, {8000, 0, 10000, 1000}},
               {4, {0, 4500, 2000, 5500}},       {5, {8000, 4500, 10000, 5500}},    {6, {0, 9000, 2000, 10000}},
               {7, {4000, 9000, 6000, 10000}},   {8, {8000, 9000, 10000, 10000}},   {0, {4000, 4500, 6000, 5500}},
               {12, {4000, 4500, 6000, 5500}}};
  for (const auto& c : cases) {
    r.WatermarkSettings.WatermarkPosition = c.code;
    s().ComputeWatermarkPosition(2000, 1000);
    const EdgeValues& b = r.WatermarkSettings.WatermarkBox;
    EXPECT_EQ(std::memcmp(&b, &c.box, sizeof(b)), 0) << c.code << ": " << b.left << "," << b.top << "," << b.right
                                                      << "," << b.bottom;
  }
  r.WatermarkSettings.WatermarkPosition = 9;  // keeps the stored box's centre
  r.WatermarkSettings.WatermarkBox = {1000, 1000, 3000, 2000};
  s().ComputeWatermarkPosition(1000, 500);
  const EdgeValues expected{1500, 1250, 2500, 1750};
  EXPECT_EQ(std::memcmp(&r.WatermarkSettings.WatermarkBox, &expected, sizeof(expected)), 0);

  // A stored box spanning most of 32 bits keeps its centre; one at the edge of 32 bits stays
  // within them.
  const struct {
    EdgeValues stored;
    EdgeValues box;
  } far_boxes[] = {{{-2000000000, -2000000000, 2000000000, 2000000000}, {-500, -250, 500, 250}},
                   {{2147483000, 0, 2147483646, 0}, {2147482823, -250, 2147483647, 250}}};
  for (const auto& c : far_boxes) {
    r.WatermarkSettings.WatermarkBox = c.stored;
    s().ComputeWatermarkPosition(1000, 500);
    const EdgeValues& b = r.WatermarkSettings.WatermarkBox;
    EXPECT_EQ(std::memcmp(&b, &c.box, sizeof(b)), 0) << b.left << "," << b.top << "," << b.right << "," << b.bottom;
  }
}

TEST_F(PageGeometry, WatermarkBoxSize) {
  DriverDevMode& r = record();
  r.WatermarkSettings.WatermarkIndex = -1;  // no bitmap to read: the stored aspect ratio stays
  r.WatermarkSettings.WatermarkPosition = 0;
  r.WatermarkSettings.WatermarkSize = 50;
  const struct {
    const char* name;
    ExtentPair extent;
    int16_t orientation;
    int16_t aspect;
    EdgeValues box;
  } cases[] = {
      {"as wide as the area", {1000, 2000}, 1, 50, {2500, 2500, 7500, 7500}},
      {"narrower than the area", {1000, 2000}, 1, 25, {3750, 2500, 6250, 7500}},
      {"landscape", {2000, 1000}, 2, 25, {3750, 2500, 6250, 7500}},
      {"a long roll", {1000000, 1600000}, 1, 50, {3000, 2500, 7000, 7500}},
      {"an empty area", {0, 2000}, 1, 50, {2500, 2500, 7500, 7500}},
  };
  for (const auto& c : cases) {
    r.OutputExtent = c.extent;
    r.OutputMargins = {};
    r.Public.dmOrientation = c.orientation;
    r.WatermarkSettings.WatermarkAspect = c.aspect;
    s().GetWatermarkRect();
    const EdgeValues& b = r.WatermarkSettings.WatermarkBox;
    EXPECT_EQ(std::memcmp(&b, &c.box, sizeof(b)), 0) << c.name << ": " << b.left << "," << b.top << "," << b.right
                                                      << "," << b.bottom;
  }
}

}  // namespace
}  // namespace kalimu::settings

namespace kalimu::settings {
namespace {

// A bitmap file of `size` bytes: file header, then a core (12-byte) or an information header.
std::vector<uint8_t> BitmapFile(uint32_t header_size, int32_t width, int32_t height, size_t size) {
  std::vector<uint8_t> bytes(size, 0);
  if (size >= 2) bytes[0] = 'B', bytes[1] = 'M';
  const auto put = [&](size_t at, const void* value, size_t n) {
    if (at + n <= bytes.size()) std::memcpy(bytes.data() + at, value, n);
  };
  put(14, &header_size, 4);
  if (header_size == 12) {
    const uint16_t w = static_cast<uint16_t>(width), h = static_cast<uint16_t>(height);
    put(18, &w, 2);
    put(20, &h, 2);
  } else {
    put(18, &width, 4);
    put(22, &height, 4);
  }
  return bytes;
}

class WatermarkAspect : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fixture_.ok()) << fixture_.error(); }
  // Makes watermark entry 0 of the store a bitmap of the given kind and file.
  void UseEntry(int32_t kind, const std::string& path) {
    storage::WatermarkEntry entry{};
    ASSERT_EQ(fixture_.settings().GetEntry(0, &entry, sizeof(entry)), 1);
    entry.kind = kind;
    std::memset(entry.bitmap_path, 0, sizeof(entry.bitmap_path));
    std::memcpy(entry.bitmap_path, path.c_str(), path.size());
    ASSERT_EQ(fixture_.settings().SetEntry(0, &entry, sizeof(entry)), 1);
    fixture_.record().WatermarkSettings.WatermarkIndex = 0;
  }
  SettingsOnPrinter fixture_{testkit::RuleModel()};
};

TEST_F(WatermarkAspect, BitmapFilesOfEveryShape) {
  char folder[MAX_PATH] = {};
  GetTempPathA(sizeof(folder), folder);
  const std::string path = std::string(folder) + "kalimu_wm_aspect.bmp";
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    int16_t aspect;
  } cases[] = {
      {"a core header of 100 x 50 in a 26-byte file", BitmapFile(12, 100, 50, 26), 200},
      {"an information header, bottom-up", BitmapFile(40, 300, 100, 54), 300},
      {"an information header, top-down", BitmapFile(40, 100, -50, 54), 200},
      {"an information header cut short", BitmapFile(40, 300, 100, 30), 0},
      {"a height of 0", BitmapFile(40, 300, 0, 54), 0},
      {"not a bitmap", std::vector<uint8_t>(54, 'x'), 0},
      {"an empty file", {}, 0},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(testkit::WriteBytes(path, c.bytes));
    UseEntry(1, path);
    fixture_.record().WatermarkSettings.WatermarkAspect = 77;
    fixture_.settings().UpdateWatermarkAspectRatio();
    EXPECT_EQ(fixture_.record().WatermarkSettings.WatermarkAspect, c.aspect) << c.name;
  }
  DeleteFileA(path.c_str());
  UseEntry(1, path);  // a file that is gone
  fixture_.settings().UpdateWatermarkAspectRatio();
  EXPECT_EQ(fixture_.record().WatermarkSettings.WatermarkAspect, 0);
  // An entry the store does not hold leaves the ratio alone.
  fixture_.record().WatermarkSettings.WatermarkIndex = 500;
  fixture_.record().WatermarkSettings.WatermarkAspect = 77;
  fixture_.settings().UpdateWatermarkAspectRatio();
  EXPECT_EQ(fixture_.record().WatermarkSettings.WatermarkAspect, 77);
}

TEST_F(WatermarkAspect, BuiltInBitmapsFromTheResourceLibrary) {
  UseEntry(2, "");  // resource 16001: the 200 x 100 core-header stand-in
  fixture_.settings().UpdateWatermarkAspectRatio();
  EXPECT_EQ(fixture_.record().WatermarkSettings.WatermarkAspect, 200);
}

}  // namespace
}  // namespace kalimu::settings
