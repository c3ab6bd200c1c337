// Reads of the spooler's variable-size information records (GetPrinter, GetPrinterDriver) in one
// call where a first buffer is large enough: each spooler call is costly, and the usual size
// probe doubles it. A record larger than the first buffer takes a second call of its size.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <functional>

#include "kalimu/platform/global_block.h"

namespace kalimu::platform {

// call(buffer, size, needed) is the spooler's read. Answers the record in block (at least
// min_size bytes), or null with nothing held.
BYTE* ReadSpoolerRecord(const std::function<BOOL(BYTE*, DWORD, DWORD*)>& call, size_t min_size, GlobalBlock& block);

// The level-2 printer and driver records in the system code page. Null (and an empty block)
// when the record cannot be read or is too small for its kind.
const DRIVER_INFO_2A* ReadDriverInfo2A(HANDLE printer, GlobalBlock& block);
const PRINTER_INFO_2A* ReadPrinterInfo2A(HANDLE printer, GlobalBlock& block);

}  // namespace kalimu::platform
