// Colour separation of a row pair through the colour cubes into per-ink cell planes, and of a
// single cell for the leading cell of a line.
#pragma once

#include <cstdint>

#include "tonvar/multi_level/line_records.h"

namespace tonvar::multi_level {

// Tolerances of the flat-cell test and of the smoothing of similar flat neighbours.
inline constexpr int32_t kFlatTolerance = 25;
inline constexpr int32_t kSmoothTolerance[3] = {8, 8, 20};

// Separates the cells of the run [x, xEnd) of the state's current call, two output pixels by two
// rows each, into `cellPlanes` (one word per cell and ink: a flat cell's one value, or the four
// pixels' values packed top left, top right, bottom left, bottom right from the most significant
// byte) and `flatCells` (bit set for a cell that is not flat). `pair` is advanced past the input
// read; `pattern_index` is where the first cell stands in the replication pattern. One draw of
// the generator per call. The one-bit members do not provide 2:1 reduction: 768.
template <int kInks, bool kOneBit = false>
EngineStatus SeparateLine(MultiLevelState* state, int32_t pattern_index, int32_t x, const uint8_t* pair[2]);

inline EngineStatus SeparateLine4(MultiLevelState* s, int32_t index, int32_t x, const uint8_t* pair[2]) {
  return SeparateLine<4>(s, index, x, pair);
}
inline EngineStatus SeparateLine8(MultiLevelState* s, int32_t index, int32_t x, const uint8_t* pair[2]) {
  return SeparateLine<8>(s, index, x, pair);
}
inline EngineStatus SeparateLineOneBit4(MultiLevelState* s, int32_t index, int32_t x, const uint8_t* pair[2]) {
  return SeparateLine<4, true>(s, index, x, pair);
}
inline EngineStatus SeparateLineOneBit8(MultiLevelState* s, int32_t index, int32_t x, const uint8_t* pair[2]) {
  return SeparateLine<8, true>(s, index, x, pair);
}

// One cell, each pixel in the cube of its own tag with the given offset: the levels (twice the
// node byte) of every ink plane.
template <int kInks>
void SeparateCell(const CellPixels& pixels, const uint32_t tone_ramp[256], uint8_t* const cubes[2],
                  int32_t offset, CellLevels* levels);

inline void SeparateCell4(const CellPixels& p, const uint32_t* ramp, uint8_t* const cubes[2], int32_t offset,
                          CellLevels* levels) {
  SeparateCell<4>(p, ramp, cubes, offset, levels);
}
inline void SeparateCell8(const CellPixels& p, const uint32_t* ramp, uint8_t* const cubes[2], int32_t offset,
                          CellLevels* levels) {
  SeparateCell<8>(p, ramp, cubes, offset, levels);
}

// Of two pixels, the darker: the smaller 4 c0 + 8 c1 + c2, the first on a tie.
inline const uint8_t* DarkerPixel(const uint8_t* a, const uint8_t* b) {
  const int32_t wa = 4 * a[0] + 8 * a[1] + a[2];
  const int32_t wb = 4 * b[0] + 8 * b[1] + b[2];
  return wb < wa ? b : a;
}

}  // namespace tonvar::multi_level
