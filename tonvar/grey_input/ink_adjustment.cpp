// Per-ink curve adjustment of the grey-input engine: the "HL<c" layout of the handed-over value
// list (step 2) and the per-ink table block (step 3), which remaps the listed inks' dot curves
// so that their weighted dot density follows a target.
#include <algorithm>
#include <cstring>

#include "tonvar/common/resource_view.h"
#include "tonvar/grey_input/grey_halftone_engine.h"

namespace tonvar::grey_input {
namespace {

using common::ResourceView;

constexpr uint8_t kInkTableMagic[8] = {0xA9, 0x81, 0x55, 0x27, 0x40, 0xAA, 0x35, 0x4A};
constexpr int kMaxSetNames = 6;
enum Role { kRoleSet, kRoleValue, kRoleInk };

// A NUL-terminated name inside [at, end): its length, or -1 when it is not terminated there.
int64_t NameLength(const ResourceView& b, uint64_t at, uint64_t end) {
  for (uint64_t i = at; i < end; ++i) {
    if (!b.Has(i, 1)) return -1;
    if (b.U8(i) == 0) return int64_t(i - at);
  }
  return -1;
}

bool NameEquals(const ResourceView& b, uint64_t at, int64_t length, const char (&name)[16]) {
  const size_t own = strnlen(name, sizeof(name));
  return static_cast<size_t>(length) == own && std::memcmp(b.At(at), name, own) == 0;
}

EngineStatus ReadInkPairs(const ResourceView& b, uint64_t at, uint64_t end, GreyHandover* h) {
  if (!b.Has(at, 4)) return kStatusBadResource;
  const uint32_t code = b.U8(at + 3);
  const int64_t name_length = NameLength(b, at + 4, end);
  if (name_length < 0) return kStatusBadResource;
  uint64_t p = at + 4 + uint64_t(name_length) + 1;
  if (p + 2 > end || !b.Has(p, 2)) return kStatusBadResource;
  const uint32_t pairs = b.U8(p);
  if (b.U8(p + 1) != 1) return kStatusBadResource;
  p += 2;
  if (p + 2 * uint64_t{pairs} > end || !b.Has(p, 2 * uint64_t{pairs})) return kStatusBadResource;
  const bool applies = code == h->ink_set &&
                       (name_length == 0 || NameEquals(b, at + 4, name_length, h->ink_set_name));
  for (uint32_t i = 0; i < pairs; ++i) {
    const uint32_t ink_code = b.U8(p + 2 * i);
    const uint32_t slot = b.U8(p + 2 * i + 1);
    if (slot >= kHandoverInks) return kStatusBadResource;
    if (!applies) continue;
    if (h->ink_codes[slot] != -1) return kStatusBadResource;
    h->ink_codes[slot] = static_cast<int32_t>(ink_code);
  }
  return kStatusOk;
}

EngineStatus ReadSetNames(const ResourceView& b, uint64_t at, uint64_t end, GreyHandover* h) {
  if (!b.Has(at, 5)) return kStatusBadResource;
  const int32_t names = b.S16(at + 3);
  if (names > kMaxSetNames) return kStatusBadResource;
  if (names <= 0) return h->selected_set >= 0 ? kStatusOk : kStatusBadResource;
  uint64_t p = at + 5;
  bool matched = false;
  for (int32_t i = 0; i < names; ++i) {
    const int64_t length = NameLength(b, p, end);
    if (length < 0 || p + uint64_t(length) + 2 > end || !b.Has(p + uint64_t(length) + 1, 1)) {
      return kStatusBadResource;
    }
    const uint32_t set = b.U8(p + uint64_t(length) + 1);
    if (!matched && NameEquals(b, p, length, h->micro_name)) {
      if (set >= kHandoverSets) return kStatusBadResource;
      h->selected_set = static_cast<int32_t>(set);
      matched = true;
    }
    p += uint64_t(length) + 2;
  }
  return matched ? kStatusOk : kStatusBadResource;
}

// Table value of a form-0 record or the line of a form-1 record, for one coordinate.
EngineStatus LookupInkAdjust(InkTableBlock* state, const uint32_t selector[3], int32_t ink_code,
                             int32_t out[3]) {
  for (int i = 0; i < 3; ++i) {
    if (selector[i] < state->first_index || selector[i] > state->last_index) return kStatusBadResource;
  }
  const InkTableRecord* record = nullptr;
  for (uint32_t r = 0; r < state->ink_count; ++r) {
    if (state->inks[r].ink_code == ink_code) {
      record = &state->inks[r];
      break;
    }
  }
  if (record == nullptr) return kStatusBadResource;
  for (int i = 0; i < 3; ++i) {
    if (state->form == 0) {
      out[i] = record->tables[i][selector[i]];
      continue;
    }
    const InkLine& l = record->lines[i];
    if (l.x1 == l.x0) return kStatusBadResource;
    const int64_t s = selector[i];
    const int64_t v = ((s - l.x0) * (l.y1 - l.y0) + int64_t{l.x1 - l.x0} * l.y0) / (l.x1 - l.x0);
    out[i] = static_cast<int32_t>(std::clamp<int64_t>(v, 0, 255));
  }
  std::copy(out, out + 3, state->looked_up);
  return kStatusOk;
}

EngineStatus BuildDensityCurves(const int32_t a[3], const int32_t b[3], const DotTable& dots,
                                int64_t density[kDotLevels], int64_t target[kDotLevels]) {
  for (int l = 0; l < kDotLevels; ++l) {
    const int32_t* row = dots.row[l];
    int64_t d = 0, t = 0;
    for (int c = 0; c < 3; ++c) {
      d += int64_t{a[c]} * row[c];
      t += (int64_t{b[c]} + 128) * a[c] * row[c];
    }
    density[l] = d * 256;
    target[l] = t;
    if (density[l] < 0 || target[l] < 0) return kStatusBadResource;
    if (l > 0 && density[l] < density[l - 1]) return kStatusBadResource;
  }
  return kStatusOk;
}

EngineStatus InterpolateDotEntry(int lo, int hi, const int64_t density[kDotLevels], int64_t target,
                                 const DotTable& source, int32_t out[3]) {
  const int64_t span = density[hi] - density[lo];
  if (span < 0) return kStatusBadResource;
  const int64_t scale = span / 256;
  // A span below one step has nothing to weigh by: the lower entry stands.
  if (scale == 0 || target < density[lo]) {
    std::copy(source.row[lo], source.row[lo] + 3, out);
    return kStatusOk;
  }
  if (target > density[hi]) {
    std::copy(source.row[hi], source.row[hi] + 3, out);
    return kStatusOk;
  }
  const int64_t up = (density[hi] - target) / 256;
  const int64_t down = (target - density[lo]) / 256;
  for (int c = 0; c < 3; ++c) {
    const int64_t v = (int64_t{source.row[hi][c]} * down + int64_t{source.row[lo][c]} * up) / scale;
    if (v < 0) return kStatusBadResource;
    out[c] = static_cast<int32_t>(std::min<int64_t>(v, INT32_MAX));
  }
  return kStatusOk;
}

int GroupOfCode(int32_t code) {
  static constexpr int kGroupsByInk[12] = {0, 1, 2, 3, 4, 5, 6, 6, 4, 5, 6, 7};
  return kGroupsByInk[code];
}

EngineStatus AdjustInk(GreyHalftoneEngine* engine, uint32_t k) {
  GreyHandover& h = engine->handover;
  const int32_t code = h.ink_codes[k];
  uint32_t selector[3] = {};
  for (int v = 0; v < 3; ++v) {
    if (h.selector_positions[v] > 2 || h.selected_set < 0 || h.selected_set >= int32_t(kHandoverSets)) {
      return kStatusBadResource;
    }
    selector[h.selector_positions[v]] = h.value_table[h.selected_set][k][v];
  }
  EngineStatus status = LookupInkAdjust(&engine->ink_table_block, selector, code, engine->ink_adjust);
  if (status != kStatusOk) return status;
  if (code < 0 || code > 11) return kStatusBadResource;
  const int g = GroupOfCode(code);
  DotTable& source = engine->dot_tables[g][kInteriorTable];
  if (engine->args.bits_per_dot == 1) {
    engine->ink_adjust[2] = engine->ink_adjust[0];
    if (engine->group_trailer[g][0] != 0 || engine->group_trailer[g][1] != 0) {
      for (const auto& row : source.row) {
        if (row[kSmall] != 0 || row[kMedium] != 0) return kStatusBadResource;
      }
    }
  }
  status = BuildDensityCurves(engine->ink_adjust, engine->group_trailer[g], source,
                              engine->density_curve, engine->target_curve);
  if (status != kStatusOk) return status;
  DotTable& adjusted = engine->dot_tables[g][kEdgeTable];
  for (int l = 0; l < kDotLevels; ++l) {
    const int64_t target = engine->target_curve[l];
    int lo = 0, hi = kDotLevels - 1;
    for (int i = 0; i < 9; ++i) {
      const int mid = (lo + hi) / 2;
      if (target < engine->density_curve[mid]) {
        hi = mid;
      } else {
        lo = mid;
      }
    }
    status = InterpolateDotEntry(lo, hi, engine->density_curve, target, source, adjusted.row[l]);
    if (status != kStatusOk) return status;
  }
  return InterpolateDotTable(adjusted, &engine->level_tables[g][kInteriorTable]);
}

}  // namespace

EngineStatus ReadHandoverLayoutBlock(ResourceBytes block, GreyHandover* h) {
  const ResourceView b(block);
  if (!b.Matches(0, "HL<c", 4) || !b.Has(0, 12) || b.U16(8) != 1) return kStatusBadResource;
  const int32_t records = b.S16(10);
  uint64_t at = 12;
  for (int32_t r = 0; r < records; ++r) {
    if (!b.Has(at, 3)) return kStatusBadResource;
    const int32_t length = b.S16(at);
    const uint32_t type = b.U8(at + 2);
    if (length < 3 || !b.Has(at, uint64_t(length))) return kStatusBadResource;
    const uint64_t end = at + uint64_t(length);
    EngineStatus status = kStatusOk;
    switch (type) {
      case 0:
        if (length != 7 || b.U8(at + 3) != 1) return kStatusBadResource;
        for (int i = 0; i < 3; ++i) h->dimensions[i] = b.U8(at + 4 + i);
        break;
      case 1:
        if (length != 6) return kStatusBadResource;
        for (int i = 0; i < 3; ++i) h->dimension_roles[i] = b.U8(at + 3 + i);
        break;
      case 2:
        if (length != 6) return kStatusBadResource;
        for (int i = 0; i < 3; ++i) h->selector_positions[i] = b.U8(at + 3 + i);
        break;
      case 3:
        status = ReadInkPairs(b, at, end, h);
        break;
      case 4:
        status = ReadSetNames(b, at, end, h);
        break;
      case 255:
        if (r + 1 != records) return kStatusBadResource;
        break;
      default:
        return kStatusBadResource;
    }
    if (status != kStatusOk) return status;
    at = end;
  }
  return kStatusOk;
}

EngineStatus ArrangeHandoverValues(GreyHandover* h) {
  const uint64_t d0 = h->dimensions[0], d1 = h->dimensions[1], d2 = h->dimensions[2];
  if (d0 * d1 * d2 != h->value_count || h->value_count > kHandoverMaxValues) return kStatusBadResource;
  // Each dimension is bounded by the table side its role names; the ink list by the codes.
  static constexpr uint32_t kSide[3] = {kHandoverSets, 3, kHandoverInks};
  for (int d = 0; d < 3; ++d) {
    if (h->dimension_roles[d] > 2) return kStatusBadResource;
    if (h->dimensions[d] > kSide[h->dimension_roles[d]]) return kStatusBadResource;
  }
  if (h->dimensions[0] > kHandoverInks) return kStatusBadResource;
  for (uint32_t n = 0; n < h->value_count; ++n) {
    const uint32_t index[3] = {uint32_t(n % d0), uint32_t((n / d0) % d1), uint32_t(n / (d0 * d1))};
    uint32_t at[3] = {};
    for (int d = 0; d < 3; ++d) at[h->dimension_roles[d]] = index[d];
    h->value_table[at[kRoleSet]][at[kRoleInk]][at[kRoleValue]] = h->values[n];
  }
  return kStatusOk;
}

EngineStatus ReadInkTableBlock(ResourceBytes block, InkTableBlock* s) {
  const ResourceView b(block);
  if (!b.Matches(0, kInkTableMagic, sizeof kInkTableMagic) || !b.Has(0, 32)) return kStatusBadResource;
  s->version = b.U16(8);
  s->first_index = b.U16(10);
  s->last_index = b.U16(12);
  s->form0_word = b.U16(14);
  s->sample_word = b.U16(16);
  s->ink_count = b.U8(18);
  s->coordinate_count = b.U8(19);
  s->form = b.U8(20);
  if (s->version != 1 || s->first_index != 0 || s->last_index != 255) return kStatusBadResource;
  if (s->form > 1 || (s->form == 0 && s->form0_word != 1) || s->sample_word != 2) return kStatusBadResource;
  if (s->ink_count > 16 || s->coordinate_count != 3) return kStatusBadResource;
  if (!b.Has(32, uint64_t{s->ink_count} * 8)) return kStatusBadResource;
  for (InkTableRecord& record : s->inks) record.ink_code = -1;
  for (uint32_t r = 0; r < s->ink_count; ++r) {
    InkTableRecord& record = s->inks[r];
    const uint64_t at = 32 + 8 * uint64_t{r};
    record.ink_code = static_cast<int32_t>(b.U16(at));
    for (int c = 0; c < 3; ++c) {
      const uint64_t offset = b.U16(at + 2 + 2 * c);
      record.offsets[c] = static_cast<uint32_t>(offset);
      if (s->form == 0) {
        if (!b.Has(offset, 512)) return kStatusBadResource;
        for (int i = 0; i < 256; ++i) record.tables[c][i] = static_cast<uint16_t>(b.U16(offset + 2 * i));
      } else {
        if (!b.Has(offset, 8)) return kStatusBadResource;
        record.lines[c] = {int32_t(b.U16(offset)), int32_t(b.U16(offset + 2)), int32_t(b.U16(offset + 4)),
                           int32_t(b.U16(offset + 6))};
      }
    }
  }
  return kStatusOk;
}

EngineStatus ApplyInkTables(GreyHalftoneEngine* engine) {
  const uint32_t inks = std::min<uint32_t>(engine->handover.dimensions[0], kHandoverInks);
  for (uint32_t k = 0; k < inks; ++k) {
    const EngineStatus status = AdjustInk(engine, k);
    if (status != kStatusOk) return status;
  }
  return kStatusOk;
}

}  // namespace tonvar::grey_input
