// Device-independent bitmaps as the watermark editor keeps them: one packed block (header,
// masks or colour table, pixel bits). The one parser over untrusted bytes (BMP files, bitmap
// resources, thumbnail files) and the helpers that read a packed block. Plain C++: the host
// build runs it under the sanitizers and libFuzzer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

namespace kalimu::watermark {

// Results of the bitmap loaders (16-bit statuses).
enum DibStatus : uint16_t {
  kDibLoaded = 0,
  kDibTooLarge = 1,     // the file is longer than kMaxBitmapFileBytes (or 4 GB or more)
  kDibNoMemory = 2,
  kDibCannotOpen = 3,   // cannot be opened, or its 14-byte file header cannot be read
  kDibBadFormat = 4,    // not a BMP, or a header, size or count it cannot hold
  kDibNoResource = 5,   // the bitmap resource is missing or cannot be loaded
  kDibReadFailed = 6,   // fewer bytes came back than the file's length promised
};

inline constexpr uint64_t kMaxBitmapFileBytes = 0xF00000;
inline constexpr uint16_t kBmpSignature = 0x4D42;  // "BM"
inline constexpr uint32_t kFileHeaderBytes = 14;
inline constexpr uint32_t kCoreHeaderBytes = 12;
inline constexpr uint32_t kInfoHeaderBytes = 40;
inline constexpr uint32_t kV4HeaderBytes = 108;
inline constexpr uint32_t kMaskBytes = 12;
inline constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;

#pragma pack(push, 1)
struct DibFileHeader {
  uint16_t bfType;
  uint32_t bfSize;
  uint16_t bfReserved1;
  uint16_t bfReserved2;
  uint32_t bfOffBits;
};
struct DibCoreHeader {
  uint32_t bcSize;
  uint16_t bcWidth;
  uint16_t bcHeight;
  uint16_t bcPlanes;
  uint16_t bcBitCount;
};
struct DibInfoHeader {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight;
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
};
#pragma pack(pop)
static_assert(sizeof(DibFileHeader) == 14 && offsetof(DibFileHeader, bfSize) == 2 &&
              offsetof(DibFileHeader, bfOffBits) == 10);
static_assert(sizeof(DibCoreHeader) == 12 && offsetof(DibCoreHeader, bcBitCount) == 10);
static_assert(sizeof(DibInfoHeader) == 40 && offsetof(DibInfoHeader, biBitCount) == 14 &&
              offsetof(DibInfoHeader, biSizeImage) == 20 && offsetof(DibInfoHeader, biClrUsed) == 32);
static_assert(std::is_trivially_copyable_v<DibInfoHeader> && std::is_trivially_copyable_v<DibFileHeader>);

// How one bitmap image (the bytes behind its 14-byte file header) becomes a packed DIB.
struct DibPlan {
  DibInfoHeader header;         // first 40 bytes of the packed header (core headers converted)
  uint32_t source_header_bytes;  // 12, 40 or 108
  uint32_t header_bytes;         // 40 or 108
  uint32_t color_count;          // entries of the source's colour table
  uint32_t source_entry_bytes;   // 3 (core header) or 4
  uint32_t source_mask_bytes;    // 12 for a 40-byte BI_BITFIELDS header, else 0
  uint32_t table_bytes;          // GetDibTableBytes of the packed header
  uint32_t image_bytes;          // biSizeImage of the packed header
  size_t bits_offset;            // of the pixel bits in the source, from the header's start
  size_t total_bytes;            // header + table + image: the packed block's size
};

// Checks a bitmap image that starts at its bitmap header (a file's bytes behind the file header,
// or a resource's) and plans its packed block: kDibLoaded or kDibBadFormat. Accepted: headers
// of 12, 40 or 108 bytes; 1, 4, 8, 16, 24 or 32 bits per pixel; BI_RGB, BI_RLE8 with 8 bits,
// BI_RLE4 with 4, BI_BITFIELDS with 16 or 32; biClrUsed at most 2^bits (256 above 8 bits);
// width > 0 and height != 0; every size counted in 64 bits and lying within the bytes given.
// The pixel bits are taken right behind the colour table: bfOffBits is not consulted.
DibStatus PlanDib(std::span<const uint8_t> image, DibPlan* plan);

// The same for a whole BMP file image: kDibCannotOpen when the 14-byte file header is not all
// there, kDibBadFormat without the "BM" signature, else PlanDib of the rest.
DibStatus PlanBmpFile(std::span<const uint8_t> file, DibPlan* plan);

// Writes the packed block that plan describes (plan.total_bytes bytes at out) from the image
// PlanDib checked: a core header is widened to 40 bytes and its 3-byte colours to 4 bytes; a
// 40-byte BI_BITFIELDS header keeps its masks in place of a colour table.
void BuildPackedDib(std::span<const uint8_t> image, const DibPlan& plan, uint8_t* out);

// Checks a block that should already be a packed DIB (a thumbnail file's content, a block
// handed over by another part): a 40- or 108-byte header within the bounds of PlanDib whose
// table and bits lie within the block. kDibLoaded or kDibBadFormat.
DibStatus CheckPackedDib(std::span<const uint8_t> block);

// A thumbnail file (bfType "BM", bfOffBits 14, then a packed DIB of bfSize - 14 bytes): the
// DIB block's size when the file holds all of it and the block passes CheckPackedDib, else 0.
uint32_t CheckThumbnailImage(std::span<const uint8_t> file);

// Colour-table entries a header lists: a core header by its bit count; otherwise biClrUsed,
// or by the bit count when that is 0 (1: 2, 4: 16, 8: 256, else 0).
uint32_t GetDibColorCount(const uint8_t* header);
// Bytes of the colour table of a packed header: 12 (the masks) for a 40-byte BI_BITFIELDS
// header of 16 or 32 bits; 4 x the colour count otherwise (a core header 8, 64 or 1024 by
// its bit count). 16 bits, as the blocks hold at most 256 entries.
uint16_t GetDibTableBytes(const uint8_t* header);
// Offset of the pixel bits in a packed block: header size + GetDibTableBytes.
size_t GetDibBitsOffset(const uint8_t* header);
// The signed 16-bit word behind the header-size field: a core header's width, the low half
// of biWidth otherwise.
int16_t GetDibWidth16(const uint8_t* header);
// Height of a packed DIB: a core header's 16-bit height, else |biHeight|.
int32_t GetDibHeight(const uint8_t* header);
int32_t GetDibWidth(const uint8_t* header);

// Bytes of the rows of a width x |height| bitmap at `bits` per pixel, rows padded to 4 bytes,
// in 64 bits (no overflow for any 32-bit width and height).
uint64_t DibImageBytes(int64_t width, int64_t height, uint32_t bits);

}  // namespace kalimu::watermark
