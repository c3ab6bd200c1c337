#include "kalimu/settings/icc_profile.h"

#include <algorithm>
#include <cstring>

#include "kalimu/platform/text_helpers.h"

namespace kalimu::settings {

UniqueColorProfile OpenProfileFile(const wchar_t* path) {
  PROFILE source{};
  source.dwType = PROFILE_FILENAME;
  source.pProfileData = const_cast<wchar_t*>(path);
  source.cbDataSize = static_cast<DWORD>((wcslen(path) + 1) * sizeof(wchar_t));
  return UniqueColorProfile(OpenColorProfileW(&source, PROFILE_READ, FILE_SHARE_READ, OPEN_EXISTING));
}

bool IsProfileValid(HPROFILE profile) {
  BOOL valid = FALSE;
  return IsColorProfileValid(profile, &valid) && valid;
}

std::optional<DWORD> ReadProfileClass(HPROFILE profile) {
  PROFILEHEADER header{};
  if (!GetColorProfileHeader(profile, &header)) return std::nullopt;
  return header.phClass;
}

std::optional<std::vector<uint8_t>> ReadProfileTag(HPROFILE profile, TAGTYPE tag) {
  BOOL present = FALSE;
  if (!IsColorProfileTagPresent(profile, tag, &present) || !present) return std::nullopt;
  DWORD size = 0;
  BOOL reference = FALSE;
  // The size query fails by design (no buffer) and reports the tag's size.
  GetColorProfileElement(profile, tag, 0, &size, nullptr, &reference);
  if (size == 0 || size > kMaxTagSize) return std::nullopt;
  std::vector<uint8_t> data(size);
  DWORD read = size;
  if (!GetColorProfileElement(profile, tag, 0, &read, data.data(), &reference)) return std::nullopt;
  data.resize(std::min<size_t>(read, size));
  return data;
}

uint32_t ReadProfileDescription(HPROFILE profile, char* buffer, uint32_t capacity) {
  const auto tag = ReadProfileTag(profile, kTagDescription);
  if (!tag) return 0;
  const auto description = ParseDescriptionTag(*tag);
  if (!description) return 0;
  if (buffer != nullptr && capacity != 0) platform::CopyStringA(buffer, capacity, description->text.c_str());
  return description->count;
}

}  // namespace kalimu::settings
