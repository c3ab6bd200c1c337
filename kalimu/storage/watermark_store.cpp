// Watermark-list file: building from the resource library, loading with the language
// migration, saving, and the bitmap aspect ratio.
#include "kalimu/storage/watermark_store.h"

#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "kalimu/platform/driver_file.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/storage/watermark_list_header.h"

namespace kalimu::storage {
namespace {

// Colour letters of resource string 1831, as blue, green, red.
void ColorFromLetter(char letter, uint8_t color[4]) {
  const bool blue = letter == 'A' || letter == 'B' || letter == 'F';
  const bool green = letter == 'A' || letter == 'L' || letter == 'Y';
  const bool red = letter == 'F' || letter == 'R' || letter == 'Y';
  color[0] = blue ? 255 : 0;
  color[1] = green ? 255 : 0;
  color[2] = red ? 255 : 0;
  color[3] = 0;
}

void JoinPath(char* out, size_t len, const char* a, const char* b) {
  const int written = std::snprintf(out, len, "%s%s", a, b);
  if (written < 0 || static_cast<size_t>(written) >= len) platform::ReportStringError();
}

// A file of zero length counts as missing: it can only be the remains of a failed build.
bool ListFileMissing(const char* path) {
  platform::DriverFile file(path);
  if (!file.Open(0)) return true;
  const DWORD size = file.GetSize();
  file.Close();
  return size == 0;
}

}  // namespace

void WatermarkStore::Forget() {
  header_.Reset();
  total_ = built_in_ = user_ = 0;
  capacity_ = 0;
}

bool WatermarkStore::LoadResources() {
  if (resources_.held()) return true;
  if (resource_path_[0] == '\0') locator().GetUiResourceModulePath(resource_path_, MAX_PATH);
  return resources_.Load(resource_path_);
}

uint16_t WatermarkStore::GetResourceLanguage() {
  return LoadResources() ? platform::GetResourceLanguage(resources_.module()) : platform::kDefaultResourceLanguage;
}

int WatermarkStore::EnsureLoaded() {
  if (TestModelHeaderFlags20(kModelHasNoWatermarks)) return 0;
  locator().GetUiResourceModulePath(resource_path_, MAX_PATH);
  locator().GetWatermarkFilePath(list_path_, MAX_PATH);
  if (ListFileMissing(list_path_)) BuildBuiltInEntries();
  Load();
  return 1;
}

bool WatermarkStore::Ready() {
  if (header_.held()) return true;
  return EnsureLoaded() && header_.held();
}

int WatermarkStore::BuildBuiltInEntries() {
  // The library first: without it no file is made, so a later library still builds the list.
  if (!LoadResources()) return 0;
  platform::DriverFile file(list_path_);
  if (!file.Exists() && file.Create()) file.Close();
  if (!file.Open(platform::DriverFile::kOpenWrite)) return 0;

  HMODULE module = resources_.module();
  char text[32] = {};
  LoadStringA(module, platform::kBuiltInCountString, text, 5);
  uint32_t built_in = static_cast<uint32_t>(std::strtoul(text, nullptr, 10));
  if (built_in > kMaxBuiltInWatermarks) built_in = kMaxBuiltInWatermarks;
  uint32_t capacity = 0;
  GetModelHeaderValue62(&capacity);
  char colors[32] = {};
  LoadStringA(module, platform::kBuiltInColorString, colors, sizeof(colors));

  const WatFileHeader header{static_cast<int16_t>(GetResourceLanguage()), kWatVersion,
                             static_cast<int32_t>(built_in), 0, static_cast<int32_t>(capacity)};
  bool written = file.Write(&header, sizeof(header), nullptr) == static_cast<long>(sizeof(header));

  char driver_dir[MAX_PATH] = {};
  DWORD needed = 0;
  if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(driver_dir), sizeof(driver_dir),
                                  &needed)) {
    driver_dir[0] = '\0';
  }
  platform::AppendStringA(driver_dir, sizeof(driver_dir), "\\3\\");
  char list_folder[MAX_PATH] = {};
  platform::CopyStringA(list_folder, sizeof(list_folder), list_path_);
  char* slash = std::strrchr(list_folder, '\\');
  if (char* other = std::strrchr(list_folder, '/'); other != nullptr && (slash == nullptr || other > slash)) slash = other;
  if (slash != nullptr) slash[1] = '\0'; else list_folder[0] = '\0';

  for (uint32_t i = 0; i < built_in && written; ++i) {
    WatermarkEntry entry{};
    entry.position = static_cast<int16_t>(i);
    entry.bitmap_id = kFirstBuiltInBitmapId + static_cast<int32_t>(i);
    entry.kind = kBuiltInBitmapKind;
    char name[32] = {};
    LoadStringA(module, platform::kBuiltInNameString + i, name, sizeof(name));
    platform::CopyStringNA(entry.name, sizeof(entry.name), name, sizeof(name));
    entry.flags = 1;
    entry.size_percent = 50;
    ColorFromLetter(i < sizeof(colors) ? colors[i] : '\0', entry.color);
    entry.density_percent = 20;
    char bitmap_name[MAX_PATH] = {};
    LoadStringA(module, platform::kBuiltInBitmapString + i, bitmap_name, sizeof(bitmap_name));
    JoinPath(entry.bitmap_path, sizeof(entry.bitmap_path), driver_dir, bitmap_name);
    char thumbnail_name[MAX_PATH];
    platform::CopyStringA(thumbnail_name, sizeof(thumbnail_name), bitmap_name);
    if (char* dot = std::strrchr(thumbnail_name, '.'); dot != nullptr) {
      dot[1] = '\0';
      platform::AppendStringA(thumbnail_name, sizeof(thumbnail_name), "MWB");
    }
    JoinPath(entry.thumbnail_path, sizeof(entry.thumbnail_path), list_folder, thumbnail_name);
    entry.aspect_ratio = GetBitmapAspectRatio(&entry, static_cast<uint16_t>(i), 0);
    written = file.Write(&entry, sizeof(entry), nullptr) == static_cast<long>(sizeof(entry));
  }
  file.Close();
  return written ? Load() : 0;
}

int WatermarkStore::Load() {
  platform::DriverFile file(list_path_);
  if (!file.Open(0)) return 0;
  Forget();
  const DWORD file_size = file.GetSize();
  uint8_t head[sizeof(WatFileHeader)];
  const long head_read = file.Read(head, sizeof(head), nullptr);
  WatListLayout layout;
  if (!ReadWatListHeader({head, head_read > 0 ? size_t(head_read) : 0}, file_size, &layout)) {
    file.Close();
    ShowErrorMessage(kWatVersionMessage);
    return 0;
  }
  const WatFileHeader& header = layout.header;
  const uint32_t room = layout.room;
  const uint32_t total = layout.total;
  entries_.Reset();
  if (room != 0 && !entries_.Allocate(size_t{room} * sizeof(WatermarkEntry))) {
    file.Close();
    return 0;
  }
  if (total != 0 &&
      file.Read(entries_.data(), total * static_cast<DWORD>(sizeof(WatermarkEntry)), nullptr) !=
          static_cast<long>(total * sizeof(WatermarkEntry))) {
    file.Close();
    ShowErrorMessage(kWatVersionMessage);
    return 0;
  }
  file.Close();
  if (!header_.Allocate(sizeof(WatFileHeader))) return 0;
  std::memcpy(header_.data(), &header, sizeof(header));
  built_in_ = uint32_t(header.built_in_count);
  user_ = uint32_t(header.user_count);
  capacity_ = uint32_t(header.user_capacity);
  total_ = total;

  if (!resources_.held() && !LoadResources()) return 1;  // no library: keep the list as it is
  if (header.language == static_cast<int16_t>(GetResourceLanguage())) return 1;

  // The resource library changed its language: new built-in entries, the user's entries kept.
  const uint32_t old_built_in = built_in_, old_user = user_;
  uint32_t model_capacity = 0;
  GetModelHeaderValue62(&model_capacity);
  if (old_user > model_capacity) {
    ShowErrorMessage(kWatVersionMessage);
    Forget();
    return 0;
  }
  std::vector<WatermarkEntry> old_users(old_user);
  if (old_user != 0) {
    std::memcpy(old_users.data(), entries_.data() + size_t{old_built_in} * sizeof(WatermarkEntry),
                old_user * sizeof(WatermarkEntry));
  }
  if (!BuildBuiltInEntries() || !header_.held() || old_user > capacity_) {
    Forget();
    return 0;
  }
  for (uint32_t u = 0; u < old_user; ++u) {
    old_users[u].position = static_cast<int16_t>(built_in_ + u);
    std::memcpy(entries_.data() + size_t{built_in_ + u} * sizeof(WatermarkEntry), &old_users[u],
                sizeof(WatermarkEntry));
  }
  user_ = old_user;
  reinterpret_cast<WatFileHeader*>(header_.data())->user_count = static_cast<int32_t>(old_user);
  total_ = built_in_ + user_;
  Save();
  return 1;
}

int WatermarkStore::Save() {
  if (!Ready()) return 0;
  platform::DriverFile file(list_path_);
  if (!file.Exists() && file.Create()) file.Close();
  if (!file.Open(platform::DriverFile::kOpenWrite)) return 0;
  const uint32_t total = total_ < built_in_ + capacity_ ? total_ : built_in_ + capacity_;
  bool written = file.Write(header_.data(), sizeof(WatFileHeader), nullptr) == static_cast<long>(sizeof(WatFileHeader));
  if (total != 0) {
    written = written && file.Write(entries_.data(), total * static_cast<DWORD>(sizeof(WatermarkEntry)), nullptr) ==
                             static_cast<long>(total * sizeof(WatermarkEntry));
  }
  file.Close();
  return written ? 1 : 0;
}

int16_t WatermarkStore::GetBitmapAspectRatio(const WatermarkEntry* entry, uint16_t index, int ensure_loaded) {
  if (entry == nullptr) return 0;
  if (ensure_loaded && !header_.held() && !EnsureLoaded()) return 0;
  if (LoadResources() && entry->bitmap_id != 0) {
    return platform::BitmapAspectRatio(platform::FindBuiltInBitmap(resources_.module(), kFirstBuiltInBitmapId + index));
  }
  char path[sizeof(entry->bitmap_path) + 1] = {};
  platform::CopyStringNA(path, sizeof(path), entry->bitmap_path, sizeof(entry->bitmap_path));
  platform::DriverFile file(path);
  if (!file.Open(platform::DriverFile::kOpenExclusive)) return 0;
  uint8_t bytes[54];
  const bool read = file.Read(bytes, 14, nullptr) == 14 && file.Read(bytes + 14, 40, nullptr) == 40;
  file.Close();
  return read ? platform::BitmapAspectRatio(bytes) : 0;
}

}  // namespace kalimu::storage
