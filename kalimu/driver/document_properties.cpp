// Document properties: the entry points through which the spooler and applications get, check
// and merge a job's device mode. Without a prompt they need no window; the sheet paths are in
// document_sheet.cpp.
#include <windows.h>

#include "kalimu/driver/dev_mode_merge.h"
#include "kalimu/driver/document_sheet.h"
#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/driver/export_guard.h"
#include "kalimu/driver/sheet_context.h"
#include "kalimu/settings/driver_dev_mode.h"

namespace kalimu::driver {
namespace {

constexpr LONG kDevModeBytes = static_cast<LONG>(settings::kDevModeSize);
constexpr LONG kFailure = -1;

// The call without a sheet: the size query, or the printer's current settings with the caller's
// record merged in, handed back in the shape of that record. 1048, 1 or -1.
LONG DocumentPropertiesWithoutSheet(DOCUMENTPROPERTYHEADER& header) {
  header.cbOut = kDevModeBytes;
  if (header.fMode == 0 || header.pdmOut == nullptr) return kDevModeBytes;
  SheetContext* context = CreateSheetContext(header.hPrinter, header.pdmIn, kDocumentSheet);
  if (context == nullptr) return kFailure;
  LONG result = 1;
  if ((header.fMode & (DM_UPDATE | DM_COPY)) != 0 &&
      !MergeDevModeToOutput(&context->dev_mode.Public, header.pdmIn, header.pdmOut)) {
    result = kFailure;
  }
  DestroySheetContext(context);
  return result;
}

}  // namespace
}  // namespace kalimu::driver

extern "C" {

LONG WINAPI DrvDocumentPropertySheets(PPROPSHEETUI_INFO info, LPARAM lparam) {
  using namespace kalimu::driver;
  return Guarded<LONG>(kFailure, [&]() -> LONG {
    auto* header = reinterpret_cast<DOCUMENTPROPERTYHEADER*>(info != nullptr ? info->lParamInit : lparam);
    if (header == nullptr) return kFailure;
    if (info != nullptr) return RunDocumentSheetReason(info, lparam, header);
    return DocumentPropertiesWithoutSheet(*header);
  });
}

LONG WINAPI DrvDocumentProperties(HWND window, HANDLE printer, PWSTR device_name, PDEVMODEW out, PDEVMODEW in,
                                  DWORD mode) {
  using namespace kalimu::driver;
  if (mode == 0 || out == nullptr) return kDevModeBytes;
  return Guarded<LONG>(kFailure, [&]() -> LONG {
    DOCUMENTPROPERTYHEADER header = {sizeof(DOCUMENTPROPERTYHEADER), 0, printer, device_name, in, out, 0, mode};
    const LONG result =
        (mode & DM_PROMPT) != 0 ? ShowDocumentSheet(window, &header) : DocumentPropertiesWithoutSheet(header);
    if (result > 0) return IDOK;
    return result == 0 ? IDCANCEL : result;
  });
}

LONG WINAPI DrvAdvancedDocumentProperties(HWND window, HANDLE printer, PWSTR device_name, PDEVMODEW out,
                                          PDEVMODEW in) {
  using namespace kalimu::driver;
  if (out == nullptr) return kDevModeBytes;
  return Guarded<LONG>(FALSE, [&]() -> LONG {
    DOCUMENTPROPERTYHEADER header = {sizeof(DOCUMENTPROPERTYHEADER), 0, printer, device_name, in, out, 0,
                                     DM_COPY | DM_PROMPT | DM_ADVANCED};
    return ShowAdvancedDocumentSheet(window, &header);
  });
}

}  // extern "C"
