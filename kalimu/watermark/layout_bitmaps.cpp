// Layout-page watermark pictures and their Windows-folder thumbnail cache.
#include "kalimu/watermark/layout_bitmaps.h"

#include <cstring>
#include <string>
#include <vector>

#include "kalimu/platform/resource_library.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/storage/driver_module_locator.h"
#include "kalimu/watermark/display_caps.h"
#include "kalimu/watermark/gdi_scope.h"
#include "kalimu/watermark/shared_files.h"
#include "kalimu/watermark/watermark_messages.h"
#include "kalimu/watermark/watermark_paths.h"

namespace kalimu::watermark {
namespace {

// Depth of the layout page's thumbnail: 8 bits for a user's BMP, 1 for text and fixed bitmaps.
uint32_t LayoutDepth(int32_t kind, int32_t bitmap_id) { return kind == 1 && bitmap_id != 1 ? 8 : 1; }

// A stored thumbnail that is still current for the entry: its block goes into out. 0 when the
// bitmap file changed (its new stamp is stored in the entry) or no whole thumbnail is there.
uint32_t LoadCurrentThumbnail(settings::JobSettings& settings, uint16_t index, const char* bitmap_path,
                              platform::GlobalBlock* out) {
  uint32_t count = 0;
  settings.GetEntryCount(&count);
  FileStamp stamp;
  if (index < count && ReadFileStamp(bitmap_path, &stamp)) {
    storage::WatermarkEntry entry{};
    if (settings.GetEntry(index, &entry, sizeof(entry)) &&
        (entry.bitmap_size != stamp.length || entry.bitmap_date != stamp.dos_date ||
         entry.bitmap_time != stamp.dos_time)) {
      entry.bitmap_size = stamp.length;
      entry.bitmap_date = stamp.dos_date;
      entry.bitmap_time = stamp.dos_time;
      settings.SetEntry(index, &entry, sizeof(entry));
      return 0;
    }
  }
  char thumbnail[MAX_PATH] = {};
  if (!settings.GetThumbnailPath(index, thumbnail, sizeof(thumbnail))) return 0;
  return ReadThumbnailFile(thumbnail, out);
}

std::string BuiltInBitmapName(HMODULE resources, uint16_t index) {
  char name[MAX_PATH] = {};
  LoadStringA(resources, platform::kBuiltInBitmapString + index, name, sizeof(name));
  return name;
}

bool SamePath(const char* a, const char* b) { return lstrcmpiA(a, b) == 0; }

}  // namespace

bool WindowsThumbnailPath(const char* bitmap_path, char* out, size_t size) {
  char windows[MAX_PATH] = {};
  if (!storage::DriverModuleLocator::GetWindowsDirectoryPath(windows, sizeof(windows))) return false;
  const std::string name = ThumbnailNameFor(windows, bitmap_path != nullptr ? bitmap_path : "", IsSystemLeadByte);
  return platform::CopyStringA(out, size, name.c_str()) == 1;
}

DibStatus LoadWatermarkBitmap(HWND window, const char* bitmap_path, const LayoutWatermarkContext& context,
                              uint16_t index) {
  settings::JobSettings& settings = *context.settings;
  WatermarkBitmaps& bitmaps = *context.bitmaps;
  bitmaps.display.Reset();
  uint32_t built_in = 0;
  settings.GetBuiltInCount(&built_in);
  int32_t kind = 0, bitmap_id = 0;
  settings.GetEntryValue6(index, &kind);
  settings.GetBitmapId(index, &bitmap_id);

  // The source: the cached thumbnail of a fixed bitmap, the bitmap file, or the resource.
  std::vector<uint8_t> file;
  bool from_file = false;
  std::span<const uint8_t> bytes;
  std::string source_name = bitmap_path != nullptr ? bitmap_path : "";
  if (index < built_in) {
    char cache[MAX_PATH] = {};
    const std::string fixed_name = BuiltInBitmapName(context.resources, index);
    from_file = WindowsThumbnailPath(fixed_name.c_str(), cache, sizeof(cache)) &&
                ReadWholeFile(cache, kMaxBitmapFileBytes, &file) == kDibLoaded;
    source_name = fixed_name;
  } else {
    // Only the headers first: a current stored thumbnail spares reading the bitmap at all.
    std::vector<uint8_t> head;
    if (!ReadFilePrefix(bitmap_path, kFileHeaderBytes + 4, &head)) return kDibCannotOpen;
    if (head.size() < kFileHeaderBytes) return kDibCannotOpen;
    if (head[0] != 'B' || head[1] != 'M' || head.size() < kFileHeaderBytes + 4) return kDibBadFormat;
    from_file = true;
  }
  if (!from_file && kind != storage::kBuiltInBitmapKind) return kDibCannotOpen;

  uint32_t size = 0;
  platform::GlobalBlock thumbnail;
  if (from_file) {
    if (index >= built_in) {
      size = LoadCurrentThumbnail(settings, index, bitmap_path, &thumbnail);
      if (size == 0) {
        const DibStatus read = ReadWholeFile(bitmap_path, kMaxBitmapFileBytes, &file);
        if (read != kDibLoaded) return read;
      }
    }
    bytes = file;
  } else {
    bytes = platform::FindBuiltInBitmap(context.resources, static_cast<UINT>(storage::kFirstBuiltInBitmapId + index));
    if (bytes.empty()) return kDibNoResource;
  }

  if (size == 0) {
    DibPlan plan;
    const DibStatus planned = from_file ? PlanBmpFile(bytes, &plan)
                                        : (bytes.size() < kFileHeaderBytes ? kDibBadFormat
                                                                           : PlanDib(bytes.subspan(kFileHeaderBytes), &plan));
    if (planned != kDibLoaded) return planned;
    platform::GlobalBlock full;
    if (!full.Allocate(plan.total_bytes)) return kDibNoMemory;
    BuildPackedDib(bytes.subspan(kFileHeaderBytes), plan, full.data());
    size = BuildThumbnailDib(window, {full.data(), full.size()}, LayoutDepth(kind, bitmap_id), COLORONCOLOR,
                             &thumbnail, context.make_palette);
    if (size == 0) return kDibNoMemory;
    // The Windows-folder cache; a folder that cannot be written is passed over silently.
    char cache[MAX_PATH] = {};
    if (WindowsThumbnailPath(source_name.c_str(), cache, sizeof(cache))) WriteThumbnailBytes(cache, size, thumbnail.data());
    // A user entry's own thumbnail is brought up to date too, so that the dialogs and the next
    // load do not take the old picture once the new stamp is stored.
    char stored[MAX_PATH] = {};
    if (index >= built_in && settings.GetThumbnailPath(index, stored, sizeof(stored)) && stored[0] != '\0' &&
        !SamePath(stored, source_name.c_str()) && FileExists(stored)) {
      WriteThumbnailBytes(stored, size, thumbnail.data());
    }
  }

  bitmaps.loaded = std::move(thumbnail);
  bitmaps.size = size;
  if (!bitmaps.display.Allocate(size)) return kDibNoMemory;
  return kDibLoaded;
}

int LoadCurrentWatermarkBitmap(HWND window, const LayoutWatermarkContext& context) {
  settings::JobSettings& settings = *context.settings;
  const auto load = [&](bool report) {
    const uint16_t index = static_cast<uint16_t>(settings.GetWatermarkIndex());
    char path[MAX_PATH] = {};
    settings.GetBitmapPath(index, path, sizeof(path));
    const DibStatus status = LoadWatermarkBitmap(window, path, context, index);
    if (report && status == kDibTooLarge) ShowWatermarkMessage(window, context.resources, WatermarkMessage::kTooLarge);
  };
  load(true);
  if (!context.bitmaps->display.held()) {
    settings.SetWatermarkSize(50);
    settings.SetWatermarkIndex(0);
    settings.SetWatermarkPosition(0);
    load(false);
  }
  PrepareWatermarkPreview(window, context);
  return 1;
}

void PrepareWatermarkPreview(HWND window, const LayoutWatermarkContext& context) {
  settings::JobSettings& settings = *context.settings;
  WatermarkBitmaps& bitmaps = *context.bitmaps;
  if (!bitmaps.display.held() || !bitmaps.loaded.held()) return;
  const uint16_t index = static_cast<uint16_t>(settings.GetWatermarkIndex());
  Bgr color{0, 0, 0};
  if (settings.GetModeVariant() == 1) {
    uint8_t bytes[4] = {};
    if (settings.GetEntryColor(index, bytes, sizeof(bytes))) color = {bytes[0], bytes[1], bytes[2]};
  }
  int32_t density = 100;
  settings.GetEntryValue280(index, &density);
  WindowDc screen(window);
  PrepareDisplayCopy(bitmaps, color, density, QueryDisplayCaps(screen.get()).bits_per_pixel);
  settings.UpdateWatermarkAspectRatio();
}

}  // namespace kalimu::watermark
