// Test fixture of the multi-level engine's unit tests: an engine created on in-memory colour
// tables, fed resources through its own step call, always deleted, with no block left behind.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tonvar/common/memory_faults.h"
#include "testkit/tonvar/halftone_resources.h"
#include "tonvar/multi_level/multi_level_engine.h"

namespace tonvar::multi_level {

// A 4-ink 2-bit job at 720 x 720 dpi, 64 pixels wide, ordered dither.
inline RasterJob SampleJob() {
  RasterJob job{};
  job.method = 3;
  job.channel_order = 1;
  job.ink_set = 1;
  job.resolution_x_dpi = 720;
  job.resolution_y_dpi = 720;
  job.bits_per_dot = 2;
  job.width_pixels = 64;
  job.height_lines = 100;
  return job;
}

struct StepResult {
  EngineStatus status;
  ResourceId id;
};

class EngineTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(DeleteEngine(), kStatusOk);
    EXPECT_EQ(common::faults::LiveBlocks(), 0);
  }

  // Deletes the engine (nothing when there is none) and forgets it.
  EngineStatus DeleteEngine() {
    void* raw = engine_;
    engine_ = nullptr;
    return MultiLevelDelete(&raw);
  }

  // Creates the engine on one table (or two); the tables outlive it.
  EngineStatus Create(const RasterJob& job, const ::testkit::CubeTableShape& first = {},
                      const ::testkit::CubeTableShape* second = nullptr) {
    job_ = job;
    first_ = std::make_unique<::testkit::CubeTable>(first);
    second_.reset(second != nullptr ? new ::testkit::CubeTable(*second) : nullptr);
    EngineCreateArgs args;
    args.job = &job_;
    args.tables[0] = first_->Get();
    args.tables[1] = second_ ? second_->Get() : nullptr;
    void* raw = nullptr;
    const EngineStatus status = MultiLevelNew(args, &first_id_, &raw);
    engine_ = static_cast<MultiLevelEngine*>(raw);
    return status;
  }

  StepResult Step(const std::vector<uint8_t>& bytes) {
    ResourceId id = 0xDEADBEEF;
    const EngineStatus status = MultiLevelSetResource(engine_, ResourceBytes{bytes.data(), bytes.size()}, &id);
    return {status, id};
  }

  // Steps 1 and 2 with a small 4 x 4 matrix; the id step 2 answers.
  StepResult ThroughMatrix() {
    EXPECT_EQ(Step({0}).status, kStatusOk);
    ::testkit::MatrixBlockShape matrix;
    matrix.phases = ::testkit::SamplePhases(engine_->state->ink_count);
    return Step(::testkit::BuildMatrixBlock(matrix));
  }

  MultiLevelState& State() { return *engine_->state; }

  common::faults::ScopedReset seam_;
  RasterJob job_{};  // the caller's record, which the engine copies
  std::unique_ptr<::testkit::CubeTable> first_, second_;
  ResourceId first_id_ = 0;
  MultiLevelEngine* engine_ = nullptr;
};

}  // namespace tonvar::multi_level
