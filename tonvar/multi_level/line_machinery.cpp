// Zones, rows, error rows, the leading byte and the rounding draws of a multi-level line.
#include "tonvar/multi_level/line_machinery.h"

#include <algorithm>
#include <cstring>

#include "tonvar/halftone_lines/four_level_dots.h"

namespace tonvar::multi_level {

EngineStatus SelectRunZones(const MultiLevelState& state, int32_t x, RunZones* run) {
  const int64_t even_width = int64_t{state.width} + (state.width & 1);
  const int64_t end = state.x_end;
  RunZones zones;
  std::copy(state.zones, state.zones + kZoneCount, zones.zone);
  HorizontalZone& left = zones.zone[halftone_lines::kLeftTransition];
  HorizontalZone& right = zones.zone[halftone_lines::kRightTransition];
  if (right.start < left.end) {
    int64_t middle = (int64_t{left.end} + right.start) / 2;
    middle += middle & 1;
    left.end = right.start = static_cast<int32_t>(middle);
  }
  // In order, inside the line, without overlap.
  int64_t floor = 0;
  for (HorizontalZone& z : zones.zone) {
    const int64_t start = std::clamp<int64_t>(z.start, floor, even_width);
    const int64_t stop = std::clamp<int64_t>(z.end, start, even_width);
    z.start = static_cast<int32_t>(start);
    z.end = static_cast<int32_t>(stop);
    floor = stop;
  }
  bool holds_start = x == even_width;
  bool holds_end = end == 0;
  for (const HorizontalZone& z : zones.zone) {
    holds_start = holds_start || (z.start <= x && x < z.end);
    holds_end = holds_end || (z.start < end && end <= z.end);
  }
  if (!holds_start || !holds_end) return kStatusBadResource;

  // Cut to the run, then even: a zone of odd length takes one more pixel from the next one.
  int64_t next_start = x;
  for (int i = 0; i < kZoneCount; ++i) {
    const HorizontalZone& z = zones.zone[i];
    HorizontalZone& out = run->zone[i];
    out = z;
    const int64_t start = std::max<int64_t>({z.start, x, next_start});
    const int64_t stop = std::min<int64_t>(z.end, end);
    if (start >= stop) {
      out.start = out.end = 0;
      continue;
    }
    out.start = static_cast<int32_t>(start);
    out.end = static_cast<int32_t>(stop + ((stop - start) & 1));
    next_start = out.end;
  }
  return kStatusOk;
}

void SelectInputRows(const uint8_t* pair[2], const MultiLevelState& state) {
  pair[0] = state.in_rows[0];
  pair[1] = state.row_count == 2 ? state.in_rows[1] : state.in_rows[0];
}

void SetupOutputRows(uint8_t* rows[kRowSetEntries], uint8_t* const* out_rows, int32_t plane_stride,
                     uint32_t row_count, int32_t ink_count) {
  std::fill(rows, rows + kRowSetEntries, nullptr);
  if (ink_count != 4 && (ink_count < 6 || ink_count > 8)) return;
  const uint32_t used_rows = std::min<uint32_t>(row_count, 2);
  for (int k = 0; k < ink_count; ++k) {
    for (uint32_t r = 0; r < used_rows; ++r) rows[2 * k + r] = out_rows[r] + int64_t{k} * plane_stride;
  }
  if (row_count == 1) {
    for (int k = 0; k < kMaxInks; ++k) rows[2 * k + 1] = rows[2 * k];
  }
}

void ResetErrorRows(MultiLevelState* state, int inks) {
  const int64_t previous = state->previous_line;
  const int64_t line = state->line;
  if (previous + 2 < line) {
    std::memset(state->error_block, 0, state->error_block_size);
    return;
  }
  if (previous + 1 != line || (line & 15) != 15 || state->x_end == 0) return;
  const int32_t from = state->x_end;
  const int32_t to = state->width;
  if (from >= to) return;
  for (int k = 0; k < inks; ++k) {
    std::fill(state->error_rows0[k] + from, state->error_rows0[k] + to, 0);
    std::fill(state->error_rows1[k] + from, state->error_rows1[k] + to, 0);
  }
}

void MergeLeadingByte(uint8_t* const rows[kRowSetEntries], uint32_t first_dot, uint32_t row_count,
                      int inks, uint32_t partial[kRowSetEntries]) {
  uint32_t kept = 0;
  for (uint32_t p = 0; p < first_dot && p < 4; ++p) kept |= 3u << halftone_lines::kDotShift[p];
  for (uint32_t r = 0; r < row_count && r < 2; ++r) {
    for (int k = 0; k < inks; ++k) {
      uint32_t& word = partial[2 * k + r];
      word = (rows[2 * k + r][0] & kept) | (word & 0xFF & ~kept);
    }
  }
}

uint32_t DrawRounding(common::MtState* random) {
  uint32_t r = common::RandomGenerate(random);
  while (r < 0x1000000) r = NextRounding(r);
  return r;
}

}  // namespace tonvar::multi_level
