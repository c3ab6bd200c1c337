// Benchmark: megapixels per second of Halftone for monochrome 2-bit error diffusion (three dot
// sizes and two dot sizes) and four-ink 2-bit matrix screening, rows of 4,800 pixels.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "testkit/tonvar/screening_job.h"
#include "tonvar/screening/screen_engine.h"

namespace {

using namespace tonvar;

constexpr uint32_t kWidth = 4800;

void RunRows(benchmark::State& state, testkit::ScreenJob& s) {
  if (s.Run() != kStatusOk) {
    state.SkipWithError("the engine did not complete");
    return;
  }
  const uint32_t bytes_per_pixel = s.planes == 1 ? 1 : 4;
  s.input.assign(2, std::vector<uint8_t>(size_t{kWidth} * bytes_per_pixel));
  for (uint32_t r = 0; r < 2; ++r) {
    for (size_t i = 0; i < s.input[r].size(); ++i) {
      s.input[r][i] = static_cast<uint8_t>((i * 255 / s.input[r].size() + r * 11 + (i % 7) * 3) & 0xFF);
    }
  }
  s.plane_bytes = kWidth / 4;
  s.output.assign(2, std::vector<uint8_t>(size_t{s.planes} * s.plane_bytes));
  uint32_t line = 0;
  for (auto _ : state) {
    if (s.Halftone(0, kWidth, 2, line) != kStatusOk) state.SkipWithError("Halftone refused");
    line += 2;
    benchmark::DoNotOptimize(s.output[0].data());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 2 * kWidth);
  state.counters["Mpixel/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * 2 * kWidth / 1e6,
                                                   benchmark::Counter::kIsRate);
}

void BM_MonoDiffusion2BitThreeSizes(benchmark::State& state) {
  testkit::ScreenJob s(testkit::ScreenKind::kMono);
  s.job.width_pixels = kWidth;
  RunRows(state, s);
}

void BM_MonoDiffusion2BitTwoSizes(benchmark::State& state) {
  testkit::ScreenJob s(testkit::ScreenKind::kMono);
  s.job.width_pixels = kWidth;
  s.job.resolution_x_dpi = 1440;
  s.resources[testkit::kScreenFinalId] = testkit::TwoSizeMainBlock();
  RunRows(state, s);
}

void BM_FourInkScreening2Bit(benchmark::State& state) {
  testkit::ScreenJob s(testkit::ScreenKind::kFourInk);
  s.job.width_pixels = kWidth;
  RunRows(state, s);
}

BENCHMARK(BM_MonoDiffusion2BitThreeSizes);
BENCHMARK(BM_MonoDiffusion2BitTwoSizes);
BENCHMARK(BM_FourInkScreening2Bit);

}  // namespace

BENCHMARK_MAIN();
