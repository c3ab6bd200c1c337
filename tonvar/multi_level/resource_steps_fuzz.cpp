// Fuzz target of the resource steps after the first: the matrix block, the interior and edge
// dot-curve blocks and the job fields the steps read, on an engine whose cubes were built once.
// Bit 7 of the first byte runs the matrix step as the exports do: no length, the block alone in
// a heap block of exactly its size, its value count or shape made to fit its length first (the
// dot-curve blocks have no such rule here: that mode ends after the matrix).
#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "testkit/tonvar/exact_block.h"
#include "testkit/tonvar/fuzz_patches.h"
#include "testkit/tonvar/halftone_resources.h"
#include "tonvar/multi_level/fuzz_engine.h"

namespace {

using namespace tonvar;
using namespace tonvar::multi_level;

// Engines after step 1 for 4 and 8 inks; they live for the whole run.
MultiLevelEngine* EngineFor(bool eight_inks) {
  static MultiLevelEngine* engines[2];
  MultiLevelEngine*& engine = engines[eight_inks ? 1 : 0];
  if (engine == nullptr) engine = NewFuzzEngine(eight_inks, 64);
  return engine;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzBytes in{data, size};
  const uint8_t flags = in.Byte();
  MultiLevelEngine* engine = EngineFor((flags & 1) != 0);
  RasterJob& job = engine->job;
  job.bits_per_dot = (flags & 2) != 0 ? 1 : 2;
  job.ink_set = (flags & 1) != 0 ? 9 : ((flags & 4) != 0 ? 1 : 8);
  job.edge_mask = in.Byte() & 0x1F;
  job.edge_unit = (flags & 8) != 0 ? 16 : ((flags & 16) != 0 ? 0 : in.Byte());
  job.height_lines = in.Byte();
  job.width_pixels = in.Byte();
  job.edge_top = in.Small(), job.edge_bottom = in.Small(), job.edge_left = in.Small(), job.edge_right = in.Small();
  LutDescriptor& table = engine->tables[0];
  table.upper = in.Small(), table.lower = in.Small(), table.left = in.Small(), table.right = in.Small();
  table.dot_curve_id = (flags & 32) != 0 ? -1 : 733;
  table.bsmb_id = (flags & 64) != 0 ? -1 : 734;
  engine->step = 1;
  engine->ready = engine->step_failed = 0;
  if ((flags & 0x80) != 0) {
    const common::ResourceBytes fuzzed = in.Block();
    const testkit::ExactBlock block(
        testkit::LaidOutMatrixFromLength(std::vector<uint8_t>(fuzzed.data, fuzzed.data + fuzzed.size)));
    ResourceId id = 0;
    MultiLevelSetResource(engine, block.Unbounded(), &id);
    return 0;
  }
  for (int step = 2; step <= 5; ++step) {
    ResourceId id = 0;
    if (MultiLevelSetResource(engine, in.Block(), &id) != kStatusOk || id == kNoMoreResources) break;
  }
  return 0;
}
