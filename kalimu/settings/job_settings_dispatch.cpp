// The change dispatcher: every change of the print-mode fields (variant, preset, media, colour
// mode, quality and the mode options) goes through OnSettingChanged, which keeps them
// consistent with each other and with the model, and ends with the check of the current mode.
#include "kalimu/settings/job_settings.h"

#include <optional>

namespace kalimu::settings {

namespace {

// Mode-variant changes: type 1 comes with dmColor set by the caller, type 21 without.
constexpr int kVariantChange = 1;
constexpr int kMediaTypeChange = 2;
constexpr int kPrintModeTypeChange = 4;
constexpr int kPresetOrMediaChange = 5;
constexpr int kModeKeyChange = 6;
constexpr int kVariantChangeOnly = 21;

constexpr uint32_t kModeOption1On = 0x40;  // print-mode word 20: the option groups
constexpr uint32_t kModeOption1Off = 0x80;
constexpr uint32_t kModeOption4On = 0x01;
constexpr uint32_t kModeOption4Off = 0x02;
constexpr uint32_t kModeOption2On = 0x10;
constexpr uint32_t kModeOption2Off = 0x20;
constexpr uint32_t kModeOption2Fixed = 0x400;
constexpr uint32_t kAllOptionGroups = 0xF3;
constexpr int kAdjustmentValues = 12;

// dmColor for a mode variant: 1 for monochrome, 2 for the colour variants.
constexpr int32_t ColorForVariant(int32_t variant) { return variant == 0 ? 1 : 2; }

}  // namespace

// The first preset of group 0 that matches: a key of -1 matches every preset.
std::optional<uint16_t> JobSettings::FindGroup0Preset(int32_t variant, int32_t media_index, int32_t quality) {
  uint32_t count = 0;
  GetPresetGroup0Count(&count);
  return FindPresetInRange(0, count, variant, media_index, quality, PresetKey::kQualityPosition);
}

void JobSettings::OnSettingChanged(int change_type, int32_t value) {
  const auto v = static_cast<int16_t>(value);  // a change value is a 16-bit number
  switch (change_type) {
    case kVariantChange:
    case kVariantChangeOnly: ChangeVariant(change_type, v); break;
    case kMediaTypeChange: OnMediaTypeChanged(v); break;
    case kPrintModeTypeChange: ChangeForPrintModeType(); break;
    case kPresetOrMediaChange: ChangePresetOrMedia(v); break;
    case 7: ApplyColorModeChange(v); break;
    case 8: SetRenderMethod(static_cast<uint16_t>(v)); break;
    case 9: SetCorrectionMode(static_cast<uint32_t>(v)); break;
    case 10: SetCorrectionLevel(static_cast<uint32_t>(v)); break;
    case 11:
      if (v >= 0 && v <= 2) SetCorrectionOption(static_cast<uint32_t>(v));
      break;
    case 12: SetQualityLevel(static_cast<uint16_t>(v)); break;
    case 13: ApplyGammaChoice(v); break;
    case 14: OnModeOptionChange14(v); break;
    case 15: OnModeOptionChange15(v); break;
    case 16: OnModeOptionChange16(v); break;
    case 17: OnModeOptionChange17(v); break;
    case 18: SetModeOptionBits(8, v != 0); break;
    case 19: SetModeOptionBits(0x100, v != 0); break;
    case 20: ChangeModeOptionChoice(v); break;
    default: break;  // 3, 6 and unknown types change nothing
  }
  CheckCurrentMode();
}

// Every change ends here: a mode the model does not hold falls back to the first preset.
void JobSettings::CheckCurrentMode() {
  uint32_t count = 0;
  if (!GetPrintModeCount(&count) || GetCurrentModeIndex() < count) return;
  ChangePrintModeType(1);
  ApplyPresetRecord(0);
}

void JobSettings::ChangeModeVariant(int32_t variant) {
  if (variant < 0 || variant > 2) return;
  SetColor(ColorForVariant(variant));
  OnSettingChanged(kVariantChange, variant);
}

void JobSettings::ChangePrintModeType(uint32_t type) {
  if (type == GetPrintModeType()) return;
  SetPrintModeType(type);
  OnSettingChanged(kPrintModeTypeChange, 0);
}

void JobSettings::ChangeVariant(int change_type, int32_t variant) {
  SaveModeVariant();
  const int32_t old = GetSavedModeVariant();
  if (old == variant) return;
  SetModeVariant(variant);
  switch (GetPrintModeType()) {
    case 0: ApplyVariantChange(change_type, variant); break;
    case 1: {
      const auto media = static_cast<int32_t>(GetCurrentMediaIndex());
      auto preset = FindGroup0Preset(variant, media, GetQualityPosition());
      if (!preset) preset = FindGroup0Preset(variant, media, -1);
      if (!preset && change_type == kVariantChangeOnly) preset = FindGroup0Preset(variant, -1, -1);
      if (preset) {
        ApplyPresetRecord(*preset);
      } else {
        ApplySavedModeVariant();
      }
      break;
    }
    case 2:
      if (change_type == kVariantChange && variant != 1) {
        SetModeVariant(variant);
        ChangePrintModeType(1);
      }
      break;
    default: break;
  }
  ApplyColorSettings();
  ApplyModeResolution();
  RecomputePageGeometry();
  if (variant == 2 || old == 2) ApplyModelPresetRow();
}

// The mode id a mode record names for a variant: words 44, 42 and 46 for variants 0, 1 and 2;
// a variant other than 0 and 2 counts as 1.
int32_t JobSettings::GetAlternativeModeId(uint16_t mode_index, int32_t variant) {
  int32_t mode_id = 0;
  switch (variant) {
    case 0: GetPrintModeValue44(mode_index, &mode_id); break;
    case 2: GetPrintModeValue46(mode_index, &mode_id); break;
    default: GetPrintModeValue42(mode_index, &mode_id); break;
  }
  return mode_id;
}

void JobSettings::ApplyVariantChange(int change_type, int32_t variant) {
  const uint32_t variant_bit = variant == 0 ? 1u : variant == 2 ? 8u : 2u;
  if (change_type == kVariantChange || change_type == kVariantChangeOnly) {
    const uint16_t alternative = FindAlternativeMode(GetCurrentModeIndex(), variant);
    uint32_t variants = 0;
    GetPrintModeValue40(alternative, &variants);
    if ((variants & variant_bit) == 0) {
      if (change_type == kVariantChange) {
        ApplySavedModeVariant();
        return;
      }
      if (!SelectFirstModeForSource(variant)) {
        ApplySavedModeVariant();
        return;
      }
    }
  }
  SetModeVariant(variant);
  if (variant == 0) SetColorMode(0);
  if (variant == 2) SetColorMode(7);
  if (change_type == kPrintModeTypeChange) {
    ClearCorrectionFlags();
  } else if (change_type != kVariantChangeOnly && !IsPresetKind5() && !IsPresetKind2()) {
    SelectPresetInGroup1(variant, change_type);
    return;
  }
  SetModeId(GetAlternativeModeId(GetCurrentModeIndex(), variant));
  SelectRenderMethodFromModeOptions();
  ApplyModeQualityLevel();
  SetPresetKind5();
}

void JobSettings::ChangeForPrintModeType() {
  const int32_t variant = GetModeVariant();
  switch (GetPrintModeType()) {
    case 0: ApplyVariantChange(kPrintModeTypeChange, variant); break;
    case 1: SelectPresetForChange(variant, kPrintModeTypeChange); break;
    case 2: SelectPresetInGroup2(0, kPrintModeTypeChange); break;
    default: break;
  }
  ApplyColorSettings();
  ApplyModeResolution();
  RecomputePageGeometry();
}

// Applies the group-0 preset found for media index m: the current variant first, then any.
// dmColor follows when the variant changed.
void JobSettings::ApplyPresetForMedia(int32_t variant, uint16_t media_index, int32_t quality) {
  const int32_t before = GetModeVariant();
  std::optional<uint16_t> preset;
  if (quality != -1) preset = FindGroup0Preset(variant, media_index, quality);
  if (!preset) preset = FindGroup0Preset(variant, media_index, -1);
  if (!preset) preset = FindGroup0Preset(-1, media_index, -1);
  if (!preset) return;
  ApplyPresetRecord(*preset);
  const int32_t after = GetModeVariant();
  if (after != before) SetColor(ColorForVariant(after));
}

void JobSettings::ChangePresetOrMedia(int32_t value) {
  switch (GetPrintModeType()) {
    case 0:
      if (!IsPresetKind5() && !IsPresetKind2()) {
        SelectPresetInGroup1(value, kPresetOrMediaChange);
      } else {
        SelectBestMode(kPresetOrMediaChange, value);
      }
      if (IsPresetKind2() && !IsPresetKind5()) SetPresetKind5();
      break;
    case 1: ApplyPresetForMedia(GetModeVariant(), static_cast<uint16_t>(value), -1); break;
    case 2: SelectPresetInGroup2(value, kPresetOrMediaChange); break;
    default: break;
  }
  ApplyColorSettings();
  ApplyModeResolution();
  RecomputePageGeometry();
}

void JobSettings::OnMediaTypeChanged(int32_t value) {
  const int32_t quality = value == 2 ? 2 : value == 3 ? 3 : 1;
  ApplyPresetForMedia(GetModeVariant(), GetCurrentMediaIndex(), quality);
  RecomputePageGeometry();
}

// The best-match search for a mode-option change, with the current mode's keys.
int JobSettings::SearchModeForOption(uint32_t mask, uint32_t criteria, int16_t value6, uint16_t fallback) {
  const uint16_t mode = GetCurrentModeIndex();
  int32_t value4 = 0;
  GetPrintModeValue4(mode, &value4);
  return FindBestModeMatch(mask, criteria, static_cast<int16_t>(GetCurrentMediaIndex()), static_cast<int16_t>(value4),
                           value6, fallback);
}

void JobSettings::ApplyModeOption4Default() {
  const int32_t value = GetAlternativeColumn(8);
  if (value == 1) SetModeOptionBits(4, 1);
  if (value == 2) SetModeOptionBits(4, 0);
}

int16_t JobSettings::CurrentModeValue6() {
  int32_t value6 = 0;
  GetPrintModeValue6(GetCurrentModeIndex(), &value6);
  return static_cast<int16_t>(value6);
}

void JobSettings::OnModeOptionChange14(int32_t value) {
  SetModeOptionBits(1, value != 0);
  SetModeOption2Bits(1, value != 0);
  const uint16_t mode = GetCurrentModeIndex();
  SearchModeForOption(0xC0, value != 0 ? kModeOption1On : kModeOption1Off, CurrentModeValue6(), mode);
  ApplyModeDefaults(IsModeValue122Default(GetCurrentModeIndex()) ? 2 : 1);
  ApplyModeOption4Default();
}

void JobSettings::OnModeOptionChange15(int32_t value) {
  SetModeOptionBits(4, value != 0);
  const uint16_t mode = GetCurrentModeIndex();
  SearchModeForOption(0x03, value != 0 ? kModeOption4On : kModeOption4Off, CurrentModeValue6(), mode);
  ApplyModeDefaults(2);
}

void JobSettings::OnModeOptionChange16(int32_t value) {
  SetModeOptionBits(2, value != 0);
  SetModeOption2Bits(2, value != 0);
  const uint16_t mode = GetCurrentModeIndex();
  if (value == 0) {
    uint32_t flags = 0;
    GetPrintModeValue20(mode, &flags);
    if (flags & kModeOption2Fixed) {
      const int32_t one = 1;
      SetPrintModeValue6(mode, &one);
    }
  }
  SearchModeForOption(0x30, value != 0 ? kModeOption2On : kModeOption2Off, CurrentModeValue6(), mode);
  ApplyModeDefaults(2);
}

void JobSettings::OnModeOptionChange17(int32_t value) {
  uint32_t flags = 0;
  GetPrintModeValue20(GetCurrentModeIndex(), &flags);
  SearchModeForOption(kAllOptionGroups, flags & kAllOptionGroups, value != 0 ? 1 : 0, 0);
  ApplyModeDefaults(2);
  ApplyModeOption4Default();
  RecomputePageGeometry();
  ClampScaleToRange();
}

void JobSettings::SelectBestMode(int change_type, int32_t value) {
  int16_t media = 0;
  int16_t key = 0;
  if (change_type == kModeKeyChange) {
    media = static_cast<int16_t>(GetCurrentMediaIndex());
    key = static_cast<int16_t>(value);
  } else if (change_type == kPresetOrMediaChange) {
    int32_t value4 = 0;
    GetPrintModeValue4(GetCurrentModeIndex(), &value4);
    key = static_cast<int16_t>(value4);
    media = static_cast<int16_t>(value);
  }
  if (FindBestModeMatch(kAllOptionGroups, 0, media, key, -1, 0) < 3) {
    SelectModeForMediaIndex(static_cast<uint16_t>(media));
    FindBestModeMatch(kAllOptionGroups, 0, media, key, -1, 0);
  }
  ApplyModeOptionBits();
  ApplyModeDefaults(2);
  ApplyModeOption4Default();
  if (GetPrintModeType() == 0) SelectRenderMethodFromModeOptions();
  ModeOptionRecord record;
  GetModeOptionRecord(&record);
  ApplyModeOptionBit8(record);
  if (change_type == kPresetOrMediaChange) {
    GetModeOptionRecord(&record);
    ApplyOptionRecordFlags(record);
    if (GetColorMode() == 1) SelectPrinterProfilesForMedia(RefreshProfileLists(0) == 2 ? 0 : 1);
  }
}

void JobSettings::SelectRenderMethodFromModeOptions() {
  ModeOptionRecord record;
  GetModeOptionRecord(&record);
  SetRenderMethod(ChooseRenderMethod(record.render_methods, GetRenderMethod()));
  ApplyModeOptionPair(record);
  if (record.bit4_default == 1) SetModeOptionBits(4, 1);
  if (record.bit4_default == 2) SetModeOptionBits(4, 0);
  uint32_t flags = 0;
  GetPrintModeValue20(GetCurrentModeIndex(), &flags);
  if (flags & kModeOption4On) SetModeOptionBits(4, 1);
  if (flags & kModeOption4Off) SetModeOptionBits(4, 0);
  ApplyOptionRecordFlags(record);
  SetModeOptions2(GetModeOptions() & 3);
}

void JobSettings::ApplyModeOptionPair(const ModeOptionRecord& record) {
  if (record.bit1_default == 1) SetModeOptionBits(1, 1);
  if (record.bit1_default == 2) SetModeOptionBits(1, 0);
  if (record.bit2_default == 1 || record.bit2_default == 4) SetModeOptionBits(2, 1);
  if (record.bit2_default == 3 || record.bit2_default == 5) SetModeOptionBits(2, 0);
  uint32_t flags = 0;
  GetPrintModeValue20(GetCurrentModeIndex(), &flags);
  if (flags & kModeOption2On) SetModeOptionBits(2, 1);
  if (flags & kModeOption2Off) SetModeOptionBits(2, 0);
}

int JobSettings::GetModeOptionRecord(ModeOptionRecord* out) {
  if (out == nullptr) return 0;
  *out = ModeOptionRecord{};  // a mode that does not match leaves the record empty, never stale
  const uint16_t current = GetCurrentModeIndex();
  uint32_t count = 0;
  GetPrintModeCount(&count);
  if (current >= count || !IsModeVisible(current) || !IsModeVariantSupported()) return 0;
  const uint16_t alternative = GetAlternativeModeIndex(current);
  const int32_t variant = GetModeVariant();
  const auto column = [&](uint32_t offset) { return static_cast<uint16_t>(GetModeColumn(alternative, variant, offset)); };
  out->bit1_default = column(10);
  out->bit2_default = column(12);
  out->bit4_default = column(8);
  out->render_methods = column(18);
  out->flags = column(22);
  out->bit8_default = column(14);
  out->flags46 = column(46);
  return 1;
}

void JobSettings::ApplyPresetColor(const DevModeSettingsRecord* record) {
  if (record == nullptr) return;
  SetSettingsRecord(record);
  SetColor(ColorForVariant(GetModeVariant()));
  CheckCurrentMode();
}

void JobSettings::ApplyPresetForValue(int32_t variant, uint16_t media_index) {
  const int32_t before = GetModeVariant();
  auto preset = FindGroup0Preset(variant, media_index, -1);
  if (!preset) preset = FindGroup0Preset(-1, media_index, -1);
  if (preset) {
    ApplyPresetRecord(*preset);
    if (GetModeVariant() != before) SetColor(ColorForVariant(GetModeVariant()));
  }
  SetPresetKind5();
}

void JobSettings::ApplyColorSettings() {
  if (GetColorMode() == 1) {
    SetICMMethod(GetColorManagementMode() == 1 ? 2 : 3);
  } else if (GetFields() & DM_ICMMETHOD) {
    SetNoColorManagement();
  }
  int32_t media_id = 0;
  GetMediaTypeId(GetCurrentMediaIndex(), &media_id);
  SetMediaType(static_cast<uint32_t>(media_id));
}

// --- Presets of groups 1 and 2 for a change, and the model's row for the colour mode -----------

// The first preset in [first, first + count) whose keys match; a key of -1 matches every preset.
std::optional<uint16_t> JobSettings::FindPresetInRange(uint32_t first, uint32_t count, int32_t variant,
                                                       int32_t media_index, int32_t key, PresetKey key_field) {
  for (uint32_t i = first; i < first + count; ++i) {
    const auto index = static_cast<uint16_t>(i);
    int32_t preset_variant = 0;
    int32_t preset_key = 0;
    GetPresetValue12(index, &preset_variant);
    if (key_field == PresetKey::kId) {
      GetPresetValue0(index, &preset_key);
    } else {
      GetPresetValue2(index, &preset_key);
    }
    if ((variant == -1 || preset_variant == variant) && (key == -1 || preset_key == key) &&
        (media_index == -1 || GetPresetMediaIndex(index) == media_index)) {
      return index;
    }
  }
  return std::nullopt;
}

void JobSettings::SelectPresetInGroup1(int32_t value, int change_type) {
  int32_t variant = 0;
  int32_t media = 0;
  int32_t id = 0;
  switch (change_type) {
    case kPresetOrMediaChange:
      variant = GetModeVariant();
      media = value;
      id = GetPresetId();
      break;
    case kVariantChange:
      variant = value;
      media = GetCurrentMediaIndex();
      id = GetPresetId();
      break;
    case 3:
      variant = GetModeVariant();
      media = GetCurrentMediaIndex();
      id = value;
      break;
    default: break;
  }
  uint32_t group0 = 0;
  uint32_t group1 = 0;
  GetPresetGroup0Count(&group0);
  GetPresetGroup1Count(&group1);
  if (const auto preset = FindPresetInRange(group0, group1, variant, media, id, PresetKey::kId)) {
    ApplyPresetRecord(*preset);
  } else {
    ApplyPresetForValue(variant, static_cast<uint16_t>(media));
  }
}

void JobSettings::SelectPresetInGroup2(int32_t value, int change_type) {
  int32_t media = 0;
  int32_t id = 0;
  switch (change_type) {
    case kPresetOrMediaChange:
      media = value;
      id = GetPresetId();
      break;
    case 3:
      media = GetCurrentMediaIndex();
      id = value;
      break;
    case kPrintModeTypeChange:
      media = GetCurrentMediaIndex();
      id = -1;
      break;
    default: break;
  }
  uint32_t group0 = 0;
  uint32_t group1 = 0;
  uint32_t group2 = 0;
  GetPresetGroup0Count(&group0);
  GetPresetGroup1Count(&group1);
  GetPresetGroup2Count(&group2);
  auto preset = FindPresetInRange(group0 + group1, group2, -1, media, id, PresetKey::kId);
  if (!preset) preset = FindPresetInRange(group0 + group1, group2, -1, media, -1, PresetKey::kId);
  if (preset) {
    ApplyPresetRecord(*preset);
  } else {
    ApplyPresetForValue(1, static_cast<uint16_t>(media));
  }
}

void JobSettings::ApplyModelPresetRow() {
  uint32_t count = 0;
  GetPresetGroup0Count(&count);
  for (uint32_t i = 0; i < count; ++i) {
    const auto index = static_cast<uint16_t>(i);
    int32_t media_id = 0;
    int32_t variant = 0;
    uint32_t color_mode = 0;
    GetPresetMediaId(index, &media_id);
    GetPresetValue12(index, &variant);
    GetPresetValue16(index, &color_mode);
    if (static_cast<uint32_t>(media_id) != GetMediaId() || variant != GetModeVariant() || color_mode != GetColorMode()) {
      continue;
    }
    DevModeSettingsRecord row{};
    GetPresetRecord(index, &row, sizeof(row));
    ApplyModeQualityLevel();
    // The row's twelve adjustment values, read through the adjustment numbering of the record.
    DevModeSettingsRecord own{};
    GetSettingsRecord(&own);
    SetSettingsRecord(&row);
    int32_t adjustments[kAdjustmentValues] = {};
    for (int number = 0; number < kAdjustmentValues; ++number) adjustments[number] = GetAdjustment(number);
    SetSettingsRecord(&own);
    SetGamma(row.Gamma);
    for (int number = 0; number < kAdjustmentValues; ++number) SetAdjustment(number, adjustments[number]);
    return;
  }
}

}  // namespace kalimu::settings
