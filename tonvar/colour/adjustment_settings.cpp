// The adjustment inputs of a CmParams record and the pixel layouts of the channel-order codes.
#include <cstring>

#include "tonvar/colour/colour_adjustment.h"
#include "tonvar/common/byte_readers.h"

namespace tonvar::colour {
namespace {

// Value of the first entry with the id; an entry without a value counts as absent.
const void* FindAdjustmentOption(const CmOptionList* list, uint32_t id) {
  if (list == nullptr) return nullptr;
  const CmOptionEntry* entries = list->Entries();
  for (int32_t i = 0; i < list->count; ++i) {
    if (entries[i].id == id) return entries[i].value;
  }
  return nullptr;
}

constexpr uint8_t kTunaTag[4] = {'T', 'U', 'N', 'A'};
constexpr size_t kTunaOffsetAt = 100;

}  // namespace

AdjustmentSettings ReadAdjustmentSettings(const CmParams& params) {
  AdjustmentSettings settings{};
  settings.reserved = params.reserved;
  settings.brightness = params.brightness;
  settings.contrast = params.contrast;
  settings.saturation = params.saturation;
  settings.red_offset = params.red_offset;
  settings.green_offset = params.green_offset;
  settings.blue_offset = params.blue_offset;

  settings.gamma = kDefaultGamma;
  if (const void* gamma = FindAdjustmentOption(params.options, kOptionGamma)) {
    uint32_t value;
    std::memcpy(&value, gamma, sizeof value);
    if (value != 0) settings.gamma = value;
  }

  const auto* curves =
      static_cast<const uint8_t*>(FindAdjustmentOption(params.options, kOptionChannelCurves));
  if (curves != nullptr && std::memcmp(curves, kTunaTag, sizeof kTunaTag) == 0) {
    // A tagged curve file: its header names where the three curves begin (0: at its start).
    const uint32_t offset = common::ReadDword(curves + kTunaOffsetAt);
    if (offset != 0) curves += offset;
  }
  settings.curves = curves;
  return settings;
}

bool ChannelLayoutForOrder(uint32_t order, ChannelLayout* layout) {
  switch (order) {
    case 1: *layout = {0, 1, 2, 3}; return true;
    case 2: *layout = {2, 1, 0, 3}; return true;
    case 3: *layout = {1, 2, 3, 4}; return true;
    case 7: *layout = {0, 1, 2, 4}; return true;
    default: return false;
  }
}

}  // namespace tonvar::colour
