// The monochrome grey curve and the toning colour, in double precision; the order of the
// operations is part of the result.
#include <cmath>

#include "kalimu/imaging/mono_preview.h"

namespace kalimu::imaging {
namespace {

// Per row: positive below and above the split, negative below and above; c3, c2, c1, c0 each.
constexpr double kMonoToneCurveTable[6][16] = {
    {0.9631, -1.8606, 1.8977, 0, 0.9631, -1.8606, 1.8977, 0,
     -0.9551, 1.8544, 0.1006, 0, -0.9551, 1.8544, 0.1006, 0},
    {-1.0175, 0.9372, 1.1909, 0, 4.3528, -11.956, 11.02, -2.4163,
     0.9806, -0.8906, 0.8059, 0, -6.2314, 16.601, -12.807, 3.4372},
    {-0.0824, 0.3291, 0.0303, 0.7232, -0.0824, 0.3291, 0.0303, 0.7232,
     -0.0824, 0.3291, 0.0303, 0.7232, -0.0824, 0.3291, 0.0303, 0.7232},
    {-1.5101, 0.3422, 1.9059, 0, 1.3267, -3.7487, 3.6008, -0.1787,
     1.5101, -0.3422, 0.0941, 0, -1.3267, 3.7487, -1.6008, 0.1787},
    {2.9941, 0.3343, 0.0833, 0, -2.9941, -0.3343, 0.0833, 0.9167,
     0, 0, 0.5, 0.251, 0, 0, 0.5, 0.251},
    {0, 0, 0.9608, 0, 0, 0, 0.9608, 0, 0, 0, 0.9608, 0, 0, 0, 0.9608, 0},
};
enum MonoCurveRow { kShadowRow = 0, kHighlightRow = 1, kFadeRow = 2, kBrightnessRow = 3, kLimitRow = 5 };

double Cubic(const double* c, double v) { return ((v * v) * v) * c[0] + (v * v) * c[1] + v * c[2] + c[3]; }

void Clamp(double* values, double top) {
  for (int i = 0; i < 256; ++i) {
    if (values[i] < 0) {
      values[i] = 0;
    } else if (values[i] > top) {
      values[i] = top;
    }
  }
}

void ApplyMonoToneCurve(double* values, double split, int32_t strength, double negative_limit,
                        double positive_limit, int row) {
  if (strength == 0) return;
  const double* cubics = kMonoToneCurveTable[row] + (strength > 0 ? 0 : 8);
  const double divisor = strength > 0 ? positive_limit : negative_limit;
  const double s = strength;
  for (int i = 0; i < 256; ++i) {
    const double v = values[i];
    double f = v;
    if (0 <= v && v <= split) {
      f = Cubic(cubics, v);
    } else if (split < v && v <= 1) {
      f = Cubic(cubics + 4, v);
    }
    values[i] = ((f - v) * s) / divisor + v;
  }
}

void ApplyMonoContrastCurve(double* values, int32_t strength) {
  if (strength == 0) return;
  const double s = strength;
  for (int i = 0; i < 256; ++i) {
    const double v = values[i];
    if (strength > 0) {
      double f = v;
      if (0 <= v && v <= 0.5) {
        f = ((v * v) * v) * 2.9941 + (v * v) * 0.3343 + v * 0.0833 + 0;
      } else if (0.5 < v && v <= 1) {
        const double e = 1 - v;
        f = v * 0.0833 - (((e * e) * e) * 2.9941 + (e * e) * 0.3343) + 0.9167;
      }
      values[i] = ((f - v) * s) / 25 + v;
    } else {
      const double g = v * 0.5 + 0.251;
      const double e = ((g - v) * s) / (-25) + v;
      if (v < 0.2) {
        const double t = std::asin((0.2 - v) / 0.2) * 2 / 3.14159265358979;
        values[i] = (1 - t * t) * e;
      } else if (v < 0.8) {
        values[i] = e;
      } else {
        const double t = std::asin((v - 0.8) / 0.19999999999999996) * 2 / 3.14159265358979;
        values[i] = t * t * (1 - e) + e;
      }
    }
  }
}

}  // namespace

void BuildMonoToneCurve(const MonoPreviewParams& params, double v[256]) {
  for (int i = 0; i < 256; ++i) v[i] = i / 255.0;
  ApplyMonoToneCurve(v, 0.502, params.brightness, -25, 25, kBrightnessRow);
  Clamp(v, 1);
  ApplyMonoContrastCurve(v, params.contrast);
  for (int i = 0; i < 256; ++i) v[i] = 255 * v[i];
  Clamp(v, 255);
  for (int i = 0; i < 256; ++i) v[i] = v[i] / 60;
  ApplyMonoToneCurve(v, 0, params.shadowTone, -25, 25, kShadowRow);
  for (int i = 0; i < 256; ++i) v[i] = 60 * v[i];
  Clamp(v, 255);
  for (int i = 0; i < 256; ++i) v[i] = (v[i] - 192) / 63;
  ApplyMonoToneCurve(v, 0.6349, params.highlightTone, -25, 25, kHighlightRow);
  for (int i = 0; i < 256; ++i) v[i] = 63 * v[i] + 192;
  Clamp(v, 255);
  for (int i = 0; i < 256; ++i) v[i] = v[i] / 255;
  ApplyMonoToneCurve(v, 0, params.fade, -50, 0, kFadeRow);
  Clamp(v, 1);
  ApplyMonoToneCurve(v, 0, params.highlightLimit, 0, 1, kLimitRow);
  Clamp(v, 1);
  if (params.tone != 180) {
    const double exponent = params.tone / 180.0;
    for (int i = 0; i < 256; ++i) {
      if (v[i] > 1e-7) v[i] = std::exp(std::log(v[i]) * exponent);
    }
  }
  Clamp(v, 1);
}

void ToningColorFromLab(int32_t toning_a, int32_t toning_b, double k[3]) {
  const double fy = (55 + 16) / 116.0;
  const double fx = ((toning_a * 20) / 75.0) / 500 + fy;
  const double fz = fy - ((toning_b * 20) / 75.0) / 200;
  const double x = ((fx * fx) * fx) * 0.9643;
  const double y = (fy * fy) * fy;
  const double z = ((fz * fz) * fz) * 0.8251;
  const double gamma = 0.45454545454545453;
  double rgb[3] = {
      std::pow((x * 3.134198998 - y * 1.617273149) - z * 0.490662776, gamma),
      std::pow((y * 1.916271777 - x * 0.978773813) + z * 0.033500278, gamma),
      std::pow((x * 0.071894963 - y * 0.229042573) + z * 1.405325194, gamma),
  };
  const double divisor = 0.512 * 0.512 - 0.512;
  for (int c = 0; c < 3; ++c) {
    const double value = rgb[c] < 0 ? 0 : (rgb[c] > 1 ? 1 : rgb[c]);
    k[c] = (value - 0.512) / divisor;
  }
}

}  // namespace kalimu::imaging
