// A process-wide cache of what is derived from files' contents (their bytes, a parsed form),
// keyed by the file's path and the version of it on disk: its size and last-write time. A file
// that changed since it was read is read again on the next look-up, so a new model file after an
// upgrade or an edited data file is seen at once. The spooler calls the driver from several
// threads: look-ups are serialised by a lock, files are read outside it, and the cache holds at
// most a fixed number of files (the one used longest ago goes first).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kalimu::platform {

// The version of a file on disk.
struct FileStamp {
  uint64_t size = 0;
  uint64_t write_time = 0;
  bool operator==(const FileStamp&) const = default;
};

// The stamp of an existing file (not a folder); none when it cannot be had.
std::optional<FileStamp> ReadFileStamp(const char* path);

// The whole contents of a file read with its stamp unchanged across the read; none when the file
// cannot be opened or read, or changed while it was read.
std::optional<std::vector<uint8_t>> ReadStableFile(const char* path, FileStamp* stamp);

class FileCacheBase {
 public:
  using Value = std::shared_ptr<const void>;
  // Builds the cached value from a file's bytes; null when the bytes give none.
  using Build = std::function<Value(std::span<const uint8_t>)>;

  explicit FileCacheBase(size_t capacity) : capacity_(capacity) {}
  FileCacheBase(const FileCacheBase&) = delete;
  FileCacheBase& operator=(const FileCacheBase&) = delete;

  // The value of the file's current version: cached, else built from the file's bytes. Null when
  // the file cannot be read or gives no value (nothing is cached then).
  Value Get(const char* path, const Build& build);
  // The same for a value that Windows reads from the file itself (a module's version block or
  // strings): build() reads it. Keyed by the stamp taken before the build, so a file changed
  // meanwhile is read again on the next look-up.
  Value GetFromPath(const char* path, const std::function<Value()>& build);
  // Forgets every file (tests).
  void Clear();
  size_t size() const;

 private:
  Value Find(const char* path, const FileStamp& stamp);
  void Store(const char* path, const FileStamp& stamp, const Value& value);

  struct Entry {
    std::string path;  // as given
    FileStamp stamp;
    Value value;
    uint64_t last_use = 0;
  };

  size_t capacity_;
  mutable std::mutex mutex_;
  std::vector<Entry> entries_;
  uint64_t clock_ = 0;
};

// Typed face of the cache: T is what a file's bytes are turned into.
template <class T>
class FileCache {
 public:
  explicit FileCache(size_t capacity) : cache_(capacity) {}

  std::shared_ptr<const T> Get(const char* path, const std::function<std::shared_ptr<const T>(std::span<const uint8_t>)>& build) {
    return std::static_pointer_cast<const T>(
        cache_.Get(path, [&](std::span<const uint8_t> bytes) -> FileCacheBase::Value { return build(bytes); }));
  }
  std::shared_ptr<const T> GetFromPath(const char* path, const std::function<std::shared_ptr<const T>()>& build) {
    return std::static_pointer_cast<const T>(cache_.GetFromPath(path, [&]() -> FileCacheBase::Value { return build(); }));
  }
  void Clear() { cache_.Clear(); }
  size_t size() const { return cache_.size(); }

 private:
  FileCacheBase cache_;
};

// The bytes of a file, through the process-wide cache of files the driver reads whole (model
// configuration files); null when the file cannot be read.
std::shared_ptr<const std::vector<uint8_t>> CachedFileBytes(const char* path);
// The process-wide cache behind CachedFileBytes (tests clear it and count its files).
FileCache<std::vector<uint8_t>>& FileBytesCache();

}  // namespace kalimu::platform
