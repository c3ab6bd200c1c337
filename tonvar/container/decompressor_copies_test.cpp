// Copies of every period and reach in long streams, where the decoder copies in whole blocks:
// the output matches the byte-at-a-time meaning of a copy, and nothing past the bytes due is
// written.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "testkit/tonvar/container_encoder.h"
#include "tonvar/container/unpack_context.h"

namespace tonvar::container {
namespace {

// A stream and the bytes it stands for, each copy expanded one byte at a time from the bytes
// before it (or from the zero window before the first byte).
class CopyStream {
 public:
  void Literals(uint32_t n, uint32_t seed) {
    for (uint32_t i = 0; i < n; ++i) {
      seed = seed * 1103515245u + 12345u;
      const auto byte = static_cast<uint8_t>(seed >> 16);
      ops_.push_back({0, byte});
      expected_.push_back(byte);
    }
  }
  void Copy(uint32_t distance, uint32_t bytes) {
    ops_.push_back({distance, bytes});
    for (uint32_t k = 0; k < bytes; ++k) {
      const size_t at = expected_.size();
      expected_.push_back(at >= distance ? expected_[at - distance] : 0);
    }
  }
  std::vector<uint8_t> Input() const {
    testkit::StreamWriter writer(static_cast<uint32_t>(expected_.size()));
    for (const Op& op : ops_) {
      if (op.distance == 0) {
        writer.Literal(static_cast<uint8_t>(op.value));
      } else {
        writer.Copy(op.distance, op.value);
      }
    }
    return writer.Finish();
  }
  const std::vector<uint8_t>& Expected() const { return expected_; }

 private:
  struct Op {
    uint32_t distance;  // 0: a literal
    uint32_t value;     // the literal, or the bytes copied
  };
  std::vector<Op> ops_;
  std::vector<uint8_t> expected_;
};

constexpr uint8_t kPoison = 0xCD;

// Decodes into a buffer `spare` bytes larger than the count, poisoned, and checks both the
// result and that the spare bytes are untouched.
void ExpectDecodes(const CopyStream& stream, uint32_t spare) {
  const auto input = stream.Input();
  const auto& expected = stream.Expected();
  std::vector<uint8_t> out(expected.size() + spare, kPoison);
  auto context = std::make_unique<UnpackContext>();
  ASSERT_EQ(DecompressStream(input.data(), static_cast<uint32_t>(input.size()), out.data(),
                             static_cast<uint32_t>(out.size()), context.get()),
            expected.size());
  ASSERT_TRUE(std::equal(expected.begin(), expected.end(), out.begin()));
  for (size_t i = expected.size(); i < out.size(); ++i) ASSERT_EQ(out[i], kPoison) << i;
}

TEST(DecoderCopies, EveryPeriodAndLengthMatchesByteByByteCopying) {
  // Distances 1 to 40 (the short periods repeat inside the copy), some far ones, and every
  // length from 3 to 257, each after fresh literals so that a wrong byte shows.
  CopyStream stream;
  stream.Literals(400, 1);
  uint32_t seed = 7;
  for (uint32_t distance : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 12u, 15u, 16u, 17u, 31u, 40u,
                            255u, 1000u, 4096u, 16383u}) {
    for (uint32_t bytes : {3u, 4u, 7u, 8u, 9u, 15u, 16u, 17u, 33u, 100u, 130u, 257u}) {
      stream.Copy(distance, bytes);
      stream.Literals(3, ++seed);
    }
  }
  // Back-to-back copies: each reads bytes the one before it has just written.
  for (uint32_t distance = 1; distance <= 24; ++distance) stream.Copy(distance, 50 + distance);
  stream.Literals(300, 99);
  ExpectDecodes(stream, 64);
}

TEST(DecoderCopies, CopiesReachingIntoTheZeroWindowEarlyInALongStream) {
  CopyStream stream;
  stream.Literals(5, 3);
  stream.Copy(16383, 257);  // all zeros
  stream.Copy(300, 100);    // part zeros, part the first bytes
  stream.Copy(2, 9);
  stream.Literals(10, 4);
  stream.Copy(700, 257);
  stream.Literals(600, 5);
  ExpectDecodes(stream, 40);
}

TEST(DecoderCopies, StreamEndingInLongCopiesLeavesThePoisonPastTheCount) {
  // The last bytes come from long copies of every period: the block copies stop at the count.
  for (uint32_t distance : {1u, 3u, 8u, 16u, 20u}) {
    SCOPED_TRACE(distance);
    CopyStream stream;
    stream.Literals(350, distance);
    for (int i = 0; i < 6; ++i) stream.Copy(distance, 257);
    for (uint32_t spare : {0u, 1u, 15u, 300u}) ExpectDecodes(stream, spare);
  }
}

}  // namespace
}  // namespace tonvar::container
