// LZ77 decoder with the adaptive canonical Huffman code of the resource container.
#include <cstring>
#include <utility>

#include "tonvar/common/byte_readers.h"
#include "tonvar/container/unpack_context.h"

namespace tonvar::container {
namespace {

constexpr uint32_t kNoWeight = 32767;  // stands for "no node waiting" / "no leaf left"
constexpr uint32_t kMaxDepth = kUnpackSymbolCount;

// MSB-first bit reader over [data, data + bound); bytes at or beyond the bound read as 0.
// The bits come out exactly as a byte-at-a-time reader gives them; it only refills in bigger steps.
class BitReader {
 public:
  BitReader(const uint8_t* data, uint32_t bound, uint32_t start)
      : data_(data), bound_(bound), pos_(start) {}

  // Afterwards at least 56 bits are held: enough for one code and its extra bits (12 + 13 + 7).
  inline void Refill() {
    if (held_ > 56) return;
    if (pos_ + 8 <= bound_) {
      uint64_t v;
      std::memcpy(&v, data_ + pos_, 8);
      v = __builtin_bswap64(v);
      acc_ |= v >> held_;
      pos_ += (63 - held_) >> 3;
      held_ |= 56;
      return;
    }
    while (held_ <= 56) {
      if (pos_ < bound_) acc_ |= uint64_t{data_[pos_]} << (56 - held_);
      ++pos_;
      held_ += 8;
    }
  }
  inline uint32_t Peek12() const { return static_cast<uint32_t>(acc_ >> 52); }
  inline void Skip(uint32_t n) {
    acc_ <<= n;
    held_ -= n;
  }
  inline uint32_t Take(uint32_t n) {  // 1 <= n <= 32
    const uint32_t v = static_cast<uint32_t>(acc_ >> (64 - n));
    Skip(n);
    return v;
  }

 private:
  const uint8_t* data_;
  uint64_t bound_;
  uint64_t pos_;
  uint64_t acc_ = 0;
  uint32_t held_ = 0;
};

// Copy classes 1..14 (distance) and 1..8 (length): 2^(k-1) plus k-1 extra bits; class 1 is 1.
inline uint32_t ReadClassValue(BitReader& bits, uint32_t cls) {
  if (cls == 1) return 1;
  return (1u << (cls - 1)) + bits.Take(cls - 1);
}

}  // namespace

void RebuildHuffmanCode(uint32_t symbol_count, UnpackContext* context) {
  const uint32_t n = symbol_count < kUnpackSymbolCount ? symbol_count : kUnpackSymbolCount;
  if (n < 2) return;
  uint32_t* count = context->count;
  uint16_t* order = context->order;

  // Shell sort by descending count, count and symbol moved together as one key (count in the
  // top half); ties stay where this exact procedure leaves them. Insertion by shifting moves
  // entries exactly as the swapping form does.
  uint32_t keys[kUnpackSymbolCount];
  for (uint32_t i = 0; i < n; ++i) keys[i] = (count[i] << 16) | i;
  for (uint32_t gap = n / 2; gap > 0; gap /= 2) {
    for (uint32_t i = gap; i < n; ++i) {
      const uint32_t key = keys[i];
      const uint32_t weight = key >> 16;
      int32_t j = static_cast<int32_t>(i - gap);
      while (j >= 0 && (keys[j] >> 16) < weight) {
        keys[j + gap] = keys[j];
        j -= static_cast<int32_t>(gap);
      }
      keys[j + gap] = key;
    }
  }
  for (uint32_t i = 0; i < n; ++i) {
    count[i] = keys[i] >> 16;
    order[i] = static_cast<uint16_t>(keys[i] & 0xFFFF);
  }

  // Tree: leaves from the end of the sorted list, internal nodes queued in the order made; the
  // internal node is taken only when strictly lighter than the next leaf.
  UnpackTreeNode* nodes = context->nodes;
  int32_t next_leaf = static_cast<int32_t>(n) - 1;
  uint32_t queue_head = 0;
  for (uint32_t k = 0; k + 1 < n; ++k) {
    uint16_t child[2];
    uint32_t weight = 0;
    for (uint16_t& c : child) {
      const uint32_t node_weight = queue_head < k ? nodes[queue_head].weight : kNoWeight;
      const uint32_t leaf_weight = next_leaf >= 0 ? count[next_leaf] : kNoWeight;
      if (node_weight < leaf_weight) {
        c = static_cast<uint16_t>(n + queue_head++);
        weight += node_weight;
      } else {
        c = static_cast<uint16_t>(next_leaf--);
        weight += leaf_weight;
      }
    }
    nodes[k] = UnpackTreeNode{child[0], child[1], weight};
  }

  // Leaves per depth; a node's parent is always made after it, so walk from the root down.
  uint16_t depth[kUnpackSymbolCount - 1];
  uint32_t per_length[kMaxDepth + 1] = {};
  depth[n - 2] = 0;
  for (int32_t k = static_cast<int32_t>(n) - 2; k >= 0; --k) {
    const uint16_t d = static_cast<uint16_t>(depth[k] + 1);
    for (uint16_t c : {nodes[k].first, nodes[k].second}) {
      if (c >= n) {
        depth[c - n] = d;
      } else {
        ++per_length[d < kMaxDepth ? d : kMaxDepth];
      }
    }
  }

  // Limit to 12 bits, keeping the code complete.
  uint32_t longest = kMaxDepth;
  while (longest > 0 && per_length[longest] == 0) --longest;
  while (longest > kUnpackLookupBits) {
    uint32_t m = longest - 2;
    while (m > 0 && per_length[m] == 0) --m;
    if (m == 0 || per_length[longest] < 2) break;  // cannot happen for a complete tree
    per_length[longest] -= 2;
    per_length[longest - 1] += 1;
    per_length[m] -= 1;
    per_length[m + 1] += 2;
    while (per_length[longest] == 0) --longest;
  }

  // Canonical codes along the sorted order, shortest first; each fills its share of the table.
  uint32_t code = 0;
  uint32_t next = 0;
  for (uint32_t len = 1; len <= kUnpackLookupBits; ++len) {
    const uint32_t span = 1u << (kUnpackLookupBits - len);
    for (uint32_t k = 0; k < per_length[len] && next < n; ++k) {
      const uint16_t symbol = order[next++];
      context->code_length[symbol] = static_cast<uint8_t>(len);
      const uint32_t first = code * span;
      const auto entry = static_cast<uint16_t>(symbol | (len << kDecodeLengthShift));
      if (first + span <= (1u << kUnpackLookupBits)) {
        for (uint32_t e = 0; e < span; ++e) context->decode_table[first + e] = entry;
      }
      ++code;
    }
    code <<= 1;
  }

  for (uint32_t i = 0; i < n; ++i) count[i] = 1;
  context->total = n;
}

uint32_t DecompressStream(const uint8_t* input, uint32_t input_bound, uint8_t* output,
                          uint32_t output_capacity, UnpackContext* context) {
  std::memset(context->decode_table, 0, sizeof context->decode_table);
  std::memset(context->code_length, 0, sizeof context->code_length);
  context->total = 0;
  if (input == nullptr || input_bound < 4) return 0;
  uint32_t due = common::ReadDword(input);
  if (due == 0) return input_bound;
  if (output == nullptr) return 0;

  for (uint32_t i = 0; i < kUnpackSymbolCount; ++i) context->count[i] = 1;
  RebuildHuffmanCode(kUnpackSymbolCount, context);
  context->total = kUnpackStartTotal;

  const uint16_t* const table = context->decode_table;
  uint32_t* const count = context->count;
  uint8_t* out = output;
  uint8_t* const out_end = output + output_capacity;
  uint32_t previous_distance = 1;
  uint32_t previous_length = 1;
  BitReader bits(input, input_bound, 4);
  uint32_t total = kUnpackStartTotal;  // kept local: output stores may alias the context

  while (due != 0) {
    bits.Refill();
    const uint32_t entry = table[bits.Peek12()];
    const uint32_t symbol = entry & kDecodeSymbolMask;
    bits.Skip(entry >> kDecodeLengthShift);
    ++count[symbol];
    if (++total == kUnpackRebuildTotal) {
      RebuildHuffmanCode(kUnpackSymbolCount, context);
      total = context->total;
    }

    if (symbol < kUnpackAbortSymbol) {
      if (out == out_end) return 0;
      *out++ = static_cast<uint8_t>(symbol);
      --due;
      continue;
    }
    if (symbol == kUnpackAbortSymbol) return 0;

    const uint32_t t = symbol - kUnpackFirstCopySymbol;
    const uint32_t distance_class = t / 9;
    const uint32_t length_class = t % 9;
    if (distance_class != 0) previous_distance = ReadClassValue(bits, distance_class);
    if (length_class != 0) previous_length = ReadClassValue(bits, length_class);
    const uint32_t distance = previous_distance;
    uint32_t n = previous_length + 2;
    if (n > due) n = due;
    due -= n;

    bool cut = false;
    const size_t room = static_cast<size_t>(out_end - out);
    if (n > room) {
      n = static_cast<uint32_t>(room);
      cut = true;
    }
    const size_t produced = static_cast<size_t>(out - output);
    if (distance > produced) {
      // Reaches back into the zero window that precedes the first byte.
      const size_t zeros = distance - produced < n ? distance - produced : n;
      std::memset(out, 0, zeros);
      out += zeros;
      n -= static_cast<uint32_t>(zeros);
    }
    if (n == 0) {
      if (cut) return 0;
      continue;
    }
    const uint8_t* from = out - distance;
    if (distance == 1) {
      std::memset(out, from[0], n);
      out += n;
    } else if (distance >= n) {
      std::memcpy(out, from, n);
      out += n;
    } else {
      for (uint32_t i = 0; i < n; ++i) out[i] = from[i];  // overlapping: repeats the pattern
      out += n;
    }
    if (cut) return 0;
  }
  context->total = total;
  return static_cast<uint32_t>(out - output);
}

}  // namespace tonvar::container
