// The status monitor's command lines and command files.
#include "kalimu/status/utility_command.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>

#include "kalimu/platform/driver_file.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/status/status_monitor.h"

namespace kalimu::status {
namespace {

constexpr char kLineBreak[] = "\r\n";
constexpr size_t kJobLineChars = 256;

// The pieces joined into text; false (text emptied where it has room) when they do not fit.
bool Compose(char* text, size_t size, std::initializer_list<const char*> pieces) {
  std::string joined;
  for (const char* piece : pieces) joined += piece;
  if (joined.size() >= size) {
    if (size > 0) text[0] = '\0';
    return false;
  }
  std::memcpy(text, joined.c_str(), joined.size() + 1);
  return true;
}

// The command file's lines for a request; false when the request writes an empty file.
bool CommandFileText(const MonitorInfo& info, const char* printer_name, int16_t request,
                     const int32_t* job_id, std::string* out) {
  if (request != kUtilityMonitor && request != kUtilityMonitorPanel && request != kUtilityJobStart &&
      request != kUtilityJobEnd) {
    return false;
  }
  *out = std::string("/P \"") + printer_name + "\"";
  if (request == kUtilityMonitorPanel) {
    if (info.mode == 2) *out += std::string(kLineBreak) + "/E";
    return true;
  }
  if (request == kUtilityMonitor) return true;
  *out += kLineBreak;
  if (job_id != nullptr) {
    char job[kJobLineChars];
    if (std::snprintf(job, sizeof job, "/J \"%d\"", *job_id) >= static_cast<int>(sizeof job)) {
      platform::ReportStringError();
    }
    *out += job;
  }
  if (info.mode == 2) *out += std::string(kLineBreak) + (request == kUtilityJobStart ? "/KVM \"1\"" : "/KVM \"0\"");
  return true;
}

}  // namespace

int16_t BuildUtilityCommandLine(const UtilityCommandTarget& target, char* text, size_t size,
                                int16_t request, const int32_t* job_id) {
  MonitorInfo info;
  const int32_t answer = QueryStatusMonitor(target.monitor_library, target.printer_name, target.driver_name, &info);
  if (answer == kMonitorFailed) return -1;
  if (answer == kMonitorNotServed) return 1;
  const int16_t result = answer == kMonitorServedDirect ? 2 : info.mode == 1 ? 3 : 4;
  const char* base = target.driver_directory;

  switch (request) {
    case kUtilityInstall:
    case kUtilityInstallNoPrompt:
      return Compose(text, size, {base, info.install_program, " /I:\"", info.install_argument, "\"",
                                  request == kUtilityInstallNoPrompt ? " /NP" : ""})
                 ? result
                 : -1;
    case kUtilityModule:
      return Compose(text, size, {base, info.module_program}) ? result : -1;
    case kUtilityProbe:
      return result;
    default:
      break;
  }
  if (request == kUtilityJobEnd && info.mode == 1) return result;

  char folder[MAX_PATH];
  const DWORD n = GetTempPathA(sizeof folder, folder);
  char path[MAX_PATH];
  platform::DriverFile file;
  if (n == 0 || n >= sizeof folder || !file.CreateTempFile(folder, kCommandFilePrefix, path)) return -1;
  std::string lines;
  if (CommandFileText(info, target.printer_name, request, job_id, &lines)) {
    const char* program = request == kUtilityMonitor        ? info.program2
                          : request == kUtilityMonitorPanel ? info.program3
                                                            : info.job_program;
    const bool fits = target.command_file_limit == 0 || lines.size() <= target.command_file_limit;
    if (!fits || !Compose(text, size, {base, program, " /F \"", path, "\""}) ||
        file.Write(lines.data(), static_cast<DWORD>(lines.size()), nullptr) != static_cast<long>(lines.size())) {
      // Nobody will read a file whose command was not built.
      file.Delete();
      if (size > 0) text[0] = '\0';
      return -1;
    }
  }
  file.Close();
  return result;
}

}  // namespace kalimu::status
