// A watermark's picture as the dialogs and the layout page hold it: the loaded DIB (a
// thumbnail) and its display copy, re-coloured and faded before drawing, of one byte length.
#pragma once

#include <cstdint>

#include "kalimu/platform/global_block.h"
#include "kalimu/watermark/dib_colours.h"

namespace kalimu::watermark {

struct WatermarkBitmaps {
  platform::GlobalBlock loaded;
  platform::GlobalBlock display;
  uint32_t size = 0;

  void Reset() {
    loaded.Reset();
    display.Reset();
    size = 0;
  }
};

// Copies the loaded DIB over the display copy and re-colours and fades it (FadeWatermarkDib);
// the density counts as 100 on a display of at most 4 bits per pixel. False when either block
// is missing or they differ in size.
bool PrepareDisplayCopy(WatermarkBitmaps& bitmaps, Bgr color, int density, int display_bits);

}  // namespace kalimu::watermark
