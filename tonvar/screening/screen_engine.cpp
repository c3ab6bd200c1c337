// The screening engine's life: creation from the job and the colour tables, the dispatch of
// resource and halftone calls by method, and deletion with its buffers.
#include "tonvar/screening/screen_engine.h"

#include <cstring>

#include "tonvar/common/scoped_block.h"

namespace tonvar::screening {
namespace {

constexpr uint32_t kInkSetMono = 0;
constexpr uint32_t kInkSetFourInks = 5;
constexpr uint32_t kReplicatePairs = 0xFFFFFFFF;  // two input pixels make one output pixel
constexpr uint32_t kPairFormatWord = 0x300C8;

// The method for the bits per dot and ink set: 0 (no method; the engine is still created) for
// bits other than 1 and 2, false for four inks at 1 bit.
bool MethodFor(uint32_t bits_per_dot, uint32_t ink_set, uint32_t* method) {
  *method = 0;
  if (bits_per_dot == 2) *method = ink_set == kInkSetFourInks ? kMethodColour : kMethodMono;
  if (bits_per_dot == 1) {
    if (ink_set != kInkSetMono) return false;
    *method = kMethodMono;
  }
  return true;
}

// A halftone call reads the rows it is given: every row it will touch must be named.
bool RowsPresent(const HalftoneBand& band, uint32_t rows) {
  if (band.input_rows == nullptr || band.output_rows == nullptr) return false;
  for (uint32_t r = 0; r < rows; ++r) {
    if (band.input_rows[r] == nullptr || band.output_rows[r] == nullptr) return false;
  }
  return true;
}

bool SpanFits(const ScreenEngine& engine, const HalftoneBand& band) {
  return uint64_t{band.x_start} + band.count <= engine.stored_width;
}

// Ink plane 2 of a row pair: the dots of either row print in both.
void MergePlane2(const HalftoneBand& band) {
  if (band.count == 0) return;
  uint8_t* a = band.output_rows[0] + 2 * band.plane_stride;
  uint8_t* b = band.output_rows[1] + 2 * band.plane_stride;
  const uint64_t bytes = (uint64_t{band.first_bit} + band.count + 3) / 4;
  const uint8_t first_mask = static_cast<uint8_t>(0xFF >> (2 * band.first_bit));
  const uint8_t merged0 = static_cast<uint8_t>((a[0] | b[0]) & first_mask);
  a[0] = static_cast<uint8_t>((a[0] & ~first_mask) | merged0);
  b[0] = static_cast<uint8_t>((b[0] & ~first_mask) | merged0);
  for (uint64_t i = 1; i < bytes; ++i) a[i] = b[i] = static_cast<uint8_t>(a[i] | b[i]);
}

EngineStatus RunScreenColor(ScreenEngine* engine, const HalftoneBand& band) {
  const uint32_t ready = StepBit(1) | StepBit(2) | StepBit(3) | StepBit(4);
  const uint32_t rows = band.row_count == 2 ? 2 : 1;
  if ((engine->steps_done & ready) != ready || band.first_bit >= 4 || !RowsPresent(band, rows)) {
    return kStatusBadArgument;
  }
  engine->last_line = band.line_number;
  engine->last_end = band.x_start + band.count;
  EngineStatus status =
      ScreenColorLine(engine, band.input_rows[0], band.output_rows[0], band.plane_stride,
                      band.first_bit, band.count, band.x_start, band.line_number);
  if (status != kStatusOk || rows != 2) return status;
  status = ScreenColorLine(engine, band.input_rows[1], band.output_rows[1], band.plane_stride,
                           band.first_bit, band.count, band.x_start, band.line_number + 1);
  if (status == kStatusOk) MergePlane2(band);
  return status;
}

EngineStatus RunScreenMono(ScreenEngine* engine, const HalftoneBand& band) {
  if (!SpanFits(*engine, band)) return kStatusBadRegion;
  if (band.mode_word != 0) return kStatusBadModeWord;
  const MonoLine member =
      ChooseMonoLine(engine->job.bits_per_dot, engine->block_mode,
                     static_cast<int32_t>(engine->job.resolution_x_dpi),
                     static_cast<int32_t>(engine->job.resolution_y_dpi));
  if (member == MonoLine::kNone) return kStatusNoLineRoutine;
  // A sequence that ended early (no main block) or failed has no tables to diffuse with.
  const uint32_t ready = StepBit(1) | StepBit(2) | StepBit(3);
  const uint32_t positions = 8 / engine->job.bits_per_dot;
  if ((engine->steps_done & ready) != ready || band.first_bit >= positions ||
      !RowsPresent(band, band.row_count)) {
    return kStatusBadArgument;
  }
  for (uint32_t r = 0; r < band.row_count; ++r) {
    RunMonoLine(member, engine, band.input_rows[r], band.output_rows[r], band.first_bit,
                band.count, band.x_start, band.line_number + r);
  }
  return kStatusOk;
}

}  // namespace

EngineStatus ScreenNew(const EngineCreateArgs& args, ResourceId* first_id, void** engine_out) {
  const RasterJob* job = args.job;
  const void* const* tables = args.tables;
  if (args.reserved != 0) return kStatusBadReserved;
  if (job == nullptr) return kStatusBadJob;
  if (tables[0] == nullptr) return kStatusBadTable;
  if (job->method != 1 && job->method != 3) return kStatusBadJob;
  if (job->ink_set != kInkSetMono && job->ink_set != kInkSetFourInks) return kStatusBadJob;
  if (first_id == nullptr || engine_out == nullptr) return kStatusBadArgument;

  // The block goes again on every refusal below; a created engine records it itself.
  common::ScopedBlock block;
  const EngineStatus allocated = block.Allocate(sizeof(ScreenEngine), true);
  if (allocated != kStatusOk) return allocated;
  auto* engine = block.data<ScreenEngine>();
  engine->job = *job;

  if ((job->channel_order == 0) != (job->ink_set == kInkSetMono)) return kStatusBadJob;
  std::memcpy(&engine->luts[0], tables[0], sizeof(LutDescriptor));
  *first_id = engine->luts[0].first_halftone_id;
  engine->lut_count = 1;
  if (tables[1] != nullptr) {
    std::memcpy(&engine->luts[1], tables[1], sizeof(LutDescriptor));
    engine->lut_count = 2;
  }
  engine->stored_width = uint64_t{job->width_pixels} + 1;
  engine->job.width_pixels = job->width_pixels + 1;
  std::memset(engine->buffers, 0, sizeof engine->buffers);
  if (job->replication == kReplicatePairs && job->format_word != kPairFormatWord) return kStatusBadArgument;
  if (!MethodFor(job->bits_per_dot, job->ink_set, &engine->method)) return kStatusBadArgument;
  if (job->ink_set == kInkSetFourInks && (job->channel_order == 1 || job->channel_order == 3)) {
    return kStatusBadJob;
  }
  engine->allocation = block.Detach();
  *engine_out = engine;
  return kStatusOk;
}

EngineStatus ScreenSetResource(void* raw, common::ResourceBytes resource, ResourceId* next_id) {
  auto* engine = static_cast<ScreenEngine*>(raw);
  if (engine == nullptr || next_id == nullptr) return kStatusBadArgument;
  switch (engine->method) {
    case kMethodColour:
      return ScreenColorStep(engine, resource, next_id);
    case kMethodMono:
      return ScreenMonoStep(engine, resource, next_id);
  }
  return kStatusBadArgument;
}

EngineStatus ScreenHalftone(void* raw, const HalftoneBand& band) {
  auto* engine = static_cast<ScreenEngine*>(raw);
  if (engine == nullptr) return kStatusBadArgument;
  switch (engine->method) {
    case kMethodColour:
      return RunScreenColor(engine, band);
    case kMethodMono:
      return RunScreenMono(engine, band);
  }
  return kStatusBadArgument;
}

EngineStatus FreeScreenBuffers(ScreenEngine* engine) {
  return halftone_lines::FreeEngineBuffers(engine->buffers, kBufferCount);
}

EngineStatus ScreenDelete(void** raw) {
  auto* engine = static_cast<ScreenEngine*>(*raw);
  *raw = nullptr;
  if (engine == nullptr) return kStatusOk;
  common::MemHandle block = engine->allocation;
  if (block == nullptr) return kStatusNoAllocation;
  const EngineStatus buffers = FreeScreenBuffers(engine);
  const EngineStatus own = common::ReleaseBlock(&block);
  return buffers != kStatusOk ? buffers : own;
}

int32_t* GetErrorRow(ScreenEngine* engine, uint32_t index) {
  return reinterpret_cast<int32_t*>(engine->buffers[kBufferErrorRow + index].data) + kErrorRowLeft;
}

const uint32_t* GetScreenMatrix(const ScreenEngine* engine) {
  return reinterpret_cast<const uint32_t*>(engine->buffers[kBufferMatrix].data);
}

}  // namespace tonvar::screening
