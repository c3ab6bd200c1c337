// Photo-like test picture and pattern BMP generators.
#include "testkit/imaging/test_pictures.h"

#include <cstring>

namespace testkit::imaging {
namespace {

uint8_t Clamp8(int v) { return uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// Marker of bytes an engine must not touch: fourth bytes and row padding.
uint8_t Marker(int32_t x, int32_t y) { return uint8_t(0xA5 ^ (x * 7 + y * 13)); }

void PutLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
void PutLe16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

struct Rgb {
  int r, g, b;
};

TestPicture Blank(int32_t width, int32_t height, uint32_t format, int32_t stride_padding) {
  const TestPixelLayout layout = TestLayoutOf(format);
  TestPicture picture{width, height, width * layout.bytes + stride_padding, format, {}};
  picture.bits.resize(size_t(picture.stride) * size_t(height));
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t i = 0; i < picture.stride; ++i) picture.bits[size_t(y) * picture.stride + i] = Marker(i, y);
  }
  return picture;
}

void Put(TestPicture* picture, int32_t x, int32_t y, Rgb c) {
  const TestPixelLayout layout = TestLayoutOf(picture->format);
  uint8_t* p = picture->bits.data() + size_t(y) * picture->stride + size_t(x) * layout.bytes;
  p[layout.red] = Clamp8(c.r);
  p[layout.green] = Clamp8(c.g);
  p[layout.blue] = Clamp8(c.b);
}

Rgb PhotoColour(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t* noise) {
  // Coordinates on a 0..1023 square whatever the picture's size.
  const int u = width > 1 ? x * 1023 / (width - 1) : 0;
  const int v = height > 1 ? y * 1023 / (height - 1) : 0;
  Rgb c;
  if (v < 400) {
    c = {90 + v / 8, 140 + v / 10, 235 - v / 12};  // sky, lighter toward the horizon
  } else if (v < 800) {
    c = {40 + u / 20, 110 + (u * 3 + v) % 70, 35 + v / 40};  // foliage
  } else {
    c = {u / 4, u / 4, u / 4};  // grey ramp on the ground, black to white
  }
  const int dx = u - 620;
  const int dy = v - 430;
  if (dx * dx + dy * dy < 170 * 170) {
    const int shade = (dx + dy) / 12;
    c = {222 - shade, 172 - shade, 138 - shade};  // skin-toned face, shaded
  }
  if (u > 60 && u < 220 && v > 520 && v < 700) c = {215, 30, 40};     // red patch
  if (u > 260 && u < 400 && v > 520 && v < 700) c = {30, 60, 200};    // blue patch
  if (u > 900 && v < 120) c = {255, 255, 250};                          // specular highlight
  if (u < 40 && v > 700) c = {4, 3, 6};                                 // deep shadow
  *noise = *noise * 1664525u + 1013904223u;
  const int n = int((*noise >> 24) % 9) - 4;
  return {c.r + n, c.g + n, c.b + n};
}

}  // namespace

TestPixelLayout TestLayoutOf(uint32_t format) {
  switch (format & 0xFFFF) {
    case 1: return {0, 1, 2, 3};
    case 2: return {2, 1, 0, 3};
    case 4: return {1, 2, 3, 4};
    default: return {2, 1, 0, 4};
  }
}

TestPicture MakePhotoPicture(int32_t width, int32_t height, uint32_t format, int32_t stride_padding) {
  TestPicture picture = Blank(width, height, format, stride_padding);
  uint32_t noise = 12345;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) Put(&picture, x, y, PhotoColour(x, y, width, height, &noise));
  }
  return picture;
}

TestPicture MakeFlatPicture(int32_t width, int32_t height, uint32_t format, uint8_t red, uint8_t green,
                            uint8_t blue, int32_t stride_padding) {
  TestPicture picture = Blank(width, height, format, stride_padding);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) Put(&picture, x, y, {red, green, blue});
  }
  return picture;
}

std::vector<uint8_t> MakePatternBmp(int32_t tile, uint8_t (*value)(int32_t x, int32_t y)) {
  const size_t bits_offset = 14 + 40 + 256 * 4;
  std::vector<uint8_t> file(bits_offset + size_t(tile) * size_t(tile));
  uint8_t* p = file.data();
  p[0] = 'B';
  p[1] = 'M';
  PutLe32(p + 2, uint32_t(file.size()));
  PutLe32(p + 10, uint32_t(bits_offset));
  uint8_t* info = p + 14;
  PutLe32(info, 40);
  PutLe32(info + 4, uint32_t(tile));
  PutLe32(info + 8, uint32_t(tile));
  PutLe16(info + 12, 1);
  PutLe16(info + 14, 8);
  PutLe32(info + 20, uint32_t(tile * tile));
  PutLe32(info + 32, 256);
  for (int i = 0; i < 256; ++i) std::memset(p + 54 + 4 * i, i, 3);
  for (int32_t y = 0; y < tile; ++y) {
    for (int32_t x = 0; x < tile; ++x) p[bits_offset + size_t(y) * tile + x] = value(x, y);
  }
  return file;
}

uint64_t Fnv1a(const uint8_t* bytes, size_t size) {
  uint64_t hash = 14695981039346656037ull;
  for (size_t i = 0; i < size; ++i) {
    hash ^= bytes[i];
    hash *= 1099511628211ull;
  }
  return hash;
}

}  // namespace testkit::imaging
