// Look-ups on the non-uniform grids of the colour tables: tetrahedral in three inputs, plus
// linear in a fourth, and linear in floating point on the 1-D tone table.
#include <cstring>

#include "tonvar/colour/colour_engine.h"
#include "tonvar/colour/tetra_lookup.h"
#include "tonvar/common/exact_division.h"

namespace tonvar::colour {

void InterpolateColor3(const CmColorEngine* engine, uint32_t count, const uint8_t* pixels,
                       uint8_t* out) {
  const LutDescriptor* lut = engine->lut;
  TetraGrid grid;
  BuildTetraGrid(&grid, lut->grid, lut->grid_points, lut->channel_count, lut->body);
  LookUpPoints(grid, engine->layout, count, pixels, out, BestLookupPath());
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
  const uint32_t strides[3] = {s1, s2, s3};
  const Tetra t = ChooseTetra(d, x, y, z, strides);
  const uint8_t* p = lut->body + cells.lower[u1] * s1 + cells.lower[u2] * s2 + cells.lower[u3] * s3 +
                     cells.lower[u4] * s4;
  const uint32_t d4 = cells.width[u4];
  const uint32_t f4 = cells.offset[u4];
  for (uint32_t k = 0; k < ch; ++k) {
    const uint8_t* q = p + k;
    const uint32_t lo = t.w0 * q[0] + t.w1 * q[t.first] + t.w2 * q[t.second] + t.w3 * q[t.last];
    q += s4;
    const uint32_t hi = t.w0 * q[0] + t.w1 * q[t.first] + t.w2 * q[t.second] + t.w3 * q[t.last];
    out[k] = static_cast<uint8_t>(common::DivideExact(lo * (d4 - f4) + hi * f4, d4 * d));
  }
}

void TransformPoints(const CmColorEngine* engine, uint8_t* pixels, uint32_t count,
                     const PreTransformTable* table) {
  TetraGrid grid;
  BuildTetraGrid(&grid, table->grid, table->grid_points, table->channel_count, table->body);
  TransformGridPoints(grid, engine->layout, count, pixels);
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
