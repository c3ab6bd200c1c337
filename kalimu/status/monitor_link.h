// The driver's link to the printer's status monitor: the "STMSetting" switch that records
// whether the user may change the printer's data, the driver folder of a printer, and the
// command lines (with their command files) that start the monitor's programs.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace kalimu::settings {
class JobSettings;
}

namespace kalimu::status {

inline constexpr char kStmSettingName[] = "STMSetting";
inline constexpr size_t kMonitorNameChars = 255;      // printer and driver names handed on
inline constexpr size_t kMonitorCommandFileBytes = 260;

// Flags of CheckStmSetting: bit 0 set when the user cannot change the printer's data.
inline constexpr uint32_t kStmCannotWrite = 1;

// 1 with the folder of the printer driver's file up to and including its last backslash;
// 0 when the driver information cannot be read or the folder does not fit size.
int GetDriverDirectoryOf(HANDLE printer, char* out, size_t size);

// 1 with the 32-bit "STMSetting" printer data; 0 (out 0) when it is absent or empty.
int ReadStmSetting(HANDLE printer, settings::JobSettings* settings, uint32_t* out);
// 1 when "STMSetting" could be written through the printer opened again by its name with
// PRINTER_ALL_ACCESS.
int WriteStmSetting(HANDLE printer, settings::JobSettings* settings, uint32_t value);

// Moves a waiting registry value 151 into the printer data (deleting it once written), or
// writes the printer data's own value back, and so learns whether the user may write it:
// bit 0 of *flags is set when the write failed, cleared when the probe succeeded. Answers the
// value (also in *value). write is the writer of the value; the default writes the printer data.
using StmWriter = int (*)(HANDLE printer, settings::JobSettings* settings, uint32_t value);
uint32_t CheckStmSetting(HANDLE printer, settings::JobSettings* settings, uint32_t* flags, uint32_t* value,
                         StmWriter write = WriteStmSetting);

// Monitor request types, as status::UtilityRequest names them.
// -1 when the driver information, the monitor library or its export, the reply, the command
// file or a whole command line is missing; 1 when no monitor serves the printer; otherwise 2
// when the library answered 2, else 3 (monitor mode 1) or 4 (mode 2). job_id is the job's id
// for types 7 and 8, or null.
int BuildMonitorCommand(char* out, size_t size, HANDLE printer, int16_t type, const int32_t* job_id,
                        settings::JobSettings* settings);

}  // namespace kalimu::status
