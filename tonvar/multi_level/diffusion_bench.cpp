// Speed of Halftone on the multi-level engine, one core, in megapixels per second: cell error
// diffusion (method 1) and ordered dither (method 3) for 8 inks at 2 bits per dot in the classes
// H=V and H=2V (diffusion also V=2H and H=4V), and for 4 inks at 1 bit per dot (H=2V). The engine and its resources are made
// outside the timing.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "testkit/tonvar/halftone_resources.h"
#include "tonvar/multi_level/multi_level_engine.h"

namespace {

using namespace tonvar;
using namespace tonvar::multi_level;

constexpr uint32_t kWidth = 2048;
constexpr uint32_t kLines = 32;
constexpr int kMatrixSide = 16;

// A picture of gradients, flat patches and texture, four bytes a pixel.
std::vector<std::vector<uint8_t>> Picture() {
  std::vector<std::vector<uint8_t>> rows(kLines, std::vector<uint8_t>(4 * size_t{kWidth}));
  for (uint32_t y = 0; y < kLines; ++y) {
    for (uint32_t x = 0; x < kWidth; ++x) {
      uint8_t* px = rows[y].data() + 4 * x;
      const bool flat = (x / 64) % 2 == 0;
      px[0] = static_cast<uint8_t>(flat ? x / 8 : x * 5 + y * 3);
      px[1] = static_cast<uint8_t>(flat ? 255 - x / 8 : (x * 37 + y * 11));
      px[2] = static_cast<uint8_t>(flat ? 128 : x * 3);
      px[3] = 3;
    }
  }
  return rows;
}

class BenchEngine {
 public:
  BenchEngine(int inks, uint32_t h_dpi, uint32_t bits, uint32_t method, uint32_t v_dpi) {
    job_.method = method;
    job_.channel_order = 1;
    job_.ink_set = inks == 8 ? 9 : 1;
    job_.resolution_x_dpi = h_dpi;
    job_.resolution_y_dpi = v_dpi;
    job_.bits_per_dot = bits;
    job_.width_pixels = kWidth;
    job_.height_lines = 100000;
    testkit::CubeTableShape shape;
    shape.channels = static_cast<uint32_t>(inks);
    table_ = std::make_unique<testkit::CubeTable>(shape);
    EngineCreateArgs args;
    args.job = &job_;
    args.tables[0] = table_->Get();
    args.tables[1] = nullptr;
    ResourceId id = 0;
    void* raw = nullptr;
    if (MultiLevelNew(args, &id, &raw) != kStatusOk) return;
    engine_ = raw;
    testkit::MatrixBlockShape matrix;
    matrix.width = matrix.height = kMatrixSide;
    matrix.phases = testkit::SamplePhases(inks);
    for (int i = 0; i < kMatrixSide * kMatrixSide; ++i) matrix.samples.push_back(static_cast<int16_t>((i * 997) % 1800));
    const std::vector<uint8_t> blocks[] = {{0}, testkit::BuildMatrixBlock(matrix), testkit::BuildDotCurveTable({})};
    for (const auto& block : blocks) {
      if (MultiLevelSetResource(engine_, {block.data(), block.size()}, &id) != kStatusOk) return;
    }
    ready_ = id == kNoMoreResources;
  }
  ~BenchEngine() { MultiLevelDelete(&engine_); }
  bool Ready() const { return ready_; }
  EngineStatus Call(const uint8_t* const* in, uint8_t* const* out, int64_t stride, uint32_t line) {
    return MultiLevelHalftone(engine_, {in, out, stride, 0, kWidth, 0, 2, line, 0, 0});
  }

 private:
  RasterJob job_{};
  std::unique_ptr<testkit::CubeTable> table_;
  void* engine_ = nullptr;
  bool ready_ = false;
};

void BM_Halftone(benchmark::State& state, int inks, uint32_t h_dpi, uint32_t bits, uint32_t method,
                 uint32_t v_dpi = 720) {
  BenchEngine engine(inks, h_dpi, bits, method, v_dpi);
  if (!engine.Ready()) {
    state.SkipWithError("the engine did not take its resources");
    return;
  }
  const auto picture = Picture();
  const int64_t stride = kWidth * bits / 8 + 8;
  std::vector<std::vector<uint8_t>> out(2, std::vector<uint8_t>(size_t(stride) * 8));
  uint32_t line = 0;
  for (auto _ : state) {
    for (uint32_t y = 0; y < kLines; y += 2, line += 2) {
      const uint8_t* in[2] = {picture[y].data(), picture[y + 1].data()};
      uint8_t* rows[2] = {out[0].data(), out[1].data()};
      benchmark::DoNotOptimize(engine.Call(in, rows, stride, line % 90000));
    }
    benchmark::ClobberMemory();
  }
  state.counters["megapixels"] =
      benchmark::Counter(double(kWidth) * kLines * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(BM_Halftone, ink8_2bit_HV_diffusion, 8, 720, 2, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Halftone, ink8_2bit_H2V_diffusion, 8, 1440, 2, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Halftone, ink8_2bit_V2H_diffusion, 8, 720, 2, 1, 1440)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Halftone, ink8_2bit_H4V_diffusion, 8, 2880, 2, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Halftone, ink4_2bit_HV_diffusion, 4, 720, 2, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Halftone, ink4_1bit_H2V_diffusion, 4, 1440, 1, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Halftone, ink8_2bit_HV_dither, 8, 720, 2, 3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Halftone, ink8_2bit_H2V_dither, 8, 1440, 2, 3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Halftone, ink4_1bit_H2V_dither, 4, 1440, 1, 3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
