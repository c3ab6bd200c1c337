// The grey table's tone curves, tint and ink limit. Golden values come from the Windows
// build; the host's libm may differ in the last bit, so curves allow 1e-12 and amounts 1.
#include "tonvar/grey/grey_tone_curves.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "testkit/tonvar/grey_engine_fixture.h"
#include "testkit/tonvar/grey_resources.h"

namespace {

using namespace tonvar::grey;
using tonvar::GreyLut;
using tonvar::kStatusBadArgument;
using tonvar::kStatusBadResource;
using tonvar::kStatusOk;

constexpr double kCurveTolerance = 1e-12;
constexpr int kProbe[8] = {0, 30, 60, 100, 128, 200, 230, 255};

struct CurveCase {
  const char* name;
  int (*apply)(int32_t, ToneCurve&);
  int32_t a;
  double expected[8];  // c at the probe indices
};

int Gamma200(int32_t a, ToneCurve& c) { return ApplyGammaCurve(a, 100, c); }

class GreyToneCurve : public ::testing::TestWithParam<CurveCase> {};

TEST_P(GreyToneCurve, ValuesAtTheProbes) {
  const CurveCase& k = GetParam();
  ToneCurve c;
  InitToneCurve(c);
  EXPECT_EQ(k.apply(k.a, c), 1);
  for (int p = 0; p < 8; ++p) {
    EXPECT_NEAR(c[kProbe[p]], k.expected[p], kCurveTolerance) << "entry " << kProbe[p];
  }
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, GreyToneCurve,
    ::testing::Values(CurveCase{"MidDown",
                                &ApplyMidCurve,
                                -25,
                                {0, 0.0087932017097496484, 0.022867412985955626,
                                 0.075348108947539016, 0.15200416920792148, 0.58908430166376424,
                                 0.81103387761871359, 0.99989999999999968}},
                      CurveCase{"MidUp",
                                &ApplyMidCurve,
                                25,
                                {0, 0.22650091593730917, 0.44772082230816196, 0.708965616542657,
                                 0.85191739941952938, 0.97954314931662789, 0.99288769100873731, 1}},
                      CurveCase{"ContrastUp",
                                &ApplyContrastCurve,
                                25,
                                {0, 0.019302381437003871, 0.077111093018522259, 0.2646477297570316,
                                 0.50571588204838247, 0.93643916216236589, 0.98579873879578739, 1}},
                      CurveCase{"ContrastFlat",
                                &ApplyContrastCurve,
                                -25,
                                {0, 0.28720812644896082, 0.36864705882352944, 0.44707843137254899,
                                 0.50198039215686274, 0.64315686274509809, 0.73654587252173087, 1}},
                      CurveCase{"LowEndDown",
                                &ApplyLowEndCurve,
                                -25,
                                {0, 0.092826470588235302, 0.23529411764705882, 0.39215686274509803,
                                 0.50196078431372548, 0.78431372549019607, 0.90196078431372551, 1}},
                      CurveCase{"LowEndUp",
                                &ApplyLowEndCurve,
                                25,
                                {0, 0.14213823529411762, 0.23529411764705882, 0.39215686274509803,
                                 0.50196078431372548, 0.78431372549019607, 0.90196078431372551, 1}},
                      CurveCase{"HighEndDown",
                                &ApplyHighEndCurve,
                                -25,
                                {0, 0.11764705882352941, 0.23529411764705882, 0.39215686274509803,
                                 0.50196078431372548, 0.77517239468626953, 0.84614909647809744,
                                 0.99995058823529359}},
                      CurveCase{"HighEndUp",
                                &ApplyHighEndCurve,
                                25,
                                {0, 0.11764705882352941, 0.23529411764705882, 0.39215686274509803,
                                 0.50196078431372548, 0.79352164292877647, 0.95948366329247747, 1}},
                      CurveCase{"Lift",
                                &ApplyLiftCurve,
                                -50,
                                {0.72319999999999995, 0.73118554854467732, 0.74747608385914921,
                                 0.78072422522257645, 0.81090931887132389, 0.9096544707540839,
                                 0.95780013870984759, 1}},
                      CurveCase{"ScaleDown",
                                &ScaleToneCurve,
                                1,
                                {0, 0.11303529411764705, 0.22607058823529411, 0.37678431372549021,
                                 0.48228392156862743, 0.75356862745098041, 0.86660392156862742,
                                 0.96079999999999999}},
                      CurveCase{"GammaTwiceTheBase",
                                &Gamma200,
                                200,
                                {0, 0.01384083044982699, 0.055363321799307967, 0.15378700499807768,
                                 0.25196462898885036, 0.61514801999231061, 0.81353325643983088, 1}},
                      CurveCase{
                          "GammaHalfTheBase",
                          &Gamma200,
                          50,
                          {0, 0.34299717028501769, 0.48507125007266599, 0.62622429108514954,
                           0.70849190843207621, 0.88561488554009526, 0.94971615986763414, 1}}),
    [](const ::testing::TestParamInfo<CurveCase>& info) { return std::string(info.param.name); });

TEST(GreyToneCurveRules, ZeroValuesLeaveTheCurveAlone) {
  ToneCurve c;
  InitToneCurve(c);
  EXPECT_EQ(ApplyMidCurve(0, c) + ApplyContrastCurve(0, c) + ApplyLowEndCurve(0, c) +
                ApplyHighEndCurve(0, c) + ApplyLiftCurve(0, c) + ScaleToneCurve(0, c) +
                ApplyGammaCurve(100, 100, c) + ApplyGammaCurve(200, 0, c),
            0);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(c[i], i / 255.0);
}

TEST(GreyToneCurveRules, GammaKeepsTheEntriesAtZeroAndSquaresTheRest) {
  ToneCurve c;
  InitToneCurve(c);
  ApplyGammaCurve(200, 100, c);
  EXPECT_EQ(c[0], 0.0);
  for (int i = 1; i < 256; ++i) EXPECT_NEAR(c[i], (i / 255.0) * (i / 255.0), kCurveTolerance);
}

TEST(GreyToneCurveRules, HighEndWithNothingAboveItStillAsksForTheResample) {
  ToneCurve c;
  for (int i = 0; i < 256; ++i) c[i] = i == 255 ? 1.0 : 0.5;
  EXPECT_EQ(ApplyHighEndCurve(10, c), 1);
  EXPECT_EQ(c[254], 0.5);
  EXPECT_EQ(c[255], 1.0);
}

// The ramp table (levels 256, inks 1, 2, 3, 0, 4, 5, 7, 11; 200 i + 10 j) in an engine.
std::unique_ptr<CmGreyEngine> RampEngine() {
  auto engine = testkit::NewGreyEngineState();
  bool limit = false;
  const auto container = testkit::GreyChunkContainer({{"tgvm", testkit::GreyTableChunk({})}});
  EXPECT_EQ(ReadGreyChunks(testkit::Bounded(container), &engine->lut, &limit), kStatusOk);
  engine->tone.gamma = 100;
  return engine;
}

uint16_t Amount(const GreyLut& lut, int level, int column) {
  return lut.table.amounts[level * 8 + column];
}

TEST(GreyTableBuild, UnchangedWithoutAdjustmentsOrLimit) {
  auto engine = RampEngine();
  ASSERT_EQ(BuildGreyTable(engine.get()), kStatusOk);
  for (int i = 0; i < 256; ++i) {
    for (int j = 0; j < 8; ++j) EXPECT_EQ(Amount(engine->lut, i, j), testkit::GreyRampAmount(i, j));
  }
}

TEST(GreyTableBuild, ScaledCurveResamplesLevel255BetweenRows245And246) {
  auto engine = RampEngine();
  engine->tone.scale_down = 1;
  ASSERT_EQ(BuildGreyTable(engine.get()), kStatusOk);
  EXPECT_NEAR(engine->curve[255], 0.9608, 1e-15);
  // p = 245.004: 0.004 x 200 above row 245.
  for (int j = 0; j < 8; ++j) EXPECT_NEAR(Amount(engine->lut, 255, j), 49000 + 10 * j, 1);
}

TEST(GreyTableBuild, SquaredCurveResamples) {
  auto engine = RampEngine();
  engine->tone.gamma = 200;
  ASSERT_EQ(BuildGreyTable(engine.get()), kStatusOk);
  // Level 128: p = 128^2 / 255 = 64.25098..., 0.25098 x 200 above row 64.
  EXPECT_NEAR(Amount(engine->lut, 128, 0), 12850, 1);
  EXPECT_NEAR(Amount(engine->lut, 128, 7), 12920, 1);
  EXPECT_EQ(Amount(engine->lut, 0, 3), 30);
}

TEST(GreyTint, AxesOfATintAlongTheSecondValue) {
  double t[3];
  TintToAxes(0, 75, t);
  EXPECT_DOUBLE_EQ(t[0], -37.5);
  EXPECT_DOUBLE_EQ(t[1], -37.5);
  EXPECT_DOUBLE_EQ(t[2], 75);
  TintToAxes(45, 60, t);  // on the circle: within -75..75 each
  EXPECT_NEAR(t[0], -(std::sqrt(3.0) * 45 + 60) / 2, 1e-12);
  EXPECT_NEAR(t[1], (std::sqrt(3.0) * 45 - 60) / 2, 1e-12);
  EXPECT_NEAR(t[2], 60, 1e-12);
}

// A ramp engine with the default tint records (factor 1 + t / 100).
std::unique_ptr<CmGreyEngine> TintEngine(uint8_t scale_kind = 1) {
  auto engine = RampEngine();
  testkit::GreyCtcnShape shape;
  shape.scale_kind = scale_kind;
  bool limit = false;
  const auto container = testkit::GreyChunkContainer({{"ctcn", testkit::GreyCtcnChunk(shape)}});
  EXPECT_EQ(ReadGreyChunks(testkit::Bounded(container), &engine->lut, &limit), kStatusOk);
  return engine;
}

TEST(GreyTint, ScalesTheInkPairs) {
  auto engine = TintEngine();
  engine->tone.tint_b = 75;  // t = (-37.5, -37.5, 75): factors 0.625, 0.625, 1.75
  ASSERT_EQ(BuildGreyTable(engine.get()), kStatusOk);
  // Columns: 0 ink 1, 1 ink 2, 2 ink 3, 3 ink 0, 4 ink 4, 5 ink 5, 6 ink 7, 7 ink 11.
  const int level = 100;
  EXPECT_NEAR(Amount(engine->lut, level, 0), 20000 * 0.625, 1);
  EXPECT_NEAR(Amount(engine->lut, level, 1), 20010 * 0.625, 1);
  EXPECT_NEAR(Amount(engine->lut, level, 2), 20020 * 1.75, 1);
  EXPECT_EQ(Amount(engine->lut, level, 3), 20030);
  EXPECT_NEAR(Amount(engine->lut, level, 4), 20040 * 0.625, 1);
  EXPECT_NEAR(Amount(engine->lut, level, 5), 20050 * 0.625, 1);
  EXPECT_EQ(Amount(engine->lut, level, 7), 20070);
  // 16-bit amounts are clamped, not wrapped: level 255's ink 3 is 51020 x 1.75.
  EXPECT_EQ(Amount(engine->lut, 255, 2), 0xFFFF);
}

TEST(GreyTint, Refusals) {
  {
    auto engine = RampEngine();  // no "ctcn": every range is 0..0
    engine->tone.tint_a = 1;
    EXPECT_EQ(BuildGreyTable(engine.get()), kStatusBadArgument);
  }
  {
    auto engine = TintEngine(0);  // scale kind 0 has no factor
    engine->tone.tint_a = 10;
    EXPECT_EQ(BuildGreyTable(engine.get()), kStatusBadResource);
  }
  {
    auto engine = TintEngine();
    engine->lut.tint.values[4][3] = -150;  // ink 4 at knot -40: factor 1 - 1.5 * ... < 0
    engine->tone.tint_b = 75;
    EXPECT_EQ(BuildGreyTable(engine.get()), kStatusBadResource);
  }
  {
    auto engine = TintEngine();
    engine->lut.tint.knots[3][1] = -75;  // ink 3: a knot on the lower bound, where t2 = -75 lies
    engine->tone.tint_b = -75;
    EXPECT_EQ(BuildGreyTable(engine.get()), kStatusBadResource);
  }
}

// A one-level table (inks 1, 2, 3, 0, 4, 5, 7, 11) with the given amounts, limited to `limit`.
std::unique_ptr<CmGreyEngine> LimitEngine(std::vector<uint16_t> amounts, int16_t k,
                                          uint8_t scale_code) {
  auto engine = testkit::NewGreyEngineState();
  testkit::GreyTableShape shape;
  shape.levels = static_cast<int16_t>(amounts.size() / 8);
  shape.amounts = std::move(amounts);
  shape.full_scale_code = scale_code;
  const auto container = testkit::GreyChunkContainer(
      {{"tgvm", testkit::GreyTableChunk(shape)}, {"inkd", testkit::GreyInkdChunk(k)}});
  EXPECT_EQ(ReadGreyChunks(testkit::Bounded(container), &engine->lut, &engine->has_ink_limit),
            kStatusOk);
  engine->tone.gamma = 100;
  return engine;
}

TEST(GreyInkLimit, ReducesTheLargestLevelUntilItFits) {
  // Limit 255/255 x 4080 = 4080; the level's total 6080 is 2000 above it; one pass brings it to
  // 3464.
  auto engine = LimitEngine({500, 500, 1400, 280, 1400, 1400, 300, 300}, 255, 0);
  ASSERT_EQ(BuildGreyTable(engine.get()), kStatusOk);
  const std::vector<int> expected = {193, 193, 1114, 280, 542, 542, 300, 300};
  for (int j = 0; j < 8; ++j) EXPECT_NEAR(Amount(engine->lut, 0, j), expected[j], 1) << j;
}

TEST(GreyInkLimit, FactorsFromTheExcess) {
  // Limit 255; total 460, e = 205: f(1, 4) = 1 - 205 x 3/7 / 140, f(3) = 1 - 205 x 1/7 / 140.
  auto engine = LimitEngine({20, 20, 140, 0, 140, 140, 0, 0}, 255, 2);
  ASSERT_EQ(BuildGreyTable(engine.get()), kStatusOk);
  const std::vector<int> expected = {7, 7, 110, 0, 52, 52, 0, 0};
  for (int j = 0; j < 8; ++j) EXPECT_NEAR(Amount(engine->lut, 0, j), expected[j], 1) << j;
}

TEST(GreyInkLimit, WithoutInksThreeToFiveInksOneToFiveGo) {
  auto engine = LimitEngine({900, 900, 0, 900, 0, 0, 0, 0, 10, 10, 0, 10, 0, 0, 0, 0}, 100, 2);
  ASSERT_EQ(BuildGreyTable(engine.get()), kStatusOk);
  const std::vector<int> expected = {0, 0, 0, 900, 0, 0, 0, 0, 0, 0, 0, 10, 0, 0, 0, 0};
  for (int j = 0; j < 16; ++j) EXPECT_EQ(engine->lut.table.amounts[j], expected[j]) << j;
}

TEST(GreyInkLimit, NoInkdChunkMeansNoLimit) {
  auto engine = RampEngine();  // no "inkd": the limit would be 0
  ASSERT_EQ(BuildGreyTable(engine.get()), kStatusOk);
  EXPECT_EQ(Amount(engine->lut, 255, 0), testkit::GreyRampAmount(255, 0));
}

}  // namespace
