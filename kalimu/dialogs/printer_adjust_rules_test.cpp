// The printer adjustment rules: roads at opening and per tick, field checks, bounds.
#include "kalimu/dialogs/printer_adjust_rules.h"

#include <gtest/gtest.h>

namespace kalimu::dialogs {
namespace {

TEST(PrinterAdjustRulesTest, RoadsAtOpeningAndPerTick) {
  EXPECT_EQ(DecideAdjustOpening(true, 0), AdjustRoad::kPrinter);
  EXPECT_EQ(DecideAdjustOpening(true, 1), AdjustRoad::kWait);
  EXPECT_EQ(DecideAdjustOpening(true, 2), AdjustRoad::kStore);   // helper not started
  EXPECT_EQ(DecideAdjustOpening(false, 0), AdjustRoad::kStore);  // no printer talk
  EXPECT_EQ(DecideAdjustOpening(false, 1), AdjustRoad::kStore);

  const struct {
    int32_t flag;
    uint32_t ticks;
    AdjustRoad road;
  } ticks[] = {
      {2, 0, AdjustRoad::kPrinter},
      {1, 0, AdjustRoad::kStore},
      {0, 0, AdjustRoad::kWait},
      {0, kAdjustWaitMilliseconds - 1, AdjustRoad::kWait},
      {0, kAdjustWaitMilliseconds, AdjustRoad::kStore},  // the wait is bounded
      {3, 0, AdjustRoad::kStop},
      {-1, 0, AdjustRoad::kStop},
  };
  for (const auto& t : ticks) {
    EXPECT_EQ(DecideAdjustTick(t.flag, t.ticks), t.road) << t.flag << " after " << t.ticks;
  }
}

TEST(PrinterAdjustRulesTest, FieldChecks) {
  const struct {
    const char* text;
    bool two_digits;
    bool byte;
  } cases[] = {
      {"0", true, true},      {"7", true, true},     {"99", true, true},   {"07", true, true},
      {"100", false, true},   {"255", false, true},  {"256", false, false}, {"0255", false, false},
      {"", false, false},     {"7a", false, false},  {"-1", false, false},  {" 7", false, false},
      {"+7", false, false},   {"9999999999", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsValidTwoDigitField(c.text), c.two_digits) << '"' << c.text << '"';
    EXPECT_EQ(IsValidByteField(c.text), c.byte) << '"' << c.text << '"';
  }
  EXPECT_FALSE(IsValidTwoDigitField(nullptr));
  EXPECT_FALSE(IsValidByteField(nullptr));
}

TEST(PrinterAdjustRulesTest, ModelBytesAndRecordCountsAreBounded) {
  const AdjustCounts counts = ClampAdjustCounts(255, 9, 200);
  EXPECT_EQ(counts.channels, 8u);
  EXPECT_EQ(counts.iwf, 4u);
  EXPECT_EQ(counts.ht, 4u);
  const AdjustCounts small = ClampAdjustCounts(3, 2, 0);
  EXPECT_EQ(small.channels, 3u);
  EXPECT_EQ(small.iwf, 2u);
  EXPECT_EQ(small.ht, 0u);

  const uint8_t full[8] = {255, 1, 2, 3, 4, 5, 6, 7};
  const uint8_t three[8] = {3, 1, 2, 3, 0, 0, 0, 0};
  EXPECT_EQ(ShownCountedValues(full, 4), 4u);
  EXPECT_EQ(ShownCountedValues(full, 9), 7u);
  EXPECT_EQ(ShownCountedValues(three, 4), 3u);
  EXPECT_EQ(ShownCountedValues(three, 2), 2u);
}

}  // namespace
}  // namespace kalimu::dialogs
