// Speed of the container decoder beside zlib's inflate on the same data.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "testkit/tonvar/container_encoder.h"
#include "testkit/tonvar/sample_tables.h"
#include "tonvar/container/unpack_context.h"

#ifdef HAVE_ZLIB
#include <zlib.h>
#endif

namespace {

// Colour-table-like sample of about the requested size: a smooth 8-ink body on a cubic grid.
std::vector<uint8_t> TableSample(size_t bytes) {
  uint32_t grid = 2;
  while (size_t{grid + 1} * (grid + 1) * (grid + 1) * 8 <= bytes) ++grid;
  auto body = testkit::SmoothLutBody(grid, 8, 7);
  return testkit::FixedFormTable(static_cast<uint8_t>(grid), 8, body);
}

struct Sample {
  std::vector<uint8_t> data;
  std::vector<uint8_t> container;
};

const Sample& SampleOf(size_t bytes) {
  static std::vector<std::pair<size_t, std::unique_ptr<Sample>>> cache;
  for (auto& [size, sample] : cache) {
    if (size == bytes) return *sample;
  }
  auto sample = std::make_unique<Sample>();
  sample->data = TableSample(bytes);
  sample->container = testkit::EncodeContainer(sample->data);
  cache.emplace_back(bytes, std::move(sample));
  return *cache.back().second;
}

void BM_ContainerDecode(benchmark::State& state) {
  const Sample& sample = SampleOf(static_cast<size_t>(state.range(0)));
  tonvar::container::UnpackContext* context = nullptr;
  tonvar::container::NewUnpackContext(&context);
  for (auto _ : state) {
    tonvar::common::ResourceBytes out{};
    const auto status = tonvar::container::UnwrapResource(
        context, tonvar::common::ResourceBytes{sample.container.data(), sample.container.size()}, &out);
    if (status != tonvar::kStatusOk || out.size != sample.data.size()) {
      state.SkipWithError("decode failed");
      break;
    }
    benchmark::DoNotOptimize(out.data);
  }
  tonvar::container::DeleteUnpackContext(context);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sample.data.size()));
  state.counters["ratio"] = double(sample.data.size()) / double(sample.container.size());
}
BENCHMARK(BM_ContainerDecode)->Arg(2 << 20)->Arg(64 << 10)->Arg(4 << 10);

// The code rebuild alone, from the counts a decoding of a table sample has gathered just
// before a rebuild (the output is cut where the running total is highest).
void BM_CodeRebuild(benchmark::State& state) {
  const Sample& sample = SampleOf(64 << 10);
  auto* context = new tonvar::container::UnpackContext{};
  std::vector<uint8_t> out(sample.data.size());
  const auto& c = sample.container;
  uint32_t best_total = 0, best_capacity = 0;
  for (uint32_t capacity = 1024; capacity <= out.size(); capacity += 16) {
    tonvar::container::DecompressStream(c.data() + 12, static_cast<uint32_t>(c.size() - 12), out.data(),
                                        capacity, context);
    uint32_t total = 0;
    for (uint32_t n : context->count) total += n;
    if (total > best_total) {
      best_total = total;
      best_capacity = capacity;
    }
  }
  tonvar::container::DecompressStream(c.data() + 12, static_cast<uint32_t>(c.size() - 12), out.data(),
                                      best_capacity, context);
  uint32_t counts[tonvar::container::kUnpackSymbolCount];
  std::memcpy(counts, context->count, sizeof counts);
  for (auto _ : state) {
    std::memcpy(context->count, counts, sizeof counts);
    tonvar::container::RebuildHuffmanCode(tonvar::container::kUnpackSymbolCount, context);
    benchmark::DoNotOptimize(context->decode_table);
  }
  state.counters["total"] = best_total;
  delete context;
}
BENCHMARK(BM_CodeRebuild);

#ifdef HAVE_ZLIB
void BM_ZlibInflate(benchmark::State& state) {
  const Sample& sample = SampleOf(static_cast<size_t>(state.range(0)));
  uLongf packed_size = compressBound(static_cast<uLong>(sample.data.size()));
  std::vector<uint8_t> packed(packed_size);
  compress2(packed.data(), &packed_size, sample.data.data(), static_cast<uLong>(sample.data.size()),
            Z_DEFAULT_COMPRESSION);
  std::vector<uint8_t> out(sample.data.size());
  for (auto _ : state) {
    uLongf out_size = static_cast<uLongf>(out.size());
    if (uncompress(out.data(), &out_size, packed.data(), packed_size) != Z_OK) {
      state.SkipWithError("inflate failed");
      break;
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sample.data.size()));
  state.counters["ratio"] = double(sample.data.size()) / double(packed_size);
}
BENCHMARK(BM_ZlibInflate)->Arg(2 << 20)->Arg(64 << 10)->Arg(4 << 10);
#endif

}  // namespace

BENCHMARK_MAIN();
