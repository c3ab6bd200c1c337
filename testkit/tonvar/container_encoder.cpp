// Writer of the engine's resource container: greedy LZ77 with hash chains over the same adaptive
// canonical Huffman model as the reader. Written from the format, independently of the reader.
#include "testkit/tonvar/container_encoder.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace testkit {
namespace {

constexpr uint32_t kAbort = 256;
constexpr uint32_t kFirstCopy = 257;
constexpr uint32_t kMaxBits = 12;
constexpr uint32_t kRebuildAt = 4096;
constexpr uint32_t kStartTotal = 3000;
constexpr uint32_t kMaxDistance = 16383;
constexpr uint32_t kMinCopy = 3;
constexpr uint32_t kMaxCopy = 257;
constexpr uint8_t kSignature[7] = {0x7A, 0xCF, 0x86, 0x5C, 0x7D, 0x90, 0x3C};

// Class of a distance or length value: 1 for 1, else 1 + floor(log2 v); extra bits = class - 1.
uint32_t ClassOf(uint32_t v) {
  uint32_t k = 1;
  while ((2u << (k - 1)) <= v) ++k;
  return k;
}

void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t GetLe32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24);
}

}  // namespace

void BitWriter::Put(uint32_t value, uint32_t bit_count) {
  for (uint32_t i = bit_count; i-- > 0;) {
    if (bit_count_ % 8 == 0) bytes_.push_back(0);
    if ((value >> i) & 1u) bytes_.back() |= static_cast<uint8_t>(0x80u >> (bit_count_ % 8));
    ++bit_count_;
  }
}

AdaptiveCodeModel::AdaptiveCodeModel() {
  std::fill(std::begin(count_), std::end(count_), 1u);
  Build();
  total_ = kStartTotal;
}

void AdaptiveCodeModel::Emit(BitWriter& out, uint32_t symbol) {
  out.Put(code_[symbol], length_[symbol]);
  ++count_[symbol];
  if (++total_ == kRebuildAt) Build();
}

void AdaptiveCodeModel::Build() {
  ++rebuilds_;
  constexpr int n = kSymbols;
  std::array<uint32_t, kSymbols> weight;
  std::array<uint32_t, kSymbols> symbol;
  for (int i = 0; i < n; ++i) {
    weight[i] = count_[i];
    symbol[i] = static_cast<uint32_t>(i);
  }
  // Shell sort, descending, with halving gaps; the exact tie order matters.
  for (int gap = n / 2; gap >= 1; gap /= 2) {
    for (int i = gap; i < n; ++i) {
      int j = i - gap;
      while (j >= 0 && weight[j] < weight[j + gap]) {
        std::swap(weight[j], weight[j + gap]);
        std::swap(symbol[j], symbol[j + gap]);
        j -= gap;
      }
    }
  }
  // Two-queue Huffman: leaves from the light end, made nodes in order; a node wins only when
  // strictly lighter. Track each item's parent to find the leaf depths.
  std::vector<int> leaf_parent(n), node_parent(n - 1, -1);
  std::vector<uint32_t> node_weight(n - 1);
  int leaf = n - 1;
  int head = 0;
  for (int made = 0; made < n - 1; ++made) {
    uint32_t sum = 0;
    for (int c = 0; c < 2; ++c) {
      const uint32_t nw = head < made ? node_weight[head] : 32767u;
      const uint32_t lw = leaf >= 0 ? weight[leaf] : 32767u;
      if (nw < lw) {
        node_parent[head++] = made;
        sum += nw;
      } else {
        leaf_parent[leaf--] = made;
        sum += lw;
      }
    }
    node_weight[made] = sum;
  }
  std::vector<uint32_t> node_depth(n - 1, 0);
  for (int k = n - 3; k >= 0; --k) node_depth[k] = node_depth[node_parent[k]] + 1;
  std::vector<uint32_t> per_len(n + 2, 0);
  uint32_t deepest = 0;
  for (int i = 0; i < n; ++i) {
    const uint32_t d = node_depth[leaf_parent[i]] + 1;
    ++per_len[d];
    deepest = std::max(deepest, d);
  }
  unlimited_depth_ = deepest;
  uint32_t top = deepest;
  while (top > kMaxBits) {
    uint32_t m = top - 2;
    while (m > 1 && per_len[m] == 0) --m;
    per_len[top] -= 2;
    per_len[top - 1] += 1;
    per_len[m] -= 1;
    per_len[m + 1] += 2;
    while (per_len[top] == 0) --top;
  }
  uint32_t code = 0;
  int at = 0;
  for (uint32_t len = 1; len <= kMaxBits; ++len) {
    for (uint32_t k = 0; k < per_len[len]; ++k) {
      length_[symbol[at]] = len;
      code_[symbol[at]] = code++;
      ++at;
    }
    code <<= 1;
  }
  std::fill(std::begin(count_), std::end(count_), 1u);
  total_ = n;
}

StreamWriter::StreamWriter(uint32_t expanded_length) : expanded_length_(expanded_length) {}

void StreamWriter::Literal(uint8_t byte) { model_.Emit(bits_, byte); }

void StreamWriter::Abort() { model_.Emit(bits_, kAbort); }

void StreamWriter::CopyByClass(uint32_t distance_class, uint32_t distance, uint32_t length_class,
                               uint32_t length) {
  model_.Emit(bits_, kFirstCopy + distance_class * 9 + length_class);
  if (distance_class >= 2) bits_.Put(distance - (1u << (distance_class - 1)), distance_class - 1);
  if (length_class >= 2) bits_.Put(length - (1u << (length_class - 1)), length_class - 1);
  if (distance_class != 0) previous_distance_ = distance;
  if (length_class != 0) previous_length_ = length;
}

void StreamWriter::Copy(uint32_t distance, uint32_t bytes, bool allow_repeat) {
  const uint32_t length = bytes - 2;
  const uint32_t dc = allow_repeat && distance == previous_distance_ ? 0 : ClassOf(distance);
  const uint32_t lc = allow_repeat && length == previous_length_ ? 0 : ClassOf(length);
  CopyByClass(dc, distance, lc, length);
}

std::vector<uint8_t> StreamWriter::Finish() const {
  const auto& bits = bits_.Bytes();
  std::vector<uint8_t> out(4 + bits.size());
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(expanded_length_ >> (8 * i));
  std::copy(bits.begin(), bits.end(), out.begin() + 4);
  return out;
}

std::vector<uint8_t> EncodeStream(std::span<const uint8_t> data, const EncodeOptions& options) {
  const uint32_t size = static_cast<uint32_t>(data.size());
  StreamWriter writer(size);
  constexpr uint32_t kHashBits = 15;
  std::vector<int32_t> head(1u << kHashBits, -1);
  std::vector<int32_t> chain(data.size(), -1);
  auto hash_at = [&](uint32_t i) {
    const uint32_t v = data[i] | (data[i + 1] << 8) | (data[i + 2] << 16);
    return (v * 2654435761u) >> (32 - kHashBits);
  };
  auto insert = [&](uint32_t i) {
    if (i + kMinCopy > size) return;
    const uint32_t h = hash_at(i);
    chain[i] = head[h];
    head[h] = static_cast<int32_t>(i);
  };
  uint32_t i = 0;
  while (i < size) {
    uint32_t best_len = 0;
    uint32_t best_dist = 0;
    if (!options.literals_only && i + kMinCopy <= size) {
      const uint32_t limit = std::min(kMaxCopy, size - i);
      int32_t candidate = head[hash_at(i)];
      for (uint32_t tries = 0; candidate >= 0 && tries < options.max_chain; ++tries) {
        const uint32_t dist = i - static_cast<uint32_t>(candidate);
        if (dist > kMaxDistance) break;
        uint32_t len = 0;
        while (len < limit && data[candidate + len] == data[i + len]) ++len;
        if (len > best_len) {
          best_len = len;
          best_dist = dist;
          if (len == limit) break;
        }
        candidate = chain[candidate];
      }
    }
    if (best_len >= kMinCopy) {
      writer.Copy(best_dist, best_len);
      for (uint32_t k = 0; k < best_len; ++k) insert(i + k);
      i += best_len;
    } else {
      writer.Literal(data[i]);
      insert(i);
      ++i;
    }
  }
  return writer.Finish();
}

std::vector<uint8_t> WrapStream(std::span<const uint8_t> stream, uint8_t eighth_byte) {
  std::vector<uint8_t> out(kSignature, kSignature + 7);
  out.push_back(eighth_byte);
  uint32_t stored = static_cast<uint32_t>(stream.size());
  const uint32_t expanded = stream.size() >= 4 ? GetLe32(stream.data()) : 0;
  const bool pad = int64_t{expanded} == int64_t{stored} - 12;
  if (pad) ++stored;
  PutLe32(out, stored);
  out.insert(out.end(), stream.begin(), stream.end());
  if (pad) out.push_back(0);
  return out;
}

std::vector<uint8_t> EncodeContainer(std::span<const uint8_t> data, const EncodeOptions& options) {
  return WrapStream(EncodeStream(data, options), kSignatureNormal);
}

bool TransposeTableToPlanes(std::vector<uint8_t>& table) {
  const size_t size = table.size();
  if (size < 17 || table[0] != 'K' || table[1] != 'V') return false;
  size_t grid_at;
  size_t channels;
  size_t body_at;
  if (table[14] == ' ' || table[14] == '2') {
    if (size < 76) return false;
    grid_at = 72;
    channels = table[75];
    body_at = 76;
  } else {
    size_t chunk = 0;
    for (size_t at = 16; at + 8 <= size; at += 4) {
      if (std::memcmp(&table[at], "clut", 4) == 0) {
        chunk = GetLe32(&table[at + 4]);
        break;
      }
    }
    if (chunk == 0 || chunk + 10 > size) return false;
    grid_at = chunk + 7;
    channels = table[chunk + 5];
    body_at = chunk + 10 + channels;
  }
  const size_t points = size_t{table[grid_at]} * table[grid_at + 1] * table[grid_at + 2];
  body_at += size_t{table[grid_at]} + table[grid_at + 1] + table[grid_at + 2];
  if (channels == 0 || body_at + points * channels > size) return false;
  std::vector<uint8_t> body(table.begin() + body_at, table.begin() + body_at + points * channels);
  for (size_t i = 0; i < points; ++i) {
    for (size_t k = 0; k < channels; ++k) table[body_at + k * points + i] = body[i * channels + k];
  }
  return true;
}

std::vector<uint8_t> EncodePlaneOrderedTable(std::span<const uint8_t> table,
                                             const EncodeOptions& options) {
  std::vector<uint8_t> planes(table.begin(), table.end());
  if (!TransposeTableToPlanes(planes)) return {};
  return WrapStream(EncodeStream(planes, options), kSignaturePlaneOrdered);
}

}  // namespace testkit
