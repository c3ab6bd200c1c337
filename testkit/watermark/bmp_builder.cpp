// BMP images for the bitmap loaders' tests.
#include "testkit/watermark/bmp_builder.h"

#include <cstdlib>
#include <cstring>

namespace testkit::watermark {
namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

uint32_t ByBits(uint32_t bits) { return bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0; }

}  // namespace

uint8_t TableByte(uint32_t entry, int channel) {
  return static_cast<uint8_t>(channel == 0 ? entry * 5 + 1 : channel == 1 ? 255 - entry : entry * 3 + 7);
}

uint8_t PixelByte(uint64_t k) { return static_cast<uint8_t>(k * 37 + 11); }

uint32_t ImpliedEntries(const BmpLayout& layout) {
  if (layout.header_bytes == 12) return ByBits(layout.bits);
  return layout.colors_used != 0 ? layout.colors_used : ByBits(layout.bits);
}

uint64_t PaddedImageBytes(const BmpLayout& layout) {
  const uint64_t w = static_cast<uint64_t>(std::llabs(layout.width));
  const uint64_t h = static_cast<uint64_t>(std::llabs(layout.height));
  return ((w * layout.bits + 31) / 32) * 4 * h;
}

std::vector<uint8_t> BuildBmp(const BmpLayout& layout) {
  const bool core = layout.header_bytes == 12;
  const uint32_t entries = layout.table_entries.value_or(ImpliedEntries(layout));
  const uint32_t entry_bytes = core ? 3 : 4;
  const uint32_t masks = (layout.header_bytes == 40 && layout.compression == 3) ? 12 : 0;
  const uint64_t pixels = layout.pixel_bytes.value_or(PaddedImageBytes(layout));
  const uint32_t bits_at = 14 + layout.header_bytes + masks + entries * entry_bytes + layout.gap;

  std::vector<uint8_t> out;
  Put16(out, layout.signature);
  Put32(out, static_cast<uint32_t>(bits_at + pixels));
  Put32(out, 0);
  Put32(out, layout.off_bits.value_or(bits_at));
  if (core) {
    Put32(out, 12);
    Put16(out, static_cast<uint32_t>(layout.width));
    Put16(out, static_cast<uint32_t>(layout.height));
    Put16(out, 1);
    Put16(out, layout.bits);
  } else {
    Put32(out, layout.header_bytes);
    Put32(out, static_cast<uint32_t>(layout.width));
    Put32(out, static_cast<uint32_t>(layout.height));
    Put16(out, 1);
    Put16(out, layout.bits);
    Put32(out, layout.compression);
    Put32(out, layout.size_image);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, layout.colors_used);
    Put32(out, 0);
    // The rest of a longer header: V4 masks and colour-space fields, recognisable bytes.
    for (uint32_t i = 40; i < layout.header_bytes; ++i) out.push_back(static_cast<uint8_t>(0xA0 + i));
  }
  if (masks != 0) {
    Put32(out, 0xF800);
    Put32(out, 0x07E0);
    Put32(out, 0x001F);
  }
  for (uint32_t i = 0; i < entries; ++i) {
    for (int c = 0; c < 3; ++c) out.push_back(TableByte(i, c));
    if (!core) out.push_back(0);
  }
  // The gap continues the pixel sequence, so that a loader that reads it as pixels is seen.
  for (uint64_t k = 0; k < layout.gap + pixels; ++k) out.push_back(PixelByte(k));
  return out;
}

std::vector<uint8_t> BuildThumbnailFile(int32_t width, int32_t height, uint16_t bits, uint32_t block_bytes) {
  BmpLayout layout;
  layout.width = width;
  layout.height = height;
  layout.bits = bits;
  layout.colors_used = 1u << bits;
  std::vector<uint8_t> file = BuildBmp(layout);
  file.resize(14 + static_cast<size_t>(block_bytes), 0);
  const uint32_t size = 14 + block_bytes;
  std::memcpy(file.data() + 2, &size, 4);
  const uint32_t off = 14;
  std::memcpy(file.data() + 10, &off, 4);
  return file;
}

}  // namespace testkit::watermark
