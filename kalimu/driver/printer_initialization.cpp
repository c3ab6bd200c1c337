// Printer initialisation (install, connection, upgrade) and the upgrade of the stored device mode.
#include "kalimu/driver/printer_initialization.h"

#include <winspool.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/driver/export_guard.h"
#include "kalimu/platform/global_block.h"
#include "kalimu/platform/unique_handle.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/printer_info.h"
#include "kalimu/settings/printer_reg_values.h"
#include "kalimu/status/stored_readings.h"
#include "kalimu/storage/driver_registry.h"

namespace kalimu::driver {
namespace {

using settings::JobSettings;

constexpr int kDriverFileUmdModule = 30;  // "UMDModuleNT4": the user-mode rendering module
constexpr int kDriverFileZpcResource = 29;  // "ZPCRES"
constexpr char kUserModeDriverValue[] = "SPLUserModePrinterDriver";
constexpr char kCbtEnableValue[] = "CBT Enable";
constexpr char kPrinterRootKey[] = "SOFTWARE\\NORVA\\PRINTER\\";
constexpr int kDefaultView = 0;  // reads: the default view; writes: both views

// Model header word 20.
constexpr uint32_t kModelCbt = 0x20;
constexpr uint32_t kModelSilentOff = 0x1000000;
constexpr uint32_t kModelSilentOn = 0x2000000;
// Model header word 24: the platen kinds.
constexpr uint32_t kModelPlatenAny = 0x08 | 0x10 | 0x20 | 0x40;
constexpr uint32_t kModelPlatenBit0 = 0x10;
constexpr uint32_t kModelPlatenBit1 = 0x40;
// Model header word 28: the cutter.
constexpr uint32_t kModelCutterKnown = 0x10 | 0x20;
constexpr uint32_t kModelCutterPresent = 0x20;

// A stored value counts as present when it reads with at least `least` bytes (or holds more
// than the store reads of it).
bool IsValuePresent(JobSettings& settings, int id, DWORD least) {
  char data[MAX_PATH] = {};
  DWORD size = sizeof(data);
  const LONG read = settings.ReadRegistryValue(nullptr, nullptr, id, data, &size, kDefaultView);
  return read == ERROR_MORE_DATA || (read == ERROR_SUCCESS && size >= least);
}

void WriteTextValue(JobSettings& settings, int id, const char* text) {
  settings::WritePrinterRegValue(&settings, nullptr, nullptr, id, REG_SZ, text,
                                 static_cast<DWORD>(std::strlen(text) + 1), kDefaultView);
}

// The long form of the system temporary folder; the Windows folder when it cannot be had.
void GetTempFolderPath(char (&out)[MAX_PATH]) {
  char temp[MAX_PATH] = {};
  const DWORD length = GetTempPathA(MAX_PATH, temp);
  if (length != 0 && length < MAX_PATH) {
    const DWORD long_length = GetLongPathNameA(temp, out, MAX_PATH);
    if (long_length != 0 && long_length < MAX_PATH) return;
  }
  out[0] = '\0';
  JobSettings::GetWindowsDirectoryPath(out, MAX_PATH);
}

// The driver's key with world access for the printer, then the folder values it lacks.
void InitPrinterRegistryValues(const char* driver_name, JobSettings& settings) {
  char key[MAX_PATH] = {};
  platform::CopyStringA(key, sizeof(key), kPrinterRootKey);
  platform::AppendStringA(key, sizeof(key), driver_name);
  char folder[MAX_PATH] = {};
  const int has_folder = settings.EnsureDriverFolder(folder, sizeof(folder));
  settings::CheckPrinterRegKeyAccess(&settings, key, kDefaultView);

  if (!IsValuePresent(settings, storage::kValueTempFilePath, 2)) {
    char temp[MAX_PATH] = {};
    GetTempFolderPath(temp);
    WriteTextValue(settings, storage::kValueTempFilePath, temp);
  }
  if (has_folder && !IsValuePresent(settings, storage::kValueKvFilesPath, 2) &&
      platform::AppendStringA(folder, sizeof(folder), "\\")) {
    WriteTextValue(settings, storage::kValueKvFilesPath, folder);
  }
  if (!IsValuePresent(settings, storage::kValuePmFlag, 2)) {
    const uint16_t pm_flag = 1;
    settings::WritePrinterRegValue(&settings, nullptr, nullptr, storage::kValuePmFlag, REG_BINARY, &pm_flag,
                                   sizeof(pm_flag), kDefaultView);
  }
}

void StoreZpcParamFile(JobSettings& settings) {
  char path[MAX_PATH] = {};
  if (settings.GetDriverFilePath(kDriverFileZpcResource, path, sizeof(path)) && path[0] != '\0') {
    WriteTextValue(settings, storage::kValueZpcParamFile, path);
  }
}

// "SPLUserModePrinterDriver": the rendering module's file name and extension.
void StoreUserModeDriver(HANDLE printer, JobSettings& settings) {
  char path[MAX_PATH] = {};
  if (!settings.GetDriverFilePath(kDriverFileUmdModule, path, sizeof(path)) || path[0] == '\0') return;
  char name[MAX_PATH] = {};
  char extension[MAX_PATH] = {};
  _splitpath(path, nullptr, nullptr, name, extension);
  char file[MAX_PATH] = {};
  platform::CopyStringA(file, sizeof(file), name);
  platform::AppendStringA(file, sizeof(file), extension);
  JobSettings::SetPrinterDataValue(printer, kUserModeDriverValue, REG_SZ, file,
                                   static_cast<DWORD>(std::strlen(file) + 1));
}

// The model's start values: "CBT Enable", "Silent", "PLATENINF" and "CUTTERINFO", in this order.
void StoreModelStartValues(HANDLE printer, JobSettings& settings) {
  const storage::DriverRegistry& registry = settings.registry();
  if (settings.TestModelHeaderFlags20(kModelCbt)) {
    const DWORD on = 1;
    JobSettings::SetPrinterDataValue(printer, kCbtEnableValue, REG_DWORD, &on, sizeof(on));
  }
  if (settings.TestModelHeaderFlags20(kModelSilentOff | kModelSilentOn)) {
    status::WriteSilentValue(registry, settings.TestModelHeaderFlags20(kModelSilentOn) ? 1 : 0);
  }
  if (settings.TestModelHeaderFlags24(kModelPlatenAny)) {
    const int32_t platen = (settings.TestModelHeaderFlags24(kModelPlatenBit0) ? 1 : 0) |
                           (settings.TestModelHeaderFlags24(kModelPlatenBit1) ? 2 : 0);
    status::WritePlatenInfo(registry, platen);
  }
  if (settings.TestModelHeaderFlags28(kModelCutterKnown) && !IsValuePresent(settings, storage::kValueCutterInfo, 2)) {
    status::WriteStoredNumber(registry, storage::kValueCutterInfo,
                              settings.TestModelHeaderFlags28(kModelCutterPresent) ? 1 : 0);
  }
}

// The driver information must be readable: a size query that fails for want of room, then the read.
bool CanReadDriverInfo(HANDLE printer) {
  DWORD needed = 0;
  if (GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed) || GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    return false;
  }
  platform::GlobalBlock block;
  return block.Allocate(needed) && GetPrinterDriverW(printer, nullptr, 2, block.data(), needed, &needed);
}

}  // namespace

int InitializePrinter(HANDLE printer) {
  settings::JobSettingsPtr settings(settings::CreateJobSettings(nullptr, printer, nullptr, nullptr));
  if (settings == nullptr || !CanReadDriverInfo(printer)) return 0;

  StoreUserModeDriver(printer, *settings);
  // The registry store keys the driver by the settings' driver name: the same name here.
  InitPrinterRegistryValues(settings->GetDriverName(), *settings);
  StoreZpcParamFile(*settings);
  StoreModelStartValues(printer, *settings);
  settings->WriteDefaultInkInfo();
  settings->EnsurePartLoaded(2);  // the user-settings file
  settings->EnsurePartLoaded(3);  // the watermark list
  return 1;
}

int DeletePrinterTempValues(HANDLE, settings::JobSettings* settings) {
  if (settings == nullptr) return 1;
  storage::DriverRegistry& registry = settings->registry();
  for (int id : {storage::kValueTempFilePath, storage::kValueKvFilesPath}) {
    if (IsValuePresent(*settings, id, 1)) settings::DeletePrinterRegValue(settings, nullptr, nullptr, id, kDefaultView);
  }
  // The store deletes "PMFlag" only by its key and name.
  char key[storage::DriverRegistry::kKeyChars] = {};
  if (IsValuePresent(*settings, storage::kValuePmFlag, 1) &&
      registry.GetKeyPath(storage::kKeyDriver, key, sizeof(key), nullptr)) {
    settings::DeletePrinterRegValue(settings, key, "PMFlag", storage::kValueCaller, kDefaultView);
  }
  return 1;
}

int UpgradeStoredDevMode(HANDLE printer) {
  platform::GlobalBlock block;
  PRINTER_INFO_2W* info = settings::ReadPrinterInfo2(printer, block);
  if (info == nullptr || info->pDevMode == nullptr) return 0;
  // The merge reads the header and as many bytes as the record declares: all must lie in the block.
  const size_t declared = size_t{info->pDevMode->dmSize} + info->pDevMode->dmDriverExtra;
  if (settings::StoredDevModeBytes(*info, block) < std::max(declared, offsetof(DEVMODEW, dmFields))) return 0;
  settings::JobSettingsPtr settings(settings::CreateJobSettings(nullptr, printer, nullptr, nullptr));
  if (settings == nullptr || !settings->MergeDevMode(info->pDevMode, printer)) return 0;
  info->pDevMode = settings->GetDevMode();
  info->pSecurityDescriptor = nullptr;  // the printer's security stays as it is
  return SetPrinterW(printer, 2, reinterpret_cast<BYTE*>(info), 0) ? 1 : 0;
}

}  // namespace kalimu::driver

extern "C" {

BOOL WINAPI DrvUpgradePrinter(DWORD level, LPBYTE info) {
  return kalimu::driver::Guarded<BOOL>(FALSE, [&]() -> BOOL {
    const auto* upgrade = reinterpret_cast<const DRIVER_UPGRADE_INFO_1*>(info);
    if (level != 1 || upgrade == nullptr) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    kalimu::platform::UniquePrinter printer;
    if (!OpenPrinterW(upgrade->pPrinterName, printer.Receive(), &defaults)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    return kalimu::driver::InitializePrinter(printer.get()) && kalimu::driver::UpgradeStoredDevMode(printer.get());
  });
}

}  // extern "C"
