// Test pictures for the image engines: a photo-like RGB picture in any of the engines' pixel
// formats, and 8-bit BMP pattern pictures. Platform-neutral: both builds use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace testkit::imaging {

// Byte positions of red, green, blue in a pixel of the picture formats 1, 2, 4, 8.
struct TestPixelLayout {
  int red;
  int green;
  int blue;
  int bytes;
};
TestPixelLayout TestLayoutOf(uint32_t format);

struct TestPicture {
  int32_t width;
  int32_t height;
  int32_t stride;
  uint32_t format;
  std::vector<uint8_t> bits;  // stride * height bytes
};

// A deterministic picture with what a photograph has: a sky gradient, a warm (skin-coloured)
// disc, green foliage, saturated red and blue patches, a grey ramp, deep shadows and highlights,
// and a little noise. Fourth bytes and row padding hold a marker pattern of their own so that
// a test can see whether an engine touched them. stride_padding bytes follow each row.
TestPicture MakePhotoPicture(int32_t width, int32_t height, uint32_t format, int32_t stride_padding = 0);

// A picture of one colour (fourth bytes and padding marked as above).
TestPicture MakeFlatPicture(int32_t width, int32_t height, uint32_t format, uint8_t red, uint8_t green,
                            uint8_t blue, int32_t stride_padding = 0);

// An 8-bit BMP file image of tile x tile pixels, bits at byte 1078 after a grey colour table;
// pixel (x, y) of the stored rows is value(x, y).
std::vector<uint8_t> MakePatternBmp(int32_t tile, uint8_t (*value)(int32_t x, int32_t y));

// FNV-1a over bytes: the checksums the whole-picture tests compare.
uint64_t Fnv1a(const uint8_t* bytes, size_t size);
inline uint64_t Fnv1a(const std::vector<uint8_t>& bytes) { return Fnv1a(bytes.data(), bytes.size()); }

}  // namespace testkit::imaging
