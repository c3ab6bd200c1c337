// Writer of the engine's resource container (LZ77 + adaptive Huffman), for tests and sample data.
// Platform-neutral: the Windows tests and the host build both use it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace testkit {

inline constexpr uint8_t kSignatureNormal = 0xB9;
inline constexpr uint8_t kSignaturePlaneOrdered = 0xBA;

// Most significant bit first, as the reader takes them.
class BitWriter {
 public:
  void Put(uint32_t value, uint32_t bit_count);
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  uint64_t BitCount() const { return bit_count_; }

 private:
  std::vector<uint8_t> bytes_;
  uint64_t bit_count_ = 0;
};

// The writer's side of the adaptive code: same counts, same rebuild points, same code.
class AdaptiveCodeModel {
 public:
  static constexpr uint32_t kSymbols = 392;
  AdaptiveCodeModel();
  // Writes the symbol's current code, then counts it (rebuilding at a total of 4096).
  void Emit(BitWriter& out, uint32_t symbol);
  uint32_t Length(uint32_t symbol) const { return length_[symbol]; }
  uint32_t Code(uint32_t symbol) const { return code_[symbol]; }
  int Rebuilds() const { return rebuilds_; }
  // Longest code the tree would have needed before the 12-bit limit, at the last rebuild.
  uint32_t LastUnlimitedDepth() const { return unlimited_depth_; }

 private:
  void Build();
  uint32_t count_[kSymbols];
  uint32_t length_[kSymbols];
  uint32_t code_[kSymbols];
  uint32_t total_ = 0;
  int rebuilds_ = -1;  // the initial build is not a rebuild
  uint32_t unlimited_depth_ = 0;
};

// Symbol-level writer: what a hand-made or encoded stream is built from.
class StreamWriter {
 public:
  explicit StreamWriter(uint32_t expanded_length);
  void Literal(uint8_t byte);
  // A copy of `bytes` (3..257) from `distance` (1..16383) back; the repeat classes (0) are used
  // when allowed and the value equals the previous one.
  void Copy(uint32_t distance, uint32_t bytes, bool allow_repeat = true);
  // A copy given by its classes and values exactly (class 0 ignores the value).
  void CopyByClass(uint32_t distance_class, uint32_t distance, uint32_t length_class,
                   uint32_t length);
  void Abort();
  // The decoder's input: the four count bytes, then the bit stream.
  std::vector<uint8_t> Finish() const;
  const AdaptiveCodeModel& Model() const { return model_; }

 private:
  uint32_t expanded_length_;
  AdaptiveCodeModel model_;
  BitWriter bits_;
  uint32_t previous_distance_ = 1;
  uint32_t previous_length_ = 1;
};

struct EncodeOptions {
  bool literals_only = false;
  uint32_t max_chain = 64;  // match candidates tried per position
};

// Decoder input (count + stream) for `data`.
std::vector<uint8_t> EncodeStream(std::span<const uint8_t> data, const EncodeOptions& options = {});
// Container around a decoder input; pads the stream by a byte where its length would equal the
// expanded length plus 12, which the reader refuses.
std::vector<uint8_t> WrapStream(std::span<const uint8_t> stream, uint8_t eighth_byte = kSignatureNormal);
std::vector<uint8_t> EncodeContainer(std::span<const uint8_t> data, const EncodeOptions& options = {});
// Rewrites a colour table's body from entries to planes; false when the header cannot be read.
bool TransposeTableToPlanes(std::vector<uint8_t>& table);
// Plane-ordered container of a colour table (empty when the header cannot be read).
std::vector<uint8_t> EncodePlaneOrderedTable(std::span<const uint8_t> table,
                                             const EncodeOptions& options = {});

}  // namespace testkit
