// Benchmark: megapixels per second of Halftone for an 8-ink 2-bit band by ordered dither, rows
// of 4,800 pixels two at a time, at H=V and H=2V, and for the 1-bit band at H=V. The colour
// table, cubes and dot tables are built once, outside the timing.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "testkit/tonvar/internal_calls.h"
#include "testkit/tonvar/multi_level_bands.h"

namespace {

constexpr uint32_t kWidth = 4800;

void RunBand(benchmark::State& state, uint32_t h_dpi, uint32_t v_dpi, uint32_t bits_per_dot = 2) {
  testkit::MultiLevelBand band;
  band.h_dpi = h_dpi;
  band.v_dpi = v_dpi;
  band.inks = 8;
  band.bits_per_dot = bits_per_dot;
  band.width = band.count = kWidth;
  band.lines = 2;
  testkit::MultiLevelChain chain(testkit::InternalEngineCalls(), band);
  if (chain.Open() != 0) {
    state.SkipWithError("the chain did not complete");
    return;
  }
  const auto input = testkit::MultiLevelInput(band, false);
  std::vector<std::vector<uint8_t>> output(2, std::vector<uint8_t>(band.RowBytes()));
  const uint8_t* in[2] = {input[0].data(), input[1].data()};
  uint8_t* out[2] = {output[0].data(), output[1].data()};
  uint32_t line = 0;
  for (auto _ : state) {
    if (chain.Call(in, out, line, 2) != 0) state.SkipWithError("Halftone refused");
    line += 2;
    benchmark::DoNotOptimize(output[0].data());
  }
  const double pixels = static_cast<double>(state.iterations()) * 2 * kWidth;
  state.SetItemsProcessed(static_cast<int64_t>(pixels));
  state.counters["Mpixel/s"] = benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsRate);
}

void BM_OrderedDither8Inks2BitHeqV(benchmark::State& state) { RunBand(state, 720, 720); }
void BM_OrderedDither8Inks2BitHeq2V(benchmark::State& state) { RunBand(state, 1440, 720); }
void BM_OrderedDither8Inks1BitHeqV(benchmark::State& state) { RunBand(state, 720, 720, 1); }

BENCHMARK(BM_OrderedDither8Inks2BitHeqV);
BENCHMARK(BM_OrderedDither8Inks2BitHeq2V);
BENCHMARK(BM_OrderedDither8Inks1BitHeqV);

}  // namespace

BENCHMARK_MAIN();
