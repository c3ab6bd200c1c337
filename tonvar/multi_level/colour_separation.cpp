// Colour separation of the multi-level engine's line routines.
#include "tonvar/multi_level/colour_separation.h"

#include <cstdlib>
#include <cstring>

#include "tonvar/halftone_lines/cell_codes.h"

#include "tonvar/halftone_lines/line_tables.h"
#include "tonvar/multi_level/line_machinery.h"

namespace tonvar::multi_level {
namespace {

constexpr int32_t kPixelBytes = 4;
constexpr uint8_t kWhite[kPixelBytes] = {255, 255, 255, 0};

// Node words of a cube position.
struct CubeReader {
  const uint32_t* ramp;
  uint8_t* const* cubes;
  int32_t offset;

  template <int kInks>
  const uint32_t* Node(int32_t c0, int32_t c1, int32_t c2, int32_t tag) const {
    const uint32_t i = (ramp[c0] + offset) >> 8;
    const uint32_t j = (ramp[c1] + offset) >> 8;
    const uint32_t k = (ramp[c2] + offset) >> 8;
    const uint32_t index = (i * kCubeAxis + j) * kCubeAxis + k;
    const uint8_t* cube = cubes[tag == 3 ? 0 : 1];
    return reinterpret_cast<const uint32_t*>(cube) + index * (kInks / 4);
  }
};

template <int kInks>
inline uint32_t PlaneByte(const uint32_t* node, int plane) {
  const NodeField f = NodeFields<kInks>()[plane];
  return (node[f.word] >> f.shift) & 0xFF;
}

// Byte position of each ink plane in a node.
template <int kInks>
constexpr int PlaneBytePosition(int plane) {
  return 4 * NodeFields<kInks>()[plane].word + NodeFields<kInks>()[plane].shift / 8;
}

// The words of a detailed cell, plane by plane: the plane's byte of the TL, TR, BL and BR nodes
// from the most significant byte down.
template <int kInks>
inline void PutDetailedCell(const uint32_t* const nodes[kCellPixelCount], uint32_t* const planes[kInks],
                            int32_t cell) {
  for (int k = 0; k < kInks; ++k) {
    planes[k][cell] = PlaneByte<kInks>(nodes[kTopLeft], k) << 24 | PlaneByte<kInks>(nodes[kTopRight], k) << 16 |
                      PlaneByte<kInks>(nodes[kBottomLeft], k) << 8 | PlaneByte<kInks>(nodes[kBottomRight], k);
  }
}

// A cell's four input pixels (pointers into the rows, or to white), TL, TR, BL, BR.
struct CellInput {
  const uint8_t* pixel[kCellPixelCount];
};

bool IsFlat(const CellInput& c) {
  // Every comparison is made: on a busy picture a branch per comparison mispredicts.
  bool flat = true;
  for (int comp = 0; comp < 3; ++comp) {
    const int32_t tl = c.pixel[kTopLeft][comp], tr = c.pixel[kTopRight][comp];
    const int32_t bl = c.pixel[kBottomLeft][comp], br = c.pixel[kBottomRight][comp];
    flat &= (std::abs(tl - br) <= kFlatTolerance) & (std::abs(tr - tl) <= kFlatTolerance) &
            (std::abs(tr - bl) <= kFlatTolerance);
  }
  return flat;
}

// Input reading of a run: 2:1 reduction (code -1), pixel pairs (code 0) or replication.
enum InputMode { kReduce, kPairs, kReplicate };

// The next cell's pixels of the run [x, end); the row pointers and the pattern index move on.
template <InputMode kMode>
[[gnu::always_inline]] inline CellInput ReadCell(int32_t x, int32_t end, const uint8_t*& row0, const uint8_t*& row1,
                                                 const int32_t pattern[], int32_t& index) {
  CellInput in;
  if constexpr (kMode == kReduce) {
    in.pixel[kTopLeft] = DarkerPixel(row0, row0 + kPixelBytes);
    in.pixel[kBottomLeft] = DarkerPixel(row1, row1 + kPixelBytes);
    if (x == end - 1) {
      // The right pixel lies past the run: white, with the tag of the left one.
      in.pixel[kTopRight] = in.pixel[kBottomRight] = kWhite;
      row0 += 2 * kPixelBytes;
      row1 += 2 * kPixelBytes;
    } else {
      in.pixel[kTopRight] = DarkerPixel(row0 + 2 * kPixelBytes, row0 + 3 * kPixelBytes);
      in.pixel[kBottomRight] = DarkerPixel(row1 + 2 * kPixelBytes, row1 + 3 * kPixelBytes);
      row0 += 4 * kPixelBytes;
      row1 += 4 * kPixelBytes;
    }
  } else if (kMode == kPairs && x != end - 1) {
    in = {{row0, row0 + kPixelBytes, row1, row1 + kPixelBytes}};
    row0 += 2 * kPixelBytes;
    row1 += 2 * kPixelBytes;
  } else {
    in = {{row0, row0, row1, row1}};
    if (pattern[index] != 0) {
      row0 += kPixelBytes;
      row1 += kPixelBytes;
    }
    if (pattern[++index] < 0) index = 0;
  }
  return in;
}

// The tags of a cell's pixels: the white right pixel of a 2:1 reduction takes the left pixel's.
template <InputMode kMode>
[[gnu::always_inline]] inline void TagsOf(const CellInput& in, int32_t tags[kCellPixelCount]) {
  const bool white = kMode == kReduce && in.pixel[kTopRight] == kWhite;
  tags[kTopLeft] = in.pixel[kTopLeft][3];
  tags[kTopRight] = white ? in.pixel[kTopLeft][3] : in.pixel[kTopRight][3];
  tags[kBottomLeft] = in.pixel[kBottomLeft][3];
  tags[kBottomRight] = white ? in.pixel[kBottomLeft][3] : in.pixel[kBottomRight][3];
}

// What the cells of a run share: the cube, the input rows, the last flat cell and the flat-cell
// bitmap being collected.
template <int kInks>
struct RunWalk {
  CubeReader cube;
  const uint8_t* row0;
  const uint8_t* row1;
  uint32_t* flat_words;
  bool previous_flat = false;
  uint8_t previous_tl[3] = {};
  uint32_t bits = 0;

  RunWalk(const CubeReader& reader, const uint8_t* pair[2], uint32_t* words)
      : cube(reader), row0(pair[0]), row1(pair[1]), flat_words(words) {}

  // The next cell's pixels and tags, with the cube offset of its draw r.
  template <InputMode kMode>
  [[gnu::always_inline]] CellInput Next(int32_t x, int32_t end, uint32_t r, const int32_t pattern[], int32_t& index,
                                        int32_t tags[kCellPixelCount]) {
    cube.offset = RoundingOffset(r);
    const CellInput in = ReadCell<kMode>(x, end, row0, row1, pattern, index);
    TagsOf<kMode>(in, tags);
    return in;
  }
  // A flat cell whose top left pixel is near the previous flat cell's is smoothed.
  bool Similar(const uint8_t* tl) const {
    return previous_flat && std::abs(tl[0] - previous_tl[0]) <= kSmoothTolerance[0] &&
           std::abs(tl[1] - previous_tl[1]) <= kSmoothTolerance[1] &&
           std::abs(tl[2] - previous_tl[2]) <= kSmoothTolerance[2];
  }
  void Flat(const uint8_t* tl) {
    std::memcpy(previous_tl, tl, 3);
    previous_flat = true;
  }
  // A detailed cell: its bit, and the node of each pixel.
  void Detailed(int32_t cell, const CellInput& in, const int32_t tags[kCellPixelCount],
                const uint32_t* nodes[kCellPixelCount]) {
    bits |= 1u << (cell % kCellsPerFlatWord);
    for (int p = 0; p < kCellPixelCount; ++p) {
      nodes[p] = cube.template Node<kInks>(in.pixel[p][0], in.pixel[p][1], in.pixel[p][2], tags[p]);
    }
    previous_flat = false;
  }
  void EndCell(int32_t cell) {
    if (cell % kCellsPerFlatWord == kCellsPerFlatWord - 1) {
      flat_words[cell / kCellsPerFlatWord] = bits;
      bits = 0;
    }
  }
  // After the last cell: a partly collected bitmap word, and the rows as far as read.
  void Finish(int32_t cells, const uint8_t* pair[2]) const {
    if (cells % kCellsPerFlatWord != 0) flat_words[cells / kCellsPerFlatWord] = bits;
    pair[0] = row0;
    pair[1] = row1;
  }
};

// The cells of the run [x, end), the input mode fixed for the whole run: the reference form.
template <int kInks, InputMode kMode>
void SeparateCells(int32_t x, int32_t end, uint32_t r, const int32_t pattern[], int32_t index,
                   const CubeReader& reader, uint32_t* const planes[kInks], uint32_t* flat_words,
                   const uint8_t* pair[2]) {
  RunWalk<kInks> walk(reader, pair, flat_words);
  uint32_t previous_value[kInks] = {};
  int32_t cell = 0;
  for (; x < end; x += 2, ++cell) {
    int32_t tags[kCellPixelCount];
    const CellInput in = walk.template Next<kMode>(x, end, r, pattern, index, tags);

    if (IsFlat(in)) {
      const uint8_t* tl = in.pixel[kTopLeft];
      int32_t mean[3];
      for (int c = 0; c < 3; ++c) {
        mean[c] = (in.pixel[0][c] + in.pixel[1][c] + in.pixel[2][c] + in.pixel[3][c]) >> 2;
      }
      const bool similar = walk.Similar(tl);
      const uint32_t* node = walk.cube.template Node<kInks>(mean[0], mean[1], mean[2], tags[kTopLeft]);
      const uint32_t bit = RoundingBit(r);
      for (int k = 0; k < kInks; ++k) {
        uint32_t v = PlaneByte<kInks>(node, k);
        if (similar && k != 2) v = (v + previous_value[k] + bit) >> 1;
        planes[k][cell] = v;
        previous_value[k] = v;
      }
      walk.Flat(tl);
    } else {
      const uint32_t* nodes[kCellPixelCount];
      walk.Detailed(cell, in, tags, nodes);
      PutDetailedCell<kInks>(nodes, planes, cell);
    }
    r = NextRounding(r);
    walk.EndCell(cell);
  }
  walk.Finish(cell, pair);
}

#ifdef TONVAR_HALFTONE_X86

// The plane of each node byte position.
template <int kInks>
constexpr int PlaneAtBytePosition(int position) {
  for (int k = 0; k < kInks; ++k) {
    if (PlaneBytePosition<kInks>(k) == position) return k;
  }
  return -1;
}

// Plane words of four cells, by node byte position, written to the planes four cells at once.
template <int kInks>
struct PlaneStage {
  alignas(16) uint32_t word[4][kInks];
};

template <int kInks>
[[gnu::always_inline]] inline void WriteStage(const PlaneStage<kInks>& stage, uint32_t* const planes[kInks],
                                              int32_t first_cell) {
  for (int h = 0; h < kInks / 4; ++h) {
    const __m128i r0 = _mm_load_si128(reinterpret_cast<const __m128i*>(stage.word[0] + 4 * h));
    const __m128i r1 = _mm_load_si128(reinterpret_cast<const __m128i*>(stage.word[1] + 4 * h));
    const __m128i r2 = _mm_load_si128(reinterpret_cast<const __m128i*>(stage.word[2] + 4 * h));
    const __m128i r3 = _mm_load_si128(reinterpret_cast<const __m128i*>(stage.word[3] + 4 * h));
    const __m128i t0 = _mm_unpacklo_epi32(r0, r1), t1 = _mm_unpacklo_epi32(r2, r3);
    const __m128i t2 = _mm_unpackhi_epi32(r0, r1), t3 = _mm_unpackhi_epi32(r2, r3);
    const __m128i column[4] = {_mm_unpacklo_epi64(t0, t1), _mm_unpackhi_epi64(t0, t1), _mm_unpacklo_epi64(t2, t3),
                               _mm_unpackhi_epi64(t2, t3)};
    for (int b = 0; b < 4; ++b) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(planes[PlaneAtBytePosition<kInks>(4 * h + b)] + first_cell),
                       column[b]);
    }
  }
}

inline __m128i LoadPixel(const uint8_t* p) {
  int32_t v;
  std::memcpy(&v, p, sizeof v);
  return _mm_cvtsi32_si128(v);
}

// The node bytes of a cell position (8 for 8 inks, 4 for 4 inks) in the low bytes.
template <int kInks>
inline __m128i NodeBytes(const uint32_t* node) {
  if constexpr (kInks == 8) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(node));
  } else {
    return _mm_cvtsi32_si128(static_cast<int>(node[0]));
  }
}

// The cells of the run [x, end) on the SSE2 paths: the same values as SeparateCells, the flat
// test and the smoothing side by side over the components and inks, and the plane words written
// four cells at a time.
template <int kInks, InputMode kMode>
void SeparateCellsWide(int32_t x, int32_t end, uint32_t r, const int32_t pattern[], int32_t index,
                       const CubeReader& reader, uint32_t* const planes[kInks], uint32_t* flat_words,
                       const uint8_t* pair[2]) {
  RunWalk<kInks> walk(reader, pair, flat_words);
  __m128i previous_bytes = _mm_setzero_si128();
  // Node byte of plane 2: never smoothed.
  alignas(16) uint8_t kept_bytes[16] = {};
  kept_bytes[PlaneBytePosition<kInks>(2)] = 0xFF;
  const __m128i unsmoothed = _mm_load_si128(reinterpret_cast<const __m128i*>(kept_bytes));
  const __m128i zero = _mm_setzero_si128();
  const __m128i tolerance = _mm_set1_epi8(kFlatTolerance);
  const __m128i components = _mm_set1_epi32(0x00FFFFFF);
  PlaneStage<kInks> stage;
  int32_t cell = 0;
  for (; x < end; x += 2, ++cell) {
    int32_t tags[kCellPixelCount];
    const CellInput in = walk.template Next<kMode>(x, end, r, pattern, index, tags);
    const __m128i pixels =
        _mm_unpacklo_epi64(_mm_unpacklo_epi32(LoadPixel(in.pixel[kTopLeft]), LoadPixel(in.pixel[kTopRight])),
                           _mm_unpacklo_epi32(LoadPixel(in.pixel[kBottomLeft]), LoadPixel(in.pixel[kBottomRight])));
    // Flat: TL against BR, TR against TL, TR against BL, each component within the tolerance.
    const __m128i first = _mm_shuffle_epi32(pixels, _MM_SHUFFLE(1, 1, 1, 0));
    const __m128i second = _mm_shuffle_epi32(pixels, _MM_SHUFFLE(2, 2, 0, 3));
    const __m128i distance = _mm_or_si128(_mm_subs_epu8(first, second), _mm_subs_epu8(second, first));
    const __m128i beyond = _mm_and_si128(_mm_subs_epu8(distance, tolerance), components);
    uint32_t* const staged = stage.word[cell & 3];
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(beyond, zero)) == 0xFFFF) {
      const uint8_t* tl = in.pixel[kTopLeft];
      __m128i sum = _mm_add_epi16(_mm_unpacklo_epi8(pixels, zero), _mm_unpackhi_epi8(pixels, zero));
      sum = _mm_srli_epi16(_mm_add_epi16(sum, _mm_srli_si128(sum, 8)), 2);
      const bool similar = walk.Similar(tl);
      const uint32_t* node = walk.cube.template Node<kInks>(_mm_extract_epi16(sum, 0), _mm_extract_epi16(sum, 1),
                                                            _mm_extract_epi16(sum, 2), tags[kTopLeft]);
      __m128i value = NodeBytes<kInks>(node);
      // (value + previous + bit) >> 1: the rounded mean, less one where the sum is odd and the bit clear.
      const __m128i odd = _mm_and_si128(_mm_xor_si128(value, previous_bytes),
                                        _mm_set1_epi8(static_cast<char>(RoundingBit(r) ^ 1)));
      const __m128i smoothed = _mm_sub_epi8(_mm_avg_epu8(value, previous_bytes), odd);
      const __m128i take = _mm_andnot_si128(unsmoothed, _mm_set1_epi8(similar ? -1 : 0));
      value = _mm_or_si128(_mm_and_si128(take, smoothed), _mm_andnot_si128(take, value));
      previous_bytes = value;
      const __m128i words = _mm_unpacklo_epi8(value, zero);
      _mm_store_si128(reinterpret_cast<__m128i*>(staged), _mm_unpacklo_epi16(words, zero));
      if constexpr (kInks == 8) _mm_store_si128(reinterpret_cast<__m128i*>(staged + 4), _mm_unpackhi_epi16(words, zero));
      walk.Flat(tl);
    } else {
      const uint32_t* nodes[kCellPixelCount];
      walk.Detailed(cell, in, tags, nodes);
      const __m128i low = _mm_unpacklo_epi8(NodeBytes<kInks>(nodes[kBottomRight]), NodeBytes<kInks>(nodes[kBottomLeft]));
      const __m128i high = _mm_unpacklo_epi8(NodeBytes<kInks>(nodes[kTopRight]), NodeBytes<kInks>(nodes[kTopLeft]));
      _mm_store_si128(reinterpret_cast<__m128i*>(staged), _mm_unpacklo_epi16(low, high));
      if constexpr (kInks == 8) _mm_store_si128(reinterpret_cast<__m128i*>(staged + 4), _mm_unpackhi_epi16(low, high));
    }
    if ((cell & 3) == 3) WriteStage<kInks>(stage, planes, cell - 3);
    r = NextRounding(r);
    walk.EndCell(cell);
  }
  for (int32_t c = cell & ~3; c < cell; ++c) {
    for (int b = 0; b < kInks; ++b) planes[PlaneAtBytePosition<kInks>(b)][c] = stage.word[c & 3][b];
  }
  walk.Finish(cell, pair);
}

#endif

// The loop of the path, for one input mode.
template <int kInks, halftone_lines::SimdPath P, InputMode kMode>
void SeparateCellsIn(int32_t x, int32_t end, uint32_t r, const int32_t pattern[], int32_t index,
                     const CubeReader& cube, uint32_t* const planes[kInks], uint32_t* flat_words,
                     const uint8_t* pair[2]) {
#ifdef TONVAR_HALFTONE_X86
  if constexpr (P != halftone_lines::SimdPath::kScalar) {
    SeparateCellsWide<kInks, kMode>(x, end, r, pattern, index, cube, planes, flat_words, pair);
    return;
  }
#endif
  SeparateCells<kInks, kMode>(x, end, r, pattern, index, cube, planes, flat_words, pair);
}

// The input mode of the replication code, fixed for the whole run.
template <int kInks, halftone_lines::SimdPath P>
void SeparateCellsOf(int32_t code, int32_t x, int32_t end, uint32_t r, const int32_t pattern[], int32_t index,
                     const CubeReader& cube, uint32_t* const planes[kInks], uint32_t* flat_words,
                     const uint8_t* pair[2]) {
  if (code == -1) {
    SeparateCellsIn<kInks, P, kReduce>(x, end, r, pattern, index, cube, planes, flat_words, pair);
  } else if (code == 0) {
    SeparateCellsIn<kInks, P, kPairs>(x, end, r, pattern, index, cube, planes, flat_words, pair);
  } else {
    SeparateCellsIn<kInks, P, kReplicate>(x, end, r, pattern, index, cube, planes, flat_words, pair);
  }
}

}  // namespace

template <int kInks, bool kOneBit>
EngineStatus SeparateLine(MultiLevelState* state, int32_t pattern_index, int32_t x, const uint8_t* pair[2]) {
  int32_t pattern[halftone_lines::kPatternLength];
  halftone_lines::GetReplicationPattern(state->replication_code, pattern);
  uint32_t r = DrawRounding(&state->random);
  const int32_t end = state->x_end;
  const int32_t code = state->replication_code;
  if (x >= end) return kStatusOk;
  if (kOneBit && code == -1) return kStatusBadResource;
  int32_t index = pattern_index >= 0 && pattern_index < halftone_lines::kPatternLength ? pattern_index : 0;
  if (pattern[index] < 0) index = 0;

  uint32_t* planes[kInks];
  for (int k = 0; k < kInks; ++k) planes[k] = reinterpret_cast<uint32_t*>(state->cell_planes[k]);
  uint32_t* flat_words = reinterpret_cast<uint32_t*>(state->flat_cells);
  const CubeReader cube{state->tone_ramp, state->cubes, 0};
  if (state->simd_path == halftone_lines::SimdPath::kScalar) {
    SeparateCellsOf<kInks, halftone_lines::SimdPath::kScalar>(code, x, end, r, pattern, index, cube, planes,
                                                              flat_words, pair);
  } else {
    SeparateCellsOf<kInks, halftone_lines::SimdPath::kSse2>(code, x, end, r, pattern, index, cube, planes,
                                                            flat_words, pair);
  }
  return kStatusOk;
}

template <int kInks>
void SeparateCell(const CellPixels& pixels, const uint32_t tone_ramp[256], uint8_t* const cubes[2],
                  int32_t offset, CellLevels* levels) {
  const CubeReader cube{tone_ramp, cubes, offset};
  for (int p = 0; p < kCellPixelCount; ++p) {
    const uint32_t* node = cube.Node<kInks>(pixels.c0[p] & 0xFF, pixels.c1[p] & 0xFF, pixels.c2[p] & 0xFF,
                                            pixels.tag[p]);
    for (int k = 0; k < kInks; ++k) levels->level[p][k] = static_cast<int32_t>(2 * PlaneByte<kInks>(node, k));
  }
}

template EngineStatus SeparateLine<4, false>(MultiLevelState*, int32_t, int32_t, const uint8_t* [2]);
template EngineStatus SeparateLine<8, false>(MultiLevelState*, int32_t, int32_t, const uint8_t* [2]);
template EngineStatus SeparateLine<4, true>(MultiLevelState*, int32_t, int32_t, const uint8_t* [2]);
template EngineStatus SeparateLine<8, true>(MultiLevelState*, int32_t, int32_t, const uint8_t* [2]);
template void SeparateCell<4>(const CellPixels&, const uint32_t*, uint8_t* const*, int32_t, CellLevels*);
template void SeparateCell<8>(const CellPixels&, const uint32_t*, uint8_t* const*, int32_t, CellLevels*);

}  // namespace tonvar::multi_level
