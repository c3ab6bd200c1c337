// Bounded reading of ICC colour profiles: the header's device class and the four tags the driver
// reads ("desc", "mdea", "drvn", "inks"). Every tag is read whole, with the size the profile
// gives for it, and every count and length inside it is checked against that size before a
// byte is taken; a tag that claims more than it holds is treated as damaged.
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

namespace kalimu::settings {

// Tag signatures, as the profile stores them (big-endian four-character codes).
inline constexpr TAGTYPE kTagDescription = 0x64657363;  // 'desc'
inline constexpr TAGTYPE kTagMediaIds = 0x6D646561;     // 'mdea'
inline constexpr TAGTYPE kTagDriverNames = 0x6472766E;  // 'drvn'
inline constexpr TAGTYPE kTagInkCodes = 0x696E6B73;     // 'inks'
inline constexpr DWORD kClassOutputDevice = 0x70727472;  // 'prtr'

inline constexpr size_t kProfileMediaIdCount = 10;
inline constexpr size_t kProfileInkCodeCapacity = 16;
// Every tag's data opens with its type signature and four reserved bytes.
inline constexpr size_t kTagPrologueSize = 8;
// Larger tags are not read: none of the four tags comes near this.
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

// --- Tag contents, from a tag's whole data ---------------------------------------------------

// "desc": the ASCII description's byte count (its terminator included) and its text, cut at the
// first zero within the counted bytes. Nothing for a count of 0 or a count beyond the tag.
struct DescriptionText {
  uint32_t count;
  std::string text;
};
std::optional<DescriptionText> ParseDescriptionTag(std::span<const uint8_t> tag);

// "mdea": the media ids, at most kProfileMediaIdCount of them, in order; ids that do not lie
// whole inside the tag are not taken. A tag too short for its skipped items or its id count
// gives no ids.
std::vector<uint32_t> ParseMediaIdTag(std::span<const uint8_t> tag);

// "drvn": whether one of the tag's driver names equals driver_name, ignoring case. Each name
// is taken as text up to the first zero within its length; a zero length ends the walk, and
// so does a name that would run past the tag.
bool DriverNamesTagNames(std::span<const uint8_t> tag, const char* driver_name);
// The tag's name count (0 for a tag too short to hold it).
uint16_t DriverNamesTagCount(std::span<const uint8_t> tag);

// "inks": the ink codes when they lie whole inside the tag and number at most
// kProfileInkCodeCapacity; nothing otherwise.
std::optional<std::vector<uint8_t>> ParseInkCodesTag(std::span<const uint8_t> tag);

// The description of an open profile into an ANSI buffer (bounded by capacity, always
// terminated), as the profile lists read it. Answers the tag's byte count, or 0 when the
// profile has no usable description. With a null buffer only the count is answered.
uint32_t ReadProfileDescription(HPROFILE profile, char* buffer, uint32_t capacity);

}  // namespace kalimu::settings
