// Brightness/contrast base curve, gamma offsets and smoothing of the adjustment tables.
#include "tonvar/colour/adjustment_curves.h"

#include <algorithm>

#include "tonvar/colour/colour_adjustment.h"

namespace tonvar::colour {
namespace {

// Products reach (255^3) times factors of up to about 2^22: 64-bit throughout.
int64_t Cube(int64_t v) { return v * v * v; }

void ClampLevels(int64_t* curve) {
  for (int i = 0; i < kLevels; ++i) curve[i] = std::clamp<int64_t>(curve[i], 0, 255);
}

// Linear gain k/100 through 0 up to the knee x0, then a cubic that reaches 256 with slope 0.
void Brighten(int32_t brightness, int64_t* t) {
  const int64_t k = 10000 / (100 - brightness);
  const int64_t x0 = ((300 - k) * 256) / (2 * k);
  const int64_t c3 = (k * 65536) / (3 * (x0 - 256) * (x0 - 256));
  for (int i = 0; i < kLevels; ++i) {
    t[i] = i < x0 ? (t[i] * k) / 100 : (Cube(t[i] - 256) * c3) / 6553600 + 256;
  }
}

// A cubic from 0 with slope 0 up to the knee x0, then a line of gain k/100 through 256.
void Darken(int32_t brightness, int64_t* t) {
  const int64_t k = 10000 / (100 + brightness);
  const int64_t x0 = ((3 * k - 300) * 256) / (2 * k);
  const int64_t c3 = (k * 65536) / (3 * x0 * x0);
  for (int i = 0; i < kLevels; ++i) {
    t[i] = i < x0 ? (Cube(t[i]) * c3) / 6553600 : ((t[i] - 256) * k + 25600) / 100;
  }
}

void Flatten(int32_t contrast, int64_t* t) {
  for (int i = 0; i < kLevels; ++i) t[i] = ((t[i] - 128) * (contrast + 100) + 12800) / 100;
}

// A line of gain k/100 through 128 between the knees x0 and x1, cubic toes toward 0 and 256.
void Steepen(int32_t contrast, int64_t* t) {
  const int64_t k = 10000 / (100 - contrast);
  const int64_t x0 = ((3 * k - 300) * 128) / (2 * k);
  const int64_t c1 = (k * 65536) / (3 * x0 * x0);
  const int64_t x1 = ((k + 300) * 128) / (2 * k);
  const int64_t c2 = (k * 65536) / (3 * (x1 - 256) * (x1 - 256));
  for (int i = 0; i < kLevels; ++i) {
    if (i < x0) {
      t[i] = (Cube(t[i]) * c1) / 6553600;
    } else if (i >= x1) {
      t[i] = (Cube(t[i] - 256) * c2) / 6553600 + 256;
    } else {
      t[i] = ((t[i] - 128) * k + 12800) / 100;
    }
  }
}

}  // namespace

void BuildBaseCurve(int32_t brightness, int32_t contrast, int32_t* curve) {
  int64_t t[kLevels];
  for (int i = 0; i < kLevels; ++i) t[i] = i;
  // Callers validate -50..50; outside it the knees and divisors are not sound.
  brightness = std::clamp(brightness, -50, 50);
  contrast = std::clamp(contrast, -50, 50);
  if (brightness > 0) {
    Brighten(brightness, t);
    ClampLevels(t);
  } else if (brightness < 0) {
    Darken(brightness, t);
    ClampLevels(t);
  }
  if (contrast < 0) {
    Flatten(contrast, t);
    ClampLevels(t);
  } else if (contrast > 0) {
    Steepen(contrast, t);
    ClampLevels(t);
  }
  for (int i = 0; i < kLevels; ++i) curve[i] = static_cast<int32_t>(t[i]);
}

void BuildGammaOffsets(uint32_t gamma, uint32_t gamma_base, int32_t* offsets) {
  if (gamma == gamma_base || gamma_base == 0) {
    std::fill(offsets, offsets + kLevels, 0);
    return;
  }
  const uint32_t percent = (gamma * 100) / gamma_base;
  for (int i = 0; i < kLevels; ++i) {
    offsets[i] = static_cast<int32_t>(GammaLevel(static_cast<uint32_t>(i), percent)) - i;
  }
}

void SmoothTable(uint32_t* table) {
  for (int i = 1; i <= 253; ++i) table[i] = (table[i - 1] + table[i] + table[i + 1]) / 3;
}

}  // namespace tonvar::colour
