// Initialisation-file (profile) reads through a process-wide cache of the parsed file. Windows
// reads and parses the whole file again on every GetPrivateProfileStringA; the driver data file
// is read dozens of times while one set of settings is built, so its sections are parsed once
// per version of the file (see file_cache.h) and the reads answer as GetPrivateProfileStringA
// does. Paths that are not absolute, files with a byte-order mark and reads of whole sections go
// to Windows itself.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kalimu/platform/file_cache.h"

namespace kalimu::platform {

// A parsed profile: its sections in file order, each with its keys in file order.
class ProfileFile {
 public:
  // Parses ANSI text; lines end at CR or LF. Lines before the first section belong to a section
  // without a name.
  static ProfileFile Parse(std::span<const uint8_t> bytes);

  // The value of key in the first section of that name, both compared without regard to case
  // and without surrounding blanks; none when the section or the key is missing.
  std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

 private:
  struct Key {
    std::string name;
    std::optional<std::string> value;  // none: a line without '='
  };
  struct Section {
    std::string name;
    std::vector<Key> keys;
  };
  std::vector<Section> sections_;
};

// GetPrivateProfileStringA for one key of a file, answered from the cache.
DWORD ReadProfileStringA(const char* section, const char* key, const char* default_text, char* out, DWORD size,
                         const char* file);

// The process-wide cache of parsed profiles (tests clear it and count its files).
FileCache<ProfileFile>& ProfileFileCache();

}  // namespace kalimu::platform
