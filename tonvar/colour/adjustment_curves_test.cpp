// Brightness/contrast base curve, gamma offsets and smoothing.
#include "tonvar/colour/adjustment_curves.h"

#include <gtest/gtest.h>

#include <vector>

namespace tonvar::colour {
namespace {

std::vector<int32_t> Curve(int32_t brightness, int32_t contrast) {
  std::vector<int32_t> t(kLevels);
  BuildBaseCurve(brightness, contrast, t.data());
  return t;
}

struct LevelCase {
  int32_t brightness;
  int32_t contrast;
  std::vector<int> levels;
  std::vector<int> expected;
};

TEST(BaseCurve, EdgeValuesOfBrightnessAndContrast) {
  const LevelCase cases[] = {
      {50, 0, {0, 16, 32, 64, 128, 192, 255}, {0, 32, 64, 129, 219, 252, 255}},
      {-50, 0, {0, 16, 32, 64, 128, 192, 255}, {0, 0, 0, 4, 37, 128, 254}},
      {0, -50, {0, 128, 255}, {64, 128, 191}},
      {0, 50, {32, 64, 192, 224}, {2, 18, 238, 254}},
  };
  for (const LevelCase& c : cases) {
    const std::vector<int32_t> t = Curve(c.brightness, c.contrast);
    for (size_t n = 0; n < c.levels.size(); ++n) {
      EXPECT_EQ(t[c.levels[n]], c.expected[n])
          << "brightness " << c.brightness << " contrast " << c.contrast << " level " << c.levels[n];
    }
  }
}

TEST(BaseCurve, NoAdjustmentIsTheIdentity) {
  const std::vector<int32_t> t = Curve(0, 0);
  for (int i = 0; i < kLevels; ++i) EXPECT_EQ(t[i], i);
}

TEST(BaseCurve, EveryAllowedValueStaysInRange) {
  // The knees move with the value; a wrong knee or a 32-bit overflow in the cubic shows as a
  // level out of range, or as a fall where one adjustment acts alone.
  for (int32_t brightness = -50; brightness <= 50; ++brightness) {
    for (int32_t contrast = -50; contrast <= 50; ++contrast) {
      const std::vector<int32_t> t = Curve(brightness, contrast);
      const bool alone = brightness == 0 || contrast == 0;
      for (int i = 0; i < kLevels; ++i) {
        ASSERT_GE(t[i], 0);
        ASSERT_LE(t[i], 255);
        if (alone && i > 0) {
          ASSERT_GE(t[i], t[i - 1]) << brightness << " " << contrast << " " << i;
        }
      }
    }
  }
}

TEST(BaseCurve, ContrastKneesFollowTheIndexNotTheBrightenedLevel) {
  // Brightness -50 then contrast 5: the upper knee x1 = 246 is an index, so level 246 takes the
  // cubic toe on its darkened value 236 while 245 stays on the line: the curve steps down.
  const std::vector<int32_t> t = Curve(-50, 5);
  EXPECT_EQ(t[245], 239);
  EXPECT_EQ(t[246], 229);
}

TEST(GammaOffsets, ZeroAtTheBaseAndTheGammaCurveElsewhere) {
  int32_t d[kLevels];
  BuildGammaOffsets(180, 180, d);
  for (int i = 0; i < kLevels; ++i) EXPECT_EQ(d[i], 0);
  BuildGammaOffsets(300, 150, d);  // percent 200
  EXPECT_EQ(d[0], 0);
  EXPECT_EQ(d[128], 64 - 128);
  EXPECT_EQ(d[255], 0);
  BuildGammaOffsets(300, 0, d);  // no base: no offsets rather than a division by zero
  for (int i = 0; i < kLevels; ++i) EXPECT_EQ(d[i], 0);
}

TEST(SmoothTable, IdentityStaysAndTheTopTwoEntriesEscape) {
  uint32_t table[kLevels];
  for (int i = 0; i < kLevels; ++i) table[i] = static_cast<uint32_t>(i);
  SmoothTable(table);
  for (int i = 0; i < kLevels; ++i) EXPECT_EQ(table[i], uint32_t(i));

  // A step up at 254 keeps its jump; the step into 253 is already smoothed from the left.
  for (int i = 0; i < kLevels; ++i) table[i] = i < 254 ? 0 : 255;
  SmoothTable(table);
  EXPECT_EQ(table[252], 0u);
  EXPECT_EQ(table[253], 85u);
  EXPECT_EQ(table[254], 255u);
  EXPECT_EQ(table[255], 255u);

  // In place and rising: a spike spreads to the right through the already smoothed values.
  for (int i = 0; i < kLevels; ++i) table[i] = 0;
  table[10] = 90;
  SmoothTable(table);
  EXPECT_EQ(table[0], 0u);
  EXPECT_EQ(table[9], 30u);   // (0 + 0 + 90) / 3
  EXPECT_EQ(table[10], 40u);  // (30 + 90 + 0) / 3
  EXPECT_EQ(table[11], 13u);  // (40 + 0 + 0) / 3
  EXPECT_EQ(table[12], 4u);
}

}  // namespace
}  // namespace tonvar::colour
