// Widening of 256-level dot tables to 512 levels.
#include "tonvar/common/level_expansion.h"

#include <cstring>

#include "tonvar/common/scoped_block.h"

namespace tonvar::common {
namespace {
constexpr uint64_t kScratchBytes = 12288;  // the scratch block's fixed size
constexpr uint32_t kRowBytes = kDotTableColumns * sizeof(uint32_t);
static_assert(256 * kRowBytes <= kScratchBytes);
}  // namespace

EngineStatus ExpandLevels256To512(uint32_t* dot_table, uint32_t from_levels, uint32_t to_levels) {
  if (from_levels != 256 || to_levels != 512) return kStatusOk;
  ScopedBlock scratch;
  const EngineStatus allocated = scratch.Allocate(kScratchBytes, false);
  if (allocated != kStatusOk) return allocated;
  uint32_t* copy = scratch.data<uint32_t>();
  std::memcpy(copy, dot_table, 256 * kRowBytes);
  for (uint32_t k = 0; k < 256; ++k) {
    const uint32_t* row = copy + k * kDotTableColumns;
    std::memcpy(dot_table + (2 * k) * kDotTableColumns, row, kRowBytes);
    std::memcpy(dot_table + (2 * k + 1) * kDotTableColumns, row, kRowBytes);
  }
  return scratch.Release();
}

}  // namespace tonvar::common
