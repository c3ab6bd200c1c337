// Storing and reading a test printer's device mode.
#include "testkit/kalimu/stored_dev_mode.h"

#include <winspool.h>

#include <cstddef>
#include <cstring>

namespace testkit {
namespace {

std::vector<uint8_t> PrinterInfo2(HANDLE printer) {
  DWORD needed = 0;
  GetPrinterW(printer, 2, nullptr, 0, &needed);
  std::vector<uint8_t> buffer(needed);
  if (needed == 0 || !GetPrinterW(printer, 2, buffer.data(), needed, &needed)) return {};
  return buffer;
}

}  // namespace

bool StorePrinterDevMode(HANDLE printer, const void* record) {
  std::vector<uint8_t> buffer = PrinterInfo2(printer);
  if (buffer.empty() || record == nullptr) return false;
  auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
  info->pDevMode = static_cast<DEVMODEW*>(const_cast<void*>(record));
  info->pSecurityDescriptor = nullptr;
  return SetPrinterW(printer, 2, buffer.data(), 0) != FALSE;
}

std::vector<uint8_t> ReadStoredDevMode(HANDLE printer) {
  std::vector<uint8_t> buffer = PrinterInfo2(printer);
  if (buffer.empty()) return {};
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  if (info->pDevMode == nullptr) return {};
  const auto* bytes = reinterpret_cast<const uint8_t*>(info->pDevMode);
  return std::vector<uint8_t>(bytes, bytes + info->pDevMode->dmSize + info->pDevMode->dmDriverExtra);
}

std::vector<uint8_t> WithNamesAsStrings(std::vector<uint8_t> record) {
  if (record.size() < offsetof(DEVMODEW, dmLogPixels)) return record;
  auto* mode = reinterpret_cast<DEVMODEW*>(record.data());
  const auto clear_after_terminator = [](WCHAR* name, size_t chars) {
    size_t i = 0;
    while (i < chars && name[i] != 0) ++i;
    for (; i < chars; ++i) name[i] = 0;
  };
  clear_after_terminator(mode->dmDeviceName, CCHDEVICENAME);
  clear_after_terminator(mode->dmFormName, CCHFORMNAME);
  return record;
}

}  // namespace testkit
