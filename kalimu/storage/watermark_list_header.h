// The watermark-list file's header read as plain bytes and checked against the list's own
// limits and the file's length. Separate from the file access so that damaged and cut files can
// be tried on any platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "kalimu/storage/watermark_records.h"

namespace kalimu::storage {

inline constexpr uint32_t kMaxBuiltInWatermarks = 9999;     // four decimal digits in resource string 1830
inline constexpr uint32_t kMaxUserWatermarkCapacity = 0xFFFF;

struct WatListLayout {
  WatFileHeader header{};
  uint32_t room = 0;   // B + C entries the store keeps room for
  uint32_t total = 0;  // B + U entries that follow the header
};

// `head` is what could be read from the start of the file (only its first header's worth is
// looked at; fewer bytes are a cut file); `file_size` is the whole file's length. False for a
// cut header, a version other than 1808, negative counts, more than 9999 built-in entries, a
// capacity over 65535, more user entries than the capacity, or a file shorter than the header
// and every entry it counts; `out` is then left as it was.
bool ReadWatListHeader(std::span<const uint8_t> head, uint64_t file_size, WatListLayout* out);

}  // namespace kalimu::storage
