// Table builder: saturation factors, channel positions, monochrome weights, base and zone
// curves.
#include "kalimu/imaging/correction_tables.h"

#include "kalimu/imaging/curve_routines.h"
#include "kalimu/imaging/image_memory.h"
#include "kalimu/imaging/tone_curve.h"

namespace kalimu::imaging {
namespace {

struct ChannelPositions {
  int32_t red, green, blue, step;
};
constexpr ChannelPositions kChannelOrders[5] = {
    {0, 1, 2, 3}, {2, 1, 0, 3}, {1, 2, 3, 4}, {2, 1, 0, 4}, {3, 2, 1, 4}};

void SetIdentity(int32_t* curve) {
  for (int32_t i = 0; i < 256; ++i) curve[i] = 4 * i;
}

bool AnyMemoryColourSlot(const CorrectionAmounts& amounts) {
  // Slots: kind, hue shift and saturation shift of each of the eight regions.
  for (const MemoryColourRegion& region : amounts.regions) {
    if (region.words[0] != 0 || region.words[1] != 0 || region.words[2] != 0) return true;
  }
  return false;
}

// Base curve of one channel: stretch, tone spline through the key points, ten bits, offset.
void BuildBaseCurve(const CorrectionAmounts& a, int ch, int32_t* curve) {
  int32_t t[256];
  ChannelToneCurve(a, ch, StretchForm::kTables, t);
  TenBitCurve(t, curve);
  if (a.channel_offset[ch] != 0) {
    for (int32_t j = 0; j < 256; ++j) curve[j] = Limit(curve[j] + 4 * a.channel_offset[ch], 0, kTenBitTop);
  }
}

struct ZoneShape {
  CurveGroup group;
  uint32_t flag;
  int32_t key;  // x of the moved knot; its y is 4 * (amount + key)
};

void BuildZoneCurves(const ZoneShape& zone, const int32_t amount[3], CorrectionTables* tables) {
  if (amount[0] == 0 && amount[1] == 0 && amount[2] == 0) return;
  tables->zone_flags |= zone.flag;
  for (int ch = 0; ch < 3; ++ch) {
    const int32_t kx[3] = {0, zone.key, 255};
    const int32_t ky[3] = {0, 4 * amount[ch] + 4 * zone.key, kTenBitTop};
    const Spline spline(kx, ky, 3, 4);
    const int32_t* base = tables->curves[kBaseCurves][ch];
    int32_t* curve = tables->curves[zone.group][ch];
    for (int32_t j = 0; j < 256; ++j) curve[j] = Limit(spline.Value((base[j] + 2) / 4), 0, kTenBitTop);
  }
}

}  // namespace

void TenBitCurve(const int32_t t[256], int32_t out[256]) {
  SetIdentity(out);
  int32_t flat0 = 0;
  int32_t flat1 = 0;
  for (int32_t i = 1; i <= 254; ++i) {
    if (t[i] == t[0]) ++flat0;
    if (t[i] == t[255]) ++flat1;
  }
  if (flat0 > 127) flat0 = 127;
  if (flat1 > 126) flat1 = 126;
  const int32_t x0 = flat0;
  const int32_t x1 = 255 - flat1;
  int32_t kx[5];
  int32_t n = 0;
  auto knot = [&](int32_t x) { kx[n++] = x; };
  if (x0 < 64 && x1 > 192) {
    knot(x0), knot(64), knot(128), knot(192), knot(x1);
  } else if (x0 < 128 && x1 > 192) {
    knot(x0), knot(128), knot(192), knot(x1);
  } else if (x0 < 192 && x1 > 192) {
    knot(x0), knot(192), knot(x1);
  } else if (x0 < 64 && x1 > 128) {
    knot(x0), knot(64), knot(128), knot(x1);
  } else if (x0 < 64 && x1 > 64) {
    knot(x0), knot(64), knot(x1);
  } else if (x0 < 128 && x1 > 128) {
    knot(x0), knot(128), knot(x1);
  } else {
    return;
  }
  int32_t ky[5];
  for (int32_t i = 0; i < n; ++i) ky[i] = 4 * t[kx[i]];
  ky[0] = 4 * t[0];
  ky[n - 1] = 4 * t[255];
  const Spline spline(kx, ky, n, 4);
  for (int32_t i = 0; i < 256; ++i) out[i] = Limit(spline.Value(i), 0, kTenBitTop);
}

int32_t BuildCorrectionTables(const RowLayout* row, CorrectionParameters* parameters,
                              const CorrectionAmounts* amounts, CorrectionTables* tables) {
  if (row == nullptr) return kInnerTablesBadRow;
  if (amounts == nullptr) return kInnerTablesNoAmounts;
  if (tables == nullptr) return kInnerTablesNoTables;
  if (row->flag < 0 || row->flag > 2 || row->channel_order < 0 || row->channel_order > 4) {
    return kInnerTablesBadRow;
  }
  FreeCorrectionTables(tables);
  *tables = CorrectionTables{};
  const CorrectionAmounts& a = *amounts;
  tables->saturation_factor[0] = (a.saturation * 128 + 50) / 100;
  for (int ch = 0; ch < 3; ++ch) tables->saturation_factor[ch + 1] = (a.saturation_channel[ch] * 128 + 50) / 100;
  const ChannelPositions& positions = kChannelOrders[row->channel_order];
  const int32_t step_scale = row->bits_per_channel == 16 ? 2 : 1;
  tables->red_position = positions.red;
  tables->green_position = positions.green;
  tables->blue_position = positions.blue;
  tables->pixel_step = positions.step * step_scale;
  tables->mono_weight[0] = 38 + a.tone_weight[0];
  tables->mono_weight[1] = 76 + a.tone_weight[1];
  tables->mono_weight[2] = 14 + a.tone_weight[2];
  if (parameters != nullptr && AnyMemoryColourSlot(a)) parameters->flags |= kParamMemoryRegions;

  for (auto& group : tables->curves) {
    for (int32_t*& curve : group) {
      curve = static_cast<int32_t*>(ImageBlockAlloc(256 * sizeof(int32_t), 0));
      if (curve == nullptr) {
        FreeCorrectionTables(tables);
        return kInnerTablesNoMemory;
      }
      SetIdentity(curve);
    }
  }
  for (int ch = 0; ch < 3; ++ch) BuildBaseCurve(a, ch, tables->curves[kBaseCurves][ch]);
  static constexpr ZoneShape kSkin{kSkinCurves, kZoneSkin, 192};
  static constexpr ZoneShape kGreen{kGreenCurves, kZoneGreen, 64};
  static constexpr ZoneShape kBlue{kBlueCurves, kZoneBlue, 192};
  static constexpr ZoneShape kRed{kRedCurves, kZoneRed, 128};
  BuildZoneCurves(kSkin, a.skin_zone, tables);
  BuildZoneCurves(kGreen, a.green_zone, tables);
  BuildZoneCurves(kBlue, a.blue_zone, tables);
  BuildZoneCurves(kRed, a.red_zone, tables);
  // Outside curve points and memory-colour regions: never present in this engine, so no region
  // tables are built and the region count stays 0.
  if (parameters != nullptr && (parameters->flags & kParamMonochrome) != 0) {
    parameters->flags &= ~kParamMemoryRegions;
  }
  tables->region_count = 0;
  tables->region_mask = a.region_mask;
  return kInnerOk;
}

void FreeCorrectionTables(CorrectionTables* tables) {
  for (auto& group : tables->curves) {
    for (int32_t*& curve : group) {
      ImageBlockFree(curve);
      curve = nullptr;
    }
  }
}

}  // namespace kalimu::imaging
