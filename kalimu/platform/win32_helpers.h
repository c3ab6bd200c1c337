// Small Win32 helpers of the entry points: device-mode copy, printer open by ANSI name and the
// plain message box.
#pragma once

#include <windows.h>

namespace kalimu::platform {

// Copies dmSize bytes of the public part and dmDriverExtra bytes after it;
// with dmSize 0 only the first 8 bytes.
void CopyDevModeRecord(const DEVMODEW* source, DEVMODEW* destination);

// OpenPrinterW on the UTF-16 form of an ANSI name, without defaults.
BOOL OpenPrinterByAnsiName(const char* printer_name, HANDLE* out_handle);

// Message box without owner, caption "Dlg DLL Message", OK button.
int ShowDlgDllMessage(const char* text);

}  // namespace kalimu::platform
