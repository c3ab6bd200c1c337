// Dot-curve blocks of kinds 3 and 4 into a table set, and damaged blocks.
#include "tonvar/multi_level/multi_level_engine.h"

#include <memory>

#include "tonvar/multi_level/test_engine.h"

namespace tonvar::multi_level {
namespace {

using ::testkit::DotCurveSetEntry;
using ::testkit::DotCurveRow;
using ::testkit::DotCurveSetShape;
using ::testkit::DotCurveTableShape;

struct Tables {
  DotTable shared[2];
  DotTableSlot slots[kDotSlots];
  uint32_t ninth = 7;
};

class DotCurveTest : public ::testing::Test {
 protected:
  EngineStatus Read(const std::vector<uint8_t>& block, uint32_t ink_set = 1, int set = kInteriorSet) {
    return ReadDotCurveBlock(ResourceBytes{block.data(), block.size()}, set, t_->shared, t_->slots, ink_set, &t_->ninth);
  }
  const uint32_t* Level(int slot, int level, int set = kInteriorSet) { return t_->slots[slot].set[set].level[level]; }

  common::faults::ScopedReset seam_;
  std::unique_ptr<Tables> t_ = std::make_unique<Tables>();
};

// The cumulative thresholds of a row at 4 fraction bits.
void ExpectCumulative(const uint32_t* got, DotCurveRow row, uint32_t scale = 16) {
  EXPECT_EQ(got[kAnyDot], scale * (row.small + row.medium + row.large));
  EXPECT_EQ(got[kMediumOrLarge], scale * (row.medium + row.large));
  EXPECT_EQ(got[kLarge], scale * row.large);
}

TEST_F(DotCurveTest, OneTableServesEveryInkSlot) {
  DotCurveTableShape shape;
  shape.magic = false;  // the direct path does not look at the magic
  const auto rows = ::testkit::RampDotRows(512);
  ASSERT_EQ(Read(::testkit::BuildDotCurveTable(shape)), kStatusOk);
  EXPECT_EQ(t_->ninth, 0u);
  for (int slot = 0; slot < 8; ++slot) ExpectCumulative(Level(slot, 300), rows[300]);
  EXPECT_EQ(Level(kNinthSlot, 300)[kAnyDot], 0u);  // the ninth slot keeps its content
  EXPECT_EQ(Level(0, 300, kEdgeSet)[kAnyDot], 0u);
}

TEST_F(DotCurveTest, TableFormsAndScales) {
  struct Case {
    const char* what;
    DotCurveTableShape shape;
    uint32_t row;    // source row of level 301
    double scale;    // applied to the source samples
  };
  auto form = [](int16_t rows, int16_t bits, int16_t f, int16_t rescale, bool magic = true) {
    DotCurveTableShape s;
    s.rows = rows, s.bits = bits, s.fraction_bits = f, s.rescale = rescale, s.magic = magic;
    return s;
  };
  const Case cases[] = {
      {"512 rows, 16 bits, 2 fraction bits", form(512, 16, 2, 0), 301, 4},
      {"512 rows, 16 bits, 6 fraction bits", form(512, 16, 6, 0), 301, 0.25},
      {"256 rows: levels 2k and 2k + 1 are row k", form(256, 8, 0, 0), 150, 16},
      {"256 rows of 16 bits, 4 fraction bits", form(256, 16, 4, 0), 150, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto rows = ::testkit::RampDotRows(c.shape.rows);
    ASSERT_EQ(Read(::testkit::BuildDotCurveTable(c.shape)), kStatusOk);
    const DotCurveRow r = rows[c.row];
    const uint32_t s = uint32_t(r.small * c.scale), m = uint32_t(r.medium * c.scale), l = uint32_t(r.large * c.scale);
    EXPECT_EQ(Level(3, 301)[kAnyDot], s + m + l);
    EXPECT_EQ(Level(3, 301)[kLarge], l);
    if (c.shape.rows == 256) {
      EXPECT_EQ(Level(3, 300)[kAnyDot], s + m + l);
    }
  }
}

TEST_F(DotCurveTest, RescaledAndHeadlessTables) {
  DotCurveTableShape shape;
  shape.rows = 256;
  shape.rescale = 1;
  shape.fraction_bits = 0;
  shape.values.assign(256, DotCurveRow{255, 0, 51});
  ASSERT_EQ(Read(::testkit::BuildDotCurveTable(shape)), kStatusOk);
  EXPECT_EQ(Level(0, 5)[kAnyDot], 4080u + 816u);
  EXPECT_EQ(Level(0, 5)[kLarge], 816u);

  std::vector<DotCurveRow> rows = ::testkit::RampDotRows(256, 9);
  const std::vector<uint8_t> headless = ::testkit::BuildHeadlessDotCurveTable(rows);
  ASSERT_EQ(Read(headless), kStatusOk);
  ExpectCumulative(Level(5, 2 * 200 + 1), rows[200]);
}

TEST_F(DotCurveTest, DamagedTablesAreRefused) {
  struct Case {
    const char* what;
    void (*change)(DotCurveTableShape&);
    EngineStatus expected;
  };
  const Case cases[] = {
      {"two columns", [](DotCurveTableShape& s) { s.columns = 2; s.rows = 256; }, kStatusDotCurveFormat},
      {"12-bit samples", [](DotCurveTableShape& s) { s.bits = 12; }, kStatusDotCurveFormat},
      {"8-bit samples with fraction bits", [](DotCurveTableShape& s) { s.fraction_bits = 5; }, kStatusDotCurveValues},
      {"negative fraction bits", [](DotCurveTableShape& s) { s.bits = 16; s.fraction_bits = -3; }, kStatusDotCurveValues},
      {"rescale with 12 fraction bits", [](DotCurveTableShape& s) { s.rows = 256; s.rescale = 1; s.fraction_bits = 12; }, kStatusDotCurveValues},
      {"300 rows", [](DotCurveTableShape& s) { s.rows = 300; }, kStatusDotCurveValues},
      {"30000 rows", [](DotCurveTableShape& s) { s.rows = 30000; s.values.resize(1); }, kStatusDotCurveValues},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DotCurveTableShape shape;
    c.change(shape);
    EXPECT_EQ(Read(::testkit::BuildDotCurveTable(shape)), c.expected);
  }
  DotCurveTableShape plain;
  plain.magic = false;
  plain.rows = 256;
  std::vector<uint8_t> not_headless = ::testkit::BuildDotCurveTable(plain);
  not_headless[3] = 21;  // a headless table starts 0, 0, 0 and a byte below 21
  EXPECT_EQ(Read(not_headless), kStatusDotCurveFormat);
  std::vector<uint8_t> cut = ::testkit::BuildDotCurveTable({});
  cut.resize(cut.size() - 1);
  EXPECT_EQ(Read(cut), kStatusDotCurveFormat);
  EXPECT_EQ(Read({0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0}), kStatusBadResource);  // kind 5
  EXPECT_EQ(Read({0, 0, 0}), kStatusBadResource);
}

TEST_F(DotCurveTest, PerInkTablesGoToTheirSlots) {
  DotCurveSetShape shape;
  shape.entries = ::testkit::DotCurveSetEntriesFor(9);
  ASSERT_EQ(Read(::testkit::BuildDotCurveSet(shape), 9), kStatusOk);
  const int slot_of[12] = {0, 1, 2, 3, 4, 5, 6, 6, 4, 5, 6, 7};
  for (const DotCurveSetEntry& e : shape.entries) {
    SCOPED_TRACE(int{e.ink_id});
    ExpectCumulative(Level(slot_of[e.ink_id], 400), ::testkit::RampDotRows(512, e.ink_id)[400]);
  }
  EXPECT_EQ(t_->ninth, 0u);

  // 16-bit samples with 8 fraction bits; a later entry for a slot replaces the earlier one.
  shape.bits = 16;
  shape.fraction_bits = 8;
  DotCurveSetEntry extra;
  extra.ink_id = 8;  // slot 4, like ink 4
  extra.values.assign(512, DotCurveRow{160, 320, 480});
  shape.entries.push_back(extra);
  ASSERT_EQ(Read(::testkit::BuildDotCurveSet(shape), 9, kEdgeSet), kStatusOk);
  EXPECT_EQ(Level(4, 7, kEdgeSet)[kAnyDot], 60u);
  EXPECT_EQ(Level(4, 7, kEdgeSet)[kLarge], 30u);
}

TEST_F(DotCurveTest, InkZeroWithoutSmallDotsFillsTheNinthSlot) {
  DotCurveSetShape shape;
  shape.entries = ::testkit::DotCurveSetEntriesFor(1);
  shape.entries[0].present[0] = false;
  ASSERT_EQ(Read(::testkit::BuildDotCurveSet(shape)), kStatusOk);
  EXPECT_EQ(t_->ninth, 1u);
  const DotCurveRow r = ::testkit::RampDotRows(512, 0)[511];
  EXPECT_EQ(Level(0, 511)[kAnyDot], 0u);
  EXPECT_EQ(Level(0, 511)[kMediumOrLarge], 16u * (r.medium + r.large));
  EXPECT_EQ(Level(kNinthSlot, 511)[kAnyDot], 16u * (r.medium + r.large));
  EXPECT_EQ(Level(kNinthSlot, 511)[kMediumOrLarge], 16u * r.large);
  EXPECT_EQ(Level(kNinthSlot, 511)[kLarge], 0u);
}

TEST_F(DotCurveTest, DamagedSetsAreRefused) {
  struct Case {
    const char* what;
    uint32_t ink_set;
    void (*change)(DotCurveSetShape&);
    void (*damage)(std::vector<uint8_t>&, const DotCurveSetShape&);
  };
  auto none = [](DotCurveSetShape&) {};
  auto keep = [](std::vector<uint8_t>&, const DotCurveSetShape&) {};
  const Case cases[] = {
      {"256 levels", 1, [](DotCurveSetShape& s) { s.levels = 256; }, keep},
      {"12-bit samples", 1, [](DotCurveSetShape& s) { s.bits = 12; }, keep},
      {"8-bit samples with fraction bits", 1, [](DotCurveSetShape& s) { s.fraction_bits = 1; }, keep},
      {"16-bit samples with 17 fraction bits", 1, [](DotCurveSetShape& s) { s.bits = 16; s.fraction_bits = 17; }, keep},
      {"ink set 2", 2, none, keep},
      {"ink set 8", 8, none, keep},
      {"ink set 10", 10, none, keep},
      {"ink set 9 without ink 11", 9, [](DotCurveSetShape& s) { s.entries.pop_back(); }, keep},
      {"ink id 12", 1, [](DotCurveSetShape& s) { s.entries.push_back({}); s.entries.back().ink_id = 12; }, keep},
      {"15 entries", 1, [](DotCurveSetShape& s) { s.entry_count = 15; }, keep},
      {"negative entry count", 1, none, [](std::vector<uint8_t>& b, const DotCurveSetShape&) { b[34] = 0xFE; b[35] = 0xFF; }},
      {"two columns", 1, [](DotCurveSetShape& s) { s.entries[1].columns = 2; }, keep},
      {"no medium column", 1, [](DotCurveSetShape& s) { s.entries[1].present[1] = false; }, keep},
      {"no small column for ink 1", 1, [](DotCurveSetShape& s) { s.entries[1].present[0] = false; }, keep},
      {"entry past the block", 1, none, [](std::vector<uint8_t>& b, const DotCurveSetShape&) { b.resize(b.size() - 1); }},
      {"entry offset far away", 1, none, [](std::vector<uint8_t>& b, const DotCurveSetShape&) { b[52] = 0x7F; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DotCurveSetShape shape;
    shape.entries = ::testkit::DotCurveSetEntriesFor(c.ink_set == 9 ? 9 : 1);
    c.change(shape);
    std::vector<uint8_t> block = ::testkit::BuildDotCurveSet(shape);
    c.damage(block, shape);
    EXPECT_EQ(Read(block, c.ink_set), kStatusBadResource);
  }
}

TEST_F(EngineTest, EdgeTablesMustKeepTheNinthSlotOfTheInteriorTables) {
  RasterJob job = SampleJob();
  job.edge_mask = 8;
  ASSERT_EQ(Create(job), kStatusOk);
  ASSERT_EQ(ThroughMatrix().status, kStatusOk);
  DotCurveSetShape shape;
  shape.entries = ::testkit::DotCurveSetEntriesFor(1);
  shape.entries[0].present[0] = false;
  ASSERT_EQ(Step(::testkit::BuildDotCurveSet(shape)).id, 734u);
  EXPECT_EQ(Step(::testkit::BuildDotCurveTable({})).status, kStatusBadResource);
}

}  // namespace
}  // namespace tonvar::multi_level
