// Engine interface: argument refusals, handle blocks under every memory failure, and the
// container reader in front of every engine step.
#include "tonvar/interface/dispatch.h"

#include <gtest/gtest.h>

#include <vector>

#include "testkit/tonvar/colour_job.h"
#include "testkit/tonvar/container_encoder.h"
#include "testkit/tonvar/damaged_containers.h"
#include "testkit/tonvar/sample_tables.h"
#include "tonvar/common/memory_faults.h"
#include "tonvar/grey_input/engine_operations.h"
#include "tonvar/interface/engine_table.h"

namespace tonvar {
namespace {

namespace faults = common::faults;

using faults::MemOp;

auto* const kPoisonCm = reinterpret_cast<CmHandle*>(uintptr_t{0xDEADBEEF});
auto* const kPoisonHalftone = reinterpret_cast<HalftoneHandle*>(uintptr_t{0xDEADBEEF});
constexpr ResourceId kPoisonId = 0xDEADBEEF;

class Interface : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(faults::LiveBlocks(), 0); }
  faults::ScopedReset reset_;
  CmParams params_{};
  RasterJob job_{};
  ResourceId id_ = kPoisonId;
};

TEST_F(Interface, NullHandlesAreRefused) {
  const uint8_t plain[16] = {'K', 'V'};
  const HalftoneBand band{};
  EXPECT_EQ(GetCmLutInfo(nullptr), nullptr);
  EXPECT_EQ(ApplyCmResource(nullptr, plain, &id_), kStatusBadArgument);
  EXPECT_EQ(DeleteCmHandle(nullptr), kStatusBadArgument);
  EXPECT_EQ(ApplyHalftoneResource(nullptr, plain, &id_), kStatusBadArgument);
  EXPECT_EQ(RunHalftone(nullptr, band), kStatusBadArgument);
  EXPECT_EQ(DeleteHalftoneHandle(nullptr), kStatusBadArgument);
  EXPECT_EQ(id_, kPoisonId);
}

// A refused CmNew allocates nothing and, like every failed CmNew, leaves a null out-handle
// (callers may delete whatever it holds after a failure).
TEST_F(Interface, CmNewRefusesMissingRecordsAndLeavesANullHandle) {
  const struct {
    const char* name;
    bool params, job, first_id;
  } cases[] = {{"no parameters", false, true, true},
               {"no job", true, false, true},
               {"no first-id", true, true, false}};
  for (const auto& c : cases) {
    CmHandle* out = kPoisonCm;
    EXPECT_EQ(NewCmHandle(c.params ? &params_ : nullptr, c.job ? &job_ : nullptr, 0,
                          c.first_id ? &id_ : nullptr, &out),
              kStatusBadArgument)
        << c.name;
    EXPECT_EQ(out, nullptr) << c.name;
  }
  EXPECT_EQ(NewCmHandle(&params_, &job_, 0, &id_, nullptr), kStatusBadArgument);
  EXPECT_EQ(id_, kPoisonId);
  EXPECT_EQ(faults::Calls(MemOp::kAlloc), 0);
}

TEST_F(Interface, CmNewHandleBlockFailures) {
  for (auto [op, status] : {std::pair{MemOp::kAlloc, kStatusAllocFailed},
                            std::pair{MemOp::kLock, kStatusLockFailed}}) {
    CmHandle* out = kPoisonCm;
    faults::FailNth(op, 1);
    EXPECT_EQ(NewCmHandle(&params_, &job_, 0, &id_, &out), status);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(faults::LiveBlocks(), 0);
  }
}

// The rules of the engine table, on every document type and every ink set.
TEST_F(Interface, EnginesAreChosenByTheTableRules) {
  for (int32_t document_type = 0; document_type <= 9; ++document_type) {
    params_.document_type = document_type;
    EXPECT_EQ(ChooseCmEngine(params_), document_type == 7 ? kEngineGrey : kEngineColour)
        << document_type;
  }
  const struct {
    uint32_t table_kind;
    uint32_t ink_set;
    EngineId engine;
  } cases[] = {{kTableGrey, 0, kEngineGreyInput},     {kTableGrey, 9, kEngineGreyInput},
               {kTableColour, 0, kEngineScreening},   {kTableColour, 5, kEngineScreening},
               {kTableColour, 1, kEngineMultiLevel},  {kTableColour, 3, kEngineMultiLevel},
               {kTableColour, 4, kEngineMultiLevel},  {kTableColour, 6, kEngineMultiLevel},
               {kTableColour, 7, kEngineMultiLevel},  {kTableColour, 9, kEngineMultiLevel}};
  for (const auto& c : cases) {
    job_.ink_set = c.ink_set;
    EXPECT_EQ(ChooseHalftoneEngine(job_, CmLutInfo{c.table_kind, 0, nullptr}), c.engine)
        << c.table_kind << " " << c.ink_set;
  }
}

// CmNew through the table over real resources: the colour engine takes every document type
// but 7 and finishes a table from the kit's resources; the grey engine (7) refuses the colour
// job, which hands it no tone adjustments, and a refusal leaves no handle and no block.
TEST_F(Interface, CmNewChoosesTheEngineByDocumentType) {
  const struct {
    int32_t document_type;
    EngineStatus created;
    uint32_t table_kind;
  } cases[] = {{0, kStatusOk, kTableColour},
               {1, kStatusOk, kTableColour},
               {2, kStatusOk, kTableColour},
               {4, kStatusOk, kTableColour},
               {7, kStatusBadArgument, kTableGrey}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.document_type);
    testkit::ColourJob job;
    job.AddOneRowTables(1100, testkit::BuildTaggedColourTable({}));
    job.params.document_type = c.document_type;
    CmHandle* out = kPoisonCm;
    ASSERT_EQ(NewCmHandle(&job.params, &job.job, 0, &id_, &out), c.created);
    if (c.created != kStatusOk) {
      EXPECT_EQ(out, nullptr);
      EXPECT_EQ(faults::LiveBlocks(), 0);
      continue;
    }
    ASSERT_NE(out, nullptr);
    std::vector<ResourceId> asked;
    EngineStatus status = kStatusOk;
    for (int guard = 0; guard < 8 && status == kStatusOk && id_ != kNoMoreResources; ++guard) {
      asked.push_back(id_);
      status = ApplyCmResource(out, job.resources.at(id_).data(), &id_);
    }
    EXPECT_EQ(status, kStatusOk);
    EXPECT_EQ(asked, (std::vector<ResourceId>{0, 1100}));
    CmLutInfo* info = GetCmLutInfo(out);
    ASSERT_EQ(info, &out->lut);
    EXPECT_EQ(info->table_kind, c.table_kind);
    EXPECT_NE(info->table, nullptr);
    EXPECT_EQ(DeleteCmHandle(out), kStatusOk);
  }
}

// A handle is refused (512) by every call of the other kind, and stays usable by its own.
TEST_F(Interface, HandlesOfTheOtherKindAreRefused) {
  testkit::ColourJob job;
  CmHandle* cm = nullptr;
  ASSERT_EQ(NewCmHandle(&job.params, &job.job, 0, &id_, &cm), kStatusOk);
  auto* cm_as_halftone = reinterpret_cast<HalftoneHandle*>(cm);
  const uint8_t plain[16] = {'K', 'V'};
  const HalftoneBand band{};
  ResourceId next = kPoisonId;
  EXPECT_EQ(ApplyHalftoneResource(cm_as_halftone, plain, &next), kStatusBadArgument);
  EXPECT_EQ(RunHalftone(cm_as_halftone, band), kStatusBadArgument);
  EXPECT_EQ(DeleteHalftoneHandle(cm_as_halftone), kStatusBadArgument);
  EXPECT_EQ(next, kPoisonId);
  EXPECT_EQ(GetCmLutInfo(cm), &cm->lut);

  // No halftoning engine accepts a job yet: a handle block is made by hand for the other way.
  common::MemHandle block = common::MemAlloc(sizeof(HalftoneHandle), 1);
  auto* halftone = static_cast<HalftoneHandle*>(common::MemLock(block));
  halftone->self = block;
  halftone->kind = kHandleHalftoning;
  halftone->engine_id = kEngineScreening;
  auto* halftone_as_cm = reinterpret_cast<CmHandle*>(halftone);
  const int live = faults::LiveBlocks();
  EXPECT_EQ(ApplyCmResource(halftone_as_cm, plain, &next), kStatusBadArgument);
  EXPECT_EQ(GetCmLutInfo(halftone_as_cm), nullptr);
  EXPECT_EQ(DeleteCmHandle(halftone_as_cm), kStatusBadArgument);
  EXPECT_EQ(next, kPoisonId);
  EXPECT_EQ(faults::LiveBlocks(), live) << "neither handle was released by the wrong call";

  EXPECT_EQ(DeleteCmHandle(cm), kStatusOk);
  void* none = nullptr;
  EXPECT_EQ(DeleteHalftoneHandle(halftone), EngineRowOf(kEngineScreening).destroy(&none));
}

// A refused HalftoneNew allocates nothing and, like CmNew, leaves a null out-handle.
TEST_F(Interface, HalftoneNewRefusesMissingArgumentsAndLeavesANullHandle) {
  CmLutInfo colour{kTableColour, 0, nullptr};
  CmLutInfo grey{kTableGrey, 0, nullptr};
  CmLutInfo* const no_first[2] = {nullptr, &colour};
  CmLutInfo* const grey_second[2] = {&colour, &grey};
  CmLutInfo* const good[2] = {&colour, nullptr};
  const struct {
    const char* name;
    const RasterJob* job;
    CmLutInfo* const* luts;
    ResourceId* first_id;
  } cases[] = {{"no tables", &job_, nullptr, &id_},
               {"no first table", &job_, no_first, &id_},
               {"grey table behind a colour table", &job_, grey_second, &id_},
               {"no job", nullptr, good, &id_},
               {"no first-id", &job_, good, nullptr}};
  for (const auto& c : cases) {
    HalftoneHandle* out = kPoisonHalftone;
    EXPECT_EQ(NewHalftoneHandle(c.job, c.luts, 0, c.first_id, &out), kStatusBadArgument) << c.name;
    EXPECT_EQ(out, nullptr) << c.name;
  }
  EXPECT_EQ(NewHalftoneHandle(&job_, good, 0, &id_, nullptr), kStatusBadArgument);
  EXPECT_EQ(id_, kPoisonId);
  EXPECT_EQ(faults::Calls(MemOp::kAlloc), 0);
}

// Two grey tables are not the interface's to refuse: the grey-input engine answers for any
// second table, and its status comes back unchanged.
TEST_F(Interface, HalftoneNewLeavesASecondTableBehindAGreyTableToTheGreyEngine) {
  uint8_t grey_table[16] = {};
  CmLutInfo grey{kTableGrey, 0, grey_table};
  for (CmLutInfo second : {CmLutInfo{kTableGrey, 0, grey_table},
                           CmLutInfo{kTableColour, 0, grey_table}}) {
    CmLutInfo* const luts[2] = {&grey, &second};
    EngineCreateArgs args;
    args.job = &job_;
    args.tables[0] = args.tables[1] = grey_table;
    void* engine = nullptr;
    ResourceId engine_id = kPoisonId;
    const EngineStatus expected = grey_input::GreyHalftoneNew(args, &engine_id, &engine);
    ASSERT_NE(expected, kStatusOk) << "a grey engine must refuse a second table";
    const int allocations = faults::Calls(MemOp::kAlloc);
    HalftoneHandle* out = kPoisonHalftone;
    EXPECT_EQ(NewHalftoneHandle(&job_, luts, 0, &id_, &out), expected) << second.table_kind;
    EXPECT_GT(faults::Calls(MemOp::kAlloc), allocations) << "handle block made for the engine";
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(faults::LiveBlocks(), 0);
  }
}

TEST_F(Interface, HalftoneNewClearsTheOutHandleOnFailure) {
  CmLutInfo colour{kTableColour, 0, nullptr};
  CmLutInfo* const luts[2] = {&colour, nullptr};
  for (auto [op, status] : {std::pair{MemOp::kAlloc, kStatusAllocFailed},
                            std::pair{MemOp::kLock, kStatusLockFailed}}) {
    HalftoneHandle* out = kPoisonHalftone;
    faults::FailNth(op, 1);
    EXPECT_EQ(NewHalftoneHandle(&job_, luts, 0, &id_, &out), status);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(faults::LiveBlocks(), 0);
  }
  // Engines refuse tables without a body; the handle block goes with the refusal.
  for (uint32_t ink_set : {0u, 5u, 9u}) {
    job_.ink_set = ink_set;
    HalftoneHandle* out = kPoisonHalftone;
    EXPECT_NE(NewHalftoneHandle(&job_, luts, 0, &id_, &out), kStatusOk);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(faults::LiveBlocks(), 0);
  }
}

// A resource is unwrapped before the engine step: a damaged one never gets that far, a good
// one reaches the step (here refused for want of a handle), and the context is always freed.
TEST_F(Interface, ResourcesPassTheContainerReaderFirst) {
  const auto good = testkit::EncodeContainer(testkit::SmoothLutBody(5, 4));
  const auto tables = testkit::DamagedContainers();
  for (auto apply : {+[](const uint8_t* r, ResourceId* id) { return ApplyCmResource(nullptr, r, id); },
                     +[](const uint8_t* r, ResourceId* id) {
                       return ApplyHalftoneResource(nullptr, r, id);
                     }}) {
    EXPECT_EQ(apply(good.data(), &id_), kStatusBadArgument);
    EXPECT_EQ(apply(nullptr, &id_), kStatusContainerDamaged);
    for (const auto& damaged : tables) {
      if (damaged.needs_size) continue;
      EXPECT_EQ(apply(damaged.bytes.data(), &id_), damaged.status) << damaged.name;
    }
    EXPECT_EQ(faults::LiveBlocks(), 0);
    EXPECT_EQ(id_, kPoisonId);
  }
}

TEST_F(Interface, ResourceStepMemoryFailures) {
  const auto good = testkit::EncodeContainer(testkit::SmoothLutBody(5, 4));
  faults::FailNth(MemOp::kAlloc, 1);  // the unpacking context
  EXPECT_EQ(ApplyCmResource(nullptr, good.data(), &id_), kStatusAllocFailed);
  faults::FailNth(MemOp::kLock, 1);
  EXPECT_EQ(ApplyCmResource(nullptr, good.data(), &id_), kStatusLockFailed);
  faults::FailNth(MemOp::kAlloc, 2);  // the expansion buffer
  EXPECT_EQ(ApplyCmResource(nullptr, good.data(), &id_), kStatusAllocFailed);
  // A failed step's status wins over a failed release of the context.
  faults::FailNth(MemOp::kFree, 2);
  EXPECT_EQ(ApplyCmResource(nullptr, good.data(), &id_), kStatusBadArgument);
  EXPECT_EQ(faults::LiveBlocks(), 0);
}

// Handles built by hand stand in for engines that refuse everything: deleting still releases
// the handle block and reports the engine's status.
TEST_F(Interface, DeletionReleasesTheBlockWhenTheEngineFails) {
  for (EngineId id : {kEngineColour, kEngineGrey}) {
    const uint32_t kind = EngineRowOf(id).table_kind;
    common::MemHandle block = common::MemAlloc(sizeof(CmHandle), 1);
    auto* handle = static_cast<CmHandle*>(common::MemLock(block));
    handle->self = block;
    handle->kind = kHandleColourMatching;
    handle->engine_id = id;
    handle->lut.table_kind = kind;
    EXPECT_EQ(GetCmLutInfo(handle), &handle->lut);
    EXPECT_EQ(handle->lut.table_kind, kind);
    const uint8_t plain[16] = {};
    EXPECT_EQ(ApplyCmResource(handle, plain, nullptr), kStatusBadArgument) << "no next-id";
    const EngineStatus status = DeleteCmHandle(handle);
    if (status != kStatusOk) {
      EXPECT_EQ(status, kStatusBadArgument);
    }
    EXPECT_EQ(faults::LiveBlocks(), 0);
  }
  for (EngineId id : {kEngineScreening, kEngineMultiLevel, kEngineGreyInput}) {
    common::MemHandle block = common::MemAlloc(sizeof(HalftoneHandle), 1);
    auto* handle = static_cast<HalftoneHandle*>(common::MemLock(block));
    handle->self = block;
    handle->kind = kHandleHalftoning;
    handle->engine_id = id;
    const uint8_t plain[16] = {};
    EXPECT_EQ(ApplyHalftoneResource(handle, plain, nullptr), kStatusBadArgument);
    DeleteHalftoneHandle(handle);  // a null engine: 0 from a built engine, 512 while pending
    EXPECT_EQ(faults::LiveBlocks(), 0);
  }
}

// A failed release of the halftoning handle's block is reported only when deleting the engine
// succeeded; otherwise the engine's status stands. The engine's answer for a handle without
// an engine is asked first, so the case holds for pending and built engines alike.
TEST_F(Interface, HalftoneDeletionReportsReleaseFailuresAfterTheEngine) {
  for (EngineId id : {kEngineScreening, kEngineMultiLevel, kEngineGreyInput}) {
    void* none = nullptr;
    const EngineStatus engine = EngineRowOf(id).destroy(&none);
    for (auto [op, release] : {std::pair{MemOp::kUnlock, kStatusUnlockFailed},
                               std::pair{MemOp::kFree, kStatusFreeFailed}}) {
      faults::ScopedReset each;
      common::MemHandle block = common::MemAlloc(sizeof(HalftoneHandle), 1);
      auto* handle = static_cast<HalftoneHandle*>(common::MemLock(block));
      handle->self = block;
      handle->kind = kHandleHalftoning;
      handle->engine_id = id;
      faults::FailNth(op, 1);
      EXPECT_EQ(DeleteHalftoneHandle(handle), engine != kStatusOk ? engine : release) << id;
    }
  }
}

}  // namespace
}  // namespace tonvar
