// Monochrome error-diffusion lines: routine choice, spread patterns, error-row carry-over and
// output positions.
#include <gtest/gtest.h>

#include <vector>

#include "testkit/tonvar/screening_job.h"
#include "tonvar/screening/mono_patterns.h"
#include "tonvar/screening/screen_engine.h"

namespace tonvar::screening {
namespace {

using testkit::ScreenJob;
using testkit::ScreenKind;

TEST(MonoLineChoice, RoutinePerBitsBlockModeAndResolution) {
  struct ChoiceCase {
    uint32_t bits, mode;
    int32_t h, v;
    MonoLine line;
  };
  const ChoiceCase cases[] = {
      {1, 0, 1440, 720, MonoLine::k1Bit2x1},  {1, 3, 720, 720, MonoLine::k1Bit},
      {1, 1, 2880, 720, MonoLine::k1Bit},     {2, 1, 720, 1440, MonoLine::k2BitA1x2},
      {2, 1, 720, 720, MonoLine::k2BitA},     {2, 1, 2880, 1440, MonoLine::k2BitA},
      {2, 3, 2880, 1440, MonoLine::k2BitB2880}, {2, 3, 1440, 720, MonoLine::k2BitB2x1},
      {2, 3, 2880, 720, MonoLine::k2BitB4x1}, {2, 3, 720, 720, MonoLine::kNone},
      {2, 3, 2160, 720, MonoLine::kNone},     {2, 2, 1440, 720, MonoLine::kNone},
      {2, 0, 720, 720, MonoLine::kNone},
  };
  for (const ChoiceCase& c : cases) {
    EXPECT_EQ(ChooseMonoLine(c.bits, c.mode, c.h, c.v), c.line)
        << c.bits << " bits, mode " << c.mode << ", " << c.h << " x " << c.v;
  }
}

// An error row with its margins, pixel 0 at index 40.
struct Row {
  explicit Row(uint32_t width) : entries(width + 81, 0) {}
  int32_t& operator[](int64_t x) { return entries[static_cast<size_t>(x + kErrorRowLeft)]; }
  int32_t* zero() { return &entries[kErrorRowLeft]; }
  std::vector<int32_t> entries;
};

TEST(MonoDiffusion, SpreadOfTone1000WithoutADot) {
  // MonoLine1Bit, no dot, c = 0, tone 1000: the N16 pattern.
  Row row(64);
  const int64_t x = 20;
  row[x + 1] = 800;  // the previous row's error for x + 1
  int32_t carry = 0;
  Diffuse(row.zero(), x, 1000, kN16, &carry);
  const int32_t expected[] = {62, 62, 124, 124, 124, 62, 124, 62, 62};  // x - 4 .. x + 4
  for (int k = -4; k <= 4; ++k) EXPECT_EQ(row[x + k], expected[k + 4]) << k;
  EXPECT_EQ(carry, 8 + 800 + 186);
}

TEST(MonoDiffusion, RemainderOfANegativeErrorInTheRem31Patterns) {
  Row row(64);
  const int64_t x = 30;
  row[x + 1] = 5;
  int32_t carry = 0;
  Diffuse(row.zero(), x, -70, kD64, &carry);
  EXPECT_EQ(carry, 26 + 5 - 8);  // q = -2, rem = -70 AND 31 = 26
  int32_t sum = 0;
  for (int64_t k = x - 27; k <= x + 27; ++k) sum += row[k];
  EXPECT_EQ(sum, 60 * -2);
  EXPECT_EQ(row[x + 1], 3 * -2);
}

// A mono engine whose level table, thresholds and matrix the test sets by hand.
struct HandEngine {
  HandEngine(uint32_t bits, uint32_t h, uint32_t v, bool two_sizes = false) : s(ScreenKind::kMono) {
    s.job.bits_per_dot = bits;
    s.job.resolution_x_dpi = h;
    s.job.resolution_y_dpi = v;
    if (two_sizes) s.resources[testkit::kScreenFinalId] = testkit::TwoSizeMainBlock();
    EXPECT_EQ(s.Run(), kStatusOk);
    s.input.assign(2, std::vector<uint8_t>(64, 0));
    s.output.assign(2, std::vector<uint8_t>(32, 0));
  }
  MonoLevel* levels() { return reinterpret_cast<MonoLevel*>(s.engine()->buffers[kBufferLevelTable].data); }
  uint32_t* matrix() { return reinterpret_cast<uint32_t*>(s.engine()->buffers[kBufferMatrix].data); }
  int32_t* row() { return GetErrorRow(s.engine(), 0); }
  ScreenJob s;
};

TEST(MonoLines, ToneZeroNeverDiffuses) {
  // 2-bit members: the carry becomes the previous row's entry and the entry is cleared.
  for (bool two_sizes : {false, true}) {
    HandEngine h(2, two_sizes ? 1440 : 720, 720, two_sizes);
    h.levels()[7] = {-100, 0};
    h.s.input[0].assign(64, 7);
    h.s.engine()->dot_thresholds[7] = 0;
    ASSERT_EQ(h.s.Halftone(0, 64, 1, 0), kStatusOk);
    for (int x = 0; x < 64; ++x) EXPECT_EQ(h.row()[x], 0) << x;
    EXPECT_EQ(h.s.output[0], std::vector<uint8_t>(32, 0));
    // The next row starts from what it finds: an entry of 500 moves into the carry and is gone.
    h.row()[5] = 500;
    ASSERT_EQ(h.s.Halftone(0, 64, 1, 1), kStatusOk);
    EXPECT_EQ(h.row()[5], 0);
  }
}

TEST(MonoLines, OneBitMemberSpreadsTone1000WithN16) {
  // The same spread through the 1-bit line at 720 x 720: one pixel at x = 20, no dot.
  HandEngine h(1, 720, 720);
  h.levels()[5] = {-8388608, 1000};
  h.s.input[0].assign(64, 5);
  h.row()[21] = 800;
  ASSERT_EQ(h.s.Halftone(20, 1, 1, 0), kStatusOk);  // line 0 again: E[21] is carried over
  const int32_t expected[] = {62, 62, 124, 124, 124, 62, 124, 62, 62};  // x = 16 .. 24
  for (int k = 0; k < 9; ++k) EXPECT_EQ(h.row()[16 + k], expected[k]) << 16 + k;
  EXPECT_EQ(h.s.output[0][2] & 0x08, 0);
}

TEST(MonoLines, ZeroShareLevelNeverPrints) {
  HandEngine h(1, 720, 720);
  h.levels()[3] = {-8388608, 65535};
  h.s.input[0].assign(64, 3);
  for (int x = 0; x < 64; ++x) h.row()[x] = 1 << 20;  // a large error waiting everywhere
  ASSERT_EQ(h.s.Halftone(0, 64, 1, 1), kStatusOk);
  EXPECT_EQ(h.s.output[0], std::vector<uint8_t>(32, 0));
}

TEST(MonoLines, ErrorRowBetweenSpansAndLines) {
  HandEngine h(2, 720, 720);
  auto fill = [&](int32_t v) {
    for (int x = -40; x < 65 + 40; ++x) h.row()[x] = v;
  };
  h.s.input[0].assign(64, 128);
  // Same line, spans [0, 40) and [50, 60): E[41] .. E[49] are cleared, E[40] is left as the
  // first span left it.
  ASSERT_EQ(h.s.Halftone(0, 40, 1, 9), kStatusOk);
  const int32_t e40 = h.row()[40];
  for (int x = 41; x < 50; ++x) h.row()[x] = 999;
  h.s.engine()->dot_thresholds[128] = 0;
  h.levels()[128].tone = 0;  // the second span only moves carries: E[x + 1] is cleared
  ASSERT_EQ(h.s.Halftone(50, 10, 1, 9), kStatusOk);
  EXPECT_EQ(h.row()[40], e40);
  for (int x = 41; x < 50; ++x) EXPECT_EQ(h.row()[x], 0) << x;

  // The next line: left of the span and from the previous end on are cleared.
  fill(7);
  ASSERT_EQ(h.s.Halftone(20, 10, 1, 10), kStatusOk);
  for (int x : {0, 19, 60, 64}) EXPECT_EQ(h.row()[x], 0) << x;
  EXPECT_EQ(h.row()[-1], 7);
  EXPECT_EQ(h.row()[65], 7);
  EXPECT_EQ(h.row()[45], 7);  // between the previous span's end and its next line: kept

  // A jump of two lines clears the whole row.
  fill(7);
  ASSERT_EQ(h.s.Halftone(20, 1, 1, 12), kStatusOk);
  for (int x : {0, 19, 22, 40, 64}) EXPECT_EQ(h.row()[x], 0) << x;
  EXPECT_EQ(h.row()[65], 7);
}

TEST(MonoLines, PartialFirstBytes) {
  struct PositionCase {
    uint32_t bits, first_bit;
    uint8_t kept, first_pixel;
  };
  // A full black row: every pixel prints; the first byte keeps the positions before f.
  const PositionCase cases[] = {
      {1, 3, 0xE0, 0x10}, {1, 0, 0x00, 0x80}, {2, 2, 0xF0, 0x0C}, {2, 3, 0xFC, 0x03}, {2, 1, 0xC0, 0x30},
  };
  for (const PositionCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bits << " bits, f = " << c.first_bit);
    HandEngine h(c.bits, 720, 720);
    h.levels()[0] = {1 << 20, 0};   // always a dot
    h.s.engine()->dot_thresholds[0] = 0xFFFFFFFF;  // large dots by the matrix
    h.s.output[0].assign(32, 0xFF);
    ASSERT_EQ(h.s.Halftone(0, 1, 1, 0, c.first_bit), kStatusOk);
    const uint8_t rest = static_cast<uint8_t>(~c.kept & ~c.first_pixel);
    EXPECT_EQ(h.s.output[0][0] & c.kept, c.kept);
    EXPECT_NE(h.s.output[0][0] & c.first_pixel, 0);
    EXPECT_EQ(h.s.output[0][0] & rest, 0);
    EXPECT_EQ(h.s.output[0][1], 0xFF);  // nothing beyond the span's byte
    // Count 0 writes the kept byte alone (nothing at all from the byte's start).
    h.s.output[0].assign(32, 0xFF);
    ASSERT_EQ(h.s.Halftone(0, 0, 1, 0, c.first_bit), kStatusOk);
    EXPECT_EQ(h.s.output[0][0], c.first_bit == 0 ? 0xFF : c.kept);
  }
}

TEST(MonoLines, ReplicationCodes) {
  // Code 1: every byte serves two pixels. Pairs: A1x2 averages two bytes, the others take one.
  HandEngine h(2, 720, 720);
  for (int g = 0; g < 256; ++g) h.levels()[g] = {-100, 0}, h.s.engine()->dot_thresholds[g] = 0;
  h.s.engine()->dot_thresholds[200] = 0xFFFFFFFF;  // grey 200 always prints large
  h.s.input[0].assign(64, 0);
  h.s.input[0][0] = 200;
  h.s.engine()->job.replication = 1;
  ASSERT_EQ(h.s.Halftone(0, 4, 1, 0), kStatusOk);
  EXPECT_EQ(h.s.output[0][0], 0xF0);

  HandEngine tall(2, 720, 1440);
  for (int g = 0; g < 256; ++g) tall.levels()[g] = {-100, 0}, tall.s.engine()->dot_thresholds[g] = 0;
  tall.s.engine()->dot_thresholds[101] = 0xFFFFFFFF;
  tall.s.engine()->job.replication = 0xFFFFFFFF;
  tall.s.input[0] = std::vector<uint8_t>(64, 0);
  tall.s.input[0][2] = 2, tall.s.input[0][3] = 199;  // mean (2 + 199 + 1) >> 1 = 101
  ASSERT_EQ(tall.s.Halftone(0, 4, 1, 0), kStatusOk);
  EXPECT_EQ(tall.s.output[0][0], 0x30);
}

}  // namespace
}  // namespace tonvar::screening
