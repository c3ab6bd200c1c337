// Stand-in of the maker's installer library: its three functions record their calls (one line
// each: the function's name and its text arguments, parted by tabs) in <dir>\<stem>.calls of
// the recorder's folder (recorder_switches.h) and return at once.
#include <windows.h>

#include <string>

#include "testkit/standins/record_files.h"
#include "testkit/standins/recorder_switches.h"

namespace {

HMODULE g_module = nullptr;

void Record(const std::string& line) {
  char dir[MAX_PATH];
  const DWORD n = GetEnvironmentVariableA(testkit::kRecordDirVar, dir, sizeof dir);
  if (n == 0 || n >= sizeof dir) return;
  testkit::AppendRecord(std::string(dir) + "\\" + testkit::ModuleStem(g_module) + testkit::kRecordCallsExt,
                        line + "\n");
}

std::string Text(const char* text) { return text != nullptr ? text : "(null)"; }

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}

__declspec(dllexport) int WINAPI PrInstallOstrelEx(const char* data_file, const char* printer_name) {
  Record("PrInstallOstrelEx\t" + Text(data_file) + "\t" + Text(printer_name));
  return 1;
}

__declspec(dllexport) int WINAPI PrInstallOstrel(const char* data_file) {
  Record("PrInstallOstrel\t" + Text(data_file));
  return 1;
}

__declspec(dllexport) int WINAPI PrUnInstallOstrel(const char* driver_name) {
  Record("PrUnInstallOstrel\t" + Text(driver_name));
  return 1;
}

}  // extern "C"
