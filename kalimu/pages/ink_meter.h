// The driver's own ink-level gauge, window class "KVInkMeterLIB": one ink, or a group of colour
// inks side by side, drawn as a three-dimensional column filled to the level in percent, with
// scale marks, an optional warning picture of the resource library and a percentage label. It is
// fed by the sub-commands of WM_USER (InkMeterCommand) with an InkMeterData block in lParam.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace kalimu::pages {

inline constexpr char kInkMeterClass[] = "KVInkMeterLIB";
inline constexpr int kInkCodes = 12;  // ink codes 1..12

// wParam of WM_USER.
enum InkMeterCommand : int32_t {
  kInkBlackSetUp = 0, kInkBlackLevel = 1, kInkBlackLow = 2, kInkBlackOut = 3, kInkBlank = 4,
  kInkGroupSetUp = 5, kInkGroupLevels = 6, kInkGroupLow = 7, kInkGroupOut = 8,
  kInkKindSetUp = 9, kInkKindLevel = 10, kInkKindLow = 11, kInkKindOut = 12,
  kInkSlotSetUp = 13, kInkSlotLevel = 14, kInkSlotLow = 15, kInkSlotOut = 16,
  kInkBlankNoLabel = 17, kInkSlotUncertain = 18, kInkBlackUncertain = 19, kInkGroupUncertain = 20,
};

// The caller's block behind lParam: 70 32-bit words; a module handle takes two words.
struct InkMeterData {
  int32_t words[70];
};
static_assert(sizeof(InkMeterData) == 280);

// Word positions of InkMeterData.
enum InkMeterWord : int {
  kInkWordKind = 0,         // ink code or group kind
  kInkWordLevel1 = 1,       // words 1..12: level of ink code k
  kInkWordModule = 2,       // resource module (words 2-3) of commands 0, 5, 9
  kInkWordSlotModule = 64,  // resource module (words 64-65) of command 13
  kInkWordSlot = 66,
  kInkWordProportion = 67,
  kInkWordValueA = 68,      // bottom aligned (13), show label (15), warning on (18-20)
  kInkWordValueB = 69,      // click id (13), warning kind (18-20)
};

inline HMODULE InkMeterModuleAt(const InkMeterData& data, int word) {
  HMODULE module;
  std::memcpy(&module, &data.words[word], sizeof(module));
  return module;
}
inline void SetInkMeterModule(InkMeterData* data, int word, HMODULE module) {
  std::memcpy(&data->words[word], &module, sizeof(module));
}

// Window data of one meter (extra slot 0): a moveable global block, locked while the window lives.
struct InkMeterState {
  int32_t kind;
  int32_t levels[kInkCodes];  // levels of ink codes 1..12, held in 0..100
  int32_t display_state;      // the last command received
  int32_t active;             // 1 after every command; copy of the last WM_ENABLE
  RECT client;                // client rectangle at creation
  HMODULE resource_module;    // warning pictures come from it
  char font_face[260];
  uint8_t font_size;
  int32_t slot;               // slot states: which level (1..12) is shown
  int32_t proportion;         // slot states: column height in percent of the available height
  int32_t picture_id;
  int32_t picture_size;
  int32_t label_row;
  int32_t picture_row;
  int32_t placement_case;     // 0 label inside the column, any other across the control
  int32_t headroom;
  int32_t level_row;
  int32_t show_label;
  int32_t click_id;           // -1 none
  int32_t bottom_aligned;
  int32_t warning_kind;       // 0 low-ink picture, else out-of-ink picture
  int32_t warning_on;
  HPALETTE palette;           // 64 greys
};
static_assert(std::is_trivially_copyable_v<InkMeterState>);

// The level of a single ink code, 0 for a code outside 1..12.
int32_t InkLevel(const InkMeterState& state, int32_t code);
// Runs one command on the state (levels, kind, module, slot ...); the window procedure repaints.
void RunInkMeterCommand(InkMeterState* state, WPARAM command, const InkMeterData* data);
// The level the meter shows in its display state.
int32_t InkMeterShownLevel(const InkMeterState& state);
// The colour of an ink code (black for an unknown one).
COLORREF InkColour(int32_t code);

InkMeterState* InkMeterStateOf(HWND window);
LRESULT CALLBACK InkMeterWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Draws the meter into a memory device context of its client size.
void DrawInkMeter(HWND window, InkMeterState* state, HDC dc);

}  // namespace kalimu::pages
