// Colour work on packed DIBs: re-colouring a 1-bit watermark, fading by density, and the
// entries of the watermark editor's palettes. Plain C++ (host build too).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kalimu::watermark {

struct Bgr {
  uint8_t blue;
  uint8_t green;
  uint8_t red;
};

// One channel faded by a density in percent: 255 - (255 - v) x density / 100, truncated.
constexpr uint8_t FadeChannel(uint8_t value, int density) {
  return static_cast<uint8_t>(255 - (255 - value) * density / 100);
}
constexpr Bgr FadeColor(Bgr color, int density) {
  return {FadeChannel(color.blue, density), FadeChannel(color.green, density), FadeChannel(color.red, density)};
}

// Prepares the display copy of a watermark bitmap in place (a block CheckPackedDib accepts):
// a 1-bit bitmap's darker colour entry (entry 0 when both are as dark) becomes `color` and the
// other white; then, unless the density is 100 or the bitmap has more than 8 bits per pixel,
// every colour entry is faded by the density. The one fade of the edit dialog, the thumbnails
// and the layout page. False (nothing changed) for a block that is not a packed DIB.
bool FadeWatermarkDib(std::span<uint8_t> dib, Bgr color, int density);

// A logical palette's entries, red, green, blue, flags.
struct PaletteColor {
  uint8_t red;
  uint8_t green;
  uint8_t blue;
  uint8_t flags;
};
// Entries of the watermark palette of a packed DIB: its colour table when it has one; for a
// 24-bit DIB without one the 256-entry cube (i: red 32 (i mod 8), green 32 ((i / 8) mod 8),
// blue 64 (i / 64)); nothing for other headers (only 40-byte headers take part).
size_t WatermarkPaletteColors(std::span<const uint8_t> dib, std::array<PaletteColor, 256>& out);

}  // namespace kalimu::watermark
