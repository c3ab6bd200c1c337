// Benchmark: megapixels per second of the grey-input engine's Halftone, eight inks at 2 bits per
// dot, ordered dither and cell diffusion, rows of 4,800 pixels two at a time.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "testkit/tonvar/grey_halftone_resources.h"
#include "tonvar/grey_input/grey_halftone_engine.h"

namespace {

using namespace tonvar;
using namespace tonvar::grey_input;

constexpr uint32_t kWidth = 4800;

void RunRows(benchmark::State& state, uint32_t method, uint32_t h_res) {
  const std::unique_ptr<GreyLut> lut = testkit::BuildGreyLut();
  RasterJob job{};
  job.method = method;
  job.channel_order = 3;
  job.ink_set = 9;
  job.resolution_x_dpi = h_res;
  job.resolution_y_dpi = 720;
  job.bits_per_dot = 2;
  job.width_pixels = kWidth;
  EngineCreateArgs args;
  args.job = &job;
  args.tables[0] = lut.get();
  ResourceId id = 0;
  void* engine = nullptr;
  const std::vector<uint8_t> dots = testkit::BuildGreyDotCurveKind3({});
  const std::vector<uint8_t> screen = testkit::BuildGreyScreen({});
  if (GreyHalftoneNew(args, &id, &engine) != kStatusOk ||
      GreyHalftoneSetResource(engine, {dots.data(), dots.size()}, &id) != kStatusOk ||
      GreyHalftoneSetResource(engine, {screen.data(), screen.size()}, &id) != kStatusOk) {
    state.SkipWithError("the engine did not complete");
    GreyHalftoneDelete(&engine);
    return;
  }
  std::vector<std::vector<uint8_t>> input(2, std::vector<uint8_t>(size_t{kWidth} * 4));
  for (uint32_t r = 0; r < 2; ++r) {
    for (size_t i = 0; i < input[r].size(); ++i) {
      input[r][i] = static_cast<uint8_t>((i * 255 / input[r].size() + r * 11 + (i % 7) * 3) & 0xFF);
    }
  }
  const uint32_t plane_bytes = kWidth / 4;
  std::vector<std::vector<uint8_t>> output(2, std::vector<uint8_t>(size_t{8} * plane_bytes));
  const uint8_t* in_rows[2] = {input[0].data(), input[1].data()};
  uint8_t* out_rows[2] = {output[0].data(), output[1].data()};
  uint32_t line = 0;
  for (auto _ : state) {
    const HalftoneBand band{in_rows, out_rows, plane_bytes, 0, kWidth, 0, 2, line % 100000, 0, 0};
    if (GreyHalftone(engine, band) != kStatusOk) state.SkipWithError("Halftone refused");
    line += 2;
    benchmark::DoNotOptimize(output[0].data());
  }
  GreyHalftoneDelete(&engine);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 2 * kWidth);
  state.counters["Mpixel/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * 2 * kWidth / 1e6,
                                                   benchmark::Counter::kIsRate);
}

void BM_GreyDither2Bit(benchmark::State& state) { RunRows(state, 3, 720); }
void BM_GreyDiffusion2Bit1x1(benchmark::State& state) { RunRows(state, 1, 720); }
void BM_GreyDiffusion2Bit2x1(benchmark::State& state) { RunRows(state, 1, 1440); }

BENCHMARK(BM_GreyDither2Bit);
BENCHMARK(BM_GreyDiffusion2Bit1x1);
BENCHMARK(BM_GreyDiffusion2Bit2x1);

}  // namespace

BENCHMARK_MAIN();
