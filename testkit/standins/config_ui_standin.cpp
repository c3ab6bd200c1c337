// Stand-in configuration module for printers the tests install before the driver's own
// library can serve the spooler: it answers the three calls the spooler makes while a driver
// and a printer are added and opened, and nothing else.
#include <windows.h>

extern "C" {

// -1: no device mode of ours; the spooler then stores its own public record.
LONG WINAPI DrvDocumentPropertySheets(void*, LPARAM) { return -1; }

BOOL WINAPI DrvDriverEvent(DWORD, DWORD, LPBYTE, LPARAM) { return TRUE; }

DWORD WINAPI DrvDeviceCapabilities(HANDLE, PWSTR, WORD, PVOID, PDEVMODEW) { return 0; }

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

}  // extern "C"
