// Re-colouring and fading of watermark bitmaps, and the watermark palette's entries.
#include "kalimu/watermark/dib_colours.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "kalimu/watermark/dib_format.h"
#include "testkit/watermark/bmp_builder.h"

namespace kalimu::watermark {
namespace {

using testkit::watermark::BmpLayout;

std::vector<uint8_t> PackedDib(const BmpLayout& layout) {
  const std::vector<uint8_t> file = testkit::watermark::BuildBmp(layout);
  DibPlan plan;
  EXPECT_EQ(PlanBmpFile(file, &plan), kDibLoaded);
  std::vector<uint8_t> dib(plan.total_bytes);
  BuildPackedDib(std::span<const uint8_t>(file).subspan(14), plan, dib.data());
  return dib;
}

std::vector<uint8_t> OneBit(const uint8_t entry0[3], const uint8_t entry1[3]) {
  BmpLayout layout;
  layout.bits = 1;
  std::vector<uint8_t> dib = PackedDib(layout);
  std::memcpy(dib.data() + 40, entry0, 3);
  std::memcpy(dib.data() + 44, entry1, 3);
  return dib;
}

std::vector<int> Entry(const std::vector<uint8_t>& dib, int i) {
  return {dib[40 + i * 4], dib[41 + i * 4], dib[42 + i * 4], dib[43 + i * 4]};
}

TEST(WatermarkFade, FadedChannels) {
  EXPECT_EQ(FadeChannel(0, 20), 204);
  EXPECT_EQ(FadeChannel(255, 20), 255);
  EXPECT_EQ(FadeChannel(0, 100), 0);
  EXPECT_EQ(FadeChannel(100, 5), 248);  // 255 - 155 x 5 / 100 = 255 - 7
}

TEST(WatermarkFade, TheDarkerEntryOfA1BitBitmapTakesTheColour) {
  const uint8_t white[3] = {255, 255, 255}, black[3] = {0, 0, 0}, grey[3] = {128, 128, 128};
  const Bgr red{0, 0, 255};
  struct Case {
    const char* what;
    std::vector<uint8_t> dib;
    int coloured;
  };
  const Case cases[] = {
      {"black first", OneBit(black, white), 0},
      {"white first", OneBit(white, black), 1},
      {"as dark as each other: entry 0", OneBit(grey, grey), 0},
  };
  for (Case c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(FadeWatermarkDib(c.dib, red, 100));
    EXPECT_EQ(Entry(c.dib, c.coloured), (std::vector<int>{0, 0, 255, 0}));
    EXPECT_EQ(Entry(c.dib, 1 - c.coloured), (std::vector<int>{255, 255, 255, 0}));
  }
}

TEST(WatermarkFade, DensityFadesEveryEntryOfPaletteBitmapsOnly) {
  const uint8_t white[3] = {255, 255, 255}, black[3] = {0, 0, 0};
  std::vector<uint8_t> one_bit = OneBit(white, black);
  ASSERT_TRUE(FadeWatermarkDib(one_bit, Bgr{0, 0, 0}, 20));
  EXPECT_EQ(Entry(one_bit, 1), (std::vector<int>{204, 204, 204, 0}));
  EXPECT_EQ(Entry(one_bit, 0), (std::vector<int>{255, 255, 255, 0}));

  BmpLayout eight;
  eight.colors_used = 3;
  std::vector<uint8_t> palette = PackedDib(eight);
  const std::vector<uint8_t> before = palette;
  ASSERT_TRUE(FadeWatermarkDib(palette, Bgr{}, 50));
  for (int i = 0; i < 3; ++i) {
    for (int c = 0; c < 3; ++c) EXPECT_EQ(palette[40 + i * 4 + c], FadeChannel(before[40 + i * 4 + c], 50));
  }
  EXPECT_TRUE(std::equal(palette.begin() + 52, palette.end(), before.begin() + 52));  // bits untouched

  BmpLayout deep;
  deep.bits = 24;
  std::vector<uint8_t> rgb = PackedDib(deep);
  const std::vector<uint8_t> rgb_before = rgb;
  ASSERT_TRUE(FadeWatermarkDib(rgb, Bgr{}, 20));
  EXPECT_EQ(rgb, rgb_before);
}

TEST(WatermarkFade, BlocksThatAreNoDibAreLeftAlone) {
  BmpLayout layout;
  layout.bits = 8;
  std::vector<uint8_t> dib = PackedDib(layout);
  std::vector<uint8_t> many = dib;
  const uint32_t colours = 4000;  // entries beyond the block
  std::memcpy(many.data() + 32, &colours, 4);
  const std::vector<uint8_t> before = many;
  EXPECT_FALSE(FadeWatermarkDib(many, Bgr{}, 20));
  EXPECT_EQ(many, before);
  dib.resize(dib.size() - 1);
  EXPECT_FALSE(FadeWatermarkDib(dib, Bgr{}, 20));
}

TEST(WatermarkPalette, Entries) {
  std::array<PaletteColor, 256> colours{};
  BmpLayout rgb;
  rgb.bits = 24;
  ASSERT_EQ(WatermarkPaletteColors(PackedDib(rgb), colours), 256u);
  auto same = [](PaletteColor c, int r, int g, int b) { return c.red == r && c.green == g && c.blue == b && c.flags == 0; };
  EXPECT_TRUE(same(colours[0], 0, 0, 0));
  EXPECT_TRUE(same(colours[9], 32, 32, 0));
  EXPECT_TRUE(same(colours[255], 224, 224, 192));

  BmpLayout four;
  four.bits = 4;
  ASSERT_EQ(WatermarkPaletteColors(PackedDib(four), colours), 16u);
  EXPECT_EQ(colours[3].blue, testkit::watermark::TableByte(3, 0));
  EXPECT_EQ(colours[3].red, testkit::watermark::TableByte(3, 2));

  BmpLayout sixteen;  // the layout page's palette has a cube for 16 bits; this one has none
  sixteen.bits = 16;
  EXPECT_EQ(WatermarkPaletteColors(PackedDib(sixteen), colours), 0u);
  BmpLayout v4 = four;
  v4.header_bytes = 108;
  EXPECT_EQ(WatermarkPaletteColors(PackedDib(v4), colours), 0u);
}

}  // namespace
}  // namespace kalimu::watermark
