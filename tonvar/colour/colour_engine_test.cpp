// Colour engine step machine: the resources it asks for, what the descriptor carries, the
// identity of an unadjusted table, and creation and deletion under memory failures.
#include "tonvar/colour/colour_engine.h"

#include <gtest/gtest.h>

#include <cstring>

#include "testkit/tonvar/colour_job.h"
#include "testkit/tonvar/colour_resources.h"
#include "testkit/tonvar/container_encoder.h"
#include "tonvar/colour/engine_operations.h"
#include "tonvar/common/memory_faults.h"

namespace tonvar::colour {
namespace {

namespace faults = common::faults;

using testkit::BuildFixedColourTable;
using testkit::BuildModeTable;
using testkit::BuildTaggedColourTable;
using testkit::ColourJob;
using testkit::ColourTableShape;
using testkit::ModeRowShape;
using testkit::ModeTableShape;
using testkit::OptionList;

constexpr uint32_t kTableId = 2100;

class ColourEngineTest : public ::testing::Test {
 protected:
  void SetUp() override { handle_ = CmHandle{}; }
  void TearDown() override {
    EXPECT_EQ(CmColorDelete(&handle_.engine), kStatusOk);
    EXPECT_EQ(faults::LiveBlocks(), 0);
  }

  // A version-500 table with one row, and a tagged colour table under kTableId.
  void Prepare(const ModeRowShape& row, int version = 500, const ColourTableShape& table = {}) {
    ModeTableShape desc;
    desc.version = version;
    desc.rows = {row};
    desc.table_a_offsets = {5, 6, 7};
    job_.resources[0] = testkit::TextBytes(BuildModeTable(desc));
    job_.resources[static_cast<uint32_t>(row.table_id)] =
        version >= 500 ? BuildTaggedColourTable(table) : BuildFixedColourTable(table);
  }

  LutDescriptor* Lut() { return static_cast<LutDescriptor*>(CmColorGetLut(handle_.engine)); }

  faults::ScopedReset reset_;
  ColourJob job_;
  CmHandle handle_{};
};

ModeRowShape Row() {
  ModeRowShape row;
  row.table_id = kTableId;
  return row;
}

TEST_F(ColourEngineTest, AsksForTheResourcesTheRowNames) {
  ModeRowShape row = Row();
  row.table_a_id = 300;
  row.table_b_id = 400;
  row.gamma_matrix_id = 500;
  const uint8_t use_a = 1, variant = 3;
  OptionList options;
  options.Add(kOptionUseTableA, &use_a).Add(kOptionTableAVariant, &variant);
  job_.params.options = options.Get();
  ColourTableShape table;
  table.gamma = 100;
  Prepare(row, 500, table);
  const int16_t identity[9] = {8192, 0, 0, 0, 8192, 0, 0, 0, 8192};
  job_.resources[307] = testkit::BuildPreTransformTable(3);  // table A + third offset
  job_.resources[400] = testkit::BuildPreTransformTable(4);
  job_.resources[500] = testkit::BuildGammaMatrixBlock(100, identity);
  ASSERT_EQ(job_.Run(&handle_), kStatusOk);
  EXPECT_EQ(job_.asked, (std::vector<uint32_t>{0, 307, 400, 500, kTableId}));
}

TEST_F(ColourEngineTest, Option288ChoosesTheTableAOffset) {
  struct Case {
    int variant;  // -1: option 288 absent
    uint32_t id;
  };
  for (const Case& c : {Case{-1, 305}, Case{1, 305}, Case{2, 306}, Case{3, 307}, Case{9, 305}}) {
    SCOPED_TRACE(c.variant);
    ModeRowShape row = Row();
    row.table_a_id = 300;
    const uint8_t use_a = 1;
    const uint8_t variant = static_cast<uint8_t>(c.variant);
    OptionList options;
    options.Add(kOptionUseTableA, &use_a);
    if (c.variant >= 0) options.Add(kOptionTableAVariant, &variant);
    job_.params.options = options.Get();
    Prepare(row);
    job_.resources[c.id] = testkit::BuildPreTransformTable(5);
    ASSERT_EQ(job_.Run(&handle_), kStatusOk);
    EXPECT_EQ(job_.asked, (std::vector<uint32_t>{0, c.id, kTableId}));
    EXPECT_EQ(CmColorDelete(&handle_.engine), kStatusOk);
  }
}

TEST_F(ColourEngineTest, TableAIsSkippedWithoutOption272) {
  ModeRowShape row = Row();
  row.table_a_id = 300;
  const uint8_t off = 0;
  OptionList options;
  options.Add(kOptionUseTableA, &off);
  job_.params.options = options.Get();
  Prepare(row);
  ASSERT_EQ(job_.Run(&handle_), kStatusOk);
  EXPECT_EQ(job_.asked, (std::vector<uint32_t>{0, kTableId}));
}

TEST_F(ColourEngineTest, MatchingModeFollowsMethodDocumentTypeAndModifier) {
  struct Case {
    const char* name;
    uint32_t method, channel_order;
    int32_t document_type, modifier;
    const char* mode;  // the row's mode name that must match
  };
  const Case cases[] = {
      {"method 0 is method 3 with document type 2", 0, 3, 1, 0, "AUTO"},
      {"modifier 1 forces mode 4", 3, 3, 3, 1, "AUTO"},
      {"document type 3", 3, 3, 3, 0, "CAD"},
      {"modifier 4 forces mode 0", 3, 3, 2, 4, "MONO"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ModeRowShape row = Row();
    row.mode = c.mode;
    job_ = ColourJob();
    job_.job.method = c.method;
    job_.job.channel_order = c.channel_order;
    job_.params.document_type = c.document_type;
    job_.params.mode_modifier = c.modifier;
    ColourTableShape table;
    table.with_cgry = true;
    Prepare(row, 500, table);
    EXPECT_EQ(job_.Run(&handle_), kStatusOk);
    EXPECT_EQ(CmColorDelete(&handle_.engine), kStatusOk);
  }
}

TEST_F(ColourEngineTest, NoMatchingRowGives768) {
  ModeRowShape row = Row();
  row.h_res = 360;
  Prepare(row);
  EXPECT_EQ(job_.Run(&handle_), kStatusBadResource);
}

TEST_F(ColourEngineTest, DescriptorCarriesWhatTheHalftoningEnginesRead) {
  ModeTableShape desc;
  desc.version = 510;
  desc.smb_columns = true;
  ModeRowShape row = Row();
  row.first_halftone_id = 701;
  row.colour_dot_curve_id = 733;  // SMB-ID
  row.mono_dot_curve_id = 734;    // bSMB-ID
  row.upper = 1;
  row.lower = 2;
  row.left = 3;
  row.right = 4;
  row.colour_second = 9;
  desc.rows = {row};
  desc.table_a_offsets = {};
  ColourTableShape table;
  table.channels = 6;
  table.ink_ids = {1, 2, 3, 0, 4, 5};
  job_.resources[0] = testkit::TextBytes(BuildModeTable(desc));
  job_.resources[kTableId] = BuildTaggedColourTable(table);
  ASSERT_EQ(job_.Run(&handle_), kStatusOk);
  const LutDescriptor* lut = Lut();
  ASSERT_NE(lut, nullptr);
  EXPECT_EQ(lut, Lut());  // twice the same descriptor
  EXPECT_EQ(lut->channel_count, 6u);
  EXPECT_EQ(lut->grid_points[0], 5u);
  EXPECT_EQ(lut->grid_points[3], 1u);
  EXPECT_EQ(lut->grid[0][4], 255);
  EXPECT_EQ(lut->ink_ids[3], 0);
  EXPECT_EQ(lut->ink_ids[6], 0xFF);
  EXPECT_NE(lut->body, nullptr);
  EXPECT_NE(lut->body_handle, nullptr);
  EXPECT_EQ(lut->table_id, kTableId);
  EXPECT_EQ(lut->first_halftone_id, 701u);
  EXPECT_EQ(lut->dot_curve_id, 733);
  EXPECT_EQ(lut->bsmb_id, 734);
  EXPECT_EQ(lut->upper, 1);
  EXPECT_EQ(lut->lower, 2);
  EXPECT_EQ(lut->left, 3);
  EXPECT_EQ(lut->right, 4);
  EXPECT_EQ(lut->second_value, 9);
  EXPECT_EQ(lut->mode_table_version, 510);
  EXPECT_EQ(lut->density_b, 100);
  EXPECT_EQ(lut->density_a, 100);
  EXPECT_EQ(lut->ink_curves_valid, 0u);
  EXPECT_NE(lut->ink_curves, nullptr);
  EXPECT_EQ(lut->tone_table, nullptr);
}

TEST_F(ColourEngineTest, FixedFormCarriesItsScreeningBlock) {
  ColourTableShape table;
  table.screening_block = {8, 0, 0, 0, 2, 0, 0xBD, 0x02};
  Prepare(Row(), 300, table);
  ASSERT_EQ(job_.Run(&handle_), kStatusOk);
  const LutDescriptor* lut = Lut();
  ASSERT_NE(lut->screening_block, nullptr);
  EXPECT_EQ(std::memcmp(lut->screening_block, table.screening_block.data(), 8), 0);
  EXPECT_EQ(lut->fixed_values[1], -2);
  // Four channels, all read as ink 0, then no channel.
  for (int c = 0; c < 16; ++c) EXPECT_EQ(lut->ink_ids[c], c < 4 ? 0 : 0xFF) << c;
  EXPECT_EQ(lut->ink_scale_flag, -1);
  EXPECT_EQ(lut->dot_curve_id, -1);
  EXPECT_EQ(lut->second_value, 1);
  EXPECT_EQ(CmColorDelete(&handle_.engine), kStatusOk);

  table.screening_block.clear();
  Prepare(Row(), 300, table);
  ASSERT_EQ(job_.Run(&handle_), kStatusOk);
  EXPECT_EQ(Lut()->screening_block, nullptr);
}

TEST_F(ColourEngineTest, ShortScreeningBlockReadsAsZerosPastItsEnd) {
  // The halftoning engines read the block's header (up to byte 21) without knowing its length:
  // a block shorter than that must not send them past its end.
  ColourTableShape table;
  table.screening_block = {0xFF, 0x7F};
  Prepare(Row(), 300, table);
  ASSERT_EQ(job_.Run(&handle_), kStatusOk);
  const uint8_t* block = Lut()->screening_block;
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block[0], 0xFF);
  EXPECT_EQ(block[1], 0x7F);
  for (int i = 2; i < 32; ++i) EXPECT_EQ(block[i], 0) << i;
}

TEST_F(ColourEngineTest, UnadjustedTableKeepsItsBodyByteForByte) {
  for (int version : {300, 500}) {
    SCOPED_TRACE(version);
    ColourTableShape table;
    table.grid = 9;
    table.channels = 8;
    table.coords = {0, 10, 40, 90, 128, 160, 200, 240, 255};
    Prepare(Row(), version, table);
    ASSERT_EQ(job_.Run(&handle_), kStatusOk);
    const std::vector<uint8_t> expected = testkit::RampBody(table);
    const LutDescriptor* lut = Lut();
    ASSERT_EQ(std::memcmp(lut->body, expected.data(), expected.size()), 0);
    EXPECT_EQ(CmColorDelete(&handle_.engine), kStatusOk);
  }
}

TEST_F(ColourEngineTest, PlainResourcesWithoutASizeAreReadByTheirOwnFields) {
  job_.bounded = false;
  for (int version : {300, 500}) {
    SCOPED_TRACE(version);
    ColourTableShape table;
    table.with_tone = true;
    Prepare(Row(), version, table);
    ASSERT_EQ(job_.Run(&handle_), kStatusOk);
    const std::vector<uint8_t> expected = testkit::RampBody(table);
    ASSERT_EQ(std::memcmp(Lut()->body, expected.data(), expected.size()), 0);
    EXPECT_EQ(CmColorDelete(&handle_.engine), kStatusOk);
  }
}

TEST_F(ColourEngineTest, CompressedAndPlaneOrderedTablesGiveTheSameBody) {
  job_.unwrap = true;
  for (int version : {300, 500}) {
    for (bool planes : {false, true}) {
      SCOPED_TRACE(testing::Message() << version << (planes ? " plane-ordered" : " compressed"));
      ColourTableShape table;
      table.grid = 17;
      table.channels = 8;
      Prepare(Row(), version, table);
      job_.resources[0] = testkit::EncodeContainer(job_.resources[0]);
      std::vector<uint8_t>& bytes = job_.resources[kTableId];
      bytes = planes ? testkit::EncodePlaneOrderedTable(bytes) : testkit::EncodeContainer(bytes);
      ASSERT_FALSE(bytes.empty());
      ASSERT_EQ(job_.Run(&handle_), kStatusOk);
      const std::vector<uint8_t> expected = testkit::RampBody(table);
      ASSERT_EQ(std::memcmp(Lut()->body, expected.data(), expected.size()), 0);
      EXPECT_EQ(CmColorDelete(&handle_.engine), kStatusOk);
    }
  }
}

TEST_F(ColourEngineTest, CorrectionOptionsOfZeroBytesEndTheJobAtTheColourTable) {
  // Lists without "CW:" and a curve table of format 0 correct nothing; a rate list without
  // rates cannot start its correction.
  const std::pair<uint32_t, EngineStatus> cases[] = {
      {kOptionCwLists, kStatusOk}, {kOptionRateList, kStatusBadArgument}, {kOptionCurveTable, kStatusOk}};
  for (const auto& [id, expected] : cases) {
    SCOPED_TRACE(id);
    const uint8_t value[16] = {};
    OptionList options;
    options.Add(id, value);
    job_.params.options = options.Get();
    Prepare(Row());
    EXPECT_EQ(job_.Run(&handle_), expected);
    EXPECT_EQ(job_.asked, (std::vector<uint32_t>{0, kTableId}));
    EXPECT_EQ(Lut()->ink_curves_valid, 0u);
    EXPECT_EQ(CmColorDelete(&handle_.engine), kStatusOk);
  }
}

TEST_F(ColourEngineTest, CallsAfterTheEndAreRefused) {
  Prepare(Row());
  ASSERT_EQ(job_.Run(&handle_), kStatusOk);
  ResourceId next = 0;
  const uint8_t byte = 0;
  EXPECT_EQ(CmColorSetResource(handle_.engine, common::ResourceBytes{&byte, 1}, &next), kStatusBadArgument);
  EXPECT_EQ(next, kNoMoreResources);
}

TEST_F(ColourEngineTest, CreationReleasesWhatItAllocatedOnEveryFailure) {
  for (int n = 1; n <= 6; ++n) {
    SCOPED_TRACE(n);
    faults::Reset();
    faults::FailNth(faults::MemOp::kAlloc, n);
    ResourceId first = 99;
    CmHandle handle{};
    EXPECT_EQ(CmColorNew(EngineCreateArgs{&job_.params, &job_.job}, &first, &handle.engine), kStatusAllocFailed);
    EXPECT_EQ(handle.engine, nullptr);
    EXPECT_EQ(faults::LiveBlocks(), 0);
    faults::Reset();
    faults::FailNth(faults::MemOp::kLock, n);
    EXPECT_EQ(CmColorNew(EngineCreateArgs{&job_.params, &job_.job}, &first, &handle.engine), kStatusLockFailed);
    EXPECT_EQ(faults::LiveBlocks(), 0);
  }
  faults::Reset();
}

TEST_F(ColourEngineTest, StepFailuresUnderMemoryFaultsGiveTheirStatus) {
  ColourTableShape table;
  table.with_tone = true;
  Prepare(Row(), 500, table);
  // Find how many allocations a full run makes, then fail each in turn.
  faults::Reset();
  ASSERT_EQ(job_.Run(&handle_), kStatusOk);
  const int allocations = faults::Calls(faults::MemOp::kAlloc);
  ASSERT_EQ(CmColorDelete(&handle_.engine), kStatusOk);
  for (int n = 1; n <= allocations; ++n) {
    SCOPED_TRACE(n);
    faults::Reset();
    faults::FailNth(faults::MemOp::kAlloc, n);
    // A failure inside the tone-table rebuild is reported as 258, as that rebuild does.
    const EngineStatus status = job_.Run(&handle_);
    EXPECT_TRUE(status == kStatusAllocFailed || status == kStatusLockFailed) << status;
    EXPECT_EQ(CmColorDelete(&handle_.engine), kStatusOk);
    EXPECT_EQ(faults::LiveBlocks(), 0);
  }
}

TEST_F(ColourEngineTest, DeletionReportsAFailedUnlockAndStillReleasesTheRest) {
  Prepare(Row());
  ASSERT_EQ(job_.Run(&handle_), kStatusOk);
  faults::FailNth(faults::MemOp::kUnlock, 2);
  EXPECT_EQ(CmColorDelete(&handle_.engine), kStatusUnlockFailed);
  EXPECT_EQ(handle_.engine, nullptr);
  faults::Reset();
}

TEST_F(ColourEngineTest, DeletionReportsAFailedFreeAndStillReleasesTheRest) {
  Prepare(Row());
  ASSERT_EQ(job_.Run(&handle_), kStatusOk);
  faults::FailNth(faults::MemOp::kFree, 1);
  EXPECT_EQ(CmColorDelete(&handle_.engine), kStatusFreeFailed);
  EXPECT_EQ(handle_.engine, nullptr);
  faults::Reset();
}

}  // namespace
}  // namespace tonvar::colour
