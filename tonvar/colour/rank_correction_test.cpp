// Rank correction on the colour engine: the resources asked for by reference form, mode and
// mode-table version; the ink map; the binary references; the rows chosen and applied to the
// colour table and the tone table; measured values from dot-curve blocks; damaged resources.
#include "tonvar/colour/rank_correction.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "testkit/tonvar/correction_job.h"
#include "testkit/tonvar/correction_resources.h"
#include "tonvar/colour/engine_operations.h"
#include "tonvar/common/memory_faults.h"

namespace tonvar::colour {
namespace {

using testkit::BuildBinaryReference;
using testkit::BuildCwLists;
using testkit::BuildIcDataBlock;
using testkit::BuildInkMap;
using testkit::BuildRankCurveTable;
using testkit::RankCurveValue;

constexpr uint32_t kRankTableId = 3050;   // id base + correction offset
constexpr uint32_t kHeaderTableId = 3900; // id base + 900
constexpr uint32_t kDotsId = 7000;

// Markup whose only row has the given body; id row 0 holds 30s.
std::vector<uint8_t> Markup(const std::string& row, const std::string& extra = "") {
  return BuildIcDataBlock("<version=\"10_00\"><id_row=3><id=0:30-30-30-30><id=1:30-30-30-30>"
                          "<id=2:30-30-30-30><default_id_step=2><default_id_lowest_value=30>"
                          "<default_rank_upper_limmt=20><default_rank_lower_limmt=0>"
                          "<default_nc_range=3>" + extra +
                          "<mode>h_res mode &\n * " + row + " &\n</mode>");
}

class RankTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(CmColorDelete(&handle_.engine), kStatusOk);
    EXPECT_EQ(common::faults::LiveBlocks(), 0);
  }

  // The job with option 512 (code 1, the given lists), the identity ink map and 30 rank rows.
  void Prepare(std::vector<std::vector<uint8_t>> lists, const testkit::CorrectionJobShape& shape = {}) {
    CmColorDelete(&handle_.engine);
    handle_ = {};
    spec_ = shape;
    job_ = testkit::CorrectionJob(shape);
    lists_ = BuildCwLists(1, lists);
    options_ = testkit::OptionList();
    options_.Add(kOptionCwLists, lists_.data());
    job_.params.options = options_.Get();
    job_.resources[kInkMapId] = BuildInkMap({});
    job_.resources[kRankTableId] = BuildRankCurveTable(30);
  }
  EngineStatus Run() { return job_.Run(&handle_); }
  const LutDescriptor* Lut() { return static_cast<const LutDescriptor*>(CmColorGetLut(handle_.engine)); }
  std::vector<uint8_t> Ramp() { return testkit::RampBody(testkit::CorrectionTableShape(spec_)); }
  // The colour table's channel c went through rank row `row`.
  void ExpectChannelRow(uint32_t c, uint32_t row) {
    const std::vector<uint8_t> ramp = Ramp();
    const uint32_t ch = spec_.channels;
    for (size_t e = 0; e < ramp.size() / ch; e += 7) {
      ASSERT_EQ(Lut()->body[e * ch + c], RankCurveValue(row, ramp[e * ch + c])) << "entry " << e;
    }
  }
  void ExpectUnchanged() {
    const std::vector<uint8_t> ramp = Ramp();
    EXPECT_EQ(std::memcmp(Lut()->body, ramp.data(), ramp.size()), 0);
  }

  common::faults::ScopedReset reset_;
  testkit::CorrectionJobShape spec_;
  testkit::ColourJob job_;
  std::vector<uint8_t> lists_;
  testkit::OptionList options_;
  CmHandle handle_{};
};

TEST_F(RankTest, ResourcesFollowTheReferenceFormModeAndVersion) {
  testkit::ModeTableShape header;
  header.version = 300;
  testkit::ModeRowShape row;
  row.table_id = 4321;
  row.mode = "MONO";  // the header table is matched in mode 0
  header.rows = {row};
  struct Case {
    const char* name;
    int version;
    std::vector<uint8_t> reference;
    EngineStatus status;
    std::vector<uint32_t> asked;
  } cases[] = {
      {"binary, version 501", 501, BuildBinaryReference(5, {30, 30, 30, 30}), kStatusOk,
       {0, 3100, 980, 990, kRankTableId}},
      {"binary, version 300", 300, BuildBinaryReference(5, {30, 30, 30, 30}), kStatusOk,
       {0, 3100, 980, 990, kHeaderTableId, 4321}},
      {"single markup", 501, Markup("single n 1"), kStatusOk, {0, 3100, 980, 990, kRankTableId}},
      {"single markup, version 300", 300, Markup("single n 1"), kStatusOk,
       {0, 3100, 980, 990, kHeaderTableId, 4321}},
      {"dual markup", 501, Markup("dual n 1 n 2 n 3"), kStatusOk, {0, 3100, 980, 990, kDotsId, kRankTableId}},
      {"smbrate markup", 501, Markup("smbrate n 1 100 100 100"), kStatusOk,
       {0, 3100, 980, 990, kDotsId, kRankTableId}},
      {"dual markup, version 300", 300, Markup("dual n 1 n 2 n 3"), kStatusBadResource, {0, 3100, 980, 990}},
      {"dual markup, a row without a dot-curve id", 501, Markup("dual n 1 n 2 n 3"), kStatusBadResource,
       {0, 3100, 980, 990}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testkit::CorrectionJobShape shape;
    shape.version = c.version;
    if (std::strstr(c.name, "without a dot-curve id") != nullptr) shape.smb_id = -1;
    Prepare({{34, 30, 30, 30}, {30, 30, 30, 30}, {30, 30, 30, 30}}, shape);
    job_.resources[kReferenceBlockId] = c.reference;
    job_.resources[kHeaderTableId] = testkit::TextBytes(testkit::BuildModeTable(header));
    job_.resources[4321] = BuildRankCurveTable(30);
    job_.resources[kDotsId] = testkit::BuildDotCurveKind3({});
    EXPECT_EQ(Run(), c.status);
    EXPECT_EQ(job_.asked, c.asked);
    if (c.status == kStatusOk) {
      EXPECT_EQ(static_cast<CmColorEngine*>(handle_.engine)->correction, nullptr);
      ExpectChannelRow(1, 10);  // (30 - 30 - 30 + 50) / 2 = 10 wherever the values are 30
    }
  }
}

TEST_F(RankTest, SingleModeRowsAreClampedAndCloseValuesCorrectNothing) {
  struct Case {
    const char* name;
    uint8_t b0;
    std::vector<uint8_t> values;
    std::vector<uint32_t> rows;  // per channel; empty: unchanged
  } cases[] = {
      {"differences 4 and 0", 5, {34, 30, 30, 30}, {12, 10, 10, 10}},
      {"difference -30 takes the lower limit", 5, {0, 30, 30, 30}, {0, 10, 10, 10}},
      {"a row above the upper limit takes it", 5, {127, 30, 30, 30}, {20, 10, 10, 10}},
      {"every difference below the range", 5, {32, 28, 30, 31}, {}},
      {"b0 2: step 1, lowest 32, upper 36", 2, {32, 30, 30, 33}, {20, 18, 18, 21}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Prepare({c.values});
    job_.resources[kRankTableId] = BuildRankCurveTable(40);
    job_.resources[kReferenceBlockId] = BuildBinaryReference(c.b0, {30, 30, 30, 30});
    ASSERT_EQ(Run(), kStatusOk);
    if (c.rows.empty()) {
      ExpectUnchanged();
    } else {
      for (uint32_t ch = 0; ch < 4; ++ch) ExpectChannelRow(ch, c.rows[ch]);
    }
  }
}

TEST_F(RankTest, InkMapSendsAValueToItsChannel) {
  Prepare({{34, 30, 30, 30}});
  job_.resources[kInkMapId] = BuildInkMap({{3, {2, 0, 1}}, {1, {1, 0}}, {7, {9}}});
  job_.resources[kReferenceBlockId] = BuildBinaryReference(5, {30, 30, 30, 30});
  ASSERT_EQ(Run(), kStatusOk);
  ExpectChannelRow(1, 12);
  ExpectChannelRow(0, 10);
}

TEST_F(RankTest, InkMapAndReferenceBlockStart) {
  auto engine = std::make_unique<CmColorEngine>();
  auto lut = std::make_unique<LutDescriptor>();
  auto state = std::make_unique<RankCorrection>();
  engine->lut = lut.get();
  state->engine = engine.get();
  state->lut = lut.get();
  state->lists.code = 5;
  state->lists.values_per_list = 2;
  state->lists.list_count = 1;
  auto map = [&](std::vector<uint8_t> bytes) { return ReadInkMap(state.get(), {bytes.data(), bytes.size()}); };
  EXPECT_EQ(map({0xFF}), kStatusOk);
  EXPECT_EQ(state->map[5], 5);
  EXPECT_EQ(map({3, 2, 0, 1, 0xFE, 5, 1, 0, 0xFE, 0xFF}), kStatusOk);
  EXPECT_EQ(state->map[0], 1);
  EXPECT_EQ(state->map[1], 0);
  EXPECT_EQ(state->map[2], 2);
  EXPECT_EQ(map({5, 1, 2, 0xFE, 0xFF}), kStatusBadResource);   // a channel the lists do not have
  EXPECT_EQ(map({5, 1, 0, 0xFE}), kStatusBadResource);        // no end
  std::vector<uint8_t> long_group = {4};
  long_group.insert(long_group.end(), 21, 0);
  long_group.insert(long_group.end(), {0xFE, 0xFF});
  EXPECT_EQ(map(long_group), kStatusBadResource);

  lut->channel_count = 4;
  auto start = [&](std::vector<uint8_t> bytes) {
    return ReadRankBlockStart(state.get(), {bytes.data(), bytes.size()});
  };
  ASSERT_EQ(start({2, 40, 41, 42, 43}), kStatusOk);
  EXPECT_EQ(state->references.values[0][0], 40);
  EXPECT_EQ(state->references.values[0][3], 43);
  EXPECT_EQ(state->id_step, 1);
  EXPECT_EQ(state->lowest, 32);
  EXPECT_EQ(state->upper, 36);
  ASSERT_EQ(start({45, 46, 47, 48}), kStatusOk);
  EXPECT_EQ(state->references.values[0][0], 45);
  EXPECT_EQ(state->references.values[0][3], 48);
  EXPECT_EQ(state->id_step, 2);
  EXPECT_EQ(state->nc_range, 3);
  EXPECT_EQ(state->lowest, 30);
  EXPECT_EQ(state->upper, 20);
  EXPECT_EQ(state->references.count, 4u);
  lut->channel_count = 8;
  ASSERT_EQ(start({45, 46, 47, 48, 49, 50, 51, 52}), kStatusOk);
  EXPECT_EQ(state->references.count, 7u);
  for (uint8_t b0 : {10, 29, 71, 121}) {
    EXPECT_EQ(start({b0, 'z', 'z', 'z', '<'}), kStatusBadResource) << int{b0};
  }
}

TEST_F(RankTest, ReferencesThatDoNotFitTheListsSkipTheCorrection) {
  testkit::CorrectionJobShape shape;
  shape.channels = 8;
  Prepare({{40, 40, 40, 40, 40, 40}}, shape);
  job_.resources[kReferenceBlockId] = BuildBinaryReference(5, {30, 30, 30, 30, 30, 30, 30, 30});
  ASSERT_EQ(Run(), kStatusOk);
  EXPECT_EQ(job_.asked, (std::vector<uint32_t>{0, 3100, 980, 990}));
  ExpectUnchanged();
}

TEST_F(RankTest, DualAndSmbrateRanksFollowTheMeasuredValues) {
  // Column 0 only below level 256 of 512, column 1 only above: M is V0 below, V1 above.
  testkit::DotCurveKind3Shape dots;
  dots.sample = [](uint32_t l, uint32_t c) { return (c == 0) == (l < 256) && c < 2 ? 100 : 0; };
  Prepare({{30, 30, 30, 30}, {50, 50, 50, 50}, {30, 30, 30, 30}});
  job_.resources[kReferenceBlockId] = Markup("dual n 1 n 2 n 3");
  job_.resources[kDotsId] = testkit::BuildDotCurveKind3(dots);
  ASSERT_EQ(Run(), kStatusOk);
  const std::vector<uint8_t> ramp = Ramp();
  for (size_t e = 0; e < ramp.size() / 4; ++e) {
    const uint8_t v = ramp[e * 4 + 2];
    // Level l of the 256 takes level 2l + 1 of the block: below 128 column 0 (M = 30 -> row 10),
    // from 128 column 1 (M = 50 -> row 20).
    const uint32_t row = v < 128 ? 10 : 20;
    ASSERT_EQ(Lut()->body[e * 4 + 2], RankCurveValue(row, v)) << v;
  }

  // smbrate with no dots at all: M = V0 - R0 + 50 within lowest + lower .. lowest + upper.
  dots.sample = [](uint32_t, uint32_t) { return 0; };
  Prepare({{34, 30, 30, 90}});
  job_.resources[kReferenceBlockId] = Markup("smbrate n 1 100 100 100", "<default_rank_upper_limmt=40>");
  job_.resources[kDotsId] = testkit::BuildDotCurveKind3(dots);
  ASSERT_EQ(Run(), kStatusOk);
  ExpectChannelRow(0, 12);   // M = 54: (54 - 30) / 2
  ExpectChannelRow(1, 10);   // M = 50
  ExpectChannelRow(3, 20);   // M = 110, held at 30 + 40: (70 - 30) / 2
}

TEST_F(RankTest, MeasuredValuesWithoutTheirWorkAreaEndTheCorrection) {
  Prepare({{34, 30, 30, 30}, {30, 30, 30, 30}, {30, 30, 30, 30}});
  job_.resources[kReferenceBlockId] = Markup("dual n 1 n 2 n 3");
  job_.resources[kDotsId] = testkit::BuildDotCurveKind3({});
  ASSERT_EQ(Run(), kStatusOk);
  // The work area of the measured values is the run's last allocation.
  const int allocations = common::faults::Calls(common::faults::MemOp::kAlloc);
  for (auto [op, expected] : {std::pair{common::faults::MemOp::kAlloc, kStatusAllocFailed},
                              std::pair{common::faults::MemOp::kLock, kStatusLockFailed}}) {
    CmColorDelete(&handle_.engine);
    handle_ = {};
    common::faults::Reset();
    common::faults::FailNth(op, allocations);
    EXPECT_EQ(Run(), expected);
    EXPECT_EQ(static_cast<CmColorEngine*>(handle_.engine)->correction, nullptr);
    ExpectUnchanged();
  }
}

TEST(RankToneTableTest, ToneValuesFollowTheRemapWithTheirFraction) {
  auto tone = std::make_unique<ToneTable>();
  uint16_t values[4] = {16 * 10, 16 * 10 + 8, 16 * 255, 16 * 255 + 9};
  tone->values = values;
  tone->point_count = 2;
  tone->channel_count = 2;
  tone->tone_mode = 0;
  std::vector<uint8_t> remap(2 * 256);
  for (int c = 0; c < 2; ++c) {
    for (int l = 0; l < 256; ++l) remap[c * 256 + l] = static_cast<uint8_t>(l < 255 ? l * 2 % 256 : 200);
  }
  RemapToneTable(tone.get(), remap.data(), 1);
  EXPECT_EQ(values[0], 20 * 16);          // on a level
  EXPECT_EQ(values[1], 16 * 10 + 8);      // channel 1 is past the count
  EXPECT_EQ(values[2], 200 * 16);         // the top takes remap[255]
  RemapToneTable(tone.get(), remap.data(), 2);
  EXPECT_EQ(values[1], 20 * 16 + 2 * 8);  // between levels 10 and 11
  EXPECT_EQ(values[3], 200 * 16);
  tone->tone_mode = 1;
  values[0] = 7;
  RemapToneTable(tone.get(), remap.data(), 1);
  EXPECT_EQ(values[0], 14);
}

// A negative lower limit lets a rank fall below row 0, which no curve table holds, also one
// handed over without a length.
TEST_F(RankTest, ARowBelowZeroIsRefusedInATableWithoutALength) {
  Prepare({{0, 30, 30, 30}});
  job_.resources[kReferenceBlockId] = Markup("single n 1", "<default_rank_lower_limmt=-5>");
  job_.bounded = false;
  EXPECT_EQ(Run(), kStatusBadResource);
  ExpectUnchanged();
}

TEST_F(RankTest, DamagedResourcesAreRefused) {
  auto patch = [](std::vector<uint8_t> bytes, size_t at, std::vector<uint8_t> with) {
    std::copy(with.begin(), with.end(), bytes.begin() + static_cast<ptrdiff_t>(at));
    return bytes;
  };
  testkit::DotCurveKind4Shape four;
  four.entries = testkit::DotCurveEntriesFor(9);
  const std::vector<uint8_t> kind4 = testkit::BuildDotCurveKind4(four);
  const std::vector<uint8_t> kind3 = testkit::BuildDotCurveKind3({});
  struct Case {
    const char* name;
    std::vector<uint8_t> reference;
    uint32_t id;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"a reference block of neither form", {15, 1, 2, 3, 4}, 0, {}},
      {"markup without an id step",
       BuildIcDataBlock("<id_row=1><id=0:30-30-30-30><mode>mode&single n 1&</mode>"), 0, {}},
      {"markup that does not read", BuildIcDataBlock("<mode>mode&single n 1&</mod"), 0, {}},
      {"more channel pairs than values", Markup("single n 1", "<color_cnv=9::0:1:2:3:0>"), 0, {}},
      {"a rank row past the curve table", BuildBinaryReference(5, {30, 30, 30, 30}), kRankTableId,
       BuildRankCurveTable(12)},
      {"ink map byte equal to n", BuildBinaryReference(5, {30, 30, 30, 30}), kInkMapId, {1, 4, 0xFE, 0xFF}},
      {"dot block signature", Markup("dual n 1 n 2 n 3"), kDotsId, patch(kind3, 4, {0})},
      {"dot block format 2", Markup("dual n 1 n 2 n 3"), kDotsId, patch(kind3, 8, {2})},
      {"dot block of two columns", Markup("dual n 1 n 2 n 3"), kDotsId, patch(kind3, 16, {2})},
      {"dot block of 8-bit samples", Markup("dual n 1 n 2 n 3"), kDotsId, patch(kind3, 20, {8})},
      {"dot block size too small", Markup("dual n 1 n 2 n 3"), kDotsId, patch(kind3, 0, {0x20, 0x0C, 0, 0})},
      {"dot block of 300 levels", Markup("dual n 1 n 2 n 3"), kDotsId, patch(kind3, 18, {0x2C, 1})},
      {"kind-4 block of 8-bit samples", Markup("dual n 1 n 2 n 3"), kDotsId, patch(kind4, 20, {8})},
      {"kind-4 table past the end", Markup("dual n 1 n 2 n 3"), kDotsId, patch(kind4, 57, {0, 0, 0, 0x7F})},
      {"kind-4 block without entries", Markup("dual n 1 n 2 n 3"), kDotsId, patch(kind4, 34, {0})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Prepare({{34, 30, 30, 30}, {30, 30, 30, 30}, {30, 30, 30, 30}});
    job_.resources[kReferenceBlockId] = c.reference;
    job_.resources[kDotsId] = kind4;
    if (c.id != 0) job_.resources[c.id] = c.bytes;
    EXPECT_EQ(Run(), kStatusBadResource);
    EXPECT_EQ(static_cast<CmColorEngine*>(handle_.engine)->correction, nullptr);
    ExpectUnchanged();
  }
}

}  // namespace
}  // namespace tonvar::colour
