// Helper program starts.
#include "kalimu/platform/program_start.h"

#include <string>

#include "kalimu/platform/unique_handle.h"

namespace kalimu::platform {
namespace {

// CreateProcessA may write into the command line: it gets a copy of its own.
bool Start(const char* application, const char* command_line, const STARTUPINFOA* startup,
           UniqueKernelHandle* process) {
  if (command_line == nullptr) return false;
  std::string line(command_line);
  STARTUPINFOA info = {};
  if (startup != nullptr) info = *startup;
  info.cb = sizeof info;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessA(application, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &info, &started)) {
    return false;
  }
  const UniqueKernelHandle thread(started.hThread);
  process->Reset(started.hProcess);
  return true;
}

}  // namespace

int RunProgram(const char* command_line, WORD show) {
  STARTUPINFOA startup = {};
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = show;
  return StartProgram(nullptr, command_line, &startup);
}

int StartProgram(const char* application, const char* command_line, const STARTUPINFOA* startup) {
  UniqueKernelHandle process;
  return Start(application, command_line, startup, &process) ? 1 : 0;
}

ProgramWait RunProgramAndWait(const char* application, const char* command_line, const STARTUPINFOA* startup,
                              DWORD wait_ms) {
  UniqueKernelHandle process;
  if (!Start(application, command_line, startup, &process)) return ProgramWait::kNotStarted;
  return WaitForSingleObject(process.get(), wait_ms) == WAIT_OBJECT_0 ? ProgramWait::kEnded : ProgramWait::kTimedOut;
}

}  // namespace kalimu::platform
