// The list dialog's actions: add or replace a watermark, delete one, OK and Cancel.
#include <cstring>
#include <vector>

#include "kalimu/platform/text_helpers.h"
#include "kalimu/watermark/dib_loading.h"
#include "kalimu/watermark/shared_files.h"
#include "kalimu/watermark/watermark_bitmap_file.h"
#include "kalimu/watermark/watermark_fonts.h"
#include "kalimu/watermark/watermark_list_dialog.h"
#include "kalimu/watermark/watermark_messages.h"
#include "kalimu/watermark/watermark_thumbnails.h"
#include "kalimu/watermark/watermark_tooltips.h"

namespace kalimu::watermark {
namespace {

constexpr double kNewTextAngle = -0.5235987755982988;  // -30 degrees
constexpr int16_t kNewDensity = 20;
constexpr int16_t kNewSize = 50;

void Enable(HWND dialog, int control, bool on) { EnableWindow(GetDlgItem(dialog, control), on ? TRUE : FALSE); }
bool TextMode(HWND dialog) { return IsDlgButtonChecked(dialog, kListTextRadio) == BST_CHECKED; }

void SetField(char* field, size_t size, const char* text) {
  std::memset(field, 0, size);
  platform::CopyStringA(field, size, text);
}

void Stamp(storage::WatermarkEntry& entry) {
  FileStamp stamp{};
  if (!ReadFileStamp(entry.bitmap_path, &stamp)) return;
  entry.bitmap_size = stamp.length;
  entry.bitmap_date = stamp.dos_date;
  entry.bitmap_time = stamp.dos_time;
}

void MakeBitmapEntry(storage::WatermarkEntry& entry) {
  entry.kind = 1;
  entry.color[0] = entry.color[1] = entry.color[2] = 0;
  std::memset(entry.text, 0, sizeof(entry.text));
  entry.angle = 0;
  entry.stamp = entry.frame = 0;
  SetEntryFont(entry, MakeDefaultWatermarkFont(true));
}

void MakeTextEntry(storage::WatermarkEntry& entry) {
  entry.kind = 0;
  entry.density_percent = kNewDensity;
  entry.size_percent = kNewSize;
  entry.position_code = 0;
  entry.stamp = entry.frame = 0;
  SetEntryFont(entry, MakeDefaultWatermarkFont(false));
  entry.color[0] = 0, entry.color[1] = 0, entry.color[2] = 255;
  entry.angle = kNewTextAngle;
}

void SetBox(storage::WatermarkEntry& entry, const WatermarkListState& state, const uint8_t* dib) {
  const EntryBox box = ComputeNewEntryBox(state.extent, state.margins, GetDibWidth(dib), GetDibHeight(dib));
  entry.box[0] = box.left, entry.box[1] = box.top, entry.box[2] = box.right, entry.box[3] = box.bottom;
}

// One add or replace under way: the files it makes are deleted again unless it is committed.
class Attempt {
 public:
  explicit Attempt(WatermarkListState* state) : state_(state) {}
  ~Attempt() {
    if (!committed_) made_.DeleteListedFiles();
  }
  void Made(const char* path) { made_.Append(path); }
  void Obsolete(const char* path) { obsolete_.push_back(path); }
  void Commit() {
    committed_ = true;
    for (const std::string& path : made_.paths()) state_->new_files.Append(path.c_str());
    for (const std::string& path : obsolete_) state_->obsolete_files.Append(path.c_str());
  }

 private:
  WatermarkListState* state_;
  PathList made_;
  std::vector<std::string> obsolete_;
  bool committed_ = false;
};

// A user's BMP file: it must open and load; its 8-bit thumbnail goes to the folder.
int TakeBitmap(HWND dialog, WatermarkListState* state, const std::string& path, const char* folder,
               storage::WatermarkEntry& entry, Attempt& attempt, bool set_box) {
  std::vector<uint8_t> head;
  if (!ReadFilePrefix(path.c_str(), 1, &head)) {
    ShowWatermarkMessage(dialog, state->module, WatermarkMessage::kCannotOpen);
    SetDlgItemTextA(dialog, kListContentEdit, "");
    return 0;
  }
  platform::GlobalBlock dib;
  uint32_t size = 0;
  const DibStatus status = LoadDib(path.c_str(), &dib, &size, 0, nullptr, 0);
  if (status != kDibLoaded) {
    ShowWatermarkMessage(dialog, state->module,
                         status == kDibTooLarge ? WatermarkMessage::kTooLarge : WatermarkMessage::kCannotLoad);
    return 0;
  }
  char thumbnail[MAX_PATH] = {};
  const bool unique = ThumbnailNameExists(path.c_str(), folder) != 0;
  if (MakeWatermarkThumbnail(dialog, {dib.data(), size}, 8, thumbnail, path.c_str(), unique, folder) == 0) {
    ShowWatermarkMessage(dialog, state->module, WatermarkMessage::kCannotLoad);
    return 0;
  }
  attempt.Made(thumbnail);
  if (set_box) SetBox(entry, *state, dib.data());
  SetField(entry.bitmap_path, sizeof(entry.bitmap_path), path.c_str());
  SetField(entry.thumbnail_path, sizeof(entry.thumbnail_path), thumbnail);
  Stamp(entry);
  return 1;
}

// A text watermark: its ".WBF" file and 1-bit thumbnail in the folder.
int TakeText(HWND dialog, WatermarkListState* state, const std::string& text, const char* folder,
             storage::WatermarkEntry& entry, Attempt& attempt, bool set_box) {
  SetField(entry.text, sizeof(entry.text), text.c_str());
  char bitmap[MAX_PATH] = {};
  if (MakeUniqueFileName(bitmap, kWbfPrefix, kWbfExtension, folder)) attempt.Made(bitmap);
  if (bitmap[0] != '\0') RenderEntryBitmapFile(entry, bitmap);
  platform::GlobalBlock dib;
  uint32_t size = 0;
  if (LoadDib(bitmap, &dib, &size, 0, nullptr, 0) != kDibLoaded) {
    ShowWatermarkMessage(dialog, state->module, WatermarkMessage::kCannotLoad);
    return 0;
  }
  char thumbnail[MAX_PATH] = {};
  if (MakeWatermarkThumbnail(dialog, {dib.data(), size}, 1, thumbnail, bitmap, false, folder) == 0) {
    ShowWatermarkMessage(dialog, state->module, WatermarkMessage::kCannotLoad);
    return 0;
  }
  attempt.Made(thumbnail);
  if (set_box) SetBox(entry, *state, dib.data());
  SetField(entry.bitmap_path, sizeof(entry.bitmap_path), bitmap);
  SetField(entry.thumbnail_path, sizeof(entry.thumbnail_path), thumbnail);
  Stamp(entry);
  return 1;
}

int ReplaceWatermark(HWND dialog, WatermarkListState* state, int32_t j, const std::string& name,
                     const std::string& content, const char* folder) {
  storage::WatermarkEntry& stored = state->Entries()[j];
  state->selection = j;
  const bool text_mode = TextMode(dialog);
  char current[MAX_PATH + 1] = {};
  if (text_mode) {
    platform::CopyStringNA(current, sizeof(current), stored.text, sizeof(stored.text));
  } else {
    platform::CopyStringNA(current, sizeof(current), stored.bitmap_path, sizeof(stored.bitmap_path));
  }
  if (content != current &&
      ShowWatermarkMessage(dialog, state->module, WatermarkMessage::kReplace) != IDOK) {
    return 0;
  }
  SendDlgItemMessageA(dialog, kListNameEdit, EM_SETSEL, 0, -1);

  storage::WatermarkEntry entry = stored;
  Attempt attempt(state);
  attempt.Obsolete(stored.thumbnail_path);
  if (stored.kind == 0) attempt.Obsolete(stored.bitmap_path);  // a generated ".WBF", never a user's BMP
  if (!text_mode) {
    if (!TakeBitmap(dialog, state, content, folder, entry, attempt, false)) return 0;
    if (stored.kind == 0) MakeBitmapEntry(entry);
    entry.kind = 1;
  } else {
    if (stored.kind != 0) MakeTextEntry(entry);
    if (!TakeText(dialog, state, content, folder, entry, attempt, false)) return 0;
    entry.kind = 0;
  }
  entry.flags = 1;
  stored = entry;
  attempt.Commit();
  return 1;
}

int AddWatermark(HWND dialog, WatermarkListState* state, const std::string& name, const std::string& content,
                 const char* folder) {
  if (state->user_count >= state->user_capacity) {
    ShowWatermarkMessage(dialog, state->module, WatermarkMessage::kCapacityReached);
    return 0;
  }
  storage::WatermarkEntry entry{};
  entry.position = static_cast<int16_t>(state->count);
  SetField(entry.name, sizeof(entry.name), name.c_str());
  entry.density_percent = kNewDensity;
  entry.size_percent = kNewSize;
  entry.flags = 1;
  Attempt attempt(state);
  if (!TextMode(dialog)) {
    MakeBitmapEntry(entry);
    if (!TakeBitmap(dialog, state, content, folder, entry, attempt, true)) return 0;
  } else {
    MakeTextEntry(entry);
    if (!TakeText(dialog, state, content, folder, entry, attempt, true)) return 0;
  }

  platform::GlobalBlock grown;
  if (!grown.Allocate(size_t(state->count + 1) * sizeof(storage::WatermarkEntry))) return 0;
  if (state->count > 0) std::memcpy(grown.data(), state->entries.data(), size_t(state->count) * sizeof(entry));
  std::memcpy(grown.data() + size_t(state->count) * sizeof(entry), &entry, sizeof(entry));
  state->entries = std::move(grown);
  ++state->count;
  ++state->user_count;
  attempt.Commit();

  const LRESULT item = SendDlgItemMessageA(dialog, kListNames, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  if (item >= 0) {
    SendDlgItemMessageA(dialog, kListNames, LB_SETITEMDATA, static_cast<WPARAM>(item), state->count - 1);
    SendDlgItemMessageA(dialog, kListNames, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
  }
  SendDlgItemMessageA(dialog, kListNameEdit, EM_SETSEL, 0, -1);
  state->selection = state->count - 1;
  return 1;
}

}  // namespace

int AddOrReplaceWatermark(HWND dialog, WatermarkListState* state) {
  const std::string name = ControlText(dialog, kListNameEdit);
  if (IsFixedName(*state, name.c_str())) {
    ShowWatermarkMessage(dialog, state->module, WatermarkMessage::kFixedName);
    return 0;
  }
  char folder[MAX_PATH] = {};
  const storage::WatermarkEntry* entries = state->Entries();
  GetFolderOfPath(entries != nullptr && state->count > 0 ? entries[0].thumbnail_path : nullptr, folder, sizeof(folder));
  const std::string content = ControlText(dialog, kListContentEdit);
  const int32_t j = FindUserEntry(*state, name.c_str());
  return j >= 0 ? ReplaceWatermark(dialog, state, j, name, content, folder)
                : AddWatermark(dialog, state, name, content, folder);
}

void OnAddOrReplace(HWND dialog, WatermarkListState* state) {
  const bool text_mode = TextMode(dialog);
  if (AddOrReplaceWatermark(dialog, state)) {
    Enable(dialog, kListAddReplace, false);
    Enable(dialog, kListDelete, false);
    if (text_mode) state->auto_fill = 1;
  } else {
    Enable(dialog, kListAddReplace, true);
    SetFocus(GetDlgItem(dialog, kListNames));
  }
}

void OnDeleteWatermark(HWND dialog, WatermarkListState* state) {
  const int32_t i = SelectedEntry(dialog);
  if (i < 0 || i >= state->count || state->Entries() == nullptr) return;
  if (ShowWatermarkMessage(dialog, state->module, WatermarkMessage::kDelete) != IDOK) return;
  SetDlgItemTextA(dialog, kListNameEdit, "");
  SetDlgItemTextA(dialog, kListContentEdit, "");
  Enable(dialog, kListDelete, false);
  const storage::WatermarkEntry& gone = state->Entries()[i];
  if (gone.position == state->selection) state->selection = 0;
  if (state->user_count > 0) --state->user_count;
  state->obsolete_files.Append(gone.thumbnail_path);
  if (gone.kind == 0) state->obsolete_files.Append(gone.bitmap_path);

  const int32_t remaining = state->count - 1;
  platform::GlobalBlock smaller;
  if (remaining > 0 && smaller.Allocate(size_t(remaining) * sizeof(storage::WatermarkEntry))) {
    auto* to = reinterpret_cast<storage::WatermarkEntry*>(smaller.data());
    for (int32_t k = 0, n = 0; k < state->count; ++k) {
      if (k == i) continue;
      to[n] = state->Entries()[k];
      to[n].position = static_cast<int16_t>(n);
      ++n;
    }
  }
  state->entries = std::move(smaller);
  state->count = remaining;
  if (i == state->initial_selection) state->initial_deleted = 1;
  if (i < state->initial_selection) --state->adjusted_initial;
  FillWatermarkList(dialog, *state);
  SetFocus(GetDlgItem(dialog, kListNames));
  ResetListControls(dialog, *state);
}

bool OnConfirmList(HWND dialog, WatermarkListState* state) {
  const int32_t b = SelectedEntry(dialog);
  const std::string name = ControlText(dialog, kListNameEdit);
  const std::string content = ControlText(dialog, kListContentEdit);
  bool chosen = false;
  if (!name.empty() && !content.empty()) {
    if (!AddOrReplaceWatermark(dialog, state)) {
      Enable(dialog, kListAddReplace, true);
      SetFocus(GetDlgItem(dialog, kListNames));
      return false;
    }
    // Without a list selection the added (or replaced) entry becomes the selection.
    chosen = b == -1;
  } else if (!name.empty() || !content.empty()) {
    ShowWatermarkMessage(dialog, state->module,
                         name.empty() ? WatermarkMessage::kNameMissing : WatermarkMessage::kContentMissing);
    return false;
  }
  if (!chosen) {
    state->selection = b != -1 ? b : (state->initial_deleted ? -1 : state->adjusted_initial);
  }
  if (state->count > 0) {
    state->obsolete_files.DeleteListedFiles();
    state->new_files.Forget();
  } else {
    // Nothing is handed back, so the old list stays in use: its files stay, as on Cancel.
    state->new_files.DeleteListedFiles();
    state->obsolete_files.Forget();
  }
  RemoveWatermarkToolTipHook(kListDialogTips);
  EndDialog(dialog, 1);
  return true;
}

void OnCancelList(HWND dialog, WatermarkListState* state) {
  state->selection = SelectedEntry(dialog);
  state->new_files.DeleteListedFiles();
  state->obsolete_files.Forget();
  RemoveWatermarkToolTipHook(kListDialogTips);
  EndDialog(dialog, 0);
}

}  // namespace kalimu::watermark
