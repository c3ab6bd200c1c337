// The colour-adjustment record: tables, saturation, pixel layouts, options and failures.
#include "tonvar/colour/colour_adjustment.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tonvar/common/memory_faults.h"

namespace tonvar::colour {
namespace {

namespace faults = common::faults;

// A CmParams with an option list of up to three entries held beside it.
struct Job {
  CmParams params{};
  struct {
    CmOptionList head;
    CmOptionEntry entries[3];
  } list{};
  uint32_t gamma = 0;

  void AddOption(uint32_t id, const void* value) {
    list.entries[list.head.count++] = {id, 0, value};
    params.options = &list.head;
  }
  void SetGamma(uint32_t value) {
    gamma = value;
    AddOption(kOptionGamma, &gamma);
  }
};

struct RecordDeleter {
  void operator()(ColorAdjustment* record) const { EXPECT_EQ(DeleteColorAdjustment(record), 0u); }
};
using RecordPtr = std::unique_ptr<ColorAdjustment, RecordDeleter>;

RecordPtr Build(const Job& job, uint32_t order = 1, uint32_t gamma_base = kDefaultGamma) {
  ColorAdjustment* record = reinterpret_cast<ColorAdjustment*>(0x1);
  EXPECT_EQ(NewColorAdjustment(&job.params, order, &record, gamma_base), 0u);
  return RecordPtr(record);
}

uint64_t WeightedSum(const uint32_t* table) {
  uint64_t sum = 0;
  for (uint32_t i = 0; i < 256; ++i) sum += (i + 1) * uint64_t{table[i]};
  return sum;
}

// One RGB pixel (order 1) through the record.
std::vector<int> ApplyOne(const ColorAdjustment* record, int r, int g, int b) {
  uint8_t pixel[3] = {uint8_t(r), uint8_t(g), uint8_t(b)};
  EXPECT_EQ(ApplyColorAdjustment(record, 1, pixel, pixel), 0u);
  return {pixel[0], pixel[1], pixel[2]};
}

TEST(ColorAdjustment, NoAdjustmentPassesEveryPixelUnchanged) {
  faults::ScopedReset reset;
  Job job;
  RecordPtr record = Build(job);
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(record->red[i], uint32_t(i));
    ASSERT_EQ(record->green[i], uint32_t(i));
    ASSERT_EQ(record->blue[i], uint32_t(i));
  }
  std::vector<uint8_t> src(3 * 4096), dst(src.size(), 0xCD);
  for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint8_t>(i * 7 + i / 3);
  EXPECT_EQ(ApplyColorAdjustment(record.get(), 4096, src.data(), dst.data()), 0u);
  EXPECT_EQ(dst, src);
}

TEST(ColorAdjustment, GammaAgainstTheBase) {
  faults::ScopedReset reset;
  const int levels[] = {0, 1, 16, 64, 128, 192};
  struct Case { uint32_t gamma; uint32_t expected[6]; } cases[] = {
      {300, {0, 0, 0, 16, 64, 144}},    // percent 200
      {100, {0, 5, 41, 102, 162, 212}},  // percent 66
  };
  for (const Case& c : cases) {
    Job job;
    job.SetGamma(c.gamma);
    RecordPtr record = Build(job);
    for (int n = 0; n < 6; ++n) {
      EXPECT_EQ(record->red[levels[n]], c.expected[n]) << c.gamma << " level " << levels[n];
      EXPECT_EQ(record->green[levels[n]], c.expected[n]);
      EXPECT_EQ(record->blue[levels[n]], c.expected[n]);
    }
  }
  // Option value 0 and an absent option both mean 150: the identity against base 150.
  Job zero;
  zero.SetGamma(0);
  RecordPtr record = Build(zero);
  EXPECT_EQ(record->red[100], 100u);
  // The same gamma against another base is no longer the identity.
  RecordPtr other = Build(Job{}, 1, 200);
  EXPECT_GT(other->red[100], 100u);
}

TEST(ColorAdjustment, CombinedValuesMatchAnIndependentComputation) {
  faults::ScopedReset reset;
  // Golden sums from a separate exact-integer implementation (curve, gamma, offset, smoothing).
  struct Case { int32_t brightness, contrast; uint32_t gamma; int32_t offset; uint64_t sum; } cases[] = {
      {20, -10, 180, 7, 6176596},     {-35, 40, 120, -12, 4341200}, {50, 50, 300, 50, 7795934},
      {-50, -50, 100, -50, 3020550},  {10, 0, 150, 0, 6073671},     {0, 10, 150, 0, 5679338},
      {-20, -30, 150, 0, 4679930},
  };
  for (const Case& c : cases) {
    Job job;
    job.params.brightness = c.brightness;
    job.params.contrast = c.contrast;
    job.params.red_offset = c.offset;
    job.params.blue_offset = -c.offset / 2;
    job.SetGamma(c.gamma);
    RecordPtr record = Build(job);
    EXPECT_EQ(WeightedSum(record->red), c.sum) << c.brightness << " " << c.contrast;
    if (c.offset == 0) {
      EXPECT_EQ(WeightedSum(record->green), c.sum);
      EXPECT_EQ(WeightedSum(record->blue), c.sum);
    }
  }
}

TEST(ColorAdjustment, ChannelOffsetsMoveOneTableEachAndClamp) {
  faults::ScopedReset reset;
  Job job;
  job.params.red_offset = 50;
  job.params.green_offset = -50;
  RecordPtr record = Build(job);
  EXPECT_EQ(record->red[0], 50u);
  EXPECT_EQ(record->red[100], 150u);
  EXPECT_EQ(record->red[255], 255u);
  EXPECT_EQ(record->green[0], 0u);
  EXPECT_EQ(record->green[100], 50u);
  EXPECT_EQ(record->green[255], 205u);
  EXPECT_EQ(record->blue[100], 100u);
  // Where the clamp bends the table the smoothing shows: (255 + 255 + 255) / 3 stays, but
  // red[204] = (red[203] + 254 + 255) / 3 = (253 + 254 + 255) / 3.
  EXPECT_EQ(record->red[204], 254u);
}

TEST(ColorAdjustment, ChannelCurvesApplyAfterSmoothing) {
  faults::ScopedReset reset;
  uint8_t curves[768];
  for (int i = 0; i < 256; ++i) {
    curves[i] = static_cast<uint8_t>(255 - i);  // red inverted
    curves[256 + i] = static_cast<uint8_t>(i / 2);
    curves[512 + i] = static_cast<uint8_t>(i);
  }
  Job job;
  job.params.red_offset = 10;
  job.AddOption(kOptionChannelCurves, curves);
  RecordPtr record = Build(job);
  EXPECT_EQ(record->red[0], 245u);   // curve(10)
  EXPECT_EQ(record->red[100], 145u); // curve(110)
  EXPECT_EQ(record->green[200], 100u);
  EXPECT_EQ(record->blue[77], 77u);
}

TEST(ColorAdjustment, TunaCurveBlocksFollowTheirOffsetWord) {
  faults::ScopedReset reset;
  std::vector<uint8_t> block(300 + 768, 0);
  std::memcpy(block.data(), "TUNA", 4);
  block[100] = 44;
  block[101] = 1;  // 300
  for (int i = 0; i < 768; ++i) block[300 + i] = static_cast<uint8_t>(i % 256 == 5 ? 99 : i % 256);
  Job job;
  job.AddOption(kOptionChannelCurves, block.data());
  RecordPtr record = Build(job);
  EXPECT_EQ(record->red[5], 99u);
  EXPECT_EQ(record->blue[5], 99u);
  EXPECT_EQ(record->green[6], 6u);

  // Offset word 0: the curves start at the block's own start ("TUNA" itself is curve data).
  std::vector<uint8_t> plain(768);
  for (int i = 0; i < 768; ++i) plain[i] = static_cast<uint8_t>(i % 256);
  std::memcpy(plain.data(), "TUNA", 4);
  std::memset(plain.data() + 100, 0, 4);
  Job at_start;
  at_start.AddOption(kOptionChannelCurves, plain.data());
  RecordPtr second = Build(at_start);
  EXPECT_EQ(second->red[0], uint32_t{'T'});
  EXPECT_EQ(second->red[3], uint32_t{'A'});
  EXPECT_EQ(second->red[100], 0u);
  EXPECT_EQ(second->green[100], 100u);
}

TEST(ColorAdjustment, SaturationPushesFromTheSmallestComponent) {
  faults::ScopedReset reset;
  Job job;
  job.params.saturation = 50;
  RecordPtr record = Build(job);
  // Red smallest: factor 150.
  EXPECT_EQ(ApplyOne(record.get(), 10, 50, 110), (std::vector<int>{10, 70, 160}));
  // Green smallest (r > g, b >= g): factor 150.
  EXPECT_EQ(ApplyOne(record.get(), 100, 20, 20), (std::vector<int>{140, 20, 20}));
  // Blue smallest: 80% of the change, factor 140.
  EXPECT_EQ(ApplyOne(record.get(), 100, 60, 20), (std::vector<int>{132, 76, 20}));
  EXPECT_EQ(ApplyOne(record.get(), 50, 100, 20), (std::vector<int>{62, 132, 20}));
  // Capped at 255.
  EXPECT_EQ(ApplyOne(record.get(), 0, 200, 250), (std::vector<int>{0, 255, 255}));
  // Grey pixels never change.
  for (int v : {0, 1, 128, 255}) EXPECT_EQ(ApplyOne(record.get(), v, v, v), (std::vector<int>{v, v, v}));

  Job less;
  less.params.saturation = -50;
  RecordPtr desaturate = Build(less);
  EXPECT_EQ(ApplyOne(desaturate.get(), 10, 50, 110), (std::vector<int>{10, 30, 60}));
  EXPECT_EQ(ApplyOne(desaturate.get(), 100, 60, 20), (std::vector<int>{68, 44, 20}));  // factor 60
}

TEST(ColorAdjustment, PixelLayoutsOfTheChannelOrders) {
  faults::ScopedReset reset;
  Job job;
  job.params.red_offset = 1;
  job.params.green_offset = 2;
  job.params.blue_offset = 3;
  struct Case { uint32_t order; std::vector<uint8_t> in, out; } cases[] = {
      {1, {100, 100, 100, 7, 7, 7}, {101, 102, 103, 8, 9, 10}},
      {2, {100, 100, 100, 7, 7, 7}, {103, 102, 101, 10, 9, 8}},
      {3, {9, 100, 100, 100, 9, 7, 7, 7}, {9, 101, 102, 103, 9, 8, 9, 10}},
      {7, {100, 100, 100, 9, 7, 7, 7, 9}, {101, 102, 103, 9, 8, 9, 10, 9}},
  };
  for (const Case& c : cases) {
    RecordPtr record = Build(job, c.order);
    std::vector<uint8_t> pixels = c.in;
    EXPECT_EQ(ApplyColorAdjustment(record.get(), 2, pixels.data(), pixels.data()), 0u);
    EXPECT_EQ(pixels, c.out) << "order " << c.order;
  }
}

TEST(ColorAdjustment, RefusedInputsLeaveNothing) {
  faults::ScopedReset reset;
  struct Case { const char* what; int32_t CmParams::*field; int32_t value; uint32_t gamma, order, base; EngineStatus status; };
  const Case cases[] = {
      {"order 0", &CmParams::brightness, 0, 150, 0, 150, 515},
      {"order 4", &CmParams::brightness, 0, 150, 4, 150, 515},
      {"reserved", &CmParams::reserved, 1, 150, 1, 150, 513},
      {"brightness 51", &CmParams::brightness, 51, 150, 1, 150, 513},
      {"contrast -51", &CmParams::contrast, -51, 150, 1, 150, 513},
      {"saturation 51", &CmParams::saturation, 51, 150, 1, 150, 513},
      {"red -51", &CmParams::red_offset, -51, 150, 1, 150, 513},
      {"green 51", &CmParams::green_offset, 51, 150, 1, 150, 513},
      {"blue -51", &CmParams::blue_offset, -51, 150, 1, 150, 513},
      {"gamma 99", &CmParams::brightness, 0, 99, 1, 150, 514},
      {"gamma 301", &CmParams::brightness, 0, 301, 1, 150, 514},
      {"gamma wins over 513", &CmParams::contrast, 90, 301, 1, 150, 514},
      {"no gamma base", &CmParams::brightness, 0, 150, 1, 0, 514},
      {"edges accepted", &CmParams::brightness, -50, 100, 7, 150, 0},
      {"edges accepted", &CmParams::contrast, 50, 300, 3, 150, 0},
  };
  for (const Case& c : cases) {
    Job job;
    job.params.*c.field = c.value;
    job.SetGamma(c.gamma);
    ColorAdjustment* record = reinterpret_cast<ColorAdjustment*>(0x1);
    EXPECT_EQ(NewColorAdjustment(&job.params, c.order, &record, c.base), c.status) << c.what;
    if (c.status != 0) {
      EXPECT_EQ(record, nullptr) << c.what;
    }
    EXPECT_EQ(DeleteColorAdjustment(record), 0u);
    EXPECT_EQ(faults::LiveBlocks(), 0) << c.what;
  }
}

TEST(ColorAdjustment, MemoryFailures) {
  faults::ScopedReset reset;
  Job job;
  ColorAdjustment* record = reinterpret_cast<ColorAdjustment*>(0x1);
  faults::FailNth(faults::MemOp::kAlloc, 1);
  EXPECT_EQ(NewColorAdjustment(&job.params, 1, &record, 150), 257u);
  EXPECT_EQ(record, nullptr);
  faults::FailNth(faults::MemOp::kLock, 1);
  EXPECT_EQ(NewColorAdjustment(&job.params, 1, &record, 150), 258u);
  EXPECT_EQ(record, nullptr);
  EXPECT_EQ(faults::LiveBlocks(), 0);

  EXPECT_EQ(NewColorAdjustment(&job.params, 1, &record, 150), 0u);
  faults::FailNth(faults::MemOp::kUnlock, 1);
  EXPECT_EQ(DeleteColorAdjustment(record), 259u);  // the block is left alone (the seam frees it)
  EXPECT_EQ(NewColorAdjustment(&job.params, 1, &record, 150), 0u);
  faults::FailNth(faults::MemOp::kFree, 1);
  EXPECT_EQ(DeleteColorAdjustment(record), 260u);

  EXPECT_EQ(DeleteColorAdjustment(nullptr), 0u);
  EXPECT_EQ(ApplyColorAdjustment(nullptr, 1, nullptr, nullptr), 258u);
}

TEST(ColorAdjustment, CountZeroTouchesNothing) {
  faults::ScopedReset reset;
  RecordPtr record = Build(Job{});
  EXPECT_EQ(ApplyColorAdjustment(record.get(), 0, nullptr, nullptr), 0u);
}

}  // namespace
}  // namespace tonvar::colour
