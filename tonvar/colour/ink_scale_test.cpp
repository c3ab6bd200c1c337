// Ink scale of option 768 and its density model.
#include "tonvar/colour/ink_scale.h"

#include <gtest/gtest.h>

#include <vector>

namespace tonvar::colour {
namespace {

std::vector<uint32_t> Density(int32_t s, int32_t a, int32_t b) {
  std::vector<uint32_t> out(256, 0xDEADBEEF);
  EXPECT_EQ(BuildDensityScaleTable(out.data(), s, a, b), 0u);
  return out;
}

TEST(DensityScaleTable, IdentityModelScalesLevels) {
  const std::vector<uint32_t> same = Density(1024, 100, 100);
  for (uint32_t i = 0; i < 256; ++i) EXPECT_EQ(same[i], i);

  const std::vector<uint32_t> half = Density(512, 100, 100);
  EXPECT_EQ(half[0], 0u);
  EXPECT_EQ(half[2], 1u);
  EXPECT_EQ(half[3], 2u);  // (3 * 512 + 512) / 1024 = 2
  EXPECT_EQ(half[255], 128u);

  const std::vector<uint32_t> twice = Density(2048, 100, 100);
  EXPECT_EQ(twice[100], 200u);
  EXPECT_EQ(twice[200], 255u);  // no level reaches 400
}

TEST(DensityScaleTable, DenseModelHandComputed) {
  // a = 100, b = 200: D[0] = ((255^2 * 100 + 1) / 255 + 25500) / 100 = 510 and D[255] = 255;
  // level 128: D = ((127^2 * 100 + 1) / 255 + 25500) / 100 = 318, E = (32640 + 159) / 318 = 103.
  // Near black the model sees two levels as one (E = 0, 1, 1, 2, 2, ...): the first level with
  // the same value answers, so 2 maps to 1.
  const std::vector<uint32_t> same = Density(1024, 100, 200);
  EXPECT_EQ(same[1], 1u);
  EXPECT_EQ(same[2], 1u);
  EXPECT_EQ(same[3], 3u);
  EXPECT_EQ(same[255], 255u);
  // Golden position-weighted sums from a separate exact-integer computation.
  auto weighted = [](const std::vector<uint32_t>& t) {
    uint64_t sum = 0;
    for (uint32_t i = 0; i < 256; ++i) sum += (i + 1) * uint64_t{t[i]};
    return sum;
  };
  const std::vector<uint32_t> half = Density(512, 100, 200);
  EXPECT_EQ(half[255], 150u);  // E[150] = 128 is the first value at (255 * 512 + 512) / 1024
  EXPECT_EQ(half[128], 77u);
  EXPECT_EQ(weighted(half), 3356757u);
  const std::vector<uint32_t> more = Density(1536, 100, 200);
  EXPECT_EQ(more[100], 134u);
  EXPECT_EQ(weighted(more), 6860497u);
}

TEST(DensityScaleTable, NonPositiveLimitsAreRefused) {
  std::vector<uint32_t> out(256, 7);
  EXPECT_EQ(BuildDensityScaleTable(out.data(), 1024, 0, 100), 768u);
  EXPECT_EQ(BuildDensityScaleTable(out.data(), 1024, 100, -1), 768u);
  EXPECT_EQ(out, std::vector<uint32_t>(256, 7));
}

TEST(DensityScaleTable, LimitsInEitherOrderGiveARisingTable) {
  // b < a enters the model as a signed difference, not a wrapped one: still a rising map.
  for (auto [a, b] : {std::pair{200, 100}, std::pair{1, 1000}, std::pair{1000, 1}}) {
    const std::vector<uint32_t> same = Density(1024, a, b);
    const std::vector<uint32_t> half = Density(512, a, b);
    for (uint32_t i = 0; i < 256; ++i) {
      ASSERT_LE(same[i], 255u);
      ASSERT_LE(half[i], same[i]) << a << " " << b << " " << i;
      if (i > 0) {
        ASSERT_GE(half[i], half[i - 1]) << a << " " << b << " " << i;
      }
    }
    EXPECT_EQ(same[0], 0u);
  }
}

TEST(ApplyInkScale, ScalesTheTableGreyAndTone) {
  std::vector<uint8_t> lut = {0, 1, 100, 127, 128, 200, 255};
  std::vector<uint8_t> grey = {0, 2, 255, 100};
  std::vector<uint16_t> tone = {0, 100, 2039, 2040, 4000};
  ASSERT_EQ(ApplyInkScale(lut.data(), lut.size(), 0, grey.data(), grey.size(), tone.data(),
                          tone.size(), 0, 2048, 100, 100),
            0u);
  EXPECT_EQ(lut, (std::vector<uint8_t>{0, 2, 200, 254, 255, 255, 255}));
  EXPECT_EQ(grey, (std::vector<uint8_t>{0, 4, 255, 200}));
  EXPECT_EQ(tone, (std::vector<uint16_t>{0, 200, 4078, 4079, 4079}));

  std::vector<uint16_t> plain = {100, 127, 128, 300};
  ASSERT_EQ(ApplyInkScale(nullptr, 0, 1, nullptr, 0, plain.data(), plain.size(), 1, 2048, 100, 100), 0u);
  EXPECT_EQ(plain, (std::vector<uint16_t>{200, 254, 255, 255}));

  std::vector<uint8_t> halved = {1, 2, 3, 255};
  ASSERT_EQ(ApplyInkScale(halved.data(), halved.size(), 1, nullptr, 0, nullptr, 0, 9, 512, 100, 100), 0u);
  EXPECT_EQ(halved, (std::vector<uint8_t>{1, 1, 2, 128}));  // (x * 512 + 512) / 1024
}

TEST(ApplyInkScale, NegativeScaleEmptiesRatherThanWraps) {
  std::vector<uint8_t> lut = {0, 10, 255};
  std::vector<uint8_t> grey = {0, 10, 255};
  std::vector<uint16_t> tone = {0, 10, 4000};
  ASSERT_EQ(ApplyInkScale(lut.data(), lut.size(), 0, grey.data(), grey.size(), tone.data(),
                          tone.size(), 0, -1024, 100, 100),
            0u);
  EXPECT_EQ(lut, (std::vector<uint8_t>{0, 0, 0}));
  EXPECT_EQ(grey, (std::vector<uint8_t>{0, 0, 0}));
  EXPECT_EQ(tone, (std::vector<uint16_t>{0, 0, 0}));
}

TEST(ApplyInkScale, RefusalsChangeNothing) {
  struct Case { const char* what; int32_t flag; uint32_t tone_mode; int32_t a, b; };
  const Case cases[] = {
      {"flag 2", 2, 0, 100, 100},
      {"flag -1", -1, 0, 100, 100},
      {"a 0", 0, 0, 0, 100},
      {"b -5", 1, 0, 100, -5},
      {"tone mode 2", 0, 2, 100, 100},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> lut = {10, 20};
    std::vector<uint8_t> grey = {10, 20};
    std::vector<uint16_t> tone = {10, 20};
    EXPECT_EQ(ApplyInkScale(lut.data(), lut.size(), c.flag, grey.data(), grey.size(), tone.data(),
                            tone.size(), c.tone_mode, 2048, c.a, c.b),
              768u)
        << c.what;
    EXPECT_EQ(lut, (std::vector<uint8_t>{10, 20})) << c.what;
    EXPECT_EQ(grey, (std::vector<uint8_t>{10, 20})) << c.what;
    EXPECT_EQ(tone, (std::vector<uint16_t>{10, 20})) << c.what;
  }
}

}  // namespace
}  // namespace tonvar::colour
