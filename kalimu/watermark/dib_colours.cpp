// Re-colouring, fading and palette entries of packed DIBs.
#include "kalimu/watermark/dib_colours.h"

#include <cstring>

#include "kalimu/watermark/dib_format.h"

namespace kalimu::watermark {

bool FadeWatermarkDib(std::span<uint8_t> dib, Bgr color, int density) {
  if (CheckPackedDib(dib) != kDibLoaded) return false;
  DibInfoHeader header;
  std::memcpy(&header, dib.data(), sizeof(header));
  if (header.biBitCount > 8) return true;  // drawn as they are
  uint8_t* table = dib.data() + header.biSize;
  const size_t entries = GetDibTableBytes(dib.data()) / 4;
  if (header.biBitCount == 1 && entries >= 2) {
    const int sum0 = table[0] + table[1] + table[2];
    const int sum1 = table[4] + table[5] + table[6];
    uint8_t* dark = sum1 < sum0 ? table + 4 : table;
    uint8_t* light = dark == table ? table + 4 : table;
    dark[0] = color.blue, dark[1] = color.green, dark[2] = color.red, dark[3] = 0;
    light[0] = light[1] = light[2] = 255, light[3] = 0;
  }
  if (density == 100) return true;
  for (size_t i = 0; i < entries; ++i) {
    uint8_t* entry = table + i * 4;
    for (int c = 0; c < 3; ++c) entry[c] = FadeChannel(entry[c], density);
  }
  return true;
}

size_t WatermarkPaletteColors(std::span<const uint8_t> dib, std::array<PaletteColor, 256>& out) {
  if (CheckPackedDib(dib) != kDibLoaded) return 0;
  DibInfoHeader header;
  std::memcpy(&header, dib.data(), sizeof(header));
  if (header.biSize != kInfoHeaderBytes) return 0;
  const uint32_t count = GetDibColorCount(dib.data());
  if (count > 0 && GetDibTableBytes(dib.data()) == count * 4) {
    const uint8_t* table = dib.data() + header.biSize;
    for (uint32_t i = 0; i < count; ++i) out[i] = {table[i * 4 + 2], table[i * 4 + 1], table[i * 4], 0};
    return count;
  }
  if (count == 0 && header.biBitCount == 24) {
    for (uint32_t i = 0; i < 256; ++i) {
      out[i] = {static_cast<uint8_t>(32 * (i % 8)), static_cast<uint8_t>(32 * ((i / 8) % 8)),
                static_cast<uint8_t>(64 * (i / 64)), 0};
    }
    return 256;
  }
  return 0;
}

}  // namespace kalimu::watermark
