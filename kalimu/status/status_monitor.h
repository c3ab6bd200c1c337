// The status-monitor library of the driver package: its one query export "VTR_GetInfo" and the
// level-3 record that names the monitor's programs and printer module.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace kalimu::status {

inline constexpr char kMonitorQueryExport[] = "VTR_GetInfo";
inline constexpr uint16_t kMonitorInfoLevel = 3;

// "VTR_GetInfo" (printer, driver, level, record block or null, block size, needed size out).
using MonitorQueryProc = int32_t(WINAPI*)(const char* printer_name, const char* driver_name,
                                          uint16_t level, void* block, uint32_t block_size,
                                          uint32_t* needed);

// Answers of the query.
inline constexpr int32_t kMonitorFailed = -1;
inline constexpr int32_t kMonitorNotServed = 0;
inline constexpr int32_t kMonitorServedDirect = 2;

// Byte offsets of the level-3 record's fields; the record must reach past the last one.
enum MonitorRecordOffset : size_t {
  kRecordInstallArgument = 0,
  kRecordProgram2 = 8,
  kRecordProgram3 = 16,
  kRecordJobProgram = 24,
  kRecordInstallProgram = 32,
  kRecordMode = 48,
  kRecordModuleProgram = 64,
  kMonitorRecordMinSize = 72,
};

// What the callers need of the record, copied out while the library was loaded.
struct MonitorInfo {
  int32_t answer = kMonitorFailed;
  uint32_t mode = 0;  // 1 or 2
  char install_argument[MAX_PATH] = {};
  char program2[MAX_PATH] = {};
  char program3[MAX_PATH] = {};
  char job_program[MAX_PATH] = {};
  char install_program[MAX_PATH] = {};
  char module_program[MAX_PATH] = {};  // request 6; also the printer module's file name
};

// Loads the library, asks it twice (size, then the record) and frees it again. The answer is
// the library's, or -1 when the library, its export or the record block is missing, or when a
// serving answer comes with a record too small for its fields. Texts are read wherever their
// pointers lead (inside the block no further than its end), each cut to its buffer; a null
// pointer reads as an empty text.
int32_t QueryStatusMonitor(const char* library_path, const char* printer_name,
                           const char* driver_name, MonitorInfo* out);

}  // namespace kalimu::status
