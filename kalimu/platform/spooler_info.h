// Reads of the spooler's variable-size information records (GetPrinterW, GetPrinterDriverW) in
// one call where a first buffer is large enough: each spooler call is costly, and the usual size
// probe doubles it. A record larger than the first buffer takes a second call of its size.
#pragma once

#include <windows.h>

#include <functional>

#include "kalimu/platform/global_block.h"

namespace kalimu::platform {

// call(buffer, size, needed) is the spooler's read. Answers the record in block (at least
// min_size bytes), or null with nothing held.
BYTE* ReadSpoolerRecord(const std::function<BOOL(BYTE*, DWORD, DWORD*)>& call, size_t min_size, GlobalBlock& block);

}  // namespace kalimu::platform
