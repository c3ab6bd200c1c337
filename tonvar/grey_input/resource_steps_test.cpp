// Resource steps 0 and 1 of the grey-input engine: dot curves, level tables and screens.
#include <gtest/gtest.h>

#include <cstring>

#include "tonvar/grey_input/test_engine.h"

namespace tonvar::grey_input {
namespace {

namespace faults = common::faults;
using testkit::BuildGreyDotCurveKind3;
using testkit::BuildGreyDotCurveKind4;
using testkit::BuildGreyScreen;

TEST_F(GreyEngineTest, Kind3TrailerFollowsTheSampleSize) {
  for (int16_t bits : {8, 16}) {
    faults::ScopedReset each;
    testkit::GreyDotCurveKind3Shape shape;
    shape.sample_bits = bits;
    shape.trailer[0] = 11;
    shape.trailer[1] = -12;
    shape.trailer[2] = 13;
    shape.sample = [](uint32_t row, uint32_t size) { return int32_t(row % 200) / (size + 1); };
    const std::vector<uint8_t> block = BuildGreyDotCurveKind3(shape);
    const size_t trailer = bits == 8 ? 1572 : 3108;
    ASSERT_EQ(block.size(), trailer + 6);
    ASSERT_EQ(Create(GreyJob(2)), kStatusOk);
    ASSERT_EQ(Feed(block), kStatusOk);
    for (int g = 0; g < kInks; ++g) {
      EXPECT_EQ(Engine().group_trailer[g][0], 11);
      EXPECT_EQ(Engine().group_trailer[g][1], -12);  // kept as stored, not divided
      EXPECT_EQ(Engine().group_trailer[g][2], 13);
      EXPECT_EQ(Engine().dot_tables[g][kInteriorTable].row[199][kMedium], 199 / 2);
    }
    EXPECT_EQ(Engine().dot_tables[8][kInteriorTable].row[199][kMedium], 0) << "group 8: kind 4 only";
    EXPECT_EQ(GreyHalftoneDelete(&engine_), kStatusOk);
  }
}

// Level l of a table lies between dot rows l / 128 and l / 128 + 1, is cumulative, and reads
// amounts above 65,280 as 65,280.
TEST_F(GreyEngineTest, LevelTablesInterpolateAndCapTheTopAmount) {
  ASSERT_EQ(Create(GreyJob(2)), kStatusOk);
  ASSERT_EQ(Feed(BuildGreyDotCurveKind3({})), kStatusOk);
  const LevelTable& t = Engine().level_tables[1][kInteriorTable];
  auto dot = [](uint32_t row, uint32_t size) { return testkit::GreyRampDot(row, size); };
  // Entry 128k + j = e[k+1] + (e[k+1] - e[k]) (j - 128) / 128, per size, then cumulative.
  for (uint32_t level : {0u, 1u, 127u, 128u, 25000u, 40000u, 65279u, 65280u}) {
    const uint32_t k = level / 128, j = level % 128;
    int32_t v[3];
    for (uint32_t c = 0; c < 3; ++c) {
      v[c] = dot(k + 1, c) + ((dot(k + 1, c) - dot(k, c)) * (int32_t(j) - 128)) / 128;
    }
    EXPECT_EQ(t.level[level][kAnyDot], uint32_t(v[0] + v[1] + v[2])) << level;
    EXPECT_EQ(t.level[level][kMediumOrLarge], uint32_t(v[1] + v[2])) << level;
    EXPECT_EQ(t.level[level][kLargeDot], uint32_t(v[2])) << level;
  }
  for (uint32_t level : {65281u, 65407u, 65408u, 65535u}) {
    for (int j = 0; j < 3; ++j) EXPECT_EQ(t.level[level][j], t.level[65280][j]) << level;
  }
}

TEST_F(GreyEngineTest, Kind4CurvesPerInkAndTheShiftedInk0) {
  testkit::GreyDotCurveKind4Shape shape;
  for (uint8_t ink : {0, 1, 2, 3, 4, 5, 7, 11, 9, 13}) {
    testkit::GreyDotCurveEntry e{ink};
    e.small_present = ink != 0;
    e.trailer[0] = int16_t(10 * ink + 5);
    e.sample = [ink](uint32_t row, uint32_t size) { return int32_t(row / 4 + ink + 10 * size); };
    shape.entries.push_back(e);
  }
  ASSERT_EQ(Create(GreyJob(2)), kStatusOk);
  ASSERT_EQ(Feed(BuildGreyDotCurveKind4(shape)), kStatusOk);
  const GreyHalftoneEngine& e = Engine();
  EXPECT_EQ(e.ink0_shifted, 1u);
  // Ink 7 feeds group 6, ink 11 group 7, ink 9 (listed after 5) group 5; ink 13 has none.
  EXPECT_EQ(e.dot_tables[6][kInteriorTable].row[40][kLarge], 10 + 7 + 20);
  EXPECT_EQ(e.dot_tables[7][kInteriorTable].row[40][kSmall], 10 + 11);
  EXPECT_EQ(e.dot_tables[5][kInteriorTable].row[40][kSmall], 10 + 9);
  EXPECT_EQ(e.group_trailer[7][0], (10 * 11 + 5) / 10);
  // Ink 0 without small dots: its medium and large columns were the first two slots.
  EXPECT_EQ(e.dot_tables[0][kInteriorTable].row[40][kSmall], 0);
  EXPECT_EQ(e.dot_tables[0][kInteriorTable].row[40][kMedium], 20);
  EXPECT_EQ(e.dot_tables[0][kInteriorTable].row[40][kLarge], 30);
  EXPECT_EQ(e.dot_tables[8][kInteriorTable].row[40][kSmall], 20);
  EXPECT_EQ(e.dot_tables[8][kInteriorTable].row[40][kMedium], 30);
  EXPECT_EQ(e.dot_tables[8][kInteriorTable].row[40][kLarge], 0);
  EXPECT_EQ(e.level_tables[8][kInteriorTable].level[128 * 40][kAnyDot], 50u);
}

TEST_F(GreyEngineTest, RefusedDotCurveBlocks) {
  auto kind4 = [](auto change) {
    testkit::GreyDotCurveKind4Shape shape;
    for (uint8_t ink : {0, 1, 2, 3, 4, 5, 7, 11}) shape.entries.push_back({ink});
    change(shape);
    return BuildGreyDotCurveKind4(shape);
  };
  std::vector<uint8_t> other_kind = BuildGreyDotCurveKind3({});
  other_kind[8] = 5;
  testkit::GreyDotCurveKind3Shape levels, bits, columns, crowded, negative;
  levels.levels = 256;
  bits.sample_bits = 12;
  columns.columns = 4;
  crowded.sample = [](uint32_t row, uint32_t) { return int32_t(row == 300 ? 1361 : 0); };
  negative.sample = [](uint32_t row, uint32_t size) { return row == 9 && size == 1 ? -1 : 0; };
  const struct {
    const char* name;
    std::vector<uint8_t> block;
  } cases[] = {
      {"kind 5", other_kind},
      {"256 levels", BuildGreyDotCurveKind3(levels)},
      {"12-bit samples", BuildGreyDotCurveKind3(bits)},
      {"four columns", BuildGreyDotCurveKind3(columns)},
      {"more than one dot", BuildGreyDotCurveKind3(crowded)},
      {"negative amount", BuildGreyDotCurveKind3(negative)},
      {"ink 11 missing", kind4([](auto& s) { s.entries.pop_back(); })},
      {"ink 1 without small dots", kind4([](auto& s) { s.entries[1].small_present = false; })},
      {"entry of kind 2", kind4([](auto& s) { s.entries[4].kind = 2; })},
      {"short block", std::vector<uint8_t>(other_kind.begin(), other_kind.begin() + 100)},
  };
  for (const auto& c : cases) {
    faults::ScopedReset each;
    ASSERT_EQ(Create(GreyJob(2)), kStatusOk);
    EXPECT_EQ(Feed(c.block), kStatusBadResource) << c.name;
    EXPECT_EQ(Engine().step, 1u) << "the step advances before the block is read";
    EXPECT_EQ(GreyHalftoneDelete(&engine_), kStatusOk);
  }
}

TEST_F(GreyEngineTest, ScreenRowsArePairedAndTheLineBuffersSized) {
  testkit::GreyScreenShape screen;
  screen.width = 4;
  screen.height = 4;
  for (int16_t i = 0; i < 16; ++i) screen.samples.push_back(int16_t(100 + i));
  Ready(GreyJob(2, 720, 720, 3, 37), screen);
  const GreyHalftoneEngine& e = Engine();
  const int16_t expected[18] = {100, 104, 101, 105, 102, 106, 103, 107,
                                108, 112, 109, 113, 110, 114, 111, 115, 100, 104};
  for (int i = 0; i < 18; ++i) EXPECT_EQ(e.layout.samples[i], expected[i]) << i;
  EXPECT_EQ(e.layout.ink_phase[1].x, 4);
  EXPECT_EQ(e.layout.ink_phase[1].y, 2);
  EXPECT_EQ(e.buffers[kMatrixBuffer].size, 36u);
  // Mask bytes (37 / 8 + 1 = 5, up to 8), eight rows of 4 x 37 + 4; error rows of
  // 37 + 60 = 97 words, up to 100.
  EXPECT_EQ(e.buffers[kLineBuffer].size, 8u + 8 * 152);
  EXPECT_EQ(e.ink_line[3], reinterpret_cast<uint32_t*>(e.line_mask + 8 + 3 * 152));
  EXPECT_EQ(e.error_rows_size, 16u * 4 * 100);
  EXPECT_EQ(e.error_row_odd[2], e.error_rows_base + 5 * 100 + 30);
  EXPECT_EQ(e.cell_thresholds[0], 356u);
  EXPECT_EQ(e.cell_thresholds[255], 642u * 4);
  EXPECT_EQ(e.vertical_bounds[9], 0x7FFFFFFE);
}

TEST_F(GreyEngineTest, RefusedScreens) {
  auto screen = [](auto change) {
    testkit::GreyScreenShape shape;
    change(shape);
    return BuildGreyScreen(shape);
  };
  std::vector<uint8_t> plain = {'0', '1', '2', '3', 0x02, 0x00, 0x01, 0x00};
  plain.resize(16 + 2 * 0x10002, 0);
  std::vector<uint8_t> plain_large = plain;
  plain_large[6] = 0x03;
  std::vector<uint8_t> neither = plain;
  neither[0] = 'X';
  const struct {
    const char* name;
    std::vector<uint8_t> block;
    EngineStatus status;
  } cases[] = {
      {"layout kind 1", screen([](auto& s) { s.layout_kind = 1; }), kStatusMatrixMagic},
      {"storage form 1", screen([](auto& s) { s.storage = 1; }), kStatusMatrixMagic},
      {"neither form", neither, kStatusMatrixMagic},
      {"\"0123\" for eight inks", plain, kStatusBadResource},
      {"\"0123\" above 0x20002", plain_large, kStatusMatrixCount},
      {"odd height", screen([](auto& s) { s.height = 15; }), kStatusBadResource},
      {"zero width", screen([](auto& s) { s.width = 0; }), kStatusBadResource},
      {"zero height", screen([](auto& s) { s.height = 0; }), kStatusBadResource},
      {"12 wide", screen([](auto& s) { s.width = 12; }), kStatusBadResource},
      {"negative width", screen([](auto& s) { s.width = -16; }), kStatusBadResource},
      {"sample bytes 1 + 0", screen([](auto& s) { s.sample_bytes_a = 1; }), kStatusBadResource},
      {"negative sample", screen([](auto& s) { s.samples = {0, 5, -1}; }), kStatusBadResource},
  };
  for (const auto& c : cases) {
    faults::ScopedReset each;
    ASSERT_EQ(Create(GreyJob(2)), kStatusOk);
    ASSERT_EQ(Feed(BuildGreyDotCurveKind3({})), kStatusOk);
    const int allocations = faults::Calls(faults::MemOp::kAlloc);
    EXPECT_EQ(Feed(c.block), c.status) << c.name;
    if (std::strcmp(c.name, "negative sample") != 0) {
      EXPECT_EQ(faults::Calls(faults::MemOp::kAlloc), allocations) << c.name << ": nothing allocated";
    }
    EXPECT_EQ(Engine().step, 2u);
    EXPECT_EQ(GreyHalftoneDelete(&engine_), kStatusOk);
  }
}

TEST_F(GreyEngineTest, WidthsWhoseBuffersCannotBeHadAreRefused) {
  ASSERT_EQ(Create(GreyJob(2, 720, 720, 3, 0xFFFFFFF0u)), kStatusOk);
  ASSERT_EQ(Feed(BuildGreyDotCurveKind3({})), kStatusOk);
  EXPECT_EQ(Feed(BuildGreyScreen({})), kStatusAllocFailed);
  ASSERT_EQ(GreyHalftoneDelete(&engine_), kStatusOk);
  faults::ScopedReset each;
  ASSERT_EQ(Create(GreyJob(2)), kStatusOk);
  ASSERT_EQ(Feed(BuildGreyDotCurveKind3({})), kStatusOk);
  faults::FailNth(faults::MemOp::kAlloc, 3);  // matrix, line buffer, error rows
  EXPECT_EQ(Feed(BuildGreyScreen({})), kStatusAllocFailed);
  EXPECT_EQ(GreyHalftoneDelete(&engine_), kStatusOk);
}

}  // namespace
}  // namespace tonvar::grey_input
