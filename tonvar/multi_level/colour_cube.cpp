// Colour cubes: each colour table is resampled onto a 64 x 64 x 64 grid by tetrahedral
// interpolation in a dot-gain-linearised space, with the grey diagonal optionally taken from
// the table's grey-axis rows.
#include <algorithm>
#include <cstring>

#include "tonvar/common/scoped_block.h"
#include "tonvar/multi_level/multi_level_engine.h"

namespace tonvar::multi_level {
namespace {

// Input levels of the 64 cube nodes, the same on all three axes.
constexpr uint8_t kCubeLevels[kCubeAxis] = {
    0,   5,   10,  15,  20,  24,  28,  32,  37,  41,  45,  49,  54,  58,  62,  66,
    71,  75,  79,  83,  88,  92,  96,  100, 105, 109, 113, 117, 122, 126, 130, 134,
    139, 143, 147, 151, 156, 160, 164, 168, 173, 177, 181, 185, 190, 194, 198, 202,
    207, 211, 215, 219, 223, 227, 231, 234, 237, 240, 243, 246, 249, 251, 253, 255};

constexpr uint32_t kFullScale = 65280;         // 255 x 256
constexpr uint32_t kFineSteps = 8160;          // 255 x 32
constexpr uint32_t kFineProduct = 532684800;   // 8160 x 65280
constexpr int32_t kMinGain = 100;
constexpr int32_t kMaxGain = 1000;

struct InversePair {
  uint32_t value;  // in 1/32 of an 8-bit step
  uint32_t slope;  // to the next pair's value
};

// The transfer A and its inverse B, in one temporary block.
struct DotGainCurves {
  uint32_t transfer[256];
  InversePair inverse[256];
};

uint32_t DotGainDivisor(uint32_t a, uint32_t b, uint32_t y) {
  return ((a - b) * y / 100) * y / kFineSteps + b * kFineSteps / 100;
}

bool BuildDotGainInverse(InversePair inverse[256], uint32_t a, uint32_t b) {
  const uint32_t limit = kFineProduct / (b * kFineSteps / 100);
  uint32_t u = 0;
  uint32_t f = 0;
  for (uint32_t k = 0; k < 256; ++k) {
    const uint32_t target = std::min(256 * k, limit);
    while (f < target) {
      ++u;
      if (u > kFineSteps) return false;
      f = u * kFullScale / DotGainDivisor(a, b, kFineSteps - u);
    }
    inverse[k].value = u;
  }
  for (int k = 0; k < 255; ++k) inverse[k].slope = inverse[k + 1].value - inverse[k].value;
  inverse[255].slope = 0;
  return true;
}

// a: percentage at no ink, b: at full ink; 100 <= b <= a <= 1000 (checked by the caller).
bool BuildDotGainCurves(DotGainCurves* curves, uint32_t a, uint32_t b) {
  for (uint32_t i = 0; i < 256; ++i) {
    curves->transfer[i] = 32 * i * kFullScale / DotGainDivisor(a, b, kFineSteps - 32 * i);
  }
  return BuildDotGainInverse(curves->inverse, a, b);
}

uint8_t FromLinear(const DotGainCurves& curves, uint32_t t) {
  const InversePair& pair = curves.inverse[t >> 8];
  return static_cast<uint8_t>((pair.value + ((pair.slope * (t & 255)) >> 8) + 16) >> 5);
}

void BuildGridIndex(GridIndex* index, const LutDescriptor& table) {
  const uint32_t n = table.grid_points[0];
  const uint8_t* p = table.grid[0];
  uint32_t k = 0;
  for (uint32_t v = 0; v < 255; ++v) {
    while (v >= p[k + 1]) ++k;
    const uint32_t span = p[k + 1] - p[k];
    index->cell[v] = k;
    index->fraction[v] = ((v - p[k]) * 128 + span / 2) / span;
  }
  index->cell[255] = n - 2;
  index->fraction[255] = 128;
  index->node_count = n;
  index->channels = table.channel_count;
  index->nodes = table.body;
}

void InterpolateCubeNode(uint32_t x, uint32_t y, uint32_t z, const GridIndex& index,
                         const DotGainCurves& curves, uint8_t* out) {
  const uint32_t n = index.node_count, m = index.channels;
  const uint32_t cell[3] = {index.cell[x], index.cell[y], index.cell[z]};
  const uint32_t fraction[3] = {index.fraction[x], index.fraction[y], index.fraction[z]};
  const uint64_t stride[3] = {uint64_t{n} * n * m, uint64_t{n} * m, m};
  int axis[3] = {0, 1, 2};
  std::stable_sort(axis, axis + 3, [&](int l, int r) { return fraction[l] > fraction[r]; });
  const uint32_t fa = fraction[axis[0]], fb = fraction[axis[1]], fc = fraction[axis[2]];
  const uint8_t* p0 = index.nodes + cell[0] * stride[0] + cell[1] * stride[1] + cell[2] * stride[2];
  const uint8_t* p1 = p0 + stride[axis[0]];
  const uint8_t* p2 = p1 + stride[axis[1]];
  const uint8_t* p3 = p2 + stride[axis[2]];
  const uint32_t* a = curves.transfer;
  for (uint32_t c = 0; c < m; ++c) {
    const uint32_t t = (a[p0[c]] * (128 - fa) + a[p1[c]] * (fa - fb) + a[p2[c]] * (fb - fc) +
                        a[p3[c]] * fc) >> 7;
    out[c] = FromLinear(curves, t);
  }
}

void OverrideGreyDiagonal(uint8_t* cube, const LutDescriptor& table, const DotGainCurves& curves) {
  const ToneTable& grey = *table.tone_table;
  const uint32_t m = table.channel_count;
  for (uint32_t i = 0; i < kCubeAxis; ++i) {
    const uint32_t p = kCubeLevels[i];
    uint32_t k = 0;
    while (grey.levels[k] < p) ++k;
    uint8_t* node = cube + ((uint64_t{i} * kCubeAxis + i) * kCubeAxis + i) * m;
    const uint16_t* row = grey.values + uint64_t{k} * m;
    if (grey.levels[k] == p) {
      for (uint32_t c = 0; c < m; ++c) node[c] = static_cast<uint8_t>(row[c]);
      continue;
    }
    const uint16_t* below = row - m;
    const uint32_t hi = grey.levels[k], lo = grey.levels[k - 1];
    for (uint32_t c = 0; c < m; ++c) {
      const uint32_t t =
          (curves.transfer[below[c]] * (hi - p) + curves.transfer[row[c]] * (p - lo)) / (hi - lo);
      node[c] = FromLinear(curves, t);
    }
  }
}

bool LevelsRise(const uint8_t* levels, uint32_t count) {
  if (levels[0] != 0 || levels[count - 1] != 255) return false;
  for (uint32_t k = 1; k < count; ++k) {
    if (levels[k] <= levels[k - 1]) return false;
  }
  return true;
}

bool GreyAxisUsable(const ToneTable& grey, uint32_t channels) {
  if (grey.kind != kToneTableKind || grey.values == nullptr) return false;
  if (grey.point_count < 2 || grey.point_count > 256 || grey.channel_count != channels) return false;
  if (!LevelsRise(grey.levels, grey.point_count)) return false;
  const uint64_t values = uint64_t{grey.point_count} * channels;
  return std::all_of(grey.values, grey.values + values, [](uint16_t v) { return v < 256; });
}

uint32_t ChannelsNeeded(int32_t ink_count) { return ink_count == 4 ? 4 : uint32_t(ink_count); }

}  // namespace

EngineStatus CheckCubeSource(const LutDescriptor& table, int32_t ink_count) {
  const uint32_t m = table.channel_count;
  if (m < ChannelsNeeded(ink_count) || m > kMaxInks) return kStatusBadResource;
  const uint32_t n = table.grid_points[0];
  if (n < 2 || n > kCubeAxis || table.grid_points[1] != n || table.grid_points[2] != n ||
      table.grid_points[3] > 1) {
    return kStatusBadResource;
  }
  if (!LevelsRise(table.grid[0], n) || std::memcmp(table.grid[0], table.grid[1], n) != 0 ||
      std::memcmp(table.grid[0], table.grid[2], n) != 0) {
    return kStatusBadResource;
  }
  if (table.body == nullptr) return kStatusBadResource;
  // Dot gain at full ink between 100 % and the gain at no ink, which is at most 1000 %.
  const int32_t none = table.density_b, full = table.density_a;
  if (full < kMinGain || full > none || none > kMaxGain) return kStatusBadResource;
  if (table.tone_table != nullptr && !GreyAxisUsable(*table.tone_table, m)) return kStatusBadResource;
  return kStatusOk;
}

EngineStatus BuildColorCube(MultiLevelEngine* engine, int index) {
  MultiLevelState* state = engine->state;
  LutDescriptor& table = engine->tables[index];
  BuildGridIndex(&state->grid_index, table);
  for (int axis = 0; axis < 3; ++axis) {
    table.grid_points[axis] = kCubeAxis;
    std::memcpy(table.grid[axis], kCubeLevels, kCubeAxis);
  }

  common::ScopedBlock block;
  const EngineStatus allocated = block.Allocate(sizeof(DotGainCurves), false);
  if (allocated != kStatusOk) return allocated;
  auto* curves = block.data<DotGainCurves>();
  if (!BuildDotGainCurves(curves, static_cast<uint32_t>(table.density_b),
                          static_cast<uint32_t>(table.density_a))) {
    return kStatusBadResource;
  }
  uint8_t* out = state->cubes[index];
  const uint32_t m = table.channel_count;
  for (uint32_t i = 0; i < kCubeAxis; ++i) {
    for (uint32_t j = 0; j < kCubeAxis; ++j) {
      for (uint32_t k = 0; k < kCubeAxis; ++k, out += m) {
        InterpolateCubeNode(kCubeLevels[i], kCubeLevels[j], kCubeLevels[k], state->grid_index,
                            *curves, out);
        if (m >= 6) {
          for (uint32_t c : {0u, 2u, 5u}) {
            if (out[c] == 1) out[c] = 0;
          }
        }
      }
    }
  }
  if (table.tone_table != nullptr) OverrideGreyDiagonal(state->cubes[index], table, *curves);
  return block.Release();
}

void PackCube(uint8_t* cube, uint32_t channels, int32_t ink_count) {
  if (ink_count == 4) {
    // Nodes shrink or keep their size: front to back reads every node before it is overwritten.
    for (uint32_t i = 0; i < kCubeNodes; ++i) {
      const uint8_t* c = cube + uint64_t{i} * channels;
      const uint32_t word = (uint32_t{c[0]} << 24) | (uint32_t{c[1]} << 16) |
                            (uint32_t{c[2]} << 8) | c[3];
      std::memcpy(cube + uint64_t{i} * 4, &word, 4);
    }
    return;
  }
  // Nodes grow to 8 bytes: back to front, so that no node is overwritten before it is read.
  for (uint32_t i = kCubeNodes; i-- > 0;) {
    uint8_t c[kMaxInks] = {};
    std::memcpy(c, cube + uint64_t{i} * channels, channels);
    const uint32_t words[2] = {
        (uint32_t{c[0]} << 24) | (uint32_t{c[1]} << 16) | (uint32_t{c[2]} << 8) | c[3],
        ink_count == 6 ? (uint32_t{c[5]} << 24) | (uint32_t{c[4]} << 16)
                       : (uint32_t{c[5]} << 24) | (uint32_t{c[4]} << 16) | (uint32_t{c[6]} << 8) | c[7]};
    std::memcpy(cube + uint64_t{i} * 8, words, 8);
  }
}

void BuildToneRamp(const uint8_t levels[kCubeAxis], uint32_t ramp[256]) {
  int32_t j = 0;
  for (int32_t v = 0; v < 256; ++v) {
    if (v == levels[j]) {
      ramp[v] = 256 * j;
      ++j;
    } else {
      ramp[v] = 256 * j + ((v - levels[j]) * 255) / (levels[j] - levels[j - 1]);
    }
  }
}

}  // namespace tonvar::multi_level
