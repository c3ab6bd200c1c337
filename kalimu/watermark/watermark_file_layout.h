// Byte layouts of the files the watermark editor writes: the 1-bit bitmap of a text
// watermark (".WBF") and the thumbnail file ("MWB", bfOffBits 14). Plain C++.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "kalimu/watermark/dib_format.h"

namespace kalimu::watermark {

// A ".WBF" file: file header, 40-byte header, black and white, then a pixel area that counts
// rows in 8-byte units (8 x ceil(W / 64) per row) holding the rows at their 4-byte stride,
// bottom row first, zeros behind the last row.
inline constexpr uint32_t kWbfHeaderBytes = kFileHeaderBytes + kInfoHeaderBytes + 8;  // 62
struct WbfLayout {
  uint32_t row_stride;  // 4 x ceil(W / 32)
  uint32_t area_bytes;  // 8 x ceil(W / 64) x H
  uint32_t file_bytes;  // 62 + area
};
// Nothing for a side of 0 or below, or a file of 4 GB or more.
std::optional<WbfLayout> WbfLayoutFor(int32_t width, int32_t height);
// The 62 bytes in front of the pixel area.
std::array<uint8_t, kWbfHeaderBytes> BuildWbfHeader(int32_t width, int32_t height, const WbfLayout& layout);

// Bytes of a thumbnail's DIB block: tw x th + 4 x 2^bits + 552 (the header and room behind the
// rows), and never less than the header, table and padded rows need.
uint32_t ThumbnailBlockBytes(int32_t width, int32_t height, uint32_t bits);
// The 14-byte file header of a thumbnail whose DIB block has `block_bytes` bytes.
std::array<uint8_t, kFileHeaderBytes> BuildThumbnailFileHeader(uint32_t block_bytes);

}  // namespace kalimu::watermark
