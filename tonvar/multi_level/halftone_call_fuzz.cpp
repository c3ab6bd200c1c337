// Fuzz target of the Halftone call on complete 4- and 8-ink engines: the call's arguments, the
// replication code and method, and the edge and transition widths and vertical bounds that the
// resource steps may leave. Rows are exactly as long as the widest call may use.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "testkit/tonvar/halftone_resources.h"
#include "tonvar/multi_level/fuzz_engine.h"

namespace {

using namespace tonvar;
using namespace tonvar::multi_level;

constexpr uint32_t kWidth = 40;

// Complete engines for 4 and 8 inks: the matrix and one dot table for every ink.
MultiLevelEngine* EngineFor(bool eight_inks) {
  static MultiLevelEngine* engines[2];
  MultiLevelEngine*& engine = engines[eight_inks ? 1 : 0];
  if (engine != nullptr) return engine;
  engine = NewFuzzEngine(eight_inks, kWidth);
  ::testkit::MatrixBlockShape matrix;
  matrix.phases = ::testkit::SamplePhases(eight_inks ? 8 : 4);
  ResourceId id = 0;
  for (const auto& bytes : {::testkit::BuildMatrixBlock(matrix), ::testkit::BuildDotCurveTable({})}) {
    if (MultiLevelSetResource(engine, ResourceBytes{bytes.data(), bytes.size()}, &id) != kStatusOk) __builtin_trap();
  }
  if (id != kNoMoreResources) __builtin_trap();
  return engine;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzBytes in{data, size};
  const uint8_t flags = in.Byte();
  MultiLevelEngine* engine = EngineFor((flags & 1) != 0);
  MultiLevelState& s = *engine->state;
  RasterJob& job = engine->job;
  const int32_t codes[8] = {-1, 0, 1, 3, 7, 15, 2, -2};
  job.replication = static_cast<uint32_t>(codes[in.Byte() % 8]);
  job.method = (flags & 2) != 0 ? 1 : 3;
  job.row_pairing = (flags & 4) != 0 ? 1 : 0;

  // Edges as the steps leave them: even, within the width; transitions even, of any width.
  s.edge_left = in.Even(kWidth);
  s.edge_right = std::min<int32_t>(in.Even(kWidth), kWidth - s.edge_left);
  s.blend_left = in.Even(200);
  s.blend_right = in.Even(200);
  const int32_t height = 2 * in.Byte();
  const int32_t top = std::min(in.Even(60), height), bottom = std::min(in.Even(60), height - top);
  const int32_t blend_top = in.Even(60), blend_bottom = in.Even(60);
  const int32_t bounds[6] = {0, top, top + blend_top, height - bottom - blend_bottom, height - bottom, height};
  std::copy(bounds, bounds + 6, s.row_bounds);
  std::copy(bounds, bounds + 6, s.row_bounds_used);
  if (s.row_bounds_used[3] < s.row_bounds_used[2]) {
    int32_t middle = (s.row_bounds_used[2] + s.row_bounds_used[3]) / 2;
    middle += middle & 1;
    s.row_bounds_used[2] = s.row_bounds_used[3] = middle;
  }

  const uint32_t first_dot = in.Byte() % 5;
  const uint32_t x_start = in.Byte() % (kWidth + 4);
  const uint32_t count = in.Byte() % (kWidth + 4);
  const uint32_t rows = in.Byte() % 3;
  const uint32_t line = in.Byte();
  const int planes = s.ink_count;
  const int64_t plane_bytes = kWidth / 4 + 2;
  std::vector<uint8_t> input[2], output[2];
  for (int r = 0; r < 2; ++r) {
    input[r].assign(8 * (kWidth + 2), static_cast<uint8_t>(in.Byte()));
    for (size_t i = 0; i < input[r].size() && in.size > 0; i += 7) input[r][i] = in.Byte();
    output[r].assign(planes * plane_bytes, 0);
  }
  const bool negative = (flags & 8) != 0;
  const int64_t stride = negative ? -plane_bytes : plane_bytes;
  const uint8_t* in_rows[2] = {input[0].data(), input[1].data()};
  uint8_t* out_rows[2] = {output[0].data() + (negative ? (planes - 1) * plane_bytes : 0),
                          output[1].data() + (negative ? (planes - 1) * plane_bytes : 0)};
  const HalftoneBand band{in_rows, out_rows, stride, first_dot, count, x_start, rows, line, 0, 0};
  MultiLevelHalftone(engine, band);
  return 0;
}
