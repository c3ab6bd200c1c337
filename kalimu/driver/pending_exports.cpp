// Entry points whose behaviour is not built yet. Each one is exported at its fixed ordinal and
// answers its interface's failure result; where the interface reports errors through the
// thread's last error, that is ERROR_CALL_NOT_IMPLEMENTED. An entry point moves out of this
// file when it is built.
#include "kalimu/driver/driver_ui_types.h"

namespace {

// The failure result of a not-yet-built entry point, with the last error set.
template <class T>
T NotImplemented(T result) {
  SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
  return result;
}

}  // namespace

extern "C" {

// Property sheets and document properties.
LONG WINAPI DrvDevicePropertySheets(PPROPSHEETUI_INFO, LPARAM) { return NotImplemented<LONG>(-1); }
BOOL WINAPI PrinterProperties(HWND, HANDLE) { return NotImplemented<BOOL>(FALSE); }

}  // extern "C"
