// Colour engine: the state of one colour-matching handle of the colour kind and the
// operations of its step machine, readers, interpolation and finishing.
#pragma once

#include <cstdint>

#include "tonvar/colour/mode_table.h"
#include "tonvar/common/memory.h"
#include "tonvar/common/resource_bytes.h"
#include "tonvar/interface/client_records.h"
#include "tonvar/interface/lut_descriptor.h"
#include "tonvar/interface/status.h"

namespace tonvar::colour {

struct CorrectionEngine;

// Option ids of the CmOptionList that the colour engine reads itself.
inline constexpr uint32_t kOptionUseTableA = 272;       // byte: non-zero = use table A
inline constexpr uint32_t kOptionTableAVariant = 288;   // byte: 1, 2 or 3
inline constexpr uint32_t kOptionCwLists = 512;         // correction kind 1
inline constexpr uint32_t kOptionRateList = 514;        // correction kind 2
inline constexpr uint32_t kOptionCurveTable = 560;      // in-memory ink curves
inline constexpr uint32_t kOptionInkScale = 768;        // int32, 1024 = 1.0
inline constexpr uint32_t kOptionClearInk10 = 1024;     // byte: 1 = clear the channel of ink 10

inline constexpr uint8_t kFormatFourInputs = 0x80;
inline constexpr uint8_t kFormatTagged = '5';

// Pre-transform table A or B: a three-input table whose first three outputs replace a
// pixel's inputs before the colour-table look-up.
struct PreTransformTable {
  common::MemHandle self;
  common::MemHandle body_handle;
  uint8_t* body;
  uint32_t channel_count;
  uint32_t grid_points[3];
  uint8_t grid[3][kLutMaxGrid];
};

// Where the three inputs of a pixel sit (the look-ups read pixels through it).
struct PixelLayout {
  uint32_t step;
  uint32_t index[3];
};

struct CmColorEngine {
  common::MemHandle self;
  CmParams params;      // the engine's copies; the client's records are not read again
  RasterJob job;
  uint32_t step;
  LutDescriptor* lut;
  common::MemHandle lut_handle;
  CorrectionEngine* correction;  // the correction sub-engine, or null
  bool correcting;               // it asked for a resource and has not finished
  uint8_t* grey_axis;   // g * ch grey-axis entries for document type 2
  common::MemHandle grey_axis_handle;
  bool grey_axis_loaded;  // the entries were read from the table (else the block is all 0)

  int32_t matching_mode;
  uint8_t format;            // byte 15 of the colour table
  int32_t default_mono_mode;
  int32_t black_channel;     // -1: the table has no black channel
  PixelLayout layout;
  int32_t dominant[4];       // ink-balance percentages
  int32_t secondary[3];
  int32_t shift[3];
  int32_t saturation_add;
  int16_t mode_table_version;
  uint8_t grey_component[256];

  int32_t id_base;
  int32_t table_id;
  int32_t first_halftone_id;
  int32_t rebuild_gamma;     // "gama" of the tagged form, x100; 0 for the fixed form
  int32_t matrix1[9];
  int32_t output_gamma;
  int32_t matrix2[9];
  int32_t correction_offset;
  int32_t table_a_id;        // -1 when table A is not used
  int32_t table_b_id;
  int32_t gamma_matrix_id;
  int32_t dot_curve_id;
  int32_t second_value;
  int32_t table_a_offsets[4];

  PreTransformTable* table_a;
  PreTransformTable* table_b;

  char ink_set_name[16];
  int32_t row_values[5];     // "bSMB-ID", "upper", "lower", "left", "right"
  char micro_name[16];
};

// Options (first entry with the id wins).
const void* FindOption(uint32_t id, const CmOptionList* list);
const void* FindParamOption(const CmParams* params, uint32_t id);

// Mode table (resource 0): chooses the row and records it; the row's colour-table id, or 0
// when no row matches (*status 0 then).
int32_t ChooseModeTableRow(CmColorEngine* engine, common::ResourceBytes resource, EngineStatus* status);
int32_t ChooseTableAId(CmColorEngine* engine);
// What the job matches mode-table rows on, in the given matching mode.
ModeTableJob MatchValues(const CmColorEngine* engine, int32_t mode);

// Resource readers.
EngineStatus ReadFixedColorTable(CmColorEngine* engine, common::ResourceBytes resource);
EngineStatus ReadTaggedColorTable(CmColorEngine* engine, common::ResourceBytes resource);
EngineStatus ReadPreTransformTable(CmColorEngine* engine, common::ResourceBytes resource,
                                   PreTransformTable* table);
EngineStatus ReadGammaMatrixBlock(CmColorEngine* engine, common::ResourceBytes resource);

// Shared by both colour-table readers once the body is in place.
EngineStatus ApplyBlackAxis(CmColorEngine* engine, const uint8_t* black_values);
// The readers leave the body in the resource, read in place for the rest of the step: the
// rebuild writes the finished body into a block of its own, and anything else that writes the
// body, or a step that ends before the rebuild, copies it first (OwnLutBody).
EngineStatus UseResourceBody(CmColorEngine* engine, const uint8_t* body);
EngineStatus OwnLutBody(CmColorEngine* engine);
EngineStatus AllocGreyAxis(CmColorEngine* engine, uint64_t size);
EngineStatus ReleaseToneTable(LutDescriptor* lut);
// 0 for monochrome jobs, else 1 unless the job asks for black-only greys (50).
uint32_t NeutralAxisFlag(const CmColorEngine* engine);
// s of the density model for level v, or 0 when it is 0 (the caller refuses the table).
int32_t DensityDivisor(int32_t v, int32_t b, int32_t a);

// Interpolation (no allocation; integer except the tone table).
void InterpolateColor3(const CmColorEngine* engine, uint32_t count, const uint8_t* pixels,
                       uint8_t* out);
void InterpolateColor4(const LutDescriptor* lut, uint32_t u1, uint32_t u2, uint32_t u3,
                       uint32_t u4, uint8_t* out);
void TransformPoints(const CmColorEngine* engine, uint8_t* pixels, uint32_t count,
                     const PreTransformTable* table);
void InterpolateTone(const CmColorEngine* engine, uint32_t count, const uint8_t* pixels,
                     uint16_t* out);

// Finishing (after step 5 has read the colour table); next id out.
EngineStatus FinishColorTable(CmColorEngine* engine, ResourceId* next_id);
// Steps 6 and above: one resource of the correction sub-engine, then the closing steps.
EngineStatus StepCorrection(CmColorEngine* engine, common::ResourceBytes resource, ResourceId* next_id);
EngineStatus RebuildColorTable(CmColorEngine* engine);
EngineStatus BalanceInksOnGrid(CmColorEngine* engine);
EngineStatus ScaleTableDensity(CmColorEngine* engine);
EngineStatus BuildNeutralGreyTable(CmColorEngine* engine);
EngineStatus ApplyInkScaleOption(CmColorEngine* engine);
EngineStatus ApplyClearOption(CmColorEngine* engine);
void BuildGammaTables(uint32_t* t256, uint32_t* t512, int32_t rebuild_gamma, int32_t output_gamma);
void CombineColorMatrices(const CmColorEngine* engine, int32_t* out);
void ApplyGammaMatrix(const CmColorEngine* engine, uint8_t* points, const uint32_t* t256,
                      const uint32_t* t512, const int32_t* matrix, uint32_t count);

EngineStatus FreePreTransformTables(CmColorEngine* engine);

}  // namespace tonvar::colour
