// Grey conversion, base curves, zone blends, saturation and the 2x2 dither back to 8 bits.
#include "kalimu/imaging/correct_row.h"

#include "kalimu/imaging/curve_routines.h"

namespace kalimu::imaging {
namespace {

// Dither offsets by 2 * row parity + pixel parity.
constexpr int32_t kDither[4] = {0, 2, 3, 1};

}  // namespace

int32_t CorrectRow(const RowLayout& row, const CorrectionParameters& parameters, CorrectionTables* tables,
                   const uint8_t* input, uint8_t* output) {
  CorrectionTables& t = *tables;
  ++t.row_counter;
  const int32_t* dither = &kDither[2 * (t.row_counter & 1)];
  const bool monochrome = (parameters.flags & kParamMonochrome) != 0;
  const int32_t wr = t.mono_weight[0];
  const int32_t wg = t.mono_weight[1];
  const int32_t wb = t.mono_weight[2];
  const int32_t* base_r = t.curves[kBaseCurves][0];
  const int32_t* base_g = t.curves[kBaseCurves][1];
  const int32_t* base_b = t.curves[kBaseCurves][2];
  const uint32_t zones = t.zone_flags;
  const int32_t kr = t.saturation_factor[1];
  const int32_t kg = t.saturation_factor[2];
  const int32_t kb = t.saturation_factor[3];
  const int32_t pr = t.red_position;
  const int32_t pg = t.green_position;
  const int32_t pb = t.blue_position;
  const int32_t step = t.pixel_step;
  for (int32_t offset = 0, index = 0; offset < row.bytes_per_row; offset += step, ++index) {
    int32_t r = input[offset + pr];
    int32_t g = input[offset + pg];
    int32_t b = input[offset + pb];
    if (monochrome) {
      const int32_t v = wb * b + wg * g + wr * r;
      const int32_t grey = v < 0 ? 0 : (v > 32767 ? 255 : v >> 7);
      r = g = b = grey;
    }
    int32_t R = base_r[r];
    int32_t G = base_g[g];
    int32_t B = base_b[b];
    if (zones != 0) {
      int32_t dr = 0, dg = 0, db = 0;
      if ((zones & kZoneGreen) != 0) {
        int32_t w = 2 * g - b - r;
        if (w > 256) w = 256;
        if (g != 0 && w > 0) {
          const int32_t* const* z = t.curves[kGreenCurves];
          dr += ((w * z[0][r] + (256 - w) * R) >> 8) - R;
          dg += ((w * z[1][g] + (256 - w) * G) >> 8) - G;
          db += ((w * z[2][b] + (256 - w) * B) >> 8) - B;
        }
      }
      if ((zones & kZoneBlue) != 0) {
        int32_t w = 2 * b - g - r;
        if (w > 256) w = 256;
        if (b != 0 && w >= 1) {
          const int32_t* const* z = t.curves[kBlueCurves];
          dr += (((256 - w) * R + w * z[0][r]) >> 8) - R;
          dg += (((256 - w) * G + w * z[1][g]) >> 8) - G;
          db += (((256 - w) * B + w * z[2][b]) >> 8) - B;
        }
      }
      if ((zones & kZoneSkin) != 0) {
        const int32_t w = 2 * r - b - g;
        if (w >= 1 && w <= 255) {
          const int32_t u = w > 128 ? w - 128 : 128 - w;
          const int32_t* const* z = t.curves[kSkinCurves];
          dr += ((R * u + z[0][r] * (128 - u)) >> 7) - R;
          dg += ((G * u + z[1][g] * (128 - u)) >> 7) - G;
          db += ((B * u + z[2][b] * (128 - u)) >> 7) - B;
        }
      }
      if ((zones & kZoneRed) != 0) {
        const int32_t w = 2 * r - b - g;
        if (r != 0 && w > 0) {
          const int32_t* const* z = t.curves[kRedCurves];
          dr += (((512 - w) * R + w * z[0][r]) >> 9) - R;
          dg += (((512 - w) * G + w * z[1][g]) >> 9) - G;
          db += (((512 - w) * B + w * z[2][b]) >> 9) - B;
        }
      }
      R += dr;
      G += dg;
      B += db;
    }
    const int32_t m = (R + G + B) / 3;
    R = Limit(R + (((R - m) * kr + 64) >> 7), 0, kTenBitTop);
    G = Limit(G + (((G - m) * kg + 64) >> 7), 0, kTenBitTop);
    B = Limit(B + (((B - m) * kb + 64) >> 7), 0, kTenBitTop);
    // Memory-colour shifts need region tables, which this engine never builds.
    const int32_t d = dither[index & 1];
    output[offset + pr] = uint8_t((d + R) >> 2);
    output[offset + pg] = uint8_t((d + G) >> 2);
    output[offset + pb] = uint8_t((d + B) >> 2);
  }
  return 0;
}

}  // namespace kalimu::imaging
