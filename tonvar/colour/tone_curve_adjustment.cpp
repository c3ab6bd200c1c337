// The tone-curve tables of an adjustment record: brightness, contrast and gamma only, for the
// colour engine's 1-D tone table.
#include <algorithm>

#include "tonvar/colour/adjustment_curves.h"
#include "tonvar/colour/colour_adjustment.h"

namespace tonvar::colour {

EngineStatus BuildToneCurveAdjustment(const CmParams* params, uint32_t order,
                                      ColorAdjustment* record, uint32_t gamma_base) {
  if (record == nullptr || params == nullptr) return kStatusLockFailed;
  ChannelLayout layout;
  if (!ChannelLayoutForOrder(order, &layout)) return kStatusChannelOrderRefused;
  const AdjustmentSettings settings = ReadAdjustmentSettings(*params);
  if (settings.curves != nullptr) return kStatusDropToneTable;
  if (settings.reserved != 0 || settings.brightness < -50 || settings.brightness > 50 ||
      settings.contrast < -50 || settings.contrast > 50) {
    return kStatusAdjustmentRefused;
  }
  // A base of 0 would divide the gamma percentage by zero.
  if (settings.gamma < 100 || settings.gamma > 300 || gamma_base == 0) {
    return kStatusGammaOutOfRange;
  }

  int32_t curve[kLevels];
  int32_t gamma_offsets[kLevels];
  BuildBaseCurve(settings.brightness, settings.contrast, curve);
  BuildGammaOffsets(settings.gamma, gamma_base, gamma_offsets);
  for (int i = 0; i < kLevels; ++i) {
    record->tone_red[i] = static_cast<uint32_t>(std::clamp(curve[i] + gamma_offsets[i], 0, 255));
  }
  SmoothTable(record->tone_red);
  std::copy_n(record->tone_red, kLevels, record->tone_green);
  std::copy_n(record->tone_red, kLevels, record->tone_blue);

  record->reserved = settings.reserved;
  record->saturation = settings.saturation;
  record->layout = layout;
  record->order = order;
  return kStatusOk;
}

EngineStatus ApplyToneCurveAdjustment(const ColorAdjustment* record, uint32_t count,
                                      const uint8_t* src, uint8_t* dst) {
  if (record == nullptr) return kStatusLockFailed;
  const ChannelLayout layout = record->layout;
  for (uint64_t j = 0; j < count; ++j) {
    const uint64_t at = j * layout.pixel_step;
    const uint8_t r = src[at + layout.red_offset];
    const uint8_t g = src[at + layout.green_offset];
    const uint8_t b = src[at + layout.blue_offset];
    dst[at + layout.red_offset] = static_cast<uint8_t>(record->tone_red[r]);
    dst[at + layout.green_offset] = static_cast<uint8_t>(record->tone_green[g]);
    dst[at + layout.blue_offset] = static_cast<uint8_t>(record->tone_blue[b]);
  }
  return kStatusOk;
}

}  // namespace tonvar::colour
