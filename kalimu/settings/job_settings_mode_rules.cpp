// Print-mode, colour-mode and quality rules: which mode record stands for the current variant,
// the option bits and defaults it sets, the quality level it names for each colour mode, how a
// colour-mode change spreads, and the search for the mode that best fits a wish.
#include "kalimu/settings/job_settings.h"

namespace kalimu::settings {

namespace {

// Print-mode word 20.
constexpr uint32_t kModeOption1On = 0x40;
constexpr uint32_t kModeOption1Off = 0x80;
constexpr uint32_t kModeOption2On = 0x10;
constexpr uint32_t kModeOption2Off = 0x20;
constexpr uint32_t kModeNoHelperFlag = 0x200;
constexpr uint32_t kModeOption4 = 0x2000000;
// Print-mode word 24.
constexpr uint32_t kModeHidden = 0x80;
constexpr uint32_t kModeOptionAllowed = 0x100;
constexpr uint32_t kModeDefaultOfMedia = 0x400;
// Model header word 24.
constexpr uint32_t kModelModeOptions = 0x2000000;
constexpr uint32_t kModelWideToneGamma = 0x8000;
// ModeOptions bits.
constexpr uint32_t kOptionBit1 = 1;
constexpr uint32_t kOptionBit2 = 2;
constexpr uint32_t kOptionBit4 = 4;
constexpr uint32_t kOptionBit8 = 8;

// The option groups a best-match criterion may name, and the level a mode must reach for the
// search to end early.
constexpr uint32_t kOptionGroups[] = {0xC0, 0x30, 0x03};
constexpr int kFullMatch = 6;

// Variant-support bit of print-mode word 40 for a mode variant.
constexpr uint32_t VariantBit(int32_t variant) { return variant == 0 ? 1u : variant == 2 ? 8u : 2u; }

// Column-group offsets of a print mode: the group a variant selects, and each column's reader.
template <class T>
int32_t ReadColumn(JobSettings& settings, int (model::ModelCapabilities::*get)(uint16_t, T*), uint16_t index) {
  T value{};
  (settings.*get)(index, &value);
  return static_cast<int32_t>(value);
}

#define KALIMU_MODE_COLUMNS(X) \
  X(8, 56, 120, 184)           \
  X(10, 58, 122, 186)          \
  X(12, 60, 124, 188)          \
  X(14, 62, 126, 190)          \
  X(18, 66, 130, 194)          \
  X(22, 70, 134, 198)          \
  X(24, 72, 136, 200)          \
  X(30, 78, 142, 206)          \
  X(32, 80, 144, 208)          \
  X(34, 82, 146, 210)          \
  X(36, 84, 148, 212)          \
  X(38, 86, 150, 214)          \
  X(40, 88, 152, 216)          \
  X(46, 94, 158, 222)

// Quality level columns by colour mode (0 to 7); 0 where the level is not read from the mode.
constexpr uint32_t kQualityColumn[8] = {30, 34, 32, 36, 0, 0, 38, 40};

}  // namespace

int32_t JobSettings::GetModeColumn(uint16_t mode_index, int32_t variant, uint32_t offset) {
  const int group = variant == 0 ? 1 : variant == 2 ? 2 : 0;
#define KALIMU_MODE_COLUMN_CASE(column, in_variant1, in_variant0, in_variant2)                          \
  case column:                                                                                         \
    return group == 0   ? ReadColumn(*this, &model::ModelCapabilities::GetPrintModeValue##in_variant1, mode_index) \
           : group == 1 ? ReadColumn(*this, &model::ModelCapabilities::GetPrintModeValue##in_variant0, mode_index) \
                        : ReadColumn(*this, &model::ModelCapabilities::GetPrintModeValue##in_variant2, mode_index);
  switch (offset) {
    KALIMU_MODE_COLUMNS(KALIMU_MODE_COLUMN_CASE)
    default: return 0;
  }
#undef KALIMU_MODE_COLUMN_CASE
}

uint16_t JobSettings::GetAlternativeModeIndex(uint16_t mode_index) {
  switch (GetModeVariant()) {
    case 0: return FindModeIndexForVariant0(mode_index);
    case 2: return FindModeIndexForVariant2(mode_index);
    default: return FindModeIndexForVariant1(mode_index);
  }
}

int JobSettings::GetQualityClass() {
  const int32_t variant = GetModeVariant();
  if (variant == 0 || variant == 2) return 1;
  const uint32_t color_mode = GetColorMode();
  if (color_mode == 6) return 2;
  if (color_mode != 0 && color_mode != 2) return 1;
  switch (GetQualityLevel()) {
    case 6:
    case 10: return 0;
    case 8:
    case 9: return 2;
    default: return 1;
  }
}

int JobSettings::IsSpecialQualityLevel() const {
  const uint32_t level = GetQualityLevel();
  return level == 6 || level == 8 || level == 9 ? 1 : 0;
}

int JobSettings::IsQualityLevel457() const {
  const uint32_t level = GetQualityLevel();
  return level == 4 || level == 5 || level == 7 ? 1 : 0;
}

int32_t JobSettings::GetModeQualityLevel() {
  const uint32_t color_mode = GetColorMode();
  if (color_mode == 4) return 3;
  if (color_mode >= 8 || kQualityColumn[color_mode] == 0) return 0;
  return GetAlternativeColumn(kQualityColumn[color_mode]);
}

void JobSettings::ApplyModeQualityLevel() { OnSettingChanged(12, GetModeQualityLevel()); }

void JobSettings::ApplyModeOptionBits() {
  uint32_t flags = 0;
  GetPrintModeValue20(GetAlternativeModeIndex(GetCurrentModeIndex()), &flags);
  if (flags & kModeOption2On) SetModeOptionBits(kOptionBit2, 1);
  if (flags & kModeOption2Off) SetModeOptionBits(kOptionBit2, 0);
  if (flags & kModeOption1On) SetModeOptionBits(kOptionBit1, 1);
  if (flags & kModeOption1Off) SetModeOptionBits(kOptionBit1, 0);
}

void JobSettings::ApplyModeDefaults(int change_type) {
  const int32_t a = GetAlternativeColumn(10);
  const int32_t b = GetAlternativeColumn(12);
  int x = 0;
  int y = 0;
  if (change_type == 2) {
    x = TestModeOptionBits(kOptionBit1) ? 1 : 2;
    y = TestModeOptionBits(kOptionBit2) ? 1 : 2;
  } else if (change_type == 1) {
    x = a == 0 ? 1 : a == 3 ? 2 : 0;
    y = b == 0 ? 1 : b == 2 ? 2 : 0;
  }
  const auto set_both = [this](uint32_t bit, int on) {
    SetModeOptionBits(bit, on);
    SetModeOption2Bits(bit, on);
  };
  if (a == 1 || x == 1) set_both(kOptionBit1, 1);
  if (a == 2 || x == 2) set_both(kOptionBit1, 0);
  switch (b) {
    case 1: set_both(kOptionBit2, 1); break;
    case 3:
    case 5: set_both(kOptionBit2, 0); break;
    case 4:
      set_both(kOptionBit2, 1);
      if (y == 2) set_both(kOptionBit2, 0);
      break;
    default:
      if (y == 1) set_both(kOptionBit2, 1);
      if (y == 2) set_both(kOptionBit2, 0);
      break;
  }
}

void JobSettings::ApplyModeDefaultValue(int keep) {
  switch (GetAlternativeColumn(8)) {
    case 0:
      if (keep == 0) SetModeOptionBits(kOptionBit4, 1);
      break;
    case 3:
      if (keep == 0) SetModeOptionBits(kOptionBit4, 0);
      break;
    case 1: SetModeOptionBits(kOptionBit4, 1); break;
    case 2: SetModeOptionBits(kOptionBit4, 0); break;
    default: break;
  }
}

void JobSettings::ApplyModeOptionRecord() {
  ModeOptionRecord record;
  GetModeOptionRecord(&record);
  ApplyModeOptionBit8(record);
}

void JobSettings::ApplyModeOptionBit8(const ModeOptionRecord& record) {
  if (record.bit8_default == 1) SetModeOptionBits(kOptionBit8, 1);
  if (record.bit8_default == 2) SetModeOptionBits(kOptionBit8, 0);
}

void JobSettings::RefreshModeOptions() {
  ApplyModeOptionBits();
  ApplyModeDefaults(1);
  ApplyModeDefaultValue(1);
  if (GetPrintModeType() == 0) SelectRenderMethodFromModeOptions();
  ApplyModeOptionRecord();
}

int JobSettings::SelectDefaultModeForMedia() {
  uint32_t count = 0;
  GetPrintModeCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    const auto index = static_cast<uint16_t>(i);
    int32_t media_id = 0;
    int32_t mode_id = 0;
    if (GetPrintModeMediaId(index, &media_id) && static_cast<uint32_t>(media_id) == GetMediaId() &&
        TestPrintModeFlags24(static_cast<int16_t>(index), kModeDefaultOfMedia) && GetPrintModeId(index, &mode_id)) {
      SetModeId(mode_id);
      RefreshModeOptions();
      SetHiddenModes(1);
      return 1;
    }
  }
  return 0;
}

int JobSettings::ReselectCurrentMode() {
  SetHiddenModes(0);
  int32_t related = 0;
  GetPrintModeValue30(GetCurrentModeIndex(), &related);
  uint32_t count = 0;
  GetPrintModeCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    const auto index = static_cast<uint16_t>(i);
    int32_t media_id = 0;
    int32_t mode_id = 0;
    if (GetPrintModeMediaId(index, &media_id) && static_cast<uint32_t>(media_id) == GetMediaId() &&
        GetPrintModeId(index, &mode_id) && mode_id == related) {
      SetModeId(related);
      RefreshModeOptions();
      SetHiddenModes(1);
      return 1;
    }
  }
  return 0;
}

int JobSettings::SelectFirstModeForSource(int32_t variant) {
  const uint32_t source_mask = GetSourceMask();
  const uint32_t variant_bit = VariantBit(variant == 0 ? 0 : variant == 1 ? 1 : 2);
  uint32_t count = 0;
  GetPrintModeCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    const auto index = static_cast<uint16_t>(i);
    uint32_t mask = 0;
    uint32_t variants = 0;
    if (GetPrintModeValue16(index, &mask) && (mask & source_mask) != 0 && GetPrintModeValue40(index, &variants) &&
        (variants & variant_bit) != 0) {
      SelectVisibleModeByIndex(index);
      RefreshModeOptions();
      return 1;
    }
  }
  return 0;
}

int JobSettings::IsModeVariantSupported() {
  uint32_t variants = 0;
  GetPrintModeValue40(GetCurrentModeIndex(), &variants);
  return (variants & VariantBit(GetModeVariant())) != 0 ? 1 : 0;
}

void JobSettings::SelectModeForMediaIndex(uint16_t media_index) {
  uint32_t count = 0;
  GetPrintModeCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    const auto index = static_cast<uint16_t>(i);
    if (!IsModeVisible(index) || FindMediaIndexOfMode(index) != media_index) continue;
    uint32_t variants = 0;
    GetPrintModeValue40(index, &variants);
    if (variants & 2) {
      SetColor(2);
      SetModeVariant(1);
    } else if (variants & 1) {
      SetColor(1);
      SetModeVariant(0);
    } else if (variants & 8) {
      SetColor(2);
      SetModeVariant(2);
    }
    return;  // only the first such mode is looked at
  }
}

void JobSettings::UpdateModeFlag512() {
  SetLayoutOptionBits(0x200, 0);
  uint32_t mode_flags = 0;
  GetPrintModeValue20(GetCurrentModeIndex(), &mode_flags);
  const bool poster_with_panels = GetPagesPerSheet() < 0 && TestPosterOptionBits(2 | 8);
  if (TestModelHeaderFlags28(2) && GetColorMode() != 6 && GetModeVariant() == 1 &&
      (mode_flags & kModeNoHelperFlag) == 0 && !poster_with_panels && !TestWatermarkFlagBits(1) &&
      !TestPaperOptionBits(1) && !IsDuplexOn() && !IsPmFlagBit1Set()) {
    SetLayoutOptionBits(0x200, 1);
  }
}

int JobSettings::IsModeOption4Active() {
  uint32_t mode_flags = 0;
  GetPrintModeValue20(GetCurrentModeIndex(), &mode_flags);
  return (mode_flags & kModeOption4) != 0 && TestLayoutOptionBits(4) ? 1 : 0;
}

int JobSettings::CurrentModeHasFlag200() { return (GetAlternativeColumn(22) & 0x200) != 0 ? 1 : 0; }

int JobSettings::CanUseModeOption() {
  return TestModelHeaderFlags24(kModelModeOptions) && GetModeVariant() == 1 &&
                 TestPrintModeFlags24(static_cast<int16_t>(GetCurrentModeIndex()), kModeOptionAllowed)
             ? 1
             : 0;
}

int JobSettings::CanUseToneOption() {
  if (!CanUseModeOption() || GetColorMode() != 2) return 0;
  const uint32_t correction = GetCorrectionMode();
  return correction == 6 || correction == 10 || correction == 11 || correction == 12 ? 1 : 0;
}

void JobSettings::UpdateMediaFeedValue() {
  const uint16_t media = GetCurrentMediaIndex();
  uint32_t value = 0;
  if (TestPaperSourceFlags8(static_cast<int16_t>(GetPaperSourceIndex()), 0x80000 | 0x4000)) {
    GetMediaTypeValue19(media, &value);
  } else {
    GetMediaTypeValue18(media, &value);
  }
  SetMediaTuning4(value);
}

int JobSettings::CheckMediaOption448(int mode, int store) {
  uint16_t paper = 0;
  uint32_t paper_flags = 0;
  if (GetCurrentPaperIndex(&paper)) {
    GetPaperSizeValue20(paper, &paper_flags);
  } else {
    GetPaperValue20(paper, &paper_flags);
  }
  uint32_t d = 0;
  int answer = 0;
  if ((paper_flags & 0x40) == 0) {
    uint32_t f = 0;
    GetMediaTypeValue20(GetCurrentMediaIndex(), &f);
    d = mode == 1 ? f : GetMediaTuning8();
    answer = d == 0 || f == 0 ? 1 : 0;
  }
  if (store == 1) SetMediaTuning8(d);
  return answer;
}

int JobSettings::IsModeValue122Default(uint16_t mode_index) {
  const int32_t value = GetModeColumn(GetAlternativeModeIndex(mode_index), GetModeVariant(), 10);
  return value == 0 || value == 3 ? 1 : 0;
}

void JobSettings::ApplyColorMode1Defaults() {
  if (GetColorMode() == 1) return;
  SetColorMode(1);
  ApplyModeQualityLevel();
  SetModeVariant(1);
  SetICMMethod(2);
  SetICMIntent(2);
  int32_t media_id = 0;
  GetMediaTypeId(GetCurrentMediaIndex(), &media_id);
  SetMediaType(static_cast<uint32_t>(media_id));
}

void JobSettings::ApplyGammaChoice(int32_t index) {
  static constexpr uint16_t kGamma[] = {150, 180, 220};
  static constexpr uint16_t kTone[] = {160, 180, 200, 220, 240};
  // An index outside the list the dialog offers changes nothing.
  if (TestModelHeaderFlags24(kModelWideToneGamma) && GetColorMode() == 7) {
    if (index >= 0 && index < 5) SetGamma(kTone[index]);
  } else if (index >= 0 && index < 3) {
    SetGamma(kGamma[index]);
  }
}

void JobSettings::ApplyColorModeChange(int32_t color_mode) {
  // Each colour mode: whether it is in force already, and the order of its two follow-ups.
  struct ColorModeStep {
    int32_t mode;
    bool quality_first;
  };
  static constexpr ColorModeStep kSteps[] = {{0, false}, {2, true}, {3, false}, {4, false}, {6, true}};
  const uint32_t current = GetColorMode();
  if (color_mode == 1) {
    ApplyColorMode1Defaults();
  } else {
    for (const ColorModeStep& step : kSteps) {
      if (step.mode != color_mode) continue;
      const bool in_force = color_mode == 0   ? current == 0 && GetQualityLevel() != 3
                            : color_mode == 4 ? current == 4 && GetQualityLevel() == 3
                                              : current == static_cast<uint32_t>(color_mode);
      if (in_force) break;
      if (color_mode == 2) SetModeVariant(1);
      SetColorMode(static_cast<uint32_t>(color_mode));
      if (step.quality_first) ApplyModeQualityLevel();
      SetNoColorManagement();
      if (!step.quality_first) ApplyModeQualityLevel();
    }
  }
  RecomputePageGeometry();
}

void JobSettings::ApplyModeValue136() { ApplyColorModeChange(GetAlternativeColumn(24)); }

void JobSettings::ApplyOptionRecordFlags(const ModeOptionRecord& record) {
  const uint32_t word = record.flags;
  const uint32_t method = GetRenderMethod();
  const auto fall_back = [this] {
    SetColorMode(0);
    SetICMMethod(3);
    ApplyModeQualityLevel();
  };
  const uint32_t color_mode = GetColorMode();
  if (color_mode == 1) {
    const bool allowed = ((word & 4) && method == 0) || ((word & 8) && method == 3) ||
                         ((word & 0x10) && method == 1) || ((word & 0x20) && method == 2);
    if (!allowed) fall_back();
  }
  if ((word & 2) == 0 && GetColorMode() == 2) fall_back();
  if ((word & 0x200) == 0 && GetColorMode() == 6) ApplyModeValue136();
  if ((word & 0x400) == 0 && GetColorMode() == 7) {
    fall_back();
    ApplyModelPresetRow();
  }
}

namespace {

// Render methods in the order they are preferred, with the bit of the allowed-method word
// that offers each.
struct RenderMethodBit {
  uint32_t method;
  uint32_t bit;
};
constexpr RenderMethodBit kRenderMethodOrder[] = {{3, 1}, {1, 2}, {2, 4}, {0, 8}};

uint32_t RenderMethodBitOf(uint32_t method) {
  for (const auto& entry : kRenderMethodOrder) {
    if (entry.method == method) return entry.bit;
  }
  return 0;
}

}  // namespace

// The method to use under the allowed-method word: the current one when allowed, else the first
// allowed one in the order of preference; the current one when nothing fits.
uint32_t JobSettings::ChooseRenderMethod(uint32_t allowed, uint32_t current) {
  if (current > 3 || (allowed & 0xF) == 0 || (allowed & RenderMethodBitOf(current)) != 0) return current;
  for (const auto& entry : kRenderMethodOrder) {
    if ((allowed & entry.bit) != 0) return entry.method;
  }
  return current;
}

void JobSettings::SelectDefaultRenderMethod() {
  ModeOptionRecord record;
  GetModeOptionRecord(&record);
  SetRenderMethod(ChooseRenderMethod(record.render_methods, GetRenderMethod()));
}

void JobSettings::ChangeModeOptionChoice(int32_t choice) {
  switch (choice) {
    case 0:
      SetModeOptionBits(0x200, 1);
      SetModeOptionBits(0xC00, 0);
      break;
    case 1:
      SetModeOptionBits(0x400, 1);
      SetModeOptionBits(0xA00, 0);
      break;
    case 2:
      SetModeOptionBits(0x800, 1);
      SetModeOptionBits(0x600, 0);
      break;
    default: SetModeOptionBits(0xE00, 0); break;
  }
}

void JobSettings::ApplySavedModeVariant() {
  switch (saved_mode_variant_) {
    case 0:
      SetColor(1);
      SetModeVariant(0);
      break;
    case 1:
      SetColor(2);
      SetModeVariant(1);
      break;
    case 2:
      SetColor(2);
      SetModeVariant(2);
      break;
    default: break;
  }
}

int JobSettings::FindBestModeMatch(uint32_t mask, uint32_t criteria, int16_t media_index, int16_t value4,
                                   int16_t value6, uint16_t fallback) {
  const int32_t variant = GetModeVariant();
  if (value4 != -1 && variant == 0) {
    int32_t key = 0;
    if (GetTable5Value0(static_cast<uint16_t>(value4), &key) && key == 14) --value4;
  }
  const int32_t source_id = GetDefaultSource();
  int level = 0;
  uint16_t chosen = fallback;
  uint32_t count = 0;
  GetPrintModeCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    const auto index = static_cast<uint16_t>(i);
    if (!IsModeVisible(index) || !ModeAllowsSource(index, source_id)) continue;
    uint32_t flags = 0;
    uint32_t variants = 0;
    GetPrintModeValue20(index, &flags);
    GetPrintModeValue40(index, &variants);
    const bool supports_variant = (variants & VariantBit(variant)) != 0;
    const auto mode_media = static_cast<int16_t>(FindMediaIndexOfMode(index));
    if (criteria != 0 && ((flags & mask & criteria) == 0 || !supports_variant || mode_media != media_index)) {
      continue;
    }
    int32_t mode_value4 = 0;
    int32_t mode_value6 = 0;
    GetPrintModeValue4(index, &mode_value4);
    GetPrintModeValue6(index, &mode_value6);
    const auto groups_agree = [&] {
      for (const uint32_t group : kOptionGroups) {
        if ((criteria & group) != 0 && ((flags ^ criteria) & group) != 0) return false;
      }
      return true;
    };
    // The levels are climbed in order; the first one that fails ends the climb.
    int reached = 1;
    if (supports_variant) {
      reached = 2;
      if (media_index == -1 || mode_media == media_index) {
        reached = 3;
        if (value4 == -1 || mode_value4 == value4) {
          reached = 4;
          if (value6 == -1 || mode_value6 == value6) {
            reached = 5;
            if (criteria == 0 || groups_agree()) reached = kFullMatch;
          }
        }
      }
    }
    if (reached > level) {
      level = reached;
      chosen = index;
    }
    if (reached == kFullMatch && (flags & kModeOption1On) != 0) {
      uint32_t alternative_flags = 0;
      GetPrintModeValue20(GetAlternativeModeIndex(index), &alternative_flags);
      if (alternative_flags & kModeOption1On) {
        chosen = index;
        break;
      }
    }
  }
  SelectVisibleModeByIndex(chosen);
  return level;
}

}  // namespace kalimu::settings
