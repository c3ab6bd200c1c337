// Generator of the colour engine's correction resources and option values for tests and
// benchmarks: the "CW:" lists, rate lists and in-memory curve tables of the options; the ink
// map (980), the reference block (990) in binary form and as "ic_data" markup, rank curve tables,
// the rate header block (991), the rate curve block, and dot-curve blocks of kinds 3 and 4.
// Platform-neutral: the Windows tests and the host build both use it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testkit {

// ---- Option values ----------------------------------------------------------------------

// Option 512: lists of one code, each "CW:" code values 0xFE; 0xFF after the last.
std::vector<uint8_t> BuildCwLists(uint8_t code, const std::vector<std::vector<uint8_t>>& lists);
// Option 514: byte 1 = count + 1, the rates from byte 3.
std::vector<uint8_t> BuildRateList(const std::vector<uint8_t>& rates);

struct MemoryCurve {
  uint32_t ink_id = 0;
  std::vector<uint16_t> values;  // 256; the ramp l * 16 when empty
};
// Option 560: the 128-byte header, then the curves one after another.
std::vector<uint8_t> BuildMemoryCurveTable(const std::vector<MemoryCurve>& curves);

// ---- Rank correction --------------------------------------------------------------------

struct InkMapGroup {
  uint8_t code;
  std::vector<uint8_t> map;
};
std::vector<uint8_t> BuildInkMap(const std::vector<InkMapGroup>& groups);

// Binary reference block: b0, then the references (for b0 in 30..70, b0 is the first of them).
std::vector<uint8_t> BuildBinaryReference(uint8_t b0, const std::vector<uint8_t>& references);
// "zzzz" and an "ic_data" element around the given body.
std::vector<uint8_t> BuildIcDataBlock(const std::string& body);

// Value of rank row r at level l in BuildRankCurveTable: distinct for every row.
uint8_t RankCurveValue(uint32_t row, uint32_t level);
std::vector<uint8_t> BuildRankCurveTable(uint32_t rows);

// ---- Dot-rate correction ----------------------------------------------------------------

struct InkSlots {
  uint8_t ink_id;
  std::vector<uint8_t> slots;       // one or two
};
struct InkSlotRecord {
  uint8_t ink_set = 9;
  std::string name;                 // ink_set name; empty matches any
  std::vector<InkSlots> inks;
};
struct MicroEntry {
  std::string name;
  uint8_t value;                    // low 4 bits: set; high 4 bits: column; 0xFF: none
};
struct RateHeaderShape {
  uint8_t group_size = 3;           // A
  uint8_t set_count = 1;            // B
  uint8_t column_count = 1;         // C
  std::vector<InkSlotRecord> records;
  std::vector<MicroEntry> micro;    // one type-4 record when not empty
  bool order_records = true;        // the two fixed records of types 1 and 2
  bool end_record = true;
};
std::vector<uint8_t> BuildRateHeaderBlock(const RateHeaderShape& shape);

struct RateCurveShape {
  uint16_t ink_id = 0;
  // Per column: 256 values (form 0) or x0, y0, x1, y1 (form 1).
  std::vector<std::vector<uint16_t>> columns;
};
std::vector<uint8_t> BuildRateCurveBlock(uint8_t form, uint8_t columns,
                                         const std::vector<RateCurveShape>& curves);

// ---- Dot-curve blocks -------------------------------------------------------------------

// Sample of column c (0 small, 1 medium, 2 large) at level l.
using DotSample = std::function<int32_t(uint32_t level, uint32_t column)>;

// Kind 3 (format 3 with the signature): rows of three samples, then 4 spare bytes and three
// 16-bit weights. The same block serves every reader of kind 3.
struct DotCurveKind3Shape {
  uint16_t levels = 512;
  uint16_t sample_bits = 16;
  uint16_t shift = 4;
  int16_t weights[3] = {1, 2, 4};
  DotSample sample;                 // level / 2, level / 4, level / 8 when empty
};
std::vector<uint8_t> BuildDotCurveKind3(const DotCurveKind3Shape& shape);

struct DotCurveEntryShape {
  uint8_t ink_id;
  int table = -1;                   // entries naming one table share it; -1: a table of its own
  bool small_present = true;
  DotSample sample;                 // the block's sample when empty
};
// Kind 4: a directory of per-ink tables with 16-bit samples column by column; the block weights
// (in tenths, at 208) and each table's own weights (at +32) are written.
struct DotCurveKind4Shape {
  uint16_t levels = 512;
  uint16_t sample_bits = 16;
  int16_t block_weights[3] = {10, 20, 40};   // tenths
  uint16_t table_weights[3] = {1, 2, 4};
  std::vector<DotCurveEntryShape> entries;
  DotSample sample;
  int table_count = -1;             // written at 32; the number of tables when -1
};
std::vector<uint8_t> BuildDotCurveKind4(const DotCurveKind4Shape& shape);
// Entries for every ink id an ink set needs (0..5, 7 and 11 for ink set 9).
std::vector<DotCurveEntryShape> DotCurveEntriesFor(uint32_t ink_set);

}  // namespace testkit
