// The watermark-list file's header as plain bytes.
#include "kalimu/storage/watermark_list_header.h"

#include <cstring>

namespace kalimu::storage {

bool ReadWatListHeader(std::span<const uint8_t> head, uint64_t file_size, WatListLayout* out) {
  if (head.size() < sizeof(WatFileHeader)) return false;
  WatFileHeader header;
  std::memcpy(&header, head.data(), sizeof(header));
  if (header.version != kWatVersion) return false;
  if (header.built_in_count < 0 || header.user_count < 0 || header.user_capacity < 0) return false;
  const uint32_t built_in = uint32_t(header.built_in_count), user = uint32_t(header.user_count),
                 capacity = uint32_t(header.user_capacity);
  if (built_in > kMaxBuiltInWatermarks || capacity > kMaxUserWatermarkCapacity || user > capacity) return false;
  // The file must hold every entry it counts.
  if (sizeof(header) + (uint64_t{built_in} + user) * sizeof(WatermarkEntry) > file_size) return false;
  out->header = header;
  out->room = built_in + capacity;
  out->total = built_in + user;
  return true;
}

}  // namespace kalimu::storage
