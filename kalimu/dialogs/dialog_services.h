// What every settings dialog opened from a page does the same way: the device-mode snapshot it
// takes at opening and puts back on Cancel, its end, and its help.
#pragma once

#include <windows.h>

#include <cstdint>

#include "kalimu/pages/page_records.h"
#include "kalimu/settings/driver_dev_mode.h"

namespace kalimu::dialogs {

using pages::PageParam;
using pages::PageShared;

// Copies the settings' device mode into a new moveable zero-filled 1048-byte block kept in
// *field (a block already there is released first); 1, or 0 with *field null when no memory.
int TakeDevModeSnapshot(const PageParam& param, settings::DriverDevMode** field);
// Releases the snapshot and clears the field; nothing when it is empty.
void FreeDevModeSnapshot(settings::DriverDevMode** field);
// Copies the snapshot over the settings' device mode when it exists.
void RestoreDevModeSnapshot(const PageParam& param, const settings::DriverDevMode* snapshot);
// Restores and releases the snapshot when it exists, removes the tooltip hook of `kind`
// (none for a negative kind) and ends the dialog with `result`.
void CancelDialogSnapshot(HWND dialog, const PageParam& param, settings::DriverDevMode** field, int kind,
                          INT_PTR result);
// Ends the dialog with `result` and forgets its PageParam, so that the notifications the end
// still brings (the focus moving away from an edit or a combo) change nothing.
void EndSettingsDialog(HWND dialog, INT_PTR result);

// Tells the property sheet that a page changed (PSM_CHANGED); nothing without a sheet window.
void NotifySheetChanged(HWND window, const PageParam& param);

// {control id, help context} pairs ended by 0, 0, as the help system takes them; context kNoHelp: none.
inline constexpr DWORD kNoHelp = static_cast<DWORD>(-1);

// Every help call of the settings dialogs: the driver's help file with `command` and `data`, through
// the page frame's help entry (which tests replace); nothing when the help file cannot be found.
void ShowDialogHelp(HWND window, const PageParam& param, UINT command, ULONG_PTR data);
// The driver's help file at `context` (HELP_CONTEXT).
void ShowHelpTopic(HWND window, const PageParam& param, DWORD context);
// WM_NOTIFY (the tooltips of `kind`), WM_HELP and WM_CONTEXTMENU (the help table): true when
// the message was one of them.
bool HandleTipsAndHelp(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam, const PageParam& param,
                       uint16_t kind, const DWORD* table);
// WM_HELP (HELP_WM_HELP, on the control the help info names) or WM_CONTEXTMENU
// (HELP_CONTEXTMENU, on the window clicked) with the dialog's table.
void ShowContextHelp(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam, const DWORD* table);

}  // namespace kalimu::dialogs
