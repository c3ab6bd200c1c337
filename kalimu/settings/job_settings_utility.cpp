// The utility command line of a job's printer: the status-monitor library the driver data
// names, the printer, the device mode's driver and the driver's directory.
#include "kalimu/settings/job_settings.h"

#include <windows.h>

#include "kalimu/status/utility_command.h"

namespace kalimu::settings {

int16_t JobSettings::BuildUtilityCommandLine(char* text, size_t size, int16_t request, const int32_t* job_id) {
  char library[MAX_PATH] = {};
  char directory[MAX_PATH] = {};
  if (!GetStatusModulePath(library, sizeof library)) return -1;
  if (!locator().GetDriverDirectory(directory, sizeof directory)) return -1;
  const status::UtilityCommandTarget target{library, GetPrinterName(), GetDriverName(), directory};
  return status::BuildUtilityCommandLine(target, text, size, request, job_id);
}

}  // namespace kalimu::settings
