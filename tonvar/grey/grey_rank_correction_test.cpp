// The grey rank correction: the "CW:" list, rank values, differences, the correction curves
// and the walk over the table.
#include "tonvar/grey/grey_rank_correction.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "testkit/tonvar/correction_resources.h"
#include "testkit/tonvar/grey_engine_fixture.h"
#include "testkit/tonvar/grey_resources.h"

namespace {

using namespace tonvar::grey;
using tonvar::kStatusBadArgument;
using tonvar::kStatusBadResource;
using tonvar::kStatusOk;

TEST(GreyCwList, TwoGroupsOfEightValues) {
  const auto data =
      testkit::BuildCwLists('a', {{1, 2, 3, 4, 5, 6, 7, 0x85}, {8, 7, 6, 5, 4, 3, 2, 1}});
  GreyCwList list{};
  ASSERT_EQ(ParseGreyCwList(data.data(), &list), kStatusOk);
  EXPECT_EQ(list.group_count, 2);
  EXPECT_EQ(list.values_per_group, 8);
  EXPECT_EQ(list.method, 'a');
  EXPECT_EQ(list.groups[0][7], -123);
  EXPECT_EQ(list.groups[1][0], 8);
}

TEST(GreyCwList, AValueOfZeroEndsTheGroupsValues) {
  const auto data = testkit::BuildCwLists('m', {{5, 0, 7}, {6, 0, 9}});
  GreyCwList list{};
  ASSERT_EQ(ParseGreyCwList(data.data(), &list), kStatusOk);
  EXPECT_EQ(list.values_per_group, 1);
  EXPECT_EQ(list.groups[1][0], 6);
}

TEST(GreyCwList, Refusals) {
  const std::vector<uint8_t> eight = {1, 2, 3, 4, 5, 6, 7, 8};
  std::vector<uint8_t> long_group = {'C', 'W', ':', 'a', 1};
  long_group.insert(long_group.end(), 200, 0);  // 129 bytes before any 0xFE
  long_group.insert(long_group.end(), {0xFE, 0xFF});
  const std::vector<std::vector<uint8_t>> refused = {
      testkit::BuildCwLists('a', {eight, {1, 2, 3, 4, 5, 6, 7}}),        // counts differ
      testkit::BuildCwLists('a', {eight, eight, eight, eight, eight}),   // a fifth group
      testkit::BuildCwLists('a', {std::vector<uint8_t>(17, 1)}),         // longer than 20
      {'C', 'W', ':', 'a', 1, 0xFE, 'C', 'W', ':', 'n', 2, 0xFE, 0xFF},  // methods differ
      {'C', 'X', ':', 'a', 1, 0xFE, 0xFF},                               // not "CW:"
      long_group,
  };
  for (size_t i = 0; i < refused.size(); ++i) {
    GreyCwList list{};
    EXPECT_EQ(ParseGreyCwList(refused[i].data(), &list), kStatusBadArgument) << i;
  }
}

GreyMarkup SingleMode(int32_t n, char letter, int32_t row = 1) {
  GreyMarkup m{};
  m.ink_count = n;
  m.mode.kind = kModeSingle;
  m.mode.letters[0] = letter;
  m.mode.rows[0] = row;
  return m;
}

TEST(GreyRankValues, MethodsOfARow) {
  struct Case {
    char letter;
    std::vector<int32_t> row;
    int32_t expected;  // ink 0
  };
  const Case cases[] = {{'a', {10, 20, 30}, 40},
                        {'m', {10, 20, 30}, 40},
                        {'n', {10, 20, 30}, 10},
                        {'a', {10, 20, 31}, 39},
                        {'m', {10, 20, 31}, 40}};
  for (const Case& c : cases) {
    int32_t rows[1][kCwMaxValues] = {};
    for (size_t i = 0; i < c.row.size(); ++i) rows[0][i] = c.row[i];
    RankTriples triples;
    ASSERT_EQ(ComputeGreyRankValues(SingleMode(3, c.letter), rows, 1, &triples), kStatusOk);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(triples.ink[0][k], c.expected) << c.letter;
  }
}

TEST(GreyRankValues, DualTakesOnePairPerDotSize) {
  GreyMarkup m = SingleMode(2, 'n');
  m.mode.kind = kModeDual;
  m.mode.letters[1] = 'm';
  m.mode.rows[1] = 2;
  m.mode.letters[2] = 'a';
  m.mode.rows[2] = 1;
  const int32_t rows[2][kCwMaxValues] = {{10, 30}, {70, 90}};
  RankTriples t;
  ASSERT_EQ(ComputeGreyRankValues(m, rows, 2, &t), kStatusOk);
  EXPECT_EQ(t.ink[1][0], 30);            // n, row 1
  EXPECT_EQ(t.ink[1][1], 90 - 80 + 50);  // m, row 2
  EXPECT_EQ(t.ink[1][2], 30 + 30);       // a, row 1: (100 - 40) / 2
}

TEST(GreyRankValues, Refusals) {
  const int32_t rows[1][kCwMaxValues] = {{0, 100, 100}};
  RankTriples t;
  EXPECT_EQ(ComputeGreyRankValues(SingleMode(3, 'm'), rows, 1, &t),
            kStatusBadResource);  // negative
  EXPECT_EQ(ComputeGreyRankValues(SingleMode(3, 'n', 2), rows, 1, &t), kStatusBadResource);
  EXPECT_EQ(ComputeGreyRankValues(SingleMode(3, 'x'), rows, 1, &t), kStatusBadResource);
  GreyMarkup none = SingleMode(3, 'n');
  none.mode.kind = kModeNone;
  EXPECT_EQ(ComputeGreyRankValues(none, rows, 1, &t), kStatusBadResource);
  EXPECT_EQ(ComputeGreyRankValues(SingleMode(0, 'x'), rows, 1, &t), kStatusOk);  // no inks
}

TEST(GreyRankDifferences, WeightedByTheDotAmounts) {
  RankTriples a{}, b{};
  a.ink[0][0] = 10;
  a.ink[0][1] = 20;
  a.ink[0][2] = 30;
  b.ink[0][0] = 20;
  b.ink[0][1] = 20;
  b.ink[0][2] = 20;
  a.ink[2][0] = a.ink[2][1] = a.ink[2][2] = 50;
  b.ink[2][0] = b.ink[2][1] = b.ink[2][2] = 61;
  const int64_t q[3] = {1, 1, 2};  // D = 4
  // X(A, 0) = (10 + 20 + 60) / 4 = 22; X(B, 0) = 20.
  EXPECT_EQ(GreyRankDifference(0, 0, q, a, b), -2);
  // (X(B, 2) + X(B, 0)) / 2 - (X(A, 2) + X(A, 0)) / 2 = 40 - 36.
  EXPECT_EQ(GreyRankDifference(0, 2, q, a, b), 4);
  const int64_t none[3] = {0, 0, 0};
  EXPECT_EQ(GreyRankDifference(0, 2, none, a, b), 0);
  // With rates: the numerators x rate, x 0.01, truncated, then / D.
  const int32_t rates[3] = {50, 100, 100};
  // A: (10 x 50 + 20 x 100 + 60 x 100) / 100 = 85 -> 21; B: (1000 + 2000 + 4000) / 100 = 70 -> 17.
  EXPECT_EQ(GreyRankDifferenceWithRates(0, 0, q, rates, a, b), -4);
}

TEST(GreyRankDifferences, LargestRanksAndDotAmountsDoNotOverflow) {
  // Markup rank values reach 2^31 - 1; a 16-bit dot amount in sixteenths times a 16-bit weight
  // reaches 2^34.
  RankTriples a{}, b{};
  a.ink[0][0] = a.ink[0][1] = a.ink[0][2] = INT32_MAX;
  const int64_t q[3] = {int64_t{32767} * 16 * 32767, int64_t{32767} * 16 * 32767, 1};
  EXPECT_EQ(GreyRankDifference(0, 0, q, a, b), -INT32_MAX);
  const int32_t rates[3] = {INT32_MAX, INT32_MAX, INT32_MAX};
  // X(A, 0) is the rank times the rate / 100, far beyond 32 bits: the difference saturates.
  EXPECT_EQ(GreyRankDifferenceWithRates(0, 0, q, rates, a, b), INT32_MIN);
  b.ink[0][0] = b.ink[0][1] = b.ink[0][2] = INT32_MAX;
  EXPECT_EQ(GreyRankDifferenceWithRates(0, 0, q, rates, a, b), 0);
}

TEST(GreyCorrectionCurve, Interpolation) {
  const auto block = testkit::GreyCorrectionBlock({100, 200, 300}, {{0, 0, 0}, {1000, 2000, 4000}});
  GreyCorrectionCurves curves{3, block.data() + 6, block.data() + 12, 2};
  uint16_t v = 0;
  ASSERT_EQ(InterpolateGreyCorrectionCurve(curves, 300, 1, &v), kStatusOk);
  EXPECT_EQ(v, 4000);  // the last knot takes the row's last value
  ASSERT_EQ(InterpolateGreyCorrectionCurve(curves, 250, 1, &v), kStatusOk);
  EXPECT_EQ(v, 3000);
  ASSERT_EQ(InterpolateGreyCorrectionCurve(curves, 50, 1, &v), kStatusOk);
  EXPECT_EQ(v, 500);  // below the first knot the first segment goes on
  ASSERT_EQ(InterpolateGreyCorrectionCurve(curves, 0, 1, &v), kStatusOk);
  EXPECT_EQ(v, 0);  // and stops at 0
  EXPECT_EQ(InterpolateGreyCorrectionCurve(curves, 301, 1, &v), kStatusBadResource);
  EXPECT_EQ(InterpolateGreyCorrectionCurve(curves, 150, 2, &v), kStatusBadResource);  // no row 2
  EXPECT_EQ(InterpolateGreyCorrectionCurve(curves, 150, -1, &v), kStatusBadResource);
  const auto flat = testkit::GreyCorrectionBlock({100, 100, 300}, {{1, 2, 3}});
  GreyCorrectionCurves zero_width{3, flat.data() + 6, flat.data() + 12, 1};
  EXPECT_EQ(InterpolateGreyCorrectionCurve(zero_width, 50, 0, &v), kStatusBadResource);
}

// An engine with the ramp table, the default markup, one "CW:" group and flat dot tables whose
// dot amounts are 1 at every level: only the rank values decide.
std::unique_ptr<CmGreyEngine> CorrectionEngine(const std::vector<uint8_t>& cw = {20, 20, 30}) {
  auto engine = testkit::NewGreyEngineState();
  const auto container = testkit::GreyChunkContainer({{"tgvm", testkit::GreyTableChunk({})}});
  EXPECT_EQ(ReadGreyChunks(testkit::Bounded(container), &engine->lut, &engine->has_ink_limit),
            kStatusOk);
  const std::string markup = testkit::GreyIcData({});
  EXPECT_EQ(ReadGreyIcData(testkit::Bounded(markup), engine.get()), kStatusOk);
  const auto list = testkit::BuildCwLists('a', {cw});
  EXPECT_EQ(ParseGreyCwList(list.data(), &engine->cw), kStatusOk);
  for (auto& group : engine->dot_tables.group) {
    for (auto& level : group) level[0] = level[1] = level[2] = 1;
  }
  engine->weights[0] = engine->weights[1] = engine->weights[2] = 1;
  return engine;
}

tonvar::EngineStatus Apply(CmGreyEngine* engine, const std::vector<uint8_t>& block) {
  return ApplyGreyRankCorrection(engine, testkit::Bounded(block));
}

TEST(GreyRankCorrectionWalk, ReplacesTheAmountsOfInksBeyondTheRange) {
  // Ranks: reference 40, 50, 60; client 46, 46, 56. Ink 0 differs by 6 (row (6 + 10) / 5 = 3);
  // inks 1 and 2 by -4, under the range of 5.
  auto engine = CorrectionEngine();
  ASSERT_EQ(Apply(engine.get(), testkit::GreyCorrectionCurves()), kStatusOk);
  const uint16_t* t = engine->lut.table.amounts;
  EXPECT_EQ(t[100 * 8 + 0], 3000 + 20000 / 2);
  EXPECT_EQ(t[200 * 8 + 0], 19384 + (40000 - 32768) * 16384 / 32767);
  EXPECT_EQ(t[100 * 8 + 1], 20010);
  EXPECT_EQ(t[100 * 8 + 2], 20020);
}

TEST(GreyRankCorrectionWalk, DifferenceOneUnderTheRangeChangesNothing) {
  auto engine = CorrectionEngine({17, 20, 30});  // ink 0: 44, 4 above its reference
  ASSERT_EQ(Apply(engine.get(), testkit::GreyCorrectionCurves()), kStatusOk);
  EXPECT_EQ(engine->lut.table.amounts[100 * 8], 20000);
}

TEST(GreyRankCorrectionWalk, NoInksChangeNothing) {
  auto engine = CorrectionEngine();
  engine->markup.ink_count = 0;
  ASSERT_EQ(Apply(engine.get(), testkit::GreyCorrectionCurves()), kStatusOk);
  EXPECT_EQ(engine->lut.table.amounts[100 * 8], 20000);
}

TEST(GreyRankCorrectionWalk, Refusals) {
  const auto curves = testkit::GreyCorrectionCurves();
  {
    // More inks than the table has columns: the walk would run past the table's rows.
    auto engine = CorrectionEngine();
    engine->lut.ink_count = 2;
    EXPECT_EQ(Apply(engine.get(), curves), kStatusBadResource);
  }
  {
    auto engine = CorrectionEngine();
    EXPECT_EQ(Apply(engine.get(), testkit::GreyCorrectionBlock({0}, {{0}})), kStatusBadResource);
  }
  {
    auto engine = CorrectionEngine();
    engine->markup.id_step = 0;
    EXPECT_EQ(Apply(engine.get(), curves), kStatusBadResource);
  }
  {
    auto engine = CorrectionEngine();  // a negative lower limit gives a negative row
    engine->markup.id_lowest_value = -100;
    engine->markup.rank_lower_limit = -100;
    EXPECT_EQ(Apply(engine.get(), curves), kStatusBadResource);
  }
  {
    auto engine = CorrectionEngine();  // rows past the block
    engine->markup.rank_upper_limit = 100;
    engine->markup.id_lowest_value = 50;
    EXPECT_EQ(Apply(engine.get(), curves), kStatusBadResource);
  }
  {
    auto engine = CorrectionEngine();  // amounts above the last knot
    const std::vector<std::vector<uint16_t>> rows(7, {0, 1});
    EXPECT_EQ(Apply(engine.get(), testkit::GreyCorrectionBlock({0, 1000}, rows)),
              kStatusBadResource);
  }
}

}  // namespace
