// Benchmark: milliseconds from CmNew to CmGetLut for 33^3 and 64^3 tables of 8 channels with
// non-zero adjustments, and nanoseconds per interpolated point.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "testkit/tonvar/colour_job.h"
#include "testkit/tonvar/colour_resources.h"
#include "tonvar/colour/colour_engine.h"
#include "tonvar/colour/engine_operations.h"

namespace {

using namespace tonvar;

testkit::ColourJob MakeJob(uint32_t grid) {
  testkit::ColourJob job;
  testkit::ModeTableShape desc;
  desc.version = 500;
  testkit::ModeRowShape row;
  row.table_id = 1000;
  row.table_a_id = 300;
  row.gamma_matrix_id = 500;
  desc.rows = {row};
  job.resources[0] = testkit::TextBytes(testkit::BuildModeTable(desc));
  job.resources[300] = testkit::BuildPreTransformTable(17);
  const int16_t m[9] = {8000, 150, 42, 100, 8100, -8, 30, 60, 8102};
  job.resources[500] = testkit::BuildGammaMatrixBlock(110, m);
  testkit::ColourTableShape table;
  table.grid = grid;
  table.channels = 8;
  table.with_tone = true;
  job.resources[1000] = testkit::BuildTaggedColourTable(table);
  job.params.brightness = 10;
  job.params.contrast = 15;
  job.params.saturation = 20;
  return job;
}

void BM_CmNewToCmGetLut(benchmark::State& state) {
  testkit::ColourJob job = MakeJob(static_cast<uint32_t>(state.range(0)));
  static const uint8_t kUseA = 1;
  static const uint32_t kGamma = 180;
  static testkit::OptionList options;
  static bool once = [] {
    options.Add(272, &kUseA).Add(1, &kGamma);
    return true;
  }();
  (void)once;
  job.params.options = options.Get();
  for (auto _ : state) {
    CmHandle handle{};
    if (job.Run(&handle) != kStatusOk) state.SkipWithError("run failed");
    benchmark::DoNotOptimize(colour::CmColorGetLut(handle.engine));
    state.PauseTiming();
    colour::CmColorDelete(&handle.engine);
    state.ResumeTiming();
  }
  state.SetLabel("grid^3 x 8 channels");
}
BENCHMARK(BM_CmNewToCmGetLut)->Arg(33)->Arg(64)->Unit(benchmark::kMillisecond);

void BM_InterpolatePoint(benchmark::State& state) {
  testkit::ColourJob job = MakeJob(64);
  CmHandle handle{};
  if (job.Run(&handle) != kStatusOk) {
    state.SkipWithError("run failed");
    return;
  }
  auto* engine = static_cast<colour::CmColorEngine*>(handle.engine);
  constexpr uint32_t kPoints = 4096;
  std::vector<uint8_t> pixels(kPoints * 4), out(kPoints * 8);
  uint32_t seed = 12345;
  for (auto& p : pixels) {
    seed = seed * 1103515245u + 12345u;
    p = static_cast<uint8_t>(seed >> 16);
  }
  for (auto _ : state) {
    colour::InterpolateColor3(engine, kPoints, pixels.data(), out.data());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kPoints);
  colour::CmColorDelete(&handle.engine);
}
BENCHMARK(BM_InterpolatePoint);

}  // namespace

BENCHMARK_MAIN();
