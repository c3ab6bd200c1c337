// The text reply body: tagged fields ("ST:05;") walked from the start of the body. Every read
// is bounded by the body, and each field's values by its closing ';'.
#include <algorithm>
#include <cstring>
#include <optional>

#include "kalimu/status/status_reply.h"

namespace kalimu::status {
namespace {

constexpr uint8_t kFormFeed = 0x0C;
constexpr uint8_t kChannelValueAbsent = 50;

int HexDigit(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

int Upper(int c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

class TextBody {
 public:
  TextBody(const uint8_t* bytes, size_t length) : bytes_(bytes), length_(length) {}

  size_t length() const { return length_; }
  // The byte at i, or -1 past the end.
  int At(size_t i) const { return i < length_ ? bytes_[i] : -1; }
  // The byte at i when it lies before limit (and in the body), else -1.
  int Within(size_t i, size_t limit) const { return i < limit ? At(i) : -1; }

  bool MatchesNoCase(size_t pos, const char* text) const {
    const size_t n = std::strlen(text);
    if (pos > length_ || length_ - pos < n) return false;
    for (size_t i = 0; i < n; ++i) {
      if (Upper(bytes_[pos + i]) != Upper(static_cast<unsigned char>(text[i]))) return false;
    }
    return true;
  }
  bool Matches(size_t pos, const char* text, size_t limit) const {
    for (size_t i = 0; text[i] != '\0'; ++i) {
      if (Within(pos + i, limit) != static_cast<unsigned char>(text[i])) return false;
    }
    return true;
  }

  // Reads the pair at pos (bytes at or past limit count as missing): no value when its first
  // character is no hexadecimal digit; 16 x high digit when only the second one is not.
  std::optional<uint8_t> Pair(size_t pos, size_t limit) const {
    const int high = HexDigit(Within(pos, limit));
    if (high < 0) return std::nullopt;
    const int low = HexDigit(Within(pos + 1, limit));
    return static_cast<uint8_t>(16 * high + std::max(low, 0));
  }

  // The first ';' at or after pos.
  std::optional<size_t> Semicolon(size_t pos) const {
    for (size_t i = pos; i < length_; ++i) {
      if (bytes_[i] == ';') return i;
    }
    return std::nullopt;
  }

 private:
  const uint8_t* bytes_;
  size_t length_;
};

// The content count of a non-empty field whose content starts at start: the characters other
// than ',' from the second one up to and including the first ';' after it.
struct ContentCount {
  size_t count;
  size_t semicolon;
};
std::optional<ContentCount> CountContent(const TextBody& t, size_t start) {
  const auto semi = t.Semicolon(start + 1);
  if (!semi) return std::nullopt;
  size_t count = 0;
  for (size_t i = start + 1; i <= *semi; ++i) count += t.At(i) != ',';
  return ContentCount{count, *semi};
}

// Field readers: pos is the first character after the tag; on success it is left behind the
// field's closing ';'. False rejects the reply.
using Reader = bool (*)(const TextBody&, size_t&, StatusReading&);

bool ReadSingle(const TextBody& t, size_t& pos, ByteValue& target) {
  if (t.At(pos + 2) != ';') return false;
  if (const auto v = t.Pair(pos, pos + 2)) target.value = *v;
  target.present = true;
  pos += 3;
  return true;
}

bool ReadStatus(const TextBody& t, size_t& pos, StatusReading& r) { return ReadSingle(t, pos, r.status); }
bool ReadError(const TextBody& t, size_t& pos, StatusReading& r) { return ReadSingle(t, pos, r.error); }

bool ReadWarnings(const TextBody& t, size_t& pos, StatusReading& r) {
  if (t.At(pos) == ';') return false;
  const auto c = CountContent(t, pos);
  if (!c) return false;
  r.warnings.Reset(std::max<size_t>(1, c->count / 2));
  size_t p = pos;
  for (size_t i = 0; i < r.warnings.count(); ++i) {
    if (const auto v = t.Pair(p, c->semicolon)) r.warnings.data[1 + i] = *v;
    p += 2;
    if (t.Within(p, c->semicolon) == ',') ++p;
  }
  pos = c->semicolon + 1;
  return true;
}

bool ReadInkLevels(const TextBody& t, size_t& pos, StatusReading& r) {
  if (t.At(pos) == ';') return false;
  const auto c = CountContent(t, pos);
  if (!c) return false;
  const size_t n = std::max<size_t>(1, c->count / 2);
  r.ink_levels.Reset(n);
  r.ink_states.Reset(n);
  struct Named {
    const char* item;
    InkState state;
  };
  static constexpr Named kNamed[] = {{"RE", kInkStateRefill}, {"WE", kInkStateWarning},
                                     {"NA", kInkStateAbsent}, {"CI", kInkStateCartridge}};
  for (size_t i = 0; i < r.ink_levels.count(); ++i) {
    const size_t p = pos + 2 * i;
    uint8_t level = 0;
    int32_t state = kInkStateLevel;
    const Named* named = nullptr;
    for (const Named& k : kNamed) {
      if (Upper(t.Within(p, c->semicolon)) == k.item[0] &&
          Upper(t.Within(p + 1, c->semicolon)) == k.item[1]) {
        named = &k;
      }
    }
    if (named != nullptr) {
      level = kInkLevelUnknown;
      state = named->state;
    } else if (const auto v = t.Pair(p, c->semicolon)) {
      level = std::min(*v, kInkLevelFull);
    }
    r.ink_levels.data[1 + i] = level;
    r.ink_states.data[1 + i] = state;
  }
  pos = c->semicolon + 1;
  return true;
}

bool ReadPaperPath(const TextBody& t, size_t& pos, StatusReading& r) {
  int digits[4];
  for (size_t i = 0; i < 4; ++i) {
    digits[i] = HexDigit(t.At(pos + i));
    if (digits[i] < 0) return false;
  }
  if (t.At(pos + 4) != ';') return false;
  const uint8_t first = static_cast<uint8_t>(16 * digits[0] + digits[1]);
  const uint8_t second = static_cast<uint8_t>(16 * digits[2] + digits[3]);
  const bool known = first <= 2;
  r.paper_path[0] = known ? first : 255;
  r.paper_path[1] = known ? second : 255;
  r.paper_path_present = true;
  pos += 5;
  return true;
}

// A cartridge item of 2 or 4 hexadecimal digits, or its "not available" spelling.
bool ReadCartridgeItem(const TextBody& t, size_t& pos, size_t digits, uint16_t* out) {
  const char* absent = digits == 2 ? "NA" : "NAVL";
  if (t.Matches(pos, absent, t.length())) {
    *out = digits == 2 ? 255 : 0;
    pos += digits;
    return true;
  }
  uint16_t value = 0;
  for (size_t i = 0; i < digits; ++i) {
    const int d = HexDigit(t.At(pos + i));
    if (d < 0) return false;
    value = static_cast<uint16_t>(value * 16 + d);
  }
  *out = value;
  pos += digits;
  return true;
}

bool ReadCartridge(const TextBody& t, size_t& pos, StatusReading& r) {
  CartridgeData& c = r.cartridge;
  struct Item {
    size_t digits;
    void (*store)(CartridgeData&, uint16_t);
  };
  static constexpr Item kItems[] = {
      {2, [](CartridgeData& d, uint16_t v) { d.kind = static_cast<uint8_t>(v); }},
      {4, [](CartridgeData& d, uint16_t v) { d.a = v; }},
      {2, [](CartridgeData& d, uint16_t v) { d.b = static_cast<uint8_t>(v); }},
      {2, [](CartridgeData& d, uint16_t v) { d.c = static_cast<uint8_t>(v); }},
      {4, [](CartridgeData& d, uint16_t v) { d.d = v; }},
      {2, [](CartridgeData& d, uint16_t v) { d.e = static_cast<uint8_t>(v); }},
      {2, [](CartridgeData& d, uint16_t v) { d.f = static_cast<uint8_t>(v); }},
      {2, [](CartridgeData& d, uint16_t v) { d.g = static_cast<uint8_t>(v); }},
  };
  for (const Item& item : kItems) {
    uint16_t value = 0;
    if (!ReadCartridgeItem(t, pos, item.digits, &value)) return false;
    item.store(c, value);
    if (t.At(pos) == ';') {
      c.present = true;
      ++pos;
      return true;
    }
  }
  // Whatever follows the last item is passed over up to the field's end.
  const auto semi = t.Semicolon(pos);
  if (!semi) return false;
  c.present = true;
  pos = *semi + 1;
  return true;
}

// The channel values of a "CW:" item: pairs (or "NA") from start to the end of the field, the
// field's ';' (which may be at start itself, when the item has no values).
size_t ReadChannelValues(const TextBody& t, size_t start, StatusReading& r) {
  const size_t end = t.Semicolon(start).value_or(t.length());
  size_t count = 0;
  for (size_t i = start + 1; i <= end && i < t.length(); ++i) count += t.At(i) != ',';
  ByteList& values = r.channels.values;
  values.Reset(count / 2);
  size_t p = start;
  for (size_t i = 0; i < values.count(); ++i) {
    if (t.Matches(p, "NA", end)) {
      values.data[1 + i] = kChannelValueAbsent;
    } else {
      values.data[1 + i] = t.Pair(p, end).value_or(0);
    }
    p = std::min(p + 2, end);
    if (t.Within(p, end) == ',') ++p;
  }
  return p;
}

// Never rejects: a field without its ';' ends with the body.
bool ReadChannels(const TextBody& t, size_t& pos, StatusReading& r) {
  while (pos < t.length()) {
    if (t.MatchesNoCase(pos, "CW:")) {
      if (const auto v = t.Pair(pos + 3, t.length())) r.channels.cw = *v;
      r.channels.present = true;
      // Values never start past the field's end, even when the CW pair is cut short.
      const size_t field_end = t.Semicolon(pos).value_or(t.length());
      pos = ReadChannelValues(t, std::min(pos + 5, field_end), r);
    }
    if (t.MatchesNoCase(pos, "MI:")) {
      if (const auto v = t.Pair(pos + 3, t.length())) r.channels.mi.value = *v;
      r.channels.mi.present = true;
    }
    while (pos < t.length() && t.At(pos) != ',' && t.At(pos) != ';') ++pos;
    if (pos >= t.length()) break;
    const bool last = t.At(pos) == ';';
    ++pos;
    if (last) break;
  }
  return true;
}

bool ReadRc(const TextBody& t, size_t& pos, StatusReading& r) {
  const auto semi = t.Semicolon(pos);
  if (!semi) return false;
  r.rc.Reset(1);
  r.rc.data[1] = t.Pair(pos, *semi).value_or(0);
  pos = *semi + 1;
  return true;
}

// A code is the run of hexadecimal digits that ends its four characters.
int32_t InkCodeValue(const TextBody& t, size_t p, size_t limit) {
  size_t end = 4;
  while (end > 0 && HexDigit(t.Within(p + end - 1, limit)) < 0) --end;
  size_t begin = end;
  while (begin > 0 && HexDigit(t.Within(p + begin - 1, limit)) >= 0) --begin;
  int32_t value = 0;
  for (size_t i = begin; i < end; ++i) value = value * 16 + HexDigit(t.At(p + i));
  return value;
}

bool ReadInkCodes(const TextBody& t, size_t& pos, StatusReading& r) {
  if (t.At(pos) == ';') {
    r.ink_codes.Reset(0);
    ++pos;
    return true;
  }
  const auto c = CountContent(t, pos);
  if (!c) return false;
  r.ink_codes.Reset(c->count / 4);
  for (size_t i = 0; i < r.ink_codes.count(); ++i) {
    r.ink_codes.data[1 + i] = InkCodeValue(t, pos + 5 * i, c->semicolon);
  }
  pos = c->semicolon + 1;
  return true;
}

bool ReadIg(const TextBody& t, size_t& pos, StatusReading& r) {
  if (t.At(pos) == ';') return false;
  const auto c = CountContent(t, pos);
  if (!c) return false;
  r.ig_entries.Reset(std::max<size_t>(1, c->count / 6));
  size_t p = pos;
  for (size_t i = 0; i < r.ig_entries.count(); ++i) {
    int32_t value = 0;
    for (int32_t scale : {1, 256, 65536}) {
      value += scale * t.Pair(p, c->semicolon).value_or(0);
      p += 2;
    }
    r.ig_entries.data[1 + i] = value;
    if (t.Within(p, c->semicolon) == ',') ++p;
  }
  pos = c->semicolon + 1;
  return true;
}

bool ReadSb(const TextBody& t, size_t& pos, StatusReading& r) {
  const auto semi = t.Semicolon(pos);
  if (!semi) return false;
  for (size_t i = pos; i < *semi; ++i) {
    if (t.At(i) == ',') return false;
  }
  std::memset(r.sb_text, 0, sizeof r.sb_text);
  std::memcpy(r.sb_text, "SB:", 3);
  const size_t n = std::min(*semi - pos, sizeof r.sb_text - 4);
  for (size_t i = 0; i < n; ++i) r.sb_text[3 + i] = static_cast<char>(t.At(pos + i));
  r.sb_present = true;
  pos = *semi + 1;
  return true;
}

struct Field {
  const char* tag;
  Reader read;
};
constexpr Field kFields[] = {
    {"ST:", ReadStatus},  {"ER:", ReadError},   {"WR:", ReadWarnings},  {"IQ:", ReadInkLevels},
    {"PP:", ReadPaperPath}, {"CD:", ReadCartridge}, {"AI:", ReadChannels}, {"RC:", ReadRc},
    {"INK:", ReadInkCodes}, {"IG:", ReadIg},    {"SB:", ReadSb},
};

}  // namespace

int ParseTextBody(const uint8_t* body, size_t length, StatusReading& reading) {
  if (body == nullptr) return -1;
  const TextBody t(body, length);
  size_t pos = 0;
  while (pos < length && t.At(pos) != kFormFeed) {
    const Field* field = nullptr;
    for (const Field& f : kFields) {
      if (t.MatchesNoCase(pos, f.tag)) {
        field = &f;
        break;
      }
    }
    if (field == nullptr) {
      ++pos;  // text between fields is passed over
      continue;
    }
    pos += std::strlen(field->tag);
    if (!field->read(t, pos, reading)) return -1;
  }
  if (!reading.IsAcceptable()) return -1;
  reading.CleanUp();
  return 0;
}

}  // namespace kalimu::status
