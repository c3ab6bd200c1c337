// Generator of the screening engine's resources, written from their byte formats.
#include "testkit/tonvar/screening_resources.h"

#include <algorithm>
#include <cstring>

// GCC 12 reports false overflows inside std::vector growth here.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Warray-bounds"
#pragma GCC diagnostic ignored "-Wstringop-overflow"
#endif

namespace testkit {
namespace {

constexpr uint8_t kCurveSignature[4] = {0xFB, 0x69, 0xF7, 0xDC};
constexpr uint8_t kMatrixSignature[4] = {0xCF, 0xF9, 0x2E, 0x47};

void Put16(std::vector<uint8_t>& out, size_t at, int32_t v) {
  if (out.size() < at + 2) out.resize(at + 2);
  out[at] = static_cast<uint8_t>(v & 0xFF);
  out[at + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  if (out.size() < at + 4) out.resize(at + 4);
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
void PutBytes(std::vector<uint8_t>& out, size_t at, const uint8_t* bytes, size_t n) {
  if (out.size() < at + n) out.resize(at + n);
  std::memcpy(&out[at], bytes, n);
}
void PutSample(std::vector<uint8_t>& out, size_t at, int32_t v, uint32_t bytes) {
  if (bytes == 1) {
    if (out.size() < at + 1) out.resize(at + 1);
    out[at] = static_cast<uint8_t>(v);
  } else {
    Put16(out, at, v);
  }
}
int32_t Share(const DotShares& e, uint32_t s) { return s == 0 ? e.small : s == 1 ? e.medium : e.large; }

DamagedBlock Damaged(std::string what, std::vector<uint8_t> bytes, uint32_t status) {
  return DamagedBlock{std::move(what), std::move(bytes), status};
}

std::vector<uint8_t> Truncated(std::vector<uint8_t> bytes, size_t keep) {
  bytes.resize(std::min(keep, bytes.size()));
  return bytes;
}

}  // namespace

std::vector<uint8_t> ScreenIdList(const std::vector<uint16_t>& ids, bool terminate) {
  std::vector<uint8_t> out;
  for (uint16_t id : ids) Put16(out, out.size(), id);
  if (terminate) Put16(out, out.size(), 0xFFFF);
  return out;
}

std::vector<uint16_t> DispersedMatrix(uint32_t width, uint32_t height) {
  // Bit-reversed cell index: neighbouring cells get levels far apart, and every level appears
  // once when the cell count is a power of two; other heights are ranked into a permutation.
  const uint32_t cells = width * height;
  uint32_t bits = 0;
  while ((1u << bits) < cells) ++bits;
  std::vector<uint32_t> order(cells);
  std::vector<uint32_t> key(cells);
  for (uint32_t index = 0; index < cells; ++index) {
    uint32_t v = 0;
    for (uint32_t b = 0; b < bits; ++b) v |= ((index >> b) & 1u) << (bits - 1 - b);
    key[index] = v;
    order[index] = index;
  }
  std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return key[a] < key[b]; });
  std::vector<uint16_t> m(cells);
  for (uint32_t r = 0; r < cells; ++r) m[order[r]] = static_cast<uint16_t>(r);
  return m;
}

std::vector<uint8_t> ShortMatrixBlock(uint32_t width, uint32_t height,
                                      const std::vector<uint16_t>& thresholds) {
  std::vector<uint8_t> out(4, 0);
  out[0] = static_cast<uint8_t>(width >= 255 ? 255 : width);
  out[1] = static_cast<uint8_t>(height >= 255 ? 255 : height);
  for (uint16_t t : thresholds) Put16(out, out.size(), t);
  return out;
}

std::vector<uint8_t> HeaderMatrixBlock(uint32_t levels, uint32_t width, uint32_t height,
                                       const std::vector<uint16_t>& thresholds) {
  std::vector<uint8_t> out(32, 0);
  PutBytes(out, 4, kMatrixSignature, 4);
  Put32(out, 16, levels);
  Put32(out, 20, width);
  Put32(out, 24, height);
  for (uint16_t t : thresholds) Put16(out, out.size(), t);
  return out;
}

std::vector<uint8_t> ScreenGridPoints() {
  std::vector<uint8_t> g(32);
  for (uint32_t i = 0; i < 32; ++i) g[i] = static_cast<uint8_t>((i * 255 + 15) / 31);
  return g;
}

std::vector<uint8_t> ScreenGridBlock(const std::vector<uint8_t>& points, uint16_t size_word) {
  std::vector<uint8_t> out;
  Put16(out, 0, size_word);
  out.insert(out.end(), points.begin(), points.end());
  return out;
}

std::vector<DotShares> RampDotShares(uint32_t count, int32_t max_share) {
  std::vector<DotShares> out(count);
  for (uint32_t i = 0; i < count; ++i) {
    // Ink value v: small dots rise to the middle and give way to large dots; medium dots fill
    // between. The three never cover more than the cell, and a cell full of larger dots has no
    // small share left.
    const int32_t v = static_cast<int32_t>(i * 255 / (count - 1));
    const int32_t small = v <= 128 ? v : 255 - v;
    const int32_t large = v <= 128 ? 0 : (v - 128) * 2;
    const int32_t medium = std::min(v / 4, 255 - small - large);
    auto scale = [&](int32_t share) { return share * max_share / 255; };
    out[i] = DotShares{scale(small), scale(medium), scale(large)};
  }
  return out;
}

std::vector<uint8_t> DotCurveBlock(const DotCurveShape& shape) {
  const uint32_t n = static_cast<uint32_t>(shape.entries.size());
  const int32_t count = shape.count < 0 ? static_cast<int32_t>(n) : shape.count;
  const uint32_t bytes = shape.sample_bits >= 16 ? 2 : 1;
  std::vector<uint8_t> out;
  auto entries_from = [&](size_t at, uint32_t sample_bytes) {
    for (uint32_t e = 0; e < n; ++e) {
      for (uint32_t s = 0; s < 3; ++s) PutSample(out, at + (3 * e + s) * sample_bytes, Share(shape.entries[e], s), sample_bytes);
    }
  };
  switch (shape.form) {
    case CurveForm::kRaw:
      entries_from(0, 1);
      return out;
    case CurveForm::kKindMinus1:
      entries_from(0, 1);
      PutBytes(out, 4, kCurveSignature, 4);
      Put32(out, 8, 0xFFFFFFFF);
      return out;
    case CurveForm::kKind0:
      out.resize(32, 0);
      Put16(out, 16, shape.format);
      Put16(out, 18, count);
      entries_from(32, 1);
      break;
    case CurveForm::kKind2: {
      out.resize(32, 0);
      Put32(out, 8, 2);
      out[16] = static_cast<uint8_t>(shape.format);
      out[17] = static_cast<uint8_t>(shape.second_kind);
      Put16(out, 18, count);
      out[20] = static_cast<uint8_t>(shape.sample_bits / 8);
      out[21] = static_cast<uint8_t>(shape.second_bits / 8);
      entries_from(32, bytes);
      const uint32_t words = shape.second_kind;
      const size_t second_at = 32 + size_t{bytes} * 3 * n;
      const uint32_t second_bytes = shape.second_bits >= 16 ? 2 : 1;
      for (uint32_t e = 0; e < shape.second.size() && words >= 1 && words <= 3; ++e) {
        const DotShares& d = shape.second[e];
        const int32_t w[3] = {d.small, words == 3 ? d.medium : d.large, d.large};
        for (uint32_t k = 0; k < words; ++k) {
          PutSample(out, second_at + (size_t{words} * e + k) * second_bytes, w[k], second_bytes);
        }
      }
      break;
    }
    case CurveForm::kKind3:
      out.resize(32, 0);
      Put32(out, 8, 3);
      Put16(out, 16, shape.format);
      Put16(out, 18, count);
      Put16(out, 20, static_cast<int32_t>(shape.sample_bits));
      Put16(out, 22, shape.shift);
      Put16(out, 24, shape.flag);
      entries_from(32, bytes);
      break;
    case CurveForm::kKind4: {
      out.resize(48 + 8 * shape.directory_entries, 0);
      Put32(out, 8, 4);
      Put16(out, 18, count);
      Put16(out, 20, static_cast<int32_t>(shape.sample_bits));
      Put16(out, 22, shape.shift);
      Put16(out, 24, shape.flag);
      Put16(out, 34, static_cast<int32_t>(shape.directory_entries));
      for (uint32_t i = 0; i < shape.directory_entries; ++i) {
        // Entries before the last carry other ids; the last one names the part.
        out[48 + 8 * i] = i + 1 == shape.directory_entries ? shape.directory_id : static_cast<uint8_t>(7 + i);
        Put32(out, 48 + 8 * i + 1, static_cast<uint32_t>(shape.part_offset));
      }
      const size_t part = static_cast<size_t>(std::max(shape.part_offset, 48 + 8 * static_cast<int32_t>(shape.directory_entries)));
      Put16(out, part + 8, shape.format);
      for (uint32_t s = 0; s < 3; ++s) {
        for (uint32_t e = 0; e < n; ++e) Put16(out, part + 96 + 2 * (size_t{s} * n + e), Share(shape.entries[e], s));
      }
      break;
    }
  }
  PutBytes(out, 4, kCurveSignature, 4);
  if (shape.form == CurveForm::kKind0) Put32(out, 8, 0);
  return out;
}

std::vector<uint8_t> ColourIdBlock(uint16_t kind, uint16_t id) {
  std::vector<uint8_t> out(24, 0);
  Put32(out, 0, static_cast<uint32_t>(out.size()));
  Put16(out, 4, kind);
  if (kind == 2) {
    PutBytes(out, 8, kCurveSignature, 4);
    Put16(out, 16, id);
  } else {
    Put16(out, 6, id);
  }
  return out;
}

std::vector<uint8_t> MonoIdBlock(uint16_t id) {
  std::vector<uint8_t> out(16, 0);
  Put32(out, 0, 4);
  Put16(out, 4, 1);
  Put16(out, 6, id);
  PutBytes(out, 8, kCurveSignature, 4);
  return out;
}

std::vector<DamagedBlock> DamagedIdLists() {
  std::vector<uint16_t> fifteen(15, 20);
  return {
      Damaged("15 ids without the terminator", ScreenIdList(fifteen, false), 768),
      Damaged("ids that end before a terminator", ScreenIdList({20, 30, 40}, false), 768),
      Damaged("an empty block", {}, 768),
      Damaged("one odd byte", {0xFF}, 768),
  };
}

std::vector<DamagedBlock> DamagedMatrices() {
  const std::vector<uint16_t> m8 = DispersedMatrix(8, 8);
  std::vector<DamagedBlock> out;
  std::vector<uint8_t> b = ShortMatrixBlock(8, 8, m8);
  b[0] = 6;
  out.push_back(Damaged("width not a power of two", b, 768));
  b[0] = 0;
  out.push_back(Damaged("width 0", b, 768));
  b = ShortMatrixBlock(8, 8, m8);
  b[1] = 0;
  out.push_back(Damaged("height 0", b, 768));
  out.push_back(Damaged("thresholds cut short", Truncated(ShortMatrixBlock(8, 8, m8), 4 + 2 * 63), 768));
  out.push_back(Damaged("header form, width 0", HeaderMatrixBlock(64, 0, 8, m8), 768));
  out.push_back(Damaged("header form, 2^25 cells", HeaderMatrixBlock(64, 1u << 16, 1u << 9, m8), 768));
  out.push_back(Damaged("header form, header cut short", Truncated(HeaderMatrixBlock(64, 8, 8, m8), 24), 768));
  out.push_back(Damaged("shorter than a signature", {8, 8, 0, 0, 1, 2}, 768));
  return out;
}

std::vector<DamagedBlock> DamagedGridBlocks() {
  std::vector<DamagedBlock> out;
  std::vector<uint8_t> g = ScreenGridPoints();
  out.push_back(Damaged("grid size word 16", ScreenGridBlock(g, 16), 514));
  g[0] = 1;
  out.push_back(Damaged("first point 1", ScreenGridBlock(g), 514));
  g = ScreenGridPoints();
  g[31] = 254;
  out.push_back(Damaged("last point 254", ScreenGridBlock(g), 514));
  g = ScreenGridPoints();
  g[10] = g[9];
  out.push_back(Damaged("points that do not rise", ScreenGridBlock(g), 514));
  out.push_back(Damaged("points cut short", Truncated(ScreenGridBlock(ScreenGridPoints()), 20), 514));
  return out;
}

std::vector<DamagedBlock> DamagedColourDotCurves() {
  std::vector<DamagedBlock> out;
  DotCurveShape good;
  good.entries = RampDotShares(256, 255);
  DotCurveShape s = good;
  s.form = CurveForm::kRaw;
  s.entries[0] = {0, 1, 0};
  out.push_back(Damaged("raw, byte 1 not 0", DotCurveBlock(s), 992));
  s.entries[0] = {0, 0, 0};
  s.entries[1].small = 21;
  out.push_back(Damaged("raw, byte 3 is 21", DotCurveBlock(s), 992));
  s = good;
  std::vector<uint8_t> b = DotCurveBlock(s);
  b[8] = 1;
  out.push_back(Damaged("kind 1", b, 992));
  s.format = 2;
  out.push_back(Damaged("kind 3, format 2", DotCurveBlock(s), 992));
  s = good;
  s.sample_bits = 12;
  out.push_back(Damaged("kind 3, 12-bit samples", DotCurveBlock(s), 992));
  s = good;
  s.flag = 1;
  out.push_back(Damaged("kind 3, value at 24 not 0", DotCurveBlock(s), 993));
  s = good;
  s.entries = RampDotShares(300, 255);
  out.push_back(Damaged("300 entries", DotCurveBlock(s), 993));
  s.entries = RampDotShares(600, 255);
  out.push_back(Damaged("600 entries", DotCurveBlock(s), 993));
  s = good;
  s.sample_bits = 16;
  s.entries[200].large = 256;
  out.push_back(Damaged("a share of 256", DotCurveBlock(s), 993));
  s.entries[200].large = -1;
  out.push_back(Damaged("a negative share", DotCurveBlock(s), 993));
  s = good;
  s.form = CurveForm::kKind0;
  s.format = 4;
  out.push_back(Damaged("kind 0, format 4", DotCurveBlock(s), 992));
  s = good;
  s.form = CurveForm::kKind2;
  s.format = 2;
  out.push_back(Damaged("kind 2, format byte 2", DotCurveBlock(s), 992));
  s.format = 3;
  s.sample_bits = 24;
  out.push_back(Damaged("kind 2, 24-bit samples", DotCurveBlock(s), 992));
  out.push_back(Damaged("data cut short", Truncated(DotCurveBlock(good), 32 + 3 * 255), 992));
  out.push_back(Damaged("header cut short", Truncated(DotCurveBlock(good), 20), 992));
  return out;
}

std::vector<DamagedBlock> DamagedMainBlocks() {
  std::vector<DamagedBlock> out;
  DotCurveShape good;
  good.entries = RampDotShares(256, 255);
  DotCurveShape s = good;
  s.form = CurveForm::kRaw;
  s.entries[0] = {0, 0, 1};
  out.push_back(Damaged("raw, byte 2 not 0", DotCurveBlock(s), 992));
  s.entries[0] = {0, 0, 0};
  s.entries[1].small = 21;
  out.push_back(Damaged("raw, byte 3 is 21", DotCurveBlock(s), 992));
  std::vector<uint8_t> b = DotCurveBlock(good);
  b[8] = 5;
  out.push_back(Damaged("kind 5", b, 992));
  for (CurveForm form : {CurveForm::kKind0, CurveForm::kKind2, CurveForm::kKind3, CurveForm::kKind4}) {
    s = good;
    s.form = form;
    s.format = 2;
    if (form == CurveForm::kKind4) s.sample_bits = 16;
    if (form == CurveForm::kKind2) s.second_kind = 1, s.second = good.entries;
    out.push_back(Damaged("format 2, kind " + std::to_string(static_cast<int>(form)), DotCurveBlock(s), 992));
  }
  s = good;
  s.form = CurveForm::kKind2;
  s.second_kind = 1;
  s.second = good.entries;
  s.sample_bits = 24;
  out.push_back(Damaged("kind 2, 24-bit samples", DotCurveBlock(s), 992));
  s.sample_bits = 8;
  s.second_bits = 24;
  out.push_back(Damaged("kind 2, 24-bit second samples", DotCurveBlock(s), 992));
  s.second_bits = 8;
  out.push_back(Damaged("kind 2, 8-bit second samples", DotCurveBlock(s), 994));
  s.second_bits = 16;
  s.second_kind = 4;
  out.push_back(Damaged("kind 2, second-table kind 4", DotCurveBlock(s), 992));
  s.second_kind = 3;
  out.push_back(Damaged("kind 2, second table cut short", Truncated(DotCurveBlock(s), 32 + 768 + 100), 992));
  s = good;
  s.sample_bits = 12;
  out.push_back(Damaged("kind 3, 12-bit samples", DotCurveBlock(s), 992));
  s = good;
  s.shift = 17;
  out.push_back(Damaged("kind 3, shift 17", DotCurveBlock(s), 992));
  s.shift = -1;
  out.push_back(Damaged("kind 3, shift -1", DotCurveBlock(s), 992));
  s = good;
  s.sample_bits = 16;
  s.entries[100].small = 1000;  // 1000 x 257 is beyond full coverage
  out.push_back(Damaged("kind 3, a share beyond full coverage", DotCurveBlock(s), 993));
  s = good;
  s.entries[100] = {10, 100, 155};  // m + l fills the cell while a small share remains
  out.push_back(Damaged("kind 3, small share with no room left", DotCurveBlock(s), 768));
  s = good;
  s.form = CurveForm::kKind4;
  s.sample_bits = 8;
  out.push_back(Damaged("kind 4, 8-bit samples", DotCurveBlock(s), 992));
  s.sample_bits = 16;
  s.directory_entries = 0;
  out.push_back(Damaged("kind 4, empty directory", DotCurveBlock(s), 992));
  s.directory_entries = 2;
  s.directory_id = 3;
  out.push_back(Damaged("kind 4, no part of id 0", DotCurveBlock(s), 992));
  s.directory_id = 0;
  b = DotCurveBlock(s);
  Put32(b, 48 + 8 + 1, 0x80000000u);
  out.push_back(Damaged("kind 4, negative part offset", b, 992));
  Put32(b, 48 + 8 + 1, 0x7FFFFFF0u);
  out.push_back(Damaged("kind 4, part beyond the block", b, 992));
  for (uint32_t count : {300u, 600u}) {
    s = good;
    s.entries = RampDotShares(count, 255);
    out.push_back(Damaged(std::to_string(count) + " entries", DotCurveBlock(s), 993));
  }
  out.push_back(Damaged("data cut short", Truncated(DotCurveBlock(good), 32 + 700), 992));
  return out;
}

void BuildScreenLut(ScreenLut* out, uint32_t grid, uint32_t channels, NodeFunction f) {
  tonvar::LutDescriptor& lut = out->lut;
  lut = tonvar::LutDescriptor{};
  lut.channel_count = channels;
  static const uint8_t kInkOrder[16] = {1, 2, 3, 0, 4, 5, 7, 11, 6, 8, 9, 10, 12, 13, 14, 15};
  for (uint32_t c = 0; c < 16; ++c) lut.ink_ids[c] = c < channels ? kInkOrder[c] : 0xFF;
  for (uint32_t axis = 0; axis < 4; ++axis) {
    lut.grid_points[axis] = axis < 3 ? grid : 1;
    for (uint32_t i = 0; i < grid && axis < 3; ++i) {
      lut.grid[axis][i] = static_cast<uint8_t>((i * 255 + (grid - 1) / 2) / (grid - 1));
    }
  }
  out->body.assign(size_t{grid} * grid * grid * channels, 0);
  const uint8_t* g = lut.grid[0];
  size_t at = 0;
  for (uint32_t i = 0; i < grid; ++i) {
    for (uint32_t j = 0; j < grid; ++j) {
      for (uint32_t k = 0; k < grid; ++k) {
        for (uint32_t c = 0; c < channels; ++c) out->body[at++] = f(c, g[i], g[j], g[k]);
      }
    }
  }
  lut.body = out->body.data();
  lut.body_handle = out->body.data();  // owned by the caller; the engine only needs it set
  lut.first_halftone_id = 701;
  lut.dot_curve_id = -1;
}

uint8_t FourInkNode(uint32_t channel, uint8_t a, uint8_t b, uint8_t c) {
  const int cyan = 255 - a, magenta = 255 - b, yellow = 255 - c;
  const int black = std::min(cyan, std::min(magenta, yellow));
  const int inks[4] = {cyan - black, magenta - black, yellow - black, black};
  return channel < 4 ? static_cast<uint8_t>(inks[channel]) : 0;
}

uint8_t GreyNode(uint32_t, uint8_t a, uint8_t b, uint8_t c) {
  return static_cast<uint8_t>(255 - (a + b + c) / 3);
}

uint64_t Fnv1a(const uint8_t* data, size_t size, uint64_t seed) {
  uint64_t h = seed;
  for (size_t i = 0; i < size; ++i) {
    h ^= data[i];
    h *= 0x100000001B3ull;
  }
  return h;
}

}  // namespace testkit
