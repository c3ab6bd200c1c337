// Dot-curve resources: kind 3 (one table for all inks) and kind 4 (a table per ink), turned
// into cumulative thresholds (any dot, medium or large, large) of one table set.
#include <algorithm>
#include <cstring>

#include "tonvar/common/byte_readers.h"
#include "tonvar/common/dot_curve_blocks.h"
#include "tonvar/common/level_expansion.h"
#include "tonvar/common/resource_view.h"
#include "tonvar/multi_level/multi_level_engine.h"

namespace tonvar::multi_level {
namespace {

using common::GetWord;
using common::ResourceView;

constexpr uint8_t kCurveMagic[4] = {0xFB, 0x69, 0xF7, 0xDC};
constexpr uint32_t kKindTable = 3;
constexpr uint32_t kKindSet = 4;
constexpr uint32_t kRowsOffset = 32;
constexpr int32_t kMaxSetEntries = 14;
constexpr uint32_t kEntrySamples = 96;
constexpr int kHeadlessRows = 256;

// Slot of each ink id that a kind-4 entry can name (0 to 11).
constexpr int kEntrySlot[12] = {0, 1, 2, 3, 4, 5, 6, 6, 4, 5, 6, 7};

int SampleBytes(int32_t bits) { return bits == 16 ? 2 : 1; }

uint32_t Sample(const uint8_t* p, int bytes) { return bytes == 2 ? GetWord(p) : p[0]; }

// Scales a value with f fraction bits to the tables' 4: left by 4 - f, right beyond 4.
uint32_t ToSixteenths(uint32_t v, int32_t f) { return f <= 4 ? v << (4 - f) : v >> (f - 4); }

void Accumulate(uint32_t row[3], const uint32_t per_size[3]) {
  row[kLarge] = per_size[2];
  row[kMediumOrLarge] = per_size[1] + per_size[2];
  row[kAnyDot] = per_size[0] + per_size[1] + per_size[2];
}

// Both tables of `shared` get 512 rows of (small, medium, large) samples; other widths write nothing.
void CopyDotTable(const uint8_t* samples, DotTable shared[2], int32_t bits) {
  if (bits != 0 && bits != 8 && bits != 16) return;
  const int bytes = SampleBytes(bits);
  for (int level = 0; level < kDotLevels; ++level) {
    for (int c = 0; c < 3; ++c, samples += bytes) {
      shared[0].level[level][c] = shared[1].level[level][c] = Sample(samples, bytes);
    }
  }
}

EngineStatus ParseDotCurveTable(const ResourceView& b, DotTable shared[2]) {
  int32_t rows, bits, f, rescale;
  uint32_t offset;
  if (!b.Has(0, 8)) return kStatusDotCurveFormat;
  if (!b.Matches(4, kCurveMagic, sizeof kCurveMagic)) {
    if (b.U8(0) != 0 || b.U8(1) != 0 || b.U8(2) != 0 || b.U8(3) >= 21) return kStatusDotCurveFormat;
    rows = kHeadlessRows, bits = 8, f = 0, rescale = 0, offset = 0;
  } else {
    if (!b.Has(0, kRowsOffset)) return kStatusDotCurveFormat;
    if (b.S16(16) != 3) return kStatusDotCurveFormat;
    bits = b.S16(20);
    if (bits != 8 && bits != 16) return kStatusDotCurveFormat;
    rows = b.S16(18), f = b.S16(22), rescale = b.S16(24), offset = kRowsOffset;
  }
  // Settled before any row is stored: the rows must fit the staging table.
  if (f < 0 || (rescale != 0 ? f >= 12 : f > 4)) return kStatusDotCurveValues;
  if (rows != 256 && rows != kDotLevels) return kStatusDotCurveValues;
  const int bytes = SampleBytes(bits);
  if (!b.Has(offset, uint64_t(rows) * 3 * bytes)) return kStatusDotCurveFormat;
  const uint8_t* p = b.At(offset);
  const int32_t m = (1 << (8 + f)) - 1;
  for (int level = 0; level < rows; ++level) {
    for (int c = 0; c < 3; ++c, p += bytes) {
      const uint32_t v = Sample(p, bytes);
      shared[0].level[level][c] =
          rescale != 0 ? static_cast<uint32_t>((static_cast<int32_t>(v) * 4080 + m / 2) / m) : v << (4 - f);
    }
  }
  if (rows == 256) {
    const EngineStatus expanded = common::ExpandLevels256To512(&shared[0].level[0][0], 256, 512);
    if (expanded != kStatusOk) return expanded;
  }
  shared[1] = shared[0];
  return kStatusOk;
}

EngineStatus ReadDotCurveTable(const ResourceView& b, DotTable shared[2]) {
  EngineStatus status = kStatusOk;
  const bool header = b.Has(0, kRowsOffset);
  const int32_t rows = header ? b.S16(18) : 0, bits = header ? b.S16(20) : 0;
  const int32_t f = header ? b.S16(22) : 0;
  const bool direct = rows == kDotLevels && (((bits == 0 || bits == 8) && f == 0) ||
                                             (bits == 16 && f >= 0 && f <= 16));
  if (direct) {
    if (!b.Has(kRowsOffset, uint64_t{kDotLevels} * 3 * SampleBytes(bits))) return kStatusDotCurveFormat;
    CopyDotTable(b.At(kRowsOffset), shared, bits);
    for (auto& row : shared[0].level) {
      for (uint32_t& v : row) v = ToSixteenths(v, f);
    }
  } else {
    status = ParseDotCurveTable(b, shared);
    if (status != kStatusOk) return status;
  }
  for (int level = 0; level < kDotLevels; ++level) {
    Accumulate(shared[1].level[level], shared[0].level[level]);
  }
  return kStatusOk;
}

struct SetEntry {
  uint32_t ink_id;
  uint64_t offset;
  bool present[3];
};

// The block's directory, checked: 768 for anything the expansion could not use safely.
EngineStatus CheckDotCurveSet(const ResourceView& b, uint32_t ink_set, int32_t* bits, int32_t* f,
                              SetEntry entries[kMaxSetEntries], int32_t* count) {
  if (!b.Has(0, 48)) return kStatusBadResource;
  *bits = b.S16(20);
  *f = b.S16(22);
  *count = b.S16(34);
  if (b.S16(18) != kDotLevels) return kStatusBadResource;
  if (*bits != 0 && *bits != 8 && *bits != 16) return kStatusBadResource;
  if (*bits == 16 ? (*f < 0 || *f > 16) : *f != 0) return kStatusBadResource;
  const uint32_t required = common::DotCurveInksNeeded(ink_set);
  if (required == 0) return kStatusBadResource;
  if (*count < 0 || *count > kMaxSetEntries || !b.Has(48, 8u * *count)) return kStatusBadResource;
  const uint64_t samples = uint64_t{3} * kDotLevels * SampleBytes(*bits);
  uint32_t present_ids = 0;
  for (int32_t i = 0; i < *count; ++i) {
    SetEntry& e = entries[i];
    e.ink_id = b.U8(48 + 8 * i);
    e.offset = b.U32(49 + 8 * i);
    if (e.ink_id > 11) return kStatusBadResource;
    if (!b.Has(e.offset, kEntrySamples + samples)) return kStatusBadResource;
    if (b.S16(e.offset + 8) != 3) return kStatusBadResource;
    for (int c = 0; c < 3; ++c) e.present[c] = b.U8(e.offset + 16 + c) != 0;
    if (!e.present[1] || !e.present[2] || (!e.present[0] && e.ink_id != 0)) return kStatusBadResource;
    present_ids |= 1u << e.ink_id;
  }
  return (present_ids & required) == required ? kStatusOk : kStatusBadResource;
}

// One entry's present columns into a table (absent columns read 0), scaled and made cumulative.
void ExpandDotCurve(const ResourceView& b, DotTable* table, const SetEntry& e, int32_t bits, int32_t f) {
  const int bytes = SampleBytes(bits);
  const uint8_t* column = b.At(e.offset + kEntrySamples);
  for (int level = 0; level < kDotLevels; ++level) {
    uint32_t per_size[3];
    for (int c = 0; c < 3; ++c) {
      per_size[c] = e.present[c] ? ToSixteenths(Sample(column + (c * kDotLevels + level) * bytes, bytes), f) : 0;
    }
    Accumulate(table->level[level], per_size);
  }
}

EngineStatus ReadDotCurveSet(const ResourceView& b, int table_set, DotTableSlot slots[kDotSlots],
                             uint32_t ink_set, uint32_t* ninth_set_used) {
  int32_t bits, f, count;
  SetEntry entries[kMaxSetEntries];
  const EngineStatus checked = CheckDotCurveSet(b, ink_set, &bits, &f, entries, &count);
  if (checked != kStatusOk) return checked;
  for (int32_t i = 0; i < count; ++i) {
    const SetEntry& e = entries[i];
    DotTable& table = slots[kEntrySlot[e.ink_id]].set[table_set];
    ExpandDotCurve(b, &table, e, bits, f);
    if (e.ink_id == 0 && !e.present[0]) {
      *ninth_set_used = 1;
      for (auto& row : table.level) row[kAnyDot] = 0;
    }
  }
  if (*ninth_set_used == 1) {
    // The ink-0 table moved down by one dot size.
    const DotTable& ink0 = slots[0].set[table_set];
    DotTable& ninth = slots[kNinthSlot].set[table_set];
    for (int level = 0; level < kDotLevels; ++level) {
      ninth.level[level][kAnyDot] = ink0.level[level][kMediumOrLarge];
      ninth.level[level][kMediumOrLarge] = ink0.level[level][kLarge];
      ninth.level[level][kLarge] = 0;
    }
  }
  return kStatusOk;
}

}  // namespace

EngineStatus ReadDotCurveBlock(ResourceBytes resource, int table_set, DotTable shared[2],
                               DotTableSlot slots[kDotSlots], uint32_t ink_set,
                               uint32_t* ninth_set_used) {
  const ResourceView b(resource);
  *ninth_set_used = 0;
  if (!b.Has(0, 12)) return kStatusBadResource;
  const uint32_t kind = b.U32(8);
  if (kind == kKindSet) return ReadDotCurveSet(b, table_set, slots, ink_set, ninth_set_used);
  if (kind != kKindTable) return kStatusBadResource;
  const EngineStatus status = ReadDotCurveTable(b, shared);
  for (int s = 0; s < kNinthSlot; ++s) slots[s].set[table_set] = shared[1];
  return status;
}

}  // namespace tonvar::multi_level
