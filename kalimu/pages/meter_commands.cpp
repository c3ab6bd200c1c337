// Sending the display's commands to a meter: the data block goes behind lParam.
#include "kalimu/pages/ink_display.h"

namespace kalimu::pages {

void SendMeterCommand(HWND window, int control, uint32_t command, const MeterBlock* block) {
  HWND meter = GetDlgItem(window, control);
  if (meter == nullptr) return;
  if (block == nullptr) {
    SendMessageA(meter, WM_USER, command, 0);
    return;
  }
  InkMeterData data = {};
  data.words[kInkWordKind] = block->kind;
  for (size_t k = 0; k < kMeterInks; ++k) data.words[kInkWordLevel1 + k] = block->levels[k];
  if (command == kInkBlackSetUp || command == kInkGroupSetUp || command == kInkKindSetUp) {
    SetInkMeterModule(&data, kInkWordModule, block->module);
  }
  SetInkMeterModule(&data, kInkWordSlotModule, block->module);
  data.words[kInkWordSlot] = block->slot;
  data.words[kInkWordProportion] = block->proportion;
  data.words[kInkWordValueA] = block->value_a;
  data.words[kInkWordValueB] = block->value_b;
  SendMessageA(meter, WM_USER, command, reinterpret_cast<LPARAM>(&data));
}

}  // namespace kalimu::pages
