// Fuzz target: the dot-curve block readers of both kinds on arbitrary bounded blocks. The first
// byte chooses the job's ink set and whether the input patches a good block (kind 3 of 256 or
// 512 levels, or kind 4; bytes 1-2 the length to cut it to, then triples of offset and value) so
// that an empty corpus reaches the samples, or stands for a block as it is.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "testkit/tonvar/correction_resources.h"
#include "tonvar/common/dot_curve_blocks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tonvar;
  if (size < 1) return 0;
  static const std::vector<uint8_t> kTemplates[3] = {
      [] {
        testkit::DotCurveKind3Spec spec;
        spec.levels = 256;
        return testkit::BuildDotCurveKind3(spec);
      }(),
      testkit::BuildDotCurveKind3({}),
      [] {
        testkit::DotCurveKind4Spec spec;
        spec.entries = testkit::DotCurveEntriesFor(9);
        return testkit::BuildDotCurveKind4(spec);
      }(),
  };
  static const uint32_t kInkSets[8] = {1, 3, 4, 5, 6, 7, 9, 2};
  const uint8_t choice = data[0];
  std::vector<uint8_t> block(data + 1, data + size);
  if (choice & 0x80) {
    block = kTemplates[(choice >> 3) % 3];
    size_t at = 1;
    if (size >= 3) {
      const size_t cut = data[1] | (data[2] << 8);
      if (cut != 0 && cut < block.size()) block.resize(cut);
      at = 3;
    }
    for (; at + 3 <= size && !block.empty(); at += 3) {
      block[(data[at] | (data[at + 1] << 8)) % block.size()] = data[at + 2];
    }
  }
  auto tables = std::make_unique<common::DotCurveTables>();
  int32_t weights[3];
  common::ReadDotCurveBlock({block.data(), block.size()}, kInkSets[choice & 7], tables.get(), weights);
  return 0;
}
