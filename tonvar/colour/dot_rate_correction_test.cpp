// Dot-rate correction: the resources it asks for, the rate table, the factors of both curve
// forms, the dot-table forms and directory, the inverted amount curves, the substitute curve for
// ink 0, and damaged resources refused with 768.
#include "tonvar/colour/dot_rate_correction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "testkit/tonvar/correction_job.h"
#include "testkit/tonvar/correction_resources.h"
#include "tonvar/colour/correction_engine.h"
#include "tonvar/colour/engine_operations.h"
#include "tonvar/common/memory_faults.h"

namespace tonvar::colour {
namespace {

using testkit::BuildDotCurveKind3;
using testkit::BuildDotCurveKind4;
using testkit::BuildRateCurveBlock;
using testkit::BuildRateHeaderBlock;
using testkit::BuildRateList;

constexpr uint32_t kDotsId = 7000;
constexpr uint32_t kCurvesId = 50;

std::vector<uint16_t> Constant(uint16_t v) { return std::vector<uint16_t>(256, v); }

// Dot amounts W(l) = l: one column of weight 1 carries the level.
std::vector<uint8_t> LinearDots(uint16_t levels = 256) {
  testkit::DotCurveKind3Shape shape;
  shape.levels = levels;
  shape.sample_bits = 8;
  shape.shift = 0;
  shape.weights[0] = 1;
  shape.weights[1] = shape.weights[2] = 0;
  shape.sample = [levels](uint32_t l, uint32_t c) {
    return c == 0 ? static_cast<int32_t>(levels == 512 ? l / 2 : l) : 0;
  };
  return BuildDotCurveKind3(shape);
}

std::vector<uint16_t> Segment() { return {0, 0, 100, 256}; }

// Three rate columns (one per dot column of the tables), one set, groups of three.
struct RateSetup {
  std::vector<uint8_t> rates = {10, 20, 30, 10, 20, 30, 10, 20, 30};
  testkit::RateHeaderShape header = [] {
    testkit::RateHeaderShape h;
    h.column_count = 3;
    h.records = {{9, "", {{3, {0}}, {5, {1}}}}};
    h.micro = {{"OTHER", 0xFF}, {"MIC", 0x00}};
    return h;
  }();
  std::vector<uint8_t> dots = LinearDots();
  // Ink 3: factor 1.0 everywhere; ink 5: factor 0.5.
  std::vector<uint8_t> curves = BuildRateCurveBlock(
      0, 3, {{3, {Constant(128), Constant(128), Constant(128)}}, {5, {Constant(0), Constant(0), Constant(0)}}});
};

class DotRateTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(CmColorDelete(&handle_.engine), kStatusOk);
    EXPECT_EQ(common::faults::LiveBlocks(), 0);
  }

  EngineStatus Run(const RateSetup& s, uint32_t bits_per_dot = 2, testkit::CorrectionJobShape shape = {}) {
    CmColorDelete(&handle_.engine);
    handle_ = {};
    shape.bits_per_dot = bits_per_dot;
    job_ = testkit::CorrectionJob(shape);
    rates_ = BuildRateList(s.rates);
    options_ = testkit::OptionList();
    options_.Add(kOptionRateList, rates_.data());
    job_.params.options = options_.Get();
    job_.resources[kRateHeaderId] = BuildRateHeaderBlock(s.header);
    job_.resources[kDotsId] = s.dots;
    job_.resources[kCurvesId] = s.curves;
    return job_.Run(&handle_);
  }
  const LutDescriptor* Lut() { return static_cast<const LutDescriptor*>(CmColorGetLut(handle_.engine)); }
  const InkCurveSet& Curves() { return *Lut()->ink_curves; }

  common::faults::ScopedReset reset_;
  testkit::ColourJob job_;
  std::vector<uint8_t> rates_;
  testkit::OptionList options_;
  CmHandle handle_{};
};

TEST_F(DotRateTest, BuildsOneCurvePerListedInkFromTheThreeResources) {
  ASSERT_EQ(Run({}), kStatusOk);
  EXPECT_EQ(job_.asked, (std::vector<uint32_t>{0, 3100, kRateHeaderId, kDotsId, kCurvesId}));
  EXPECT_EQ(static_cast<CmColorEngine*>(handle_.engine)->correction, nullptr);  // deleted when done
  EXPECT_EQ(Lut()->ink_curves_valid, 1u);
  const InkCurveSet& set = Curves();
  ASSERT_EQ(set.count, 2);
  EXPECT_EQ(set.fraction_bits, 8);
  EXPECT_EQ(set.ink_ids[0], 3);
  EXPECT_EQ(set.ink_ids[1], 5);
  for (uint32_t l : {0u, 1u, 77u, 254u}) {
    EXPECT_EQ(set.curves[0][l], l * 256) << l;   // factor 1: the identity
    EXPECT_EQ(set.curves[1][l], l * 128) << l;   // factor 0.5: half the level, with fractions
  }
  EXPECT_EQ(set.curves[0][255], 0xFF00u);  // no level above the top
}

TEST_F(DotRateTest, CurvesWithoutTheirWorkMemoryEndTheCorrection) {
  ASSERT_EQ(Run({}), kStatusOk);
  // The work memory of the curves is the run's last allocation.
  const int allocations = common::faults::Calls(common::faults::MemOp::kAlloc);
  CmColorDelete(&handle_.engine);
  common::faults::Reset();
  common::faults::FailNth(common::faults::MemOp::kAlloc, allocations);
  EXPECT_EQ(Run({}), kStatusBadResource);
  EXPECT_EQ(static_cast<CmColorEngine*>(handle_.engine)->correction, nullptr);
  EXPECT_EQ(Lut()->ink_curves_valid, 0u);
}

TEST_F(DotRateTest, ARowWithoutTheBlocksIdsIsRefused) {
  testkit::CorrectionJobShape shape;
  shape.smb_id = -1;
  EXPECT_EQ(Run({}, 2, shape), kStatusBadResource);
  shape = {};
  shape.correction_offset = -1;
  EXPECT_EQ(Run({}, 2, shape), kStatusBadResource);
  EXPECT_EQ(job_.asked, (std::vector<uint32_t>{0, 3100, kRateHeaderId}));
  EXPECT_EQ(Lut()->ink_curves_valid, 0u);
}

TEST_F(DotRateTest, RateTableTakesSetColumnAndSlotAverages) {
  auto state = std::make_unique<DotRateCorrection>();
  state->group_size = 8;
  state->set_count = 1;
  state->column_count = 1;
  state->rate_count = 8;
  for (uint8_t i = 0; i < 8; ++i) state->rates[i] = static_cast<uint8_t>(i + 6);  // slot 4: 10, slot 7: 13
  state->ink_count = 1;
  state->slots_per_ink = 2;
  state->slots[0][0] = 4;
  state->slots[0][1] = 7;
  ASSERT_EQ(BuildRateTable(state.get()), 0u);
  EXPECT_EQ(state->rate_table[0][0][0], 12);

  // A = 3, B = 2, C = 2: rate (c, b, a) at (2c + b) * 3 + a.
  *state = DotRateCorrection{};
  state->group_size = 3;
  state->set_count = 2;
  state->column_count = 2;
  state->rate_count = 12;
  for (uint8_t i = 0; i < 12; ++i) state->rates[i] = i;
  state->ink_count = 1;
  state->slots_per_ink = 1;
  state->slots[0][0] = 2;
  state->bits_per_dot = 2;
  ASSERT_EQ(BuildRateTable(state.get()), 0u);
  EXPECT_EQ(state->rate_table[1][0][0], 5);
  EXPECT_EQ(state->rate_table[1][0][1], 11);
  state->bits_per_dot = 1;
  state->selected_column = 1;
  ASSERT_EQ(BuildRateTable(state.get()), 0u);
  EXPECT_EQ(state->rate_table[1][0][0], 11);  // a 1-bit job takes column t everywhere
  EXPECT_EQ(state->rate_table[0][0][0], 8);
  state->selected_column = 2;
  EXPECT_EQ(BuildRateTable(state.get()), 1u);
  state->rate_count = 11;
  EXPECT_EQ(BuildRateTable(state.get()), 1u);
}

TEST_F(DotRateTest, SegmentFactorsAreClampedToTheirRange) {
  struct Case {
    uint8_t rate;
    double factor;
  } cases[] = {{50, 1.0}, {0, 0.5}, {100, 1.49609375}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.rate));
    RateSetup s;
    s.rates = {c.rate, 1, 1, c.rate, 1, 1, c.rate, 1, 1};
    s.header.records = {{9, "IS9", {{3, {0}}}}};
    s.curves = BuildRateCurveBlock(1, 3, {{3, {Segment(), Segment(), Segment()}}});
    ASSERT_EQ(Run(s), kStatusOk);
    for (uint32_t l : {2u, 100u, 160u}) {
      const double x = l * c.factor;
      const uint32_t expected = x >= 255 ? 0xFF00u : static_cast<uint32_t>(std::floor(x * 256 + 0.5));
      EXPECT_EQ(Curves().curves[0][l], expected) << l;
    }
  }
}

TEST_F(DotRateTest, OneBitJobsTakeTheSelectedColumn) {
  RateSetup s;
  s.header.group_size = 1;
  s.header.records = {{9, "", {{3, {0}}}}};
  s.header.micro = {{"MIC", 0x10}};  // set 0, column 1
  s.rates = {0, 50, 0};
  s.curves = BuildRateCurveBlock(1, 3, {{3, {Segment(), Segment(), Segment()}}});
  // Column 0 alone has dots: its rate decides the curve.
  ASSERT_EQ(Run(s, 2), kStatusOk);
  EXPECT_EQ(Curves().curves[0][100], 100u * 128);
  ASSERT_EQ(Run(s, 1), kStatusOk);
  EXPECT_EQ(Curves().curves[0][100], 100u * 256);
  s.header.micro = {{"MIC", 0x30}};
  EXPECT_EQ(Run(s, 1), kStatusBadResource);
}

TEST_F(DotRateTest, NoCorrectionForThePrinterOrTheInkSet) {
  struct Case {
    const char* name;
    std::vector<testkit::InkSlotRecord> records;
    std::vector<testkit::MicroEntry> micro;
  } cases[] = {
      {"Micro name mapped to none", {{9, "", {{3, {0}}}}}, {{"MIC", 0xFF}}},
      {"record for another ink set", {{3, "", {{3, {0}}}}}, {{"MIC", 0}}},
      {"record for another ink_set name", {{9, "OTHER", {{3, {0}}}}}, {{"MIC", 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RateSetup s;
    s.header.records = c.records;
    s.header.micro = c.micro;
    ASSERT_EQ(Run(s), kStatusOk);
    EXPECT_EQ(job_.asked, (std::vector<uint32_t>{0, 3100, kRateHeaderId}));
    EXPECT_EQ(Lut()->ink_curves_valid, 0u);
  }
}

TEST_F(DotRateTest, DotTablesOfEveryFormAndLevelCount) {
  testkit::DotCurveKind4Shape four;
  four.levels = 512;
  four.table_weights[0] = 1;
  four.table_weights[1] = four.table_weights[2] = 0;
  four.entries = {{0, 1, true, {}}, {3, 1, true, {}}, {5, -1, true, {}}};
  four.sample = [](uint32_t l, uint32_t c) { return c == 0 ? static_cast<int32_t>(l / 2) : 0; };
  four.entries[2].sample = [](uint32_t l, uint32_t c) { return c == 0 ? static_cast<int32_t>(l) : 0; };
  const std::vector<uint8_t> blocks[] = {LinearDots(256), LinearDots(512), BuildDotCurveKind4(four)};
  for (const auto& block : blocks) {
    auto set = std::make_unique<DotTableSet>();
    ASSERT_EQ(ReadDotTableBlock(set.get(), {block.data(), block.size()}), kStatusOk);
    ASSERT_TRUE(HalveDotTableLevels(set.get(), 256));
    const RateDotTable* ink3 = FindDotTable(set.get(), InkSlotOf(3));
    ASSERT_NE(ink3, nullptr);
    EXPECT_EQ(ink3->levels, 256u);
    EXPECT_EQ(ink3->weights[0], 1u);
    EXPECT_EQ(ink3->values[100][0], 100u);  // a 512-level table keeps its even levels
    if (&block == &blocks[2]) {
      EXPECT_EQ(set->table_count, 2u);
      EXPECT_EQ(FindDotTable(set.get(), 0), ink3);
      EXPECT_EQ(FindDotTable(set.get(), 4), ink3);   // through the closing entry
      EXPECT_EQ(FindDotTable(set.get(), 5)->values[100][0], 200u);
      EXPECT_EQ(FindDotTable(set.get(), InkSlotOf(13)), ink3);
    }
  }
  // The headerless form and format 2 with its two tables.
  std::vector<uint8_t> headerless(768, 0);
  headerless[3] = 20;
  auto set = std::make_unique<DotTableSet>();
  ASSERT_EQ(ReadDotTableBlock(set.get(), {headerless.data(), headerless.size()}), kStatusOk);
  EXPECT_EQ(FindDotTable(set.get(), 7)->values[1][0], 20u);
  std::vector<uint8_t> two(32 + 256 * 3 + 256 * 2, 0);
  const uint8_t sig[4] = {0xFB, 0x69, 0xF7, 0xDC};
  std::copy(sig, sig + 4, two.begin() + 4);
  two[8] = 2;
  two[16] = 3;     // table 1: three columns
  two[17] = 2;     // table 0: two
  two[19] = 1;     // 256 levels
  two[20] = two[21] = 1;
  two[32 + 3 * 7] = 70;             // table 1, level 7, column 0
  two[32 + 768 + 2 * 7 + 1] = 71;   // table 0, level 7, column 1
  ASSERT_EQ(ReadDotTableBlock(set.get(), {two.data(), two.size()}), kStatusOk);
  EXPECT_EQ(FindDotTable(set.get(), 0)->values[7][1], 71u);
  EXPECT_EQ(FindDotTable(set.get(), 6)->values[7][0], 70u);
}

TEST_F(DotRateTest, AFlatAmountCurveMapsToTheTop) {
  RateSetup s;
  testkit::DotCurveKind3Shape shape;
  shape.levels = 256;
  shape.sample_bits = 8;
  shape.shift = 0;
  shape.weights[1] = shape.weights[2] = 0;
  shape.weights[0] = 1;
  shape.sample = [](uint32_t l, uint32_t c) { return c == 0 ? static_cast<int32_t>(l < 100 ? l : 100) : 0; };
  s.dots = BuildDotCurveKind3(shape);
  ASSERT_EQ(Run(s), kStatusOk);
  EXPECT_EQ(Curves().curves[0][99], 99u * 256);
  EXPECT_EQ(Curves().curves[0][100], 0xFF00u);
  EXPECT_EQ(Curves().curves[0][200], 0xFF00u);
}

TEST_F(DotRateTest, InkTwelveLendsItsCurveToInkZero) {
  RateSetup s;
  s.header.records = {{9, "", {{12, {0}}, {3, {1}}}}};
  const std::vector<uint16_t> half = Constant(0), one = Constant(128);
  s.curves = BuildRateCurveBlock(0, 3, {{3, {half, half, half}}, {12, {one, one, one}}});
  ASSERT_EQ(Run(s), kStatusOk);
  ASSERT_EQ(Curves().count, 3);
  EXPECT_EQ(Curves().ink_ids[2], 0);
  EXPECT_EQ(Curves().curves[2][40], 40u * 256);

  // Ink 0 with a curve of its own: nothing is added.
  s.header.records = {{9, "", {{12, {0}}, {0, {1}}}}};
  s.curves = BuildRateCurveBlock(0, 3, {{0, {half, half, half}}, {12, {one, one, one}}});
  ASSERT_EQ(Run(s), kStatusOk);
  EXPECT_EQ(Curves().count, 2);

  // A full set has no room for the copy.
  s.header.group_size = 12;
  s.rates = std::vector<uint8_t>(36, 1);
  s.header.records = {{9, "", {}}};
  std::vector<testkit::RateCurveShape> curves;
  for (uint8_t i = 0; i < 12; ++i) {
    s.header.records[0].inks.push_back({static_cast<uint8_t>(i + 1), {i}});
    curves.push_back({static_cast<uint16_t>(i + 1), {one, one, one}});
  }
  s.curves = BuildRateCurveBlock(0, 3, curves);
  EXPECT_EQ(Run(s), kStatusBadResource);
  EXPECT_EQ(Lut()->ink_curves->count, 12);
}

TEST_F(DotRateTest, DamagedResourcesAreRefused) {
  auto patch = [](std::vector<uint8_t> bytes, size_t at, std::vector<uint8_t> with) {
    std::copy(with.begin(), with.end(), bytes.begin() + static_cast<ptrdiff_t>(at));
    return bytes;
  };
  const RateSetup good;
  const std::vector<uint8_t> header = BuildRateHeaderBlock(good.header);
  testkit::RateHeaderShape slot_beyond_group = good.header;
  slot_beyond_group.records[0].inks[1].slots = {3};  // A is 3
  // A second shape record after the ink slots: A = 1, B = 3, C = 3 keeps the nine rates, but
  // slot 1 (and the second ink) no longer fit the group.
  std::vector<uint8_t> group_shrunk_later = header;
  group_shrunk_later.insert(group_shrunk_later.end() - 3, {7, 0, 0, 1, 1, 3, 3});
  ++group_shrunk_later[10];
  testkit::DotCurveKind4Shape four;
  four.entries = {{0, -1, true, {}}, {5, -1, true, {}}};
  const std::vector<uint8_t> directory = BuildDotCurveKind4(four);
  const std::vector<uint16_t> one = Constant(128);
  std::vector<testkit::RateCurveShape> thirteen(13, {3, {one, one, one}});
  struct Case {
    const char* name;
    uint32_t id;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"header magic", kRateHeaderId, patch(header, 0, {'H', 'L', '<', 'd'})},
      {"header version 2", kRateHeaderId, patch(header, 8, {2})},
      {"end record not last", kRateHeaderId, patch(header, 10, {static_cast<uint8_t>(header[10] + 1)})},
      {"group size 13", kRateHeaderId, patch(header, 12 + 3 + 1, {13})},
      {"slot beyond the group", kRateHeaderId, BuildRateHeaderBlock(slot_beyond_group)},
      {"group shrunk after the slots", kRateHeaderId, group_shrunk_later},
      {"record length 0", kRateHeaderId, patch(header, 12, {0, 0})},
      {"dot table of nine columns", kDotsId, patch(good.dots, 16, {9})},
      {"dot table of 1024 levels", kDotsId, patch(good.dots, 18, {0, 4})},
      {"dot table of 300 levels", kDotsId, patch(good.dots, 18, {0x2C, 1})},
      {"dot table cut", kDotsId, std::vector<uint8_t>(good.dots.begin(), good.dots.begin() + 400)},
      {"dot format 5", kDotsId, patch(good.dots, 8, {5})},
      {"17 directory entries", kDotsId, patch(directory, 34, {17})},
      {"more tables than offsets", kDotsId, patch(directory, 32, {3})},
      {"directory table beyond the block", kDotsId, patch(directory, 49, {0xFF, 0xFF, 0, 0})},
      {"rate curve magic", kCurvesId, patch(good.curves, 0, {0})},
      {"13 rate curves", kCurvesId, BuildRateCurveBlock(0, 3, thirteen)},
      {"five columns per curve", kCurvesId, patch(good.curves, 19, {5})},
      {"form 2", kCurvesId, patch(good.curves, 20, {2})},
      {"segment without width", kCurvesId, BuildRateCurveBlock(1, 3, {{3, {{7, 0, 7, 256}, Segment(), Segment()}}})},
      {"curve values past the end", kCurvesId, std::vector<uint8_t>(good.curves.begin(), good.curves.end() - 2)},
      {"more dot columns than curve columns", kCurvesId, BuildRateCurveBlock(0, 1, {{3, {one}}})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(Run(good), kStatusOk);
    CmColorDelete(&handle_.engine);
    handle_ = {};
    job_.resources[c.id] = c.bytes;
    EXPECT_EQ(job_.Run(&handle_), kStatusBadResource);
    EXPECT_EQ(static_cast<CmColorEngine*>(handle_.engine)->correction, nullptr);
    EXPECT_EQ(Lut()->ink_curves_valid, 0u);
  }
}

}  // namespace
}  // namespace tonvar::colour
