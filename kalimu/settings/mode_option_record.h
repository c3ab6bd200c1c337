// The mode option record: the option defaults, allowed render methods and flag words that the
// current print mode names for the current mode variant.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kalimu::settings {

struct ModeOptionRecord {
  uint16_t bit1_default;    // ModeOptions bit 1: 1 on, 2 off
  uint16_t bit2_default;    // ModeOptions bit 2: 1 or 4 on, 3 or 5 off
  uint16_t bit4_default;    // ModeOptions bit 4: 1 on, 2 off
  uint16_t render_methods;  // bit 8 method 0, bit 2 method 1, bit 4 method 2, bit 1 method 3
  uint16_t flags;           // the option flag word
  uint16_t reserved;
  uint16_t bit8_default;    // ModeOptions bit 8: 1 on, 2 off
  uint16_t flags46;
};
static_assert(sizeof(ModeOptionRecord) == 16);
static_assert(offsetof(ModeOptionRecord, flags) == 8 && offsetof(ModeOptionRecord, bit8_default) == 12);

}  // namespace kalimu::settings
