// Spline, gamma and colour-space routines.
#include "kalimu/imaging/curve_routines.h"

#include "kalimu/imaging/image_memory.h"
#include "maths/prime_logarithm.h"

namespace kalimu::imaging {
namespace {

// The six hue sectors' channels from the value, the floor p, the falling q (q3 in sector 3)
// and the rising t.
void SectorRgb(int32_t sector, int32_t v, int32_t p, int32_t q, int32_t q3, int32_t t, int32_t* red,
               int32_t* green, int32_t* blue) {
  const int32_t rgb[6][3] = {{v, t, p}, {q, v, p}, {p, v, t}, {p, q3, v}, {t, p, v}, {v, p, q}};
  const int32_t k = sector < 0 ? 0 : (sector > 5 ? 5 : sector);
  *red = rgb[k][0];
  *green = rgb[k][1];
  *blue = rgb[k][2];
}

}  // namespace

SplineFit FitSpline(const int32_t* x, const int32_t* y, double* coefficients, int32_t n) {
  if (n < 2) return SplineFit::kBadKnots;
  // Equal or falling inputs would divide by zero below and break the search of SplineValue.
  for (int32_t i = 0; i + 1 < n; ++i) {
    if (x[i + 1] <= x[i]) return SplineFit::kBadKnots;
  }
  ScopedImageBlock h_block(sizeof(double) * size_t(n), 0);
  ScopedImageBlock s_block(sizeof(double) * size_t(n), 0);
  if (!h_block.held() || !s_block.held()) return SplineFit::kNoMemory;
  double* h = h_block.as<double>();
  double* s = s_block.as<double>();
  for (int32_t i = 0; i + 1 < n; ++i) {
    h[i] = double(x[i + 1] - x[i]);
    s[i] = double(y[i + 1] - y[i]) / h[i];
  }
  // Natural ends; the tridiagonal system of the inner knots by forward elimination, with the
  // eliminated diagonal kept in h-independent form: diag[i] in coefficients, rhs in s.
  coefficients[0] = 0.0;
  coefficients[n - 1] = 0.0;
  if (n == 2) return SplineFit::kOk;
  // diag_i and rhs_i of row i (1..n-2) after eliminating row i-1.
  double previous_diag = 0.0;
  double previous_rhs = 0.0;
  double previous_s = s[0];
  for (int32_t i = 1; i <= n - 2; ++i) {
    double diag = 2.0 * (h[i - 1] + h[i]);
    double rhs = s[i] - previous_s;
    if (i > 1) {
      const double factor = h[i - 1] / previous_diag;
      diag -= factor * h[i - 1];
      rhs -= factor * previous_rhs;
    }
    previous_s = s[i];
    // Keep the reduced row: diagonal in coefficients, right-hand side in s[i - 1] (no longer read).
    coefficients[i] = diag;
    s[i - 1] = rhs;
    previous_diag = diag;
    previous_rhs = rhs;
  }
  // Back substitution from the last inner knot.
  double next = 0.0;
  for (int32_t i = n - 2; i >= 1; --i) {
    const double m = (s[i - 1] - h[i] * next) / coefficients[i];
    coefficients[i] = m;
    next = m;
  }
  return SplineFit::kOk;
}

int32_t SplineValue(const int32_t* x, const int32_t* y, const double* coefficients, int32_t n,
                    int32_t v) {
  if (v < x[0]) {
    return int32_t(y[0] + int64_t(y[1] - y[0]) * (v - x[0]) / (x[1] - x[0]));
  }
  if (v > x[n - 1]) {
    if (x[n - 2] == x[n - 1]) return 100000;
    return int32_t(y[n - 1] + int64_t(y[n - 1] - y[n - 2]) * (v - x[n - 1]) / (x[n - 1] - x[n - 2]));
  }
  // First knot j with x[j] >= v; a v on a knot uses the interval ending there.
  int32_t lo = 0;
  int32_t hi = n - 1;
  while (lo < hi) {
    const int32_t mid = (lo + hi) / 2;
    if (x[mid] < v) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  const int32_t k = lo == 0 ? 0 : lo - 1;
  const double t = double(v - x[k]);
  const double h = double(x[k + 1] - x[k]);
  const double mk = coefficients[k];
  const double mk1 = coefficients[k + 1];
  const double result =
      double(y[k]) + t * (double(y[k + 1] - y[k]) / h - (2.0 * mk + mk1) * h + 3.0 * mk * t +
                          (mk1 - mk) * t * t / h) + 0.5;
  return int32_t(result);
}

Spline::Spline(const int32_t* x, const int32_t* y, int32_t n, int32_t identity_scale)
    : identity_scale_(identity_scale), status_(SplineFit::kBadKnots) {
  if (n < 2 || n > kMaxSplineKnots) return;
  for (int32_t i = 0; i < n; ++i) {
    x_[i] = x[i];
    y_[i] = y[i];
  }
  status_ = FitSpline(x_, y_, m_, n);
  if (status_ == SplineFit::kOk) n_ = n;
}

int32_t Spline::Value(int32_t v) const {
  if (status_ != SplineFit::kOk) return v * identity_scale_;
  return SplineValue(x_, y_, m_, n_, v);
}

void BuildGammaTable(int32_t a, int32_t table[256]) {
  table[0] = 0;
  table[255] = 255;
  const int64_t c = int64_t{a} * maths::kLogOf255 - 63855256;
  int64_t d = 1;
  int64_t e = 2048 * int64_t{maths::IntegerLogarithm(1)} + c;
  for (int32_t i = 1; i <= 254; ++i) {
    const int64_t target = int64_t{a} * maths::IntegerLogarithm(i);
    // The search goes on from the previous entry's d, so the table never falls.
    while (e <= target && d < INT32_MAX - 2) {
      d += 2;
      e = 2048 * int64_t{maths::IntegerLogarithm(int32_t(d))} + c;
    }
    table[i] = int32_t((d / 2) % 256);
  }
}

int32_t RgbToHsv(int32_t red, int32_t green, int32_t blue, int32_t* hue, int32_t* value,
                 int32_t* saturation) {
  int32_t max = red > green ? red : green;
  if (blue > max) max = blue;
  int32_t min = red < green ? red : green;
  if (blue < min) min = blue;
  *value = max;
  if (max == 0 || max == min) {
    *saturation = 0;
    *hue = -1;
    return 1;
  }
  const int32_t delta = max - min;
  *saturation = delta * 255 / max;
  int32_t h = 0;
  // Later maxima win ties: yellow (255, 255, 0) takes the green formula.
  if (red == max) h = (green - blue) * 60 / delta;
  if (green == max) h = (blue - red) * 60 / delta + 120;
  if (blue == max) h = (red - green) * 60 / delta + 240;
  if (h < 0) h += 360;
  if (h >= 360) h -= 360;
  *hue = h;
  return 0;
}

void HsvToRgb(int32_t hue, int32_t value, int32_t saturation, int32_t* red, int32_t* green,
              int32_t* blue) {
  if (saturation == 0) {
    *red = *green = *blue = value;
    return;
  }
  if (hue >= 360) hue -= 360;
  const int32_t sector = 6 * hue / 360;
  const int32_t f = 6 * hue - 360 * sector;
  const int32_t v = value;
  const int32_t p = v * (255 - saturation) / 255;
  const int32_t q = v * (255 - saturation * f / 360) / 255;
  const int32_t t = v * (255 - saturation * (360 - f) / 360) / 255;
  SectorRgb(sector, v, p, q, q, t, red, green, blue);
}

void FineHsvToRgb(int32_t hue, int32_t value, int32_t saturation, int32_t* red, int32_t* green,
                  int32_t* blue) {
  if (saturation == 0) {
    *red = *green = *blue = value;
    return;
  }
  if (hue >= 1440) hue -= 1440;
  const int32_t sector = 6 * hue / 1440;
  const int32_t f = 6 * hue % 1440;
  const int32_t v = value;
  const int32_t s = saturation;
  const int32_t p = (v * (1024 - s) + 512) / 1024;
  const int32_t q = (v * (1024 - (f * s + 720) / 1440) + 512) / 1024;
  const int32_t t = (v * (1024 - ((1440 - f) * s + 720) / 1440) + 512) / 1024;
  const int32_t q3 = (v * (1024 - (f * s) / 1440) + 512) / 1024;
  SectorRgb(sector, v, p, q, q3, t, red, green, blue);
}

}  // namespace kalimu::imaging
