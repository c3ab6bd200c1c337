// Records that the client (the rendering library) hands to the engine interface. Their byte
// layouts are part of the interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace tonvar {

struct CmOptionList;

// Colour-matching parameters: CmNew's first argument (80 bytes).
struct CmParams {
  int32_t reserved;           // must be 0
  int32_t brightness;         // -50..50
  int32_t contrast;           // -50..50
  int32_t saturation;         // -50..50
  int32_t red_offset;         // -50..50
  int32_t green_offset;       // -50..50
  int32_t blue_offset;        // -50..50
  int32_t sub_type;           // matched against the mode table
  int32_t media;              // matched against the mode table
  int32_t mode_modifier;      // 1 forces mode 4; 4 forces mode 0 and document type 0
  int32_t document_type;      // 7 selects the grey engine; 2 adds the ink-balance stage
  int32_t neutral_axis;       // 50: neutral greys with black ink alone
  uint8_t unused_48[16];
  const CmOptionList* options;          // may be null
  const int32_t* tone_adjustments;      // nine values, grey engine only
};
static_assert(sizeof(CmParams) == 80);
static_assert(offsetof(CmParams, sub_type) == 0x1C);
static_assert(offsetof(CmParams, media) == 0x20);
static_assert(offsetof(CmParams, mode_modifier) == 0x24);
static_assert(offsetof(CmParams, document_type) == 0x28);
static_assert(offsetof(CmParams, neutral_axis) == 0x2C);
static_assert(offsetof(CmParams, options) == 0x40);
static_assert(offsetof(CmParams, tone_adjustments) == 0x48);
static_assert(std::is_trivially_copyable_v<CmParams>);

// One entry of the colour engine's option list: 16 bytes from offset 8 of the list.
struct CmOptionEntry {
  uint32_t id;
  uint32_t unused_4;
  const void* value;
};
static_assert(sizeof(CmOptionEntry) == 16);

// Option list header; `count` entries follow at offset 8.
struct CmOptionList {
  int32_t count;
  uint32_t unused_4;
  // CmOptionEntry entries[count];
  const CmOptionEntry* Entries() const { return reinterpret_cast<const CmOptionEntry*>(this + 1); }
};
static_assert(sizeof(CmOptionList) == 8);

// Raster-job record: CmNew's second and HalftoneNew's first argument (88 bytes).
struct RasterJob {
  uint32_t method;          // 1 or 3 (0 is taken as 3 by the colour engine)
  uint32_t sub_mode;
  uint32_t channel_order;   // 0 monochrome, 1, 2, 3 or 7
  uint32_t ink_set;         // 0, 1, 3, 4, 5, 6, 7 or 9
  uint32_t resolution_x_dpi;
  uint32_t resolution_y_dpi;
  uint32_t bits_per_dot;    // 1 or 2
  uint32_t replication;     // each input pixel serves code + 1 output pixels; 0xFFFFFFFF: 2:1
  uint32_t row_pairing;
  uint32_t width_pixels;
  uint32_t height_field;
  uint32_t format_word;     // 0x300C8 allows replication 0xFFFFFFFF in screening
  uint32_t unused_48;
  uint32_t unused_52;
  uint32_t height_lines;
  uint32_t edge_unit;       // 0 or 16
  int32_t edge_top;
  int32_t edge_bottom;
  int32_t edge_left;
  int32_t edge_right;
  uint32_t edge_mask;       // bits 8 top, 4 bottom, 2 left, 1 right
  uint32_t unused_84;
};
static_assert(sizeof(RasterJob) == 88);
static_assert(offsetof(RasterJob, ink_set) == 0x0C);
static_assert(offsetof(RasterJob, bits_per_dot) == 0x18);
static_assert(offsetof(RasterJob, width_pixels) == 0x24);
static_assert(offsetof(RasterJob, height_field) == 0x28);
static_assert(offsetof(RasterJob, format_word) == 0x2C);
static_assert(offsetof(RasterJob, height_lines) == 0x38);
static_assert(offsetof(RasterJob, edge_unit) == 0x3C);
static_assert(offsetof(RasterJob, edge_top) == 0x40);
static_assert(offsetof(RasterJob, edge_mask) == 0x50);
static_assert(std::is_trivially_copyable_v<RasterJob>);

// What CmGetLut returns and HalftoneNew takes.
enum CmTableKind : uint32_t { kTableColour = 0, kTableGrey = 1 };

struct CmLutInfo {
  uint32_t table_kind;  // CmTableKind
  uint32_t unused_4;
  void* table;          // LutDescriptor* (colour) or GreyLut* (grey)
};
static_assert(sizeof(CmLutInfo) == 16);
static_assert(offsetof(CmLutInfo, table) == 8);

}  // namespace tonvar
