// The grey engine's per-ink rank correction (step 5) and its parts.
#pragma once

#include <cstdint>

#include "tonvar/common/resource_bytes.h"
#include "tonvar/grey/grey_engine.h"

namespace tonvar::grey {

// Per taking-part ink, one rank value per dot size (small, medium, large). Indexed by the ink
// numbers of the markup's pairs (0..20).
struct RankTriples {
  int32_t ink[kMarkupMaxInks + 1][3];
};

// The rank values of each ink from `rows` (row_count rows of 20 values) by the markup's mode.
// 0, or 768 for no mode, a bad method letter, a row number naming no row, a negative result.
EngineStatus ComputeGreyRankValues(const GreyMarkup& markup, const int32_t (*rows)[kCwMaxValues],
                                   int32_t row_count, RankTriples* triples);

// The rank difference of an ink compared with the pair (a, b) at dot amounts q (dot amount
// times weight): the client's set B against the reference set A.
int32_t GreyRankDifference(int32_t a, int32_t b, const int64_t q[3], const RankTriples& set_a,
                           const RankTriples& set_b);
int32_t GreyRankDifferenceWithRates(int32_t a, int32_t b, const int64_t q[3],
                                    const int32_t rates[3], const RankTriples& set_a,
                                    const RankTriples& set_b);

// The correction block: C ascending knots and rows of C curve values.
struct GreyCorrectionCurves {
  int32_t knot_count;
  const uint8_t* knots;
  const uint8_t* rows;
  int64_t row_count;  // rows the block holds; -1 when its length is unknown
};

// The value of row r of the curves at amount x. 768 for x above the last knot, a row the
// block does not hold, or a segment of zero width.
EngineStatus InterpolateGreyCorrectionCurve(const GreyCorrectionCurves& curves, int32_t x,
                                            int32_t row, uint16_t* amount);

}  // namespace tonvar::grey
