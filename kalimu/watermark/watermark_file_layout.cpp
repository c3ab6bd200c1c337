// ".WBF" and thumbnail file layouts.
#include "kalimu/watermark/watermark_file_layout.h"

#include <algorithm>
#include <cstring>

namespace kalimu::watermark {

std::optional<WbfLayout> WbfLayoutFor(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return std::nullopt;
  const uint64_t w = static_cast<uint64_t>(width), h = static_cast<uint64_t>(height);
  const uint64_t area = 8 * ((w + 63) / 64) * h;
  if (area + kWbfHeaderBytes > UINT32_MAX) return std::nullopt;
  return WbfLayout{static_cast<uint32_t>(4 * ((w + 31) / 32)), static_cast<uint32_t>(area),
                   static_cast<uint32_t>(area + kWbfHeaderBytes)};
}

std::array<uint8_t, kWbfHeaderBytes> BuildWbfHeader(int32_t width, int32_t height, const WbfLayout& layout) {
  std::array<uint8_t, kWbfHeaderBytes> bytes{};
  const DibFileHeader file{kBmpSignature, layout.file_bytes, 0, 0, kWbfHeaderBytes};
  const DibInfoHeader info{kInfoHeaderBytes, width, height, 1, 1, kBiRgb, 0, 0, 0, 0, 0};
  std::memcpy(bytes.data(), &file, sizeof(file));
  std::memcpy(bytes.data() + kFileHeaderBytes, &info, sizeof(info));
  // Colour 0 black, colour 1 white (blue, green, red, 0).
  const uint8_t colours[8] = {0, 0, 0, 0, 255, 255, 255, 0};
  std::memcpy(bytes.data() + kFileHeaderBytes + kInfoHeaderBytes, colours, sizeof(colours));
  return bytes;
}

uint32_t ThumbnailBlockBytes(int32_t width, int32_t height, uint32_t bits) {
  const uint64_t w = static_cast<uint64_t>(std::max(width, 1)), h = static_cast<uint64_t>(std::max(height, 1));
  const uint64_t table = 4 * (uint64_t{1} << bits);
  const uint64_t nominal = w * h + table + 552;
  const uint64_t needed = kInfoHeaderBytes + table + DibImageBytes(static_cast<int64_t>(w), static_cast<int64_t>(h), bits);
  return static_cast<uint32_t>(std::max(nominal, needed));
}

std::array<uint8_t, kFileHeaderBytes> BuildThumbnailFileHeader(uint32_t block_bytes) {
  std::array<uint8_t, kFileHeaderBytes> bytes{};
  const DibFileHeader file{kBmpSignature, block_bytes + kFileHeaderBytes, 0, 0, kFileHeaderBytes};
  std::memcpy(bytes.data(), &file, sizeof(file));
  return bytes;
}

}  // namespace kalimu::watermark
