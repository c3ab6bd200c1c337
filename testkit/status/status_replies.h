// Status replies for tests: binary records and text fields, good and damaged. Plain C++ (the
// host build's parser tests use it too).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace testkit {

using Bytes = std::vector<uint8_t>;

// "@BDC ST2" CR LF, the 16-bit body length, then the records added, in order.
class BinaryReply {
 public:
  BinaryReply& Record(uint8_t type, std::initializer_list<uint8_t> data);
  BinaryReply& Record(uint8_t type, const Bytes& data);
  // Appends raw bytes after the records (a record cut short, for example).
  BinaryReply& Raw(const Bytes& bytes);
  // The declared length is the body's own unless set here.
  BinaryReply& DeclaredLength(uint16_t length);

  // Shorthands of the usual records.
  BinaryReply& Status(uint8_t code) { return Record(1, {code}); }
  BinaryReply& Error(uint8_t code) { return Record(2, {code}); }
  // Type 15 with entries of 3 bytes: a 16-bit code (big-endian) and a level byte.
  BinaryReply& Inks(std::initializer_list<std::pair<uint16_t, uint8_t>> entries);

  Bytes Build() const;

 private:
  Bytes records_;
  bool declared_set_ = false;
  uint16_t declared_ = 0;
};

// "@BDC ST" CR LF followed by the body text.
Bytes TextReply(std::string_view body);
// Any bytes as a reply.
Bytes AsBytes(std::string_view text);

// Replies travel to the stand-ins as hexadecimal text (two digits per byte).
std::string ToHex(const Bytes& bytes);
// Stops at the first character pair that is not hexadecimal.
Bytes FromHex(std::string_view hex);

}  // namespace testkit
