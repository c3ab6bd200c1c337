// Natural cubic splines through a few knots, the integer gamma table and the RGB/HSV forms
// that the photo-correction engine builds its curves and colour zones with.
#pragma once

#include <cstdint>

namespace kalimu::imaging {

// Result of fitting a spline.
enum class SplineFit : int32_t {
  kOk = 0,
  kBadKnots = 1,   // fewer than two knots, or inputs that do not rise strictly
  kNoMemory = 2,   // the work arrays could not be had
};

// Second derivatives / 6 of the natural cubic spline through (x[i], y[i]), i < n, into
// coefficients[0..n-1]. The inputs must rise strictly; otherwise nothing is written.
SplineFit FitSpline(const int32_t* x, const int32_t* y, double* coefficients, int32_t n);

// The spline at v: between the knots the cubic, beyond the end knots the straight line through
// the two end knots (integer arithmetic).
int32_t SplineValue(const int32_t* x, const int32_t* y, const double* coefficients, int32_t n,
                    int32_t v);

// A spline of up to kMaxSplineKnots knots, fitted once and evaluated many times. When the fit
// is refused, Value() is the identity scaled by identity_scale (the caller's flat curve).
constexpr int32_t kMaxSplineKnots = 8;
class Spline {
 public:
  Spline(const int32_t* x, const int32_t* y, int32_t n, int32_t identity_scale);
  SplineFit status() const { return status_; }
  int32_t Value(int32_t v) const;

 private:
  int32_t x_[kMaxSplineKnots] = {};
  int32_t y_[kMaxSplineKnots] = {};
  double m_[kMaxSplineKnots] = {};
  int32_t n_ = 0;
  int32_t identity_scale_;
  SplineFit status_;
};

// Gamma table for the argument a = exponent * 2048: table[i] close to 255.45 * (i/255)^(a/2048),
// from integer logarithms; table[0] = 0, table[255] = 255, never falling.
void BuildGammaTable(int32_t a, int32_t table[256]);

// Integer HSV of an RGB colour: hue 0..359 (-1 for grey), value and saturation 0..255.
// 1 for a grey colour (max 0 or max = min), else 0.
int32_t RgbToHsv(int32_t red, int32_t green, int32_t blue, int32_t* hue, int32_t* value,
                 int32_t* saturation);
// Integer RGB of a hue in degrees, value and saturation 0..255.
void HsvToRgb(int32_t hue, int32_t value, int32_t saturation, int32_t* red, int32_t* green,
              int32_t* blue);
// Fixed-point form: hue 0..1439 (quarter degrees), value 0..1020, saturation 0..1024; channels
// 0..1020.
void FineHsvToRgb(int32_t hue, int32_t value, int32_t saturation, int32_t* red, int32_t* green,
                  int32_t* blue);

inline int32_t Limit(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

}  // namespace kalimu::imaging
