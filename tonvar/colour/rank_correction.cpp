// Rank correction: creation and deletion, the step machine, the ink map, the start of the
// reference block and the re-read of a header table.
#include "tonvar/colour/rank_correction.h"

#include <cstring>

#include "tonvar/colour/mode_table.h"
#include "tonvar/common/memory.h"
#include "tonvar/common/resource_view.h"
#include "tonvar/common/scoped_block.h"

namespace tonvar::colour {
namespace {

constexpr uint8_t kGroupEnd = 0xFE;
constexpr uint8_t kMapEnd = 0xFF;
constexpr uint32_t kMaxMapGroups = 256;
constexpr int32_t kHeaderTableOffset = 900;

struct Defaults {
  int32_t id_step, nc_range, lowest, upper, lower;
};

Defaults BinaryDefaults(uint8_t b0) {
  if (b0 == 2) return {1, 0, 32, 36, 0};
  if (b0 == 3) return {1, 0, 25, 50, 0};
  return {2, 3, 30, 20, 0};
}

bool IsBinaryReference(uint8_t b0) { return b0 < 10 || (b0 >= 30 && b0 <= 70); }

// A first byte of 30..70 is itself the first reference; below 10 it only chooses the defaults.
uint32_t BinaryReferenceFirst(uint8_t b0) { return b0 >= 30 ? 0 : 1; }

// One reference per colour-table channel; an eight-channel table has seven.
uint32_t BinaryReferenceCount(const RankCorrection* state) {
  const uint32_t r = state->lut->channel_count;
  return r == 8 ? 7 : r;
}

ResourceId IdOf(int32_t value) { return static_cast<ResourceId>(value); }

// What follows the reference block.
EngineStatus AfterReferences(RankCorrection* state, ResourceId* next_id) {
  const CmColorEngine* engine = state->engine;
  if (!state->color_cnv && state->references.count != state->lists.values_per_list) {
    state->step = kRankIdle;  // the references do not fit the printer's values: no correction
    return kStatusOk;
  }
  state->step = kRankHeaderTable;
  const bool table_rows = engine->mode_table_version >= 500;
  switch (state->mode) {
    case kRankDual:
    case kRankMode3:
    case kRankSmbRate:
      // These modes measure the inks on the row's dot-curve block: the row must name one.
      if (!table_rows || engine->dot_curve_id == -1) return kStatusBadResource;
      state->step = kRankDotCurves;
      *next_id = IdOf(engine->dot_curve_id);
      return kStatusOk;
    default:
      if (table_rows) {
        state->step = kRankCurves;
        *next_id = IdOf(engine->id_base + engine->correction_offset);
      } else {
        *next_id = IdOf(engine->id_base + kHeaderTableOffset);
      }
      return kStatusOk;
  }
}

}  // namespace

EngineStatus NewRankCorrection(CmColorEngine* engine, const CmParams* params, const RasterJob* job,
                               ResourceId* next_id, RankCorrection** out) {
  (void)job;
  *next_id = kNoMoreResources;
  *out = nullptr;
  common::ScopedBlock block;
  EngineStatus status = block.Allocate(sizeof(RankCorrection), true);
  if (status != kStatusOk) return status;
  auto* state = block.data<RankCorrection>();
  state->engine = engine;
  state->lut = engine->lut;
  state->mode = kRankSingle;
  for (uint32_t i = 0; i < kRankMaxInks; ++i) state->map[i] = static_cast<uint8_t>(i);
  const auto* option = static_cast<const uint8_t*>(FindParamOption(params, kOptionCwLists));
  if (option != nullptr && ParseCwLists(option, &state->lists)) {
    const uint32_t n = state->lists.values_per_list;
    common::ScopedBlock remap;
    status = remap.Allocate(uint64_t{n} * kRankLevels, false);
    if (status != kStatusOk) return status;
    // Channels that no rank reaches keep their levels.
    state->remap = remap.data();
    for (uint32_t c = 0; c < n; ++c) {
      for (uint32_t l = 0; l < kRankLevels; ++l) state->remap[c * kRankLevels + l] = static_cast<uint8_t>(l);
    }
    state->remap_handle = remap.Detach();
    state->step = kRankInkMap;
    *next_id = kInkMapId;
  }
  state->self = block.Detach();
  *out = state;
  return kStatusOk;
}

EngineStatus DeleteRankCorrection(RankCorrection* state) {
  if (state == nullptr) return kStatusOk;
  common::ReleaseBlock(&state->remap_handle);
  common::MemHandle self = state->self;
  common::ReleaseBlock(&self);
  return kStatusOk;
}

EngineStatus ReadInkMap(RankCorrection* state, common::ResourceBytes data) {
  const common::ResourceView r(data);
  for (uint32_t i = 0; i < kRankMaxInks; ++i) state->map[i] = static_cast<uint8_t>(i);
  uint64_t at = 0;
  for (uint32_t group = 0;; ++group) {
    if (!r.Has(at, 1)) return kStatusBadResource;
    const uint8_t code = r.U8(at++);
    if (code == kMapEnd) break;
    if (group == kMaxMapGroups) return kStatusBadResource;
    const bool ours = code == state->lists.code;
    uint32_t count = 0;
    for (;;) {
      if (!r.Has(at, 1)) return kStatusBadResource;
      const uint8_t b = r.U8(at++);
      if (b == kGroupEnd) break;
      // No group maps more positions than a list can hold.
      if (count == kRankMaxInks) return kStatusBadResource;
      if (ours) state->map[count] = b;
      ++count;
    }
  }
  for (uint32_t i = 0; i < state->lists.values_per_list; ++i) {
    if (state->map[i] >= state->lists.values_per_list) return kStatusBadResource;
  }
  return kStatusOk;
}

void ReadBinaryReferences(RankCorrection* state, common::ResourceBytes data) {
  const uint8_t b0 = data.data[0];
  const uint32_t r = BinaryReferenceCount(state);
  state->references.count = r;
  state->references.set_count = 1;
  const uint32_t first = BinaryReferenceFirst(b0);
  for (uint32_t i = 0; i < r && i < kRankMaxInks; ++i) state->references.values[0][i] = data.data[first + i];
  const Defaults d = BinaryDefaults(b0);
  state->id_step = d.id_step;
  state->nc_range = d.nc_range;
  state->lowest = d.lowest;
  state->upper = d.upper;
  state->lower = d.lower;
}

EngineStatus ReadRankBlockStart(RankCorrection* state, common::ResourceBytes data) {
  const common::ResourceView r(data);
  if (!r.Has(0, 1)) return kStatusBadResource;
  const uint8_t b0 = r.U8(0);
  if (IsBinaryReference(b0)) {
    if (!r.Has(0, uint64_t{BinaryReferenceFirst(b0)} + BinaryReferenceCount(state))) return kStatusBadResource;
    ReadBinaryReferences(state, data);
    const uint32_t n = state->lists.values_per_list;
    std::memcpy(state->value_sets.values[0], state->lists.values[0], n);
    state->value_sets.count = n;
    state->value_sets.set_count = 1;
    state->mode = kRankSingle;
  } else {
    if (!r.Matches(0, "zzzz", 4)) return kStatusBadResource;
    if (ReadIcDataBlock(state, data) != 1) return kStatusBadResource;
  }
  if (state->color_cnv && ApplyChannelPairs(state) != 1) return kStatusBadResource;
  // The rank of a level is its difference divided by the id step.
  if (state->id_step == 0) return kStatusBadResource;
  return kStatusOk;
}

EngineStatus ReadRankHeaderTable(ResourceId* next_id, const CmColorEngine* engine, common::ResourceBytes data) {
  *next_id = kNoMoreResources;
  ModeTableChoice choice;
  const EngineStatus status = ReadModeTable(data, MatchValues(engine, 0), &choice);
  if (status != kStatusOk) return status;
  if (!choice.matched || choice.table_id == 0) return kStatusBadResource;
  *next_id = IdOf(choice.table_id);
  return kStatusOk;
}

EngineStatus StepRankCorrection(RankCorrection* state, common::ResourceBytes data, ResourceId* next_id) {
  *next_id = kNoMoreResources;
  EngineStatus status = kStatusOk;
  switch (state->step) {
    case kRankIdle:
      return kStatusOk;
    case kRankInkMap:
      status = ReadInkMap(state, data);
      if (status != kStatusOk) return status;
      state->step = kRankReference;
      *next_id = kReferenceBlockId;
      return kStatusOk;
    case kRankReference:
      status = ReadRankBlockStart(state, data);
      if (status != kStatusOk) return status;
      return AfterReferences(state, next_id);
    case kRankHeaderTable:
      state->step = kRankCurves;
      return ReadRankHeaderTable(next_id, state->engine, data);
    case kRankDotCurves:
      status = ReadMeasuredValues(state, data);
      if (status != kStatusOk) return status;
      state->step = kRankCurves;
      *next_id = IdOf(state->engine->id_base + state->engine->correction_offset);
      return kStatusOk;
    default:
      status = ApplyRankCorrection(state->lut, data, state, state->mode);
      state->step = kRankIdle;
      return status;
  }
}

}  // namespace tonvar::colour
