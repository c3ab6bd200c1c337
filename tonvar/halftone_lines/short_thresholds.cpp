// Packing of threshold tables for the wide ordered-dither path.
#include "tonvar/halftone_lines/short_thresholds.h"

namespace tonvar::halftone_lines {

bool PackShortThresholds(const uint32_t* table, ShortThresholds* out) {
#ifdef TONVAR_HALFTONE_X86
  // Saturated to 16 bits and widened back: a row that fits comes back unchanged. The load of
  // level 510 reaches the first word of level 511.
  __m128i same = _mm_set1_epi32(-1);
  for (uint32_t v = 0; v < 256; ++v) {
    const __m128i row = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table + 6 * v)),
                                          _MM_SHUFFLE(2, 2, 1, 0));
    const __m128i packed = _mm_packs_epi32(row, row);
    same = _mm_and_si128(same, _mm_cmpeq_epi32(_mm_srai_epi32(_mm_unpacklo_epi16(packed, packed), 16), row));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(&out->row[v]), packed);
  }
  return _mm_movemask_epi8(same) == 0xFFFF;
#else
  uint32_t outside = 0;
  for (uint32_t v = 0; v < 256; ++v) {
    const uint32_t* t = table + 6 * v;
    uint64_t row = 0;
    for (int k = 0; k < 4; ++k) {
      const uint32_t word = t[k < 3 ? k : 2];
      // Inside the signed 16-bit range when adding 0x8000 leaves the top half clear.
      outside |= (word + 0x8000u) >> 16;
      row |= static_cast<uint64_t>(word & 0xFFFF) << (16 * k);
    }
    out->row[v] = row;
  }
  return outside == 0;
#endif
}

}  // namespace tonvar::halftone_lines
