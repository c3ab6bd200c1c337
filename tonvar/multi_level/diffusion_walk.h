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
  // Branch-free: which way a sub-pixel goes is as good as random.
  int32_t Decide(int i, int32_t u, int32_t threshold, uint32_t occupied) {
    const uint32_t held = (occupied >> i) & 1;
    const uint32_t set = held | static_cast<uint32_t>(u > threshold);
    flags |= set << i;
    dots |= (set & ~held) << i;
    return u - (kDotWeight & -static_cast<int32_t>(set));
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

// What the two passes of one cell read, worked out ahead of them: the values of the medium (0)
// and small (1) pass, their sums and base thresholds, the sub-pixels the ordered dither gives a
// large dot, and whether the cell is idle.
struct CellInputs {
  int32_t t[2][4];
  int32_t density[2];
  int32_t base[2];
  uint32_t large;
  uint32_t idle;
};

// Cells worked out ahead of the passes at a time.
inline constexpr int kCellsAhead = 32;

// An ink's random words: first those drawn ahead into `words`, then the generator `rest`.
struct InkStream {
  const uint32_t* words;
  uint32_t drawn;
  uint32_t next;
  common::MtState* rest;
  uint32_t Draw() { return next < drawn ? words[next++] : common::RandomGenerate(rest); }
};

// One ink's part of a walk: its call, its random stream, what it carries from cell to cell and
// its cells ahead.
struct InkWalk {
  const DiffusionCall* call;
  InkStream random;
  ZoneTables tables;
  uint32_t words[2];
  uint32_t m;
  uint32_t r;
  PassState medium;
  PassState small;
  CellInputs ahead[kCellsAhead];
};

// What every ink of a walk shares.
struct WalkShared {
  const int16_t* samples;
  const DiffusionThresholds* thresholds;
  const uint32_t* flat_cells;
  uint32_t mask;
};

// Values, thresholds and large dots of `count` cells of one zone from column c and cell `cell`;
// kPlain for a zone that takes table B alone.
template <bool kPlain>
inline void PrepareCells(InkWalk& w, const WalkShared& k, int32_t c, uint32_t cell, int count) {
  const uint32_t* const plane = w.call->cell_plane;
  const ZoneTables& tables = w.tables;
  const int16_t* const samples = k.samples;
  uint32_t m = w.m;
  for (int j = 0; j < count; ++j, c += 2, ++cell) {
    CellInputs& in = w.ahead[j];
    m = (m + 4) & k.mask;
    const uint32_t entry = plane[cell];
    const bool detailed = ((k.flat_cells[cell >> 5] >> (cell & 31)) & 1) != 0;
    in.idle = !detailed && (entry & 0xFF) == 0 ? 1 : 0;
    if (in.idle != 0) continue;
    int32_t large[4];
    if constexpr (kPlain) {
      if (detailed) {
        for (int i = 0; i < 4; ++i) {
          const uint32_t* b = tables.b->level[2 * ((entry >> (24 - 8 * i)) & 0xFF)];
          in.t[1][i] = static_cast<int32_t>(b[0]);
          in.t[0][i] = static_cast<int32_t>(b[1]);
          large[i] = static_cast<int32_t>(b[2]);
        }
      } else {
        const uint32_t* b = tables.b->level[2 * (entry & 0xFF)];
        for (int i = 0; i < 4; ++i) {
          in.t[1][i] = static_cast<int32_t>(b[0]);
          in.t[0][i] = static_cast<int32_t>(b[1]);
          large[i] = static_cast<int32_t>(b[2]);
        }
      }
    } else {
      const int32_t f = ((c - tables.origin) * 32) / tables.width;
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
      for (int i = 0; i < 4; ++i) {
        in.t[0][i] = v.medium[i];
        in.t[1][i] = v.small[i];
        large[i] = v.large[i];
      }
    }
    // Large dots by ordered dither: sub-pixels 0..3 against samples m, m + 2, m + 1, m + 3.
    in.large = (large[0] > samples[m] ? 1u : 0u) | (large[1] > samples[m + 2] ? 2u : 0u) |
               (large[2] > samples[m + 1] ? 4u : 0u) | (large[3] > samples[m + 3] ? 8u : 0u);
    for (int pass = 0; pass < 2; ++pass) {
      in.density[pass] = in.t[pass][0] + in.t[pass][1] + in.t[pass][2] + in.t[pass][3];
      in.base[pass] = BaseThreshold(*k.thresholds, in.density[pass]);
    }
  }
  w.m = m;
}

// A cell's sub-pixel mask as 2-bit fields holding 0 or 1: row 0's pair (sub-pixels 0 and 1) in
// the low nibble, row 1's (2 and 3) in the high one, the left pixel of each above the right.
inline constexpr uint8_t kCodePairs[16] = {0x00, 0x04, 0x01, 0x05, 0x40, 0x44, 0x41, 0x45,
                                           0x10, 0x14, 0x11, 0x15, 0x50, 0x54, 0x51, 0x55};

// The two passes of cell j of the ink's cells ahead, at column c, its left pixel at bit s0 of
// the output words.
template <class Member>
inline void DiffuseCell(InkWalk& w, int j, int32_t c, int s0) {
  const CellInputs& in = w.ahead[j];
  int32_t* const medium_errors = w.call->medium_errors + c;
  int32_t* const small_errors = w.call->small_errors + c;
  if (in.idle != 0) {
    Member::Idle(w.medium, medium_errors);
    Member::Idle(w.small, small_errors);
    return;
  }
  const int s1 = s0 - 2;
  uint32_t* const words = w.words;
  // Sub-pixels holding a medium or large dot: what the words hold, the large dots, then the
  // medium pass's dots.
  uint32_t held = ((words[0] >> (s0 + 1) & 1) | (words[0] >> (s1 + 1) & 1) << 1 | (words[1] >> (s0 + 1) & 1) << 2 |
                   (words[1] >> (s1 + 1) & 1) << 3) |
                  in.large;
  uint32_t dots[2];
  for (int pass = 0; pass < 2; ++pass) {
    w.r >>= 4;
    if (w.r == 0) w.r = w.random.Draw();
    const int32_t* t = in.t[pass];
    const PassCell p{pass == 0 ? medium_errors : small_errors, {t[0], t[1], t[2], t[3]}, in.density[pass],
                     in.base[pass], w.r, held};
    if (pass == 0) {
      dots[0] = Pass<Member, false>(w.medium, p);
      held |= dots[0];
    } else {
      dots[1] = Pass<Member, true>(w.small, p);
    }
  }
  const uint32_t codes = 3 * kCodePairs[in.large] | 2 * kCodePairs[dots[0]] | kCodePairs[dots[1]];
  words[0] |= (codes & 0xF) << s1;
  words[1] |= (codes >> 4) << s1;
}

// The walk of a four-level kernel over kInks inks of one row pair at once, ink i drawing its
// random words from streams[i]; `kDrawAtSetUp` says whether an ink's random word starts with a
// draw. The inks share the run, the cells' detail bits and the output position, and nothing else.
// Each ink's values, thresholds and large dots are worked out a stretch of cells ahead, so that
// the passes, which carry from cell to cell, do not wait on table reads.
template <class Member, int kInks>
void WalkCells(const DiffusionCall* calls, const InkStream* streams) {
  const DiffusionCall& first = calls[0];
  const MultiLevelState& state = *first.state;
  InkWalk inks[kInks];
  for (int i = 0; i < kInks; ++i) {
    InkWalk& w = inks[i];
    w.call = &calls[i];
    w.random = streams[i];
    w.words[0] = calls[i].words[0];
    w.words[1] = calls[i].words[1];
    w.m = calls[i].matrix_position;
    w.r = Member::kDrawAtSetUp ? w.random.Draw() : 0;
    w.medium = {0, 0, 0, 0, 0, 0, Member::kIdleCount};
    w.small = w.medium;
  }
  const WalkShared shared{state.matrix.samples, &state.diffusion_thresholds, first.flat_cells,
                          static_cast<uint32_t>(state.matrix.width) * static_cast<uint32_t>(state.matrix.height) - 1};
  int x = first.dot_position;
  uint32_t cell = 0;
  uint32_t offset = 0;
  int32_t max_end = 0;

  for (int z = 0; z < halftone_lines::kZoneCount; ++z) {
    const HorizontalZone& zone = first.run_zones[z];
    max_end = std::max(max_end, zone.end);
    for (InkWalk& w : inks) w.tables = TablesOfZone(*w.call, z);
    for (int32_t from = zone.start; from < zone.end;) {
      const int count = static_cast<int>(std::min<int32_t>((zone.end - from + 1) / 2, kCellsAhead));
      for (InkWalk& w : inks) {
        if (w.tables.plain != 0) {
          PrepareCells<true>(w, shared, from, cell, count);
        } else {
          PrepareCells<false>(w, shared, from, cell, count);
        }
      }
      for (int j = 0; j < count; ++j, from += 2) {
        const int s0 = PixelShift(x);
        for (InkWalk& w : inks) DiffuseCell<Member>(w, j, from, s0);
        x += 2;
        if (x == 16) {
          for (InkWalk& w : inks) {
            StoreBytes(w.call->out_rows[1] + offset, w.words[1], 4);
            StoreBytes(w.call->out_rows[0] + offset, w.words[0], 4);
            w.words[0] = w.words[1] = 0;
          }
          offset += 4;
          x = 0;
        }
      }
      cell += static_cast<uint32_t>(count);
    }
  }
  for (InkWalk& w : inks) {
    const DiffusionCall& call = *w.call;
    if (x != 0) {
      const int n = static_cast<int>(((state.first_dot + state.count) % 16 + 3) / 4);
      StoreBytes(call.out_rows[1] + offset, w.words[1], n);
      StoreBytes(call.out_rows[0] + offset, w.words[0], n);
    }
    call.medium_errors[max_end - 2] = w.medium.pending_left;
    call.medium_errors[max_end - 1] = w.medium.pending_right;
    call.small_errors[max_end - 2] = w.small.pending_left;
    call.small_errors[max_end - 1] = w.small.pending_right;
  }
}

// One ink, drawing from the state's generator: the reference every other walk matches.
template <class Member>
void WalkCells(const DiffusionCall& call) {
  const InkStream stream{nullptr, 0, 0, &call.state->random};
  WalkCells<Member, 1>(&call, &stream);
}

}  // namespace tonvar::multi_level::diffusion
