// Spans at every start of a short line, with every first bit and replication code, read only the
// input pixels they cover and write only the output bytes their dots reach: the input rows and
// the output planes are cut to exactly that size (the host build's address checks see any byte
// beyond them) and two guard bytes after each plane must keep their value.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "tonvar/grey_input/test_engine.h"

namespace tonvar::grey_input {
namespace {

struct Route {
  uint32_t bits, h, v, method;
};
constexpr Route kRoutes[] = {{1, 720, 720, 3}, {1, 1440, 720, 1}, {2, 720, 720, 1},
                             {2, 1440, 720, 1}, {2, 1440, 360, 1}, {2, 720, 720, 3}};
constexpr uint32_t kWidth = 37;
constexpr uint32_t kGuard = 2;
constexpr uint8_t kGuardByte = 0xA5;

bool StartFits(uint32_t code, uint32_t bits, uint32_t first_bit, uint32_t x_start) {
  if (x_start % (code + 1) != 0) return false;
  switch (code) {
    case 0:
      return true;
    case 1:
      return first_bit % 2 == 0;
    case 3:
      return first_bit == 0 || (bits == 1 && first_bit == 4);
    default:
      return first_bit == 0;
  }
}

TEST_F(GreyEngineTest, SpansStayWithinTheirInputAndOutput) {
  for (const Route& r : kRoutes) {
    for (uint32_t code : {0u, 1u, 3u, 7u, 15u}) {
      common::faults::ScopedReset each;
      RasterJob job = GreyJob(r.bits, r.h, r.v, r.method, kWidth);
      job.replication = code;
      Ready(job);
      for (uint32_t first_bit = 0; first_bit < 8 / r.bits; ++first_bit) {
        for (uint32_t x_start = 0; x_start < kWidth; ++x_start) {
          if (!StartFits(code, r.bits, first_bit, x_start)) continue;
          for (uint32_t count : {1u, 2u, 3u, 5u, kWidth - x_start - 1, kWidth - x_start}) {
            if (count == 0 || x_start + count > kWidth) continue;
            const uint32_t pixels = (count + code) / (code + 1);
            const uint32_t bytes = ((first_bit + count) * r.bits + 7) / 8;
            const uint32_t stride = bytes + kGuard;
            std::unique_ptr<uint8_t[]> in[2], out[2];
            for (int row = 0; row < 2; ++row) {
              in[row].reset(new uint8_t[pixels * 4]);
              for (uint32_t i = 0; i < pixels * 4; ++i) in[row][i] = uint8_t(i * 29 + x_start + 71 * row);
              out[row].reset(new uint8_t[8 * stride]);
              std::fill(out[row].get(), out[row].get() + 8 * stride, kGuardByte);
            }
            const uint8_t* in_rows[2] = {in[0].get(), in[1].get()};
            uint8_t* out_rows[2] = {out[0].get(), out[1].get()};
            const HalftoneBand band{in_rows, out_rows, stride, first_bit, count, x_start, 2, 3, 0, 0};
            ASSERT_EQ(GreyHalftone(engine_, band), kStatusOk)
                << r.bits << " bits, code " << code << ", first bit " << first_bit << ", x " << x_start
                << ", count " << count;
            for (int row = 0; row < 2; ++row) {
              for (int k = 0; k < kInks; ++k) {
                for (uint32_t g = 0; g < kGuard; ++g) {
                  ASSERT_EQ(out[row][k * stride + bytes + g], kGuardByte)
                      << r.bits << " bits, code " << code << ", first bit " << first_bit << ", x " << x_start
                      << ", count " << count << ", plane " << k;
                }
              }
            }
          }
        }
      }
      EXPECT_EQ(GreyHalftoneDelete(&engine_), kStatusOk);
    }
  }
}

}  // namespace
}  // namespace tonvar::grey_input
