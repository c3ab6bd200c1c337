// Dot tables the diffusion kernels cannot use are refused at the resource step: no threshold may
// pass one dot's weight, 4080.
#include <gtest/gtest.h>

#include "tonvar/multi_level/test_engine.h"

namespace tonvar::multi_level {
namespace {

class DotTableRangeTest : public EngineTest {};

TEST_F(DotTableRangeTest, ThresholdsAboveOneDotAreRefused) {
  struct Case {
    const char* name;
    int16_t bits;
    ::testkit::DotCurveRow top;  // the row of the last level; the others are 0
    EngineStatus status;
  };
  // Cumulative thresholds: any dot = small + medium + large, in 1/16 (8-bit samples x 16).
  const Case cases[] = {
      {"one dot exactly", 8, {255, 0, 0}, kStatusOk},
      {"one dot spread over the sizes", 8, {85, 85, 85}, kStatusOk},
      {"one step more", 8, {255, 1, 0}, kStatusBadResource},
      {"16-bit samples", 16, {0, 0, 256}, kStatusBadResource},
      {"16-bit samples within range", 16, {0, 0, 255}, kStatusOk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(Create(SampleJob()), kStatusOk);
    ASSERT_EQ(ThroughMatrix().status, kStatusOk);
    ::testkit::DotCurveTableShape shape;
    shape.bits = c.bits;
    shape.values.assign(512, {0, 0, 0});
    shape.values[511] = c.top;
    const StepResult result = Step(::testkit::BuildDotCurveTable(shape));
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(engine_->ready, c.status == kStatusOk ? 1u : 0u);
    EXPECT_EQ(DeleteEngine(), kStatusOk);
  }
}

}  // namespace
}  // namespace tonvar::multi_level
