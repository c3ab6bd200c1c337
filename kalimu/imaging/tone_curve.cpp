// Key points and 8-bit tone curves.
#include "kalimu/imaging/tone_curve.h"

#include "kalimu/imaging/curve_routines.h"

namespace kalimu::imaging {
namespace {

// Moves the three points along the spline through (0,0), (x, x + shift), (255,255).
void Bend(KeyPoints* points, int32_t x, int32_t shift) {
  const int32_t kx[3] = {0, x, 255};
  const int32_t ky[3] = {0, x + shift, 255};
  const Spline spline(kx, ky, 3, 1);
  points->lo = spline.Value(points->lo);
  points->mid = spline.Value(points->mid);
  points->hi = spline.Value(points->hi);
}

}  // namespace

KeyPoints ToneKeyPoints(int32_t contrast, int32_t brightness, int32_t highlight_balance,
                        int32_t gamma) {
  KeyPoints points{64, 128, 192};
  if (contrast != 0) {
    const int32_t kx[4] = {0, 64, 192, 255};
    const int32_t ky[4] = {0, 64 - contrast, 192 + contrast, 255};
    const Spline spline(kx, ky, 4, 1);
    points = {spline.Value(64), spline.Value(128), spline.Value(192)};
  }
  if (brightness != 0) {
    // Darkening bends the upper part, brightening the lower.
    if (brightness <= 0) {
      Bend(&points, 192, brightness);
    } else {
      Bend(&points, 64, brightness);
    }
  }
  if (highlight_balance != 0) Bend(&points, 192, highlight_balance);
  if (gamma != 0) {
    int32_t table[256];
    BuildGammaTable(((gamma + 100) * 2048) / 100, table);
    points.lo = table[Limit(points.lo, 0, 255)];
    points.mid = table[Limit(points.mid, 0, 255)];
    points.hi = table[Limit(points.hi, 0, 255)];
  }
  return points;
}

int32_t TruncateLimited(double v, int32_t lo, int32_t hi) {
  if (!(v >= double(lo))) return lo;
  if (v > double(hi)) return hi;
  return int32_t(v);
}

void ChannelToneCurve(const CorrectionAmounts& a, int channel, StretchForm form, int32_t curve[256]) {
  const int32_t d = a.black_channel[channel] + a.black;
  const int32_t e = 255 - d - (a.white_channel[channel] + a.white);
  const KeyPoints k = ToneKeyPoints(a.contrast, a.brightness, a.highlight_balance[channel], a.gamma);
  const int32_t kx[5] = {0, 64, 128, 192, 255};
  const int32_t ky[5] = {0, k.lo, k.mid, k.hi, 255};
  const Spline spline(kx, ky, 5, 1);
  for (int32_t x = 0; x < 256; ++x) {
    const double stretched = form == StretchForm::kPreview ? x * (255.0 / e) + d * (-255.0 / e)
                                                           : (255.0 / e) * x + (-255.0 * d / e);
    curve[x] = Limit(spline.Value(TruncateLimited(stretched, 0, 255)), 0, 255);
  }
}

}  // namespace kalimu::imaging
