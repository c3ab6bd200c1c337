// The watermark-list file's header as plain bytes, in both builds: cut headers, wrong versions,
// counts outside the list's limits, and files shorter than the entries they count.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "kalimu/storage/watermark_list_header.h"

namespace kalimu::storage {
namespace {

// A header alone in a heap block of exactly its size.
struct HeaderBytes {
  explicit HeaderBytes(int32_t built_in, int32_t user, int32_t capacity, int32_t version = kWatVersion)
      : data(new uint8_t[sizeof(WatFileHeader)]) {
    const WatFileHeader header{0x409, version, built_in, user, capacity};
    std::memcpy(data.get(), &header, sizeof(header));
  }
  std::span<const uint8_t> First(size_t n) const { return {data.get(), n}; }
  std::unique_ptr<uint8_t[]> data;
};

uint64_t FileOf(uint64_t entries) { return sizeof(WatFileHeader) + entries * sizeof(WatermarkEntry); }

TEST(WatListHeader, LimitsVersionsAndCuts) {
  constexpr size_t kWhole = sizeof(WatFileHeader);
  const struct {
    const char* name;
    HeaderBytes bytes;
    size_t head;
    uint64_t file_size;
    bool accepted;
    uint32_t room, total;
  } cases[] = {
      {"two built-in, one of six user entries", HeaderBytes(2, 1, 6), kWhole, FileOf(3), true, 8, 3},
      {"longer file", HeaderBytes(2, 1, 6), kWhole, FileOf(3) + 100, true, 8, 3},
      {"empty list", HeaderBytes(0, 0, 0), kWhole, kWhole, true, 0, 0},
      {"largest counts", HeaderBytes(9999, 0xFFFF, 0xFFFF), kWhole, FileOf(9999 + 0xFFFF), true, 9999 + 0xFFFF,
       9999 + 0xFFFF},
      {"no bytes", HeaderBytes(2, 1, 6), 0, 0, false, 0, 0},
      {"header cut", HeaderBytes(2, 1, 6), kWhole - 1, FileOf(3), false, 0, 0},
      {"version 1807", HeaderBytes(2, 1, 6, 1807), kWhole, FileOf(3), false, 0, 0},
      {"entries cut", HeaderBytes(2, 1, 6), kWhole, FileOf(3) - 1, false, 0, 0},
      {"user count over capacity", HeaderBytes(1, 7, 6), kWhole, FileOf(8), false, 0, 0},
      {"negative built-in count", HeaderBytes(-1, 1, 6), kWhole, FileOf(8), false, 0, 0},
      {"negative capacity", HeaderBytes(1, 0, -1), kWhole, FileOf(8), false, 0, 0},
      {"10000 built-in entries", HeaderBytes(10000, 0, 0), kWhole, FileOf(10000), false, 0, 0},
      {"capacity over 65535", HeaderBytes(0, 0, 0x10000), kWhole, kWhole, false, 0, 0},
      {"huge built-in count", HeaderBytes(0x7FFFFFFF, 1, 6), kWhole, ~uint64_t{0}, false, 0, 0},
  };
  for (const auto& c : cases) {
    WatListLayout layout;
    layout.room = layout.total = 77;  // a refusal leaves it as it was
    EXPECT_EQ(ReadWatListHeader(c.bytes.First(c.head), c.file_size, &layout), c.accepted) << c.name;
    EXPECT_EQ(layout.room, c.accepted ? c.room : 77u) << c.name;
    EXPECT_EQ(layout.total, c.accepted ? c.total : 77u) << c.name;
    if (c.accepted) EXPECT_EQ(layout.header.language, 0x409) << c.name;
  }
}

}  // namespace
}  // namespace kalimu::storage
