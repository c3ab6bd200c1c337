// The printer's level-2 information as the settings object reads it from the spooler.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <cstddef>

#include "kalimu/platform/global_block.h"

namespace kalimu::settings {

// PRINTER_INFO_2W of the printer in a zero-filled block sized as the spooler asks; null (and
// an empty block) when the size query does not fail with ERROR_INSUFFICIENT_BUFFER or the read
// fails.
PRINTER_INFO_2W* ReadPrinterInfo2(HANDLE printer, platform::GlobalBlock& block);

// The bytes of the stored device mode that the block really holds: its declared dmSize +
// dmDriverExtra, never past the end of the block; 0 without a record or for a record outside
// the block.
size_t StoredDevModeBytes(const PRINTER_INFO_2W& info, const platform::GlobalBlock& block);

// A UTF-16 name in the system code page, bounded to size bytes; 0 when it cannot be converted.
int WideToAnsi(const wchar_t* text, char* out, size_t size);

}  // namespace kalimu::settings
