// The dot-rate correction's reader of dot-curve blocks: every form of the block family, read into
// tables of up to 8 columns, and the directory that gives each ink its table.
#include <cstring>

#include "tonvar/colour/dot_rate_correction.h"
#include "tonvar/common/dot_curve_blocks.h"
#include "tonvar/common/resource_view.h"

namespace tonvar::colour {
namespace {

constexpr uint32_t kFormatHeaderless = 0xFFFFFFFF;

// Where one table's samples lie in the block.
struct SampleArea {
  uint64_t at;
  uint32_t bytes;          // 1 or 2 per sample
  bool column_major;       // all levels of column 0 first
};

void AddEntry(DotTableSet* set, uint32_t slot, uint32_t table) {
  set->entries[set->entry_count].slot = slot;
  set->entries[set->entry_count].table = table;
  ++set->entry_count;
}

bool ShapeValid(const RateDotTable& t) {
  return t.columns >= 1 && t.columns <= kDotTableMaxColumns && t.levels >= 1 &&
         t.levels <= kDotTableMaxLevels;
}

// Reads one table's samples; false when the table's shape or samples do not fit.
bool ReadSamples(const common::ResourceView& r, RateDotTable* t, const SampleArea& area) {
  if (!ShapeValid(*t)) return false;
  const uint64_t count = uint64_t{t->levels} * t->columns;
  if (!r.Has(area.at, count * area.bytes)) return false;
  for (uint32_t l = 0; l < t->levels; ++l) {
    for (uint32_t c = 0; c < t->columns; ++c) {
      const uint64_t index = area.column_major ? uint64_t{c} * t->levels + l : uint64_t{l} * t->columns + c;
      const uint64_t at = area.at + index * area.bytes;
      t->values[l][c] = area.bytes == 2 ? static_cast<uint32_t>(r.S16(at)) : r.U8(at);
    }
  }
  return true;
}

EngineStatus ReadDirectoryForm(DotTableSet* set, const common::ResourceView& r) {
  if (!r.Has(0, 48)) return kStatusBadResource;
  const int32_t levels = r.S16(18);
  const int32_t bits = r.S16(20);
  const int32_t mode = r.S16(24);
  const int32_t tables = r.S16(32);
  const int32_t entries = r.S16(34);
  if (bits != 8 && bits != 16) return kStatusBadResource;
  if (mode != 0 && mode != 1) return kStatusBadResource;
  if (tables < 1 || tables > static_cast<int32_t>(kDotTableMax)) return kStatusBadResource;
  if (entries < 0 || entries > static_cast<int32_t>(kDotTableMaxEntries)) return kStatusBadResource;
  if (!r.Has(48, uint64_t{8} * static_cast<uint32_t>(entries))) return kStatusBadResource;
  uint32_t offsets[kDotTableMaxEntries];
  uint32_t distinct = 0;
  for (int32_t k = 0; k < entries; ++k) {
    const uint64_t at = 48 + uint64_t{8} * static_cast<uint32_t>(k);
    const uint32_t ink = r.U8(at);
    const uint32_t offset = r.U32(at + 1);
    uint32_t table = distinct;
    for (uint32_t d = 0; d < distinct; ++d) {
      if (offsets[d] == offset) table = d;
    }
    if (table == distinct) offsets[distinct++] = offset;
    // Entries of tables beyond the table count are not read; their inks fall to the last entry.
    if (table < static_cast<uint32_t>(tables)) AddEntry(set, InkSlotOf(ink), table);
  }
  if (static_cast<uint32_t>(tables) > distinct) return kStatusBadResource;
  AddEntry(set, kDotSlotAny, 0);
  set->table_count = static_cast<uint32_t>(tables);
  const uint32_t bytes = static_cast<uint32_t>(bits) / 8;
  for (uint32_t t = 0; t < set->table_count; ++t) {
    RateDotTable& table = set->tables[t];
    const uint64_t at = offsets[t];
    if (!r.Has(at, 96)) return kStatusBadResource;
    table.levels = levels < 0 ? 0 : static_cast<uint32_t>(levels);
    const int32_t columns = r.S16(at + 8);
    table.columns = columns < 0 ? 0 : static_cast<uint32_t>(columns);
    if (!ShapeValid(table)) return kStatusBadResource;
    for (uint32_t c = 0; c < table.columns; ++c) table.weights[c] = r.U16(at + 32 + 4 * c);
    if (!ReadSamples(r, &table, {at + 96, bytes, true})) return kStatusBadResource;
  }
  return kStatusOk;
}

}  // namespace

uint32_t InkSlotOf(uint32_t ink_id) { return ink_id < kDotSlotAny ? ink_id : kDotSlotAny; }

const RateDotTable* FindDotTable(const DotTableSet* set, uint32_t slot) {
  for (uint32_t e = 0; e < set->entry_count; ++e) {
    if (set->entries[e].slot == slot || set->entries[e].slot == kDotSlotAny) {
      const uint32_t t = set->entries[e].table;
      return t < set->table_count ? &set->tables[t] : nullptr;
    }
  }
  return nullptr;
}

EngineStatus ReadDotTableBlock(DotTableSet* set, common::ResourceBytes data) {
  std::memset(set, 0, sizeof *set);
  common::ResourceView whole(data);
  const bool signature = whole.Matches(4, common::kDotCurveSignature, sizeof common::kDotCurveSignature);
  uint32_t format = kFormatHeaderless;
  if (signature) {
    if (!whole.Has(0, 32)) return kStatusBadResource;
    format = whole.U32(8);
  }
  if (!signature) {
    if (!whole.Has(0, 4) || whole.U8(0) != 0 || whole.U8(1) != 0 || whole.U8(2) != 0 ||
        whole.U8(3) > 20) {
      return kStatusDotCurveFormat;
    }
  }
  if (format == kFormatHeaderless) {
    set->table_count = 1;
    AddEntry(set, kDotSlotAny, 0);
    set->tables[0].levels = 256;
    set->tables[0].columns = 3;
    return ReadSamples(whole, &set->tables[0], {0, 1, false}) ? kStatusOk : kStatusBadResource;
  }
  // The tagged forms are bounded by their size word when the resource came without a length.
  const common::ResourceView r(common::ResourceBytes{data.data, common::DotCurveBlockSize(data)});
  switch (format) {
    case 0:
    case 3: {
      RateDotTable& t = set->tables[0];
      const int32_t columns = r.S16(16), levels = r.S16(18);
      t.columns = columns < 0 ? 0 : static_cast<uint32_t>(columns);
      t.levels = levels < 0 ? 0 : static_cast<uint32_t>(levels);
      uint32_t bytes = 1;
      if (format == 3) {
        const int32_t width = r.S16(20) / 8;
        const int32_t mode = r.S16(24);
        if (width != 1 && width != 2) return kStatusBadResource;
        if (mode != 0 && mode != 1) return kStatusBadResource;
        bytes = static_cast<uint32_t>(width);
      }
      set->table_count = 1;
      AddEntry(set, kDotSlotAny, 0);
      if (!ReadSamples(r, &t, {32, bytes, false})) return kStatusBadResource;
      const uint64_t weights = 32 + uint64_t{t.levels} * t.columns * bytes + 4;
      if (!r.Has(weights, 2 * uint64_t{t.columns})) return kStatusBadResource;
      for (uint32_t c = 0; c < t.columns; ++c) t.weights[c] = r.U16(weights + 2 * c);
      return kStatusOk;
    }
    case 2: {
      RateDotTable& t0 = set->tables[0];
      RateDotTable& t1 = set->tables[1];
      t1.columns = r.U8(16);
      t0.columns = r.U8(17);
      if (t0.columns > t1.columns) return kStatusBadResource;
      const int32_t levels = r.S16(18);
      t0.levels = t1.levels = levels < 0 ? 0 : static_cast<uint32_t>(levels);
      const uint32_t bytes0 = r.U8(21), bytes1 = r.U8(20);
      if ((bytes0 != 1 && bytes0 != 2) || (bytes1 != 1 && bytes1 != 2)) return kStatusBadResource;
      set->table_count = 2;
      AddEntry(set, 0, 0);
      AddEntry(set, kDotSlotAny, 1);
      if (!ReadSamples(r, &t1, {32, bytes1, false})) return kStatusBadResource;
      const uint64_t second = 32 + uint64_t{t1.levels} * t1.columns * bytes1;
      if (!ReadSamples(r, &t0, {second, bytes0, false})) return kStatusBadResource;
      return kStatusOk;
    }
    case 4:
      return ReadDirectoryForm(set, r);
    default:
      return kStatusDotCurveFormat;
  }
}

bool HalveDotTableLevels(DotTableSet* set, uint32_t levels) {
  for (uint32_t t = 0; t < set->table_count; ++t) {
    RateDotTable& table = set->tables[t];
    if (table.levels == levels) continue;
    if (table.levels != 2 * levels) return false;
    for (uint32_t l = 0; l < levels; ++l) std::memcpy(table.values[l], table.values[2 * l], sizeof table.values[l]);
    table.levels = levels;
  }
  return true;
}

}  // namespace tonvar::colour
