// Fuzz target of the resource steps after the first: the matrix block, the interior and edge
// dot-curve blocks and the job fields the steps read, on an engine whose cubes were built once.
// Bit 7 of the first byte runs the steps as the exports do: no length, each block alone in a
// heap block of exactly its size. The matrix gets its value count or shape made to fit its
// length first. The dot-curve blocks end where their directories and entry offsets say, so the
// bounded steps decide which are consistent: the steps are first run bounded, and each dot-curve
// step they accept is then run again unbounded and must be accepted again.
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

// Steps 2 to 5 from a fresh start, each block in a heap block of exactly its size, bounded where
// `bounds` says; the statuses of the steps run.
std::vector<EngineStatus> RunSteps(MultiLevelEngine* engine, const std::vector<std::vector<uint8_t>>& blocks,
                                   const std::vector<bool>& bounds) {
  engine->step = 1;
  engine->ready = engine->step_failed = 0;
  std::vector<EngineStatus> statuses;
  for (size_t i = 0; i < blocks.size(); ++i) {
    const testkit::ExactBlock block(blocks[i]);
    ResourceId id = 0;
    statuses.push_back(MultiLevelSetResource(engine, block.Bytes(bounds[i]), &id));
    if (statuses.back() != kStatusOk || id == kNoMoreResources) break;
  }
  return statuses;
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
  std::vector<std::vector<uint8_t>> blocks;
  for (int step = 2; step <= 5; ++step) {
    const common::ResourceBytes block = in.Block();
    blocks.emplace_back(block.data, block.data + block.size);
  }
  if ((flags & 0x80) == 0) {
    RunSteps(engine, blocks, std::vector<bool>(blocks.size(), true));
    return 0;
  }
  blocks[0] = testkit::LaidOutMatrixFromLength(std::move(blocks[0]));
  const std::vector<EngineStatus> bounded = RunSteps(engine, blocks, std::vector<bool>(blocks.size(), true));
  std::vector<bool> bounds(blocks.size(), false);
  for (size_t i = 1; i < blocks.size(); ++i) bounds[i] = i >= bounded.size() || bounded[i] != kStatusOk;
  const std::vector<EngineStatus> unbounded = RunSteps(engine, blocks, bounds);
  for (size_t i = 1; i < std::min(bounded.size(), unbounded.size()); ++i) {
    if (bounded[i] == kStatusOk && unbounded[i] != kStatusOk) __builtin_trap();
  }
  return 0;
}
