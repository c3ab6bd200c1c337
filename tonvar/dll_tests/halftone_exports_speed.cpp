// Speed of the 8-ink 2-bit halftoning paths through Tonvar.dll's exports, as the rendering
// library calls them: multi-level ordered dither and cell diffusion at H=V and H=2V, grey-input
// ordered dither and cell diffusion, rows of 4,800 pixels two at a time. Run by hand under Wine
// beside Tonvar.dll: tonvar_halftone_exports_bench.exe [seconds per measurement, default 1].
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "testkit/tonvar/grey_halftone_bands.h"
#include "testkit/tonvar/multi_level_bands.h"
#include "testkit/tonvar_dll/exported_calls.h"

namespace {

constexpr uint32_t kWidth = 4800;

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Calls `band` (two rows of kWidth pixels each time) for about `seconds`; megapixels a second,
// or a negative figure when a call refused.
double Measure(double seconds, const std::function<uint32_t(uint32_t line)>& band) {
  for (uint32_t line = 0; line < 20; line += 2) {
    if (band(line) != 0) return -1;
  }
  uint64_t calls = 0;
  uint32_t line = 0;
  const double start = Seconds();
  double elapsed = 0;
  while (elapsed < seconds) {
    for (int i = 0; i < 50; ++i, ++calls) {
      if (band(line) != 0) return -1;
      line = (line + 2) % 90000;
    }
    elapsed = Seconds() - start;
  }
  return static_cast<double>(calls) * 2 * kWidth / elapsed / 1e6;
}

double MultiLevel(const testkit::EngineCalls& calls, double seconds, uint32_t h_dpi, uint32_t method) {
  testkit::MultiLevelBand band;
  band.h_dpi = h_dpi;
  band.inks = 8;
  band.width = band.count = kWidth;
  band.lines = 100000;
  band.method = method;
  testkit::MultiLevelChain chain(calls, band);
  if (chain.Open() != 0) return -2;
  testkit::MultiLevelBand two_rows = band;
  two_rows.lines = 2;
  const auto input = testkit::MultiLevelInput(two_rows, false);
  std::vector<std::vector<uint8_t>> output(2, std::vector<uint8_t>(band.RowBytes()));
  const uint8_t* in[2] = {input[0].data(), input[1].data()};
  uint8_t* out[2] = {output[0].data(), output[1].data()};
  return Measure(seconds, [&](uint32_t line) { return chain.Call(in, out, line, 2); });
}

double Grey(const testkit::EngineCalls& calls, double seconds, const char* name) {
  for (testkit::BandScenario s : testkit::GreyHalftoneBandScenarios()) {
    if (s.name != name) continue;
    s.width = kWidth;
    s.job.width_pixels = kWidth;
    s.job.height_lines = 100000;
    s.lines = 2;
    testkit::ScreeningChain chain(calls, s);
    if (chain.Open() != 0) return -2;
    const auto input = testkit::BandInput(s, false);
    std::vector<std::vector<uint8_t>> output(2, std::vector<uint8_t>(s.RowBytes()));
    const uint8_t* in[2] = {input[0].data(), input[1].data()};
    uint8_t* out[2] = {output[0].data(), output[1].data()};
    return Measure(seconds, [&](uint32_t line) { return chain.Band(in, out, line, 2); });
  }
  return -3;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 1.0;
  testkit::TonvarLibrary library("Tonvar.dll");
  if (!library.Loaded()) {
    std::fprintf(stderr, "Tonvar.dll not found beside the program\n");
    return 1;
  }
  const testkit::EngineCalls calls = testkit::ExportedCalls(library.Exports());
  const struct {
    const char* name;
    std::function<double()> run;
  } rows[] = {
      {"multi-level ordered dither, H=V", [&] { return MultiLevel(calls, seconds, 720, 3); }},
      {"multi-level ordered dither, H=2V", [&] { return MultiLevel(calls, seconds, 1440, 3); }},
      {"multi-level cell diffusion, H=V", [&] { return MultiLevel(calls, seconds, 720, 1); }},
      {"multi-level cell diffusion, H=2V", [&] { return MultiLevel(calls, seconds, 1440, 1); }},
      {"grey-input ordered dither, H=V", [&] { return Grey(calls, seconds, "2 bits, 720 x 720, dither"); }},
      {"grey-input cell diffusion, H=V", [&] { return Grey(calls, seconds, "2 bits, 720 x 720, diffusion"); }},
      {"grey-input cell diffusion, H=2V", [&] { return Grey(calls, seconds, "2 bits, 1440 x 720, diffusion"); }},
  };
  int failed = 0;
  std::printf("8 inks, 2 bits per dot, rows of %u pixels two at a time, through Tonvar.dll\n", kWidth);
  for (const auto& row : rows) {
    const double rate = row.run();
    if (rate < 0) {
      std::printf("%-36s failed (%.0f)\n", row.name, rate);
      failed = 1;
    } else {
      std::printf("%-36s %8.1f Mpixel/s\n", row.name, rate);
    }
  }
  return failed;
}
