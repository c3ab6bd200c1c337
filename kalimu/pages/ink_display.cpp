// The ink display: meters set up from the model's ink positions, levels and warnings from the
// printer's status. Warnings are read per ink from the status object's wide form, so inks from
// the eleventh on are told apart as well as the first ten.
#include "kalimu/pages/ink_display.h"

#include <algorithm>

#include "kalimu/pages/page_helpers.h"

namespace kalimu::pages {
namespace {

constexpr uint32_t kNoStatusWord = 0x80000000;
constexpr uint32_t kStateAttention = 0x8000;
constexpr uint32_t kStateCartridge = 0x8;
constexpr int32_t kFullScale = 100;
constexpr int kInkPositions = 16;
constexpr int kGroupLabelInk = 16;  // the "InkInfo" key of the colour meter's label

uint32_t ModelInkPositions(const PageParam& param) {
  return std::min<uint32_t>(param.settings->GetInkIdLength(), kInkPositions);
}

// The set-up block of the meter of position i.
MeterBlock SlotSetUpBlock(const PageParam& param, int i) {
  MeterBlock block;
  block.kind = InkColourCode(GetInkPositionCode(*param.settings, i));
  block.slot = i + 1;
  block.proportion = kFullScale;
  block.value_a = 0;
  block.value_b = -1;
  block.module = ResourceModuleOf(param);
  return block;
}

// The reply's levels, as many as the reply, the meter block and the model all hold.
size_t CopyLevels(const uint8_t* levels, const PageParam& param, MeterBlock* block) {
  const size_t count = std::min<size_t>({levels[0], kMeterInks, ModelInkPositions(param)});
  std::copy(levels + 1, levels + 1 + count, block->levels);
  return count;
}

// The reply's levels in a block of the resource module; false when the reply has none.
bool ReadLevels(const status::PrinterStatus& status, const PageParam& param, MeterBlock* block, size_t* count) {
  const uint8_t* levels = status.GetInkLevels();
  if (levels == nullptr) return false;
  block->module = ResourceModuleOf(param);
  *count = CopyLevels(levels, param, block);
  return true;
}

void NoStatusMeters(HWND window, const PageParam& param) {
  if (HasMeterPerInk(param)) {
    ResetInkMeters(window, kNoStatusWord, param);
  } else {
    status::InkWarnings none;
    none.no_status = true;
    UpdateInkMeterControls(window, none, param);
  }
}

void EnableItem(HWND window, int control, bool on) {
  if (HWND item = GetDlgItem(window, control)) EnableWindow(item, on ? TRUE : FALSE);
}
void ShowItem(HWND window, int control, bool on) {
  if (HWND item = GetDlgItem(window, control)) ShowWindow(item, on ? SW_SHOW : SW_HIDE);
}

}  // namespace

int32_t InkColourCode(uint8_t ink_index) {
  switch (ink_index) {
    case 0:
    case 7:
    case 8:
      return 1;  // the black inks
    case 1: return 2;
    case 2: return 3;
    case 3: return 4;
    case 4: return 5;
    case 5: return 6;
    case 6: return 7;
    case 9: return 8;
    case 10: return 9;
    case 11: return 10;
    case 12: return 11;
    case 13: return 12;
    default: return 0;
  }
}

int HasMeterPerInk(const PageParam& param) {
  return param.settings != nullptr && param.settings->TestModelHeaderFlags36(512) ? 1 : 0;
}

void InitInkMeters(HWND window, const PageParam& param) {
  const uint32_t n = ModelInkPositions(param);
  if (!HasMeterPerInk(param)) {
    MeterBlock black;
    black.kind = 1;
    black.module = ResourceModuleOf(param);
    SendMeterCommand(window, kBlackMeter, kInkBlackSetUp, &black);
    MeterBlock group;
    group.kind = static_cast<int32_t>(n);
    group.module = ResourceModuleOf(param);
    SendMeterCommand(window, kColourMeter, kInkGroupSetUp, &group);
    char text[64] = {};
    GetInkInfoText(0, param, text, sizeof(text));
    SetDlgItemTextA(window, kBlackLabel, text);
    GetInkInfoText(kGroupLabelInk, param, text, sizeof(text));
    SetDlgItemTextA(window, kColourLabel, text);
    return;
  }
  for (uint32_t i = 0; i < n; ++i) {
    const MeterBlock block = SlotSetUpBlock(param, static_cast<int>(i));
    SendMeterCommand(window, kFirstInkMeter + static_cast<int>(i), kInkSlotSetUp, &block);
  }
}

void ResetInkMeters(HWND window, uint32_t /*warning_bits*/, const PageParam& param) {
  EnableItem(window, kInkArea, false);
  const MeterBlock zero;
  const uint32_t n = ModelInkPositions(param);
  for (uint32_t i = 0; i < n; ++i) SendMeterCommand(window, kFirstInkMeter + static_cast<int>(i), kInkSlotUncertain, &zero);
}

void UpdateInkMeterControls(HWND window, const status::InkWarnings& warnings, const PageParam& param) {
  const bool black_without_level = warnings.HasNoLevel(0);
  bool colour_without_level = false;
  const uint32_t n = ModelInkPositions(param);
  for (uint32_t i = 1; i < n; ++i) colour_without_level = colour_without_level || warnings.HasNoLevel(i);
  if (black_without_level) {
    EnableItem(window, kBlackFrame, false);
    EnableItem(window, kBlackMeter, false);
  }
  if (colour_without_level) {
    EnableItem(window, kColourFrame, false);
    EnableItem(window, kColourMeter, false);
  }
  if (black_without_level && colour_without_level) EnableItem(window, kInkArea, false);
}

int ShowInkStatus(HWND window, const PageParam& param, status::PrinterStatus& status) {
  const status::InkWarnings warnings = status.GetInkWarnings();
  if (warnings.no_status) {
    MessageBoxA(nullptr, kNoStatusText, "", MB_OK);
    NoStatusMeters(window, param);
    return 0;
  }
  MeterBlock block;
  size_t count = 0;
  if (!ReadLevels(status, param, &block, &count)) return 0;
  for (size_t i = 0; i < count; ++i) ShowItem(window, kFirstInkMeter + static_cast<int>(i), true);

  model::InkInfoValue ink_set = {};
  status.GetInkSet(&ink_set);
  if (IsInkSetDifferent(*param.settings, ink_set)) {
    // The black positions may now hold the other black ink: set them up again.
    uint32_t mask = 0;
    param.settings->GetInkCodeMask(&mask);
    for (uint32_t j = 0; j < ModelInkPositions(param); ++j) {
      if ((mask >> j & 1) == 0) continue;
      const MeterBlock setup = SlotSetUpBlock(param, static_cast<int>(j));
      SendMeterCommand(window, kFirstInkMeter + static_cast<int>(j), kInkSlotSetUp, &setup);
      SendMeterCommand(window, kFirstInkMeter + static_cast<int>(j), kInkSlotLow, &block);
    }
  }
  ShowItem(window, kBlackInkTextA, false);
  ShowItem(window, kBlackInkTextB, false);
  ShowItem(window, kInkArea, true);

  for (size_t i = 0; i < count; ++i) {
    const int meter = kFirstInkMeter + static_cast<int>(i);
    const uint32_t state = status.GetInkState(static_cast<uint32_t>(i + 1));
    if ((state & kStateAttention) != 0) {
      MeterBlock uncertain = block;
      uncertain.value_a = (state & kStateCartridge) != 0 ? 0 : 1;
      uncertain.levels[i] = kFullScale;
      SendMeterCommand(window, meter, kInkSlotUncertain, &uncertain);
    } else if (warnings.IsEmpty(i)) {
      SendMeterCommand(window, meter, kInkSlotOut, nullptr);
    } else {
      SendMeterCommand(window, meter, warnings.IsLow(i) ? kInkSlotLow : kInkSlotLevel, &block);
    }
  }
  return 1;
}

int ShowInkStatusTwoMeters(HWND window, const PageParam& param, uint32_t warning_bits, status::PrinterStatus& status) {
  const status::InkWarnings warnings = status.GetInkWarnings();
  if (warnings.no_status || warning_bits == kNoStatusWord) {
    NoStatusMeters(window, param);
    return 0;
  }
  MeterBlock block;
  size_t count = 0;
  if (!ReadLevels(status, param, &block, &count)) return 0;
  const auto without_level = [&] {
    if (HasMeterPerInk(param)) {
      ResetInkMeters(window, warning_bits, param);
    } else {
      UpdateInkMeterControls(window, warnings, param);
    }
  };

  // Low is told before empty: a black ink that is both shows low.
  if (warnings.IsLow(0)) {
    SendMeterCommand(window, kBlackMeter, kInkBlackLow, &block);
  } else if (warnings.IsEmpty(0)) {
    SendMeterCommand(window, kBlackMeter, kInkBlackOut, &block);
  } else if (warnings.HasNoLevel(0)) {
    without_level();
  } else {
    SendMeterCommand(window, kBlackMeter, kInkBlackLevel, &block);
  }

  for (size_t i = 1; i < count; ++i) {
    if (warnings.IsLow(i)) {
      SendMeterCommand(window, kColourMeter, kInkGroupLow, &block);
      return 1;
    }
    if (warnings.IsEmpty(i)) {
      SendMeterCommand(window, kColourMeter, kInkGroupOut, &block);
      return 1;
    }
    if (warnings.HasNoLevel(i)) {
      without_level();
      return 1;
    }
  }
  SendMeterCommand(window, kColourMeter, kInkGroupLevels, &block);
  return 1;
}

}  // namespace kalimu::pages
