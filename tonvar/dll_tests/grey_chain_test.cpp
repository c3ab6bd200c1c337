// The grey colour-matching chain as the rendering library runs it, through Tonvar.dll's
// exports: CmNew with document type 7, CmSetResource for every id asked for, CmGetLut (a grey
// table), CmDelete.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "testkit/tonvar/container_encoder.h"
#include "testkit/tonvar/correction_resources.h"
#include "testkit/tonvar/grey_resources.h"
#include "testkit/tonvar_dll/tonvar_client.h"
#include "testkit/tonvar_dll/tonvar_dll_test.h"
#include "tonvar/interface/grey_lut.h"

namespace {

using tonvar::GreyLut;
using tonvar::kNoMoreResources;

constexpr uint32_t kOptionCwList = 512;
constexpr uint32_t kOptionHandover = 514;

class GreyChain : public testkit::TonvarDllTest {
 protected:
  void SetUp() override {
    TonvarDllTest::SetUp();
    if (HasFatalFailure()) return;
    job_.AddMinimalResources();
  }
  void TearDown() override {
    if (handle_ != nullptr) {
      EXPECT_EQ(dll().CmDelete(handle_), tonvar::kStatusOk);
    }
  }
  // The header table compressed in the engine's container, the other resources plain.
  testkit::FeedResult Run() {
    testkit::ResourceMap map;
    for (const auto& [id, bytes] : job_.resources) {
      map.Add(id, id == 0 ? testkit::EncodeContainer(bytes) : bytes);
    }
    uint32_t first = 0xDEAD;
    testkit::FeedResult result;
    result.status = dll().CmNew(&job_.params, &job_.job, 0, &first, &handle_);
    if (result.status != tonvar::kStatusOk) return result;
    return testkit::FeedResources(dll().CmSetResource, handle_, first, map);
  }

  const GreyLut* Lut() {
    tonvar::CmLutInfo* info = dll().CmGetLut(handle_);
    EXPECT_NE(info, nullptr);
    if (info == nullptr) return nullptr;
    EXPECT_EQ(info->table_kind, tonvar::kTableGrey);
    return static_cast<const GreyLut*>(info->table);
  }

  testkit::GreyColourJob job_;
  testkit::GreyOptionList options_;
  void* handle_ = nullptr;
};

uint32_t RampWord(uint32_t level, int word) {
  return uint32_t{testkit::GreyRampAmount(level, 2 * word)} << 16 |
         testkit::GreyRampAmount(level, 2 * word + 1);
}

TEST_F(GreyChain, MinimalChainPacksTheHandComputedTable) {
  const testkit::FeedResult fed = Run();
  ASSERT_EQ(fed.status, tonvar::kStatusOk);
  EXPECT_EQ(fed.ids, (std::vector<uint32_t>{0, 100}));
  const GreyLut* lut = Lut();
  ASSERT_NE(lut, nullptr);
  EXPECT_EQ(lut->first_halftone_id, 200u);
  // Level i, inks 1, 2, 3, 0, 4, 5, 7, 11 in columns 0..7: 200 i + 10 column.
  for (uint32_t level = 0; level < 256; ++level) {
    for (int w = 0; w < 4; ++w)
      ASSERT_EQ(lut->table.packed.rows[level].words[w], RampWord(level, w));
  }
  EXPECT_EQ(lut->table.packed.rows[255].words[0], (51000u << 16) | 51010u);
}

TEST_F(GreyChain, FiveStepsWithOption512) {
  options_.Bytes(kOptionCwList, testkit::GreyColourJob::CwList());
  job_.params.options = options_.Get();
  job_.AddCorrectionResources();
  const testkit::FeedResult fed = Run();
  ASSERT_EQ(fed.status, tonvar::kStatusOk);
  EXPECT_EQ(fed.ids, (std::vector<uint32_t>{0, 100, 990, 200, 300}));
  const GreyLut* lut = Lut();
  ASSERT_NE(lut, nullptr);
  // Ink 1 moves to row 3 of the correction curves where it lays down dots (levels 2 on).
  EXPECT_EQ(lut->table.packed.rows[1].words[0], RampWord(1, 0));
  EXPECT_EQ(lut->table.packed.rows[2].words[0] >> 16, 3000u + 400 / 2);
  EXPECT_EQ(lut->table.packed.rows[100].words[0] >> 16, 3000u + 20000 / 2);
  EXPECT_EQ(lut->table.packed.rows[100].words[0] & 0xFFFF, 20010u);
  EXPECT_EQ(lut->table.packed.rows[255].words[2], RampWord(255, 2));
}

TEST_F(GreyChain, HandoverOfOption514) {
  options_.Bytes(kOptionHandover, testkit::BuildRateList({3, 0, 5}));
  job_.params.options = options_.Get();
  ASSERT_EQ(Run().status, tonvar::kStatusOk);
  const GreyLut* lut = Lut();
  ASSERT_NE(lut, nullptr);
  const tonvar::GreyHandover& h = lut->handover;
  EXPECT_EQ(h.value_count, 3u);
  EXPECT_EQ(h.values[0], 3u);
  EXPECT_EQ(h.values[2], 5u);
  EXPECT_EQ(h.values[3], 0xFFFFFFFFu);
  EXPECT_EQ(h.ink_resource_id, 300u);
  EXPECT_EQ(h.ink_set, 9u);
  EXPECT_EQ(h.list_flag, 1u);
  EXPECT_STREQ(h.ink_set_name, "K8");
  EXPECT_STREQ(h.micro_name, "MX");
  EXPECT_EQ(h.ink_codes[0], -1);
}

TEST_F(GreyChain, ToneCurveResamplesTheTable) {
  job_.tone[8] = 1;  // the curve scaled by 0.9608: level 255 reads at 245.004
  ASSERT_EQ(Run().status, tonvar::kStatusOk);
  const GreyLut* lut = Lut();
  ASSERT_NE(lut, nullptr);
  const uint32_t word = lut->table.packed.rows[255].words[0];
  EXPECT_NEAR(static_cast<double>(word >> 16), 49000, 1);
  EXPECT_NEAR(static_cast<double>(word & 0xFFFF), 49010, 1);
}

TEST_F(GreyChain, RefusalsThroughTheExports) {
  struct Case {
    const char* name;
    uint32_t id;
    std::vector<uint8_t> bytes;
    uint32_t status;
    std::vector<uint32_t> ids;
  };
  testkit::GreyTableShape ink_13;
  ink_13.ink_ids = {1, 2, 3, 0, 4, 5, 7, 13};
  testkit::GreyHeaderRowShape dither;
  dither.halftone = "Dith";
  const Case cases[] = {
      {"header without a fitting row",
       0,
       testkit::GreyTextResource(testkit::GreyHeaderTable({dither})),
       tonvar::kStatusBadResource,
       {0}},
      {"container with a bad ink id",
       100,
       testkit::GreyChunkContainer({{"tgvm", testkit::GreyTableChunk(ink_13)}}),
       tonvar::kStatusBadResource,
       {0, 100}},
      {"container without a table",
       100,
       testkit::GreyChunkContainer({}),
       tonvar::kStatusBadResource,
       {0, 100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testkit::GreyColourJob job;
    job.AddMinimalResources();
    job.resources[c.id] = c.bytes;
    std::swap(job_.resources, job.resources);
    const testkit::FeedResult fed = Run();
    EXPECT_EQ(fed.status, c.status);
    EXPECT_EQ(fed.ids, c.ids);
    EXPECT_EQ(dll().CmDelete(handle_), tonvar::kStatusOk);
    handle_ = nullptr;
  }
  job_.tone[0] = 75;
  job_.tone[1] = 1;
  EXPECT_EQ(Run().status, tonvar::kStatusBadArgument);
  EXPECT_EQ(handle_, nullptr);
}

}  // namespace
