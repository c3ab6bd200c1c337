// The grey table's shaping at the end of step 2: the tone curve from the client's
// adjustments, the tint of the ink pairs and the total-ink limit.
#include "tonvar/grey/grey_tone_curves.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "tonvar/grey/grey_engine.h"

namespace tonvar::grey {
namespace {

constexpr double kEndLow = 1e-6;
constexpr double kEndHigh = 0.999999;
constexpr double kLowEnd = 60.0 / 255.0;
constexpr double kHighEnd = 192.0 / 255.0;
constexpr double kHighEndWidth = 63.0 / 255.0;
constexpr double kScaleDown = 0.9608;
constexpr uint16_t kAmountMax = 0xFFFF;

double Clamp01(double v) { return std::min(std::max(v, 0.0), 1.0); }

// x moved towards g by a / span (span negative for the curves that move the other way).
double Blend(double x, double g, int32_t a, double span) { return Clamp01(x + (g - x) * a / span); }

uint16_t ToAmount(double v) {
  const double t = std::trunc(v);
  if (t <= 0) return 0;
  return t >= kAmountMax ? kAmountMax : static_cast<uint16_t>(t);
}

}  // namespace

int32_t TableLevels(const GreyLut& lut) {
  return std::clamp(lut.level_count, 0, static_cast<int32_t>(kGreyMaxLevels));
}

int32_t TableInks(const GreyLut& lut) {
  return std::clamp(lut.ink_count, 0, static_cast<int32_t>(kGreyMaxInks));
}

int32_t InkColumn(const GreyLut& lut, int32_t ink_id) {
  const int32_t inks = TableInks(lut);
  for (int32_t j = 0; j < inks; ++j) {
    if (lut.ink_ids[j] == ink_id) return j;
  }
  return -1;
}

void InitToneCurve(ToneCurve& c) {
  for (int i = 0; i < 256; ++i) c[i] = i / 255.0;
}

int ApplyMidCurve(int32_t a, ToneCurve& c) {
  if (a == 0) return 0;
  for (double& x : c) {
    double g;
    if (a < 0) {
      g = x <= 0.502 ? ((1.5101 * x - 0.3422) * x + 0.0941) * x
                     : ((3.7487 - 1.3267 * x) * x - 1.6008) * x + 0.1787;
      x = Blend(x, g, a, -25.0);
    } else {
      g = x <= 0.502 ? ((0.3422 - 1.5101 * x) * x + 1.9059) * x
                     : ((1.3267 * x - 3.7487) * x + 3.6008) * x - 0.1787;
      x = Blend(x, g, a, 25.0);
    }
  }
  return 1;
}

double FlattenToneValue(double x, int32_t a4) {
  const double m = x < kEndLow ? 0.0 : x > kEndHigh ? 1.0 : 0.5 * x + 0.251;
  const double v = x + (m - x) * a4 / -25.0;
  if (x > kEndLow && x < 0.2) {
    const double t = std::asin(1 - 5 * x) * 2 / std::numbers::pi;
    return Clamp01(v * (1 - t * t));
  }
  if (x > 0.8 && x < kEndHigh) {
    const double t = std::asin(5 * x - 4) * 2 / std::numbers::pi;
    return Clamp01((1 - t * t) * v + t * t);
  }
  return Clamp01(v);
}

int ApplyContrastCurve(int32_t a, ToneCurve& c) {
  if (a == 0) return 0;
  for (double& x : c) {
    if (a < 0) {
      x = FlattenToneValue(x, a);
      continue;
    }
    double g;
    if (x <= 0.5) {
      g = ((2.9941 * x + 0.3343) * x + 0.0833) * x;
    } else {
      const double t = 1 - x;
      g = (-2.9941 * t - 0.3343) * t * t + 0.0833 * x + 0.9167;
    }
    x = Blend(x, g, a, 25.0);
  }
  return 1;
}

int ApplyLowEndCurve(int32_t a, ToneCurve& c) {
  if (a == 0) return 0;
  int k = 0;
  while (k < 256 && c[k] < kLowEnd) ++k;
  for (int i = 0; i < k; ++i) {
    const double u = c[i] / kLowEnd;
    double y;
    if (a < 0) {
      y = Blend(u, ((1.8544 - 0.9551 * u) * u + 0.1006) * u, a, -25.0);
    } else {
      y = Blend(u, ((0.9631 * u - 1.8606) * u + 1.8977) * u, a, 25.0);
    }
    c[i] = y * kLowEnd;
  }
  return 1;
}

int ApplyHighEndCurve(int32_t a, ToneCurve& c) {
  if (a == 0) return 0;
  int k = 0;
  while (k < 255 && !(c[k] > kHighEnd)) ++k;
  if (k == 255) return 1;
  for (int i = k; i < 256; ++i) {
    const double u = (c[i] - kHighEnd) / kHighEndWidth;
    double y;
    if (a < 0) {
      const double g = u <= 0.6349 ? ((0.9806 * u - 0.8906) * u + 0.8059) * u
                                   : ((16.601 - 6.2314 * u) * u - 12.807) * u + 3.4372;
      y = Blend(u, g, a, -25.0);
    } else {
      const double g = u <= 0.6349 ? ((0.9372 - 1.0175 * u) * u + 1.1909) * u
                                   : ((4.3528 * u - 11.956) * u + 11.02) * u - 2.4163;
      y = Blend(u, g, a, 25.0);
    }
    c[i] = y * kHighEndWidth + kHighEnd;
  }
  return 1;
}

int ApplyLiftCurve(int32_t a, ToneCurve& c) {
  if (a == 0) return 0;
  for (double& x : c) {
    const double g = ((0.3291 - 0.0824 * x) * x + 0.0303) * x + 0.7232;
    x = Blend(x, g, a, -50.0);
  }
  return 1;
}

int ScaleToneCurve(int32_t a, ToneCurve& c) {
  if (a == 0) return 0;
  for (double& x : c) x *= kScaleDown;
  return 1;
}

int ApplyGammaCurve(int32_t a2, int32_t base, ToneCurve& c) {
  // Without a table there is no base to raise against.
  if (a2 == base || base < 1) return 0;
  for (double& x : c) {
    if (x > kEndLow) x = Clamp01(std::exp(std::log(x) * a2 / base));
  }
  return 1;
}

void ResampleGreyTable(const ToneCurve& c, GreyLut* lut) {
  const int32_t levels = TableLevels(*lut);
  const int32_t inks = TableInks(*lut);
  const uint16_t* table = lut->table.amounts;
  for (int32_t i = 0; i < levels; ++i) {
    const double p = c[i] * 255;
    const int32_t floor_p = static_cast<int32_t>(std::floor(p));
    const int32_t lo = std::min(floor_p, 255);
    const int32_t hi = std::min(floor_p + 1, 255);
    for (int32_t j = 0; j < inks; ++j) {
      const int32_t low = table[lo * inks + j];
      const int32_t high = table[hi * inks + j];
      lut->work[i * inks + j] = hi == lo ? static_cast<uint16_t>(low)
                                         : ToAmount((p - lo) * (high - low) / (hi - lo) + low);
    }
  }
  std::memcpy(lut->table.amounts, lut->work, sizeof lut->work);
}

void TintToAxes(int32_t a0, int32_t a1, double t[3]) {
  const double s = std::sqrt(3.0);
  t[0] = std::fabs(a1 + s * a0 - 150) * 0.5 - 75;
  t[1] = std::fabs(s * a0 - a1 + 150) * 0.5 - 75;
  t[2] = std::fabs(75.0 + a1) - 75;
  for (int k = 0; k < 3; ++k) t[k] = std::clamp(t[k], -75.0, 75.0);
}

bool MapTintComponent(const GreyTintTables& tint, int32_t range, int32_t ink_id, double t,
                      double* m) {
  const int16_t* x = tint.knots[ink_id];
  const int16_t* y = tint.values[ink_id];
  int32_t knot[6] = {x[2], x[0], x[3], x[1], tint.ranges[range][0], tint.ranges[range][1]};
  int32_t value[6] = {y[4], y[2], y[5], y[3], y[1], y[0]};
  // Exchange sort by knot; points with equal knots keep their order.
  for (int pass = 0; pass < 5; ++pass) {
    for (int j = 0; j < 5 - pass; ++j) {
      if (knot[j] > knot[j + 1]) {
        std::swap(knot[j], knot[j + 1]);
        std::swap(value[j], value[j + 1]);
      }
    }
  }
  int s = 0;
  if (t > knot[1]) {
    s = 1;
    while (s < 4 && !(t <= knot[s + 1])) ++s;
  }
  const int32_t width = knot[s + 1] - knot[s];
  if (width == 0) return false;
  *m = static_cast<double>(value[s + 1] - value[s]) * (t - knot[s]) / width + value[s];
  return true;
}

void ScaleInkPairs(GreyLut* lut, const double factors[3]) {
  // Inks 1 and 4 take the first factor, 2 and 5 the second, 3 the third.
  constexpr int32_t kInks[5] = {1, 4, 2, 5, 3};
  constexpr int kFactor[5] = {0, 0, 1, 1, 2};
  const int32_t levels = TableLevels(*lut);
  const int32_t inks = TableInks(*lut);
  for (int n = 0; n < 5; ++n) {
    const int32_t column = InkColumn(*lut, kInks[n]);
    if (column < 0) continue;
    for (int32_t i = 0; i < levels; ++i) {
      uint16_t& amount = lut->table.amounts[i * inks + column];
      amount = ToAmount(amount * factors[kFactor[n]]);
    }
  }
}

EngineStatus ApplyTint(const double t[3], GreyLut* lut) {
  const GreyTintTables& tint = lut->tint;
  for (int k = 0; k < 3; ++k) {
    if (t[k] < tint.ranges[k][0] || t[k] > tint.ranges[k][1]) return kStatusBadArgument;
  }
  constexpr int32_t kRecordInks[3] = {4, 5, 3};
  double factors[3];
  for (int k = 0; k < 3; ++k) {
    double m = 0;
    if (!MapTintComponent(tint, k, kRecordInks[k], t[k], &m)) return kStatusBadResource;
    if (tint.scale_kind == 1) {
      factors[k] = m * 0.01 + 1;
    } else if (tint.scale_kind == 2) {
      factors[k] = m * 0.001 + 1;
    } else {
      return kStatusBadResource;
    }
    if (factors[k] < 0) return kStatusBadResource;
  }
  ScaleInkPairs(lut, factors);
  return kStatusOk;
}

void LimitTotalInk(GreyLut* lut, int64_t limit) {
  const int32_t levels = TableLevels(*lut);
  const int32_t inks = TableInks(*lut);
  const int32_t c1 = InkColumn(*lut, 1), c2 = InkColumn(*lut, 2), c3 = InkColumn(*lut, 3);
  const int32_t c4 = InkColumn(*lut, 4), c5 = InkColumn(*lut, 5);
  uint16_t* table = lut->table.amounts;
  uint16_t* work = lut->work;
  while (true) {
    std::memcpy(work, table, sizeof lut->work);
    int32_t largest = -1;
    int64_t largest_total = 0;
    for (int32_t i = 0; i < levels; ++i) {
      int64_t total = 0;
      for (int32_t j = 0; j < inks; ++j) total += table[i * inks + j];
      if (total > largest_total) {
        largest = i;
        largest_total = total;
      }
    }
    if (largest < 0 || largest_total <= limit) return;
    const double excess = static_cast<double>(largest_total - limit);
    const uint16_t* row = table + largest * inks;
    auto factor = [&](int32_t column, double share) {
      const int32_t amount = column < 0 ? 0 : row[column];
      if (amount == 0) return 0.0;
      return std::max(1 - excess * share / amount, 0.0);
    };
    const double f1 = factor(c4, 3.0 / 7.0);
    const double f2 = factor(c5, 3.0 / 7.0);
    const double f3 = factor(c3, 1.0 / 7.0);
    const struct {
      int32_t column;
      double f;
    } scaled[5] = {{c1, f1}, {c4, f1}, {c2, f2}, {c5, f2}, {c3, f3}};
    for (int32_t i = 0; i < levels; ++i) {
      for (const auto& s : scaled) {
        if (s.column >= 0) work[i * inks + s.column] = ToAmount(table[i * inks + s.column] * s.f);
      }
    }
    if (std::memcmp(work, table, sizeof lut->work) == 0) return;
    std::memcpy(table, work, sizeof lut->work);
  }
}

EngineStatus BuildGreyTable(CmGreyEngine* engine) {
  GreyLut* lut = &engine->lut;
  const ToneAdjustments& a = engine->tone;
  ToneCurve& c = engine->curve;
  InitToneCurve(c);
  int changed = 0;
  changed |= ApplyMidCurve(a.mid, c);
  changed |= ApplyContrastCurve(a.contrast, c);
  changed |= ApplyLowEndCurve(a.low_end, c);
  changed |= ApplyHighEndCurve(a.high_end, c);
  changed |= ApplyLiftCurve(a.lift, c);
  changed |= ScaleToneCurve(a.scale_down, c);
  changed |= ApplyGammaCurve(a.gamma, lut->gamma_base, c);
  if (changed != 0) ResampleGreyTable(c, lut);
  if (a.tint_a != 0 || a.tint_b != 0) {
    double t[3];
    TintToAxes(a.tint_a, a.tint_b, t);
    const EngineStatus tinted = ApplyTint(t, lut);
    if (tinted != kStatusOk) return tinted;
  }
  // Without an "inkd" chunk there is no limit.
  if (engine->has_ink_limit) {
    const int64_t limit = static_cast<int64_t>(lut->inkd[kInkLimitSlot] / 255.0 * lut->full_scale);
    LimitTotalInk(lut, limit);
  }
  return kStatusOk;
}

}  // namespace tonvar::grey
