// Tetrahedral look-ups over many points: the table-driven tetrahedron choice, the scalar
// reference loop and the SSE2 loop of eight-channel tables.
#include "tonvar/colour/tetra_lookup.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "tonvar/common/exact_division.h"

namespace tonvar::colour {
namespace {

// Axes (0, 1, 2 for x, y, z) from the largest fraction to the smallest.
struct AxisOrder {
  uint8_t high, middle, low;
};

// Indexed by the six comparisons x>=y, y>=x, x>=z, z>=x, y>=z, z>=y (bits 0 to 5); each entry
// is the first case of the tie order that the comparisons satisfy.
constexpr std::array<AxisOrder, 64> kAxisOrders = [] {
  std::array<AxisOrder, 64> t{};
  for (uint32_t m = 0; m < 64; ++m) {
    const bool xy = m & 1, yx = m & 2, xz = m & 4, zx = m & 8, yz = m & 16, zy = m & 32;
    if (xy && yz) {
      t[m] = {0, 1, 2};
    } else if (xz && zy) {
      t[m] = {0, 2, 1};
    } else if (zx && xy) {
      t[m] = {2, 0, 1};
    } else if (yx && xz) {
      t[m] = {1, 0, 2};
    } else if (yz && zx) {
      t[m] = {1, 2, 0};
    } else {
      t[m] = {2, 1, 0};
    }
  }
  return t;
}();

inline uint32_t Comparisons(uint32_t x, uint32_t y, uint32_t z) {
  return uint32_t{x >= y} | uint32_t{y >= x} << 1 | uint32_t{x >= z} << 2 |
         uint32_t{z >= x} << 3 | uint32_t{y >= z} << 4 | uint32_t{z >= y} << 5;
}

inline Tetra Choose(uint32_t d, uint32_t x, uint32_t y, uint32_t z, const uint32_t* s) {
  const AxisOrder o = kAxisOrders[Comparisons(x, y, z)];
  const uint32_t v[3] = {x, y, z};
  const uint32_t high = v[o.high], middle = v[o.middle], low = v[o.low];
  const uint32_t first = s[o.high];
  return {first, first + s[o.middle], s[0] + s[1] + s[2], d - high, high - middle, middle - low, low};
}

// The same tetrahedron from the grid's prepared offsets. Whichever case ties pick, the chosen
// case orders the fractions, so its weights come from their largest, middle and smallest.
inline Tetra ChooseOnGrid(const TetraGrid& grid, uint32_t d, uint32_t x, uint32_t y, uint32_t z) {
  const uint32_t m = Comparisons(x, y, z);
  const uint32_t high = std::max(x, std::max(y, z));
  const uint32_t low = std::min(x, std::min(y, z));
  const uint32_t middle = x + y + z - high - low;
  return {grid.inner_first[m], grid.inner_second[m], grid.outer, d - high, high - middle, middle - low, low};
}

// Cell origin of one input triple, its fractions scaled to the axis-1 cell width d.
struct Cell {
  const uint8_t* origin;
  uint32_t d, x, y, z;
};

inline Cell Locate(const TetraGrid& grid, uint32_t u1, uint32_t u2, uint32_t u3) {
  const AxisCells& a1 = grid.axis[0];
  const AxisCells& a2 = grid.axis[1];
  const AxisCells& a3 = grid.axis[2];
  const uint32_t d = a1.width[u1];
  return {grid.body + a1.lower[u1] * grid.stride[0] + a2.lower[u2] * grid.stride[1] +
              a3.lower[u3] * grid.stride[2],
          d, a1.offset[u1], common::DivideAny(a2.offset[u2] * d, a2.width[u2]),
          common::DivideAny(a3.offset[u3] * d, a3.width[u3])};
}

// Undivided tetrahedral sums of `channels` outputs at cell origin p.
inline void TetraSums(const uint8_t* p, const Tetra& t, uint32_t channels, uint32_t* sums) {
  for (uint32_t k = 0; k < channels; ++k) {
    sums[k] = t.w0 * p[k] + t.w1 * p[t.first + k] + t.w2 * p[t.second + k] + t.w3 * p[t.last + k];
  }
}

// The reference for one point: 32-bit sums (wrapping in a damaged cell), each divided by d.
inline void LookUpOne(const TetraGrid& grid, const Cell& c, uint8_t* out) {
  const Tetra t = ChooseOnGrid(grid, c.d, c.x, c.y, c.z);
  const uint32_t ch = grid.channels;
  uint32_t sums[kLutMaxChannels];
  TetraSums(c.origin, t, ch, sums);
  if (ch == 8) {
    // The usual table: a loop of known length; sums of a sound cell stay small.
    uint32_t all = 0;
    for (uint32_t k = 0; k < 8; ++k) all |= sums[k];
    if (all < common::kSmallDividendLimit && c.d < 256) {
      for (uint32_t k = 0; k < 8; ++k) out[k] = static_cast<uint8_t>(common::DivideSmall(sums[k], c.d));
      return;
    }
  }
  for (uint32_t k = 0; k < ch; ++k) out[k] = static_cast<uint8_t>(common::DivideExact(sums[k], c.d));
}

void LookUpScalar(const TetraGrid& grid, const PixelLayout& layout, uint32_t count,
                  const uint8_t* pixels, uint8_t* out) {
  const uint32_t ch = grid.channels;
  for (uint32_t n = 0; n < count; ++n, pixels += layout.step, out += ch) {
    const Cell c = Locate(grid, pixels[layout.index[0]], pixels[layout.index[1]], pixels[layout.index[2]]);
    LookUpOne(grid, c, out);
  }
}

// The reference for one transformed point.
inline void TransformOne(const TetraGrid& grid, const PixelLayout& layout, const Cell& c, uint8_t* px) {
  const Tetra t = ChooseOnGrid(grid, c.d, c.x, c.y, c.z);
  uint32_t sums[3];
  TetraSums(c.origin, t, 3, sums);
  if ((sums[0] | sums[1] | sums[2]) < common::kSmallDividendLimit && c.d < 256) {
    for (int k = 0; k < 3; ++k) px[layout.index[k]] = static_cast<uint8_t>(common::DivideSmall(sums[k], c.d));
    return;
  }
  for (int k = 0; k < 3; ++k) px[layout.index[k]] = static_cast<uint8_t>(common::DivideExact(sums[k], c.d));
}

void TransformScalar(const TetraGrid& grid, const PixelLayout& layout, uint32_t count, uint8_t* pixels) {
  for (uint32_t n = 0; n < count; ++n, pixels += layout.step) {
    const Cell c = Locate(grid, pixels[layout.index[0]], pixels[layout.index[1]], pixels[layout.index[2]]);
    TransformOne(grid, layout, c, pixels);
  }
}

#if defined(__SSE2__)
// Eight channels in one register of 16-bit lanes: in a sound cell (fractions within 0..d, d
// from 1 to 255) the weights add up to d, so a sum stays at most 255 * 255 and never wraps. The
// quotient comes from a single-precision division: sum and d are exact, and a quotient just
// below a whole number is at least 1/d away from it, far more than the division's rounding.
void LookUpEightSse2(const TetraGrid& grid, const PixelLayout& layout, uint32_t count,
                     const uint8_t* pixels, uint8_t* out) {
  const __m128i zero = _mm_setzero_si128();
  for (uint32_t n = 0; n < count; ++n, pixels += layout.step, out += 8) {
    const Cell c = Locate(grid, pixels[layout.index[0]], pixels[layout.index[1]], pixels[layout.index[2]]);
    if (c.d - 1 >= 255 || c.x > c.d || c.y > c.d || c.z > c.d) [[unlikely]] {
      LookUpOne(grid, c, out);
      continue;
    }
    const Tetra t = ChooseOnGrid(grid, c.d, c.x, c.y, c.z);
    const uint8_t* p = c.origin;
    auto vertex = [&](uint32_t at, uint32_t w) {
      const __m128i v = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + at)), zero);
      return _mm_mullo_epi16(v, _mm_set1_epi16(static_cast<int16_t>(w)));
    };
    const __m128i sum = _mm_add_epi16(_mm_add_epi16(vertex(0, t.w0), vertex(t.first, t.w1)),
                                      _mm_add_epi16(vertex(t.second, t.w2), vertex(t.last, t.w3)));
    const __m128 d = _mm_set1_ps(static_cast<float>(c.d));
    const __m128i lo = _mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps(_mm_unpacklo_epi16(sum, zero)), d));
    const __m128i hi = _mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps(_mm_unpackhi_epi16(sum, zero)), d));
    const __m128i words = _mm_packs_epi32(lo, hi);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(words, words));
  }
}

// The first three channels of a vertex as one four-byte load (the fourth byte is read and
// dropped), in 16-bit lanes times the weight; sums, bounds and the division as in the
// eight-channel loop above. A cell whose far corner lies in the body's last four bytes takes
// the reference, so no load passes the body's end.
void TransformThreeSse2(const TetraGrid& grid, const PixelLayout& layout, uint32_t count, uint8_t* pixels) {
  const __m128i zero = _mm_setzero_si128();
  const uint8_t* const last_wide = grid.body + (grid.body_bytes >= 4 ? grid.body_bytes - 4 : 0);
  for (uint32_t n = 0; n < count; ++n, pixels += layout.step) {
    const Cell c = Locate(grid, pixels[layout.index[0]], pixels[layout.index[1]], pixels[layout.index[2]]);
    if (c.d - 1 >= 255 || c.x > c.d || c.y > c.d || c.z > c.d || grid.body_bytes < 4 ||
        c.origin + grid.outer > last_wide) [[unlikely]] {
      TransformOne(grid, layout, c, pixels);
      continue;
    }
    const Tetra t = ChooseOnGrid(grid, c.d, c.x, c.y, c.z);
    const uint8_t* p = c.origin;
    auto vertex = [&](uint32_t at, uint32_t w) {
      int32_t four;
      std::memcpy(&four, p + at, 4);
      const __m128i v = _mm_unpacklo_epi8(_mm_cvtsi32_si128(four), zero);
      return _mm_mullo_epi16(v, _mm_set1_epi16(static_cast<int16_t>(w)));
    };
    const __m128i sum = _mm_add_epi16(_mm_add_epi16(vertex(0, t.w0), vertex(t.first, t.w1)),
                                      _mm_add_epi16(vertex(t.second, t.w2), vertex(t.last, t.w3)));
    const __m128 d = _mm_set1_ps(static_cast<float>(c.d));
    const __m128i q = _mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps(_mm_unpacklo_epi16(sum, zero)), d));
    const __m128i words = _mm_packs_epi32(q, q);
    const auto bytes = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
    pixels[layout.index[0]] = static_cast<uint8_t>(bytes);
    pixels[layout.index[1]] = static_cast<uint8_t>(bytes >> 8);
    pixels[layout.index[2]] = static_cast<uint8_t>(bytes >> 16);
  }
}
#endif

}  // namespace

void AxisCells::Build(const uint8_t* coords, uint32_t points) {
  uint32_t i = 1;
  for (uint32_t v = 0; v < 256; ++v) {
    while (i < points - 1 && v > coords[i]) ++i;
    lower[v] = static_cast<uint8_t>(i - 1);
    offset[v] = static_cast<uint8_t>(v - coords[i - 1]);
    width[v] = static_cast<uint16_t>(coords[i] - coords[i - 1]);
  }
}

Tetra ChooseTetra(uint32_t d, uint32_t x, uint32_t y, uint32_t z, const uint32_t* s) {
  return Choose(d, x, y, z, s);
}

LookupPath BestLookupPath() {
#if defined(__SSE2__)
  return LookupPath::kSse2;
#else
  return LookupPath::kScalar;
#endif
}

void BuildTetraGrid(TetraGrid* grid, const uint8_t (*coords)[kLutMaxGrid], const uint32_t* points,
                    uint32_t channels, const uint8_t* body) {
  for (int k = 0; k < 3; ++k) grid->axis[k].Build(coords[k], points[k]);
  grid->stride[2] = channels;
  grid->stride[1] = points[2] * channels;
  grid->stride[0] = points[1] * points[2] * channels;
  for (uint32_t m = 0; m < 64; ++m) {
    const AxisOrder o = kAxisOrders[m];
    grid->inner_first[m] = grid->stride[o.high];
    grid->inner_second[m] = grid->stride[o.high] + grid->stride[o.middle];
  }
  grid->outer = grid->stride[0] + grid->stride[1] + grid->stride[2];
  grid->channels = channels;
  grid->body = body;
  grid->body_bytes = uint64_t{points[0]} * grid->stride[0];
}

void LookUpPoints(const TetraGrid& grid, const PixelLayout& layout, uint32_t count,
                  const uint8_t* pixels, uint8_t* out, LookupPath path) {
#if defined(__SSE2__)
  if (path == LookupPath::kSse2 && grid.channels == 8) {
    LookUpEightSse2(grid, layout, count, pixels, out);
    return;
  }
#endif
  (void)path;
  LookUpScalar(grid, layout, count, pixels, out);
}

void TransformGridPoints(const TetraGrid& grid, const PixelLayout& layout, uint32_t count,
                         uint8_t* pixels, LookupPath path) {
#if defined(__SSE2__)
  if (path == LookupPath::kSse2 && grid.channels >= 3) {
    TransformThreeSse2(grid, layout, count, pixels);
    return;
  }
#endif
  (void)path;
  TransformScalar(grid, layout, count, pixels);
}

}  // namespace tonvar::colour
