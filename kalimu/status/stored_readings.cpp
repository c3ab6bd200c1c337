// The stored printer readings, one accessor per row of the list.
#include "kalimu/status/stored_readings.h"

#include <cstring>

namespace kalimu::status {
namespace {

using namespace storage;  // the value ids of the list

constexpr DWORD kBlockBytes = 8;
constexpr DWORD kPrinterStatusBytes = 20;
constexpr size_t kPrinterStatusFlagOffset = 16;

}  // namespace

int WriteStoredNumber(const DriverRegistry& registry, int id, int32_t value) {
  return registry.WriteValueById(id, &value, sizeof value, kViewBoth) == ERROR_SUCCESS ? 1 : 0;
}

int32_t ReadStoredNumber(const DriverRegistry& registry, int id, int32_t fallback) {
  int32_t value = 0;
  DWORD size = sizeof value;
  if (registry.ReadValueById(id, &value, &size, kViewDefault) != ERROR_SUCCESS || size != sizeof value) {
    return fallback;
  }
  return value;
}

#define KS_WRITE(name, id) \
  int name(const DriverRegistry& registry, int32_t value) { return WriteStoredNumber(registry, id, value); }
#define KS_READ(name, id, fallback) \
  int32_t name(const DriverRegistry& registry) { return ReadStoredNumber(registry, id, fallback); }
#define KS_WRITE_BLOCK(name, id)                                                          \
  int name(const DriverRegistry& registry, const uint8_t block[8]) {                      \
    return registry.WriteValueById(id, block, kBlockBytes, kViewBoth) == ERROR_SUCCESS ? 1 : 0; \
  }
#include "kalimu/status/stored_reading_list.inc"
#undef KS_WRITE
#undef KS_READ
#undef KS_WRITE_BLOCK

int WriteBinInfo(const DriverRegistry& registry, int32_t value) {
  WriteStoredNumber(registry, kValueKvBinInfo, value);
  return 1;
}

int ClearPrinterStatusFlag(const DriverRegistry& registry) {
  uint8_t record[kPrinterStatusBytes] = {};
  DWORD size = sizeof record;
  if (registry.ReadValueById(kValueRxPrnStatus, record, &size, kViewDefault) != ERROR_SUCCESS) return 0;
  std::memset(record + kPrinterStatusFlagOffset, 0, sizeof(uint32_t));
  return registry.WriteValueById(kValueRxPrnStatus, record, sizeof record, kViewBoth) == ERROR_SUCCESS ? 1 : 0;
}

}  // namespace kalimu::status
