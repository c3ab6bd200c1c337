// The driver options dialog (template 2500): job option bits, the status monitor switch
// ("STMSetting" of the printer's data), the monitor's own settings, and the folder of the
// temporary spool files chosen with a list of fixed drives and a folder tree. The utility page
// opens it; it ends with 1 on OK and 0 on Cancel, and leaves the process's current directory as
// it found it.
//
//   driver_options_folders.cpp  the drive list, the folder tree and the path they compose
//   driver_options_dialog.cpp   the check boxes, the monitor switch, OK, Cancel and drawing
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "kalimu/pages/page_records.h"

namespace kalimu::dialogs {

using pages::PageParam;

enum DriverOptionsControl : int {
  kDriverOptionsDialog = 2500,
  kRasterCheck = 2501,          // job option bit 16
  kFolderText = 2503,
  kDriverOptionsHelp = 2504,
  kDriveCombo = 2505,
  kFolderTree = 2506,
  kFolderWorkList = 2507,
  kMonitorForJobCheck = 2508,   // job option bit 64
  kSkipBlankCheck = 2511,       // job option bit 32
  kMonitorSettings = 2512,
  kLayoutBitCheck = 2513,       // shows layout option bit 1
  kMonitorOffCheck = 2514,      // "STMSetting"
  kOptionCheck800 = 2517,
  kOptionCheck8000 = 2518,
  kOptionCheck10000 = 2519,
};

// Item data of the folder tree: high word the kind, low word the indent.
enum FolderKind : uint16_t { kSubfolder = 10, kOpenFolder = 11, kCurrentFolder = 12 };
inline constexpr uint32_t kFixedDriveKind = 3;

// ---- Drives and folders (driver_options_folders.cpp) --------------------------------------------

// Fills the drive combo with the fixed drives ("c:  ", data letter index | 0x30000) and selects
// `letter`'s item.
void FillDriveCombo(HWND dialog, char letter);
// Fills the tree for `path`: one item per path component (kind 11, the last kind 12), then the
// folders of the last one (kind 10) that are neither hidden by a leading "." nor read-only.
// 0 (nothing changed) for a path too long to list.
int FillFolderTree(HWND dialog, const char* path);
// The path of the selected tree item: its open ancestors and itself, without a trailing
// backslash (a drive root is "c:"). 0 when nothing is selected or the path would not fit `size`.
int ComposeFolderPath(HWND dialog, char* out, size_t size);
// Shows the composed path in 2503 (a drive root as "c:\").
void ShowFolderPath(HWND dialog);
// LBN_DBLCLK on the tree: enters the item's folder (an ancestor: the path up to it).
void EnterFolderItem(HWND dialog);
// CBN_SELCHANGE of the drive combo: enters the drive's current folder, or stays where it was.
void EnterSelectedDrive(HWND dialog);

// ---- The dialog (driver_options_dialog.cpp) ----------------------------------------------------

INT_PTR CALLBACK DriverOptionsDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

void InitDriverOptionsDialog(HWND dialog, PageParam& param);
void SwitchMonitor(HWND dialog, PageParam& param);
void ConfirmDriverOptions(HWND dialog, PageParam& param);
void CancelDriverOptions(HWND dialog, PageParam& param);
void DrawDriverOptionsItem(HWND dialog, const PageParam& param, const DRAWITEMSTRUCT* item);

}  // namespace kalimu::dialogs
