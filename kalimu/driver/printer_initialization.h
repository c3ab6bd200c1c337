// What a printer needs before the driver's other parts can serve it: the printer data naming the
// user-mode rendering module, the driver's registry key with its folder values, the model's start
// values and the user files; and the rewrite of the stored device mode in the current layout.
#pragma once

#include <windows.h>

namespace kalimu::settings {
class JobSettings;
}  // namespace kalimu::settings

namespace kalimu::driver {

// Prepares an open printer (install, connection, upgrade). 1, or 0 when no settings object can
// be built or the driver information cannot be read. A value that cannot be written is skipped.
int InitializePrinter(HANDLE printer);

// Removes the stored temporary-folder, driver-folder and PMFlag values that can be read, so that
// the next initialisation writes them afresh. Answers 1.
int DeletePrinterTempValues(HANDLE printer, settings::JobSettings* settings);

// Merges the printer's stored device mode into a record of this driver's layout and stores that
// one. 1, or 0 when there is no stored record, it cannot be merged or the printer refuses it.
int UpgradeStoredDevMode(HANDLE printer);

}  // namespace kalimu::driver
