// Dither-matrix resources: the CF F9 2E 47 block (plain or matrix-ordered rows) and the "0123"
// block, which carries the matrix already in row-pair order.
#include <cstring>

#include "tonvar/common/byte_readers.h"
#include "tonvar/common/resource_view.h"
#include "tonvar/multi_level/multi_level_engine.h"

namespace tonvar::multi_level {
namespace {

using common::GetWord;
using common::ResourceView;

constexpr uint8_t kMatrixMagic[4] = {0xCF, 0xF9, 0x2E, 0x47};
constexpr uint8_t kPlainMagic[4] = {'0', '1', '2', '3'};
constexpr int32_t kMatrixKind = 3;
constexpr uint32_t kCopyInMatrixOrder = 1;
constexpr uint32_t kPlainHeader = 16;

// Offset of the phase pairs by format (1 or 2) and ink count.
uint32_t PhaseOffset(uint8_t format, int32_t ink_count) {
  switch (ink_count) {
    case 4: return format == 1 ? 31 : 32;
    case 6: return format == 1 ? 47 : 48;
    case 7: return format == 1 ? 71 : 72;
    case 8: return format == 1 ? 0 : 100;
    default: return 0;
  }
}

bool IsMatrixBlock(const ResourceView& b, int32_t ink_count) {
  if (!b.Has(0, 27) || !b.Matches(4, kMatrixMagic, sizeof kMatrixMagic) || b.U8(8) != kMatrixKind) {
    return false;
  }
  return (b.U8(9) == 1 && ink_count != 8) || (b.U8(9) == 2 && b.U8(25) == 0);
}

// A fresh zero-filled matrix of `samples` samples in the engine's matrix buffer.
EngineStatus AllocMatrix(MultiLevelEngine* engine, uint64_t samples) {
  EngineBuffer* buffer = &engine->buffers[kMatrixBuffer];
  EngineStatus status = halftone_lines::FreeEngineBuffers(buffer, 1);
  engine->state->matrix.samples = nullptr;
  if (status != kStatusOk) return status;
  status = AllocEngineBuffer(buffer, samples * 2, 1);
  if (status != kStatusOk) return status;
  engine->state->matrix.samples = reinterpret_cast<const int16_t*>(buffer->data);
  return kStatusOk;
}

int16_t* MatrixSamples(MultiLevelEngine* engine) {
  return reinterpret_cast<int16_t*>(engine->buffers[kMatrixBuffer].data);
}

}  // namespace

EngineStatus ReadMatrixBlock(MultiLevelEngine* engine, ResourceBytes resource) {
  const ResourceView b(resource);
  MultiLevelState* state = engine->state;
  const int32_t ink_count = state->ink_count;
  if (!IsMatrixBlock(b, ink_count)) return ReadDitherMatrix(engine, resource);

  MatrixLayout& layout = state->matrix;
  const uint8_t format = b.U8(9);
  const int32_t offset = b.S16(10);
  layout.width = b.S16(12);
  layout.height = b.S16(14);
  layout.sample_bytes_a = b.U8(22);
  layout.sample_bytes_b = b.U8(23);
  layout.storage = b.U8(25);
  layout.layout_flag = b.U8(26);
  const uint32_t phases = PhaseOffset(format, ink_count);
  if (phases == 0 || !b.Has(phases, 4u * ink_count)) return kStatusBadResource;
  for (int k = 0; k < kMaxInks; ++k) {
    layout.ink_phase[k] = k < ink_count ? halftone_lines::MatrixPhase{b.S16(phases + 4 * k), b.S16(phases + 4 * k + 2)}
                                        : halftone_lines::MatrixPhase{};
  }
  // The cell walk needs an even height and a power-of-two size; the samples must lie in the block.
  if (!halftone_lines::MatrixShapeValid(layout.width, layout.height) || offset < 0) {
    return kStatusBadResource;
  }
  const uint64_t count = uint64_t(layout.width) * uint64_t(layout.height);
  const bool in_order = layout.storage == kCopyInMatrixOrder;
  if (!b.Has(offset, (in_order ? count + 2 : count) * 2)) return kStatusBadResource;

  const EngineStatus allocated = AllocMatrix(engine, count + 2);
  if (allocated != kStatusOk) return allocated;
  int16_t* matrix = MatrixSamples(engine);
  if (layout.sample_bytes_a + layout.sample_bytes_b != 2) return kStatusBadResource;
  const uint8_t* source = b.At(offset);
  if (in_order) {  // CopyMatrixSamples
    for (uint64_t i = 0; i < count + 2; ++i) matrix[i] = static_cast<int16_t>(GetWord(source + 2 * i));
    return kStatusOk;
  }
  // InterleaveMatrixRows: row r's samples go to every other slot of its row pair.
  const uint64_t w = layout.width;
  for (uint64_t r = 0; r < uint64_t(layout.height); ++r) {
    int16_t* slot = matrix + (r - r % 2) * w + r % 2;
    for (uint64_t c = 0; c < w; ++c, source += 2) {
      const int16_t sample = static_cast<int16_t>(GetWord(source));
      if (sample < 0) return kStatusBadResource;
      slot[2 * c] = sample;
    }
  }
  matrix[count] = matrix[0];
  matrix[count + 1] = matrix[1];
  return kStatusOk;
}

EngineStatus ReadDitherMatrix(MultiLevelEngine* engine, ResourceBytes resource) {
  const ResourceView b(resource);
  if (!b.Matches(0, kPlainMagic, sizeof kPlainMagic) || !b.Has(0, 8)) return kStatusMatrixMagic;
  const uint32_t count = b.U32(4);
  if (static_cast<int32_t>(count) > static_cast<int32_t>(halftone_lines::kMatrixCount512)) {
    return kStatusMatrixCount;
  }
  MatrixLayout& layout = engine->state->matrix;
  const EngineStatus laid = halftone_lines::SetMatrixLayout(&layout, b.At(0), engine->state->ink_count);
  if (laid != kStatusOk) return laid;
  if (!b.Has(kPlainHeader, uint64_t{count} * 2)) return kStatusBadResource;
  const EngineStatus allocated = AllocMatrix(engine, halftone_lines::kMatrixCount512);
  if (allocated != kStatusOk) return allocated;
  int16_t* matrix = MatrixSamples(engine);
  const uint8_t* source = b.At(kPlainHeader);
  for (uint32_t i = 0; i < count; ++i) matrix[i] = static_cast<int16_t>(GetWord(source + 2 * i));
  return kStatusOk;
}

}  // namespace tonvar::multi_level
