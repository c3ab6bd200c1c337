// Finished grey table as the grey colour-matching engine hands it out (CmGetLut, table kind 1)
// and the grey-input halftoning engine takes it. The halftoning engine reads three things of
// it: the first resource id, the packed ink table (kept by pointer and read at every band, so
// the colour-matching handle outlives the halftoning handle) and the hand-over block, which it
// copies once. Everything else is the colour-matching engine's working data. Byte layouts are
// fixed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace tonvar {

inline constexpr uint32_t kGreyMaxLevels = 256;
inline constexpr uint32_t kGreyMaxInks = 8;
inline constexpr uint32_t kGreyTableAmounts = kGreyMaxLevels * kGreyMaxInks;
inline constexpr uint16_t kGreyFullScale = 65280;  // largest packed amount
inline constexpr uint32_t kHandoverMaxValues = 128;
inline constexpr uint32_t kHandoverSets = 6;
inline constexpr uint32_t kHandoverInks = 16;

#pragma pack(push, 1)

// One grey level: eight 16-bit ink amounts in four words, the high half first:
// inks 1 and 2, 3 and 0, 4 and 5, 7 and 11 (ink ids).
struct PackedInkRow {
  uint32_t words[4];
};

struct PackedInkTable {
  PackedInkRow rows[kGreyMaxLevels];
};
static_assert(sizeof(PackedInkTable) == 4096);

// Ink ids in the order of the packed halves: ink slot k of the halftoning engine is ink
// kPackedInkOrder[k], the high half of word k / 2 for even k.
inline constexpr uint32_t kPackedInkOrder[kGreyMaxInks] = {1, 2, 3, 0, 4, 5, 7, 11};

// What the grey-input engine copies at its creation. The colour-matching engine fills the
// option-514 values, the INK-ID, the names, the job's ink set and the list flag; the
// halftoning engine fills the dimensions, ink codes, set choice, roles and value table in its
// own copy from a resource of its own.
struct GreyHandover {
  uint32_t values[kHandoverMaxValues];  // option-514 values; 0xFFFFFFFF where unset
  uint32_t dimensions[3];               // inks, sets, values per ink
  uint32_t value_count;                 // number of option-514 values
  uint32_t ink_resource_id;             // INK-ID of the header row
  int32_t ink_codes[kHandoverInks];     // by list slot; -1 where unset
  int32_t selected_set;
  char ink_set_name[16];  // NUL-terminated
  char micro_name[16];    // NUL-terminated
  uint32_t ink_set;       // the job's ink set
  uint32_t list_flag;     // 1: any option-514 value is non-zero
  uint32_t dimension_roles[3];
  uint32_t selector_positions[3];
  uint32_t value_table[kHandoverSets][kHandoverInks][3];  // 0xFFFFFFFF where unset
};
static_assert(sizeof(GreyHandover) == 1816);
static_assert(offsetof(GreyHandover, dimensions) == 512);
static_assert(offsetof(GreyHandover, value_count) == 524);
static_assert(offsetof(GreyHandover, ink_resource_id) == 528);
static_assert(offsetof(GreyHandover, ink_codes) == 532);
static_assert(offsetof(GreyHandover, selected_set) == 596);
static_assert(offsetof(GreyHandover, ink_set_name) == 600);
static_assert(offsetof(GreyHandover, micro_name) == 616);
static_assert(offsetof(GreyHandover, ink_set) == 632);
static_assert(offsetof(GreyHandover, list_flag) == 636);
static_assert(offsetof(GreyHandover, dimension_roles) == 640);
static_assert(offsetof(GreyHandover, selector_positions) == 652);
static_assert(offsetof(GreyHandover, value_table) == 664);
static_assert(std::is_trivially_copyable_v<GreyHandover>);

// The "ctcn" tint data: the range pairs and, by ink id (0..11), four knots and six values.
struct GreyTintTables {
  int32_t ranges[3][2];  // lower, upper; 0, 0 until a "ctcn" chunk is read
  int32_t scale_kind;    // 1: values in 1/100, 2: in 1/1000
  int32_t knots_per_ink;
  int32_t channel_count;
  int32_t ink_ids[kGreyMaxInks];  // in record order; 255 where unset
  int16_t knots[12][4];           // x1..x4 by ink id
  int16_t values[12][6];          // y1..y6 by ink id
  uint8_t reserved[84];           // keeps the area at its fixed 392 bytes
};
static_assert(sizeof(GreyTintTables) == 392);

// The table area: amounts level by level, each level's amounts in column order, until the
// engine is finished; the packed table afterwards.
union GreyTableArea {
  uint16_t amounts[kGreyTableAmounts];
  PackedInkTable packed;
};
static_assert(sizeof(GreyTableArea) == 4096);

struct GreyLut {
  int32_t rstp;                // 8 when an "rstp" chunk was present
  uint32_t model;              // "modl"
  int32_t resolution[2];       // "reso"
  int32_t media;               // "mdia"
  uint32_t first_halftone_id;  // SMB-ID of the header row
  uint8_t unused_24[4];
  int32_t inkd[19];  // "inkd" values; inkd[kInkLimitSlot] is the total-ink limit
  int32_t cdbg[2];
  uint32_t gamma;       // "gama"
  int32_t table_byte4;  // byte 4 of the "tgvm" chunk
  int32_t ink_count;
  int32_t level_count;  // at most 256
  int32_t gamma_base;   // at least 1 once a table was read
  int32_t table_byte11;
  int32_t full_scale;                    // 4080, 4095, 255 or 65280
  int32_t level_values[kGreyMaxLevels];  // -999 where unset
  int32_t channel_count;
  int32_t ink_ids[kGreyMaxInks];  // ink id of each column; 255 where unset
  int32_t encd[5];
  GreyTintTables tint;
  GreyTableArea table;
  uint16_t work[kGreyTableAmounts];  // working copy of the table
  uint8_t unused_9804[4];
  GreyHandover handover;
};

#pragma pack(pop)

inline constexpr int kInkLimitSlot = 12;  // inkd[12], offset 76: total ink in 1/255 of full scale

static_assert(sizeof(GreyLut) == 11624);
static_assert(offsetof(GreyLut, first_halftone_id) == 20);
static_assert(offsetof(GreyLut, inkd) == 28);
static_assert(offsetof(GreyLut, inkd) + 4 * kInkLimitSlot == 76);
static_assert(offsetof(GreyLut, cdbg) == 104);
static_assert(offsetof(GreyLut, gamma) == 112);
static_assert(offsetof(GreyLut, table_byte4) == 116);
static_assert(offsetof(GreyLut, ink_count) == 120);
static_assert(offsetof(GreyLut, level_count) == 124);
static_assert(offsetof(GreyLut, gamma_base) == 128);
static_assert(offsetof(GreyLut, full_scale) == 136);
static_assert(offsetof(GreyLut, level_values) == 140);
static_assert(offsetof(GreyLut, channel_count) == 1164);
static_assert(offsetof(GreyLut, ink_ids) == 1168);
static_assert(offsetof(GreyLut, encd) == 1200);
static_assert(offsetof(GreyLut, tint) == 1220);
static_assert(offsetof(GreyLut, table) == 1612);
static_assert(offsetof(GreyLut, work) == 5708);
static_assert(offsetof(GreyLut, handover) == 9808);
static_assert(std::is_trivially_copyable_v<GreyLut>);

}  // namespace tonvar
