// Generator of the grey-input halftoning engine's resources for tests and benchmarks: dot-curve
// blocks of kinds 3 and 4, screen blocks (CF F9 2E 47 form), the "HL<c" layout block and the
// per-ink table block; and a grey table built in memory. Platform-neutral: the Windows tests and
// the host build both use it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tonvar/interface/grey_lut.h"

namespace testkit {

// Amount of dot size c (0 small, 1 medium, 2 large) at dot-table row l (0..511).
using GreyDotSample = std::function<int32_t(uint32_t row, uint32_t size)>;

// Small dots first, then medium, then large as the row rises; every row adds up to at most one
// dot (4080): rows 0 and 1 ask for nothing, row 511 for one whole dot.
int32_t GreyRampDot(uint32_t row, uint32_t size);

struct GreyDotCurveKind3Shape {
  int16_t levels = 512;
  int16_t sample_bits = 16;
  int16_t columns = 3;
  int16_t trailer[3] = {0, 0, 0};
  GreyDotSample sample;  // GreyRampDot when empty
};
std::vector<uint8_t> BuildGreyDotCurveKind3(const GreyDotCurveKind3Shape& shape);

struct GreyDotCurveEntry {
  GreyDotCurveEntry(uint8_t ink) : ink_id(ink) {}  // NOLINT: {ink} names an entry
  uint8_t ink_id;
  bool small_present = true;
  uint32_t kind = 3;
  int16_t trailer[3] = {0, 0, 0};  // stored as given; the engine divides by 10
  GreyDotSample sample;            // the block's when empty
};
struct GreyDotCurveKind4Shape {
  int16_t levels = 512;
  int16_t sample_bits = 16;
  std::vector<GreyDotCurveEntry> entries;  // inks 0, 1, 2, 3, 4, 5, 7, 11 when empty
  GreyDotSample sample;                    // GreyRampDot when empty
};
std::vector<uint8_t> BuildGreyDotCurveKind4(const GreyDotCurveKind4Shape& shape);

struct GreyScreenShape {
  int16_t width = 16;
  int16_t height = 16;
  uint8_t layout_kind = 2;
  uint8_t storage = 0;
  uint8_t sample_bytes_a = 2;
  uint8_t sample_bytes_b = 0;
  int16_t offset = 132;                   // of the samples from the block start
  std::array<int16_t, 16> phases = {0, 0, 4, 2, 8, 4, 12, 6, 2, 8, 6, 10, 10, 12, 14, 14};
  std::vector<int16_t> samples;           // plain rows; GreyScreenSample when empty
};
// An ordered-dither screen: recursive 2 x 2 (Bayer) order scaled to 0..4079 for power-of-two
// shapes (a ramp for others).
int16_t GreyScreenSample(int32_t width, int32_t height, int32_t row, int32_t column);
std::vector<uint8_t> BuildGreyScreen(const GreyScreenShape& shape);

// "HL<c" block: the records as given (each {type, data}); lengths are filled in.
struct HandoverRecord {
  uint8_t type;
  std::vector<uint8_t> data;
};
std::vector<uint8_t> BuildHandoverLayout(const std::vector<HandoverRecord>& records,
                                         uint16_t version = 1);
HandoverRecord HandoverDimensions(uint8_t inks, uint8_t sets, uint8_t values);
HandoverRecord HandoverRoles(uint8_t a, uint8_t b, uint8_t c);
HandoverRecord HandoverSelector(uint8_t a, uint8_t b, uint8_t c);
HandoverRecord HandoverInkCodes(uint8_t ink_set, const std::string& name,
                                const std::vector<std::pair<uint8_t, uint8_t>>& code_slot);
HandoverRecord HandoverSetNames(const std::vector<std::pair<std::string, uint8_t>>& names);

struct InkTableShape {
  uint16_t ink_code;
  // Form 0: three tables of 256 values; form 1: three lines {x0, y0, x1, y1}.
  std::array<std::vector<uint16_t>, 3> coordinates;
};
std::vector<uint8_t> BuildInkTableBlock(uint8_t form, const std::vector<InkTableShape>& inks);

// A finished grey table in memory: packed rows from `amount` (level, slot), a first halftone
// id and an empty hand-over (no ink list).
using GreyAmount = std::function<uint16_t(uint32_t level, uint32_t slot)>;
// Slot k's amount rises with the level at its own pace: level x 256 x (k + 1) / 8, capped.
uint16_t GreyRampInk(uint32_t level, uint32_t slot);
std::unique_ptr<tonvar::GreyLut> BuildGreyLut(const GreyAmount& amount = GreyRampInk,
                                              uint32_t first_id = 200);

}  // namespace testkit
