// Grey chunk container (the header row's CMM-ID): a directory of tagged chunks read into the
// GreyLut; "tgvm" carries the grey table, "ctcn" the tint records, "inkd" the ink limit.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>

#include "tonvar/common/resource_view.h"
#include "tonvar/grey/grey_engine.h"

namespace tonvar::grey {
namespace {

using common::ResourceView;

constexpr uint64_t kDirectoryCount = 20;
constexpr uint64_t kDirectory = 24;
constexpr int32_t kUnsetInk = 255;

constexpr int32_t kFullScales[4] = {4080, 4095, 255, 65280};

bool ValidInkId(uint32_t id) { return id <= 12 || id == 254 || id == 255; }
bool ValidChannelCount(uint32_t count) { return count >= 1 && count <= 9; }

// Ink ids that carry a tint record, and the range pair that bounds each one's knots.
int32_t TintRangeOf(uint32_t id) {
  switch (id) {
    case 0:
    case 1:
    case 4:
    case 7:
    case 11:
      return 0;
    case 2:
    case 5:
      return 1;
    case 3:
      return 2;
    default:
      return -1;
  }
}

EngineStatus ReadRstpChunk(const ResourceView& c, GreyLut* lut) {
  if (!c.Has(0, 5) || c.U8(4) != 8) return kStatusBadResource;
  lut->rstp = 8;
  return kStatusOk;
}

EngineStatus ReadInkdChunk(const ResourceView& c, GreyLut* lut) {
  if (!c.Has(0, 40)) return kStatusBadResource;
  // Eighteen values into nineteen slots: the seventh fills two.
  int slot = 0;
  for (int i = 0; i < 18; ++i) {
    const int32_t value = c.S16(4 + 2 * i);
    lut->inkd[slot++] = value;
    if (i == 6) lut->inkd[slot++] = value;
  }
  return kStatusOk;
}

EngineStatus ReadEncdChunk(const ResourceView& c, GreyLut* lut) {
  if (!c.Has(0, 9)) return kStatusBadResource;
  for (int i = 0; i < 5; ++i) {
    if (c.U8(4 + i) > 3) return kStatusBadResource;
    lut->encd[i] = c.U8(4 + i);
  }
  return kStatusOk;
}

EngineStatus ReadGreyTableChunk(const ResourceView& c, GreyLut* lut) {
  if (!c.Has(0, 15)) return kStatusBadResource;
  lut->table_byte4 = c.U8(4);
  const uint32_t inks = c.U8(5);
  lut->ink_count = static_cast<int32_t>(inks);
  if (!ValidChannelCount(c.U8(6))) return kStatusBadResource;
  lut->channel_count = c.U8(6);
  const int32_t levels = c.S16(7);
  lut->level_count = levels;
  if (c.S16(9) < 1) return kStatusBadResource;
  lut->gamma_base = c.S16(9);
  lut->table_byte11 = c.U8(11);
  if (c.U8(12) > 3) return kStatusBadResource;
  lut->full_scale = kFullScales[c.U8(12)];

  if (inks > kGreyMaxInks) return kStatusBadResource;
  std::fill(std::begin(lut->ink_ids), std::end(lut->ink_ids), kUnsetInk);
  if (!c.Has(15, inks)) return kStatusBadResource;
  for (uint32_t i = 0; i < inks; ++i) {
    if (!ValidInkId(c.U8(15 + i))) return kStatusBadResource;
    lut->ink_ids[i] = c.U8(15 + i);
  }

  if (levels > static_cast<int32_t>(kGreyMaxLevels)) return kStatusBadResource;
  std::fill(std::begin(lut->level_values), std::end(lut->level_values), kUnset);
  const uint32_t level_count = levels > 0 ? static_cast<uint32_t>(levels) : 0;
  const uint64_t level_bytes = 15 + inks;
  const uint64_t amounts = level_bytes + level_count;
  if (!c.Has(level_bytes, level_count + 2ull * level_count * inks)) return kStatusBadResource;
  for (uint32_t i = 0; i < level_count; ++i) lut->level_values[i] = c.U8(level_bytes + i);
  // A new table replaces the whole area: rows past its levels read 0.
  std::memset(lut->table.amounts, 0, sizeof lut->table.amounts);
  for (uint32_t i = 0; i < level_count * inks; ++i) {
    lut->table.amounts[i] = static_cast<uint16_t>(c.U16(amounts + 2ull * i));
  }
  return kStatusOk;
}

EngineStatus ReadCtcnRanges(const ResourceView& c, GreyTintTables* tint) {
  for (int k = 0; k < 3; ++k) {
    if (c.S16(16 + 4 * k) != 75 || c.S16(18 + 4 * k) != -75) return kStatusBadResource;
    tint->ranges[k][0] = -75;
    tint->ranges[k][1] = 75;
  }
  return kStatusOk;
}

EngineStatus ReadCtcnKnotRecords(const ResourceView& c, GreyTintTables* tint) {
  for (int r = 0; r < 8; ++r) {
    const int32_t id = tint->ink_ids[r];
    const int32_t range = TintRangeOf(static_cast<uint32_t>(id));
    if (range < 0) return kStatusBadResource;
    for (int k = 0; k < 4; ++k) {
      const int32_t knot = c.S16(28 + 8 * r + 2 * k);
      if (knot < tint->ranges[range][0] || knot > tint->ranges[range][1]) return kStatusBadResource;
      tint->knots[id][k] = static_cast<int16_t>(knot);
    }
  }
  return kStatusOk;
}

EngineStatus ReadCtcnValueRecords(const ResourceView& c, GreyTintTables* tint) {
  for (int r = 0; r < 8; ++r) {
    const int32_t id = tint->ink_ids[r];
    if (TintRangeOf(static_cast<uint32_t>(id)) < 0) return kStatusBadResource;
    for (int k = 0; k < 6; ++k) {
      const int32_t value = c.S16(92 + 12 * r + 2 * k);
      if (k == 2 && value != 0 && tint->scale_kind != 0) return kStatusBadResource;
      tint->values[id][k] = static_cast<int16_t>(value);
    }
  }
  return kStatusOk;
}

EngineStatus ReadCtcnChunk(const ResourceView& c, GreyLut* lut) {
  GreyTintTables* tint = &lut->tint;
  if (!c.Has(0, 7) || c.U8(4) != 8 || !ValidChannelCount(c.U8(5))) return kStatusBadResource;
  tint->channel_count = c.U8(5);
  tint->knots_per_ink = c.U8(6);
  if (tint->knots_per_ink != 4) return kStatusOk;
  if (!c.Has(0, 188) || c.U8(7) > 2) return kStatusBadResource;
  tint->scale_kind = c.U8(7);
  std::fill(std::begin(tint->ink_ids), std::end(tint->ink_ids), kUnsetInk);
  for (int r = 0; r < 8; ++r) {
    if (!ValidInkId(c.U8(8 + r))) return kStatusBadResource;
    tint->ink_ids[r] = c.U8(8 + r);
  }
  EngineStatus status = ReadCtcnRanges(c, tint);
  if (status == kStatusOk) status = ReadCtcnKnotRecords(c, tint);
  if (status == kStatusOk) status = ReadCtcnValueRecords(c, tint);
  return status;
}

// Chunks of one or two plain values: 16-bit signed or 32-bit unsigned, from offset 4 on, each
// stored as a 32-bit word at its GreyLut offset.
struct ValueLayout {
  int count;
  int width;  // bytes
  size_t lut_offsets[2];
};

using ChunkReader = EngineStatus (*)(const ResourceView&, GreyLut*);

struct ChunkKind {
  char tag[4];
  ChunkReader read;  // null for a chunk of plain values
  ValueLayout values;
};

constexpr ChunkKind kChunkKinds[] = {
    {{'r', 's', 't', 'p'}, &ReadRstpChunk, {}},
    {{'m', 'o', 'd', 'l'}, nullptr, {1, 4, {offsetof(GreyLut, model)}}},
    {{'r', 'e', 's', 'o'},
     nullptr,
     {2, 2, {offsetof(GreyLut, resolution), offsetof(GreyLut, resolution) + 4}}},
    {{'m', 'd', 'i', 'a'}, nullptr, {1, 2, {offsetof(GreyLut, media)}}},
    {{'i', 'n', 'k', 'd'}, &ReadInkdChunk, {}},
    {{'c', 'd', 'b', 'g'}, nullptr, {2, 2, {offsetof(GreyLut, cdbg), offsetof(GreyLut, cdbg) + 4}}},
    {{'g', 'a', 'm', 'a'}, nullptr, {1, 4, {offsetof(GreyLut, gamma)}}},
    {{'t', 'g', 'v', 'm'}, &ReadGreyTableChunk, {}},
    {{'e', 'n', 'c', 'd'}, &ReadEncdChunk, {}},
    {{'c', 't', 'c', 'n'}, &ReadCtcnChunk, {}},
};

EngineStatus ReadValueChunk(const ResourceView& c, const ValueLayout& layout, GreyLut* lut) {
  if (!c.Has(0, 4 + static_cast<uint64_t>(layout.count * layout.width))) return kStatusBadResource;
  for (int i = 0; i < layout.count; ++i) {
    const uint64_t at = 4 + static_cast<uint64_t>(i * layout.width);
    const uint32_t value = layout.width == 4 ? c.U32(at) : static_cast<uint32_t>(c.S16(at));
    std::memcpy(reinterpret_cast<uint8_t*>(lut) + layout.lut_offsets[i], &value, sizeof value);
  }
  return kStatusOk;
}

}  // namespace

EngineStatus ReadGreyChunks(common::ResourceBytes container, GreyLut* lut, bool* has_ink_limit) {
  const ResourceView r(container);
  if (!r.Has(0, kDirectory)) return kStatusBadResource;
  const int32_t count = static_cast<int32_t>(r.U32(kDirectoryCount));
  for (int32_t i = 0; i < count; ++i) {
    const uint64_t entry = kDirectory + 8ull * static_cast<uint32_t>(i);
    if (!r.Has(entry, 8)) return kStatusBadResource;
    const ChunkKind* kind = nullptr;
    for (const ChunkKind& k : kChunkKinds) {
      if (std::memcmp(r.At(entry), k.tag, 4) == 0) kind = &k;
    }
    if (kind == nullptr) continue;
    const int32_t offset = static_cast<int32_t>(r.U32(entry + 4));
    if (offset < 0 || !r.Has(static_cast<uint64_t>(offset), 4) ||
        std::memcmp(r.At(static_cast<uint64_t>(offset)), kind->tag, 4) != 0) {
      return kStatusBadResource;
    }
    const ResourceView chunk(common::ResourceBytes{
        r.At(static_cast<uint64_t>(offset)), container.size == common::kUnboundedSize
                                                 ? common::kUnboundedSize
                                                 : container.size - static_cast<uint64_t>(offset)});
    const EngineStatus status =
        kind->read != nullptr ? kind->read(chunk, lut) : ReadValueChunk(chunk, kind->values, lut);
    if (status != kStatusOk) return status;
    if (kind->read == &ReadInkdChunk) *has_ink_limit = true;
  }
  return kStatusOk;
}

}  // namespace tonvar::grey
