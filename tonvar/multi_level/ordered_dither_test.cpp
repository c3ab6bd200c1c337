// Thresholds and ordered dither: the transition blends, the strict decision, flat cells of no
// ink, the partial last word, and the one-bit cell dots.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "tonvar/halftone_lines/four_level_dots.h"
#include "tonvar/halftone_lines/simd_path.h"
#include "tonvar/multi_level/cell_thresholds.h"
#include "tonvar/multi_level/ordered_dither.h"

namespace tonvar::multi_level {
namespace {

// Nine slots whose every level holds the same thresholds per table set.
std::vector<DotTableSlot> Slots(const uint32_t edge[3], const uint32_t interior[3]) {
  std::vector<DotTableSlot> slots(kDotSlots);
  for (DotTableSlot& slot : slots) {
    for (int v = 0; v < kDotLevels; ++v) {
      for (int j = 0; j < 3; ++j) {
        slot.set[kEdgeSet].level[v][j] = edge[j];
        slot.set[kInteriorSet].level[v][j] = interior[j];
      }
    }
  }
  return slots;
}

// Zones of a 64-pixel line with a left edge [0, 10) and a left transition [10, 42).
void TransitionZones(HorizontalZone zones[kZoneCount]) {
  halftone_lines::SetupHorizontalZones(zones, 64, 10, 0, 32, 0);
}

TEST(CellThresholds, TheLeftTransitionBlendsEdgeAndInteriorByTheColumn) {
  const uint32_t edge[3] = {960, 640, 320}, interior[3] = {1920, 1280, 640};
  const std::vector<DotTableSlot> slots = Slots(edge, interior);
  HorizontalZone zones[kZoneCount];
  TransitionZones(zones);
  RunZones run{};
  run.zone[1] = {18, 42, 32, 0};
  run.zone[2] = {42, 64, 22, 1};
  CellLevels levels{};
  CellDotThresholds out{};
  InterpolateCellThresholds(4, 18, levels, run, zones, kInteriorSet, slots.data(), &out);
  // Column 18 = start + 8: (T0 x 24 + TI x 8) / 32.
  for (int g : {0, 1, 2, 3, 8}) {
    EXPECT_EQ(out.group[g][kTopLeft][0], (960 * 24 + 1920 * 8) / 32);
    EXPECT_EQ(out.group[g][kBottomRight][2], (320 * 24 + 640 * 8) / 32);
  }
  InterpolateCellThresholds(4, 44, levels, run, zones, kInteriorSet, slots.data(), &out);
  EXPECT_EQ(out.group[1][kTopRight][1], 1280);  // the centre: the interior table
  // One bit per dot: only the large threshold is blended.
  CellDotThresholds one_bit{};
  InterpolateCellThresholdsOneBit(4, 18, levels, run, zones, kInteriorSet, slots.data(), &one_bit);
  EXPECT_EQ(one_bit.group[1][kTopLeft][2], 400);
  EXPECT_EQ(one_bit.group[1][kTopLeft][0], 0);
  // A transition of no width is never blended; weights stay within 0..32.
  EXPECT_EQ(TransitionWeight({10, 10, 0, 0}, 10), -1);
  EXPECT_EQ(TransitionWeight({-70, 30, 100, 0}, 10), 25);
  EXPECT_EQ(TransitionWeight({10, 42, 32, 0}, 60), 32);
}

TEST(CellThresholds, TheVerticalBlendRunsFromTheEdgeTableToTheInterior) {
  const uint32_t edge[3] = {3200, 1600, 800}, interior[3] = {6400, 3200, 1600};
  std::vector<DotTableSlot> slots = Slots(edge, interior);
  const int32_t bounds[6] = {0, 10, 26, 74, 90, 100};
  struct Case {
    int32_t line;
    int32_t edge_weight;  // of 32
  };
  // Top: f = ((b2 - line) x 32) / (b2 - b1) is the edge weight; bottom: 32 - f with b4, b3.
  for (const Case& c : {Case{10, 32}, Case{25, 2}, Case{18, 16}, Case{74, 0}, Case{89, 30}}) {
    ASSERT_TRUE(BlendVerticalTables(c.line, slots.data(), bounds, bounds)) << c.line;
    for (int s : {0, 8}) {
      EXPECT_EQ(slots[s].set[kBlendSet].level[511][0], uint32_t((3200 * c.edge_weight + 6400 * (32 - c.edge_weight)) / 32))
          << "line " << c.line;
    }
  }
  // A transition of no height is never blended: the line takes the edge tables.
  const int32_t flat[6] = {0, 10, 10, 74, 90, 100};
  const int32_t used[6] = {0, 10, 30, 30, 90, 100};
  EXPECT_FALSE(BlendVerticalTables(20, slots.data(), flat, used));
  EXPECT_EQ(VerticalKind(20, slots.data(), flat, used), kEdgeSet);
  EXPECT_EQ(VerticalKind(50, slots.data(), bounds, bounds), kInteriorSet);
  EXPECT_EQ(VerticalKind(100, slots.data(), bounds, bounds), -1);
}

class DitherPlaneTest : public ::testing::Test {
 protected:
  DitherPlaneTest() : samples_(64 * 2 + 2, 0), cells_(64, 0), flat_(4, 0), out_(2, std::vector<uint8_t>(16, 0xA5)) {
    TransitionZones(zones_);
    halftone_lines::SetupHorizontalZones(plain_zones_, 64, 0, 0, 0, 0);
  }
  // Dithers the cells of [start, end) in zone z from matrix sample 0 on.
  void Dither(const std::vector<DotTableSlot>& slots, int z, int32_t start, int32_t end, bool transition,
              uint32_t count) {
    RunZones run{};
    run.zone[z] = {start, end, 0, 0};
    PlaneDither d{};
    d.run = &run;
    d.zones = transition ? zones_ : plain_zones_;
    d.slot = &slots[1];
    d.kind = kInteriorSet;
    d.matrix = samples_.data();
    d.matrix_mask = 127;
    d.position = -4;
    d.cells = cells_.data();
    d.flat_words = flat_.data();
    d.out[0] = out_[0].data();
    d.out[1] = out_[1].data();
    d.count = count;
    d.path = path_;
    DitherPlane(d);
  }
  halftone_lines::SimdPath path_ = halftone_lines::SimdPath::kScalar;
  HorizontalZone zones_[kZoneCount], plain_zones_[kZoneCount];
  std::vector<int16_t> samples_;
  std::vector<uint32_t> cells_, flat_;
  std::vector<std::vector<uint8_t>> out_;
};

TEST_F(DitherPlaneTest, StrictComparisonsAgainstTheBlendedThresholds) {
  const uint32_t edge[3] = {960, 640, 320}, interior[3] = {1920, 1280, 640};
  const std::vector<DotTableSlot> slots = Slots(edge, interior);
  cells_[0] = 5;  // flat, column 18: large 400, medium 800, any 1200
  const int16_t samples[4] = {399, 400, 799, 1200};  // TL, BL, TR, BR
  std::copy(samples, samples + 4, samples_.begin());
  Dither(slots, 1, 18, 20, true, 2);
  // TL large, TR medium (800 > 799), BL medium (800 > 400, 400 not > 400), BR none (1200 = 1200).
  EXPECT_EQ(out_[0][0], 0xE0);  // 11 10 00 00
  EXPECT_EQ(out_[1][0], 0x80);  // 10 00 00 00
  EXPECT_EQ(out_[0][1], 0xA5);
}

TEST_F(DitherPlaneTest, AFlatCellOfNoInkSetsNoDotWhereADetailedPixelOfNoInkDoes) {
  const uint32_t high[3] = {5000, 5000, 5000};
  const std::vector<DotTableSlot> slots = Slots(high, high);
  cells_[0] = 0;           // flat, no ink
  cells_[1] = 0x00000000;  // detailed: every pixel level 0
  flat_[0] = 0b10;
  Dither(slots, 2, 0, 4, false, 4);
  EXPECT_EQ(out_[0][0], 0x0F);
  EXPECT_EQ(out_[1][0], 0x0F);
}

TEST_F(DitherPlaneTest, APartlyFilledLastWordGivesOnlyTheBandsBytes) {
  const uint32_t high[3] = {5000, 5000, 5000};
  const std::vector<DotTableSlot> slots = Slots(high, high);
  for (int c = 0; c < 11; ++c) cells_[c] = 1;
  Dither(slots, 2, 0, 22, false, 21);  // 21 dots: one word, then 2 bytes
  for (int r = 0; r < 2; ++r) {
    // Dots 0..21 (the last cell's two), nothing after them in byte 5, byte 6 untouched.
    EXPECT_EQ(std::vector<uint8_t>(out_[r].begin(), out_[r].begin() + 7),
              (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF0, 0xA5}));
  }
}

TEST_F(DitherPlaneTest, EveryPathGivesTheScalarBytesOnRandomCellsAndTables) {
  using halftone_lines::SimdPath;
  std::mt19937 random(77);
  std::vector<DotTableSlot> slots(kDotSlots);
  for (DotTableSlot& slot : slots) {
    for (DotTable& table : slot.set) {
      for (auto& level : table.level) {
        for (uint32_t& t : level) t = static_cast<uint32_t>(random() % 9 == 0 ? random() : random() % 4200);
      }
    }
  }
  const int supported = static_cast<int>(halftone_lines::SupportedSimdPath());
  for (int round = 0; round < 300; ++round) {
    for (uint32_t& c : cells_) {
      c = static_cast<uint32_t>(random() % 4 == 0 ? 0 : random() % 3 == 0 ? random() % 256 : random());
    }
    for (uint32_t& f : flat_) f = static_cast<uint32_t>(random());
    for (size_t c = 0; c < cells_.size(); ++c) {
      if (((flat_[c / 32] >> (c % 32)) & 1) == 0) cells_[c] &= 0xFF;  // a flat cell holds one level
    }
    for (int16_t& m : samples_) m = static_cast<int16_t>(random() % 5 == 0 ? random() : random() % 4096);
    const bool transition = round % 3 == 0;
    const int z = transition ? 1 + 2 * (round % 2) : 2;
    const int32_t start = static_cast<int32_t>(random() % 8) * 2;
    const int32_t end = start + 2 + static_cast<int32_t>(random() % 50) * 2;
    const uint32_t count = static_cast<uint32_t>(end - start) - random() % 2;
    std::vector<std::vector<std::vector<uint8_t>>> outputs;
    for (int path = 0; path <= supported; ++path) {
      out_.assign(2, std::vector<uint8_t>(32, 0xA5));
      path_ = static_cast<SimdPath>(path);
      Dither(slots, z, start, end, transition, count);
      outputs.push_back(out_);
    }
    for (size_t path = 1; path < outputs.size(); ++path) {
      ASSERT_EQ(outputs[path], outputs[0]) << "path " << path << " round " << round;
    }
  }
}

// Long runs over every zone of a line, where the wide path decides several cells at once: its
// bytes must be the scalar ones for tables at the ends of the 16-bit range, for tables that do
// not fit in it, at every first dot position, odd run starts and matrix wrap-arounds.
TEST(DitherPlaneLongRuns, EveryPathGivesTheScalarBytes) {
  using halftone_lines::SimdPath;
  constexpr int32_t kLine = 1202;
  std::mt19937 random(2024);
  std::vector<DotTableSlot> slots(kDotSlots);
  auto threshold = [&](bool wide) {
    const uint32_t pick = static_cast<uint32_t>(random() % 8);
    if (pick == 0) return static_cast<uint32_t>(int32_t{-32768});
    if (pick == 1) return uint32_t{32767};
    if (wide && pick == 2) return static_cast<uint32_t>(random());
    return static_cast<uint32_t>(static_cast<int32_t>(random() % 65536) - 32768);
  };
  HorizontalZone zones[kZoneCount];
  halftone_lines::SetupHorizontalZones(zones, kLine, 130, 170, 150, 140);
  std::vector<int16_t> samples(256);
  std::vector<uint32_t> cells(kLine / 2 + 8), flat((cells.size() + 31) / 32 + 1);
  const int supported = static_cast<int>(halftone_lines::SupportedSimdPath());
  for (int round = 0; round < 24; ++round) {
    const bool wide = round % 4 == 3;  // thresholds beyond 16 bits: the packed table is refused
    for (DotTableSlot& slot : slots) {
      for (DotTable& table : slot.set) {
        for (auto& level : table.level) {
          for (uint32_t& t : level) t = threshold(wide);
        }
      }
    }
    for (int16_t& m : samples) {
      const uint32_t pick = static_cast<uint32_t>(random() % 10);
      m = static_cast<int16_t>(pick == 0 ? -32768 : pick == 1 ? 32767 : static_cast<int32_t>(random() % 65536) - 32768);
    }
    for (uint32_t& f : flat) f = static_cast<uint32_t>(random());
    for (size_t c = 0; c < cells.size(); ++c) {
      cells[c] = static_cast<uint32_t>(random() % 5 == 0 ? 0 : random());
      if (((flat[c / 32] >> (c % 32)) & 1) == 0) cells[c] &= random() % 3 == 0 ? 0 : 0xFF;
    }
    const int32_t start = static_cast<int32_t>(random() % 40);
    const int32_t end = kLine - static_cast<int32_t>(random() % 40);
    RunZones run{};
    for (int z = 0; z < kZoneCount; ++z) {
      run.zone[z] = zones[z];
      run.zone[z].start = std::max(run.zone[z].start, start);
      run.zone[z].end = std::min(run.zone[z].end, end);
    }
    const int32_t position = static_cast<int32_t>(random() % 64) * 4;
    std::vector<std::vector<std::vector<uint8_t>>> outputs;
    for (int path = 0; path <= supported; ++path) {
      std::vector<std::vector<uint8_t>> out(2, std::vector<uint8_t>(kLine / 4 + 16, 0xA5));
      PlaneDither d{};
      d.run = &run;
      d.zones = zones;
      d.slot = &slots[round % kDotSlots];
      d.kind = round % 3;
      d.matrix = samples.data();
      d.matrix_mask = round % 2 == 0 ? 255 : 63;
      d.position = position;
      d.cells = cells.data();
      d.flat_words = flat.data();
      d.initial[0] = 0x5A;
      d.initial[1] = 0xC3;
      d.out[0] = out[0].data();
      d.out[1] = out[1].data();
      d.dot_position = 2 * (round % 3);
      d.first_dot = static_cast<uint32_t>(d.dot_position);
      d.count = static_cast<uint32_t>(end - start);
      d.path = static_cast<SimdPath>(path);
      DitherPlane(d);
      outputs.push_back(out);
    }
    for (size_t path = 1; path < outputs.size(); ++path) {
      ASSERT_EQ(outputs[path], outputs[0]) << "path " << path << " round " << round;
    }
  }
}

TEST(DitherCellBits, AThresholdEqualToTheSampleSetsNoDot) {
  const std::vector<int16_t> samples = {0, -1, 5, 7, 0, 0};
  const int32_t positions[kMaxInks] = {0, 0, 0, 0, 0, 0, 0, 0};
  CellDotThresholds t{};
  t.group[1][kTopLeft][2] = 0;      // 0 = sample 0: none
  t.group[1][kBottomLeft][2] = 0;   // 0 > -1: a dot
  t.group[1][kTopRight][2] = 6;     // 6 > 5
  t.group[1][kBottomRight][2] = 7;  // 7 = 7: none
  uint32_t acc[kRowSetEntries] = {};
  DitherCellBits4(samples.data(), positions, acc, 0x80, 0x40, t);
  EXPECT_EQ(acc[0], 0x40u);
  EXPECT_EQ(acc[1], 0x80u);
}

}  // namespace
}  // namespace tonvar::multi_level
