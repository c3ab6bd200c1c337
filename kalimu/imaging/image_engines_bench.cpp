// Speed of the photo-correction pass and the monochrome-toning preview on a 640 x 480
// picture, in megapixels per second.
#include <benchmark/benchmark.h>

#include <vector>

#include "kalimu/imaging/mono_preview.h"
#include "kalimu/imaging/photo_correct.h"
#include "testkit/imaging/test_pictures.h"

namespace {

using namespace kalimu::imaging;

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;

void ReportMegapixels(benchmark::State& state) {
  state.counters["megapixels"] = benchmark::Counter(double(kWidth) * kHeight * double(state.iterations()) / 1e6,
                                              benchmark::Counter::kIsRate);
}

// Create, process and destroy, as the settings dialog draws its sample: mode 0 (colour
// correction) and mode 3 (sepia, the monochrome path).
void BM_PhotoCorrection(benchmark::State& state) {
  const testkit::imaging::TestPicture picture = testkit::imaging::MakePhotoPicture(kWidth, kHeight, 0x80002);
  const ImageDescriptor d{kWidth, kHeight, 24, 0x80002, picture.stride, {}};
  const CorrectionSettings settings{56, 3, int32_t(state.range(0)), -1, 0, 0, 0, {}};
  std::vector<uint8_t> out(picture.bits.size());
  uint8_t palette[1024];
  for (auto _ : state) {
    PhotoCorrectContext* context = nullptr;
    PhotoCorrectCreate(&d, picture.bits.data(), &context);
    PhotoCorrectProcess(context, &settings, &d, out.data(), palette);
    PhotoCorrectDestroy(context);
    benchmark::DoNotOptimize(out.data());
  }
  ReportMegapixels(state);
}
BENCHMARK(BM_PhotoCorrection)->Arg(0)->Arg(3)->Unit(benchmark::kMillisecond);

void BM_MonoPreview(benchmark::State& state) {
  const testkit::imaging::TestPicture picture = testkit::imaging::MakePhotoPicture(kWidth, kHeight, 0x80002);
  const ImageDescriptor d{kWidth, kHeight, 24, 0x80002, picture.stride, {}};
  const MonoPreviewParams params{30, -20, 200, 10, -12, 5, -7, -20, 1};
  std::vector<uint8_t> out(picture.bits.size());
  for (auto _ : state) {
    MonoPreviewContext* context = nullptr;
    MonoPreviewCreate(&d, picture.bits.data(), &context);
    MonoPreviewProcess(context, &params, &d, out.data());
    MonoPreviewDestroy(context);
    benchmark::DoNotOptimize(out.data());
  }
  ReportMegapixels(state);
}
BENCHMARK(BM_MonoPreview)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
