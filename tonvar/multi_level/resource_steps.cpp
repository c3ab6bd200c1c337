// The four resource steps of the multi-level engine: work block and colour cubes, dither
// matrix, interior dot tables, edge dot tables.
#include <algorithm>

#include "tonvar/common/byte_readers.h"
#include "tonvar/multi_level/diffusion_kernels.h"
#include "tonvar/multi_level/dot_table_range.h"
#include "tonvar/multi_level/multi_level_engine.h"

namespace tonvar::multi_level {
namespace {

constexpr uint32_t kMethodDiffusion = 1;
constexpr uint32_t kMethodDither = 3;
constexpr uint32_t kEdgeRight = 1, kEdgeLeft = 2, kEdgeBottom = 4, kEdgeTop = 8;
constexpr uint32_t kEdgeUnitScaled = 0;  // widths scaled to dots by the resolution / 25
constexpr uint32_t kEdgeUnitDots = 16;
constexpr int kErrorRows = 16;
constexpr uint64_t kErrorMargin = 4 * uint64_t{kErrorMarginWords};  // left of every error row

// Matrix resource asked for by resolution class 0 to 3.
constexpr ResourceId kMatrixIds[4] = {701, 704, 702, 703};

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, -kNoBottom, kNoBottom));
}
int64_t UpToEven(int64_t v) { return v + (v & 1); }

void ClearEdgesAndZones(MultiLevelState* s) {
  s->edge_top = s->edge_bottom = s->edge_right = s->edge_left = 0;
  s->blend_top = s->blend_bottom = s->blend_right = s->blend_left = 0;
  const int32_t no_edge[6] = {0, 0, 0, kNoBottom, kNoBottom, kNoBottom};
  std::copy(no_edge, no_edge + 6, s->row_bounds);
  std::copy(no_edge, no_edge + 6, s->row_bounds_used);
}

EngineStatus StepCubes(MultiLevelEngine* engine, ResourceId* next_id) {
  EngineStatus status = AllocMultiLevelState(engine);
  if (status != kStatusOk) return status;
  MultiLevelState* s = engine->state;
  const RasterJob& job = engine->job;
  s->ratio_class = ResolutionClass(job.resolution_x_dpi, job.resolution_y_dpi);
  if (s->ratio_class == 5) return kStatusBadResource;
  s->ink_count = InkCountOf(job.ink_set);
  if (s->ink_count < 0) return kStatusBadResource;
  // Both tables must fit the cube and pack alike.
  for (uint32_t t = 0; t < engine->table_count; ++t) {
    status = CheckCubeSource(engine->tables[t], s->ink_count);
    if (status != kStatusOk) return status;
  }
  if (engine->table_count == 2 && engine->tables[1].channel_count != engine->tables[0].channel_count) {
    return kStatusBadResource;
  }
  for (uint32_t t = 0; t < engine->table_count; ++t) {
    status = BuildColorCube(engine, static_cast<int>(t));
    if (status != kStatusOk) return status;
  }
  if (engine->table_count == 1) engine->tables[1] = engine->tables[0];
  const uint32_t channels = engine->tables[0].channel_count;
  for (uint32_t t = 0; t < engine->table_count; ++t) PackCube(s->cubes[t], channels, s->ink_count);
  BuildToneRamp(engine->tables[0].grid[0], s->tone_ramp);
  BuildDiffusionThresholds(s->ratio_class, job.bits_per_dot, &s->diffusion_thresholds);
  if (s->ratio_class == 4) return kStatusBadResource;
  *next_id = kMatrixIds[s->ratio_class];
  return kStatusOk;
}

EngineStatus StepMatrix(MultiLevelEngine* engine, ResourceBytes resource, ResourceId* next_id) {
  MultiLevelState* s = engine->state;
  const EngineStatus status = ReadMatrixBlock(engine, resource);
  if (status != kStatusOk) return status;
  const int32_t id = GetDotTableId(engine->tables[0]);
  if (id >= 0) {
    *next_id = static_cast<ResourceId>(id);
    return kStatusOk;
  }
  if (engine->job.bits_per_dot == 2) return kStatusBadResource;
  // One bit per dot without dot tables: the identity for every ink slot.
  for (int slot = 0; slot < kNinthSlot; ++slot) {
    DotTable& table = s->dot_tables[slot].set[kInteriorSet];
    for (uint32_t v = 0; v < kDotLevels; ++v) table.level[v][0] = table.level[v][1] = table.level[v][2] = v;
  }
  ClearEdgesAndZones(s);
  *next_id = kNoMoreResources;
  return kStatusOk;
}

EngineStatus StepInteriorTables(MultiLevelEngine* engine, ResourceBytes resource, ResourceId* next_id) {
  MultiLevelState* s = engine->state;
  const RasterJob& job = engine->job;
  EngineStatus status = ReadDotCurveBlock(resource, kInteriorSet, s->shared_dot_tables, s->dot_tables,
                                          job.ink_set, &s->ninth_set_used);
  if (status != kStatusOk) return status;
  status = ApplyInkCurves(s->dot_tables, engine->tables[0], job.ink_set, kInteriorSet, s->ninth_set_used);
  if (status != kStatusOk) return status;
  if (!DotTablesInRange(s->dot_tables, kInteriorSet)) return kStatusBadResource;
  ClearEdgesAndZones(s);
  if (job.edge_mask == 0) {
    *next_id = kNoMoreResources;
    return kStatusOk;
  }
  if (job.bits_per_dot == 1) return kStatusBadResource;
  // A negative edge-table id would read as the end marker with the edges still missing.
  if (engine->tables[0].bsmb_id < 0) return kStatusBadResource;
  *next_id = static_cast<ResourceId>(engine->tables[0].bsmb_id);
  return kStatusOk;
}

// Edge widths, and the transition widths beside them, of one edge.
struct EdgeShape {
  uint32_t bit;
  int32_t* job_width;
  int32_t* transition;
  uint32_t resolution;
  int32_t* edge;
  int32_t* blend;
};

EngineStatus StepEdgeTables(MultiLevelEngine* engine, ResourceBytes resource, ResourceId* next_id) {
  MultiLevelState* s = engine->state;
  RasterJob& job = engine->job;
  LutDescriptor& table = engine->tables[0];
  const uint32_t ninth_before = s->ninth_set_used;
  EngineStatus status = ReadDotCurveBlock(resource, kEdgeSet, s->shared_dot_tables, s->dot_tables,
                                          job.ink_set, &s->ninth_set_used);
  if (status != kStatusOk) return status;
  if (ninth_before == 1 && s->ninth_set_used != 1) return kStatusBadResource;
  status = ApplyInkCurves(s->dot_tables, table, job.ink_set, kEdgeSet, s->ninth_set_used);
  if (status != kStatusOk) return status;
  if (!DotTablesInRange(s->dot_tables, kEdgeSet)) return kStatusBadResource;

  // CheckEdgeMask, in the order right, left, bottom, top.
  if (job.edge_mask == 0 || job.edge_mask > 15) return kStatusBadArgument;
  EdgeShape edges[4] = {
      {kEdgeRight, &job.edge_right, &table.right, job.resolution_x_dpi, &s->edge_right, &s->blend_right},
      {kEdgeLeft, &job.edge_left, &table.left, job.resolution_x_dpi, &s->edge_left, &s->blend_left},
      {kEdgeBottom, &job.edge_bottom, &table.lower, job.resolution_y_dpi, &s->edge_bottom, &s->blend_bottom},
      {kEdgeTop, &job.edge_top, &table.upper, job.resolution_y_dpi, &s->edge_top, &s->blend_top},
  };
  for (EdgeShape& e : edges) {
    if ((job.edge_mask & e.bit) == 0) {
      *e.job_width = *e.transition = 0;
    } else if (*e.job_width < 0 || *e.transition < 0) {
      return kStatusBadResource;
    }
  }
  const int64_t height = (job.edge_mask & kEdgeBottom) != 0
                             ? std::min<int64_t>(job.height_lines, kNoBottom)
                             : kNoBottom;
  s->height = static_cast<int32_t>(height);
  if (job.edge_unit != kEdgeUnitScaled && job.edge_unit != kEdgeUnitDots) return kStatusBadResource;
  int64_t edge[4], blend[4];
  for (int k = 0; k < 4; ++k) {
    const EdgeShape& e = edges[k];
    const bool on = (job.edge_mask & e.bit) != 0;
    int64_t w = on ? *e.job_width : 0;
    if (job.edge_unit == kEdgeUnitScaled) w = w * e.resolution / 25;
    edge[k] = UpToEven(w);
    blend[k] = on ? UpToEven(*e.transition) : 0;
    *e.edge = Clamp32(edge[k]);
    *e.blend = Clamp32(blend[k]);
  }
  if (int64_t{job.width_pixels} < edge[0] + edge[1]) return kStatusBadArgument;
  if (height < edge[2] + edge[3]) return kStatusBadArgument;

  // SetupVerticalZones.
  const int64_t b = UpToEven(height);
  const int64_t bounds[6] = {0, edge[3], edge[3] + blend[3], b - edge[2] - blend[2], b - edge[2], b};
  for (int k = 0; k < 6; ++k) s->row_bounds[k] = s->row_bounds_used[k] = Clamp32(bounds[k]);
  if (s->row_bounds_used[3] < s->row_bounds_used[2]) {
    const int64_t middle = UpToEven((int64_t{s->row_bounds_used[2]} + s->row_bounds_used[3]) / 2);
    s->row_bounds_used[2] = s->row_bounds_used[3] = Clamp32(middle);
  }
  *next_id = kNoMoreResources;
  return kStatusOk;
}

}  // namespace

uint32_t ResolutionClass(uint32_t h, uint32_t v) {
  const uint64_t h64 = h, v64 = v;
  if (h64 == v64) return 0;
  if (h64 == 2 * v64) return 2;
  if (h64 == 4 * v64) return 3;
  if (2 * h64 == v64) return 1;
  if (h64 == 3 * v64) return 4;
  return 5;
}

int32_t InkCountOf(uint32_t ink_set) {
  switch (ink_set) {
    case 1:
    case 5: return 4;
    case 3: return 6;
    case 4:
    case 6:
    case 7: return 7;
    case 9: return 8;
    default: return -1;
  }
}

int32_t GetDotTableId(const LutDescriptor& table) {
  if (table.dot_curve_id >= 0) return table.dot_curve_id;
  const uint8_t* block = table.screening_block;
  if (block == nullptr) return -1;
  // The block's own size must cover the version and the identifier the version names.
  const uint32_t size = common::ReadDword(block);
  if (size < 6) return -1;
  const uint32_t version = common::GetWord(block + 4);
  uint32_t at;
  if (version == 1 && size >= 8) {
    at = 6;
  } else if (version == 2 && size >= 18) {
    at = 16;
  } else if (version == 3 && size >= 22) {
    at = 20;
  } else {
    return -1;
  }
  return static_cast<int16_t>(common::GetWord(block + at));
}

EngineStatus AllocMultiLevelState(MultiLevelEngine* engine) {
  EngineStatus status = AllocEngineBuffer(&engine->buffers[kStateBuffer], sizeof(MultiLevelState), 1);
  if (status != kStatusOk) return status;
  MultiLevelState* s = reinterpret_cast<MultiLevelState*>(engine->buffers[kStateBuffer].data);
  engine->state = s;
  s->simd_path = engine->simd_path;

  status = AllocEngineBuffer(&engine->buffers[kCubeBuffer], engine->table_count * kCubeBytes, 1);
  if (status != kStatusOk) return status;
  uint8_t* cubes = engine->buffers[kCubeBuffer].data;
  s->cubes[0] = cubes;
  s->cubes[1] = engine->table_count == 2 ? cubes + kCubeBytes : cubes;

  const uint64_t w = engine->job.width_pixels;
  const uint64_t row_words = ((w + 60) & ~uint64_t{3}) + 4;
  static_assert(60 - 3 + 4 >= kErrorRowExtraWords, "every error row reaches past the kernels' spread");
  status = AllocEngineBuffer(&engine->buffers[kErrorBuffer], kErrorRows * row_words * 4, 1);
  if (status != kStatusOk) return status;
  uint8_t* errors = engine->buffers[kErrorBuffer].data;
  s->error_block_size = static_cast<uint32_t>(kErrorRows * row_words * 4);
  s->error_block = reinterpret_cast<int32_t*>(errors);
  for (int k = 0; k < kMaxInks; ++k) {
    s->error_rows0[k] = reinterpret_cast<int32_t*>(errors + kErrorMargin + (2 * k) * row_words * 4);
    s->error_rows1[k] = reinterpret_cast<int32_t*>(errors + kErrorMargin + (2 * k + 1) * row_words * 4);
  }

  const uint64_t flat = ((w / 8 + 1) & ~uint64_t{3}) + 4;
  const uint64_t plane = ((2 * w) & ~uint64_t{3}) + 4;
  status = AllocEngineBuffer(&engine->buffers[kCellBuffer], flat + kMaxInks * plane, 1);
  if (status != kStatusOk) return status;
  uint8_t* cells = engine->buffers[kCellBuffer].data;
  s->flat_cells = cells;
  for (int k = 0; k < kMaxInks; ++k) s->cell_planes[k] = cells + flat + k * plane;
  return kStatusOk;
}

EngineStatus StepMultiLevelResource(MultiLevelEngine* engine, ResourceBytes resource,
                                    ResourceId* next_id) {
  const RasterJob& job = engine->job;
  if ((job.method != kMethodDither && job.method != kMethodDiffusion) ||
      (job.bits_per_dot != 1 && job.bits_per_dot != 2)) {
    return kStatusBadArgument;
  }
  ++engine->step;
  // After the end marker nothing more is taken: the tables stay as they were completed.
  if (engine->ready != 0) return kStatusBadResource;
  switch (engine->step) {
    case 1:
      return StepCubes(engine, next_id);
    case 2:
    case 3:
    case 4:
      // A step 1 that failed before its work block existed leaves nothing to fill.
      if (engine->state == nullptr) return kStatusBadArgument;
      if (engine->step == 2) return StepMatrix(engine, resource, next_id);
      if (engine->step == 3) return StepInteriorTables(engine, resource, next_id);
      return StepEdgeTables(engine, resource, next_id);
    default:
      return kStatusBadResource;
  }
}

}  // namespace tonvar::multi_level
