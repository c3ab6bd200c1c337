// Sending the display's commands to a meter: the data block goes behind lParam.
#include <cstring>

#include "kalimu/pages/ink_display.h"

namespace kalimu::pages {

void SendMeterCommand(HWND window, int control, uint32_t command, const MeterBlock* block) {
  HWND meter = GetDlgItem(window, control);
  if (meter == nullptr) return;
  if (block == nullptr) {
    SendMessageA(meter, WM_USER, command, 0);
    return;
  }
  int32_t words[70] = {};
  words[0] = block->kind;
  for (size_t k = 0; k < kMeterInks; ++k) words[k + 1] = block->levels[k];
  if (command == 0 || command == 5 || command == 9) std::memcpy(&words[2], &block->module, sizeof(HMODULE));
  std::memcpy(&words[64], &block->module, sizeof(HMODULE));
  words[66] = block->slot;
  words[67] = block->proportion;
  words[68] = block->value_a;
  words[69] = block->value_b;
  SendMessageA(meter, WM_USER, command, reinterpret_cast<LPARAM>(words));
}

}  // namespace kalimu::pages
