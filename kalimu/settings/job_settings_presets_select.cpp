// Choosing a preset: by index, as the default for a source, as the nearest preset the source
// allows, by a change of media, variant or quality position, and the source mask of a record
// about to be saved as a user preset.
#include <cstring>

#include "kalimu/settings/job_settings.h"

namespace kalimu::settings {
namespace {

constexpr uint32_t kPresetFlag128 = 0x80;            // preset word 108
constexpr uint32_t kPresetSpecialFeed = 0x20000;     // preset word 108
constexpr uint32_t kMediaDefaultPreset = 0x20000000;  // media word 8
constexpr uint32_t kMediaSpecialFeed = 0x400000;     // media word 8
constexpr uint32_t kSourceRollA = 0x400000;          // source capability word
constexpr uint32_t kModelKeepsRollBits = 8;          // model header word 28
constexpr uint32_t kPlaceholderPresetId = 15;
constexpr size_t kUserSettingsBytes = 408;
constexpr size_t kUserPresetTail = 280;

// The search window of the nearest-preset walk for a selected preset id: (up, down).
struct Window {
  int32_t id;
  uint32_t up, down;
};
constexpr Window kWindows[] = {{0, 2, 2}, {1, 1, 3}, {4, 4, 0}, {5, 3, 1}, {6, 0, 4}};

}  // namespace

void JobSettings::ApplyPresetByIndex(uint16_t index) {
  uint32_t count = 0;
  SumPresetGroups012(&count);
  if (index < count) {
    ApplyPresetRecord(index);
    return;
  }
  // A user preset that cannot be read leaves the settings as they are.
  uint8_t entry[kUserSettingsBytes] = {};
  if (!GetSettingsEntry(static_cast<uint16_t>(index - count), entry, sizeof(entry))) return;
  DevModeSettingsRecord settings;
  DevModeColorSettings colour;
  static_assert(sizeof(settings) + sizeof(colour) == kUserSettingsBytes && sizeof(colour) == kUserPresetTail);
  std::memcpy(&colour, entry, sizeof(colour));
  std::memcpy(&settings, entry + kUserPresetTail, sizeof(settings));
  SetSettingsRecord(&settings);
  SetColorSettings(&colour);
}

int JobSettings::ApplyPresetIdFromRecord(uint16_t index) {
  if (GetSelectedPresetId() != kPlaceholderPresetId) return 1;
  int32_t id = 0;
  if (GetPresetValue0(index, &id)) SetSelectedPresetWord(static_cast<uint32_t>(static_cast<uint16_t>(id)));
  return 1;
}

uint16_t JobSettings::FindPresetWithFlag128() {
  uint32_t group1 = 0;
  GetPresetGroup1Count(&group1);
  for (uint32_t i = 0; i < group1; ++i) {
    if (TestPresetFlags108(static_cast<int16_t>(i), kPresetFlag128)) return static_cast<uint16_t>(i);
  }
  return 0;
}

uint16_t JobSettings::FindDefaultPresetIndex() {
  const uint32_t mask = GetSourceMask();
  uint32_t media_count = 0;
  GetMediaTypeCount(&media_count);
  uint16_t media = 0;
  for (uint32_t i = 0; i < media_count; ++i) {
    const auto index = static_cast<int16_t>(i);
    if (TestMediaTypeFlags8(index, kMediaDefaultPreset) && TestMediaTypeFlags4(index, mask)) {
      media = static_cast<uint16_t>(i);
      break;
    }
  }
  int32_t media_id = 0;
  GetMediaTypeId(media, &media_id);
  uint32_t group0 = 0;
  GetPresetGroup0Count(&group0);
  for (uint32_t i = 0; i < group0; ++i) {
    int32_t preset_media = 0;
    if (GetPresetMediaId(static_cast<uint16_t>(i), &preset_media) && preset_media == media_id) {
      return static_cast<uint16_t>(i);
    }
  }
  return 0;
}

void JobSettings::GetPresetSearchWindow(uint32_t* up, uint32_t* down, uint16_t index) {
  const int32_t variant = GetModeVariant();
  const auto media_id = static_cast<int32_t>(GetMediaId());
  uint32_t group1 = 0;
  GetPresetGroup1Count(&group1);
  const auto same_row = [&](int64_t j) {
    int32_t preset_variant = 0;
    int32_t preset_media = 0;
    return j >= 0 && j < int64_t{group1} && GetPresetValue12(static_cast<uint16_t>(j), &preset_variant) &&
           preset_variant == variant && GetPresetMediaId(static_cast<uint16_t>(j), &preset_media) &&
           preset_media == media_id;
  };
  *up = 0;
  for (int64_t j = int64_t{index} + 1; same_row(j); ++j) {
    if (!IsPresetSkipped(static_cast<uint16_t>(j))) ++*up;
  }
  *down = 0;
  for (int64_t j = int64_t{index} - 1; same_row(j); --j) {
    if (!IsPresetSkipped(static_cast<uint16_t>(j))) ++*down;
  }
}

int JobSettings::FindNearestAllowedPreset(int32_t selected_id, uint16_t* index, int32_t source_id) {
  const int64_t start = *index;
  uint32_t up = 0;
  uint32_t down = 0;
  if (selected_id == static_cast<int32_t>(kPlaceholderPresetId)) {
    GetPresetSearchWindow(&up, &down, *index);
  } else {
    for (const Window& w : kWindows) {
      if (w.id == selected_id) {
        up = w.up;
        down = w.down;
      }
    }
  }
  uint32_t count = 0;
  SumPresetGroups012(&count);
  // Indexes beyond either end of the table are neither skipped nor allowed.
  const auto fits = [&](int64_t k) {
    return k >= 0 && k < int64_t{count} && !IsPresetSkipped(static_cast<uint16_t>(k)) &&
           PresetAllowsSource(static_cast<uint16_t>(k), source_id);
  };
  for (int64_t k = start; k <= start + up; ++k) {
    if (fits(k)) {
      *index = static_cast<uint16_t>(k);
      return 1;
    }
  }
  for (int64_t k = start - 1; k >= start - int64_t{down}; --k) {
    if (fits(k)) {
      *index = static_cast<uint16_t>(k);
      return 1;
    }
  }
  return 0;
}

void JobSettings::SyncPresetWithSelection(int32_t source_id) {
  const auto selected = static_cast<int32_t>(GetSelectedPresetId());
  if (GetPresetId() == selected) return;
  uint16_t index = FindPresetById(selected);
  if (!FindNearestAllowedPreset(selected, &index, source_id)) return;
  ApplyPresetRecord2(index);
  ApplyPresetIdFromRecord(index);
}

void JobSettings::SyncPresetForKind(int32_t source_id) {
  if (!IsPresetKind0() && !IsPresetKind1Or4()) return;
  uint16_t index = FindPresetForCurrent();
  const auto selected = static_cast<int32_t>(GetSelectedPresetId());
  if (GetPresetId() == selected) return;
  if (!FindNearestAllowedPreset(selected, &index, source_id)) return;
  ApplyPresetRecord2(index);
  ApplyPresetIdFromRecord(index);
}

void JobSettings::SelectPresetForChange(int32_t value, int change_type) {
  int32_t k = 0;
  int32_t q = 0;
  int32_t m = 0;
  switch (change_type) {
    case 5: k = GetModeVariant(); q = GetQualityPosition(); m = value; break;
    case 1:
    case 21: k = value; m = GetCurrentMediaIndex(); q = GetQualityPosition(); break;
    case 2: q = value; m = GetCurrentMediaIndex(); k = GetModeVariant(); break;
    case 4: m = GetCurrentMediaIndex(); k = GetModeVariant(); break;
    default: break;
  }
  uint32_t group0 = 0;
  GetPresetGroup0Count(&group0);
  // The first preset of group 0 with the keys a pass asks for; applied when found.
  const auto apply_first = [&](bool by_variant, bool by_media, bool by_quality) {
    for (uint32_t i = 0; i < group0; ++i) {
      const auto index = static_cast<uint16_t>(i);
      int32_t variant = 0;
      int32_t quality = 0;
      if (by_variant && (!GetPresetValue12(index, &variant) || variant != k)) continue;
      if (by_media && GetPresetMediaIndex(index) != m) continue;
      if (by_quality && (!GetPresetValue2(index, &quality) || quality != q)) continue;
      ApplyPresetRecord(index);
      return true;
    }
    return false;
  };
  bool applied = change_type != 5 && change_type != 4 && apply_first(true, true, true);
  if (!applied) applied = apply_first(true, true, false);
  if (!applied && (change_type == 21 || change_type == 1)) {
    if (change_type == 21 && apply_first(true, false, false)) return;
    // Nothing fits the new variant: back to the variant before the change.
    const int saved = saved_mode_variant_;
    SetColor(saved == 0 ? DMCOLOR_MONOCHROME : DMCOLOR_COLOR);
    SetModeVariant(saved == 1 || saved == 2 ? saved : 0);
    return;
  }
  const int32_t old_variant = GetModeVariant();
  if (!applied) apply_first(false, true, false);
  const int32_t variant = GetModeVariant();
  if (variant != old_variant) SetColor(variant == 0 ? DMCOLOR_MONOCHROME : DMCOLOR_COLOR);
}

int JobSettings::FillMediaSourceMask(model::PresetRecord* record) {
  const uint16_t media = GetCurrentMediaIndex();
  uint32_t media_mask = 0;
  uint32_t mode_mask = 0;
  GetMediaTypeValue4(media, &media_mask);
  GetPrintModeValue16(GetCurrentModeIndex(), &mode_mask);
  uint32_t mask = media_mask & mode_mask;
  if (!TestModelHeaderFlags28(kModelKeepsRollBits) && !TestModeOptionBits(1)) {
    // The first roll source loses its second bit unless the mode options keep it.
    uint32_t count = 0;
    GetPaperSourceCount(&count);
    for (uint32_t i = 0; i < count && i < 16; ++i) {
      if (TestPaperSourceFlags8(static_cast<int16_t>(i), kSourceRollA)) {
        mask &= ~(1u << (2 * i + 1));
        break;
      }
    }
  }
  record->value96 = mask;
  if (TestMediaTypeFlags8(static_cast<int16_t>(media), kMediaSpecialFeed)) {
    record->value108 |= kPresetSpecialFeed;
  } else {
    record->value108 &= ~kPresetSpecialFeed;
  }
  return 1;
}

int JobSettings::FillMediaSourceMaskSimple(model::PresetRecord* record) {
  uint32_t media_mask = 0;
  uint32_t mode_mask = 0;
  GetMediaTypeValue4(GetCurrentMediaIndex(), &media_mask);
  GetPrintModeValue16(GetCurrentModeIndex(), &mode_mask);
  record->value96 = media_mask & mode_mask;
  return 1;
}

}  // namespace kalimu::settings
