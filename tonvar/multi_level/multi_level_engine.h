// The multi-level halftoning engine: its record, its work block and the operations the resource
// steps are built from.
#pragma once

#include <cstdint>

#include "tonvar/common/random_generator.h"
#include "tonvar/common/resource_bytes.h"
#include "tonvar/halftone_lines/engine_buffer.h"
#include "tonvar/halftone_lines/line_zones.h"
#include "tonvar/halftone_lines/matrix_layout.h"
#include "tonvar/halftone_lines/simd_path.h"
#include "tonvar/interface/client_records.h"
#include "tonvar/interface/lut_descriptor.h"
#include "tonvar/interface/status.h"
#include "tonvar/multi_level/engine_operations.h"

namespace tonvar::multi_level {

using common::ResourceBytes;
using halftone_lines::EngineBuffer;
using halftone_lines::HorizontalZone;
using halftone_lines::MatrixLayout;

inline constexpr int kDotLevels = 512;
inline constexpr int kDotSlots = 9;      // eight ink slots and the derived ninth
inline constexpr int kNinthSlot = 8;
inline constexpr int kMaxInks = 8;
inline constexpr int kCubeAxis = 64;
inline constexpr uint32_t kCubeNodes = kCubeAxis * kCubeAxis * kCubeAxis;
inline constexpr uint64_t kCubeBytes = uint64_t{kCubeNodes} * 8 + 4;
inline constexpr int32_t kNoBottom = 0x7FFFFFFE;  // height and bounds of a page without a bottom edge

// Cumulative thresholds of one level, in 1/16 of an 8-bit step.
enum DotColumn { kAnyDot, kMediumOrLarge, kLarge };
struct DotTable {
  uint32_t level[kDotLevels][3];
};
enum DotTableSetIndex { kEdgeSet = 0, kInteriorSet = 1, kBlendSet = 2 };
struct DotTableSlot {
  DotTable set[3];
};

// Threshold table of the diffusion kernels, indexed by a cell density divided by 64.
struct DiffusionThresholds {
  uint32_t value[256];
};

// Where each 8-bit input value falls on a colour table's grid.
struct GridIndex {
  uint32_t cell[256];
  uint32_t fraction[256];  // 0..128
  uint32_t node_count;
  uint32_t channels;
  const uint8_t* nodes;
};

enum MultiLevelBufferIndex {
  kStateBuffer,
  kCubeBuffer,
  kErrorBuffer,
  kMatrixBuffer,
  kCellBuffer,
  kMultiLevelBuffers
};

struct MultiLevelState {
  uint8_t* cubes[2];  // equal when the engine has one table
  int32_t ink_count;  // 4, 6, 7 or 8; -1 for an ink set the engine does not know
  uint32_t tone_ramp[256];
  DiffusionThresholds diffusion_thresholds;
  uint32_t ratio_class;
  DotTable shared_dot_tables[2];  // per-dot-size values, then their cumulative form
  DotTableSlot dot_tables[kDotSlots];
  MatrixLayout matrix;
  common::MtState random;
  GridIndex grid_index;
  uint32_t error_block_size;
  int32_t* error_block;
  int32_t* error_rows1[kMaxInks];
  int32_t* error_rows0[kMaxInks];
  uint8_t* flat_cells;
  uint8_t* cell_planes[kMaxInks];
  HorizontalZone zones[halftone_lines::kZoneCount];
  int32_t edge_top, edge_bottom, edge_right, edge_left;
  int32_t blend_top, blend_bottom, blend_right, blend_left;
  int32_t row_bounds[6];
  int32_t row_bounds_used[6];
  // The current Halftone call.
  int32_t width;
  int32_t height;
  uint32_t bits_per_dot;
  int32_t replication_code;
  uint32_t paired_output;
  const uint8_t* const* in_rows;
  uint8_t* const* out_rows;
  uint32_t plane_stride;
  uint32_t first_dot;
  uint32_t count;
  uint32_t x_start;
  uint32_t row_count;
  int32_t line;
  int32_t previous_line;
  uint32_t method;
  int32_t x_end;
  uint32_t ninth_set_used;
  halftone_lines::SimdPath simd_path;  // the engine's, copied when the state is made
};

struct MultiLevelEngine {
  RasterJob job;
  LutDescriptor tables[2];
  EngineBuffer buffers[kMultiLevelBuffers];
  MultiLevelState* state;  // buffer 0's data; null until resource step 1
  uint32_t table_count;
  uint32_t step;           // resource calls taken so far
  int32_t mode;            // 8 at 1 bit per dot, 7 at 2
  // Completion: set when a step answers the end marker and no step has failed; a failed step
  // leaves the engine unusable for good.
  uint32_t ready;
  uint32_t step_failed;
  halftone_lines::SimdPath simd_path;  // settled at creation
  common::MemHandle allocation;  // the engine block itself
};

// Resource steps.
EngineStatus StepMultiLevelResource(MultiLevelEngine* engine, ResourceBytes resource,
                                    ResourceId* next_id);
EngineStatus AllocMultiLevelState(MultiLevelEngine* engine);
uint32_t ResolutionClass(uint32_t h, uint32_t v);
int32_t InkCountOf(uint32_t ink_set);
void BuildToneRamp(const uint8_t levels[kCubeAxis], uint32_t ramp[256]);
void PackCube(uint8_t* cube, uint32_t channels, int32_t ink_count);
int32_t GetDotTableId(const LutDescriptor& table);

// Resource blocks.
void BuildDiffusionThresholds(uint32_t ratio_class, uint32_t bits_per_dot, DiffusionThresholds* out);
EngineStatus ReadMatrixBlock(MultiLevelEngine* engine, ResourceBytes block);
EngineStatus ReadDitherMatrix(MultiLevelEngine* engine, ResourceBytes block);
EngineStatus ReadDotCurveBlock(ResourceBytes block, int table_set, DotTable shared[2],
                               DotTableSlot slots[kDotSlots], uint32_t ink_set,
                               uint32_t* ninth_set_used);
EngineStatus ApplyInkCurves(DotTableSlot slots[kDotSlots], const LutDescriptor& table,
                            uint32_t ink_set, int table_set, uint32_t ninth_set_used);
EngineStatus ApplyToneCurve(DotTable* table, const uint32_t curve[256], int32_t shift);

// Colour cubes: the checks a table must pass, and the build of cube `index`.
EngineStatus CheckCubeSource(const LutDescriptor& table, int32_t ink_count);
EngineStatus BuildColorCube(MultiLevelEngine* engine, int index);

}  // namespace tonvar::multi_level
