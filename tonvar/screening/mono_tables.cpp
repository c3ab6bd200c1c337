// The monochrome screening tables: the main block's dot tables, their tone-curve remap, and the
// level table and dot thresholds built along the colour table's grey diagonal.
#include <algorithm>
#include <cstring>

#include "tonvar/common/resource_view.h"
#include "tonvar/screening/mono_tone_tables.h"
#include "tonvar/screening/screen_engine.h"

namespace tonvar::screening {
namespace {

using common::ResourceView;

constexpr uint32_t kMaxEntries = 512;
constexpr uint32_t kFullShare = 65535;
constexpr int32_t kMaxShift = 16;  // beyond it the full scale no longer fits 32 bits

using DotTable = uint32_t[256][3];
using WorkTable = uint32_t[kMaxEntries][3];

struct CurveForm {
  uint64_t data = 0;        // offset of the first entry
  int32_t count = 256;
  uint32_t sample_bytes = 1;
  bool planar = false;      // three planes of `count` samples (small, medium, large)
  int32_t shift = 0;
  int32_t flag = 0;
  // Second table of a kind-2 block.
  bool second = false;
  uint32_t second_kind = 0;
  uint32_t second_bytes = 0;
};

EngineStatus ReadForm(const ResourceView& r, uint32_t bits_per_dot, CurveForm* f, bool* third_only) {
  *third_only = false;
  if (!r.Has(0, 8)) return kStatusDotCurveFormat;
  if (!r.Matches(4, kCurveSignature, sizeof kCurveSignature)) {
    if (r.U8(0) != 0 || r.U8(1) != 0 || r.U8(2) != 0 || r.U8(3) > 20) return kStatusDotCurveFormat;
    return kStatusOk;
  }
  if (!r.Has(0, 32)) return kStatusDotCurveFormat;
  const uint32_t kind = r.U32(8);
  if (kind == 0xFFFFFFFF) return kStatusOk;
  f->data = 32;
  f->count = r.S16(18);
  switch (kind) {
    case 0:
      if (r.S16(16) != 3) return kStatusDotCurveFormat;
      break;
    case 2: {
      if (r.U8(16) != 3) return kStatusDotCurveFormat;
      const uint32_t width = r.U8(20) * 8u;
      const uint32_t second_width = r.U8(21) * 8u;
      if ((width != 8 && width != 16) || (second_width != 8 && second_width != 16)) {
        return kStatusDotCurveFormat;
      }
      f->sample_bytes = width / 8;
      f->shift = width == 8 ? 0 : 8;
      f->flag = 1;
      f->second = true;
      f->second_kind = r.U8(17);
      f->second_bytes = second_width / 8;
      break;
    }
    case 3: {
      if (r.S16(16) != 3) return kStatusDotCurveFormat;
      const int32_t width = r.S16(20);
      if (width != 8 && width != 16) return kStatusDotCurveFormat;
      f->sample_bytes = static_cast<uint32_t>(width) / 8;
      f->shift = r.S16(22);
      f->flag = r.S16(24);
      *third_only = bits_per_dot == 1;
      break;
    }
    case 4: {
      if (!r.Has(0, 48)) return kStatusDotCurveFormat;
      if (r.S16(20) != 16) return kStatusDotCurveFormat;
      f->sample_bytes = 2;
      f->shift = r.S16(22);
      f->flag = r.S16(24);
      const int32_t entries = r.S16(34);
      if (entries < 1) return kStatusDotCurveFormat;
      int64_t part = -1;
      for (int32_t i = 0; i < entries; ++i) {
        const uint64_t at = 48 + 8 * static_cast<uint64_t>(i);
        if (!r.Has(at, 8)) return kStatusDotCurveFormat;
        if (r.U8(at) == 0) {
          part = static_cast<int32_t>(r.U32(at + 1));
          break;
        }
      }
      if (part < 0) return kStatusDotCurveFormat;
      const uint64_t offset = static_cast<uint64_t>(part);
      if (!r.Has(offset + 8, 2) || r.S16(offset + 8) != 3) return kStatusDotCurveFormat;
      f->data = offset + 96;
      f->planar = true;
      return kStatusOk;
    }
    default:
      return kStatusDotCurveFormat;
  }
  return kStatusOk;
}

uint32_t Sample(const ResourceView& r, uint64_t at, uint32_t bytes) {
  return bytes == 1 ? r.U8(at) : r.U16(at);
}

EngineStatus ReadEntries(const ResourceView& r, const CurveForm& f, bool third_only, WorkTable& t) {
  const uint64_t n = static_cast<uint64_t>(f.count);
  if (!r.Has(f.data, 3 * n * f.sample_bytes)) return kStatusDotCurveFormat;
  for (uint64_t e = 0; e < n; ++e) {
    for (uint32_t s = 0; s < 3; ++s) {
      const uint64_t index = f.planar ? s * n + e : 3 * e + s;
      t[e][s] = Sample(r, f.data + index * f.sample_bytes, f.sample_bytes);
    }
    if (third_only) t[e][0] = t[e][2], t[e][1] = 0, t[e][2] = 0;
  }
  return kStatusOk;
}

// ReadCurveWords: the second table of a kind-2 block, one to three words per entry.
EngineStatus ReadSecondTable(const ResourceView& r, const CurveForm& f, WorkTable& t) {
  const uint64_t n = static_cast<uint64_t>(f.count);
  const uint64_t at = f.data + 3 * n * f.sample_bytes;
  const uint32_t words = f.second_kind;
  if (words < 1 || words > 3) return kStatusDotCurveFormat;
  if (!r.Has(at, 2 * words * n)) return kStatusDotCurveFormat;
  for (uint64_t e = 0; e < n; ++e) {
    const uint64_t p = at + 2 * words * e;
    t[e][0] = r.U16(p);
    t[e][1] = words == 3 ? r.U16(p + 2) : 0;
    t[e][2] = words == 1 ? 0 : r.U16(p + 2 * (words - 1));
  }
  return kStatusOk;
}

// Scales a table to 0..65535 and halves a 512-entry table into `out`. Shares beyond full
// coverage are refused.
EngineStatus RescaleCurve(WorkTable& t, int32_t count, int32_t shift, int32_t flag, DotTable& out) {
  const uint64_t full = flag != 0 ? (uint64_t{256} << shift) - 1 : uint64_t{255} << shift;
  for (int32_t e = 0; e < count; ++e) {
    for (uint32_t& share : t[e]) {
      if (full != kFullShare) share = static_cast<uint32_t>(uint64_t{share} * kFullShare / full);
      if (share > kFullShare) return kStatusDotCurveValues;
    }
  }
  for (uint32_t i = 0; i < 256; ++i) {
    const uint32_t from = count == 512 ? (i == 0 ? 0 : 2 * i) : i;
    std::memcpy(out[i], t[from], sizeof out[i]);
  }
  return kStatusOk;
}

// 1 when only the large share is ever set: it moves into the small share.
bool PromoteSingleShare(DotTable& t) {
  for (const auto& entry : t) {
    if (entry[0] != 0 || entry[1] != 0) return false;
  }
  for (auto& entry : t) entry[0] = entry[2], entry[2] = 0;
  return true;
}

void RemapDotTable(DotTable& table, const int32_t* curve, int32_t shift) {
  uint32_t old[256][3];
  std::memcpy(old, table, sizeof old);
  const int64_t top = int64_t{255} << shift;
  for (uint32_t i = 0; i < 256; ++i) {
    const int64_t c = std::max<int64_t>(curve[i], 0);  // a negative position reads entry 0
    if (c >= top) {
      std::memcpy(table[i], old[255], sizeof table[i]);
      continue;
    }
    const int64_t k = c >> shift;
    const int64_t f = c & ((int64_t{1} << shift) - 1);
    for (uint32_t s = 0; s < 3; ++s) {
      const int64_t a = old[k][s];
      table[i][s] = static_cast<uint32_t>(
          f == 0 ? a : a + (((int64_t{old[k + 1][s]} - a) * f + (int64_t{1} << (shift - 1))) >> shift));
    }
  }
}

struct NodeTuple {
  int64_t l, m, r, t;
};

}  // namespace

EngineStatus ReadScreenBlock(ScreenEngine* e, common::ResourceBytes block) {
  e->block_mode = kBlockModeThreeSizes;
  const ResourceView r(block);
  CurveForm form;
  bool third_only = false;
  EngineStatus status = ReadForm(r, e->job.bits_per_dot, &form, &third_only);
  if (status != kStatusOk) return status;
  if (form.count != 256 && form.count != 512) return kStatusDotCurveValues;
  if (form.shift < 0 || form.shift > kMaxShift) return kStatusDotCurveFormat;
  WorkTable work;
  status = ReadEntries(r, form, third_only, work);
  if (status != kStatusOk) return status;
  status = RescaleCurve(work, form.count, form.shift, form.flag, e->dot_table_a);
  if (status != kStatusOk || !form.second) return status;

  if (form.second_bytes != 2) return kStatusBadSecondTable;
  status = ReadSecondTable(r, form, work);
  if (status != kStatusOk) return status;
  status = RescaleCurve(work, form.count, 8, 1, e->dot_table_b);
  if (status != kStatusOk) return status;
  if (form.sample_bytes == 1 && form.second_kind == 2) {
    e->block_mode = PromoteSingleShare(e->dot_table_b) ? kBlockModeOneSize : kBlockModeTwoSizes;
  } else if (form.second_kind == 1) {
    e->block_mode = kBlockModeOneSize;
  } else if (form.second_kind == 2) {
    e->block_mode = kBlockModeTwoSizes;
  }
  return kStatusOk;
}

void RemapMonoDotTables(ScreenEngine* e, const LutDescriptor& lut) {
  if (lut.ink_curves_valid == 0 || lut.ink_curves == nullptr) return;
  const InkCurveSet& set = *lut.ink_curves;
  // A set without a usable curve for ink 0 leaves the tables as they are.
  if (set.fraction_bits < 0 || set.fraction_bits > 15) return;
  const int32_t count = std::clamp<int32_t>(set.count, 0, static_cast<int32_t>(kInkCurveMax));
  for (int32_t k = 0; k < count; ++k) {
    if (set.ink_ids[k] != 0) continue;
    const auto* curve = reinterpret_cast<const int32_t*>(set.curves[k]);
    RemapDotTable(e->dot_table_a, curve, set.fraction_bits);
    RemapDotTable(e->dot_table_b, curve, set.fraction_bits);
    return;
  }
}

EngineStatus LoadMonoToneTable(int32_t tone[256], int32_t h_dpi, int32_t v_dpi) {
  const ToneTable* table = nullptr;
  if (h_dpi == 360) {
    table = &kToneTable360;
  } else if (h_dpi == 720) {
    table = &kToneTable720;
  } else if (h_dpi == 1440 || (h_dpi == 2880 && v_dpi == 1440)) {
    table = &kToneTable1440;
  } else if (h_dpi == 2880) {
    table = &kToneTable2880;
  } else {
    return kStatusBadResource;
  }
  for (uint32_t i = 0; i < 256; ++i) tone[i] = (*table)[i];
  return kStatusOk;
}

namespace {

// BuildMonoLevels: the level table and the dot thresholds along the grey diagonal of LUT 0.
EngineStatus BuildMonoLevels(ScreenEngine* e, int32_t zero_share) {
  const LutDescriptor& lut = e->luts[0];
  const uint32_t n = lut.grid_points[0];
  const uint32_t b = lut.channel_count;
  const uint8_t* g = lut.grid[0];
  if (lut.body == nullptr || n < 2 || n > kLutMaxGrid || lut.grid_points[1] != n ||
      lut.grid_points[2] != n || b == 0 || b > kLutMaxChannels || g[0] != 0) {
    return kStatusBadResource;
  }
  for (uint32_t k = 1; k < n; ++k) {
    if (g[k] <= g[k - 1]) return kStatusBadResource;
  }
  const uint8_t* ink = std::find(lut.ink_ids, lut.ink_ids + b, kLutBlackInk);
  if (ink == lut.ink_ids + b) return kStatusBadResource;
  const uint64_t channel = static_cast<uint64_t>(ink - lut.ink_ids);

  EngineBuffer* buffer = &e->buffers[kBufferLevelTable];
  const EngineStatus status = halftone_lines::AllocEngineBuffer(buffer, 256 * sizeof(MonoLevel), 0);
  if (status != kStatusOk) return status;
  auto* levels = reinterpret_cast<MonoLevel*>(buffer->data);

  auto tuple = [&](uint32_t k) {
    const uint8_t v = lut.body[uint64_t{k} * (uint64_t{n} * n + n + 1) * b + channel];
    const uint32_t share = e->diffusion_shares[v];
    return NodeTuple{e->large_thresholds[v], e->medium_thresholds[v], share,
                     e->tone_table[share >> 8]};
  };
  uint32_t k = 0;
  NodeTuple prev{}, next = tuple(0);
  for (uint32_t x = 0; x < 256; ++x) {
    if (x == g[k]) {
      levels[x].tone = static_cast<int32_t>(next.r);
      levels[x].level = next.r == 0 ? -(zero_share * 256) : static_cast<int32_t>(next.r - next.t * 256);
      e->dot_thresholds[x] = static_cast<uint32_t>(next.m << 16 | next.l);
      if (k == n - 1) return x == 255 ? kStatusOk : kStatusBadResource;
      ++k;
      prev = next;
      next = tuple(k);
      continue;
    }
    const int64_t lo = g[k - 1], hi = g[k], span = hi - lo;
    auto mix = [&](int64_t a, int64_t c) { return (a * (hi - x) + c * (x - lo)) / span; };
    const int64_t l = mix(prev.l, next.l), m = mix(prev.m, next.m);
    const int64_t share = mix(prev.r, next.r), t = mix(prev.t, next.t);
    levels[x].tone = static_cast<int32_t>(share);
    levels[x].level = static_cast<int32_t>(share - t * 256);
    e->dot_thresholds[x] = static_cast<uint32_t>(m << 16 | l);
  }
  return kStatusBadResource;
}

}  // namespace

EngineStatus FinishMonoTables(ScreenEngine* e) {
  const DotTable& table = e->block_mode == kBlockModeThreeSizes ? e->dot_table_a : e->dot_table_b;
  const uint64_t levels = e->matrix_levels;
  for (uint32_t i = 0; i < 256; ++i) {  // ScaleDotShares
    const uint64_t s = table[i][0], m = table[i][1], l = table[i][2];
    const uint64_t large = l * levels / kFullShare;
    const uint64_t medium = e->block_mode == kBlockModeTwoSizes ? 0 : (m + l) * levels / kFullShare;
    // The thresholds share one 32-bit word, and the small share is diffused over what the
    // larger dots leave uncovered: both must exist.
    if (large > 0xFFFF || medium > 0xFFFF) return kStatusBadResource;
    if (s != 0 && m + l >= kFullShare) return kStatusBadResource;
    e->large_thresholds[i] = static_cast<uint32_t>(large);
    e->medium_thresholds[i] = static_cast<uint32_t>(medium);
    e->diffusion_shares[i] =
        s == 0 ? 0 : static_cast<uint32_t>(std::min<uint64_t>(s * kFullShare / (kFullShare - m - l), kFullShare));
  }
  const int32_t zero_share = e->tone_table[0] * 256;
  e->tone_table[0] = e->tone_table[1];
  return BuildMonoLevels(e, zero_share) == kStatusOk ? kStatusOk : kStatusBadResource;
}

}  // namespace tonvar::screening
