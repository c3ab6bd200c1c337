// Grey colour-matching engine: creation, the five resource steps, the options, the final
// scaling and packing of the table, the GreyLut hand-out and deletion.
#include "tonvar/grey/grey_engine.h"

#include <algorithm>
#include <cstring>

#include "tonvar/common/byte_readers.h"
#include "tonvar/common/resource_view.h"
#include "tonvar/common/scoped_block.h"
#include "tonvar/grey/engine_operations.h"

namespace tonvar::grey {
namespace {

constexpr int32_t kGreyInkSet = 9;
constexpr int32_t kMaxTint = 75;
constexpr int32_t kAdjustmentLimit = 25;
constexpr int32_t kLiftLimit = -50;

EngineStatus ReadGreyOptions(CmGreyEngine* engine, ResourceId* next_id) {
  GreyHandover* handover = &engine->lut.handover;
  handover->list_flag = 0;
  engine->table_scale = kTableScaleUnit;
  *next_id = kNoMoreResources;
  if (engine->options == nullptr) return kStatusOk;

  if (const uint8_t* scale = FindGreyOption(engine->options, kOptionTableScale)) {
    engine->table_scale = static_cast<int32_t>(common::ReadDword(scale));
    if (engine->table_scale < kTableScaleMin) return kStatusBadArgument;
  }
  if (engine->table_scale > kTableScaleMax) return kStatusBadArgument;

  if (const uint8_t* list = FindGreyOption(engine->options, kOptionHandover)) {
    const uint32_t n = list[1];
    if (n < 1 || n > kHandoverMaxValues) return kStatusBadResource;
    handover->value_count = n - 1;
    bool any = false;
    for (uint32_t i = 0; i + 1 < n; ++i) {
      handover->values[i] = list[3 + i];
      any = any || list[3 + i] != 0;
    }
    handover->ink_set = static_cast<uint32_t>(engine->job.ink_set);
    std::memcpy(handover->ink_set_name, engine->header.ink_set_name, sizeof handover->ink_set_name);
    std::memcpy(handover->micro_name, engine->header.micro_name, sizeof handover->micro_name);
    handover->list_flag = any ? 1 : 0;
    return kStatusOk;
  }
  if (const uint8_t* cw = FindGreyOption(engine->options, kOptionCwList)) {
    const EngineStatus parsed = ParseGreyCwList(cw, &engine->cw);
    if (parsed != kStatusOk) return parsed;
    *next_id = kMarkupId;
  }
  return kStatusOk;
}

// The amounts in 1/1024 of the table scale, capped at the packed table's full scale.
void ScaleGreyTable(GreyLut* lut, int32_t scale) {
  const int32_t count = TableLevels(*lut) * TableInks(*lut);
  for (int32_t i = 0; i < count; ++i) {
    const int64_t v = (int64_t{lut->table.amounts[i]} * scale + 512) / 1024;
    lut->table.amounts[i] = static_cast<uint16_t>(std::min<int64_t>(v, kGreyFullScale));
  }
}

EngineStatus StepChunkContainer(CmGreyEngine* engine, common::ResourceBytes resource,
                                ResourceId* next_id) {
  EngineStatus status = ReadGreyChunks(resource, &engine->lut, &engine->has_ink_limit);
  if (status == kStatusOk) status = ReadGreyOptions(engine, next_id);
  if (status == kStatusOk) status = BuildGreyTable(engine);
  return status;
}

EngineStatus StepDotCurves(CmGreyEngine* engine, common::ResourceBytes resource) {
  return common::ReadDotCurveBlock(resource, static_cast<uint32_t>(engine->job.ink_set),
                                   &engine->dot_tables, engine->weights);
}

EngineStatus StepCorrection(CmGreyEngine* engine, common::ResourceBytes resource) {
  const common::ResourceView r(resource);
  if (!r.Matches(0, "tgvm", 4)) return kStatusBadResource;
  return ApplyGreyRankCorrection(engine, resource);
}

EngineStatus RunStep(CmGreyEngine* engine, common::ResourceBytes resource, ResourceId* next_id) {
  switch (engine->step) {
    case 1: {
      const EngineStatus status = ReadCmGreyHeader(resource, engine);
      if (status != kStatusOk) return status;
      ResetGreyHandover(&engine->lut.handover, engine->header.ink_id);
      *next_id = engine->header.cmm_id;
      return kStatusOk;
    }
    case 2:
      return StepChunkContainer(engine, resource, next_id);
    case 3: {
      const EngineStatus status = ReadGreyIcData(resource, engine);
      if (status == kStatusOk) *next_id = engine->header.smb_id;
      return status;
    }
    case 4: {
      const EngineStatus status = StepDotCurves(engine, resource);
      if (status == kStatusOk) *next_id = engine->header.ink_id;
      return status;
    }
    default: {
      const EngineStatus status = StepCorrection(engine, resource);
      if (status == kStatusOk) *next_id = kNoMoreResources;
      return status;
    }
  }
}

}  // namespace

const uint8_t* FindGreyOption(const uint8_t* list, uint32_t id) {
  if (list == nullptr) return nullptr;
  const int32_t count = static_cast<int32_t>(common::ReadDword(list));
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t* entry = list + 4 + 8 * static_cast<size_t>(i);
    if (common::ReadDword(entry) == id) return entry + 4;
  }
  return nullptr;
}

EngineStatus CheckToneAdjustments(const ToneAdjustments& t) {
  const int64_t radius = int64_t{t.tint_a} * t.tint_a + int64_t{t.tint_b} * t.tint_b;
  if (t.gamma < 1 || radius > kMaxTint * kMaxTint) return kStatusBadArgument;
  if (t.scale_down != 0 && t.scale_down != 1) return kStatusBadArgument;
  if (t.lift > 0 || t.lift < kLiftLimit) return kStatusBadArgument;
  for (int32_t v : {t.high_end, t.low_end, t.mid, t.contrast}) {
    if (v < -kAdjustmentLimit || v > kAdjustmentLimit) return kStatusBadArgument;
  }
  return kStatusOk;
}

void ResetGreyHandover(GreyHandover* handover, uint32_t ink_id) {
  handover->ink_resource_id = ink_id;
  std::memset(handover->values, 0xFF, sizeof handover->values);
  std::memset(handover->ink_codes, 0xFF, sizeof handover->ink_codes);
  std::memset(handover->value_table, 0xFF, sizeof handover->value_table);
}

EngineStatus PackGreyInkTable(GreyLut* lut) {
  if (lut->ink_count != static_cast<int32_t>(kGreyMaxInks)) return kStatusBadResource;
  int32_t columns[kGreyMaxInks];
  for (uint32_t k = 0; k < kGreyMaxInks; ++k) {
    columns[k] = InkColumn(*lut, static_cast<int32_t>(kPackedInkOrder[k]));
    if (columns[k] < 0) return kStatusBadResource;
  }
  const int32_t levels = TableLevels(*lut);
  for (int32_t i = 0; i < levels; ++i) {
    const uint16_t* row = lut->table.amounts + i * kGreyMaxInks;
    uint32_t halves[kGreyMaxInks];
    for (uint32_t k = 0; k < kGreyMaxInks; ++k) halves[k] = row[columns[k]];
    // The row's 16 bytes are the packed row's: read before they are written.
    PackedInkRow& packed = lut->table.packed.rows[i];
    for (int w = 0; w < 4; ++w) packed.words[w] = halves[2 * w] << 16 | halves[2 * w + 1];
  }
  return kStatusOk;
}

EngineStatus CmGreyNew(const EngineCreateArgs& args, ResourceId* first_id, void** engine) {
  if (first_id != nullptr) *first_id = 0;
  if (engine != nullptr) *engine = nullptr;
  if (args.params == nullptr || args.job == nullptr || first_id == nullptr || engine == nullptr) {
    return kStatusBadArgument;
  }
  const CmParams& params = *args.params;
  const RasterJob& job = *args.job;
  if (params.document_type != 7) return kStatusBadResource;
  if (params.tone_adjustments == nullptr || job.channel_order == 0 ||
      job.ink_set != static_cast<uint32_t>(kGreyInkSet) ||
      (job.bits_per_dot != 1 && job.bits_per_dot != 2)) {
    return kStatusBadArgument;
  }
  common::ScopedBlock block;
  const EngineStatus allocated = block.Allocate(sizeof(CmGreyEngine), true);
  if (allocated != kStatusOk) return allocated;
  auto* created = block.data<CmGreyEngine>();
  created->step = 1;
  created->document_type = params.document_type;
  created->media = params.media;
  created->sub_type = params.sub_type;
  std::memcpy(&created->tone, params.tone_adjustments, sizeof created->tone);
  created->options = reinterpret_cast<const uint8_t*>(params.options);
  created->job = {static_cast<int32_t>(job.resolution_x_dpi),
                  static_cast<int32_t>(job.resolution_y_dpi), static_cast<int32_t>(job.method),
                  static_cast<int32_t>(job.bits_per_dot), static_cast<int32_t>(job.ink_set)};
  const EngineStatus checked = CheckToneAdjustments(created->tone);
  if (checked != kStatusOk) return checked;  // the scope releases the block
  created->self = block.Detach();
  *engine = created;
  *first_id = kHeaderTableId;
  return kStatusOk;
}

EngineStatus CmGreySetResource(void* state, common::ResourceBytes resource, ResourceId* next_id) {
  if (state == nullptr || next_id == nullptr) return kStatusBadArgument;
  auto* engine = static_cast<CmGreyEngine*>(state);
  if (engine->step < 1 || engine->step > 5 || resource.data == nullptr) return kStatusBadResource;
  ResourceId next = kNoMoreResources;
  const EngineStatus status = RunStep(engine, resource, &next);
  if (status != kStatusOk) return status;  // the same step may be tried again
  *next_id = next;
  ++engine->step;
  if (next != kNoMoreResources) return kStatusOk;
  engine->step = kStepFinished;
  if (engine->table_scale != kTableScaleUnit) ScaleGreyTable(&engine->lut, engine->table_scale);
  return PackGreyInkTable(&engine->lut);
}

void* CmGreyGetLut(void* state) {
  if (state == nullptr) return nullptr;
  auto* engine = static_cast<CmGreyEngine*>(state);
  engine->lut.first_halftone_id = engine->header.smb_id;
  return &engine->lut;
}

EngineStatus CmGreyDelete(void** state) {
  if (state == nullptr || *state == nullptr) return kStatusOk;
  common::MemHandle self = static_cast<CmGreyEngine*>(*state)->self;
  *state = nullptr;
  return common::ReleaseBlock(&self);
}

}  // namespace tonvar::grey
