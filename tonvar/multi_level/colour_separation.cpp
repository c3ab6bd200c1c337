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
template <int kInks, halftone_lines::SimdPath P>
[[gnu::always_inline]] inline void PutDetailedCell(const uint32_t* const nodes[kCellPixelCount],
                                                   uint32_t* const planes[kInks], int32_t cell) {
#ifdef TONVAR_HALFTONE_X86
  if constexpr (P != halftone_lines::SimdPath::kScalar) {
    auto load = [](const uint32_t* node) {
      if constexpr (kInks == 8) {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(node));
      } else {
        return _mm_cvtsi32_si128(static_cast<int>(node[0]));
      }
    };
    const __m128i low = _mm_unpacklo_epi8(load(nodes[kBottomRight]), load(nodes[kBottomLeft]));
    const __m128i high = _mm_unpacklo_epi8(load(nodes[kTopRight]), load(nodes[kTopLeft]));
    alignas(16) uint32_t words[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(words), _mm_unpacklo_epi16(low, high));
    if constexpr (kInks == 8) _mm_store_si128(reinterpret_cast<__m128i*>(words + 4), _mm_unpackhi_epi16(low, high));
    for (int k = 0; k < kInks; ++k) planes[k][cell] = words[PlaneBytePosition<kInks>(k)];
    return;
  }
#endif
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

// The cells of the run [x, end), the input mode fixed for the whole run.
template <int kInks, InputMode kMode, halftone_lines::SimdPath P>
void SeparateCells(int32_t x, int32_t end, uint32_t r, const int32_t pattern[], int32_t index,
                   const CubeReader& reader, uint32_t* const planes[kInks], uint32_t* flat_words,
                   const uint8_t* pair[2]) {
  CubeReader cube = reader;
  const uint8_t* row0 = pair[0];
  const uint8_t* row1 = pair[1];
  bool previous_flat = false;
  uint8_t previous_tl[3] = {};
  uint32_t previous_value[kInks] = {};
  uint32_t bits = 0;
  int32_t cell = 0;
  for (; x < end; x += 2, ++cell) {
    cube.offset = RoundingOffset(r);
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
    // The white right pixel of a 2:1 reduction takes the left pixel's tag.
    const bool white = kMode == kReduce && in.pixel[kTopRight] == kWhite;
    const int32_t tags[kCellPixelCount] = {in.pixel[kTopLeft][3],
                                           white ? in.pixel[kTopLeft][3] : in.pixel[kTopRight][3],
                                           in.pixel[kBottomLeft][3],
                                           white ? in.pixel[kBottomLeft][3] : in.pixel[kBottomRight][3]};

    if (IsFlat(in)) {
      const uint8_t* tl = in.pixel[kTopLeft];
      int32_t mean[3];
      for (int c = 0; c < 3; ++c) {
        mean[c] = (in.pixel[0][c] + in.pixel[1][c] + in.pixel[2][c] + in.pixel[3][c]) >> 2;
      }
      const bool similar = previous_flat && std::abs(tl[0] - previous_tl[0]) <= kSmoothTolerance[0] &&
                           std::abs(tl[1] - previous_tl[1]) <= kSmoothTolerance[1] &&
                           std::abs(tl[2] - previous_tl[2]) <= kSmoothTolerance[2];
      const uint32_t* node = cube.Node<kInks>(mean[0], mean[1], mean[2], tags[kTopLeft]);
      const uint32_t bit = RoundingBit(r);
      for (int k = 0; k < kInks; ++k) {
        uint32_t v = PlaneByte<kInks>(node, k);
        if (similar && k != 2) v = (v + previous_value[k] + bit) >> 1;
        planes[k][cell] = v;
        previous_value[k] = v;
      }
      std::memcpy(previous_tl, tl, 3);
      previous_flat = true;
    } else {
      bits |= 1u << (cell % kCellsPerFlatWord);
      const uint32_t* nodes[kCellPixelCount];
      for (int p = 0; p < kCellPixelCount; ++p) {
        nodes[p] = cube.Node<kInks>(in.pixel[p][0], in.pixel[p][1], in.pixel[p][2], tags[p]);
      }
      PutDetailedCell<kInks, P>(nodes, planes, cell);
      previous_flat = false;
    }
    r = NextRounding(r);
    if (cell % kCellsPerFlatWord == kCellsPerFlatWord - 1) {
      flat_words[cell / kCellsPerFlatWord] = bits;
      bits = 0;
    }
  }
  if (cell % kCellsPerFlatWord != 0) flat_words[cell / kCellsPerFlatWord] = bits;
  pair[0] = row0;
  pair[1] = row1;
}

// The input mode of the replication code, fixed for the whole run.
template <int kInks, halftone_lines::SimdPath P>
void SeparateCellsOf(int32_t code, int32_t x, int32_t end, uint32_t r, const int32_t pattern[], int32_t index,
                     const CubeReader& cube, uint32_t* const planes[kInks], uint32_t* flat_words,
                     const uint8_t* pair[2]) {
  if (code == -1) {
    SeparateCells<kInks, kReduce, P>(x, end, r, pattern, index, cube, planes, flat_words, pair);
  } else if (code == 0) {
    SeparateCells<kInks, kPairs, P>(x, end, r, pattern, index, cube, planes, flat_words, pair);
  } else {
    SeparateCells<kInks, kReplicate, P>(x, end, r, pattern, index, cube, planes, flat_words, pair);
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
