// The user settings dialog: opening, the list and the name edit, Save, Delete and Close.
#include "kalimu/dialogs/user_settings_dialog.h"

#include <cstring>
#include <memory>

#include "kalimu/dialogs/user_settings_entries.h"
#include "kalimu/dialogs/user_settings_transfer.h"
#include "kalimu/pages/messages.h"
#include "kalimu/pages/tooltips.h"
#include "kalimu/platform/text_conversion.h"

namespace kalimu::dialogs {
namespace {

constexpr size_t kAnsiTextBytes = 256;
constexpr size_t kWideTextChars = 260;
constexpr size_t kEntryNameChars = 33;

UserSettingsState* StateOf(HWND dialog) {
  return reinterpret_cast<UserSettingsState*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
}

settings::JobSettings& SettingsOf(const UserSettingsState& state) { return *state.param->settings; }

void Enable(HWND dialog, int control, bool enable) { EnableWindow(GetDlgItem(dialog, control), enable); }

bool IsMultiSelect(HWND list) {
  return (GetWindowLongA(list, GWL_STYLE) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)) != 0;
}

// The save's questions as message boxes over the dialog.
class DialogSavePrompts : public SavePrompts {
 public:
  DialogSavePrompts(HWND dialog, const pages::PageParam& param) : dialog_(dialog), param_(param) {}
  bool ConfirmOverwrite() override {
    return pages::ShowSettingsMessage(dialog_, param_, MB_OKCANCEL, kOverwriteMessage) == IDOK;
  }
  void ShowStoreFull() override { pages::ShowSettingsMessage(dialog_, param_, MB_OK, kStoreFullMessage); }

 private:
  HWND dialog_;
  const pages::PageParam& param_;
};

// Publishes the snapshot where the dialogs opened from this one find it, or takes it back.
void ShareSnapshot(UserSettingsState& state, bool shared) {
  if (state.param->shared == nullptr) return;
  state.param->shared->inner_dialog_snapshot =
      shared ? reinterpret_cast<settings::DriverDevMode*>(state.snapshot.data()) : nullptr;
}

void RestoreSnapshot(UserSettingsState& state) {
  if (state.snapshot.held()) SettingsOf(state).SetDriverDevMode(state.snapshot.data());
}

void EndUserSettings(HWND dialog, UserSettingsState& state, INT_PTR result) {
  state.ending = true;
  pages::RemoveToolTipHook(kUserSettingsToolTipKind);
  ShareSnapshot(state, false);
  state.snapshot.Reset();
  EndDialog(dialog, result);
}


}  // namespace

std::vector<int> SelectedListItems(HWND list) {
  std::vector<int> items;
  if (IsMultiSelect(list)) {
    const LRESULT count = SendMessageA(list, LB_GETSELCOUNT, 0, 0);
    if (count <= 0) return items;
    items.resize(static_cast<size_t>(count));
    const LRESULT got = SendMessageA(list, LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(items.data()));
    items.resize(got > 0 ? static_cast<size_t>(got) : 0);
  } else if (const LRESULT item = SendMessageA(list, LB_GETCURSEL, 0, 0); item != LB_ERR) {
    items.push_back(static_cast<int>(item));
  }
  return items;
}

void SelectOnlyListItem(HWND list, int item) {
  if (!IsMultiSelect(list)) {
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
    return;
  }
  SendMessageA(list, LB_SETSEL, FALSE, -1);
  SendMessageA(list, LB_SETSEL, TRUE, item);
  SendMessageA(list, LB_SETCARETINDEX, static_cast<WPARAM>(item), FALSE);
}

void ClearListSelection(HWND list) {
  if (IsMultiSelect(list)) {
    SendMessageA(list, LB_SETSEL, FALSE, -1);
  } else {
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  }
}

bool HasNameText(const char* text) {
  for (; *text != '\0'; ++text) {
    if (*text != ' ' && *text != '\t') return true;
  }
  return false;
}

bool IsSettingsNameAllowed(const pages::PageParam& param, const char* name) {
  settings::JobSettings& settings = *param.settings;
  char reserved[kAnsiTextBytes] = {};
  pages::LoadPageString(param, kReservedNameString, reserved, sizeof(reserved));
  if (lstrcmpA(name, reserved) == 0) return false;
  uint32_t first = 0;
  uint32_t count = 0;
  settings.GetPresetGroup0Count(&first);
  settings.GetPresetCount(&count);
  for (uint32_t i = first; i < count; ++i) {
    uint8_t record[128] = {};
    if (!settings.GetPresetRecord(static_cast<uint16_t>(i), record, sizeof(record))) continue;
    int16_t number = 0;
    std::memcpy(&number, record, sizeof(number));
    char display[kAnsiTextBytes] = {};
    if (pages::LoadPageString(param, kPresetNameStrings + number, display, sizeof(display)) > 0 &&
        lstrcmpA(name, display) == 0) {
      return false;
    }
  }
  return true;
}

bool IsSettingsNameAllowedW(const pages::PageParam& param, const wchar_t* name) {
  const auto ansi = platform::AnsiFromWide(name);
  return ansi && IsSettingsNameAllowed(param, ansi->c_str());
}

void FillUserSettingsList(HWND dialog, UserSettingsState& state) {
  settings::JobSettings& settings = SettingsOf(state);
  HWND list = GetDlgItem(dialog, kSettingsList);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  const uint32_t count = UserSettingsCount(settings);
  const uint32_t presets = ModelPresetCount(settings);
  HDC dc = state.extended ? GetDC(list) : nullptr;
  HGDIOBJ old_font = dc != nullptr ? SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)))
                                   : nullptr;
  uint16_t widest = 0;
  for (uint32_t i = 0; i < count; ++i) {
    wchar_t name[kEntryNameChars] = {};
    settings.GetSettingsName(static_cast<uint16_t>(i), name, kEntryNameChars);
    const LRESULT item = SendMessageW(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(name));
    if (item >= 0) SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(item), presets + i);
    SIZE extent = {};
    if (dc != nullptr && GetTextExtentPoint32W(dc, name, lstrlenW(name), &extent) && extent.cx > widest) {
      widest = static_cast<uint16_t>(extent.cx);
    }
  }
  if (dc != nullptr) {
    if (old_font != nullptr) SelectObject(dc, old_font);
    ReleaseDC(list, dc);
  }
  SendMessageW(list, LB_SETHORIZONTALEXTENT, widest, 0);
}

void InitUserSettingsDialog(HWND dialog, UserSettingsState* state) {
  pages::StorePageParam(dialog, state->param);
  SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  settings::JobSettings& settings = SettingsOf(*state);
  state->extended = settings.TestModelHeaderFlags24(0x100000) != 0;
  if (state->snapshot.Allocate(sizeof(settings::DriverDevMode))) {
    std::memcpy(state->snapshot.data(), settings.GetDriverDevMode(), sizeof(settings::DriverDevMode));
    ShareSnapshot(*state, true);
  }
  FillUserSettingsList(dialog, *state);
  Enable(dialog, kSettingsSave, false);
  Enable(dialog, kSettingsDelete, false);
  if (state->extended) {
    Enable(dialog, kSettingsExport, false);
    Enable(dialog, kSettingsImport, true);
    Enable(dialog, kSettingsClose, true);
  }  // the simple model leaves the buttons as the template has them
  SendDlgItemMessageA(dialog, kSettingsName, EM_LIMITTEXT, kAnsiTextBytes - 1, 0);
  pages::InstallToolTips(dialog, kUserSettingsToolTipKind);
}

void SelectSettingsByName(HWND dialog, UserSettingsState& state) {
  wchar_t name[kWideTextChars] = {};
  GetDlgItemTextW(dialog, kSettingsName, name, kWideTextChars);
  HWND list = GetDlgItem(dialog, kSettingsList);
  const uint16_t found = FindSettingsEntryByName(SettingsOf(state), name);
  if (found == kNoSettingsEntry) {
    Enable(dialog, kSettingsDelete, false);
    if (!SelectedListItems(list).empty()) {
      ClearListSelection(list);
      if (state.extended) Enable(dialog, kSettingsExport, false);
    }
    return;
  }
  Enable(dialog, kSettingsDelete, true);
  const LRESULT items = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < items; ++i) {
    if (SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0) != found) continue;
    SelectOnlyListItem(list, static_cast<int>(i));
    if (state.extended) {
      SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(i), 0);
      Enable(dialog, kSettingsExport, true);
    }
    return;
  }
}

void OnSettingsNameChange(HWND dialog, UserSettingsState& state) {
  char text[kAnsiTextBytes] = {};
  GetDlgItemTextA(dialog, kSettingsName, text, sizeof(text));
  HWND list = GetDlgItem(dialog, kSettingsList);
  if (!HasNameText(text)) {
    Enable(dialog, kSettingsSave, false);
    Enable(dialog, kSettingsDelete, false);
    // An empty edit in the extended model keeps a selection of several entries (for export).
    if (text[0] == '\0' && state.extended && SelectedListItems(list).size() >= 2) return;
    ClearListSelection(list);
    if (state.extended) Enable(dialog, kSettingsExport, false);
    return;
  }
  Enable(dialog, kSettingsSave, true);
  if (!IsSettingsNameAllowed(*state.param, text)) {
    Enable(dialog, kSettingsSave, false);
    Enable(dialog, kSettingsDelete, false);
    return;
  }
  const int cut = LimitSettingsNameText(text, sizeof(text), state.extended);
  if (cut >= 0) {
    // Writing the cut name back runs this change again on it.
    SetDlgItemTextA(dialog, kSettingsName, text);
    SendDlgItemMessageA(dialog, kSettingsName, EM_SETSEL, static_cast<WPARAM>(cut), cut);
    return;
  }
  SelectSettingsByName(dialog, state);
}

void OnSettingsListSelect(HWND dialog, UserSettingsState& state) {
  HWND list = GetDlgItem(dialog, kSettingsList);
  std::vector<int> selected = SelectedListItems(list);
  if (!state.extended && selected.size() > 1) {
    // The simple model keeps one entry: the one the user clicked last.
    const int caret = static_cast<int>(SendMessageW(list, LB_GETCARETINDEX, 0, 0));
    const int keep = SendMessageW(list, LB_GETSEL, static_cast<WPARAM>(caret), 0) > 0 ? caret : selected.front();
    SelectOnlyListItem(list, keep);
    selected.assign(1, keep);
  }
  if (state.extended && selected.empty()) {
    Enable(dialog, kSettingsExport, false);
    return;
  }
  if (state.extended && selected.size() > 1) {
    Enable(dialog, kSettingsSave, false);
    Enable(dialog, kSettingsDelete, false);
    Enable(dialog, kSettingsExport, true);
    SetDlgItemTextW(dialog, kSettingsName, L"");
    return;
  }
  if (selected.empty()) return;
  // The selected item itself: the caret item may be one that is not selected.
  const LRESULT data = SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(selected.front()), 0);
  const uint32_t presets = ModelPresetCount(SettingsOf(state));
  wchar_t name[kEntryNameChars] = {};
  if (data == LB_ERR || static_cast<uint32_t>(data) < presets ||
      !SettingsOf(state).GetSettingsName(static_cast<uint16_t>(data - presets), name, kEntryNameChars)) {
    return;
  }
  SetDlgItemTextW(dialog, kSettingsName, name);
  Enable(dialog, kSettingsDelete, true);
  if (state.extended) Enable(dialog, kSettingsExport, true);
}

void OnSaveSettings(HWND dialog, UserSettingsState& state) {
  settings::JobSettings& settings = SettingsOf(state);
  if (settings.IsSpecialQualityLevel()) settings.ApplyModeQualityLevel();
  wchar_t name[kEntryNameChars] = {};
  GetDlgItemTextW(dialog, kSettingsName, name, kEntryNameChars);
  DialogSavePrompts prompts(dialog, *state.param);
  pages::PageShared* shared = state.param->shared;
  uint32_t entry_index = 0;
  // A refused save keeps the snapshot: Close or Cancel still restores the settings of the opening.
  if (!SaveUserSettingsEntry(settings, name, shared != nullptr ? shared->dialog_snapshot : nullptr, prompts,
                             &entry_index)) {
    return;
  }
  if (shared != nullptr) {
    shared->user_entry_applied = 1;
    shared->user_entry_index = entry_index;
  }
  if (!state.extended) {
    EndUserSettings(dialog, state, 1);
    return;
  }
  FillUserSettingsList(dialog, state);
  Enable(dialog, kSettingsExport, true);
  SelectSettingsByName(dialog, state);
  SetFocus(GetDlgItem(dialog, kSettingsName));
}

void OnDeleteSettings(HWND dialog, UserSettingsState& state) {
  settings::JobSettings& settings = SettingsOf(state);
  if (pages::ShowSettingsMessage(dialog, *state.param, MB_OKCANCEL, kDeleteMessage) != IDOK) {
    RestoreSnapshot(state);
    return;
  }
  wchar_t name[kEntryNameChars] = {};
  GetDlgItemTextW(dialog, kSettingsName, name, kEntryNameChars);
  const uint16_t found = FindSettingsEntryByName(settings, name);
  if (found == kNoSettingsEntry || !DeleteUserSettingsEntry(settings, found)) return;
  if (state.extended) {
    FillUserSettingsList(dialog, state);
    Enable(dialog, kSettingsSave, false);
    Enable(dialog, kSettingsDelete, false);
    Enable(dialog, kSettingsExport, false);
    SetDlgItemTextW(dialog, kSettingsName, L"");
    SetFocus(GetDlgItem(dialog, kSettingsName));
    return;
  }
  wchar_t current[kEntryNameChars] = {};
  settings.GetUserPresetName(current, kEntryNameChars);
  const bool was_current = lstrcmpW(current, name) == 0;
  if (was_current) settings.SetPresetKind5();
  EndUserSettings(dialog, state, was_current ? 1 : 0);
}

void CloseUserSettingsDialog(HWND dialog, UserSettingsState& state) {
  if (state.extended) {
    EndUserSettings(dialog, state, 1);
    return;
  }
  RestoreSnapshot(state);
  EndUserSettings(dialog, state, 0);
}

void OnUserSettingsCommand(HWND dialog, UserSettingsState& state, int control, int code) {
  if (state.ending) return;
  switch (control) {
    case IDCANCEL:
    case kSettingsClose:
      CloseUserSettingsDialog(dialog, state);
      return;
    case kSettingsList:
      if (code == LBN_SELCHANGE) OnSettingsListSelect(dialog, state);
      return;
    case kSettingsName:
      if (code == EN_CHANGE) OnSettingsNameChange(dialog, state);
      return;
    case kSettingsSave:
      OnSaveSettings(dialog, state);
      return;
    case kSettingsDelete:
      OnDeleteSettings(dialog, state);
      return;
    case kSettingsExport:
      OnExportSettings(dialog, state);
      return;
    case kSettingsImport:
      OnImportSettings(dialog, state);
      return;
    default:
      return;
  }
}

INT_PTR CALLBACK UserSettingsDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* param = reinterpret_cast<pages::PageParam*>(lparam);
    auto* state = param != nullptr && param->settings != nullptr ? new (std::nothrow) UserSettingsState : nullptr;
    if (state == nullptr) {
      EndDialog(dialog, 0);
      return TRUE;
    }
    state->param = param;
    InitUserSettingsDialog(dialog, state);
    return TRUE;
  }
  UserSettingsState* state = StateOf(dialog);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(dialog, GWLP_USERDATA, 0);
    if (state != nullptr) ShareSnapshot(*state, false);
    delete state;
    return FALSE;
  }
  if (state == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND:
      OnUserSettingsCommand(dialog, *state, LOWORD(wparam), HIWORD(wparam));
      return TRUE;
    case WM_NOTIFY:
      pages::HandleToolTipNotifyA(reinterpret_cast<NMHDR*>(lparam), *state->param, kUserSettingsToolTipKind);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace kalimu::dialogs
