// The "STMSetting" switch and the status monitor's command lines for a printer.
#include "kalimu/status/monitor_link.h"

#include <winspool.h>

#include <cstring>

#include "kalimu/platform/global_block.h"
#include "kalimu/platform/spooler_info.h"
#include "kalimu/platform/text_conversion.h"
#include "kalimu/platform/unique_handle.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/status/utility_command.h"
#include "kalimu/storage/driver_registry.h"

namespace kalimu::status {
namespace {

using platform::ReadDriverInfo2A;
using platform::ReadPrinterInfo2A;

// A name copied whole into out (kMonitorNameChars + 1 bytes); false when it is longer.
bool CopyName(const char* name, char* out) {
  const size_t n = name != nullptr ? std::strlen(name) : 0;
  if (n > kMonitorNameChars) return false;
  if (n > 0) std::memcpy(out, name, n);
  out[n] = '\0';
  return true;
}

}  // namespace

int GetDriverDirectoryOf(HANDLE printer, char* out, size_t size) {
  platform::GlobalBlock block;
  const DRIVER_INFO_2A* info = ReadDriverInfo2A(printer, block);
  if (info == nullptr || info->pDriverPath == nullptr) return 0;
  const char* slash = std::strrchr(info->pDriverPath, '\\');
  const size_t n = slash != nullptr ? static_cast<size_t>(slash - info->pDriverPath) + 1 : 0;
  if (n >= size) return 0;
  std::memcpy(out, info->pDriverPath, n);
  out[n] = '\0';
  return 1;
}

int ReadStmSetting(HANDLE printer, settings::JobSettings* /*settings*/, uint32_t* out) {
  *out = 0;
  uint32_t value = 0;
  DWORD type = 0;
  DWORD needed = 0;
  if (settings::JobSettings::GetPrinterDataValue(printer, kStmSettingName, &type, &value, sizeof value, &needed) !=
          ERROR_SUCCESS ||
      needed == 0) {
    return 0;
  }
  *out = value;
  return 1;
}

int WriteStmSetting(HANDLE printer, settings::JobSettings* /*settings*/, uint32_t value) {
  platform::GlobalBlock block;
  const PRINTER_INFO_2A* info = ReadPrinterInfo2A(printer, block);
  if (info == nullptr || info->pPrinterName == nullptr) return 0;
  const auto name = platform::WideFromAnsi(info->pPrinterName);
  if (!name) return 0;
  PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
  platform::UniquePrinter full;
  if (!OpenPrinterW(const_cast<wchar_t*>(name->c_str()), full.Receive(), &defaults)) return 0;
  return settings::JobSettings::SetPrinterDataValue(full.get(), kStmSettingName, REG_DWORD, &value, sizeof value) ==
                 ERROR_SUCCESS
             ? 1
             : 0;
}

uint32_t CheckStmSetting(HANDLE printer, settings::JobSettings* settings, uint32_t* flags, uint32_t* value,
                         StmWriter write) {
  uint32_t a = *flags;
  uint32_t v = 0;
  DWORD size = sizeof v;
  if (settings->ReadRegistryValueById(storage::kValueStmSetting, &v, &size, storage::kViewDefault) ==
      ERROR_SUCCESS) {
    if (write(printer, settings, v)) {
      settings->DeleteRegistryValue(nullptr, nullptr, storage::kValueStmSetting, storage::kViewBoth);
    } else {
      a |= kStmCannotWrite;
    }
  } else {
    ReadStmSetting(printer, settings, &v);
    if (write(printer, settings, v)) {
      a &= ~kStmCannotWrite;
    } else {
      a |= kStmCannotWrite;
    }
  }
  *flags = a;
  *value = v;
  return v;
}

int BuildMonitorCommand(char* out, size_t size, HANDLE printer, int16_t type, const int32_t* job_id,
                        settings::JobSettings* settings) {
  char driver_name[kMonitorNameChars + 1] = "";
  char printer_name[kMonitorNameChars + 1] = "";
  {
    platform::GlobalBlock block;
    const DRIVER_INFO_2A* driver = ReadDriverInfo2A(printer, block);
    if (driver == nullptr || !CopyName(driver->pName, driver_name)) return -1;
    // A printer that cannot be read is named by an empty text; a name too long for the
    // monitor is not cut into another printer's.
    const PRINTER_INFO_2A* info = ReadPrinterInfo2A(printer, block);
    if (info != nullptr && !CopyName(info->pPrinterName, printer_name)) return -1;
  }
  char library[MAX_PATH] = "";
  char directory[MAX_PATH] = "";
  if (settings == nullptr || !settings->GetStatusModulePath(library, sizeof library) ||
      !GetDriverDirectoryOf(printer, directory, sizeof directory)) {
    return -1;
  }
  UtilityCommandTarget target{library, printer_name, driver_name, directory};
  target.command_file_limit = kMonitorCommandFileBytes;
  return BuildUtilityCommandLine(target, out, size, type, job_id);
}

}  // namespace kalimu::status
