// Dot-rate correction (correction kind 2): per-ink curves from dot rates measured on the
// printer. The rates scale each dot column's amount; each curve maps a level to the level whose
// weighted dot amount equals the scaled amount. Resources: the rate header block (991), the
// dot-curve block (the row's SMB-ID) and the rate curve block (the row's correction offset).
#pragma once

#include <cstdint>

#include "tonvar/common/resource_bytes.h"
#include "tonvar/interface/client_records.h"
#include "tonvar/interface/lut_descriptor.h"
#include "tonvar/interface/status.h"

namespace tonvar::colour {

struct CmColorEngine;

inline constexpr ResourceId kRateHeaderId = 991;

inline constexpr uint32_t kRateMaxCount = 128;
inline constexpr uint32_t kRateMaxGroup = 12;      // A
inline constexpr uint32_t kRateMaxSets = 6;        // B
inline constexpr uint32_t kRateMaxColumns = 4;     // C, and K of the rate curve block
inline constexpr uint32_t kRateMaxInks = 12;
inline constexpr uint32_t kRateMaxCurves = 12;     // N of the rate curve block

inline constexpr uint32_t kDotTableMax = 16;
inline constexpr uint32_t kDotTableMaxEntries = 16;  // plus the closing entry for any ink
inline constexpr uint32_t kDotTableMaxColumns = 8;
inline constexpr uint32_t kDotTableMaxLevels = 512;
inline constexpr uint32_t kDotSlotAny = 12;

struct RateDotTable {
  uint32_t levels;
  uint32_t columns;
  uint32_t weights[kDotTableMaxColumns];
  uint32_t values[kDotTableMaxLevels][kDotTableMaxColumns];
};

struct DotTableSet {
  uint32_t table_count;
  uint32_t entry_count;
  struct {
    uint32_t slot;    // 0..11, or 12 for any ink
    uint32_t table;
  } entries[kDotTableMaxEntries + 1];
  RateDotTable tables[kDotTableMax];
};

// One rate curve: per column either 256 factor samples (form 0) or a segment (form 1).
struct RateCurve {
  uint32_t ink_id;
  uint16_t samples[kRateMaxColumns][256];
  uint16_t segment[kRateMaxColumns][4];   // x0, y0, x1, y1
};

struct RateCurveBlock {
  uint32_t count;      // N
  uint32_t columns;    // K
  uint32_t form;       // 0 table, 1 segment
  RateCurve curves[kRateMaxCurves];
};

struct DotRateCorrection {
  uint32_t step;
  int32_t correction_offset;
  int32_t smb_id;
  char micro_name[16];
  char ink_set_name[16];
  uint32_t ink_set;
  uint32_t bits_per_dot;
  InkCurveSet* curves;
  uint32_t* curves_valid;

  uint32_t group_size;     // A
  uint32_t set_count;      // B
  uint32_t column_count;   // C
  uint32_t ink_count;      // n
  uint32_t slots_per_ink;  // m
  uint32_t ink_ids[kRateMaxInks];
  uint8_t slots[kRateMaxInks][2];
  uint32_t selected_set;     // s
  uint32_t selected_column;  // t

  uint32_t rate_count;     // R
  uint8_t rates[kRateMaxCount];
  int32_t rate_table[kRateMaxSets][kRateMaxInks][kRateMaxColumns];

  RateCurveBlock rate_curves;
  DotTableSet dot_tables;
};

// 0; 1 for a rate count outside 1..128; 2 for a row without a Micro name. Asks for 991.
uint32_t InitDotRateCorrection(DotRateCorrection* state, ResourceId* next_id,
                               CmColorEngine* engine, const RasterJob* job, const uint8_t* rates);
// True when every rate of the list is 0 (nothing to correct).
bool AllRatesZero(const DotRateCorrection* state);
// 0, or non-zero for a resource or state the correction cannot use.
uint32_t StepDotRateCorrection(DotRateCorrection* state, ResourceId* next_id, common::ResourceBytes data);

// 0; -1 no correction for the Micro name; 1 magic; 2 content; 3 end record not last; 4 version.
int32_t ReadRateHeaderBlock(DotRateCorrection* state, common::ResourceBytes data);
// 0; -1 the record is for another ink set; 1 a bad record.
int32_t ReadInkSlotRecord(DotRateCorrection* state, uint32_t length, const uint8_t* payload);
uint32_t BuildRateTable(DotRateCorrection* state);

// 0, 768 or 992.
EngineStatus ReadDotTableBlock(DotTableSet* set, common::ResourceBytes data);
// True when every table could be brought to `levels` (256) levels.
bool HalveDotTableLevels(DotTableSet* set, uint32_t levels);
const RateDotTable* FindDotTable(const DotTableSet* set, uint32_t slot);
uint32_t InkSlotOf(uint32_t ink_id);

// 0; 1 header; 2 content; 3 magic.
uint32_t ReadRateCurveBlock(RateCurveBlock* block, common::ResourceBytes data);
// 0; 1 for rates, factors or tables it cannot use; 257 / 258 for its work memory.
uint32_t BuildDotRateCurves(DotRateCorrection* state);
uint32_t AddSubstituteInkCurve(DotRateCorrection* state);

}  // namespace tonvar::colour
