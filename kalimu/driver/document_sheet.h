// The document property sheet: the sheet callback's reasons when compstui runs the sheet, and
// the two ways an application opens it. Not built yet: each answers its failure result with
// ERROR_CALL_NOT_IMPLEMENTED, and no window is shown.
#pragma once

#include <windows.h>
#include <compstui.h>

#include "kalimu/driver/driver_ui_types.h"

namespace kalimu::driver {

// DrvDocumentPropertySheets with a PROPSHEETUI_INFO: 1 or -1.
LONG RunDocumentSheetReason(PROPSHEETUI_INFO* info, LPARAM lparam, DOCUMENTPROPERTYHEADER* header);
// DrvDocumentProperties with DM_PROMPT: the sheet's result (above 0 OK, 0 cancel), or -1.
LONG ShowDocumentSheet(HWND window, DOCUMENTPROPERTYHEADER* header);
// DrvAdvancedDocumentProperties with an output: TRUE when the sheet ended with OK.
BOOL ShowAdvancedDocumentSheet(HWND window, DOCUMENTPROPERTYHEADER* header);

}  // namespace kalimu::driver
