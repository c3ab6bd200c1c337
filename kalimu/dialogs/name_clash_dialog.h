// The name clash dialog (template 5025), shown when an imported entry's name is taken or
// reserved, and the rename dialog (template 5031) it opens. Both work on the sheet's
// PageShared::clash_name: the clash dialog shows it, the rename dialog replaces it.
#pragma once

#include <windows.h>

namespace kalimu::dialogs {

inline constexpr int kNameClashTemplate = 5025;
inline constexpr int kRenameTemplate = 5031;

enum NameClashControl : int {
  kClashNameText = 5027,
  kClashOverwriteButton = 5028,
  kClashCancelButton = 5029,
  kClashRenameButton = 5030,
  kRenameCurrentText = 5033,
  kRenameEdit = 5035,
};

// Ends with 100 (overwrite), 101 (renamed: clash_name holds the new name) or 102 (skip).
INT_PTR CALLBACK NameClashDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
// Ends with 1 when a free, allowed name was put into clash_name, 0 on Cancel.
INT_PTR CALLBACK RenameEntryDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

void OnNewEntryNameChange(HWND dialog);
// 1 when the edit's name is free and allowed (and now in clash_name).
int AcceptNewEntryName(HWND dialog);

}  // namespace kalimu::dialogs
