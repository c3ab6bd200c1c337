// DrvConvertDevMode: the spooler's conversion of device modes between driver versions and its
// request for this driver's default record.
#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "kalimu/driver/dev_mode_merge.h"
#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/driver/export_guard.h"
#include "kalimu/platform/global_block.h"
#include "kalimu/platform/text_conversion.h"
#include "kalimu/platform/unique_handle.h"
#include "kalimu/platform/win32_helpers.h"
#include "kalimu/settings/driver_dev_mode.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::driver {
namespace {

constexpr char kDllNamePrefix[] = "DLLName32=";
constexpr size_t kUiModulePathBytes = 256;
constexpr DWORD kDriverNameChars = 32;

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// The driver's name (at most 31 characters) in the system code page; none when unreadable.
std::optional<std::string> GetPrinterDriverName(HANDLE printer) {
  DWORD needed = 0;
  GetPrinterDriverW(printer, nullptr, 1, nullptr, 0, &needed);
  platform::GlobalBlock block;
  if (needed < sizeof(DRIVER_INFO_1W) || !block.Allocate(needed) ||
      !GetPrinterDriverW(printer, nullptr, 1, block.data(), needed, &needed)) {
    return std::nullopt;
  }
  const wchar_t* name = reinterpret_cast<const DRIVER_INFO_1W*>(block.data())->pName;
  if (name == nullptr) return std::nullopt;
  return platform::AnsiFromWide(std::wstring_view(name, wcsnlen(name, kDriverNameChars - 1)));
}

// CDM_CONVERT: the input's parts over the output, which must be a whole record of this driver;
// then the output names this driver's user-interface module and language.
BOOL ConvertToOutput(HANDLE printer, const DEVMODEW* input, DEVMODEW* output, LONG* size) {
  if (input == nullptr || output == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  const LONG output_bytes = LONG{output->dmSize} + output->dmDriverExtra;
  if (*size < output_bytes || output_bytes < static_cast<LONG>(settings::kDevModeSize) ||
      MergeDevModeParts(input, output) <= 0) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  settings::JobSettingsPtr settings(settings::CreateJobSettings(output, printer, nullptr, nullptr));
  if (settings == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  char module[kUiModulePathBytes] = {};
  settings->GetUiModulePath(module, sizeof(module), 0);
  const std::string tag = std::string(kDllNamePrefix) + module;
  char cut_tag[settings::kDriverNameBytes] = {};
  settings::CutDriverName(tag.c_str(), cut_tag);
  settings->SetDllNameTag(cut_tag);
  settings->StoreUiLanguage();
  *size = output_bytes;
  return TRUE;
}

// CDM_DRIVER_DEFAULT: this driver's default record for the printer, named as the spooler named it.
BOOL BuildDefaultRecord(HANDLE printer, const std::string& printer_name, DEVMODEW* output, LONG* size) {
  constexpr LONG kNeeded = static_cast<LONG>(settings::kDevModeSize);
  if (output == nullptr || *size < kNeeded) {
    *size = kNeeded;
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  *size = kNeeded;
  std::memset(output, 0, settings::kDevModeSize);
  const std::optional<std::string> driver_name = GetPrinterDriverName(printer);
  if (!driver_name) return FALSE;
  settings::JobSettingsPtr settings(
      settings::CreateJobSettings(output, printer, printer_name.c_str(), driver_name->c_str()));
  return settings != nullptr && settings->ResetToDefaults() ? TRUE : FALSE;
}

BOOL ConvertDevMode(const wchar_t* printer_name, const DEVMODEW* in, DEVMODEW* out, LONG* size, DWORD mode) {
  // The spooler may append ",..." to the name: the printer is named by the text before it.
  std::optional<std::string> name = printer_name != nullptr ? platform::AnsiFromWide(printer_name) : std::nullopt;
  if (!name) return Fail(ERROR_INVALID_PARAMETER);
  name->resize(std::min(name->find(','), name->size()));
  platform::UniquePrinter printer;
  if (!platform::OpenPrinterByAnsiName(name->c_str(), printer.Receive())) return Fail(ERROR_INVALID_PARAMETER);
  if (size == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  switch (mode) {
    case CDM_CONVERT: return ConvertToOutput(printer.get(), in, out, size);
    case CDM_CONVERT351: return Fail(ERROR_INVALID_PARAMETER);
    case CDM_DRIVER_DEFAULT: return BuildDefaultRecord(printer.get(), *name, out, size);
    default: return FALSE;
  }
}

}  // namespace
}  // namespace kalimu::driver

extern "C" {

BOOL WINAPI DrvConvertDevMode(LPWSTR printer_name, PDEVMODEW in, PDEVMODEW out, PLONG size, DWORD mode) {
  using namespace kalimu::driver;
  return Guarded<BOOL>(FALSE, [&] { return ConvertDevMode(printer_name, in, out, size, mode); });
}

}  // extern "C"
