// Tonvar.dll as the rendering library sees it: loaded by name, every export by name and by
// ordinal, the handle protocol and the container reader in front of the engines.
#include <gtest/gtest.h>

#include <vector>

#include "testkit/tonvar/container_encoder.h"
#include "testkit/tonvar/damaged_containers.h"
#include "testkit/tonvar/sample_tables.h"
#include "testkit/tonvar_dll/tonvar_client.h"

namespace {

using testkit::TonvarExports;
using tonvar::kStatusBadArgument;
using tonvar::kStatusContainerDamaged;

void* const kPoison = reinterpret_cast<void*>(uintptr_t{0xDEADBEEF});
constexpr uint32_t kPoisonId = 0xDEADBEEF;

class TonvarDll : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { library_ = new testkit::TonvarLibrary("Tonvar.dll"); }
  static void TearDownTestSuite() {
    delete library_;
    library_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(library_->Loaded()) << "Tonvar.dll not found beside the test program";
  }
  const TonvarExports& dll() const { return library_->Exports(); }

  static testkit::TonvarLibrary* library_;
  tonvar::CmParams params_{};
  tonvar::RasterJob job_{};
};
testkit::TonvarLibrary* TonvarDll::library_ = nullptr;

TEST_F(TonvarDll, EveryExportByNameAndOrdinalWithItsAliasAtOneAddress) {
  for (const auto& e : testkit::kTonvarExportNames) {
    const FARPROC by_name = library_->ByName(e.name);
    ASSERT_NE(by_name, nullptr) << e.name;
    EXPECT_EQ(library_->ByOrdinal(e.ordinal), by_name) << e.name;
    EXPECT_EQ(library_->ByName(e.alias), by_name) << e.alias;
    EXPECT_EQ(library_->ByOrdinal(e.alias_ordinal), by_name) << e.alias;
  }
  EXPECT_EQ(library_->ByOrdinal(17), nullptr);
  EXPECT_EQ(library_->ByName("container::NewUnpackContext"), nullptr) << "internals stay unexported";
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

// A refused CmNew leaves a null handle, a refused HalftoneNew the caller's value.
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
  EXPECT_EQ(dll().HalftoneNew(&job_, nullptr, 0, &id, &handle), kStatusBadArgument);
  EXPECT_EQ(dll().HalftoneNew(&job_, no_first, 0, &id, &handle), kStatusBadArgument);
  EXPECT_EQ(dll().HalftoneNew(&job_, grey_second, 0, &id, &handle), kStatusBadArgument);
  EXPECT_EQ(handle, kPoison);
  EXPECT_EQ(id, kPoisonId);
}

// The whole protocol for a colour and a grey job, as far as the engines in this build go.
TEST_F(TonvarDll, HandleProtocol) {
  testkit::ResourceMap resources;  // engines name their own ids; none are known here yet
  int handles = 0;
  for (int32_t document_type : {0, 7}) {
    params_.document_type = document_type;
    void* cm = kPoison;
    uint32_t first = kPoisonId;
    const uint32_t status = dll().CmNew(&params_, &job_, 0, &first, &cm);
    if (status != tonvar::kStatusOk) {
      // An engine that refuses the job leaves no handle.
      EXPECT_EQ(cm, nullptr) << document_type;
      continue;
    }
    ++handles;
    ASSERT_NE(cm, nullptr);
    const auto fed = testkit::FeedResources(dll().CmSetResource, cm, first, resources);
    ASSERT_FALSE(fed.ids.empty());
    tonvar::CmLutInfo* lut = dll().CmGetLut(cm);
    ASSERT_NE(lut, nullptr);
    EXPECT_EQ(lut->table_kind, document_type == 7 ? tonvar::kTableGrey : tonvar::kTableColour);
    EXPECT_EQ(dll().CmDelete(cm), tonvar::kStatusOk);
  }
  if (handles == 0) GTEST_SKIP() << "no colour-matching engine in this build accepts a job";
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
