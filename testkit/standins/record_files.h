// What the recording stand-ins (recorder_standin.cpp, installer_standin.cpp) share: the stem
// their records are named after and the one-write append of a record.
#pragma once

#include <windows.h>

#include <string>

namespace testkit {

// The file name of a module (null: the program) without folder and extension.
inline std::string ModuleStem(HMODULE module) {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
  std::string name(path, n < MAX_PATH ? n : 0);
  name = name.substr(name.find_last_of("\\/") + 1);
  const size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

// One write per record: records of the same stem never interleave within a line.
inline bool AppendRecord(const std::string& path, const std::string& text) {
  const HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                  written == text.size();
  CloseHandle(file);
  return ok;
}

}  // namespace testkit
