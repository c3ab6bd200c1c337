// Reading the printer's level-2 information for the settings object.
#include "kalimu/settings/printer_info.h"

#include <winspool.h>

#include <cstdint>
#include <optional>
#include <string>

#include "kalimu/platform/text_conversion.h"
#include "kalimu/platform/text_helpers.h"

namespace kalimu::settings {

PRINTER_INFO_2W* ReadPrinterInfo2(HANDLE printer, platform::GlobalBlock& block) {
  block.Reset();
  DWORD needed = 0;
  if (GetPrinterW(printer, 2, nullptr, 0, &needed) || GetLastError() != ERROR_INSUFFICIENT_BUFFER ||
      needed < sizeof(PRINTER_INFO_2W) || !block.Allocate(needed)) {
    return nullptr;
  }
  if (!GetPrinterW(printer, 2, block.data(), needed, &needed)) {
    block.Reset();
    return nullptr;
  }
  return reinterpret_cast<PRINTER_INFO_2W*>(block.data());
}

size_t StoredDevModeBytes(const PRINTER_INFO_2W& info, const platform::GlobalBlock& block) {
  const auto* record = reinterpret_cast<const uint8_t*>(info.pDevMode);
  const uint8_t* start = block.data();
  if (record == nullptr || start == nullptr || record < start || record >= start + block.size()) return 0;
  const size_t room = static_cast<size_t>(start + block.size() - record);
  if (room < offsetof(DEVMODEW, dmDriverExtra) + sizeof(WORD)) return 0;
  const size_t declared = size_t{info.pDevMode->dmSize} + info.pDevMode->dmDriverExtra;
  return declared < room ? declared : room;
}

int WideToAnsi(const wchar_t* text, char* out, size_t size) {
  if (text == nullptr || out == nullptr || size == 0) return 0;
  const std::optional<std::string> converted = platform::AnsiFromWide(text);
  return converted.has_value() ? platform::CopyStringA(out, size, converted->c_str()) : 0;
}

}  // namespace kalimu::settings
