// The bitmap parser and the packed-DIB readers.
#include "kalimu/watermark/dib_format.h"

#include <cstring>

namespace kalimu::watermark {
namespace {

template <class T>
T ReadAt(const uint8_t* bytes, size_t offset) {
  T value;
  std::memcpy(&value, bytes + offset, sizeof(T));
  return value;
}

uint32_t CountByBits(uint32_t bits) {
  switch (bits) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

bool DepthAllowed(uint32_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool CompressionAllowed(uint32_t compression, uint32_t bits) {
  switch (compression) {
    case kBiRgb: return true;
    case kBiRle8: return bits == 8;
    case kBiRle4: return bits == 4;
    case kBiBitfields: return bits == 16 || bits == 32;
    default: return false;
  }
}

// biClrUsed at most 2^bits, and at most 256 for the deeper formats (an optional palette).
bool ColorsUsedAllowed(uint32_t used, uint32_t bits) {
  const uint32_t limit = bits <= 8 ? (1u << bits) : 256u;
  return used <= limit;
}

// Checks the fields of a 40- or 108-byte header and settles its table and image sizes.
bool SettleInfoHeader(const DibInfoHeader& h, uint32_t* table_bytes, uint32_t* image_bytes) {
  if (!DepthAllowed(h.biBitCount) || !CompressionAllowed(h.biCompression, h.biBitCount)) return false;
  if (!ColorsUsedAllowed(h.biClrUsed, h.biBitCount)) return false;
  if (h.biWidth <= 0 || h.biHeight == 0) return false;
  uint64_t image = h.biSizeImage;
  if (image == 0 || h.biCompression == kBiRgb || h.biCompression == kBiBitfields) {
    image = DibImageBytes(h.biWidth, h.biHeight, h.biBitCount);
  }
  if (image > UINT32_MAX) return false;
  *image_bytes = static_cast<uint32_t>(image);
  *table_bytes = GetDibTableBytes(reinterpret_cast<const uint8_t*>(&h));
  return true;
}

}  // namespace

uint64_t DibImageBytes(int64_t width, int64_t height, uint32_t bits) {
  const uint64_t w = static_cast<uint64_t>(width < 0 ? -width : width);
  const uint64_t h = static_cast<uint64_t>(height < 0 ? -height : height);
  return ((w * bits + 31) >> 5) * 4 * h;
}

uint32_t GetDibColorCount(const uint8_t* header) {
  const uint32_t size = ReadAt<uint32_t>(header, 0);
  if (size == kCoreHeaderBytes) return CountByBits(ReadAt<uint16_t>(header, offsetof(DibCoreHeader, bcBitCount)));
  const uint32_t used = ReadAt<uint32_t>(header, offsetof(DibInfoHeader, biClrUsed));
  return used != 0 ? used : CountByBits(ReadAt<uint16_t>(header, offsetof(DibInfoHeader, biBitCount)));
}

uint16_t GetDibTableBytes(const uint8_t* header) {
  const uint32_t size = ReadAt<uint32_t>(header, 0);
  if (size == kInfoHeaderBytes) {
    const uint16_t bits = ReadAt<uint16_t>(header, offsetof(DibInfoHeader, biBitCount));
    if ((bits == 16 || bits == 32) &&
        ReadAt<uint32_t>(header, offsetof(DibInfoHeader, biCompression)) == kBiBitfields) {
      return kMaskBytes;
    }
  }
  return static_cast<uint16_t>(GetDibColorCount(header) * 4);
}

size_t GetDibBitsOffset(const uint8_t* header) {
  return ReadAt<uint32_t>(header, 0) + size_t{GetDibTableBytes(header)};
}

int16_t GetDibWidth16(const uint8_t* header) { return ReadAt<int16_t>(header, 4); }

int32_t GetDibWidth(const uint8_t* header) {
  if (ReadAt<uint32_t>(header, 0) == kCoreHeaderBytes) return ReadAt<uint16_t>(header, 4);
  return ReadAt<int32_t>(header, 4);
}

int32_t GetDibHeight(const uint8_t* header) {
  if (ReadAt<uint32_t>(header, 0) == kCoreHeaderBytes) return ReadAt<int16_t>(header, 6);
  const int64_t height = ReadAt<int32_t>(header, 8);
  const int64_t magnitude = height < 0 ? -height : height;
  return static_cast<int32_t>(magnitude > INT32_MAX ? INT32_MAX : magnitude);
}

DibStatus PlanDib(std::span<const uint8_t> image, DibPlan* plan) {
  if (image.size() < 4) return kDibBadFormat;
  DibPlan p{};
  p.source_header_bytes = ReadAt<uint32_t>(image.data(), 0);
  if (p.source_header_bytes != kCoreHeaderBytes && p.source_header_bytes != kInfoHeaderBytes &&
      p.source_header_bytes != kV4HeaderBytes) {
    return kDibBadFormat;
  }
  if (image.size() < p.source_header_bytes) return kDibBadFormat;

  if (p.source_header_bytes == kCoreHeaderBytes) {
    const auto core = ReadAt<DibCoreHeader>(image.data(), 0);
    if (!DepthAllowed(core.bcBitCount) || core.bcBitCount == 16 || core.bcBitCount == 32) return kDibBadFormat;
    if (core.bcWidth == 0 || core.bcHeight == 0) return kDibBadFormat;
    p.color_count = CountByBits(core.bcBitCount);
    p.source_entry_bytes = 3;
    p.header = DibInfoHeader{kInfoHeaderBytes, core.bcWidth, core.bcHeight, core.bcPlanes, core.bcBitCount,
                             kBiRgb, 0, 0, 0, p.color_count, p.color_count};
    const uint64_t bytes = DibImageBytes(core.bcWidth, core.bcHeight, core.bcBitCount);
    p.header.biSizeImage = static_cast<uint32_t>(bytes);  // at most 65535 x 65535 x 3 + padding
    p.header_bytes = kInfoHeaderBytes;
    p.image_bytes = p.header.biSizeImage;
    p.table_bytes = p.color_count * 4;
  } else {
    p.header = ReadAt<DibInfoHeader>(image.data(), 0);
    p.header_bytes = p.source_header_bytes;
    if (!SettleInfoHeader(p.header, &p.table_bytes, &p.image_bytes)) return kDibBadFormat;
    p.header.biSizeImage = p.image_bytes;
    p.color_count = GetDibColorCount(reinterpret_cast<const uint8_t*>(&p.header));
    if (p.header.biClrUsed == 0) p.header.biClrUsed = p.color_count;
    p.source_entry_bytes = 4;
    if (p.header_bytes == kInfoHeaderBytes && p.header.biCompression == kBiBitfields) p.source_mask_bytes = kMaskBytes;
  }

  const uint64_t bits_offset = uint64_t{p.source_header_bytes} + p.source_mask_bytes +
                               uint64_t{p.color_count} * p.source_entry_bytes;
  if (bits_offset + p.image_bytes > image.size()) return kDibBadFormat;
  p.bits_offset = static_cast<size_t>(bits_offset);
  p.total_bytes = size_t{p.header_bytes} + p.table_bytes + p.image_bytes;
  *plan = p;
  return kDibLoaded;
}

DibStatus PlanBmpFile(std::span<const uint8_t> file, DibPlan* plan) {
  if (file.size() < kFileHeaderBytes) return kDibCannotOpen;
  if (ReadAt<uint16_t>(file.data(), 0) != kBmpSignature) return kDibBadFormat;
  return PlanDib(file.subspan(kFileHeaderBytes), plan);
}

void BuildPackedDib(std::span<const uint8_t> image, const DibPlan& plan, uint8_t* out) {
  std::memcpy(out, &plan.header, sizeof(DibInfoHeader));
  size_t at = sizeof(DibInfoHeader);
  if (plan.header_bytes == kV4HeaderBytes) {
    std::memcpy(out + at, image.data() + at, kV4HeaderBytes - at);
    at = kV4HeaderBytes;
  }
  const uint8_t* source = image.data() + plan.source_header_bytes;
  if (plan.source_mask_bytes != 0) {
    // BI_BITFIELDS: the masks take the table's place; a colour table behind them is dropped.
    std::memcpy(out + at, source, plan.source_mask_bytes);
  } else if (plan.source_entry_bytes == 3) {
    for (uint32_t i = 0; i < plan.color_count; ++i) {
      uint8_t* entry = out + at + size_t{i} * 4;
      std::memcpy(entry, source + size_t{i} * 3, 3);
      entry[3] = 0;
    }
  } else {
    std::memcpy(out + at, source, plan.table_bytes);
  }
  at += plan.table_bytes;
  std::memcpy(out + at, image.data() + plan.bits_offset, plan.image_bytes);
}

DibStatus CheckPackedDib(std::span<const uint8_t> block) {
  if (block.size() < kInfoHeaderBytes) return kDibBadFormat;
  const auto header = ReadAt<DibInfoHeader>(block.data(), 0);
  if (header.biSize != kInfoHeaderBytes && header.biSize != kV4HeaderBytes) return kDibBadFormat;
  if (block.size() < header.biSize) return kDibBadFormat;
  uint32_t table = 0, image = 0;
  if (!SettleInfoHeader(header, &table, &image)) return kDibBadFormat;
  // A compressed image keeps its stored size, an uncompressed one needs its padded rows.
  if (uint64_t{header.biSize} + table + image > block.size()) return kDibBadFormat;
  return kDibLoaded;
}

uint32_t CheckThumbnailImage(std::span<const uint8_t> file) {
  if (file.size() < kFileHeaderBytes) return 0;
  const auto header = ReadAt<DibFileHeader>(file.data(), 0);
  if (header.bfType != kBmpSignature || header.bfOffBits != kFileHeaderBytes) return 0;
  if (header.bfSize < kFileHeaderBytes || header.bfSize > file.size()) return 0;
  const uint32_t block = header.bfSize - kFileHeaderBytes;
  if (CheckPackedDib(file.subspan(kFileHeaderBytes, block)) != kDibLoaded) return 0;
  return block;
}

}  // namespace kalimu::watermark
