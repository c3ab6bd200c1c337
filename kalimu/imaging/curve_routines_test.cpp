// Spline, gamma table and RGB/HSV routines.
#include "kalimu/imaging/curve_routines.h"

#include <gtest/gtest.h>

#include <cmath>

#include "kalimu/imaging/image_memory.h"

namespace kalimu::imaging {
namespace {

TEST(Spline, ThroughTheDiagonalIsTheIdentity) {
  const int32_t x[3] = {0, 128, 255};
  const int32_t y[3] = {0, 128, 255};
  double m[3];
  ASSERT_EQ(FitSpline(x, y, m, 3), SplineFit::kOk);
  for (int32_t v = -40; v <= 300; ++v) EXPECT_EQ(SplineValue(x, y, m, 3, v), v) << v;
}

TEST(Spline, PassesItsKnotsAndContinuesInStraightLines) {
  const int32_t x[5] = {0, 64, 128, 192, 255};
  const int32_t y[5] = {0, 90, 150, 220, 255};
  double m[5];
  ASSERT_EQ(FitSpline(x, y, m, 5), SplineFit::kOk);
  EXPECT_EQ(m[0], 0.0);
  EXPECT_EQ(m[4], 0.0);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(SplineValue(x, y, m, 5, x[i]), y[i]) << i;
  // Beyond the ends: the line through the two end knots, in integers.
  EXPECT_EQ(SplineValue(x, y, m, 5, -10), 0 + 90 * -10 / 64);
  EXPECT_EQ(SplineValue(x, y, m, 5, 300), 255 + 35 * 45 / 63);
  // Between knots: the natural cubic spline, here from second derivatives solved by plain
  // Gaussian elimination and the textbook form of the cubic.
  const int n = 5;
  double a[n][n + 1] = {};
  a[0][0] = a[n - 1][n - 1] = 1;
  for (int i = 1; i < n - 1; ++i) {
    const double h0 = x[i] - x[i - 1], h1 = x[i + 1] - x[i];
    a[i][i - 1] = h0;
    a[i][i] = 2 * (h0 + h1);
    a[i][i + 1] = h1;
    a[i][n] = 6 * ((y[i + 1] - y[i]) / h1 - (y[i] - y[i - 1]) / h0);
  }
  for (int c = 0; c < n; ++c) {
    for (int r = c + 1; r < n; ++r) {
      const double f = a[r][c] / a[c][c];
      for (int k = c; k <= n; ++k) a[r][k] -= f * a[c][k];
    }
  }
  double second[n];
  for (int r = n - 1; r >= 0; --r) {
    double v = a[r][n];
    for (int k = r + 1; k < n; ++k) v -= a[r][k] * second[k];
    second[r] = v / a[r][r];
  }
  for (int32_t v = 0; v <= 255; ++v) {
    int k = 0;
    while (k < n - 2 && v > x[k + 1]) ++k;
    const double h = x[k + 1] - x[k], p = x[k + 1] - v, q = v - x[k];
    const double s = second[k] * p * p * p / (6 * h) + second[k + 1] * q * q * q / (6 * h) +
                     (y[k] / h - second[k] * h / 6) * p + (y[k + 1] / h - second[k + 1] * h / 6) * q;
    EXPECT_NEAR(SplineValue(x, y, m, n, v), s, 0.5 + 1e-9) << v;
  }
}

TEST(Spline, AKnotEvaluatesOnTheIntervalEndingThere) {
  // Knot 1 sits at 100; v = 100 must come from the interval [0, 100], i.e. exactly y1, while
  // the natural-spline solution of the two neighbouring intervals agrees there.
  const int32_t x[4] = {0, 100, 101, 255};
  const int32_t y[4] = {0, 40, 200, 255};
  double m[4];
  ASSERT_EQ(FitSpline(x, y, m, 4), SplineFit::kOk);
  EXPECT_EQ(SplineValue(x, y, m, 4, 100), 40);
  EXPECT_EQ(SplineValue(x, y, m, 4, 101), 200);
}

TEST(Spline, KnotsThatDoNotRiseAreRefused) {
  const int32_t equal[3] = {0, 255, 255};
  const int32_t falling[3] = {0, 200, 100};
  const int32_t y[3] = {0, 100, 255};
  double m[3] = {7, 7, 7};
  EXPECT_EQ(FitSpline(equal, y, m, 3), SplineFit::kBadKnots);
  EXPECT_EQ(FitSpline(falling, y, m, 3), SplineFit::kBadKnots);
  EXPECT_EQ(FitSpline(y, y, m, 1), SplineFit::kBadKnots);
  EXPECT_EQ(m[1], 7.0);  // nothing written
  // A refused curve stays the caller's identity: i for 8-bit curves, 4 i for ten-bit tables.
  const Spline eight_bit(equal, y, 3, 1);
  const Spline ten_bit(equal, y, 3, 4);
  EXPECT_EQ(eight_bit.status(), SplineFit::kBadKnots);
  for (int32_t v : {0, 17, 255}) {
    EXPECT_EQ(eight_bit.Value(v), v);
    EXPECT_EQ(ten_bit.Value(v), 4 * v);
  }
}

#ifdef KALIMU_IMAGING_FAULT_SEAMS
TEST(Spline, WorkArraysThatCannotBeHadLeaveTheIdentity) {
  const int32_t x[3] = {0, 64, 255};
  const int32_t y[3] = {0, 100, 255};
  for (int nth : {1, 2}) {
    faults::ScopedReset reset;
    faults::FailNthAlloc(nth);
    const Spline spline(x, y, 3, 4);
    EXPECT_EQ(spline.status(), SplineFit::kNoMemory) << nth;
    EXPECT_EQ(spline.Value(64), 256) << nth;
    EXPECT_EQ(faults::BlocksLive(), 0) << nth;
  }
}
#endif

TEST(GammaTable, Exponent1IsTheIdentity) {
  int32_t table[256];
  BuildGammaTable(2048, table);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(table[i], i) << i;
}

TEST(GammaTable, FollowsThePowerCurveAndNeverFalls) {
  // The exponents the planner can ask for: gamma amounts -50..50 give 1024..3072.
  for (int32_t gamma = -50; gamma <= 50; gamma += 5) {
    const int32_t a = ((gamma + 100) * 2048) / 100;
    int32_t table[256];
    BuildGammaTable(a, table);
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[255], 255);
    for (int i = 1; i < 255; ++i) {
      ASSERT_GE(table[i], table[i - 1]) << a << " " << i;
      const double exact = 255.45 * std::pow(i / 255.0, a / 2048.0);
      ASSERT_NEAR(table[i], exact, 1.1) << a << " " << i;
    }
  }
  // Pinned entries of the planner's usual exponent (gamma 12: a = 2293).
  int32_t table[256];
  BuildGammaTable(2293, table);
  EXPECT_EQ(table[64], 54);
  EXPECT_EQ(table[128], 118);
  EXPECT_EQ(table[192], 186);
}

struct HsvCase {
  int32_t r, g, b;
  int32_t grey, hue, value, saturation;
};

TEST(RgbToHsv, TableOfColours) {
  const HsvCase cases[] = {
      {255, 255, 0, 0, 60, 255, 255},   // red and green tie: the green formula wins
      {10, 10, 10, 1, -1, 10, 0},       // grey
      {0, 0, 0, 1, -1, 0, 0},
      {255, 0, 0, 0, 0, 255, 255},
      {0, 255, 0, 0, 120, 255, 255},
      {0, 0, 255, 0, 240, 255, 255},
      {255, 0, 255, 0, 300, 255, 255},  // red and blue tie: the blue formula wins
      {255, 0, 1, 0, 0, 255, 255},      // -60/255 truncates to 0
      {255, 0, 10, 0, 358, 255, 255},   // -600/255 = -2 gains 360
      {200, 100, 50, 0, 20, 200, 191},
  };
  for (const HsvCase& c : cases) {
    int32_t hue = 9, value = 9, saturation = 9;
    EXPECT_EQ(RgbToHsv(c.r, c.g, c.b, &hue, &value, &saturation), c.grey) << c.r << "," << c.g << "," << c.b;
    EXPECT_EQ(hue, c.hue) << c.r << "," << c.g << "," << c.b;
    EXPECT_EQ(value, c.value) << c.r << "," << c.g << "," << c.b;
    EXPECT_EQ(saturation, c.saturation) << c.r << "," << c.g << "," << c.b;
  }
}

TEST(HsvToRgb, SectorsAndGrey) {
  struct Case { int32_t hue, value, saturation, r, g, b; } cases[] = {
      {0, 255, 255, 255, 0, 0},      {60, 255, 255, 255, 255, 0},  {120, 255, 255, 0, 255, 0},
      {180, 255, 255, 0, 255, 255},  {240, 255, 255, 0, 0, 255},   {300, 255, 255, 255, 0, 255},
      {420, 255, 255, 255, 255, 0},  // 360 and more wraps
      {77, 99, 0, 99, 99, 99},       // no saturation: grey of the value
      {20, 200, 191, 200, 100, 50},
  };
  for (const Case& c : cases) {
    int32_t r = -1, g = -1, b = -1;
    HsvToRgb(c.hue, c.value, c.saturation, &r, &g, &b);
    EXPECT_EQ(r, c.r) << c.hue;
    EXPECT_EQ(g, c.g) << c.hue;
    EXPECT_EQ(b, c.b) << c.hue;
  }
}

TEST(FineHsvToRgb, SectorsInQuarterDegrees) {
  struct Case { int32_t hue, value, saturation, r, g, b; } cases[] = {
      {0, 1020, 1024, 1020, 0, 0},
      {240, 1020, 1024, 1020, 1020, 0},
      {480, 1020, 1024, 0, 1020, 0},
      {720, 1020, 1024, 0, 1020, 1020},
      {960, 1020, 1024, 0, 0, 1020},
      {1200, 1020, 1024, 1020, 0, 1020},
      {1440 + 480, 1020, 1024, 0, 1020, 0},  // wraps once
      {100, 500, 0, 500, 500, 500},
      // f = 60, S = 1000: sector 3 drops the half ((60 * 1000) / 1440 = 41), sector 5 keeps
      // it ((60 * 1000 + 720) / 1440 = 42).
      {730, 1000, 1000, 23, 960, 1000},
      {1210, 1000, 1000, 1000, 23, 959},
  };
  for (const Case& c : cases) {
    int32_t r = -1, g = -1, b = -1;
    FineHsvToRgb(c.hue, c.value, c.saturation, &r, &g, &b);
    EXPECT_EQ(r, c.r) << c.hue;
    EXPECT_EQ(g, c.g) << c.hue;
    EXPECT_EQ(b, c.b) << c.hue;
  }
}

}  // namespace
}  // namespace kalimu::imaging
