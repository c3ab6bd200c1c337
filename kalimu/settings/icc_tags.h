// The contents of the ICC profile tags the driver reads ("desc", "mdea", "drvn", "inks"), taken
// from a tag's whole data. Every count and length inside a tag is checked against the tag's
// size before a byte is taken; a tag that claims more than it holds is treated as damaged.
// All numbers are big-endian, counted from the start of the tag's data (which opens with the
// type signature and four reserved bytes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kalimu::settings {

// Tag signatures, as the profile's tag table stores them.
inline constexpr uint32_t kTagDescription = 0x64657363;  // 'desc'
inline constexpr uint32_t kTagMediaIds = 0x6D646561;     // 'mdea'
inline constexpr uint32_t kTagDriverNames = 0x6472766E;  // 'drvn'
inline constexpr uint32_t kTagInkCodes = 0x696E6B73;     // 'inks'
inline constexpr uint32_t kClassOutputDevice = 0x70727472;  // 'prtr'

inline constexpr size_t kProfileMediaIdCount = 10;
inline constexpr size_t kProfileInkCodeCapacity = 16;
inline constexpr size_t kTagPrologueSize = 8;

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

// "drvn": whether one of the tag's driver names equals driver_name, ignoring (ASCII) case. Each
// name is taken as text up to the first zero within its length; a zero length ends the walk,
// and so does a name that would run past the tag.
bool DriverNamesTagNames(std::span<const uint8_t> tag, const char* driver_name);
// The tag's name count (0 for a tag too short to hold it).
uint16_t DriverNamesTagCount(std::span<const uint8_t> tag);

// "inks": the ink codes when they lie whole inside the tag and number at most
// kProfileInkCodeCapacity; nothing otherwise.
std::optional<std::vector<uint8_t>> ParseInkCodesTag(std::span<const uint8_t> tag);

}  // namespace kalimu::settings
