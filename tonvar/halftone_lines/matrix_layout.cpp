// Matrix layouts of the "0123" form and the per-line matrix positions of the ink planes.
#include "tonvar/halftone_lines/matrix_layout.h"

#include "tonvar/common/byte_readers.h"

namespace tonvar::halftone_lines {
namespace {

constexpr int64_t kMaxMatrixSamples = int64_t{1} << 24;

// Phase pairs of the "0123" form by matrix width and ink count.
constexpr MatrixPhase kPhases256Ink4[] = {{64, 64}, {192, 36}, {128, 32}, {0, 0}};
constexpr MatrixPhase kPhases256Ink7[] = {{32, 128}, {96, 192}, {160, 64}, {0, 0},
                                          {64, 160}, {128, 32}, {192, 96}};
constexpr MatrixPhase kPhases512Ink4[] = {{128, 64}, {384, 36}, {256, 32}, {0, 0}};
constexpr MatrixPhase kPhases512Ink7[] = {{64, 128}, {192, 192}, {320, 64}, {0, 0},
                                          {128, 160}, {256, 32}, {384, 96}};

}  // namespace

bool MatrixShapeValid(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0 || height % 2 != 0) return false;
  const int64_t size = int64_t{width} * height;
  return size <= kMaxMatrixSamples && (size & (size - 1)) == 0;
}

EngineStatus SetMatrixLayout(MatrixLayout* layout, const uint8_t* block, int32_t ink_count) {
  const uint32_t count = common::ReadDword(block + 4);
  const bool wide = count == kMatrixCount512;
  if (!wide && count != kMatrixCount256) return kStatusBadResource;
  const MatrixPhase* phases;
  int phase_count;
  if (ink_count == 4) {
    phases = wide ? kPhases512Ink4 : kPhases256Ink4;
    phase_count = 4;
  } else if (ink_count == 6 || ink_count == 7) {
    phases = wide ? kPhases512Ink7 : kPhases256Ink7;
    phase_count = 7;
  } else {
    return kStatusBadResource;
  }
  layout->width = wide ? 512 : 256;
  layout->height = 256;
  layout->sample_bytes_a = 2;
  layout->sample_bytes_b = 0;
  layout->layout_flag = 3;
  layout->storage = 0;
  for (int k = 0; k < kMatrixInks; ++k) layout->ink_phase[k] = k < phase_count ? phases[k] : MatrixPhase{};
  return kStatusOk;
}

int32_t* ComputeMatrixPhases(int32_t phases[kMatrixInks], const MatrixLayout& layout, int64_t x,
                             int32_t line) {
  if (!MatrixShapeValid(layout.width, layout.height)) {
    for (int k = 0; k < kMatrixInks; ++k) phases[k] = 0;
    return phases;
  }
  const int64_t w = layout.width;
  const int64_t h = layout.height;
  for (int k = 0; k < kMatrixInks; ++k) {
    int64_t xs = layout.ink_phase[k].x + x;
    int64_t ln = line;
    if (xs < 0) {
      // Each turn of two matrix widths to the left is two lines up.
      const int64_t turns = (-xs + 2 * w - 1) / (2 * w);
      xs += turns * 2 * w;
      ln -= 2 * turns;
    }
    int64_t row = (layout.ink_phase[k].y + 2 * (xs / w) + ln) % h;
    if (row < 0) row += h;
    phases[k] = static_cast<int32_t>(((h - 2) & row) * w + 2 * (xs % w) - 4);
  }
  return phases;
}

}  // namespace tonvar::halftone_lines
