// The message boxes of the pages and the settings dialogs, as data: the fixed table of 25 boxes
// and the numbered settings messages (cases 0 to 49).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace kalimu::pages {

// One fixed box: caption and text string ids, icon and buttons (the style is icon | buttons).
struct TableMessage {
  uint16_t caption;
  uint16_t text;
  uint16_t icon;
  uint16_t buttons;
};

inline constexpr TableMessage kTableMessages[] = {
    {5000, 5010, MB_ICONINFORMATION, MB_OK},    {5000, 5011, MB_ICONINFORMATION, MB_OK},
    {5001, 5015, MB_ICONINFORMATION, MB_OK},    {5002, 5018, MB_ICONINFORMATION, MB_OK},
    {5000, 5012, MB_ICONINFORMATION, MB_OK},    {5001, 5016, MB_ICONINFORMATION, MB_OK},
    {5002, 5019, MB_ICONINFORMATION, MB_OK},    {5003, 5015, MB_ICONINFORMATION, MB_OK},
    {5004, 5022, MB_ICONINFORMATION, MB_OK},    {5002, 5020, MB_ICONINFORMATION, MB_OK},
    {5000, 5013, MB_ICONINFORMATION, MB_YESNO}, {5003, 5021, MB_ICONINFORMATION, MB_YESNO},
    {5004, 5023, MB_ICONINFORMATION, MB_YESNO}, {5001, 5017, MB_ICONINFORMATION, MB_OK},
    {5000, 5014, MB_ICONINFORMATION, MB_YESNO}, {5001, 5024, MB_ICONINFORMATION, MB_OK},
    {5037, 5039, 0, MB_OK},                     {5037, 5040, 0, MB_OK},
    {5038, 5039, 0, MB_OK},                     {5038, 5040, 0, MB_OK},
    {5038, 5041, 0, MB_OK},                     {5038, 5042, 0, MB_OK},
    {5038, 5044, 0, MB_OK},                     {5038, 5043, 0, MB_OK},
    {5038, 5045, 0, MB_OK},
};
inline constexpr size_t kTableMessageCount = std::size(kTableMessages);
static_assert(kTableMessageCount == 25);

// Where a settings message's caption comes from.
enum class CaptionSource : uint8_t {
  kString,          // the string of the caption id (0: no caption)
  kSource,          // the caption of the current paper source
  kDriverName,      // the driver name of the device mode
  kMediaType1Name,  // the name string of media type 1
};

// What is added to a settings message's text.
enum class TextExtra : uint8_t {
  kNone,
  kMediaLine,         // "<<media>>\n" before the text
  kMediaModeLine,     // "<<media/mode>>\n" before the text
  kMediaModeOption,   // the same with "/" and string 8005 for the mode option
  kAppend8095,        // string 8095 after the text
  kMediaIdLine,       // "\n" and the string of the media ids the model knows
  kInkSetLines,       // the ink-set comparison lines
};

struct SettingsMessageCase {
  uint16_t caption;
  uint16_t text;
  CaptionSource caption_source;
  TextExtra extra;
};

inline constexpr uint16_t kAbsentString = 0xFFFF;
inline constexpr SettingsMessageCase kNoSuchCase = {kAbsentString, kAbsentString, CaptionSource::kString,
                                                    TextExtra::kNone};

inline constexpr SettingsMessageCase kSettingsMessages[] = {
    /* 0 */ {8022, 8021, CaptionSource::kString, TextExtra::kNone},
    /* 1 */ {8018, 8017, CaptionSource::kString, TextExtra::kNone},
    /* 2 */ {8020, 8019, CaptionSource::kString, TextExtra::kNone},
    /* 3 */ {8025, 8024, CaptionSource::kString, TextExtra::kNone},
    /* 4 */ {8031, 8032, CaptionSource::kString, TextExtra::kNone},
    /* 5 */ {8056, 8055, CaptionSource::kString, TextExtra::kMediaIdLine},
    /* 6 */ {8028, 8027, CaptionSource::kString, TextExtra::kNone},
    /* 7 */ {8028, 8030, CaptionSource::kString, TextExtra::kNone},
    /* 8 */ {8028, 8029, CaptionSource::kString, TextExtra::kNone},
    /* 9 */ {8028, 8019, CaptionSource::kString, TextExtra::kNone},
    /* 10 */ {8025, 8052, CaptionSource::kString, TextExtra::kNone},
    /* 11 */ {8014, 8013, CaptionSource::kString, TextExtra::kNone},
    /* 12 */ {8025, 8038, CaptionSource::kString, TextExtra::kNone},
    /* 13 */ {8036, 8053, CaptionSource::kString, TextExtra::kNone},
    /* 14 */ {8036, 8037, CaptionSource::kString, TextExtra::kNone},
    /* 15 */ {8036, 8038, CaptionSource::kString, TextExtra::kNone},
    /* 16 */ {8018, 8021, CaptionSource::kString, TextExtra::kNone},
    /* 17 */ {0, 8093, CaptionSource::kSource, TextExtra::kMediaLine},
    /* 18 */ {0, 8094, CaptionSource::kSource, TextExtra::kMediaModeOption},
    /* 19 */ {0, 8101, CaptionSource::kSource, TextExtra::kAppend8095},
    /* 20 */ {1504, 8093, CaptionSource::kString, TextExtra::kMediaLine},
    /* 21 */ {8099, 8098, CaptionSource::kString, TextExtra::kNone},
    /* 22 */ {8151, 8150, CaptionSource::kString, TextExtra::kInkSetLines},
    /* 23 */ kNoSuchCase,
    /* 24 */ {2198, 2199, CaptionSource::kString, TextExtra::kNone},
    /* 25 */ {0, 2039, CaptionSource::kDriverName, TextExtra::kNone},
    /* 26 */ {0, 8254, CaptionSource::kDriverName, TextExtra::kNone},
    /* 27 */ {0, 2037, CaptionSource::kDriverName, TextExtra::kNone},
    /* 28 */ {1502, 8094, CaptionSource::kString, TextExtra::kMediaModeLine},
    /* 29 */ {1542, 8093, CaptionSource::kString, TextExtra::kMediaLine},
    /* 30 */ {1542, 8094, CaptionSource::kString, TextExtra::kMediaModeLine},
    /* 31 */ {1501, 8093, CaptionSource::kString, TextExtra::kMediaLine},
    /* 32 */ {1501, 8094, CaptionSource::kString, TextExtra::kMediaModeLine},
    /* 33 */ {0, 8104, CaptionSource::kMediaType1Name, TextExtra::kNone},
    /* 34 */ {8105, 8106, CaptionSource::kString, TextExtra::kNone},
    /* 35 */ {2258, 8101, CaptionSource::kString, TextExtra::kAppend8095},
    /* 36 */ {2515, 2516, CaptionSource::kString, TextExtra::kNone},
    /* 37 */ {2438, 2439, CaptionSource::kString, TextExtra::kNone},
    /* 38 */ {1504, 8093, CaptionSource::kString, TextExtra::kMediaLine},
    /* 39 */ {1502, 8093, CaptionSource::kString, TextExtra::kMediaLine},
    /* 40 */ {kAbsentString, 8093, CaptionSource::kString, TextExtra::kNone},
    /* 41 */ {kAbsentString, 8094, CaptionSource::kString, TextExtra::kNone},
    /* 42 */ {1500, 8093, CaptionSource::kString, TextExtra::kNone},
    /* 43 */ {1500, 8094, CaptionSource::kString, TextExtra::kNone},
    /* 44 */ {1548, 8093, CaptionSource::kString, TextExtra::kMediaLine},
    /* 45 */ {1549, 8093, CaptionSource::kString, TextExtra::kMediaLine},
    /* 46 */ {1548, 8094, CaptionSource::kString, TextExtra::kMediaModeLine},
    /* 47 */ {8136, 8095, CaptionSource::kString, TextExtra::kNone},
    /* 48 */ {1544, 8093, CaptionSource::kString, TextExtra::kMediaLine},
    /* 49 */ {1544, 8094, CaptionSource::kString, TextExtra::kMediaModeLine},
};
inline constexpr size_t kSettingsMessageCount = std::size(kSettingsMessages);
static_assert(kSettingsMessageCount == 50);

// The case of a number; numbers outside 0 to 49 get the case of two absent strings.
constexpr const SettingsMessageCase& SettingsMessageOf(int number) {
  return number >= 0 && static_cast<size_t>(number) < kSettingsMessageCount ? kSettingsMessages[number]
                                                                              : kNoSuchCase;
}

}  // namespace kalimu::pages
