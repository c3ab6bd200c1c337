// Readers of packed device-independent bitmaps and the palettes made from them. Every read is
// checked against the bytes the caller gave.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "kalimu/pages/drawing_helpers.h"

namespace kalimu::pages {

namespace {

constexpr uint32_t kCoreHeader = 12;
constexpr uint32_t kInfoHeader = 40;

template <class T>
bool Read(PackedDib dib, size_t offset, T* value) {
  if (dib.data == nullptr || offset > dib.size || dib.size - offset < sizeof(T)) return false;
  std::memcpy(value, static_cast<const uint8_t*>(dib.data) + offset, sizeof(T));
  return true;
}

// The header's size when it is a core header or an information header that the bytes hold; 0
// otherwise.
uint32_t ValidHeader(PackedDib dib) {
  uint32_t size = 0;
  if (!Read(dib, 0, &size)) return 0;
  if (size != kCoreHeader && size < kInfoHeader) return 0;
  if (size > dib.size) return 0;
  return size;
}

uint16_t BitCount(PackedDib dib, uint32_t header) {
  uint16_t bits = 0;
  Read(dib, header == kCoreHeader ? 10 : 14, &bits);
  return bits;
}

uint32_t CountForBits(uint16_t bits) {
  switch (bits) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

uint32_t ColorsUsed(PackedDib dib) {
  uint32_t used = 0;
  Read(dib, 32, &used);
  return used;
}

}  // namespace

uint32_t GetDibHeaderSize(PackedDib dib) {
  uint32_t size = 0;
  Read(dib, 0, &size);
  return size;
}

int32_t GetDibWidth(PackedDib dib) {
  const uint32_t header = ValidHeader(dib);
  if (header == 0) return 0;
  if (header == kCoreHeader) {
    uint16_t width = 0;
    Read(dib, 4, &width);
    return width;
  }
  int32_t width = 0;
  Read(dib, 4, &width);
  return width;
}

int32_t GetDibHeight(PackedDib dib) {
  const uint32_t header = ValidHeader(dib);
  if (header == 0) return 0;
  if (header == kCoreHeader) {
    uint16_t height = 0;
    Read(dib, 6, &height);
    return height;
  }
  int32_t height = 0;
  Read(dib, 8, &height);
  return height == INT32_MIN ? 0 : std::abs(height);
}

uint32_t GetDibColorCount(PackedDib dib) {
  const uint32_t header = ValidHeader(dib);
  if (header == 0) return 0;
  if (header != kCoreHeader) {
    const uint32_t used = ColorsUsed(dib) & 0xFFFF;
    if (used != 0) return used;
  }
  return CountForBits(BitCount(dib, header));
}

uint32_t GetDibColorTableSize(PackedDib dib) {
  const uint32_t header = ValidHeader(dib);
  if (header == 0) return 0;
  const uint16_t bits = BitCount(dib, header);
  if (header == kCoreHeader) return 3 * CountForBits(bits);
  uint32_t compression = 0;
  Read(dib, 16, &compression);
  if ((bits == 16 || bits == 32) && compression == BI_BITFIELDS) return 12;
  const uint32_t used = ColorsUsed(dib);
  if (used != 0) return used <= 0x3FFFFFFF ? 4 * used : 0xFFFFFFFFu;  // beyond any bytes
  return 4 * CountForBits(bits);
}

const uint8_t* GetDibBitsPointer(PackedDib dib) {
  const uint32_t header = ValidHeader(dib);
  if (header == 0) return nullptr;
  const size_t offset = static_cast<size_t>(header) + GetDibColorTableSize(dib);
  if (offset > dib.size) return nullptr;
  return static_cast<const uint8_t*>(dib.data) + offset;
}

HPALETTE CreateDibPalette(PackedDib dib) {
  const uint32_t header = ValidHeader(dib);
  if (header != kInfoHeader) return nullptr;  // no palette for a core header or a damaged one
  const uint16_t bits = BitCount(dib, header);
  uint32_t count = ColorsUsed(dib);
  if (count == 0) count = CountForBits(bits);
  const bool cube = count == 0;
  if (cube) {
    if (bits < 16) return nullptr;
    count = 256;
  }
  if (count > 0x10000) return nullptr;
  if (!cube && (static_cast<size_t>(header) + 4 * static_cast<size_t>(count) > dib.size)) return nullptr;
  // A LOGPALETTE in a global block (version 0x300), freed once the palette is made.
  const size_t bytes = offsetof(LOGPALETTE, palPalEntry) + sizeof(PALETTEENTRY) * count;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  if (memory == nullptr) return nullptr;
  auto* palette = static_cast<LOGPALETTE*>(GlobalLock(memory));
  HPALETTE result = nullptr;
  if (palette != nullptr) {
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(count > 0xFFFF ? 0xFFFF : count);
    const auto* table = static_cast<const uint8_t*>(dib.data) + header;
    for (uint32_t i = 0; i < palette->palNumEntries; ++i) {
      PALETTEENTRY& entry = palette->palPalEntry[i];
      if (cube) {
        entry = PALETTEENTRY{static_cast<BYTE>(32 * (i % 8)), static_cast<BYTE>(32 * ((i / 8) % 8)),
                             static_cast<BYTE>(64 * (i / 64)), 0};
      } else {
        entry = PALETTEENTRY{table[4 * i + 2], table[4 * i + 1], table[4 * i], 0};
      }
    }
    result = CreatePalette(palette);
    GlobalUnlock(memory);
  }
  GlobalFree(memory);
  return result;
}

}  // namespace kalimu::pages
