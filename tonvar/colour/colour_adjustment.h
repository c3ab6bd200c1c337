// The user's colour adjustments as three per-channel 256-entry tables plus a saturation step,
// and the tone-curve table set that adjusts the colour engine's 1-D tone table.
#pragma once

#include <cstdint>

#include "maths/prime_logarithm.h"
#include "tonvar/common/memory.h"
#include "tonvar/interface/client_records.h"
#include "tonvar/interface/status.h"

namespace tonvar::colour {

// Option ids of the CmOptionList read here.
constexpr uint32_t kOptionGamma = 1;            // value: uint32 gamma x100; absent or 0 = 150
constexpr uint32_t kOptionChannelCurves = 256;  // value: red, green, blue curves of 256 bytes

constexpr uint32_t kDefaultGamma = 150;  // also the gamma base of mode tables below version 500

// The adjustment inputs of a CmParams record and its option list, resolved.
struct AdjustmentSettings {
  int32_t reserved;
  int32_t brightness;
  int32_t contrast;
  int32_t saturation;
  int32_t red_offset;
  int32_t green_offset;
  int32_t blue_offset;
  uint32_t gamma;          // x100; kDefaultGamma when the option is absent or 0
  const uint8_t* curves;   // red, green, blue curves (768 bytes), or null without option 256
};

// Reads the six values and the options 1 and 256 (first entry with the id wins). A "TUNA"
// curve block with a non-zero offset word at byte 100 has its curves that many bytes in.
AdjustmentSettings ReadAdjustmentSettings(const CmParams& params);

// Byte positions of red, green and blue in a pixel of the given channel-order code, and the
// pixel step. False for a code other than 1, 2, 3, 7.
struct ChannelLayout {
  uint32_t red_offset;
  uint32_t green_offset;
  uint32_t blue_offset;
  uint32_t pixel_step;
};
bool ChannelLayoutForOrder(uint32_t order, ChannelLayout* layout);

// One record per table rebuild, from NewColorAdjustment to DeleteColorAdjustment. Lives in a
// MemAlloc block that it owns (`self`).
struct ColorAdjustment {
  int32_t reserved;     // copy of CmParams::reserved
  int32_t saturation;   // copy of CmParams::saturation, -50..50
  uint32_t red[256];    // adjustment tables, entries 0..255
  uint32_t green[256];
  uint32_t blue[256];
  uint32_t tone_red[256];  // tone tables (BuildToneCurveAdjustment); all three equal
  uint32_t tone_green[256];
  uint32_t tone_blue[256];
  ChannelLayout layout;
  uint32_t order;       // channel-order code
  common::MemHandle self;
};

// Sets *out to null, then builds a record from params for pixels of channel-order `order`.
// gamma_base is the gamma (x100) at which the gamma option leaves the levels unchanged.
// 257 / 258 allocation; 515 order; 514 gamma outside 100..300 or gamma_base 0 (514 wins over
// 513); 513 reserved value or an adjustment value outside -50..50. Nothing stays allocated on
// failure.
EngineStatus NewColorAdjustment(const CmParams* params, uint32_t order, ColorAdjustment** out,
                                uint32_t gamma_base);

// Saturation, then the three tables, on count pixels; src and dst may be the same buffer.
// 258 for a null record.
EngineStatus ApplyColorAdjustment(const ColorAdjustment* record, uint32_t count, const uint8_t* src,
                                  uint8_t* dst);

// 0 for null; 259 / 260 when the record's block cannot be released.
EngineStatus DeleteColorAdjustment(ColorAdjustment* record);

// Fills the record's tone tables from brightness, contrast and gamma and refreshes its layout.
// Checks in order: 258 null record, 515 order, 1024 when option 256 is present, 513 reserved
// value / brightness / contrast, 514 gamma (or gamma_base 0). The tone tables are unchanged on
// failure.
EngineStatus BuildToneCurveAdjustment(const CmParams* params, uint32_t order,
                                      ColorAdjustment* record, uint32_t gamma_base);

// dst[c] = tone_c[src[c]] for the three channels of count pixels. 258 for a null record.
EngineStatus ApplyToneCurveAdjustment(const ColorAdjustment* record, uint32_t count,
                                      const uint8_t* src, uint8_t* dst);

// 255 * (x / 255)^(percent / 100) to the nearest level (within one), in integers. x >= 255
// gives 255.
uint32_t GammaLevel(uint32_t x, uint32_t percent);

// 5000 * ln n, as the sum of the rounded per-prime values of n's prime factors; LogScaled(1) = 0.
using maths::LogScaled;

}  // namespace tonvar::colour
