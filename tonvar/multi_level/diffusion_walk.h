// The walk shared by the four-level diffusion kernels: zones, table blending, large dots by
// ordered dither, the two passes of every cell, the output words and the end of the call. A
// kernel supplies its pass; see diffusion_kernels.h.
#pragma once

#include <algorithm>
#include <cstdint>

#include "tonvar/common/random_generator.h"
#include "tonvar/multi_level/diffusion_kernels.h"
#include "tonvar/multi_level/dot_table_range.h"

namespace tonvar::multi_level::diffusion {

inline constexpr int32_t kDotWeight = static_cast<int32_t>(multi_level::kDotWeight);
inline constexpr int32_t kFullCell = 4 * kDotWeight;
inline constexpr int kBlendShift = 5;  // blends weigh in 1/32

// What one pass carries from cell to cell.
struct PassState {
  int32_t carry_upper;
  int32_t carry_lower;
  int32_t pending_left;
  int32_t pending_right;
  int32_t pending_next;
  uint32_t history;
  int32_t idle;
};

// One pass of one cell: the error row at the cell's left column, the four sub-pixel values,
// their sum, the base threshold, the random word and the sub-pixels already holding a dot of this
// size or larger (bit i for sub-pixel i).
struct PassCell {
  int32_t* e;
  int32_t t[4];
  int32_t density;
  int32_t base;
  uint32_t r;
  uint32_t occupied;
};

inline int32_t Jitter(uint32_t r) { return static_cast<int32_t>(4 * (r & 15)); }
inline int32_t Penalty(uint32_t r) { return static_cast<int32_t>(32 * (r & 31) + 192); }

// Threshold index of a density; past the table's end (tables out of range) the last entry.
inline int32_t BaseThreshold(const DiffusionThresholds& table, int32_t density) {
  const uint32_t index = std::min<uint32_t>(static_cast<uint32_t>(density) >> 6, 255);
  return static_cast<int32_t>(table.value[index]);
}

// Decides sub-pixel i with input u in a sub-pixel band: an occupied sub-pixel keeps its dot and
// gives up one dot's weight; another gets a dot when u passes the threshold.
struct SubPixelDecision {
  uint32_t flags = 0;
  uint32_t dots = 0;
  int32_t Decide(int i, int32_t u, int32_t threshold, uint32_t occupied) {
    const uint32_t bit = 1u << i;
    if ((occupied & bit) != 0) {
      flags |= bit;
      return u - kDotWeight;
    }
    if (u > threshold) {
      flags |= bit;
      dots |= bit;
      return u - kDotWeight;
    }
    return u;
  }
};

// The idle rule: while the countdown lasts, the no-dot update passes the incoming error on;
// then the pass drops what it carries.
template <class NoDot>
inline void Idle(PassState& s, int32_t* e, NoDot no_dot) {
  if (s.idle > 0) {
    --s.idle;
    no_dot(s, e, e[0] + e[1] + s.carry_upper + s.carry_lower);
    return;
  }
  e[-2] = 0;
  e[-1] = 0;
  s.pending_left = 0;
  s.pending_next = 0;
  s.carry_upper = 0;
}

// Bit shift of the 2-bit code of pixel position x (0..15) in an output word stored
// little-endian, the leftmost pixel of each byte in its top bits.
inline constexpr int PixelShift(int x) { return 8 * (x >> 2) + 6 - 2 * (x & 3); }

inline void StoreBytes(uint8_t* out, uint32_t word, int count) {
  for (int i = 0; i < count; ++i) out[i] = static_cast<uint8_t>(word >> (8 * i));
}

// Values of one level (small, medium, large) in the zone's tables: B alone in a plain zone, else
// B x (32 - f) + A x f in 1/32.
struct ZoneTables {
  const DotTable* a;
  const DotTable* b;
  int32_t plain;
  int32_t origin;
  int32_t width;
};

inline ZoneTables TablesOfZone(const DiffusionCall& call, int z) {
  static constexpr int kA[halftone_lines::kZoneCount] = {0, 1, 1, 0, 0};
  static constexpr int kB[halftone_lines::kZoneCount] = {0, 0, 1, 1, 0};
  const HorizontalZone& zone = call.run_zones[z];
  const int32_t interior = call.table_set;
  return {&call.slot->set[kA[z] * interior], &call.slot->set[kB[z] * interior], zone.plain,
          call.state->zones[z].start, zone.width};
}

inline int32_t Blend(uint32_t b, uint32_t a, int32_t f) {
  return (static_cast<int32_t>(b) * (32 - f) + static_cast<int32_t>(a) * f) / 32;
}

// The three values of every sub-pixel of one cell.
struct CellValues {
  int32_t small[4];
  int32_t medium[4];
  int32_t large[4];
};

inline void LevelValues(const ZoneTables& z, int32_t f, uint32_t level, CellValues& v, int i) {
  const uint32_t* b = z.b->level[2 * level];
  if (z.plain != 0) {
    v.small[i] = static_cast<int32_t>(b[0]);
    v.medium[i] = static_cast<int32_t>(b[1]);
    v.large[i] = static_cast<int32_t>(b[2]);
    return;
  }
  const uint32_t* a = z.a->level[2 * level];
  v.small[i] = Blend(b[0], a[0], f);
  v.medium[i] = Blend(b[1], a[1], f);
  v.large[i] = Blend(b[2], a[2], f);
}

// A kernel's pass: a cell without density takes the idle rule `Member::Idle(state, e)`; any other
// sets the countdown back to `kIdleCount` and takes the rule of its band,
// `Member::Bands<kSmall>(state, cell)`, which answers the sub-pixels that get the pass's dot.
template <class Member, bool kSmall>
uint32_t Pass(PassState& s, const PassCell& p) {
  if (p.density == 0) {
    Member::Idle(s, p.e);
    return 0;
  }
  s.idle = Member::kIdleCount;
  return Member::template Bands<kSmall>(s, p);
}

// The walk of a four-level kernel; `kDrawAtSetUp` says whether the random word starts with a
// draw.
template <class Member>
void WalkCells(const DiffusionCall& call) {
  MultiLevelState& state = *call.state;
  const int16_t* samples = call.state->matrix.samples;
  const uint32_t mask = static_cast<uint32_t>(state.matrix.width) * static_cast<uint32_t>(state.matrix.height) - 1;
  uint32_t words[2] = {call.words[0], call.words[1]};
  int x = call.dot_position;
  uint32_t m = call.matrix_position;
  uint32_t r = Member::kDrawAtSetUp ? common::RandomGenerate(&state.random) : 0;
  PassState medium{0, 0, 0, 0, 0, 0, Member::kIdleCount};
  PassState small = medium;
  uint32_t cell = 0;
  uint32_t offset = 0;
  int32_t max_end = 0;
  int32_t* const medium_errors = call.medium_errors;
  int32_t* const small_errors = call.small_errors;
  uint8_t* const out0 = call.out_rows[0];
  uint8_t* const out1 = call.out_rows[1];

  for (int z = 0; z < halftone_lines::kZoneCount; ++z) {
    const HorizontalZone& zone = call.run_zones[z];
    max_end = std::max(max_end, zone.end);
    const ZoneTables tables = TablesOfZone(call, z);
    for (int32_t c = zone.start; c < zone.end; c += 2, ++cell) {
      m = (m + 4) & mask;
      const int32_t f = tables.plain != 0 ? 0 : ((c - tables.origin) * 32) / tables.width;
      const uint32_t entry = call.cell_plane[cell];
      const bool detailed = ((call.flat_cells[cell >> 5] >> (cell & 31)) & 1) != 0;
      const int s0 = PixelShift(x);
      const int s1 = s0 - 2;
      if (!detailed && (entry & 0xFF) == 0) {
        Member::Idle(medium, medium_errors + c);
        Member::Idle(small, small_errors + c);
      } else {
        CellValues v;
        if (detailed) {
          for (int i = 0; i < 4; ++i) LevelValues(tables, f, (entry >> (24 - 8 * i)) & 0xFF, v, i);
        } else {
          LevelValues(tables, f, entry & 0xFF, v, 0);
          for (int i = 1; i < 4; ++i) {
            v.small[i] = v.small[0];
            v.medium[i] = v.medium[0];
            v.large[i] = v.large[0];
          }
        }
        // Large dots by ordered dither: sub-pixels 0..3 against samples m, m + 2, m + 1, m + 3.
        const uint32_t large = (v.large[0] > samples[m] ? 1u : 0u) | (v.large[1] > samples[m + 2] ? 2u : 0u) |
                               (v.large[2] > samples[m + 1] ? 4u : 0u) | (v.large[3] > samples[m + 3] ? 8u : 0u);
        words[0] |= ((large & 1) * 3u) << s0 | ((large >> 1 & 1) * 3u) << s1;
        words[1] |= ((large >> 2 & 1) * 3u) << s0 | ((large >> 3 & 1) * 3u) << s1;
        const auto occupied = [&] {
          return (words[0] >> (s0 + 1) & 1) | (words[0] >> (s1 + 1) & 1) << 1 | (words[1] >> (s0 + 1) & 1) << 2 |
                 (words[1] >> (s1 + 1) & 1) << 3;
        };
        const auto place = [&](uint32_t dots, uint32_t code) {
          words[0] |= ((dots & 1) * code) << s0 | ((dots >> 1 & 1) * code) << s1;
          words[1] |= ((dots >> 2 & 1) * code) << s0 | ((dots >> 3 & 1) * code) << s1;
        };
        for (int pass = 0; pass < 2; ++pass) {
          r >>= 4;
          if (r == 0) r = common::RandomGenerate(&state.random);
          const int32_t* t = pass == 0 ? v.medium : v.small;
          PassCell p{pass == 0 ? medium_errors + c : small_errors + c, {t[0], t[1], t[2], t[3]}, 0, 0, r, occupied()};
          p.density = t[0] + t[1] + t[2] + t[3];
          p.base = BaseThreshold(state.diffusion_thresholds, p.density);
          if (pass == 0) {
            place(Pass<Member, false>(medium, p), 2);
          } else {
            place(Pass<Member, true>(small, p), 1);
          }
        }
      }
      x += 2;
      if (x == 16) {
        StoreBytes(out1 + offset, words[1], 4);
        StoreBytes(out0 + offset, words[0], 4);
        offset += 4;
        words[0] = words[1] = 0;
        x = 0;
      }
    }
  }
  if (x != 0) {
    const int n = static_cast<int>(((state.first_dot + state.count) % 16 + 3) / 4);
    StoreBytes(out1 + offset, words[1], n);
    StoreBytes(out0 + offset, words[0], n);
  }
  medium_errors[max_end - 2] = medium.pending_left;
  medium_errors[max_end - 1] = medium.pending_right;
  small_errors[max_end - 2] = small.pending_left;
  small_errors[max_end - 1] = small.pending_right;
}

}  // namespace tonvar::multi_level::diffusion
