// The device property sheet (printer properties): one page, the version page, run by compstui
// through DrvDevicePropertySheets, or opened by PrinterProperties.
#pragma once

#include <windows.h>
#include <compstui.h>

#include "kalimu/driver/driver_ui_types.h"

namespace kalimu::driver {

inline constexpr char kPermissionProbeValue[] = "KVPermission";

// DrvDevicePropertySheets with a PROPSHEETUI_INFO: 1 or -1.
LONG RunDeviceSheetReason(PROPSHEETUI_INFO* info, LPARAM lparam);

// The two outside calls of PrinterProperties: the write probe of the printer's data and the
// run of the sheet component. Tests replace them (Wine grants every right and its compstui
// does not run a sheet headless); each replacement answers the previous calls.
struct PrinterPropertiesCalls {
  // TRUE when the printer's data could be written.
  BOOL (*probe_permission)(HANDLE printer);
  // The sheet component's answer, or -1 when it cannot be run.
  LONG (*run_sheet)(HWND window, PFNPROPSHEETUI callback, LPARAM lparam, DWORD* result);
};
PrinterPropertiesCalls ReplacePrinterPropertiesCalls(const PrinterPropertiesCalls& calls);

// The probe as shipped: writes "KVPermission" = 1 (REG_DWORD) into the printer's data.
BOOL ProbePrinterDataPermission(HANDLE printer);
// The sheet component as shipped: "CommonPropertySheetUIW" of "compstui.dll", loaded for the call.
LONG RunCommonPropertySheet(HWND window, PFNPROPSHEETUI callback, LPARAM lparam, DWORD* result);

// PrinterProperties: TRUE when the sheet ran and its result is not 0.
BOOL ShowPrinterProperties(HWND window, HANDLE printer);

}  // namespace kalimu::driver
