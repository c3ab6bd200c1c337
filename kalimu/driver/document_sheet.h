// The document property sheet: the sheet callback's reasons when the common property-sheet
// component runs the sheet, the setup that runs before the pages exist, and the two ways an
// application opens the sheet.
#pragma once

#include <windows.h>
#include <compstui.h>

#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/driver/sheet_context.h"

namespace kalimu::driver {

// DrvDocumentPropertySheets with a PROPSHEETUI_INFO: 1 or -1.
LONG RunDocumentSheetReason(PROPSHEETUI_INFO* info, LPARAM lparam, DOCUMENTPROPERTYHEADER* header);
// DrvDocumentProperties with DM_PROMPT: the sheet's result (above 0 OK, 0 cancel), or -1.
LONG ShowDocumentSheet(HWND window, DOCUMENTPROPERTYHEADER* header);
// DrvAdvancedDocumentProperties with an output: TRUE when the sheet ended with OK.
BOOL ShowAdvancedDocumentSheet(HWND window, DOCUMENTPROPERTYHEADER* header);

// The sheet's records before the pages exist: the settings on the context's record, the
// resource library (its message when it cannot be loaded), the custom controls, the PageShared,
// the job options of "PMFlag", the persistent options and the status monitor's presence.
// 1, or 0 when the settings or the resource library cannot be had.
int SetUpDocumentSheet(PageParam* param, const DOCUMENTPROPERTYHEADER* header, SheetContext* context);

}  // namespace kalimu::driver
