// Engine interface: argument refusals, handle blocks under every memory failure, and the
// container reader in front of every engine step.
#include "tonvar/interface/dispatch.h"

#include <gtest/gtest.h>

#include <vector>

#include "testkit/tonvar/container_encoder.h"
#include "testkit/tonvar/damaged_containers.h"
#include "testkit/tonvar/sample_tables.h"
#include "tonvar/interface/engine_contract.h"
#include "tonvar/common/memory_faults.h"

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

// Whatever the engine answers: a failure leaves no handle and no block, a success a handle
// whose table kind follows the document type.
TEST_F(Interface, CmNewChoosesTheEngineByDocumentType) {
  for (int32_t document_type : {0, 2, 7}) {
    params_.document_type = document_type;
    CmHandle* out = kPoisonCm;
    const EngineStatus status = NewCmHandle(&params_, &job_, 0, &id_, &out);
    if (status != kStatusOk) {
      EXPECT_EQ(out, nullptr) << document_type;
      EXPECT_EQ(faults::LiveBlocks(), 0) << document_type;
      continue;
    }
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->lut.table_kind, document_type == 7 ? kTableGrey : kTableColour);
    EXPECT_EQ(GetCmLutInfo(out), &out->lut);
    EXPECT_EQ(DeleteCmHandle(out), kStatusOk);
  }
}

TEST_F(Interface, HalftoneNewRefusesMissingArgumentsWithoutWritingAnything) {
  CmLutInfo colour{kTableColour, 0, nullptr};
  CmLutInfo grey{kTableGrey, 0, nullptr};
  CmLutInfo* const no_first[2] = {nullptr, &colour};
  CmLutInfo* const grey_second[2] = {&colour, &grey};
  CmLutInfo* const good[2] = {&colour, nullptr};
  HalftoneHandle* out = kPoisonHalftone;
  EXPECT_EQ(NewHalftoneHandle(&job_, nullptr, 0, &id_, &out), kStatusBadArgument);
  EXPECT_EQ(NewHalftoneHandle(&job_, no_first, 0, &id_, &out), kStatusBadArgument);
  EXPECT_EQ(NewHalftoneHandle(&job_, grey_second, 0, &id_, &out), kStatusBadArgument);
  EXPECT_EQ(NewHalftoneHandle(nullptr, good, 0, &id_, &out), kStatusBadArgument);
  EXPECT_EQ(NewHalftoneHandle(&job_, good, 0, nullptr, &out), kStatusBadArgument);
  EXPECT_EQ(NewHalftoneHandle(&job_, good, 0, &id_, nullptr), kStatusBadArgument);
  EXPECT_EQ(out, kPoisonHalftone);
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
    const void* const tables[2] = {grey_table, grey_table};
    void* engine = nullptr;
    ResourceId engine_id = kPoisonId;
    const EngineStatus expected = GreyHalftoneNew(&job_, tables, 0, &engine_id, &engine);
    ASSERT_NE(expected, kStatusOk) << "a grey engine must refuse a second table";
    const int allocations = faults::Calls(MemOp::kAlloc);
    HalftoneHandle* out = kPoisonHalftone;
    EXPECT_EQ(NewHalftoneHandle(&job_, luts, 0, &id_, &out), expected) << second.table_kind;
    EXPECT_GT(faults::Calls(MemOp::kAlloc), allocations) << "handle block made for the engine";
    EXPECT_EQ(out, kPoisonHalftone);
    EXPECT_EQ(faults::LiveBlocks(), 0);
  }
}

TEST_F(Interface, HalftoneNewLeavesTheOutHandleAloneOnFailure) {
  CmLutInfo colour{kTableColour, 0, nullptr};
  CmLutInfo* const luts[2] = {&colour, nullptr};
  for (auto [op, status] : {std::pair{MemOp::kAlloc, kStatusAllocFailed},
                            std::pair{MemOp::kLock, kStatusLockFailed}}) {
    HalftoneHandle* out = kPoisonHalftone;
    faults::FailNth(op, 1);
    EXPECT_EQ(NewHalftoneHandle(&job_, luts, 0, &id_, &out), status);
    EXPECT_EQ(out, kPoisonHalftone);
    EXPECT_EQ(faults::LiveBlocks(), 0);
  }
  // Engines refuse tables without a body; the handle block goes with the refusal.
  for (uint32_t ink_set : {0u, 5u, 9u}) {
    job_.ink_set = ink_set;
    HalftoneHandle* out = kPoisonHalftone;
    EXPECT_NE(NewHalftoneHandle(&job_, luts, 0, &id_, &out), kStatusOk);
    EXPECT_EQ(out, kPoisonHalftone);
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
  for (uint32_t kind : {kTableColour, kTableGrey}) {
    common::MemHandle block = common::MemAlloc(sizeof(CmHandle), 1);
    auto* handle = static_cast<CmHandle*>(common::MemLock(block));
    handle->self = block;
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
  for (uint32_t kind : {kEngineScreen, kEngineMultiLevel, kEngineGreyInput}) {
    common::MemHandle block = common::MemAlloc(sizeof(HalftoneHandle), 1);
    auto* handle = static_cast<HalftoneHandle*>(common::MemLock(block));
    handle->self = block;
    handle->engine_kind = kind;
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
  using DeleteEngine = EngineStatus (*)(void*);
  const struct {
    uint32_t kind;
    DeleteEngine engine_delete;
  } kinds[] = {{kEngineScreen, &ScreenDelete},
               {kEngineMultiLevel, &MultiLevelDelete},
               {kEngineGreyInput, &GreyHalftoneDelete}};
  for (const auto& k : kinds) {
    const EngineStatus engine = k.engine_delete(nullptr);
    for (auto [op, release] : {std::pair{MemOp::kUnlock, kStatusUnlockFailed},
                               std::pair{MemOp::kFree, kStatusFreeFailed}}) {
      faults::ScopedReset each;
      common::MemHandle block = common::MemAlloc(sizeof(HalftoneHandle), 1);
      auto* handle = static_cast<HalftoneHandle*>(common::MemLock(block));
      handle->self = block;
      handle->engine_kind = k.kind;
      faults::FailNth(op, 1);
      EXPECT_EQ(DeleteHalftoneHandle(handle), engine != kStatusOk ? engine : release) << k.kind;
    }
  }
}

}  // namespace
}  // namespace tonvar
