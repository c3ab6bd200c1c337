// Colour engine: creation, the resource step machine, the descriptor hand-out and deletion,
// behind the engine table's CmColor* operations.
#include "tonvar/colour/colour_engine.h"

#include <cstring>
#include <initializer_list>

#include "tonvar/colour/correction_engine.h"
#include "tonvar/colour/engine_operations.h"
#include "tonvar/colour/mode_table.h"
#include "tonvar/common/resource_view.h"
#include "tonvar/common/scoped_block.h"

namespace tonvar::colour {
namespace {

enum Step : uint32_t { kStepIdle = 0, kStepModeTable = 1, kStepTableA = 2, kStepTableB = 3,
                       kStepGammaMatrix = 4, kStepColourTable = 5, kStepCorrection = 6 };

// The resource after the mode table or a pre-transform: the first one the row names from
// `from` on, ending with the colour table.
ResourceId NextAfter(CmColorEngine* engine, uint32_t from) {
  if (from <= kStepTableB && engine->table_b_id != -1) {
    engine->step = kStepTableB;
    return static_cast<ResourceId>(engine->table_b_id);
  }
  if (from <= kStepGammaMatrix && engine->gamma_matrix_id != -1) {
    engine->step = kStepGammaMatrix;
    return static_cast<ResourceId>(engine->gamma_matrix_id);
  }
  engine->step = kStepColourTable;
  return static_cast<ResourceId>(engine->table_id);
}

EngineStatus StepModeTable(CmColorEngine* engine, common::ResourceBytes resource, ResourceId* next_id) {
  engine->step = kStepTableA;
  EngineStatus status = kStatusOk;
  const int32_t id = ChooseModeTableRow(engine, resource, &status);
  if (status != kStatusOk) return status;
  if (id == 0) return kStatusBadResource;
  engine->id_base = id / 1000 * 1000;
  const int32_t table_a = ChooseTableAId(engine);
  if (table_a != 0 && table_a != -1) {
    engine->step = kStepTableA;
    *next_id = static_cast<ResourceId>(table_a);
    return kStatusOk;
  }
  *next_id = NextAfter(engine, kStepTableB);
  return kStatusOk;
}

EngineStatus StepColourTable(CmColorEngine* engine, common::ResourceBytes resource, ResourceId* next_id) {
  engine->step = kStepCorrection;
  const common::ResourceView r(resource);
  if (!r.Has(0, 16)) return kStatusBadResource;
  EngineStatus status = r.U8(15) == kFormatTagged ? ReadTaggedColorTable(engine, resource)
                                                  : ReadFixedColorTable(engine, resource);
  if (status == kStatusOk) status = FinishColorTable(engine, next_id);
  // A step that ended before the rebuild leaves the body in the resource, which is the
  // caller's only during this call.
  const EngineStatus owned = OwnLutBody(engine);
  return status != kStatusOk ? status : owned;
}

// Everything the engine owns, for the checked release of deletion and the unchecked one of
// the failure paths, in the order of deletion.
void CollectBlocks(CmColorEngine* engine, common::MemHandle* blocks, int* count, int* descriptor_at) {
  LutDescriptor* lut = engine->lut;
  int n = 0;
  if (lut != nullptr) {
    blocks[n++] = lut->body_handle;
    if (lut->tone_table != nullptr) blocks[n++] = lut->tone_table->values_handle;
    blocks[n++] = lut->tone_table_handle;
    blocks[n++] = lut->ink_curves_handle;
    blocks[n++] = lut->screening_handle;
  }
  *descriptor_at = n;
  blocks[n++] = engine->lut_handle;
  if (engine->table_a != nullptr) blocks[n++] = engine->table_a->body_handle;
  if (engine->table_b != nullptr) blocks[n++] = engine->table_b->body_handle;
  blocks[n++] = engine->grey_axis_handle;
  if (engine->table_a != nullptr) blocks[n++] = engine->table_a->self;
  if (engine->table_b != nullptr) blocks[n++] = engine->table_b->self;
  blocks[n++] = engine->self;
  *count = n;
}

constexpr int kMaxEngineBlocks = 16;

EngineStatus CreateEngine(const CmParams* params, const RasterJob* job, CmColorEngine** out) {
  *out = nullptr;
  constexpr int kBlocks = 6;
  const uint64_t sizes[kBlocks] = {sizeof(CmColorEngine),     sizeof(LutDescriptor),
                                   sizeof(InkCurveSet),       sizeof(PreTransformTable),
                                   sizeof(PreTransformTable), sizeof(ToneTable)};
  // Each block stays with its scope until all are made: a failure releases those before it.
  common::ScopedBlock blocks[kBlocks];
  for (int i = 0; i < kBlocks; ++i) {
    const EngineStatus status = blocks[i].Allocate(sizes[i], true);
    if (status != kStatusOk) return status;
  }
  void* data[kBlocks];
  common::MemHandle handles[kBlocks];
  for (int i = 0; i < kBlocks; ++i) {
    data[i] = blocks[i].data<void>();
    handles[i] = blocks[i].Detach();
  }
  auto* engine = static_cast<CmColorEngine*>(data[0]);
  engine->self = handles[0];
  engine->lut = static_cast<LutDescriptor*>(data[1]);
  engine->lut_handle = handles[1];
  engine->lut->self = handles[1];
  engine->lut->ink_curves = static_cast<InkCurveSet*>(data[2]);
  engine->lut->ink_curves_handle = handles[2];
  engine->table_a = static_cast<PreTransformTable*>(data[3]);
  engine->table_a->self = handles[3];
  engine->table_b = static_cast<PreTransformTable*>(data[4]);
  engine->table_b->self = handles[4];
  engine->lut->tone_table = static_cast<ToneTable*>(data[5]);
  engine->lut->tone_table_handle = handles[5];
  engine->lut->tone_table->self = handles[5];

  engine->params = *params;
  engine->job = *job;
  if (engine->job.method == 0) {
    engine->job.method = 3;
    engine->params.document_type = 2;
  }
  int32_t mode = engine->params.document_type;
  if (engine->params.document_type == 2) mode = 4;
  if (engine->params.mode_modifier == 1) mode = 4;
  if (engine->params.mode_modifier == 4 || engine->job.channel_order == 0) {
    mode = 0;
    engine->params.document_type = 0;
  }
  engine->matching_mode = mode;
  engine->black_channel = -1;
  engine->table_a_id = engine->table_b_id = engine->gamma_matrix_id = -1;
  engine->layout = {4, {1, 2, 3}};
  std::memset(engine->lut->ink_ids, kLutNoInk, sizeof engine->lut->ink_ids);
  engine->step = kStepModeTable;
  *out = engine;
  return kStatusOk;
}

}  // namespace

const void* FindOption(uint32_t id, const CmOptionList* list) {
  if (list == nullptr) return nullptr;
  const CmOptionEntry* entries = list->Entries();
  for (int32_t i = 0; i < list->count; ++i) {
    if (entries[i].id == id) return entries[i].value;
  }
  return nullptr;
}

const void* FindParamOption(const CmParams* params, uint32_t id) {
  return params == nullptr ? nullptr : FindOption(id, params->options);
}

ModeTableJob MatchValues(const CmColorEngine* engine, int32_t mode) {
  ModeTableJob job{};
  job.method = static_cast<int32_t>(engine->job.method);
  job.mode = mode;
  job.media = engine->params.media;
  job.sub_type = engine->params.sub_type;
  job.h_res = engine->job.resolution_x_dpi;
  job.v_res = engine->job.resolution_y_dpi;
  job.bits_per_dot = engine->job.bits_per_dot;
  job.channel_order = engine->job.channel_order;
  return job;
}

int32_t ChooseModeTableRow(CmColorEngine* engine, common::ResourceBytes resource, EngineStatus* status) {
  ModeTableChoice choice;
  *status = ReadModeTable(resource, MatchValues(engine, engine->matching_mode), &choice);
  if (*status != kStatusOk) return 0;
  LutDescriptor* lut = engine->lut;
  engine->mode_table_version = choice.version;
  lut->mode_table_version = static_cast<uint16_t>(choice.version);
  engine->default_mono_mode = choice.default_mono_mode;
  std::memcpy(engine->table_a_offsets, choice.table_a_offsets, sizeof engine->table_a_offsets);
  if (choice.version < 500) {
    lut->dot_curve_id = -1;
    lut->second_value = 1;
  }
  if (!choice.matched) return 0;
  engine->table_id = choice.table_id;
  engine->first_halftone_id = choice.first_halftone_id;
  engine->table_a_id = choice.table_a_id;
  engine->table_b_id = choice.table_b_id;
  engine->gamma_matrix_id = choice.gamma_matrix_id;
  engine->correction_offset = choice.correction_offset;
  engine->dot_curve_id = choice.dot_curve_id;
  engine->second_value = choice.second_value;
  std::memcpy(engine->row_values, choice.row_values, sizeof engine->row_values);
  if (choice.ink_set_name[0] != 0) std::memcpy(engine->ink_set_name, choice.ink_set_name, 16);
  if (choice.micro_name[0] != 0) std::memcpy(engine->micro_name, choice.micro_name, 16);
  return choice.table_id;
}

int32_t ChooseTableAId(CmColorEngine* engine) {
  const void* use = FindParamOption(&engine->params, kOptionUseTableA);
  if (use == nullptr || *static_cast<const uint8_t*>(use) == 0 || engine->table_a_id == -1) {
    engine->table_a_id = -1;
    return 0;
  }
  const void* variant = FindParamOption(&engine->params, kOptionTableAVariant);
  int index = 1;
  if (variant != nullptr) {
    const uint8_t v = *static_cast<const uint8_t*>(variant);
    if (v == 2 || v == 3) index = v;
  }
  engine->table_a_id += engine->table_a_offsets[index];
  return engine->table_a_id;
}

EngineStatus FreePreTransformTables(CmColorEngine* engine) {
  EngineStatus status = kStatusOk;
  for (PreTransformTable* table : {engine->table_a, engine->table_b}) {
    if (table == nullptr) continue;
    const EngineStatus s = common::ReleaseBlock(&table->body_handle);
    table->body = nullptr;
    if (status == kStatusOk) status = s;
  }
  return status;
}

EngineStatus CmColorNew(const EngineCreateArgs& args, ResourceId* first_id, void** engine) {
  if (first_id != nullptr) *first_id = 0;
  if (engine != nullptr) *engine = nullptr;
  if (args.params == nullptr || args.job == nullptr || first_id == nullptr || engine == nullptr) {
    return kStatusBadArgument;
  }
  CmColorEngine* created = nullptr;
  const EngineStatus status = CreateEngine(args.params, args.job, &created);
  if (status != kStatusOk) return status;
  *engine = created;
  return kStatusOk;
}

EngineStatus CmColorSetResource(void* state, common::ResourceBytes resource, ResourceId* next_id) {
  if (state == nullptr || next_id == nullptr) return kStatusBadArgument;
  auto* engine = static_cast<CmColorEngine*>(state);
  if (resource.data == nullptr) return kStatusBadResource;
  EngineStatus status = kStatusOk;
  switch (engine->step) {
    case kStepIdle:
      *next_id = 0;
      engine->step = kStepModeTable;
      return kStatusOk;
    case kStepModeTable:
      return StepModeTable(engine, resource, next_id);
    case kStepTableA:
      status = ReadPreTransformTable(engine, resource, engine->table_a);
      if (status == kStatusOk) *next_id = NextAfter(engine, kStepTableB);
      return status;
    case kStepTableB:
      status = ReadPreTransformTable(engine, resource, engine->table_b);
      if (status == kStatusOk) *next_id = NextAfter(engine, kStepGammaMatrix);
      return status;
    case kStepGammaMatrix:
      status = ReadGammaMatrixBlock(engine, resource);
      if (status == kStatusOk) *next_id = NextAfter(engine, kStepColourTable);
      return status;
    case kStepColourTable:
      return StepColourTable(engine, resource, next_id);
    default:
      return StepCorrection(engine, resource, next_id);
  }
}

void* CmColorGetLut(void* state) {
  if (state == nullptr) return nullptr;
  auto* engine = static_cast<CmColorEngine*>(state);
  LutDescriptor* lut = engine->lut;
  lut->bsmb_id = engine->row_values[0];
  lut->upper = engine->row_values[1];
  lut->lower = engine->row_values[2];
  lut->left = engine->row_values[3];
  lut->right = engine->row_values[4];
  return lut;
}

EngineStatus CmColorDelete(void** state) {
  if (state == nullptr || *state == nullptr) return kStatusOk;
  auto* engine = static_cast<CmColorEngine*>(*state);
  *state = nullptr;
  common::MemHandle blocks[kMaxEngineBlocks];
  int count = 0;
  int descriptor_at = 0;
  CollectBlocks(engine, blocks, &count, &descriptor_at);
  EngineStatus status = kStatusOk;
  for (int i = 0; i < count; ++i) {
    const EngineStatus released = common::ReleaseBlock(&blocks[i]);
    if (status == kStatusOk) status = released;
    // The correction engine goes right after the descriptor.
    if (i == descriptor_at) {
      const EngineStatus deleted = DeleteCorrectionEngine(engine->correction);
      if (status == kStatusOk) status = deleted;
    }
  }
  return status;
}

}  // namespace tonvar::colour
