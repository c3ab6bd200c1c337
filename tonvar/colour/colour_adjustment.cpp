// The colour-adjustment record: build from the job's adjustments, apply to pixels, release.
#include "tonvar/colour/colour_adjustment.h"

#include <algorithm>

#include "tonvar/colour/adjustment_curves.h"
#include "tonvar/common/scoped_block.h"

namespace tonvar::colour {
namespace {

bool InAdjustmentRange(int32_t v) { return v >= -50 && v <= 50; }
bool GammaUsable(uint32_t gamma, uint32_t gamma_base) {
  // A base of 0 would divide the gamma percentage by zero: no table can be built on it.
  return gamma >= 100 && gamma <= 300 && gamma_base != 0;
}

void FillTable(uint32_t* table, int32_t offset, const int32_t* gamma_offsets,
               const int32_t* curve) {
  for (int i = 0; i < kLevels; ++i) {
    table[i] = static_cast<uint32_t>(std::clamp(offset + gamma_offsets[i] + curve[i], 0, 255));
  }
  SmoothTable(table);
}

void MapThroughCurve(uint32_t* table, const uint8_t* curve) {
  for (int i = 0; i < kLevels; ++i) table[i] = curve[table[i] & 0xFF];
}

// The two larger components move away from the smallest by (100 + s)%; when blue is the
// smallest only by 80% of that change.
inline void Saturate(int32_t s, int32_t& r, int32_t& g, int32_t& b) {
  const int32_t f = s + 100;
  const int32_t fb = (80 * s) / 100 + 100;
  if (r <= g && r <= b) {
    g = std::min(((g - r) * f) / 100 + r, 255);
    b = std::min(((b - r) * f) / 100 + r, 255);
  } else if ((r <= g && r > b) || (r > g && b < g)) {
    r = std::min(((r - b) * fb) / 100 + b, 255);
    g = std::min(((g - b) * fb) / 100 + b, 255);
  } else {
    r = std::min(((r - g) * f) / 100 + g, 255);
    b = std::min(((b - g) * f) / 100 + g, 255);
  }
}

}  // namespace

EngineStatus NewColorAdjustment(const CmParams* params, uint32_t order, ColorAdjustment** out,
                                uint32_t gamma_base) {
  if (out == nullptr) return kStatusBadArgument;
  *out = nullptr;
  if (params == nullptr) return kStatusBadArgument;

  // The record's block stays with this scope until the record is complete.
  common::ScopedBlock block;
  const EngineStatus allocated = block.Allocate(sizeof(ColorAdjustment), false);
  if (allocated != kStatusOk) return allocated;
  auto* record = block.data<ColorAdjustment>();
  record->self = block.handle();

  if (!ChannelLayoutForOrder(order, &record->layout)) {
    return kStatusChannelOrderRefused;
  }
  const AdjustmentSettings settings = ReadAdjustmentSettings(*params);
  if (!GammaUsable(settings.gamma, gamma_base)) {
    return kStatusGammaOutOfRange;
  }
  if (settings.reserved != 0 || !InAdjustmentRange(settings.brightness) ||
      !InAdjustmentRange(settings.contrast) || !InAdjustmentRange(settings.saturation) ||
      !InAdjustmentRange(settings.red_offset) || !InAdjustmentRange(settings.green_offset) ||
      !InAdjustmentRange(settings.blue_offset)) {
    return kStatusAdjustmentRefused;
  }

  int32_t curve[kLevels];
  int32_t gamma_offsets[kLevels];
  BuildBaseCurve(settings.brightness, settings.contrast, curve);
  BuildGammaOffsets(settings.gamma, gamma_base, gamma_offsets);
  FillTable(record->red, settings.red_offset, gamma_offsets, curve);
  FillTable(record->green, settings.green_offset, gamma_offsets, curve);
  FillTable(record->blue, settings.blue_offset, gamma_offsets, curve);
  if (settings.curves != nullptr) {
    MapThroughCurve(record->red, settings.curves);
    MapThroughCurve(record->green, settings.curves + kLevels);
    MapThroughCurve(record->blue, settings.curves + 2 * kLevels);
  }
  // The tone tables start as the identity until BuildToneCurveAdjustment fills them.
  for (int i = 0; i < kLevels; ++i) {
    record->tone_red[i] = record->tone_green[i] = record->tone_blue[i] = static_cast<uint32_t>(i);
  }
  record->reserved = settings.reserved;
  record->saturation = settings.saturation;
  record->order = order;
  block.Detach();  // the record owns its block from here (DeleteColorAdjustment)
  *out = record;
  return kStatusOk;
}

EngineStatus ApplyColorAdjustment(const ColorAdjustment* record, uint32_t count, const uint8_t* src,
                                  uint8_t* dst) {
  if (record == nullptr) return kStatusLockFailed;
  const ChannelLayout layout = record->layout;
  const int32_t s = record->saturation;
  for (uint64_t j = 0; j < count; ++j) {
    const uint64_t at = j * layout.pixel_step;
    int32_t r = src[at + layout.red_offset];
    int32_t g = src[at + layout.green_offset];
    int32_t b = src[at + layout.blue_offset];
    if (s != 0 && !(r == g && g == b)) Saturate(s, r, g, b);
    dst[at + layout.red_offset] = static_cast<uint8_t>(record->red[r]);
    dst[at + layout.green_offset] = static_cast<uint8_t>(record->green[g]);
    dst[at + layout.blue_offset] = static_cast<uint8_t>(record->blue[b]);
  }
  return kStatusOk;
}

EngineStatus DeleteColorAdjustment(ColorAdjustment* record) {
  if (record == nullptr) return kStatusOk;
  common::MemHandle self = record->self;
  return common::ReleaseBlock(&self);
}

}  // namespace tonvar::colour
