// The grey engine's step machine through its four operations: creation checks, the resource
// ids it asks for, the options, the final scaling and packing, and the release of its block.
#include "tonvar/grey/grey_engine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "testkit/tonvar/correction_resources.h"
#include "testkit/tonvar/grey_resources.h"
#include "tonvar/common/memory_faults.h"
#include "tonvar/grey/engine_operations.h"

namespace {

using namespace tonvar::grey;
namespace faults = tonvar::common::faults;
using tonvar::EngineCreateArgs;
using tonvar::GreyLut;
using tonvar::kNoMoreResources;
using tonvar::kStatusBadArgument;
using tonvar::kStatusBadResource;
using tonvar::kStatusOk;
using tonvar::ResourceId;

class GreyEngine : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(CmGreyDelete(&engine_), kStatusOk);
    EXPECT_EQ(faults::LiveBlocks(), 0);
  }

  tonvar::EngineStatus Create() {
    EngineCreateArgs args;
    args.params = &job_.params;
    args.job = &job_.job;
    ResourceId first = 0xDEAD;
    const tonvar::EngineStatus status = CmGreyNew(args, &first, &engine_);
    if (status == kStatusOk) {
      EXPECT_EQ(first, 0u);
    }
    asked_ = {first};
    return status;
  }

  // Feeds the asked resources from the job until the end, a refusal or a missing id.
  tonvar::EngineStatus Run() {
    const tonvar::EngineStatus created = Create();
    if (created != kStatusOk) return created;
    return Feed(0);
  }

  tonvar::EngineStatus Feed(ResourceId id) {
    while (true) {
      const auto it = job_.resources.find(id);
      if (it == job_.resources.end()) return kStatusBadResource;
      ResourceId next = 0xDEAD;
      const size_t size = bounded_ ? it->second.size() : tonvar::common::kUnboundedSize;
      const tonvar::EngineStatus status =
          CmGreySetResource(engine_, {it->second.data(), size}, &next);
      if (status != kStatusOk) return status;
      asked_.push_back(next);
      if (next == kNoMoreResources) return kStatusOk;
      id = next;
    }
  }

  const GreyLut& Lut() { return *static_cast<const GreyLut*>(CmGreyGetLut(engine_)); }
  const CmGreyEngine& State() const { return *static_cast<const CmGreyEngine*>(engine_); }

  faults::ScopedReset reset_;
  testkit::GreyColourJob job_;
  testkit::GreyOptionList options_;
  void* engine_ = nullptr;
  std::vector<ResourceId> asked_;
  bool bounded_ = true;  // false: resources as the client passes them, without a length
};

// The ramp table's packed row at level i: inks 1, 2 / 3, 0 / 4, 5 / 7, 11 are columns 0, 1 /
// 2, 3 / 4, 5 / 6, 7.
uint32_t RampWord(uint32_t level, int word) {
  return uint32_t{testkit::GreyRampAmount(level, 2 * word)} << 16 |
         testkit::GreyRampAmount(level, 2 * word + 1);
}

TEST_F(GreyEngine, MinimalChainPacksTheTable) {
  job_.AddMinimalResources();
  ASSERT_EQ(Run(), kStatusOk);
  EXPECT_EQ(asked_, (std::vector<ResourceId>{0, 100, kNoMoreResources}));
  EXPECT_EQ(State().step, kStepFinished);
  const GreyLut& lut = Lut();
  EXPECT_EQ(lut.first_halftone_id, 200u);
  for (uint32_t level : {0u, 1u, 128u, 255u}) {
    for (int w = 0; w < 4; ++w)
      EXPECT_EQ(lut.table.packed.rows[level].words[w], RampWord(level, w));
  }
  // The hand-over without option 514: reset around the INK-ID, names left empty.
  const tonvar::GreyHandover& h = lut.handover;
  EXPECT_EQ(h.ink_resource_id, 300u);
  EXPECT_EQ(h.values[127], 0xFFFFFFFFu);
  EXPECT_EQ(h.ink_codes[15], -1);
  EXPECT_EQ(h.value_table[5][15][2], 0xFFFFFFFFu);
  EXPECT_EQ(h.value_count, 0u);
  EXPECT_EQ(h.list_flag, 0u);
  EXPECT_EQ(h.selected_set, 0);
  EXPECT_EQ(h.ink_set_name[0], 0);
}

TEST_F(GreyEngine, FinishedEngineRefusesFurtherResources) {
  job_.AddMinimalResources();
  ASSERT_EQ(Run(), kStatusOk);
  EXPECT_EQ(Feed(100), kStatusBadResource);
}

TEST_F(GreyEngine, RefusedStepCanBeTriedAgain) {
  job_.AddMinimalResources();
  const auto table = job_.resources[0];
  job_.resources[0] = testkit::GreyTextResource("//499\r\n");
  ASSERT_EQ(Run(), kStatusBadResource);
  EXPECT_EQ(State().step, 1);
  job_.resources[0] = table;
  ASSERT_EQ(Feed(0), kStatusOk);
  EXPECT_EQ(State().step, kStepFinished);
}

TEST_F(GreyEngine, TableScale) {
  struct Case {
    uint32_t scale;
    tonvar::EngineStatus status;
    uint16_t at_200;  // level 200, column 0: 40000
  };
  const Case cases[] = {{1024, kStatusOk, 40000},
                        {8192, kStatusOk, 65280},
                        {512, kStatusOk, 20000},
                        {127, kStatusBadArgument, 0},
                        {8193, kStatusBadArgument, 0}};
  for (const Case& c : cases) {
    testkit::GreyOptionList options;
    options.Value(kOptionTableScale, c.scale);
    job_.params.options = options.Get();
    job_.AddMinimalResources();
    EXPECT_EQ(Run(), c.status) << c.scale;
    if (c.status == kStatusOk) {
      EXPECT_EQ(Lut().table.packed.rows[200].words[0] >> 16, c.at_200) << c.scale;
    } else {
      EXPECT_EQ(State().step, 2) << c.scale;
    }
    EXPECT_EQ(CmGreyDelete(&engine_), kStatusOk);
  }
}

TEST_F(GreyEngine, ScaleOf1024PacksAmountsAboveFullScaleUnchanged) {
  job_.AddMinimalResources();
  testkit::GreyTableShape shape;
  shape.levels = 1;
  shape.amounts = {65535, 1, 2, 3, 4, 5, 6, 7};
  job_.resources[100] = testkit::GreyChunkContainer({{"tgvm", testkit::GreyTableChunk(shape)}});
  ASSERT_EQ(Run(), kStatusOk);
  EXPECT_EQ(Lut().table.packed.rows[0].words[0], 0xFFFF0001u);
}

TEST_F(GreyEngine, HandoverOfOption514) {
  options_.Value(kOptionTableScale, 1024)
      .Bytes(kOptionHandover, testkit::BuildRateList({0, 7, 0, 9}));
  job_.params.options = options_.Get();
  job_.AddMinimalResources();
  ASSERT_EQ(Run(), kStatusOk);
  EXPECT_EQ(asked_, (std::vector<ResourceId>{0, 100, kNoMoreResources}));
  const tonvar::GreyHandover& h = Lut().handover;
  EXPECT_EQ(h.value_count, 4u);
  EXPECT_EQ(h.values[0], 0u);
  EXPECT_EQ(h.values[1], 7u);
  EXPECT_EQ(h.values[3], 9u);
  EXPECT_EQ(h.values[4], 0xFFFFFFFFu);
  EXPECT_EQ(h.list_flag, 1u);
  EXPECT_EQ(h.ink_set, 9u);
  EXPECT_STREQ(h.ink_set_name, "K8");
  EXPECT_STREQ(h.micro_name, "MX");
  EXPECT_EQ(h.ink_resource_id, 300u);
}

TEST_F(GreyEngine, Option514WinsOverOption512AndItsCountIsChecked) {
  // 514 after 512 in the list: 514 is still the one taken.
  options_.Bytes(kOptionCwList, {'C', 'W', ':'})
      .Bytes(kOptionHandover, testkit::BuildRateList({0, 0}));
  job_.params.options = options_.Get();
  job_.AddMinimalResources();
  ASSERT_EQ(Run(), kStatusOk);
  EXPECT_EQ(asked_.size(), 3u);
  EXPECT_EQ(Lut().handover.list_flag, 0u);  // every value 0
  ASSERT_EQ(CmGreyDelete(&engine_), kStatusOk);

  for (uint8_t n : {0, 129}) {
    std::vector<uint8_t> list = testkit::BuildRateList(std::vector<uint8_t>(130, 1));
    list[1] = n;
    testkit::GreyOptionList options;
    options.Bytes(kOptionHandover, list);
    job_.params.options = options.Get();
    EXPECT_EQ(Run(), kStatusBadResource) << int{n};
    EXPECT_EQ(CmGreyDelete(&engine_), kStatusOk);
  }
}

TEST_F(GreyEngine, FiveStepsWithOption512) {
  options_.Bytes(kOptionCwList, testkit::GreyColourJob::CwList());
  job_.params.options = options_.Get();
  job_.AddMinimalResources();
  job_.AddCorrectionResources();
  ASSERT_EQ(Run(), kStatusOk);
  EXPECT_EQ(asked_, (std::vector<ResourceId>{0, 100, 990, 200, 300, kNoMoreResources}));
  const auto& rows = Lut().table.packed.rows;
  // Ink 1 (column 0) of levels 2 and above follows row 3 of the curves; levels 0 and 1 have no
  // dots to weigh; the other inks are within the range.
  EXPECT_EQ(rows[1].words[0], RampWord(1, 0));
  EXPECT_EQ(rows[100].words[0] >> 16, 3000u + 20000 / 2);
  EXPECT_EQ(rows[200].words[0] >> 16, 19384u + (40000 - 32768) * 16384 / 32767);
  EXPECT_EQ(rows[100].words[0] & 0xFFFF, testkit::GreyRampAmount(100, 1));
  EXPECT_EQ(rows[100].words[3], RampWord(100, 3));
  EXPECT_EQ(State().weights[2], 4);
}

TEST_F(GreyEngine, KindThreeDotCurvesServeEveryInk) {
  // One table for all inks, with the same samples and weights as the kind-4 block.
  options_.Bytes(kOptionCwList, testkit::GreyColourJob::CwList());
  job_.params.options = options_.Get();
  job_.AddMinimalResources();
  job_.AddCorrectionResources();
  job_.resources[200] = testkit::BuildDotCurveKind3({});
  ASSERT_EQ(Run(), kStatusOk);
  EXPECT_EQ(Lut().table.packed.rows[100].words[0] >> 16, 3000u + 20000 / 2);
  EXPECT_EQ(Lut().table.packed.rows[1].words[0], RampWord(1, 0));
}

TEST_F(GreyEngine, FiveStepsOnResourcesWithoutALength) {
  // The readers stop at the end their formats give (the sanitizers watch the host run).
  bounded_ = false;
  options_.Bytes(kOptionCwList, testkit::GreyColourJob::CwList());
  job_.params.options = options_.Get();
  job_.AddMinimalResources();
  job_.AddCorrectionResources();
  ASSERT_EQ(Run(), kStatusOk);
  EXPECT_EQ(asked_.size(), 6u);
  EXPECT_EQ(Lut().table.packed.rows[100].words[0] >> 16, 3000u + 20000 / 2);
}

TEST_F(GreyEngine, StepRefusals) {
  options_.Bytes(kOptionCwList, testkit::GreyColourJob::CwList());
  job_.params.options = options_.Get();
  job_.AddMinimalResources();
  job_.AddCorrectionResources();
  auto dots = job_.resources[200];
  dots[8] = 5;  // neither kind 3 nor kind 4
  std::swap(job_.resources[200], dots);
  ASSERT_EQ(Run(), kStatusBadResource);
  EXPECT_EQ(State().step, 4);
  std::swap(job_.resources[200], dots);
  auto curves = job_.resources[300];
  job_.resources[300][0] = 'x';  // no "tgvm"
  EXPECT_EQ(Feed(200), kStatusBadResource);
  EXPECT_EQ(State().step, 5);
  job_.resources[300] = curves;
  EXPECT_EQ(Feed(300), kStatusOk);
}

TEST_F(GreyEngine, PackingNeedsEightInksWithEveryId) {
  job_.AddMinimalResources();
  testkit::GreyTableShape shape;
  shape.ink_ids = {1, 2, 3, 0, 4, 5, 7, 12};  // no ink 11
  job_.resources[100] = testkit::GreyChunkContainer({{"tgvm", testkit::GreyTableChunk(shape)}});
  EXPECT_EQ(Run(), kStatusBadResource);
  EXPECT_EQ(State().step, kStepFinished);
  ASSERT_EQ(CmGreyDelete(&engine_), kStatusOk);

  job_.resources[100] = testkit::GreyChunkContainer({});  // no table at all
  EXPECT_EQ(Run(), kStatusBadResource);
}

struct CreateCase {
  const char* name;
  void (*change)(testkit::GreyColourJob&);
  tonvar::EngineStatus status;
};

class GreyEngineCreate : public GreyEngine, public ::testing::WithParamInterface<CreateCase> {};

TEST_P(GreyEngineCreate, ChecksTheJobAndTheAdjustments) {
  GetParam().change(job_);
  EXPECT_EQ(Create(), GetParam().status);
  EXPECT_EQ(engine_ == nullptr, GetParam().status != kStatusOk);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GreyEngineCreate,
    ::testing::Values(
        CreateCase{"Default", [](testkit::GreyColourJob&) {}, kStatusOk},
        CreateCase{"DocumentType2", [](testkit::GreyColourJob& j) { j.params.document_type = 2; },
                   kStatusBadResource},
        CreateCase{"NoAdjustments",
                   [](testkit::GreyColourJob& j) { j.params.tone_adjustments = nullptr; },
                   kStatusBadArgument},
        CreateCase{"ChannelOrder0", [](testkit::GreyColourJob& j) { j.job.channel_order = 0; },
                   kStatusBadArgument},
        CreateCase{"InkSet5", [](testkit::GreyColourJob& j) { j.job.ink_set = 5; },
                   kStatusBadArgument},
        CreateCase{"ThreeBitsPerDot", [](testkit::GreyColourJob& j) { j.job.bits_per_dot = 3; },
                   kStatusBadArgument},
        CreateCase{"OneBitPerDot", [](testkit::GreyColourJob& j) { j.job.bits_per_dot = 1; },
                   kStatusOk},
        CreateCase{"TintOnTheCircle",
                   [](testkit::GreyColourJob& j) {
                     j.tone[0] = 45;
                     j.tone[1] = 60;
                   },
                   kStatusOk},
        CreateCase{"TintOutside",
                   [](testkit::GreyColourJob& j) {
                     j.tone[0] = 45;
                     j.tone[1] = 61;
                   },
                   kStatusBadArgument},
        CreateCase{"GammaZero", [](testkit::GreyColourJob& j) { j.tone[2] = 0; },
                   kStatusBadArgument},
        CreateCase{"Mid26", [](testkit::GreyColourJob& j) { j.tone[3] = 26; }, kStatusBadArgument},
        CreateCase{"ContrastMinus26", [](testkit::GreyColourJob& j) { j.tone[4] = -26; },
                   kStatusBadArgument},
        CreateCase{"HighEnd25", [](testkit::GreyColourJob& j) { j.tone[6] = 25; }, kStatusOk},
        CreateCase{"LiftMinus50", [](testkit::GreyColourJob& j) { j.tone[7] = -50; }, kStatusOk},
        CreateCase{"LiftMinus51", [](testkit::GreyColourJob& j) { j.tone[7] = -51; },
                   kStatusBadArgument},
        CreateCase{"Lift1", [](testkit::GreyColourJob& j) { j.tone[7] = 1; }, kStatusBadArgument},
        CreateCase{"ScaleDown2", [](testkit::GreyColourJob& j) { j.tone[8] = 2; },
                   kStatusBadArgument}),
    [](const ::testing::TestParamInfo<CreateCase>& info) { return std::string(info.param.name); });

TEST_F(GreyEngine, CreationReleasesItsBlockOnFailure) {
  faults::FailNth(faults::MemOp::kAlloc, 1);
  EXPECT_EQ(Create(), tonvar::kStatusAllocFailed);
  EXPECT_EQ(engine_, nullptr);
  faults::FailNth(faults::MemOp::kLock, 1);
  EXPECT_EQ(Create(), tonvar::kStatusLockFailed);
  EXPECT_EQ(engine_, nullptr);
  EXPECT_EQ(faults::LiveBlocks(), 0);
}

TEST_F(GreyEngine, DeleteReportsAFailedFree) {
  ASSERT_EQ(Create(), kStatusOk);
  faults::FailNth(faults::MemOp::kFree, 1);
  EXPECT_EQ(CmGreyDelete(&engine_), tonvar::kStatusFreeFailed);
  EXPECT_EQ(engine_, nullptr);
}

}  // namespace
