#include "kalimu/settings/icc_profile.h"

#include <algorithm>
#include <cstring>

#include "kalimu/platform/text_helpers.h"

namespace kalimu::settings {
namespace {

// A cursor over one tag's bytes: every read is checked against the tag's end.
class TagCursor {
 public:
  explicit TagCursor(std::span<const uint8_t> tag, size_t offset = kTagPrologueSize)
      : tag_(tag), offset_(offset) {}

  bool Has(size_t bytes) const { return offset_ <= tag_.size() && bytes <= tag_.size() - offset_; }

  std::optional<uint16_t> Word() {
    if (!Has(2)) return std::nullopt;
    const uint16_t value = static_cast<uint16_t>(tag_[offset_] << 8 | tag_[offset_ + 1]);
    offset_ += 2;
    return value;
  }
  std::optional<uint32_t> Dword() {
    if (!Has(4)) return std::nullopt;
    const uint32_t value = uint32_t{tag_[offset_]} << 24 | uint32_t{tag_[offset_ + 1]} << 16 |
                           uint32_t{tag_[offset_ + 2]} << 8 | uint32_t{tag_[offset_ + 3]};
    offset_ += 4;
    return value;
  }
  std::optional<std::span<const uint8_t>> Bytes(size_t count) {
    if (!Has(count)) return std::nullopt;
    const auto bytes = tag_.subspan(offset_, count);
    offset_ += count;
    return bytes;
  }
  bool Skip(size_t count) { return Bytes(count).has_value(); }

 private:
  std::span<const uint8_t> tag_;
  size_t offset_;
};

// Text of bytes up to the first zero among them.
std::string TextOf(std::span<const uint8_t> bytes) {
  const auto end = std::find(bytes.begin(), bytes.end(), uint8_t{0});
  return std::string(bytes.begin(), end);
}

}  // namespace

UniqueColorProfile OpenProfileFile(const wchar_t* path) {
  PROFILE source{};
  source.dwType = PROFILE_FILENAME;
  source.pProfileData = const_cast<wchar_t*>(path);
  source.cbDataSize = static_cast<DWORD>((wcslen(path) + 1) * sizeof(wchar_t));
  return UniqueColorProfile(OpenColorProfileW(&source, PROFILE_READ, FILE_SHARE_READ, OPEN_EXISTING));
}

bool IsProfileValid(HPROFILE profile) {
  BOOL valid = FALSE;
  return IsColorProfileValid(profile, &valid) && valid;
}

std::optional<DWORD> ReadProfileClass(HPROFILE profile) {
  PROFILEHEADER header{};
  if (!GetColorProfileHeader(profile, &header)) return std::nullopt;
  return header.phClass;
}

std::optional<std::vector<uint8_t>> ReadProfileTag(HPROFILE profile, TAGTYPE tag) {
  BOOL present = FALSE;
  if (!IsColorProfileTagPresent(profile, tag, &present) || !present) return std::nullopt;
  DWORD size = 0;
  BOOL reference = FALSE;
  // The size query fails by design (no buffer) and reports the tag's size.
  GetColorProfileElement(profile, tag, 0, &size, nullptr, &reference);
  if (size == 0 || size > kMaxTagSize) return std::nullopt;
  std::vector<uint8_t> data(size);
  DWORD read = size;
  if (!GetColorProfileElement(profile, tag, 0, &read, data.data(), &reference)) return std::nullopt;
  data.resize(std::min<size_t>(read, size));
  return data;
}

std::optional<DescriptionText> ParseDescriptionTag(std::span<const uint8_t> tag) {
  TagCursor cursor(tag);
  const auto count = cursor.Dword();
  if (!count || *count == 0) return std::nullopt;
  const auto text = cursor.Bytes(*count);
  if (!text) return std::nullopt;
  return DescriptionText{*count, TextOf(*text)};
}

std::vector<uint32_t> ParseMediaIdTag(std::span<const uint8_t> tag) {
  std::vector<uint32_t> ids;
  TagCursor cursor(tag);
  const auto skipped = cursor.Word();
  if (!skipped || !cursor.Skip(size_t{*skipped} * 4)) return ids;
  const auto count = cursor.Word();
  if (!count) return ids;
  const size_t wanted = std::min<size_t>(*count, kProfileMediaIdCount);
  while (ids.size() < wanted) {
    const auto id = cursor.Dword();
    if (!id) break;
    ids.push_back(*id);
  }
  return ids;
}

uint16_t DriverNamesTagCount(std::span<const uint8_t> tag) {
  return TagCursor(tag).Word().value_or(0);
}

bool DriverNamesTagNames(std::span<const uint8_t> tag, const char* driver_name) {
  if (driver_name == nullptr) return false;
  TagCursor cursor(tag);
  const uint16_t count = cursor.Word().value_or(0);
  for (uint16_t i = 0; i < count; ++i) {
    const auto length = cursor.Word();
    if (!length || *length == 0) return false;
    const auto name = cursor.Bytes(*length);
    if (!name) return false;
    if (_stricmp(TextOf(*name).c_str(), driver_name) == 0) return true;
  }
  return false;
}

std::optional<std::vector<uint8_t>> ParseInkCodesTag(std::span<const uint8_t> tag) {
  TagCursor cursor(tag);
  const auto length = cursor.Word();
  if (!length || *length > kProfileInkCodeCapacity) return std::nullopt;
  const auto codes = cursor.Bytes(*length);
  if (!codes) return std::nullopt;
  return std::vector<uint8_t>(codes->begin(), codes->end());
}

uint32_t ReadProfileDescription(HPROFILE profile, char* buffer, uint32_t capacity) {
  const auto tag = ReadProfileTag(profile, kTagDescription);
  if (!tag) return 0;
  const auto description = ParseDescriptionTag(*tag);
  if (!description) return 0;
  if (buffer != nullptr && capacity != 0) platform::CopyStringA(buffer, capacity, description->text.c_str());
  return description->count;
}

}  // namespace kalimu::settings
