// Engines of the multi-level fuzz targets, created on a small in-memory colour table and taken
// through the first resource step (they live for the whole run), and the reader of the fuzzer's
// bytes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "testkit/tonvar/halftone_resources.h"
#include "tonvar/multi_level/multi_level_engine.h"

namespace tonvar::multi_level {

// A job of `width` pixels, ordered dither, 4 inks (ink set 1) or 8 (9), by default at 2 bits per
// dot and 720 x 720 dpi.
inline MultiLevelEngine* NewFuzzEngine(bool eight_inks, uint32_t width, uint32_t h_dpi = 720, uint32_t v_dpi = 720,
                                       uint32_t bits_per_dot = 2) {
  ::testkit::CubeTableShape shape;
  shape.grid = 2;
  shape.channels = eight_inks ? 8 : 4;
  static ::testkit::CubeTable* tables[2];
  ::testkit::CubeTable*& table = tables[eight_inks ? 1 : 0];
  if (table == nullptr) table = new ::testkit::CubeTable(shape);
  RasterJob job{};
  job.method = 3;
  job.channel_order = 3;
  job.ink_set = eight_inks ? 9 : 1;
  job.resolution_x_dpi = h_dpi;
  job.resolution_y_dpi = v_dpi;
  job.bits_per_dot = bits_per_dot;
  job.width_pixels = width;
  EngineCreateArgs args;
  args.job = &job;
  args.tables[0] = table->Get();
  ResourceId id = 0;
  void* engine = nullptr;
  if (MultiLevelNew(args, &id, &engine) != kStatusOk) __builtin_trap();
  const uint8_t none = 0;
  if (MultiLevelSetResource(engine, common::ResourceBytes{&none, 1}, &id) != kStatusOk) __builtin_trap();
  return static_cast<MultiLevelEngine*>(engine);
}

// Completes an engine's resources with a generated matrix block and the default dot curves;
// false when a step refuses or the engine asks for more.
inline bool CompleteWithDefaultResources(MultiLevelEngine* engine, bool eight_inks) {
  ::testkit::MatrixBlockShape matrix;
  matrix.phases = ::testkit::SamplePhases(eight_inks ? 8 : 4);
  ResourceId id = 0;
  for (const auto& bytes : {::testkit::BuildMatrixBlock(matrix), ::testkit::BuildDotCurveTable({})}) {
    if (MultiLevelSetResource(engine, common::ResourceBytes{bytes.data(), bytes.size()}, &id) != kStatusOk) {
      return false;
    }
  }
  return id == kNoMoreResources;
}

// The fuzzer's bytes, taken one field at a time; zeros once they run out.
struct FuzzBytes {
  const uint8_t* data;
  size_t size;
  uint8_t Byte() {
    if (size == 0) return 0;
    --size;
    return *data++;
  }
  int32_t Small() { return static_cast<int8_t>(Byte()); }
  // An even number 0..limit.
  int32_t Even(int32_t limit) { return 2 * (Byte() % (limit / 2 + 1)); }
  // A block of up to 65535 bytes, as long as the bytes last.
  common::ResourceBytes Block() {
    const size_t length = std::min<size_t>(size, Byte() | (size_t{Byte()} << 8));
    const common::ResourceBytes block{data, length};
    data += length;
    size -= length;
    return block;
  }
};

}  // namespace tonvar::multi_level
