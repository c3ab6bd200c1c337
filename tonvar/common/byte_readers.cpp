// Counted-string match and the ink-slot search over the twelve ink identifiers of a table.
#include "tonvar/common/byte_readers.h"

#include <cstring>

namespace tonvar::common {

uint32_t MatchCountedString(const uint8_t* counted, const uint8_t* text) {
  const uint32_t length = counted[0];
  return std::memcmp(counted + 1, text, length) == 0 ? 1 : 0;
}

int32_t FindInkSlot(const uint32_t* ink_ids, uint32_t ink_id) {
  constexpr int32_t kInkSlots = 12;
  for (int32_t i = 0; i < kInkSlots; ++i) {
    if (ink_ids[i] == ink_id) return i;
  }
  return -1;
}

}  // namespace tonvar::common
