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
  // Whole words can be read without reaching the bound.
  inline bool CanRefillFast() const { return pos_ + 8 <= bound_; }
  // Refill without the checks, for the fast loop (CanRefillFast holds).
  inline void RefillFast() {
    uint64_t v;
    std::memcpy(&v, data_ + pos_, 8);
    acc_ |= __builtin_bswap64(v) >> held_;
    pos_ += (63 - held_) >> 3;
    held_ |= 56;
  }
  inline uint32_t Peek12() const { return static_cast<uint32_t>(acc_ >> 52); }
  inline void Skip(uint32_t n) {
    acc_ <<= n;
    held_ -= n;
  }
  inline uint32_t Take(uint32_t n) {  // 0 <= n <= 32; 0 bits read as 0
    const uint32_t v = static_cast<uint32_t>((acc_ >> 32) >> (32 - n));
    Skip(n);
    return v;
  }

 // The fast loop takes these over into locals and hands them back.
  const uint8_t* data_;
  uint64_t bound_;
  uint64_t pos_;
  uint64_t acc_ = 0;
  uint32_t held_ = 0;
};

// Copy classes 1..14 (distance) and 1..8 (length): 2^(k-1) plus k-1 extra bits; class 0 keeps
// the previous value. Per copy symbol (less the first): both classes, their bases and widths.
struct CopyClasses {
  uint8_t distance_bits[135], length_bits[135];
  uint16_t distance_base[135], length_base[135];  // 0: class 0, the previous value stays
};
constexpr CopyClasses kCopyClasses = [] {
  CopyClasses c{};
  for (uint32_t t = 0; t < 135; ++t) {
    const uint32_t dc = t / 9, lc = t % 9;
    c.distance_bits[t] = static_cast<uint8_t>(dc == 0 ? 0 : dc - 1);
    c.distance_base[t] = static_cast<uint16_t>(dc == 0 ? 0 : 1u << (dc - 1));
    c.length_bits[t] = static_cast<uint8_t>(lc == 0 ? 0 : lc - 1);
    c.length_base[t] = static_cast<uint16_t>(lc == 0 ? 0 : 1u << (lc - 1));
  }
  return c;
}();
static_assert(kUnpackSymbolCount - kUnpackFirstCopySymbol == 135);

// Reads a copy's extra bits and updates the previous distance and length (t = symbol - 257).
inline void ReadCopy(BitReader& bits, uint32_t t, uint32_t* distance, uint32_t* length) {
  const uint32_t d = kCopyClasses.distance_base[t] + bits.Take(kCopyClasses.distance_bits[t]);
  if (kCopyClasses.distance_base[t] != 0) *distance = d;
  const uint32_t l = kCopyClasses.length_base[t] + bits.Take(kCopyClasses.length_bits[t]);
  if (kCopyClasses.length_base[t] != 0) *length = l;
}

// The fast loop runs while this many bytes are both due and free in the output: between two
// checks come at most two literals and a copy, which writes at most 257 bytes, and the block
// copies overshoot by at most 15 bytes, all of them bytes that later output overwrites.
constexpr uint32_t kFastOutputSlack = 2 + 257 + 16;

// For periods of 2 to 7 bytes: the whole periods in eight bytes, in bytes.
constexpr uint8_t kPeriodSteps[8] = {0, 0, 8, 6, 8, 5, 6, 7};

// Copies n bytes from distance back (1 <= distance <= bytes already produced), rounding up to
// whole blocks: writes up to 15 bytes beyond out + n.
inline void CopyWithOvershoot(uint8_t* out, uint32_t distance, uint32_t n) {
  const uint8_t* from = out - distance;
  uint8_t* const end = out + n;
  if (distance >= 8) [[likely]] {
    // Most copies are short: two eight-byte moves cover up to 16 bytes without a loop (the
    // second reads what the first wrote when the distance is below 16).
    std::memcpy(out, from, 8);
    std::memcpy(out + 8, from + 8, 8);
    if (n > 16) [[unlikely]] {
      out += 16;
      from += 16;
      do {
        std::memcpy(out, from, 8);
        out += 8;
        from += 8;
      } while (out < end);
    }
  } else if (distance == 1) {
    uint8_t run[16];
    std::memset(run, from[0], 16);
    do {
      std::memcpy(out, run, 16);
      out += 16;
    } while (out < end);
  } else {
    // Periods of 2 to 7 bytes: the period's bytes read as one word (the bytes after them lie
    // in the output still to be written, inside the fast loop's room, and are masked off),
    // doubled up to eight bytes in a register and stored at steps of a whole number of periods.
    uint64_t word;
    std::memcpy(&word, from, 8);
    uint64_t run = word & ((uint64_t{1} << (8 * distance)) - 1);
    for (uint32_t shift = 8 * distance; shift < 64; shift *= 2) run |= run << shift;
    const uint32_t step = kPeriodSteps[distance];
    do {
      std::memcpy(out, &run, 8);
      out += step;
    } while (out < end);
  }
}

// The tree of the sorted counts (count[0] heaviest), the reference way.
void BuildTreeReference(const uint32_t* count, uint32_t n, UnpackTreeNode* nodes) {
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
}

// The same tree when every weight stays below kNoWeight (all counts together do). Each choice
// is a select, and the two candidates after each queue's head are loaded a step ahead, so the
// chain from one choice to the next is a comparison and a select, not a load. Places not yet
// made read as kNoWeight; a node's weight reaches the preloaded candidates once it is made.
void BuildTreeFast(const uint32_t* count, uint32_t n, UnpackTreeNode* nodes) {
  uint32_t leaf_weight[kUnpackSymbolCount + 2];  // two places up, "no leaf left" below
  leaf_weight[0] = leaf_weight[1] = kNoWeight;
  for (uint32_t i = 0; i < n; ++i) leaf_weight[i + 2] = count[i];
  uint32_t node_weight[kUnpackSymbolCount + 1];
  uint32_t head = 0;      // queue head
  uint32_t leaf = n + 1;  // next leaf, two places up
  uint32_t node0 = kNoWeight, node1 = kNoWeight;  // weights at the head and after it
  uint32_t leaf0 = leaf_weight[leaf], leaf1 = leaf_weight[leaf - 1];
  for (uint32_t k = 0; k + 1 < n; ++k) {
    node_weight[k] = node_weight[k + 1] = kNoWeight;
    uint32_t child[2];
    uint32_t weight = 0;
    for (uint32_t& c : child) {
      const bool take_node = node0 < leaf0;
      c = take_node ? n + head : leaf - 2;
      weight += take_node ? node0 : leaf0;
      head += take_node ? 1 : 0;
      leaf -= take_node ? 0 : 1;
      const uint32_t node_ahead = node_weight[head + 1];
      const uint32_t leaf_ahead = leaf_weight[leaf - 1];
      node0 = take_node ? node1 : node0;
      node1 = take_node ? node_ahead : node1;
      leaf0 = take_node ? leaf0 : leaf1;
      leaf1 = take_node ? leaf1 : leaf_ahead;
    }
    node_weight[k] = weight;
    node0 = head == k ? weight : node0;
    node1 = head + 1 == k ? weight : node1;
    nodes[k] = UnpackTreeNode{static_cast<uint16_t>(child[0]), static_cast<uint16_t>(child[1]), weight};
  }
}

// Writes span copies of entry (span a power of two), eight bytes at a time where they fill it.
template <typename Entry>
inline void FillEntries(Entry* at, Entry entry, uint32_t span) {
  constexpr uint32_t kPerWord = 8 / sizeof(Entry);
  if (span >= kPerWord) {
    uint64_t word = entry;
    for (uint32_t shift = 8 * sizeof(Entry); shift < 64; shift *= 2) word |= word << shift;
    for (uint32_t e = 0; e < span; e += kPerWord) std::memcpy(at + e, &word, 8);
  } else {
    for (uint32_t e = 0; e < span; ++e) at[e] = entry;
  }
}

// The fast table's entry of a symbol with a code of `len` bits.
constexpr uint32_t FastEntry(uint32_t symbol, uint32_t len) {
  uint32_t bits = len;
  if (symbol >= kUnpackFirstCopySymbol) {
    const uint32_t t = symbol - kUnpackFirstCopySymbol;
    bits += kCopyClasses.distance_bits[t] + kCopyClasses.length_bits[t];
  }
  return symbol << kFastSymbolShift | len << kFastLengthShift | bits;
}

}  // namespace

void RebuildHuffmanCode(uint32_t symbol_count, UnpackContext* context, DecodePath path) {
  const uint32_t n = symbol_count < kUnpackSymbolCount ? symbol_count : kUnpackSymbolCount;
  if (n < 2) return;
  uint32_t* count = context->count;
  uint16_t* order = context->order;

  // Shell sort by descending count, count and symbol moved together as one key (count in the
  // top half); ties stay where this exact procedure leaves them.
  uint32_t keys[kUnpackSymbolCount];
  for (uint32_t i = 0; i < n; ++i) keys[i] = (count[i] << 16) | i;
  if (path == DecodePath::kFast) {
    ShellSortByCount(keys, n);
  } else {
    ShellSortByCountReference(keys, n);
  }
  uint64_t weight_total = 0;
  for (uint32_t i = 0; i < n; ++i) {
    count[i] = keys[i] >> 16;
    weight_total += count[i];
    order[i] = static_cast<uint16_t>(keys[i] & 0xFFFF);
  }

  // Tree: leaves from the end of the sorted list, internal nodes queued in the order made; the
  // internal node is taken only when strictly lighter than the next leaf.
  UnpackTreeNode* nodes = context->nodes;
  if (path == DecodePath::kFast && weight_total < kNoWeight) {
    BuildTreeFast(count, n, nodes);
  } else {
    BuildTreeReference(count, n, nodes);
  }

  // Internal nodes per depth; a node's parent is always made after it, so walk from the root
  // down. Leaves at depth d are the child places there less the internal nodes:
  // 2 * internal[d - 1] - internal[d].
  uint16_t depth[kUnpackSymbolCount];  // the last place takes the depths of leaves, unread
  uint32_t internal[kMaxDepth + 1] = {};
  depth[n - 2] = 0;
  for (int32_t k = static_cast<int32_t>(n) - 2; k >= 0; --k) {
    ++internal[depth[k]];
    const auto d = static_cast<uint16_t>(depth[k] + 1);
    for (uint32_t c : {nodes[k].first, nodes[k].second}) {
      const uint32_t node = c - n;  // wraps for a leaf
      depth[node < n - 1 ? node : n - 1] = d;
    }
  }
  uint32_t per_length[kMaxDepth + 1] = {};
  for (uint32_t d = 1; d <= kMaxDepth; ++d) per_length[d] = 2 * internal[d - 1] - internal[d];

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
        FillEntries(context->decode_table + first, entry, span);
        FillEntries(context->fast_table + first, FastEntry(symbol, len), span);
      }
      ++code;
    }
    code <<= 1;
  }

  for (uint32_t i = 0; i < n; ++i) count[i] = 1;
  context->total = n;
}

namespace {

// What the code built from all counts equal leaves in a context: every decoding starts from
// it, so it is built once and copied.
struct InitialCode {
  uint16_t decode_table[1u << kUnpackLookupBits];
  uint32_t fast_table[1u << kUnpackLookupBits];
  uint8_t code_length[kUnpackSymbolCount];
  uint16_t order[kUnpackSymbolCount];
  UnpackTreeNode nodes[kUnpackSymbolCount - 1];
};

const InitialCode& TheInitialCode() {
  static const InitialCode code = [] {
    UnpackContext scratch{};
    for (uint32_t i = 0; i < kUnpackSymbolCount; ++i) scratch.count[i] = 1;
    RebuildHuffmanCode(kUnpackSymbolCount, &scratch);
    InitialCode c;
    std::memcpy(c.decode_table, scratch.decode_table, sizeof c.decode_table);
    std::memcpy(c.fast_table, scratch.fast_table, sizeof c.fast_table);
    std::memcpy(c.code_length, scratch.code_length, sizeof c.code_length);
    std::memcpy(c.order, scratch.order, sizeof c.order);
    std::memcpy(c.nodes, scratch.nodes, sizeof c.nodes);
    return c;
  }();
  return code;
}

}  // namespace

namespace {

// Where a decoding stands between its loops.
struct DecodeState {
  uint8_t* out;
  uint32_t due;
  uint32_t distance;  // the previous copy's distance and length
  uint32_t length;
  uint32_t total;     // running total of the counts
};

// The fast loop: whole-word refills and block copies while the input has words left and the
// output has room for a literal and any copy with its overshoot, both bounds folded into one
// output limit (due and out move together). The bit buffer lives in locals for the whole loop.
// A refill leaves at least 56 bits: after up to two literals (at most 12 bits each) the next
// symbol with all its extra bits (at most 32) is read without one. False when the stream aborts.
bool DecodeFast(BitReader& bits, UnpackContext* context, uint8_t* const output, uint8_t* const out_end,
                DecodeState& state) {
  uint8_t* out = state.out;
  uint8_t* const due_end = out + state.due;
  uint8_t* const room_end = due_end < out_end ? due_end : out_end;
  if (room_end - out <= static_cast<ptrdiff_t>(kFastOutputSlack) || !bits.CanRefillFast()) return true;
  uint8_t* const limit = room_end - kFastOutputSlack;
  const uint8_t* in = bits.data_ + bits.pos_;
  const uint8_t* const in_last = bits.data_ + bits.bound_ - 8;  // the last place a word is read
  uint64_t acc = bits.acc_;
  uint32_t held = bits.held_;
  const uint32_t* const table = context->fast_table;
  uint32_t* const count = context->count;
  uint32_t total = state.total;
  uint32_t distance = state.distance;
  uint32_t length = state.length;
  bool aborted = false;

  while (out < limit && in <= in_last) {
    uint64_t word;
    std::memcpy(&word, in, 8);
    acc |= __builtin_bswap64(word) >> held;
    in += (63 - held) >> 3;
    held |= 56;
    for (int symbols = 0; symbols < 3; ++symbols) {
      // One look-up gives the bits of the whole symbol, a copy's extra bits included: the
      // next symbol's bits are found without waiting for this one's kind.
      const uint32_t entry = table[acc >> 52];
      const uint64_t before = acc;
      acc <<= entry & kFastBitsMask;
      held -= entry & kFastBitsMask;
      const uint32_t symbol = entry >> kFastSymbolShift;
      ++count[symbol];
      if (++total == kUnpackRebuildTotal) [[unlikely]] {
        RebuildHuffmanCode(kUnpackSymbolCount, context);
        total = context->total;
      }
      if (symbol < kUnpackAbortSymbol) {
        *out++ = static_cast<uint8_t>(symbol);
        continue;
      }
      if (symbol == kUnpackAbortSymbol) [[unlikely]] {
        aborted = true;
        break;
      }
      // The extra bits follow the code: distance bits, then length bits.
      const uint32_t t = symbol - kUnpackFirstCopySymbol;
      const uint64_t extra = before << (entry >> kFastLengthShift & 0xF);
      const uint32_t distance_bits = kCopyClasses.distance_bits[t];
      const uint32_t d = kCopyClasses.distance_base[t] + static_cast<uint32_t>((extra >> 32) >> (32 - distance_bits));
      if (kCopyClasses.distance_base[t] != 0) distance = d;
      const uint64_t length_extra = extra << distance_bits;
      const uint32_t length_bits = kCopyClasses.length_bits[t];
      const uint32_t l = kCopyClasses.length_base[t] + static_cast<uint32_t>((length_extra >> 32) >> (32 - length_bits));
      if (kCopyClasses.length_base[t] != 0) length = l;
      const uint32_t n = length + 2;  // at most 257, inside the room the limit keeps
      const size_t produced = static_cast<size_t>(out - output);
      if (distance > produced) [[unlikely]] {
        // Reaches back into the zero window that precedes the first byte.
        const size_t zeros = distance - produced;
        const uint32_t z = zeros < n ? static_cast<uint32_t>(zeros) : n;
        std::memset(out, 0, z);
        // The rest comes from the first bytes produced, byte by byte.
        for (size_t i = z; i < n; ++i) out[i] = output[produced + i - distance];
      } else {
        CopyWithOvershoot(out, distance, n);
      }
      out += n;
      break;  // a copy may have used up to 32 bits: refill
    }
    if (aborted) break;
  }

  bits.pos_ = static_cast<uint64_t>(in - bits.data_);
  bits.acc_ = acc;
  bits.held_ = held;
  state.out = out;
  state.due = static_cast<uint32_t>(due_end - out);
  state.distance = distance;
  state.length = length;
  state.total = total;
  return !aborted;
}

}  // namespace

uint32_t DecompressStream(const uint8_t* input, uint32_t input_bound, uint8_t* output,
                          uint32_t output_capacity, UnpackContext* context, DecodePath path) {
  const uint32_t count_due = input == nullptr || input_bound < 4 ? 0 : common::ReadDword(input);
  if (count_due == 0 || output == nullptr) {
    // No decoding: the tables are left cleared.
    std::memset(context->decode_table, 0, sizeof context->decode_table);
    std::memset(context->code_length, 0, sizeof context->code_length);
    context->total = 0;
    if (input == nullptr || input_bound < 4 || count_due != 0) return 0;
    return input_bound;
  }

  const InitialCode& initial = TheInitialCode();
  std::memcpy(context->decode_table, initial.decode_table, sizeof context->decode_table);
  std::memcpy(context->fast_table, initial.fast_table, sizeof context->fast_table);
  std::memcpy(context->code_length, initial.code_length, sizeof context->code_length);
  std::memcpy(context->order, initial.order, sizeof context->order);
  std::memcpy(context->nodes, initial.nodes, sizeof context->nodes);
  for (uint32_t i = 0; i < kUnpackSymbolCount; ++i) context->count[i] = 1;
  context->total = kUnpackStartTotal;

  uint8_t* const out_end = output + output_capacity;
  BitReader bits(input, input_bound, 4);
  // The total is kept local: output stores may alias the context.
  DecodeState state{output, count_due, 1, 1, kUnpackStartTotal};
  if (path == DecodePath::kFast && !DecodeFast(bits, context, output, out_end, state)) return 0;

  // The careful loop: the reference, and the end of every fast decoding.
  const uint16_t* const table = context->decode_table;
  uint32_t* const count = context->count;
  uint8_t* out = state.out;
  uint32_t due = state.due;
  uint32_t previous_distance = state.distance;
  uint32_t previous_length = state.length;
  uint32_t total = state.total;
  while (due != 0) {
    bits.Refill();
    const uint32_t entry = table[bits.Peek12()];
    const uint32_t symbol = entry & kDecodeSymbolMask;
    bits.Skip(entry >> kDecodeLengthShift);
    ++count[symbol];
    if (++total == kUnpackRebuildTotal) {
      RebuildHuffmanCode(kUnpackSymbolCount, context, path);
      total = context->total;
    }

    if (symbol < kUnpackAbortSymbol) {
      if (out == out_end) return 0;
      *out++ = static_cast<uint8_t>(symbol);
      --due;
      continue;
    }
    if (symbol == kUnpackAbortSymbol) return 0;

    ReadCopy(bits, symbol - kUnpackFirstCopySymbol, &previous_distance, &previous_length);
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
