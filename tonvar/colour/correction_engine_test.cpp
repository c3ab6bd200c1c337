// Correction engine: the option values it reads, the in-memory curve table, which kind the
// options attach, and the sub-engine's life on the colour engine's resource protocol.
#include "tonvar/colour/correction_engine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "testkit/tonvar/correction_job.h"
#include "testkit/tonvar/correction_resources.h"
#include "tonvar/colour/engine_operations.h"
#include "tonvar/common/memory_faults.h"

namespace tonvar::colour {
namespace {

using testkit::BuildCwLists;
using testkit::BuildMemoryCurveTable;
using testkit::BuildRateList;
using testkit::ColourJob;
using testkit::CorrectionJob;
using testkit::OptionList;

class CorrectionEngineTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(CmColorDelete(&handle_.engine), kStatusOk);
    EXPECT_EQ(common::faults::LiveBlocks(), 0);
  }
  LutDescriptor* Lut() { return static_cast<LutDescriptor*>(CmColorGetLut(handle_.engine)); }
  CmColorEngine* Engine() { return static_cast<CmColorEngine*>(handle_.engine); }

  common::faults::ScopedReset reset_;
  ColourJob job_ = CorrectionJob();
  OptionList options_;
  CmHandle handle_{};
};

TEST(CwListsTest, ListsOfOneCodeAndLength) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    bool valid;
    uint32_t n, lists;
  } cases[] = {
      {"one list", BuildCwLists(5, {{1, 2, 3}}), true, 3, 1},
      {"four lists", BuildCwLists(5, {{1, 2}, {3, 4}, {5, 6}, {7, 127}}), true, 2, 4},
      {"a fifth list", BuildCwLists(5, {{1}, {2}, {3}, {4}, {5}}), false, 0, 0},
      {"21 values", BuildCwLists(5, {std::vector<uint8_t>(21, 1)}), false, 0, 0},
      {"20 values", BuildCwLists(5, {std::vector<uint8_t>(20, 1)}), true, 20, 1},
      {"a value of 128", BuildCwLists(5, {{1, 128}}), false, 0, 0},
      {"a later list of another code", {'C', 'W', ':', 5, 1, 0xFE, 'C', 'W', ':', 6, 1, 0xFE, 0xFF}, false, 0, 0},
      {"a later list of another length", BuildCwLists(5, {{1, 2}, {3}}), false, 0, 0},
      {"no values", BuildCwLists(5, {{}}), false, 0, 0},
      {"no CW", {'C', 'X', ':', 5, 1, 0xFE, 0xFF}, false, 0, 0},
      {"neither another list nor the end", {'C', 'W', ':', 5, 1, 0xFE, 7}, false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CwLists lists;
    ASSERT_EQ(ParseCwLists(c.bytes.data(), &lists), c.valid);
    if (!c.valid) continue;
    EXPECT_EQ(lists.code, 5u);
    EXPECT_EQ(lists.values_per_list, c.n);
    EXPECT_EQ(lists.list_count, c.lists);
  }
}

TEST(MemoryCurveTableTest, ChecksInOrderAndCopiesTheCurves) {
  std::vector<testkit::MemoryCurve> curves(12);
  for (uint32_t k = 0; k < 12; ++k) {
    curves[k].ink_id = k + 1;
    for (uint32_t l = 0; l < 256; ++l) curves[k].values.push_back(static_cast<uint16_t>(l * 16 + k));
  }
  const std::vector<uint8_t> good = BuildMemoryCurveTable(curves);
  auto patched = [&](size_t at, uint32_t value) {
    std::vector<uint8_t> t = good;
    for (int i = 0; i < 4; ++i) t[at + i] = static_cast<uint8_t>(value >> (8 * i));
    return t;
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> table;
    uint32_t expected;
    int32_t count_written;
  } cases[] = {
      {"good", good, 0, 12},
      {"format word", patched(8, 0x191), 1, -1},
      {"levels", patched(16, 0x200), 2, -1},
      {"13 curves", patched(24, 13), 2, -1},
      {"size one short", patched(0, 12 * 512 + 127), 1, 12},
      {"maximum 11", patched(20, 11), 2, 12},
      {"a curve past the size", patched(32 + 8 * 11, 12 * 512 + 128 - 2), 1, 12},
      {"no curves", BuildMemoryCurveTable({}), 0, 0},
      // The size word alone, saying the table ends there: nothing after it is read.
      {"4-byte table", {4, 0, 0, 0}, 1, -1},
      {"size below the header", patched(0, 127), 1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto set = std::make_unique<InkCurveSet>();
    set->count = -1;
    EXPECT_EQ(ReadMemoryCurveTable(set.get(), c.table.data()), c.expected);
    EXPECT_EQ(set->count, c.count_written);
    if (c.expected != 0 || c.count_written == 0) continue;
    EXPECT_EQ(set->fraction_bits, 4);
    EXPECT_EQ(set->ink_ids[11], 12);
    EXPECT_EQ(set->curves[3][200], 200u * 16 + 3);
  }
}

TEST_F(CorrectionEngineTest, OptionCurveTableFillsTheSetWithoutFurtherResources) {
  const std::vector<uint8_t> table = BuildMemoryCurveTable({{3, {}}, {0, {}}});
  std::vector<uint8_t> bad = table;
  bad[8] = 0;
  const std::vector<uint8_t>* tables[] = {&table, &bad};
  for (const std::vector<uint8_t>* t : tables) {
    CmColorDelete(&handle_.engine);
    handle_ = {};
    job_ = CorrectionJob();
    options_ = OptionList();
    options_.Add(kOptionCurveTable, t->data()).Add(kOptionCwLists, "CW:\x01\x01\xFE\xFF");
    job_.params.options = options_.Get();
    // A rejected table is no error: the job completes with the set marked invalid.
    ASSERT_EQ(job_.Run(&handle_), kStatusOk);
    EXPECT_EQ(job_.asked, (std::vector<uint32_t>{0, testkit::kCorrectionTableId}));
    EXPECT_EQ(Lut()->ink_curves_valid, t == &table ? 1u : 0u);
    EXPECT_EQ(Engine()->correction, nullptr);
    if (t == &table) {
      EXPECT_EQ(Lut()->ink_curves->count, 2);
      EXPECT_EQ(Lut()->ink_curves->ink_ids[0], 3);
      EXPECT_EQ(Lut()->ink_curves->curves[1][255], 255u * 16);
    }
  }
}

TEST_F(CorrectionEngineTest, KindFollowsTheOptions) {
  const std::vector<uint8_t> lists = BuildCwLists(1, {{1, 2, 3, 4}});
  const std::vector<uint8_t> zero_rates = BuildRateList({0, 0, 0});
  const std::vector<uint8_t> no_rates = BuildRateList({});
  struct Case {
    const char* name;
    uint32_t option;
    const void* value;
    bool null_560;
    EngineStatus status;
    uint32_t kind;            // of the attached engine; kCorrectionNone: none attached
    std::vector<uint32_t> asked;
  } cases[] = {
      {"no option: a rank correction that asks nothing", 0, nullptr, false, kStatusOk, kCorrectionRank, {0, 3100}},
      {"CW lists: the ink map", kOptionCwLists, lists.data(), false, kStatusOk, kCorrectionRank, {0, 3100, 980}},
      {"a null curve table counts as absent", kOptionCwLists, lists.data(), true, kStatusOk, kCorrectionRank,
       {0, 3100, 980}},
      {"rates all 0: attached, asking nothing", kOptionRateList, zero_rates.data(), false, kStatusOk,
       kCorrectionDotRate, {0, 3100}},
      {"no rates: refused", kOptionRateList, no_rates.data(), false, kStatusBadArgument, kCorrectionNone, {0, 3100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CmColorDelete(&handle_.engine);
    handle_ = {};
    job_ = CorrectionJob();
    options_ = OptionList();
    if (c.option != 0) options_.Add(c.option, c.value);
    if (c.null_560) options_.Add(kOptionCurveTable, nullptr);
    job_.params.options = options_.Get();
    const EngineStatus status = job_.Run(&handle_);
    // The ink map is not in the job: 768 for the missing resource after it was asked for.
    EXPECT_EQ(status, c.asked.back() == 980 ? kStatusBadResource : c.status);
    EXPECT_EQ(job_.asked, c.asked);
    auto* ce = static_cast<CorrectionEngine*>(Engine()->correction);
    if (c.kind == kCorrectionNone) {
      EXPECT_EQ(ce, nullptr);
    } else {
      ASSERT_NE(ce, nullptr);
      EXPECT_EQ(ce->kind, c.kind);
    }
  }
}

TEST_F(CorrectionEngineTest, AFailedStepReleasesTheSubEngineAndLaterCallsAreRefused) {
  const std::vector<uint8_t> lists = BuildCwLists(1, {{1, 2, 3, 4}});
  options_.Add(kOptionCwLists, lists.data());
  job_.params.options = options_.Get();
  job_.resources[980] = {0x01, 9, 0xFE, 0xFF};  // a map byte beyond the four channels
  EXPECT_EQ(job_.Run(&handle_), kStatusBadResource);
  EXPECT_EQ(Engine()->correction, nullptr);
  ResourceId next = 0;
  const uint8_t any[4] = {};
  EXPECT_EQ(CmColorSetResource(handle_.engine, {any, 4}, &next), kStatusBadArgument);
  EXPECT_EQ(next, kNoMoreResources);
}

TEST_F(CorrectionEngineTest, CallsAfterTheEndChangeNothing) {
  // No options: a rank correction without lists stays attached and asks nothing.
  ASSERT_EQ(job_.Run(&handle_), kStatusOk);
  const std::vector<uint8_t> before(Lut()->body, Lut()->body + 125 * 4);
  int32_t scale = 2048;
  options_.Add(kOptionInkScale, &scale);
  Engine()->params.options = options_.Get();
  ResourceId next = 0;
  const uint8_t any[4] = {};
  EXPECT_EQ(CmColorSetResource(handle_.engine, {any, 4}, &next), kStatusBadArgument);
  EXPECT_EQ(next, kNoMoreResources);
  EXPECT_EQ(std::memcmp(before.data(), Lut()->body, before.size()), 0);
}

TEST_F(CorrectionEngineTest, CreationFailuresLeaveNothing) {
  const std::vector<uint8_t> lists = BuildCwLists(1, {{1, 2, 3, 4}});
  options_.Add(kOptionCwLists, lists.data());
  job_.params.options = options_.Get();
  // Without the ink map the run ends right after the correction engine's creation, whose three
  // blocks are the run's last allocations: the engine, its rank correction, the remap buffer.
  job_.resources.erase(980);
  ASSERT_EQ(job_.Run(&handle_), kStatusBadResource);
  const int allocations = common::faults::Calls(common::faults::MemOp::kAlloc);
  for (int n = allocations - 2; n <= allocations; ++n) {
    SCOPED_TRACE(n);
    CmColorDelete(&handle_.engine);
    handle_ = {};
    common::faults::Reset();
    common::faults::FailNth(common::faults::MemOp::kAlloc, n);
    EXPECT_EQ(job_.Run(&handle_), kStatusAllocFailed);
    EXPECT_EQ(Engine()->correction, nullptr);
    CmColorDelete(&handle_.engine);
    handle_ = {};
    EXPECT_EQ(common::faults::LiveBlocks(), 0);
  }
}

}  // namespace
}  // namespace tonvar::colour
