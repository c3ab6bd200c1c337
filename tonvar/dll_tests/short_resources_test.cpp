// Resources that end exactly where their own grammar ends, each right before a no-access page,
// through Tonvar.dll's exports: the exports take no length, so a read past the grammar faults.
// (Every collection fed through testkit::ResourceMap sits against such a page, so the chain
// tests of each engine run their steps' shortest and usual resources the same way.)
#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "testkit/tonvar/colour_job.h"
#include "testkit/tonvar/colour_resources.h"
#include "testkit/tonvar/correction_resources.h"
#include "testkit/tonvar/grey_halftone_bands.h"
#include "testkit/tonvar/grey_halftone_resources.h"
#include "testkit/tonvar/grey_resources.h"
#include "testkit/tonvar/halftone_resources.h"
#include "testkit/tonvar/multi_level_bands.h"
#include "testkit/tonvar/screening_resources.h"
#include "testkit/tonvar/screening_bands.h"
#include "testkit/tonvar/screening_job.h"
#include "testkit/tonvar_dll/guarded_bytes.h"
#include "testkit/tonvar_dll/tonvar_client.h"
#include "testkit/tonvar_dll/tonvar_dll_test.h"

namespace {

using tonvar::kStatusBadArgument;
using tonvar::kStatusBadResource;
using tonvar::kStatusOk;

using ShortResources = testkit::TonvarDllTest;

// First resources of one to three bytes, each a whole text by its own grammar (the text ends at
// NUL or Ctrl-Z), starting like the container signature or differing from it at once: the
// signature test stops at the first byte that differs, the text reader at the end of the text,
// and both colour-matching engines answer a status.
TEST_F(ShortResources, FirstResourcesOfOneToThreeBytesGetAStatus) {
  const std::vector<std::vector<uint8_t>> texts = {
      {0x00}, {0x1A}, {0x7A, 0x00}, {0x7A, 0xCF, 0x1A}, {'/', '/', 0x00}, {0xFF, 0x1A},
  };
  const testkit::ColourJob colour;
  const testkit::GreyColourJob grey;
  const struct {
    const char* engine;
    const tonvar::CmParams* params;
    const tonvar::RasterJob* job;
  } engines[] = {{"colour", &colour.params, &colour.job}, {"grey", &grey.params, &grey.job}};
  for (const auto& e : engines) {
    for (const std::vector<uint8_t>& text : texts) {
      SCOPED_TRACE(std::string(e.engine) + " " + ::testing::PrintToString(text));
      void* handle = nullptr;
      uint32_t id = 0xDEADBEEF;
      ASSERT_EQ(dll().CmNew(e.params, e.job, 0, &id, &handle), kStatusOk);
      ASSERT_EQ(id, 0u);
      const testkit::GuardedBytes resource(text);
      EXPECT_EQ(dll().CmSetResource(handle, resource.data(), &id), kStatusBadResource);
      EXPECT_EQ(dll().CmDelete(handle), kStatusOk);
    }
  }
}

// A scenario's colour-matching and halftoning handles fed from its resources, one of them
// replaced, every resource right before a no-access page; the handles go with the object.
class FedChain {
 public:
  FedChain(const testkit::TonvarExports& dll, const testkit::BandScenario& s, uint32_t id,
           const std::vector<uint8_t>& bytes)
      : dll_(dll), s_(s) {
    testkit::ResourceMap resources;
    for (const auto& [each, resource] : s.resources) resources.Add(each, resource);
    resources.Add(id, bytes);
    uint32_t first = 0;
    EXPECT_EQ(dll.CmNew(&s.params, &s.job, 0, &first, &cm_), kStatusOk);
    EXPECT_EQ(testkit::FeedResources(dll.CmSetResource, cm_, first, resources).status, kStatusOk);
    tonvar::CmLutInfo* luts[2] = {dll.CmGetLut(cm_), nullptr};
    EXPECT_EQ(dll.HalftoneNew(&s.job, luts, 0, &first, &halftone_), kStatusOk);
    fed.status = testkit::FeedResult::kMissingResource;  // until the halftoning handle is fed
    if (halftone_ != nullptr) fed = testkit::FeedResources(dll.HalftoneSetResource, halftone_, first, resources);
  }
  ~FedChain() {
    if (halftone_ != nullptr) {
      EXPECT_EQ(dll_.HalftoneDelete(halftone_), kStatusOk);
    }
    if (cm_ != nullptr) {
      EXPECT_EQ(dll_.CmDelete(cm_), kStatusOk);
    }
  }
  FedChain(const FedChain&) = delete;
  FedChain& operator=(const FedChain&) = delete;

  // Halftone of one mid-grey row of the scenario's width into `row` (RowBytes long).
  uint32_t HalftoneRow(std::vector<uint8_t>* row) const {
    const std::vector<uint8_t> input(s_.width * s_.bytes_per_pixel * s_.planes, 0x80);
    const uint8_t* in[1] = {input.data()};
    uint8_t* out[1] = {row->data()};
    return dll_.Halftone(halftone_, in, out, s_.PlaneBytes(), 0, s_.width, 0, 1, 0, 0, 0);
  }

  testkit::FeedResult fed;

 private:
  const testkit::TonvarExports& dll_;
  const testkit::BandScenario& s_;
  void* cm_ = nullptr;
  void* halftone_ = nullptr;
};

// A scenario's resource `id` replaced by `bytes`.
struct ReplacedResource {
  const char* name;
  const testkit::BandScenario& scenario;
  uint32_t id;
  std::vector<uint8_t> bytes;
};

// Each scenario's chain with its resource replaced completes and halftones a row.
void ExpectChainsComplete(const testkit::TonvarExports& dll, std::span<const ReplacedResource> cases) {
  for (const ReplacedResource& c : cases) {
    SCOPED_TRACE(c.name);
    const FedChain chain(dll, c.scenario, c.id, c.bytes);
    EXPECT_EQ(chain.fed.status, kStatusOk);
    std::vector<uint8_t> row(c.scenario.RowBytes(), 0);
    EXPECT_EQ(chain.HalftoneRow(&row), kStatusOk);
  }
}

// The id list FF FF names no matrix: the four-ink engine (method 10) takes it as complete and
// its halftone call then refuses with 512 and writes nothing; the monochrome engine (method 12)
// looks its matrix up by resolution and refuses with 768. A list of the grid block's id alone
// (four bytes) ends before the square matrix's entry: the four-ink engine refuses when it looks
// the matrix up after the grid block, the monochrome engine at once.
TEST_F(ShortResources, IdListsEndingBeforeTheMatrix) {
  const std::vector<testkit::BandScenario> scenarios = testkit::ScreeningBandScenarios();
  const std::vector<uint8_t> end_alone = {0xFF, 0xFF};
  const std::vector<uint8_t> grid_alone = testkit::ScreenIdList({testkit::kScreenGridId});
  const uint32_t list = testkit::kScreenIdList;
  const struct {
    const testkit::BandScenario& scenario;
    const std::vector<uint8_t>& bytes;
    uint32_t status;
    std::vector<uint32_t> ids;
  } cases[] = {
      {scenarios.back(), end_alone, kStatusOk, {list}},
      {scenarios[2], end_alone, kStatusBadResource, {list}},
      {scenarios[7], grid_alone, kStatusBadResource, {list, testkit::kScreenGridId}},
      {scenarios[0], grid_alone, kStatusBadResource, {list}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scenario.name + " " + ::testing::PrintToString(c.bytes));
    const FedChain chain(dll(), c.scenario, list, c.bytes);
    EXPECT_EQ(chain.fed.status, c.status);
    EXPECT_EQ(chain.fed.ids, c.ids);
    if (c.status == kStatusOk) {
      std::vector<uint8_t> row(c.scenario.RowBytes(), 0x3C);
      EXPECT_EQ(chain.HalftoneRow(&row), kStatusBadArgument);
      EXPECT_EQ(row, std::vector<uint8_t>(c.scenario.RowBytes(), 0x3C));
    }
  }
}

// The shortest resource each step of the halftoning chains takes, in place of the scenario's
// usual one (a colour table of two grid points, id lists that end right after the square
// matrix's entry, the screening engine's matrices of one cell in both forms, the grey-input
// engine's dot curves of 8-bit samples in both kinds, the per-ink kind with ink 0 lacking small
// dots, and its screen of two by two; id lists that end sooner are above): every resource of
// the chain ends right before a no-access page,
// and the chain completes and halftones a row as with the scenario's own resources.
TEST_F(ShortResources, ShortestResourceOfEveryStepAgainstANoAccessPage) {
  using Bytes = std::vector<uint8_t>;
  const std::vector<testkit::BandScenario> screening = testkit::ScreeningBandScenarios();
  const std::vector<testkit::BandScenario> grey = testkit::GreyHalftoneBandScenarios();
  const testkit::BandScenario& mono = screening[0];
  ASSERT_EQ(mono.halftone_ids, (std::vector<uint32_t>{testkit::kScreenIdList, testkit::kScreenMatrixIds[0],
                                                      testkit::kScreenFinalId}));
  ASSERT_EQ(screening[7].halftone_ids, (std::vector<uint32_t>{testkit::kScreenIdList, testkit::kScreenGridId,
                                                              testkit::kScreenMatrixIds[0], testkit::kScreenFinalId}));
  testkit::ColourTableShape grid_of_two;
  grid_of_two.grid = 2;
  testkit::GreyScreenShape two_by_two;
  two_by_two.width = 2;
  two_by_two.height = 2;
  const uint32_t grey_screen = grey[0].halftone_ids[1];
  const uint32_t grey_dots = grey[0].halftone_ids[0];
  testkit::GreyDotCurveKind3Shape kind3_of_bytes;
  kind3_of_bytes.sample_bits = 8;
  testkit::GreyDotCurveKind4Shape kind4_of_bytes;
  kind4_of_bytes.sample_bits = 8;
  for (uint8_t ink : {0, 1, 2, 3, 4, 5, 7, 11}) kind4_of_bytes.entries.emplace_back(ink);
  kind4_of_bytes.entries[0].small_present = false;
  const Bytes up_to_square = testkit::ScreenIdList({testkit::kScreenGridId, testkit::kScreenMatrixIds[0]});
  const ReplacedResource cases[] = {
      {"tagged colour table of two grid points", mono, 3100, testkit::BuildTaggedColourTable(grid_of_two)},
      {"monochrome id list up to the square matrix", mono, testkit::kScreenIdList, up_to_square},
      {"four-ink id list up to the square matrix", screening[7], testkit::kScreenIdList, up_to_square},
      {"short-form matrix of one cell", mono, testkit::kScreenMatrixIds[0], testkit::ShortMatrixBlock(1, 1, {0})},
      {"header-form matrix of one cell", mono, testkit::kScreenMatrixIds[0],
       testkit::HeaderMatrixBlock(1, 1, 1, {0})},
      {"grey screen of two by two", grey[0], grey_screen, testkit::BuildGreyScreen(two_by_two)},
      {"grey dot curves of 8-bit samples", grey[0], grey_dots, testkit::BuildGreyDotCurveKind3(kind3_of_bytes)},
      {"per-ink grey dot curves of 8-bit samples", grey[0], grey_dots,
       testkit::BuildGreyDotCurveKind4(kind4_of_bytes)},
  };
  ExpectChainsComplete(dll(), cases);
}

// With a hand-over list (option 514 of the grey colour chain) the grey-input engine asks after
// its screen for the "HL<c" layout (991) and then the ink-table block the hand-over names (300):
// a layout of two inks and ink tables in the line form, each right before a no-access page,
// complete the chain and a row is halftoned.
TEST_F(ShortResources, GreyInputLayoutAndInkTablesAgainstANoAccessPage) {
  constexpr uint32_t kLayoutId = 991, kInkTablesId = 300;
  testkit::BandScenario s = testkit::GreyHalftoneBandScenarios()[0];
  testkit::GreyOptionList options;
  options.Bytes(514, testkit::BuildRateList({3, 40, 5, 7, 200, 100}));
  s.params.options = options.Get();
  s.resources[kLayoutId] = testkit::BuildHandoverLayout(
      {testkit::HandoverDimensions(2, 1, 3), testkit::HandoverRoles(2, 0, 1), testkit::HandoverSelector(0, 1, 2),
       testkit::HandoverInkCodes(9, "", {{1, 0}, {4, 1}}), testkit::HandoverSetNames({{"MX", 0}})});
  const std::vector<uint8_t> ink_tables = testkit::BuildInkTableBlock(
      1, {{1, {{{0, 0, 255, 255}, {0, 10, 255, 200}, {0, 5, 255, 90}}}},
          {4, {{{0, 0, 255, 128}, {0, 0, 255, 255}, {0, 0, 255, 255}}}}});
  const FedChain chain(dll(), s, kInkTablesId, ink_tables);
  EXPECT_EQ(chain.fed.status, kStatusOk);
  EXPECT_EQ(chain.fed.ids, (std::vector<uint32_t>{s.halftone_ids[0], s.halftone_ids[1], kLayoutId, kInkTablesId}));
  std::vector<uint8_t> row(s.RowBytes(), 0);
  EXPECT_EQ(chain.HalftoneRow(&row), kStatusOk);
}

// A multi-level band as a fed chain's scenario: the colour job's parameters, the band's job and
// resources, rows of four-byte pixels.
testkit::BandScenario MultiLevelScenario(const testkit::MultiLevelBand& band) {
  static const testkit::ColourJob colour;
  testkit::BandScenario s;
  s.name = band.name;
  s.params = colour.params;
  s.job = band.Job();
  s.resources = testkit::MultiLevelResources(band);
  s.width = band.width;
  s.lines = band.lines;
  s.planes = static_cast<uint32_t>(band.inks);
  s.bytes_per_pixel = 4;
  return s;
}

// The multi-level engine's matrix, interior dot-curve and edge dot-curve steps each given their
// shortest resource (a matrix of two by two, one kind-3 table for every ink, with its header or
// in the headerless form of 256 rows of three bytes), right before a no-access page: the chain
// completes and a row is halftoned. The steps' ids are the ones the band's own chain asks for.
TEST_F(ShortResources, MultiLevelStepsTakeTheirShortestResources) {
  using Bytes = std::vector<uint8_t>;
  const std::vector<testkit::MultiLevelBand> bands = testkit::MultiLevelBands();
  const testkit::BandScenario plain = MultiLevelScenario(bands[0]);
  const testkit::BandScenario edged = MultiLevelScenario(bands[16]);
  ASSERT_NE(edged.job.edge_mask, 0u);
  std::vector<uint32_t> plain_ids, edged_ids;
  {
    const FedChain own(dll(), plain, 0, plain.resources.at(0));
    ASSERT_EQ(own.fed.status, kStatusOk);
    plain_ids = own.fed.ids;
    const FedChain own_edged(dll(), edged, 0, edged.resources.at(0));
    ASSERT_EQ(own_edged.fed.status, kStatusOk);
    edged_ids = own_edged.fed.ids;
  }
  ASSERT_EQ(plain_ids.size(), 3u);  // cube step, matrix, interior dot curves
  ASSERT_EQ(edged_ids.size(), 4u);  // and the edge dot curves
  testkit::MatrixBlockShape two_by_two;
  two_by_two.width = 2;
  two_by_two.height = 2;
  two_by_two.phases = testkit::SamplePhases(bands[0].inks);
  const Bytes one_table = testkit::BuildDotCurveTable({});
  const Bytes headless = testkit::BuildHeadlessDotCurveTable(testkit::RampDotRows(256));
  const ReplacedResource cases[] = {
      {"matrix of two by two", plain, plain_ids[1], testkit::BuildMatrixBlock(two_by_two)},
      {"interior: one table for every ink", plain, plain_ids[2], one_table},
      {"interior: headless table", plain, plain_ids[2], headless},
      {"edges: one table for every ink", edged, edged_ids[3], one_table},
      {"edges: headless table", edged, edged_ids[3], headless},
  };
  ExpectChainsComplete(dll(), cases);
}

}  // namespace
