// ".WBF" bytes and thumbnail block sizes.
#include "kalimu/watermark/watermark_file_layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace kalimu::watermark {
namespace {

uint32_t U32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

TEST(WbfLayout, RowsCountIn8ByteUnits) {
  struct Case {
    int32_t width, height;
    uint32_t stride, area;
  };
  const Case cases[] = {
      {100, 3, 16, 48},    // two 8-byte units hold the 16-byte rows
      {70, 5, 12, 80},     // 16-byte units for 12-byte rows: 4 x 5 zero bytes behind the rows
      {64, 1, 8, 8},
      {1500, 1500, 188, 192 * 1500},
  };
  for (const Case& c : cases) {
    const auto layout = WbfLayoutFor(c.width, c.height);
    ASSERT_TRUE(layout.has_value()) << c.width;
    EXPECT_EQ(layout->row_stride, c.stride) << c.width;
    EXPECT_EQ(layout->area_bytes, c.area) << c.width;
    EXPECT_EQ(layout->file_bytes, 62 + c.area) << c.width;
  }
  EXPECT_FALSE(WbfLayoutFor(0, 10).has_value());  // a fit of 0 writes no file
  EXPECT_FALSE(WbfLayoutFor(10, 0).has_value());
  EXPECT_FALSE(WbfLayoutFor(0x7FFFFFFF, 0x7FFFFFFF).has_value());
}

TEST(WbfLayout, HeaderBytes) {
  const auto layout = *WbfLayoutFor(70, 5);
  const auto h = BuildWbfHeader(70, 5, layout);
  EXPECT_EQ(h[0], 'B');
  EXPECT_EQ(h[1], 'M');
  EXPECT_EQ(U32(&h[2]), 62u + 80);
  EXPECT_EQ(U32(&h[6]), 0u);
  EXPECT_EQ(U32(&h[10]), 62u);
  EXPECT_EQ(U32(&h[14]), 40u);
  EXPECT_EQ(U32(&h[18]), 70u);
  EXPECT_EQ(U32(&h[22]), 5u);
  EXPECT_EQ(h[26] | h[27] << 8, 1);
  EXPECT_EQ(h[28] | h[29] << 8, 1);
  for (int i = 30; i < 54; ++i) EXPECT_EQ(h[i], 0) << i;
  const std::vector<uint8_t> colours(h.begin() + 54, h.end());
  EXPECT_EQ(colours, (std::vector<uint8_t>{0, 0, 0, 0, 255, 255, 255, 0}));
}

TEST(ThumbnailLayout, BlockSizes) {
  EXPECT_EQ(ThumbnailBlockBytes(128, 96, 8), 13864u);
  EXPECT_EQ(ThumbnailBlockBytes(128, 128, 1), 16944u);
  // Narrow 8-bit thumbnails have padded rows; the room behind the rows covers them.
  for (int32_t w = 1; w <= 128; ++w) {
    EXPECT_GE(ThumbnailBlockBytes(w, 128, 8), 40u + 1024 + ((w * 8 + 31) / 32) * 4 * 128) << w;
    EXPECT_GE(ThumbnailBlockBytes(w, 128, 1), 40u + 8 + ((w + 31) / 32) * 4 * 128) << w;
  }
  const auto h = BuildThumbnailFileHeader(13864);
  EXPECT_EQ(U32(&h[2]), 13878u);
  EXPECT_EQ(U32(&h[10]), 14u);
}

}  // namespace
}  // namespace kalimu::watermark
