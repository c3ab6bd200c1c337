// Byte readers for resource integers (little-endian, any alignment), counted strings and the
// ink-slot search.
#pragma once

#include <cstdint>

namespace tonvar::common {

inline uint32_t ReadDword(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

inline uint32_t ReadWord(const uint8_t* p) { return uint32_t{p[0]} | (uint32_t{p[1]} << 8); }

// The halftoning engines' 16-bit reader: the raw value, which each parser widens with or
// without sign (widened with sign, FF FF is the end marker 0xFFFFFFFF).
inline uint16_t GetWord(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// 1 when the counted string (a length byte n, then n bytes) is empty or equals the first n
// bytes of text, else 0. The caller guarantees that text holds at least n bytes.
uint32_t MatchCountedString(const uint8_t* counted, const uint8_t* text);

// Index 0..11 of the first of the twelve ink identifiers equal to ink_id, or -1.
int32_t FindInkSlot(const uint32_t* ink_ids, uint32_t ink_id);

}  // namespace tonvar::common
