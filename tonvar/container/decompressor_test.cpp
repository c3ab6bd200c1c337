// Decoder and code builder, checked against streams assembled by hand from the format.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "testkit/tonvar/container_encoder.h"
#include "tonvar/common/memory_faults.h"
#include "tonvar/container/unpack_context.h"

namespace tonvar::container {
namespace {

using testkit::BitWriter;

// The initial code (all counts equal): symbols 0..119 have 8-bit codes equal to the symbol,
// symbols 120..391 9-bit codes equal to the symbol plus 120.
void PutInitial(BitWriter& bits, uint32_t symbol) {
  if (symbol < 120) {
    bits.Put(symbol, 8);
  } else {
    bits.Put(symbol + 120, 9);
  }
}

constexpr uint32_t CopySymbol(uint32_t distance_class, uint32_t length_class) {
  return 257 + distance_class * 9 + length_class;
}

std::vector<uint8_t> StreamOf(uint32_t count, const BitWriter& bits) {
  std::vector<uint8_t> input(4 + bits.Bytes().size());
  for (int i = 0; i < 4; ++i) input[i] = static_cast<uint8_t>(count >> (8 * i));
  std::copy(bits.Bytes().begin(), bits.Bytes().end(), input.begin() + 4);
  return input;
}

class Decoder : public ::testing::Test {
 protected:
  // Returns the decoder's result; `out` holds what it produced.
  uint32_t Decode(const std::vector<uint8_t>& input, uint32_t capacity) {
    out.assign(capacity, 0xCD);
    return DecompressStream(input.data(), static_cast<uint32_t>(input.size()), out.data(),
                            capacity, context.get());
  }
  std::string Text(uint32_t n) const { return std::string(out.begin(), out.begin() + n); }

  std::unique_ptr<UnpackContext> context = std::make_unique<UnpackContext>();
  std::vector<uint8_t> out;
};

TEST_F(Decoder, LiteralsUnderTheInitialCode) {
  BitWriter bits;
  const std::string text = "Tonvar~\x7F\x80\xFF";  // 8-bit and 9-bit codes
  for (unsigned char c : text) PutInitial(bits, c);
  const auto input = StreamOf(static_cast<uint32_t>(text.size()), bits);
  ASSERT_EQ(Decode(input, static_cast<uint32_t>(text.size())), text.size());
  EXPECT_EQ(Text(static_cast<uint32_t>(text.size())), text);
}

TEST_F(Decoder, MissingBitsReadAsZeroAndDecodeAsSymbolZero) {
  BitWriter bits;
  PutInitial(bits, 'k');
  const auto input = StreamOf(4, bits);  // three codes short
  ASSERT_EQ(Decode(input, 4), 4u);
  EXPECT_EQ(Text(4), std::string("k\0\0\0", 4));
}

TEST_F(Decoder, CopyClassesAndTheirExtraBits) {
  struct Case {
    const char* name;
    void (*build)(BitWriter&);
    uint32_t count;
    std::string expected;
  };
  const Case cases[] = {
      {"repeat classes start at distance 1 and length 1",
       [](BitWriter& b) {
         PutInitial(b, 'q');
         PutInitial(b, CopySymbol(0, 0));
       },
       4, "qqqq"},
      {"distance 1, length class 8 at its largest",
       [](BitWriter& b) {
         PutInitial(b, 'x');
         PutInitial(b, CopySymbol(1, 8));
         b.Put(127, 7);  // 128 + 127 = 255: 257 bytes
       },
       258, std::string(258, 'x')},
      {"distance 1, length class 8 at its smallest",
       [](BitWriter& b) {
         PutInitial(b, 'y');
         PutInitial(b, CopySymbol(1, 8));
         b.Put(0, 7);  // 128: 130 bytes
       },
       131, std::string(131, 'y')},
      {"distance extra bits come before length extra bits",
       [](BitWriter& b) {
         for (int c = '0'; c <= '9'; ++c) PutInitial(b, c);
         PutInitial(b, CopySymbol(4, 3));
         b.Put(2, 3);  // distance 8 + 2 = 10
         b.Put(1, 2);  // length 4 + 1 = 5: 7 bytes
       },
       17, "01234567890123456"},
      {"a copy reaching before the first byte yields zeros; class 0 reuses both values",
       [](BitWriter& b) {
         PutInitial(b, 'a');
         PutInitial(b, 'b');
         PutInitial(b, CopySymbol(3, 1));
         b.Put(1, 2);  // distance 4 + 1 = 5, length 1: 3 bytes
         PutInitial(b, CopySymbol(0, 0));
       },
       8, std::string("ab\0\0\0ab\0", 8)},
      {"a final copy longer than the bytes due is cut without error",
       [](BitWriter& b) {
         PutInitial(b, 'z');
         PutInitial(b, CopySymbol(1, 8));
         b.Put(127, 7);
       },
       5, "zzzzz"},
      {"overlapping copy repeats a pattern",
       [](BitWriter& b) {
         PutInitial(b, 'a');
         PutInitial(b, 'b');
         PutInitial(b, 'c');
         PutInitial(b, CopySymbol(2, 4));
         b.Put(1, 1);  // distance 3
         b.Put(0, 3);  // length 8: 10 bytes
       },
       13, "abcabcabcabca"},
  };
  for (const Case& c : cases) {
    BitWriter bits;
    c.build(bits);
    ASSERT_EQ(Decode(StreamOf(c.count, bits), c.count), c.count) << c.name;
    EXPECT_EQ(Text(c.count), c.expected) << c.name;
  }
}

TEST_F(Decoder, DamagedStreamsGiveZero) {
  BitWriter two_then_abort;
  PutInitial(two_then_abort, 'o');
  PutInitial(two_then_abort, 'k');
  PutInitial(two_then_abort, 256);
  EXPECT_EQ(Decode(StreamOf(3, two_then_abort), 3), 0u);
  EXPECT_EQ(Text(2), "ok");  // produced, yet refused

  BitWriter literals;
  for (char c : std::string("abcdef")) PutInitial(literals, static_cast<unsigned char>(c));
  EXPECT_EQ(Decode(StreamOf(6, literals), 5), 0u) << "output full";

  BitWriter copy;
  PutInitial(copy, 'c');
  PutInitial(copy, CopySymbol(1, 8));
  copy.Put(127, 7);
  EXPECT_EQ(Decode(StreamOf(100, copy), 50), 0u) << "output full during a copy";

  const std::vector<uint8_t> short_head = {1, 0, 0};
  EXPECT_EQ(Decode(short_head, 8), 0u) << "no count";
}

TEST_F(Decoder, CountZeroAnswersTheInputBound) {
  const std::vector<uint8_t> input = {0, 0, 0, 0, 0xAA, 0xBB};
  EXPECT_EQ(Decode(input, 8), 6u);
  EXPECT_EQ(out[0], 0xCD);  // nothing written
}

// 1096 symbols after the start total of 3000 reach 4096: the code is rebuilt right after the
// 1096th. With 'A' counted 1097 times against 391 ones, 'A' outweighs all the others together: its
// new code is the single bit 0, so the zero bits after the stream now decode as 'A'. A rebuild one
// symbol late would read them as symbol 0, one early would misread the 1096th code.
TEST_F(Decoder, CodeIsRebuiltAtATotalOf4096) {
  BitWriter bits;
  for (int i = 0; i < 1096; ++i) PutInitial(bits, 'A');
  const uint32_t count = 1096 + 3000;  // crosses the second rebuild as well
  ASSERT_EQ(Decode(StreamOf(count, bits), count), count);
  for (uint32_t i = 0; i < count; ++i) ASSERT_EQ(out[i], 'A') << i;
}

TEST(CodeBuilder, EqualCountsGiveTheInitialCode) {
  auto context = std::make_unique<UnpackContext>();
  for (auto& c : context->count) c = 1;
  RebuildHuffmanCode(kUnpackSymbolCount, context.get());
  for (uint32_t s = 0; s < kUnpackSymbolCount; ++s) {
    const uint32_t length = s < 120 ? 8 : 9;
    const uint32_t code = s < 120 ? s : s + 120;
    ASSERT_EQ(context->code_length[s], length) << s;
    const uint32_t first = code << (12 - length);
    for (uint32_t e = 0; e < (1u << (12 - length)); ++e) {
      ASSERT_EQ(context->decode_table[first + e], s | (length << 12)) << s;
    }
  }
  EXPECT_EQ(context->total, kUnpackSymbolCount);
}

// The shell sort's tie order, worked out by hand: a single heavier last symbol sinks by the gaps
// 196, 98, 49 and then 24 twice, and each symbol it passes over takes its old place, so the
// order is not the stable one. The codes follow this order.
TEST(CodeBuilder, ShellSortLeavesTiesWhereItsSwapsPutThem) {
  auto context = std::make_unique<UnpackContext>();
  for (auto& c : context->count) c = 1;
  context->count[391] = 2;
  RebuildHuffmanCode(kUnpackSymbolCount, context.get());
  std::vector<uint16_t> expected(kUnpackSymbolCount);
  for (uint16_t i = 0; i < kUnpackSymbolCount; ++i) expected[i] = i;
  for (auto [at, symbol] : {std::pair{0, 391}, {24, 0}, {48, 24}, {97, 48}, {195, 97}, {391, 195}}) {
    expected[at] = static_cast<uint16_t>(symbol);
  }
  EXPECT_EQ(std::vector<uint16_t>(context->order, context->order + kUnpackSymbolCount), expected);
  // The first 120 places get 8-bit codes equal to the place: symbol 391 code 0, symbol 0 code 24.
  EXPECT_EQ(context->decode_table[0], 391 | (8 << kDecodeLengthShift));
  EXPECT_EQ(context->decode_table[24 << 4], 0 | (8 << kDecodeLengthShift));
  EXPECT_EQ(context->decode_table[1 << 4], 1 | (8 << kDecodeLengthShift));
}

// Fibonacci counts make a chain 15 levels deep; the limit gives lengths 1..9, 11 and six of 12
// (worked out by hand from the limiting rule), handed out along the descending order.
TEST(CodeBuilder, DeepTreeIsLimitedToTwelveBits) {
  auto context = std::make_unique<UnpackContext>();
  uint32_t a = 1, b = 1;
  for (uint32_t s = 0; s < 16; ++s) {
    context->count[s] = a;
    const uint32_t next = a + b;
    a = b;
    b = next;
  }
  RebuildHuffmanCode(16, context.get());
  const uint8_t expected[16] = {12, 12, 12, 12, 12, 12, 11, 9, 8, 7, 6, 5, 4, 3, 2, 1};
  for (uint32_t s = 0; s < 16; ++s) EXPECT_EQ(context->code_length[s], expected[s]) << s;
  EXPECT_EQ(context->decode_table[0] & kDecodeSymbolMask, 15u);      // code 0
  EXPECT_EQ(context->decode_table[0x800] & kDecodeSymbolMask, 14u);  // code 10
  EXPECT_EQ(context->decode_table[0xFF8] & kDecodeSymbolMask, 6u);   // code 11111111100
  EXPECT_EQ(context->decode_table[0xFF8] >> kDecodeLengthShift, 11u);
  for (uint32_t s = 0; s < 16; ++s) EXPECT_EQ(context->count[s], 1u);
  EXPECT_EQ(context->total, 16u);
}

// A stream whose counts at the second rebuild (Fibonacci weights on a few symbols, 8 on the
// rest, the abort symbol at 1) need a tree 13 levels deep: the decoder must follow the limited
// code through it, including the 12-bit codes of the lightest symbols.
class SkewedStream {
 public:
  SkewedStream() {
    std::vector<uint32_t> counts(kUnpackSymbolCount, 8);
    counts[kUnpackAbortSymbol] = 1;
    for (uint32_t s = 0, a = 1, b = 2; s < 13; ++s) {
      counts[s] = a;
      const uint32_t next = a + b;
      a = b;
      b = next;
    }
    counts[12] += 86;  // brings the total to exactly 4096
    for (int i = 0; i < 1096; ++i) Emit(200);  // up to the first rebuild
    for (uint32_t s = 0; s < kUnpackSymbolCount; ++s) {
      for (uint32_t k = 1; k < counts[s]; ++k) Emit(s);
    }
    for (uint32_t s : {0u, 1u, 0u, 2u, 391u, 1u, 12u, 0u}) Emit(s);  // under the limited code
  }
  std::vector<uint8_t> Input(uint32_t* deepest) const {
    testkit::StreamWriter writer(static_cast<uint32_t>(expected_.size()));
    *deepest = 0;
    for (uint32_t s : symbols_) {
      if (s < 256) {
        writer.Literal(static_cast<uint8_t>(s));
      } else {
        const uint32_t t = s - 257;
        writer.CopyByClass(t / 9, ClassValue(t / 9), t % 9, ClassValue(t % 9));
      }
      *deepest = std::max(*deepest, writer.Model().LastUnlimitedDepth());
    }
    return writer.Finish();
  }
  const std::vector<uint8_t>& Expected() const { return expected_; }

 private:
  static uint32_t ClassValue(uint32_t cls) { return cls == 0 ? 0 : 1u << (cls - 1); }
  void Emit(uint32_t s) {
    symbols_.push_back(s);
    if (s < 256) {
      expected_.push_back(static_cast<uint8_t>(s));
      return;
    }
    const uint32_t t = s - 257;
    if (t / 9 != 0) distance_ = ClassValue(t / 9);
    if (t % 9 != 0) length_ = ClassValue(t % 9);
    for (uint32_t k = 0; k < length_ + 2; ++k) {
      const size_t at = expected_.size();
      expected_.push_back(at >= distance_ ? expected_[at - distance_] : 0);
    }
  }
  std::vector<uint32_t> symbols_;
  std::vector<uint8_t> expected_;
  uint32_t distance_ = 1;
  uint32_t length_ = 1;
};

TEST(CodeBuilder, SkewedStreamCrossesTheLimitedCode) {
  const SkewedStream sample;
  uint32_t deepest = 0;
  const auto input = sample.Input(&deepest);
  ASSERT_EQ(deepest, 13u) << "the sample no longer exercises the limit";
  auto context = std::make_unique<UnpackContext>();
  std::vector<uint8_t> out(sample.Expected().size());
  ASSERT_EQ(DecompressStream(input.data(), static_cast<uint32_t>(input.size()), out.data(),
                             static_cast<uint32_t>(out.size()), context.get()),
            out.size());
  EXPECT_EQ(out, sample.Expected());
  EXPECT_EQ(context->code_length[0], 12);
}

}  // namespace
}  // namespace tonvar::container
