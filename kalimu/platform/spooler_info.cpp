// The spooler's level-2 records in the system code page.
#include "kalimu/platform/spooler_info.h"

namespace kalimu::platform {
namespace {

template <typename Info, typename Query>
const Info* ReadSpoolerInfo(GlobalBlock& block, Query query) {
  DWORD needed = 0;
  if (query(nullptr, 0, &needed) || GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed < sizeof(Info) ||
      !block.Allocate(needed) || !query(block.data(), needed, &needed)) {
    block.Reset();
    return nullptr;
  }
  return reinterpret_cast<const Info*>(block.data());
}

}  // namespace

const DRIVER_INFO_2A* ReadDriverInfo2A(HANDLE printer, GlobalBlock& block) {
  return ReadSpoolerInfo<DRIVER_INFO_2A>(block, [printer](BYTE* data, DWORD size, DWORD* needed) {
    return GetPrinterDriverA(printer, nullptr, 2, data, size, needed);
  });
}

const PRINTER_INFO_2A* ReadPrinterInfo2A(HANDLE printer, GlobalBlock& block) {
  return ReadSpoolerInfo<PRINTER_INFO_2A>(block, [printer](BYTE* data, DWORD size, DWORD* needed) {
    return GetPrinterA(printer, 2, data, size, needed);
  });
}

}  // namespace kalimu::platform
