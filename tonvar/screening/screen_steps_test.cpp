// The screening engine's resource steps: id list, resolution classes, matrix forms, id blocks.
#include <gtest/gtest.h>

#include "testkit/tonvar/screening_job.h"
#include "tonvar/screening/screen_engine.h"

namespace tonvar::screening {
namespace {

using testkit::ScreenJob;
using testkit::ScreenKind;

common::ResourceBytes Bytes(const std::vector<uint8_t>& v) { return {v.data(), v.size()}; }

TEST(ScreenSteps, IdAnsweredPerResolutionAtStepOne) {
  struct ResolutionCase {
    uint32_t h, v;
    ResourceId id;
  };
  const ResolutionCase cases[] = {
      {720, 720, 20}, {1440, 720, 40}, {1440, 1440, 20}, {720, 1440, 50},
      {2880, 720, 40}, {2160, 720, 30}, {360, 720, 50}, {720, 360, 30},
  };
  for (const ResolutionCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.h << " x " << c.v);
    ScreenJob s(ScreenKind::kMono);
    s.resources[testkit::kScreenIdList] = {0x10, 0x00, 0x14, 0x00, 0x1E, 0x00, 0x28, 0x00, 0x32, 0x00, 0xFF, 0xFF};
    s.job.resolution_x_dpi = c.h;
    s.job.resolution_y_dpi = c.v;
    ASSERT_EQ(s.New(), kStatusOk);
    ResourceId next = 0;
    ASSERT_EQ(s.Step(testkit::kScreenIdList, &next), kStatusOk);
    EXPECT_EQ(next, c.id);
  }
}

TEST(ScreenSteps, IdListThatBeginsWithTheEndMarker) {
  // Four inks complete after step 1; mono fails step 1 since every resolution entry is 0xFFFF.
  for (ScreenKind kind : {ScreenKind::kFourInk, ScreenKind::kMono}) {
    ScreenJob s(kind);
    s.resources[testkit::kScreenIdList] = {0xFF, 0xFF};
    ASSERT_EQ(s.New(), kStatusOk);
    ResourceId next = 0;
    EXPECT_EQ(s.Step(testkit::kScreenIdList, &next),
              kind == ScreenKind::kFourInk ? kStatusOk : kStatusBadResource);
    if (kind == ScreenKind::kFourInk) {
      EXPECT_EQ(next, kNoMoreResources);
    }
  }
}

TEST(ScreenSteps, DamagedIdListsAndMatrices) {
  for (const testkit::DamagedBlock& d : testkit::DamagedIdLists()) {
    SCOPED_TRACE(d.what);
    uint16_t list[kIdListEntries];
    EXPECT_EQ(ReadIdList(Bytes(d.bytes), list), d.status);
  }
  for (const testkit::DamagedBlock& d : testkit::DamagedMatrices()) {
    SCOPED_TRACE(d.what);
    ScreenJob s(ScreenKind::kMono);
    s.resources[testkit::kScreenMatrixIds[0]] = d.bytes;
    EXPECT_EQ(s.Run(), d.status);
    EXPECT_EQ(s.asked.size(), 2u);
  }
}

TEST(ScreenSteps, FourteenIdsFitFifteenDoNot) {
  uint16_t list[kIdListEntries];
  std::vector<uint16_t> ids(14);
  for (uint16_t i = 0; i < 14; ++i) ids[i] = static_cast<uint16_t>(100 + i);
  ASSERT_EQ(ReadIdList(Bytes(testkit::ScreenIdList(ids)), list), kStatusOk);
  EXPECT_EQ(list[13], 113);
  EXPECT_EQ(list[14], kIdListEnd);
  EXPECT_EQ(list[15], kIdListEnd);
  ids.push_back(114);
  EXPECT_EQ(ReadIdList(Bytes(testkit::ScreenIdList(ids)), list), kStatusBadResource);
}

TEST(ScreenSteps, MatrixForms) {
  struct MatrixCase {
    const char* what;
    std::vector<uint8_t> block;
    uint32_t width, height, levels;
  };
  std::vector<uint16_t> wide(256 * 16);
  for (size_t i = 0; i < wide.size(); ++i) wide[i] = static_cast<uint16_t>(i * 7 % 4096);
  std::vector<uint8_t> ff10 = testkit::ShortMatrixBlock(256, 16, wide);
  ASSERT_EQ(ff10[0], 0xFF);
  ASSERT_EQ(ff10[1], 0x10);
  const MatrixCase cases[] = {
      {"short form FF 10", ff10, 256, 16, 4096},
      {"short form 8 x 3", testkit::ShortMatrixBlock(8, 3, testkit::DispersedMatrix(8, 3)), 8, 3, 24},
      {"header form", testkit::HeaderMatrixBlock(1000, 16, 4, testkit::DispersedMatrix(16, 4)), 16, 4, 1000},
  };
  for (const MatrixCase& c : cases) {
    SCOPED_TRACE(c.what);
    ScreenJob s(ScreenKind::kMono);
    s.resources[testkit::kScreenMatrixIds[0]] = c.block;
    ASSERT_EQ(s.Run(), kStatusOk);
    const ScreenEngine* e = s.engine();
    EXPECT_EQ(e->matrix_width, c.width);
    EXPECT_EQ(e->matrix_height, c.height);
    EXPECT_EQ(e->matrix_cells, c.width * c.height);
    EXPECT_EQ(e->matrix_levels, c.levels);
    const size_t data = c.block[4] == 0xCF ? 32 : 4;
    const uint32_t last = c.width * c.height - 1;
    EXPECT_EQ(GetScreenMatrix(e)[last], c.block[data + 2 * last] | (c.block[data + 2 * last + 1] << 8));
  }
}

TEST(ScreenSteps, FourInkSequenceAndItsFailures) {
  ScreenJob s(ScreenKind::kFourInk);
  ASSERT_EQ(s.Run(), kStatusOk);
  const std::vector<uint32_t> ids = {testkit::kScreenIdList, testkit::kScreenGridId,
                                     testkit::kScreenMatrixIds[0], testkit::kScreenFinalId};
  EXPECT_EQ(s.asked, ids);
  ResourceId next = 1234;
  EXPECT_EQ(s.Step(testkit::kScreenIdList, &next), kStatusBadResource);  // beyond the last step
  EXPECT_EQ(next, 1234u);
  EXPECT_EQ(s.engine()->step, 4u);

  // A four-ink job at 1440 x 720 fails step 3 after the matrix was read.
  ScreenJob wide(ScreenKind::kFourInk);
  wide.job.resolution_x_dpi = 1440;
  EXPECT_EQ(wide.Run(), kStatusBadResource);
  EXPECT_EQ(wide.asked.back(), testkit::kScreenMatrixIds[2]);
  EXPECT_EQ(wide.engine()->matrix_cells, 4096u);
  // The step after a failed one is refused.
  EXPECT_EQ(wide.Step(testkit::kScreenFinalId, &next), kStatusBadResource);
  EXPECT_EQ(next, kNoMoreResources);
}

TEST(ScreenSteps, CurveIdFromTheFinalIdOrTheIdBlock) {
  struct IdCase {
    const char* what;
    int32_t final_id;
    std::vector<uint8_t> id_block;
    EngineStatus status;
    ResourceId id;
  };
  std::vector<uint8_t> small = testkit::ColourIdBlock(1, 600);
  small[0] = 3;
  std::vector<uint8_t> unsigned_block = testkit::ColourIdBlock(2, 0xFFF0);
  std::vector<uint8_t> bad_signature = testkit::ColourIdBlock(2, 600);
  bad_signature[9] = 0;
  const IdCase colour[] = {
      {"final id", 800, {}, kStatusOk, 800},
      {"kind 1", -1, testkit::ColourIdBlock(1, 0xFFF0), kStatusOk, 0xFFF0},
      {"kind 2, widened with sign", -1, unsigned_block, kStatusOk, 0xFFFFFFF0},
      {"kind 2 without its signature", -1, bad_signature, kStatusBadResource, kNoMoreResources},
      {"kind 3", -1, testkit::ColourIdBlock(3, 600), kStatusBadResource, kNoMoreResources},
      {"value at 0 below 4", -1, small, kStatusBadResource, kNoMoreResources},
      {"no id block", 0, {}, kStatusBadResource, kNoMoreResources},
  };
  for (const IdCase& c : colour) {
    SCOPED_TRACE(c.what);
    LutDescriptor lut{};
    lut.dot_curve_id = c.final_id;
    std::vector<uint8_t> block = c.id_block;
    lut.screening_block = block.empty() ? nullptr : block.data();
    ResourceId id = 0;
    if (c.final_id > 0) {
      ScreenJob s(ScreenKind::kFourInk);
      s.lut0.lut.dot_curve_id = c.final_id;
      s.resources[static_cast<uint32_t>(c.final_id)] = s.resources[testkit::kScreenFinalId];
      ASSERT_EQ(s.Run(), kStatusOk);
      EXPECT_EQ(s.asked.back(), c.id);
      continue;
    }
    EXPECT_EQ(FindColorCurveId(lut, &id), c.status);
    EXPECT_EQ(id, c.id);
  }

  std::vector<uint8_t> mono_bad = testkit::MonoIdBlock(900);
  mono_bad[4] = 2;
  const IdCase mono[] = {
      {"final id", 800, testkit::MonoIdBlock(900), kStatusOk, 800},
      {"no final id, no id block", -1, {}, kStatusOk, kNoMoreResources},
      {"id block", 0, testkit::MonoIdBlock(900), kStatusOk, 900},
      {"id block widened with sign", -1, testkit::MonoIdBlock(0xFFFE), kStatusOk, 0xFFFFFFFE},
      {"id block of kind 2", -1, mono_bad, kStatusBadResource, kNoMoreResources},
  };
  for (const IdCase& c : mono) {
    SCOPED_TRACE(c.what);
    LutDescriptor lut{};
    lut.dot_curve_id = c.final_id;
    std::vector<uint8_t> block = c.id_block;
    lut.screening_block = block.empty() ? nullptr : block.data();
    ResourceId id = 0;
    EXPECT_EQ(FindMonoBlockId(lut, &id), c.status);
    EXPECT_EQ(id, c.id);
  }

  // Mono with neither: step 2 answers the end marker and 0.
  ScreenJob s(ScreenKind::kMono);
  s.lut0.lut.dot_curve_id = -1;
  ASSERT_EQ(s.Run(), kStatusOk);
  EXPECT_EQ(s.asked.size(), 2u);
  EXPECT_EQ(s.engine()->block_mode, kBlockModeNone);
}

TEST(ScreenSteps, MonoResolutionWithoutToneTable) {
  struct ToneCase {
    uint32_t h, v;
    EngineStatus status;
  };
  const ToneCase cases[] = {{360, 360, kStatusOk},   {720, 1440, kStatusOk}, {1440, 720, kStatusOk},
                            {2880, 1440, kStatusOk}, {2880, 720, kStatusOk}, {540, 540, kStatusBadResource}};
  for (const ToneCase& c : cases) {
    ScreenJob s(ScreenKind::kMono);
    s.job.resolution_x_dpi = c.h;
    s.job.resolution_y_dpi = c.v;
    EXPECT_EQ(s.Run(), c.status) << c.h << " x " << c.v;
    if (c.status != kStatusOk) {
      EXPECT_EQ(s.asked.size(), 2u);
    }
  }
}

}  // namespace
}  // namespace tonvar::screening
