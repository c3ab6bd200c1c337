// Colour-table finishing: the rebuild with pre-transforms, gamma-and-matrix block and
// adjustments, ink balance, density rescaling, the neutral grey table and options 768, 1024.
#include <gtest/gtest.h>

#include <cstring>

#include "testkit/tonvar/colour_engine_fixture.h"
#include "testkit/tonvar/colour_resources.h"
#include "tonvar/colour/colour_adjustment.h"
#include "tonvar/colour/colour_engine.h"
#include "tonvar/colour/engine_operations.h"
#include "tonvar/common/memory_faults.h"

namespace tonvar::colour {
namespace {

using testkit::ColourTableShape;
using testkit::ModeRowShape;
using testkit::OptionList;

constexpr uint32_t kTableId = 4100;

class FinishTest : public testkit::ColourEngineFixture {
 protected:
  EngineStatus Run(const ColourTableShape& table, int version = 500, ModeRowShape row = {}) {
    return RunOneRow(kTableId,
                     version >= 500 ? testkit::BuildTaggedColourTable(table)
                                    : testkit::BuildFixedColourTable(table),
                     version, row);
  }
  std::vector<uint8_t> Body() {
    const LutDescriptor* lut = Lut();
    const size_t n = size_t{lut->grid_points[0]} * lut->grid_points[1] * lut->grid_points[2] *
                     lut->grid_points[3] * lut->channel_count;
    return std::vector<uint8_t>(lut->body, lut->body + n);
  }
};

TEST_F(FinishTest, IdentityPreTransformsAndGammaMatrixKeepTheBody) {
  ModeRowShape row;
  row.table_a_id = 300;
  row.table_b_id = 400;
  row.gamma_matrix_id = 500;
  const uint8_t use_a = 1;
  const uint32_t gamma = 100;
  OptionList options;
  options.Add(kOptionUseTableA, &use_a).Add(1, &gamma);
  job_.params.options = options.Get();
  const int16_t identity[9] = {8192, 0, 0, 0, 8192, 0, 0, 0, 8192};
  job_.resources[300] = testkit::BuildPreTransformTable(5);
  job_.resources[400] = testkit::BuildPreTransformTable(9);
  job_.resources[500] = testkit::BuildGammaMatrixBlock(100, identity);
  ColourTableShape table;
  table.gamma = 100;
  table.with_matrix = true;
  std::memcpy(table.matrix, identity, sizeof identity);
  ASSERT_EQ(Run(table, 500, row), kStatusOk);
  EXPECT_EQ(Body(), testkit::RampBody(table));
}

TEST_F(FinishTest, TableASwappingTwoAxesSwapsTheBody) {
  ModeRowShape row;
  row.table_a_id = 300;
  const uint8_t use_a = 1;
  OptionList options;
  options.Add(kOptionUseTableA, &use_a);
  job_.params.options = options.Get();
  const std::vector<uint8_t> c = testkit::UniformGrid(5);
  std::vector<uint8_t> swap;
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j)
      for (int k = 0; k < 5; ++k) swap.insert(swap.end(), {c[j], c[i], c[k]});
  job_.resources[300] = testkit::BuildPreTransformTable(5, swap);
  ColourTableShape table;
  ASSERT_EQ(Run(table, 500, row), kStatusOk);
  const std::vector<uint8_t> ramp = testkit::RampBody(table);
  const std::vector<uint8_t> body = Body();
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j)
      for (int k = 0; k < 5; ++k)
        ASSERT_EQ(std::memcmp(&body[((i * 5 + j) * 5 + k) * 4], &ramp[((j * 5 + i) * 5 + k) * 4], 4), 0);
}

TEST_F(FinishTest, AdjustmentsSpareTheFirstAndLastGridPoints) {
  job_.params.brightness = 30;
  job_.params.contrast = -20;
  ColourTableShape table;
  ASSERT_EQ(Run(table), kStatusOk);
  const std::vector<uint8_t> body = Body(), ramp = testkit::RampBody(table);
  EXPECT_NE(body, ramp);
  EXPECT_EQ(std::memcmp(body.data(), ramp.data(), 4), 0);
  EXPECT_EQ(std::memcmp(&body[body.size() - 4], &ramp[ramp.size() - 4], 4), 0);
  // Brightness raises the middle grey.
  EXPECT_GT(body[((2 * 5 + 2) * 5 + 2) * 4], ramp[((2 * 5 + 2) * 5 + 2) * 4]);
}

TEST_F(FinishTest, RedOffsetDropsTheToneTable) {
  ColourTableShape table;
  table.with_tone = true;
  ASSERT_EQ(Run(table), kStatusOk);
  EXPECT_NE(Lut()->tone_table, nullptr);
  job_.params.red_offset = 5;
  ASSERT_EQ(Run(table), kStatusOk);
  EXPECT_EQ(Lut()->tone_table, nullptr);
}

// A tone curve cannot follow channel curves: a job that gives them drops the tone table, as
// the colour offsets do.
TEST_F(FinishTest, ChannelCurvesDropTheToneTable) {
  ColourTableShape table;
  table.with_tone = true;
  std::vector<uint8_t> curves(3 * 256);
  for (size_t i = 0; i < curves.size(); ++i) curves[i] = static_cast<uint8_t>(i);
  OptionList options;
  options.Add(kOptionChannelCurves, curves.data());
  job_.params.options = options.Get();
  ASSERT_EQ(Run(table), kStatusOk);
  EXPECT_EQ(Lut()->tone_table, nullptr);
  EXPECT_EQ(Lut()->tone_table_handle, nullptr);
}

TEST_F(FinishTest, InkBalanceOfDocumentType2) {
  job_.params.document_type = 2;
  job_.params.mode_modifier = 0;
  ColourTableShape table;
  table.grid = 3;  // 0, 127, 255
  table.format = '2';
  table.dominant[0] = 50;
  table.grey_axis = std::vector<uint8_t>(12, 200);
  ASSERT_EQ(Run(table, 300), kStatusOk);
  // Point (0, 127, 255): C = 255 is the strict maximum over M = 128: C = 255 - 127 * 50 / 100
  // = 192, so red becomes 63 and the look-up returns 63 in channel 0.
  const std::vector<uint8_t> body = Body();
  EXPECT_EQ(body[((0 * 3 + 1) * 3 + 2) * 4], 63);
  // The diagonal holds the grey-axis entries.
  EXPECT_EQ(body[((1 * 3 + 1) * 3 + 1) * 4], 200);
}

TEST_F(FinishTest, GreyAxisNotSuppliedLeavesTheDiagonalAsLookedUp) {
  job_.params.document_type = 2;
  job_.params.mode_modifier = 1;  // the entries are taken with modifier 0 only
  ColourTableShape table;
  table.grid = 3;
  table.format = '2';
  table.grey_axis = std::vector<uint8_t>(12, 200);
  ASSERT_EQ(Run(table, 300), kStatusOk);
  EXPECT_EQ(Body(), testkit::RampBody(table));
}

TEST_F(FinishTest, DensityRescaleForHalftoneIds300To399) {
  ModeRowShape row;
  row.first_halftone_id = 350;
  job_.job.sub_mode = 0;
  ColourTableShape table;
  table.density_b = 200;
  table.density_a = 100;
  ASSERT_EQ(Run(table, 500, row), kStatusOk);
  const std::vector<uint8_t> body = Body(), ramp = testkit::RampBody(table);
  for (size_t i = 0; i < body.size(); i += 37) {
    const int32_t v = ramp[i];
    const int32_t s = (((255 - v) * (255 - v) * 100 + 1) / 255 + 255 * 100) / 100;
    EXPECT_EQ(body[i], static_cast<uint8_t>((s / 2 + 255 * v) / s)) << i;
  }
  table.with_cdbg = false;  // limits 0: the rescale would divide by zero
  EXPECT_EQ(Run(table, 500, row), kStatusBadResource);
}

TEST_F(FinishTest, NeutralGreyTableFollowsTheBlackChannel) {
  ColourTableShape table;  // channel 3 (ink 0) = 255 - mean of the coordinates
  ASSERT_EQ(Run(table), kStatusOk);
  const uint8_t* grey = Lut()->grey_table;
  EXPECT_EQ(grey[0], 255);
  EXPECT_EQ(grey[100], 155);
  EXPECT_EQ(grey[254], 1);
  EXPECT_EQ(grey[255], 0);
  table.table_class = 0;
  ASSERT_EQ(Run(table), kStatusOk);
  EXPECT_EQ(Lut()->grey_table[0], 254);  // class 0: no full black below level 255
  // Four inputs: entry 255 - i from the black line (0, 0, 0, i).
  ColourTableShape four;
  four.format = kFormatFourInputs;
  four.grid = 3;
  ASSERT_EQ(Run(four, 300), kStatusOk);
  EXPECT_EQ(Lut()->grey_table[255 - 60], 60);
  // The four-input black line is not limited: class 0 keeps its full black at entry 0, and a
  // black line with no ink keeps entries of 0 below 255.
  four.table_class = 0;
  ASSERT_EQ(Run(four, 300), kStatusOk);
  EXPECT_EQ(Lut()->grey_table[0], 255);
  four.table_class = 1;
  four.body = testkit::RampBody(four);
  for (size_t e = 3; e < four.body.size(); e += 4) four.body[e] = 0;
  ASSERT_EQ(Run(four, 300), kStatusOk);
  EXPECT_EQ(Lut()->grey_table[0], 0);
  EXPECT_EQ(Lut()->grey_table[128], 0);
}

TEST_F(FinishTest, InkScaleOption) {
  ColourTableShape table;
  const std::vector<uint8_t> ramp = testkit::RampBody(table);
  int32_t scale = 1024;
  OptionList options;
  options.Add(kOptionInkScale, &scale);
  job_.params.options = options.Get();
  ASSERT_EQ(Run(table), kStatusOk);
  EXPECT_EQ(Body(), ramp);
  scale = 2048;
  ASSERT_EQ(Run(table), kStatusOk);
  const std::vector<uint8_t> body = Body();
  for (size_t i = 0; i < body.size(); ++i) ASSERT_EQ(body[i], std::min(255, ramp[i] * 2)) << i;
  table.table_class = 0;
  EXPECT_EQ(Run(table), kStatusBadResource);
}

TEST_F(FinishTest, ClearOptionEmptiesTheChannelOfInk10) {
  ColourTableShape table;
  table.channels = 5;
  table.ink_ids = {1, 2, 3, 0, 10};
  uint8_t clear = 2;
  OptionList options;
  options.Add(kOptionClearInk10, &clear);
  job_.params.options = options.Get();
  ASSERT_EQ(Run(table), kStatusOk);
  EXPECT_EQ(Body(), testkit::RampBody(table));
  clear = 1;
  ASSERT_EQ(Run(table), kStatusOk);
  const std::vector<uint8_t> body = Body();
  for (size_t e = 0; e < body.size(); e += 5) ASSERT_EQ(body[e + 4], 0);
  EXPECT_NE(body[5 * 7 + 1], 0);
}

TEST(GammaMatrixTest, MatrixRowsAreBroughtToTheSum4096) {
  CmColorEngine engine{};
  const int32_t m1[9] = {8192, 0, 0, 0, 8192, 0, 0, 0, 8192};
  const int32_t m2[9] = {4096, 0, 0, 0, 4096, 0, 0, 0, 4096};
  std::memcpy(engine.matrix1, m1, sizeof m1);
  std::memcpy(engine.matrix2, m2, sizeof m2);
  int32_t out[9];
  CombineColorMatrices(&engine, out);
  // 8192 * 4096 >> 14 = 2048 per row; 2048 short of 4096: each element gains 683.
  EXPECT_EQ(out[0], 2048 + 683);
  EXPECT_EQ(out[1], 683);
  // Extreme matrices from the resources: the 32-bit sum of three products of 2^30 wraps to
  // -2^30 (>> 14: -65536) and the row is then brought up to 4095.
  for (int i = 0; i < 9; ++i) engine.matrix1[i] = engine.matrix2[i] = -32768;
  CombineColorMatrices(&engine, out);
  for (int i = 0; i < 9; ++i) ASSERT_EQ(out[i], -65536 + 66901) << i;
  uint32_t t256[256], t512[512];
  BuildGammaTables(t256, t512, 100, 100);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(t256[i], static_cast<uint32_t>(i));
  for (int i = 0; i < 512; ++i) ASSERT_EQ(t512[i], static_cast<uint32_t>(i));
  BuildGammaTables(t256, t512, 200, 100);
  EXPECT_EQ(t256[128], 64u);  // 255 * (128/255)^2 + 0.5
}

}  // namespace
}  // namespace tonvar::colour
