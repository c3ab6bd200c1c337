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

// Header of DrvDocumentPropertySheets without a sheet (its lParam) and of the document sheet
// (lParamInit of its PROPSHEETUI_INFO).
typedef struct _DOCUMENTPROPERTYHEADER {
  WORD cbSize;
  WORD Reserved;
  HANDLE hPrinter;
  LPWSTR pszPrinterName;
  PDEVMODEW pdmIn;
  PDEVMODEW pdmOut;
  DWORD cbOut;
  DWORD fMode;
} DOCUMENTPROPERTYHEADER, *PDOCUMENTPROPERTYHEADER;

// Header of the device sheet (lParamInit of its PROPSHEETUI_INFO).
typedef struct _DEVICEPROPERTYHEADER {
  WORD cbSize;
  WORD Flags;
  HANDLE hPrinter;
  LPWSTR pszPrinterName;
} DEVICEPROPERTYHEADER, *PDEVICEPROPERTYHEADER;

// Answers of DrvQueryJobAttributes at levels 1 and 2.
typedef struct _ATTRIBUTE_INFO_1 {
  DWORD dwJobNumberOfPagesPerSide;
  DWORD dwDrvNumberOfPagesPerSide;
  DWORD dwNupBorderFlags;
  DWORD dwJobPageOrderFlags;
  DWORD dwDrvPageOrderFlags;
  DWORD dwJobNumberOfCopies;
  DWORD dwDrvNumberOfCopies;
} ATTRIBUTE_INFO_1, *PATTRIBUTE_INFO_1;

typedef struct _ATTRIBUTE_INFO_2 {
  DWORD dwJobNumberOfPagesPerSide;
  DWORD dwDrvNumberOfPagesPerSide;
  DWORD dwNupBorderFlags;
  DWORD dwJobPageOrderFlags;
  DWORD dwDrvPageOrderFlags;
  DWORD dwJobNumberOfCopies;
  DWORD dwDrvNumberOfCopies;
  DWORD dwColorOptimization;
} ATTRIBUTE_INFO_2, *PATTRIBUTE_INFO_2;

// Argument of DrvUpgradePrinter at level 1.
typedef struct _DRIVER_UPGRADE_INFO_1 {
  LPWSTR pPrinterName;
  LPWSTR pOldDriverDirectory;
} DRIVER_UPGRADE_INFO_1, *PDRIVER_UPGRADE_INFO_1;

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

static_assert(sizeof(DOCUMENTPROPERTYHEADER) == 48 && offsetof(DOCUMENTPROPERTYHEADER, cbOut) == 40);
static_assert(sizeof(DEVICEPROPERTYHEADER) == 24);
static_assert(sizeof(ATTRIBUTE_INFO_1) == 28 && sizeof(ATTRIBUTE_INFO_2) == 32);

// Modes of DrvConvertDevMode.
#ifndef CDM_CONVERT
#define CDM_CONVERT 0x01
#define CDM_CONVERT351 0x02
#define CDM_DRIVER_DEFAULT 0x04
#endif
// Query mode and profile flag of DrvQueryColorProfile.
#ifndef QCP_DEVICEPROFILE
#define QCP_DEVICEPROFILE 0x0000
#define QCP_SOURCEPROFILE 0x0001
#define QCP_PROFILEMEMORY 0x0001
#define QCP_PROFILEDISK 0x0002
#endif
// The advanced settings of the document sheet (DrvAdvancedDocumentProperties).
#ifndef DM_ADVANCED
#define DM_ADVANCED 0x0010
#endif
// The caller may not change the settings (document and device sheets).
#ifndef DM_NOPERMISSION
#define DM_NOPERMISSION 0x0020
#endif
#ifndef DPS_NOPERMISSION
#define DPS_NOPERMISSION 0x0001
#endif
