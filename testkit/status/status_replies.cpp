// Test replies in both forms.
#include "testkit/status/status_replies.h"

namespace testkit {

BinaryReply& BinaryReply::Record(uint8_t type, std::initializer_list<uint8_t> data) {
  return Record(type, Bytes(data));
}

BinaryReply& BinaryReply::Record(uint8_t type, const Bytes& data) {
  records_.push_back(type);
  records_.push_back(static_cast<uint8_t>(data.size()));
  records_.insert(records_.end(), data.begin(), data.end());
  return *this;
}

BinaryReply& BinaryReply::Raw(const Bytes& bytes) {
  records_.insert(records_.end(), bytes.begin(), bytes.end());
  return *this;
}

BinaryReply& BinaryReply::DeclaredLength(uint16_t length) {
  declared_set_ = true;
  declared_ = length;
  return *this;
}

BinaryReply& BinaryReply::Inks(std::initializer_list<std::pair<uint16_t, uint8_t>> entries) {
  Bytes data = {3};
  for (const auto& [code, level] : entries) {
    data.push_back(static_cast<uint8_t>(code >> 8));
    data.push_back(static_cast<uint8_t>(code));
    data.push_back(level);
  }
  return Record(15, data);
}

Bytes BinaryReply::Build() const {
  const uint16_t length = declared_set_ ? declared_ : static_cast<uint16_t>(records_.size() + 2);
  std::string out = "@BDC ST2\r\n";
  out.push_back(static_cast<char>(length & 0xFF));
  out.push_back(static_cast<char>(length >> 8));
  out.append(records_.begin(), records_.end());
  return AsBytes(out);
}

Bytes TextReply(std::string_view body) { return AsBytes("@BDC ST\r\n" + std::string(body)); }

Bytes AsBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

std::string ToHex(const Bytes& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (uint8_t b : bytes) {
    hex.push_back(kDigits[b >> 4]);
    hex.push_back(kDigits[b & 0xF]);
  }
  return hex;
}

Bytes FromHex(std::string_view hex) {
  auto digit = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  Bytes out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    const int high = digit(hex[i]);
    const int low = digit(hex[i + 1]);
    if (high < 0 || low < 0) break;
    out.push_back(static_cast<uint8_t>(high * 16 + low));
  }
  return out;
}

}  // namespace testkit
