// Grey colour-matching engine: the state of one colour-matching handle of the grey kind and
// the operations of its five resource steps. Everything lives in the one engine block.
#pragma once

#include <cstdint>

#include "tonvar/common/dot_curve_blocks.h"
#include "tonvar/common/memory.h"
#include "tonvar/common/resource_bytes.h"
#include "tonvar/interface/client_records.h"
#include "tonvar/interface/grey_lut.h"
#include "tonvar/interface/status.h"

namespace tonvar::grey {

// The client's option ids (CmGreyOptionList).
inline constexpr uint32_t kOptionCwList = 512;      // "CW:" groups of per-ink rank values
inline constexpr uint32_t kOptionHandover = 514;    // byte list for the halftoning engine
inline constexpr uint32_t kOptionTableScale = 768;  // table scale in 1/1024

inline constexpr int32_t kTableScaleUnit = 1024;
inline constexpr int32_t kTableScaleMin = 128;
inline constexpr int32_t kTableScaleMax = 8192;

inline constexpr ResourceId kHeaderTableId = 0;
inline constexpr ResourceId kMarkupId = 990;

inline constexpr int32_t kStepFinished = -999;
inline constexpr int32_t kUnset = -999;

// The client's nine tone adjustments (CmParams offset 0x48), copied at creation.
struct ToneAdjustments {
  int32_t tint_a;  // a0, a1: a point within radius 75
  int32_t tint_b;
  int32_t gamma;  // a2: exponent of the power curve, >= 1
  int32_t mid;    // a3..a6: -25..25
  int32_t contrast;
  int32_t low_end;
  int32_t high_end;
  int32_t lift;        // a7: -50..0
  int32_t scale_down;  // a8: 0 or 1
};
static_assert(sizeof(ToneAdjustments) == 36);

// The client's option list as this engine reads it (CmGreyOptionList): a 32-bit count, then
// 8-byte entries of an id and a 32-bit value from offset 4. The data of options 512 and 514
// begins at the entry's value and runs on over the bytes that follow it. The address of the
// first entry's value with the id, or null.
const uint8_t* FindGreyOption(const uint8_t* list, uint32_t id);

// The job values the engine keeps from the RasterJob.
struct GreyJob {
  int32_t h_res;
  int32_t v_res;
  int32_t method;
  int32_t bits_per_dot;
  int32_t ink_set;
};

inline constexpr int kCwMaxGroups = 4;
inline constexpr int kCwMaxValues = 20;

// Option 512, parsed.
struct GreyCwList {
  int32_t values_per_group;  // -999 until the first group
  int32_t group_count;
  int32_t method;  // -999 until the first group
  int32_t groups[kCwMaxGroups][kCwMaxValues];
};

inline constexpr int kMarkupMaxInks = 20;
inline constexpr int kMarkupMaxRows = 3;

enum GreyModeKind : int32_t { kModeSingle = 0, kModeDual = 1, kModeSmbRate = 2, kModeNone = 3 };

struct GreyModeRecord {
  int32_t h_res;  // -999 for any
  int32_t v_res;
  int32_t letters[3];  // 'a', 'm' or 'n'; 0 when the line gives none
  int32_t rows[3];     // from 1
  int32_t rates[3];    // percent of the small, medium and large dot (smbrate)
  int32_t kind;        // GreyModeKind
};

// The "ic_data" markup, read at step 3.
struct GreyMarkup {
  int32_t ink_count;  // N
  int32_t row_count;  // R
  int32_t rows[kMarkupMaxRows][kMarkupMaxInks];
  int32_t ink_set_digit;               // of the "<color_cnv=" line taken
  int32_t pair_first[kMarkupMaxInks];  // -999 where unset
  int32_t pair_second[kMarkupMaxInks];
  int32_t id_step;
  int32_t id_lowest_value;
  int32_t rank_lower_limit;
  int32_t rank_upper_limit;
  int32_t nc_range;
  GreyModeRecord mode;
};

// The header row chosen at step 1.
struct GreyHeaderChoice {
  int32_t version;
  uint32_t cmm_id;        // the chunk container
  uint32_t ink_id;        // the correction-curve block
  uint32_t smb_id;        // the dot-curve block; the halftoning engine's first resource
  char ink_set_name[16];  // NUL-terminated
  char micro_name[16];
};

struct CmGreyEngine {
  common::MemHandle self;
  int32_t media;
  int32_t document_type;
  int32_t sub_type;
  int32_t table_scale;
  GreyHeaderChoice header;
  int32_t step;        // 1..5, kStepFinished
  int32_t weights[3];  // of the small, medium and large dot
  GreyCwList cw;
  GreyLut lut;
  GreyJob job;
  GreyMarkup markup;
  ToneAdjustments tone;
  bool has_ink_limit;      // an "inkd" chunk was read
  const uint8_t* options;  // the client's list (kept, not copied), or null
  common::DotCurveTables dot_tables;
  double curve[256];
};

// Step 1: the header table. 0 or 768.
EngineStatus ReadCmGreyHeader(common::ResourceBytes text, CmGreyEngine* engine);
// Step 2: the chunk container into the GreyLut; `has_ink_limit` tells whether "inkd" was read.
EngineStatus ReadGreyChunks(common::ResourceBytes container, GreyLut* lut, bool* has_ink_limit);
// Step 2: the tone curves, the tint and the ink limit. 0, 512 or 768.
EngineStatus BuildGreyTable(CmGreyEngine* engine);
// Step 3: the "ic_data" markup. 0 or 768.
EngineStatus ReadGreyIcData(common::ResourceBytes text, CmGreyEngine* engine);
// Step 2: option 512's data. 0 or 512.
EngineStatus ParseGreyCwList(const uint8_t* data, GreyCwList* list);
// Step 5: the correction-curve block. 0 or 768.
EngineStatus ApplyGreyRankCorrection(CmGreyEngine* engine, common::ResourceBytes block);

// The engine's own checks and records.
EngineStatus CheckToneAdjustments(const ToneAdjustments& tone);
void ResetGreyHandover(GreyHandover* handover, uint32_t ink_id);
EngineStatus PackGreyInkTable(GreyLut* lut);

// The table's shape as far as the table area can hold it: levels 0..256, inks 0..8.
int32_t TableLevels(const GreyLut& lut);
int32_t TableInks(const GreyLut& lut);
// Column of ink `ink_id` in the table, or -1.
int32_t InkColumn(const GreyLut& lut, int32_t ink_id);

}  // namespace tonvar::grey
