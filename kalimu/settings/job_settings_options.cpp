// Stored options (numbered registry values and printer data), the support-tool keys and the
// settings of the driver data file's other sections.
#include <cstdio>
#include <cstring>

#include "kalimu/platform/text_helpers.h"
#include "kalimu/platform/unique_handle.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/storage/driver_registry.h"

namespace kalimu::settings {
namespace {

using storage::kViewBoth;
using storage::kViewDefault;

constexpr uint32_t kIwfModelBit = 1;  // model header word 40
constexpr uint32_t kHtModelBit = 2;
constexpr uint8_t kIwfDefaultFill = 0x32;  // the character "2"
constexpr size_t kInfoBytes = 8;
constexpr size_t kKeyTextBytes = MAX_PATH;
constexpr size_t kSubKeyChars = 33;  // sub-key names of at most 32 characters
constexpr char kMakerKeyFormat[] = "SOFTWARE\\NORVA\\%s%s";
constexpr char kRegionSection[] = "Region Setting";
constexpr char kModelInfoSection[] = "ModelInfo";

// The regions of the driver data file by their one-letter code.
struct RegionCode {
  const char* text;
  int region;
};
constexpr RegionCode kRegions[] = {{"A", 1}, {"W", 2}, {"J", 3}, {"P", 4}};

bool Succeeded(LONG result) { return result == ERROR_SUCCESS; }

// The maker key "SOFTWARE\NORVA\<driver><suffix>", cut to 260 characters.
void MakerKey(const char* driver, const char* suffix, char (&key)[kKeyTextBytes]) {
  const int written = std::snprintf(key, sizeof(key), kMakerKeyFormat, driver, suffix);
  if (written < 0 || static_cast<size_t>(written) >= sizeof(key)) platform::ReportStringError();
}

}  // namespace

uint32_t JobSettings::MirrorPmFlag(uint32_t job_options, uint16_t pm_flag, uint16_t values) {
  struct Pair {
    uint16_t value;
    uint32_t job_bit;
  };
  static constexpr Pair kPairs[] = {{1, 0x40}, {2, 0x80}, {4, 0x800}};
  for (const Pair& pair : kPairs) {
    if ((values & pair.value) == 0) continue;
    job_options = (pm_flag & pair.value) != 0 ? job_options | pair.job_bit : job_options & ~pair.job_bit;
  }
  return job_options;
}

LONG JobSettings::ReadFixedValue(int id, void* out, DWORD size) {
  return registry().ReadValue(nullptr, nullptr, id, out, &size, kViewDefault);
}

LONG JobSettings::ReadTwoByteValue(int id, uint16_t* out) {
  uint16_t value = 0;
  LONG result = ReadFixedValue(id, &value, sizeof(value));
  if (result == ERROR_MORE_DATA) {
    // Written with four bytes by an earlier writer: its low two bytes are the value.
    uint32_t wide = 0;
    DWORD size = sizeof(wide);
    result = registry().ReadValueById(id, &wide, &size, kViewDefault);
    value = static_cast<uint16_t>(wide);
  }
  if (Succeeded(result)) *out = value;
  return result;
}

int JobSettings::ReadPmFlag(uint16_t* out) { return Succeeded(ReadTwoByteValue(storage::kValuePmFlag, out)) ? 1 : 0; }

uint32_t JobSettings::GetSilentFlag() {
  uint32_t value = 0;
  return Succeeded(ReadFixedValue(storage::kValueSilent, &value, sizeof(value))) ? value : 0;
}

int JobSettings::IsHalftoneOptionOn() {
  uint16_t value = 0;
  return Succeeded(ReadTwoByteValue(storage::kValueRxHtarvikOption, &value)) && value == 1 ? 1 : 0;
}

int JobSettings::SetHalftoneOption(uint16_t value) {
  // Written with the two bytes every reader reads.
  return Succeeded(registry().WriteValue(nullptr, nullptr, storage::kValueRxHtarvikOption, REG_BINARY, &value,
                                         sizeof(value), kViewBoth))
             ? 1
             : 0;
}

LONG JobSettings::ReadValue119(void* out) { return ReadFixedValue(119, out, 4); }

int JobSettings::WriteValue119(const void* in) {
  return Succeeded(registry().WriteValue(nullptr, nullptr, 119, REG_BINARY, in, 4, kViewDefault)) ? 1 : 0;
}

int JobSettings::WriteInkInfo(const model::InkInfoValue* record) {
  if (record == nullptr) return 0;
  return Succeeded(registry().WriteValue(nullptr, nullptr, storage::kValueInkInf, REG_BINARY, record,
                                         sizeof(*record), kViewBoth))
             ? 1
             : 0;
}

LONG JobSettings::ReadPlatenInfo(uint32_t* out) {
  uint32_t value = 0;
  const LONG result = ReadFixedValue(storage::kValuePlatenInf, &value, sizeof(value));
  if (out != nullptr) *out = Succeeded(result) ? value : 0;
  return result;
}

int JobSettings::WritePlatenInfo(uint32_t value) {
  return Succeeded(registry().WriteValue(nullptr, nullptr, storage::kValuePlatenInf, REG_DWORD, &value,
                                         sizeof(value), kViewBoth))
             ? 1
             : 0;
}

int JobSettings::WriteIwfInfo(const uint8_t in[8]) {
  if (in == nullptr || !TestModelHeaderFlags40(kIwfModelBit)) return 0;
  return Succeeded(registry().WriteValue(nullptr, nullptr, storage::kValueKvIwfInfo, REG_BINARY, in, kInfoBytes,
                                         kViewBoth))
             ? 1
             : 0;
}

int JobSettings::WriteHtInfo(const uint8_t in[8]) {
  if (in == nullptr || !TestModelHeaderFlags40(kHtModelBit)) return 0;
  return Succeeded(registry().WriteValue(nullptr, nullptr, storage::kValueKvHtInfo, REG_BINARY, in, kInfoBytes,
                                         kViewBoth))
             ? 1
             : 0;
}

int JobSettings::ReadInfoValue(uint32_t model_bit, int id, uint8_t default_count, uint8_t default_fill,
                               uint8_t out[8]) {
  if (out == nullptr || !TestModelHeaderFlags40(model_bit)) return 0;
  uint8_t stored[kInfoBytes] = {};
  if (Succeeded(ReadFixedValue(id, stored, sizeof(stored)))) {
    std::memcpy(out, stored, sizeof(stored));
    return 1;
  }
  // The model's default: its count byte and as many values, never past the eight bytes.
  const size_t filled = default_count < kInfoBytes ? default_count : kInfoBytes - 1;
  std::memset(out, 0, kInfoBytes);
  out[0] = default_count;
  std::memset(out + 1, default_fill, filled);
  return 0;
}

int JobSettings::ReadIwfInfo(uint8_t out[8]) {
  uint32_t count = 0;
  GetModelHeaderByte77(&count);
  // The count byte counts the value bytes filled after it: never more than the seven there are.
  const auto filled = static_cast<uint8_t>(count < kInfoBytes ? count : kInfoBytes - 1);
  return ReadInfoValue(kIwfModelBit, storage::kValueKvIwfInfo, filled, kIwfDefaultFill, out);
}

int JobSettings::ReadHtInfo(uint8_t out[8]) {
  // The model's default is its count byte alone.
  uint32_t count = 0;
  GetModelHeaderByte78(&count);
  return ReadInfoValue(kHtModelBit, storage::kValueKvHtInfo, static_cast<uint8_t>(count), 0, out);
}

int JobSettings::WriteMessageDialogFlag(uint32_t value) {
  return Succeeded(registry().WriteValue(nullptr, nullptr, storage::kValueMesDlgFlag, REG_BINARY, &value,
                                         sizeof(value), kViewBoth))
             ? 1
             : 0;
}

LONG JobSettings::ReadMessageDialogFlag(uint32_t* out) {
  uint32_t value = 0;
  const LONG result = ReadFixedValue(storage::kValueMesDlgFlag, &value, sizeof(value));
  if (out != nullptr) *out = Succeeded(result) ? value : 0;
  return result;
}

uint32_t JobSettings::ReadRtInfo() {
  if (!SupportsRtInfo()) return 0;
  uint32_t value = 0;
  return Succeeded(ReadFixedValue(storage::kValueKvRtInfo, &value, sizeof(value))) ? value : 0;
}

int JobSettings::WriteRtInfo(uint32_t value) {
  if (!SupportsRtInfo()) return 0;
  return Succeeded(registry().WriteValue(nullptr, nullptr, storage::kValueKvRtInfo, REG_DWORD, &value,
                                         sizeof(value), kViewBoth))
             ? 1
             : 0;
}

void JobSettings::LoadPmFlags() {
  uint16_t pm_flag = 0;
  if (ReadPmFlag(&pm_flag)) SetJobOptions(MirrorPmFlag(GetJobOptions(), pm_flag, kPmFlagLoadedBits));
}

int JobSettings::GetBrsInfo(uint32_t* out) {
  if (out != nullptr) *out = 0;
  uint32_t value = 0;
  DWORD size = sizeof(value);
  if (!Succeeded(registry().ReadValueById(storage::kValueBrsInfo, &value, &size, kViewDefault))) return 0;
  if (out != nullptr) *out = value;
  return 1;
}

int JobSettings::SetBrsInfo(uint32_t value) {
  return Succeeded(registry().WriteValueById(storage::kValueBrsInfo, &value, sizeof(value), kViewBoth)) ? 1 : 0;
}

int JobSettings::GetTempFolder(char* buffer, uint32_t size) {
  if (buffer == nullptr || size == 0) return 0;
  DWORD read_size = size;
  const LONG read = registry().ReadValue(nullptr, nullptr, storage::kValueTempFilePath2, buffer, &read_size,
                                         kViewDefault);
  if (Succeeded(read)) return 1;
  buffer[0] = '\0';
  GetWindowsDirectoryA(buffer, size);
  // None stored yet: the Windows directory is kept for the next time. A stored folder that
  // only did not fit the caller's buffer stays as it is.
  if (read != ERROR_MORE_DATA) {
    registry().WriteValue(nullptr, nullptr, storage::kValueTempFilePath2, REG_SZ, buffer,
                          static_cast<DWORD>(strnlen(buffer, size) + 1), kViewBoth);
  }
  return 1;
}

int JobSettings::EnsurePrinterRootKey(int view) {
  if (Succeeded(registry().ReadValue(nullptr, nullptr, storage::kKeyPrinterRoot, nullptr, nullptr, view))) {
    return 1;
  }
  return CheckPrinterKeyAccess("SOFTWARE\\NORVA\\PRINTER", kViewBoth);
}

int JobSettings::CheckPrinterKeyAccess(const char* sub_key, int view) {
  return registry().CreateKeyInViews(sub_key, printer_name_, view);
}

DWORD JobSettings::GetPrinterDataValue(HANDLE printer, const char* value_name, DWORD* type, void* data, DWORD size,
                                       DWORD* needed) {
  return storage::DriverRegistry::ReadPrinterData(printer, value_name, type, data, size, needed);
}

DWORD JobSettings::SetPrinterDataValue(HANDLE printer, const char* value_name, DWORD type, const void* data,
                                       DWORD size) {
  return storage::DriverRegistry::WritePrinterData(printer, value_name, type, data, size);
}

int JobSettings::ReadMakerKeyValue(const char* suffix, const char* value_name, char* out, size_t size, int view) {
  char key[kKeyTextBytes];
  MakerKey(GetDriverName(), suffix, key);
  char text[kKeyTextBytes] = {};
  DWORD text_size = sizeof(text);
  if (!Succeeded(registry().ReadValue(key, value_name, storage::kValueCaller, text, &text_size, view)) ||
      text[0] == '\0') {
    return 0;
  }
  if (out != nullptr) platform::CopyStringA(out, size, text);
  return 1;
}

int JobSettings::ReadSupportKey(char* out, size_t size, int view) {
  if (ReadSupportValue(" PSOLVER", "KeyFile", out, size, view) != 0) return 1;
  if (ReadSupportValue(" TS_URL", "TSupportURL", out, size, view) != 0) return 2;
  return 0;
}

int JobSettings::ReadSupportValue(const char* suffix, const char* value_name, char* out, size_t size, int view) {
  char key[kKeyTextBytes];
  MakerKey(GetDriverName(), suffix, key);
  char chosen[kSubKeyChars] = {};
  const int code = ReadKeyValueText(key, value_name, chosen, sizeof(chosen), view);
  if (code == 0) return 0;
  char path[kKeyTextBytes] = {};
  if (std::snprintf(path, sizeof(path), "%s\\%s", key, chosen) >= static_cast<int>(sizeof(path))) {
    platform::ReportStringError();
  }
  char text[kKeyTextBytes] = {};
  DWORD text_size = sizeof(text);
  if (Succeeded(registry().ReadValue(path, value_name, storage::kValueCaller, text, &text_size, view)) &&
      text[0] != '\0' && out != nullptr) {
    platform::CopyStringA(out, size, text);
  }
  return code;
}

int JobSettings::ReadKeyValueText(const char* key, const char* value_name, char* out, size_t size, int view) {
  if (out != nullptr && size != 0) out[0] = '\0';
  platform::UniqueKey opened(registry().OpenKey(key, storage::kValueCaller, view));
  if (!opened) return 0;
  char best[kSubKeyChars] = "~";
  int code = 0;
  for (DWORD index = 0;; ++index) {
    char name[kSubKeyChars] = {};
    DWORD name_length = sizeof(name);
    const LONG listed = RegEnumKeyExA(opened.get(), index, name, &name_length, nullptr, nullptr, nullptr, nullptr);
    if (listed == ERROR_MORE_DATA) continue;  // a name of more than 32 characters is no candidate
    if (listed != ERROR_SUCCESS) break;
    char path[kKeyTextBytes] = {};
    if (std::snprintf(path, sizeof(path), "%s\\%s", key, name) >= static_cast<int>(sizeof(path))) continue;
    char text[kKeyTextBytes] = {};
    DWORD text_size = sizeof(text);
    const bool has_value =
        Succeeded(registry().ReadValue(path, value_name, storage::kValueCaller, text, &text_size, view)) &&
        text[0] != '\0';
    if (!has_value) continue;
    if (std::strcmp(name, "E") == 0) {  // the preferred sub key ends the search
      platform::CopyStringA(best, sizeof(best), name);
      code = 1;
      break;
    }
    const auto first = static_cast<unsigned char>(name[0]);
    if (first >= 0x20 && first <= 0x7E) {
      code = 2;
      if (first < static_cast<unsigned char>(best[0])) platform::CopyStringA(best, sizeof(best), name);
    }
  }
  if (code != 0 && out != nullptr) platform::CopyStringA(out, size, best);
  return code;
}

int JobSettings::GetSystemDirectoryPath(char* out, size_t size) {
  return storage::DriverModuleLocator::GetSystemDirectoryPath(out, size);
}

int JobSettings::GetWindowsDirectoryPath(char* out, size_t size) {
  return storage::DriverModuleLocator::GetWindowsDirectoryPath(out, size);
}

int JobSettings::EnsureDriverFolder(char* out, size_t size) {
  return locator().CreateSharedFolder(GetDriverName(), out, size);
}

int JobSettings::GetRegion() {
  char text[33] = {};
  ReadDriverIniString(kRegionSection, "Region", text, sizeof(text), "", nullptr);
  for (const RegionCode& code : kRegions) {
    if (std::strcmp(text, code.text) == 0) return code.region;
  }
  return 0;
}

int JobSettings::IsRegionWJP() {
  const int region = GetRegion();
  return region >= 2 && region <= 4 ? 1 : 0;
}

int JobSettings::ReadNoBidComm() { return ReadDriverIniInt(kModelInfoSection, "NoBidComm", 0, nullptr); }

}  // namespace kalimu::settings
