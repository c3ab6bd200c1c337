// Stand-in of the maker's installer library: its three functions record their calls (one line
// each: the function's name and its text arguments, parted by tabs) in <dir>\<stem>.calls of
// the recorder's folder (recorder_switches.h) and return at once.
#include <windows.h>

#include <string>

#include "testkit/standins/recorder_switches.h"

namespace {

HMODULE g_module = nullptr;

std::string OwnStem() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(g_module, path, MAX_PATH);
  std::string name(path, n < MAX_PATH ? n : 0);
  name = name.substr(name.find_last_of("\\/") + 1);
  const size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

void Record(const std::string& line) {
  char dir[MAX_PATH];
  const DWORD n = GetEnvironmentVariableA(testkit::kRecordDirVar, dir, sizeof dir);
  if (n == 0 || n >= sizeof dir) return;
  const std::string path = std::string(dir) + "\\" + OwnStem() + testkit::kRecordCallsExt;
  const HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string text = line + "\n";
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
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
