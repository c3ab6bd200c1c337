// Every routed line routine on rows exactly as long as the run needs: input rows of the pixels
// the replication code consumes, output planes of the bytes first dot + count cover, each plane
// followed by guard bytes that must survive. Runs start and end at every column near the line's
// ends, on even and odd widths.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "testkit/tonvar/halftone_resources.h"
#include "tonvar/multi_level/fuzz_engine.h"
#include "tonvar/multi_level/halftone_call.h"

namespace tonvar::multi_level {
namespace {

constexpr uint32_t kClassDpi[4][2] = {{720, 720}, {720, 1440}, {1440, 720}, {2880, 720}};
constexpr size_t kGuard = 8;
constexpr uint8_t kGuardByte = 0xA5;

struct Routed {
  uint32_t bits;
  int ratio_class;
  uint32_t method;
};

constexpr Routed kRouted[] = {{2, 0, 3}, {2, 1, 3}, {2, 2, 3}, {2, 3, 3}, {2, 0, 1}, {2, 1, 1},
                              {2, 2, 1}, {2, 3, 1}, {1, 0, 3}, {1, 2, 3}, {1, 2, 1}};

MultiLevelEngine* ReadyEngine(bool eight_inks, uint32_t width, const Routed& r) {
  MultiLevelEngine* engine = NewFuzzEngine(eight_inks, width, kClassDpi[r.ratio_class][0],
                                           kClassDpi[r.ratio_class][1], r.bits);
  engine->job.method = r.method;
  EXPECT_TRUE(CompleteWithDefaultResources(engine, eight_inks));
  return engine;
}

// Pixels a run of `count` dots reads from each input row.
size_t InputPixels(int32_t code, uint32_t count) {
  if (code == -1) return 2 * size_t{count};
  const uint32_t per_pixel = static_cast<uint32_t>(code) + 1;
  return (count + per_pixel - 1) / per_pixel;
}

// Runs one call on exact rows; false when a guard byte changed.
bool GuardsHold(MultiLevelEngine* engine, int32_t code, uint32_t first_dot, uint32_t x_start, uint32_t count,
                uint32_t rows, uint32_t line, bool negative_stride, EngineStatus* status) {
  const uint32_t bits = engine->job.bits_per_dot;
  const int planes = engine->state->ink_count;
  const size_t plane_bytes = (size_t{first_dot + count} * bits + 7) / 8;
  const size_t stride = plane_bytes + kGuard;
  std::unique_ptr<uint8_t[]> input[2];
  std::unique_ptr<uint8_t[]> output[2];
  const size_t pixels = InputPixels(code, count);
  for (uint32_t r = 0; r < 2; ++r) {
    input[r] = std::make_unique<uint8_t[]>(4 * pixels + 1);  // never empty
    for (size_t i = 0; i < 4 * pixels; ++i) input[r][i] = static_cast<uint8_t>((i * 37 + r * 11 + (i / 8) * 90) & 0xFF);
    // The block ends with the last plane's bytes: an overrun of that plane leaves the block.
    output[r] = std::make_unique<uint8_t[]>(stride * planes - kGuard + 1);
    std::fill(output[r].get(), output[r].get() + stride * planes - kGuard + 1, kGuardByte);
  }
  const uint8_t* in_rows[2] = {input[0].get(), input[1].get()};
  uint8_t* out_rows[2];
  for (int r = 0; r < 2; ++r) out_rows[r] = output[r].get() + (negative_stride ? (planes - 1) * stride : 0);
  const int64_t signed_stride = negative_stride ? -static_cast<int64_t>(stride) : static_cast<int64_t>(stride);
  *status = MultiLevelHalftone(engine, {in_rows, out_rows, signed_stride, first_dot, count, x_start, rows, line, 0, 0});
  bool held = true;
  for (int r = 0; r < 2; ++r) {
    for (int p = 0; p + 1 < planes; ++p) {
      for (size_t g = 0; g < kGuard; ++g) held = held && output[r][p * stride + plane_bytes + g] == kGuardByte;
    }
    held = held && output[r][stride * planes - kGuard] == kGuardByte;
  }
  return held;
}

TEST(ExactRows, EveryRoutedRunStaysInsideItsRows) {
  const int32_t codes[] = {-1, 0, 1, 3, 7, 15};
  for (const uint32_t width : {40u, 41u}) {
    for (const bool eight_inks : {false, true}) {
      for (const Routed& routed : kRouted) {
        MultiLevelEngine* engine = ReadyEngine(eight_inks, width, routed);
        for (const int32_t code : codes) {
          engine->job.replication = static_cast<uint32_t>(code);
          for (uint32_t first_dot = 0; first_dot < 8 / routed.bits; ++first_dot) {
            for (uint32_t x_start = 0; x_start <= width; ++x_start) {
              if (x_start > 3 && x_start + 4 < width) continue;
              for (uint32_t count = 0; x_start + count <= width; ++count) {
                if (count > 6 && x_start + count + 3 < width) continue;
                for (uint32_t rows = 1; rows <= 2; ++rows) {
                  EngineStatus status = 0;
                  const bool negative = (count + x_start) % 2 == 1;
                  ASSERT_TRUE(GuardsHold(engine, code, first_dot, x_start, count, rows, x_start + count, negative,
                                         &status))
                      << "width " << width << " inks " << (eight_inks ? 8 : 4) << " bits " << routed.bits
                      << " class " << routed.ratio_class << " method " << routed.method << " code " << code
                      << " first dot " << first_dot << " x " << x_start << " count " << count << " rows " << rows
                      << " status " << status;
                }
              }
            }
          }
        }
        ASSERT_EQ(MultiLevelDelete(reinterpret_cast<void**>(&engine)), kStatusOk);
      }
    }
  }
}

}  // namespace
}  // namespace tonvar::multi_level
