// The job layout record (CreateStruct type 1) read by offset through Kalimu.dll, against values
// worked out from the layout rules for the inputs each case sets.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "kalimu/driver/render_records_test_support.h"

namespace kalimu::driver::records_test {
namespace {

constexpr DWORD kLayout = 1;
constexpr int32_t kUserPaperId = 768;

// Source indexes of both sample models: sheet feeder (id 7), manual feed (id 4); the roll model
// adds the roll (id 256) at 2.
struct SourceChoice {
  int16_t index;
  int16_t id;
};
constexpr SourceChoice kManualFeed{1, 4};
constexpr SourceChoice kRollSource{2, 256};

enum class Paper { kA4, kCustom, kUser, kRoll };

struct Resolution {
  int32_t x, y;
};

// The printer's record with every input the layout rules read set: mode 0 of the model, a
// colour job, no options, the paper of the case and geometry given in dots.
DriverDevMode JobRecord(const DriverDevMode& base, const testkit::ModelDescription& model, Paper paper,
                        SourceChoice source, Resolution res, bool landscape) {
  DriverDevMode r = base;
  const auto& mode = model.modes[0];
  r.SettingsRecord.ModeId = mode.id;
  r.SettingsRecord.MediaId = static_cast<uint32_t>(mode.media_id);
  r.Public.dmMediaType = static_cast<DWORD>(mode.media_id);
  r.SettingsRecord.ModeVariant = 1;
  r.SettingsRecord.ModeOptions = 0;
  r.SettingsRecord.ModeOptions3 = 0;
  r.Public.dmColor = DMCOLOR_COLOR;
  r.Public.dmDuplex = DMDUP_SIMPLEX;
  r.Public.dmCopies = 3;
  r.Public.dmOrientation = landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  r.DuplexOptions = 0;
  r.PagesPerSheet = 1;
  r.ScalingOptions = r.PaperOptions = r.LayoutOptions = r.CutOptions = r.MarginOptions = r.JobOptions = 0;
  r.DeviceOptions = 0;
  r.PaperFeedIndex = r.PaperFeedAuto = 0;
  r.Public.dmDefaultSource = source.id;
  r.PaperSourceIndex = source.index;
  int16_t id = 9;  // A4, index 0 of the roll model, 1 of the sheet model
  int32_t width = 2976, length = 4209;
  const auto paper_count = static_cast<int16_t>(model.papers.size());
  for (int16_t i = 0; i < paper_count; ++i) {
    const int16_t wanted = paper == Paper::kCustom ? 256 : paper == Paper::kRoll ? 301 : 9;
    if (model.papers[i].id == wanted) {
      r.PaperSizeIndex = i;
      id = wanted;
      width = model.papers[i].width;
      length = model.papers[i].length;
      break;
    }
  }
  if (paper == Paper::kUser) {
    id = kUserPaperId;
    r.PaperSizeIndex = paper_count;
    width = 3000;
    length = 4000;
  }
  if (paper == Paper::kRoll) r.PaperOptions = 8;
  r.Public.dmPaperSize = id;
  r.OutputPaperSize = static_cast<uint16_t>(id);
  r.DeviceResolution = {static_cast<uint32_t>(res.x), static_cast<uint32_t>(res.y)};
  const int32_t w = width * res.x / 360, h = length * res.y / 360;
  r.PaperDotExtent = landscape ? settings::ExtentPair{h, w} : settings::ExtentPair{w, h};
  r.PaperMargins = {40, 50, 60, 70};
  r.MarginAdditions = {4, 5, 6, 7};
  r.MarginBalance = 9;
  return r;
}

class JobLayoutModelTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    model_ = RecordModel(GetParam() ? testkit::RollPaperModel() : testkit::SheetModel());
    printer_ = std::make_unique<RecordsPrinter>(model_);
    ASSERT_TRUE(printer_->ok()) << printer_->error();
    base_ = printer_->Current();
  }
  testkit::RenderClient& client() { return printer_->client(); }

  testkit::ModelDescription model_;
  std::unique_ptr<RecordsPrinter> printer_;
  DriverDevMode base_{};
};

// Every field for both models at three resolutions, portrait and landscape, duplex, poster and
// 2-up, custom, user and roll paper.
TEST_P(JobLayoutModelTest, FieldByField) {
  const bool roll_model = GetParam();
  struct Case {
    const char* name;
    Paper paper;
    bool landscape = false;
    int16_t duplex = DMDUP_SIMPLEX;
    int16_t pages = 1;
  };
  std::vector<Case> cases = {{"A4 portrait", Paper::kA4},
                             {"A4 landscape", Paper::kA4, true},
                             {"duplex", Paper::kA4, false, DMDUP_VERTICAL},
                             {"poster", Paper::kA4, false, DMDUP_SIMPLEX, -1},
                             {"2-up", Paper::kA4, true, DMDUP_SIMPLEX, 2},
                             {"custom", Paper::kCustom},
                             {"user", Paper::kUser, true}};
  if (roll_model) cases.push_back({"roll", Paper::kRoll});
  const auto& mode = model_.modes[0];
  for (const Resolution res : {Resolution{360, 360}, Resolution{720, 720}, Resolution{1440, 720}}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(res.x) + "x" + std::to_string(res.y));
      const SourceChoice source = c.paper == Paper::kRoll ? kRollSource : kManualFeed;
      DriverDevMode r = JobRecord(base_, model_, c.paper, source, res, c.landscape);
      r.Public.dmDuplex = c.duplex;
      r.PagesPerSheet = c.pages;
      Handle handle(client(), printer_->Open(r));
      ASSERT_TRUE(handle);
      Record layout(client(), handle.get(), kLayout);
      ASSERT_TRUE(layout.made());

      const int32_t w = r.PaperDotExtent.width, h = r.PaperDotExtent.height;
      // The roll paper's layout (paper option 8) has edge margins from its margin record
      // {72, 72, 72, 72}; the others have none.
      const bool roll = c.paper == Paper::kRoll;
      const int32_t edge_x = roll ? Dots(144, res.x) : 0;
      const int32_t edge_y = roll ? Dots(144, res.y) : 0;
      const int32_t printable_w = w - (60 - 6) - (40 - 4);
      const int32_t printable_h = h - (70 - 7) - (50 - 5) - edge_y;
      EXPECT_EQ(layout.at<uint16_t>(render::kLayoutVersion), 1);
      EXPECT_EQ(layout.i32(render::kColourKind), 7);
      EXPECT_EQ(layout.i32(render::kModeValueA), mode.groups[0].value0);
      EXPECT_EQ(layout.i32(render::kResX), res.x);
      EXPECT_EQ(layout.i32(render::kResY), res.y);
      EXPECT_EQ(layout.i32(render::kMode36Low), static_cast<int16_t>(mode.value36 & 0xFFFF));
      EXPECT_EQ(layout.i32(render::kMode36High), static_cast<int16_t>(static_cast<uint32_t>(mode.value36) >> 16));
      EXPECT_EQ(layout.i32(render::kWidth), w - edge_x);
      EXPECT_EQ(layout.i32(render::kHeight), h - edge_y);
      EXPECT_EQ(layout.i32(render::kWidthA), printable_w);
      EXPECT_EQ(layout.i32(render::kHeightA), printable_h);
      EXPECT_EQ(layout.i32(render::kWidthB), printable_w);
      EXPECT_EQ(layout.i32(render::kHeightB), printable_h);
      EXPECT_EQ(layout.i32(render::kBalance), 9);
      EXPECT_EQ(layout.i32(render::kTopMargin), 50 - 5);
      EXPECT_EQ(layout.u32(render::kMediaType), static_cast<uint32_t>(mode.media_id));
      EXPECT_EQ(layout.i32(render::kPasses), 1);
      EXPECT_EQ(layout.i32(render::kCopies), 3);
      EXPECT_EQ(layout.u32(render::kPrintFlags), 0u);
      uint32_t options = 0x80000000u;
      if (roll) options |= 0x400;
      if (c.pages < 0) options |= 0x200;
      if (c.duplex != DMDUP_SIMPLEX) options |= 0x5200;  // job flag 4: the caller did not give option 1
      EXPECT_EQ(layout.u32(render::kJobOptionWord), options);
      EXPECT_EQ(layout.i32(render::kZero80), 0);
      EXPECT_EQ(layout.i32(render::kDefaultSource), source.id);
      // A custom or user paper answers by its length: 768 up to 150.0 mm, 256 above.
      int32_t output = r.Public.dmPaperSize;
      if (c.paper == Paper::kCustom || c.paper == Paper::kUser) output = h * 254 / res.y <= 1500 ? 768 : 256;
      EXPECT_EQ(layout.i32(render::kOutputPaper), output);
      EXPECT_EQ(layout.at<uint16_t>(render::kWord92), 0xFFFF);
      EXPECT_EQ(layout.at<int64_t>(render::kZero96), 0);
      EXPECT_EQ(layout.i32(render::kModeValueB), mode.groups[0].value4);
      EXPECT_EQ(layout.ptr(render::kLayoutOffset), nullptr);
      EXPECT_EQ(layout.i32(render::kRollLeft), roll ? 72 : 0);
      EXPECT_EQ(layout.ptr(render::kStatusText), nullptr);
      EXPECT_EQ(layout.ptr(render::kMediaTuning), nullptr);  // tuning flags 0
      EXPECT_EQ(layout.ptr(render::kInkText), nullptr);
      EXPECT_EQ(layout.ptr(render::kPrintableArea), nullptr);
      EXPECT_EQ(layout.i32(render::kPaperPageOption), r.PaperPageOption);
      EXPECT_EQ(layout.ptr(render::kHeadInfo), nullptr);
      EXPECT_EQ(layout.i32(render::kZero176), 0);
      EXPECT_EQ(layout.text(render::kOutputModule), printer_->printer().model_printer().DriverDirectory() + "KVOUT64.DLL");
      EXPECT_EQ(layout.ptr(render::kBrs), nullptr);
    }
  }
}

TEST_P(JobLayoutModelTest, ColourKind) {
  struct Case {
    bool handle_flag;
    int16_t color;
    uint32_t mode_options;
    int32_t kind;
  };
  const Case cases[] = {{true, DMCOLOR_MONOCHROME, 0, 7}, {true, DMCOLOR_COLOR, 0x400, 7},
                        {false, DMCOLOR_COLOR, 0x400, 2}, {false, DMCOLOR_MONOCHROME, 0, 0},
                        {false, DMCOLOR_COLOR, 0, 2}};
  for (const Case& c : cases) {
    DriverDevMode r = JobRecord(base_, model_, Paper::kA4, kManualFeed, {360, 360}, false);
    r.Public.dmColor = c.color;
    r.SettingsRecord.ModeOptions = c.mode_options;
    Handle handle(client(), printer_->Open(r));
    ASSERT_TRUE(handle);
    if (!c.handle_flag) testkit::RenderClient::SetJobFlags(handle.get(), 0);
    Record layout(client(), handle.get(), kLayout);
    ASSERT_TRUE(layout.made());
    EXPECT_EQ(layout.i32(render::kColourKind), c.kind) << c.color << " " << c.mode_options;
    if (c.color == DMCOLOR_MONOCHROME) {
      // A monochrome job reads the variant-0 alternative: mode id 2 (roll), 12 (sheet).
      EXPECT_EQ(layout.i32(render::kModeValueA), model_.modes[1].groups[1].value0);
      EXPECT_EQ(layout.i32(render::kModeValueB), model_.modes[1].groups[1].value4);
    }
  }
}

TEST_P(JobLayoutModelTest, OptionWords) {
  struct Case {
    const char* name;
    void (*set)(DriverDevMode&);
    uint32_t print_flags;
    uint32_t job_options;  // besides 0x80000000
  };
  const Case cases[] = {
      {"mode option 1", [](DriverDevMode& r) { r.SettingsRecord.ModeOptions = 1; }, 0x01, 0},
      {"mode options 2 and 4", [](DriverDevMode& r) { r.SettingsRecord.ModeOptions = 2 | 4; }, 0x06, 0},
      {"mode option 8", [](DriverDevMode& r) { r.SettingsRecord.ModeOptions = 8; }, 0, 0x80},
      {"mode option 0x100", [](DriverDevMode& r) { r.SettingsRecord.ModeOptions = 0x100; }, 0, 0x1000000},
      {"paper option 2", [](DriverDevMode& r) { r.PaperOptions = 2; }, 0, 0x40},
      {"job option 4", [](DriverDevMode& r) { r.JobOptions = 4; }, 0, 0x02},
      {"job option 1", [](DriverDevMode& r) { r.JobOptions = 1; }, 0, 0x04},
      {"device option 1", [](DriverDevMode& r) { r.DeviceOptions = 1; }, 0, 0x08},
      // Margin option 2 marks 0x10, taken back when both printable extents are equal.
      {"margin option 2", [](DriverDevMode& r) { r.MarginOptions = 2; }, 0, 0},
      {"layout option 16", [](DriverDevMode& r) { r.LayoutOptions = 16; }, 0, 0x200},
      {"borderless", [](DriverDevMode& r) { r.PaperOptions = 1; }, 0, 0x01},
      {"borderless, paper option 0x100", [](DriverDevMode& r) { r.PaperOptions = 1 | 0x100; }, 0, 0x201},
      {"borderless, paper options 0x100 and 0x20", [](DriverDevMode& r) { r.PaperOptions = 1 | 0x100 | 0x20; }, 0,
       0x801},
      {"duplex option 4", [](DriverDevMode& r) { r.Public.dmDuplex = DMDUP_HORIZONTAL; r.DuplexOptions = 4; }, 0,
       0x400200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DriverDevMode r = JobRecord(base_, model_, Paper::kA4, kManualFeed, {720, 720}, false);
    c.set(r);
    Handle handle(client(), printer_->Open(r));
    ASSERT_TRUE(handle);
    Record layout(client(), handle.get(), kLayout);
    ASSERT_TRUE(layout.made());
    EXPECT_EQ(layout.u32(render::kPrintFlags), c.print_flags);
    EXPECT_EQ(layout.u32(render::kJobOptionWord), 0x80000000u | c.job_options);
  }
  // Duplex with the caller's option flags: kind 0x01 gives 0x1200 | 0x2000, option 0x04 0xA000.
  struct DuplexCase {
    uint32_t option_flags;
    uint32_t job_options;
  };
  for (const DuplexCase& c : {DuplexCase{0x01, 0x3200}, DuplexCase{0x00, 0x5200}, DuplexCase{0x04, 0xB000},
                              DuplexCase{0x05, 0xB000}}) {
    DriverDevMode r = JobRecord(base_, model_, Paper::kA4, kManualFeed, {720, 720}, false);
    r.Public.dmDuplex = DMDUP_VERTICAL;
    Handle handle(client(), printer_->Open(r, {c.option_flags}));
    ASSERT_TRUE(handle);
    Record layout(client(), handle.get(), kLayout);
    ASSERT_TRUE(layout.made());
    EXPECT_EQ(layout.u32(render::kJobOptionWord), 0x80000000u | c.job_options) << c.option_flags;
  }
}

INSTANTIATE_TEST_SUITE_P(SampleModels, JobLayoutModelTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Roll" : "Sheet"; });

testkit::ModelDescription SheetLayoutModel() {
  testkit::ModelDescription model = RecordModel(testkit::SheetModel());
  model.header.flags20 = 0x4000;  // ink and text block
  model.header.flags40 = 2;       // head information
  model.header.byte78 = 3;
  model.header.flags72 = 0x0F;
  return model;
}

class JobLayoutSheetTest : public SharedPrinterTest<SheetLayoutModel> {
 protected:
  DriverDevMode Job(Paper paper = Paper::kA4, SourceChoice source = kManualFeed, Resolution res = {360, 360}) {
    return JobRecord(base_, printer_->model(), paper, source, res, false);
  }
};

TEST_F(JobLayoutSheetTest, OutputPaperOfACustomOrUserPaper) {
  struct Case {
    const char* name;
    uint16_t output;
    int32_t height_dots;
    uint32_t paper_options;
    int16_t paper_width;  // 0.1 mm
    int32_t id;
  };
  const Case cases[] = {
      {"150.0 mm by integer division", 256, 2126, 0, 0, 768},
      {"2127 dots still 1500 (0.1 mm)", 256, 2127, 0, 0, 768},
      {"2128 dots: 1501", 256, 2128, 0, 0, 256},
      {"user paper counts as custom", 770, 2000, 0, 0, 768},
      {"user paper, long", 770, 5000, 0, 0, 256},
      {"borderless: nearest width, A4", 256, 5000, 1, 2100, 9},
      {"borderless: nearest width, A5", 256, 5000, 1, 1500, 11},
      {"a model paper keeps its id", 8, 2000, 0, 0, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DriverDevMode r = Job(Paper::kCustom);
    r.OutputPaperSize = c.output;
    r.PaperDotExtent.height = c.height_dots;
    r.PaperOptions = c.paper_options;
    r.Public.dmPaperWidth = c.paper_width;
    Handle handle(client(), printer_->Open(r));
    ASSERT_TRUE(handle);
    Record layout(client(), handle.get(), kLayout);
    ASSERT_TRUE(layout.made());
    EXPECT_EQ(layout.i32(render::kOutputPaper), c.id);
  }
}

TEST_F(JobLayoutSheetTest, CustomWidthSnapsOnlyNearAModelPaper) {
  // Layout option 4 (layout flags 0x40): edge margins from the custom paper's record
  // {120, 120, 120, 120}: m = 240 dots at 360 dpi, tolerance 42.
  struct Case {
    int32_t width;
    int32_t expected;
  };
  for (const Case& c : {Case{3216, 3216}, Case{3216 + 42, 3216 + 42}, Case{3216 + 43, 3216 + 43 - 120 - 42},
                        Case{3216 - 43, 3216 - 43 - 120 - 42}, Case{2338, 2338}}) {
    DriverDevMode r = Job(Paper::kCustom);
    r.LayoutOptions = 4;
    r.PaperDotExtent = {c.width, 4000};
    r.PaperMargins = {};
    r.MarginAdditions = {};
    Handle handle(client(), printer_->Open(r));
    ASSERT_TRUE(handle);
    Record layout(client(), handle.get(), kLayout);
    ASSERT_TRUE(layout.made());
    EXPECT_EQ(layout.i32(render::kWidthA), c.expected) << c.width;
    EXPECT_EQ(layout.i32(render::kWidthB), c.expected) << c.width;
    EXPECT_EQ(layout.i32(render::kWidth), c.width - 240);
    EXPECT_EQ(layout.i32(render::kHeightA), 4000 - 240);
    EXPECT_EQ(layout.u32(render::kJobOptionWord), 0x80010010u);
  }
}

TEST_F(JobLayoutSheetTest, SheetEdgeOfLayout0xB80MakesTheHeightGrow) {
  // Paper option 8 with cut options 1 | 2: layout flags 0x80 | 0x100 | 0x200 | 0x800. At 600 dpi
  // the conversion rounds: 142/360 inch is 236.7 dots, 237.
  for (const Resolution res : {Resolution{360, 360}, Resolution{720, 720}, Resolution{1440, 720}, Resolution{600, 600}}) {
    DriverDevMode r = Job(Paper::kA4, kManualFeed, res);
    r.PaperOptions = 8;
    r.CutOptions = 1 | 2;
    r.PaperMargins = {};
    r.MarginAdditions = {};
    Handle handle(client(), printer_->Open(r));
    ASSERT_TRUE(handle);
    Record layout(client(), handle.get(), kLayout);
    ASSERT_TRUE(layout.made());
    const int32_t w = r.PaperDotExtent.width, h = r.PaperDotExtent.height;
    const int32_t edge_y = -Dots(142, res.y);
    const int32_t height = h - edge_y;
    EXPECT_EQ(layout.i32(render::kWidth), w - Dots(240, res.x));
    EXPECT_EQ(layout.i32(render::kHeight), height);
    EXPECT_EQ(layout.i32(render::kHeightA), h - edge_y);
    EXPECT_EQ(layout.i32(render::kHeightB), h - edge_y);
    EXPECT_EQ(layout.i32(render::kRollLeft), 120);
    const uint8_t* offset = layout.ptr(render::kLayoutOffset);
    ASSERT_NE(offset, nullptr);
    EXPECT_EQ(testkit::Field<uint16_t>(offset, 0), 1);
    EXPECT_EQ(testkit::Field<uint16_t>(offset, 2), 2);
    const int32_t top = Dots(120, res.x), bottom = Dots(120, res.x);
    EXPECT_EQ(testkit::Field<int32_t>(offset, 4), top);
    EXPECT_EQ(testkit::Field<int32_t>(offset, 8), height - (bottom - edge_y));
  }
}

TEST_F(JobLayoutSheetTest, MediaTuningBlock) {
  DriverDevMode r = Job();
  auto& s = r.SettingsRecord;
  s.MediaTuning1 = -10;
  s.MediaTuning2 = -3;
  s.MediaTuning3 = 4;
  s.MediaTuning4 = 5;
  s.MediaTuning5 = 6;
  s.MediaTuning6 = 200;
  s.MediaTuning7 = 8;
  s.MediaTuning8 = 9;
  s.MediaTuning9 = 10;
  s.MediaTuning10 = 11;
  for (uint8_t confirmed : {0, 1}) {
    s.MediaTuningFlags = confirmed;
    Handle handle(client(), printer_->Open(r));
    ASSERT_TRUE(handle);
    Record layout(client(), handle.get(), kLayout);
    ASSERT_TRUE(layout.made());
    const uint8_t* tuning = layout.ptr(render::kMediaTuning);
    ASSERT_NE(tuning, nullptr);
    EXPECT_EQ(testkit::Field<uint16_t>(tuning, 0), 1);
    EXPECT_EQ(testkit::Field<uint32_t>(tuning, 4), confirmed ? 0x0Fu : 0x07u);
    EXPECT_EQ(testkit::Field<int32_t>(tuning, 8), 90 * 1024 / 100);
    const std::vector<int> shorts = {testkit::Field<int16_t>(tuning, 12), testkit::Field<int16_t>(tuning, 14),
                                     testkit::Field<int16_t>(tuning, 16), testkit::Field<int16_t>(tuning, 18)};
    EXPECT_EQ(shorts, (std::vector<int>{-3, 4, 5, 6}));
    EXPECT_EQ(testkit::Field<int32_t>(tuning, 20), 200);
    const std::vector<int> rest = {testkit::Field<int16_t>(tuning, 24), testkit::Field<int16_t>(tuning, 26),
                                   testkit::Field<int16_t>(tuning, 28), testkit::Field<int16_t>(tuning, 30)};
    EXPECT_EQ(rest, (std::vector<int>{8, 9, 10, 11}));
  }
}

TEST_F(JobLayoutSheetTest, InkAndTextBlock) {
  DriverDevMode r = Job();
  Handle handle(client(), printer_->Open(r, {0, 0, 0, "job text", ""}));
  ASSERT_TRUE(handle);
  Record layout(client(), handle.get(), kLayout);
  ASSERT_TRUE(layout.made());
  const uint8_t* ink = layout.ptr(render::kInkText);
  ASSERT_NE(ink, nullptr);
  EXPECT_EQ(testkit::Field<uint16_t>(ink, 0), 1);
  // The selected ink set 0 of the sheet model ({0x05, 0x02}), both codes in the mask 0x3.
  ASSERT_EQ(testkit::Field<uint32_t>(ink, 16), 2u);
  const uint8_t* codes = testkit::PointerField(ink, 8);
  ASSERT_NE(codes, nullptr);
  EXPECT_EQ(codes[0], 0x05);
  EXPECT_EQ(codes[1], 0x02);
  EXPECT_EQ(testkit::TextField(ink, 24), "job text");
  EXPECT_EQ(testkit::Field<uint32_t>(ink, 32), 8u);
  EXPECT_EQ(testkit::PointerField(ink, 40), nullptr);
  EXPECT_EQ(testkit::Field<uint32_t>(ink, 48), 0u);
}

TEST_F(JobLayoutSheetTest, HeadInformationBlockOfTheStoredValue) {
  struct Case {
    std::vector<uint8_t> stored;  // empty: no stored value
    std::vector<uint8_t> block;
  };
  const Case cases[] = {
      {{3, 1, 2, 3, 4, 5, 6, 7}, {3, 1, 2, 3, 0, 0, 0, 0}},
      {{2, 1, 2, 3, 4, 5, 6, 7}, {0, 0, 0, 0, 0, 0, 0, 0}},
      {{}, {0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    if (c.stored.empty()) printer_->DeletePrinterValue("KVHT_INFO");
    else ASSERT_TRUE(printer_->WritePrinterValue("KVHT_INFO", REG_BINARY, c.stored.data(), 8));
    Handle handle(client(), printer_->Open(Job()));
    ASSERT_TRUE(handle);
    Record layout(client(), handle.get(), kLayout);
    ASSERT_TRUE(layout.made());
    const uint8_t* head = layout.ptr(render::kHeadInfo);
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(testkit::Field<uint16_t>(head, 0), 1);
    const uint8_t* data = testkit::PointerField(head, 8);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::vector<uint8_t>(data, data + 8), c.block);
  }
  printer_->DeletePrinterValue("KVHT_INFO");
}

TEST_F(JobLayoutSheetTest, BrsBlockOnlyForACallerThatAsksForIt) {
  Handle handle(client(), printer_->Open(Job()));
  ASSERT_TRUE(handle);
  {
    Record layout(client(), handle.get(), kLayout);
    ASSERT_TRUE(layout.made());
    EXPECT_EQ(layout.ptr(render::kBrs), nullptr);
    EXPECT_EQ(layout.u32(render::kPrintFlags) & 0x100, 0u);
  }
  // The caller's own block, handed over to the record.
  HGLOBAL own = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 16);
  void* own_block = GlobalLock(own);
  uint8_t* builder = testkit::RenderClient::Builder(handle.get());
  testkit::SetField<void*>(builder, render::kBuilderBrsBlock, own_block);
  testkit::RenderClient::SetBuilderFlags(handle.get(), 0x02);
  {
    Record layout(client(), handle.get(), kLayout);
    ASSERT_TRUE(layout.made());
    const uint32_t flags = testkit::RenderClient::BuilderFlags(handle.get());
    // The mode could be reselected (flag 0x02 kept) or not (0x1000 instead).
    const bool reselected = (flags & 0x02) != 0;
    EXPECT_EQ(flags & 0x1000, reselected ? 0u : 0x1000u);
    EXPECT_EQ(layout.u32(render::kPrintFlags) & 0x100, reselected ? 0x100u : 0u);
    const uint8_t* brs = layout.ptr(render::kBrs);
    if (reselected) {
      ASSERT_NE(brs, nullptr);
      EXPECT_EQ(testkit::Field<uint32_t>(brs, 0), 1u);
      EXPECT_EQ(testkit::TextField(brs, 8), printer_->printer().model_printer().DriverDirectory() + "KVBRS.DLL");
      EXPECT_EQ(testkit::Field<void*>(brs, 16), own_block);
      EXPECT_EQ(flags & 0x40000000u, 0x40000000u);
    } else {
      EXPECT_EQ(brs, nullptr);
    }
    EXPECT_EQ(testkit::Field<void*>(builder, render::kBuilderBrsBlock), nullptr);
  }
  EXPECT_TRUE(testkit::GlobalBlockFreed(own));  // with the record, or after the fill
}

TEST(JobLayoutHeadInfo, CountsPastTheBlockAreRefused) {
  for (uint8_t count : {7, 8, 200}) {
    testkit::ModelDescription model = RecordModel(testkit::SheetModel());
    model.header.flags40 = 2;
    model.header.byte78 = count;
    RecordsPrinter printer(model);
    ASSERT_TRUE(printer.ok()) << printer.error();
    const std::vector<uint8_t> stored = {count, 1, 2, 3, 4, 5, 6, 7};
    ASSERT_TRUE(printer.WritePrinterValue("KVHT_INFO", REG_BINARY, stored.data(), 8));
    Handle handle(printer.client(), printer.Open(printer.Current()));
    ASSERT_TRUE(handle);
    Record layout(printer.client(), handle.get(), kLayout);
    ASSERT_TRUE(layout.made());
    const uint8_t* head = layout.ptr(render::kHeadInfo);
    if (count > 7) {
      EXPECT_EQ(head, nullptr) << int{count};
      continue;
    }
    ASSERT_NE(head, nullptr);
    const uint8_t* data = testkit::PointerField(head, 8);
    EXPECT_EQ(std::vector<uint8_t>(data, data + 8), stored);
  }
}

TEST(JobLayoutMediaTuning, VersionOfTheModel) {
  for (uint8_t version : {2, 3}) {
    RecordVersions versions;
    versions.media_tuning = version;
    testkit::ModelDescription model = RecordModel(testkit::SheetModel(), versions);
    model.header.flags72 = 1;
    RecordsPrinter printer(model);
    ASSERT_TRUE(printer.ok()) << printer.error();
    Handle handle(printer.client(), printer.Open(printer.Current()));
    ASSERT_TRUE(handle);
    Record layout(printer.client(), handle.get(), kLayout);
    ASSERT_TRUE(layout.made());
    const uint8_t* tuning = layout.ptr(render::kMediaTuning);
    if (version == 3) {
      EXPECT_EQ(tuning, nullptr);
    } else {
      ASSERT_NE(tuning, nullptr);
      EXPECT_EQ(testkit::Field<uint16_t>(tuning, 0), 2);
    }
  }
}

}  // namespace
}  // namespace kalimu::driver::records_test

namespace kalimu::driver::records_test {
namespace {

// A large-format model (header word 28 bit 0x200) with roll margins (word 24 bit 4): the roll
// paper names margin record 2 {72, 72, 72, 72} for its own feed and record 1
// {108, 108, 108, 198} as its roll margins (paper value 44).
TEST(JobLayoutLargeFormat, RollLayoutsAndPrintableArea) {
  testkit::ModelDescription model = RecordModel(testkit::RollPaperModel());
  model.header.flags28 = 0x200;
  model.header.flags24 = 4;
  model.papers[4].margin_index[8] = 1;  // value 44
  for (auto& media : model.media) media.flags8 = 0;
  RecordsPrinter printer(model);
  ASSERT_TRUE(printer.ok()) << printer.error();
  struct Case {
    uint16_t feed_auto;  // 0: layout flags 0x40, 1: 0x4040
    int32_t width, height, height_a, width_a_area, left_shift;
  };
  // At 720 dpi: edge margins of 144/360 inch are 288 dots; the roll trim of layout 0x40 takes
  // the top and bottom of both records, 288/360 inch (576 dots).
  const Case cases[] = {{0, 17280 - 288, 20000 - 288, 20000 - 576, 17280 + 144, 72},
                        {1, 17280 - 288, 20000, 20000, 17280, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.feed_auto);
    DriverDevMode r = JobRecord(printer.Current(), model, Paper::kRoll, kRollSource, {720, 720}, false);
    r.PaperFeedAuto = c.feed_auto;
    r.PaperDotExtent = {17280, 20000};
    r.PaperMargins = {};
    r.MarginAdditions = {};
    Handle handle(printer.client(), printer.Open(r));
    ASSERT_TRUE(handle);
    Record layout(printer.client(), handle.get(), kLayout);
    ASSERT_TRUE(layout.made());
    EXPECT_EQ(layout.i32(render::kWidth), c.width);
    EXPECT_EQ(layout.i32(render::kHeight), c.height);
    EXPECT_EQ(layout.i32(render::kWidthA), 17280);
    EXPECT_EQ(layout.i32(render::kHeightA), c.height_a);
    EXPECT_EQ(layout.i32(render::kHeightB), c.height_a);
    EXPECT_EQ(layout.i32(render::kTopMargin), Dots(108, 720));  // top of the roll margins
    EXPECT_EQ(layout.i32(render::kRollLeft), 108);
    EXPECT_EQ(layout.i32(render::kOutputPaper), 301);
    EXPECT_EQ(layout.u32(render::kJobOptionWord), 0x80000400u);
    EXPECT_EQ(layout.ptr(render::kLayoutOffset), nullptr);
    const uint8_t* area = layout.ptr(render::kPrintableArea);
    ASSERT_NE(area, nullptr);
    std::vector<int32_t> values;
    for (size_t at = 4; at < 28; at += 4) values.push_back(testkit::Field<int32_t>(area, at));
    EXPECT_EQ(testkit::Field<uint16_t>(area, 0), 1);
    EXPECT_EQ(values, (std::vector<int32_t>{c.width_a_area, c.height_a, c.width_a_area, c.height_a, c.left_shift, 0}));
  }
}

// The roll trim of a large-format model takes the margin record of the job's stored feed beside
// the one paper value 32 names. With margins by feed (header word 20 bit 0x8000) the roll paper
// names record 2 {72, 72, 72, 72} in value 32 and records 3 to 6 in values 34 to 40 for feeds
// 1 to 4.
TEST(JobLayoutLargeFormat, RollTrimTakesTheMarginRecordOfTheStoredFeed) {
  testkit::ModelDescription model = RecordModel(testkit::RollPaperModel());
  model.header.flags28 = 0x200;
  model.header.flags20 = 0x8000;
  model.margins.push_back({0, 10, 0, 20});
  model.margins.push_back({0, 30, 0, 40});
  model.margins.push_back({0, 50, 0, 60});
  model.margins.push_back({0, 70, 0, 80});
  for (int feed = 1; feed <= 4; ++feed) model.papers[4].margin_index[2 + feed] = static_cast<int16_t>(2 + feed);
  for (auto& media : model.media) media.flags8 = 0;
  RecordsPrinter printer(model);
  ASSERT_TRUE(printer.ok()) << printer.error();
  for (const bool fit : {false, true}) {  // layout flags 0x40, and 0x41 with fit-to-page scaling
    for (uint16_t feed = 1; feed <= 4; ++feed) {
      SCOPED_TRACE(std::to_string(feed) + (fit ? " fitted" : ""));
      DriverDevMode r = JobRecord(printer.Current(), model, Paper::kRoll, kRollSource, {720, 720}, false);
      r.PaperFeedIndex = feed;
      if (fit) r.ScalingOptions = 1 | 2;
      r.PaperDotExtent = {17280, 20000};
      r.PaperMargins = {};
      r.MarginAdditions = {};
      Handle handle(printer.client(), printer.Open(r));
      ASSERT_TRUE(handle);
      Record layout(printer.client(), handle.get(), kLayout);
      ASSERT_TRUE(layout.made());
      const model::CapTable2Record& own = model.margins[2 + feed];
      const int32_t trim = Dots(own.top + own.bottom + 72 + 72, 720);
      EXPECT_EQ(layout.i32(render::kHeightA), 20000 - trim);
      EXPECT_EQ(layout.i32(render::kHeightB), 20000 - trim);
    }
  }
}

// Sub-records whose version the model gives as 2 are never made, whatever else asks for them.
TEST(JobLayoutVersions, SubRecordsOnlyOfVersionOne) {
  for (uint8_t version : {1, 2}) {
    SCOPED_TRACE(int{version});
    RecordVersions versions;
    versions.layout_offset = versions.ink_text = versions.head_info = versions.brs = versions.tone = version;
    testkit::ModelDescription model = RecordModel(testkit::SheetModel(), versions);
    model.header.flags20 = 0x4000;
    model.header.flags40 = 2;
    model.header.byte78 = 3;
    model.header.flags24 = 0x8000;
    RecordsPrinter printer(model);
    ASSERT_TRUE(printer.ok()) << printer.error();
    DriverDevMode r = JobRecord(printer.Current(), model, Paper::kA4, kManualFeed, {360, 360}, false);
    r.PaperOptions = 8;
    r.CutOptions = 1 | 2;  // layout flags 0xB80: an offset block
    r.SettingsRecord.ModeVariant = 2;
    Handle handle(printer.client(), printer.Open(r));
    ASSERT_TRUE(handle);
    testkit::RenderClient::SetBuilderFlags(handle.get(), 0x02);
    Record layout(printer.client(), handle.get(), kLayout);
    ASSERT_TRUE(layout.made());
    const bool made = version == 1;
    EXPECT_EQ(layout.ptr(render::kLayoutOffset) != nullptr, made);
    EXPECT_EQ(layout.ptr(render::kInkText) != nullptr, made);
    EXPECT_EQ(layout.ptr(render::kHeadInfo) != nullptr, made);
    if (testkit::RenderClient::BuilderFlags(handle.get()) & 0x02) {
      EXPECT_EQ(layout.ptr(render::kBrs) != nullptr, made);
    }
    Record colour(printer.client(), handle.get(), 0);
    ASSERT_TRUE(colour.made());
    EXPECT_EQ(colour.ptr(render::kTone) != nullptr, made);
  }
}

}  // namespace
}  // namespace kalimu::driver::records_test
