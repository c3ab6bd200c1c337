// What the status object reads out of its last parsed reply.
#include <algorithm>
#include <cstring>

#include "kalimu/status/printer_status.h"

namespace kalimu::status {
namespace {

constexpr uint32_t kNoStatusWord = 0x80000000;
constexpr uint32_t kInkOutBit = 0x100000;
constexpr uint32_t kInkEmptyBit = 0x400;
constexpr uint32_t kStateAttentionBit = 0x8000;
constexpr uint8_t kErrorInkEmpty = 5;
constexpr size_t kBlockValues = 7;    // IWF and HT records: count byte and seven values
constexpr size_t kHeadInfoInks = 10;  // channel values in the head-information record

int32_t StateOf(const ByteValue& value, uint8_t on) {
  if (!value.present) return -1;
  return value.value == on ? 1 : 0;
}

int CopyBlock(const ByteList& block, uint8_t out[8]) {
  std::memset(out, 0, 8);
  if (!block.present) return 0;
  const size_t n = std::min<size_t>(block.count(), kBlockValues);
  out[0] = static_cast<uint8_t>(n);
  std::memcpy(out + 1, block.values(), n);
  return 1;
}

// A 32-bit word with one bit shifted left by `by`; bits shifted past bit 31 are lost.
uint32_t ShiftedBit(uint32_t bit, size_t by) { return by < 32 ? bit << by : 0; }

}  // namespace

const uint8_t* PrinterStatus::GetInkLevels() const {
  return reading_.ink_levels.present ? reading_.ink_levels.data : nullptr;
}
const char* PrinterStatus::GetSbText() const { return reading_.sb_present ? reading_.sb_text : nullptr; }
const uint8_t* PrinterStatus::GetRcData() const { return reading_.rc.present ? reading_.rc.data : nullptr; }
const char* PrinterStatus::GetSerialText() const {
  return reading_.serial_present ? reading_.serial_text : nullptr;
}
const uint8_t* PrinterStatus::GetHpiBlock() const {
  return reading_.hpi_present ? reading_.hpi_block : nullptr;
}
uint32_t PrinterStatus::GetHpiBlockSize() const {
  return reading_.hpi_present ? reading_.hpi_block[1] + 2u : 0;
}

int PrinterStatus::HasWarningCodeZero() const {
  const ByteList& w = reading_.warnings;
  return w.present && std::find(w.values(), w.values() + w.count(), 0) != w.values() + w.count() ? 1 : 0;
}

int PrinterStatus::GetReplyFlag20() const { return StateOf(reading_.flag20, 1) == 1 ? 1 : 0; }

int32_t PrinterStatus::GetBinInfo() const {
  if (!reading_.paper_path_present) return -1;
  if (reading_.paper_path[0] != 3) return 0;
  if (reading_.paper_path[1] == 1) return 1;
  return reading_.paper_path[1] == 2 ? 2 : 0;
}

int32_t PrinterStatus::GetStackerState() const { return StateOf(reading_.record24, 2); }
int32_t PrinterStatus::GetPgPosState() const { return StateOf(reading_.record24, 5); }
int32_t PrinterStatus::GetOvTempState() const { return StateOf(reading_.temperature, 1); }

int PrinterStatus::GetIwfInfo(uint8_t out[8]) const { return CopyBlock(reading_.iwf, out); }
int PrinterStatus::GetHtInfo(uint8_t out[8]) const { return CopyBlock(reading_.ht, out); }

const uint8_t* PrinterStatus::GetChannelValues(uint32_t* count) const {
  *count = 0;
  const ByteList& values = reading_.channels.values;
  if (!reading_.channels.present || !values.present) return nullptr;
  // No more than were received.
  *count = static_cast<uint32_t>(std::clamp<int64_t>(model_info_.ink_count, 0, values.count()));
  return values.values();
}

const uint8_t* PrinterStatus::GetChannelValues2(uint32_t* count) const {
  uint32_t first = 0;
  const uint8_t* values = GetChannelValues(&first);
  *count = 0;
  if (values == nullptr) return nullptr;
  const size_t rest = reading_.channels.values.count() - first;
  *count = static_cast<uint32_t>(std::min<size_t>(first, rest));
  return *count > 0 ? values + first : nullptr;
}

uint32_t PrinterStatus::GetInkState(uint32_t ink) const {
  const NumberList& states = reading_.ink_states;
  if (!states.present || ink == 0 || ink > states.count()) return 0;
  const uint32_t state = static_cast<uint32_t>(states.data[ink]);
  return (state & 0xF) != 0 ? state | kStateAttentionBit : state;
}

uint32_t PrinterStatus::GetWarningBits() const {
  if (!reading_.status.present) return kNoStatusWord;
  uint32_t word = 0;
  const ByteList& levels = reading_.ink_levels;
  if (levels.present) {
    const bool empty_error = reading_.status.value == 0 && reading_.error.present &&
                             reading_.error.value == kErrorInkEmpty;
    for (size_t i = 0; i < levels.count(); ++i) {
      if (levels.values()[i] == kInkLevelUnknown) word |= ShiftedBit(kInkOutBit, i);
      if (empty_error && levels.values()[i] == 0) word |= ShiftedBit(kInkEmptyBit, i);
    }
  }
  const ByteList& warnings = reading_.warnings;
  if (warnings.present) {
    for (size_t i = 0; i < warnings.count(); ++i) {
      const uint8_t code = warnings.values()[i];
      if (code >= 16 && code <= 25) word |= 1u << (code - 16);
    }
  }
  return word;
}

InkWarnings PrinterStatus::GetInkWarnings() const {
  InkWarnings out;
  if (!reading_.status.present) {
    out.no_status = true;
    return out;
  }
  const ByteList& levels = reading_.ink_levels;
  if (levels.present) {
    const bool empty_error = reading_.status.value == 0 && reading_.error.present &&
                             reading_.error.value == kErrorInkEmpty;
    for (size_t i = 0; i < std::min<size_t>(levels.count(), 32); ++i) {
      if (levels.values()[i] == kInkLevelUnknown) out.no_level |= 1u << i;
      if (empty_error && levels.values()[i] == 0) out.empty |= 1u << i;
    }
  }
  const ByteList& warnings = reading_.warnings;
  if (warnings.present) {
    for (size_t i = 0; i < warnings.count(); ++i) {
      const uint8_t code = warnings.values()[i];
      if (code >= 16 && code < 16 + kWideWarningInks) out.low |= 1u << (code - 16);
    }
  }
  return out;
}

InkWarnings InkWarningsFromWord(uint32_t word) {
  InkWarnings out;
  if (word == kNoStatusWord) {
    out.no_status = true;
    return out;
  }
  constexpr size_t kPackedInks = 10;
  for (size_t i = 0; i < kPackedInks; ++i) {
    if ((word >> i & 1) != 0) out.low |= 1u << i;
    if ((word & kInkEmptyBit << i) != 0) out.empty |= 1u << i;
    if ((word & ShiftedBit(kInkOutBit, i)) != 0) out.no_level |= 1u << i;
  }
  return out;
}

int PrinterStatus::HasAnyStatusBit(uint32_t word) {
  return word == kNoStatusWord || (word & 0x3FFFFFFF) != 0 ? 1 : 0;
}

uint32_t PrinterStatus::GetInkWarningSummary() const {
  // Position of the first ink whose code has a zero low byte (binary replies only).
  uint32_t k = 0;
  const NumberList& codes = reading_.ink_codes;
  if (reading_.form == ReplyForm::kBinary && codes.present) {
    for (size_t i = 0; i < codes.count(); ++i) {
      if ((codes.values()[i] & 0xFF) == 0) {
        k = static_cast<uint32_t>(i);
        break;
      }
    }
  }
  const ByteList& warnings = reading_.warnings;
  if (!warnings.present) return 0;
  uint32_t summary = 0;
  for (size_t i = 0; i < warnings.count(); ++i) {
    const uint8_t code = warnings.values()[i];
    if (code < 0x10 || code > 0x1F) continue;
    summary |= (code & 0xFu) == k ? 0x1u : 0x10000u;
  }
  return summary;
}

namespace {

// The reply's ink codes into a record of `capacity` code bytes: the high byte of a binary
// code, the low byte of a text one. Answers the number copied.
uint32_t CopyInkCodes(const StatusReading& reading, uint8_t* codes, size_t capacity) {
  const NumberList& list = reading.ink_codes;
  const size_t n = std::min<size_t>(list.count(), capacity);
  for (size_t i = 0; i < n; ++i) {
    const int32_t code = list.values()[i];
    codes[i] = static_cast<uint8_t>(reading.form == ReplyForm::kBinary ? code >> 8 : code);
  }
  return static_cast<uint32_t>(n);
}

}  // namespace

void PrinterStatus::GetInkCodes(InkCodeRecord* out) const {
  if (!reading_.ink_codes.present || !reading_.ink_levels.present) {
    out->valid = 0;
    return;
  }
  *out = InkCodeRecord{};
  out->count = CopyInkCodes(reading_, out->codes, sizeof out->codes);
  out->valid = 1;
}

int PrinterStatus::GetInkSet(model::InkInfoValue* out) {
  const int32_t flag = GetRequestFlag();
  *out = model::InkInfoValue{};
  if (flag == kRequestReplyStored) {
    LoadStoredStatus();
    const ByteList& levels = reading_.ink_levels;
    if (levels.present &&
        std::find(levels.values(), levels.values() + levels.count(), kInkLevelUnknown) !=
            levels.values() + levels.count()) {
      return 1;
    }
    if (reading_.ink_codes.present && levels.present) {
      out->ink_id_length = CopyInkCodes(reading_, out->codes, sizeof out->codes);
      out->valid = 1;
      return 1;
    }
  }
  DWORD size = sizeof *out;
  if (registry_.ReadValueById(storage::kValueInkInf, out, &size, storage::kViewDefault) != ERROR_SUCCESS) {
    *out = model::InkInfoValue{};
  }
  return 0;
}

void PrinterStatus::GetInkSetReport(HeadInfoRecord* out) const {
  uint32_t count = 0;
  const uint8_t* first = GetChannelValues(&count);
  out->valid = first != nullptr ? 1 : 0;
  if (first != nullptr) {
    out->ink_count = static_cast<uint32_t>(std::max(model_info_.ink_count, 0));
    for (size_t i = 0; i < std::min<size_t>(count, kHeadInfoInks); ++i) out->first_block[i] = first[i];
    if (model_info_.bytes_per_ink > 1) {
      uint32_t second_count = 0;
      const uint8_t* second = GetChannelValues2(&second_count);
      for (size_t i = 0; second != nullptr && i < std::min<size_t>(second_count, kHeadInfoInks); ++i) {
        out->second_block[i] = second[i];
      }
    }
  }
  const uint8_t g = reading_.cartridge.present ? reading_.cartridge.g : 0;
  out->cartridge_flag = g != 0 ? 1 : 0;
  out->cartridge_value = g;
  if (reading_.paper_path[0] != 255) {
    out->paper_path_flag = 1;
    out->paper_path_value = 1;
  }
}

}  // namespace kalimu::status
