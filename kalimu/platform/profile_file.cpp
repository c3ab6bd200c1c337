// Parsed initialisation files and the cached reads of their keys.
#include "kalimu/platform/profile_file.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <initializer_list>
#include <memory>

namespace kalimu::platform {
namespace {

// Driver data files of a few drivers in use at once.
constexpr size_t kProfileCapacity = 8;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && (a.empty() || _strnicmp(a.data(), b.data(), a.size()) == 0);
}

bool StartsWithByteOrderMark(std::span<const uint8_t> bytes) {
  const auto starts = [&](std::initializer_list<uint8_t> mark) {
    return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
  };
  return starts({0xEF, 0xBB, 0xBF}) || starts({0xFF, 0xFE}) || starts({0xFE, 0xFF});
}

// A path Windows would not look for in the Windows folder: a drive and a root, or a share.
bool IsAbsolutePath(const char* path) {
  if (path == nullptr) return false;
  const bool drive = std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                     (path[2] == '\\' || path[2] == '/');
  const bool share = (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/');
  return drive || share;
}

// The value as GetPrivateProfileString hands it out: one pair of matching quotes removed.
std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

DWORD CopyOut(std::string_view text, char* out, DWORD size) {
  if (out == nullptr || size == 0) return 0;
  const size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
  return static_cast<DWORD>(n);
}

}  // namespace

ProfileFile ProfileFile::Parse(std::span<const uint8_t> bytes) {
  ProfileFile file;
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  // Lines before the first section belong to a section without a name.
  file.sections_.push_back(Section{});
  Section* current = &file.sections_.back();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = Trim(text.substr(start, end - start));
    start = end + 1;
    if (line.empty()) continue;
    if (line.front() == '[') {
      const size_t close = line.rfind(']');
      const std::string_view name = close != std::string_view::npos && close > 0 ? line.substr(1, close - 1) : line.substr(1);
      file.sections_.push_back(Section{std::string(Trim(name)), {}});
      current = &file.sections_.back();
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      current->keys.push_back(Key{std::string(line), std::nullopt});  // a key without a value
    } else {
      current->keys.push_back(Key{std::string(Trim(line.substr(0, equals))), std::string(Trim(line.substr(equals + 1)))});
    }
  }
  return file;
}

std::optional<std::string_view> ProfileFile::Find(std::string_view section, std::string_view key) const {
  section = Trim(section);
  key = Trim(key);
  for (const Section& s : sections_) {
    if (!SameName(s.name, section)) continue;
    for (const Key& k : s.keys) {
      if (!SameName(k.name, key)) continue;
      if (!k.value) return std::nullopt;  // reads as missing
      return std::string_view(*k.value);
    }
    return std::nullopt;  // only the first section of a name is searched
  }
  return std::nullopt;
}

FileCache<ProfileFile>& ProfileFileCache() {
  static FileCache<ProfileFile> cache(kProfileCapacity);
  return cache;
}

DWORD ReadProfileStringA(const char* section, const char* key, const char* default_text, char* out, DWORD size,
                         const char* file) {
  std::shared_ptr<const ProfileFile> parsed;
  if (section != nullptr && key != nullptr && IsAbsolutePath(file)) {
    parsed = ProfileFileCache().Get(file, [](std::span<const uint8_t> bytes) -> std::shared_ptr<const ProfileFile> {
      if (StartsWithByteOrderMark(bytes)) return nullptr;  // Windows decodes those itself
      return std::make_shared<const ProfileFile>(ProfileFile::Parse(bytes));
    });
  }
  if (parsed == nullptr) return GetPrivateProfileStringA(section, key, default_text, out, size, file);
  if (const std::optional<std::string_view> value = parsed->Find(section, key)) {
    return CopyOut(Unquote(*value), out, size);
  }
  // A missing key answers the default without its trailing blanks.
  std::string_view fallback = default_text != nullptr ? default_text : "";
  while (!fallback.empty() && fallback.back() == ' ') fallback.remove_suffix(1);
  return CopyOut(fallback, out, size);
}

}  // namespace kalimu::platform
