// Fuzz target: the colour engine's resource readers and finishing on arbitrary bounded
// resources. The first byte chooses what the input stands for: a fixed-form colour table
// (under a version-300 mode table), a tagged colour table, pre-transform table A, or the
// gamma-and-matrix block (both before a good tagged table); the second byte varies the job.
// Kinds 4 to 7 patch a good resource of the same four kinds instead (bytes 2-3: the length
// to cut it to; then triples of offset and value), so that an empty corpus reaches deep.
// With bit 3 of the first byte every resource passes through the container reader first, so
// that a raw input may also be a (damaged) container or plane-ordered table.
//
// Bit 7 runs the job as the exports do as well: no length, each resource in a heap block of
// exactly its size. These formats end where offsets, grid sizes and channel counts spread
// through them say, not at one size field a generator could set from the input's length, so
// the bounded readers decide which inputs are consistent: a job they complete ends, by every
// resource's own grammar, inside its bytes, and it must then run to the same status unbounded
// (a read past a resource is a sanitizer finding, a different status a crash of the target).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "testkit/tonvar/colour_job.h"
#include "testkit/tonvar/colour_resources.h"
#include "tonvar/colour/engine_operations.h"

namespace {

using namespace tonvar;

std::vector<uint8_t> ModeTable(int version, bool with_extras) {
  testkit::ModeTableShape desc;
  desc.version = version;
  testkit::ModeRowShape row;
  row.table_id = 1000;
  if (with_extras) {
    row.table_a_id = 300;
    row.gamma_matrix_id = 500;
  }
  desc.rows = {row};
  return testkit::TextBytes(testkit::BuildModeTable(desc));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  static const std::vector<uint8_t> kV300 = ModeTable(300, false);
  static const std::vector<uint8_t> kV500 = ModeTable(500, true);
  static const std::vector<uint8_t> kTagged = [] {
    testkit::ColourTableShape desc;
    desc.with_tone = true;
    desc.with_matrix = true;  // patched matrices reach the combination with the block's
    return testkit::BuildTaggedColourTable(desc);
  }();
  static const std::vector<uint8_t> kTableA = testkit::BuildPreTransformTable(3);
  static const std::vector<uint8_t> kGammaMatrix = [] {
    const int16_t m[9] = {8192, 0, 0, 0, 8192, 0, 0, 0, 8192};
    return testkit::BuildGammaMatrixBlock(100, m);
  }();

  const uint8_t kind = data[0] % 4;
  const uint8_t variant = data[1];
  std::vector<uint8_t> input(data + 2, data + size);
  if (data[0] & 4) {
    static const std::vector<uint8_t> kFixed = testkit::BuildFixedColourTable({});
    const std::vector<uint8_t>* templates[4] = {&kFixed, &kTagged, &kTableA, &kGammaMatrix};
    input = *templates[kind];
    size_t at = 2;
    if (size >= 4) {
      const size_t cut = data[2] | (data[3] << 8);
      if (cut < input.size()) input.resize(cut);
      at = 4;
    }
    for (; at + 3 <= size && !input.empty(); at += 3) {
      input[(data[at] | (data[at + 1] << 8)) % input.size()] = data[at + 2];
    }
  }

  testkit::ColourJob job;
  job.unwrap = (data[0] & 8) != 0;
  const uint8_t use_a = 1;
  int32_t scale = 1500;
  const uint8_t clear = 1;
  testkit::OptionList options;
  options.Add(272, &use_a);
  if (variant & 1) options.Add(768, &scale);
  if (variant & 2) options.Add(1024, &clear);
  job.params.options = options.Get();
  job.params.document_type = (variant & 4) ? 2 : 1;
  job.params.mode_modifier = (variant & 4) ? 0 : 1;
  job.params.neutral_axis = (variant & 8) ? 50 : 0;
  job.params.brightness = (variant & 16) ? 20 : 0;
  job.job.ink_set = (variant & 32) ? 0 : 9;
  job.job.sub_mode = 0;

  switch (kind) {
    case 0:
      job.resources[0] = kV300;
      job.resources[1000] = input;
      break;
    case 1:
      job.resources[0] = kV500;
      job.resources[300] = kTableA;
      job.resources[500] = kGammaMatrix;
      job.resources[1000] = input;
      break;
    case 2:
      job.resources[0] = kV500;
      job.resources[300] = input;
      job.resources[500] = kGammaMatrix;
      job.resources[1000] = kTagged;
      break;
    default:
      job.resources[0] = kV500;
      job.resources[300] = kTableA;
      job.resources[500] = input;
      job.resources[1000] = kTagged;
      break;
  }
  CmHandle handle{};
  const EngineStatus bounded = job.Run(&handle);
  colour::CmColorGetLut(handle.engine);
  colour::CmColorDelete(&handle.engine);
  if ((data[0] & 0x80) != 0 && bounded == kStatusOk) {
    job.bounded = false;
    CmHandle unbounded{};
    if (job.Run(&unbounded) != bounded) __builtin_trap();
    colour::CmColorGetLut(unbounded.engine);
    colour::CmColorDelete(&unbounded.engine);
  }
  return 0;
}
