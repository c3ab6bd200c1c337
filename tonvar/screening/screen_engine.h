// The screening engine (halftone generation 0): its record, its buffer roles and the operations
// its parts share. Four-ink jobs are screened against a threshold matrix (method 10), monochrome
// jobs are error-diffused into one plane (method 12).
#pragma once

#include <cstddef>
#include <cstdint>

#include "tonvar/common/memory.h"
#include "tonvar/common/resource_bytes.h"
#include "tonvar/halftone_lines/engine_buffer.h"
#include "tonvar/interface/client_records.h"
#include "tonvar/interface/halftone_band.h"
#include "tonvar/interface/lut_descriptor.h"
#include "tonvar/interface/status.h"
#include "tonvar/screening/engine_operations.h"

namespace tonvar::screening {

using halftone_lines::EngineBuffer;

inline constexpr uint32_t kMethodColour = 10;  // four inks, 2 bits, threshold matrix
inline constexpr uint32_t kMethodMono = 12;    // one ink, 1 or 2 bits, error diffusion

// Bytes 4 to 7 (8 to 11 in an id block) of a tagged dot-curve or main block.
inline constexpr uint8_t kCurveSignature[4] = {0xFB, 0x69, 0xF7, 0xDC};

inline constexpr uint32_t kIdListEntries = 16;
inline constexpr uint16_t kIdListEnd = 0xFFFF;
inline constexpr uint32_t kColourGrid = 32;  // the four-ink colour table's fixed grid
inline constexpr uint32_t kColourNodes = kColourGrid * kColourGrid * kColourGrid;
inline constexpr uint32_t kErrorRowLeft = 40;  // error-row entries left of pixel 0

// Roles of the engine's buffers.
enum BufferRole : uint32_t {
  kBufferColourTable0 = 1,  // method 10: LUT 0's resampled table; method 12: level table
  kBufferLevelTable = 1,
  kBufferColourTable1 = 2,
  kBufferErrorRow = 3,
  kBufferMatrix = 7,
  kBufferScale = 8,         // slice of the matrix block
  kBufferInkTables = 9,     // grid index map, dot curve and dot thresholds
  kBufferIndexMap = 10,     // slices of buffer 9
  kBufferDotCurve = 11,
  kBufferDotThresholds = 12,
  kBufferCount = 19,
};

// Steps whose success later steps and the halftone calls rely on (bit n = step n).
inline constexpr uint32_t StepBit(uint32_t step) { return 1u << step; }

struct ScreenEngine {
  RasterJob job;                     // the caller's record; its width is stored plus one
  uint16_t id_list[kIdListEntries];  // 0xFFFF after the list's end
  uint32_t lut_count;                // 1 or 2
  uint32_t pad0;                     // the descriptors' pointers on 8-byte boundaries
  LutDescriptor luts[2];
  EngineBuffer buffers[kBufferCount];
  uint32_t last_line;
  uint32_t last_end;
  uint32_t step;
  common::MemHandle allocation;      // the engine block's own
  uint32_t matrix_width;             // a power of two
  uint32_t matrix_height;
  uint32_t matrix_cells;
  uint32_t method;                   // 10, 12, or 0 for a job the engine cannot serve
  uint32_t matrix_levels;
  int32_t tone_table[256];           // monochrome tone offsets by resolution
  uint32_t block_mode;               // MonoBlockMode: 0 until the main block is read
  uint32_t dot_thresholds[256];      // per grey value: large (low 16 bits), medium (high 16)
  uint32_t medium_thresholds[256];   // per dot-table index
  uint32_t large_thresholds[256];
  uint32_t diffusion_shares[256];
  uint32_t dot_table_a[256][3];      // small, medium, large shares in 0..65535
  uint32_t dot_table_b[256][3];
  // Bounds kept in 64 bits so that width + 1 cannot wrap.
  uint64_t stored_width;
  uint32_t steps_done;               // StepBit of every step that succeeded
};

static_assert(offsetof(ScreenEngine, luts) % 8 == 0);
static_assert(offsetof(ScreenEngine, buffers) % 8 == 0);

// Monochrome block modes.
enum MonoBlockMode : uint32_t {
  kBlockModeNone = 0,
  kBlockModeThreeSizes = 1,  // table A: large and medium by matrix, small diffused
  kBlockModeOneSize = 2,     // table B: the small share diffused (1-bit output)
  kBlockModeTwoSizes = 3,    // table B: large by matrix, the small share printed as medium
};

// ---- Entry points (the engine table's row) --------------------------------------------

// ScreenNew, ScreenSetResource, ScreenHalftone and ScreenDelete: engine_operations.h.
EngineStatus FreeScreenBuffers(ScreenEngine* engine);

// ---- Resource steps -------------------------------------------------------------------

EngineStatus ScreenColorStep(ScreenEngine* engine, common::ResourceBytes block, ResourceId* next_id);
EngineStatus ScreenMonoStep(ScreenEngine* engine, common::ResourceBytes block, ResourceId* next_id);

EngineStatus ReadIdList(common::ResourceBytes block, uint16_t list[kIdListEntries]);
EngineStatus GetIdByResolution(ResourceId* id, const uint16_t list[kIdListEntries], int32_t h_dpi,
                               int32_t v_dpi);
EngineStatus ReadScreenMatrix(ScreenEngine* engine, common::ResourceBytes block);
EngineStatus FindColorCurveId(const LutDescriptor& lut, ResourceId* id);
EngineStatus FindMonoBlockId(const LutDescriptor& lut, ResourceId* id);

// ---- Four-ink tables ------------------------------------------------------------------

EngineStatus BuildColorTable(EngineBuffer* buffer, LutDescriptor* lut, common::ResourceBytes block);
EngineStatus AllocColorTables(ScreenEngine* engine);
void BuildGridIndexMap(uint8_t map[256][2], const uint8_t grid[kColourGrid]);
void FillScaleTable(uint32_t scale[256], uint32_t cells);
// Dot curve: 512 entries of {small, medium, large}; entries 0..255 are used.
EngineStatus ReadColorDotCurve(common::ResourceBytes block, int16_t curve[512][3]);
EngineStatus BuildDotThresholds(uint32_t t0[256], uint32_t t1[256], const int16_t curve[512][3],
                                const uint32_t scale[256]);

// Views of the four-ink tables inside buffer 9.
struct ColourInkTables {
  uint8_t (*index_map)[2];
  int16_t (*dot_curve)[3];
  uint32_t* t0;
  uint32_t* t1;
};
ColourInkTables InkTables(ScreenEngine* engine);
uint32_t* ScaleTable(ScreenEngine* engine);

// ---- Monochrome tables ----------------------------------------------------------------

EngineStatus ReadScreenBlock(ScreenEngine* engine, common::ResourceBytes block);
void RemapMonoDotTables(ScreenEngine* engine, const LutDescriptor& lut);
EngineStatus LoadMonoToneTable(int32_t tone[256], int32_t h_dpi, int32_t v_dpi);
EngineStatus FinishMonoTables(ScreenEngine* engine);

// One grey value's entry of the level table (buffer 1).
struct MonoLevel {
  int32_t level;  // compared with the threshold
  int32_t tone;   // the amount diffused
};

// ---- Lines ----------------------------------------------------------------------------

// One raster row of a method-10 job; 518 (nothing written) for a span beyond the stored width.
EngineStatus ScreenColorLine(ScreenEngine* engine, const uint8_t* input, uint8_t* output,
                             int64_t plane_stride, uint32_t first_bit, uint32_t count,
                             uint32_t x_start, uint32_t line);

// The members of the monochrome line family.
enum class MonoLine : uint32_t {
  kNone,
  k1Bit2x1,    // 1 bit, H = 2V
  k1Bit,       // 1 bit, other ratios
  k2BitA1x2,   // 2 bits, three dot sizes, V = 2H
  k2BitA,      // 2 bits, three dot sizes, other ratios
  k2BitB2880,  // 2 bits, two dot sizes, 2880 x 1440
  k2BitB2x1,   // 2 bits, two dot sizes, H = 2V
  k2BitB4x1,   // 2 bits, two dot sizes, H = 4V
};

// The member for the job's bits, block mode and resolutions; kNone when none fits.
MonoLine ChooseMonoLine(uint32_t bits_per_dot, uint32_t block_mode, int32_t h_dpi, int32_t v_dpi);

// One raster row of a method-12 job through the given member (not kNone). The caller has
// checked the span against the stored width.
void RunMonoLine(MonoLine member, ScreenEngine* engine, const uint8_t* input, uint8_t* output,
                 uint32_t first_bit, uint32_t count, uint32_t x_start, uint32_t line);

// Clears the parts of the error row that the previous call's span does not carry over.
void ClearErrorRowEdges(uint32_t prev_line, uint32_t line, uint64_t prev_end, uint64_t x_start,
                        uint64_t stored_width, int32_t* row);

int32_t* GetErrorRow(ScreenEngine* engine, uint32_t index);
const uint32_t* GetScreenMatrix(const ScreenEngine* engine);

}  // namespace tonvar::screening
