// Byte readers for resource integers (little-endian, any alignment) and the ink-slot search.
#pragma once

#include <cstdint>

namespace tonvar::common {

inline uint32_t ReadDword(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

inline uint32_t ReadWord(const uint8_t* p) { return uint32_t{p[0]} | (uint32_t{p[1]} << 8); }

// Index 0..11 of the first of the twelve ink identifiers equal to ink_id, or -1.
int32_t FindInkSlot(const uint32_t* ink_ids, uint32_t ink_id);

}  // namespace tonvar::common
