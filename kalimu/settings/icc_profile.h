// Reading ICC colour profiles through the colour system: the header's device class and whole
// tags, each read with the size the profile gives for it (their contents: icc_tags.h).
#pragma once

#include <windows.h>
#include <icm.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "kalimu/platform/unique_handle.h"
#include "kalimu/settings/icc_tags.h"

namespace kalimu::settings {

// Larger tags are not read: none of the tags the driver reads comes near this.
inline constexpr size_t kMaxTagSize = 1u << 20;

struct ColorProfileTraits {
  using Handle = HPROFILE;
  static HPROFILE Empty() { return nullptr; }
  static void Close(HPROFILE profile) { CloseColorProfile(profile); }
};
using UniqueColorProfile = platform::UniqueHandle<ColorProfileTraits>;

// Opens a profile file for reading (shared read, existing file only); empty on failure.
UniqueColorProfile OpenProfileFile(const wchar_t* path);
// Whether the colour system reports the open profile as valid.
bool IsProfileValid(HPROFILE profile);
// The header's device class; nullopt when the header cannot be read.
std::optional<DWORD> ReadProfileClass(HPROFILE profile);
// The whole data of a tag; nullopt when the tag is absent, unreadable or larger than kMaxTagSize.
std::optional<std::vector<uint8_t>> ReadProfileTag(HPROFILE profile, TAGTYPE tag);

// The description of an open profile into an ANSI buffer (bounded by capacity, always
// terminated), as the profile lists read it. Answers the tag's byte count, or 0 when the
// profile has no usable description. With a null buffer only the count is answered.
uint32_t ReadProfileDescription(HPROFILE profile, char* buffer, uint32_t capacity);

}  // namespace kalimu::settings
