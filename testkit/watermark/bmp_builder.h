// Builds BMP file images byte by byte for the bitmap loaders' tests: every header (core, info,
// V4, or any size a damaged file names), depth and compression, with the stored fields, the
// colour table, a gap before the bits and the pixel bytes each under the test's control.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace testkit::watermark {

struct BmpLayout {
  uint32_t header_bytes = 40;  // 12, 40, 108, or anything else for a damaged file
  int32_t width = 8;
  int32_t height = 4;  // negative: top-down rows
  uint16_t bits = 8;
  uint32_t compression = 0;
  uint32_t size_image = 0;   // stored biSizeImage
  uint32_t colors_used = 0;  // stored biClrUsed
  uint16_t signature = 0x4D42;
  std::optional<uint32_t> off_bits;       // stored bfOffBits (default: where the bits start)
  std::optional<uint32_t> table_entries;  // entries written (default: what the header implies)
  uint32_t gap = 0;                       // bytes between the table (or masks) and the bits
  std::optional<uint64_t> pixel_bytes;    // pixel bytes written (default: the padded rows)
};

// Colour-table entry i as the builder writes it (blue, green, red; the fourth byte is 0).
uint8_t TableByte(uint32_t entry, int channel);
// Pixel byte k (and gap byte k, which continues the same sequence before the pixels).
uint8_t PixelByte(uint64_t k);

// Entries the header implies: biClrUsed, else 2, 16 or 256 by the bit count (core: by bits).
uint32_t ImpliedEntries(const BmpLayout& layout);
// Padded row bytes x |height|.
uint64_t PaddedImageBytes(const BmpLayout& layout);

std::vector<uint8_t> BuildBmp(const BmpLayout& layout);

// A thumbnail file as the editor writes it: "BM", bfOffBits 14, bfSize 14 + block, then the
// packed DIB block (40-byte header, biClrUsed 2^bits, table, rows, zero slack to block bytes).
std::vector<uint8_t> BuildThumbnailFile(int32_t width, int32_t height, uint16_t bits, uint32_t block_bytes);

}  // namespace testkit::watermark
