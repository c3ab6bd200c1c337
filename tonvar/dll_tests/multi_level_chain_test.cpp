// The multi-level engine through Tonvar.dll's exports, as the rendering library runs it: a
// colour table from CmNew, then HalftoneNew and the halftone resources it asks for, Halftone
// and HalftoneDelete.
#include <gtest/gtest.h>

#include <vector>

#include "testkit/tonvar/colour_job.h"
#include "testkit/tonvar/colour_resources.h"
#include "testkit/tonvar/container_encoder.h"
#include "testkit/tonvar/halftone_resources.h"
#include "testkit/tonvar_dll/tonvar_client.h"
#include "testkit/tonvar_dll/tonvar_dll_test.h"

namespace {

namespace kit = testkit;

constexpr uint32_t kTableId = 3300;
constexpr uint32_t kFirstId = 700;
constexpr uint32_t kDotTableId = 733;
constexpr uint32_t kEdgeTableId = 734;

class MultiLevelChain : public testkit::TonvarDllTest {
 protected:
  void TearDown() override {
    if (halftone_ != nullptr) {
      EXPECT_EQ(dll().HalftoneDelete(halftone_), tonvar::kStatusOk);
    }
    if (colour_ != nullptr) {
      EXPECT_EQ(dll().CmDelete(colour_), tonvar::kStatusOk);
    }
  }
  // A colour table for the job's resolution and ink count, from a mode table with the SMB
  // columns (dot-curve and edge-table ids, transition widths).
  void MakeColourTable(const tonvar::RasterJob& job, uint32_t channels) {
    kit::ColourJob colour;
    colour.job = job;
    kit::ModeTableShape desc;
    desc.version = 510;
    desc.smb_columns = true;
    kit::ModeRowShape row;
    row.table_id = kTableId;
    row.first_halftone_id = kFirstId;
    row.colour_dot_curve_id = kDotTableId;
    row.mono_dot_curve_id = kEdgeTableId;
    row.h_res = static_cast<int32_t>(job.resolution_x_dpi);
    row.v_res = static_cast<int32_t>(job.resolution_y_dpi);
    row.upper = 4;
    desc.rows = {row};
    desc.table_a_offsets = {};
    kit::ColourTableShape table;
    table.channels = channels;
    testkit::ResourceMap map;
    map.Add(0, kit::TextBytes(kit::BuildModeTable(desc)));
    map.Add(kTableId, kit::BuildTaggedColourTable(table));
    uint32_t first = 0;
    ASSERT_EQ(dll().CmNew(&colour.params, &job, 0, &first, &colour_), tonvar::kStatusOk);
    ASSERT_EQ(testkit::FeedResources(dll().CmSetResource, colour_, first, map).status, tonvar::kStatusOk);
  }

  // The halftone resources of a job: an unread first block, a matrix under every class's id,
  // per-ink interior tables and a common edge table.
  testkit::ResourceMap HalftoneResources(uint32_t ink_set, int ink_count) {
    testkit::ResourceMap map;
    map.Add(kFirstId, std::vector<uint8_t>(64, 0));
    kit::MatrixBlockShape matrix;
    matrix.phases = kit::SamplePhases(ink_count);
    for (uint32_t id : {701u, 702u, 703u, 704u}) map.Add(id, kit::BuildMatrixBlock(matrix));
    kit::DotCurveSetShape interior;
    interior.entries = kit::DotCurveSetEntriesFor(ink_set);
    // Packed in the engine's container: read within its expanded length.
    map.Add(kDotTableId, kit::EncodeContainer(kit::BuildDotCurveSet(interior)));
    map.Add(kEdgeTableId, kit::BuildDotCurveTable({}));
    return map;
  }

  void* colour_ = nullptr;
  void* halftone_ = nullptr;
};

tonvar::RasterJob Job(uint32_t h, uint32_t v, uint32_t ink_set, uint32_t edge_mask) {
  tonvar::RasterJob job = kit::ColourJob().job;
  job.resolution_x_dpi = h;
  job.resolution_y_dpi = v;
  job.ink_set = ink_set;
  job.width_pixels = 256;
  job.height_lines = 512;
  job.edge_mask = edge_mask;
  job.edge_unit = 16;
  job.edge_top = 6;
  return job;
}

TEST_F(MultiLevelChain, EachResolutionClassAsksForItsMatrixAndTheEdgeMaskForTheEdgeTable) {
  struct Case {
    uint32_t h, v, ink_set, edge_mask;
    int ink_count;
    std::vector<uint32_t> ids;
  };
  const Case cases[] = {
      {720, 720, 1, 0, 4, {kFirstId, 701, kDotTableId}},
      {720, 1440, 1, 0, 4, {kFirstId, 704, kDotTableId}},
      {1440, 720, 9, 0, 8, {kFirstId, 702, kDotTableId}},
      {2880, 720, 9, 0, 8, {kFirstId, 703, kDotTableId}},
      {720, 720, 9, 8, 8, {kFirstId, 701, kDotTableId, kEdgeTableId}},
      {1440, 720, 1, 15, 4, {kFirstId, 702, kDotTableId, kEdgeTableId}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.h << " x " << c.v << ", ink set " << c.ink_set << ", edges " << c.edge_mask);
    const tonvar::RasterJob job = Job(c.h, c.v, c.ink_set, c.edge_mask);
    MakeColourTable(job, c.ink_count == 8 ? 8 : 4);
    tonvar::CmLutInfo* luts[2] = {dll().CmGetLut(colour_), nullptr};
    uint32_t first = 0;
    ASSERT_EQ(dll().HalftoneNew(&job, luts, 0, &first, &halftone_), tonvar::kStatusOk);
    EXPECT_EQ(first, kFirstId);
    const uint8_t* in[1] = {nullptr};
    uint8_t* out[1] = {nullptr};
    EXPECT_EQ(dll().Halftone(halftone_, in, out, 0, 0, 1, 0, 1, 0, 0, 0), tonvar::kStatusBadArgument);
    const testkit::FeedResult fed =
        testkit::FeedResources(dll().HalftoneSetResource, halftone_, first, HalftoneResources(c.ink_set, c.ink_count));
    EXPECT_EQ(fed.status, tonvar::kStatusOk);
    EXPECT_EQ(fed.ids, c.ids);
    // Complete: the call itself is checked now (null rows are refused).
    EXPECT_EQ(dll().Halftone(halftone_, in, out, 0, 0, 1, 0, 1, 0, 0, 0), tonvar::kStatusBadArgument);
    EXPECT_EQ(dll().HalftoneDelete(halftone_), tonvar::kStatusOk);
    halftone_ = nullptr;
    EXPECT_EQ(dll().CmDelete(colour_), tonvar::kStatusOk);
    colour_ = nullptr;
  }
}

TEST_F(MultiLevelChain, RefusalsThroughTheExports) {
  // Creation: a job the engine cannot take.
  tonvar::RasterJob job = Job(720, 720, 1, 0);
  MakeColourTable(job, 4);
  tonvar::CmLutInfo* luts[2] = {dll().CmGetLut(colour_), nullptr};
  uint32_t first = 0;
  tonvar::RasterJob three_bits = job;
  three_bits.bits_per_dot = 3;
  void* handle = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(dll().HalftoneNew(&three_bits, luts, 0, &first, &handle), tonvar::kStatusBadArgument);
  EXPECT_EQ(handle, nullptr);

  // Steps: a resolution the engine does not serve, then a damaged matrix.
  tonvar::RasterJob odd = job;
  odd.resolution_x_dpi = 1080;
  odd.resolution_y_dpi = 360;
  ASSERT_EQ(dll().HalftoneNew(&odd, luts, 0, &first, &halftone_), tonvar::kStatusOk);
  testkit::ResourceMap map = HalftoneResources(1, 4);
  EXPECT_EQ(testkit::FeedResources(dll().HalftoneSetResource, halftone_, first, map).status, tonvar::kStatusBadResource);
  EXPECT_EQ(dll().HalftoneDelete(halftone_), tonvar::kStatusOk);

  ASSERT_EQ(dll().HalftoneNew(&job, luts, 0, &first, &halftone_), tonvar::kStatusOk);
  kit::MatrixBlockShape odd_height;
  odd_height.height = 3;
  odd_height.phases = kit::SamplePhases(4);
  map.Add(701, kit::BuildMatrixBlock(odd_height));
  const testkit::FeedResult fed = testkit::FeedResources(dll().HalftoneSetResource, halftone_, first, map);
  EXPECT_EQ(fed.status, tonvar::kStatusBadResource);
  EXPECT_EQ(fed.ids, (std::vector<uint32_t>{kFirstId, 701}));
  const uint8_t* in[1] = {nullptr};
  uint8_t* out[1] = {nullptr};
  EXPECT_EQ(dll().Halftone(halftone_, in, out, 0, 0, 1, 0, 1, 0, 0, 0), tonvar::kStatusBadArgument);
}

}  // namespace
