// Chunk directory of the tagged colour resources and the colour engine's block helpers.
#include "tonvar/common/resource_view.h"

#include <cstring>

namespace tonvar::common {

EngineStatus FindChunks(const ResourceView& r, const char* const* tags, int count,
                        uint64_t* offsets, uint32_t* entry_count) {
  for (int t = 0; t < count; ++t) offsets[t] = kNoChunk;
  if (!r.Has(0, 24)) return kStatusBadResource;
  const uint32_t entries = r.U32(20);
  if (entries > kMaxDirectoryEntries || !r.Has(24, uint64_t{8} * entries)) return kStatusBadResource;
  for (uint32_t e = 0; e < entries; ++e) {
    const uint64_t at = 24 + uint64_t{8} * e;
    for (int t = 0; t < count; ++t) {
      if (std::memcmp(r.At(at), tags[t], 4) == 0) {
        offsets[t] = r.U32(at + 4);
        break;
      }
    }
  }
  if (entry_count != nullptr) *entry_count = entries;
  return kStatusOk;
}

bool GridValid(const uint8_t* coords, uint32_t points) {
  if (points < 2 || points > 64) return false;
  if (coords[0] != 0 || coords[points - 1] != 255) return false;
  for (uint32_t i = 1; i < points; ++i) {
    if (coords[i] <= coords[i - 1]) return false;
  }
  return true;
}

}  // namespace tonvar::common
