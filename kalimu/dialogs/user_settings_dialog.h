// The user settings dialog (template 2600): the saved user settings by name, saved, overwritten
// and deleted here, and on models with extended user settings exported to and imported from
// ".csf" files. The procedure turns messages into calls on the routines below, which work on
// the store through user_settings_entries.h and user_settings_transfer.h.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "kalimu/pages/page_records.h"
#include "kalimu/platform/global_block.h"

namespace kalimu::dialogs {

enum UserSettingsControl : int {
  kSettingsList = 2601,
  kSettingsName = 2602,
  kSettingsSave = 2603,
  kSettingsDelete = 2604,
  kSettingsClose = 2605,
  kSettingsExport = 2606,
  kSettingsImport = 2607,
};
inline constexpr uint16_t kUserSettingsToolTipKind = 5;

// Strings of the resource library.
enum UserSettingsString : UINT {
  kPresetNameStrings = 1600,  // + the preset's name number
  kReservedNameString = 1650,
  kSettingsFileFilterString = 5036,
  kImportCaptionString = 5038,
  kRefusedRecordString = 5046,
};

// Settings messages of the dialog.
enum UserSettingsMessage : int { kOverwriteMessage = 0, kStoreFullMessage = 1, kDeleteMessage = 2 };

// What the dialog keeps while it is open (its GWLP_USERDATA).
struct UserSettingsState {
  pages::PageParam* param = nullptr;
  bool extended = false;            // the model's extended user settings
  platform::GlobalBlock snapshot;   // the device mode at opening, until the dialog ends
  bool ending = false;
};

INT_PTR CALLBACK UserSettingsDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

void InitUserSettingsDialog(HWND dialog, UserSettingsState* state);
void OnUserSettingsCommand(HWND dialog, UserSettingsState& state, int control, int code);
void FillUserSettingsList(HWND dialog, UserSettingsState& state);
void OnSettingsNameChange(HWND dialog, UserSettingsState& state);
void OnSettingsListSelect(HWND dialog, UserSettingsState& state);
void SelectSettingsByName(HWND dialog, UserSettingsState& state);
void OnSaveSettings(HWND dialog, UserSettingsState& state);
void OnDeleteSettings(HWND dialog, UserSettingsState& state);
void CloseUserSettingsDialog(HWND dialog, UserSettingsState& state);

// Whether a typed name holds anything but blanks and tabs.
bool HasNameText(const char* text);
// Whether a name may be given to an entry: not a display name of the model's presets of groups
// 1 and 2, not the reserved name (string 1650).
bool IsSettingsNameAllowed(const pages::PageParam& param, const char* name);
bool IsSettingsNameAllowedW(const pages::PageParam& param, const wchar_t* name);

// The list's selection, whatever selection style the list was made with: the template's list
// takes several items, which the extended model uses; the simple model keeps one at most.
std::vector<int> SelectedListItems(HWND list);
void SelectOnlyListItem(HWND list, int item);
void ClearListSelection(HWND list);

// --- Export and import (user_settings_files.cpp) -------------------------------------------
inline constexpr size_t kSettingsPathBytes = MAX_PATH;
// The common file dialog for a ".csf" file; non-zero when the user chose one into path (260 bytes).
int AskSettingsFileName(HWND owner, const pages::PageParam& param, char* path, bool save);
void OnExportSettings(HWND dialog, UserSettingsState& state);
void OnImportSettings(HWND dialog, UserSettingsState& state);
// The parts after the file dialog: the selected entries written to `path` with the message of
// the result; the file read into the store with its messages, the list refilled.
int ExportSettingsToFile(HWND dialog, UserSettingsState& state, const char* path);
int ImportSettingsFromFile(HWND dialog, UserSettingsState& state, const char* path);

}  // namespace kalimu::dialogs
