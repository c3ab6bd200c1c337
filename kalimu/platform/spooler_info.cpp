// One-call reads of the spooler's information records.
#include "kalimu/platform/spooler_info.h"

namespace kalimu::platform {
namespace {

// Room for a printer's level-2 record with a device mode of this driver and long names.
constexpr DWORD kFirstBufferBytes = 8192;

}  // namespace

BYTE* ReadSpoolerRecord(const std::function<BOOL(BYTE*, DWORD, DWORD*)>& call, size_t min_size, GlobalBlock& block) {
  DWORD needed = 0;
  if (!block.Allocate(kFirstBufferBytes)) return nullptr;
  if (call(block.data(), kFirstBufferBytes, &needed)) return block.data();
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed < min_size || needed <= kFirstBufferBytes ||
      !block.Allocate(needed) || !call(block.data(), needed, &needed)) {
    block.Reset();
    return nullptr;
  }
  return block.data();
}

const DRIVER_INFO_2A* ReadDriverInfo2A(HANDLE printer, GlobalBlock& block) {
  return reinterpret_cast<const DRIVER_INFO_2A*>(ReadSpoolerRecord(
      [printer](BYTE* data, DWORD size, DWORD* needed) { return GetPrinterDriverA(printer, nullptr, 2, data, size, needed); },
      sizeof(DRIVER_INFO_2A), block));
}

const PRINTER_INFO_2A* ReadPrinterInfo2A(HANDLE printer, GlobalBlock& block) {
  return reinterpret_cast<const PRINTER_INFO_2A*>(ReadSpoolerRecord(
      [printer](BYTE* data, DWORD size, DWORD* needed) { return GetPrinterA(printer, 2, data, size, needed); },
      sizeof(PRINTER_INFO_2A), block));
}

}  // namespace kalimu::platform
