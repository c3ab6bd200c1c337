// Correction resources of the colour engine, written byte by byte from their formats.
#include "testkit/tonvar/correction_resources.h"

#include <algorithm>
#include <cstring>

// GCC 12 reports false overflows inside std::vector growth here.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Warray-bounds"
#pragma GCC diagnostic ignored "-Wstringop-overflow"
#pragma GCC diagnostic ignored "-Wstringop-overread"
#endif

namespace testkit {
namespace {

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  if (out.size() < at + 2) out.resize(at + 2);
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  if (out.size() < at + 4) out.resize(at + 4);
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

void Append16(std::vector<uint8_t>& out, uint32_t v) { Put16(out, out.size(), v); }

constexpr uint8_t kSignature[4] = {0xFB, 0x69, 0xF7, 0xDC};

void PutHeader(std::vector<uint8_t>& out, uint32_t kind) {
  std::memcpy(out.data() + 4, kSignature, 4);
  Put32(out, 8, kind);
}

int32_t DefaultSample(uint32_t level, uint32_t column) { return static_cast<int32_t>(level >> (column + 1)); }

}  // namespace

std::vector<uint8_t> BuildCwLists(uint8_t code, const std::vector<std::vector<uint8_t>>& lists) {
  std::vector<uint8_t> out;
  for (const auto& list : lists) {
    out.insert(out.end(), {'C', 'W', ':', code});
    out.insert(out.end(), list.begin(), list.end());
    out.push_back(0xFE);
  }
  out.push_back(0xFF);
  return out;
}

std::vector<uint8_t> BuildRateList(const std::vector<uint8_t>& rates) {
  std::vector<uint8_t> out = {0, static_cast<uint8_t>(rates.size() + 1), 0};
  out.insert(out.end(), rates.begin(), rates.end());
  return out;
}

std::vector<uint8_t> BuildMemoryCurveTable(const std::vector<MemoryCurve>& curves) {
  std::vector<uint8_t> out(128, 0);
  const uint32_t count = static_cast<uint32_t>(curves.size());
  Put32(out, 0, 128 + 512 * count);
  Put32(out, 8, 0x190);
  Put32(out, 16, 0x100);
  Put32(out, 20, 12);
  Put32(out, 24, count);
  for (uint32_t k = 0; k < count; ++k) {
    const size_t at = out.size();
    Put32(out, 32 + 8 * k, static_cast<uint32_t>(at));
    Put32(out, 36 + 8 * k, curves[k].ink_id);
    for (uint32_t l = 0; l < 256; ++l) {
      Append16(out, curves[k].values.empty() ? l * 16 : curves[k].values[l]);
    }
  }
  return out;
}

std::vector<uint8_t> BuildInkMap(const std::vector<InkMapGroup>& groups) {
  std::vector<uint8_t> out;
  for (const InkMapGroup& g : groups) {
    out.push_back(g.code);
    out.insert(out.end(), g.map.begin(), g.map.end());
    out.push_back(0xFE);
  }
  out.push_back(0xFF);
  return out;
}

std::vector<uint8_t> BuildBinaryReference(uint8_t b0, const std::vector<uint8_t>& references) {
  std::vector<uint8_t> out;
  if (b0 < 30 || b0 > 70) out.push_back(b0);
  out.insert(out.end(), references.begin(), references.end());
  out.resize(out.size() + 16, 0);
  return out;
}

std::vector<uint8_t> BuildIcDataBlock(const std::string& body) {
  // Ends with a NUL, as a text resource passed without its length must.
  const std::string text = "zzzz<ic_data>\r\n" + body + "\r\n</ic_data>\r\n";
  std::vector<uint8_t> out(text.begin(), text.end());
  out.push_back(0);
  return out;
}

uint8_t RankCurveValue(uint32_t row, uint32_t level) {
  return static_cast<uint8_t>(std::min<uint32_t>(255, level / 2 + 3 * row));
}

std::vector<uint8_t> BuildRankCurveTable(uint32_t rows) {
  std::vector<uint8_t> out(rows * 256);
  for (uint32_t r = 0; r < rows; ++r) {
    for (uint32_t l = 0; l < 256; ++l) out[r * 256 + l] = RankCurveValue(r, l);
  }
  return out;
}

std::vector<uint8_t> BuildRateHeaderBlock(const RateHeaderShape& shape) {
  std::vector<uint8_t> out = {'H', 'L', '<', 'c', 0, 0, 0, 0};
  Put16(out, 8, 1);
  std::vector<std::vector<uint8_t>> records;
  records.push_back({0, 1, shape.group_size, shape.set_count, shape.column_count});
  if (shape.order_records) {
    records.push_back({1, 2, 0, 1});
    records.push_back({2, 0, 1, 2});
  }
  for (const InkSlotRecord& r : shape.records) {
    std::vector<uint8_t> rec = {3, r.ink_set};
    rec.insert(rec.end(), r.name.begin(), r.name.end());
    rec.push_back(0);
    rec.push_back(static_cast<uint8_t>(r.inks.size()));
    rec.push_back(static_cast<uint8_t>(r.inks.empty() ? 1 : r.inks[0].slots.size()));
    for (const InkSlots& ink : r.inks) {
      rec.push_back(ink.ink_id);
      rec.insert(rec.end(), ink.slots.begin(), ink.slots.end());
    }
    records.push_back(rec);
  }
  if (!shape.micro.empty()) {
    std::vector<uint8_t> rec = {4};
    Append16(rec, static_cast<uint32_t>(shape.micro.size()));
    for (const MicroEntry& e : shape.micro) {
      rec.insert(rec.end(), e.name.begin(), e.name.end());
      rec.push_back(0);
      rec.push_back(e.value);
    }
    records.push_back(rec);
  }
  if (shape.end_record) records.push_back({255});
  Put16(out, 10, static_cast<uint32_t>(records.size()));
  out.resize(12);
  for (const auto& rec : records) {
    Append16(out, static_cast<uint32_t>(rec.size() + 2));  // the type byte is the record's first
    out.insert(out.end(), rec.begin(), rec.end());
  }
  return out;
}

std::vector<uint8_t> BuildRateCurveBlock(uint8_t form, uint8_t columns,
                                         const std::vector<RateCurveShape>& curves) {
  std::vector<uint8_t> out = {0xA9, 0x81, 0x55, 0x27, 0x40, 0xAA, 0x35, 0x4A};
  Put16(out, 8, 1);
  Put16(out, 14, 1);
  Put16(out, 16, 2);
  out.resize(32);
  out[18] = static_cast<uint8_t>(curves.size());
  out[19] = columns;
  out[20] = form;
  const size_t entry = 2 * size_t{columns} + 2;
  size_t data = 32 + entry * curves.size();
  out.resize(data);
  for (size_t e = 0; e < curves.size(); ++e) {
    Put16(out, 32 + e * entry, curves[e].ink_id);
    for (size_t c = 0; c < columns; ++c) {
      const std::vector<uint16_t>& values = curves[e].columns.at(c);
      Put16(out, 32 + e * entry + 2 + 2 * c, static_cast<uint32_t>(data));
      for (uint16_t v : values) Append16(out, v);
      data = out.size();
    }
  }
  return out;
}

std::vector<uint8_t> BuildDotCurveKind3(const DotCurveKind3Shape& shape) {
  const DotSample sample = shape.sample ? shape.sample : DotSample(DefaultSample);
  const uint32_t bytes = shape.sample_bits == 16 ? 2 : 1;
  std::vector<uint8_t> out(32, 0);
  PutHeader(out, 3);
  Put16(out, 16, 3);
  Put16(out, 18, shape.levels);
  Put16(out, 20, shape.sample_bits);
  Put16(out, 22, shape.shift);
  for (uint32_t l = 0; l < shape.levels; ++l) {
    for (uint32_t c = 0; c < 3; ++c) {
      const int32_t v = sample(l, c);
      if (bytes == 2) {
        Append16(out, static_cast<uint16_t>(v));
      } else {
        out.push_back(static_cast<uint8_t>(v));
      }
    }
  }
  out.resize(out.size() + 4, 0);
  for (int16_t w : shape.weights) Append16(out, static_cast<uint16_t>(w));
  Put32(out, 0, static_cast<uint32_t>(out.size()));
  return out;
}

std::vector<uint8_t> BuildDotCurveKind4(const DotCurveKind4Shape& shape) {
  const uint32_t bytes = shape.sample_bits == 16 ? 2 : 1;
  std::vector<uint8_t> out(256, 0);
  PutHeader(out, 4);
  Put16(out, 18, shape.levels);
  Put16(out, 20, shape.sample_bits);
  Put16(out, 34, static_cast<uint32_t>(shape.entries.size()));
  for (int i = 0; i < 3; ++i) Put16(out, 208 + 4 * i, static_cast<uint16_t>(shape.block_weights[i]));
  std::vector<std::pair<int, uint32_t>> tables;  // shared table key -> offset
  for (size_t e = 0; e < shape.entries.size(); ++e) {
    const DotCurveEntryShape& entry = shape.entries[e];
    uint32_t offset = 0;
    bool shared = false;
    for (const auto& [key, at] : tables) {
      if (entry.table >= 0 && key == entry.table) {
        offset = at;
        shared = true;
      }
    }
    if (!shared) {
      offset = static_cast<uint32_t>(out.size());
      tables.emplace_back(entry.table, offset);
      const DotSample sample = entry.sample ? entry.sample : shape.sample ? shape.sample : DotSample(DefaultSample);
      out.resize(offset + 96 + 3 * shape.levels * bytes, 0);
      Put32(out, offset + 8, 3);
      out[offset + 16] = entry.small_present ? 1 : 0;
      out[offset + 17] = 1;
      out[offset + 18] = 1;
      for (int c = 0; c < 3; ++c) Put16(out, offset + 32 + 4 * c, shape.table_weights[c]);
      for (uint32_t c = 0; c < 3; ++c) {
        for (uint32_t l = 0; l < shape.levels; ++l) {
          const size_t at = offset + 96 + (c * shape.levels + l) * bytes;
          const int32_t v = (c == 0 && !entry.small_present) ? 0 : sample(l, c);
          if (bytes == 2) {
            Put16(out, at, static_cast<uint16_t>(v));
          } else {
            out[at] = static_cast<uint8_t>(v);
          }
        }
      }
    }
    out[48 + 8 * e] = entry.ink_id;
    Put32(out, 49 + 8 * e, offset);
  }
  Put16(out, 32, shape.table_count < 0 ? static_cast<uint32_t>(tables.size())
                                      : static_cast<uint32_t>(shape.table_count));
  Put32(out, 0, static_cast<uint32_t>(out.size()));
  return out;
}

std::vector<DotCurveEntryShape> DotCurveEntriesFor(uint32_t ink_set) {
  std::vector<uint8_t> ids;
  switch (ink_set) {
    case 1:
    case 5: ids = {0, 1, 2, 3}; break;
    case 3: ids = {0, 1, 2, 3, 4, 5}; break;
    case 4: ids = {0, 1, 2, 3, 4, 5, 6}; break;
    case 6: ids = {0, 1, 2, 3, 4, 5, 7}; break;
    case 7: ids = {0, 1, 2, 3, 8, 9, 10}; break;
    default: ids = {0, 1, 2, 3, 4, 5, 7, 11}; break;
  }
  std::vector<DotCurveEntryShape> entries;
  for (uint8_t id : ids) entries.push_back({id, -1, true, {}});
  return entries;
}

}  // namespace testkit
