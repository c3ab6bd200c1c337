// Fuzz target: the dot-curve block readers of both kinds on arbitrary blocks. The first byte
// chooses the job's ink set (bits 0-2), the good block to patch (bits 3-4: kind 3 of 256 or 512
// levels, or kind 4) and whether the input patches it (bit 7; bytes 1-2 the length to cut it
// to, then triples of offset and value) so that an empty corpus reaches the samples, or stands
// for a block as it is. With bit 5 the block is read as the exports hand it over: no length, in
// a heap block of exactly its size, its size word made the block's length.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "testkit/tonvar/correction_resources.h"
#include "testkit/tonvar/exact_block.h"
#include "testkit/tonvar/fuzz_patches.h"
#include "tonvar/common/dot_curve_blocks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tonvar;
  if (size < 1) return 0;
  static const std::vector<uint8_t> kTemplates[3] = {
      [] {
        testkit::DotCurveKind3Shape shape;
        shape.levels = 256;
        return testkit::BuildDotCurveKind3(shape);
      }(),
      testkit::BuildDotCurveKind3({}),
      [] {
        testkit::DotCurveKind4Shape shape;
        shape.entries = testkit::DotCurveEntriesFor(9);
        return testkit::BuildDotCurveKind4(shape);
      }(),
  };
  static const uint32_t kInkSets[8] = {1, 3, 4, 5, 6, 7, 9, 2};
  const uint8_t choice = data[0];
  std::vector<uint8_t> block = (choice & 0x80)
                                   ? testkit::PatchResource(kTemplates[((choice >> 3) & 3) % 3], data + 1, size - 1)
                                   : std::vector<uint8_t>(data + 1, data + size);
  const bool unbounded = (choice & 0x20) != 0;
  if (unbounded) block = testkit::SizeWordFromLength(std::move(block));
  const testkit::ExactBlock exact(block);
  auto tables = std::make_unique<common::DotCurveTables>();
  int32_t weights[3];
  common::ReadDotCurveBlock(exact.Bytes(!unbounded), kInkSets[choice & 7], tables.get(), weights);
  return 0;
}
