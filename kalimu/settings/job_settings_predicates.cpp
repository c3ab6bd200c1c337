// Questions about the current settings, lookups of ids in the model's tables, option bits and
// the duplex and binding-edge combinations.
#include <cstring>

#include "kalimu/settings/job_settings.h"

namespace kalimu::settings {
namespace {

// Print-mode record words used by the lookups.
constexpr uint32_t kModeHidden = 0x80;  // word 24
constexpr uint32_t kHeadIdCheckOffsets[] = {88, 92};
constexpr DWORD kHeadIdBytes = 112;

// Over records first .. first + count - 1 that mode_of accepts (writing their mode id): the
// wanted id when one carries it, else the first accepted record's id; 0 when none is accepted.
template <class ModeOf>
int32_t WantedOrFirst(uint32_t first, uint32_t count, int32_t wanted, ModeOf mode_of) {
  int32_t first_id = 0;
  bool have_first = false;
  for (uint32_t i = first; i < first + count; ++i) {
    int32_t id = 0;
    if (!mode_of(static_cast<uint16_t>(i), &id)) continue;
    if (id == wanted) return wanted;
    if (!have_first) {
      first_id = id;
      have_first = true;
    }
  }
  return first_id;
}

}  // namespace

void JobSettings::SetPaperOptionBit256Inverted(int on) {
  const int wanted = on != 0 ? 0 : 1;
  if (TestPaperOptionBits(256) == wanted) return;
  SetPaperOptionBits(256, wanted);
  SetPaperOptionBits(32 | 64, 0);
}

int JobSettings::IsRotated180() const {
  return (TestLayoutOptionBits(2048) != 0) != (TestLayoutOptionBits(256) != 0) ? 1 : 0;
}

int JobSettings::IsPresetKind1Or4() const {
  const int32_t kind = GetPresetKind();
  return kind == 1 || kind == 4 ? 1 : 0;
}

int JobSettings::IsDuplexOn() const {
  const int32_t duplex = GetDuplex();
  return duplex == DMDUP_VERTICAL || duplex == DMDUP_HORIZONTAL ? 1 : 0;
}

int JobSettings::IsBindingEdge(uint32_t edge) const {
  return IsDuplexOn() && GetBindingEdge() == edge ? 1 : 0;
}

void JobSettings::SetBindingEdge0() {
  SetBindingEdge(0);
  SetDuplex(DMDUP_HORIZONTAL);
}

void JobSettings::SetBindingEdge1() {
  SetBindingEdge(1);
  SetDuplex(DMDUP_HORIZONTAL);
}

void JobSettings::SetBindingEdge2() {
  SetBindingEdge(2);
  SetDuplex(DMDUP_VERTICAL);
}

int JobSettings::IsMetricLocale() {
  char answer[3] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, answer, sizeof(answer));
  return std::strcmp(answer, "1") == 0 ? 0 : 1;  // "1" is the U.S. system
}

int JobSettings::TestPaperFlags(int16_t index, uint32_t mask) { return TestPaperSizeFlags16(index, mask); }

int JobSettings::UserPaperAllowsSource(uint16_t index, uint32_t mask) {
  return TestPaperFlags16(index, mask);
}

int JobSettings::PaperMatchesFeed(uint16_t index, uint32_t kinds) {
  int32_t word = 0;
  if (!GetPaperSizeValue4(index, &word)) return 0;
  return ((word & 1) && (kinds & 1)) || ((word & 2) && (kinds & 2)) ? 1 : 0;
}

int JobSettings::IsUserPaperSelected() {
  uint32_t count = 0;
  GetPaperSizeCount(&count);
  return GetPaperSizeIndex() >= static_cast<int32_t>(count) ? 1 : 0;
}

int JobSettings::IsPaperIdAt(int32_t id, uint16_t index) {
  int32_t paper_id = 0;
  return GetPaperSizeId(index, &paper_id) && paper_id == id ? 1 : 0;
}

int32_t JobSettings::GetPaperDimension(int selector, uint16_t index) {
  int32_t value = 0;
  switch (selector) {
    case 1: GetPaperSizeValue34(index, &value); break;
    case 2: GetPaperSizeValue36(index, &value); break;
    case 3: GetPaperSizeValue38(index, &value); break;
    case 4: GetPaperSizeValue40(index, &value); break;
    default: GetPaperSizeValue32(index, &value); break;
  }
  return value;
}

void JobSettings::StorePaperFeedIndex() { SetPaperFeedIndex(DerivePaperFeedIndex()); }

uint16_t JobSettings::FindSourceIndexById(int32_t id) {
  uint32_t count = 0;
  GetPaperSourceCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    int32_t source_id = 0;
    if (GetPaperSourceId(static_cast<uint16_t>(i), &source_id) && source_id == id) return static_cast<uint16_t>(i);
  }
  return 0;
}

int JobSettings::HasHeadIdFlags() {
  if (!TestModelHeaderFlags20(2)) return 0;
  uint8_t head_id[kHeadIdBytes] = {};
  DWORD size = sizeof(head_id);
  if (registry().ReadValue(nullptr, nullptr, storage::kValueRxHeadId, head_id, &size, 0) != ERROR_SUCCESS ||
      size < kHeadIdBytes) {
    return 0;
  }
  for (uint32_t offset : kHeadIdCheckOffsets) {
    uint32_t word = 0;
    std::memcpy(&word, head_id + offset, sizeof(word));
    if (word != 1) return 0;
  }
  return 1;
}

int JobSettings::FindMediaRecord(int32_t id, uint16_t* index) {
  uint32_t count = 0;
  GetMediaTypeCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    int32_t media_id = 0;
    if (GetMediaTypeId(static_cast<uint16_t>(i), &media_id) && media_id == id) {
      *index = static_cast<uint16_t>(i);
      return 1;
    }
  }
  *index = 0;
  return 0;
}

uint16_t JobSettings::FindMediaIndexById(int32_t id) {
  uint16_t index = 0;
  FindMediaRecord(id, &index);
  return index;
}

int JobSettings::IsKnownMediaId(int32_t id) {
  uint16_t index = 0;
  return FindMediaRecord(id, &index);
}

uint16_t JobSettings::FindMediaIndexOfMode(uint16_t mode_index) {
  int32_t media_id = 0;
  if (!GetPrintModeMediaId(mode_index, &media_id)) return 0;
  return FindMediaIndexById(media_id);
}

int JobSettings::IsModeVisible(uint16_t mode_index) {
  return hidden_modes_ == 1 || !TestPrintModeFlags24(static_cast<int16_t>(mode_index), kModeHidden) ? 1 : 0;
}

void JobSettings::SelectVisibleModeByIndex(uint16_t mode_index) {
  uint32_t count = 0;
  GetPrintModeCount(&count);
  int32_t media_id = 0;
  int32_t mode_id = 0;
  if (mode_index >= count || !IsModeVisible(mode_index) || !GetPrintModeMediaId(mode_index, &media_id) ||
      !GetPrintModeId(mode_index, &mode_id)) {
    return;
  }
  SetMediaId(static_cast<uint32_t>(media_id));
  SetModeId(mode_id);
}

uint16_t JobSettings::FindAlternativeMode(uint16_t mode_index, int variant) {
  return FindModeIndex(static_cast<int32_t>(GetMediaId()), GetAlternativeModeId(mode_index, variant));
}

int32_t JobSettings::FindModeForMediaValue(int32_t mode_id) {
  uint32_t count = 0;
  GetPrintModeCount(&count);
  const auto media_id = static_cast<int32_t>(GetMediaId());
  return WantedOrFirst(0, count, mode_id, [this, media_id](uint16_t index, int32_t* id) {
    int32_t record_media = 0;
    return IsModeVisible(index) && GetPrintModeMediaId(index, &record_media) && record_media == media_id &&
           GetPrintModeId(index, id);
  });
}

int32_t JobSettings::FindIdForCurrentMedia(int group_first, int group_count, int32_t wanted_mode_id) {
  const auto media_id = static_cast<int32_t>(GetMediaId());
  return WantedOrFirst(static_cast<uint32_t>(group_first), static_cast<uint32_t>(group_count), wanted_mode_id,
                       [this, media_id](uint16_t index, int32_t* id) {
                         int32_t record_media = 0;
                         return GetPresetMediaId(index, &record_media) && record_media == media_id &&
                                GetPresetModeId(index, id);
                       });
}

int32_t JobSettings::FindPresetForMedia(int32_t mode_id) {
  uint32_t groups01 = 0;
  uint32_t group2 = 0;
  SumPresetGroups01(&groups01);
  GetPresetGroup2Count(&group2);
  return FindIdForCurrentMedia(static_cast<int>(groups01), static_cast<int>(group2), mode_id);
}

int32_t JobSettings::FindPresetForMediaGroup0(int32_t mode_id) {
  uint32_t group0 = 0;
  GetPresetGroup0Count(&group0);
  return FindIdForCurrentMedia(0, static_cast<int>(group0), mode_id);
}

uint16_t JobSettings::GetColorAdjustMethod() const {
  const int32_t variant = GetModeVariant();
  uint16_t method = variant == 0 ? 3 : 6;
  if (variant == 1) {
    const uint32_t color_mode = GetColorMode();
    if ((color_mode == 0 && GetQualityLevel() == 0) || color_mode == 2) method |= 0x100;
  }
  if (GetICMMethod() == DMICMMETHOD_SYSTEM) method &= static_cast<uint16_t>(~0x100u);
  return method;
}

void JobSettings::GetPageFrame(ExtentPair* size, EdgeValues* margins, int paper) const {
  if (paper != 0) {
    GetPaperDotExtent(size);
    GetPaperMargins(margins);
  } else {
    GetOutputExtent(size);
    GetOutputMargins(margins);
  }
}

void JobSettings::GetResolutionPair(uint16_t out[2], int device) const {
  if (out == nullptr) return;
  ResolutionPair resolution{};
  if (device != 0) {
    GetDeviceResolution(&resolution);
  } else {
    GetRenderResolution(&resolution);
  }
  out[0] = static_cast<uint16_t>(resolution.x);
  out[1] = static_cast<uint16_t>(resolution.y);
}

void JobSettings::SetWatermarkEnabled(uint32_t on) {
  SetWatermarkFlags(on);
  if (on != 1) return;
  // The kind bit of the selected watermark; none when the store has no such entry.
  int32_t kind = 0;
  const int32_t index = GetWatermarkIndex();
  if (index < 0 || !GetEntryValue6(static_cast<uint16_t>(index), &kind)) return;
  SetWatermarkFlagBits(kind == 0 ? 2 : kind == 1 ? 4 : 8, 1);
}

void JobSettings::SelectWatermarkByIndex() {
  if (!IsWatermarkOn()) return;
  const int32_t index = GetWatermarkIndex();
  uint32_t entries = 0;
  uint32_t built_in = 0;
  uint32_t capacity = 0;
  GetEntryCount(&entries);
  GetBuiltInCount(&built_in);
  GetUserCapacity(&capacity);
  if (index < 0 || static_cast<uint32_t>(index) > entries || static_cast<uint32_t>(index) > built_in + capacity) {
    SetWatermarkEnabled(0);
  } else if (static_cast<uint32_t>(index) < entries) {
    SelectWatermark(static_cast<int16_t>(index));
    SetWatermarkEnabled(1);
  }
  // An index equal to the entry count neither selects a watermark nor switches it off.
}

void JobSettings::StoreUiLanguage() {
  char path[MAX_PATH] = {};
  SetUiLanguage(GetUiResourceModulePath(path, sizeof(path)) ? GetModuleLanguageId(path) : GetModuleLanguageId(nullptr));
}

int JobSettings::IsSameDevMode(const JobSettings& other, int mode) const {
  if (mode == 2) return 1;
  if (std::strcmp(printer_name_, other.printer_name_) != 0) return 0;
  // The public fields that decide whether two records print alike, in the order compared.
  using Getter = uint32_t (DevModeAccessor::*)() const;
  static constexpr Getter kCompared[] = {
      &DevModeAccessor::GetSpecVersion, &DevModeAccessor::GetDriverVersion, &DevModeAccessor::GetSize,
      &DevModeAccessor::GetDriverExtra, &DevModeAccessor::GetFields,        &DevModeAccessor::GetICMMethod,
      &DevModeAccessor::GetICMIntent,   &DevModeAccessor::GetMediaType};
  using SignedGetter = int32_t (DevModeAccessor::*)() const;
  static constexpr SignedGetter kComparedSigned[] = {
      &DevModeAccessor::GetOrientation,   &DevModeAccessor::GetPaperSize,    &DevModeAccessor::GetPaperLength,
      &DevModeAccessor::GetPaperWidth,    &DevModeAccessor::GetDefaultSource, &DevModeAccessor::GetPrintQuality,
      &DevModeAccessor::GetColor,         &DevModeAccessor::GetYResolution};
  for (Getter get : kCompared) {
    if ((this->*get)() != (other.*get)()) return 0;
  }
  for (SignedGetter get : kComparedSigned) {
    if ((this->*get)() != (other.*get)()) return 0;
  }
  return 1;
}

}  // namespace kalimu::settings
