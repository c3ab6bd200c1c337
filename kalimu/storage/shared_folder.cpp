// The per-driver shared folder below the 32-bit program-files folder, and
// registry value 105 that remembers it.
#include <shlobj.h>

#include <cstring>

#include "kalimu/platform/text_helpers.h"
#include "kalimu/platform/world_access.h"
#include "kalimu/storage/driver_module_locator.h"

namespace kalimu::storage {
namespace {

// Creates path unless it exists; 1 when the folder is there afterwards.
int EnsureFolder(const char* path, SECURITY_ATTRIBUTES* security) {
  if (CreateDirectoryA(path, security)) return 1;
  const DWORD error = GetLastError();
  if (error != ERROR_ALREADY_EXISTS) return 0;
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

}  // namespace

int DriverModuleLocator::GetProgramFilesPath(char* out, size_t len) {
  char path[MAX_PATH];
  if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILESX86, nullptr, SHGFP_TYPE_CURRENT,
                                 path))) {
    return platform::CopyStringA(out, len, path);
  }
  char windows[MAX_PATH];
  const UINT n = GetWindowsDirectoryA(windows, MAX_PATH);
  if (n < 2 || n >= MAX_PATH) return 0;
  windows[2] = 0;  // the drive, "C:"
  return platform::CopyStringA(out, len, windows) && platform::AppendStringA(out, len, "\\Program Files");
}

int DriverModuleLocator::CreateSharedFolder(const char* driver_name, char* out, size_t len) {
  if (driver_name == nullptr || driver_name[0] == 0) return 0;
  platform::WorldAccessDescriptor world = platform::WorldAccessDescriptor::ForSharedFolder();
  if (!world.valid()) return 0;
  if (!GetProgramFilesPath(out, len) || !EnsureFolder(out, nullptr)) return 0;
  if (!platform::AppendStringA(out, len, "\\NORVA") || !EnsureFolder(out, nullptr)) return 0;
  if (!platform::AppendStringA(out, len, "\\") || !platform::AppendStringA(out, len, driver_name)) return 0;
  return EnsureFolder(out, world.attributes());
}

int DriverModuleLocator::GetSharedFolderPath(const char* driver_name, char* out, size_t len) {
  if (driver_name == nullptr || out == nullptr || len == 0) return 0;
  char driver_key[MAX_PATH];
  if (!platform::CopyStringA(driver_key, MAX_PATH, "SOFTWARE\\NORVA\\PRINTER\\") ||
      !platform::AppendStringA(driver_key, MAX_PATH, driver_name)) {
    return 0;
  }
  if (registry_.ReadValue(nullptr, nullptr, kKeyNorva, nullptr, nullptr, kViewDefault) !=
      ERROR_SUCCESS) {
    if (!registry_.CreateKeyInViews(driver_key, nullptr, kViewBoth)) return 0;
  } else {
    DWORD size = static_cast<DWORD>(len < MAX_PATH ? len : MAX_PATH);
    if (registry_.ReadValue(nullptr, nullptr, kValueKvFilesPath, out, &size, kViewDefault) ==
        ERROR_SUCCESS) {
      return 1;
    }
  }
  if (!CreateSharedFolder(driver_name, out, len)) return 0;
  if (!platform::AppendStringA(out, len, "\\")) return 0;
  const DWORD bytes = static_cast<DWORD>(std::strlen(out) + 1);
  registry_.WriteValue(nullptr, nullptr, kValueKvFilesPath, REG_SZ, out, bytes, kViewBoth);
  return 1;
}

}  // namespace kalimu::storage
