// The settings object as the door to the driver's files and stored values: the driver data
// file, the paths of sibling modules and files, and the numbered registry values.
#include <cstring>

#include "kalimu/platform/profile_file.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/storage/registry_table.h"

namespace kalimu::settings {
namespace {

constexpr char kVersionSection[] = "VersionInformation";
constexpr char kAvoidClipSection[] = "AvoidClip";
constexpr size_t kVersionTextBytes = 32;
constexpr size_t kSuffixChars = 64;

// The file a driver-data read goes to: the given one, else the driver data file.
void IniPath(storage::DriverModuleLocator& locator, const char* file, char (&path)[MAX_PATH]) {
  if (file == nullptr) {
    locator.GetDriverDataFilePath(path, sizeof(path));
  } else {
    platform::CopyStringA(path, sizeof(path), file);
  }
}

void WideIniPath(storage::DriverModuleLocator& locator, const char* file, wchar_t (&wide_path)[MAX_PATH]) {
  char path[MAX_PATH] = {};
  IniPath(locator, file, path);
  if (MultiByteToWideChar(CP_ACP, 0, path, -1, wide_path, MAX_PATH) <= 0) wide_path[0] = L'\0';
}

}  // namespace

int JobSettings::ReadDriverIniString(const char* section, const char* key, char* out, uint32_t size,
                                     const char* default_text, const char* file) {
  char path[MAX_PATH] = {};
  IniPath(locator(), file, path);
  return static_cast<int>(platform::ReadProfileStringA(section, key, default_text != nullptr ? default_text : kIniMissingDefault,
                                                   out, size, path));
}

int JobSettings::ReadDriverIniStringW(const wchar_t* section, const wchar_t* key, wchar_t* out, uint32_t size,
                                      const wchar_t* default_text, const char* file) {
  wchar_t wide_path[MAX_PATH] = {};
  WideIniPath(locator(), file, wide_path);
  return static_cast<int>(GetPrivateProfileStringW(section, key, default_text != nullptr ? default_text : L"ERROR_DEFAULT",
                                                   out, size, wide_path));
}

int JobSettings::ReadDriverIniInt(const char* section, const char* key, int default_value, const char* file) {
  char path[MAX_PATH] = {};
  IniPath(locator(), file, path);
  return static_cast<int>(GetPrivateProfileIntA(section, key, default_value, path));
}

int JobSettings::ReadDriverIniIntW(const wchar_t* section, const wchar_t* key, int default_value, const char* file) {
  wchar_t wide_path[MAX_PATH] = {};
  WideIniPath(locator(), file, wide_path);
  return static_cast<int>(GetPrivateProfileIntW(section, key, default_value, wide_path));
}

int JobSettings::GetDriverVersionText(char* out, size_t size) {
  char text[kVersionTextBytes] = {};
  const int length = ReadDriverIniString(kVersionSection, "DriverVersion", text, sizeof(text), "", nullptr);
  if (out != nullptr && size != 0) platform::CopyStringA(out, size, text);
  return length < static_cast<int>(kVersionTextBytes) && std::strlen(text) >= 2 ? 1 : 0;
}

int JobSettings::IsLocaleInAvoidClipList(const char* locale, size_t size) {
  if (locale == nullptr) return 0;
  const size_t length = strnlen(locale, size);
  if (length < 2) return 0;
  char list[MAX_PATH] = {};
  ReadDriverIniString(kAvoidClipSection, "Lcid", list, sizeof(list), "", nullptr);
  const char tail[3] = {locale[length - 2], locale[length - 1], '\0'};
  return list[0] != '\0' && std::strstr(list, tail) != nullptr ? 1 : 0;
}

int JobSettings::GetOutputResourcePath(char* out, size_t size) {
  uint8_t codes[model::kInkCodeCount] = {};
  GetModelId(codes, sizeof(codes));
  LoadInkSetTable();
  char suffix[kSuffixChars] = {};
  FormatInkSetSuffix(FindInkSet(codes), suffix, sizeof(suffix));
  return locator().GetOutputResourcePath(out, size, suffix);
}

int16_t JobSettings::GetWatermarkBitmapAspect(const storage::WatermarkEntry* entry, uint16_t index) {
  return GetBitmapAspectRatio(entry, index, 1);
}

LONG JobSettings::ReadRegistryValue(const char* sub_key, const char* value_name, int id, void* data, DWORD* size,
                                    int view) {
  return registry().ReadValue(sub_key, value_name, id, data, size, view);
}

LONG JobSettings::WriteRegistryValue(const char* sub_key, const char* value_name, int id, DWORD type,
                                     const void* data, DWORD size, int view) {
  return registry().WriteValue(sub_key, value_name, id, type, data, size, view);
}

LONG JobSettings::ReadRegistryValueById(int id, void* data, DWORD* size, int view) {
  return registry().ReadValueById(id, data, size, view);
}

LONG JobSettings::WriteRegistryValueById(int id, const void* data, DWORD size, int view) {
  return registry().WriteValueById(id, data, size, view);
}

LONG JobSettings::QueryRegistryValue(const char* sub_key, const char* value_name, int id, void* data, DWORD* size,
                                     int view) {
  return registry().QueryValue(sub_key, value_name, id, data, size, view);
}

LONG JobSettings::WriteRegistryValues(const char* sub_key, const char* value_name, int id, DWORD type,
                                      const void* data, DWORD size, int view) {
  return registry().WriteValueV(sub_key, value_name, id, type, data, size, view);
}

LONG JobSettings::CreateRegistryKey(const char* sub_key, int id, DWORD options, REGSAM access,
                                    SECURITY_ATTRIBUTES* security, DWORD* disposition) {
  return registry().CreateKey(sub_key, id, options, access, security, disposition);
}

LONG JobSettings::DeleteRegistryKey(const char* sub_key, int id, int view) {
  return registry().DeleteKey(sub_key, id, view);
}

LONG JobSettings::DeleteRegistryTree(const char* sub_key, int id, int view) {
  return registry().DeleteKeyTree(sub_key, id, view);
}

LONG JobSettings::DeleteRegistryValue(const char* sub_key, const char* value_name, int id, int view) {
  return registry().DeleteValue(sub_key, value_name, id, view);
}

int JobSettings::GetCutterState(uint32_t* out) {
  uint32_t value = 0;
  DWORD size = sizeof(value);
  if (registry().ReadValue(nullptr, nullptr, storage::kValueCutterInfo, &value, &size, 0) == ERROR_SUCCESS) {
    if (out != nullptr) *out = value;
    return 1;
  }
  // Without a stored reading the model says whether a cutter is standard.
  if (!TestModelHeaderFlags28(16)) return 0;
  if (out != nullptr) *out = TestModelHeaderFlags28(32) ? 1 : 0;
  return 1;
}

int JobSettings::IsPmFlagBit1Set() {
  uint16_t value = 0;
  return ReadPmFlag(&value) && (value & 1) != 0 ? 1 : 0;
}

int JobSettings::WriteDefaultInkInfo() {
  LoadInkSetTable();
  uint32_t default_set = 0;
  GetDefaultInkSetIndex(&default_set);
  model::InkInfoValue record{};
  record.valid = 1;
  record.ink_id_length = GetInkIdLength();
  GetInkSetCodes(static_cast<uint16_t>(default_set), record.codes, sizeof(record.codes));
  return WriteInkInfo(&record);
}

}  // namespace kalimu::settings
