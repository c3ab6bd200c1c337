// Test fixture of the grey-input engine: an engine created through its operations on a grey
// table of the kit, fed the kit's resources, and bands run through GreyHalftone.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "testkit/tonvar/grey_halftone_resources.h"
#include "tonvar/common/memory_faults.h"
#include "tonvar/grey_input/grey_halftone_engine.h"

namespace tonvar::grey_input {

inline ResourceBytes Bytes(const std::vector<uint8_t>& b) { return {b.data(), b.size()}; }

inline RasterJob GreyJob(uint32_t bits, uint32_t h_res = 720, uint32_t v_res = 720, uint32_t method = 3,
                         uint32_t width = 64) {
  RasterJob job{};
  job.method = method;
  job.channel_order = 3;
  job.ink_set = 9;
  job.resolution_x_dpi = h_res;
  job.resolution_y_dpi = v_res;
  job.bits_per_dot = bits;
  job.width_pixels = width;
  job.height_lines = 100;
  return job;
}

// Rows of 4-byte pixels and eight output planes per row, with guard bytes around every plane.
struct Band {
  static constexpr int kGuard = 8;
  std::vector<std::vector<uint8_t>> input;
  std::vector<std::vector<uint8_t>> output;  // per row: guard, 8 planes of `stride`, guard
  int32_t stride = 0;
  const uint8_t* in[2] = {};
  uint8_t* out[2] = {};

  Band(int rows, int pixels, int32_t plane_bytes, uint8_t fill = 0) : stride(plane_bytes) {
    for (int r = 0; r < rows; ++r) {
      input.emplace_back(size_t(pixels) * 4, 0);
      output.emplace_back(size_t(kGuard) * 2 + 8 * size_t(plane_bytes), fill);
    }
    for (int r = 0; r < rows; ++r) {
      in[r] = input[r].data();
      out[r] = output[r].data() + kGuard;
    }
  }
  void SetGrey(int row, int x, uint8_t g) {
    for (int c = 0; c < 3; ++c) input[row][4 * x + c] = g;
  }
  uint8_t* Plane(int row, int k) { return out[row] + k * stride; }
  HalftoneBand Args(uint32_t first_bit, uint32_t count, uint32_t x_start, uint32_t row_count,
                    uint32_t line) const {
    HalftoneBand b{};
    b.input_rows = in;
    b.output_rows = out;
    b.plane_stride = stride;
    b.first_bit = first_bit;
    b.count = count;
    b.x_start = x_start;
    b.row_count = row_count;
    b.line_number = line;
    return b;
  }
};

class GreyEngineTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (engine_ != nullptr) {
      EXPECT_EQ(GreyHalftoneDelete(&engine_), kStatusOk);
    }
    EXPECT_EQ(common::faults::LiveBlocks(), 0);
  }

  EngineStatus Create(const RasterJob& job) {
    job_ = job;
    EngineCreateArgs args;
    args.job = &job_;
    args.tables[0] = lut_.get();
    return GreyHalftoneNew(args, &id_, &engine_);
  }
  EngineStatus Feed(const std::vector<uint8_t>& block) {
    return GreyHalftoneSetResource(engine_, Bytes(block), &id_);
  }
  // Creation and the two resource steps of a job without an ink list.
  void Ready(const RasterJob& job, const testkit::GreyScreenShape& screen = {},
             const std::vector<uint8_t>& dots = testkit::BuildGreyDotCurveKind3({})) {
    ASSERT_EQ(Create(job), kStatusOk);
    ASSERT_EQ(Feed(dots), kStatusOk);
    ASSERT_EQ(Feed(testkit::BuildGreyScreen(screen)), kStatusOk);
    ASSERT_EQ(id_, kNoMoreResources);
  }
  GreyHalftoneEngine& Engine() { return *static_cast<GreyHalftoneEngine*>(engine_); }

  common::faults::ScopedReset reset_;
  std::unique_ptr<GreyLut> lut_ = testkit::BuildGreyLut();
  RasterJob job_{};
  ResourceId id_ = 0;
  void* engine_ = nullptr;
};

}  // namespace tonvar::grey_input
