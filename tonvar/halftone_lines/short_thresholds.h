// Threshold rows packed for the wide ordered-dither path: per cell value v (level 2v) the three
// cumulative thresholds {any, medium or large, large} as signed 16-bit words (the last repeated
// as a fourth), so that one 64-bit load fetches a pixel's row. Only tables whose thresholds of
// the even levels all fit in 16 bits are packed; a 16-bit compare then decides exactly as the
// 32-bit one does, since every matrix sample is a signed 16-bit value.
//
// The wide kernel decides four cells (sixteen pixels) of one ink at once and gives each row's
// two output bytes. Cells are words: a flat cell's one value, or four values top left, top
// right, bottom left, bottom right from the most significant byte; a flat cell of value 0 sets
// no dot.
#pragma once

#include <cstdint>

#include "tonvar/halftone_lines/cell_codes.h"

namespace tonvar::halftone_lines {

struct ShortThresholds {
  alignas(64) uint64_t row[256];
};

// Packs the even rows of a table of rows of three words (signed in use): false, and nothing
// to rely on in out, when a threshold lies outside the signed 16-bit range.
bool PackShortThresholds(const uint32_t* table, ShortThresholds* out);

#ifdef TONVAR_HALFTONE_X86

// The packed rows of four pixels whose values are bytes b0..b3 of `cells`: b0, b1 in the low
// half, b2, b3 in the high half.
[[gnu::target("avx2"), gnu::always_inline]] inline __m256i RowGroupAvx2(const ShortThresholds& table, uint64_t cells,
                                                                       int b0, int b1, int b2, int b3) {
  auto row = [&](int byte) {
    return reinterpret_cast<const long long&>(table.row[(cells >> (8 * byte)) & 0xFF]);
  };
  return _mm256_setr_epi64x(row(b0), row(b1), row(b2), row(b3));
}

// The two output bytes of each row of four cells: row 0's in bits 0..15, row 1's in bits
// 16..31, first cell's dots in the first byte's high bits. `cells` holds the four cell words,
// `detailed` has bit k set when cell k is not flat, `samples` the sixteen samples from the
// first cell's matrix position on (the cell at position m reads m, m + 1, m + 2, m + 3).
[[gnu::target("avx2"), gnu::always_inline]] inline uint32_t FourCellRowsAvx2(const ShortThresholds& table,
                                                                            const uint32_t* cells, uint32_t detailed,
                                                                            const int16_t* samples) {
  const __m128i value = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cells));
  const __m128i select = _mm_setr_epi32(1, 2, 4, 8);
  const __m128i is_detailed =
      _mm_cmpeq_epi32(_mm_and_si128(_mm_set1_epi32(static_cast<int>(detailed)), select), select);
  // A flat cell's value stands for all four pixels.
  const __m128i spread = _mm_blendv_epi8(
      _mm_shuffle_epi8(value, _mm_setr_epi8(0, 0, 0, 0, 4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12)), value, is_detailed);
  const __m128i empty = _mm_andnot_si128(is_detailed, _mm_cmpeq_epi32(value, _mm_setzero_si128()));

  // Rows of the pixels in four groups: A top left (cells 0, 1) and bottom left (0, 1), B the
  // right pixels of the same, C and D the same for cells 2 and 3.
  const uint64_t low_cells = static_cast<uint64_t>(_mm_cvtsi128_si64(spread));
  const uint64_t high_cells = static_cast<uint64_t>(_mm_extract_epi64(spread, 1));
  const __m256i a = RowGroupAvx2(table, low_cells, 3, 7, 1, 5);
  const __m256i b = RowGroupAvx2(table, low_cells, 2, 6, 0, 4);
  const __m256i c = RowGroupAvx2(table, high_cells, 3, 7, 1, 5);
  const __m256i d = RowGroupAvx2(table, high_cells, 2, 6, 0, 4);

  // Transposed: each 64-bit group holds one output byte's four pixels in order (row 0 cells
  // 0-1, row 0 cells 2-3, row 1 cells 0-1, row 1 cells 2-3).
  const __m256i t0 = _mm256_unpacklo_epi16(a, b), t1 = _mm256_unpackhi_epi16(a, b);
  const __m256i t2 = _mm256_unpacklo_epi16(c, d), t3 = _mm256_unpackhi_epi16(c, d);
  const __m256i u0 = _mm256_unpacklo_epi32(t0, t1), u1 = _mm256_unpackhi_epi32(t0, t1);
  const __m256i u2 = _mm256_unpacklo_epi32(t2, t3), u3 = _mm256_unpackhi_epi32(t2, t3);
  const __m256i any = _mm256_unpacklo_epi64(u0, u2);
  const __m256i medium = _mm256_unpackhi_epi64(u0, u2);
  const __m256i large = _mm256_unpacklo_epi64(u1, u3);

  // Samples in the same order: even ones (row 0) and odd ones (row 1) of each eight.
  __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(samples));
  s = _mm256_shuffle_epi8(s, _mm256_setr_epi8(0, 1, 4, 5, 8, 9, 12, 13, 2, 3, 6, 7, 10, 11, 14, 15, 0, 1, 4, 5, 8, 9,
                                              12, 13, 2, 3, 6, 7, 10, 11, 14, 15));
  s = _mm256_permute4x64_epi64(s, _MM_SHUFFLE(3, 1, 2, 0));

  const __m256i g0 = _mm256_cmpgt_epi16(any, s);
  const __m256i g1 = _mm256_cmpgt_epi16(medium, s);
  const __m256i g2 = _mm256_cmpgt_epi16(large, s);
  const __m256i high = _mm256_or_si256(g1, g2);
  const __m256i low = _mm256_or_si256(g2, _mm256_andnot_si256(g1, g0));
  const __m256i high_bit = _mm256_set1_epi64x(0x0002000800200080LL);
  const __m256i low_bit = _mm256_set1_epi64x(0x0001000400100040LL);
  __m256i bits = _mm256_or_si256(_mm256_and_si256(high, high_bit), _mm256_and_si256(low, low_bit));
  // Pixels of flat cells of no ink: cells 0, 0, 1, 1, 2, 2, 3, 3 along each row's eight words.
  const __m128i empty_words = _mm_packs_epi32(empty, empty);
  bits = _mm256_andnot_si256(_mm256_broadcastsi128_si256(_mm_unpacklo_epi16(empty_words, empty_words)), bits);
  // Each group's bits are disjoint: the byte sum is the output byte.
  __m256i bytes = _mm256_sad_epu8(bits, _mm256_setzero_si256());
  bytes = _mm256_or_si256(bytes, _mm256_bsrli_epi128(bytes, 7));
  const uint32_t row0 = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm256_castsi256_si128(bytes))) & 0xFFFF;
  const uint32_t row1 = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm256_extracti128_si256(bytes, 1)));
  return row0 | row1 << 16;
}

#endif

}  // namespace tonvar::halftone_lines
