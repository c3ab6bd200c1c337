// Reading the printer's level-2 information for the settings object.
#include "kalimu/settings/printer_info.h"

#include <winspool.h>

#include <cstdint>
#include <optional>
#include <string>

#include "kalimu/platform/spooler_info.h"
#include "kalimu/platform/text_conversion.h"
#include "kalimu/platform/text_helpers.h"

namespace kalimu::settings {

PRINTER_INFO_2W* ReadPrinterInfo2(HANDLE printer, platform::GlobalBlock& block) {
  block.Reset();
  return reinterpret_cast<PRINTER_INFO_2W*>(platform::ReadSpoolerRecord(
      [printer](BYTE* buffer, DWORD size, DWORD* needed) { return GetPrinterW(printer, 2, buffer, size, needed); },
      sizeof(PRINTER_INFO_2W), block));
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
