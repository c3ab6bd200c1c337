// Tonvar.dll as the rendering library sees it: loaded by name, every export by name and by
// ordinal, the handle protocol and the container reader in front of the engines.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "testkit/tonvar/colour_job.h"
#include "testkit/tonvar/colour_resources.h"
#include "testkit/tonvar/container_encoder.h"
#include "testkit/tonvar/damaged_containers.h"
#include "testkit/tonvar/sample_tables.h"
#include "testkit/tonvar_dll/tonvar_client.h"
#include "testkit/tonvar_dll/tonvar_dll_test.h"

namespace {

using testkit::TonvarExports;
using tonvar::kStatusBadArgument;
using tonvar::kStatusContainerDamaged;

void* const kPoison = reinterpret_cast<void*>(uintptr_t{0xDEADBEEF});
constexpr uint32_t kPoisonId = 0xDEADBEEF;

class TonvarDll : public testkit::TonvarDllTest {
 protected:
  tonvar::CmParams params_{};
  tonvar::RasterJob job_{};
};

TEST_F(TonvarDll, EveryExportByNameAndOrdinalWithItsAliasAtOneAddress) {
  for (const auto& e : testkit::kTonvarExportNames) {
    const FARPROC by_name = library().ByName(e.name);
    ASSERT_NE(by_name, nullptr) << e.name;
    EXPECT_EQ(library().ByOrdinal(e.ordinal), by_name) << e.name;
    EXPECT_EQ(library().ByName(e.alias), by_name) << e.alias;
    EXPECT_EQ(library().ByOrdinal(e.alias_ordinal), by_name) << e.alias;
  }
  EXPECT_EQ(library().ByOrdinal(17), nullptr);
  EXPECT_EQ(library().ByName("NewUnpackContext"), nullptr) << "internals stay unexported";
}

TEST_F(TonvarDll, NullHandlesAreRefused) {
  const uint8_t plain[16] = {'K', 'V'};
  uint32_t id = kPoisonId;
  EXPECT_EQ(dll().CmGetLut(nullptr), nullptr);
  EXPECT_EQ(dll().CmSetResource(nullptr, plain, &id), kStatusBadArgument);
  EXPECT_EQ(dll().CmDelete(nullptr), kStatusBadArgument);
  EXPECT_EQ(dll().HalftoneSetResource(nullptr, plain, &id), kStatusBadArgument);
  EXPECT_EQ(dll().Halftone(nullptr, nullptr, nullptr, 0, 0, 0, 0, 1, 0, 0, 0), kStatusBadArgument);
  EXPECT_EQ(dll().HalftoneDelete(nullptr), kStatusBadArgument);
  EXPECT_EQ(id, kPoisonId);
}

// A refused CmNew or HalftoneNew leaves a null handle and the caller's first id.
TEST_F(TonvarDll, NewCallsRefuseMissingArguments) {
  void* handle = kPoison;
  uint32_t id = kPoisonId;
  EXPECT_EQ(dll().CmNew(nullptr, &job_, 0, &id, &handle), kStatusBadArgument);
  EXPECT_EQ(handle, nullptr);
  handle = kPoison;
  EXPECT_EQ(dll().CmNew(&params_, nullptr, 0, &id, &handle), kStatusBadArgument);
  EXPECT_EQ(handle, nullptr);
  handle = kPoison;
  EXPECT_EQ(dll().CmNew(&params_, &job_, 0, nullptr, &handle), kStatusBadArgument);
  EXPECT_EQ(handle, nullptr);
  EXPECT_EQ(dll().CmNew(&params_, &job_, 0, &id, nullptr), kStatusBadArgument);
  handle = kPoison;
  tonvar::CmLutInfo colour{tonvar::kTableColour, 0, nullptr};
  tonvar::CmLutInfo grey{tonvar::kTableGrey, 0, nullptr};
  tonvar::CmLutInfo* const no_first[2] = {nullptr, nullptr};
  tonvar::CmLutInfo* const grey_second[2] = {&colour, &grey};
  for (tonvar::CmLutInfo* const* luts : {static_cast<tonvar::CmLutInfo* const*>(nullptr),
                                          no_first, grey_second}) {
    handle = kPoison;
    EXPECT_EQ(dll().HalftoneNew(&job_, luts, 0, &id, &handle), kStatusBadArgument);
    EXPECT_EQ(handle, nullptr);
  }
  EXPECT_EQ(id, kPoisonId);
}

// The whole protocol over the kit's resources, plain and packed: the colour engine finishes its
// table; the grey engine refuses the colour job (512), which hands it no tone adjustments, and
// leaves no handle. Screening refuses a monochrome ink set on colour channels (513), the
// multi-level engine makes a handle; a handle of the other kind is refused.
TEST_F(TonvarDll, HandleProtocol) {
  constexpr uint32_t kTableId = 1100;
  const struct {
    const char* name;
    int32_t document_type;
    bool packed;
    uint32_t created;
    uint32_t fed;
    std::vector<uint32_t> asked;
  } cases[] = {
      {"colour, plain resources", 1, false, tonvar::kStatusOk, tonvar::kStatusOk, {0, kTableId}},
      {"colour, packed resources", 0, true, tonvar::kStatusOk, tonvar::kStatusOk, {0, kTableId}},
      {"grey", 7, false, kStatusBadArgument, 0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testkit::ColourJob job;
    job.AddOneRowTables(kTableId, testkit::BuildTaggedColourTable({}));
    job.params.document_type = c.document_type;
    testkit::ResourceMap resources;
    for (const auto& [id, bytes] : job.resources) {
      resources.Add(id, c.packed ? testkit::EncodeContainer(bytes) : bytes);
    }
    void* cm = kPoison;
    uint32_t first = kPoisonId;
    ASSERT_EQ(dll().CmNew(&job.params, &job.job, 0, &first, &cm), c.created);
    if (c.created != tonvar::kStatusOk) {
      EXPECT_EQ(cm, nullptr);
      continue;
    }
    ASSERT_NE(cm, nullptr);
    const auto fed = testkit::FeedResources(dll().CmSetResource, cm, first, resources);
    EXPECT_EQ(fed.status, c.fed);
    EXPECT_EQ(fed.ids, c.asked);
    tonvar::CmLutInfo* lut = dll().CmGetLut(cm);
    ASSERT_NE(lut, nullptr);
    EXPECT_EQ(lut->table_kind, tonvar::kTableColour);
    EXPECT_NE(lut->table, nullptr);

    tonvar::CmLutInfo* const luts[2] = {lut, nullptr};
    job.job.ink_set = 0;  // screening refuses a monochrome ink set on colour channels
    void* halftone = kPoison;
    EXPECT_EQ(dll().HalftoneNew(&job.job, luts, 0, &first, &halftone), 513u);
    EXPECT_EQ(halftone, nullptr);
    job.job.ink_set = 9;  // multi-level: a halftoning handle, which CmDelete refuses
    ASSERT_EQ(dll().HalftoneNew(&job.job, luts, 0, &first, &halftone), tonvar::kStatusOk);
    EXPECT_EQ(dll().CmDelete(halftone), kStatusBadArgument);
    EXPECT_EQ(dll().HalftoneDelete(halftone), tonvar::kStatusOk);
    EXPECT_EQ(dll().HalftoneDelete(cm), kStatusBadArgument) << "a colour-matching handle";
    EXPECT_EQ(dll().Halftone(cm, nullptr, nullptr, 0, 0, 0, 0, 1, 0, 0, 0), kStatusBadArgument);
    EXPECT_EQ(dll().CmDelete(cm), tonvar::kStatusOk);
  }
}

// Containers are unwrapped before any engine step: a damaged one is refused with -200 or -300
// before the step is reached; a good one reaches the step, which refuses the null handle (512).
TEST_F(TonvarDll, ContainersAreUnwrappedBeforeTheEngineStep) {
  const auto good = testkit::EncodeContainer(testkit::SmoothLutBody(9, 6));
  const auto body = testkit::SmoothLutBody(5, 4);
  const auto table = testkit::EncodePlaneOrderedTable(testkit::FixedFormTable(5, 4, body));
  const auto damaged = testkit::DamagedContainers();
  for (auto set_resource : {dll().CmSetResource, dll().HalftoneSetResource}) {
    uint32_t id = kPoisonId;
    EXPECT_EQ(set_resource(nullptr, good.data(), &id), kStatusBadArgument);
    EXPECT_EQ(set_resource(nullptr, table.data(), &id), kStatusBadArgument);
    EXPECT_EQ(set_resource(nullptr, nullptr, &id), kStatusContainerDamaged);
    for (const auto& d : damaged) {
      if (d.needs_size) continue;  // the exports take no size
      EXPECT_EQ(set_resource(nullptr, d.bytes.data(), &id), d.status) << d.name;
    }
    EXPECT_EQ(id, kPoisonId);
  }
}

TEST_F(TonvarDll, FeedingStopsAtAMissingResource) {
  testkit::ResourceMap resources;
  resources.Add(0, testkit::EncodeContainer(testkit::SmoothLutBody(3, 3)));
  const auto fed = testkit::FeedResources(dll().CmSetResource, nullptr, 0, resources);
  EXPECT_EQ(fed.status, kStatusBadArgument);  // reached the step: no handle
  const auto missing = testkit::FeedResources(dll().CmSetResource, nullptr, 5, resources);
  EXPECT_EQ(missing.status, testkit::FeedResult::kMissingResource);
  EXPECT_EQ(missing.ids, std::vector<uint32_t>{5});
}

}  // namespace
