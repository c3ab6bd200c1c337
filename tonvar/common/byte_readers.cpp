// Ink-slot search over the twelve ink identifiers of a table.
#include "tonvar/common/byte_readers.h"

namespace tonvar::common {

int32_t FindInkSlot(const uint32_t* ink_ids, uint32_t ink_id) {
  constexpr int32_t kInkSlots = 12;
  for (int32_t i = 0; i < kInkSlots; ++i) {
    if (ink_ids[i] == ink_id) return i;
  }
  return -1;
}

}  // namespace tonvar::common
