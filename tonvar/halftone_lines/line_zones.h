// The five horizontal zones of a halftone line (edge, transition, centre, transition, edge)
// and their plan for one call's span.
#pragma once

#include <cstdint>

#include "tonvar/interface/status.h"

namespace tonvar::halftone_lines {

inline constexpr int kZoneCount = 5;

enum ZoneIndex { kLeftEdge, kLeftTransition, kCentre, kRightTransition, kRightEdge };

// Plain zones use one threshold table; transition zones blend two.
struct HorizontalZone {
  int32_t start;
  int32_t end;  // exclusive
  int32_t width;
  int32_t plain;
};

// Zones of a line of `width` pixels (rounded up to even) with the left and right edge widths
// and the transition widths beside them. A centre that would start after its end is empty.
void SetupHorizontalZones(HorizontalZone zones[kZoneCount], int32_t width, int32_t left_edge,
                          int32_t right_edge, int32_t left_transition, int32_t right_transition);

// The zones cut to the span [x, span_end): overlapping transitions meet at their even
// midpoint, zones outside the span are emptied, the first and last zones touched are cut, and
// every zone of odd length grows by one pixel, moving the later ones right. 768 when the span
// starts or ends outside the zones.
EngineStatus PlanLineZones(HorizontalZone plan[kZoneCount], const HorizontalZone zones[kZoneCount],
                           int32_t x, int32_t span_end);

}  // namespace tonvar::halftone_lines
