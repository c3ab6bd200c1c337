// Presets, the current print mode and media, paper indexes, source masks and the twelve
// adjustment values.
#include <cstring>
#include <optional>
#include <string>

#include "kalimu/platform/text_conversion.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::settings {
namespace {

// The adjustment values by number, as members of the settings block.
constexpr int16_t DevModeSettingsRecord::*kAdjustments[] = {
    &DevModeSettingsRecord::AdjustItem0, &DevModeSettingsRecord::AdjustItem1,  &DevModeSettingsRecord::AdjustItem2,
    &DevModeSettingsRecord::AdjustItem3, &DevModeSettingsRecord::AdjustItem4,  &DevModeSettingsRecord::AdjustItem5,
    &DevModeSettingsRecord::AdjustItem6, &DevModeSettingsRecord::AdjustItem7,  &DevModeSettingsRecord::AdjustItem8,
    &DevModeSettingsRecord::AdjustItem9, &DevModeSettingsRecord::AdjustItem10, &DevModeSettingsRecord::AdjustItem11};
constexpr int kAdjustmentCount = sizeof(kAdjustments) / sizeof(kAdjustments[0]);
static_assert(kAdjustmentCount == 12);

constexpr int kMaxSources = 16;          // a source mask holds two bits for each of 16 sources
constexpr uint32_t kSecondFeed = 8192;   // paper-source word 8: the source has a second position
constexpr uint32_t kWideNames = 0x100000;  // model header word 24: user-preset names of 32 characters
constexpr uint32_t kFeedByPaper = 0x8000;  // model header word 20: papers carry feed values
constexpr uint16_t kMaxFeedIndex = 4;

}  // namespace

int32_t JobSettings::GetAdjustment(int number) const {
  if (number < 0 || number >= kAdjustmentCount) return 0;
  DevModeSettingsRecord record;
  GetSettingsRecord(&record);
  return record.*kAdjustments[number];
}

void JobSettings::SetAdjustment(int number, int32_t value) {
  if (number < 0 || number >= kAdjustmentCount) return;
  DevModeSettingsRecord record;
  GetSettingsRecord(&record);
  record.*kAdjustments[number] = static_cast<int16_t>(value);
  SetSettingsRecord(&record);
}

void JobSettings::ApplyPresetRecord(uint16_t index) {
  DevModeSettingsRecord record;
  if (GetPresetRecord(index, &record, sizeof(record))) SetSettingsRecord(&record);
}

uint16_t JobSettings::GetPresetMediaIndex(uint16_t preset_index) {
  int32_t media_id = 0;
  int32_t mode_id = 0;
  GetPresetMediaId(preset_index, &media_id);
  GetPresetModeId(preset_index, &mode_id);
  return FindMediaIndexOfMode(FindModeIndex(media_id, mode_id));
}

uint16_t JobSettings::FindPresetById(int32_t id) {
  uint32_t group0 = 0;
  uint32_t group1 = 0;
  GetPresetGroup0Count(&group0);
  GetPresetGroup1Count(&group1);
  const uint16_t media_index = GetCurrentMediaIndex();
  const int32_t variant = GetModeVariant();
  for (uint32_t i = 0; i < group1; ++i) {
    const auto index = static_cast<uint16_t>(group0 + i);
    int32_t preset_id = 0;
    int32_t preset_variant = 0;
    if (GetPresetValue0(index, &preset_id) && preset_id == id && GetPresetMediaIndex(index) == media_index &&
        GetPresetValue12(index, &preset_variant) && preset_variant == variant) {
      return index;
    }
  }
  return 0;
}

uint16_t JobSettings::FindPresetForCurrent() { return FindPresetById(GetPresetId()); }

int JobSettings::FindPresetInGroup(int group, uint16_t* out) {
  uint32_t group0 = 0;
  uint32_t group1 = 0;
  uint32_t group2 = 0;
  uint32_t stored01 = 0;
  GetPresetGroup0Count(&group0);
  GetPresetGroup1Count(&group1);
  GetPresetGroup2Count(&group2);
  GetPresetGroup01Count(&stored01);
  uint32_t first = 0;
  uint32_t count = 0;
  switch (group) {
    case 0: count = group0; break;
    case 1: first = group0; count = group1; break;
    case 4: first = group0 + group1; count = group2; break;
    case 6: count = stored01; break;
    default: return 0;
  }
  DevModeSettingsRecord record;
  GetSettingsRecord(&record);
  int last = 0;
  for (uint32_t i = 0; i < count; ++i) {
    last = ComparePresetRecord(static_cast<uint16_t>(first + i), &record, sizeof(record));
    if (last == 1) {
      if (out != nullptr) *out = static_cast<uint16_t>(first + i);
      return 1;
    }
  }
  if (out != nullptr) *out = 0;
  return last;
}

int JobSettings::GetUserPresetName(wchar_t* out, size_t size) {
  if (!IsPresetKind2() || out == nullptr || size == 0) return 0;
  const size_t limit = TestModelHeaderFlags24(kWideNames) ? 32 : kPresetNameMaxChars;
  platform::CopyStringNW(out, size, GetPresetName(), limit);
  return 1;
}

int JobSettings::GetUserPresetNameA(char* out, size_t size) {
  wchar_t name[kPresetNameMaxChars + 1] = {};
  if (!IsPresetKind2() || out == nullptr || size == 0) return 0;
  platform::CopyStringNW(name, kPresetNameMaxChars + 1, GetPresetName(), kPresetNameMaxChars);
  // Converted whole, whatever the code page needs per character; 0 when it cannot be.
  const std::optional<std::string> narrow = platform::AnsiFromWide(name);
  if (!narrow) {
    out[0] = 0;
    return 0;
  }
  platform::CopyStringA(out, size, narrow->c_str());
  return 1;
}

uint16_t JobSettings::FindModeIndex(int32_t media_id, int32_t mode_id) {
  uint32_t count = 0;
  GetPrintModeCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    const auto index = static_cast<uint16_t>(i);
    int32_t record_media = 0;
    int32_t record_mode = 0;
    if (IsModeVisible(index) && GetPrintModeMediaId(index, &record_media) && record_media == media_id &&
        GetPrintModeId(index, &record_mode) && record_mode == mode_id) {
      return index;
    }
  }
  return 0;
}

int32_t JobSettings::GetMediaNameIdOfMode(uint16_t mode_index) {
  int32_t name = 0;
  GetMediaTypeValue16(FindMediaIndexOfMode(mode_index), &name);
  return name;
}

int32_t JobSettings::GetCurrentMediaNameId() {
  int32_t name = 0;
  GetMediaTypeValue16(GetCurrentMediaIndex(), &name);
  return name;
}

uint16_t JobSettings::GetUserPaperIndex() {
  uint32_t count = 0;
  GetPaperSizeCount(&count);
  const int32_t index = GetPaperSizeIndex();
  return static_cast<uint16_t>(index >= static_cast<int32_t>(count) ? index - static_cast<int32_t>(count) : index);
}

int32_t JobSettings::GetPaperIdByIndex(uint16_t index) {
  uint32_t count = 0;
  GetPaperSizeCount(&count);
  int32_t id = 0;
  if (index < count) {
    GetPaperSizeId(index, &id);
  } else {
    GetPaperId(static_cast<uint16_t>(index - count), &id);
  }
  return id;
}

uint16_t JobSettings::FindPaperById(int32_t id, int* kind) {
  uint32_t count = 0;
  GetPaperSizeCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    if (IsPaperIdAt(id, static_cast<uint16_t>(i))) {
      if (kind != nullptr) *kind = kModelPaper;
      return static_cast<uint16_t>(i);
    }
  }
  uint32_t user_count = 0;
  GetPaperCount(&user_count);
  for (uint32_t i = 0; i < user_count; ++i) {
    int32_t user_id = 0;
    if (GetPaperId(static_cast<uint16_t>(i), &user_id) && user_id == id) {
      if (kind != nullptr) *kind = kUserPaper;
      return static_cast<uint16_t>(i);
    }
  }
  if (kind != nullptr) *kind = kNoPaper;
  return 0;
}

uint16_t JobSettings::DerivePaperFeedIndex() {
  const int32_t paper_id = TestScalingOptionBits(2 | 8) ? static_cast<int32_t>(GetOutputPaperSize()) : GetPaperSize();
  int kind = kNoPaper;
  const uint16_t index = FindPaperById(paper_id, &kind);
  uint32_t word = 0;
  if (kind == kModelPaper) {
    GetPaperSizeValue24(index, &word);
  } else if (kind == kUserPaper) {
    GetPaperValue24(index, &word);
  }
  const uint32_t position = word & 0xF;
  if (position == 0) return 0;
  // A paper names at most five feed values.
  return static_cast<uint16_t>(position - 1 > kMaxFeedIndex ? kMaxFeedIndex : position - 1);
}

int JobSettings::GetPaperFeedValue(int32_t* out, uint16_t index, int model_paper) {
  if (out == nullptr) return 0;
  const bool by_feed = TestModelHeaderFlags20(kFeedByPaper) != 0;
  const uint32_t feed = GetPaperFeedIndex();
  if (model_paper == 1) {
    *out = by_feed ? GetPaperDimension(static_cast<int>(feed), index) : GetPaperDimension(0, index);
    return 1;
  }
  int32_t value = 0;
  if (!by_feed || feed == 0 || feed > kMaxFeedIndex) {
    GetPaperValue32(index, &value);
  } else if (feed == 1) {
    GetPaperValue34(index, &value);
  } else if (feed == 2) {
    GetPaperValue36(index, &value);
  } else if (feed == 3) {
    GetPaperValue38(index, &value);
  } else {
    GetPaperValue40(index, &value);
  }
  *out = value;
  return 1;
}

uint32_t JobSettings::SourcePairMask(int32_t index) {
  uint32_t count = 0;
  GetPaperSourceCount(&count);
  if (index < 0 || index >= kMaxSources || static_cast<uint32_t>(index) >= count) return 0;
  return 1u << (2 * index);
}

uint32_t JobSettings::GetSourceMask() { return SourcePairMask(GetPaperSourceIndex()); }

uint32_t JobSettings::GetSourceMaskByIndex(uint16_t index) {
  const uint32_t mask = SourcePairMask(index);
  if (mask != 0 && TestScalingOptionBits(1) && !TestPaperSourceFlags8(static_cast<int16_t>(index), kSecondFeed)) {
    return mask << 1;  // the second bit of the pair
  }
  return mask;
}

uint32_t JobSettings::GetSourceMaskById(int32_t id) {
  uint32_t count = 0;
  GetPaperSourceCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    int32_t source_id = 0;
    if (GetPaperSourceId(static_cast<uint16_t>(i), &source_id) && source_id == id) {
      return GetSourceMaskByIndex(static_cast<uint16_t>(i));
    }
  }
  return 0;  // no source has the id
}

int JobSettings::IsPaperOrientationNatural() const {
  ExtentPair frame{};
  EdgeValues margins{};
  GetPageFrame(&frame, &margins, 1);
  const int64_t width = int64_t{frame.width} - margins.left - margins.right;
  const int64_t height = int64_t{frame.height} - margins.top - margins.bottom;
  const int32_t orientation = GetOrientation();
  if (width < height) return orientation == DMORIENT_PORTRAIT ? 1 : 0;
  if (width > height) return orientation == DMORIENT_LANDSCAPE ? 1 : 0;
  return orientation == DMORIENT_PORTRAIT ? 1 : 0;
}

int32_t JobSettings::GetPosterCode() const {
  switch (GetPagesPerSheet()) {
    case -1: return 4;
    case -2: return 9;
    case -3: return 16;
    case -4: return 2;
    default: return 0;
  }
}

int32_t JobSettings::GetPosterGrid() const {
  switch (GetPagesPerSheet()) {
    case -1: return 2;
    case -2: return 3;
    case -3: return 4;
    case -4: return 1;
    default: return 0;
  }
}

int JobSettings::GetSourceSizeLimits(int kind, ExtentPair* out) {
  if (out == nullptr) return 0;
  const uint16_t source = FindSourceIndexById(GetDefaultSource());
  int paper_kind = kNoPaper;
  FindPaperById(GetPaperSize(), &paper_kind);
  const bool minimum = paper_kind != kNoPaper && kind == 0;
  return minimum ? GetPaperSourceValue40(source, out, sizeof(*out)) : GetPaperSourceValue32(source, out, sizeof(*out));
}

}  // namespace kalimu::settings
