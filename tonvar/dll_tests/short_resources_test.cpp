// Resources that end exactly where their own grammar ends, each right before a no-access page,
// through Tonvar.dll's exports: the exports take no length, so a read past the grammar faults.
// (Every collection fed through testkit::ResourceMap sits against such a page, so the chain
// tests of each engine run their steps' shortest and usual resources the same way.)
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "testkit/tonvar/colour_job.h"
#include "testkit/tonvar/grey_resources.h"
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

// The id list FF FF names no matrix: the four-ink engine (method 10) takes it as complete and
// its halftone call then refuses with 512 and writes nothing; the monochrome engine (method 12)
// looks its matrix up by resolution and refuses with 768.
TEST_F(ShortResources, IdListOfTheEndMarkerAlone) {
  const std::vector<testkit::BandScenario> scenarios = testkit::ScreeningBandScenarios();
  const struct {
    const testkit::BandScenario& scenario;
    uint32_t status;
    std::vector<uint32_t> ids;
  } cases[] = {
      {scenarios.back(), kStatusOk, {testkit::kScreenIdList}},
      {scenarios[2], kStatusBadResource, {testkit::kScreenIdList}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scenario.name);
    testkit::ResourceMap resources;
    for (const auto& [id, bytes] : c.scenario.resources) resources.Add(id, bytes);
    resources.Add(testkit::kScreenIdList, {0xFF, 0xFF});
    void* cm = nullptr;
    uint32_t first = 0;
    ASSERT_EQ(dll().CmNew(&c.scenario.params, &c.scenario.job, 0, &first, &cm), kStatusOk);
    ASSERT_EQ(testkit::FeedResources(dll().CmSetResource, cm, first, resources).status, kStatusOk);
    tonvar::CmLutInfo* luts[2] = {dll().CmGetLut(cm), nullptr};
    void* halftone = nullptr;
    ASSERT_EQ(dll().HalftoneNew(&c.scenario.job, luts, 0, &first, &halftone), kStatusOk);
    const testkit::FeedResult fed = testkit::FeedResources(dll().HalftoneSetResource, halftone, first, resources);
    EXPECT_EQ(fed.status, c.status);
    EXPECT_EQ(fed.ids, c.ids);
    if (c.status == kStatusOk) {
      const std::vector<uint8_t> input(c.scenario.width * c.scenario.bytes_per_pixel, 0x80);
      std::vector<uint8_t> row(c.scenario.RowBytes(), 0x3C);
      const uint8_t* in[1] = {input.data()};
      uint8_t* out[1] = {row.data()};
      EXPECT_EQ(dll().Halftone(halftone, in, out, c.scenario.PlaneBytes(), 0, c.scenario.width, 0, 1, 0, 0, 0),
                kStatusBadArgument);
      EXPECT_EQ(row, std::vector<uint8_t>(c.scenario.RowBytes(), 0x3C));
    }
    EXPECT_EQ(dll().HalftoneDelete(halftone), kStatusOk);
    EXPECT_EQ(dll().CmDelete(cm), kStatusOk);
  }
}

}  // namespace
