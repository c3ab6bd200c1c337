// The advanced dialog's corrected sample picture: a 24-bit picture of the resource library run
// through the photo-correction engine and made into a device-dependent bitmap.
#include <windows.h>

#include <cstring>

#include "kalimu/imaging/photo_correct.h"
#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/gdi_scope.h"
#include "kalimu/platform/global_block.h"

namespace kalimu::pages {

namespace {

constexpr uint32_t kSampleFormat = 0x80002;  // low half 2 (blue, green, red), flag 0x80000

// The picture's information header when it is one the engine's rows fit: 40 bytes, 24 bits,
// BI_RGB, a positive size, and pixels within the resource. The engine writes rows of 3 x width
// bytes, so any other depth would overrun the buffer sized by the picture's own depth.
bool SampleHeader(const uint8_t* data, size_t size, BITMAPINFOHEADER* header) {
  if (data == nullptr || size < sizeof(BITMAPINFOHEADER)) return false;
  std::memcpy(header, data, sizeof(*header));
  if (header->biSize != sizeof(BITMAPINFOHEADER) || header->biBitCount != 24 || header->biCompression != BI_RGB ||
      header->biPlanes != 1) {
    return false;
  }
  if (header->biWidth <= 0 || header->biHeight == 0 || header->biWidth > 0x4000 || header->biHeight > 0x4000 ||
      header->biHeight < -0x4000) {
    return false;
  }
  const size_t row = ((static_cast<size_t>(header->biWidth) * 24 + 31) / 32) * 4;
  const size_t height = static_cast<size_t>(header->biHeight < 0 ? -header->biHeight : header->biHeight);
  return size - sizeof(BITMAPINFOHEADER) >= row * height;
}

}  // namespace

int RenderCorrectedSample(int bitmap_id, PageParam* param, HBITMAP* bitmap, HDC dc) {
  HMODULE module = param->shared != nullptr ? param->shared->resource_module : nullptr;
  HRSRC found = module != nullptr ? FindResourceA(module, MAKEINTRESOURCEA(bitmap_id), MAKEINTRESOURCEA(2)) : nullptr;
  if (found == nullptr) return 0;
  HGLOBAL loaded = LoadResource(module, found);
  const auto* data = static_cast<const uint8_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
  BITMAPINFOHEADER header{};
  if (!SampleHeader(data, SizeofResource(module, found), &header)) return 0;

  const int32_t width = header.biWidth;
  const int32_t height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
  const int32_t stride = ((3 * width) + 3) & ~3;
  platform::GlobalBlock palette_buffer;
  platform::GlobalBlock pixels;
  if (!palette_buffer.Allocate(1024) || !pixels.Allocate(static_cast<size_t>(stride) * height)) return 0;
  param->shared->sample_picture = pixels.data();

  imaging::ImageDescriptor image{};
  image.Width = width;
  image.Height = height;
  image.BitCount = header.biBitCount;
  image.Format = kSampleFormat;
  image.Stride = stride;
  imaging::CorrectionSettings settings{};
  GetCorrectionSettings(param, &settings);
  imaging::PhotoCorrectContext* context = nullptr;
  imaging::PhotoCorrectCreate(&image, data + header.biSize, &context);
  imaging::PhotoCorrectProcess(context, &settings, &image, pixels.data(), palette_buffer.data());
  imaging::PhotoCorrectDestroy(context);

  // A logical palette from the engine's (blue, green, red, reserved) entries.
  platform::GlobalBlock palette_block;
  HPALETTE palette = nullptr;
  if (palette_block.Allocate(offsetof(LOGPALETTE, palPalEntry) + 256 * sizeof(PALETTEENTRY))) {
    auto* logical = reinterpret_cast<LOGPALETTE*>(palette_block.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = 256;
    const uint8_t* entries = palette_buffer.data();
    for (int i = 0; i < 256; ++i) {
      logical->palPalEntry[i] = PALETTEENTRY{entries[4 * i + 2], entries[4 * i + 1], entries[4 * i], 0};
    }
    palette = CreatePalette(logical);
  }
  UniqueGdiObject owned_palette(palette);
  {
    PaletteSelection selected(dc, palette, FALSE);
    *bitmap = CreateDIBitmap(dc, &header, CBM_INIT, pixels.data(), reinterpret_cast<const BITMAPINFO*>(&header),
                             DIB_RGB_COLORS);
  }
  param->shared->sample_picture = nullptr;
  if (loaded != nullptr) FreeResource(loaded);
  return 1;
}

}  // namespace kalimu::pages
