// The spooler's level-2 printer and driver records in the system code page, read with a size
// query that must fail for want of room, then the read into a block of that size.
#pragma once

#include <windows.h>
#include <winspool.h>

#include "kalimu/platform/global_block.h"

namespace kalimu::platform {

// Null (and an empty block) when the size query does not fail with ERROR_INSUFFICIENT_BUFFER,
// the size is too small for the record or the read fails.
const DRIVER_INFO_2A* ReadDriverInfo2A(HANDLE printer, GlobalBlock& block);
const PRINTER_INFO_2A* ReadPrinterInfo2A(HANDLE printer, GlobalBlock& block);

}  // namespace kalimu::platform
