// Display depth and palette queries, and the scoped watermark palette.
#include "kalimu/watermark/display_caps.h"

#include "kalimu/watermark/dib_loading.h"

namespace kalimu::watermark {
namespace {

DisplayCaps AskTheDc(HDC dc) {
  return {GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES), (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0};
}

DisplayCapsQuery current_query = AskTheDc;

}  // namespace

DisplayCaps QueryDisplayCaps(HDC dc) { return current_query(dc); }

DisplayCapsQuery SetDisplayCapsQuery(DisplayCapsQuery query) {
  const DisplayCapsQuery previous = current_query;
  current_query = query != nullptr ? query : AskTheDc;
  return previous;
}

ScopedDibPalette::ScopedDibPalette(HDC dc, const uint8_t* dib, size_t size,
                                   HPALETTE (*make_palette)(const uint8_t*, size_t))
    : dc_(dc) {
  if (dc == nullptr || !QueryDisplayCaps(dc).IsPaletteDisplay()) return;
  palette_ = (make_palette != nullptr ? make_palette : CreateWatermarkPalette)(dib, size);
  if (palette_ == nullptr) return;
  old_ = SelectPalette(dc, palette_, FALSE);
  RealizePalette(dc);
}

ScopedDibPalette::~ScopedDibPalette() {
  if (palette_ == nullptr) return;
  SelectPalette(dc_, old_ != nullptr ? old_ : static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
  DeleteObject(palette_);
}

}  // namespace kalimu::watermark
