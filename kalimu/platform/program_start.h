// Starts of the printer package's helper programs with CreateProcessA: without waiting, or
// waiting a bounded time for the program to end.
#pragma once

#include <windows.h>

namespace kalimu::platform {

// Starts command_line (no application name, no inheritance, STARTF_USESHOWWINDOW with show) and
// closes both handles at once: 1 when the program started, else 0.
int RunProgram(const char* command_line, WORD show);

// Starts the program (application may be null; startup may be null for the default start-up
// information) without inheritance and closes both handles at once: 1 when it started, else 0.
int StartProgram(const char* application, const char* command_line, const STARTUPINFOA* startup);

enum class ProgramWait { kNotStarted, kEnded, kTimedOut };

// Starts the program as StartProgram does and waits up to wait_ms for it to end. A program that times out keeps running.
ProgramWait RunProgramAndWait(const char* application, const char* command_line, const STARTUPINFOA* startup,
                              DWORD wait_ms);

}  // namespace kalimu::platform
