// Test fixture of the colour engine's tests: a ColourJob, the engine it runs (deleted and
// checked for leaks after each test) and the descriptor it hands out. Needs the test builds'
// allocation-failure seam.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "testkit/tonvar/colour_job.h"
#include "tonvar/colour/engine_operations.h"
#include "tonvar/common/memory_faults.h"
#include "tonvar/interface/lut_descriptor.h"

namespace testkit {

class ColourEngineFixture : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(tonvar::colour::CmColorDelete(&handle_.engine), tonvar::kStatusOk);
    EXPECT_EQ(tonvar::common::faults::LiveBlocks(), 0);
  }
  // Runs a one-row mode table of `version` naming table_id, with `table` under that id.
  tonvar::EngineStatus RunOneRow(uint32_t table_id, std::vector<uint8_t> table, int version,
                                 ModeRowShape row = {}) {
    tonvar::colour::CmColorDelete(&handle_.engine);
    handle_ = tonvar::CmHandle{};
    job_.AddOneRowTables(table_id, std::move(table), version, std::move(row));
    return job_.Run(&handle_);
  }
  const tonvar::LutDescriptor* Lut() {
    return static_cast<tonvar::LutDescriptor*>(tonvar::colour::CmColorGetLut(handle_.engine));
  }

  tonvar::common::faults::ScopedReset reset_;
  ColourJob job_;
  tonvar::CmHandle handle_{};  // holds the engine as the interface's handle does
};

}  // namespace testkit
