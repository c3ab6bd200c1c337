// Per-ink tone curves of the colour table, applied to a table set of the dot tables by
// resampling each ink's 512 levels through its curve.
#include <cstring>

#include "tonvar/common/scoped_block.h"
#include "tonvar/multi_level/multi_level_engine.h"

namespace tonvar::multi_level {
namespace {

constexpr uint32_t kInkSetRows = 11;
constexpr int kMaxRowIds = 8;

// Ink ids of each ink-set code, in stored order; -1 ends a row.
constexpr int8_t kInkSetIds[kInkSetRows][kMaxRowIds] = {
    {0, -1, -1, -1, -1, -1, -1, -1},  // 0
    {1, 2, 3, 0, -1, -1, -1, -1},     // 1
    {1, 2, 3, -1, -1, -1, -1, -1},    // 2
    {1, 2, 3, 0, 4, 5, -1, -1},       // 3
    {1, 2, 3, 0, 4, 5, 6, -1},        // 4
    {1, 2, 3, 0, -1, -1, -1, -1},     // 5
    {1, 2, 3, 0, 4, 5, 7, -1},        // 6
    {1, 2, 3, 0, 8, 9, 10, -1},       // 7
    {1, 2, 3, 0, 8, 9, -1, -1},       // 8
    {1, 2, 3, 0, 4, 5, 7, 11},        // 9
    {1, 2, 3, 12, 8, 9, 10, 13},      // 10
};

// Slot of each ink id 0 to 13.
constexpr int kIdSlot[14] = {0, 1, 2, 3, 4, 5, 6, 6, 4, 5, 6, 7, 0, 7};

const uint32_t* FindCurve(const InkCurveSet& curves, int32_t ink_id) {
  const int32_t count = curves.count < int32_t{kInkCurveMax} ? curves.count : int32_t{kInkCurveMax};
  for (int32_t k = 0; k < count; ++k) {
    if (curves.ink_ids[k] == ink_id) return curves.curves[k];
  }
  return nullptr;
}

}  // namespace

EngineStatus ApplyToneCurve(DotTable* table, const uint32_t curve[256], int32_t shift) {
  if (shift < 1 || shift > 16) return kStatusBadArgument;
  common::ScopedBlock block;
  const EngineStatus allocated = block.Allocate(sizeof(DotTable), false);
  if (allocated != kStatusOk) return allocated;
  auto* copy = block.data<DotTable>();
  *copy = *table;
  // Positions past the last level are clamped to it.
  const int64_t last = int64_t{kDotLevels - 1} << shift;
  const int64_t mask = (int64_t{1} << shift) - 1;
  const int64_t half = int64_t{1} << (shift - 1);
  auto resample = [&](int64_t p, uint32_t out[3]) {
    p = p < last ? p : last;
    const int64_t j = p >> shift, phi = p & mask;
    for (int c = 0; c < 3; ++c) {
      const int64_t lo = copy->level[j][c];
      out[c] = phi == 0 ? static_cast<uint32_t>(lo)
                        : static_cast<uint32_t>(lo + (((int64_t{copy->level[j + 1][c]} - lo) * phi + half) >> shift));
    }
  };
  for (int i = 0; i < 255; ++i) {
    resample(2 * int64_t{curve[i]}, table->level[2 * i]);
    resample(int64_t{curve[i]} + curve[i + 1], table->level[2 * i + 1]);
  }
  resample(2 * int64_t{curve[255]}, table->level[510]);
  resample(2 * int64_t{curve[255]}, table->level[511]);
  return block.Release();
}

EngineStatus ApplyInkCurves(DotTableSlot slots[kDotSlots], const LutDescriptor& table,
                            uint32_t ink_set, int table_set, uint32_t ninth_set_used) {
  if (table.ink_curves_valid == 0) return kStatusOk;
  common::ScopedBlock block;
  const EngineStatus allocated = block.Allocate(sizeof(DotTable) * kDotSlots, false);
  if (allocated != kStatusOk) return allocated;
  auto* scratch = block.data<DotTable>();
  for (int s = 0; s < kDotSlots; ++s) scratch[s] = slots[s].set[table_set];
  if (ink_set >= kInkSetRows || table.ink_curves == nullptr) return kStatusBadArgument;
  const InkCurveSet& curves = *table.ink_curves;
  if (curves.count < 1) return kStatusBadArgument;
  for (int8_t id : kInkSetIds[ink_set]) {
    if (id < 0) break;
    const uint32_t* curve = FindCurve(curves, id);
    if (curve == nullptr) return kStatusBadArgument;
    if (ApplyToneCurve(&scratch[kIdSlot[id]], curve, curves.fraction_bits) != kStatusOk) return kStatusBadArgument;
  }
  if (ninth_set_used == 1) {
    const uint32_t* curve = FindCurve(curves, 0);
    if (curve == nullptr) return kStatusBadArgument;
    if (ApplyToneCurve(&scratch[kNinthSlot], curve, curves.fraction_bits) != kStatusOk) return kStatusBadArgument;
  }
  for (int s = 0; s < kDotSlots; ++s) slots[s].set[table_set] = scratch[s];
  return block.Release();
}

}  // namespace tonvar::multi_level
