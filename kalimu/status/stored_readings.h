// Typed access to the printer readings and model settings kept as the printer's stored values,
// for the paths that use them without asking the printer. Writes go to both registry views;
// reads come from the default view.
#pragma once

#include <cstdint>

#include "kalimu/storage/driver_registry.h"

namespace kalimu::status {

#define KS_WRITE(name, id) int name(const storage::DriverRegistry& registry, int32_t value);
#define KS_READ(name, id, fallback) int32_t name(const storage::DriverRegistry& registry);
#define KS_WRITE_BLOCK(name, id) int name(const storage::DriverRegistry& registry, const uint8_t block[8]);
#include "kalimu/status/stored_reading_list.inc"
#undef KS_WRITE
#undef KS_READ
#undef KS_WRITE_BLOCK

// Any numbered 32-bit value of the printer: written in both views (1 when written), read from
// the default view (the fallback when it cannot be read).
int WriteStoredNumber(const storage::DriverRegistry& registry, int id, int32_t value);
int32_t ReadStoredNumber(const storage::DriverRegistry& registry, int id, int32_t fallback);

// Answers 1 whether or not the write succeeded.
int WriteBinInfo(const storage::DriverRegistry& registry, int32_t value);
// Clears the word at byte 16 of the stored 20-byte printer-status record; nothing is written
// when the record cannot be read. 1 when it was rewritten.
int ClearPrinterStatusFlag(const storage::DriverRegistry& registry);

}  // namespace kalimu::status
