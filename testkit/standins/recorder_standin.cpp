// Stand-in helper program: records how it was started and ends at once, or when the test lets
// it go. Its files and switches are described in recorder_switches.h.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "testkit/standins/record_files.h"
#include "testkit/standins/recorder_switches.h"

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

int main() {
  char dir[MAX_PATH];
  const DWORD n = GetEnvironmentVariableA(testkit::kRecordDirVar, dir, sizeof dir);
  if (n == 0 || n >= sizeof dir) return 0;
  const std::string base = std::string(dir) + "\\" + testkit::ModuleStem(nullptr);

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : -1;
  if (!testkit::AppendRecord(base + testkit::kRecordLogExt, std::to_string(show) + "\t" + GetCommandLineA() + "\n")) return 90;

  for (DWORD waited = 0; Exists(base + testkit::kRecordHoldExt) && waited < testkit::kHoldLimitMs; waited += 10) {
    Sleep(10);
  }
  int code = 0;
  if (FILE* f = std::fopen((base + testkit::kRecordExitExt).c_str(), "rb")) {
    if (std::fscanf(f, "%d", &code) != 1) code = 0;
    std::fclose(f);
  }
  testkit::AppendRecord(base + testkit::kRecordEndExt, ".");
  return code;
}
