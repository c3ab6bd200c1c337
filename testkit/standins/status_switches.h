// Environment switches through which a test steers the status stand-ins (the stand-in
// libraries run in the test's process, the refresh helper inherits its environment).
#pragma once

#include <cstddef>

namespace testkit {

// Status-monitor library ("VTR_GetInfo").
inline constexpr char kMonitorAnswerVar[] = "KVT_MONITOR_ANSWER";    // decimal answer, default 3
inline constexpr char kMonitorModeVar[] = "KVT_MONITOR_MODE";        // record mode, default 1
inline constexpr char kMonitorModuleVar[] = "KVT_MONITOR_MODULE";    // printer module's file name
inline constexpr char kMonitorLayoutVar[] = "KVT_MONITOR_LAYOUT";    // "short" | "outside" | "null"
inline constexpr char kMonitorLogVar[] = "KVT_MONITOR_LOG";          // file that receives the call arguments

// Printer module ("PrGetPrinterStatus").
inline constexpr char kModuleReplyVar[] = "KVT_MODULE_REPLY";        // reply as hexadecimal text
inline constexpr char kModuleLengthVar[] = "KVT_MODULE_LENGTH";      // answered length, default the reply's

// Refresh helper program.
inline constexpr char kRefreshReplyVar[] = "KVT_REFRESH_REPLY";      // reply as hexadecimal text
inline constexpr char kRefreshFlagVar[] = "KVT_REFRESH_FLAG";        // flag it stores, default 2
inline constexpr char kRefreshLogVar[] = "KVT_REFRESH_LOG";          // file that receives its command line

// The texts of the stand-in monitor's record.
inline constexpr char kMonitorInstallArgument[] = "install-argument";
inline constexpr char kMonitorProgram2[] = "monitor2.exe";
inline constexpr char kMonitorProgram3[] = "monitor3.exe";
inline constexpr char kMonitorJobProgram[] = "monitorjob.exe";
inline constexpr char kMonitorInstallProgram[] = "monitorsetup.exe";
inline constexpr char kMonitorDefaultModule[] = "testkit_printer_module.dll";
// Length of the text of the layout "outside" that is longer than any path.
inline constexpr size_t kMonitorLongTextLength = 300;

}  // namespace testkit
