// Per-ink tone curves applied to a table set.
#include "tonvar/multi_level/multi_level_engine.h"

#include <memory>

#include "tonvar/multi_level/test_engine.h"

namespace tonvar::multi_level {
namespace {

using ::testkit::CubeTable;
using ::testkit::CubeTableShape;

// Slots whose level v holds (3v + slot, 2v + slot, v).
std::unique_ptr<DotTableSlot[]> RampSlots() {
  auto slots = std::make_unique<DotTableSlot[]>(kDotSlots);
  for (int s = 0; s < kDotSlots; ++s) {
    for (uint32_t v = 0; v < kDotLevels; ++v) {
      uint32_t* level = slots[s].set[kInteriorSet].level[v];
      level[0] = 3 * v + s, level[1] = 2 * v + s, level[2] = v;
    }
  }
  return slots;
}

class InkCurveTest : public ::testing::Test {
 protected:
  common::faults::ScopedReset seam_;
};

TEST_F(InkCurveTest, TheIdentityCurveRepeatsLevel510AtTheTop) {
  CubeTableShape shape;
  for (int id : {1, 2, 3, 0}) shape.curves.push_back({id, ::testkit::IdentityCurve()});
  CubeTable table(shape);
  auto slots = RampSlots();
  ASSERT_EQ(ApplyInkCurves(slots.get(), *table.Get(), 1, kInteriorSet, 0), kStatusOk);
  for (int s = 0; s < 4; ++s) {
    for (uint32_t v : {0u, 1u, 255u, 510u}) EXPECT_EQ(slots[s].set[kInteriorSet].level[v][0], 3 * v + s);
    EXPECT_EQ(slots[s].set[kInteriorSet].level[511][0], 3 * 510u + s);
  }
  EXPECT_EQ(slots[4].set[kInteriorSet].level[511][0], 3 * 511u + 4);  // not in ink set 1
  EXPECT_EQ(common::faults::LiveBlocks(), 0);
}

TEST_F(InkCurveTest, CurvesResampleBetweenLevelsAndClampPastTheTable) {
  // Half-tone curve: c[i] = 8 i addresses level i at output level 2i.
  std::vector<uint32_t> half(256), steep(256);
  for (uint32_t i = 0; i < 256; ++i) half[i] = 8 * i, steep[i] = 64 * i;
  CubeTableShape shape;
  shape.curves = {{1, half}, {2, steep}, {3, half}, {0, half}};
  CubeTable table(shape);
  auto slots = RampSlots();
  ASSERT_EQ(ApplyInkCurves(slots.get(), *table.Get(), 1, kInteriorSet, 1), kStatusOk);
  const auto& ink1 = slots[1].set[kInteriorSet].level;
  EXPECT_EQ(ink1[200][2], 100u);
  EXPECT_EQ(ink1[201][2], 101u);  // position 100.5, rounded half up
  EXPECT_EQ(slots[2].set[kInteriorSet].level[511][2], 511u);  // clamped to the last level
  EXPECT_EQ(slots[kNinthSlot].set[kInteriorSet].level[200][0], 300u + 8);  // ink 0's curve, ninth slot
}

TEST_F(InkCurveTest, MissingCurvesAndUnknownInkSetsAreRefused) {
  struct Case {
    const char* what;
    std::vector<int> ids;
    uint32_t ink_set;
    uint32_t ninth;
    int32_t shift;
  };
  const Case cases[] = {
      {"ink 3 missing", {1, 2, 0}, 1, 0, 4},
      {"ink 0 missing for the ninth slot", {1, 2, 3}, 2, 1, 4},
      {"ink set 11", {1, 2, 3, 0}, 11, 0, 4},
      {"no curves", {}, 1, 0, 4},
      {"shift 0", {1, 2, 3, 0}, 1, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CubeTableShape shape;
    for (int id : c.ids) shape.curves.push_back({id, ::testkit::IdentityCurve()});
    shape.curve_shift = c.shift;
    CubeTable table(shape);
    table.Mutable()->ink_curves_valid = 1;
    auto slots = RampSlots();
    static InkCurveSet empty{};
    if (c.ids.empty()) table.Mutable()->ink_curves = &empty;
    EXPECT_EQ(ApplyInkCurves(slots.get(), *table.Get(), c.ink_set, kInteriorSet, c.ninth), kStatusBadArgument);
    EXPECT_EQ(slots[1].set[kInteriorSet].level[511][0], 3 * 511u + 1);  // nothing copied back
    EXPECT_EQ(common::faults::LiveBlocks(), 0);
  }
}

TEST_F(InkCurveTest, WithoutTheFlagNothingChangesAndScratchFailuresAreReported) {
  CubeTableShape shape;
  for (int id : {1, 2, 3, 0}) shape.curves.push_back({id, ::testkit::IdentityCurve()});
  CubeTable table(shape);
  auto slots = RampSlots();
  table.Mutable()->ink_curves_valid = 0;
  EXPECT_EQ(ApplyInkCurves(slots.get(), *table.Get(), 1, kInteriorSet, 0), kStatusOk);
  EXPECT_EQ(common::faults::Calls(common::faults::MemOp::kAlloc), 0);
  table.Mutable()->ink_curves_valid = 1;
  common::faults::FailNth(common::faults::MemOp::kAlloc, 2);  // the resampling copy of the first curve
  EXPECT_EQ(ApplyInkCurves(slots.get(), *table.Get(), 1, kInteriorSet, 0), kStatusBadArgument);
  common::faults::FailNth(common::faults::MemOp::kAlloc, 1);
  EXPECT_EQ(ApplyInkCurves(slots.get(), *table.Get(), 1, kInteriorSet, 0), kStatusAllocFailed);
  EXPECT_EQ(common::faults::LiveBlocks(), 0);
}

}  // namespace
}  // namespace tonvar::multi_level
