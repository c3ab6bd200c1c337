// The grey-input halftoning engine: its record, the per-call fields and the operations the
// resource steps and line drivers are built from. The engine halftones grey pixels through the
// grey colour engine's packed ink table into eight ink planes at 1 or 2 bits per dot.
#pragma once

#include <cstdint>

#include "tonvar/common/memory.h"
#include "tonvar/common/random_generator.h"
#include "tonvar/common/resource_bytes.h"
#include "tonvar/grey_input/engine_operations.h"
#include "tonvar/halftone_lines/engine_buffer.h"
#include "tonvar/halftone_lines/line_zones.h"
#include "tonvar/halftone_lines/matrix_layout.h"
#include "tonvar/halftone_lines/simd_path.h"
#include "tonvar/interface/client_records.h"
#include "tonvar/interface/grey_lut.h"
#include "tonvar/interface/status.h"

namespace tonvar::grey_input {

using common::ResourceBytes;
using halftone_lines::EngineBuffer;
using halftone_lines::HorizontalZone;
using halftone_lines::kZoneCount;
using halftone_lines::MatrixLayout;

inline constexpr int kInks = 8;             // ink slots = output planes
inline constexpr int kGroups = 9;           // channel groups; group 8 only from kind-4 blocks
inline constexpr int kDotLevels = 512;      // rows of a dot table
inline constexpr int kSubTables = 3;        // edge, interior, vertical blend
inline constexpr uint32_t kLevels = 65536;  // one entry per 16-bit ink amount
inline constexpr uint32_t kTopAmount = 65280;  // amounts above read as this one
inline constexpr int32_t kDotWeight = 4080;    // one dot in the diffusion sums
inline constexpr int kEngineBuffers = 20;
inline constexpr int kErrorMargin = 30;     // words left of column 0 in every error row
inline constexpr int32_t kNoBound = 0x7FFFFFFE;

enum BufferIndex { kErrorRowBuffer, kMatrixBuffer, kLineBuffer };
enum SubTable { kEdgeTable, kInteriorTable, kBlendTable };
enum DotSize { kSmall, kMedium, kLarge };
// Cumulative thresholds of one level: any dot, medium or large, large.
enum Threshold { kAnyDot, kMediumOrLarge, kLargeDot };

// Channel group of each ink slot (slot k is packed-table field k and output plane k).
inline constexpr int kGroupOfSlot[kInks] = {1, 2, 3, 0, 4, 5, 6, 7};

struct DotTable {
  int32_t row[kDotLevels][3];  // small, medium, large amount of each of 512 levels
};
struct LevelTable {
  uint32_t level[kLevels][3];  // Threshold order
};

// What creation keeps of the raster job.
struct GreyHalftoneArgs {
  uint32_t h_res;
  uint32_t v_res;
  uint32_t method;
  uint32_t bits_per_dot;
  uint32_t channel_order;
  uint32_t ink_set;
  uint32_t width;
  uint32_t height;
  uint32_t replication_code;
  uint32_t two_row_output;
};
static_assert(sizeof(GreyHalftoneArgs) == 40);

// The fields of the current Halftone call, rewritten by every call.
struct GreyCall {
  uint32_t channel_order;
  int32_t width;
  uint32_t height;
  uint32_t bits;
  int32_t replication;
  uint32_t two_row_output;
  const uint8_t* in_rows[2];        // row 1 repeats row 0 for a one-row call
  uint8_t* const* out_rows;
  int32_t plane_stride;
  int32_t first_bit;
  int32_t count;
  int32_t x_start;
  uint32_t row_count;
  int32_t line;
  int32_t previous_line;
  uint32_t method;
  int32_t x_end;
};

// The per-ink table block of resource step 3.
struct InkLine {
  int32_t x0, y0, x1, y1;
};
struct InkTableRecord {
  int32_t ink_code;  // -1: unused
  uint32_t offsets[3];
  InkLine lines[3];
  uint16_t tables[3][256];
};
struct InkTableBlock {
  uint32_t version;
  uint32_t first_index;
  uint32_t last_index;
  uint32_t form0_word;
  uint32_t ink_count;
  uint32_t coordinate_count;
  uint32_t sample_word;
  uint32_t form;
  int32_t looked_up[3];
  InkTableRecord inks[16];
};

struct GreyHalftoneEngine {
  const PackedInkTable* ink_table;  // the colour-matching handle's, read at every call
  uint32_t ratio_class;             // 0 H = V, 1 H = 2V, 2 H = 4V, 3 V = 2H
  MatrixLayout layout;              // layout.samples: the threshold matrix
  uint64_t error_rows_size;
  int32_t* error_rows_base;
  int32_t* error_row_odd[kInks];    // small-dot pass and 1-bit diffusion
  int32_t* error_row_even[kInks];   // medium-dot pass
  uint32_t cell_thresholds[256];
  common::MtState random;
  int64_t density_curve[kDotLevels];
  int64_t target_curve[kDotLevels];
  int32_t ink_count;
  uint32_t step;
  uint32_t ready;        // the last step answered the end marker and none failed
  uint32_t step_failed;
  GreyCall call;
  uint32_t ink0_shifted;
  GreyHalftoneArgs args;
  int32_t edge_widths[4];        // unused, unused, right, left
  int32_t transition_widths[4];
  int32_t vertical_bounds[12];
  EngineBuffer buffers[kEngineBuffers];
  uint8_t* line_mask;
  uint32_t* ink_line[kInks];
  common::MemHandle allocation;
  int32_t group_trailer[kGroups][3];
  int32_t ink_adjust[3];
  int32_t curve_scratch[2][kDotLevels][3];
  DotTable dot_tables[kGroups][kSubTables];
  LevelTable level_tables[kGroups][kSubTables];
  HorizontalZone zones[kZoneCount];
  InkTableBlock ink_table_block;
  GreyHandover handover;
  halftone_lines::SimdPath simd_path;  // settled at creation
  // The line's thresholds by grey level for the vector paths, the eight slots side by side:
  // {any, medium or large, large} made cumulative from the top, as 16-bit values.
  int16_t grey_thresholds[256][3][kInks];
  // The diffused slots' medium-or-large and any-dot thresholds by grey level, as read.
  int32_t grey_diffusion_thresholds[kInks][256][2];
};

// Creation and the resource steps.
EngineStatus CreateGreyHalftoneEngine(const GreyHalftoneArgs& args, const GreyLut& lut,
                                      GreyHalftoneEngine** engine_out);
uint32_t RatioClassOf(uint32_t h_res, uint32_t v_res);  // 0..3, or 0xFFFFFFFF
EngineStatus StepGreyHalftoneResource(GreyHalftoneEngine* engine, ResourceBytes block,
                                      ResourceId* next_id);
EngineStatus ReadGreyDotCurveBlock(GreyHalftoneEngine* engine, ResourceBytes block);
EngineStatus ReadGreyScreenBlock(GreyHalftoneEngine* engine, ResourceBytes block);
EngineStatus AllocGreyLineBuffers(GreyHalftoneEngine* engine);
void BuildCellThresholds(uint32_t ratio_class, uint32_t bits, uint32_t out[256]);
// Level table from a dot table: 128 interpolated levels per dot-table row, amounts above the
// top one read as the top one, then made cumulative. 768 for a row with a negative amount or
// more than one dot in all (the diffusion kernels index their thresholds by cell sums).
EngineStatus InterpolateDotTable(const DotTable& dots, LevelTable* levels);
EngineStatus ReadHandoverLayoutBlock(ResourceBytes block, GreyHandover* handover);
EngineStatus ArrangeHandoverValues(GreyHandover* handover);
EngineStatus ReadInkTableBlock(ResourceBytes block, InkTableBlock* state);
EngineStatus ApplyInkTables(GreyHalftoneEngine* engine);

// One Halftone call.
EngineStatus CheckGreyHalftoneCall(const GreyHalftoneEngine& engine);
EngineStatus GreyLine1Bit(GreyHalftoneEngine* engine);
EngineStatus GreyLine2Bit(GreyHalftoneEngine* engine);

}  // namespace tonvar::grey_input
