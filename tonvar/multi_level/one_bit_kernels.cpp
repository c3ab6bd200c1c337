// One bit per dot: the error-diffusion core, the ordered dither of a plane and the vertical
// blend of the one threshold these kernels read.
#include <algorithm>

#include "tonvar/multi_level/diffuse_cells_2x1.h"

namespace tonvar::multi_level {
namespace {

using diffusion::LevelValues;
using diffusion::ZoneTables;

// Bit of dot i (0..31) of a group in a word stored little-endian: the earliest dot of each byte
// in its top bit.
constexpr uint32_t DotBit(int i) { return 1u << ((7 - i % 8) + 8 * (i / 8)); }

// Walks the cells of the run zone by zone, lets `rule(c, entry, detailed, tables, f)` answer the
// cell's dots (bit i for sub-pixel i), collects them in groups of 32 and writes the groups; the
// largest zone end goes back to the caller.
template <class Rule>
int32_t WalkOneBit(const DiffusionCall& call, Rule rule) {
  const MultiLevelState& state = *call.state;
  uint32_t words[2] = {call.words[0], call.words[1]};
  int p = call.dot_position;
  uint32_t cell = 0;
  uint32_t offset = 0;
  int32_t max_end = 0;
  for (int z = 0; z < halftone_lines::kZoneCount; ++z) {
    const HorizontalZone& zone = call.run_zones[z];
    max_end = std::max(max_end, zone.end);
    const ZoneTables tables = diffusion::TablesOfZone(call, z);
    for (int32_t c = zone.start; c < zone.end; c += 2, ++cell) {
      const int32_t f = tables.plain != 0 ? 0 : ((c - tables.origin) * 32) / tables.width;
      const bool detailed = ((call.flat_cells[cell >> 5] >> (cell & 31)) & 1) != 0;
      const uint32_t dots = rule(c, call.cell_plane[cell], detailed, tables, f);
      const uint32_t left = DotBit(p), right = DotBit(p + 1);
      words[0] |= ((dots & 1) != 0 ? left : 0) | ((dots & 2) != 0 ? right : 0);
      words[1] |= ((dots & 4) != 0 ? left : 0) | ((dots & 8) != 0 ? right : 0);
      p += 2;
      if (p == 32) {
        diffusion::StoreBytes(call.out_rows[1] + offset, words[1], 4);
        diffusion::StoreBytes(call.out_rows[0] + offset, words[0], 4);
        offset += 4;
        words[0] = words[1] = 0;
        p = 0;
      }
    }
  }
  if (p != 0) {
    const int n = static_cast<int>(((state.first_dot + state.count) % 32 + 7) / 8);
    diffusion::StoreBytes(call.out_rows[1] + offset, words[1], n);
    diffusion::StoreBytes(call.out_rows[0] + offset, words[0], n);
  }
  return max_end;
}

// The one value of every sub-pixel: the third threshold of its level.
void DotValues(uint32_t entry, bool detailed, const ZoneTables& tables, int32_t f, int32_t t[4]) {
  diffusion::CellValues v;
  if (detailed) {
    for (int i = 0; i < 4; ++i) LevelValues(tables, f, (entry >> (24 - 8 * i)) & 0xFF, v, i);
    std::copy(v.large, v.large + 4, t);
  } else {
    LevelValues(tables, f, entry & 0xFF, v, 0);
    std::fill(t, t + 4, v.large[0]);
  }
}

using OneBitPass = diffusion::Wide<true, true>;

}  // namespace

void DiffuseCellsOneBit(const DiffusionCall& call) {
  MultiLevelState& state = *call.state;
  int32_t* const errors = call.medium_errors;
  diffusion::PassState pass{0, 0, 0, 0, 0, 0, OneBitPass::kIdleCount};
  uint32_t r = 0;
  const int32_t max_end = WalkOneBit(call, [&](int32_t c, uint32_t entry, bool detailed, const ZoneTables& tables,
                                               int32_t f) -> uint32_t {
    if (!detailed && (entry & 0xFF) == 0) {
      OneBitPass::Idle(pass, errors + c);
      return 0;
    }
    diffusion::PassCell cell{errors + c, {}, 0, 0, 0, 0};
    DotValues(entry, detailed, tables, f, cell.t);
    r >>= 4;
    if (r == 0) r = common::RandomGenerate(&state.random);
    cell.r = r;
    cell.density = cell.t[0] + cell.t[1] + cell.t[2] + cell.t[3];
    cell.base = diffusion::BaseThreshold(state.diffusion_thresholds, cell.density);
    return diffusion::Pass<OneBitPass, false>(pass, cell);
  });
  errors[max_end - 2] = pass.pending_left;
  errors[max_end - 1] = pass.pending_right;
}

void DitherPlaneOneBit(const DiffusionCall& call) {
  const int16_t* samples = call.state->matrix.samples;
  const uint32_t mask =
      static_cast<uint32_t>(call.state->matrix.width) * static_cast<uint32_t>(call.state->matrix.height) - 1;
  uint32_t m = call.matrix_position;
  WalkOneBit(call, [&](int32_t, uint32_t entry, bool detailed, const ZoneTables& tables, int32_t f) -> uint32_t {
    m = (m + 4) & mask;
    if (!detailed && (entry & 0xFF) == 0) return 0;
    int32_t t[4];
    DotValues(entry, detailed, tables, f, t);
    return (t[0] > samples[m] ? 1u : 0u) | (t[1] > samples[m + 2] ? 2u : 0u) | (t[2] > samples[m + 1] ? 4u : 0u) |
           (t[3] > samples[m + 3] ? 8u : 0u);
  });
}

bool BlendVerticalTablesOneBit(int32_t line, DotTableSlot slots[kDotSlots], const int32_t bounds[6],
                               const int32_t bounds_used[6]) {
  const bool bottom = line >= bounds_used[2];
  const int32_t height = bottom ? bounds[4] - bounds[3] : bounds[2] - bounds[1];
  if (height == 0) return false;
  const int32_t f = bottom ? ((bounds[4] - line) * 32) / height : ((bounds[2] - line) * 32) / height;
  for (int k = 0; k < kDotSlots; ++k) {
    DotTableSlot& slot = slots[k];
    for (int level = 0; level < kDotLevels; ++level) {
      const int32_t edge = static_cast<int32_t>(slot.set[kEdgeSet].level[level][kLarge]);
      const int32_t interior = static_cast<int32_t>(slot.set[kInteriorSet].level[level][kLarge]);
      const int32_t value = bottom ? (edge * (32 - f) + interior * f) / 32 : (interior * (32 - f) + edge * f) / 32;
      slot.set[kBlendSet].level[level][kLarge] = static_cast<uint32_t>(value);
    }
  }
  return true;
}

}  // namespace tonvar::multi_level
