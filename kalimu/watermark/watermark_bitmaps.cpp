// Display copies of watermark pictures.
#include "kalimu/watermark/watermark_bitmaps.h"

#include <cstring>

namespace kalimu::watermark {

bool PrepareDisplayCopy(WatermarkBitmaps& bitmaps, Bgr color, int density, int display_bits) {
  if (!bitmaps.loaded.held() || !bitmaps.display.held()) return false;
  const size_t size = bitmaps.loaded.size();
  if (bitmaps.display.size() != size) return false;
  std::memcpy(bitmaps.display.data(), bitmaps.loaded.data(), size);
  return FadeWatermarkDib({bitmaps.display.data(), size}, color, display_bits <= 4 ? 100 : density);
}

}  // namespace kalimu::watermark
