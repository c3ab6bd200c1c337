// Fuzz target of the resource steps and a short band of every routed combination: 4 or 8 inks,
// 1 or 2 bits per dot, each resolution class, methods 1 and 3; the matrix and dot-curve blocks
// either fuzzed bytes or generated with fuzzed samples (values past one dot's weight included).
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
constexpr uint32_t kClassDpi[4][2] = {{720, 720}, {720, 1440}, {1440, 720}, {2880, 720}};

// Engines after the first step, one per ink count, resolution class and depth.
MultiLevelEngine* EngineFor(bool eight_inks, int ratio_class, uint32_t bits) {
  static MultiLevelEngine* engines[2][4][2];
  MultiLevelEngine*& engine = engines[eight_inks ? 1 : 0][ratio_class][bits - 1];
  if (engine == nullptr) {
    engine = NewFuzzEngine(eight_inks, kWidth, kClassDpi[ratio_class][0], kClassDpi[ratio_class][1], bits);
  }
  return engine;
}

uint16_t Word(FuzzBytes& in) { return static_cast<uint16_t>(in.Byte() | in.Byte() << 8); }

// A dot-curve table with fuzzed samples, 8 or 16 bits.
std::vector<uint8_t> FuzzedDotCurves(FuzzBytes& in, bool wide) {
  ::testkit::DotCurveTableShape shape;
  shape.bits = wide ? 16 : 8;
  shape.fraction_bits = wide ? static_cast<int16_t>(in.Byte() % 9) : 0;
  const uint16_t small = Word(in), medium = Word(in), large = Word(in);
  for (int level = 0; level < shape.rows; ++level) {
    const auto scale = [&](uint16_t v) {
      const uint32_t ramp = v * static_cast<uint32_t>(level) / 511;
      return static_cast<uint16_t>(wide ? ramp : ramp & 0xFF);
    };
    shape.values.push_back({scale(small), scale(medium), scale(large)});
  }
  return ::testkit::BuildDotCurveTable(shape);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzBytes in{data, size};
  const uint8_t flags = in.Byte();
  const bool eight_inks = (flags & 1) != 0;
  const uint32_t bits = (flags & 2) != 0 ? 1 : 2;
  MultiLevelEngine* engine = EngineFor(eight_inks, (flags >> 2) & 3, bits);
  RasterJob& job = engine->job;
  job.method = (flags & 16) != 0 ? 1 : 3;
  job.replication = (flags & 32) != 0 ? 1u : 0u;
  job.edge_mask = 0;
  engine->step = 1;
  engine->ready = engine->step_failed = 0;

  // The matrix, then the dot curves: raw bytes or generated from fuzzed samples.
  std::vector<uint8_t> matrix_block, curve_block;
  ResourceBytes blocks[2];
  if ((flags & 64) != 0) {
    blocks[0] = in.Block();
  } else {
    ::testkit::MatrixBlockShape matrix;
    matrix.width = matrix.height = 8;
    matrix.phases = ::testkit::SamplePhases(eight_inks ? 8 : 4);
    for (int i = 0; i < 64; ++i) matrix.samples.push_back(static_cast<int16_t>(Word(in) % 5000 - 500));
    matrix_block = ::testkit::BuildMatrixBlock(matrix);
    blocks[0] = {matrix_block.data(), matrix_block.size()};
  }
  if ((flags & 128) != 0) {
    blocks[1] = in.Block();
  } else {
    curve_block = FuzzedDotCurves(in, (in.Byte() & 1) != 0);
    blocks[1] = {curve_block.data(), curve_block.size()};
  }
  ResourceId id = 0;
  for (const ResourceBytes& block : blocks) {
    if (MultiLevelSetResource(engine, block, &id) != kStatusOk) return 0;
  }
  if (id != kNoMoreResources) return 0;

  // Two calls of a short band.
  const int planes = engine->state->ink_count;
  const int64_t plane_bytes = kWidth / 4 + 2;
  std::vector<uint8_t> input[2], output[2];
  for (int r = 0; r < 2; ++r) {
    input[r].assign(8 * (kWidth + 2), in.Byte());
    for (size_t i = 0; i < input[r].size() && in.size > 0; i += 5) input[r][i] = in.Byte();
    output[r].assign(size_t(planes * plane_bytes), 0);
  }
  const uint8_t* in_rows[2] = {input[0].data(), input[1].data()};
  uint8_t* out_rows[2] = {output[0].data(), output[1].data()};
  for (uint32_t call = 0; call < 2; ++call) {
    const uint32_t first_dot = in.Byte() % (8 / bits);
    const uint32_t x_start = in.Byte() % (kWidth + 1);
    const uint32_t count = in.Byte() % (kWidth + 1);
    const uint32_t line = in.Byte();
    MultiLevelHalftone(engine, {in_rows, out_rows, plane_bytes, first_dot, count, x_start, 2, line, 0, 0});
  }
  return 0;
}
