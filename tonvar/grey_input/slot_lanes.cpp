// The 2-bit ordered dither of the eight ink slots side by side. A dot's code is the highest one
// whose cumulative threshold passes the matrix sample; with the thresholds made cumulative from
// the top (large, then the larger of medium and large, then the largest of the three) it is the
// number of thresholds that pass, which three compares and two adds give for all slots at once.
#include "tonvar/grey_input/slot_lanes.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "tonvar/halftone_lines/cell_codes.h"

namespace tonvar::grey_input {
namespace {

constexpr int kSlotLaneRows = 2;

uint32_t AmountOf(const PackedInkRow& row, int slot) {
  const uint32_t word = row.words[slot / 2];
  return slot % 2 == 0 ? word >> 16 : word & 0xFFFF;
}

// The planned zones' one sub-table and their cells; false when a zone blends two tables or two
// zones read different ones.
bool PlanOnOneTable(const HorizontalZone plan[kZoneCount], int v, int* table, int32_t* cells) {
  static constexpr bool kTableIsV[kZoneCount] = {false, false, true, true, false};
  int found = -1;
  int32_t n = 0;
  for (int z = 0; z < kZoneCount; ++z) {
    if (plan[z].start >= plan[z].end) continue;
    if (plan[z].plain == 0) return false;
    const int t = kTableIsV[z] ? v : kEdgeTable;
    if (found >= 0 && found != t) return false;
    found = t;
    n += (plan[z].end - plan[z].start + 1) / 2;
  }
  *table = found < 0 ? v : found;
  *cells = n;
  return true;
}

// No two output pointers closer than `bytes`, but for the two rows of a slot on one row.
bool PlanesApart(const LineFrame& f, int64_t bytes) {
  for (int i = 0; i < halftone_lines::kMaxPlanePointers; ++i) {
    for (int j = i + 1; j < halftone_lines::kMaxPlanePointers; ++j) {
      if (j == i + 1 && i % 2 == 0 && f.pointers[i] == f.pointers[j]) continue;
      const auto a = reinterpret_cast<uintptr_t>(f.pointers[i]);
      const auto b = reinterpret_cast<uintptr_t>(f.pointers[j]);
      if ((a > b ? a - b : b - a) < static_cast<uint64_t>(bytes)) return false;
    }
  }
  return true;
}

// Thresholds of every grey level for the eight slots from sub-table `table`; false when one
// does not fit 16 bits (a value below the range never passes and is kept as the lowest).
bool BuildGreyThresholds(GreyHalftoneEngine* e, int table, uint32_t diffused) {
  const PackedInkTable& inks = *e->ink_table;
  int32_t highest = INT32_MIN;
  for (int k = 0; k < kInks; ++k) {
    const LevelTable& levels = e->level_tables[kGroupOfSlot[k]][table];
    const bool large_only = (diffused >> k & 1) != 0;
    for (uint32_t g = 0; g < kGreyMaxLevels; ++g) {
      const uint32_t* t = levels.level[AmountOf(inks.rows[g], k)];
      const int32_t large = static_cast<int32_t>(t[kLargeDot]);
      int32_t medium = std::max(static_cast<int32_t>(t[kMediumOrLarge]), large);
      int32_t any = std::max(static_cast<int32_t>(t[kAnyDot]), medium);
      if (large_only) {
        e->grey_diffusion_thresholds[k][g][0] = static_cast<int32_t>(t[kMediumOrLarge]);
        e->grey_diffusion_thresholds[k][g][1] = static_cast<int32_t>(t[kAnyDot]);
        medium = any = large;
      }
      highest = std::max(highest, any);
      e->grey_thresholds[g][kAnyDot][k] = static_cast<int16_t>(std::max(any, -32768));
      e->grey_thresholds[g][kMediumOrLarge][k] = static_cast<int16_t>(std::max(medium, -32768));
      e->grey_thresholds[g][kLargeDot][k] = static_cast<int16_t>(std::max(large, -32768));
    }
  }
  return highest <= 32767;
}

}  // namespace

bool PrepareSlotLine(GreyHalftoneEngine* engine, const LineFrame& f, int32_t x, int position, uint32_t diffused,
                     SlotLine* line) {
#ifndef TONVAR_HALFTONE_X86
  return false;
#endif
  const GreyCall& c = engine->call;
  if (!PlanOnOneTable(f.plan, f.vertical_zone, &line->table, &line->cells)) return false;
  const int64_t steps = x < c.x_end ? (int64_t{c.x_end} - x + 1) / 2 : 0;
  if (steps != line->cells) return false;
  line->out_bytes = static_cast<int32_t>(4 * ((position + 2 * int64_t{line->cells} + 15) / 16));
  if (!PlanesApart(f, line->out_bytes)) return false;
  return BuildGreyThresholds(engine, line->table, diffused);
}

#ifdef TONVAR_HALFTONE_X86
namespace {

// The samples of one cell for the eight slots, slot k's four at m[k] + at (A, C, B, D), as four
// vectors of eight lanes: A, B, C, D.
struct CellSamples {
  __m128i a, b, c, d;
};
[[gnu::always_inline]] inline CellSamples SamplesOf(const int16_t* const m[kInks], int32_t at) {
  auto pair = [&](int k) {
    return _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(m[k] + at)),
                              _mm_loadl_epi64(reinterpret_cast<const __m128i*>(m[k + 1] + at)));
  };
  const __m128i x0 = pair(0), x1 = pair(2), x2 = pair(4), x3 = pair(6);
  const __m128i t0 = _mm_unpacklo_epi16(x0, x1);  // slots 0 2: A A C C B B D D
  const __m128i t1 = _mm_unpackhi_epi16(x0, x1);  // slots 1 3
  const __m128i t2 = _mm_unpacklo_epi16(x2, x3);  // slots 4 6
  const __m128i t3 = _mm_unpackhi_epi16(x2, x3);  // slots 5 7
  const __m128i u0 = _mm_unpacklo_epi16(t0, t1);  // A of slots 0-3, C of slots 0-3
  const __m128i u1 = _mm_unpackhi_epi16(t0, t1);  // B, D of slots 0-3
  const __m128i u2 = _mm_unpacklo_epi16(t2, t3);
  const __m128i u3 = _mm_unpackhi_epi16(t2, t3);
  return {_mm_unpacklo_epi64(u0, u2), _mm_unpacklo_epi64(u1, u3), _mm_unpackhi_epi64(u0, u2),
          _mm_unpackhi_epi64(u1, u3)};
}

// Minus the codes of one sub-pixel in every slot: each passing threshold adds -1.
[[gnu::always_inline]] inline __m128i NegativeCodes(const int16_t (&t)[3][kInks], __m128i s) {
  const __m128i any = _mm_cmpgt_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t[kAnyDot])), s);
  const __m128i medium = _mm_cmpgt_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t[kMediumOrLarge])), s);
  const __m128i large = _mm_cmpgt_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t[kLargeDot])), s);
  return _mm_add_epi16(_mm_add_epi16(any, medium), large);
}

// Slot k's output words of both rows, low dots in `low`, high ones in `high`: `bytes` of each
// written at `offset`, row 1 first.
[[gnu::always_inline]] inline void WriteSlotWords(const LineFrame& f, uint32_t slots, const __m128i low[2],
                                                  const __m128i high[2], int64_t offset, int bytes) {
  alignas(16) uint32_t words[kSlotLaneRows][kInks];
  for (int r = 0; r < kSlotLaneRows; ++r) {
    _mm_store_si128(reinterpret_cast<__m128i*>(words[r]), _mm_unpacklo_epi16(low[r], high[r]));
    _mm_store_si128(reinterpret_cast<__m128i*>(words[r] + 4), _mm_unpackhi_epi16(low[r], high[r]));
  }
  for (int k = 0; k < kInks; ++k) {
    if ((slots >> k & 1) == 0) continue;
    if (bytes == 4) {
      std::memcpy(f.pointers[2 * k + 1] + offset, &words[1][k], 4);
      std::memcpy(f.pointers[2 * k] + offset, &words[0][k], 4);
    } else {
      WriteWord(f.pointers[2 * k + 1] + offset, words[1][k], bytes);
      WriteWord(f.pointers[2 * k] + offset, words[0][k], bytes);
    }
  }
}

template <bool kLargeCodes>
[[gnu::always_inline]] inline void DitherSlots(const GreyHalftoneEngine& e, const LineFrame& f, const SlotLine& line,
                                               const uint32_t pending[kPendingWords], int position, uint32_t slots,
                                               const uint8_t* greys, uint8_t* large_codes) {
  const int16_t* matrix = e.layout.samples;
  const int32_t size = e.layout.width * e.layout.height;
  const int32_t mask = size - 1;
  const auto& thresholds = e.grey_thresholds;
  int32_t phi[kInks];
  std::copy(f.phases, f.phases + kInks, phi);
  __m128i acc[kSlotLaneRows], low[kSlotLaneRows] = {_mm_setzero_si128(), _mm_setzero_si128()};
  for (int r = 0; r < kSlotLaneRows; ++r) {
    auto lane = [&](int k) { return static_cast<int16_t>(pending[2 * k + r] & 0xFFFF); };
    acc[r] = _mm_setr_epi16(lane(0), lane(1), lane(2), lane(3), lane(4), lane(5), lane(6), lane(7));
  }
  int p = position;
  int64_t offset = 0;
  for (int32_t done = 0; done < line.cells;) {
    // The cells in which no slot's walk passes the matrix end: read without masking.
    int32_t run = line.cells - done;
    const int16_t* m[kInks];
    for (int k = 0; k < kInks; ++k) {
      const int32_t next = (phi[k] + 4) & mask;
      run = std::min(run, (size - 2 - next) / 4 + 1);
      m[k] = matrix + next;
    }
    const uint8_t* g = greys + 4 * int64_t{done};
    for (int32_t i = 0; i < run; ++i, g += 4) {
      const CellSamples s = SamplesOf(m, 4 * i);
      const __m128i row0 = _mm_add_epi16(_mm_slli_epi16(NegativeCodes(thresholds[g[0]], s.a), 2),
                                         NegativeCodes(thresholds[g[1]], s.b));
      const __m128i row1 = _mm_add_epi16(_mm_slli_epi16(NegativeCodes(thresholds[g[2]], s.c), 2),
                                         NegativeCodes(thresholds[g[3]], s.d));
      if constexpr (kLargeCodes) {
        const __m128i zero = _mm_setzero_si128();
        const __m128i codes = _mm_or_si128(_mm_sub_epi16(zero, row0), _mm_slli_epi16(_mm_sub_epi16(zero, row1), 4));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(large_codes + 8 * (int64_t{done} + i)), _mm_packus_epi16(codes, codes));
      }
      const __m128i shift = _mm_cvtsi32_si128(2 * (((p & 7) + 1) ^ 3));  // the right dot's place
      acc[0] = _mm_sub_epi16(acc[0], _mm_sll_epi16(row0, shift));
      acc[1] = _mm_sub_epi16(acc[1], _mm_sll_epi16(row1, shift));
      p += 2;
      if ((p & 7) == 0) {
        if (p == 8) {
          low[0] = acc[0];
          low[1] = acc[1];
        } else {
          WriteSlotWords(f, slots, low, acc, offset, 4);
          offset += 4;
          p = 0;
        }
        acc[0] = acc[1] = _mm_setzero_si128();
      }
    }
    for (int k = 0; k < kInks; ++k) phi[k] = (phi[k] + 4 * run) & mask;
    done += run;
  }
  const GreyCall& c = e.call;
  const int bytes = ((c.count + c.first_bit) % 16 + 3) / 4;
  if (bytes > 0 && p != 0) {
    const __m128i zero[kSlotLaneRows] = {_mm_setzero_si128(), _mm_setzero_si128()};
    if (p < 8) {
      WriteSlotWords(f, slots, acc, zero, offset, bytes);
    } else {
      WriteSlotWords(f, slots, low, acc, offset, bytes);
    }
  }
}

void DitherSlotsSse2(const GreyHalftoneEngine& e, const LineFrame& f, const SlotLine& line,
                     const uint32_t pending[kPendingWords], int position, uint32_t slots, const uint8_t* greys,
                     uint8_t* large_codes) {
  if (large_codes != nullptr) return DitherSlots<true>(e, f, line, pending, position, slots, greys, large_codes);
  DitherSlots<false>(e, f, line, pending, position, slots, greys, nullptr);
}

[[gnu::target("avx2"), gnu::flatten]] void DitherSlotsAvx2(const GreyHalftoneEngine& e, const LineFrame& f,
                                                           const SlotLine& line, const uint32_t pending[kPendingWords],
                                                           int position, uint32_t slots, const uint8_t* greys,
                                                           uint8_t* large_codes) {
  if (large_codes != nullptr) return DitherSlots<true>(e, f, line, pending, position, slots, greys, large_codes);
  DitherSlots<false>(e, f, line, pending, position, slots, greys, nullptr);
}

}  // namespace
#endif

void DitherSlotsSideBySide(const GreyHalftoneEngine& engine, const LineFrame& f, const SlotLine& line,
                           const uint32_t pending[kPendingWords], int position, uint32_t slots,
                           const uint8_t* greys, uint8_t* large_codes) {
#ifdef TONVAR_HALFTONE_X86
  if (engine.simd_path == halftone_lines::SimdPath::kAvx2) {
    DitherSlotsAvx2(engine, f, line, pending, position, slots, greys, large_codes);
  } else {
    DitherSlotsSse2(engine, f, line, pending, position, slots, greys, large_codes);
  }
#else
  (void)engine, (void)f, (void)line, (void)pending, (void)position, (void)slots, (void)greys, (void)large_codes;
#endif
}

}  // namespace tonvar::grey_input
