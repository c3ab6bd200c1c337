// Creation, resource calls and deletion of the multi-level engine.
#include "tonvar/multi_level/multi_level_engine.h"

#include "tonvar/common/scoped_block.h"

namespace tonvar::multi_level {
namespace {

constexpr uint32_t kRandomKey[4] = {0x123, 0x234, 0x345, 0x456};
constexpr int32_t kModeOneBit = 8;
constexpr int32_t kModeTwoBits = 7;

}  // namespace

EngineStatus MultiLevelNew(const EngineCreateArgs& args, ResourceId* first_id, void** engine_out) {
  const RasterJob& job = *args.job;
  if (job.channel_order == 0 || job.ink_set == 0 || job.ink_set == 5 ||
      (job.bits_per_dot != 1 && job.bits_per_dot != 2)) {
    return kStatusBadArgument;
  }
  common::ScopedBlock block;
  const EngineStatus allocated = block.Allocate(sizeof(MultiLevelEngine), true);
  if (allocated != kStatusOk) return allocated;
  auto* engine = block.data<MultiLevelEngine>();
  engine->job = job;
  engine->tables[0] = *static_cast<const LutDescriptor*>(args.tables[0]);
  engine->table_count = 1;
  if (args.tables[1] != nullptr) {
    engine->tables[1] = *static_cast<const LutDescriptor*>(args.tables[1]);
    engine->table_count = 2;
  }
  engine->mode = job.bits_per_dot == 1 ? kModeOneBit : kModeTwoBits;
  engine->simd_path = halftone_lines::ChooseSimdPath();
  engine->allocation = block.Detach();
  *engine_out = engine;
  *first_id = engine->tables[0].first_halftone_id;
  return kStatusOk;
}

EngineStatus MultiLevelSetResource(void* raw, ResourceBytes resource, ResourceId* next_id) {
  auto* engine = static_cast<MultiLevelEngine*>(raw);
  if (engine == nullptr) return kStatusBadArgument;
  const bool was_ready = engine->ready != 0;
  const EngineStatus status = StepMultiLevelResource(engine, resource, next_id);
  if (engine->state != nullptr && engine->step == 1) {
    common::RandomInitByArray(kRandomKey, 4, &engine->state->random);
  }
  if (!was_ready) {
    if (status != kStatusOk) {
      engine->step_failed = 1;
    } else if (*next_id == kNoMoreResources && engine->step_failed == 0) {
      engine->ready = 1;
    }
  }
  return status;
}

EngineStatus MultiLevelDelete(void** raw) {
  auto* engine = static_cast<MultiLevelEngine*>(*raw);
  if (engine == nullptr) return kStatusOk;
  *raw = nullptr;
  const EngineStatus buffers = halftone_lines::FreeEngineBuffers(engine->buffers, kMultiLevelBuffers);
  common::MemHandle self = engine->allocation;
  const EngineStatus released = common::ReleaseBlock(&self);
  return buffers != kStatusOk ? buffers : released;
}

}  // namespace tonvar::multi_level
