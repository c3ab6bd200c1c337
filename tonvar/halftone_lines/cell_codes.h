// The four-level dot codes of one 2 x 2 cell by ordered dither, in each instruction-set path.
// A cell's sub-pixels A (row 0 left), B (row 0 right), C (row 1 left) and D (row 1 right) take
// the cumulative thresholds {any, medium or large, large} of their rows of a threshold table
// (rows of three words, compared signed) against the matrix samples at the cell's position +0,
// +2, +1 and +3. The result holds row 0's nibble (A's code, then B's) in bits 0..3 and row 1's
// (C, D) in bits 4..7. Every path gives the same byte.
#pragma once

#include <cstdint>

#include "tonvar/halftone_lines/four_level_dots.h"
#include "tonvar/halftone_lines/simd_path.h"

#if defined(__x86_64__) || defined(_M_X64)
#include <immintrin.h>
#define TONVAR_HALFTONE_X86 1
#endif

namespace tonvar::halftone_lines {

// The row indices of a cell's sub-pixels A, B, C, D.
struct CellRows {
  uint32_t a, b, c, d;
};

inline uint32_t CellCodesScalar(const uint32_t* table, CellRows rows, const int16_t* s) {
  auto code = [&](uint32_t row, int32_t sample) {
    const uint32_t* t = table + 3 * row;
    const int32_t tt[3] = {static_cast<int32_t>(t[0]), static_cast<int32_t>(t[1]), static_cast<int32_t>(t[2])};
    return FourLevelCodeOf(tt, sample);
  };
  return (code(rows.a, s[0]) << 2 | code(rows.b, s[2])) | (code(rows.c, s[1]) << 2 | code(rows.d, s[3])) << 4;
}

// Bit 2k + 1 of an index set when sub-pixel k's code has its high bit, bit 2k when its low bit,
// turned into the cell byte.
struct CellByteTable {
  uint8_t byte[256];
};
inline constexpr CellByteTable kCellByteOfBits = [] {
  CellByteTable t{};
  for (uint32_t m = 0; m < 256; ++m) {
    uint32_t code[4];
    for (int k = 0; k < 4; ++k) code[k] = ((m >> k) & 1) << 1 | ((m >> (4 + k)) & 1);
    t.byte[m] = static_cast<uint8_t>((code[0] << 2 | code[1]) | (code[2] << 2 | code[3]) << 4);
  }
  return t;
}();

#ifdef TONVAR_HALFTONE_X86

// Samples +0, +2, +1, +3 of a cell's position as four signed words.
inline __m128i CellSamplesSse2(const int16_t* s) {
  __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s));
  v = _mm_shufflelo_epi16(v, _MM_SHUFFLE(3, 1, 2, 0));
  return _mm_srai_epi32(_mm_unpacklo_epi16(v, v), 16);
}

// The code bits of thresholds {any, medium or large, large} against the samples: the highest
// code whose threshold passes, as high and low bit masks.
inline uint32_t CellByteOfThresholds(__m128i any, __m128i medium, __m128i large, __m128i samples) {
  const __m128i g0 = _mm_cmpgt_epi32(any, samples);
  const __m128i g1 = _mm_cmpgt_epi32(medium, samples);
  const __m128i g2 = _mm_cmpgt_epi32(large, samples);
  const __m128i high = _mm_or_si128(g1, g2);
  const __m128i low = _mm_or_si128(g2, _mm_andnot_si128(g1, g0));
  const int bits = _mm_movemask_ps(_mm_castsi128_ps(high)) | _mm_movemask_ps(_mm_castsi128_ps(low)) << 4;
  return kCellByteOfBits.byte[bits];
}

// Reads 16 bytes at each row: the table must hold one word after its last row read.
inline uint32_t CellCodesSse2(const uint32_t* table, CellRows rows, const int16_t* s) {
  const __m128i ra = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table + 3 * rows.a));
  const __m128i rb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table + 3 * rows.b));
  const __m128i rc = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table + 3 * rows.c));
  const __m128i rd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table + 3 * rows.d));
  const __m128i ab01 = _mm_unpacklo_epi32(ra, rb);
  const __m128i cd01 = _mm_unpacklo_epi32(rc, rd);
  const __m128i ab2 = _mm_unpackhi_epi32(ra, rb);
  const __m128i cd2 = _mm_unpackhi_epi32(rc, rd);
  return CellByteOfThresholds(_mm_unpacklo_epi64(ab01, cd01), _mm_unpackhi_epi64(ab01, cd01),
                              _mm_unpacklo_epi64(ab2, cd2), CellSamplesSse2(s));
}

#endif

// The cell byte on path P (a compile-time choice inside a loop chosen once per band). The wide
// path compiles the SSE2 form in its own encoding: two cells a register, tried, lost more to the
// lane moves than it saved.
template <SimdPath P>
inline uint32_t CellCodes(const uint32_t* table, CellRows rows, const int16_t* s) {
#ifdef TONVAR_HALFTONE_X86
  if constexpr (P != SimdPath::kScalar) return CellCodesSse2(table, rows, s);
#endif
  return CellCodesScalar(table, rows, s);
}

}  // namespace tonvar::halftone_lines
