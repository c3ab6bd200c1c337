// Fuzz target: the screening engine's resource steps on bounded blocks, then one band through
// whatever tables they built. The first byte picks the job (mono or four inks, 1 or 2 bits, the
// resolution class, one or two colour tables) and the step whose block the rest of the input
// damages: an odd second byte patches the good block (triples of offset and value), an even one
// replaces it with the rest of the input. Bit 2 of the second byte runs the steps as the
// exports do: no length, each block in a heap block of exactly its size. The damaged block is
// then made consistent first: an id list gets its end marker, a threshold matrix the size its
// length holds; the other blocks have no such rule here, so their steps damage the matrix.
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "testkit/tonvar/exact_block.h"
#include "testkit/tonvar/fuzz_patches.h"
#include "testkit/tonvar/screening_job.h"
#include "tonvar/screening/screen_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tonvar;
  if (size < 2) return 0;
  const uint8_t config = data[0];
  const bool mono = (config & 1) == 0;
  testkit::ScreenJob s(mono ? testkit::ScreenKind::kMono : testkit::ScreenKind::kFourInk);
  static const uint32_t kResolutions[4][2] = {{720, 720}, {1440, 720}, {2880, 720}, {2880, 1440}};
  s.job.bits_per_dot = mono && (config & 2) ? 1 : 2;
  const uint32_t* res = kResolutions[(config >> 2) & 3];
  s.job.resolution_x_dpi = mono ? res[0] : (config & 4 ? 360 : 720);
  s.job.resolution_y_dpi = mono ? res[1] : 720;
  s.two_luts = (config & 16) != 0;
  if (mono && (config & 32)) s.resources[testkit::kScreenFinalId] = testkit::TwoSizeMainBlock();
  // Small matrices keep every run quick; the resampled colour tables dominate the rest.
  static const std::vector<uint8_t> kMatrix = testkit::ShortMatrixBlock(16, 8, testkit::DispersedMatrix(16, 8));
  for (uint16_t matrix_id : testkit::kScreenMatrixIds) s.resources[matrix_id] = kMatrix;
  if (s.New() != kStatusOk) return 0;

  const uint32_t steps = mono ? 3 : 4;
  const uint32_t damaged_step = (config >> 6) % steps + 1;
  const bool unbounded = (data[1] & 4) != 0;
  const uint32_t matrix_step = mono ? 2 : 3;
  ResourceId id = s.first_id;
  for (uint32_t step = 1; step <= steps && id != kNoMoreResources; ++step) {
    const bool damaged = unbounded ? (damaged_step == 1 ? step == 1 : step == matrix_step) : step == damaged_step;
    // The exports' caller has no bytes for an id it does not hold: it stops there.
    if (unbounded && !damaged && s.resources.count(id) == 0) break;
    std::vector<uint8_t> block = s.resources.count(id) ? s.resources[id] : std::vector<uint8_t>();
    if (damaged) {
      if (data[1] & 1) {
        for (size_t at = 2; at + 3 <= size && !block.empty(); at += 3) {
          block[(data[at] | (data[at + 1] << 8)) % block.size()] = data[at + 2];
        }
        if (data[1] & 2) block.resize(block.size() / 2);
      } else {
        block.assign(data + 2, data + size);
      }
    }
    if (unbounded && damaged) {
      block = step == 1 ? testkit::EndIdList(std::move(block)) : testkit::MatrixFromLength(std::move(block));
    }
    const testkit::ExactBlock exact(block);
    const EngineStatus status = screening::ScreenSetResource(s.engine(), exact.Bytes(!unbounded), &id);
    if (status != kStatusOk) break;
  }
  // A band over the full width, whatever the steps left: refused or screened, never a fault.
  s.input.assign(2, std::vector<uint8_t>(4 * 66, 0));
  for (size_t i = 0; i < s.input[0].size(); ++i) s.input[0][i] = s.input[1][i] = static_cast<uint8_t>(i * 37);
  s.plane_bytes = 17;
  s.Halftone(0, 65, 2, 3);
  return 0;
}
