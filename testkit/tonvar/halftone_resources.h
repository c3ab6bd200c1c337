// Generator of the multi-level halftoning engine's resources for tests: dither matrices in the
// "0123" and CF F9 2E 47 forms, dot-curve blocks of kinds 3 and 4, halftone header blocks, and
// colour-table descriptors (with grey axis and per-ink curves) built in memory.
// Platform-neutral: the Windows tests and the host build both use it.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "tonvar/interface/lut_descriptor.h"

namespace testkit {

using tonvar::InkCurveSet;
using tonvar::LutDescriptor;
using tonvar::ToneTable;

// ---- Dither matrices --------------------------------------------------------------------

// "0123" block of `count` samples (0x10002 or 0x20002 make a usable matrix); sample i is
// samples[i] when given, else i mod 4093.
std::vector<uint8_t> BuildPlainMatrix(uint32_t count, const std::vector<uint16_t>& samples = {});

struct MatrixPhasePair {
  int16_t x;
  int16_t y;
};

struct MatrixBlockShape {
  uint8_t format = 2;        // 1 (4, 6, 7 inks) or 2 (also 8 inks)
  int16_t width = 4;
  int16_t height = 4;
  uint8_t sample_bytes_a = 2;
  uint8_t sample_bytes_b = 0;
  uint8_t copy_mode = 0;     // 1: samples stored in matrix order
  uint8_t kind_byte = 3;
  int16_t sample_offset = -1;          // -1: right after the header
  std::vector<MatrixPhasePair> phases;  // written at the place of phases.size() inks
  // copy mode 1: width x height + 2 samples in matrix order; otherwise plain rows. Empty: a
  // ramp 0, 1, 2 ... in plain rows (and the matching matrix order for copy mode 1).
  std::vector<int16_t> samples;
};
std::vector<uint8_t> BuildMatrixBlock(const MatrixBlockShape& shape);

// Phases 0..n-1 as (16k, 8k): distinct and easy to recognise.
std::vector<MatrixPhasePair> SamplePhases(int ink_count);

// ---- Dot curves -------------------------------------------------------------------------

struct DotCurveRow {
  uint16_t small;
  uint16_t medium;
  uint16_t large;
};

// Rows whose sizes grow with the level: small = v / 4, medium = v / 8, large = v / 16 (v the
// level scaled to 0..255), distinct at every level.
std::vector<DotCurveRow> RampDotRows(int rows, int seed = 0);

struct DotCurveTableShape {   // kind 3
  bool magic = true;
  int16_t columns = 3;
  int16_t rows = 512;
  int16_t bits = 8;
  int16_t fraction_bits = 0;
  int16_t rescale = 0;
  std::vector<DotCurveRow> values;  // RampDotRows(rows) when empty
};
std::vector<uint8_t> BuildDotCurveTable(const DotCurveTableShape& shape);
// The headerless kind-3 form: 256 rows of three bytes from offset 0, whose bytes 8 to 11 (the
// kind field) read 3: the generator fixes rows 0, 2 and 3 so that they do.
std::vector<uint8_t> BuildHeadlessDotCurveTable(std::vector<DotCurveRow> rows);

struct DotCurveSetEntry {
  uint8_t ink_id = 0;
  bool present[3] = {true, true, true};  // small, medium, large
  int16_t columns = 3;
  std::vector<DotCurveRow> values;       // RampDotRows(512, ink_id) when empty
};

struct DotCurveSetShape {     // kind 4
  int16_t levels = 512;
  int16_t bits = 8;
  int16_t fraction_bits = 0;
  std::vector<DotCurveSetEntry> entries;
  int16_t entry_count = -1;  // -1: entries.size()
};
std::vector<uint8_t> BuildDotCurveSet(const DotCurveSetShape& shape);
// Offset of entry i's table in a block of BuildDotCurveSet.
uint32_t DotCurveEntryOffset(const DotCurveSetShape& shape, size_t i);
// One entry for each ink id the ink set needs.
std::vector<DotCurveSetEntry> DotCurveSetEntriesFor(uint32_t ink_set);

// ---- Halftone header block --------------------------------------------------------------

// Version 1 carries the dot-table id at byte 6, version 2 at 16, version 3 at 20. size 0: the
// least the version needs (8, 18 or 22 bytes).
std::vector<uint8_t> BuildHalftoneHeaderBlock(uint16_t version, int16_t id, uint32_t size = 0);

// ---- Colour-table descriptors -----------------------------------------------------------

struct CubeTableShape {
  uint32_t grid = 5;
  uint32_t channels = 4;
  std::vector<uint8_t> levels;    // per axis (all three the same); uniform when empty
  std::vector<uint8_t> body;      // grid^3 x channels; NodeValue when empty
  int32_t gain_none = 100;        // dot gain at no ink (density_b)
  int32_t gain_full = 100;        // dot gain at full ink (density_a)
  uint32_t first_halftone_id = 700;
  int32_t dot_curve_id = 733;
  int32_t edge_id = 734;
  int32_t transitions[4] = {0, 0, 0, 0};  // upper, lower, left, right
  std::vector<uint8_t> screening_block;
  // Grey axis: levels and rows of `channels` values.
  std::vector<uint8_t> grey_levels;
  std::vector<uint16_t> grey_values;
  // Per-ink curves: ink id and 256 values.
  std::vector<std::pair<int32_t, std::vector<uint32_t>>> curves;
  int32_t curve_shift = 4;
};

// Byte c of grid node (i, j, k): different for every node and channel.
uint8_t NodeValue(uint32_t i, uint32_t j, uint32_t k, uint32_t c);
// Evenly spread levels 0..255 over `points` points.
std::vector<uint8_t> EvenLevels(uint32_t points);
// The cube's own 64 node levels.
std::vector<uint8_t> CubeNodeLevels();
// Curve c[i] = 16 i: the identity at 4 fraction bits.
std::vector<uint32_t> IdentityCurve();

// A LutDescriptor whose pointers lead into blocks this object owns (as a colour-matching
// handle's would); movable, not copyable.
class CubeTable {
 public:
  explicit CubeTable(const CubeTableShape& shape = {});
  CubeTable(CubeTable&&) = delete;
  const LutDescriptor* Get() const { return &lut_; }
  LutDescriptor* Mutable() { return &lut_; }

 private:
  LutDescriptor lut_{};
  std::vector<uint8_t> body_;
  std::vector<uint8_t> screening_;
  std::vector<uint16_t> grey_values_;
  ToneTable tone_{};
  InkCurveSet curves_{};
};

}  // namespace testkit
