// Numbered keys of the driver data file and their reading.
#include <cstdlib>
#include <cstring>

#include "kalimu/platform/profile_file.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/storage/driver_module_locator.h"
#include "kalimu/storage/locator_paths.h"

namespace kalimu::storage {
namespace {

struct KeyName {
  int key;
  const char* name;
};

constexpr KeyName kKeyNames[] = {
    {0, "OutPutResource"},   {1, "CfgFileI"},           {2, "UcfFileI"},
    {3, "LangIDI"},          {4, "UIModuleI"},          {5, "UIRESModuleI"},
    {6, "UIRES2ModuleI"},    {7, "HelpFile"},           {8, "HelpFileS"},
    {9, "WatFileI"},         {10, "STM3ModuleI"},       {11, "OutputModuleI"},
    {12, "OutputModuleI_XCMD3"}, {13, "MWModule"},      {14, "HalftoneEngineModule"},
    {15, "OutPutResouceNum"}, {16, "WaterMarkDialog"},  {17, "InkDispControl"},
    {18, "PrePrnI"},         {19, "PreviewUII"},        {20, "PreviewUI2I"},
    {21, "SAInstI"},         {22, "SADatI"},            {23, "RXAPII"},
    {24, "RXPLPTI"},         {25, "RXPShareI"},         {26, "RXPSAgentI"},
    {27, "RXPrflI"},         {28, "ExeNameI"},          {29, "ZPCRES"},
    {30, "UMDModuleNT4"},    {31, "UMDModule"},         {32, "ModelNameI"},
    {33, "UtilModuleI"},     {34, "RXAPIX"},            {35, "DevIDNCT"},
    {36, "StatusNCT"},       {37, "RXRcvCTO"},          {38, "RXPMONI"},
    {39, "LumetI"},          {40, "RXPCHPI"},           {41, "PellanI"},
    {42, "BRSModule"},       {43, "ZPCDAT01"},          {44, "PICPreset"},
    {50, "UtilModuleIEXE"},  {51, "UIRESModuleI64"},    {52, "UIRES2ModuleI64"},
    {53, "STM3ModuleI64"},
};

// Longest value read from the data file; a longer one counts as unreadable.
constexpr DWORD kValueChars = 1024;

const char* SectionOf(int key) {
  return key == kInfoPicPreset ? kExportApiSection : kDriverInfoSection;
}

// Reads section/name into value (kValueChars); 1 unless missing or cut.
int ReadProfileValue(const char* section, const char* name, char* value,
                     const char* data_file) {
  const DWORD n =
      platform::ReadProfileStringA(section, name, kMissingKeyText, value, kValueChars, data_file);
  if (n >= kValueChars - 1) {
    value[0] = 0;
    return 0;
  }
  return std::strcmp(value, kMissingKeyText) != 0 ? 1 : 0;
}

}  // namespace

const char* DriverInfoKeyName(int key) {
  for (const KeyName& row : kKeyNames) {
    if (row.key == key) return row.name;
  }
  return nullptr;
}

int JoinToDataFileDirectory(const char* data_file, const char* value, char* out, size_t len) {
  char drive[_MAX_DRIVE];
  char dir[_MAX_DIR];
  if (_splitpath_s(data_file, drive, sizeof(drive), dir, sizeof(dir), nullptr, 0, nullptr, 0) !=
      0) {
    return 0;
  }
  char joined[MAX_PATH];
  if (!platform::CopyStringA(joined, MAX_PATH, drive) || !platform::AppendStringA(joined, MAX_PATH, dir) ||
      !platform::AppendStringA(joined, MAX_PATH, value)) {
    return 0;
  }
  return platform::CopyStringA(out, len, joined);
}

int BaseNameOf(const char* path, char* out, size_t len) {
  char name[_MAX_FNAME];
  if (_splitpath_s(path, nullptr, 0, nullptr, 0, name, sizeof(name), nullptr, 0) != 0) return 0;
  return platform::CopyStringA(out, len, name);
}

int FileNameAndExtensionOf(const char* path, char* out, size_t len) {
  char name[_MAX_FNAME];
  char ext[_MAX_EXT];
  if (_splitpath_s(path, nullptr, 0, nullptr, 0, name, sizeof(name), ext, sizeof(ext)) != 0) {
    return 0;
  }
  return platform::CopyStringA(out, len, name) && platform::AppendStringA(out, len, ext);
}

int DriverModuleLocator::ReadDriverInfoKey(int key, char* out, size_t size,
                                           const char* data_file) {
  if (out == nullptr || size == 0) return 0;
  out[0] = 0;
  const char* name = DriverInfoKeyName(key);
  if (name == nullptr || data_file == nullptr || data_file[0] == 0) return 0;
  char value[kValueChars];
  const int found = ReadProfileValue(SectionOf(key), name, value, data_file);
  if (!platform::CopyStringA(out, size, value)) return 0;
  return found;
}

int DriverModuleLocator::ReadDriverInfoKeyVariant(int key, char* out, size_t len,
                                                  const char* data_file, int join_dir,
                                                  const char* suffix) {
  if (out == nullptr || len == 0) return 0;
  out[0] = 0;
  if (key < kInfoOutputResource || key > kInfoUcfFile || data_file == nullptr) return 0;
  const char* name = DriverInfoKeyName(key);
  char suffixed[MAX_PATH];
  if (!platform::CopyStringA(suffixed, MAX_PATH, name) ||
      !platform::AppendStringA(suffixed, MAX_PATH, suffix != nullptr ? suffix : "")) {
    return 0;
  }
  char value[kValueChars];
  if (!ReadProfileValue(kDriverInfoSection, suffixed, value, data_file) &&
      !ReadProfileValue(kDriverInfoSection, name, value, data_file)) {
    return 0;
  }
  if (join_dir) return JoinToDataFileDirectory(data_file, value, out, len);
  return platform::CopyStringA(out, len, value);
}

int DriverModuleLocator::ReadDriverInfoPath(int key, char* out, size_t len,
                                            const char* data_file, int join_dir) {
  char value[kValueChars];
  if (!ReadDriverInfoKey(key, value, sizeof(value), data_file)) {
    if (out != nullptr && len > 0) platform::CopyStringA(out, len, value);
    return 0;
  }
  if (join_dir) return JoinToDataFileDirectory(data_file, value, out, len);
  return platform::CopyStringA(out, len, value);
}

int DriverModuleLocator::ReadDriverInfoFileName(int key, char* out, const char* data_file) {
  char path[MAX_PATH];
  if (!ReadDriverInfoPath(key, path, sizeof(path), data_file, 1)) return 0;
  return BaseNameOf(path, out, MAX_PATH);
}

}  // namespace kalimu::storage
