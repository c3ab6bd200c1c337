// The advanced settings dialog's rules that need no window: the filtering of typed adjustment
// and coordinate values, the toning circle's geometry, the dialog's width, the print-mode option
// checks, the render-method and render-option lists, the colour-mode radio allowance, the
// quality-level pairs, the monochrome sample's parameters and the check of its source picture.
// Plain computation: no Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kalimu/imaging/mono_preview.h"

namespace kalimu::dialogs {

// ---- Adjustment values ---------------------------------------------------------------------------

// A minus sign typed without digits: kept in the item until the edit loses the focus, read as 0.
inline constexpr int32_t kAdjustMinusMarker = -100;
inline constexpr int32_t kAdjustLimit = 25;
inline constexpr int32_t kFadeLimit = 50;  // toning row 4 (item 8, -50..0)

constexpr int32_t AdjustValueOrZero(int32_t value) { return value == kAdjustMinusMarker ? 0 : value; }

// What a change of an adjustment edit's text makes of it.
struct AdjustEditResult {
  char text[4];        // the text the edit should hold (at most 3 characters)
  bool text_changed;   // the edit must be given `text`
  bool negative;       // the sign the row now shows
  int32_t value;       // the shown value d, or kAdjustMinusMarker
  int32_t slider;      // the slider position: limit + d (limit for the marker)
};
// text: the edit's first three characters; negative: the row's sign so far; previous: the
// shown value before the change; plus_is_minus: the fade edit, where "+" means "-"; limit: 25,
// or 50 for the fade edit.
AdjustEditResult FilterAdjustEditText(const char* text, bool negative, int32_t previous, bool plus_is_minus,
                                      int32_t limit);

// ---- Toning circle -------------------------------------------------------------------------------

inline constexpr int32_t kToningRadius = 75;
inline constexpr int32_t kToningRadiusSquared = kToningRadius * kToningRadius;
inline constexpr int32_t kToningCircleSize = 151;  // the picture's width and height in pixels

struct ToningPoint {
  int32_t x;  // right positive
  int32_t y;  // up positive
};
constexpr bool IsInsideToningCircle(int32_t x, int32_t y) {
  return int64_t{x} * x + int64_t{y} * y <= kToningRadiusSquared;
}
// The edited coordinate held inside the circle with the other one fixed: ±√(5625 − other²) with
// its own sign, cut toward zero.
int32_t ClampToningCoordinate(int32_t edited, int32_t other);
// A click at (cx, cy) (dialog client pixels) on the circle whose picture's top-left corner is
// at (left, top): true and the point when it falls inside the picture and the circle. The
// circle's centre pixel is (left + 75, top + 75) for clicks and drawing alike.
bool MapToningClick(int32_t cx, int32_t cy, int32_t left, int32_t top, ToningPoint* point);
// The dialog client pixel of a toning point.
constexpr ToningPoint ToningPixel(ToningPoint point, int32_t left, int32_t top) {
  return {left + kToningRadius + point.x, top + kToningRadius - point.y};
}

// What a change of a coordinate edit's text makes of it.
struct CoordinateEditResult {
  char text[16];       // the kept text: digits, "-" in front when negative
  bool text_changed;   // a sign or another character was typed: the text must be put back
  int32_t value;       // the number of the kept text (0 for none)
};
// text: the edit's first 15 characters. The last sign typed wins.
CoordinateEditResult FilterCoordinateText(const char* text);

// ---- Width -----------------------------------------------------------------------------------------

// Management mode 3, or colour mode 7 on a toning model, shows the right-hand part.
constexpr bool ShowsRightHandPart(bool toning_model, int32_t colour_mode, int32_t management_mode) {
  return (toning_model && colour_mode == 7) || management_mode == 3;
}
constexpr int32_t AdvancedDialogWidth(bool toning_model, int32_t colour_mode, int32_t management_mode,
                                      int32_t full_width, int32_t right_part_width) {
  return ShowsRightHandPart(toning_model, colour_mode, management_mode) ? full_width
                                                                          : full_width - right_part_width;
}

// ---- Print-mode options ------------------------------------------------------------------------

// Quality level after check 2189 is turned on or off: 0↔5, 1↔4, 2↔7; other levels stay.
int32_t QualityLevelForPairs(int32_t level, bool on);

// State of a check box or label: -1 in a field means "leave it as it is".
struct ControlChange {
  int8_t checked = -1;
  int8_t enabled = -1;
  int8_t shown = -1;
};
struct ModeOptionChanges {
  ControlChange option_2130;
  ControlChange option_2178;
  ControlChange label_2108;  // shown and enabled with 2178; never checked
};
// The facts options 2130 and 2178 are decided on.
struct ModeOptionInput {
  int fill_case;            // 0, 1 or 2
  int32_t rule_r;           // rule of option 2130 in the current mode
  int32_t rule_v;           // rule of option 2178
  bool option_bit1;         // mode-option bit 1 is set
  bool option_bit2;         // mode-option bit 2 is set
  bool option4_active;      // the current mode's option 4 is active
  bool colour_mode5;        // colour mode 5 hides 2130
  bool special_feed;        // the current mode allows the special feed: 2178 hidden
  bool model_hides_2178;    // model header word 20 has flag 4
};
ModeOptionChanges DecideModeOptionChecks(const ModeOptionInput& input);

// Render methods: allowed bits 8, 2, 4, 1 are the items with data 0, 1, 2, 3, in that order.
struct RenderMethodList {
  int32_t count;
  int32_t data[4];
  int32_t selected;  // index of the current method; the last item when it is not listed; -1 for none
};
RenderMethodList ListRenderMethods(uint32_t allowed, int32_t current);

// Render options of combo 2193.
struct RenderOptionItem {
  uint16_t string_id;
  int32_t data;
  bool preselected;
};
struct RenderOptionList {
  int32_t count;
  RenderOptionItem items[4];
  bool enabled;
  int32_t preselected;  // index of the pre-selected item, -1 for none
  int32_t candidate;    // index chosen when nothing is pre-selected, -1 for none (the value stays)
};
// allowed: the current mode's allowed render options; mode_options: the mode-option bits;
// flags 16 skips the pre-selection.
RenderOptionList ListRenderOptions(uint32_t allowed, uint32_t mode_options, uint32_t flags);

// Colour-mode radios the current mode allows, as bits of kRadio*.
inline constexpr uint32_t kRadioIcm = 1;       // 2109
inline constexpr uint32_t kRadioColour = 2;    // 2110
inline constexpr uint32_t kRadioPhoto = 4;     // 2111
inline constexpr uint32_t kRadioNoAdjust = 8;  // 2112
uint32_t AllowedColourModeRadios(uint32_t allowed_bits, int32_t render_method);

// ---- Monochrome sample -------------------------------------------------------------------------

// The toning engine's parameters from the twelve adjustment items and the tone value; items
// holding the minus marker count as 0.
imaging::MonoPreviewParams MonoPreviewParamsFrom(const int32_t items[12], int32_t tone);

// A packed 24-bit BI_RGB bitmap without a colour table, as the monochrome sample's source must
// be: its size and where its pixels start.
struct MonoSampleDib {
  int32_t width;
  int32_t height;       // as stored (negative: top-down)
  uint32_t stride;      // 3 × width rounded up to 4
  uint32_t bits_offset;  // the header's size
};
// False for anything else, or for bytes that do not hold height × stride pixel bytes.
bool CheckMonoSampleDib(const void* data, size_t size, MonoSampleDib* out);

}  // namespace kalimu::dialogs
