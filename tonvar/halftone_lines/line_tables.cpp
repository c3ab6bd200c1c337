// Replication patterns, breakpoint interpolation and plane pointers of the line drivers.
#include "tonvar/halftone_lines/line_tables.h"

#include <algorithm>

namespace tonvar::halftone_lines {
namespace {

struct PatternRow {
  int32_t code;
  int32_t steps[kPatternLength];
};

constexpr PatternRow kPatterns[] = {
    {0, {2, 2, 2, 2, -1, -1, -1, -1, -1}},
    {1, {1, 1, 1, 1, -1, -1, -1, -1, -1}},
    {2, {0, 1, 1, -1, -1, -1, -1, -1, -1}},
    {3, {0, 1, 0, 1, -1, -1, -1, -1, -1}},
    {7, {0, 0, 0, 1, -1, -1, -1, -1, -1}},
    {15, {0, 0, 0, 0, 0, 0, 0, 1, -1}},
};

}  // namespace

void GetReplicationPattern(int32_t code, int32_t pattern[kPatternLength]) {
  std::fill(pattern, pattern + kPatternLength, -1);
  for (const PatternRow& row : kPatterns) {
    if (row.code == code) std::copy(row.steps, row.steps + kPatternLength, pattern);
  }
}

bool InterpolateBreakpoints(uint32_t out[256], std::span<const int32_t> x,
                            std::span<const int32_t> y, int shift) {
  if (x.size() < 2 || y.size() != x.size() || x.front() != 0 || x.back() != 255) return false;
  if (shift < 0 || shift > 16) return false;
  for (size_t k = 1; k < x.size(); ++k) {
    if (x[k] <= x[k - 1]) return false;
  }
  const double scale = static_cast<double>(1 << shift);
  size_t k = 0;
  for (int i = 0; i < 256; ++i) {
    if (i > x[k + 1]) ++k;
    const double y0 = y[k] * scale, y1 = y[k + 1] * scale;
    const double v = (y1 - y0) * (i - x[k]) / (x[k + 1] - x[k]) + y0 + 0.5;
    out[i] = static_cast<uint32_t>(static_cast<int64_t>(v));
  }
  return true;
}

uint8_t** SetupPlanePointers(uint8_t* pointers[kMaxPlanePointers], uint8_t* const* out_rows,
                             int32_t plane_stride, uint32_t row_count, int32_t plane_count) {
  std::fill(pointers, pointers + kMaxPlanePointers, nullptr);
  if (plane_count < 6 || plane_count > 8) return pointers;
  const uint32_t rows = std::min<uint32_t>(row_count, 2);
  for (int k = 0; k < plane_count; ++k) {
    for (uint32_t r = 0; r < rows; ++r) pointers[2 * k + r] = out_rows[r] + int64_t{k} * plane_stride;
  }
  if (row_count == 1) {
    for (int k = 0; k < 8; ++k) pointers[2 * k + 1] = pointers[2 * k];
  }
  return pointers;
}

}  // namespace tonvar::halftone_lines
