// The engine interface: handle blocks with their kind tags, the container reader around every
// resource step, and the dispatch through the engine table.
#include "tonvar/interface/dispatch.h"

#include "tonvar/common/scoped_block.h"
#include "tonvar/container/unpack_context.h"
#include "tonvar/interface/engine_table.h"

namespace tonvar {
namespace {

// The handle when it is a live handle of the expected kind, else null.
EngineHandle* Checked(EngineHandle* handle, HandleKind kind) {
  if (handle == nullptr || handle->kind != kind || handle->engine_id >= kEngineCount) return nullptr;
  return handle;
}

const EngineRow& RowOf(const EngineHandle* handle) {
  return EngineRowOf(static_cast<EngineId>(handle->engine_id));
}

// Creates the handle block and the engine of row `id` in it. The block stays with this scope
// until the engine accepts, so a refusal leaves nothing behind; *out is null unless it succeeds.
template <typename Handle>
EngineStatus CreateHandle(EngineId id, const EngineCreateArgs& args, ResourceId* first_id,
                          Handle** out) {
  *out = nullptr;
  common::ScopedBlock block;
  const EngineStatus allocated = block.Allocate(sizeof(Handle), true);
  if (allocated != kStatusOk) return allocated;
  auto* handle = block.data<Handle>();
  const EngineRow& row = EngineRowOf(id);
  handle->engine_id = id;
  handle->lut.table_kind = row.table_kind;
  const EngineStatus created = row.create(args, first_id, &handle->engine);
  if (created != kStatusOk) return created;  // the engine released its own blocks
  handle->kind = row.handle_kind;
  handle->self = block.Detach();
  *out = handle;
  return kStatusOk;
}

// Deletes the engine, then releases the handle block; the engine's failure comes first.
EngineStatus DeleteHandle(EngineHandle* handle) {
  const EngineStatus engine = RowOf(handle).destroy(&handle->engine);
  handle->kind = kHandleReleased;
  common::MemHandle self = handle->self;
  const EngineStatus released = common::ReleaseBlock(&self);
  return engine != kStatusOk ? engine : released;
}

// Unwraps the resource, runs the engine's step on it, frees the unpacking context. The
// handle's kind has been checked by the caller (null when it was wrong: the step refuses it).
EngineStatus RunResourceStep(EngineHandle* handle, const uint8_t* resource,
                             ResourceId* next_id) {
  container::UnpackContext* context = nullptr;
  const EngineStatus created = container::NewUnpackContext(&context);
  if (created != kStatusOk) return created;
  common::ResourceBytes unwrapped{};
  EngineStatus stepped = container::UnwrapResource(
      context, common::ResourceBytes{resource, common::kUnboundedSize}, &unwrapped);
  if (stepped == kStatusOk) {
    // The engines write the next id unconditionally: a missing out-argument is refused here.
    stepped = handle == nullptr || next_id == nullptr
                  ? kStatusBadArgument
                  : RowOf(handle).set_resource(handle->engine, unwrapped, next_id);
  }
  const EngineStatus deleted = container::DeleteUnpackContext(context);
  return stepped != kStatusOk ? stepped : deleted;
}

}  // namespace

EngineStatus NewCmHandle(const CmParams* params, const RasterJob* job, uint64_t reserved,
                         ResourceId* first_id, CmHandle** out_handle) {
  // The out-handle is cleared before anything can fail: a caller may test or delete it after
  // any failure. The engines read both records and write the first id, so those are required.
  if (out_handle == nullptr) return kStatusBadArgument;
  *out_handle = nullptr;
  if (params == nullptr || job == nullptr || first_id == nullptr) return kStatusBadArgument;
  EngineCreateArgs args;
  args.params = params;
  args.job = job;
  args.reserved = reserved;
  return CreateHandle(ChooseCmEngine(*params), args, first_id, out_handle);
}

EngineStatus ApplyCmResource(CmHandle* handle, const uint8_t* resource, ResourceId* next_id) {
  return RunResourceStep(Checked(handle, kHandleColourMatching), resource, next_id);
}

CmLutInfo* GetCmLutInfo(CmHandle* handle) {
  EngineHandle* checked = Checked(handle, kHandleColourMatching);
  if (checked == nullptr) return nullptr;
  checked->lut.table = RowOf(checked).get_table(checked->engine);
  return &checked->lut;
}

EngineStatus DeleteCmHandle(CmHandle* handle) {
  EngineHandle* checked = Checked(handle, kHandleColourMatching);
  if (checked == nullptr) return kStatusBadArgument;
  return DeleteHandle(checked);
}

EngineStatus NewHalftoneHandle(const RasterJob* job, CmLutInfo* const* luts, uint64_t reserved,
                               ResourceId* first_id, HalftoneHandle** out_handle) {
  // As CmNew: the out-handle is cleared before anything can fail.
  if (out_handle == nullptr) return kStatusBadArgument;
  *out_handle = nullptr;
  if (job == nullptr || first_id == nullptr || luts == nullptr || luts[0] == nullptr) {
    return kStatusBadArgument;
  }
  // A colour table's engines would read a grey table as a colour table: only another colour
  // table may join one. The grey-input engine refuses any second table itself.
  if (luts[0]->table_kind != kTableGrey && luts[1] != nullptr &&
      luts[1]->table_kind != kTableColour) {
    return kStatusBadArgument;
  }
  EngineCreateArgs args;
  args.job = job;
  args.tables[0] = luts[0]->table;
  args.tables[1] = luts[1] != nullptr ? luts[1]->table : nullptr;
  args.reserved = reserved;
  return CreateHandle(ChooseHalftoneEngine(*job, *luts[0]), args, first_id, out_handle);
}

EngineStatus ApplyHalftoneResource(HalftoneHandle* handle, const uint8_t* resource,
                                   ResourceId* next_id) {
  return RunResourceStep(Checked(handle, kHandleHalftoning), resource, next_id);
}

EngineStatus RunHalftone(HalftoneHandle* handle, const HalftoneBand& band) {
  EngineHandle* checked = Checked(handle, kHandleHalftoning);
  if (checked == nullptr) return kStatusBadArgument;
  return RowOf(checked).halftone(checked->engine, band);
}

EngineStatus DeleteHalftoneHandle(HalftoneHandle* handle) {
  EngineHandle* checked = Checked(handle, kHandleHalftoning);
  if (checked == nullptr) return kStatusBadArgument;
  return DeleteHandle(checked);
}

}  // namespace tonvar
