// GDI's document events: the merged device-mode copy handed to a new or reset device context,
// the user's temporary folder, the reset of the stored printer readings after a job, and at the
// start of a job the print-mode flags for the pre-print program and the status monitor.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace kalimu::settings {
class JobSettings;
}

namespace kalimu::driver {

inline constexpr size_t kPrePrintCommandBytes = 520;
inline constexpr size_t kJobFlagsNameChars = 32;
inline constexpr size_t kJobDatatypeChars = 260;
inline constexpr DWORD kPrePrintSettleMs = 1000;  // after the pre-print program has started
inline constexpr char kJobFlagsNameFormat[] = "NORVAPPEXVTRNAME%u";

// What the events ask the spooler about the printer and a job. The spooler's own answers are
// SystemSpoolerFacts(); a caller may give others (a spooler that makes no network printers and
// keeps no data types cannot show those paths otherwise).
struct SpoolerFacts {
  // 1 network printer, 0 local printer, -1 when the printer's information cannot be read.
  int (*printer_kind)(HANDLE printer);
  // 1 with the job's data type (at most size characters with the terminator; an empty text
  // when the job has none), 0 when the job cannot be read.
  int (*job_datatype)(HANDLE printer, DWORD job_id, wchar_t* out, size_t size);
};
const SpoolerFacts& SystemSpoolerFacts();

// The export's work with the spooler facts given.
int HandleDocumentEvent(HANDLE printer, HDC dc, int event, ULONG in_size, PVOID in, ULONG out_size, PVOID out,
                        const SpoolerFacts& facts);

// The end-of-document reset of the stored readings.
void ResetJobStatusValues(HANDLE printer);
// Stores the temporary folder as "TempFilePathUser" when it is missing or differs. 1.
int StoreUserTempFolder(HANDLE printer, const char* driver_name, settings::JobSettings* settings);
int IsNetworkPrinter(HANDLE printer, const SpoolerFacts& facts);
// 1 for a job of another data type than "RAW" on a network printer.
int IsNetworkNonRawJob(HANDLE printer, DWORD job_id, const SpoolerFacts& facts);
// Sets job option 0x20 when the job needs the driver's own rendering on a network printer.
void MarkNetworkJob(HANDLE printer, settings::JobSettings* settings);
// Reads "PMFlag" into *flags (1 when it does not read as 2 bytes) and stores it as the job's
// flags value unless the job is a network job of another type than "RAW". 0 without the
// driver's information.
int StorePrePrintFlags(const char* driver_name, uint16_t* flags, DWORD job_id, HANDLE printer,
                       settings::JobSettings* settings, const SpoolerFacts& facts);
// Builds the pre-print command line into out (kPrePrintCommandBytes); 0 when a part is missing
// or the line does not fit.
int BuildPrePrintCommand(HANDLE printer, const char* printer_name, DWORD job_id, int mode,
                         settings::JobSettings* settings, char* out, size_t size);
// Starts the pre-print program hidden and lets it settle; 1 when it started.
int StartPrePrintProgram(HANDLE printer, const char* printer_name, DWORD job_id, int mode,
                         settings::JobSettings* settings);

}  // namespace kalimu::driver
