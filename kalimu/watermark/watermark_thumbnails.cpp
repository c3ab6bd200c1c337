// Thumbnail files of watermark bitmaps and the edit dialog's bitmap loader.
#include "kalimu/watermark/watermark_thumbnails.h"

#include <cstring>
#include <string>
#include <vector>

#include "kalimu/platform/text_helpers.h"
#include "kalimu/platform/unique_handle.h"
#include "kalimu/watermark/dib_loading.h"
#include "kalimu/watermark/display_caps.h"
#include "kalimu/watermark/gdi_scope.h"
#include "kalimu/watermark/shared_files.h"
#include "kalimu/watermark/watermark_file_layout.h"
#include "kalimu/watermark/watermark_geometry.h"
#include "kalimu/watermark/watermark_messages.h"
#include "kalimu/watermark/watermark_paths.h"

namespace kalimu::watermark {
namespace {

struct ThumbnailInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colours[256];
};

std::string PathText(const char* path, size_t field = MAX_PATH) {
  if (path == nullptr) return {};
  size_t n = 0;
  while (n < field && path[n] != '\0') ++n;
  return std::string(path, n);
}

}  // namespace

uint32_t BuildThumbnailDib(HWND window, std::span<const uint8_t> dib, uint32_t bits, int stretch_mode,
                           platform::GlobalBlock* out, DibPaletteMaker make_palette) {
  out->Reset();
  if ((bits != 1 && bits != 8) || CheckPackedDib(dib) != kDibLoaded) return 0;
  const int32_t source_width = GetDibWidth(dib.data());
  const int32_t source_height = GetDibHeight(dib.data());
  const ThumbnailSize size = ThumbnailSizeFor(source_width, source_height);
  const uint32_t block_bytes = ThumbnailBlockBytes(size.width, size.height, bits);
  const uint32_t table_bytes = 4u << bits;

  WindowDc screen(window);
  if (screen.get() == nullptr) return 0;
  UniqueGdiObject bitmap(CreateCompatibleBitmap(screen.get(), size.width, size.height));
  UniqueDc memory(CreateCompatibleDC(screen.get()));
  if (!bitmap || !memory) return 0;
  // The header and colour table the platform gives a device bitmap of this size and depth.
  ThumbnailInfo info{};
  info.header = {sizeof(BITMAPINFOHEADER), size.width, size.height, 1, static_cast<WORD>(bits), BI_RGB, 0, 0, 0,
                 1u << bits, 0};
  HBITMAP device_bitmap = static_cast<HBITMAP>(bitmap.get());
  GetDIBits(screen.get(), device_bitmap, 0, static_cast<UINT>(size.height), nullptr,
            reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  {
    Selected with_bitmap(memory.get(), bitmap.get());
    ScopedDibPalette palette(memory.get(), dib.data(), dib.size(), make_palette);
    SetStretchBltMode(memory.get(), stretch_mode);
    StretchDIBits(memory.get(), 0, 0, size.width, size.height, 0, 0, source_width, source_height,
                  dib.data() + GetDibBitsOffset(dib.data()), reinterpret_cast<const BITMAPINFO*>(dib.data()),
                  DIB_RGB_COLORS, SRCCOPY);
  }
  if (!out->Allocate(block_bytes)) return 0;
  std::memcpy(out->data(), &info, sizeof(BITMAPINFOHEADER) + table_bytes);
  const int rows = GetDIBits(screen.get(), device_bitmap, 0, static_cast<UINT>(size.height),
                             out->data() + sizeof(BITMAPINFOHEADER) + table_bytes,
                             reinterpret_cast<BITMAPINFO*>(out->data()), DIB_RGB_COLORS);
  if (rows != size.height || CheckPackedDib({out->data(), block_bytes}) != kDibLoaded) {
    out->Reset();
    return 0;
  }
  return block_bytes;
}

uint32_t MakeWatermarkThumbnail(HWND window, std::span<const uint8_t> dib, uint32_t bits, char* out_path,
                                const char* source_path, bool unique, const char* folder) {
  if (out_path == nullptr) return 0;
  platform::GlobalBlock block;
  const uint32_t block_bytes =
      BuildThumbnailDib(window, dib, bits, bits == 1 ? BLACKONWHITE : COLORONCOLOR, &block);
  if (block_bytes == 0) return 0;
  platform::CopyStringA(out_path, MAX_PATH, PathText(source_path).c_str());
  return WriteThumbnailFile(block_bytes, block.data(), out_path, unique, folder) ? block_bytes : 0;
}

int WriteThumbnailFile(uint32_t block_bytes, const uint8_t* block, char* path, bool unique, const char* folder) {
  char name[MAX_PATH] = {};
  if (unique) {
    if (!MakeUniqueFileName(name, kThumbnailPrefix, kUniqueThumbnailExtension, folder)) return 0;
  } else {
    const std::string built = ThumbnailNameFor(PathText(folder), PathText(path), IsSystemLeadByte);
    if (!platform::CopyStringA(name, sizeof(name), built.c_str())) return 0;
  }
  if (!WriteThumbnailBytes(name, block_bytes, block)) return 0;
  platform::CopyStringA(path, MAX_PATH, name);
  return 1;
}

int WriteThumbnailBytes(const char* name, uint32_t block_bytes, const uint8_t* block) {
  std::vector<uint8_t> bytes(size_t{block_bytes} + kFileHeaderBytes);
  const auto header = BuildThumbnailFileHeader(block_bytes);
  std::memcpy(bytes.data(), header.data(), header.size());
  std::memcpy(bytes.data() + header.size(), block, block_bytes);
  if (!FileExists(name)) CreateSharedFile(name);
  platform::UniqueFileHandle file(CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, TRUNCATE_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return 0;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                 written == bytes.size()
             ? 1
             : 0;
}

int ThumbnailNameExists(const char* source_path, const char* folder) {
  return FileExists(ThumbnailNameFor(PathText(folder), PathText(source_path), IsSystemLeadByte).c_str()) ? 1 : 0;
}

uint32_t ReadThumbnailFile(const char* path, platform::GlobalBlock* out) {
  out->Reset();
  std::vector<uint8_t> file;
  if (ReadWholeFile(path, kMaxBitmapFileBytes, &file) != kDibLoaded) return 0;
  const uint32_t block_bytes = CheckThumbnailImage(file);
  if (block_bytes == 0 || !out->Allocate(block_bytes)) return 0;
  std::memcpy(out->data(), file.data() + kFileHeaderBytes, block_bytes);
  return block_bytes;
}

uint32_t CheckThumbnailCurrent(storage::WatermarkEntry* entries, const char* bitmap_path, int index, int count,
                               bool skip_stamp_check) {
  if (entries == nullptr || index < 0 || index >= count) return 0;
  storage::WatermarkEntry& entry = entries[index];
  FileStamp stamp;
  if (!skip_stamp_check && ReadFileStamp(bitmap_path, &stamp)) {
    if (stamp.length != entry.bitmap_size || stamp.dos_date != entry.bitmap_date ||
        stamp.dos_time != entry.bitmap_time) {
      entry.bitmap_size = stamp.length;
      entry.bitmap_date = stamp.dos_date;
      entry.bitmap_time = stamp.dos_time;
      return 0;
    }
    if (PathText(entry.bitmap_path, sizeof(entry.bitmap_path)) != PathText(bitmap_path)) return 0;
  }
  platform::GlobalBlock scratch;
  return ReadThumbnailFile(PathText(entry.thumbnail_path, sizeof(entry.thumbnail_path)).c_str(), &scratch);
}

int LoadEditBitmap(HWND dialog, const char* bitmap_path, char* thumbnail_path, WatermarkBitmaps* bitmaps,
                   const EditBitmapSource& source) {
  platform::GlobalBlock aside = std::move(bitmaps->loaded);
  auto fail = [&](WatermarkMessage message) {
    ShowWatermarkMessage(dialog, source.resources, message);
    bitmaps->loaded = std::move(aside);
    return 0;
  };
  platform::GlobalBlock thumbnail;
  uint32_t size = 0;
  DibStatus status = LoadDib(thumbnail_path, &thumbnail, &size, 0, nullptr, 0);
  if (status == kDibTooLarge) return fail(WatermarkMessage::kTooLarge);
  if (status != kDibLoaded) {
    platform::GlobalBlock full;
    status = source.bitmap_id >= 2
                 ? LoadDib(nullptr, &full, &size, kLoadDibFromResource, source.resources,
                           static_cast<UINT>(source.bitmap_id))
                 : LoadDib(bitmap_path, &full, &size, 0, nullptr, 0);
    if (status == kDibTooLarge) return fail(WatermarkMessage::kTooLarge);
    if (status != kDibLoaded) return fail(WatermarkMessage::kCannotLoad);
    if (FileExists(thumbnail_path)) DeleteFileA(thumbnail_path);
    thumbnail_path[0] = '\0';
    const std::span<const uint8_t> dib(full.data(), full.size());
    if (source.bitmap_id == 0) {
      MakeWatermarkThumbnail(dialog, dib, 8, thumbnail_path, bitmap_path, true, source.folder);
    } else {
      MakeWatermarkThumbnail(dialog, dib, 1, thumbnail_path, bitmap_path,
                             ThumbnailNameExists(bitmap_path, source.folder) != 0, source.folder);
    }
    full.Reset();
    status = LoadDib(thumbnail_path, &thumbnail, &size, 0, nullptr, 0);
    if (status == kDibTooLarge) return fail(WatermarkMessage::kTooLarge);
    if (status != kDibLoaded) return fail(WatermarkMessage::kCannotLoad);
  }
  aside.Reset();
  bitmaps->loaded = std::move(thumbnail);
  bitmaps->size = size;
  if (!bitmaps->display.Allocate(size)) return 0;
  WindowDc screen(dialog);
  PrepareDisplayCopy(*bitmaps, source.color, source.density, QueryDisplayCaps(screen.get()).bits_per_pixel);
  return 1;
}

}  // namespace kalimu::watermark
