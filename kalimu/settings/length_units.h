// Conversions between the length units the settings keep: 0.1 mm, 1/100 inch and 1/360 inch.
// Integer arithmetic rounding as the stored values always have; the products are taken in 64
// bits, so a length from a record, a model file or the user's papers never overflows on the way.
#pragma once

#include <cstdint>

namespace kalimu::settings {

constexpr int32_t From360To01mm(int64_t v) { return static_cast<int32_t>((v * 254 + 180) / 360); }
constexpr int32_t From01mmToInch100(int64_t v) { return static_cast<int32_t>((v * 100 + 127) / 254); }
constexpr int32_t FromInch100To01mm(int64_t v) { return static_cast<int32_t>((v * 254 + 50) / 100); }
constexpr int32_t From01mmTo360(int64_t v) { return static_cast<int32_t>((v * 360 + 127) / 254); }
constexpr int32_t FromInch100To360(int64_t v) { return static_cast<int32_t>((v * 360 + 50) / 100); }

// Whether a paper's sizes in 0.1 mm fit the public dmPaperWidth and dmPaperLength (16 bits).
constexpr bool FitsPublicPaperFields(int32_t width, int32_t length) {
  return width >= 0 && width <= 0x7FFF && length >= 0 && length <= 0x7FFF;
}

}  // namespace kalimu::settings
