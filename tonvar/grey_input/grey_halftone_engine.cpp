// Creation, the call check, the Halftone entry and deletion of the grey-input engine.
#include "tonvar/grey_input/grey_halftone_engine.h"

#include <cstring>

#include "tonvar/common/scoped_block.h"

namespace tonvar::grey_input {
namespace {

constexpr uint32_t kGreyInkSet = 9;
constexpr uint32_t kNoClass = 0xFFFFFFFF;

// Replication codes with an input pattern, and what each asks of the span's start.
bool ReplicationFits(int32_t code, int32_t x_start, int32_t first_bit, uint32_t bits) {
  switch (code) {
    case 0:
      return true;
    case 1:
      return x_start % 2 == 0 && first_bit % 2 == 0;
    case 3:
      return x_start % 4 == 0 && (first_bit == 0 || (bits == 1 && first_bit == 4));
    case 7:
      return x_start % 8 == 0 && first_bit == 0;
    case 15:
      return x_start % 16 == 0 && first_bit == 0;
    default:
      return false;
  }
}

bool LineDriverExists(uint32_t bits, uint32_t ratio_class, uint32_t method) {
  if (bits == 1) return ratio_class == 1 || (ratio_class == 0 && method == 3);
  if (bits == 2) return ratio_class <= 2;
  return false;
}

}  // namespace

uint32_t RatioClassOf(uint32_t h, uint32_t v) {
  if (h == v) return 0;
  if (h == 2 * v) return 1;
  if (h == 4 * v) return 2;
  if (2 * h == v) return 3;
  return kNoClass;
}

EngineStatus CreateGreyHalftoneEngine(const GreyHalftoneArgs& args, const GreyLut& lut,
                                      GreyHalftoneEngine** engine_out) {
  // The class is settled first: a refused job leaves nothing allocated.
  const uint32_t ratio_class = RatioClassOf(args.h_res, args.v_res);
  if (ratio_class == kNoClass) return kStatusBadResource;
  common::ScopedBlock block;
  const EngineStatus allocated = block.Allocate(sizeof(GreyHalftoneEngine), true);
  if (allocated != kStatusOk) return allocated;
  auto* engine = block.data<GreyHalftoneEngine>();
  engine->args = args;
  engine->ink_table = &lut.table.packed;
  std::memcpy(&engine->handover, &lut.handover, sizeof(GreyHandover));
  engine->ratio_class = ratio_class;
  engine->simd_path = halftone_lines::ChooseSimdPath();
  engine->step = 0;
  engine->allocation = block.Detach();
  *engine_out = engine;
  return kStatusOk;
}

EngineStatus GreyHalftoneNew(const EngineCreateArgs& args, ResourceId* first_id, void** engine_out) {
  if (args.tables[1] != nullptr) return kStatusBadResource;
  const RasterJob& job = *args.job;
  if (job.channel_order == 0 || job.ink_set != kGreyInkSet) return kStatusBadArgument;
  if (job.bits_per_dot != 1 && job.bits_per_dot != 2) return kStatusBadArgument;
  GreyHalftoneArgs a{};
  a.h_res = job.resolution_x_dpi;
  a.v_res = job.resolution_y_dpi;
  a.method = job.method;
  a.bits_per_dot = job.bits_per_dot;
  a.channel_order = job.channel_order;
  a.ink_set = kGreyInkSet;
  a.width = job.width_pixels;
  a.height = job.height_lines;
  a.replication_code = job.replication;
  a.two_row_output = 0;
  const auto& lut = *static_cast<const GreyLut*>(args.tables[0]);
  GreyHalftoneEngine* engine = nullptr;
  const EngineStatus created = CreateGreyHalftoneEngine(a, lut, &engine);
  if (created != kStatusOk) return created;
  *engine_out = engine;
  *first_id = lut.first_halftone_id;
  return kStatusOk;
}

EngineStatus GreyHalftoneSetResource(void* raw, ResourceBytes resource, ResourceId* next_id) {
  auto* engine = static_cast<GreyHalftoneEngine*>(raw);
  if (engine == nullptr) return kStatusBadArgument;
  const EngineStatus status = StepGreyHalftoneResource(engine, resource, next_id);
  if (status != kStatusOk) {
    engine->step_failed = 1;
    engine->ready = 0;
  } else if (*next_id == kNoMoreResources && engine->step_failed == 0) {
    engine->ready = 1;
  }
  return status;
}

EngineStatus CheckGreyHalftoneCall(const GreyHalftoneEngine& engine) {
  const GreyCall& c = engine.call;
  if (engine.ink_count != kInks) return kStatusBadArgument;
  if (c.method != 1 && c.method != 3) return kStatusBadArgument;
  if (!ReplicationFits(c.replication, c.x_start, c.first_bit, c.bits)) return kStatusBadArgument;
  if (c.two_row_output > 1) return kStatusBadArgument;
  if (int64_t{c.width} < int64_t{c.x_start} + c.count) return kStatusBadArgument;
  if (!LineDriverExists(c.bits, engine.ratio_class, c.method)) return kStatusBadArgument;
  if (c.row_count != 1 && c.row_count != 2) return kStatusBadArgument;
  if (c.first_bit < 0 || c.first_bit >= static_cast<int32_t>(8 / c.bits)) return kStatusBadArgument;
  if (c.in_rows[0] == nullptr || (c.row_count == 2 && c.in_rows[1] == nullptr)) return kStatusBadArgument;
  if (c.out_rows[0] == nullptr || (c.row_count == 2 && c.out_rows[1] == nullptr)) return kStatusBadArgument;
  if (c.two_row_output == 1 && c.out_rows[1] == nullptr) return kStatusBadArgument;
  return kStatusOk;
}

EngineStatus GreyHalftone(void* raw, const HalftoneBand& band) {
  auto* engine = static_cast<GreyHalftoneEngine*>(raw);
  if (engine == nullptr || band.input_rows == nullptr || band.output_rows == nullptr) {
    return kStatusBadArgument;
  }
  // Tables, matrix and line buffers exist only once every resource was taken.
  if (engine->ready == 0) return kStatusBadArgument;
  GreyCall& c = engine->call;
  const GreyHalftoneArgs& a = engine->args;
  c.first_bit = static_cast<int32_t>(band.first_bit);
  c.count = static_cast<int32_t>(band.count);
  c.x_start = static_cast<int32_t>(band.x_start);
  c.x_end = static_cast<int32_t>(static_cast<int64_t>(c.x_start) + c.count);
  c.width = static_cast<int32_t>(a.width);
  c.height = a.height;
  c.replication = static_cast<int32_t>(a.replication_code);
  c.two_row_output = a.two_row_output;
  c.method = a.method;
  c.row_count = band.row_count;
  c.channel_order = a.channel_order;
  c.plane_stride = static_cast<int32_t>(band.plane_stride);
  c.previous_line = c.line;
  c.out_rows = band.output_rows;
  c.bits = a.bits_per_dot;
  c.line = static_cast<int32_t>(band.line_number);
  c.in_rows[0] = band.input_rows[0];
  c.in_rows[1] = band.row_count == 2 ? band.input_rows[1] : band.input_rows[0];
  const EngineStatus checked = CheckGreyHalftoneCall(*engine);
  if (checked != kStatusOk) return checked;
  if (c.count == 0) return kStatusOk;  // nothing to do, and nothing is written
  return c.bits == 1 ? GreyLine1Bit(engine) : GreyLine2Bit(engine);
}

EngineStatus GreyHalftoneDelete(void** raw) {
  auto* engine = static_cast<GreyHalftoneEngine*>(*raw);
  if (engine == nullptr) return kStatusOk;
  *raw = nullptr;
  const EngineStatus buffers = halftone_lines::FreeEngineBuffers(engine->buffers, kEngineBuffers);
  common::MemHandle self = engine->allocation;
  const EngineStatus released = common::ReleaseBlock(&self);
  return buffers != kStatusOk ? buffers : released;
}

}  // namespace tonvar::grey_input
