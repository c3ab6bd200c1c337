// Speed of the noise generator beside std::mt19937.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <random>

#include "tonvar/common/random_generator.h"

namespace {

void BM_RandomGenerate(benchmark::State& state) {
  auto mt = std::make_unique<tonvar::common::MtState>();
  const uint32_t key[4] = {0x123, 0x234, 0x345, 0x456};
  tonvar::common::RandomInitByArray(key, 4, mt.get());
  uint32_t sum = 0;
  for (auto _ : state) {
    for (int i = 0; i < 1024; ++i) sum += tonvar::common::RandomGenerate(mt.get());
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * 1024);
}
BENCHMARK(BM_RandomGenerate);

void BM_StdMt19937(benchmark::State& state) {
  std::mt19937 mt;
  uint32_t sum = 0;
  for (auto _ : state) {
    for (int i = 0; i < 1024; ++i) sum += static_cast<uint32_t>(mt());
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * 1024);
}
BENCHMARK(BM_StdMt19937);

}  // namespace

BENCHMARK_MAIN();
