// Grey input pixels to ink amounts or grey levels, two output pixels a step.
#include "tonvar/halftone_lines/grey_line_lookup.h"

namespace tonvar::halftone_lines {
namespace {

constexpr int kPixelBytes = 4;

uint32_t GreyOf(const uint8_t* pixel) { return (30u * pixel[0] + 59u * pixel[1] + 11u * pixel[2]) / 100u; }

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

// The input pixels of each step of the span: put(step, A, B, C, D) with the pixels' addresses.
template <typename Put>
[[gnu::always_inline]] inline EngineStatus WalkSteps(int32_t replication_code, int32_t pattern_index, int32_t x,
                                                     int32_t span_end, const uint8_t* const input_pair[2], Put&& put) {
  if (replication_code == -1 || pattern_index < 0 || pattern_index >= kPatternLength) {
    return kStatusBadResource;
  }
  int32_t pattern[kPatternLength];
  GetReplicationPattern(replication_code, pattern);
  const uint8_t* top = input_pair[0];
  const uint8_t* bottom = input_pair[1];
  const int64_t steps = x < span_end ? (int64_t{span_end} - x + 1) / 2 : 0;
  int64_t step = 0;
  if (replication_code == 0) {
    // Pixel pairs; the last pixel of an odd span is read once, for both columns.
    const int64_t pairs = (int64_t{span_end} - x) / 2;
    for (; step < pairs; ++step) {
      put(step, top, top + kPixelBytes, bottom, bottom + kPixelBytes);
      top += 2 * kPixelBytes;
      bottom += 2 * kPixelBytes;
    }
  }
  int32_t index = pattern_index;
  for (; step < steps; ++step) {
    const uint8_t* a = top;
    const uint8_t* c = bottom;
    if (pattern[index] != 0) {
      top += kPixelBytes;
      bottom += kPixelBytes;
    }
    index = index + 1 < kPatternLength && pattern[index + 1] != -1 ? index + 1 : 0;
    put(step, a, a, c, c);
  }
  return kStatusOk;
}

}  // namespace

EngineStatus LookupGreyLine(const PackedInkRow* ink_table, int32_t replication_code,
                            int32_t pattern_index, int32_t x, int32_t span_end,
                            const uint8_t* const input_pair[2], uint32_t* const ink_line[kGreyPlanes]) {
  uint32_t* lines[kGreyPlanes];
  for (int k = 0; k < kGreyPlanes; ++k) lines[k] = ink_line[k];
  return WalkSteps(replication_code, pattern_index, x, span_end, input_pair,
                   [&](int64_t step, const uint8_t* a, const uint8_t* b, const uint8_t* c, const uint8_t* d)
                       __attribute__((always_inline)) {
                     PutStep(ink_table[GreyOf(a)], ink_table[GreyOf(b)], ink_table[GreyOf(c)],
                             ink_table[GreyOf(d)], lines, 2 * step);
                   });
}

EngineStatus LookupGreyLevels(int32_t replication_code, int32_t pattern_index, int32_t x, int32_t span_end,
                              const uint8_t* const input_pair[2], uint8_t* levels) {
  return WalkSteps(replication_code, pattern_index, x, span_end, input_pair,
                   [&](int64_t step, const uint8_t* a, const uint8_t* b, const uint8_t* c, const uint8_t* d)
                       __attribute__((always_inline)) {
                     uint8_t* out = levels + 4 * step;
                     out[0] = static_cast<uint8_t>(GreyOf(a));
                     out[1] = static_cast<uint8_t>(GreyOf(b));
                     out[2] = static_cast<uint8_t>(GreyOf(c));
                     out[3] = static_cast<uint8_t>(GreyOf(d));
                   });
}

}  // namespace tonvar::halftone_lines
