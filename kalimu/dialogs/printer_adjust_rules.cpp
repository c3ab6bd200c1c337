#include "kalimu/dialogs/printer_adjust_rules.h"

#include <algorithm>

namespace kalimu::dialogs {
namespace {

bool IsDigitField(const char* text, size_t max_digits, uint32_t limit) {
  if (text == nullptr || text[0] == '\0') return false;
  uint32_t value = 0;
  size_t digits = 0;
  for (; text[digits] != '\0'; ++digits) {
    if (digits == max_digits || text[digits] < '0' || text[digits] > '9') return false;
    value = value * 10 + static_cast<uint32_t>(text[digits] - '0');
  }
  return value <= limit;
}

}  // namespace

AdjustCounts ClampAdjustCounts(uint32_t channels, uint32_t iwf, uint32_t ht) {
  return {std::min(channels, kAdjustChannelFields), std::min(iwf, kAdjustGroupFields),
          std::min(ht, kAdjustGroupFields)};
}

uint32_t ShownCountedValues(const uint8_t record[8], uint32_t fields) {
  return std::min({static_cast<uint32_t>(record[0]), kCountedRecordValues, fields});
}

AdjustRoad DecideAdjustOpening(bool printer_talk, int refresh) {
  if (!printer_talk) return AdjustRoad::kStore;
  switch (refresh) {
    case 0:
      return AdjustRoad::kPrinter;
    case 1:
      return AdjustRoad::kWait;
    default:
      return AdjustRoad::kStore;  // no helper: no reply will ever come
  }
}

AdjustRoad DecideAdjustTick(int32_t request_flag, uint32_t milliseconds_waited) {
  switch (request_flag) {
    case 2:
      return AdjustRoad::kPrinter;
    case 1:
      return AdjustRoad::kStore;
    case 0:
      return milliseconds_waited < kAdjustWaitMilliseconds ? AdjustRoad::kWait : AdjustRoad::kStore;
    default:
      return AdjustRoad::kStop;
  }
}

bool IsValidTwoDigitField(const char* text) { return IsDigitField(text, 2, kTwoDigitLimit); }
bool IsValidByteField(const char* text) { return IsDigitField(text, 3, kByteLimit); }

}  // namespace kalimu::dialogs
