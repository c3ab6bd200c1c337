// The process-wide cache of files' derived contents.
#include "kalimu/platform/file_cache.h"

#include <algorithm>
#include <cstring>

#include "kalimu/platform/unique_handle.h"

namespace kalimu::platform {
namespace {

// Model configuration files in use at once: a few printers' base and variant files.
constexpr size_t kFileBytesCapacity = 16;
// A file larger than this is not read whole.
constexpr uint64_t kLargestFile = 64u * 1024 * 1024;

uint64_t Join(DWORD high, DWORD low) { return (uint64_t{high} << 32) | low; }

// Paths are compared exactly: a path spelled otherwise is only read once more, whereas folding
// case in a double-byte code page could take two files for one.
bool SamePath(const std::string& a, const char* b) { return a == b; }

}  // namespace

std::optional<FileStamp> ReadFileStamp(const char* path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (path == nullptr || path[0] == '\0' || !GetFileAttributesExA(path, GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::nullopt;
  }
  return FileStamp{Join(data.nFileSizeHigh, data.nFileSizeLow),
                   Join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)};
}

std::optional<std::vector<uint8_t>> ReadStableFile(const char* path, FileStamp* stamp) {
  const std::optional<FileStamp> before = ReadFileStamp(path);
  if (!before || before->size > kLargestFile) return std::nullopt;
  UniqueFileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::vector<uint8_t> bytes(static_cast<size_t>(before->size));
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &read, nullptr)) {
      return std::nullopt;
    }
    if (read == 0) break;
    done += read;
  }
  // A file written while it was read is not trusted: its stamp must not have moved.
  DWORD extra = 0;
  uint8_t probe = 0;
  if (done != bytes.size() || !ReadFile(file.get(), &probe, 1, &extra, nullptr) || extra != 0) return std::nullopt;
  const std::optional<FileStamp> after = ReadFileStamp(path);
  if (!after || *after != *before) return std::nullopt;
  if (stamp != nullptr) *stamp = *before;
  return bytes;
}

FileCacheBase::Value FileCacheBase::Find(const char* path, const FileStamp& stamp) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (Entry& entry : entries_) {
    if (entry.stamp == stamp && SamePath(entry.path, path)) {
      entry.last_use = ++clock_;
      return entry.value;
    }
  }
  return nullptr;
}

void FileCacheBase::Store(const char* path, const FileStamp& stamp, const Value& value) {
  if (value == nullptr || capacity_ == 0) return;
  std::lock_guard<std::mutex> lock(mutex_);
  auto same = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return SamePath(e.path, path); });
  if (same == entries_.end()) {
    if (entries_.size() >= capacity_) {
      same = std::min_element(entries_.begin(), entries_.end(),
                              [](const Entry& a, const Entry& b) { return a.last_use < b.last_use; });
    } else {
      same = entries_.insert(entries_.end(), Entry{});
    }
  }
  *same = Entry{path, stamp, value, ++clock_};
}

FileCacheBase::Value FileCacheBase::Get(const char* path, const Build& build) {
  const std::optional<FileStamp> stamp = ReadFileStamp(path);
  if (!stamp) return nullptr;
  if (Value cached = Find(path, *stamp)) return cached;
  // Read and built outside the lock: another thread may do the same file meanwhile; the later
  // one replaces the earlier, both being of the same version.
  FileStamp read_stamp;
  const std::optional<std::vector<uint8_t>> bytes = ReadStableFile(path, &read_stamp);
  if (!bytes) return nullptr;
  Value value = build(*bytes);
  Store(path, read_stamp, value);
  return value;
}

FileCacheBase::Value FileCacheBase::GetFromPath(const char* path, const std::function<Value()>& build) {
  const std::optional<FileStamp> stamp = ReadFileStamp(path);
  if (!stamp) return nullptr;
  if (Value cached = Find(path, *stamp)) return cached;
  Value value = build();
  Store(path, *stamp, value);
  return value;
}

void FileCacheBase::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  entries_.clear();
}

size_t FileCacheBase::size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_.size();
}

FileCache<std::vector<uint8_t>>& FileBytesCache() {
  static FileCache<std::vector<uint8_t>> cache(kFileBytesCapacity);
  return cache;
}

std::shared_ptr<const std::vector<uint8_t>> CachedFileBytes(const char* path) {
  return FileBytesCache().Get(path, [](std::span<const uint8_t> bytes) {
    return std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.end());
  });
}

}  // namespace kalimu::platform
