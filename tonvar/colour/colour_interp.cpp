// Look-ups on the non-uniform grids of the colour tables: tetrahedral in three inputs, plus
// linear in a fourth, and linear in floating point on the 1-D tone table.
#include <cstring>

#include "tonvar/colour/colour_engine.h"
#include "tonvar/common/exact_division.h"

namespace tonvar::colour {
namespace {

// Per-axis cell of every input level: lower grid index, offset into the cell, cell width.
struct AxisCells {
  uint8_t lower[256];
  uint8_t offset[256];
  uint16_t width[256];

  void Build(const uint8_t* coords, uint32_t points) {
    uint32_t i = 1;
    for (uint32_t v = 0; v < 256; ++v) {
      while (i < points - 1 && v > coords[i]) ++i;
      lower[v] = static_cast<uint8_t>(i - 1);
      offset[v] = static_cast<uint8_t>(v - coords[i - 1]);
      width[v] = static_cast<uint16_t>(coords[i] - coords[i - 1]);
    }
  }
};

// One tetrahedron: entry offsets of its two inner vertices and the four weights.
struct Tetra {
  uint32_t first, second, last;  // offsets (bytes) from P000
  uint32_t w0, w1, w2, w3;       // weights of P000, first, second, P111
};

inline Tetra Choose(uint32_t d, uint32_t x, uint32_t y, uint32_t z, uint32_t s1, uint32_t s2,
                    uint32_t s3) {
  const uint32_t all = s1 + s2 + s3;
  if (x >= y && y >= z) return {s1, s1 + s2, all, d - x, x - y, y - z, z};
  if (x >= z && z >= y) return {s1, s1 + s3, all, d - x, x - z, z - y, y};
  if (z >= x && x >= y) return {s3, s1 + s3, all, d - z, z - x, x - y, y};
  if (y >= x && x >= z) return {s2, s1 + s2, all, d - y, y - x, x - z, z};
  if (y >= z && z >= x) return {s2, s2 + s3, all, d - y, y - z, z - x, x};
  return {s3, s2 + s3, all, d - z, z - y, y - x, x};
}

// Undivided tetrahedral sums of `channels` outputs at grid cell origin p.
inline void TetraSums(const uint8_t* p, const Tetra& t, uint32_t channels, uint32_t* sums) {
  for (uint32_t k = 0; k < channels; ++k) {
    sums[k] = t.w0 * p[k] + t.w1 * p[t.first + k] + t.w2 * p[t.second + k] + t.w3 * p[t.last + k];
  }
}

struct Grid3 {
  AxisCells axis[3];
  uint32_t s1, s2, s3;  // byte strides of the three axes
};

void BuildGrid3(Grid3* grid, const uint8_t (*coords)[kLutMaxGrid], const uint32_t* points,
                uint32_t channels) {
  for (int k = 0; k < 3; ++k) grid->axis[k].Build(coords[k], points[k]);
  grid->s3 = channels;
  grid->s2 = points[2] * channels;
  grid->s1 = points[1] * points[2] * channels;
}

// Cell origin and tetrahedron of one input triple; d is the axis-1 cell width.
inline const uint8_t* Locate(const Grid3& grid, const uint8_t* body, uint32_t u1, uint32_t u2,
                             uint32_t u3, Tetra* t, uint32_t* d) {
  const AxisCells& a1 = grid.axis[0];
  const AxisCells& a2 = grid.axis[1];
  const AxisCells& a3 = grid.axis[2];
  *d = a1.width[u1];
  const uint32_t x = a1.offset[u1];
  const uint32_t y = common::DivideAny(a2.offset[u2] * *d, a2.width[u2]);
  const uint32_t z = common::DivideAny(a3.offset[u3] * *d, a3.width[u3]);
  *t = Choose(*d, x, y, z, grid.s1, grid.s2, grid.s3);
  return body + a1.lower[u1] * grid.s1 + a2.lower[u2] * grid.s2 + a3.lower[u3] * grid.s3;
}

}  // namespace

void InterpolateColor3(const CmColorEngine* engine, uint32_t count, const uint8_t* pixels,
                       uint8_t* out) {
  const LutDescriptor* lut = engine->lut;
  const uint32_t ch = lut->channel_count;
  Grid3 grid;
  BuildGrid3(&grid, lut->grid, lut->grid_points, ch);
  const PixelLayout layout = engine->layout;
  uint32_t sums[kLutMaxChannels];
  for (uint32_t n = 0; n < count; ++n, pixels += layout.step, out += ch) {
    Tetra t;
    uint32_t d;
    const uint8_t* p = Locate(grid, lut->body, pixels[layout.index[0]], pixels[layout.index[1]],
                              pixels[layout.index[2]], &t, &d);
    if (ch == 8) {
      // The usual table: loops of known length; sums of a sound cell stay small.
      TetraSums(p, t, 8, sums);
      uint32_t all = 0;
      for (uint32_t k = 0; k < 8; ++k) all |= sums[k];
      if (all < common::kSmallDividendLimit && d < 256) {
        for (uint32_t k = 0; k < 8; ++k) out[k] = static_cast<uint8_t>(common::DivideSmall(sums[k], d));
        continue;
      }
    } else {
      TetraSums(p, t, ch, sums);
    }
    for (uint32_t k = 0; k < ch; ++k) out[k] = static_cast<uint8_t>(common::DivideExact(sums[k], d));
  }
}

void InterpolateColor4(const LutDescriptor* lut, uint32_t u1, uint32_t u2, uint32_t u3,
                       uint32_t u4, uint8_t* out) {
  const uint32_t ch = lut->channel_count;
  const uint32_t g = lut->grid_points[0];
  AxisCells cells;
  cells.Build(lut->grid[0], g);
  const uint32_t s4 = ch, s3 = g * ch, s2 = g * g * ch, s1 = g * g * g * ch;
  const uint32_t d = cells.width[u1];
  const uint32_t x = cells.offset[u1];
  const uint32_t y = common::DivideExact(cells.offset[u2] * d, cells.width[u2]);
  const uint32_t z = common::DivideExact(cells.offset[u3] * d, cells.width[u3]);
  const Tetra t = Choose(d, x, y, z, s1, s2, s3);
  const uint8_t* p = lut->body + cells.lower[u1] * s1 + cells.lower[u2] * s2 + cells.lower[u3] * s3 +
                     cells.lower[u4] * s4;
  const uint32_t d4 = cells.width[u4];
  const uint32_t f4 = cells.offset[u4];
  uint32_t lo[kLutMaxChannels], hi[kLutMaxChannels];
  TetraSums(p, t, ch, lo);
  TetraSums(p + s4, t, ch, hi);
  for (uint32_t k = 0; k < ch; ++k) {
    out[k] = static_cast<uint8_t>(common::DivideExact(lo[k] * (d4 - f4) + hi[k] * f4, d4 * d));
  }
}

void TransformPoints(const CmColorEngine* engine, uint8_t* pixels, uint32_t count,
                     const PreTransformTable* table) {
  const uint32_t ch = table->channel_count;
  Grid3 grid;
  BuildGrid3(&grid, table->grid, table->grid_points, ch);
  const PixelLayout layout = engine->layout;
  uint32_t sums[kLutMaxChannels];
  for (uint32_t n = 0; n < count; ++n, pixels += layout.step) {
    Tetra t;
    uint32_t d;
    const uint8_t* p = Locate(grid, table->body, pixels[layout.index[0]], pixels[layout.index[1]],
                              pixels[layout.index[2]], &t, &d);
    TetraSums(p, t, 3, sums);
    for (int k = 0; k < 3; ++k) pixels[layout.index[k]] = static_cast<uint8_t>(common::DivideExact(sums[k], d));
  }
}

void InterpolateTone(const CmColorEngine* engine, uint32_t count, const uint8_t* pixels,
                     uint16_t* out) {
  const ToneTable* tone = engine->lut->tone_table;
  const uint32_t ch = tone->channel_count;
  const uint8_t* c = tone->levels;
  const PixelLayout layout = engine->layout;
  for (uint32_t n = 0; n < count; ++n, pixels += layout.step, out += ch) {
    const uint32_t v = pixels[layout.index[0]];
    uint32_t i = 1;
    while (i < tone->point_count - 1 && v > c[i]) ++i;
    const double width = static_cast<double>(c[i]) - c[i - 1];
    const double w_hi = (static_cast<double>(v) - c[i - 1]) / width;
    const double w_lo = (static_cast<double>(c[i]) - v) / width;
    const uint16_t* lo = tone->values + uint64_t{i - 1} * ch;
    const uint16_t* hi = lo + ch;
    for (uint32_t k = 0; k < ch; ++k) out[k] = static_cast<uint16_t>(lo[k] * w_lo + hi[k] * w_hi);
  }
}

}  // namespace tonvar::colour
