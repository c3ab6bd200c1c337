// Range check of the dot tables.
#include "tonvar/multi_level/dot_table_range.h"

namespace tonvar::multi_level {

bool DotTablesInRange(const DotTableSlot slots[kDotSlots], int table_set) {
  for (int k = 0; k < kDotSlots; ++k) {
    for (const auto& level : slots[k].set[table_set].level) {
      for (uint32_t v : level) {
        if (v > kDotWeight) return false;
      }
    }
  }
  return true;
}

}  // namespace tonvar::multi_level
