// The part-by-part merge of device modes of different shapes.
#include "kalimu/driver/dev_mode_merge.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace kalimu::driver {
namespace {

// A record of the given shape: header words set, every other byte the given fill.
std::vector<uint8_t> Record(WORD version, WORD driver_version, WORD size, WORD extra, uint8_t fill) {
  std::vector<uint8_t> bytes(size_t{size} + extra + 64, 0xEE);  // 0xEE: past the record
  std::memset(bytes.data(), fill, size_t{size} + extra);
  auto* header = reinterpret_cast<DEVMODEW*>(bytes.data());
  header->dmSpecVersion = version;
  header->dmDriverVersion = driver_version;
  header->dmSize = size;
  header->dmDriverExtra = extra;
  return bytes;
}

DEVMODEW* Header(std::vector<uint8_t>& bytes) { return reinterpret_cast<DEVMODEW*>(bytes.data()); }

size_t CountFill(const std::vector<uint8_t>& bytes, size_t from, size_t to, uint8_t fill) {
  size_t n = 0;
  for (size_t i = from; i < to; ++i) n += bytes[i] == fill;
  return n;
}

struct PartsCase {
  const char* name;
  WORD source_size, source_extra, source_driver;
  WORD destination_version, destination_size, destination_extra, destination_driver;
  int copied;
  WORD spec_after;
};

TEST(MergeDevModeParts, CopiesTheCommonLengthsAndKeepsTheDestinationShape) {
  const PartsCase cases[] = {
      {"188 into 220", 188, 828, 0x500, 0x400, 220, 828, 0x500, 188 + 828, 0x401},
      {"220 into 188", 220, 828, 0x500, 0x400, 188, 828, 0x500, 188 + 828, 0x320},
      {"220 into 220 with a shorter private part", 220, 828, 0x500, 0x401, 220, 100, 0x500, 220 + 100, 0x401},
      {"public only into 220", 220, 0, 0x500, 0x401, 220, 828, 0x500, 220, 0x401},
      {"into another public size keeps its record version", 220, 828, 0x500, 0x777, 200, 828, 0x500, 200 + 828, 0x777},
      {"driver versions differ", 220, 828, 0x400, 0x401, 220, 828, 0x500, -1, 0x401},
      {"destination shorter than its header", 220, 828, 0x500, 0x401, 40, 828, 0x500, -1, 0x401},
  };
  for (const PartsCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto source = Record(0x401, c.source_driver, c.source_size, c.source_extra, 0x11);
    auto destination = Record(c.destination_version, c.destination_driver, c.destination_size, c.destination_extra, 0x22);
    const auto before = destination;
    EXPECT_EQ(MergeDevModeParts(Header(source), Header(destination)), c.copied);
    if (c.copied < 0) {
      EXPECT_EQ(destination, before);
      continue;
    }
    const DEVMODEW* after = Header(destination);
    EXPECT_EQ(after->dmSpecVersion, c.spec_after);
    EXPECT_EQ(after->dmDriverVersion, c.destination_driver);
    EXPECT_EQ(after->dmSize, c.destination_size);
    EXPECT_EQ(after->dmDriverExtra, c.destination_extra);
    const size_t public_copied = std::min(c.source_size, c.destination_size);
    const size_t private_copied = std::min(c.source_extra, c.destination_extra);
    const size_t end = size_t{c.destination_size} + c.destination_extra;
    // The source's bytes lie exactly over the common lengths (header words aside).
    EXPECT_EQ(CountFill(destination, offsetof(DEVMODEW, dmFields), public_copied, 0x11),
              public_copied - offsetof(DEVMODEW, dmFields));
    EXPECT_EQ(CountFill(destination, public_copied, c.destination_size, 0x22), c.destination_size - public_copied);
    EXPECT_EQ(CountFill(destination, c.destination_size, c.destination_size + private_copied, 0x11), private_copied);
    EXPECT_EQ(CountFill(destination, c.destination_size + private_copied, end, 0x22),
              c.destination_extra - private_copied);
    EXPECT_EQ(CountFill(destination, end, destination.size(), 0xEE), destination.size() - end);
  }
}

TEST(MergeDevModeToOutput, HandsTheRecordBackInTheShapeOfTheInput) {
  struct Case {
    const char* name;
    bool with_input;
    WORD input_version, input_driver, input_size, input_extra;
    WORD out_version, out_driver, out_size, out_extra;
  };
  const Case cases[] = {
      {"no input: the whole record", false, 0, 0, 0, 0, 0x401, 0x500, 220, 828},
      {"a whole record of this driver", true, 0x401, 0x500, 220, 828, 0x401, 0x500, 220, 828},
      {"an older public part", true, 0x320, 0x500, 188, 828, 0x320, 0x500, 188, 828},
      {"a public-only record of this driver version", true, 0x401, 0x500, 220, 0, 0x401, 0x500, 220, 0},
      // The spooler's or an application's own record: the parts cannot be merged, so the whole
      // record goes back rather than a bare header.
      {"a foreign public-only record", true, 0x401, 0, 220, 0, 0x401, 0x500, 220, 828},
      {"a record shorter than its header", true, 0x401, 0x500, 0, 0, 0x401, 0x500, 220, 828},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto source = Record(0x401, 0x500, 220, 828, 0x11);
    auto input = Record(c.input_version, c.input_driver, c.input_size, c.input_extra, 0x33);
    std::vector<uint8_t> output(1048 + 64, 0xEE);
    EXPECT_EQ(MergeDevModeToOutput(Header(source), c.with_input ? Header(input) : nullptr, Header(output)), 1);
    const DEVMODEW* out = Header(output);
    EXPECT_EQ(out->dmSpecVersion, c.out_version);
    EXPECT_EQ(out->dmDriverVersion, c.out_driver);
    EXPECT_EQ(out->dmSize, c.out_size);
    EXPECT_EQ(out->dmDriverExtra, c.out_extra);
    const size_t end = size_t{c.out_size} + c.out_extra;
    EXPECT_EQ(CountFill(output, offsetof(DEVMODEW, dmFields), end, 0x11), end - offsetof(DEVMODEW, dmFields));
    EXPECT_EQ(CountFill(output, end, output.size(), 0xEE), output.size() - end);
  }
  auto source = Record(0x401, 0x500, 220, 828, 0x11);
  EXPECT_EQ(MergeDevModeToOutput(Header(source), nullptr, nullptr), 0);
}

}  // namespace
}  // namespace kalimu::driver
