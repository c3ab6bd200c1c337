#include "kalimu/settings/icc_tags.h"

#include <algorithm>

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

// Equal ignoring ASCII case, as the C runtime compares driver names in its "C" locale.
bool SameTextIgnoringCase(const std::string& a, const char* b) {
  const auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
  size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i)
    if (fold(static_cast<unsigned char>(a[i])) != fold(static_cast<unsigned char>(b[i]))) return false;
  return i == a.size() && b[i] == '\0';
}

// Text of bytes up to the first zero among them.
std::string TextOf(std::span<const uint8_t> bytes) {
  const auto end = std::find(bytes.begin(), bytes.end(), uint8_t{0});
  return std::string(bytes.begin(), end);
}

}  // namespace

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
    if (SameTextIgnoringCase(TextOf(*name), driver_name)) return true;
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

}  // namespace kalimu::settings
