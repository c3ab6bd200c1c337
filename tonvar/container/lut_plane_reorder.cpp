// Puts a plane-ordered colour table's body back into interleaved entries after expansion.
#include <cstring>

#include "tonvar/common/byte_readers.h"
#include "tonvar/common/scoped_block.h"
#include "tonvar/container/unpack_context.h"

namespace tonvar::container {
namespace {

constexpr uint64_t kFixedGridOffset = 72;    // g0 g1 g2 ch, then the grid coordinates
constexpr uint64_t kFixedBodyBase = 76;
constexpr uint64_t kTaggedDirectoryStart = 16;
constexpr uint64_t kTaggedDirectoryStep = 4;
constexpr uint64_t kClutHeaderBytes = 10;    // tag, n, ch, class, g0 g1 g2

struct BodyPlace {
  uint64_t start;
  uint32_t channels;
  uint64_t points;  // g0 * g1 * g2
};

bool IsClut(const uint8_t* p) { return std::memcmp(p, "clut", 4) == 0; }

// Locates the body from the table header; false when the header is damaged.
bool FindBody(const uint8_t* data, uint64_t length, BodyPlace* place) {
  if (length < 17 || data[0] != 'K' || data[1] != 'V') return false;
  const uint8_t* grid;
  uint64_t base;
  if (data[14] == ' ' || data[14] == '2') {
    if (data[15] != '1' && data[15] != '2' && data[15] != '3') return false;
    if (length < kFixedBodyBase) return false;
    grid = data + kFixedGridOffset;
    place->channels = data[75];
    base = kFixedBodyBase;
  } else {
    if (data[15] != '5' || data[16] != '5') return false;
    uint64_t chunk = 0;
    bool found = false;
    for (uint64_t at = kTaggedDirectoryStart; at + 8 <= length; at += kTaggedDirectoryStep) {
      if (IsClut(data + at)) {
        chunk = common::ReadDword(data + at + 4);
        found = true;
        break;
      }
    }
    if (!found || chunk + kClutHeaderBytes > length || !IsClut(data + chunk)) return false;
    grid = data + chunk + 7;
    place->channels = data[chunk + 5];
    base = chunk + kClutHeaderBytes + place->channels;
  }
  place->points = uint64_t{grid[0]} * grid[1] * grid[2];
  place->start = base + grid[0] + grid[1] + grid[2];
  return true;
}

}  // namespace

EngineStatus ReorderLutPlanes(uint8_t* data, int64_t length) {
  if (data == nullptr || length <= 0) return kStatusTableHeaderDamaged;
  const uint64_t data_length = static_cast<uint64_t>(length);
  BodyPlace place;
  if (!FindBody(data, data_length, &place)) return kStatusTableHeaderDamaged;
  // The whole body must lie inside the expanded bytes, and a table has at least one channel.
  if (place.channels == 0) return kStatusTableHeaderDamaged;
  const uint64_t size = place.points * place.channels;
  if (place.start > data_length || size > data_length - place.start) {
    return kStatusTableHeaderDamaged;
  }
  if (size == 0) return kStatusOk;
  const uint64_t per_plane = place.points;
  const uint32_t channels = place.channels;

  common::ScopedBlock copy_block, planes_block;
  EngineStatus allocated = copy_block.Allocate(size, false);
  if (allocated != kStatusOk) return allocated;
  allocated = planes_block.Allocate(uint64_t{channels} * sizeof(const uint8_t*), false);
  if (allocated != kStatusOk) return allocated;
  uint8_t* copy = copy_block.data();
  auto* planes = planes_block.data<const uint8_t*>();

  uint8_t* body = data + place.start;
  std::memcpy(copy, body, size);
  for (uint32_t k = 0; k < channels; ++k) planes[k] = copy + k * per_plane;
  for (uint64_t i = 0; i < per_plane; ++i) {
    uint8_t* entry = body + i * channels;
    for (uint32_t k = 0; k < channels; ++k) entry[k] = planes[k][i];
  }

  const EngineStatus planes_status = planes_block.Release();
  const EngineStatus copy_status = copy_block.Release();
  return planes_status != kStatusOk ? planes_status : copy_status;
}

}  // namespace tonvar::container
