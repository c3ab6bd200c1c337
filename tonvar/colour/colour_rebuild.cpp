// Rebuild of a three-input colour table: every grid point passes through the ink balance
// (document type 2) or through the pre-transforms, the gamma-and-matrix block and the job's
// colour adjustments, and is looked up again; the tone table follows the same adjustments.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "tonvar/colour/colour_adjustment.h"
#include "tonvar/colour/colour_engine.h"
#include "tonvar/colour/ink_balance.h"
#include "tonvar/colour/tetra_lookup.h"
#include "tonvar/common/resource_view.h"
#include "tonvar/common/scoped_block.h"

namespace tonvar::colour {
namespace {

constexpr uint32_t kOrderRebuild = 3;  // pixels (0, c1, c2, c3)

uint32_t GridCount(const LutDescriptor* lut) {
  return lut->grid_points[0] * lut->grid_points[1] * lut->grid_points[2];
}

// Grid points are worked through a buffer of this many at a time: it stays in the cache while
// the transforms, the adjustments and the look-up pass over it.
constexpr uint32_t kChunkPoints = 4096;

// The grid points first .. first + count - 1 in table order (axis 3 fastest).
void FillGridPoints(const LutDescriptor* lut, uint32_t first, uint32_t count, uint8_t* points) {
  const uint32_t g1 = lut->grid_points[1], g2 = lut->grid_points[2];
  uint32_t k = first % g2;
  uint32_t j = first / g2 % g1;
  uint32_t i = first / g2 / g1;
  for (uint32_t n = 0; n < count; ++n, points += 4) {
    points[0] = 0;
    points[1] = lut->grid[0][i];
    points[2] = lut->grid[1][j];
    points[3] = lut->grid[2][k];
    if (++k == g2) {
      k = 0;
      if (++j == g1) {
        j = 0;
        ++i;
      }
    }
  }
}

// Puts `fresh` in place of the descriptor's body and releases the old body.
EngineStatus InstallBody(LutDescriptor* lut, common::ScopedBlock* fresh) {
  common::MemHandle old = lut->body_handle;
  lut->body = fresh->data();
  lut->body_handle = fresh->Detach();
  return common::ReleaseBlock(&old);
}

EngineStatus RebuildToneTable(CmColorEngine* engine, const CmParams* copy, ColorAdjustment* record) {
  if (copy->document_type == 4 || copy->red_offset != 0 || copy->green_offset != 0 ||
      copy->blue_offset != 0) {
    return kStatusDropToneTable;
  }
  ToneTable* tone = engine->lut->tone_table;
  const uint32_t p = tone->point_count;
  const uint32_t ch = tone->channel_count;
  common::ScopedBlock pixels, values;
  EngineStatus status = pixels.Allocate(uint64_t{4} * p, false);
  if (status == kStatusOk) status = values.Allocate(uint64_t{2} * p * ch, false);
  if (status != kStatusOk) return status;
  for (uint32_t i = 0; i < p; ++i) {
    uint8_t* px = pixels.data() + 4 * i;
    px[0] = 0;
    px[1] = px[2] = px[3] = tone->levels[i];
  }
  status = BuildToneCurveAdjustment(copy, kOrderRebuild, record, static_cast<uint32_t>(tone->base_value));
  if (status != kStatusOk) return status;
  if (p > 2) ApplyToneCurveAdjustment(record, p - 2, pixels.data() + 4, pixels.data() + 4);
  uint16_t* out = reinterpret_cast<uint16_t*>(values.data());
  InterpolateTone(engine, p, pixels.data(), out);
  std::memcpy(tone->values, out, uint64_t{2} * p * ch);
  return kStatusOk;
}

}  // namespace

void BuildGammaTables(uint32_t* t256, uint32_t* t512, int32_t rebuild_gamma, int32_t output_gamma) {
  const float g1 = static_cast<float>(rebuild_gamma) / 100.0f;
  const float g2 = static_cast<float>(output_gamma) / 100.0f;
  for (int i = 0; i < 256; ++i) {
    t256[i] = static_cast<uint32_t>(std::pow(i / 255.0, static_cast<double>(g1)) * 255 + 0.5);
  }
  for (int i = 0; i < 512; ++i) {
    t512[i] = static_cast<uint32_t>(std::pow(i / 511.0, 1.0 / g2) * 511 + 0.5);
  }
}

void CombineColorMatrices(const CmColorEngine* engine, int32_t* out) {
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      // 32-bit products and sum as the matrices' format defines them; the values come from
      // the resources, so the sum wraps (in unsigned arithmetic) instead of overflowing.
      uint32_t sum = 0;
      for (int k = 0; k < 3; ++k) {
        sum += static_cast<uint32_t>(engine->matrix1[3 * r + k]) *
               static_cast<uint32_t>(engine->matrix2[3 * k + c]);
      }
      out[3 * r + c] = static_cast<int32_t>(sum) >> 14;
    }
    const int32_t s = out[3 * r] + out[3 * r + 1] + out[3 * r + 2];
    if (s > 4096) {
      const int32_t step = static_cast<int32_t>((s - 4096) / 3.0 + 0.5);
      for (int c = 0; c < 3; ++c) out[3 * r + c] -= step;
    } else {
      const int32_t step = static_cast<int32_t>((4096 - s) / 3.0 + 0.5);
      for (int c = 0; c < 3; ++c) out[3 * r + c] += step;
    }
  }
}

void ApplyGammaMatrix(const CmColorEngine* engine, uint8_t* points, const uint32_t* t256,
                      const uint32_t* t512, const int32_t* matrix, uint32_t count) {
  (void)engine;
  for (uint32_t n = 0; n < count; ++n, points += 4) {
    const int32_t x1 = static_cast<int32_t>(t256[points[1]]);
    const int32_t x2 = static_cast<int32_t>(t256[points[2]]);
    const int32_t x3 = static_cast<int32_t>(t256[points[3]]);
    uint8_t out[3];
    for (int r = 0; r < 3; ++r) {
      int32_t idx = (matrix[3 * r] * x1 + matrix[3 * r + 1] * x2 + matrix[3 * r + 2] * x3) >> 11;
      idx = std::clamp(idx, 0, 511);
      out[r] = static_cast<uint8_t>(t512[idx] >> 1);
    }
    points[1] = out[0];
    points[2] = out[1];
    points[3] = out[2];
  }
}

EngineStatus BalanceInksOnGrid(CmColorEngine* engine) {
  LutDescriptor* lut = engine->lut;
  const uint32_t n = GridCount(lut);
  const uint32_t g = lut->grid_points[0];
  const uint32_t ch = lut->channel_count;
  common::ScopedBlock points, fresh;
  EngineStatus status = points.Allocate(uint64_t{4} * std::min(n, kChunkPoints), false);
  if (status == kStatusOk) status = fresh.Allocate(uint64_t{n} * ch, false);
  if (status != kStatusOk) return status;
  const bool balance = engine->params.document_type == 2 && engine->params.mode_modifier == 0;
  const bool grey_component = engine->format == '3' ||
                              (engine->format > '4' && engine->grey_component[0] != 0xFF);
  TetraGrid grid;
  BuildTetraGrid(&grid, lut->grid, lut->grid_points, ch, lut->body);
  const LookupPath path = BestLookupPath();
  for (uint32_t first = 0; first < n; first += kChunkPoints) {
    const uint32_t count = std::min(kChunkPoints, n - first);
    FillGridPoints(lut, first, count, points.data());
    for (uint32_t i = 0; balance && i < count; ++i) {
      uint8_t* px = points.data() + 4 * i;
      int32_t c = 255 - px[1], m = 255 - px[2], y = 255 - px[3];
      if (grey_component) ReplaceGreyComponent(&c, &m, &y, engine->grey_component);
      ReduceDominantInk(&c, &m, &y, engine->dominant[0], engine->dominant[1], engine->dominant[2]);
      ReduceSecondaryInks(&c, &m, &y, engine->secondary[0], engine->secondary[1], engine->secondary[2]);
      ShiftInkBalance(&c, &m, &y, engine->shift[0], engine->shift[1], engine->shift[2]);
      px[1] = static_cast<uint8_t>(255 - c);
      px[2] = static_cast<uint8_t>(255 - m);
      px[3] = static_cast<uint8_t>(255 - y);
    }
    LookUpPoints(grid, engine->layout, count, points.data(), fresh.data() + uint64_t{first} * ch, path);
  }
  // Only entries the table supplied replace the diagonal: a block that was never filled (a
  // mode modifier other than 0, or a format without them) would print the greys with no ink.
  if (lut->neutral_axis == 1 && engine->format != '1' && engine->grey_axis_loaded) {
    for (uint32_t i = 0; i < g; ++i) {
      std::memcpy(fresh.data() + ((uint64_t{i} * g + i) * g + i) * ch, engine->grey_axis + uint64_t{i} * ch, ch);
    }
  }
  return InstallBody(lut, &fresh);
}

EngineStatus RebuildColorTable(CmColorEngine* engine) {
  LutDescriptor* lut = engine->lut;
  const bool tagged_era = engine->mode_table_version >= 500;
  CmParams copy = engine->params;
  if (copy.document_type == 2 && copy.mode_modifier == 0) {
    copy.saturation = std::min(copy.saturation + engine->saturation_add, 50);
  }
  // From version 500 on the base is the table's "gama"; a table without one (the fixed form
  // has none) leaves no base to adjust against.
  const int32_t base = tagged_era ? engine->rebuild_gamma : 150;
  if (base <= 0) return kStatusBadResource;
  ColorAdjustment* record = nullptr;
  EngineStatus status = NewColorAdjustment(&copy, kOrderRebuild, &record, static_cast<uint32_t>(base));
  if (status != kStatusOk) return status;

  const uint32_t n = GridCount(lut);
  const uint32_t ch = lut->channel_count;
  common::ScopedBlock points, fresh;
  status = points.Allocate(uint64_t{4} * std::min(n, kChunkPoints), false);
  if (status == kStatusOk) status = fresh.Allocate(uint64_t{n} * ch, false);
  if (status != kStatusOk) {
    DeleteColorAdjustment(record);
    return status;
  }
  // What each point passes through, settled once for the whole grid.
  const PreTransformTable* pre[2] = {nullptr, nullptr};
  bool gamma_matrix = false;
  if (tagged_era) {
    if (engine->table_a_id != -1 && engine->table_a->body != nullptr) pre[0] = engine->table_a;
    if (engine->table_b_id != -1 && engine->table_b->body != nullptr) pre[1] = engine->table_b;
    gamma_matrix = engine->gamma_matrix_id != -1;
  }
  TetraGrid pre_grid[2];
  for (int t = 0; t < 2; ++t) {
    if (pre[t] != nullptr) {
      BuildTetraGrid(&pre_grid[t], pre[t]->grid, pre[t]->grid_points, pre[t]->channel_count, pre[t]->body);
    }
  }
  uint32_t t256[256], t512[512];
  int32_t matrix[9];
  if (gamma_matrix) {
    BuildGammaTables(t256, t512, engine->rebuild_gamma, engine->output_gamma);
    CombineColorMatrices(engine, matrix);
  }
  TetraGrid grid;
  BuildTetraGrid(&grid, lut->grid, lut->grid_points, ch, lut->body);
  const LookupPath path = BestLookupPath();
  for (uint32_t first = 0; first < n; first += kChunkPoints) {
    const uint32_t count = std::min(kChunkPoints, n - first);
    uint8_t* const chunk = points.data();
    FillGridPoints(lut, first, count, chunk);
    for (int t = 0; t < 2; ++t) {
      if (pre[t] != nullptr) TransformGridPoints(pre_grid[t], engine->layout, count, chunk);
    }
    if (gamma_matrix) ApplyGammaMatrix(engine, chunk, t256, t512, matrix, count);
    // The adjustments leave the first and the last grid point as they are.
    const uint32_t from = std::max(first, 1u);
    const uint32_t to = std::min(first + count, n - 1);
    if (n > 2 && from < to) {
      ApplyColorAdjustment(record, to - from, chunk + 4 * (from - first), chunk + 4 * (from - first));
    }
    LookUpPoints(grid, engine->layout, count, chunk, fresh.data() + uint64_t{first} * ch, path);
  }
  if (tagged_era && lut->tone_table != nullptr) {
    status = RebuildToneTable(engine, &copy, record);
    if (status == kStatusDropToneTable) {
      status = ReleaseToneTable(lut);
    } else if (status != kStatusOk) {
      status = kStatusLockFailed;
    }
    if (status != kStatusOk) {
      DeleteColorAdjustment(record);
      return status;
    }
  }
  status = DeleteColorAdjustment(record);
  if (status != kStatusOk) return status;
  return InstallBody(lut, &fresh);
}

}  // namespace tonvar::colour
