// The layout page's way to the watermark editor: the request it hands over, and how the edited
// entries come back into the watermark store.
#include <cstring>
#include <utility>

#include "kalimu/pages/layout_page.h"
#include "kalimu/pages/page_frame.h"
#include "kalimu/platform/global_block.h"
#include "kalimu/watermark/watermark_edit_state.h"
#include "kalimu/watermark/watermark_list_dialog.h"

namespace kalimu::pages {
namespace {

WatermarkEditorCall g_editors[2] = {&watermark::EditWatermarkDialog, &watermark::ManageWatermarksDialog};

}  // namespace

WatermarkEditorCall ReplaceWatermarkEditor(int mode, WatermarkEditorCall call) {
  if (mode != 0 && mode != 1) return nullptr;
  return std::exchange(g_editors[mode], call);
}

int32_t EditWatermarks(HWND page, const PageParam& param, int mode) {
  settings::JobSettings& s = *param.settings;
  storage::WatermarkStore& store = s;
  // 1-2: the device mode's placement of the watermark into its entry.
  const auto old_index = static_cast<int32_t>(s.GetWatermarkIndex());
  const uint32_t old_flags = s.GetWatermarkFlags();
  uint32_t count = 0;
  uint32_t users = 0;
  uint32_t built_in = 0;
  uint32_t capacity = 0;
  store.GetEntryCount(&count);
  store.GetUserCount(&users);
  store.GetBuiltInCount(&built_in);
  store.GetUserCapacity(&capacity);
  if (old_index >= 0 && static_cast<uint32_t>(old_index) < count) {
    const auto entry = static_cast<uint16_t>(old_index);
    const int32_t position = s.GetWatermarkPosition();
    settings::EdgeValues box{};
    s.GetWatermarkBox(&box);
    const int32_t size = s.GetWatermarkSize();
    store.SetEntryValue90(entry, &position);
    store.SetEntryBlock94(entry, &box, sizeof(box));
    store.SetEntryValue266(entry, &size);
    store.SetEntryValue92(entry, &old_flags);
  }
  // 3: the output area for the editor's preview, turned in landscape.
  settings::ExtentPair extent{};
  settings::EdgeValues margins{};
  s.GetOutputExtent(&extent);
  s.GetOutputMargins(&margins);
  int32_t width = extent.width;
  int32_t height = extent.height;
  int32_t edges[4] = {margins.left, margins.top, margins.right, margins.bottom};
  if (s.GetOrientation() == DMORIENT_LANDSCAPE) {
    std::swap(width, height);
    const int32_t turned[4] = {margins.top, margins.right, margins.bottom, margins.left};
    std::memcpy(edges, turned, sizeof(edges));
  }
  // 4-5.
  watermark::WatermarkHelpBlock request{};
  s.GetHelpFilePath(request.help_path, sizeof(request.help_path));
  request.flags = s.GetModeVariant() == 1 ? 0 : 4;
  auto entry_count = static_cast<int16_t>(count);
  auto selected = static_cast<int16_t>(old_index);
  storage::WatermarkEntry* entries = store.GetEntries();
  storage::WatermarkEntry* result =
      g_editors[mode == 0 ? 0 : 1](page, ResourceModuleOf(param), entries, &entry_count, &selected,
                                   static_cast<int16_t>(capacity), width, height, edges, nullptr, &request);
  // 6: cancelled.
  if (result == nullptr) {
    s.SetWatermarkIndex(static_cast<uint32_t>(old_index));
    s.SetWatermarkFlags(old_flags);
    return old_index;
  }
  const bool own = result == entries;
  const auto free_result = [&] {
    if (!own) platform::GlobalBlock::FreeLocked(result);
  };
  const int32_t k = selected;
  const auto new_count = static_cast<uint32_t>(entry_count < 0 ? 0 : entry_count);
  if (k >= 0 && static_cast<uint32_t>(k) < new_count) {
    result[k].aspect_ratio = store.GetBitmapAspectRatio(&result[k], static_cast<uint16_t>(k), 1);
  }
  // 7-8.
  bool changed = false;
  if (new_count == count) {
    const bool same = own || std::memcmp(result, entries, count * sizeof(storage::WatermarkEntry)) == 0;
    changed = !same;
    if (same && mode == 1 && k < static_cast<int32_t>(built_in)) {
      s.SetWatermarkIndex(static_cast<uint32_t>(old_index));
      s.SetWatermarkFlags(old_flags);
      free_result();
      return old_index;
    }
  } else {
    // A list shorter than the built-in entries leaves no user entries, never a negative count.
    const uint32_t new_users = new_count > count ? users + (new_count - count)
                                                 : (users > count - new_count ? users - (count - new_count) : 0);
    store.SetUserCount(&new_users);
    store.SetEntryCount(&new_count);
    changed = true;
  }
  // 9: take the result.
  if (own) {
    if (changed) {
      store.Save();
      NotifySheetChanged(page, &param);
    }
    return 0;
  }
  if (mode == 0) {
    if (k >= 0 && static_cast<uint32_t>(k) < new_count) {
      store.SetEntry(static_cast<uint16_t>(k), &result[k], sizeof(storage::WatermarkEntry));
      s.SelectWatermark(static_cast<int16_t>(k));
    }
  } else {
    store.SetEntries(result, new_count * static_cast<uint32_t>(sizeof(storage::WatermarkEntry)));
    if (k >= 0) {
      s.SelectWatermark(static_cast<int16_t>(k));
    } else {
      s.SetWatermarkIndex(0);
      s.SetWatermarkEnabled(0);
    }
  }
  free_result();
  // 10.
  if (changed) {
    store.Save();
    NotifySheetChanged(page, &param);
  }
  return k;
}

}  // namespace kalimu::pages
