// Generator of the screening engine's resources for tests, fuzz seeds and benchmarks: id lists,
// threshold matrices (short and header forms), the four-ink grid block and dot-curve blocks,
// the monochrome main block in each of its forms, the colour table's id blocks, and damaged
// copies of each block at every field its reader checks. Platform-neutral.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tonvar/interface/lut_descriptor.h"

namespace testkit {

// ---- Id list and matrices ---------------------------------------------------------------

// 16-bit ids followed by FF FF (omitted when terminate is false).
std::vector<uint8_t> ScreenIdList(const std::vector<uint16_t>& ids, bool terminate = true);

// A dispersed-dot matrix: a permutation of 0 .. width x height - 1 (width and height powers of
// two), so that every level prints exactly its share of cells.
std::vector<uint16_t> DispersedMatrix(uint32_t width, uint32_t height);

// Short form: width and height bytes (256 written as 255), two unread bytes, thresholds.
std::vector<uint8_t> ShortMatrixBlock(uint32_t width, uint32_t height,
                                      const std::vector<uint16_t>& thresholds);
// Header form: CF F9 2E 47 at 4, level count at 16, width at 20, height at 24, thresholds at 32.
std::vector<uint8_t> HeaderMatrixBlock(uint32_t levels, uint32_t width, uint32_t height,
                                       const std::vector<uint16_t>& thresholds);

// ---- Four-ink blocks --------------------------------------------------------------------

// 32 grid points rising from 0 to 255 (i x 255 / 31, rounded).
std::vector<uint8_t> ScreenGridPoints();
// Grid block: the size word, then the points.
std::vector<uint8_t> ScreenGridBlock(const std::vector<uint8_t>& points, uint16_t size_word = 32);

struct DotShares {
  int32_t small = 0;
  int32_t medium = 0;
  int32_t large = 0;
};

// Shares for every ink value: a dot mix that moves from small to medium to large dots.
// Each share of the four-ink curve lies in 0..max_share.
std::vector<DotShares> RampDotShares(uint32_t count, int32_t max_share);

enum class CurveForm { kRaw, kKindMinus1, kKind0, kKind2, kKind3, kKind4 };

struct DotCurveShape {
  CurveForm form = CurveForm::kKind3;
  std::vector<DotShares> entries;  // 256 or 512 (or any count, to damage the block)
  int32_t count = -1;              // the header's count; entries.size() when -1
  uint32_t sample_bits = 8;        // 8 or 16 (kinds 2, 3 and 4)
  int32_t format = 3;
  int32_t shift = 0;               // kinds 3 and 4
  int32_t flag = 0;                // kinds 3 and 4 (the four-ink reader's "value at 24")
  // Kind 2 main blocks: the second table (16-bit words; kind 1 to 3 words per entry).
  uint32_t second_kind = 0;        // 0: none written
  uint32_t second_bits = 16;
  std::vector<DotShares> second;   // taken as {small, medium, large} words per the kind
  // Kind 4: the directory.
  uint32_t directory_entries = 1;
  uint8_t directory_id = 0;
  int32_t part_offset = 64;        // offset of the part holding the data
};

// A dot-curve / main block (FB 69 F7 DC at 4 for every form but raw).
std::vector<uint8_t> DotCurveBlock(const DotCurveShape& shape);

// The colour table's id block: kind 1 (id at 6) or kind 2 (signature at 8, id at 16), and the
// monochrome form (4 at 0, kind 1 at 4, id at 6, signature at 8).
std::vector<uint8_t> ColourIdBlock(uint16_t kind, uint16_t id);
std::vector<uint8_t> MonoIdBlock(uint16_t id);

// ---- Damaged blocks ---------------------------------------------------------------------

struct DamagedBlock {
  std::string what;
  std::vector<uint8_t> bytes;
  uint32_t status;  // what the reader answers
};

std::vector<DamagedBlock> DamagedIdLists();
std::vector<DamagedBlock> DamagedMatrices();
std::vector<DamagedBlock> DamagedGridBlocks();
std::vector<DamagedBlock> DamagedColourDotCurves();
// `bits_per_dot` of the job that reads the block.
std::vector<DamagedBlock> DamagedMainBlocks();

// ---- Colour tables as the colour engine hands them over -------------------------------

// A LutDescriptor on a body the caller keeps alive: grid points per axis, channels bytes per
// node (the ink ids are 1, 2, 3, 0 ... so that black is channel 3), uniform grid coordinates.
// Channel c of node (i, j, k) is f(c, g[i], g[j], g[k]).
struct ScreenLut {
  std::vector<uint8_t> body;
  tonvar::LutDescriptor lut{};
};
using NodeFunction = uint8_t (*)(uint32_t channel, uint8_t a, uint8_t b, uint8_t c);
void BuildScreenLut(ScreenLut* out, uint32_t grid, uint32_t channels, NodeFunction f);
// Four-ink separation of an RGB-like input: cyan, magenta, yellow from the complements and
// black from their common part.
uint8_t FourInkNode(uint32_t channel, uint8_t a, uint8_t b, uint8_t c);
// Ink grows as the grey value falls (every channel).
uint8_t GreyNode(uint32_t channel, uint8_t a, uint8_t b, uint8_t c);

// FNV-1a over bytes: the golden values of whole bands.
uint64_t Fnv1a(const uint8_t* data, size_t size, uint64_t seed = 0xCBF29CE484222325ull);

}  // namespace testkit
