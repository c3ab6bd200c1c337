// The document property sheet's window paths (not built yet).
#include "kalimu/driver/document_sheet.h"

namespace kalimu::driver {

LONG RunDocumentSheetReason(PROPSHEETUI_INFO*, LPARAM, DOCUMENTPROPERTYHEADER*) {
  SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
  return -1;
}

LONG ShowDocumentSheet(HWND, DOCUMENTPROPERTYHEADER*) {
  SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
  return -1;
}

BOOL ShowAdvancedDocumentSheet(HWND, DOCUMENTPROPERTYHEADER*) {
  SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
  return FALSE;
}

}  // namespace kalimu::driver
