// Colour-table readers: what the fixed and tagged forms put into the descriptor, the black
// axis, the optional chunks, and truncated or hostile tables.
#include <gtest/gtest.h>

#include <cstring>

#include "testkit/tonvar/colour_engine_fixture.h"
#include "testkit/tonvar/colour_resources.h"
#include "tonvar/colour/colour_engine.h"
#include "tonvar/colour/engine_operations.h"
#include "tonvar/common/memory_faults.h"

namespace tonvar::colour {
namespace {

using testkit::ColourTableShape;
using testkit::ModeRowShape;

constexpr uint32_t kTableId = 1300;

// Runs a one-row mode table of `version` and the given colour table bytes.
class ColourTableTest : public testkit::ColourEngineFixture {
 protected:
  EngineStatus Run(const std::vector<uint8_t>& table, int version = 500) {
    return RunOneRow(kTableId, table, version);
  }
  const uint8_t* Entry(uint32_t i, uint32_t j, uint32_t k) {
    const LutDescriptor* lut = Lut();
    const uint32_t g = lut->grid_points[0];
    return lut->body + ((i * g + j) * g + k) * lut->channel_count;
  }
};

TEST_F(ColourTableTest, BlackOnlyNeutralAxisReplacesTheDiagonal) {
  job_.params.neutral_axis = 50;
  job_.params.mode_modifier = 0;
  job_.params.document_type = 4;
  job_.job.ink_set = 0;  // no density rescale
  ColourTableShape table;
  table.black_axis = {10, 20, 30, 40, 50};
  for (uint8_t cls : {uint8_t{1}, uint8_t{3}}) {
    SCOPED_TRACE(static_cast<int>(cls));
    table.table_class = cls;
    ASSERT_EQ(Run(testkit::BuildFixedColourTable(table), 300), kStatusOk);
    EXPECT_EQ(Lut()->neutral_axis, 0u);
    for (uint32_t i = 0; i < 5; ++i) {
      const uint8_t* e = Entry(i, i, i);
      EXPECT_EQ(e[0] | e[1] | e[2], 0);
      EXPECT_EQ(e[3], table.black_axis[i]);  // the last channel is black
    }
  }
  // Table class 0 keeps its diagonal.
  table.table_class = 0;
  ASSERT_EQ(Run(testkit::BuildFixedColourTable(table), 300), kStatusOk);
  EXPECT_EQ(Entry(2, 2, 2)[0], 127);
}

TEST_F(ColourTableTest, DensityLimitsRescaleTheBlackAxisForColourInkSets) {
  job_.params.neutral_axis = 50;
  job_.params.mode_modifier = 0;
  job_.params.document_type = 4;
  ColourTableShape table;
  table.table_class = 3;
  table.density_b = 200;
  table.density_a = 100;
  table.black_axis = {0, 64, 128, 192, 255};
  ASSERT_EQ(Run(testkit::BuildFixedColourTable(table), 300), kStatusOk);
  for (uint32_t i = 0; i < 5; ++i) {
    const int32_t v = table.black_axis[i];
    const int32_t s = (((255 - v) * (255 - v) * 100 + 1) / 255 + 255 * 100) / 100;
    EXPECT_EQ(Entry(i, i, i)[3], static_cast<uint8_t>((s / 2 + 255 * v) / s)) << i;
  }
  // Limits of 0 (a tagged table without "cdbg") would divide by zero: refused.
  ColourTableShape tagged;
  tagged.table_class = 3;
  tagged.with_cdbg = false;
  tagged.with_mlut = true;
  EXPECT_EQ(Run(testkit::BuildTaggedColourTable(tagged)), kStatusBadResource);
}

TEST_F(ColourTableTest, TaggedChunksFillTheDescriptor) {
  ColourTableShape table;
  table.with_cdbg = false;
  table.with_mdbg = true;
  table.density_b = 150;
  table.density_a = 120;
  table.with_encd = true;
  table.encd[0] = 1;
  table.encd[1] = 33;
  table.encd[3] = 44;
  table.with_tone = true;
  job_.job.ink_set = 0;  // "mdbg" serves ink set 0
  ASSERT_EQ(Run(testkit::BuildTaggedColourTable(table)), kStatusOk);
  const LutDescriptor* lut = Lut();
  EXPECT_EQ(lut->density_b, 150);
  EXPECT_EQ(lut->density_a, 120);
  EXPECT_EQ(lut->ink_scale_flag, 1);
  EXPECT_EQ(lut->encd_x, 33);
  EXPECT_EQ(lut->encd_y, 44);
  ASSERT_NE(lut->tone_table, nullptr);
  EXPECT_EQ(lut->tone_table->kind, kToneTableKind);
  EXPECT_EQ(lut->tone_table->point_count, 3u);
  EXPECT_EQ(lut->tone_table->levels[1], 128);
  EXPECT_EQ(lut->tone_table->values[2], 128 * 16);  // unchanged by an unadjusted rebuild

  job_.job.ink_set = 9;  // "cdbg" absent: limits stay 0
  ASSERT_EQ(Run(testkit::BuildTaggedColourTable(table)), kStatusOk);
  EXPECT_EQ(Lut()->density_b, 0);
}

TEST_F(ColourTableTest, LaterClutEntryWins) {
  ColourTableShape first, second;
  second.grid = 3;
  std::vector<uint8_t> bytes = testkit::BuildTaggedColourTable(second);
  // Append a directory entry pointing at an earlier, different "clut" chunk.
  std::vector<uint8_t> other = testkit::BuildTaggedColourTable(first);
  const uint32_t count = bytes[20];
  // Rebuild: directory of count + 1, with the 5-point clut first and the 3-point clut last.
  std::vector<uint8_t> merged(24 + 8 * (count + 1), 0);
  std::memcpy(merged.data(), bytes.data(), 20);
  merged[20] = static_cast<uint8_t>(count + 1);
  auto add_entry = [&](size_t slot, const char* tag, uint32_t offset) {
    std::memcpy(&merged[24 + 8 * slot], tag, 4);
    for (int b = 0; b < 4; ++b) merged[24 + 8 * slot + 4 + b] = static_cast<uint8_t>(offset >> (8 * b));
  };
  const uint32_t other_clut = 24 + 8 * other[20];
  const uint32_t base_other = static_cast<uint32_t>(merged.size());
  merged.insert(merged.end(), other.begin(), other.end());
  const uint32_t base_bytes = static_cast<uint32_t>(merged.size());
  merged.insert(merged.end(), bytes.begin(), bytes.end());
  add_entry(0, "clut", base_other + other_clut);
  for (uint32_t e = 0; e < count; ++e) {
    uint32_t offset = 0;
    for (int b = 0; b < 4; ++b) offset |= uint32_t{bytes[24 + 8 * e + 4 + b]} << (8 * b);
    char tag[5] = {};
    std::memcpy(tag, &bytes[24 + 8 * e], 4);
    add_entry(e + 1, tag, base_bytes + offset);
  }
  ASSERT_EQ(Run(merged), kStatusOk);
  EXPECT_EQ(Lut()->grid_points[0], 3u);
}

TEST_F(ColourTableTest, DocumentType2TakesTheGreyAxisEntries) {
  job_.params.document_type = 2;
  job_.params.mode_modifier = 0;
  ColourTableShape table;
  table.grid = 3;
  table.channels = 4;
  table.format = '2';
  table.grey_axis = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  ASSERT_EQ(Run(testkit::BuildFixedColourTable(table), 300), kStatusOk);
  for (uint32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(std::memcmp(Entry(i, i, i), &table.grey_axis[4 * i], 4), 0) << i;
  }
  EXPECT_EQ(Entry(0, 1, 2)[1], 127);  // off the diagonal the (unbalanced) table stays
  // Format '1' keeps its own diagonal.
  table.format = '1';
  ASSERT_EQ(Run(testkit::BuildFixedColourTable(table), 300), kStatusOk);
  EXPECT_EQ(Entry(1, 1, 1)[0], 127);
}

TEST_F(ColourTableTest, TaggedTableWithoutGreyAxisIsRefusedWhenDocumentType2NeedsIt) {
  job_.params.document_type = 2;
  job_.params.mode_modifier = 0;
  ColourTableShape table;
  EXPECT_EQ(Run(testkit::BuildTaggedColourTable(table)), kStatusBadResource);
  table.with_cgry = true;
  table.grey_axis.assign(5 * 4, 9);
  ASSERT_EQ(Run(testkit::BuildTaggedColourTable(table)), kStatusOk);
  for (uint32_t i = 0; i < 5; ++i) EXPECT_EQ(Entry(i, i, i)[0], 9) << i;
}

TEST_F(ColourTableTest, FixedFormUnderAVersion500ModeTableHasNoGammaBase) {
  ColourTableShape table;
  EXPECT_EQ(Run(testkit::BuildFixedColourTable(table), 500), kStatusBadResource);
  table.gamma = 0;  // a tagged table without "gama"
  EXPECT_EQ(Run(testkit::BuildTaggedColourTable(table), 500), kStatusBadResource);
  // Four-input tables are not rebuilt and need no base.
  ColourTableShape four;
  four.format = 0x80;
  four.grid = 3;
  EXPECT_EQ(Run(testkit::BuildFixedColourTable(four), 500), kStatusOk);
}

TEST_F(ColourTableTest, HostileGridsAndChannelCountsAreRefused) {
  struct Case {
    const char* name;
    size_t offset;  // from the start of the fixed-form table
    uint8_t value;
  };
  ColourTableShape table;
  const std::vector<uint8_t> good = testkit::BuildFixedColourTable(table);
  const Case cases[] = {
      {"grid 65", 72, 65},
      {"grid 1", 72, 1},
      {"unequal grids", 73, 4},
      {"17 channels", 75, 17},
      {"0 channels", 75, 0},
      {"first coordinate not 0", 76, 3},
      {"last coordinate not 255", 80, 254},
      {"coordinates not rising", 77, 0},
      {"unknown format", 15, '7'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> bad = good;
    bad[c.offset] = c.value;
    EXPECT_EQ(Run(bad, 300), kStatusBadResource);
  }
  ColourTableShape tagged;
  std::vector<uint8_t> bad = testkit::BuildTaggedColourTable(tagged);
  bad[20] = 0xFF;  // directory beyond the resource
  bad[21] = 0xFF;
  EXPECT_EQ(Run(bad), kStatusBadResource);
  bad = testkit::BuildTaggedColourTable(tagged);
  bad[28] = 0xF0;  // first chunk's offset beyond the resource
  EXPECT_EQ(Run(bad), kStatusBadResource);
  // A four-input "clut" would go through the three-input rebuild, which its body does not fit.
  bad = testkit::BuildTaggedColourTable(tagged);
  const size_t clut = bad[24 + 4] | (bad[24 + 5] << 8);
  ASSERT_EQ(std::memcmp(&bad[clut], "clut", 4), 0);
  bad[clut + 4] = 4;
  EXPECT_EQ(Run(bad), kStatusBadResource);
}

TEST_F(ColourTableTest, TruncatedTablesGiveAStatus) {
  ColourTableShape table;
  table.with_tone = true;
  table.with_mlut = true;
  for (bool tagged : {false, true}) {
    const std::vector<uint8_t> good = tagged ? testkit::BuildTaggedColourTable(table)
                                             : testkit::BuildFixedColourTable(table);
    for (size_t n = 0; n < good.size(); ++n) {
      const std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(n));
      // The fixed form reads its trailing grey-axis and grey-component parts only when the
      // job needs them.
      const size_t needed = testkit::FixedBodyOffset(table) + testkit::RampBody(table).size() + table.grid;
      const EngineStatus expected = !tagged && n >= needed ? kStatusOk : kStatusBadResource;
      ASSERT_EQ(Run(cut, tagged ? 500 : 300), expected) << "tagged " << tagged << " size " << n;
    }
  }
}

}  // namespace
}  // namespace tonvar::colour
