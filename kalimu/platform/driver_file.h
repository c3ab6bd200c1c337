// Small file object over one ANSI path: opens lazily; closes on Close, Delete, a new path or
// its destruction.
#pragma once

#include <windows.h>

#include "kalimu/platform/unique_handle.h"

namespace kalimu::platform {

class DriverFile {
 public:
  // Open mode bits.
  static constexpr DWORD kOpenWrite = 0x1;
  static constexpr DWORD kOpenAllAccess = 0x2;
  static constexpr DWORD kOpenExclusive = 0x10;
  static constexpr DWORD kOpenExclusive2 = 0x20;

  DriverFile() { InitEmpty(); }
  explicit DriverFile(const char* path);
  DriverFile(const DriverFile&) = delete;
  DriverFile& operator=(const DriverFile&) = delete;

  void InitEmpty();
  int SetPath(const char* path);
  void Close();
  int Open(DWORD mode);
  int Create();
  // Bytes transferred; 0 when not open; -1 when the call fails.
  long Read(void* buffer, DWORD size, OVERLAPPED* overlapped);
  long Write(const void* buffer, DWORD size, OVERLAPPED* overlapped);
  DWORD Seek(DWORD method, LONG distance, LONG* distance_high);
  DWORD GetSize();
  int Exists();
  int FileExists(const char* path) const;
  BOOL Delete();
  int CreateTempFile(const char* directory, const char* prefix, char* out_name);

  const char* path() const { return path_; }
  HANDLE handle() const { return handle_.get(); }
  bool is_open() const { return handle_.valid(); }

 private:
  char path_[MAX_PATH];
  UniqueFileHandle handle_;
  int may_open_;
  SECURITY_ATTRIBUTES* security_;
};

}  // namespace kalimu::platform
