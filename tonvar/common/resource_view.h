// Bounded little-endian reads over a colour resource, block helpers of the colour engine and
// the chunk directory shared by the tagged resource forms.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tonvar/common/memory.h"
#include "tonvar/common/resource_bytes.h"
#include "tonvar/interface/status.h"

namespace tonvar::common {

// A resource whose size may be unbounded (a plain resource): every read is checked against
// `size` first, so a bounded resource is never read past its end.
class ResourceView {
 public:
  explicit ResourceView(ResourceBytes r) : data_(r.data), size_(r.size) {}
  bool Has(uint64_t offset, uint64_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }
  const uint8_t* At(uint64_t offset) const { return data_ + offset; }
  // True when the bytes from `offset` on are the `length` bytes of `tag`. They are compared one
  // at a time and the first that differs decides: nothing past it is read, so a plain resource
  // may end there (a block compare may load the whole tag at once).
  bool Matches(uint64_t offset, const void* tag, size_t length) const {
    const auto* expected = static_cast<const uint8_t*>(tag);
    for (size_t i = 0; i < length; ++i) {
      if (!Has(offset + i, 1) || data_[offset + i] != expected[i]) return false;
    }
    return true;
  }
  uint8_t U8(uint64_t offset) const { return data_[offset]; }
  int32_t S8(uint64_t offset) const { return static_cast<int8_t>(data_[offset]); }
  int32_t S16(uint64_t offset) const {
    return static_cast<int16_t>(static_cast<uint16_t>(data_[offset] | (data_[offset + 1] << 8)));
  }
  uint32_t U16(uint64_t offset) const { return data_[offset] | (data_[offset + 1] << 8); }
  int32_t S16BigEndian(uint64_t offset) const {
    return static_cast<int16_t>(static_cast<uint16_t>((data_[offset] << 8) | data_[offset + 1]));
  }
  uint32_t U32(uint64_t offset) const {
    return static_cast<uint32_t>(data_[offset]) | (static_cast<uint32_t>(data_[offset + 1]) << 8) |
           (static_cast<uint32_t>(data_[offset + 2]) << 16) |
           (static_cast<uint32_t>(data_[offset + 3]) << 24);
  }

 private:
  const uint8_t* data_;
  size_t size_;
};

inline constexpr uint32_t kMaxDirectoryEntries = 1024;
inline constexpr uint64_t kNoChunk = UINT64_MAX;

// Walks the directory (count at 20, {tag, offset} entries from 24) and keeps, for each of
// `count` tags, the offset of its last entry (kNoChunk when absent). 768 when the directory
// does not fit the resource. Chunk contents are not checked here.
EngineStatus FindChunks(const ResourceView& r, const char* const* tags, int count,
                        uint64_t* offsets, uint32_t* entry_count);

// Grid coordinates rise strictly from 0 to 255 over 2..64 points.
bool GridValid(const uint8_t* coords, uint32_t points);

}  // namespace tonvar::common
