// The tone-curve tables of an adjustment record.
#include <gtest/gtest.h>

#include <vector>

#include "tonvar/colour/colour_adjustment.h"
#include "tonvar/common/memory_faults.h"

namespace tonvar::colour {
namespace {

class ToneCurve : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(NewColorAdjustment(&params_, 1, &record_, kDefaultGamma), 0u);
  }
  void TearDown() override { EXPECT_EQ(DeleteColorAdjustment(record_), 0u); }

  void UseOptions(uint32_t id, const void* value) {
    list_.head.count = 1;
    list_.entry = {id, 0, value};
    params_.options = &list_.head;
  }

  common::faults::ScopedReset reset_;
  CmParams params_{};
  struct {
    CmOptionList head;
    CmOptionEntry entry;
  } list_{};
  ColorAdjustment* record_ = nullptr;
};

TEST_F(ToneCurve, BrightnessAndGammaOnlyOneTableForAllChannels) {
  params_.brightness = 50;
  params_.red_offset = 40;   // not used by the tone tables
  params_.saturation = 30;   // refreshed into the record, but no saturation step
  uint32_t gamma = 300;
  UseOptions(kOptionGamma, &gamma);
  ASSERT_EQ(BuildToneCurveAdjustment(&params_, 2, record_, 300), 0u);
  // Gamma equal to the base: the brightness curve alone (levels 0, 16, 32, 64 -> 0, 32, 64,
  // 129 before smoothing; the smoothing of this straight stretch changes nothing below 64).
  EXPECT_EQ(record_->tone_red[0], 0u);
  EXPECT_EQ(record_->tone_red[16], 32u);
  EXPECT_EQ(record_->tone_red[32], 64u);
  EXPECT_EQ(record_->tone_red[255], 255u);
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(record_->tone_green[i], record_->tone_red[i]);
    ASSERT_EQ(record_->tone_blue[i], record_->tone_red[i]);
  }
  EXPECT_EQ(record_->saturation, 30);
  EXPECT_EQ(record_->order, 2u);

  // Layout of order 2 (blue first); a coloured pixel is mapped channel by channel.
  uint8_t pixel[3] = {16, 32, 0};
  EXPECT_EQ(ApplyToneCurveAdjustment(record_, 1, pixel, pixel), 0u);
  EXPECT_EQ(pixel[0], 32);
  EXPECT_EQ(pixel[1], 64);
  EXPECT_EQ(pixel[2], 0);
}

TEST_F(ToneCurve, GammaPercentAgainstTheBase) {
  uint32_t gamma = 300;
  UseOptions(kOptionGamma, &gamma);
  ASSERT_EQ(BuildToneCurveAdjustment(&params_, 3, record_, 150), 0u);
  const int levels[] = {0, 1, 16, 64, 128, 192};
  const uint32_t expected[] = {0, 0, 0, 16, 64, 144};
  for (int n = 0; n < 6; ++n) EXPECT_EQ(record_->tone_blue[levels[n]], expected[n]);
  uint8_t pixels[8] = {77, 128, 128, 128, 77, 64, 64, 64};
  EXPECT_EQ(ApplyToneCurveAdjustment(record_, 2, pixels, pixels), 0u);
  EXPECT_EQ(std::vector<uint8_t>(pixels, pixels + 8),
            (std::vector<uint8_t>{77, 64, 64, 64, 77, 16, 16, 16}));
}

TEST_F(ToneCurve, RefusalsInOrderLeaveTheTablesAlone) {
  uint8_t curves[768] = {};
  uint32_t bad_gamma = 301;
  struct Case { const char* what; uint32_t order; int32_t reserved, brightness, contrast; uint32_t option; const void* value; uint32_t base; EngineStatus status; };
  const Case cases[] = {
      {"order", 5, 1, 99, 0, kOptionChannelCurves, curves, 150, 515},
      {"curves", 1, 1, 99, 0, kOptionChannelCurves, curves, 150, 1024},
      {"reserved", 1, 1, 0, 0, kOptionGamma, &bad_gamma, 150, 513},
      {"brightness", 1, 0, -51, 0, kOptionGamma, &bad_gamma, 150, 513},
      {"contrast", 1, 0, 0, 51, kOptionGamma, &bad_gamma, 150, 513},
      {"gamma", 1, 0, 0, 0, kOptionGamma, &bad_gamma, 150, 514},
      {"no base", 1, 0, 0, 0, 99, nullptr, 0, 514},
  };
  for (const Case& c : cases) {
    params_.reserved = c.reserved;
    params_.brightness = c.brightness;
    params_.contrast = c.contrast;
    params_.saturation = 77;  // out of range, but the tone build does not look at it
    UseOptions(c.option, c.value);
    EXPECT_EQ(BuildToneCurveAdjustment(&params_, c.order, record_, c.base), c.status) << c.what;
    for (int i = 0; i < 256; ++i) ASSERT_EQ(record_->tone_red[i], uint32_t(i)) << c.what;
    EXPECT_EQ(record_->order, 1u) << c.what;
  }
  EXPECT_EQ(BuildToneCurveAdjustment(&params_, 1, nullptr, 150), 258u);
  EXPECT_EQ(ApplyToneCurveAdjustment(nullptr, 1, nullptr, nullptr), 258u);
}

}  // namespace
}  // namespace tonvar::colour
