// Colour-table interpolation: grid points come back exactly, a hand-computed tetrahedral
// value, tie cases, the four-input slices and the tone table.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "testkit/tonvar/colour_job.h"
#include "testkit/tonvar/colour_resources.h"
#include "tonvar/colour/colour_engine.h"
#include "tonvar/colour/engine_operations.h"

namespace tonvar::colour {
namespace {

// An engine whose descriptor points at a table owned by the test.
class InterpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testkit::ColourJob job;
    ResourceId first = 0;
    ASSERT_EQ(CmColorNew(EngineCreateArgs{&job.params, &job.job}, &first, &handle_.engine), kStatusOk);
    engine_ = static_cast<CmColorEngine*>(handle_.engine);
  }
  void TearDown() override {
    engine_->lut->body = nullptr;
    EXPECT_EQ(CmColorDelete(&handle_.engine), kStatusOk);
  }
  void Use(const testkit::ColourTableShape& desc) {
    body_ = testkit::RampBody(desc);
    coords_ = desc.coords.empty() ? testkit::UniformGrid(desc.grid) : desc.coords;
    LutDescriptor* lut = engine_->lut;
    lut->channel_count = desc.channels;
    const uint32_t axes = desc.format == kFormatFourInputs ? 4 : 3;
    for (uint32_t k = 0; k < 4; ++k) {
      lut->grid_points[k] = k < axes ? desc.grid : 1;
      if (k < axes) std::memcpy(lut->grid[k], coords_.data(), desc.grid);
    }
    lut->body = body_.data();
    engine_->format = desc.format;
  }
  std::vector<uint8_t> Look(uint8_t r, uint8_t g, uint8_t b) {
    const uint8_t px[4] = {0, r, g, b};
    std::vector<uint8_t> out(engine_->lut->channel_count);
    InterpolateColor3(engine_, 1, px, out.data());
    return out;
  }

  CmHandle handle_{};
  CmColorEngine* engine_ = nullptr;
  std::vector<uint8_t> body_, coords_;
};

TEST_F(InterpTest, GridPointsReturnTheirEntriesExactly) {
  testkit::ColourTableShape desc;
  desc.grid = 6;
  desc.channels = 5;
  desc.coords = {0, 20, 21, 100, 180, 255};
  Use(desc);
  for (uint32_t i = 0; i < 6; ++i)
    for (uint32_t j = 0; j < 6; ++j)
      for (uint32_t k = 0; k < 6; ++k) {
        const auto out = Look(desc.coords[i], desc.coords[j], desc.coords[k]);
        ASSERT_EQ(std::memcmp(out.data(), &body_[((i * 6 + j) * 6 + k) * 5], 5), 0) << i << j << k;
      }
}

TEST_F(InterpTest, TetrahedralValueBetweenGridPoints) {
  // Channel 0 holds the axis-1 coordinate and channel 1 the axis-2 coordinate: linear in the
  // grid, so any point inside reproduces its inputs (up to truncation of the fractions).
  testkit::ColourTableShape desc;
  desc.grid = 3;  // 0, 127, 255
  desc.channels = 4;
  Use(desc);
  auto out = Look(60, 100, 20);
  EXPECT_EQ(out[0], 60);
  // y = 100 * 127 / 127 = 100 within the first cell of axis 2, so channel 1 is exact too.
  EXPECT_EQ(out[1], 100);
  EXPECT_EQ(out[2], 20);
  // Channel 3 = 255 - (a + b + c) / 3 at the corners; inside the cell it is the barycentric
  // mix of the tetrahedron x >= y? here y (100) > x (60) > z (20): P000, P010, P110, P111.
  const uint32_t d = 127, x = 60, y = 100, z = 20;
  auto corner = [&](uint32_t i, uint32_t j, uint32_t k) { return body_[((i * 3 + j) * 3 + k) * 4 + 3]; };
  const uint32_t expected =
      ((d - y) * corner(0, 0, 0) + (y - x) * corner(0, 1, 0) + (x - z) * corner(1, 1, 0) + z * corner(1, 1, 1)) / d;
  EXPECT_EQ(out[3], expected);
  // Ties: x = y gives the same result from either of the applicable tetrahedra.
  EXPECT_EQ(Look(90, 90, 10), Look(90, 90, 10));
  EXPECT_EQ(Look(0, 0, 0)[3], body_[3]);
  EXPECT_EQ(Look(255, 255, 255)[3], body_.back());
}

TEST_F(InterpTest, CoincidingGridCoordinatesGiveAValueInsteadOfAFault) {
  // A damaged table whose first two coordinates coincide: the cells of width 0 give 0.
  testkit::ColourTableShape desc;
  desc.grid = 3;
  desc.channels = 2;
  desc.coords = {0, 0, 255};
  Use(desc);
  EXPECT_EQ(Look(0, 0, 0), (std::vector<uint8_t>{0, 0}));
  // Axis 1 has a real cell here; axes 2 and 3 sit in the empty one.
  EXPECT_EQ(Look(128, 0, 0).size(), 2u);
}

TEST_F(InterpTest, FourInputSlicesMatchTheThreeInputLookUp) {
  testkit::ColourTableShape desc;
  desc.grid = 3;
  desc.channels = 4;
  desc.format = kFormatFourInputs;
  Use(desc);
  // Channel 3 of the four-input ramp is the fourth coordinate: linear in u4.
  uint8_t out[4];
  InterpolateColor4(engine_->lut, 10, 200, 30, 127, out);
  EXPECT_EQ(out[3], 127);
  InterpolateColor4(engine_->lut, 10, 200, 30, 60, out);
  EXPECT_EQ(out[3], 60);
  EXPECT_EQ(out[0], 10);
  InterpolateColor4(engine_->lut, 255, 255, 255, 255, out);
  EXPECT_EQ(std::memcmp(out, &body_[body_.size() - 4], 4), 0);
}

TEST_F(InterpTest, ToneTableIsLinearBetweenItsPoints) {
  testkit::ColourTableShape desc;
  Use(desc);
  ToneTable* tone = engine_->lut->tone_table;
  uint16_t values[6] = {0, 100, 1000, 200, 4080, 300};
  tone->point_count = 3;
  tone->channel_count = 2;
  tone->levels[0] = 0;
  tone->levels[1] = 100;
  tone->levels[2] = 255;
  tone->values = values;
  const uint8_t px[8] = {0, 50, 0, 0, 0, 100, 0, 0};
  uint16_t out[4];
  InterpolateTone(engine_, 2, px, out);
  EXPECT_EQ(out[0], 500);
  EXPECT_EQ(out[1], 150);
  EXPECT_EQ(out[2], 1000);
  EXPECT_EQ(out[3], 200);
  tone->values = nullptr;
}

}  // namespace
}  // namespace tonvar::colour
