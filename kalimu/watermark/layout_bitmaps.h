// The layout page's picture of the chosen watermark: a thumbnail loaded from the shared folder,
// from a thumbnail cache in the Windows folder (fixed watermarks) or made from the bitmap,
// and its display copy in the watermark's colour and density.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "kalimu/watermark/dib_format.h"
#include "kalimu/watermark/watermark_bitmaps.h"
#include "kalimu/watermark/watermark_thumbnails.h"

namespace kalimu::settings {
class JobSettings;
}

namespace kalimu::watermark {

// What the layout page hands over: its settings object (watermark store and device mode), the
// resource library, and the pair of blocks it owns.
struct LayoutWatermarkContext {
  settings::JobSettings* settings;
  HMODULE resources;
  WatermarkBitmaps* bitmaps;
  DibPaletteMaker make_palette;  // the page's palette of a DIB on palette displays; null: the watermark palette
};

// The Windows-folder thumbnail of a bitmap: the Windows folder, the file name, extension "MWB".
bool WindowsThumbnailPath(const char* bitmap_path, char* out, size_t size);

// Loads entry `index`'s picture as a thumbnail. Statuses: kDibLoaded (the loaded DIB is the
// thumbnail, the display copy a zero-filled block of its size), kDibTooLarge (a bitmap file over
// 15,728,640 bytes), kDibNoMemory, kDibCannotOpen, kDibBadFormat, kDibNoResource,
// kDibReadFailed. On failure the display copy is empty and the loaded DIB stays as it was.
DibStatus LoadWatermarkBitmap(HWND window, const char* bitmap_path, const LayoutWatermarkContext& context,
                              uint16_t index);

// Loads the device mode's watermark; a bitmap that is too large shows the too-large message;
// when nothing loads, the device mode falls back to watermark 0 at size 50, position 0. Then
// prepares the display copy. 1.
int LoadCurrentWatermarkBitmap(HWND window, const LayoutWatermarkContext& context);

// The display copy in the selected watermark's colour (black unless the mode variant is 1) and
// density (none on a display of at most 4 bits per pixel); the device mode's aspect from the
// bitmap itself.
void PrepareWatermarkPreview(HWND window, const LayoutWatermarkContext& context);

}  // namespace kalimu::watermark
