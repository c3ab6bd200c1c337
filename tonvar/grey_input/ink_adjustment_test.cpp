// Resource steps 2 and 3: the "HL<c" layout of the handed-over list and the per-ink tables that
// remap the listed inks' dot curves.
#include <gtest/gtest.h>

#include <cstring>

#include "tonvar/grey_input/test_engine.h"

namespace tonvar::grey_input {
namespace {

namespace faults = common::faults;
using testkit::HandoverDimensions;
using testkit::HandoverInkCodes;
using testkit::HandoverRecord;
using testkit::HandoverRoles;
using testkit::HandoverSelector;
using testkit::HandoverSetNames;

// A list of two inks, one set, three values per ink: 3, 40, 5 for the first ink, 7, 200, 100
// for the second, in file order inks fastest.
class InkAdjustTest : public GreyEngineTest {
 protected:
  void SetUp() override {
    GreyHandover& h = lut_->handover;
    h.list_flag = 1;
    h.value_count = 6;
    const uint32_t values[6] = {3, 7, 40, 200, 5, 100};
    std::copy(values, values + 6, h.values);
    std::memcpy(h.ink_set_name, "K8", 3);
    std::memcpy(h.micro_name, "MX", 3);
  }
  static std::vector<HandoverRecord> Layout() {
    return {HandoverDimensions(2, 1, 3), HandoverRoles(2, 0, 1), HandoverSelector(0, 1, 2),
            HandoverInkCodes(9, "", {{1, 0}, {4, 1}}), HandoverSetNames({{"LX", 1}, {"MX", 0}}), {255, {}}};
  }
  // Kind-4 curves whose trailers (in tenths) give every group the weights b.
  void ReadyForLayout(uint32_t bits, int16_t trailer_tenths) {
    testkit::GreyDotCurveKind4Shape dots;
    for (uint8_t ink : {0, 1, 2, 3, 4, 5, 7, 11}) {
      testkit::GreyDotCurveEntry e(ink);
      for (int16_t& t : e.trailer) t = trailer_tenths;
      dots.entries.push_back(e);
    }
    ASSERT_EQ(Create(GreyJob(bits)), kStatusOk);
    ASSERT_EQ(Feed(testkit::BuildGreyDotCurveKind4(dots)), kStatusOk);
    ASSERT_EQ(Feed(testkit::BuildGreyScreen({})), kStatusOk);
    ASSERT_EQ(id_, 991u);
  }
};

TEST_F(InkAdjustTest, LayoutArrangesTheListAndNamesTheInks) {
  ReadyForLayout(2, 0);
  ASSERT_EQ(Feed(testkit::BuildHandoverLayout(Layout())), kStatusOk);
  EXPECT_EQ(id_, 300u) << "the hand-over's INK-ID";
  const GreyHandover& h = Engine().handover;
  EXPECT_EQ(h.ink_codes[0], 1);  // an empty ink-set name applies to every name of the code
  EXPECT_EQ(h.ink_codes[1], 4);
  EXPECT_EQ(h.ink_codes[2], -1);
  EXPECT_EQ(h.selected_set, 0);
  EXPECT_EQ(h.value_table[0][0][0], 3u);
  EXPECT_EQ(h.value_table[0][1][0], 7u);
  EXPECT_EQ(h.value_table[0][0][1], 40u);
  EXPECT_EQ(h.value_table[0][1][2], 100u);
  EXPECT_EQ(h.value_table[1][0][0], 0xFFFFFFFFu);
}

TEST_F(InkAdjustTest, RefusedLayouts) {
  auto with = [](size_t at, HandoverRecord r) {
    std::vector<HandoverRecord> records = Layout();
    records[at] = std::move(r);
    return testkit::BuildHandoverLayout(records);
  };
  std::vector<uint8_t> magic = testkit::BuildHandoverLayout(Layout());
  magic[0] = 'X';
  std::vector<HandoverRecord> end_first = Layout();
  std::swap(end_first[0], end_first[5]);
  HandoverRecord pairs_flag = HandoverInkCodes(9, "", {{1, 0}});
  pairs_flag.data[3] = 2;
  const struct {
    const char* name;
    std::vector<uint8_t> block;
  } cases[] = {
      {"magic", magic},
      {"version 2", testkit::BuildHandoverLayout(Layout(), 2)},
      {"dimensions record of 6 bytes", with(0, {0, {1, 2, 1}})},
      {"dimensions without the 1", with(0, {0, {2, 2, 1, 3}})},
      {"roles record of 5 bytes", with(1, {1, {2, 0}})},
      {"pairs without the 1", with(3, pairs_flag)},
      {"slot 16", with(3, HandoverInkCodes(9, "K8", {{1, 16}}))},
      {"slot given twice", with(3, HandoverInkCodes(9, "", {{1, 0}, {2, 0}}))},
      {"seven set names", with(4, HandoverSetNames({{"A", 0}, {"B", 0}, {"C", 0}, {"D", 0}, {"E", 0}, {"F", 0}, {"MX", 0}}))},
      {"no set named MX", with(4, HandoverSetNames({{"LX", 0}}))},
      {"set 6", with(4, HandoverSetNames({{"MX", 6}}))},
      {"end record first", testkit::BuildHandoverLayout(end_first)},
      {"type 9", with(5, {9, {}})},
      {"product of dimensions", with(0, HandoverDimensions(2, 1, 2))},
      {"six values per ink", with(0, HandoverDimensions(1, 1, 6))},
      {"role 3", with(1, HandoverRoles(2, 0, 3))},
  };
  for (const auto& c : cases) {
    faults::ScopedReset each;
    ReadyForLayout(2, 0);
    EXPECT_EQ(Feed(c.block), kStatusBadResource) << c.name;
    EXPECT_EQ(Engine().step, 3u);
    EXPECT_EQ(GreyHalftoneDelete(&engine_), kStatusOk);
  }
}

TEST_F(InkAdjustTest, InkCodesApplyOnlyToTheirInkSet) {
  ReadyForLayout(2, 0);
  std::vector<HandoverRecord> records = Layout();
  records.insert(records.begin() + 3, HandoverInkCodes(9, "K9", {{3, 2}}));  // another name
  records.insert(records.begin() + 3, HandoverInkCodes(5, "", {{5, 3}}));    // another code
  ASSERT_EQ(Feed(testkit::BuildHandoverLayout(records)), kStatusOk);
  EXPECT_EQ(Engine().handover.ink_codes[2], -1);
  EXPECT_EQ(Engine().handover.ink_codes[3], -1);
}

// With weights b = 128 the target density equals the density: the curves stay as they are;
// with b = 0 every level takes the entry of half its density.
TEST_F(InkAdjustTest, CurvesFollowTheTargetDensity) {
  const std::vector<uint8_t> lines = testkit::BuildInkTableBlock(
      1, {{1, {{{0, 0, 255, 255}, {0, 0, 255, 255}, {0, 0, 255, 255}}}},
          {4, {{{0, 20, 255, 20}, {0, 20, 255, 20}, {0, 20, 255, 20}}}}});
  for (int16_t tenths : {1280, 0}) {
    faults::ScopedReset each;
    ReadyForLayout(2, tenths);
    ASSERT_EQ(Feed(testkit::BuildHandoverLayout(Layout())), kStatusOk);
    const LevelTable before = Engine().level_tables[1][kInteriorTable];
    ASSERT_EQ(Feed(lines), kStatusOk);
    EXPECT_EQ(id_, kNoMoreResources);
    const GreyHalftoneEngine& e = Engine();
    EXPECT_EQ(e.ink_adjust[0], 20) << "ink 4's lines are flat at 20";
    const DotTable& source = e.dot_tables[1][kInteriorTable];
    const DotTable& adjusted = e.dot_tables[1][kEdgeTable];
    if (tenths == 1280) {
      EXPECT_EQ(std::memcmp(&adjusted, &source, sizeof(DotTable)), 0);
      EXPECT_EQ(std::memcmp(&before, &e.level_tables[1][kInteriorTable], sizeof(LevelTable)), 0);
    } else {
      // Ink 1 at level 300: a = 3, 40, 5 picks weights 3, 40, 5 on the identity lines.
      auto density = [&](int l) {
        return (3 * source.row[l][0] + 40 * source.row[l][1] + 5 * source.row[l][2]) * 256;
      };
      const int64_t target = density(300) / 2;
      int lo = 0;
      while (density(lo + 1) <= target) ++lo;
      EXPECT_GE(adjusted.row[300][kSmall] + adjusted.row[300][kMedium] + adjusted.row[300][kLarge],
                source.row[lo][0] + source.row[lo][1] + source.row[lo][2]);
      EXPECT_LE(adjusted.row[300][kSmall] + adjusted.row[300][kMedium] + adjusted.row[300][kLarge],
                source.row[lo + 1][0] + source.row[lo + 1][1] + source.row[lo + 1][2]);
      EXPECT_EQ(adjusted.row[0][kSmall], 0);
      EXPECT_NE(std::memcmp(&before, &e.level_tables[1][kInteriorTable], sizeof(LevelTable)), 0);
    }
    EXPECT_EQ(GreyHalftoneDelete(&engine_), kStatusOk);
  }
}

TEST_F(InkAdjustTest, RefusedInkTables) {
  const std::vector<uint8_t> good = testkit::BuildInkTableBlock(
      1, {{1, {{{0, 0, 255, 255}, {0, 0, 255, 255}, {0, 0, 255, 255}}}},
          {4, {{{0, 0, 255, 255}, {0, 0, 255, 255}, {0, 0, 255, 255}}}}});
  std::vector<uint8_t> magic = good, version = good, last = good, form = good;
  magic[3] ^= 1;
  version[8] = 2;
  last[12] = 254;
  form[20] = 2;
  const struct {
    const char* name;
    std::vector<uint8_t> block;
  } cases[] = {
      {"magic", magic},
      {"version 2", version},
      {"last index 254", last},
      {"form 2", form},
      {"vertical line", testkit::BuildInkTableBlock(
                            1, {{1, {{{9, 0, 9, 255}, {0, 0, 255, 255}, {0, 0, 255, 255}}}},
                                {4, {{{0, 0, 255, 255}, {0, 0, 255, 255}, {0, 0, 255, 255}}}}})},
      {"ink 4 without a record", testkit::BuildInkTableBlock(
                                     1, {{1, {{{0, 0, 255, 255}, {0, 0, 255, 255}, {0, 0, 255, 255}}}}})},
  };
  for (const auto& c : cases) {
    faults::ScopedReset each;
    ReadyForLayout(2, 0);
    ASSERT_EQ(Feed(testkit::BuildHandoverLayout(Layout())), kStatusOk);
    EXPECT_EQ(Feed(c.block), kStatusBadResource) << c.name;
    EXPECT_EQ(GreyHalftoneDelete(&engine_), kStatusOk);
  }
}

TEST_F(InkAdjustTest, LinesClampAndAnEmptyListEndsAtOnce) {
  ReadyForLayout(2, 0);
  ASSERT_EQ(Feed(testkit::BuildHandoverLayout(Layout())), kStatusOk);
  // Ink 4's first value 7 on a steep line gives 700, its second, 200, on a falling line
  // -19,900: they are clamped to 255 and 0.
  ASSERT_EQ(Feed(testkit::BuildInkTableBlock(
                1, {{1, {{{0, 0, 255, 255}, {0, 0, 255, 255}, {0, 0, 255, 255}}}},
                    {4, {{{0, 0, 1, 100}, {0, 100, 1, 0}, {0, 0, 255, 255}}}}})),
            kStatusOk);
  EXPECT_EQ(Engine().ink_table_block.looked_up[0], 255);
  EXPECT_EQ(Engine().ink_table_block.looked_up[1], 0);
  EXPECT_EQ(Engine().ink_table_block.looked_up[2], 100);
  EXPECT_EQ(GreyHalftoneDelete(&engine_), kStatusOk);

  lut_->handover.value_count = 0;  // an empty list of zero inks
  ReadyForLayout(2, 0);
  ASSERT_EQ(Feed(testkit::BuildHandoverLayout({HandoverDimensions(0, 1, 3), HandoverRoles(2, 0, 1)})),
            kStatusOk);
  ASSERT_EQ(Feed(testkit::BuildInkTableBlock(0, {})), kStatusOk);
  EXPECT_EQ(id_, kNoMoreResources);
  EXPECT_EQ(Feed(testkit::BuildInkTableBlock(0, {})), kStatusOk) << "step 3 stays";
}

TEST_F(InkAdjustTest, OneBitJobsRefuseSmallerDotsWhereTheTrailerAsksForTheCheck) {
  ReadyForLayout(1, 10);  // trailers 1: the check applies, and the ramp has small dots
  ASSERT_EQ(Feed(testkit::BuildHandoverLayout(Layout())), kStatusOk);
  EXPECT_EQ(Feed(testkit::BuildInkTableBlock(
                1, {{1, {{{0, 0, 255, 255}, {0, 0, 255, 255}, {0, 0, 255, 255}}}},
                    {4, {{{0, 0, 255, 255}, {0, 0, 255, 255}, {0, 0, 255, 255}}}}})),
            kStatusBadResource);
}

}  // namespace
}  // namespace tonvar::grey_input
