// ICC tag data for tests, good and damaged: the type signature, the four reserved bytes and then
// big-endian values as the format lays them out. Platform-neutral (both builds).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testkit {

// Four-character codes.
constexpr uint32_t IccCode(const char (&code)[5]) {
  return uint32_t(uint8_t(code[0])) << 24 | uint32_t(uint8_t(code[1])) << 16 | uint32_t(uint8_t(code[2])) << 8 |
         uint32_t(uint8_t(code[3]));
}
inline constexpr uint32_t kIccClassMonitor = IccCode("mntr");
inline constexpr uint32_t kIccClassScanner = IccCode("scnr");
inline constexpr uint32_t kIccClassPrinter = IccCode("prtr");

// The data of one tag: type signature, four reserved bytes, then the values appended.
class IccTagWriter {
 public:
  explicit IccTagWriter(uint32_t type);
  IccTagWriter& U8(uint8_t value);
  IccTagWriter& U16(uint16_t value);
  IccTagWriter& U32(uint32_t value);
  IccTagWriter& Bytes(const std::vector<uint8_t>& bytes);
  IccTagWriter& Text(const std::string& text);  // without a terminator
  const std::vector<uint8_t>& data() const { return data_; }

 private:
  std::vector<uint8_t> data_;
};

// The four tags the driver reads, well formed.
std::vector<uint8_t> DescriptionTag(const std::string& text);  // count = length + 1
std::vector<uint8_t> DriverNamesTag(const std::vector<std::string>& names);
std::vector<uint8_t> MediaIdsTag(const std::vector<uint32_t>& ids, uint16_t skipped_items = 0);
std::vector<uint8_t> InkCodesTag(const std::vector<uint8_t>& codes);

}  // namespace testkit
