// Pre-transform tables A and B and the gamma-and-matrix block: the optional resources that
// the mode table names before the colour table.
#include <cstring>

#include "tonvar/colour/colour_engine.h"
#include "tonvar/common/resource_view.h"
#include "tonvar/common/scoped_block.h"

namespace tonvar::colour {

EngineStatus ReadPreTransformTable(CmColorEngine* engine, common::ResourceBytes resource,
                                   PreTransformTable* table) {
  const common::ResourceView r(resource);
  static const char* const kClut[] = {"clut"};
  uint64_t at = common::kNoChunk;
  EngineStatus status = common::FindChunks(r, kClut, 1, &at, nullptr);
  if (status != kStatusOk) return status;
  if (at == common::kNoChunk || !r.Has(at, 10)) return kStatusBadResource;
  const uint32_t ch = r.U8(at + 5);
  // The first three outputs replace the pixel's inputs.
  if (ch < 3 || ch > kLutMaxChannels) return kStatusBadResource;
  uint32_t g[3];
  uint64_t entries = 1;
  for (int k = 0; k < 3; ++k) {
    g[k] = r.U8(at + 7 + k);
    entries *= g[k];
  }
  uint64_t coords = at + 10 + ch;
  const uint64_t coord_bytes = uint64_t{g[0]} + g[1] + g[2];
  if (!r.Has(coords, coord_bytes + entries * ch)) return kStatusBadResource;
  for (int k = 0; k < 3; ++k) {
    if (!common::GridValid(r.At(coords), g[k])) return kStatusBadResource;
    coords += g[k];
  }
  status = common::ReplaceBlock(&table->body_handle, entries * ch, true, &table->body);
  if (status != kStatusOk) return status;
  table->channel_count = ch;
  std::memset(table->grid, 0, sizeof table->grid);
  coords = at + 10 + ch;
  for (int k = 0; k < 3; ++k) {
    table->grid_points[k] = g[k];
    std::memcpy(table->grid[k], r.At(coords), g[k]);
    coords += g[k];
  }
  std::memcpy(table->body, r.At(coords), entries * ch);
  return kStatusOk;
}

EngineStatus ReadGammaMatrixBlock(CmColorEngine* engine, common::ResourceBytes resource) {
  const common::ResourceView r(resource);
  static const char* const kTags[] = {"gama", "clut"};
  uint64_t at[2];
  uint32_t entries = 0;
  EngineStatus status = common::FindChunks(r, kTags, 2, at, &entries);
  if (status != kStatusOk) return status;
  if (entries == 0 || at[0] == common::kNoChunk || at[1] == common::kNoChunk) return kStatusBadResource;
  if (!r.Has(at[0], 5) || !r.Has(at[1], 22)) return kStatusBadResource;
  // An output gamma of 0 leaves no usable curve.
  if (r.U8(at[0] + 4) == 0) return kStatusBadResource;
  engine->output_gamma = r.U8(at[0] + 4);
  for (int i = 0; i < 9; ++i) engine->matrix2[i] = r.S16(at[1] + 4 + 2 * i);
  return kStatusOk;
}

}  // namespace tonvar::colour
