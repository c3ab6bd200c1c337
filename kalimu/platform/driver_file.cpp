// File object over one ANSI path.
#include "kalimu/platform/driver_file.h"

#include "kalimu/platform/text_helpers.h"

namespace kalimu::platform {

DriverFile::DriverFile(const char* path) {
  InitEmpty();
  CopyStringA(path_, MAX_PATH, path);
  may_open_ = 1;
}

void DriverFile::InitEmpty() {
  ZeroMemory(path_, sizeof(path_));
  handle_.Reset();
  may_open_ = 0;
  security_ = nullptr;
}

int DriverFile::SetPath(const char* path) {
  Close();
  const int ok = CopyStringA(path_, MAX_PATH, path);
  may_open_ = 1;
  security_ = nullptr;
  return ok;
}

void DriverFile::Close() { handle_.Reset(); }

int DriverFile::Open(DWORD mode) {
  if (may_open_ == 0) return 0;
  if (is_open()) return 1;
  DWORD access = GENERIC_READ;
  if (mode & kOpenWrite) access |= GENERIC_WRITE;
  if (mode & kOpenAllAccess) access |= FILE_ALL_ACCESS;
  const DWORD share =
      (mode & (kOpenExclusive | kOpenExclusive2)) ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
  handle_.Reset(CreateFileA(path_, access, share, security_, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  return is_open() ? 1 : 0;
}

int DriverFile::Create() {
  if (may_open_ == 0) return 0;
  Close();
  handle_.Reset(CreateFileA(path_, GENERIC_READ | GENERIC_WRITE, 0, security_, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  return is_open() ? 1 : 0;
}

long DriverFile::Read(void* buffer, DWORD size, OVERLAPPED* overlapped) {
  if (!is_open()) return 0;
  DWORD done = 0;
  if (!ReadFile(handle_.get(), buffer, size, &done, overlapped)) return -1;
  return static_cast<long>(done);
}

long DriverFile::Write(const void* buffer, DWORD size, OVERLAPPED* overlapped) {
  if (!is_open()) return 0;
  DWORD done = 0;
  if (!WriteFile(handle_.get(), buffer, size, &done, overlapped)) return -1;
  return static_cast<long>(done);
}

DWORD DriverFile::Seek(DWORD method, LONG distance, LONG* distance_high) {
  if (!is_open()) return INVALID_SET_FILE_POINTER;
  return SetFilePointer(handle_.get(), distance, distance_high, method & 0xFFFF);
}

DWORD DriverFile::GetSize() {
  if (!is_open()) return 0;
  return GetFileSize(handle_.get(), nullptr);
}

int DriverFile::Exists() {
  if (is_open()) return 1;
  return FileExists(path_);
}

int DriverFile::FileExists(const char* path) const {
  if (path == nullptr || path[0] == 0) return 0;
  const UniqueFileHandle probe(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, security_,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return probe.valid() ? 1 : 0;
}

BOOL DriverFile::Delete() {
  Close();
  return DeleteFileA(path_);
}

int DriverFile::CreateTempFile(const char* directory, const char* prefix, char* out_name) {
  if (GetTempFileNameA(directory, prefix, 0, out_name) == 0) return 0;
  Close();
  CopyStringA(path_, MAX_PATH, out_name);
  may_open_ = 1;
  security_ = nullptr;
  handle_.Reset(CreateFileA(path_, GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, security_, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  return is_open() ? 1 : 0;
}

}  // namespace kalimu::platform
