// The ink meter's state, its commands and window procedure.
#include "kalimu/pages/ink_meter.h"

#include <algorithm>
#include <iterator>

#include "kalimu/pages/custom_controls.h"
#include "kalimu/platform/global_block.h"

namespace kalimu::pages {

namespace {

bool IsInkCode(int32_t code) { return code >= 1 && code <= kInkCodes; }

// Sets the level of an ink code; a code outside 1..12 (a slot or kind the model header holds
// beyond the meter's twelve) changes nothing.
void SetLevel(InkMeterState* state, int32_t code, int32_t level) {
  if (IsInkCode(code)) state->levels[code - 1] = level;
}

// The level word of an ink code in the caller's block (words 1..12).
int32_t WordLevel(const InkMeterData* data, int32_t code) {
  return data != nullptr && IsInkCode(code) ? data->words[code] : 0;
}

// The colour group's inks: 2..6, or 2..7 for kind 7.
int32_t GroupLast(int32_t kind) { return kind == 7 ? 7 : 6; }

void SetGroupFromBlock(InkMeterState* state, const InkMeterData* data) {
  for (int32_t code = 2; code <= GroupLast(state->kind); ++code) SetLevel(state, code, WordLevel(data, code));
}

void SetGroupTo(InkMeterState* state, int32_t level) {
  for (int32_t code = 2; code <= GroupLast(state->kind); ++code) SetLevel(state, code, level);
}

int32_t Word(const InkMeterData* data, int word) { return data != nullptr ? data->words[word] : 0; }

HMODULE ModuleWord(const InkMeterData* data, int word) {
  return data != nullptr ? InkMeterModuleAt(*data, word) : nullptr;
}

}  // namespace

int32_t InkLevel(const InkMeterState& state, int32_t code) {
  return IsInkCode(code) ? state.levels[code - 1] : 0;
}

COLORREF InkColour(int32_t code) {
  static constexpr COLORREF kColours[kInkCodes] = {
      RGB(0, 0, 0),       RGB(0, 255, 255),   RGB(255, 0, 255), RGB(255, 255, 0),
      RGB(128, 255, 255), RGB(255, 128, 255), RGB(128, 128, 0), RGB(128, 128, 128),
      RGB(255, 0, 80),    RGB(80, 0, 255),    RGB(192, 192, 192), RGB(196, 196, 196)};
  return IsInkCode(code) ? kColours[code - 1] : RGB(0, 0, 0);
}

void RunInkMeterCommand(InkMeterState* state, WPARAM command, const InkMeterData* data) {
  state->display_state = static_cast<int32_t>(command);
  state->active = 1;
  bool clamp = true;
  switch (command) {
    case kInkBlackSetUp:
      SetLevel(state, 1, 0);
      state->kind = Word(data, kInkWordKind);
      state->resource_module = ModuleWord(data, kInkWordModule);
      break;
    case kInkBlackLevel:
      SetLevel(state, 1, Word(data, kInkWordLevel1));
      break;
    case kInkBlackLow:
      SetLevel(state, 1, 5);
      clamp = false;
      break;
    case kInkBlackOut:
      SetLevel(state, 1, 0);
      clamp = false;
      break;
    case kInkGroupSetUp:
      state->kind = Word(data, kInkWordKind);
      state->resource_module = ModuleWord(data, kInkWordModule);
      for (int32_t code = 2; code <= 7; ++code) SetLevel(state, code, 0);
      break;
    case kInkGroupLevels:
      SetGroupFromBlock(state, data);
      break;
    case kInkGroupLow:
      if (state->kind == 2 || state->kind == 3) {
        SetGroupFromBlock(state, data);
      } else {
        SetGroupTo(state, 5);
      }
      break;
    case kInkGroupOut:
      SetGroupTo(state, 0);
      clamp = false;
      break;
    case kInkKindSetUp:
      state->kind = Word(data, kInkWordKind);
      state->resource_module = ModuleWord(data, kInkWordModule);
      SetLevel(state, state->kind, 0);
      break;
    case kInkKindLevel:
    case kInkKindLow:
      SetLevel(state, state->kind, WordLevel(data, state->kind));
      break;
    case kInkKindOut:
      SetLevel(state, state->kind, 0);
      clamp = false;
      break;
    case kInkSlotSetUp:
      state->kind = Word(data, kInkWordKind);
      SetLevel(state, Word(data, kInkWordSlot), 0);
      state->resource_module = ModuleWord(data, kInkWordSlotModule);
      state->slot = Word(data, kInkWordSlot);
      state->proportion = Word(data, kInkWordProportion);
      state->bottom_aligned = Word(data, kInkWordValueA);
      state->click_id = Word(data, kInkWordValueB);
      break;
    case kInkSlotLevel:
      SetLevel(state, state->slot, WordLevel(data, state->slot));
      break;
    case kInkSlotLow:
      SetLevel(state, state->slot, WordLevel(data, state->slot));
      state->show_label = Word(data, kInkWordValueA);
      break;
    case kInkSlotOut:
      SetLevel(state, state->slot, 0);
      clamp = false;
      break;
    case kInkBlankNoLabel:
      state->show_label = 0;
      clamp = false;
      break;
    case kInkSlotUncertain:
      SetLevel(state, state->slot, WordLevel(data, state->slot));
      state->warning_on = Word(data, kInkWordValueA);
      state->warning_kind = Word(data, kInkWordValueB);
      break;
    case kInkBlackUncertain:
      SetLevel(state, 1, Word(data, kInkWordLevel1));
      state->warning_on = Word(data, kInkWordValueA);
      state->warning_kind = Word(data, kInkWordValueB);
      break;
    case kInkGroupUncertain:
      SetGroupFromBlock(state, data);
      state->warning_on = Word(data, kInkWordValueA);
      state->warning_kind = Word(data, kInkWordValueB);
      break;
    default:  // kInkBlank and unknown commands: only the display state changes
      clamp = false;
      break;
  }
  if (clamp) {
    for (int32_t& level : state->levels) level = std::clamp<int32_t>(level, 0, 100);
  }
}

int32_t InkMeterShownLevel(const InkMeterState& state) {
  switch (state.display_state) {
    case kInkBlackSetUp: case kInkBlackLevel: case kInkBlackLow: case kInkBlackOut: case kInkBlackUncertain:
      return InkLevel(state, 1);
    case kInkGroupSetUp: case kInkGroupLevels: case kInkGroupLow: case kInkGroupOut: case kInkGroupUncertain: {
      if (state.kind == 2 || state.kind == 3) {
        return std::min(InkLevel(state, state.kind), InkLevel(state, state.kind + 3));
      }
      if (state.kind < 2 || state.kind > kInkCodes) return 0;
      int32_t lowest = InkLevel(state, 2);
      for (int32_t code = 3; code <= state.kind; ++code) lowest = std::min(lowest, InkLevel(state, code));
      return lowest;
    }
    case kInkKindSetUp: case kInkKindLevel: case kInkKindLow: case kInkKindOut:
      return InkLevel(state, state.kind);
    case kInkSlotSetUp: case kInkSlotLevel: case kInkSlotLow: case kInkSlotOut: case kInkSlotUncertain:
      return InkLevel(state, state.slot);
    default:
      return 0;
  }
}

InkMeterState* InkMeterStateOf(HWND window) {
  return reinterpret_cast<InkMeterState*>(GetWindowLongPtrA(window, 0));
}

namespace {

HPALETTE MakeGreyPalette() {
  struct {
    WORD version;
    WORD count;
    PALETTEENTRY entries[64];
  } palette{};
  palette.version = 0x300;
  palette.count = 64;
  for (int i = 0; i < 64; ++i) {
    const auto grey = static_cast<BYTE>(MulDiv(i, 255, 64));
    palette.entries[i] = PALETTEENTRY{grey, grey, grey, 0};
  }
  return CreatePalette(reinterpret_cast<LOGPALETTE*>(&palette));
}

bool Create(HWND window) {
  platform::GlobalBlock block;
  if (!block.Allocate(sizeof(InkMeterState))) return false;
  auto* state = reinterpret_cast<InkMeterState*>(block.data());
  GetClientRect(window, &state->client);
  state->active = 1;
  state->show_label = 1;
  state->click_id = -1;
  state->palette = MakeGreyPalette();
  SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(block.Release()));
  return true;
}

}  // namespace

LRESULT CALLBACK InkMeterWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CREATE) return Create(window) ? 0 : -1;
  InkMeterState* state = InkMeterStateOf(window);
  if (state == nullptr) return DefWindowProcA(window, message, wparam, lparam);
  switch (message) {
    case WM_DESTROY:
      if (state->palette != nullptr) DeleteObject(state->palette);
      SetWindowLongPtrA(window, 0, 0);
      platform::GlobalBlock::FreeLocked(state);
      return 0;
    case WM_ENABLE:
      state->active = wparam != 0 ? 1 : 0;
      if (wparam == 0) std::fill(std::begin(state->levels), std::end(state->levels), 0);
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_PAINT:
      PaintCustomControlMessage(window);
      return 0;
    case WM_LBUTTONDOWN:
      if (state->click_id != -1) {
        SendMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(state->click_id), 0),
                     reinterpret_cast<LPARAM>(window));
      }
      return 0;
    case WM_USER:
      RunInkMeterCommand(state, wparam, reinterpret_cast<const InkMeterData*>(lparam));
      InvalidateRect(window, nullptr, FALSE);
      return DefWindowProcA(window, message, wparam, lparam);
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

}  // namespace kalimu::pages
