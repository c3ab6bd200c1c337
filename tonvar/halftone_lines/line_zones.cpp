// Horizontal zones of a halftone line and their cut to one call's span.
#include "tonvar/halftone_lines/line_zones.h"

#include <algorithm>
#include <limits>

namespace tonvar::halftone_lines {
namespace {

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

HorizontalZone Zone(int64_t start, int64_t end, int32_t plain) {
  return {Clamp32(start), Clamp32(end), Clamp32(end - start), plain};
}

}  // namespace

void SetupHorizontalZones(HorizontalZone zones[kZoneCount], int32_t width, int32_t left_edge,
                          int32_t right_edge, int32_t left_transition, int32_t right_transition) {
  const int64_t w = int64_t{width} + (width & 1);
  const int64_t l = left_edge, t = left_transition;
  const int64_t r = right_edge, t2 = right_transition;
  zones[kLeftEdge] = Zone(0, l, 1);
  zones[kLeftTransition] = Zone(l, l + t, 0);
  zones[kCentre] = l + t > w - r - t2 ? HorizontalZone{0, 0, 0, 1} : Zone(l + t, w - r - t2, 1);
  zones[kRightTransition] = Zone(w - r - t2, w - r, 0);
  zones[kRightEdge] = Zone(w - r, w, 1);
}

EngineStatus PlanLineZones(HorizontalZone plan[kZoneCount], const HorizontalZone zones[kZoneCount],
                           int32_t x, int32_t span_end) {
  std::copy(zones, zones + kZoneCount, plan);
  HorizontalZone& left = plan[kLeftTransition];
  HorizontalZone& right = plan[kRightTransition];
  if (right.start < left.end) {
    int64_t middle = (int64_t{left.end} + right.start) / 2;
    middle += middle & 1;
    left.end = right.start = Clamp32(middle);
  }

  int first = 0;
  while (first < kZoneCount && !(plan[first].start <= x && x < plan[first].end)) ++first;
  if (first == kZoneCount) return kStatusBadResource;
  for (int z = 0; z < first; ++z) plan[z].start = plan[z].end = 0;
  plan[first].start = x;

  int last = 0;
  while (last < kZoneCount && !(plan[last].start < span_end && span_end <= plan[last].end)) ++last;
  if (last == kZoneCount) return kStatusBadResource;
  plan[last].end = span_end;
  for (int z = last + 1; z < kZoneCount; ++z) plan[z].start = plan[z].end = 0;

  for (int z = 0; z < kZoneCount; ++z) {
    if ((int64_t{plan[z].end} - plan[z].start) % 2 == 0) continue;
    plan[z].end = Clamp32(int64_t{plan[z].end} + 1);
    for (int later = z + 1; later < kZoneCount; ++later) {
      if (plan[later].end == plan[later].start) continue;
      plan[later].start = Clamp32(int64_t{plan[later].start} + 1);
      plan[later].end = Clamp32(int64_t{plan[later].end} + 1);
    }
  }
  return kStatusOk;
}

}  // namespace tonvar::halftone_lines
