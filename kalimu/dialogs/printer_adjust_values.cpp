#include "kalimu/dialogs/printer_adjust_values.h"

#include <cstdlib>
#include <cstring>

#include "kalimu/settings/printer_reg_values.h"
#include "kalimu/storage/driver_registry.h"

namespace kalimu::dialogs {
namespace {

constexpr size_t kReadingsOffset = 48;
constexpr size_t kReadingsBytes = 16;
constexpr int kDefaultView = 0;
constexpr int kBothViews = 3;

// The field's value from at most max_chars characters, as atoi reads them; -1 when it is
// negative or above limit.
int32_t FieldValue(const char* text, size_t max_chars, uint32_t limit) {
  char bounded[4] = {};
  std::memcpy(bounded, text, strnlen(text, max_chars < sizeof(bounded) ? max_chars : sizeof(bounded) - 1));
  const int value = std::atoi(bounded);
  return value < 0 || static_cast<uint32_t>(value) > limit ? -1 : value;
}

// A counted record: defaults, the stored record over them, then the fields.
int SaveCountedValues(const char (*fields)[4], uint32_t count, uint8_t default_value, size_t max_chars,
                      uint32_t limit, int (settings::JobSettings::*read)(uint8_t*),
                      int (settings::JobSettings::*write)(const uint8_t*), settings::JobSettings& settings) {
  uint8_t record[8] = {static_cast<uint8_t>(count)};
  for (uint32_t i = 0; i < count; ++i) record[1 + i] = default_value;
  (settings.*read)(record);
  // A count byte past the record's seven values (a model byte taken as it stands) is held to them.
  if (record[0] > kCountedRecordValues) record[0] = static_cast<uint8_t>(kCountedRecordValues);
  for (uint32_t i = 0; i < count; ++i) {
    const int32_t value = FieldValue(fields[i], max_chars, limit);
    if (value < 0) return 0;
    record[1 + i] = static_cast<uint8_t>(value);
  }
  (settings.*write)(record);
  return 1;
}

}  // namespace

AdjustShape AskAdjustShape(settings::JobSettings& settings) {
  AdjustShape shape;
  uint32_t iwf = 0, ht = 0;
  model::QueryOut<uint8_t> byte = 0;
  if (settings.GetModelHeaderByte77(&byte)) iwf = byte;
  if (settings.GetModelHeaderByte78(&byte)) ht = byte;
  shape.iwf = settings.TestModelHeaderFlags40(1) != 0;
  shape.ht = settings.TestModelHeaderFlags40(2) != 0;
  shape.counts = ClampAdjustCounts(settings.GetInkCount(), shape.iwf ? iwf : 0, shape.ht ? ht : 0);
  shape.second_row = settings.TestModelHeaderFlags36(0x4000) != 0;
  shape.channel_check = settings.TestModelHeaderFlags36(0x100) != 0;
  shape.rt = settings.TestModelHeaderFlags24(0x4000) != 0;
  shape.no_adjustment = settings.TestModelHeaderFlags24(0x80) != 0;
  return shape;
}

void MakeDefaultAdjustRecord(const AdjustShape& shape, const HeadAdjustRecord* read, HeadAdjustRecord* out) {
  if (read != nullptr) {
    *out = *read;
  } else {
    *out = HeadAdjustRecord{};
  }
  out->valid = 1;
  out->ink_count = shape.counts.channels;
  for (uint32_t i = 0; i < shape.counts.channels; ++i) {
    out->first_block[i] = kAdjustFieldDefault;
    if (shape.second_row) out->second_block[i] = kAdjustFieldDefault;
  }
  if (read == nullptr) std::memset(reinterpret_cast<uint8_t*>(out) + kReadingsOffset, 0, kReadingsBytes);
}

int ReadAdjustRecord(settings::JobSettings& settings, HeadAdjustRecord* out) {
  DWORD size = sizeof(*out);
  HeadAdjustRecord record{};
  if (!settings::ReadPrinterRegValueById(&settings, storage::kValueRxHeadId, &record, &size, kDefaultView) ||
      size != sizeof(record)) {
    return 0;
  }
  *out = record;
  return 1;
}

int WriteAdjustRecord(settings::JobSettings& settings, const HeadAdjustRecord& record) {
  return settings::WritePrinterRegValueById(&settings, storage::kValueRxHeadId, &record, sizeof(record), kBothViews);
}

void LoadAdjustRecord(settings::JobSettings& settings, const AdjustShape& shape, HeadAdjustRecord* out) {
  if (ReadAdjustRecord(settings, out) && (out->valid != 0 || out->ink_count != 0)) return;
  MakeDefaultAdjustRecord(shape, nullptr, out);
  WriteAdjustRecord(settings, *out);
}

int SaveAdjustValues(settings::JobSettings& settings, const AdjustShape& shape, const AdjustFieldTexts& texts,
                     uint32_t* limit) {
  *limit = kTwoDigitLimit;
  if (shape.counts.channels != 0) {
    HeadAdjustRecord read{};
    const bool have = ReadAdjustRecord(settings, &read) != 0;
    HeadAdjustRecord record{};
    MakeDefaultAdjustRecord(shape, have ? &read : nullptr, &record);
    for (uint32_t i = 0; i < shape.counts.channels; ++i) {
      const int32_t first = FieldValue(texts.row1[i], 2, kTwoDigitLimit);
      if (first < 0) return 0;
      record.first_block[i] = static_cast<uint32_t>(first);
      if (shape.second_row) {
        const int32_t second = FieldValue(texts.row2[i], 2, kTwoDigitLimit);
        if (second < 0) return 0;
        record.second_block[i] = static_cast<uint32_t>(second);
      }
    }
    WriteAdjustRecord(settings, record);
  }
  if (shape.iwf && !SaveCountedValues(texts.iwf, shape.counts.iwf, kAdjustFieldDefault, 2, kTwoDigitLimit,
                                      &settings::JobSettings::ReadIwfInfo, &settings::JobSettings::WriteIwfInfo,
                                      settings)) {
    return 0;
  }
  if (shape.ht && !SaveCountedValues(texts.ht, shape.counts.ht, 0, 3, kByteLimit, &settings::JobSettings::ReadHtInfo,
                                     &settings::JobSettings::WriteHtInfo, settings)) {
    *limit = kByteLimit;
    return 0;
  }
  if (shape.rt) {
    const int32_t rt = FieldValue(texts.rt, 2, kTwoDigitLimit);
    if (rt < 0) return 0;
    settings.WriteRtInfo(static_cast<uint32_t>(rt));
  }
  return 1;
}

int ReadCutterSetting(settings::JobSettings& settings, bool* present) {
  uint32_t value = 0;
  DWORD size = sizeof(value);
  if (!settings::ReadPrinterRegValueById(&settings, storage::kValueCutterInfo, &value, &size, kDefaultView) ||
      size != sizeof(value)) {
    return 0;
  }
  *present = value != 0;
  return 1;
}

void SaveCutterSetting(settings::JobSettings& settings, bool present) {
  const uint32_t value = present ? 1 : 0;
  settings::WritePrinterRegValueById(&settings, storage::kValueCutterInfo, &value, sizeof(value), kBothViews);
  if (!present) {
    settings.SetCutOptionBit1(0);
    settings.SetCutOptionBit2(0);
  }
}

}  // namespace kalimu::dialogs
