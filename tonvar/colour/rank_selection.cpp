// The rank correction's last resources: measured values from a dot-curve block (dual and
// smbrate modes), the choice of a rank per ink and level, and the remap of the colour table and
// the tone table through the chosen curves.
#include <cmath>
#include <cstring>

#include "tonvar/colour/rank_correction.h"
#include "tonvar/common/dot_curve_blocks.h"
#include "tonvar/common/resource_view.h"
#include "tonvar/common/scoped_block.h"

namespace tonvar::colour {
namespace {

constexpr uint32_t kWorkLevels = 512;

// The dot table as this reader takes it: three columns of amounts and their weights.
struct DotColumns {
  int32_t (*d)[3];
  int32_t w[3];
  uint32_t levels;
};

uint64_t BlockLimit(common::ResourceBytes data, const common::ResourceView& r) {
  const uint64_t word = r.U32(0);
  return data.size == common::kUnboundedSize || word < data.size ? word : data.size;
}

// Formats 0 and 3: one table, level by level. 0, 1 (size), 2 (shape).
uint32_t ReadDotColumns3(DotColumns* t, common::ResourceBytes data, uint32_t format) {
  const common::ResourceView r(data);
  const uint64_t size = BlockLimit(data, r);
  if (size < 32) return 1;
  uint32_t bytes = 1;
  if (format == 3) {
    if (r.S16(20) != 16 || r.S16(22) > 4) return 2;
    bytes = 2;
  }
  const int32_t levels = r.S16(18);
  if (r.S16(16) != 3 || (levels != 256 && levels != 512)) return 2;
  const uint64_t samples = uint64_t(levels) * 3 * bytes;
  if (size < samples + 42) return 1;
  t->levels = static_cast<uint32_t>(levels);
  for (uint32_t l = 0; l < t->levels; ++l) {
    for (uint32_t c = 0; c < 3; ++c) {
      const uint64_t at = 32 + (uint64_t{l} * 3 + c) * bytes;
      t->d[l][c] = bytes == 2 ? r.S16(at) : r.U8(at);
    }
  }
  for (int c = 0; c < 3; ++c) t->w[c] = r.S16(32 + samples + 4 + 2 * c);
  return 0;
}

// Format 4: the first table of the directory that names an ink, column by column.
uint32_t ReadDotColumns4(DotColumns* t, common::ResourceBytes data) {
  const common::ResourceView r(data);
  const uint64_t size = BlockLimit(data, r);
  if (size < 112 || r.U32(8) != 4) return 1;
  const int32_t levels = r.S16(18), bits = r.S16(20), shift = r.S16(22), mode = r.S16(24);
  const int32_t entries = r.S16(34);
  if ((levels != 256 && levels != 512) || (bits != 8 && bits != 16) || shift < 0 || shift > 8 ||
      (mode != 0 && mode != 1) || entries < 1) {
    return 2;
  }
  if (48 + uint64_t{8} * static_cast<uint32_t>(entries) > size) return 2;
  uint64_t chosen = 48 + uint64_t{8} * static_cast<uint32_t>(entries - 1);
  for (int32_t e = 0; e < entries; ++e) {
    if (r.U8(48 + uint64_t{8} * e) != 0) {
      chosen = 48 + uint64_t{8} * e;
      break;
    }
  }
  const int32_t offset = static_cast<int32_t>(r.U32(chosen + 1));
  if (offset < 0 || bits != 16) return 2;
  const uint64_t o = static_cast<uint32_t>(offset);
  if (o + 96 + uint64_t(levels) * 3 * 2 > size) return 2;
  t->levels = static_cast<uint32_t>(levels);
  for (int c = 0; c < 3; ++c) t->w[c] = r.S16(o + 32 + 4 * c);
  for (uint32_t c = 0; c < 3; ++c) {
    for (uint32_t l = 0; l < t->levels; ++l) t->d[l][c] = r.S16(o + 96 + 2 * (uint64_t{c} * t->levels + l));
  }
  return 0;
}

void WeighValueSets(RankCorrection* s, const DotColumns& t) {
  const RankValueSets& v = s->value_sets;
  for (uint32_t i = 0; i < v.count; ++i) s->measured[i][0] = v.values[0][i];
  for (uint32_t l = 1; l < kRankLevels; ++l) {
    const int64_t a0 = int64_t{t.d[l][0]} * t.w[0], a1 = int64_t{t.d[l][1]} * t.w[1];
    const int64_t a2 = int64_t{t.d[l][2]} * t.w[2];
    const int64_t sum = a0 + a1 + a2;
    for (uint32_t i = 0; i < v.count; ++i) {
      // A level without dots keeps the ink's own value.
      const int64_t m = sum == 0 ? v.values[0][i]
                                 : (v.values[0][i] * a0 + v.values[1][i] * a1 + v.values[2][i] * a2) / sum;
      s->measured[i][l] = static_cast<uint8_t>(m);
    }
  }
}

void WeighValueDifference(RankCorrection* s, const DotColumns& t) {
  const double lo = static_cast<double>(s->lowest) + s->lower;
  const double hi = static_cast<double>(s->lowest) + s->upper;
  const auto clamp = [&](double x) { return x < lo ? lo : x > hi ? hi : x; };
  for (uint32_t l = 0; l < kRankLevels; ++l) {
    const double a0 = static_cast<double>(t.d[l][0]) * t.w[0], a1 = static_cast<double>(t.d[l][1]) * t.w[1];
    const double a2 = static_cast<double>(t.d[l][2]) * t.w[2];
    const double sum = a0 + a1 + a2;
    for (uint32_t i = 0; i < s->references.count; ++i) {
      const double diff = static_cast<double>(s->value_sets.values[0][i]) - s->references.values[0][i];
      double m;
      if (std::trunc(sum) == 0) {
        m = clamp(diff + 50);
      } else {
        const double weighted = s->smbrate_weights[0] * a0 + s->smbrate_weights[1] * a1 +
                                s->smbrate_weights[2] * a2;
        m = clamp(std::trunc(weighted * diff / (100 * sum) + 50.5));
      }
      s->measured[i][l] = static_cast<uint8_t>(static_cast<int64_t>(m));
    }
  }
}

struct Ranks {
  int32_t lower, upper, step, lowest;
  int32_t Row(int64_t difference) const {
    int64_t x = difference / step;
    if (x > upper) x = upper;
    if (x < lower) x = lower;
    return static_cast<int32_t>(x);
  }
};

// A table without a length holds every row from 0 up that the limits let a rank reach; a row
// below 0 (a negative lower limit) lies in no table.
bool RowInTable(common::ResourceBytes table, int32_t row) {
  if (row < 0) return false;
  return table.size == common::kUnboundedSize || (uint64_t{static_cast<uint32_t>(row)} + 1) * kRankLevels <= table.size;
}

}  // namespace

EngineStatus ReadMeasuredValues(RankCorrection* state, common::ResourceBytes data) {
  const common::ResourceView r(data);
  if (!r.Has(0, 12) || !r.Matches(4, common::kDotCurveSignature, sizeof common::kDotCurveSignature)) {
    return kStatusBadResource;
  }
  common::ScopedBlock work;
  EngineStatus status = work.Allocate(uint64_t{kWorkLevels} * 4 * sizeof(int32_t), true);
  if (status != kStatusOk) return status;
  DotColumns t{work.data<int32_t[3]>(), {}, 0};
  const uint32_t format = r.U32(8);
  uint32_t read = 1;
  if (format == 0 || format == 3) {
    read = ReadDotColumns3(&t, data, format);
  } else if (format == 4) {
    read = ReadDotColumns4(&t, data);
  } else {
    status = kStatusBadResource;
  }
  if (status == kStatusOk && read != 0) status = kStatusBadResource;
  if (status == kStatusOk && t.levels == 512) {
    for (uint32_t l = 1; l < kRankLevels; ++l) std::memcpy(t.d[l], t.d[2 * l + 1], sizeof t.d[l]);
  }
  if (status == kStatusOk) {
    if (state->mode == kRankDual) {
      WeighValueSets(state, t);
    } else if (state->mode == kRankSmbRate) {
      WeighValueDifference(state, t);
    } else {
      status = kStatusBadResource;
    }
  }
  const EngineStatus released = work.Release();
  return status != kStatusOk ? status : released;
}

void RemapToneTable(ToneTable* tone, const uint8_t* remap, uint32_t count) {
  const uint32_t s = tone->tone_mode == 0 ? 4 : 0;
  const int32_t mask = (1 << s) - 1;
  const uint32_t columns = tone->channel_count < count ? tone->channel_count : count;
  for (uint32_t p = 0; p < tone->point_count; ++p) {
    for (uint32_t c = 0; c < columns; ++c) {
      uint16_t& value = tone->values[p * tone->channel_count + c];
      const int32_t y = static_cast<int16_t>(value);
      int32_t k = y >> s;
      const int32_t f = y & mask;
      const uint8_t* curve = remap + c * kRankLevels;
      int32_t out;
      if (k >= 255) {
        out = curve[255] << s;
      } else {
        if (k < 0) k = 0;  // below the first level: the curve's start
        out = curve[k] << s;
        if (f != 0 && y >= 0) out += (curve[k + 1] - curve[k]) * f;
      }
      value = static_cast<uint16_t>(out);
    }
  }
}

EngineStatus ApplyRankCorrection(LutDescriptor* lut, common::ResourceBytes table, RankCorrection* state,
                                 int32_t mode) {
  const Ranks ranks{state->lower, state->upper, state->id_step, state->lowest};
  const uint32_t count = state->references.count;
  const uint8_t* rows = table.data;
  uint8_t* remap = state->remap;
  const bool by_level = mode == kRankDual || mode == kRankMode3 || mode == kRankSmbRate;
  if (!by_level) {
    bool close = true;
    for (uint32_t i = 0; i < count; ++i) {
      const int32_t d = state->value_sets.values[0][i] - state->references.values[0][i];
      if ((d < 0 ? -d : d) >= state->nc_range) close = false;
    }
    if (close) return kStatusOk;  // every ink is within the range: nothing to correct
  }
  bool selected = false;
  for (uint32_t i = 0; i < count; ++i) {
    const int32_t v0 = state->value_sets.values[0][i], r0 = state->references.values[0][i];
    if (state->map[i] >= state->lists.values_per_list) continue;
    uint8_t* curve = remap + uint32_t{state->map[i]} * kRankLevels;
    if (by_level) {
      for (uint32_t l = 0; l < kRankLevels; ++l) {
        const int32_t m = state->measured[i][l];
        const int32_t row = mode == kRankDual ? ranks.Row(int64_t{m} - r0 - ranks.lowest + 50)
                                              : ranks.Row(int64_t{m} - ranks.lowest);
        if (!RowInTable(table, row)) return kStatusBadResource;
        curve[l] = rows[uint64_t{static_cast<uint32_t>(row)} * kRankLevels + l];
        selected = true;
      }
    } else {
      const int32_t row = ranks.Row(int64_t{v0} - r0 - ranks.lowest + 50);
      if (!RowInTable(table, row)) return kStatusBadResource;
      std::memcpy(curve, rows + uint64_t{static_cast<uint32_t>(row)} * kRankLevels, kRankLevels);
      selected = true;
    }
  }
  if (!selected) return kStatusOk;
  const uint32_t ch = lut->channel_count;
  const uint32_t channels = ch < count ? ch : count;
  const uint64_t entries = uint64_t{lut->grid_points[0]} * lut->grid_points[1] * lut->grid_points[2] *
                           lut->grid_points[3];
  for (uint64_t e = 0; e < entries; ++e) {
    uint8_t* entry = lut->body + e * ch;
    for (uint32_t c = 0; c < channels; ++c) entry[c] = remap[c * kRankLevels + entry[c]];
  }
  if (lut->tone_table != nullptr && lut->tone_table->values != nullptr) {
    RemapToneTable(lut->tone_table, remap, count);
  }
  return kStatusOk;
}

}  // namespace tonvar::colour
