// Device-mode copy, printer open by ANSI name and the plain message box.
#include "kalimu/platform/win32_helpers.h"

#include <winspool.h>

#include <cstring>

#include "kalimu/platform/text_conversion.h"

namespace kalimu::platform {

void CopyDevModeRecord(const DEVMODEW* source, DEVMODEW* destination) {
  if (source == nullptr || destination == nullptr) return;
  if (source->dmSize == 0) {
    std::memcpy(destination, source, 8);
    return;
  }
  const size_t total = static_cast<size_t>(source->dmSize) + source->dmDriverExtra;
  std::memmove(destination, source, total);
}

BOOL OpenPrinterByAnsiName(const char* printer_name, HANDLE* out_handle) {
  if (printer_name == nullptr) return FALSE;
  auto wide = WideFromAnsi(printer_name);
  if (!wide) return FALSE;
  return OpenPrinterW(wide->data(), out_handle, nullptr);
}

int ShowDlgDllMessage(const char* text) {
  return MessageBoxA(nullptr, text, "Dlg DLL Message", MB_OK);
}

}  // namespace kalimu::platform
