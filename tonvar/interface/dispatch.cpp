// The engine interface: handle blocks, the container reader around every resource step, and
// the dispatch to the colour-matching and halftoning engines.
#include "tonvar/interface/dispatch.h"

#include "tonvar/interface/engine_contract.h"
#include "tonvar/container/unpack_context.h"

namespace tonvar {
namespace {

constexpr int32_t kGreyDocumentType = 7;

// A zero-filled block for a handle, locked, recording its own allocation handle.
template <typename Handle>
EngineStatus AllocateHandle(Handle** handle) {
  common::MemHandle block = nullptr;
  void* data = nullptr;
  const EngineStatus allocated = common::AllocBlock(sizeof(Handle), 1, &block, &data);
  if (allocated != kStatusOk) return allocated;
  *handle = static_cast<Handle*>(data);
  (*handle)->self = block;
  return kStatusOk;
}

// Releases a handle block after a failed creation; its own statuses give way to the engine's.
void DiscardHandle(common::MemHandle self) {
  if (common::MemUnlock(self) == 0) common::MemFree(self);
}

using EngineStep = EngineStatus (*)(void* handle, common::ResourceBytes resource, ResourceId* next_id);

// Unwraps the resource, runs one engine step on it, frees the unpacking context.
EngineStatus RunResourceStep(void* handle, const uint8_t* resource, ResourceId* next_id,
                             EngineStep step) {
  container::UnpackContext* context = nullptr;
  const EngineStatus created = container::NewUnpackContext(&context);
  if (created != kStatusOk) return created;
  common::ResourceBytes unwrapped{};
  const EngineStatus unwrap = container::UnwrapResource(context, common::ResourceBytes{resource, common::kUnboundedSize},
                                             &unwrapped);
  if (unwrap != kStatusOk) {
    container::DeleteUnpackContext(context);
    return unwrap;
  }
  const EngineStatus stepped = step(handle, unwrapped, next_id);
  const EngineStatus deleted = container::DeleteUnpackContext(context);
  return stepped != kStatusOk ? stepped : deleted;
}

EngineStatus StepCmEngine(void* raw, common::ResourceBytes resource, ResourceId* next_id) {
  auto* handle = static_cast<CmHandle*>(raw);
  // The engines write the next id unconditionally: a missing out-argument is refused here.
  if (handle == nullptr || next_id == nullptr) return kStatusBadArgument;
  if (handle->lut.table_kind == kTableGrey) return CmGreySetResource(handle, resource, next_id);
  return CmColorSetResource(handle, resource, next_id);
}

EngineStatus StepHalftoneEngine(void* raw, common::ResourceBytes resource, ResourceId* next_id) {
  auto* handle = static_cast<HalftoneHandle*>(raw);
  if (handle == nullptr || next_id == nullptr) return kStatusBadArgument;
  switch (handle->engine_kind) {
    case kEngineMultiLevel:
      return MultiLevelSetResource(handle->engine, resource, next_id);
    case kEngineGreyInput:
      return GreyHalftoneSetResource(handle->engine, resource, next_id);
    case kEngineScreen:
      return ScreenSetResource(handle->engine, resource, next_id);
  }
  return kStatusBadArgument;
}

}  // namespace

EngineStatus NewCmHandle(const CmParams* params, const RasterJob* job, uint64_t reserved,
                         ResourceId* first_id, CmHandle** out_handle) {
  // The out-handle is cleared before anything can fail: a caller may test or delete it after
  // any failure. The engines read both records and write the first id, so those are required.
  if (out_handle == nullptr) return kStatusBadArgument;
  *out_handle = nullptr;
  if (params == nullptr || job == nullptr || first_id == nullptr) return kStatusBadArgument;
  CmHandle* handle = nullptr;
  const EngineStatus allocated = AllocateHandle(&handle);
  if (allocated != kStatusOk) return allocated;

  EngineStatus status;
  if (params->document_type == kGreyDocumentType) {
    handle->lut.table_kind = kTableGrey;
    status = CmGreyNew(params, job, reserved, first_id, handle);
  } else {
    handle->lut.table_kind = kTableColour;
    status = CmColorNew(params, job, reserved, first_id, handle);
  }
  if (status != kStatusOk) {
    DiscardHandle(handle->self);
    return status;
  }
  *out_handle = handle;
  return kStatusOk;
}

EngineStatus ApplyCmResource(CmHandle* handle, const uint8_t* resource, ResourceId* next_id) {
  return RunResourceStep(handle, resource, next_id, &StepCmEngine);
}

CmLutInfo* GetCmLutInfo(CmHandle* handle) {
  if (handle == nullptr) return nullptr;
  handle->lut.table =
      handle->lut.table_kind == kTableGrey ? CmGreyGetLut(handle) : CmColorGetLut(handle);
  return &handle->lut;
}

EngineStatus DeleteCmHandle(CmHandle* handle) {
  if (handle == nullptr) return kStatusBadArgument;
  const EngineStatus engine =
      handle->lut.table_kind == kTableGrey ? CmGreyDelete(handle) : CmColorDelete(handle);
  common::MemHandle self = handle->self;
  if (engine != kStatusOk) {
    DiscardHandle(self);
    return engine;
  }
  if (common::MemUnlock(self) != 0) return kStatusUnlockFailed;
  return common::MemFree(self);  // 0, or 0xFFFFFFFF when the free failed
}

EngineStatus NewHalftoneHandle(const RasterJob* job, CmLutInfo* const* luts, uint64_t reserved,
                               ResourceId* first_id, HalftoneHandle** out_handle) {
  if (out_handle == nullptr || job == nullptr || first_id == nullptr || luts == nullptr ||
      luts[0] == nullptr) {
    return kStatusBadArgument;
  }
  // A colour table's engines would read a grey table as a colour table: only another colour
  // table may join one. The grey-input engine refuses any second table itself.
  if (luts[0]->table_kind != kTableGrey && luts[1] != nullptr &&
      luts[1]->table_kind != kTableColour) {
    return kStatusBadArgument;
  }
  HalftoneHandle* handle = nullptr;
  const EngineStatus allocated = AllocateHandle(&handle);
  if (allocated != kStatusOk) return allocated;

  const void* const tables[2] = {luts[0]->table, luts[1] != nullptr ? luts[1]->table : nullptr};
  EngineStatus status;
  if (luts[0]->table_kind == kTableGrey) {
    handle->engine_kind = kEngineGreyInput;
    status = GreyHalftoneNew(job, tables, reserved, first_id, &handle->engine);
  } else if (job->ink_set == 0 || job->ink_set == 5) {
    handle->engine_kind = kEngineScreen;
    status = ScreenNew(job, tables, reserved, first_id, &handle->engine);
  } else {
    handle->engine_kind = kEngineMultiLevel;
    status = MultiLevelNew(job, tables, reserved, first_id, &handle->engine);
  }
  if (status != kStatusOk) {
    DiscardHandle(handle->self);
    return status;
  }
  *out_handle = handle;
  return kStatusOk;
}

EngineStatus ApplyHalftoneResource(HalftoneHandle* handle, const uint8_t* resource,
                                   ResourceId* next_id) {
  return RunResourceStep(handle, resource, next_id, &StepHalftoneEngine);
}

EngineStatus RunHalftone(HalftoneHandle* handle, const HalftoneBand& band) {
  if (handle == nullptr) return kStatusBadArgument;
  switch (handle->engine_kind) {
    case kEngineMultiLevel:
      return MultiLevelHalftone(handle->engine, band);
    case kEngineGreyInput:
      return GreyHalftone(handle->engine, band);
    case kEngineScreen:
      return ScreenHalftone(handle->engine, band);
  }
  return kStatusBadArgument;
}

EngineStatus DeleteHalftoneHandle(HalftoneHandle* handle) {
  if (handle == nullptr) return kStatusBadArgument;
  EngineStatus status = kStatusBadArgument;
  switch (handle->engine_kind) {
    case kEngineMultiLevel:
      status = MultiLevelDelete(handle->engine);
      break;
    case kEngineGreyInput:
      status = GreyHalftoneDelete(handle->engine);
      break;
    case kEngineScreen:
      status = ScreenDelete(handle->engine);
      break;
  }
  common::MemHandle self = handle->self;
  if (common::MemUnlock(self) != 0) return status != kStatusOk ? status : kStatusUnlockFailed;
  if (common::MemFree(self) != 0) return status != kStatusOk ? status : kStatusFreeFailed;
  return status;
}

}  // namespace tonvar
