// The four-ink screening tables: colour tables resampled onto the fixed 32-point grid, the grid
// index map, the scale table, the dot curve and the dot thresholds.
#include <cstring>

#include "tonvar/common/resource_view.h"
#include "tonvar/screening/screen_engine.h"

namespace tonvar::screening {
namespace {

using common::ResourceView;

constexpr uint32_t kInkTablesBytes = 9728;
constexpr uint32_t kIndexMapOffset = 0;
constexpr uint32_t kDotCurveOffset = 512;
constexpr uint32_t kThresholdsOffset = kDotCurveOffset + 512 * 3 * 2;
constexpr uint32_t kNodeBytes = 4;  // the screening tables always hold four inks
constexpr uint32_t kCurveEntries = 256;
constexpr uint32_t kCurveRoom = 512;
constexpr int32_t kMaxShare = 255;

// Grid coordinates rise strictly from 0 to 255.
bool GridRises(const uint8_t* g, uint32_t n) {
  if (n < 2 || g[0] != 0 || g[n - 1] != 255) return false;
  for (uint32_t k = 1; k < n; ++k) {
    if (g[k] <= g[k - 1]) return false;
  }
  return true;
}

// The source table's grid serves all three axes; its cube must be square and well formed so
// that every corner read stays inside it.
bool SourceUsable(const LutDescriptor& lut) {
  const uint32_t n = lut.grid_points[0];
  return lut.body != nullptr && lut.body_handle != nullptr && lut.channel_count >= kNodeBytes &&
         n >= 2 && n <= kLutMaxGrid && lut.grid_points[1] == n && lut.grid_points[2] == n &&
         GridRises(lut.grid[0], n);
}

struct ResampleCells {
  uint32_t cell[256];
  uint32_t frac[256];  // in 1/128
};

void BuildResampleCells(const uint8_t* g, uint32_t n, ResampleCells* c) {
  uint32_t k = 0;
  for (uint32_t x = 0; x < 256; ++x) {
    while (k + 2 < n && x >= g[k + 1]) ++k;
    const uint32_t d = g[k + 1] - g[k];
    c->cell[x] = k;
    c->frac[x] = (d / 2 + 128 * (x - g[k])) / d;
  }
}

// Tetrahedral interpolation of one node: the order of the three fractions picks the corners.
void InterpolateNode(const uint8_t* source, uint32_t n, const ResampleCells& c, uint32_t a,
                     uint32_t b, uint32_t cc, uint8_t out[kNodeBytes]) {
  const int32_t fa = static_cast<int32_t>(c.frac[a]);
  const int32_t fb = static_cast<int32_t>(c.frac[b]);
  const int32_t fc = static_cast<int32_t>(c.frac[cc]);
  const uint64_t base = (uint64_t{c.cell[a]} * n + c.cell[b]) * n + c.cell[cc];
  const uint64_t sx = uint64_t{n} * n, sy = n, sz = 1;
  uint64_t p1, p2;  // the two middle corners, as offsets from the base node
  int32_t w0, w1, w2, w3;
  if (fa >= fb) {
    if (fb >= fc) {
      p1 = sx, p2 = sx + sy, w0 = 128 - fa, w1 = fa - fb, w2 = fb - fc, w3 = fc;
    } else if (fa >= fc) {
      p1 = sx, p2 = sx + sz, w0 = 128 - fa, w1 = fa - fc, w2 = fc - fb, w3 = fb;
    } else {
      p1 = sz, p2 = sx + sz, w0 = 128 - fc, w1 = fc - fa, w2 = fa - fb, w3 = fb;
    }
  } else if (fa >= fc) {
    p1 = sy, p2 = sx + sy, w0 = 128 - fb, w1 = fb - fa, w2 = fa - fc, w3 = fc;
  } else if (fb >= fc) {
    p1 = sy, p2 = sy + sz, w0 = 128 - fb, w1 = fb - fc, w2 = fc - fa, w3 = fa;
  } else {
    p1 = sz, p2 = sy + sz, w0 = 128 - fc, w1 = fc - fb, w2 = fb - fa, w3 = fa;
  }
  const uint8_t* q0 = source + base * kNodeBytes;
  const uint8_t* q1 = q0 + p1 * kNodeBytes;
  const uint8_t* q2 = q0 + p2 * kNodeBytes;
  const uint8_t* q3 = q0 + (sx + sy + sz) * kNodeBytes;
  for (uint32_t i = 0; i < kNodeBytes; ++i) {
    const int32_t sum = w0 * q0[i] + w1 * q1[i] + w2 * q2[i] + w3 * q3[i];
    out[i] = static_cast<uint8_t>((sum + 64) >> 7);
  }
}

void ResampleColorTable(const LutDescriptor& source, const LutDescriptor& lut, uint8_t* table) {
  ResampleCells cells;
  const uint32_t n = source.grid_points[0];
  BuildResampleCells(source.grid[0], n, &cells);
  const uint8_t* g0 = lut.grid[0];
  const uint8_t* g1 = lut.grid[1];
  const uint8_t* g2 = lut.grid[2];
  uint8_t* out = table;
  for (uint32_t i = 0; i < kColourGrid; ++i) {
    for (uint32_t j = 0; j < kColourGrid; ++j) {
      for (uint32_t l = 0; l < kColourGrid; ++l, out += kNodeBytes) {
        InterpolateNode(source.body, n, cells, g0[i], g1[j], g2[l], out);
      }
    }
  }
}

}  // namespace

EngineStatus BuildColorTable(EngineBuffer* buffer, LutDescriptor* lut, common::ResourceBytes block) {
  const LutDescriptor source = *lut;
  if (!SourceUsable(source)) return kStatusBadJob;
  const ResourceView r(block);
  if (!r.Has(0, 2 + kColourGrid) || r.U16(0) != kColourGrid) return kStatusBadTable;
  if (!GridRises(r.At(2), kColourGrid)) return kStatusBadTable;

  for (uint32_t axis = 0; axis < 3; ++axis) {
    lut->grid_points[axis] = kColourGrid;
    std::memcpy(lut->grid[axis], r.At(2), kColourGrid);
  }
  const uint64_t size = (uint64_t{lut->channel_count} * kColourNodes + 3) & ~uint64_t{3};
  const EngineStatus status = halftone_lines::AllocEngineBuffer(buffer, size, 0);
  if (status != kStatusOk) return status;
  lut->body_handle = nullptr;  // the engine's buffer owns the new table
  lut->body = buffer->data;
  ResampleColorTable(source, *lut, lut->body);
  return kStatusOk;
}

EngineStatus AllocColorTables(ScreenEngine* e) {
  EngineBuffer* block = &e->buffers[kBufferInkTables];
  const EngineStatus status = halftone_lines::AllocEngineBuffer(block, kInkTablesBytes, 1);
  if (status != kStatusOk) return status;
  halftone_lines::SetEngineBuffer(&e->buffers[kBufferIndexMap], block->data + kIndexMapOffset, nullptr, 512);
  halftone_lines::SetEngineBuffer(&e->buffers[kBufferDotCurve], block->data + kDotCurveOffset, nullptr,
                                  kThresholdsOffset - kDotCurveOffset);
  halftone_lines::SetEngineBuffer(&e->buffers[kBufferDotThresholds], block->data + kThresholdsOffset,
                                  nullptr, 2 * 1024);
  return kStatusOk;
}

ColourInkTables InkTables(ScreenEngine* e) {
  ColourInkTables t;
  t.index_map = reinterpret_cast<uint8_t(*)[2]>(e->buffers[kBufferIndexMap].data);
  t.dot_curve = reinterpret_cast<int16_t(*)[3]>(e->buffers[kBufferDotCurve].data);
  t.t0 = reinterpret_cast<uint32_t*>(e->buffers[kBufferDotThresholds].data);
  t.t1 = t.t0 == nullptr ? nullptr : t.t0 + 256;
  return t;
}

uint32_t* ScaleTable(ScreenEngine* e) { return reinterpret_cast<uint32_t*>(e->buffers[kBufferScale].data); }

void BuildGridIndexMap(uint8_t map[256][2], const uint8_t grid[kColourGrid]) {
  // The grid rises strictly from 0 to 255 (checked when the grid block was read).
  uint32_t k = 0;
  for (uint32_t x = 0; x < 256; ++x) {
    if (grid[k] == x) {
      map[x][0] = static_cast<uint8_t>(k);
      map[x][1] = 255;
      if (k + 1 < kColourGrid) ++k;
    } else {
      const uint32_t span = grid[k] - grid[k - 1];
      map[x][0] = static_cast<uint8_t>(k - 1);
      map[x][1] = static_cast<uint8_t>(255 * (grid[k] - x) / span);
    }
  }
}

void FillScaleTable(uint32_t scale[256], uint32_t cells) {
  for (uint64_t i = 0; i < 256; ++i) scale[i] = static_cast<uint32_t>(i * cells / 255);
}

EngineStatus ReadColorDotCurve(common::ResourceBytes block, int16_t curve[512][3]) {
  const ResourceView r(block);
  if (!r.Has(0, 8)) return kStatusDotCurveFormat;
  uint64_t data = 0;
  int32_t count = kCurveEntries;
  uint32_t sample_bits = 8;
  int32_t shift = 0;
  bool trailing_value = false;
  const bool tagged = r.Matches(4, kCurveSignature, sizeof kCurveSignature);
  if (!tagged) {
    if (r.U8(0) != 0 || r.U8(1) != 0 || r.U8(2) != 0 || r.U8(3) > 20) return kStatusDotCurveFormat;
  } else {
    if (!r.Has(0, 32)) return kStatusDotCurveFormat;
    const uint32_t kind = r.U32(8);
    data = 32;
    count = r.S16(18);
    switch (kind) {
      case 0xFFFFFFFF:
        data = 0;
        count = kCurveEntries;
        break;
      case 0:
        if (r.S16(16) != 3) return kStatusDotCurveFormat;
        break;
      case 2:
        if (r.U8(16) != 3) return kStatusDotCurveFormat;
        sample_bits = r.U8(20) * 8u;
        break;
      case 3:
        if (r.S16(16) != 3) return kStatusDotCurveFormat;
        sample_bits = static_cast<uint32_t>(r.S16(20));
        shift = r.S16(22);
        trailing_value = r.S16(24) != 0;
        break;
      default:
        return kStatusDotCurveFormat;
    }
    if (sample_bits != 8 && sample_bits != 16) return kStatusDotCurveFormat;
  }
  if (count != 256 && count != 512) return kStatusDotCurveValues;
  const uint32_t sample_bytes = sample_bits / 8;
  if (!r.Has(data, uint64_t{3} * sample_bytes * count)) return kStatusDotCurveFormat;
  for (int32_t e = 0; e < count; ++e) {
    for (uint32_t s = 0; s < 3; ++s) {
      const uint64_t at = data + (uint64_t{3} * e + s) * sample_bytes;
      curve[e][s] = static_cast<int16_t>(sample_bytes == 1 ? r.U8(at) : r.S16(at));
    }
  }
  if (trailing_value) return kStatusDotCurveValues;
  if (shift > 0) {
    const int32_t bits = shift > 15 ? 15 : shift;
    for (int32_t e = 0; e < count; ++e) {
      for (int16_t& share : curve[e]) share = static_cast<int16_t>(share >> bits);
    }
  }
  if (count == static_cast<int32_t>(kCurveRoom)) {  // HalveColorDotCurve
    for (uint32_t i = 1; i < 255; ++i) std::memcpy(curve[i], curve[2 * i], sizeof curve[i]);
    std::memcpy(curve[255], curve[511], sizeof curve[255]);
  }
  // A share indexes the 256-entry scale table.
  for (uint32_t e = 0; e < kCurveEntries; ++e) {
    for (int16_t share : curve[e]) {
      if (share < 0 || share > kMaxShare) return kStatusDotCurveValues;
    }
  }
  return kStatusOk;
}

EngineStatus BuildDotThresholds(uint32_t t0[256], uint32_t t1[256], const int16_t curve[512][3],
                                const uint32_t scale[256]) {
  for (uint32_t e = 0; e < 256; ++e) {
    const uint64_t small = scale[curve[e][0]];
    const uint64_t medium = scale[curve[e][1]];
    const uint64_t large = scale[curve[e][2]];
    t0[e] = static_cast<uint32_t>(large);
    if (large + medium > 0xFFFF) return kStatusBadResource;
    t0[e] |= static_cast<uint32_t>((large + medium) << 16);
    t1[e] = static_cast<uint32_t>(large + medium + small);
    if (large + medium + small > 0xFFFF) return kStatusBadResource;
  }
  return kStatusOk;
}

}  // namespace tonvar::screening
