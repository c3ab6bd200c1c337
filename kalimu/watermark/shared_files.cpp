// World-access files, unique names, folders and file stamps.
#include "kalimu/watermark/shared_files.h"

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "kalimu/platform/driver_file.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/platform/unique_handle.h"
#include "kalimu/platform/world_access.h"
#include "kalimu/storage/driver_module_locator.h"
#include "kalimu/watermark/watermark_paths.h"

namespace kalimu::watermark {
namespace {

constexpr int kMaxNameAttempts = 256;

}  // namespace

bool IsSystemLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

bool FileExists(const char* path) {
  if (path == nullptr || path[0] == '\0') return false;
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

int CreateSharedFile(const char* path) {
  platform::WorldAccessDescriptor world = platform::WorldAccessDescriptor::ForSharedFile();
  if (!world.valid()) return 0;
  platform::UniqueFileHandle file(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, world.attributes(), CREATE_NEW,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
  return 1;
}

int MakeUniqueFileName(char* out, const char* prefix, const char* extension, const char* folder) {
  if (out == nullptr) return 0;
  out[0] = '\0';
  // Every temporary file stays until a name is found, so that GetTempFileNameA never hands
  // out the same number twice; all of them are removed at the end.
  std::vector<std::unique_ptr<platform::DriverFile>> temporaries;
  int result = 0;
  for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    char temp[MAX_PATH] = {};
    auto file = std::make_unique<platform::DriverFile>();
    const int made = file->CreateTempFile(folder, prefix, temp);
    if (temp[0] != '\0') temporaries.push_back(std::move(file));
    if (!made) break;
    const std::string_view temp_name(temp);
    const size_t dot = temp_name.rfind('.');
    std::string name(temp_name.substr(0, dot < FileNameOffset(temp_name) ? temp_name.size() : dot));
    if (extension != nullptr) name += extension;
    if (FileExists(name.c_str())) continue;
    if (name.size() >= MAX_PATH) break;
    if (CreateSharedFile(name.c_str()) && FileExists(name.c_str())) {
      platform::CopyStringA(out, MAX_PATH, name.c_str());
      result = 1;
    }
    break;
  }
  for (auto& file : temporaries) file->Delete();
  return result;
}

int GetFolderOfPath(const char* path, char* out, size_t size) {
  if (out == nullptr || size == 0) return 0;
  out[0] = '\0';
  if (path == nullptr || path[0] == '\0') return storage::DriverModuleLocator::GetWindowsDirectoryPath(out, size);
  const std::string folder = FolderOfPath(path, IsSystemLeadByte);
  if (folder.size() >= size) return 0;
  platform::CopyStringA(out, size, folder.c_str());
  return 1;
}

DibStatus ReadWholeFile(const char* path, uint64_t limit, std::vector<uint8_t>* out) {
  out->clear();
  if (path == nullptr || path[0] == '\0') return kDibCannotOpen;
  platform::UniqueFileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return kDibCannotOpen;
  LARGE_INTEGER length{};
  if (!GetFileSizeEx(file.get(), &length)) return kDibCannotOpen;
  if (static_cast<uint64_t>(length.QuadPart) > limit) return kDibTooLarge;
  try {
    out->resize(static_cast<size_t>(length.QuadPart));
  } catch (const std::bad_alloc&) {
    return kDibNoMemory;
  }
  size_t done = 0;
  while (done < out->size()) {
    DWORD got = 0;
    if (!ReadFile(file.get(), out->data() + done, static_cast<DWORD>(out->size() - done), &got, nullptr) || got == 0) {
      out->clear();
      return kDibReadFailed;
    }
    done += got;
  }
  return kDibLoaded;
}

bool ReadFilePrefix(const char* path, size_t count, std::vector<uint8_t>* out) {
  out->clear();
  if (path == nullptr || path[0] == '\0') return false;
  platform::UniqueFileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  out->resize(count);
  DWORD got = 0;
  if (!ReadFile(file.get(), out->data(), static_cast<DWORD>(count), &got, nullptr)) got = 0;
  out->resize(got);
  return true;
}

bool ReadFileStamp(const char* path, FileStamp* stamp) {
  if (path == nullptr || path[0] == '\0') return false;
  platform::UniqueFileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  FILETIME written{};
  LARGE_INTEGER length{};
  if (!GetFileTime(file.get(), nullptr, nullptr, &written) || !GetFileSizeEx(file.get(), &length)) return false;
  WORD date = 0, time = 0;
  if (!FileTimeToDosDateTime(&written, &date, &time)) return false;
  stamp->length = static_cast<int32_t>(length.QuadPart > INT32_MAX ? INT32_MAX : length.QuadPart);
  stamp->dos_date = date;
  stamp->dos_time = time;
  return true;
}

}  // namespace kalimu::watermark
