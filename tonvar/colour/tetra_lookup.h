// Tetrahedral look-up on a three-input table of non-uniform grids, prepared once per table and
// run over many points: the per-axis cells, the strides and the path are settled before the loop.
#pragma once

#include <cstdint>

#include "tonvar/colour/colour_engine.h"

namespace tonvar::colour {

// Per-axis cell of every input level: lower grid index, offset into the cell, cell width.
struct AxisCells {
  uint8_t lower[256];
  uint8_t offset[256];
  uint16_t width[256];

  void Build(const uint8_t* coords, uint32_t points);
};

// One tetrahedron of a cell: byte offsets from the cell origin P000 of its two inner vertices
// and of P111, and the weights of P000, first, second and P111 (they add up to the cell width d
// in a sound cell; a damaged grid may wrap them, and the look-ups then follow the wrapped sums).
struct Tetra {
  uint32_t first, second, last;
  uint32_t w0, w1, w2, w3;
};

// The tetrahedron of fractions x, y, z (axes 1, 2, 3) in a cell of width d with strides s[3].
// Ties go to the first of x >= y >= z, x >= z >= y, z >= x >= y, y >= x >= z, y >= z >= x,
// else z >= y >= x, chosen by a table of the six comparisons instead of a chain of branches.
Tetra ChooseTetra(uint32_t d, uint32_t x, uint32_t y, uint32_t z, const uint32_t* s);

// The scalar path is the reference; the SSE2 path of eight-channel tables gives the same
// bytes. Tests force each path; the engine takes the best one the build has.
enum class LookupPath { kScalar, kSse2 };
LookupPath BestLookupPath();

struct TetraGrid {
  AxisCells axis[3];
  uint32_t stride[3];  // byte strides of the three axes
  // Per outcome of the six comparisons of the fractions: offsets of the tetrahedron's two
  // inner vertices from the cell origin.
  uint32_t inner_first[64], inner_second[64];
  uint32_t outer;      // offset of the cell's far corner
  uint32_t channels;
  const uint8_t* body;
  uint64_t body_bytes;  // the whole body: wide loads near its end stay inside it
};

void BuildTetraGrid(TetraGrid* grid, const uint8_t (*coords)[kLutMaxGrid], const uint32_t* points,
                    uint32_t channels, const uint8_t* body);

// out receives grid.channels bytes per point; the inputs are read through layout.
void LookUpPoints(const TetraGrid& grid, const PixelLayout& layout, uint32_t count,
                  const uint8_t* pixels, uint8_t* out, LookupPath path);

// The first three outputs replace each point's three inputs (in place). Tables of three or more
// channels take the SSE2 path where the build has it; the scalar path is the reference.
void TransformGridPoints(const TetraGrid& grid, const PixelLayout& layout, uint32_t count,
                         uint8_t* pixels, LookupPath path = BestLookupPath());

}  // namespace tonvar::colour
