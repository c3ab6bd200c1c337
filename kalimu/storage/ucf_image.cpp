// The user-settings file as plain bytes.
#include "kalimu/storage/ucf_image.h"

#include <cstring>

#include "kalimu/storage/user_settings_records.h"

namespace kalimu::storage {
namespace {

constexpr size_t kVersionBytes = sizeof(int16_t);

int16_t ReadInt16(const uint8_t* p) {
  int16_t value;
  std::memcpy(&value, p, sizeof value);
  return value;
}

uint32_t CountInUse(std::span<const uint8_t> entries, size_t entry_bytes, size_t state_at) {
  uint32_t count = 0;
  for (size_t at = 0; at + entry_bytes <= entries.size(); at += entry_bytes) {
    if (ReadInt16(entries.data() + at + state_at) == kEntryInUse) ++count;
  }
  return count;
}

}  // namespace

UcfImageStatus ParseUcfImage(std::span<const uint8_t> file, uint32_t settings_capacity, uint32_t paper_capacity,
                             UcfImage* out) {
  *out = {};
  if (file.size() < kVersionBytes || ReadInt16(file.data()) != kUcfVersion) return UcfImageStatus::kVersion;
  std::span<const uint8_t> rest = file.subspan(kVersionBytes);
  const size_t settings_bytes = size_t{settings_capacity} * kUserSettingsEntryBytes;
  const size_t settings_held = rest.size() < settings_bytes ? rest.size() : settings_bytes;
  out->settings_count = static_cast<uint32_t>(settings_held / kUserSettingsEntryBytes);
  out->settings = rest.first(size_t{out->settings_count} * kUserSettingsEntryBytes);
  if (settings_held < settings_bytes) {
    return settings_held % kUserSettingsEntryBytes == 0 ? UcfImageStatus::kOk : UcfImageStatus::kCut;
  }
  rest = rest.subspan(settings_bytes);
  const size_t paper_bytes = size_t{paper_capacity} * sizeof(UserPaperEntry);
  const size_t papers_held = rest.size() < paper_bytes ? rest.size() : paper_bytes;
  out->paper_count = static_cast<uint32_t>(papers_held / sizeof(UserPaperEntry));
  out->papers = rest.first(size_t{out->paper_count} * sizeof(UserPaperEntry));
  return papers_held % sizeof(UserPaperEntry) == 0 ? UcfImageStatus::kOk : UcfImageStatus::kCut;
}

uint32_t CountSettingsInUse(std::span<const uint8_t> entries) {
  return CountInUse(entries, kUserSettingsEntryBytes, kUserSettingsStateAt);
}

uint32_t CountPapersInUse(std::span<const uint8_t> entries) {
  return CountInUse(entries, sizeof(UserPaperEntry), offsetof(UserPaperEntry, state));
}

}  // namespace kalimu::storage
