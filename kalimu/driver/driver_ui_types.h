// Records of the printer-driver user-interface interface that mingw-w64's headers lack.
#pragma once

#include <windows.h>
#include <compstui.h>
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

// Records for the rendering library.
void* WINAPI CreateStruct(DWORD type, void* melvo_info, void* a, void* b);
DWORD WINAPI DestroyStruct(DWORD type, void* record, void* melvo_info);
void* WINAPI CreateMelvoInfo(void* params);
DWORD WINAPI DestroyMelvoInfo(void* melvo_info);
DWORD WINAPI DRVUIGetInkSet(DEVMODEW* dev_mode, void* ink_set_info, const char* printer_name);
DWORD WINAPI DRVUIGetJobDataEx2(DEVMODEW* dev_mode, void* job_data, const char* printer_name);
DWORD WINAPI DRVUIGetPrePrintStatus(DEVMODEW* dev_mode, HANDLE printer);
DWORD WINAPI DRVUIGetUIData2(DEVMODEW* dev_mode, void* ui_data, void* unused, const char* printer_name);

// Printer-driver user-interface entry points (DrvDocumentEvent, DrvDriverEvent and
// DrvPrinterEvent are declared by winddiui.h).
LONG WINAPI DrvDocumentPropertySheets(PPROPSHEETUI_INFO info, LPARAM lparam);
LONG WINAPI DrvDevicePropertySheets(PPROPSHEETUI_INFO info, LPARAM lparam);
LONG WINAPI DrvDocumentProperties(HWND window, HANDLE printer, PWSTR device_name, PDEVMODEW out,
                                  PDEVMODEW in, DWORD mode);
LONG WINAPI DrvAdvancedDocumentProperties(HWND window, HANDLE printer, PWSTR device_name,
                                          PDEVMODEW out, PDEVMODEW in);
DWORD WINAPI DrvDeviceCapabilities(HANDLE printer, PWSTR device_name, WORD capability, PVOID out,
                                   PDEVMODEW dev_mode);
BOOL WINAPI DrvConvertDevMode(LPWSTR printer_name, PDEVMODEW in, PDEVMODEW out, PLONG size,
                              DWORD mode);
BOOL WINAPI DrvQueryJobAttributes(HANDLE printer, PDEVMODEW dev_mode, DWORD level, LPBYTE info);
BOOL WINAPI DrvQueryColorProfile(HANDLE printer, PDEVMODEW dev_mode, ULONG query_mode,
                                 PVOID profile, ULONG* size, FLONG* flags);
BOOL WINAPI DrvUpgradePrinter(DWORD level, LPBYTE info);
BOOL WINAPI PrinterProperties(HWND window, HANDLE printer);

}  // extern "C"
