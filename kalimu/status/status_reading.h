// One parsed printer status reply. Plain bytes and numbers: no platform headers, so the parser
// builds for the host as well.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kalimu::status {

// A list never holds more entries than its count byte can say; longer runs in a reply are cut.
inline constexpr size_t kListCapacity = 255;

enum class ReplyForm : uint8_t { kNone = 0, kBinary = 1, kText = 2 };

// A single byte value with its present flag.
struct ByteValue {
  bool present = false;
  uint8_t value = 0;

  void Set(uint8_t v) {
    value = v;
    present = true;
  }
};

// Counted byte list: data[0] is the count n, data[1..n] the values.
struct ByteList {
  bool present = false;
  uint8_t data[kListCapacity + 1] = {};

  uint8_t count() const { return data[0]; }
  const uint8_t* values() const { return data + 1; }
  // Makes the list present with n entries (capped), all 0.
  void Reset(size_t n);
  void Clear() { *this = ByteList{}; }
};

// Counted number list: data[0] is the count n, data[1..n] the values.
struct NumberList {
  bool present = false;
  int32_t data[kListCapacity + 1] = {};

  size_t count() const { return static_cast<size_t>(data[0]); }
  const int32_t* values() const { return data + 1; }
  void Reset(size_t n);
  void Clear() { *this = NumberList{}; }
};

struct CartridgeData {
  bool present = false;
  uint8_t kind = 0;
  uint16_t a = 0;
  uint8_t b = 0;
  uint8_t c = 0;
  uint16_t d = 0;
  uint8_t e = 0;
  uint8_t f = 0;
  uint8_t g = 0;
};

struct ChannelData {
  bool present = false;
  uint8_t cw = 0;
  ByteList values;
  ByteValue mi{false, 255};
};

// Ink-level byte or item values that stand for a state, not a level.
enum InkState : int32_t {
  kInkStateRefill = 1,     // 'r', "RE"
  kInkStateWarning = 2,    // 'w', "WE"
  kInkStateAbsent = 4,     // 'n', "NA"
  kInkStateCartridge = 8,  // 'i', "CI"
  kInkStateLevel = 16,     // a number
};
inline constexpr uint8_t kInkLevelUnknown = 255;
inline constexpr uint8_t kInkLevelFull = 100;

inline constexpr size_t kSbTextCapacity = 3 + kListCapacity + 1;     // "SB:", text, NUL
inline constexpr size_t kSerialTextCapacity = kListCapacity + 1;     // text, NUL
inline constexpr size_t kHpiBlockCapacity = 2 + kListCapacity;       // type, length, data

struct StatusReading {
  ReplyForm form = ReplyForm::kNone;
  ByteValue status;
  ByteValue error;
  ByteList warnings;
  bool paper_path_present = false;
  uint8_t paper_path[2] = {};
  CartridgeData cartridge;
  ChannelData channels;
  ByteList rc;
  NumberList ink_codes;
  ByteList ink_levels;
  NumberList ink_states;
  NumberList ig_entries;
  bool sb_present = false;
  char sb_text[kSbTextCapacity] = {};
  ByteValue flag20;
  ByteList iwf;
  ByteValue record24;
  ByteList ht;
  ByteValue temperature;
  ByteValue rt;
  bool serial_present = false;
  uint16_t serial_size = 0;  // text length + 1
  char serial_text[kSerialTextCapacity] = {};
  bool hpi_present = false;
  uint8_t hpi_block[kHpiBlockCapacity] = {};
  ByteValue mkiwt;

  // Fills one ink's level and state from a level byte of the binary form.
  void SetInkFromByte(size_t index, uint8_t level_byte);
  // What an accepted reply leaves for the fields it did not carry.
  void CleanUp();
  // Accepted: a status code, and either a non-zero one or an error code.
  bool IsAcceptable() const;
};

}  // namespace kalimu::status
