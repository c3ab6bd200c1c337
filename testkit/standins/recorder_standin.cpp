// Stand-in helper program: records how it was started and ends at once, or when the test lets
// it go. Its files and switches are described in recorder_switches.h.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "testkit/standins/recorder_switches.h"

namespace {

// The program's own file name without folder and extension.
std::string OwnStem() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name(path, n < MAX_PATH ? n : 0);
  name = name.substr(name.find_last_of("\\/") + 1);
  const size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

bool Append(const std::string& path, const std::string& text) {
  // One write per record: starts of the same program never interleave within a line.
  const HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                  written == text.size();
  CloseHandle(file);
  return ok;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

int main() {
  char dir[MAX_PATH];
  const DWORD n = GetEnvironmentVariableA(testkit::kRecordDirVar, dir, sizeof dir);
  if (n == 0 || n >= sizeof dir) return 0;
  const std::string base = std::string(dir) + "\\" + OwnStem();

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : -1;
  if (!Append(base + testkit::kRecordLogExt, std::to_string(show) + "\t" + GetCommandLineA() + "\n")) return 90;

  for (DWORD waited = 0; Exists(base + testkit::kRecordHoldExt) && waited < testkit::kHoldLimitMs; waited += 10) {
    Sleep(10);
  }
  int code = 0;
  if (FILE* f = std::fopen((base + testkit::kRecordExitExt).c_str(), "rb")) {
    if (std::fscanf(f, "%d", &code) != 1) code = 0;
    std::fclose(f);
  }
  Append(base + testkit::kRecordEndExt, ".");
  return code;
}
