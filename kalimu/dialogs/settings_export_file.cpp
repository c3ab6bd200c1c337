#include "kalimu/dialogs/settings_export_file.h"

#include <cstring>

namespace kalimu::dialogs {
namespace {

// Ends the field's text at its first zero byte, or at its last byte when it has none, and
// clears everything after the end.
void TerminateField(char* field, size_t field_bytes) {
  const void* end = std::memchr(field, 0, field_bytes);
  const size_t length = end ? static_cast<size_t>(static_cast<const char*>(end) - field) : field_bytes - 1;
  std::memset(field + length, 0, field_bytes - length);
}

void TerminateTexts(SettingsExportRecord* record) {
  TerminateField(record->name, sizeof(record->name));
  for (auto& profile : record->profile_names) TerminateField(profile, sizeof(profile));
}

uint16_t ReadU16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }

}  // namespace

SettingsExportHeader MakeSettingsExportHeader(const SettingsExportIdentity& model, uint16_t count) {
  SettingsExportHeader header{};
  header.cfg_version = model.cfg_version;
  header.record_count = count;
  std::memcpy(header.ink_codes, model.ink_codes, sizeof(header.ink_codes));
  PutFieldText(header.driver_name, sizeof(header.driver_name), model.driver_name);
  return header;
}

ExportFileStatus ReadSettingsExportHeader(std::span<const uint8_t> bytes, SettingsExportHeader* out) {
  if (bytes.size() < sizeof(SettingsExportHeader)) return ExportFileStatus::kShortHeader;
  std::memcpy(out, bytes.data(), sizeof(SettingsExportHeader));
  TerminateField(out->driver_name, sizeof(out->driver_name));
  return ExportFileStatus::kOk;
}

ExportFileStatus DecodeSettingsExportRecord(std::span<const uint8_t> bytes, SettingsExportRecord* out) {
  if (bytes.size() < sizeof(SettingsExportRecord)) return ExportFileStatus::kShortRecord;
  std::memcpy(out, bytes.data(), sizeof(SettingsExportRecord));
  TerminateTexts(out);
  return ExportFileStatus::kOk;
}

ExportFileStatus ReadSettingsExportRecord(std::span<const uint8_t> file, size_t index, SettingsExportRecord* out) {
  const size_t at = sizeof(SettingsExportHeader) + index * sizeof(SettingsExportRecord);
  if (index > file.size() / sizeof(SettingsExportRecord) || at > file.size()) return ExportFileStatus::kShortRecord;
  return DecodeSettingsExportRecord(file.subspan(at), out);
}

HeaderVerdict CheckSettingsExportHeader(const SettingsExportHeader& header, const SettingsExportIdentity& model,
                                        uint32_t in_use, uint32_t capacity) {
  if (header.cfg_version != model.cfg_version || header.reserved2 != 0) return HeaderVerdict::kVersionDiffers;
  if (std::memcmp(header.ink_codes, model.ink_codes, sizeof(header.ink_codes)) != 0) {
    return HeaderVerdict::kInkCodesDiffer;
  }
  // Both names are terminated within their fields (the header by ReadSettingsExportHeader).
  if (std::memchr(header.driver_name, 0, sizeof(header.driver_name)) == nullptr ||
      std::strncmp(header.driver_name, model.driver_name, sizeof(model.driver_name)) != 0) {
    return HeaderVerdict::kDriverDiffers;
  }
  if (static_cast<uint64_t>(in_use) + header.record_count > capacity) return HeaderVerdict::kNoRoom;
  return HeaderVerdict::kAccept;
}

bool IsRecordRefused(const SettingsExportHeader& header, const SettingsExportRecord& record) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
  return header.refuse_flag != 0 && ReadU16(bytes + kRecordRefuseMarkOffset) == 1;
}

uint16_t GetRecordState(const SettingsExportRecord& record) {
  return ReadU16(reinterpret_cast<const uint8_t*>(&record) + kRecordStateOffset);
}

void SetRecordState(SettingsExportRecord* record, uint16_t state) {
  auto* bytes = reinterpret_cast<uint8_t*>(record) + kRecordStateOffset;
  bytes[0] = static_cast<uint8_t>(state & 0xFF);
  bytes[1] = static_cast<uint8_t>(state >> 8);
}

void PutFieldText(char* field, size_t field_bytes, const char* text) {
  std::memset(field, 0, field_bytes);
  if (text == nullptr || field_bytes == 0) return;
  std::memcpy(field, text, strnlen(text, field_bytes - 1));
}

}  // namespace kalimu::dialogs
