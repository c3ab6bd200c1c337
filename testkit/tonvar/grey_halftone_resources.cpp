// Resources of the grey-input halftoning engine, written from their formats.
#include "testkit/tonvar/grey_halftone_resources.h"

#include <algorithm>
#include <cstring>

namespace testkit {
namespace {

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  if (out.size() < at + 2) out.resize(at + 2, 0);
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  if (out.size() < at + 4) out.resize(at + 4, 0);
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

void PutSample(std::vector<uint8_t>& out, size_t at, int32_t v, int bytes) {
  if (bytes == 2) {
    Put16(out, at, static_cast<uint16_t>(v));
  } else {
    if (out.size() < at + 1) out.resize(at + 1, 0);
    out[at] = static_cast<uint8_t>(v);
  }
}

void PutDotCurveHeader(std::vector<uint8_t>& out, uint32_t kind, int16_t levels, int16_t bits) {
  Put32(out, 8, kind);
  Put16(out, 18, static_cast<uint16_t>(levels));
  Put16(out, 20, static_cast<uint16_t>(bits));
}

const std::vector<uint8_t> kGreyInks = {0, 1, 2, 3, 4, 5, 7, 11};

}  // namespace

int32_t GreyRampDot(uint32_t row, uint32_t size) {
  // The two lowest rows are empty, so that amounts below 256 never make a dot.
  const int32_t total = row < 2 ? 0 : static_cast<int32_t>((row - 2) * 4080 / 509);
  const int32_t small = std::min(total, 1360);
  const int32_t medium = std::clamp(total - 1360, 0, 1360);
  const int32_t large = std::max(total - 2720, 0);
  return size == 0 ? small : size == 1 ? medium : large;
}

std::vector<uint8_t> BuildGreyDotCurveKind3(const GreyDotCurveKind3Shape& shape) {
  const GreyDotSample sample = shape.sample ? shape.sample : GreyDotSample(GreyRampDot);
  const int bytes = shape.sample_bits == 16 ? 2 : 1;
  std::vector<uint8_t> out(32, 0);
  PutDotCurveHeader(out, 3, shape.levels, shape.sample_bits);
  Put16(out, 16, static_cast<uint16_t>(shape.columns));
  for (uint32_t l = 0; l < 512; ++l) {
    for (uint32_t c = 0; c < 3; ++c) PutSample(out, 32 + (l * 3 + c) * bytes, sample(l, c), bytes);
  }
  const size_t trailer = 36 + size_t(3) * shape.sample_bits * 512 / 8;
  for (int i = 0; i < 3; ++i) Put16(out, trailer + 2 * i, static_cast<uint16_t>(shape.trailer[i]));
  return out;
}

std::vector<uint8_t> BuildGreyDotCurveKind4(const GreyDotCurveKind4Shape& shape) {
  std::vector<GreyDotCurveEntry> entries = shape.entries;
  if (entries.empty()) {
    for (uint8_t ink : kGreyInks) entries.push_back({ink});
  }
  const int bytes = shape.sample_bits == 16 ? 2 : 1;
  std::vector<uint8_t> out(48 + 8 * entries.size(), 0);
  PutDotCurveHeader(out, 4, shape.levels, shape.sample_bits);
  Put16(out, 34, static_cast<uint16_t>(entries.size()));
  for (size_t e = 0; e < entries.size(); ++e) {
    const GreyDotCurveEntry& entry = entries[e];
    const GreyDotSample sample = entry.sample ? entry.sample
                                 : shape.sample ? shape.sample
                                               : GreyDotSample(GreyRampDot);
    const size_t offset = (out.size() + 3) & ~size_t{3};
    out.resize(offset + 96, 0);
    out[48 + 8 * e] = entry.ink_id;
    Put32(out, 49 + 8 * e, static_cast<uint32_t>(offset));
    Put32(out, offset + 8, entry.kind);
    out[offset + 16] = entry.small_present ? 1 : 0;
    out[offset + 17] = 1;
    out[offset + 18] = 1;
    for (int i = 0; i < 3; ++i) Put16(out, offset + 32 + 4 * i, static_cast<uint16_t>(entry.trailer[i]));
    size_t at = offset + 96;
    for (uint32_t c = 0; c < 3; ++c) {
      if (c == 0 && !entry.small_present) continue;
      for (uint32_t l = 0; l < 512; ++l) PutSample(out, at + l * bytes, sample(l, c), bytes);
      at += 512 * bytes;
    }
  }
  return out;
}

int16_t GreyScreenSample(int32_t width, int32_t height, int32_t row, int32_t column) {
  const int64_t cells = int64_t{width} * height;
  if (width <= 0 || height <= 0 || (width & (width - 1)) != 0 || width != height) {
    return static_cast<int16_t>((int64_t{row} * width + column) * 4080 / std::max<int64_t>(cells, 1));
  }
  // Bayer order: interleave the bits of (row XOR column) and row, most significant first.
  int32_t index = 0;
  for (int32_t bit = width >> 1; bit > 0; bit >>= 1) {
    index = (index << 2) | (((row ^ column) & bit) ? 2 : 0) | ((row & bit) ? 1 : 0);
  }
  return static_cast<int16_t>(int64_t{index} * 4080 / cells);
}

std::vector<uint8_t> BuildGreyScreen(const GreyScreenShape& shape) {
  std::vector<uint8_t> out(132, 0);
  const uint8_t magic[4] = {0xCF, 0xF9, 0x2E, 0x47};
  std::memcpy(out.data() + 4, magic, 4);
  out[8] = 3;
  out[9] = shape.layout_kind;
  Put16(out, 10, static_cast<uint16_t>(shape.offset));
  Put16(out, 12, static_cast<uint16_t>(shape.width));
  Put16(out, 14, static_cast<uint16_t>(shape.height));
  out[22] = shape.sample_bytes_a;
  out[23] = shape.sample_bytes_b;
  out[25] = shape.storage;
  out[26] = 1;
  for (int i = 0; i < 16; ++i) Put16(out, 100 + 2 * i, static_cast<uint16_t>(shape.phases[i]));
  const size_t count = shape.width > 0 && shape.height > 0 ? size_t(shape.width) * size_t(shape.height) : 0;
  for (size_t i = 0; i < count; ++i) {
    const int16_t v = i < shape.samples.size()
                          ? shape.samples[i]
                          : GreyScreenSample(shape.width, shape.height, int32_t(i / shape.width),
                                             int32_t(i % shape.width));
    Put16(out, size_t(std::max<int16_t>(shape.offset, 0)) + 2 * i, static_cast<uint16_t>(v));
  }
  return out;
}

std::vector<uint8_t> BuildHandoverLayout(const std::vector<HandoverRecord>& records, uint16_t version) {
  std::vector<uint8_t> out = {'H', 'L', '<', 'c', 0, 0, 0, 0};
  Put16(out, 8, version);
  Put16(out, 10, static_cast<uint16_t>(records.size()));
  for (const HandoverRecord& r : records) {
    const size_t at = out.size();
    Put16(out, at, static_cast<uint16_t>(3 + r.data.size()));
    out.push_back(r.type);
    for (uint8_t b : r.data) out.push_back(b);
  }
  return out;
}

HandoverRecord HandoverDimensions(uint8_t inks, uint8_t sets, uint8_t values) {
  return {0, {1, inks, sets, values}};
}
HandoverRecord HandoverRoles(uint8_t a, uint8_t b, uint8_t c) { return {1, {a, b, c}}; }
HandoverRecord HandoverSelector(uint8_t a, uint8_t b, uint8_t c) { return {2, {a, b, c}}; }

HandoverRecord HandoverInkCodes(uint8_t ink_set, const std::string& name,
                                const std::vector<std::pair<uint8_t, uint8_t>>& code_slot) {
  HandoverRecord r{3, {ink_set}};
  for (char c : name) r.data.push_back(static_cast<uint8_t>(c));
  r.data.push_back(0);
  r.data.push_back(static_cast<uint8_t>(code_slot.size()));
  r.data.push_back(1);
  for (const auto& [code, slot] : code_slot) {
    r.data.push_back(code);
    r.data.push_back(slot);
  }
  return r;
}

HandoverRecord HandoverSetNames(const std::vector<std::pair<std::string, uint8_t>>& names) {
  HandoverRecord r{4, {static_cast<uint8_t>(names.size()), 0}};
  for (const auto& [name, set] : names) {
    for (char c : name) r.data.push_back(static_cast<uint8_t>(c));
    r.data.push_back(0);
    r.data.push_back(set);
  }
  return r;
}

std::vector<uint8_t> BuildInkTableBlock(uint8_t form, const std::vector<InkTableShape>& inks) {
  static constexpr uint8_t kMagic[8] = {0xA9, 0x81, 0x55, 0x27, 0x40, 0xAA, 0x35, 0x4A};
  std::vector<uint8_t> out(32, 0);
  std::copy(kMagic, kMagic + 8, out.begin());
  Put16(out, 8, 1);
  Put16(out, 10, 0);
  Put16(out, 12, 255);
  Put16(out, 14, 1);
  Put16(out, 16, 2);
  out[18] = static_cast<uint8_t>(inks.size());
  out[19] = 3;
  out[20] = form;
  out.resize(32 + 8 * inks.size(), 0);
  for (size_t r = 0; r < inks.size(); ++r) {
    Put16(out, 32 + 8 * r, inks[r].ink_code);
    for (int c = 0; c < 3; ++c) {
      const size_t at = out.size();
      Put16(out, 32 + 8 * r + 2 + 2 * c, static_cast<uint32_t>(at));
      for (uint16_t v : inks[r].coordinates[c]) Put16(out, out.size(), v);
    }
  }
  return out;
}

uint16_t GreyRampInk(uint32_t level, uint32_t slot) {
  return static_cast<uint16_t>(std::min<uint32_t>(level * 256 * (slot + 1) / 8, tonvar::kGreyFullScale));
}

std::unique_ptr<tonvar::GreyLut> BuildGreyLut(const GreyAmount& amount, uint32_t first_id) {
  auto lut = std::make_unique<tonvar::GreyLut>();
  std::memset(lut.get(), 0, sizeof(tonvar::GreyLut));
  lut->first_halftone_id = first_id;
  for (uint32_t level = 0; level < tonvar::kGreyMaxLevels; ++level) {
    for (int w = 0; w < 4; ++w) {
      lut->table.packed.rows[level].words[w] =
          (uint32_t{amount(level, 2 * w)} << 16) | amount(level, 2 * w + 1);
    }
  }
  tonvar::GreyHandover& h = lut->handover;
  std::memset(h.values, 0xFF, sizeof h.values);
  std::memset(h.ink_codes, 0xFF, sizeof h.ink_codes);
  std::memset(h.value_table, 0xFF, sizeof h.value_table);
  h.ink_resource_id = 300;
  h.ink_set = 9;
  return lut;
}

}  // namespace testkit
