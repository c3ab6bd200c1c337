// Dot-curve blocks: how much of the small, medium and large dot the printer lays down for each
// input level of an ink, with the three weights of the dot sizes. Kind 3 holds one table for
// every ink, kind 4 a directory of tables per ink. The readers fill eight ink groups of 512
// levels; the grey colour engine and the halftoning engines share them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tonvar/common/resource_bytes.h"
#include "tonvar/interface/status.h"

namespace tonvar::common {

inline constexpr uint32_t kDotCurveLevels = 512;
inline constexpr uint32_t kDotCurveGroups = 8;
inline constexpr uint32_t kDotCurveMaxEntries = 12;
inline constexpr uint32_t kDotCurveKind3 = 3;
inline constexpr uint32_t kDotCurveKind4 = 4;

// Signature at bytes 4-7 of the tagged forms.
inline constexpr uint8_t kDotCurveSignature[4] = {0xFB, 0x69, 0xF7, 0xDC};

// One ink group's table: small, medium and large dot amount per level. 16-bit samples are
// signed and keep their sign in the 32-bit values.
using DotGroupTable = uint32_t[kDotCurveLevels][3];

struct DotCurveTables {
  DotGroupTable group[kDotCurveGroups];
};

struct DotCurveEntry {
  uint32_t ink_id;
  uint32_t offset;         // the table header lies at block + 8 + offset
  uint32_t column_count;
  uint8_t present[3];      // small, medium, large column present
};

// What a kind-4 reader takes from a block before it copies anything.
struct DotCurveHeader {
  int32_t levels;
  int32_t sample_width;    // 0 or 8: bytes; 16: signed 16-bit samples
  int32_t value_22;
  uint32_t kind;
  int32_t value_24;
  int32_t entry_count;
  DotCurveEntry entries[kDotCurveMaxEntries];
  uint64_t block_size;     // bytes the block holds, for the bounds of the entries' samples
};

// Values a kind-3 table settles before its rows are read.
struct DotTableFormat {
  int32_t channels;
  int32_t levels;
  int32_t sample_width;    // bits: 8 or 16
  int32_t shift;           // fraction bits of the samples (values are brought to 4)
  int32_t reserved;
};

// The ink ids an ink set needs in a kind-4 block (bit i = ink id i); 0 = ink set refused.
uint32_t DotCurveInksNeeded(uint32_t ink_set);
// Ink group of an ink id (0..11); ids outside that range have none (-1).
int32_t DotCurveGroupOf(uint32_t ink_id);

// The bytes a dot-curve block can be read over: the resource's length, or, for a resource
// passed without one, the block's own size word at offset 0.
uint64_t DotCurveBlockSize(ResourceBytes block);

// Kind 4: 0, or 768 for a block or an ink set it cannot serve.
EngineStatus ReadDotCurveKind4(ResourceBytes block, uint32_t ink_set, DotCurveTables* tables,
                               int32_t weights[3]);
// Kind 3: 0, 992, 993, or the status of widening a 256-level table.
EngineStatus ReadDotCurveKind3(ResourceBytes block, uint32_t ink_set, DotCurveTables* tables,
                               int32_t weights[3]);
// Either kind, told by the 32-bit value at offset 8; 768 for any other kind.
EngineStatus ReadDotCurveBlock(ResourceBytes block, uint32_t ink_set, DotCurveTables* tables,
                               int32_t weights[3]);

// Builds the header of a kind-4 block; false when the block cannot hold its directory.
bool BuildDotCurveHeader(ResourceBytes block, DotCurveHeader* header);
// 0, or 768 when the header, an entry or the ink set's needs are not met.
EngineStatus CheckDotCurveHeader(const DotCurveHeader* header, uint32_t ink_set);
// Fills one group's table from entry `entry` of a checked header; absent columns read 0.
void ExpandDotCurve(const uint8_t* block, DotGroupTable* table, const DotCurveHeader* header,
                    int32_t entry);
// Copies 512 rows of three samples into two consecutive group tables; other widths store
// nothing.
void CopyDotTable(const uint8_t* first_sample, DotGroupTable* tables, int32_t sample_width);
// Reads a kind-3 table that is not in the fast form into one group table; `format` receives
// the values it settled.
EngineStatus ReadDotCurveTable(DotGroupTable* table, ResourceBytes block, DotTableFormat* format);
void ReadDotTriples16(DotGroupTable* table, uint32_t rows, const uint8_t* samples);

}  // namespace tonvar::common
