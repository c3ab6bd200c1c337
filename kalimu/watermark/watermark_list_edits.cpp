// The list dialog's controls: modes, the name list, the two edits and their auto-fill.
#include <cstring>

#include "kalimu/platform/text_helpers.h"
#include "kalimu/watermark/watermark_list_dialog.h"

namespace kalimu::watermark {
namespace {

void Enable(HWND dialog, int control, bool on) { EnableWindow(GetDlgItem(dialog, control), on ? TRUE : FALSE); }
void Show(HWND dialog, int control, bool on) { ShowWindow(GetDlgItem(dialog, control), on ? SW_SHOW : SW_HIDE); }

bool TextMode(HWND dialog) { return IsDlgButtonChecked(dialog, kListTextRadio) == BST_CHECKED; }

const storage::WatermarkEntry* EntryAt(const WatermarkListState& state, int32_t index) {
  if (index < 0 || index >= state.count || state.Entries() == nullptr) return nullptr;
  return &state.Entries()[index];
}

// Index of the list item whose text is exactly text (case and all), or -1.
int FindExactItem(HWND dialog, const char* text) {
  HWND list = GetDlgItem(dialog, kListNames);
  const int items = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < items; ++i) {
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, i, 0);
    if (length < 0) continue;
    std::string item(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()));
    if (std::strcmp(item.c_str(), text) == 0) return i;
  }
  return -1;
}

// Cuts an edit's text to max_bytes whole characters and puts the caret behind it.
void CutEditText(HWND dialog, int control, const std::string& text, size_t max_bytes) {
  std::string cut = text;
  platform::TruncateAnsiString(cut.data(), cut.size() + 1, max_bytes);
  SetDlgItemTextA(dialog, control, cut.c_str());
  const LPARAM end = static_cast<LPARAM>(std::strlen(cut.c_str()));
  SendDlgItemMessageA(dialog, control, EM_SETSEL, end, end);
}

bool AutoFillingFrom(const WatermarkListState& state, int control) {
  return state.auto_fill != 0 && state.auto_fill_source == control;
}

}  // namespace

std::string ControlText(HWND dialog, int control) {
  HWND window = GetDlgItem(dialog, control);
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
  GetWindowTextA(window, text.data(), length + 1);
  text.resize(std::strlen(text.c_str()));
  return text;
}

int32_t SelectedEntry(HWND dialog) {
  const LRESULT item = SendDlgItemMessageA(dialog, kListNames, LB_GETCURSEL, 0, 0);
  if (item == LB_ERR) return -1;
  return static_cast<int32_t>(SendDlgItemMessageA(dialog, kListNames, LB_GETITEMDATA, static_cast<WPARAM>(item), 0));
}

void FillWatermarkList(HWND dialog, const WatermarkListState& state) {
  HWND list = GetDlgItem(dialog, kListNames);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  const storage::WatermarkEntry* entries = state.Entries();
  for (int32_t i = state.FirstUser(); entries != nullptr && i < state.count; ++i) {
    char name[sizeof(entries[i].name) + 1] = {};
    platform::CopyStringNA(name, sizeof(name), entries[i].name, sizeof(entries[i].name));
    const LRESULT item = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    if (item >= 0) SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(item), i);
  }
}

namespace {

// Text mode: radio 2868, label 2911, no browsing, the entry's text. Bitmap mode: radio 2869,
// label 2907, browsing, the entry's bitmap path. Entries of the other kind show an empty edit.
void ShowListMode(HWND dialog, const WatermarkListState& state, int32_t index, bool bitmap) {
  CheckDlgButton(dialog, kListTextRadio, bitmap ? BST_UNCHECKED : BST_CHECKED);
  CheckDlgButton(dialog, kListBitmapRadio, bitmap ? BST_CHECKED : BST_UNCHECKED);
  Show(dialog, kListTextLabel, !bitmap);
  Show(dialog, kListBitmapLabel, bitmap);
  Enable(dialog, kListBrowse, bitmap);
  Enable(dialog, kListContentEdit, true);
  const storage::WatermarkEntry* entry = EntryAt(state, index);
  char content[MAX_PATH + 1] = {};
  if (entry != nullptr && (entry->kind != 0) == bitmap) {
    if (bitmap) {
      platform::CopyStringNA(content, sizeof(content), entry->bitmap_path, sizeof(entry->bitmap_path));
    } else {
      platform::CopyStringNA(content, sizeof(content), entry->text, sizeof(entry->text));
    }
  }
  SetDlgItemTextA(dialog, kListContentEdit, content);
}

}  // namespace

void ShowListTextMode(HWND dialog, const WatermarkListState& state, int32_t index) {
  ShowListMode(dialog, state, index, false);
}

void ShowListBitmapMode(HWND dialog, const WatermarkListState& state, int32_t index) {
  ShowListMode(dialog, state, index, true);
}

void ResetListControls(HWND dialog, const WatermarkListState& state) {
  SendDlgItemMessageA(dialog, kListNames, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  ShowListTextMode(dialog, state, -1);
  Enable(dialog, kListAddReplace, false);
  Enable(dialog, kListDelete, false);
  SetDlgItemTextA(dialog, kListNameEdit, "");
  SetDlgItemTextA(dialog, kListContentEdit, "");
  SetFocus(GetDlgItem(dialog, kListNameEdit));
}

void OnListSelection(HWND dialog, WatermarkListState* state) {
  const int32_t index = SelectedEntry(dialog);
  const storage::WatermarkEntry* entry = EntryAt(*state, index);
  if (entry == nullptr) return;
  char name[sizeof(entry->name) + 1] = {};
  platform::CopyStringNA(name, sizeof(name), entry->name, sizeof(entry->name));
  SetDlgItemTextA(dialog, kListNameEdit, name);
  if (entry->kind != 0) {
    ShowListBitmapMode(dialog, *state, index);
  } else {
    ShowListTextMode(dialog, *state, index);
  }
  Enable(dialog, kListDelete, entry->bitmap_id == 0);
  Enable(dialog, kListAddReplace, false);
}

void OnListEditFocus(HWND dialog, WatermarkListState* state, int control, bool gained) {
  if (gained) {
    state->auto_fill_source = control;
    state->auto_fill = TextMode(dialog) && ControlText(dialog, kListNameEdit).empty() &&
                       ControlText(dialog, kListContentEdit).empty();
  } else if (state->auto_fill) {
    state->auto_fill = 0;
    state->auto_fill_source = control == kListNameEdit ? 0 : kListContentEdit;
  }
}

void OnNameChanged(HWND dialog, WatermarkListState* state) {
  const std::string name = ControlText(dialog, kListNameEdit);
  if (IsFixedName(*state, name.c_str())) {
    Enable(dialog, kListDelete, false);
    Enable(dialog, kListAddReplace, false);
    if (AutoFillingFrom(*state, kListNameEdit)) SetDlgItemTextA(dialog, kListContentEdit, name.c_str());
    return;
  }
  HWND list = GetDlgItem(dialog, kListNames);
  const LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (selected != LB_ERR) {
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(selected), 0);
    std::string item(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(item.data()));
    if (std::strcmp(item.c_str(), name.c_str()) != 0) {
      SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
      Enable(dialog, kListDelete, false);
    }
  } else if (!AutoFillingFrom(*state, kListContentEdit)) {
    const int item = FindExactItem(dialog, name.c_str());
    if (item >= 0) {
      SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
      Enable(dialog, kListDelete, true);
      const int32_t index = SelectedEntry(dialog);
      const storage::WatermarkEntry* entry = EntryAt(*state, index);
      if (entry != nullptr && entry->kind != 0) {
        ShowListBitmapMode(dialog, *state, index);
      } else {
        ShowListTextMode(dialog, *state, index);
      }
      return;
    }
    Enable(dialog, kListDelete, false);
  }
  if (IsBlank(name.c_str())) {
    Enable(dialog, kListAddReplace, false);
    if (AutoFillingFrom(*state, kListNameEdit)) SetDlgItemTextA(dialog, kListContentEdit, "");
    return;
  }
  if (!AutoFillingFrom(*state, kListContentEdit)) Enable(dialog, kListAddReplace, true);
  if (name.size() > static_cast<size_t>(kListNameChars)) {
    CutEditText(dialog, kListNameEdit, name, kListNameChars);  // comes back here with the cut name
    return;
  }
  if (AutoFillingFrom(*state, kListNameEdit)) {
    SetDlgItemTextA(dialog, kListContentEdit, name.c_str());
  } else if (IsBlank(ControlText(dialog, kListContentEdit).c_str())) {
    Enable(dialog, kListAddReplace, false);
  }
}

void OnContentChanged(HWND dialog, WatermarkListState* state) {
  const std::string name = ControlText(dialog, kListNameEdit);
  if (IsFixedName(*state, name.c_str())) {
    Enable(dialog, kListDelete, false);
    Enable(dialog, kListAddReplace, false);
    return;
  }
  const std::string content = ControlText(dialog, kListContentEdit);
  if (IsBlank(content.c_str())) {
    Enable(dialog, kListAddReplace, false);
    if (AutoFillingFrom(*state, kListContentEdit)) SetDlgItemTextA(dialog, kListNameEdit, "");
    return;
  }
  Enable(dialog, kListAddReplace, true);
  const size_t limit = TextMode(dialog) ? kListTextChars : kListPathChars;
  if (content.size() > limit) {
    CutEditText(dialog, kListContentEdit, content, limit);  // comes back here with the cut text
    return;
  }
  if (AutoFillingFrom(*state, kListContentEdit)) {
    std::string short_name = content;
    platform::TruncateAnsiString(short_name.data(), short_name.size() + 1, kListAutoFillNameChars);
    short_name.resize(std::strlen(short_name.c_str()));
    SetDlgItemTextA(dialog, kListNameEdit, short_name.c_str());
    Enable(dialog, kListAddReplace, FindExactItem(dialog, content.c_str()) < 0);
    Enable(dialog, kListDelete, false);
  } else if (IsBlank(name.c_str())) {
    Enable(dialog, kListAddReplace, false);
  } else if (SendDlgItemMessageA(dialog, kListNames, LB_GETCURSEL, 0, 0) != LB_ERR) {
    Enable(dialog, kListAddReplace, true);
  }
}

}  // namespace kalimu::watermark
