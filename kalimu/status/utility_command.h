// Command lines (and, for some requests, command files) that start the status monitor's
// programs, built from what the status-monitor library says about the printer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kalimu::status {

// Requests of the status monitor's programs.
enum UtilityRequest : int16_t {
  kUtilityInstall = 0,
  kUtilityInstallNoPrompt = 1,
  kUtilityMonitor = 2,
  kUtilityMonitorPanel = 3,
  kUtilityProbe = 5,
  kUtilityModule = 6,
  kUtilityJobStart = 7,
  kUtilityJobEnd = 8,
};

// Who the command is for: the status-monitor library (full path), the printer and driver names
// handed to it, the driver's directory (with its trailing backslash) that program names are
// joined to, and the most bytes the command file may hold (0: no bound).
struct UtilityCommandTarget {
  const char* monitor_library;
  const char* printer_name;
  const char* driver_name;
  const char* driver_directory;
  size_t command_file_limit = 0;
};

inline constexpr char kCommandFilePrefix[] = "kvi";

// -1 on failure; 1 when the library has no utility information (the text is not touched);
// otherwise 2 when the library answered 2, else 3 for a record of mode 1 and 4 for mode 2.
// A command line that does not fit the text's size, or command-file lines over the target's
// bound, fail whole (-1, the text emptied, no command file left behind): a cut line would start
// the wrong program or name the wrong printer or file.
int16_t BuildUtilityCommandLine(const UtilityCommandTarget& target, char* text, size_t size,
                                int16_t request, const int32_t* job_id);

}  // namespace kalimu::status
