// Loading of the model configuration file: ink-set table, variant choice, tables and messages.
#include "kalimu/model/model_capabilities.h"

#include <cstring>
#include <memory>
#include <vector>

#include "kalimu/model/cfg_parser.h"
#include "kalimu/platform/driver_file.h"
#include "kalimu/platform/file_cache.h"
#include "kalimu/platform/text_helpers.h"

namespace kalimu::model {
namespace {

// A whole file's bytes, through the process-wide cache (read again once the file changed);
// empty when it cannot be read.
std::span<const uint8_t> Bytes(const std::shared_ptr<const std::vector<uint8_t>>& file) {
  return file != nullptr ? std::span<const uint8_t>(*file) : std::span<const uint8_t>();
}

bool CopyInto(platform::GlobalBlock& block, size_t size, std::span<const uint8_t> bytes) {
  if (!block.Allocate(size)) return false;
  if (!bytes.empty()) std::memcpy(block.data(), bytes.data(), bytes.size());
  return true;
}

}  // namespace

int ModelCapabilities::ShowErrorMessage(const char* text) {
  return MessageBoxA(nullptr, text, kUiMessageCaption, MB_ICONERROR | MB_OK);
}

void ModelCapabilities::ReportVersionError(const char* text) {
  if (loading_) {
    if (load_message_shown_) return;
    load_message_shown_ = true;
  }
  ShowErrorMessage(text);
}

int ModelCapabilities::EnsureCfgLoaded() {
  if (version_ == 0) LoadCfgFile();
  return 1;
}

int ModelCapabilities::EnsureTablesLoaded() {
  if (header_check_ == 0) LoadCfgFile();
  return 1;
}

int ModelCapabilities::EnsureLfpLoaded() {
  if (lfp_present_ == 0) LoadCfgFile();
  return 1;
}

void ModelCapabilities::ClearTables() {
  lfp_records_.Reset();
  lfp_header_.Reset();
  presets_.Reset();
  header_.Reset();
  tables_.Reset();
  version_ = 0;
  header_check_ = 0;
  lfp_present_ = 0;
  std::memset(group_count_, 0, sizeof(group_count_));
  user_settings_capacity_ = user_paper_capacity_ = 0;
  preset_count_ = preset_slot_count_ = group01_count_ = 0;
  std::memset(table_count_, 0, sizeof(table_count_));
  std::memset(table_start_, 0, sizeof(table_start_));
  lfp_record_offset_ = lfp_record_count_ = 0;
  lfp_value_ = 0;
}

void ModelCapabilities::LoadCfgFile() {
  ClearTables();
  loading_ = true;
  load_message_shown_ = false;
  ReloadInkSetTable();
  char path[MAX_PATH] = {};
  GetVariantCfgFilePath(path, MAX_PATH);
  const auto file = platform::CachedFileBytes(path);
  if (!Bytes(file).empty()) AdoptCfgImage(Bytes(file));
  loading_ = false;
}

void ModelCapabilities::AdoptCfgImage(std::span<const uint8_t> variant_file) {
  ClearTables();
  LoadInkSetTable();  // the tables start after the base file's ink-set records
  CfgImage image;
  switch (ParseCfgImage(variant_file, ink_set_count_, &image)) {
    case CfgParseStatus::kCfgVersion:
      ReportVersionError(kCfgVersionMessage);
      return;
    case CfgParseStatus::kDatVersion:
      ReportVersionError(kDatVersionMessage);
      return;
    case CfgParseStatus::kOk:
      break;
  }
  const uint32_t preset_count =
      uint32_t{image.version.group_count[0]} + image.version.group_count[1] + image.version.group_count[2];
  const uint32_t preset_slots = preset_count + image.version.user_settings_capacity;
  const std::span<const uint8_t> header_bytes(reinterpret_cast<const uint8_t*>(&image.header), sizeof(ModelHeader));
  if (!CopyInto(header_, sizeof(ModelHeader), header_bytes) ||
      (preset_slots != 0 && !CopyInto(presets_, size_t{preset_slots} * sizeof(PresetRecord), image.presets)) ||
      (!image.tables.empty() && !CopyInto(tables_, image.tables.size(), image.tables))) {
    ClearTables();
    return;
  }
  if (image.has_lfp) {
    const std::span<const uint8_t> lfp_bytes(reinterpret_cast<const uint8_t*>(&image.lfp), sizeof(LfpHeader));
    if (!CopyInto(lfp_header_, sizeof(LfpHeader), lfp_bytes) ||
        (!image.lfp_records.empty() && !CopyInto(lfp_records_, image.lfp_records.size(), image.lfp_records))) {
      ClearTables();
      return;
    }
    lfp_record_offset_ = image.lfp.record_offset;
    lfp_value_ = image.lfp.value;
    lfp_record_count_ = image.lfp.record_count;
    lfp_present_ = image.lfp.present;
  }
  std::memcpy(group_count_, image.version.group_count, sizeof(group_count_));
  user_settings_capacity_ = image.version.user_settings_capacity;
  user_paper_capacity_ = image.version.user_paper_capacity;
  preset_count_ = preset_count;
  preset_slot_count_ = preset_slots;
  group01_count_ = uint32_t{group_count_[0]} + group_count_[1];
  std::memcpy(table_count_, image.header.table_count, sizeof(table_count_));
  std::memcpy(table_start_, image.table_start, sizeof(table_start_));
  version_ = image.version.version;
  header_check_ = image.header.version;
}

uint32_t ModelCapabilities::ReadCfgFile(void* buffer, uint32_t size) {
  char path[MAX_PATH] = {};
  GetVariantCfgFilePath(path, MAX_PATH);
  platform::DriverFile file(path);
  if (!file.Open(0)) return 0;
  uint32_t answer = 0;
  if (buffer == nullptr) {
    answer = file.GetSize();
  } else {
    file.Read(buffer, size, nullptr);
  }
  file.Close();
  return answer;
}

int ModelCapabilities::ReloadInkSetTable() {
  const char* printer = locator_.GetPrinterName();
  const char* driver = locator_.GetDriverName();
  if (printer == nullptr || driver == nullptr || printer[0] == '\0' || driver[0] == '\0') return 0;
  return LoadInkSetTable();
}

int ModelCapabilities::LoadInkSetTable() {
  if (ink_sets_.held() && ink_set_count_ != 0) return 1;
  char path[MAX_PATH] = {};
  if (!locator_.GetCfgFilePath(path, MAX_PATH, nullptr)) return 0;
  const auto file = platform::CachedFileBytes(path);
  if (Bytes(file).empty()) return 0;
  return AdoptInkSetTable(Bytes(file));
}

int ModelCapabilities::AdoptInkSetTable(std::span<const uint8_t> base_file) {
  CfgInkSetImage image;
  if (ParseInkSetTable(base_file, &image) != CfgParseStatus::kOk) {
    ReportVersionError(kDatVersionMessage);
    return 0;
  }
  ink_sets_.Reset();
  ink_set_count_ = 0;
  if (image.ink_set_count != 0 && !CopyInto(ink_sets_, image.records.size(), image.records)) return 0;
  ink_set_count_ = image.ink_set_count;
  ink_code_mask_ = image.ink_code_mask;
  default_ink_set_ = image.default_ink_set;
  ink_id_length_ = image.ink_id_length;
  return 1;
}

int ModelCapabilities::GetInkSetCodes(uint16_t index, uint8_t* out, uint32_t size) {
  if (out == nullptr || size != kInkCodeCount || index >= ink_set_count_ || !ink_sets_.held()) return 0;
  std::memcpy(out, ink_sets_.data() + size_t{index} * sizeof(InkSetRecord) + offsetof(InkSetRecord, codes),
              kInkCodeCount);
  return 1;
}

uint16_t ModelCapabilities::FindInkSet(const uint8_t codes[kInkCodeCount]) {
  for (uint16_t i = 0; i < ink_set_count_ && ink_sets_.held(); ++i) {
    const uint8_t* record = ink_sets_.data() + size_t{i} * sizeof(InkSetRecord);
    if (std::memcmp(record + offsetof(InkSetRecord, codes), codes, kInkCodeCount) == 0) return i;
  }
  return 0;
}

void ModelCapabilities::ReadInkInfo(InkInfoValue* out) {
  InkInfoValue value{};
  DWORD size = sizeof(value);
  if (registry_.ReadValue(nullptr, nullptr, storage::kValueInkInf, &value, &size, storage::kViewDefault) != ERROR_SUCCESS) {
    value = {};
    if (LoadInkSetTable() == 1) {
      value.valid = 1;
      value.ink_id_length = ink_id_length_;
      GetInkSetCodes(default_ink_set_, value.codes, kInkCodeCount);
    }
  }
  *out = value;
}

uint16_t ModelCapabilities::FindCurrentInkSet() {
  InkInfoValue value;
  ReadInkInfo(&value);
  return FindInkSet(value.codes);
}

uint16_t ModelCapabilities::GetDefaultInkSetIndex() {
  return LoadInkSetTable() == 1 ? default_ink_set_ : 0;
}

void ModelCapabilities::FormatInkSetSuffix(uint16_t index, char* out, size_t len) {
  if (out == nullptr || len == 0) return;
  out[0] = '\0';
  LoadInkSetTable();
  uint8_t codes[kInkCodeCount];
  if (!GetInkSetCodes(index, codes, kInkCodeCount)) return;
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (uint32_t i = 0; i < ink_id_length_; ++i) {
    if ((ink_code_mask_ & (1u << i)) == 0) continue;
    char digits[3] = {};
    if (codes[i] < 0x10) {
      digits[0] = '0';
      digits[1] = kHex[codes[i]];
    } else {
      digits[0] = kHex[codes[i] >> 4];
    }
    platform::AppendStringA(out, len, digits);
  }
}

uint32_t ModelCapabilities::GetSelectedInkCodes(uint8_t* buffer, uint16_t count) {
  if (buffer == nullptr) return 0;
  uint32_t selected = 0;
  if (!GetModelHeaderValue112(&selected)) selected = 0;
  LoadInkSetTable();
  uint8_t codes[kInkCodeCount];
  if (selected >= ink_set_count_ || !GetInkSetCodes(static_cast<uint16_t>(selected), codes, kInkCodeCount)) return 0;
  uint32_t copied = 0;
  for (uint32_t i = 0; i < ink_id_length_ && copied < count; ++i) {
    if (ink_code_mask_ & (1u << i)) buffer[copied++] = codes[i];
  }
  return copied;
}

int ModelCapabilities::FormatCurrentSuffix(char* out, size_t len) {
  out[0] = '\0';
  LoadInkSetTable();
  FormatInkSetSuffix(FindCurrentInkSet(), out, len);
  return ink_set_count_ >= 2;
}

int ModelCapabilities::GetVariantCfgFilePath(char* out, size_t len) {
  char suffix[64];
  const bool use_suffix = FormatCurrentSuffix(suffix, sizeof(suffix));
  locator_.GetCfgFilePath(out, len, use_suffix ? suffix : nullptr);
  return 1;
}

int ModelCapabilities::GetUcfFilePath(char* out, size_t len) {
  char suffix[64];
  const bool use_suffix = FormatCurrentSuffix(suffix, sizeof(suffix));
  locator_.GetUcfFilePath(out, len, use_suffix ? suffix : nullptr);
  return 1;
}

}  // namespace kalimu::model
