// Records of the printer-driver user-interface interface that mingw-w64's headers lack.
#pragma once

#include <windows.h>
#include <winddiui.h>

#include <cstddef>

extern "C" {

// Argument of DevQueryPrintEx.
typedef struct _DEVQUERYPRINT_INFO {
  WORD cbSize;
  WORD Level;
  HANDLE hPrinter;
  DEVMODEW* pDevMode;
  LPWSTR pszErrorStr;
  DWORD cchErrorStr;
  DWORD cchNeeded;
} DEVQUERYPRINT_INFO, *PDEVQUERYPRINT_INFO;

BOOL WINAPI DllInitialize(HANDLE module, ULONG reason);
BOOL WINAPI DevQueryPrintEx(PDEVQUERYPRINT_INFO info);

}  // extern "C"
