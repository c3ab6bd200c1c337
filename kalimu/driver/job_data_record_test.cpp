// DRVUIGetJobDataEx2 through Kalimu.dll: margins, print length, edge adjustments and codes in
// dots, worked out from the rules for the inputs each case sets; the caller's bytes that are
// not the record's stay as they were.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "kalimu/driver/render_records_test_support.h"
#include "testkit/kalimu/rule_models.h"
#include "testkit/windows/guard_page.h"

namespace kalimu::driver::records_test {
namespace {

constexpr uint8_t kCallerByte = 0xC7;
constexpr settings::EdgeValues kMargins{10, 20, 30, 40};  // margin record 1 of the test models

struct JobData {
  std::array<int32_t, 4> margins;
  int32_t length;
  std::array<int32_t, 4> edges;
  int32_t handling;
  int32_t flag;
  uint16_t paper;
};

// The call on a record that the caller filled with its own bytes; nullopt-like: answered false
// when the record kept its bytes.
struct Answer {
  bool written = false;
  JobData data{};
  bool callers_kept = true;
};

Answer Ask(testkit::RenderClient& client, const DriverDevMode& record, const char* printer, int32_t version = 1) {
  std::vector<uint8_t> info(render::kDataBytes, kCallerByte);
  testkit::SetField<int32_t>(info.data(), render::kDataVersion, version);
  const std::vector<uint8_t> before = info;
  // The caller's record is read-only: a write into it faults.
  const testkit::GuardedBytes caller(sizeof(record), &record, true);
  EXPECT_EQ(client.GetJobDataEx2(caller.as<DEVMODEW>(), info.data(), printer), 1u);
  Answer answer;
  answer.written = info != before;
  for (size_t i = 20; i < 280; ++i) answer.callers_kept &= info[i] == kCallerByte;
  for (int i = 0; i < 4; ++i) {
    answer.data.margins[i] = testkit::Field<int32_t>(info.data(), render::kDataMargins + 4 * i);
    answer.data.edges[i] = testkit::Field<int32_t>(info.data(), render::kDataEdges + 4 * i);
  }
  answer.data.length = testkit::Field<int32_t>(info.data(), render::kDataLength);
  answer.data.handling = testkit::Field<int32_t>(info.data(), render::kDataHandling);
  answer.data.flag = testkit::Field<int32_t>(info.data(), render::kDataFlag);
  answer.data.paper = testkit::Field<uint16_t>(info.data(), render::kDataPaper);
  return answer;
}

// The sheet model with margin record 1 = {10, 20, 30, 40} and the A4 paper's value 42 (the width
// the source limit is compared with) the paper's own width, inside the manual feed's limit.
constexpr int32_t kA4Width = 2976;
testkit::ModelDescription SheetJobModel() {
  testkit::ModelDescription m = RecordModel(testkit::SheetModel());
  m.margins[1] = {kMargins.left, kMargins.top, kMargins.right, kMargins.bottom};
  m.papers[0].kind = 3;  // A5
  m.papers[1].kind = 0;  // A4
  m.papers[1].margin_index[7] = kA4Width;
  return m;
}

DriverDevMode SheetJob(const DriverDevMode& base, int32_t x, int32_t y) {
  DriverDevMode r = base;
  r.Public.dmPaperSize = 9;
  r.PaperSizeIndex = 1;
  r.OutputPaperSize = 9;
  r.Public.dmDefaultSource = 4;
  r.PaperSourceIndex = 1;
  r.Public.dmOrientation = DMORIENT_PORTRAIT;
  r.Public.dmDuplex = DMDUP_SIMPLEX;
  r.PagesPerSheet = 1;
  r.DuplexOptions = 0;
  r.ScalingOptions = r.PaperOptions = r.LayoutOptions = r.MarginOptions = r.JobOptions = r.CutOptions = 0;
  r.SettingsRecord.ModeOptions = 0;
  r.PaperFeedAuto = 0;
  r.PaperFeedIndex = 0;
  r.DeviceResolution = {static_cast<uint32_t>(x), static_cast<uint32_t>(y)};
  r.PaperDotExtent = {2976 * x / 360, 4209 * y / 360};
  r.PaperMargins = {};
  r.MarginAdditions = {};
  return r;
}

class JobDataSheetTest : public SharedPrinterTest<SheetJobModel> {
 protected:
  Answer Call(const DriverDevMode& r, int32_t version = 1) { return Ask(printer_->client(), r, printer_->name(), version); }
};

TEST_F(JobDataSheetTest, RefusedRequestsLeaveTheRecordAlone) {
  const DriverDevMode good = SheetJob(base_, 720, 360);
  EXPECT_TRUE(Call(good).written);
  EXPECT_FALSE(Call(good, 2).written);
  EXPECT_FALSE(Call(good, 0).written);
  EXPECT_FALSE(Ask(printer_->client(), good, "No Such Printer").written);
  for (const settings::ResolutionPair zero : {settings::ResolutionPair{0, 360}, settings::ResolutionPair{720, 0}}) {
    DriverDevMode r = good;
    r.DeviceResolution = zero;
    EXPECT_FALSE(Call(r).written) << zero.x << "x" << zero.y;
  }
  EXPECT_EQ(printer_->client().GetJobDataEx2(nullptr, nullptr, printer_->name()), 1u);
  EXPECT_EQ(printer_->client().GetJobDataEx2(nullptr, nullptr, nullptr), 1u);
}

TEST_F(JobDataSheetTest, MarginsTurnWithOrientationAndPagesPerSheet) {
  // At 720 x 360 dpi: x values double, y values stay.
  struct Case {
    const char* name;
    int16_t orientation;
    int16_t pages;
    uint32_t duplex_options;
    uint32_t layout_options;
    uint32_t mode_options;
    std::array<int32_t, 4> margins;  // l, t, r, b in 1/360 inch after the rules
  };
  const Case cases[] = {
      {"portrait keeps", DMORIENT_PORTRAIT, 1, 0, 0, 0, {10, 20, 30, 40}},
      {"landscape turns", DMORIENT_LANDSCAPE, 1, 0, 0, 0, {20, 30, 40, 10}},
      {"landscape, 2-up keeps", DMORIENT_LANDSCAPE, 2, 0, 0, 0, {10, 20, 30, 40}},
      {"portrait, 2-up turns", DMORIENT_PORTRAIT, 2, 0, 0, 0, {20, 30, 40, 10}},
      {"portrait, duplex option 1 turns", DMORIENT_PORTRAIT, 1, 1, 0, 0, {20, 30, 40, 10}},
      {"rotated by 180", DMORIENT_PORTRAIT, 1, 0, 256, 0, {30, 40, 10, 20}},
      {"rotated twice", DMORIENT_PORTRAIT, 1, 0, 256 | 2048, 0, {10, 20, 30, 40}},
      {"mirrored", DMORIENT_LANDSCAPE, 1, 0, 0, 8, {40, 30, 20, 10}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DriverDevMode r = SheetJob(base_, 720, 360);
    r.Public.dmOrientation = c.orientation;
    r.PagesPerSheet = c.pages;
    r.DuplexOptions = c.duplex_options;
    r.LayoutOptions = c.layout_options;
    r.SettingsRecord.ModeOptions = c.mode_options;
    const Answer answer = Call(r);
    ASSERT_TRUE(answer.written);
    EXPECT_TRUE(answer.callers_kept);
    const std::array<int32_t, 4> dots = {c.margins[0] * 2, c.margins[1], c.margins[2] * 2, c.margins[3]};
    EXPECT_EQ(answer.data.margins, dots);
    // Neither borderless nor roll: no length, no edges, code 0.
    EXPECT_EQ(answer.data.length, 0);
    EXPECT_EQ(answer.data.edges, (std::array<int32_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(answer.data.handling, 0);
    EXPECT_EQ(answer.data.flag, 0);
    EXPECT_EQ(answer.data.paper, 9);
  }
}

TEST_F(JobDataSheetTest, BalanceAndSourceLimit) {
  struct Case {
    const char* name;
    int16_t paper;  // 11 A5 (kind 3), 9 A4
    uint32_t margin_options;
    uint32_t job_options;
    std::array<int32_t, 4> margins;  // 1/360 inch, at 360 dpi
  };
  const Case cases[] = {
      {"balance", 9, 1, 0, {30, 40, 30, 40}},
      {"balance of kind 3: bottom at least 42", 11, 1, 0, {30, 20, 30, 42}},
      {"balance, second record kept vertically", 9, 1 | 2, 0, {30, 40, 30, 40}},
      // Job option 0x200 takes the limit from the LFP block, which the sheet model lacks (0):
      // the right margin takes the width past it.
      {"source limit", 9, 0, 0x200, {10, 20, kA4Width - 10, 40}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DriverDevMode r = SheetJob(base_, 360, 360);
    r.Public.dmPaperSize = c.paper;
    r.PaperSizeIndex = c.paper == 11 ? 0 : 1;
    r.MarginOptions = c.margin_options;
    r.JobOptions = c.job_options;
    const Answer answer = Call(r);
    ASSERT_TRUE(answer.written);
    EXPECT_EQ(answer.data.margins, c.margins);
  }
}

TEST_F(JobDataSheetTest, BorderlessAndRollLengths) {
  // 720 dpi both ways; A4 of 5952 x 8418 dots; the output paper's margin record {10,20,30,40}.
  constexpr int32_t kRes = 720;
  const int32_t w = 2976 * 2, h = 4209 * 2;
  const int32_t fw = w * 360 / kRes, fh = h * 360 / kRes;
  const int32_t nl = -10 * kRes / 360, nt = -20 * kRes / 360, nr = -30 * kRes / 360, nb = -40 * kRes / 360;
  const int32_t n = -((10 + 30) / 2) * kRes / 360;
  struct Case {
    const char* name;
    int16_t orientation;
    uint32_t paper_options;
    uint32_t layout_options;
    uint16_t feed_auto;
    JobData data;
  };
  const Case cases[] = {
      {"roll option, portrait", DMORIENT_PORTRAIT, 8, 0, 0,
       {{0, 0, 0, 0}, kRes * fw / 360 + nr + nl, {n, 0, n, 0}, 0, 1, 9}},
      {"roll option, landscape", DMORIENT_LANDSCAPE, 8, 0, 0,
       {{0, 0, 0, 0}, kRes * fh / 360 + nb + nt, {0, n, 0, n}, 0, 1, 9}},
      {"roll option, automatic feed", DMORIENT_PORTRAIT, 8, 0, 1,
       {{0, 20 * 2, 0, 40 * 2}, kRes * fw / 360 - (10 + 30) * kRes / 360, {n, 0, n, 0}, 0, 1, 9}},
      {"layout option 4", DMORIENT_PORTRAIT, 0, 4, 0,
       {{0, 0, 0, 0}, kRes * fw / 360 + nr + nl, {n, 0, n, 0}, 0, 1, 9}},
      {"borderless both ways", DMORIENT_PORTRAIT, 1 | 0x100, 0, 0,
       {{10 * 2, 0, 30 * 2, 0}, kRes * fw / 360, {0, 0, 0, 0}, 2, 1, 9}},
      {"borderless one way only", DMORIENT_PORTRAIT, 1, 0, 0,
       {{10 * 2, 20 * 2, 30 * 2, 40 * 2}, 0, {0, 0, 0, 0}, 2, 1, 9}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DriverDevMode r = SheetJob(base_, kRes, kRes);
    r.Public.dmOrientation = c.orientation;
    r.PaperOptions = c.paper_options;
    r.LayoutOptions = c.layout_options;
    r.PaperFeedAuto = c.feed_auto;
    const Answer answer = Call(r);
    ASSERT_TRUE(answer.written);
    // Landscape without 2-up turns the margins; all of them are 0 here or the case says so.
    EXPECT_EQ(answer.data.margins, c.data.margins);
    EXPECT_EQ(answer.data.length, c.data.length);
    EXPECT_EQ(answer.data.edges, c.data.edges);
    EXPECT_EQ(answer.data.handling, c.data.handling);
    EXPECT_EQ(answer.data.flag, c.data.flag);
    EXPECT_EQ(answer.data.paper, c.data.paper);
  }
}

TEST(JobDataMissingPaper, NoPaperToReadMarginsFromGivesZeroMargins) {
  testkit::ModelDescription model = SheetJobModel();
  model.papers.pop_back();  // no custom-size entry
  RecordsPrinter printer(model);
  ASSERT_TRUE(printer.ok()) << printer.error();
  DriverDevMode r = SheetJob(printer.Current(), 360, 360);
  r.Public.dmPaperSize = 77;
  r.OutputPaperSize = 77;
  const Answer answer = Ask(printer.client(), r, printer.name());
  ASSERT_TRUE(answer.written);
  EXPECT_EQ(answer.data.margins, (std::array<int32_t, 4>{0, 0, 0, 0}));
  EXPECT_EQ(answer.data.paper, 77);
}

// The roll model with the roll at index 2 as source 258 and the LFP roll (257) copying its
// second record (source flag 0x80000) with a width limit of 1000/360 inch; margin record 2 of
// the roll paper {71, 72, 73, 74}.
TEST(JobDataRoll, RollRecordAndRollFit) {
  testkit::ModelDescription model = RecordModel(testkit::RollPaperModel());
  model.margins[1] = {kMargins.left, kMargins.top, kMargins.right, kMargins.bottom};
  model.margins[2] = {71, 72, 73, 74};
  model.sources[2].id = 258;
  model.sources[3].flags8 |= 0x80000;
  model.sources[3].max_width = 1000;
  RecordsPrinter printer(model);
  ASSERT_TRUE(printer.ok()) << printer.error();
  const DriverDevMode base = printer.Current();
  auto job = [&](int16_t source_index, int16_t source_id, int32_t res) {
    DriverDevMode r = SheetJob(base, res, res);
    r.PaperSizeIndex = 0;  // A4 is the roll model's first paper
    r.OutputPaperSize = 301;
    r.Public.dmDefaultSource = source_id;
    r.PaperSourceIndex = source_index;
    return r;
  };
  {
    SCOPED_TRACE("source 258 without automatic feed: top and bottom of the roll paper's record");
    const Answer answer = Ask(printer.client(), job(2, 258, 360), printer.name());
    ASSERT_TRUE(answer.written);
    EXPECT_EQ(answer.data.margins, (std::array<int32_t, 4>{10, 72, 30, 74}));
    EXPECT_EQ(answer.data.paper, 301);
  }
  {
    SCOPED_TRACE("source 258 with automatic feed: the paper's own record");
    DriverDevMode r = job(2, 258, 360);
    r.PaperFeedAuto = 1;
    const Answer answer = Ask(printer.client(), r, printer.name());
    ASSERT_TRUE(answer.written);
    EXPECT_EQ(answer.data.margins, (std::array<int32_t, 4>{10, 20, 30, 40}));
  }
  struct FitCase {
    const char* name;
    int16_t orientation;
    int32_t height;  // dots at 720 dpi
    int32_t length;
    std::array<int32_t, 4> edges;
  };
  // Roll fit at 720 dpi: v = 1000/360 inch = 2000 dots; the paper's length compared in dots.
  const FitCase fits[] = {
      {"portrait, paper longer than the limit", DMORIENT_PORTRAIT, 8418, 5952, {0, 0, 0, 0}},
      {"portrait, paper shorter", DMORIENT_PORTRAIT, 1000, 5952, {0, 1000, 0, 0}},
      {"landscape, paper longer", DMORIENT_LANDSCAPE, 8418, 8418, {0, 0, 0, 0}},
      {"landscape, paper shorter", DMORIENT_LANDSCAPE, 1000, 2000, {1000, 0, 0, 0}},
  };
  for (const FitCase& c : fits) {
    SCOPED_TRACE(c.name);
    DriverDevMode r = job(3, 257, 720);
    r.JobOptions = 0x200;
    r.Public.dmOrientation = c.orientation;
    r.PaperDotExtent.height = c.height;
    const Answer answer = Ask(printer.client(), r, printer.name());
    ASSERT_TRUE(answer.written);
    EXPECT_EQ(answer.data.length, c.length);
    EXPECT_EQ(answer.data.edges, c.edges);
    EXPECT_EQ(answer.data.handling, 2);  // the source's flag 0x80000
  }
}

TEST(JobDataSixteenSources, SourceMaskBitOutsideTheMaskCountsAsClear) {
  testkit::ModelDescription model = RecordModel(testkit::SixteenSourceModel());
  model.margins[1] = {kMargins.left, kMargins.top, kMargins.right, kMargins.bottom};
  model.papers[0].margin_index[7] = 20000;  // A4's width for the limit
  model.sources[15].max_width = 12240;
  RecordsPrinter printer(model);
  ASSERT_TRUE(printer.ok()) << printer.error();
  struct Case {
    int16_t default_source;
    int32_t right;
  };
  // Source 315 is index 15 (bit 30 of the mask); 999 matches none, so the index is the count, 16.
  for (const Case& c : {Case{315, 20000 - 10 - 12240}, Case{999, 30}}) {
    DriverDevMode r = SheetJob(printer.Current(), 360, 360);
    r.PaperSizeIndex = 0;
    r.Public.dmDefaultSource = c.default_source;
    r.PaperSourceIndex = 0;
    const Answer answer = Ask(printer.client(), r, printer.name());
    ASSERT_TRUE(answer.written);
    EXPECT_EQ(answer.data.margins[2], c.right) << c.default_source;
    EXPECT_EQ(answer.data.margins[0], 10) << c.default_source;
  }
}

}  // namespace
}  // namespace kalimu::driver::records_test
