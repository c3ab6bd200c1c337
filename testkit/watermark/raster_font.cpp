// The raster font file: a 118-byte version-2 header, the character table (width and offset of
// each character and a sentinel), the glyphs column by column, then the face name.
#include "testkit/watermark/raster_font.h"

#include <cstring>

namespace testkit::watermark {
namespace {

constexpr int kFirst = 32, kLast = 126, kWidth = 8, kHeight = 16, kAscent = 12;
constexpr size_t kHeaderBytes = 118;

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  Put16(out, at, v & 0xFFFF);
  Put16(out, at + 2, v >> 16);
}

}  // namespace

std::vector<uint8_t> BuildRasterFont(const std::string& face) {
  const int chars = kLast - kFirst + 1;
  const size_t table = kHeaderBytes;
  const size_t bits = table + size_t(chars + 1) * 4;
  const size_t name = bits + size_t(chars) * kHeight;
  const std::string face_name = face.substr(0, 31);
  std::vector<uint8_t> out(name + face_name.size() + 1, 0);
  Put16(out, 0, 0x0200);
  Put32(out, 2, static_cast<uint32_t>(out.size()));
  std::memcpy(&out[6], "Test kit raster font", 20);
  Put16(out, 66, 0);       // raster
  Put16(out, 68, 12);      // points
  Put16(out, 70, 96);      // vertical and horizontal resolution
  Put16(out, 72, 96);
  Put16(out, 74, kAscent);
  Put16(out, 83, 400);     // weight
  out[85] = 0;             // ANSI character set
  Put16(out, 86, kWidth);  // fixed pitch
  Put16(out, 88, kHeight);
  out[90] = 0x30;          // FF_MODERN, fixed pitch
  Put16(out, 91, kWidth);
  Put16(out, 93, kWidth);
  out[95] = kFirst;
  out[96] = kLast;
  out[97] = '?' - kFirst;
  out[98] = 0;
  Put16(out, 99, kWidth / 8 * chars);
  Put32(out, 105, static_cast<uint32_t>(name));
  Put32(out, 113, static_cast<uint32_t>(bits));
  for (int c = 0; c <= chars; ++c) {
    Put16(out, table + size_t(c) * 4, kWidth);
    Put16(out, table + size_t(c) * 4 + 2, static_cast<uint32_t>(bits + size_t(c < chars ? c : 0) * kHeight));
  }
  for (int c = 1; c < chars; ++c) {  // character 32, the space, stays blank
    uint8_t* glyph = &out[bits + size_t(c) * kHeight];
    for (int row = 2; row < kAscent; ++row) glyph[row] = row == 2 || row == kAscent - 1 ? 0x7E : 0x42;
  }
  std::memcpy(&out[name], face_name.data(), face_name.size());
  return out;
}

}  // namespace testkit::watermark
