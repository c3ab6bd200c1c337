// Halftone on a multi-level handle: store, check, dispatch.
#include "tonvar/multi_level/halftone_call.h"

#include "tonvar/multi_level/four_level_line.h"

namespace tonvar::multi_level {
namespace {

constexpr uint32_t kMethodDiffusion = 1;
constexpr uint32_t kMethodDither = 3;

bool ReplicationAllowed(const MultiLevelState& s) {
  const uint32_t x = s.x_start;
  const uint32_t f = s.first_dot;
  switch (s.replication_code) {
    case -1: return s.bits_per_dot != 1;
    case 0: return true;
    case 1: return x % 2 == 0 && f % 2 == 0;
    case 3: return x % 4 == 0 && (f == 0 || (s.bits_per_dot == 1 && f == 4));
    case 7: return x % 8 == 0 && f == 0;
    case 15: return x % 16 == 0 && f == 0;
    default: return false;
  }
}

bool DepthAndClassAllowed(const MultiLevelState& s, int32_t ink_count, uint32_t ratio_class) {
  if (s.bits_per_dot == 2) return ratio_class <= 3;
  if (s.bits_per_dot != 1) return false;
  if (ratio_class == 0) return (ink_count == 4 || ink_count == 8) && s.method == kMethodDither;
  if (ratio_class != 2) return false;
  return (ink_count != 6 && ink_count != 7) || s.method == kMethodDither;
}

}  // namespace

void StoreHalftoneCall(const MultiLevelEngine& engine, const HalftoneBand& band, MultiLevelState* s) {
  const RasterJob& job = engine.job;
  s->in_rows = band.input_rows;
  s->out_rows = band.output_rows;
  s->plane_stride = static_cast<uint32_t>(band.plane_stride);
  s->first_dot = band.first_bit;
  s->count = band.count;
  s->x_start = band.x_start;
  s->row_count = band.row_count;
  s->previous_line = s->line;
  s->line = static_cast<int32_t>(band.line_number);
  s->width = static_cast<int32_t>(job.width_pixels);
  s->bits_per_dot = job.bits_per_dot;
  s->replication_code = static_cast<int32_t>(job.replication);
  s->paired_output = job.row_pairing;
  s->method = job.method;
  s->x_end = static_cast<int32_t>(band.x_start + band.count);
}

EngineStatus CheckMultiLevelCall(const MultiLevelState& s, const HalftoneBand& band) {
  if (s.method != kMethodDiffusion && s.method != kMethodDither) return kStatusBadArgument;
  if (static_cast<uint32_t>(s.replication_code) + 1 > 16 || !ReplicationAllowed(s)) return kStatusBadArgument;
  if (s.paired_output > 1) return kStatusBadArgument;
  // The run must lie within the line, without wrapping.
  const uint32_t width = static_cast<uint32_t>(s.width);
  if (s.width < 0 || s.x_start > width || s.count > width - s.x_start) return kStatusBadArgument;
  if (!DepthAndClassAllowed(s, s.ink_count, s.ratio_class)) return kStatusBadArgument;
  if (s.row_count != 1 && s.row_count != 2) return kStatusBadArgument;
  if (s.first_dot >= 8 / s.bits_per_dot) return kStatusBadArgument;
  const bool two_rows = s.row_count == 2;
  if (band.input_rows == nullptr || band.input_rows[0] == nullptr || (two_rows && band.input_rows[1] == nullptr)) {
    return kStatusBadArgument;
  }
  if (band.output_rows == nullptr || band.output_rows[0] == nullptr ||
      ((two_rows || s.paired_output == 1) && band.output_rows[1] == nullptr)) {
    return kStatusBadArgument;
  }
  return kStatusOk;
}

EngineStatus MultiLevelHalftone(void* raw, const HalftoneBand& band) {
  auto* engine = static_cast<MultiLevelEngine*>(raw);
  if (engine == nullptr || engine->ready == 0 || engine->state == nullptr) return kStatusBadArgument;
  MultiLevelState* s = engine->state;
  StoreHalftoneCall(*engine, band, s);
  const EngineStatus checked = CheckMultiLevelCall(*s, band);
  if (checked != kStatusOk) return checked;

  const uint8_t* pair[2] = {band.input_rows[0], s->row_count == 2 ? band.input_rows[1] : band.input_rows[0]};
  const LineRoutine routine = ChooseLineRoutine(s->bits_per_dot, s->ratio_class, s->ink_count, s->method);
  if (routine == nullptr) return kStatusBadArgument;
  s->in_rows = pair;
  const EngineStatus status = routine(s);
  s->in_rows = nullptr;
  return status;
}

}  // namespace tonvar::multi_level
