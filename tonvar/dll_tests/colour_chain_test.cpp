// The colour engine's whole chain as the rendering library runs it, through Tonvar.dll's
// exports: CmNew, CmSetResource for every id asked for, CmGetLut, CmDelete.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "testkit/tonvar/colour_job.h"
#include "testkit/tonvar/colour_resources.h"
#include "testkit/tonvar/container_encoder.h"
#include "testkit/tonvar_dll/tonvar_client.h"
#include "testkit/tonvar_dll/tonvar_dll_test.h"
#include "tonvar/interface/lut_descriptor.h"

namespace {

using tonvar::LutDescriptor;

enum class Packing { kPlain, kCompressed, kPlaneOrdered };

class ColourChain : public testkit::TonvarDllTest {
 protected:
  void TearDown() override {
    if (handle_ != nullptr) {
      EXPECT_EQ(dll().CmDelete(handle_), tonvar::kStatusOk);
    }
  }
  // Puts the job's resources in the client's collection: the mode table compressed, the
  // colour table (id table_id) packed as asked, the others plain.
  testkit::ResourceMap Collection(uint32_t table_id, Packing packing) {
    testkit::ResourceMap map;
    for (const auto& [id, bytes] : job_.resources) {
      if (id == 0) {
        map.Add(id, testkit::EncodeContainer(bytes));
      } else if (id == table_id && packing == Packing::kCompressed) {
        map.Add(id, testkit::EncodeContainer(bytes));
      } else if (id == table_id && packing == Packing::kPlaneOrdered) {
        map.Add(id, testkit::EncodePlaneOrderedTable(bytes));
      } else {
        map.Add(id, bytes);
      }
    }
    return map;
  }

  // CmNew and the resources; the handle stays open (deleted by the caller or TearDown).
  testkit::FeedResult Run(const testkit::ResourceMap& map) {
    uint32_t first = 0;
    testkit::FeedResult result;
    result.status = dll().CmNew(&job_.params, &job_.job, 0, &first, &handle_);
    if (result.status != tonvar::kStatusOk) return result;
    return testkit::FeedResources(dll().CmSetResource, handle_, first, map);
  }

  const LutDescriptor* Lut() {
    tonvar::CmLutInfo* info = dll().CmGetLut(handle_);
    EXPECT_NE(info, nullptr);
    if (info == nullptr) return nullptr;
    EXPECT_EQ(info->table_kind, tonvar::kTableColour);
    return static_cast<const LutDescriptor*>(info->table);
  }

  void Delete() {
    EXPECT_EQ(dll().CmDelete(handle_), tonvar::kStatusOk);
    handle_ = nullptr;
  }

  testkit::ColourJob job_;
  void* handle_ = nullptr;
};

struct ChainCase {
  const char* name;
  int version;
  bool extras;  // tables A and B and the gamma-and-matrix block
};

TEST_F(ColourChain, UnadjustedTablePassesUnchangedWhateverItsPacking) {
  const ChainCase cases[] = {
      {"version 300, fixed form", 300, false},
      {"version 500, tagged form", 500, false},
      {"version 500, tagged form, tables A and B and the gamma-and-matrix block", 500, true},
  };
  const int16_t identity[9] = {8192, 0, 0, 0, 8192, 0, 0, 0, 8192};
  const uint8_t use_a = 1;
  const uint32_t gamma = 100;
  testkit::OptionList options;
  options.Add(272, &use_a).Add(1, &gamma);
  for (const ChainCase& c : cases) {
    for (Packing packing : {Packing::kPlain, Packing::kCompressed, Packing::kPlaneOrdered}) {
      SCOPED_TRACE(testing::Message() << c.name << ", packing " << static_cast<int>(packing));
      job_ = testkit::ColourJob();
      testkit::ModeTableShape desc;
      desc.version = c.version;
      testkit::ModeRowShape row;
      row.table_id = 3100;
      row.first_halftone_id = 702;
      if (c.extras) {
        row.table_a_id = 310;
        row.table_b_id = 320;
        row.gamma_matrix_id = 330;
        job_.params.options = options.Get();
        job_.resources[310] = testkit::BuildPreTransformTable(17);  // grids aligned with the table's
        job_.resources[320] = testkit::BuildPreTransformTable(17);
        job_.resources[330] = testkit::BuildGammaMatrixBlock(100, identity);
      }
      desc.rows = {row};
      job_.resources[0] = testkit::TextBytes(testkit::BuildModeTable(desc));
      testkit::ColourTableShape table;
      table.grid = 17;
      table.channels = 8;
      table.gamma = c.extras ? 100 : 150;
      table.with_matrix = c.extras;
      std::memcpy(table.matrix, identity, sizeof identity);
      job_.resources[3100] = c.version >= 500 ? testkit::BuildTaggedColourTable(table)
                                              : testkit::BuildFixedColourTable(table);
      const testkit::FeedResult fed = Run(Collection(3100, packing));
      ASSERT_EQ(fed.status, tonvar::kStatusOk);
      const std::vector<uint32_t> expected =
          c.extras ? std::vector<uint32_t>{0, 310, 320, 330, 3100} : std::vector<uint32_t>{0, 3100};
      EXPECT_EQ(fed.ids, expected);
      const LutDescriptor* lut = Lut();
      ASSERT_NE(lut, nullptr);
      EXPECT_EQ(lut->first_halftone_id, 702u);
      EXPECT_EQ(lut->channel_count, 8u);
      EXPECT_EQ(lut->grid_points[0], 17u);
      const std::vector<uint8_t> body = testkit::RampBody(table);
      ASSERT_EQ(std::memcmp(lut->body, body.data(), body.size()), 0);
      Delete();
    }
  }
}

TEST_F(ColourChain, AdjustedTableChangesAndAJobWithoutARowGives768) {
  testkit::ModeTableShape desc;
  testkit::ModeRowShape row;
  row.table_id = 3200;
  desc.rows = {row};
  job_.resources[0] = testkit::TextBytes(testkit::BuildModeTable(desc));
  testkit::ColourTableShape table;
  job_.resources[3200] = testkit::BuildTaggedColourTable(table);
  job_.params.saturation = 40;
  ASSERT_EQ(Run(Collection(3200, Packing::kCompressed)).status, tonvar::kStatusOk);
  const std::vector<uint8_t> body = testkit::RampBody(table);
  EXPECT_NE(std::memcmp(Lut()->body, body.data(), body.size()), 0);
  Delete();

  job_.job.resolution_x_dpi = 360;
  EXPECT_EQ(Run(Collection(3200, Packing::kPlain)).status, tonvar::kStatusBadResource);
}

}  // namespace
