// The screening engine's resource steps: the id list, the threshold matrix and the ids of the
// blocks that follow them, for four-ink (method 10) and monochrome (method 12) jobs.
#include <cstring>

#include "tonvar/common/byte_readers.h"
#include "tonvar/common/resource_view.h"
#include "tonvar/screening/screen_engine.h"

namespace tonvar::screening {
namespace {

using common::ResourceView;

constexpr uint8_t kMatrixSignature[4] = {0xCF, 0xF9, 0x2E, 0x47};
constexpr uint32_t kIdListMaxRead = 15;  // the terminator must be among them
// Largest matrix taken from a resource: 2^24 cells (64 MB of thresholds).
constexpr uint64_t kMaxMatrixCells = uint64_t{1} << 24;
constexpr uint32_t kMatrixScaleBytes = 1024;
constexpr uint32_t kColourSteps = 4;
constexpr uint32_t kMonoSteps = 3;

ResourceId WidenWithSign(uint16_t v) { return static_cast<ResourceId>(static_cast<int32_t>(static_cast<int16_t>(v))); }

bool HasSignature(const uint8_t* at, const uint8_t (&signature)[4]) {
  return std::memcmp(at, signature, 4) == 0;
}

bool PowerOfTwo(uint64_t v) { return v != 0 && (v & (v - 1)) == 0; }

int32_t HorizontalDpi(const ScreenEngine& e) { return static_cast<int32_t>(e.job.resolution_x_dpi); }
int32_t VerticalDpi(const ScreenEngine& e) { return static_cast<int32_t>(e.job.resolution_y_dpi); }

// One zero-filled error row with 40 spare entries on the left and 41 on the right.
EngineStatus AllocErrorRows(EngineBuffer* buffer, uint64_t width) {
  return halftone_lines::AllocEngineBuffer(buffer, 4 * (width + 80) + 4, 1);
}

EngineStatus ColourStep(ScreenEngine* e, uint32_t step, common::ResourceBytes block,
                        ResourceId* next_id) {
  EngineStatus status = kStatusOk;
  switch (step) {
    case 1:
      status = ReadIdList(block, e->id_list);
      if (status != kStatusOk) return status;
      *next_id = WidenWithSign(e->id_list[0]);
      return kStatusOk;
    case 2: {
      status = GetIdByResolution(next_id, e->id_list, HorizontalDpi(*e), VerticalDpi(*e));
      if (status != kStatusOk) return status;
      status = BuildColorTable(&e->buffers[kBufferColourTable0], &e->luts[0], block);
      if (e->lut_count == 2) {
        const EngineStatus second =
            BuildColorTable(&e->buffers[kBufferColourTable1], &e->luts[1], block);
        if (status == kStatusOk) status = second;
      } else {
        e->luts[1] = e->luts[0];
      }
      return status;
    }
    case 3: {
      if (e->luts[0].dot_curve_id > 0) {
        *next_id = static_cast<ResourceId>(e->luts[0].dot_curve_id);
      } else {
        status = FindColorCurveId(e->luts[0], next_id);
        if (status != kStatusOk) return status;
      }
      status = ReadScreenMatrix(e, block);
      if (status != kStatusOk) return status;
      status = AllocColorTables(e);
      if (status != kStatusOk) return status;
      BuildGridIndexMap(InkTables(e).index_map, e->luts[0].grid[0]);
      const int32_t h = HorizontalDpi(*e);
      return h == 360 || h == 720 ? kStatusOk : kStatusBadResource;
    }
    case 4: {
      *next_id = kNoMoreResources;
      FillScaleTable(ScaleTable(e), e->matrix_cells);
      const ColourInkTables t = InkTables(e);
      status = ReadColorDotCurve(block, t.dot_curve);
      if (status != kStatusOk) return status;
      return BuildDotThresholds(t.t0, t.t1, t.dot_curve, ScaleTable(e));
    }
  }
  return kStatusBadResource;
}

EngineStatus MonoStep(ScreenEngine* e, uint32_t step, common::ResourceBytes block,
                      ResourceId* next_id) {
  EngineStatus status = kStatusOk;
  switch (step) {
    case 1:
      status = ReadIdList(block, e->id_list);
      if (status != kStatusOk) return status;
      status = GetIdByResolution(next_id, e->id_list, HorizontalDpi(*e), VerticalDpi(*e));
      if (status != kStatusOk) return status;
      return AllocErrorRows(&e->buffers[kBufferErrorRow], e->stored_width);
    case 2:
      status = FindMonoBlockId(e->luts[0], next_id);
      if (status != kStatusOk) return status;
      status = ReadScreenMatrix(e, block);
      if (status != kStatusOk) return status;
      return LoadMonoToneTable(e->tone_table, HorizontalDpi(*e), VerticalDpi(*e));
    case 3:
      *next_id = kNoMoreResources;
      status = ReadScreenBlock(e, block);
      if (status != kStatusOk) return status;
      RemapMonoDotTables(e, e->luts[0]);
      return FinishMonoTables(e);
  }
  return kStatusBadResource;
}

// Counts the step, refuses a step whose predecessor failed (its tables are missing), runs it
// and records its success. Calls after the last step change nothing.
template <typename Step>
EngineStatus RunStep(ScreenEngine* e, uint32_t last_step, common::ResourceBytes block,
                     ResourceId* next_id, Step step_fn) {
  if (e->step >= last_step) return kStatusBadResource;
  const uint32_t step = ++e->step;
  if (block.data == nullptr) return kStatusBadResource;
  if (step > 1 && (e->steps_done & StepBit(step - 1)) == 0) {
    *next_id = kNoMoreResources;
    return kStatusBadResource;
  }
  const EngineStatus status = step_fn(e, step, block, next_id);
  if (status == kStatusOk) e->steps_done |= StepBit(step);
  return status;
}

}  // namespace

EngineStatus ReadIdList(common::ResourceBytes block, uint16_t list[kIdListEntries]) {
  const ResourceView r(block);
  uint16_t ids[kIdListMaxRead];
  uint32_t n = 0;
  for (; n < kIdListMaxRead; ++n) {
    if (!r.Has(2 * n, 2)) return kStatusBadResource;
    ids[n] = static_cast<uint16_t>(r.U16(2 * n));
    if (ids[n] == kIdListEnd) break;
  }
  if (n == kIdListMaxRead) return kStatusBadResource;
  for (uint32_t i = 0; i < kIdListEntries; ++i) list[i] = i < n ? ids[i] : kIdListEnd;
  return kStatusOk;
}

EngineStatus GetIdByResolution(ResourceId* id, const uint16_t list[kIdListEntries], int32_t h_dpi,
                               int32_t v_dpi) {
  // Products in 64 bits: the resolutions are the client's and may be anything.
  const int64_t h = h_dpi;
  const int64_t v = v_dpi;
  uint32_t entry = 1;  // square
  if ((h == 1440 && v == 720) || h >= 4 * v) {
    entry = 3;  // very wide
  } else if (h == 2 * v || h > v) {
    entry = 2;  // wide
  } else if (2 * h == v) {
    entry = 4;  // tall
  }
  *id = WidenWithSign(list[entry]);
  return *id == kNoMoreResources ? kStatusBadResource : kStatusOk;
}

EngineStatus ReadScreenMatrix(ScreenEngine* e, common::ResourceBytes block) {
  const ResourceView r(block);
  if (!r.Has(0, 8)) return kStatusBadResource;
  uint64_t width, height, levels, data_offset, gap;
  if (r.Matches(4, kMatrixSignature, sizeof kMatrixSignature)) {
    if (!r.Has(0, 32)) return kStatusBadResource;
    levels = r.U32(16);
    width = r.U32(20);
    height = r.U32(24);
    data_offset = 32;
    gap = 0;
  } else {
    width = r.U8(0) == 255 ? 256 : r.U8(0);
    height = r.U8(1) == 255 ? 256 : r.U8(1);
    levels = width * height;
    data_offset = 4;
    gap = 4;
  }
  // The lines take the column with a mask and the row with a modulo.
  const uint64_t cells = width * height;
  if (!PowerOfTwo(width) || height == 0 || cells > kMaxMatrixCells) return kStatusBadResource;
  if (!r.Has(data_offset, 2 * cells)) return kStatusBadResource;

  EngineBuffer* matrix = &e->buffers[kBufferMatrix];
  const EngineStatus status =
      halftone_lines::AllocEngineBuffer(matrix, 4 * cells + gap + kMatrixScaleBytes, 0);
  if (status != kStatusOk) return status;
  auto* thresholds = reinterpret_cast<uint32_t*>(matrix->data);
  const uint8_t* src = r.At(data_offset);
  for (uint64_t i = 0; i < cells; ++i) thresholds[i] = common::GetWord(src + 2 * i);
  halftone_lines::SetEngineBuffer(&e->buffers[kBufferScale], matrix->data + 4 * cells + gap, nullptr,
                                  kMatrixScaleBytes);
  e->matrix_width = static_cast<uint32_t>(width);
  e->matrix_height = static_cast<uint32_t>(height);
  e->matrix_cells = static_cast<uint32_t>(cells);
  e->matrix_levels = static_cast<uint32_t>(levels);
  return kStatusOk;
}

EngineStatus FindColorCurveId(const LutDescriptor& lut, ResourceId* id) {
  *id = kNoMoreResources;
  const uint8_t* b = lut.screening_block;
  if (b == nullptr || static_cast<int32_t>(common::ReadDword(b)) < 4) return kStatusBadResource;
  switch (common::GetWord(b + 4)) {
    case 1:
      *id = common::GetWord(b + 6);
      return kStatusOk;
    case 2:
      if (!HasSignature(b + 8, kCurveSignature)) return kStatusBadResource;
      *id = WidenWithSign(common::GetWord(b + 16));
      return kStatusOk;
  }
  return kStatusBadResource;
}

EngineStatus FindMonoBlockId(const LutDescriptor& lut, ResourceId* id) {
  *id = kNoMoreResources;
  if (lut.dot_curve_id > 0) {
    *id = static_cast<ResourceId>(lut.dot_curve_id);
    return kStatusOk;
  }
  const uint8_t* b = lut.screening_block;
  if (b == nullptr) return kStatusOk;
  if (common::ReadDword(b) == 4 && common::GetWord(b + 4) == 1 && HasSignature(b + 8, kCurveSignature)) {
    *id = WidenWithSign(common::GetWord(b + 6));
    return kStatusOk;
  }
  return kStatusBadResource;
}

EngineStatus ScreenColorStep(ScreenEngine* engine, common::ResourceBytes block, ResourceId* next_id) {
  return RunStep(engine, kColourSteps, block, next_id, &ColourStep);
}

EngineStatus ScreenMonoStep(ScreenEngine* engine, common::ResourceBytes block, ResourceId* next_id) {
  return RunStep(engine, kMonoSteps, block, next_id, &MonoStep);
}

}  // namespace tonvar::screening
