// Thumbnails of watermark bitmaps: at most 128 pixels on the longer side, 8 bits for a user's
// BMP and 1 bit for text and fixed bitmaps, kept as thumbnail files ("MWB", bfOffBits 14) in the
// shared folder; whether a stored one is current; the edit dialog's loader that prefers it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "kalimu/platform/global_block.h"
#include "kalimu/storage/watermark_records.h"
#include "kalimu/watermark/dib_colours.h"
#include "kalimu/watermark/watermark_bitmaps.h"

namespace kalimu::watermark {

inline constexpr char kThumbnailPrefix[] = "MWB";
inline constexpr char kUniqueThumbnailExtension[] = ".MWB";

// Scales a packed DIB (a block CheckPackedDib accepts) into a new thumbnail DIB block of
// ThumbnailBlockBytes at `bits` (1 or 8) through a bitmap compatible with the window's DC, with
// the given stretch mode. On a palette display the palette make_palette builds of the DIB is
// realised first (the watermark palette unless the caller names another). The block's size,
// 0 on failure (out empty).
using DibPaletteMaker = HPALETTE (*)(const uint8_t* dib, size_t size);
uint32_t BuildThumbnailDib(HWND window, std::span<const uint8_t> dib, uint32_t bits, int stretch_mode,
                           platform::GlobalBlock* out, DibPaletteMaker make_palette = nullptr);

// Writes a thumbnail of the DIB (BLACKONWHITE at 1 bit, COLORONCOLOR at 8) into the folder:
// named after source_path, or uniquely (prefix and extension "MWB") when `unique` is set.
// out_path (MAX_PATH) receives its name. The DIB block's size, 0 when nothing was written.
uint32_t MakeWatermarkThumbnail(HWND window, std::span<const uint8_t> dib, uint32_t bits, char* out_path,
                                const char* source_path, bool unique, const char* folder);

// Writes a thumbnail file (14-byte header, bfOffBits 14, then the block) with world access.
// path (MAX_PATH, in/out): the source whose name it takes, replaced by the written name. 1 or 0.
int WriteThumbnailFile(uint32_t block_bytes, const uint8_t* block, char* path, bool unique, const char* folder);

// Writes the thumbnail file (header and block) at exactly this name: created with world access
// when missing, else rewritten and cut to length. 1 or 0.
int WriteThumbnailBytes(const char* name, uint32_t block_bytes, const uint8_t* block);

// Whether a thumbnail of the source's non-unique name exists in the folder.
int ThumbnailNameExists(const char* source_path, const char* folder);

// Whether entry `index` has a usable thumbnail file: unless skip_stamp_check, a bitmap file
// whose length or time differs from the entry's stamp refreshes the stamp and gives 0, as does
// an entry whose bitmap path is not bitmap_path. Then the thumbnail file must be whole (a
// header and a DIB block CheckPackedDib accepts). The block's size, or 0.
uint32_t CheckThumbnailCurrent(storage::WatermarkEntry* entries, const char* bitmap_path, int index, int count,
                               bool skip_stamp_check);

// Reads a whole thumbnail file and checks it: the DIB block (bfSize - 14 bytes) in out, its
// size, or 0 (out empty).
uint32_t ReadThumbnailFile(const char* path, platform::GlobalBlock* out);

// What LoadEditBitmap needs of the edit dialog.
struct EditBitmapSource {
  HMODULE resources;    // strings, and the fixed bitmaps (type 16000)
  int32_t bitmap_id;    // 0 user BMP (8-bit thumbnail), 1 a file with a 1-bit one, 2 and up fixed
  Bgr color;            // the watermark colour and density of the display copy
  int density;
  const char* folder;   // where new thumbnails go
};
// Loads the thumbnail at thumbnail_path, or (when that fails) the bitmap itself and writes a
// new thumbnail (thumbnail_path, MAX_PATH, receives its name) and loads that. On success the
// loaded DIB is the thumbnail and the display copy is prepared; 1. On failure the message
// (too large, or cannot be loaded) is shown over the dialog, the loaded DIB is the one held
// before, and 0.
int LoadEditBitmap(HWND dialog, const char* bitmap_path, char* thumbnail_path, WatermarkBitmaps* bitmaps,
                   const EditBitmapSource& source);

}  // namespace kalimu::watermark
