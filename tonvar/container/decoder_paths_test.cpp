// The decoder's fast path against its reference: the sort of the code builder keeps the
// reference's tie order on random and adversarial counts, and whole decodings, sound and
// damaged, give the same status and the same bytes on both paths.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "testkit/tonvar/container_encoder.h"
#include "testkit/tonvar/sample_tables.h"
#include "tonvar/container/unpack_context.h"

namespace tonvar::container {
namespace {

uint32_t NextRandom(uint32_t& seed) {
  seed = seed * 1103515245u + 12345u;
  return seed >> 8;
}

struct CountShape {
  const char* name;
  uint32_t (*count)(uint32_t i, uint32_t n, uint32_t random);
};

// Ties in bulk (few distinct counts), counts a real window gathers, orders that move every key
// far, and keys at and past the top of the fast form's range (it hands those to the reference).
const CountShape kShapes[] = {
    {"two values", [](uint32_t, uint32_t, uint32_t r) { return 1 + r % 2; }},
    {"five values", [](uint32_t, uint32_t, uint32_t r) { return 1 + r % 5; }},
    {"window-like", [](uint32_t, uint32_t, uint32_t r) { return r % 3 == 0 ? 1 + r % 600 : 1; }},
    {"wide", [](uint32_t, uint32_t, uint32_t r) { return r % 4000; }},
    {"all equal", [](uint32_t, uint32_t, uint32_t) { return 1u; }},
    {"ascending", [](uint32_t i, uint32_t, uint32_t) { return i + 1; }},
    {"descending", [](uint32_t i, uint32_t n, uint32_t) { return n - i; }},
    {"ascending pairs", [](uint32_t i, uint32_t, uint32_t) { return i / 2 + 1; }},
    {"saw-tooth", [](uint32_t i, uint32_t, uint32_t) { return i % 7; }},
    {"heavy last", [](uint32_t i, uint32_t n, uint32_t) { return i + 1 == n ? 9u : 1u; }},
    {"top of range", [](uint32_t, uint32_t, uint32_t r) { return r % 2 ? 32767u : 32766u; }},
    {"past the key", [](uint32_t, uint32_t, uint32_t r) { return 65530 + r % 12; }},
};

TEST(CountSort, FastFormKeepsTheReferenceOrder) {
  uint32_t seed = 99;
  for (const CountShape& shape : kShapes) {
    for (uint32_t n = 1; n <= kUnpackSymbolCount; n += (n < 40 ? 1 : 13)) {
      for (uint32_t round = 0; round < 4; ++round) {
        std::vector<uint32_t> reference(n), fast(n);
        for (uint32_t i = 0; i < n; ++i) {
          reference[i] = fast[i] = (shape.count(i, n, NextRandom(seed)) << 16) | i;
        }
        ShellSortByCountReference(reference.data(), n);
        ShellSortByCount(fast.data(), n);
        ASSERT_EQ(fast, reference) << shape.name << ", n " << n;
      }
    }
  }
}

// The whole code builder on both paths: the same order, tree, lengths and tables.
TEST(CountSort, FastCodeBuilderBuildsTheReferenceCode) {
  uint32_t seed = 7;
  for (const CountShape& shape : kShapes) {
    for (uint32_t n = 2; n <= kUnpackSymbolCount; n += (n < 20 ? 1 : 29)) {
      auto fast = std::make_unique<UnpackContext>();
      auto reference = std::make_unique<UnpackContext>();
      // Scaled to what a decoding gathers: the counts of a rebuild add up to at most 4096.
      std::vector<uint64_t> counts(n);
      uint64_t total = 0;
      for (auto& c : counts) total += c = shape.count(static_cast<uint32_t>(&c - counts.data()), n, NextRandom(seed));
      for (uint32_t i = 0; i < n; ++i) {
        fast->count[i] = reference->count[i] =
            static_cast<uint32_t>(total > 4096 ? counts[i] * 4096 / total : counts[i]);
      }
      RebuildHuffmanCode(n, fast.get(), DecodePath::kFast);
      RebuildHuffmanCode(n, reference.get(), DecodePath::kReference);
      SCOPED_TRACE(testing::Message() << shape.name << ", n " << n);
      ASSERT_EQ(0, std::memcmp(fast->order, reference->order, n * sizeof fast->order[0]));
      ASSERT_EQ(0, std::memcmp(fast->nodes, reference->nodes, (n - 1) * sizeof fast->nodes[0]));
      ASSERT_EQ(0, std::memcmp(fast->code_length, reference->code_length, n));
      ASSERT_EQ(0, std::memcmp(fast->decode_table, reference->decode_table, sizeof fast->decode_table));
    }
  }
}

// Decodes on both paths into poisoned buffers `spare` bytes larger than the count; the results
// agree, and on success so do the buffers (poison included).
void ExpectSamePaths(const std::vector<uint8_t>& input, uint32_t capacity, const std::string& what) {
  auto fast_context = std::make_unique<UnpackContext>();
  auto reference_context = std::make_unique<UnpackContext>();
  std::vector<uint8_t> fast(capacity, 0xCD), reference(capacity, 0xCD);
  const uint32_t bound = static_cast<uint32_t>(input.size());
  const uint32_t fast_result =
      DecompressStream(input.data(), bound, fast.data(), capacity, fast_context.get(), DecodePath::kFast);
  const uint32_t reference_result = DecompressStream(input.data(), bound, reference.data(), capacity,
                                                     reference_context.get(), DecodePath::kReference);
  ASSERT_EQ(fast_result, reference_result) << what;
  if (fast_result != 0) {
    ASSERT_EQ(fast, reference) << what;
  }
}

std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed, uint32_t alphabet) {
  std::vector<uint8_t> bytes(n);
  for (auto& b : bytes) b = static_cast<uint8_t>(NextRandom(seed) % alphabet);
  return bytes;
}

TEST(DecoderPaths, SoundStreamsGiveTheReferenceBytes) {
  struct Sample {
    const char* name;
    std::vector<uint8_t> data;
    testkit::EncodeOptions options;
  };
  const auto table = testkit::SmoothLutBody(17, 8, 3);
  const Sample samples[] = {
      {"colour table", table, {}},
      {"colour table, literals only", table, {.literals_only = true}},
      {"few symbols", RandomBytes(60000, 5, 3), {}},
      {"random bytes", RandomBytes(20000, 6, 256), {}},
      {"runs", std::vector<uint8_t>(50000, 0x41), {}},
  };
  for (const Sample& sample : samples) {
    const auto stream = testkit::EncodeStream(sample.data, sample.options);
    const uint32_t size = static_cast<uint32_t>(sample.data.size());
    for (uint32_t capacity : {size, size + 40, size / 2, 300u}) {
      ExpectSamePaths(stream, capacity, std::string(sample.name) + ", capacity " + std::to_string(capacity));
    }
  }
}

TEST(DecoderPaths, DamagedStreamsGiveTheReferenceStatus) {
  const auto data = testkit::SmoothLutBody(13, 8, 4);
  const auto stream = testkit::EncodeStream(data);
  const uint32_t size = static_cast<uint32_t>(data.size());
  uint32_t seed = 4242;
  // Cut short at many places, bits flipped, counts larger than the stream holds, and noise.
  for (size_t cut = 4; cut < stream.size(); cut += stream.size() / 37 + 1) {
    ExpectSamePaths(std::vector<uint8_t>(stream.begin(), stream.begin() + cut), size, "cut at " + std::to_string(cut));
  }
  for (int flip = 0; flip < 60; ++flip) {
    auto damaged = stream;
    const size_t at = 4 + NextRandom(seed) % (damaged.size() - 4);
    damaged[at] ^= static_cast<uint8_t>(1u << (NextRandom(seed) % 8));
    ExpectSamePaths(damaged, size, "flip at " + std::to_string(at));
  }
  auto longer = stream;
  longer[0] = static_cast<uint8_t>(longer[0] + 100);  // due beyond what the stream stands for
  ExpectSamePaths(longer, size + 400, "count raised");
  for (uint32_t round = 0; round < 20; ++round) {
    auto noise = RandomBytes(3000, round, 256);
    noise[0] = 0x00, noise[1] = 0x40, noise[2] = 0, noise[3] = 0;  // 16384 due
    ExpectSamePaths(noise, 16384, "noise " + std::to_string(round));
  }
}

}  // namespace
}  // namespace tonvar::container
