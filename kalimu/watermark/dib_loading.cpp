// Packed DIBs from files and resources.
#include "kalimu/watermark/dib_loading.h"

#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "kalimu/platform/resource_library.h"
#include "kalimu/platform/unique_handle.h"
#include "kalimu/watermark/dib_colours.h"
#include "kalimu/watermark/shared_files.h"

namespace kalimu::watermark {
namespace {

DibStatus BuildBlock(std::span<const uint8_t> image, const DibPlan& plan, platform::GlobalBlock* block,
                     uint32_t* size) {
  if (!block->Allocate(plan.total_bytes)) return kDibNoMemory;
  BuildPackedDib(image, plan, block->data());
  if (size != nullptr) *size = static_cast<uint32_t>(plan.total_bytes);
  return kDibLoaded;
}

DibStatus LoadResourceDib(HMODULE module, UINT id, platform::GlobalBlock* block, uint32_t* size) {
  const std::span<const uint8_t> bytes = platform::FindBuiltInBitmap(module, id);
  if (bytes.empty()) return kDibNoResource;
  // The resource is a whole BMP file image; its file header is skipped unread.
  if (bytes.size() < kFileHeaderBytes) return kDibBadFormat;
  const std::span<const uint8_t> image = bytes.subspan(kFileHeaderBytes);
  DibPlan plan;
  const DibStatus status = PlanDib(image, &plan);
  if (status != kDibLoaded) return status;
  return BuildBlock(image, plan, block, size);
}

DibStatus LoadFileDib(const char* path, platform::GlobalBlock* block, uint32_t* size) {
  std::vector<uint8_t> file;
  const DibStatus status = ReadWholeFile(path, kMaxBitmapFileBytes, &file);
  if (status != kDibLoaded) return status;
  return LoadDibFromBytes(file, block, size);
}

}  // namespace

DibStatus LoadDib(const char* path, platform::GlobalBlock* block, uint32_t* size, uint32_t flags, HMODULE module,
                  UINT bitmap_id) {
  if (block == nullptr) return kDibNoMemory;
  block->Reset();
  return (flags & kLoadDibFromResource) ? LoadResourceDib(module, bitmap_id, block, size)
                                        : LoadFileDib(path, block, size);
}

DibStatus LoadDibFromBytes(std::span<const uint8_t> file, platform::GlobalBlock* block, uint32_t* size) {
  block->Reset();
  DibPlan plan;
  const DibStatus status = PlanBmpFile(file, &plan);
  if (status != kDibLoaded) return status;
  return BuildBlock(file.subspan(kFileHeaderBytes), plan, block, size);
}

HPALETTE CreateWatermarkPalette(const uint8_t* dib, size_t size) {
  if (dib == nullptr) return nullptr;
  std::array<PaletteColor, 256> colours;
  const size_t count = WatermarkPaletteColors({dib, size}, colours);
  if (count == 0) return nullptr;
  std::vector<uint8_t> storage(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
  auto* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = static_cast<WORD>(count);
  for (size_t i = 0; i < count; ++i) {
    palette->palPalEntry[i] = {colours[i].red, colours[i].green, colours[i].blue, colours[i].flags};
  }
  return CreatePalette(palette);
}

}  // namespace kalimu::watermark
