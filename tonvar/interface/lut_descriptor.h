// Finished colour table as the colour engine hands it out (CmGetLut) and the
// screening and multi-level halftoning engines copy it. Byte layouts are fixed:
// the halftoning engines copy the descriptor whole and read through its pointers,
// which lead into blocks the colour-matching handle owns until CmDelete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "tonvar/common/memory.h"

namespace tonvar {

inline constexpr uint32_t kLutMaxGrid = 64;       // grid points per axis
inline constexpr uint32_t kLutMaxChannels = 16;   // output channels per entry
inline constexpr uint8_t kLutNoInk = 0xFF;        // ink id of an unused channel slot
inline constexpr uint8_t kLutBlackInk = 0;        // ink id of the black channel
inline constexpr uint32_t kToneTableKind = 8;     // kind the halftoning engines accept
inline constexpr uint32_t kInkCurveMax = 12;

#pragma pack(push, 1)

// 1-D tone table ("egry"): point_count levels, each a row of channel_count
// 16-bit values (4 fraction bits in tone mode 0, plain levels in mode 1).
struct ToneTable {
  uint32_t kind;             // byte 10 of the chunk; 8 for the grey-axis form
  uint32_t point_count;      // 2..255
  uint32_t channel_count;    // 1..16
  int32_t base_value;        // gamma base of the tone rebuild (x100)
  uint32_t tone_mode;        // from "encd": 0 = 4 fraction bits, 1 = levels
  uint8_t levels[256];       // input level of each point, rising 0..255
  uint8_t pad0[4];
  uint16_t* values;          // point-major, channel-minor
  common::MemHandle values_handle;
  common::MemHandle self;
};
static_assert(sizeof(ToneTable) == 304);
static_assert(offsetof(ToneTable, kind) == 0);
static_assert(offsetof(ToneTable, levels) == 20);
static_assert(offsetof(ToneTable, values) == 280);
static_assert(std::is_trivially_copyable_v<ToneTable>);

// Per-ink tone curves applied by the halftoning engines (curve k belongs to
// ink_ids[k]); values are levels << fraction_bits.
struct InkCurveSet {
  int32_t count;             // 0..12
  int32_t fraction_bits;     // 4 (option 560) or 8 (dot-rate correction)
  int32_t ink_ids[kInkCurveMax];
  uint32_t curves[kInkCurveMax][256];
};
static_assert(sizeof(InkCurveSet) == 56 + 12 * 1024);
static_assert(offsetof(InkCurveSet, ink_ids) == 8);
static_assert(offsetof(InkCurveSet, curves) == 56);
static_assert(std::is_trivially_copyable_v<InkCurveSet>);

struct LutDescriptor {
  uint32_t table_class;            // 0, 1, 3..10 (2 is read as 1)
  uint32_t channel_count;          // output bytes per grid entry ("bytes per node")
  uint32_t neutral_axis;           // 1: colour inks kept on the neutral axis
  int32_t fixed_values[4];         // four header values of the fixed-header form
  int32_t density_b;               // weight of level 0 (dot gain at no ink), percent
  int32_t density_a;               // weight of level 255 (dot gain at full ink), percent
  uint8_t ink_ids[kLutMaxChannels];  // ink of each channel; 0 black, 0xFF none
  uint32_t grid_points[4];         // per axis; the fourth is 1 for three-input tables
  uint8_t grid[4][kLutMaxGrid];    // coordinates per axis, rising 0..255
  uint8_t grey_table[256];         // black amount along the neutral axis
  uint8_t pad0[4];
  uint8_t* body;                   // entries, first axis slowest, channel_count bytes each
  common::MemHandle body_handle;
  uint32_t table_id;               // colour-table resource id
  uint32_t first_halftone_id;      // first resource of a halftoning handle on this table
  int32_t dot_curve_id;            // dot-table resource id; negative = none
  int32_t bsmb_id;                 // "bSMB-ID" (edge-table resource id)
  int32_t upper;                   // transition widths "upper", "lower", "left", "right"
  int32_t lower;
  int32_t left;
  int32_t right;
  int32_t second_value;
  int32_t ink_scale_flag;          // -1: taken from the table class
  int32_t encd_x;
  int32_t encd_y;
  uint8_t* screening_block;        // halftone header block, or null
  common::MemHandle screening_handle;
  common::MemHandle self;
  ToneTable* tone_table;           // null when the table has none
  common::MemHandle tone_table_handle;
  uint16_t mode_table_version;
  uint8_t pad1[2];
  uint32_t ink_curves_valid;       // 1 when ink_curves holds a valid set
  InkCurveSet* ink_curves;
  common::MemHandle ink_curves_handle;
  uint8_t reserved[40];            // keeps the record at its fixed 752 bytes
};

#pragma pack(pop)

static_assert(sizeof(LutDescriptor) == 752);
static_assert(offsetof(LutDescriptor, channel_count) == 4);
static_assert(offsetof(LutDescriptor, density_b) == 28);
static_assert(offsetof(LutDescriptor, density_a) == 32);
static_assert(offsetof(LutDescriptor, ink_ids) == 36);
static_assert(offsetof(LutDescriptor, grid_points) == 52);
static_assert(offsetof(LutDescriptor, grid) == 68);
static_assert(offsetof(LutDescriptor, grey_table) == 324);
static_assert(offsetof(LutDescriptor, body) == 584);
static_assert(offsetof(LutDescriptor, body_handle) == 592);
static_assert(offsetof(LutDescriptor, table_id) == 600);
static_assert(offsetof(LutDescriptor, first_halftone_id) == 604);
static_assert(offsetof(LutDescriptor, dot_curve_id) == 608);
static_assert(offsetof(LutDescriptor, bsmb_id) == 612);
static_assert(offsetof(LutDescriptor, upper) == 616);
static_assert(offsetof(LutDescriptor, right) == 628);
static_assert(offsetof(LutDescriptor, second_value) == 632);
static_assert(offsetof(LutDescriptor, ink_scale_flag) == 636);
static_assert(offsetof(LutDescriptor, screening_block) == 648);
static_assert(offsetof(LutDescriptor, self) == 664);
static_assert(offsetof(LutDescriptor, tone_table) == 672);
static_assert(offsetof(LutDescriptor, mode_table_version) == 688);
static_assert(offsetof(LutDescriptor, ink_curves_valid) == 692);
static_assert(offsetof(LutDescriptor, ink_curves) == 696);
static_assert(std::is_trivially_copyable_v<LutDescriptor>);

}  // namespace tonvar
