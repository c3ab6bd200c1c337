// The colour engine's corrections as the rendering library drives them through Tonvar.dll's
// exports: the resources each option asks for, the curve set and the remapped colour table in
// the descriptor that CmGetLut hands out, and damaged resources refused with a status.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "testkit/tonvar/colour_job.h"
#include "testkit/tonvar/container_encoder.h"
#include "testkit/tonvar/correction_job.h"
#include "testkit/tonvar/correction_resources.h"
#include "testkit/tonvar_dll/guarded_bytes.h"
#include "testkit/tonvar_dll/tonvar_client.h"
#include "testkit/tonvar_dll/tonvar_dll_test.h"
#include "tonvar/interface/lut_descriptor.h"

namespace {

using tonvar::LutDescriptor;

constexpr uint32_t kRankTableId = 3050;
constexpr uint32_t kHeaderTableId = 3900;
constexpr uint32_t kDotsId = 7000;
constexpr uint32_t kRateCurvesId = 50;

class CorrectionChain : public testkit::TonvarDllTest {
 protected:
  void TearDown() override { Delete(); }
  void Prepare(const testkit::CorrectionJobShape& shape = {}) {
    Delete();
    spec_ = shape;
    job_ = testkit::CorrectionJob(shape);
    options_ = testkit::OptionList();
  }
  // Every resource plain except the colour table, which goes compressed.
  testkit::FeedResult Run() {
    job_.params.options = options_.Get();
    testkit::ResourceMap map;
    for (const auto& [id, bytes] : job_.resources) {
      map.Add(id, id == testkit::kCorrectionTableId ? testkit::EncodeContainer(bytes) : bytes);
    }
    uint32_t first = 0;
    testkit::FeedResult result;
    result.status = dll().CmNew(&job_.params, &job_.job, 0, &first, &handle_);
    if (result.status != tonvar::kStatusOk) return result;
    return testkit::FeedResources(dll().CmSetResource, handle_, first, map);
  }
  const LutDescriptor* Lut() {
    tonvar::CmLutInfo* info = dll().CmGetLut(handle_);
    return info == nullptr ? nullptr : static_cast<const LutDescriptor*>(info->table);
  }
  void Delete() {
    if (handle_ != nullptr) {
      EXPECT_EQ(dll().CmDelete(handle_), tonvar::kStatusOk);
    }
    handle_ = nullptr;
  }
  std::vector<uint8_t> Ramp() const { return testkit::RampBody(testkit::CorrectionTableShape(spec_)); }

  testkit::CorrectionJobShape spec_;
  testkit::ColourJob job_;
  testkit::OptionList options_;
  void* handle_ = nullptr;
};

TEST_F(CorrectionChain, CurveTableOptionReachesTheDescriptorWithoutFurtherResources) {
  Prepare();
  std::vector<uint16_t> half(256);
  for (uint32_t l = 0; l < 256; ++l) half[l] = static_cast<uint16_t>(l * 8);
  const std::vector<uint8_t> table = testkit::BuildMemoryCurveTable({{1, {}}, {11, half}});
  options_.Add(560, table.data());
  const testkit::FeedResult fed = Run();
  ASSERT_EQ(fed.status, tonvar::kStatusOk);
  EXPECT_EQ(fed.ids, (std::vector<uint32_t>{0, 3100}));
  const LutDescriptor* lut = Lut();
  ASSERT_NE(lut, nullptr);
  EXPECT_EQ(lut->ink_curves_valid, 1u);
  EXPECT_EQ(lut->ink_curves->count, 2);
  EXPECT_EQ(lut->ink_curves->fraction_bits, 4);
  EXPECT_EQ(lut->ink_curves->ink_ids[1], 11);
  EXPECT_EQ(lut->ink_curves->curves[1][100], 800u);
}

TEST_F(CorrectionChain, RateOptionBuildsCurvesFromEveryDotCurveForm) {
  // W(l) = l in every form; ink 3 gets factor 1.0, ink 5 factor 0.5.
  auto linear = [](uint32_t levels) {
    return [levels](uint32_t l, uint32_t c) { return c == 0 ? static_cast<int32_t>(levels == 512 ? l / 2 : l) : 0; };
  };
  std::vector<std::pair<std::string, std::vector<uint8_t>>> blocks;
  for (uint16_t levels : {256, 512}) {
    testkit::DotCurveKind3Shape three;
    three.levels = levels;
    three.shift = 0;
    three.weights[0] = 1;
    three.weights[1] = three.weights[2] = 0;
    three.sample = linear(levels);
    blocks.emplace_back("kind 3, " + std::to_string(levels) + " levels", testkit::BuildDotCurveKind3(three));
    testkit::DotCurveKind4Shape four;
    four.levels = levels;
    four.table_weights[0] = 1;
    four.table_weights[1] = four.table_weights[2] = 0;
    four.entries = testkit::DotCurveEntriesFor(9);
    four.sample = linear(levels);
    blocks.emplace_back("kind 4, " + std::to_string(levels) + " levels", testkit::BuildDotCurveKind4(four));
  }
  const std::vector<uint16_t> one(256, 128), half(256, 0);
  for (const auto& [name, block] : blocks) {
    SCOPED_TRACE(name);
    Prepare();
    const std::vector<uint8_t> rates = testkit::BuildRateList({10, 20, 30, 10, 20, 30, 10, 20, 30});
    options_.Add(514, rates.data());
    testkit::RateHeaderShape header;
    header.column_count = 3;
    header.records = {{9, "IS9", {{3, {0}}, {5, {1}}}}};
    header.micro = {{"MIC", 0}};
    job_.resources[991] = testkit::BuildRateHeaderBlock(header);
    job_.resources[kDotsId] = block;
    job_.resources[kRateCurvesId] =
        testkit::BuildRateCurveBlock(0, 3, {{3, {one, one, one}}, {5, {half, half, half}}});
    const testkit::FeedResult fed = Run();
    ASSERT_EQ(fed.status, tonvar::kStatusOk);
    EXPECT_EQ(fed.ids, (std::vector<uint32_t>{0, 3100, 991, kDotsId, kRateCurvesId}));
    const LutDescriptor* lut = Lut();
    ASSERT_EQ(lut->ink_curves_valid, 1u);
    ASSERT_EQ(lut->ink_curves->count, 2);
    EXPECT_EQ(lut->ink_curves->fraction_bits, 8);
    EXPECT_EQ(lut->ink_curves->curves[0][99], 99u * 256);
    EXPECT_EQ(lut->ink_curves->curves[1][99], 99u * 128);
    // The colour table itself is not touched by this correction.
    const std::vector<uint8_t> ramp = Ramp();
    EXPECT_EQ(std::memcmp(lut->body, ramp.data(), ramp.size()), 0);
  }
}

TEST_F(CorrectionChain, RankOptionAsksByReferenceFormAndRemapsTheTable) {
  testkit::ModeTableShape header;
  header.version = 300;
  testkit::ModeRowShape row;
  row.table_id = 4321;
  row.mode = "MONO";
  header.rows = {row};
  const std::string defaults =
      "<version=\"10_00\"><id_row=3><id=0:30-30-30-30><id=1:30-30-30-30><id=2:30-30-30-30>"
      "<default_id_step=2><default_id_lowest_value=30><default_rank_upper_limmt=20>"
      "<default_nc_range=3>";
  auto markup = [&](const std::string& row_text) {
    return testkit::BuildIcDataBlock(defaults + "<mode> v_res mode &\n 720 " + row_text + " &\n</mode>");
  };
  testkit::DotCurveKind4Shape dots;
  dots.entries = testkit::DotCurveEntriesFor(9);
  struct Case {
    const char* name;
    int version;
    std::vector<uint8_t> reference;
    std::vector<uint32_t> asked;
    uint32_t ink0_row;
  } cases[] = {
      {"binary references", 501, testkit::BuildBinaryReference(5, {30, 30, 30, 30}),
       {0, 3100, 980, 990, kRankTableId}, 12},
      {"single markup", 501, markup("single n 1"), {0, 3100, 980, 990, kRankTableId}, 12},
      {"dual markup", 501, markup("dual n 1 n 2 n 3"), {0, 3100, 980, 990, kDotsId, kRankTableId}, 12},
      // The measured value 54 is held at lowest + upper limit, 50.
      {"smbrate markup", 501, markup("smbrate n 1 100 100 100"), {0, 3100, 980, 990, kDotsId, kRankTableId}, 10},
      {"binary references under a version-300 mode table", 300,
       testkit::BuildBinaryReference(5, {30, 30, 30, 30}), {0, 3100, 980, 990, kHeaderTableId, 4321}, 12},
  };
  const std::vector<uint8_t> lists = testkit::BuildCwLists(1, {{34, 30, 30, 30}, {34, 30, 30, 30}, {34, 30, 30, 30}});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testkit::CorrectionJobShape shape;
    shape.version = c.version;
    Prepare(shape);
    options_.Add(512, lists.data());
    job_.resources[980] = testkit::BuildInkMap({{1, {1, 0, 2, 3}}});
    job_.resources[990] = c.reference;
    job_.resources[kRankTableId] = testkit::BuildRankCurveTable(30);
    job_.resources[kHeaderTableId] = testkit::TextBytes(testkit::BuildModeTable(header));
    job_.resources[4321] = testkit::BuildRankCurveTable(30);
    job_.resources[kDotsId] = testkit::BuildDotCurveKind4(dots);
    const testkit::FeedResult fed = Run();
    ASSERT_EQ(fed.status, tonvar::kStatusOk);
    EXPECT_EQ(fed.ids, c.asked);
    // Ink 0 (34 against 30) goes to channel 1 through the ink map; ink 1 (30 against 30) to
    // channel 0: row 10.
    const LutDescriptor* lut = Lut();
    const std::vector<uint8_t> ramp = Ramp();
    for (size_t e = 0; e < ramp.size() / 4; e += 5) {
      ASSERT_EQ(lut->body[e * 4 + 0], testkit::RankCurveValue(10, ramp[e * 4 + 0])) << e;
      ASSERT_EQ(lut->body[e * 4 + 1], testkit::RankCurveValue(c.ink0_row, ramp[e * 4 + 1])) << e;
    }
  }
}

TEST_F(CorrectionChain, DualRanksReadEveryDotCurveForm) {
  std::vector<std::pair<std::string, std::vector<uint8_t>>> blocks;
  for (uint16_t levels : {256, 512}) {
    testkit::DotCurveKind3Shape three;
    three.levels = levels;
    blocks.emplace_back("kind 3, " + std::to_string(levels) + " levels", testkit::BuildDotCurveKind3(three));
    testkit::DotCurveKind4Shape four;
    four.levels = levels;
    four.entries = testkit::DotCurveEntriesFor(9);
    blocks.emplace_back("kind 4, " + std::to_string(levels) + " levels", testkit::BuildDotCurveKind4(four));
  }
  const std::vector<uint8_t> lists = testkit::BuildCwLists(1, {{34, 30, 30, 30}, {34, 30, 30, 30}, {34, 30, 30, 30}});
  const std::vector<uint8_t> markup = testkit::BuildIcDataBlock(
      "<id_row=3><id=0:30-30-30-30><id=1:30-30-30-30><id=2:30-30-30-30><default_id_step=2>"
      "<default_id_lowest_value=30><default_rank_upper_limmt=20><mode>mode&dual n 1 n 2 n 3&</mode>");
  for (const auto& [name, block] : blocks) {
    SCOPED_TRACE(name);
    Prepare();
    options_.Add(512, lists.data());
    job_.resources[980] = testkit::BuildInkMap({});
    job_.resources[990] = markup;
    job_.resources[kDotsId] = block;
    job_.resources[kRankTableId] = testkit::BuildRankCurveTable(30);
    const testkit::FeedResult fed = Run();
    ASSERT_EQ(fed.status, tonvar::kStatusOk);
    EXPECT_EQ(fed.ids, (std::vector<uint32_t>{0, 3100, 980, 990, kDotsId, kRankTableId}));
    // Every set holds 34 for ink 0 and 30 for the others: rows 12 and 10 at every level.
    const LutDescriptor* lut = Lut();
    const std::vector<uint8_t> ramp = Ramp();
    for (size_t e = 0; e < ramp.size() / 4; e += 3) {
      ASSERT_EQ(lut->body[e * 4 + 0], testkit::RankCurveValue(12, ramp[e * 4 + 0])) << e;
      ASSERT_EQ(lut->body[e * 4 + 3], testkit::RankCurveValue(10, ramp[e * 4 + 3])) << e;
    }
  }
}

TEST_F(CorrectionChain, DamagedCorrectionResourcesGiveAStatusAndTheHandleStaysUsable) {
  const std::vector<uint8_t> lists = testkit::BuildCwLists(1, {{34, 30, 30, 30}});
  const std::vector<uint8_t> rates = testkit::BuildRateList({1, 2, 3});
  struct Case {
    const char* name;
    uint32_t option;
    const uint8_t* value;
    uint32_t id;
    std::vector<uint8_t> bytes;
    uint32_t status;
  } cases[] = {
      {"ink map without its end", 512, lists.data(), 980, {1, 0, 0xFE, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       tonvar::kStatusBadResource},
      {"reference block of neither form", 512, lists.data(), 990, {20, 1, 2, 3, 4}, tonvar::kStatusBadResource},
      {"rate header magic", 514, rates.data(), 991, {'H', 'L', '>', 'c', 0, 0, 0, 0, 1, 0, 0, 0},
       tonvar::kStatusBadResource},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Prepare();
    options_.Add(c.option, c.value);
    job_.resources[980] = testkit::BuildInkMap({});
    job_.resources[990] = testkit::BuildBinaryReference(5, {30, 30, 30, 30});
    job_.resources[kRankTableId] = testkit::BuildRankCurveTable(30);
    job_.resources[c.id] = c.bytes;
    const testkit::FeedResult fed = Run();
    EXPECT_EQ(fed.status, c.status);
    EXPECT_EQ(fed.ids.back(), c.id);
    const LutDescriptor* lut = Lut();
    ASSERT_NE(lut, nullptr);
    EXPECT_EQ(lut->ink_curves_valid, 0u);
    const std::vector<uint8_t> ramp = Ramp();
    EXPECT_EQ(std::memcmp(lut->body, ramp.data(), ramp.size()), 0);
  }
}

// The ink map given as the single byte FF (no groups) against a no-access page: the step
// answers 990 and the identity map stays, so ink 0 (34 against 30) corrects channel 0.
TEST_F(CorrectionChain, InkMapOfTheEndMarkerAloneKeepsTheIdentityMap) {
  Prepare();
  const std::vector<uint8_t> lists = testkit::BuildCwLists(1, {{34, 30, 30, 30}});
  options_.Add(512, lists.data());
  job_.resources[980] = {0xFF};
  job_.resources[990] = testkit::BuildBinaryReference(5, {30, 30, 30, 30});
  job_.resources[kRankTableId] = testkit::BuildRankCurveTable(30);
  const testkit::FeedResult fed = Run();
  ASSERT_EQ(fed.status, tonvar::kStatusOk);
  EXPECT_EQ(fed.ids, (std::vector<uint32_t>{0, 3100, 980, 990, kRankTableId}));
  const LutDescriptor* lut = Lut();
  const std::vector<uint8_t> ramp = Ramp();
  for (size_t e = 0; e < ramp.size() / 4; e += 5) {
    ASSERT_EQ(lut->body[e * 4 + 0], testkit::RankCurveValue(12, ramp[e * 4 + 0])) << e;
    ASSERT_EQ(lut->body[e * 4 + 1], testkit::RankCurveValue(10, ramp[e * 4 + 1])) << e;
  }
}

// The shortest option values and correction resources each step takes, every one ending right
// before a no-access page (options as well as resources: the engine has no length for either).
TEST_F(CorrectionChain, ShortestOptionsAndResourcesAgainstNoAccessPages) {
  using Bytes = std::vector<uint8_t>;
  const Bytes four_lists = testkit::BuildCwLists(1, {{34, 30, 30, 30}});
  const Bytes header_only = testkit::BuildMemoryCurveTable({});
  struct Case {
    const char* name;
    uint32_t option;
    Bytes value;
    std::map<uint32_t, Bytes> resources;
    uint32_t status;
    std::vector<uint32_t> ids;
    uint32_t curves_valid;
  } cases[] = {
      // One list of one value, ended at once: four references against one value skip the correction.
      {"one-value list", 512, {'C', 'W', ':', 1, 34, 0xFE, 0xFF}, {{980, {0xFF}}, {990, {30, 30, 30, 30}}},
       tonvar::kStatusOk, {0, 3100, 980, 990}, 0},
      // References from byte 0 (first byte 30..70): exactly the table's four channels.
      {"references without a lead byte", 512, four_lists, {{980, {0xFF}}, {990, {30, 30, 30, 30}}},
       tonvar::kStatusOk, {0, 3100, 980, 990, kRankTableId}, 0},
      // Each tag compare stops at the first byte that differs from the tag.
      {"reference block leaving its tag at byte 1", 512, four_lists, {{980, {0xFF}}, {990, {'z', 'q'}}},
       tonvar::kStatusBadResource,
       {0, 3100, 980, 990}, 0},
      // Byte 1 counts the rates plus one; bytes 0 and 2 are not read, the single rate is 0.
      {"one zero rate", 514, {0, 2, 0, 0}, {}, tonvar::kStatusOk, {0, 3100}, 0},
      {"no rates", 514, {0, 1}, {}, tonvar::kStatusBadArgument, {0, 3100}, 0},
      {"rate header leaving its tag at byte 1", 514, {0, 2, 0, 10}, {{991, {'H', 'X'}}}, tonvar::kStatusBadResource,
       {0, 3100, 991}, 0},
      {"curve table of its header alone", 560, header_only, {}, tonvar::kStatusOk, {0, 3100}, 1},
      {"curve table of its size word alone", 560, {4, 0, 0, 0}, {}, tonvar::kStatusOk, {0, 3100}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Prepare();
    const testkit::GuardedBytes value(c.value);
    options_.Add(c.option, value.data());
    job_.resources[kRankTableId] = testkit::BuildRankCurveTable(30);
    for (const auto& [id, bytes] : c.resources) job_.resources[id] = bytes;
    const testkit::FeedResult fed = Run();
    EXPECT_EQ(fed.status, c.status);
    EXPECT_EQ(fed.ids, c.ids);
    const LutDescriptor* lut = Lut();
    ASSERT_NE(lut, nullptr);
    EXPECT_EQ(lut->ink_curves_valid, c.curves_valid);
    Delete();
  }
}

}  // namespace
