// Loading BMP files and bitmap resources of the resource library into packed DIBs held in
// movable global memory, and the watermark palette of such a DIB.
#pragma once

#include <windows.h>

#include <cstdint>

#include "kalimu/platform/global_block.h"
#include "kalimu/watermark/dib_format.h"

namespace kalimu::watermark {

inline constexpr uint32_t kLoadDibFromResource = 0x1;

// Flags bit 0 set: the resource of type 16000 with `bitmap_id` in `module` (the path is not
// used); clear: the BMP file at `path`, opened with writers excluded. A block already held is
// released and replaced; on every failure the block is empty and *size is not written.
// Statuses: kDibLoaded, kDibTooLarge (a file longer than 15,728,640 bytes), kDibNoMemory,
// kDibCannotOpen, kDibBadFormat, kDibNoResource, kDibReadFailed (the file gave fewer bytes
// than its length).
DibStatus LoadDib(const char* path, platform::GlobalBlock* block, uint32_t* size, uint32_t flags, HMODULE module,
                  UINT bitmap_id);

// The same over bytes already in memory (a BMP file image).
DibStatus LoadDibFromBytes(std::span<const uint8_t> file, platform::GlobalBlock* block, uint32_t* size);

// Logical palette of a packed DIB (WatermarkPaletteColors): its colour table, or a colour cube
// for a 24-bit DIB without one; null otherwise. The caller deletes it.
HPALETTE CreateWatermarkPalette(const uint8_t* dib, size_t size);

}  // namespace kalimu::watermark
