// What the watermark editor asks of a display: its depth and whether it works with palettes.
// The query is a seam: the tests' null display is always 32-bit, so they hand in palette and
// 16-colour displays through SetDisplayCapsQuery; the product's query asks the DC.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace kalimu::watermark {

struct DisplayCaps {
  int bits_per_pixel;
  bool palette;  // RC_PALETTE
  bool IsPaletteDisplay() const { return palette && bits_per_pixel <= 8; }
};

DisplayCaps QueryDisplayCaps(HDC dc);

using DisplayCapsQuery = DisplayCaps (*)(HDC dc);
// Replaces the query (null: the DC's own answer again); answers the previous one.
DisplayCapsQuery SetDisplayCapsQuery(DisplayCapsQuery query);

// On a palette display, selects and realises a palette of a packed DIB (the watermark palette,
// or what make_palette builds) into the DC for the life of the scope; nothing otherwise.
class ScopedDibPalette {
 public:
  ScopedDibPalette(HDC dc, const uint8_t* dib, size_t size, HPALETTE (*make_palette)(const uint8_t*, size_t) = nullptr);
  ~ScopedDibPalette();
  ScopedDibPalette(const ScopedDibPalette&) = delete;
  ScopedDibPalette& operator=(const ScopedDibPalette&) = delete;
  HPALETTE palette() const { return palette_; }

 private:
  HDC dc_;
  HPALETTE palette_ = nullptr;
  HPALETTE old_ = nullptr;
};

}  // namespace kalimu::watermark
