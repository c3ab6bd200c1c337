// The list dialog's entry point, procedure and browse button.
#include "kalimu/watermark/watermark_list_dialog.h"

#include <commdlg.h>

#include <cstring>
#include <memory>
#include <new>

#include "kalimu/platform/text_helpers.h"
#include "kalimu/watermark/watermark_help.h"
#include "kalimu/watermark/watermark_tooltips.h"

namespace kalimu::watermark {
namespace {

constexpr char kNoResourceText[] = "Couldn't Open Resource";
constexpr char kNoResourceCaption[] = "Error!";
constexpr char kDefaultFilter[] = "BMP Files(*.bmp)\0*.bmp\0DIB Files(*.dib)\0*.dib\0All Files(*.*)\0*.*\0";

WatermarkListState* StateOf(HWND dialog) {
  return reinterpret_cast<WatermarkListState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void OnCommand(HWND dialog, WatermarkListState* state, int control, int code) {
  switch (control) {
    case IDOK:
    case kListOkToo: OnConfirmList(dialog, state); return;
    case IDCANCEL: OnCancelList(dialog, state); return;
    case kListTextRadio:
      if (code == BN_CLICKED) ShowListTextMode(dialog, *state, SelectedEntry(dialog));
      return;
    case kListBitmapRadio:
      if (code == BN_CLICKED) ShowListBitmapMode(dialog, *state, SelectedEntry(dialog));
      return;
    case kListNames:
      if (code == LBN_SELCHANGE) OnListSelection(dialog, state);
      return;
    case kListNameEdit:
    case kListContentEdit:
      if (code == EN_SETFOCUS || code == EN_KILLFOCUS) {
        OnListEditFocus(dialog, state, control, code == EN_SETFOCUS);
      } else if (code == EN_CHANGE) {
        control == kListNameEdit ? OnNameChanged(dialog, state) : OnContentChanged(dialog, state);
      }
      return;
    case kListBrowse:
      if (code == BN_CLICKED) BrowseForBitmap(dialog, *state);
      return;
    case kListAddReplace:
      if (code == BN_CLICKED) OnAddOrReplace(dialog, state);
      return;
    case kListDelete:
      if (code == BN_CLICKED) OnDeleteWatermark(dialog, state);
      return;
    case kListHelp:
      ShowWatermarkHelpTopic(dialog, state->help, kListHelpContext);
      return;
    default: return;
  }
}

}  // namespace

void InitWatermarkList(HWND dialog, WatermarkListState* state) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  state->adjusted_initial = state->initial_selection;
  state->auto_fill = 0;
  state->auto_fill_source = 0;
  state->initial_deleted = 0;
  state->obsolete_files.Forget();
  state->new_files.Forget();
  FillWatermarkList(dialog, *state);
  ResetListControls(dialog, *state);
  InstallWatermarkToolTips(dialog, state->module, kListDialogTips);
}

INT_PTR CALLBACK WatermarkListDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    InitWatermarkList(dialog, reinterpret_cast<WatermarkListState*>(lparam));
    return FALSE;  // the focus is set on the name edit
  }
  WatermarkListState* state = StateOf(dialog);
  if (state == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND:
      OnCommand(dialog, state, LOWORD(wparam), HIWORD(wparam));
      return TRUE;
    case WM_NOTIFY:
      HandleWatermarkToolTipNotify(dialog, reinterpret_cast<NMHDR*>(lparam), state->module, kListDialogTips);
      return TRUE;
    case WM_HELP:
    case WM_CONTEXTMENU:
      HandleWatermarkHelp(dialog, message, lparam, state->help, kWatermarkListHelpTable);
      return TRUE;
    default: return FALSE;
  }
}

bool ChooseBitmapFile(HWND owner, HMODULE module, char* file, size_t size) {
  char filter[256] = {};
  const int length = LoadStringA(module, kBrowseFilterString, filter, sizeof(filter) - 1);
  if (length <= 0) {
    std::memcpy(filter, kDefaultFilter, sizeof(kDefaultFilter));
  } else {
    // A filter string keeps its pairs apart with a character of its own choosing at the end.
    const char separator = filter[length - 1];
    for (int i = 0; i < length; ++i) {
      if (filter[i] == separator) filter[i] = '\0';
    }
  }
  char title[64] = {};
  LoadStringA(module, kBrowseTitleString, title, sizeof(title));
  char file_title[64] = {};
  if (size == 0) return false;
  file[0] = '\0';
  OPENFILENAMEA open{};
  open.lStructSize = sizeof(open);
  open.hwndOwner = owner;
  open.lpstrFilter = filter;
  open.nFilterIndex = 1;
  open.lpstrFile = file;
  open.nMaxFile = static_cast<DWORD>(size);
  open.lpstrFileTitle = file_title;
  open.nMaxFileTitle = sizeof(file_title);
  open.lpstrInitialDir = "";
  open.lpstrTitle = title[0] != '\0' ? title : nullptr;
  open.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  open.lpstrDefExt = "bmp";
  return GetOpenFileNameA(&open) != FALSE;
}

bool BrowseForBitmap(HWND dialog, const WatermarkListState& state) {
  char file[MAX_PATH] = {};
  if (!ChooseBitmapFile(dialog, state.module, file, sizeof(file))) return false;
  SetDlgItemTextA(dialog, kListContentEdit, file);
  return true;
}

storage::WatermarkEntry* ManageWatermarksDialog(HWND owner, HMODULE module, const storage::WatermarkEntry* entries,
                                                int16_t* count, int16_t* selection, int16_t user_capacity,
                                                int32_t page_width, int32_t page_height, const int32_t margins[4],
                                                const void* /*reserved*/, const WatermarkHelpBlock* help) {
  if (module == nullptr) {
    if (owner != nullptr) MessageBoxA(owner, kNoResourceText, kNoResourceCaption, MB_OK);
    return nullptr;
  }
  auto state = std::unique_ptr<WatermarkListState>(new (std::nothrow) WatermarkListState{});
  if (!state) return nullptr;
  state->module = module;
  state->extent = {page_width, page_height};
  if (margins != nullptr) state->margins = {margins[0], margins[1], margins[2], margins[3]};
  if (help != nullptr) {
    platform::CopyStringNA(state->help.help_path, sizeof(state->help.help_path), help->help_path,
                           sizeof(help->help_path));
    state->help.flags = help->flags;
  }
  const int32_t given = count != nullptr ? *count : 0;
  if (entries != nullptr && given > 0 &&
      state->entries.Allocate(size_t(given) * sizeof(storage::WatermarkEntry))) {
    std::memcpy(state->entries.data(), entries, size_t(given) * sizeof(storage::WatermarkEntry));
    state->count = given;
    for (int32_t i = 0; i < given; ++i) state->user_count += entries[i].bitmap_id == 0;
    state->user_capacity = user_capacity;
    state->selection = state->initial_selection = selection != nullptr ? *selection : -1;
  } else {
    state->selection = state->initial_selection = -1;
  }
  const INT_PTR result = DialogBoxParamA(module, MAKEINTRESOURCEA(kListTemplate), owner, WatermarkListDlgProc,
                                         reinterpret_cast<LPARAM>(state.get()));
  // Only OK hands the list back: -1 means the dialog was never made.
  if (result != 1 || !state->entries.held() || state->count <= 0) return nullptr;
  if (selection != nullptr) *selection = static_cast<int16_t>(state->selection);
  if (count != nullptr) *count = static_cast<int16_t>(state->count);
  return reinterpret_cast<storage::WatermarkEntry*>(state->entries.Release());
}

}  // namespace kalimu::watermark
