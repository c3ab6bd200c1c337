// Construction, destruction and the factory of the settings object; its own small state.
#include "kalimu/settings/job_settings.h"

#include <new>

#include "kalimu/platform/text_helpers.h"
#include "kalimu/settings/driver_dev_mode.h"
#include "kalimu/settings/printer_info.h"

namespace kalimu::settings {

JobSettings::JobSettings(void* dev_mode, HANDLE printer, const char* printer_name, const char* driver_name)
    : model::ModelCapabilities(), DevModeAccessor(dev_mode) {
  if (printer == nullptr) return;
  if (dev_mode == nullptr) {
    if (!AllocDevMode()) return;  // zero-filled
    owns_record_ = true;
  }
  printer_ = printer;

  // A null name is taken from the printer; a name the caller gave is still used. The printer's
  // information is read once for the names and the stored record.
  char printer_from_spooler[kPrinterNameChars] = {};
  char driver_from_spooler[kPrinterNameChars] = {};
  platform::GlobalBlock block;
  const PRINTER_INFO_2W* info = nullptr;
  if (printer_name == nullptr || driver_name == nullptr || owns_record_) info = ReadPrinterInfo2(printer, block);
  if (printer_name == nullptr || driver_name == nullptr) {
    if (info == nullptr || !WideToAnsi(info->pPrinterName, printer_from_spooler, sizeof(printer_from_spooler)) ||
        !WideToAnsi(info->pDriverName, driver_from_spooler, sizeof(driver_from_spooler))) {
      return;
    }
    if (printer_name == nullptr) printer_name = printer_from_spooler;
    if (driver_name == nullptr) driver_name = driver_from_spooler;
  }
  SetPrinterName(printer_name);
  SetDriverName(driver_name);
  registry().Init(printer_name_, GetDriverName());
  locator().Init(printer_name_, GetDriverName(), printer);

  if (owns_record_ && !AdoptStoredDevMode(info, block) && !ResetToDefaults()) {
    FreeDevMode();
    owns_record_ = false;
    return;
  }
  valid_ = 1;
}

JobSettings::~JobSettings() {
  // A caller's record is never freed here; the profile blocks free themselves.
  if (owns_record_) FreeDevMode();
}

void JobSettings::SetPrinterName(const char* name) {
  platform::CopyStringA(printer_name_, sizeof(printer_name_), name != nullptr ? name : "");
}

int JobSettings::AdoptPrinterDevMode(HANDLE printer) {
  platform::GlobalBlock block;
  return AdoptStoredDevMode(ReadPrinterInfo2(printer, block), block);
}

int JobSettings::AdoptStoredDevMode(const PRINTER_INFO_2W* info, const platform::GlobalBlock& block) {
  if (info == nullptr || info->pDevMode == nullptr) return 0;
  // The stored record is taken only when it holds a whole record of this driver.
  if (!AcceptsStoredDevMode(info->pDevMode, StoredDevModeBytes(*info, block), info->pDriverName)) return 0;
  SetDriverDevMode(info->pDevMode);
  return 1;
}

int JobSettings::ResetToDefaults() {
  if (!SetDefaults(GetDriverName())) return 0;
  SetDeviceName(printer_name_);  // cut to 31 bytes, then converted
  return 1;
}

JobSettings* CreateJobSettings(void* dev_mode, HANDLE printer, const char* printer_name, const char* driver_name) {
  auto* settings = new (std::nothrow) JobSettings(dev_mode, printer, printer_name, driver_name);
  if (settings != nullptr && !settings->IsValid()) {
    DestroyJobSettings(settings);
    return nullptr;
  }
  return settings;
}

int DestroyJobSettings(JobSettings* settings) {
  delete settings;
  return 1;
}

}  // namespace kalimu::settings
