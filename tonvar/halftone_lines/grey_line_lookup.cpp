// Grey input pixels to ink amounts, two output pixels a step.
#include "tonvar/halftone_lines/grey_line_lookup.h"

namespace tonvar::halftone_lines {
namespace {

constexpr int kPixelBytes = 4;

const uint32_t* RowOf(const PackedInkRow* table, const uint8_t* pixel) {
  return table[(30 * pixel[0] + 59 * pixel[1] + 11 * pixel[2]) / 100];
}

// One step's words of every plane: plane 2w takes the high halves of word w of the left and
// right rows, plane 2w + 1 the low halves.
[[gnu::always_inline]] inline void PutStep(const uint32_t* a, const uint32_t* b, const uint32_t* c, const uint32_t* d,
                                           uint32_t* const lines[kGreyPlanes], int64_t at) {
  for (int w = 0; w < kGreyPlanes / 2; ++w) {
    lines[2 * w][at] = (a[w] & 0xFFFF0000u) | (b[w] >> 16);
    lines[2 * w + 1][at] = (a[w] << 16) | (b[w] & 0xFFFFu);
    lines[2 * w][at + 1] = (c[w] & 0xFFFF0000u) | (d[w] >> 16);
    lines[2 * w + 1][at + 1] = (c[w] << 16) | (d[w] & 0xFFFFu);
  }
}

}  // namespace

EngineStatus LookupGreyLine(const PackedInkRow* ink_table, int32_t replication_code,
                            int32_t pattern_index, int32_t x, int32_t span_end,
                            const uint8_t* const input_pair[2], uint32_t* const ink_line[kGreyPlanes]) {
  if (replication_code == -1 || pattern_index < 0 || pattern_index >= kPatternLength) {
    return kStatusBadResource;
  }
  int32_t pattern[kPatternLength];
  GetReplicationPattern(replication_code, pattern);
  uint32_t* lines[kGreyPlanes];
  for (int k = 0; k < kGreyPlanes; ++k) lines[k] = ink_line[k];
  const uint8_t* top = input_pair[0];
  const uint8_t* bottom = input_pair[1];
  const int64_t steps = x < span_end ? (int64_t{span_end} - x + 1) / 2 : 0;
  int64_t step = 0;
  if (replication_code == 0) {
    // Pixel pairs; the last pixel of an odd span is read once, for both columns.
    const int64_t pairs = (int64_t{span_end} - x) / 2;
    for (; step < pairs; ++step) {
      PutStep(RowOf(ink_table, top), RowOf(ink_table, top + kPixelBytes), RowOf(ink_table, bottom),
              RowOf(ink_table, bottom + kPixelBytes), lines, 2 * step);
      top += 2 * kPixelBytes;
      bottom += 2 * kPixelBytes;
    }
  }
  int32_t index = pattern_index;
  for (; step < steps; ++step) {
    const uint32_t* a = RowOf(ink_table, top);
    const uint32_t* c = RowOf(ink_table, bottom);
    if (pattern[index] != 0) {
      top += kPixelBytes;
      bottom += kPixelBytes;
    }
    index = index + 1 < kPatternLength && pattern[index + 1] != -1 ? index + 1 : 0;
    PutStep(a, a, c, c, lines, 2 * step);
  }
  return kStatusOk;
}

}  // namespace tonvar::halftone_lines
