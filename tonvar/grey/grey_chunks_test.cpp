// The grey chunk container: what each chunk stores in the GreyLut, and damaged containers.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "testkit/tonvar/grey_engine_fixture.h"
#include "testkit/tonvar/grey_resources.h"

namespace {

using testkit::GreyChunk;
using testkit::GreyChunkContainer;
using testkit::GreyChunkEntry;
using testkit::GreyCtcnChunk;
using testkit::GreyCtcnShape;
using testkit::GreyTableChunk;
using testkit::GreyTableShape;
using tonvar::GreyLut;
using tonvar::kStatusBadResource;
using tonvar::kStatusOk;
using tonvar::grey::ReadGreyChunks;

tonvar::EngineStatus Read(const std::vector<uint8_t>& container, GreyLut* lut,
                          bool* limit = nullptr) {
  bool seen = false;
  return ReadGreyChunks(testkit::Bounded(container), lut, limit != nullptr ? limit : &seen);
}

TEST(GreyChunks, TableChunkFillsTheLutAndTheTable) {
  auto lut = std::make_unique<GreyLut>();
  GreyTableShape shape;
  shape.byte4 = 7;
  shape.byte11 = 9;
  shape.full_scale_code = 0;
  shape.gamma_base = 220;
  shape.levels = 3;
  shape.ink_ids = {1, 254, 255};
  shape.level_bytes = {5, 6, 7};
  shape.amounts = {1, 2, 3, 4, 5, 6, 7, 8, 0xFFFF};
  ASSERT_EQ(Read(GreyChunkContainer({{"tgvm", GreyTableChunk(shape)}}), lut.get()), kStatusOk);
  EXPECT_EQ(lut->table_byte4, 7);
  EXPECT_EQ(lut->table_byte11, 9);
  EXPECT_EQ(lut->ink_count, 3);
  EXPECT_EQ(lut->level_count, 3);
  EXPECT_EQ(lut->gamma_base, 220);
  EXPECT_EQ(lut->full_scale, 4080);
  EXPECT_EQ(lut->channel_count, 1);
  EXPECT_EQ(lut->ink_ids[1], 254);
  EXPECT_EQ(lut->ink_ids[3], 255);  // unset
  EXPECT_EQ(lut->level_values[2], 7);
  EXPECT_EQ(lut->level_values[3], -999);
  EXPECT_EQ(lut->table.amounts[3], 4);  // level 1, column 0: rows of I amounts
  EXPECT_EQ(lut->table.amounts[8], 0xFFFF);
  EXPECT_EQ(lut->table.amounts[9], 0);
}

TEST(GreyChunks, SingleValueChunksAndRepeats) {
  auto lut = std::make_unique<GreyLut>();
  bool limit = false;
  const auto container = GreyChunkContainer({
      {"rstp", GreyChunk("rstp", {8})},
      {"modl", GreyChunk("modl", {0x78, 0x56, 0x34, 0x12})},
      {"reso", GreyChunk("reso", {0xD0, 0x02, 0xFF, 0xFF})},
      {"mdia", GreyChunk("mdia", {0x05, 0x00})},
      {"cdbg", GreyChunk("cdbg", {1, 0, 2, 0})},
      {"gama", GreyChunk("gama", {1, 0, 0, 0})},
      {"gama", GreyChunk("gama", {2, 0, 0, 0})},
      {"encd", GreyChunk("encd", {0, 1, 2, 3, 3})},
      {"inkd", testkit::GreyInkdChunk(200, 7)},
      {"xxxx", {}, 0x7FFFFFF0},  // unlisted: its offset is not looked at
  });
  ASSERT_EQ(Read(container, lut.get(), &limit), kStatusOk);
  EXPECT_EQ(lut->rstp, 8);
  EXPECT_EQ(lut->model, 0x12345678u);
  EXPECT_EQ(lut->resolution[0], 720);
  EXPECT_EQ(lut->resolution[1], -1);
  EXPECT_EQ(lut->media, 5);
  EXPECT_EQ(lut->cdbg[1], 2);
  EXPECT_EQ(lut->gamma, 2u);  // the later chunk counts
  EXPECT_EQ(lut->encd[3], 3);
  EXPECT_TRUE(limit);
  EXPECT_EQ(lut->inkd[tonvar::kInkLimitSlot], 200);
  EXPECT_EQ(lut->inkd[6], 7);  // the seventh value fills two slots
  EXPECT_EQ(lut->inkd[7], 7);
  EXPECT_EQ(lut->inkd[18], 7);
}

TEST(GreyChunks, CtcnChunkStoresRecordsByInkId) {
  auto lut = std::make_unique<GreyLut>();
  GreyCtcnShape shape;
  shape.scale_kind = 2;
  shape.records = testkit::GreyDefaultTint();
  shape.records[3].knots[1] = -75;  // ink 3: on its lower bound
  ASSERT_EQ(Read(GreyChunkContainer({{"ctcn", GreyCtcnChunk(shape)}}), lut.get()), kStatusOk);
  EXPECT_EQ(lut->tint.scale_kind, 2);
  EXPECT_EQ(lut->tint.ranges[2][0], -75);
  EXPECT_EQ(lut->tint.ranges[2][1], 75);
  EXPECT_EQ(lut->tint.knots[3][1], -75);
  EXPECT_EQ(lut->tint.values[11][0], 75);
}

TEST(GreyChunks, EmptyDirectoryReadsNothing) {
  for (int32_t count : {0, -5}) {
    auto lut = std::make_unique<GreyLut>();
    EXPECT_EQ(Read(GreyChunkContainer({{"tgvm", GreyTableChunk({})}}, count), lut.get()),
              kStatusOk);
    EXPECT_EQ(lut->ink_count, 0);
  }
}

TEST(GreyChunks, CtcnWithoutFourKnotsEndsAfterItsHeader) {
  auto lut = std::make_unique<GreyLut>();
  const auto container = GreyChunkContainer({{"ctcn", {'c', 't', 'c', 'n', 8, 1, 3}}});
  EXPECT_EQ(Read(container, lut.get()), kStatusOk);
  EXPECT_EQ(lut->tint.ranges[0][1], 0);
}

// Damaged containers: each is refused with 768, never read past its end.
struct DamageCase {
  const char* name;
  std::vector<uint8_t> container;
};

std::vector<uint8_t> TableWith(void (*change)(GreyTableShape&)) {
  GreyTableShape shape;
  change(shape);
  return GreyChunkContainer({{"tgvm", GreyTableChunk(shape)}});
}

std::vector<uint8_t> CtcnWith(void (*change)(GreyCtcnShape&)) {
  GreyCtcnShape shape;
  shape.records = testkit::GreyDefaultTint();
  change(shape);
  return GreyChunkContainer({{"ctcn", GreyCtcnChunk(shape)}});
}

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t drop) {
  bytes.resize(bytes.size() - drop);
  return bytes;
}

class GreyChunksDamaged : public ::testing::TestWithParam<DamageCase> {};

TEST_P(GreyChunksDamaged, AreRefused) {
  auto lut = std::make_unique<GreyLut>();
  EXPECT_EQ(Read(GetParam().container, lut.get()), kStatusBadResource);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GreyChunksDamaged,
    ::testing::Values(
        DamageCase{"TagNotRepeated",
                   GreyChunkContainer({{"gama", GreyChunk("gamx", {1, 0, 0, 0})}})},
        DamageCase{"NegativeOffset", GreyChunkContainer({{"gama", {}, 0x80000000}})},
        DamageCase{"OffsetPastTheEnd", GreyChunkContainer({{"gama", {}, 4000}})},
        DamageCase{"DirectoryPastTheEnd",
                   GreyChunkContainer({{"gama", GreyChunk("gama", {1, 0, 0, 0})}}, 3)},
        DamageCase{"ShortHeader", std::vector<uint8_t>(20, 0)},
        DamageCase{"RstpNot8", GreyChunkContainer({{"rstp", GreyChunk("rstp", {7})}})},
        DamageCase{"EncdAbove3",
                   GreyChunkContainer({{"encd", GreyChunk("encd", {0, 0, 4, 0, 0})}})},
        DamageCase{"InkdCut", Cut(GreyChunkContainer({{"inkd", testkit::GreyInkdChunk(200)}}), 1)},
        DamageCase{"TableChannels0", TableWith([](GreyTableShape& s) { s.channels = 0; })},
        DamageCase{"TableChannels10", TableWith([](GreyTableShape& s) { s.channels = 10; })},
        DamageCase{"TableGammaBase0", TableWith([](GreyTableShape& s) { s.gamma_base = 0; })},
        DamageCase{"TableFullScale4", TableWith([](GreyTableShape& s) { s.full_scale_code = 4; })},
        DamageCase{"TableNineInks", TableWith([](GreyTableShape& s) { s.ink_ids.push_back(6); })},
        DamageCase{"TableInkId13", TableWith([](GreyTableShape& s) { s.ink_ids[5] = 13; })},
        DamageCase{"Table257Levels", TableWith([](GreyTableShape& s) { s.levels = 257; })},
        DamageCase{"TableCut", Cut(GreyChunkContainer({{"tgvm", GreyTableChunk({})}}), 1)},
        DamageCase{"CtcnSevenInks", CtcnWith([](GreyCtcnShape& s) { s.ink_count = 7; })},
        DamageCase{"CtcnScaleKind3", CtcnWith([](GreyCtcnShape& s) { s.scale_kind = 3; })},
        DamageCase{"CtcnRange74", CtcnWith([](GreyCtcnShape& s) { s.ranges[1][0] = 74; })},
        DamageCase{"CtcnInk6", CtcnWith([](GreyCtcnShape& s) { s.records[6].ink_id = 6; })},
        DamageCase{"CtcnInkId13", CtcnWith([](GreyCtcnShape& s) { s.records[0].ink_id = 13; })},
        DamageCase{"CtcnKnotOutside",
                   CtcnWith([](GreyCtcnShape& s) { s.records[2].knots[0] = 76; })},
        DamageCase{"CtcnY3NotZero", CtcnWith([](GreyCtcnShape& s) { s.records[4].values[2] = 1; })},
        DamageCase{"CtcnCut", Cut(CtcnWith([](GreyCtcnShape&) {}), 1)}),
    [](const ::testing::TestParamInfo<DamageCase>& info) { return std::string(info.param.name); });

TEST(GreyChunks, ValuesBeforeARefusalStay) {
  auto lut = std::make_unique<GreyLut>();
  const auto container = GreyChunkContainer(
      {{"gama", GreyChunk("gama", {9, 0, 0, 0})}, {"rstp", GreyChunk("rstp", {1})}});
  EXPECT_EQ(Read(container, lut.get()), kStatusBadResource);
  EXPECT_EQ(lut->gamma, 9u);
}

}  // namespace
