// The reading's lists, the ink-level table and what an accepted reply leaves behind.
#include "kalimu/status/status_reading.h"

#include <algorithm>

namespace kalimu::status {

void ByteList::Reset(size_t n) {
  *this = ByteList{};
  present = true;
  data[0] = static_cast<uint8_t>(std::min(n, kListCapacity));
}

void NumberList::Reset(size_t n) {
  *this = NumberList{};
  present = true;
  data[0] = static_cast<int32_t>(std::min(n, kListCapacity));
}

void StatusReading::SetInkFromByte(size_t index, uint8_t level_byte) {
  if (index >= kListCapacity) return;
  uint8_t level = kInkLevelUnknown;
  int32_t state = kInkStateLevel;
  switch (level_byte) {
    case 'r': state = kInkStateRefill; break;
    case 'w': state = kInkStateWarning; break;
    case 'n': state = kInkStateAbsent; break;
    case 'i': state = kInkStateCartridge; break;
    default: level = std::min(level_byte, kInkLevelFull); break;
  }
  ink_levels.data[1 + index] = level;
  ink_states.data[1 + index] = state;
}

void StatusReading::CleanUp() {
  if (!warnings.present) warnings.Clear();
  if (!ink_levels.present) ink_levels.Clear();
  if (!ink_codes.present) ink_codes.Clear();
  if (!paper_path_present) {
    paper_path[0] = 255;
    paper_path[1] = 255;
  }
  if (!cartridge.present) cartridge = CartridgeData{};
}

bool StatusReading::IsAcceptable() const {
  return status.present && (status.value != 0 || error.present);
}

}  // namespace kalimu::status
