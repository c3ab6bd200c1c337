// The utility page of the document sheet: picture buttons that start the printer's status
// monitor, its maintenance utility and a stored program, open the printer-adjustment and
// driver-options dialogs, and the temporary-file folder and utility flags written at Apply.
// The page frame turns the page's messages into these calls.
#pragma once

#include <windows.h>

#include <cstddef>

#include "kalimu/pages/page_access.h"

namespace kalimu::pages {

inline constexpr int kUtilityPageTemplate = 903;
inline constexpr uint16_t kUtilityToolTipKind = 3;
inline constexpr int kUtilityVersionText = 2331;
inline constexpr int kDriverOptionsButton = 2332;
inline constexpr int kMonitorButton = 2310;
inline constexpr int kAdjustButton = 2314;
inline constexpr int kStoredProgramButton = 2317;
inline constexpr int kFirstUtilityButton = 2310;
inline constexpr int kLastUtilityButton = 2317;
inline constexpr int kUtilityButtonBitmap = 7600;  // + (button - 2310)

// Page start-up after the frame kept the PageParam and took the snapshot: the control refresh,
// the version text, the status-monitor setting and the adjustment group's registry check (the
// frame then asks for the printer's status and installs the tooltips).
void InitUtilityPage(HWND window, PageParam& param);
// Enables, disables and hides the buttons by the monitor, the model and what is installed.
void RefreshUtilityControls(HWND window, PageParam& param);
// WM_COMMAND of the page's buttons.
void UtilityPageCommand(HWND window, PageParam& param, int control_id);
// Runs the maintenance utility of a button of the page or of the printer-adjustment dialog
// (2311, 2312, 2313, 2315, 2316, 2394, 2395); any other id runs nothing.
void RunMaintenanceUtility(HWND window, PageParam* param, int control_id);
// The program stored in values 256 (folder) and 257 (file): 1 with the path in `buffer` (when
// given), 0 when either is missing or too short.
int GetStoredProgramPath(PageParam* param, char* buffer, size_t size);
// Reads the temporary-file folder (value 103, corrected to an existing writable folder in its
// long form) and the utility flags' bit 0 (value 107) into JobOptions bit 0x40.
void LoadTempFolder(PageParam& param);
// The page's part of Apply: when the folder was loaded, writes value 103 and mirrors JobOptions
// bits 0x40 and 0x800 into bits 0 and 2 of value 107, keeping its other bits.
void CommitUtilityPage(PageParam& param);
// WM_DRAWITEM of the picture buttons; other items are left alone.
void DrawUtilityButton(const DRAWITEMSTRUCT* item, const PageParam& param);

}  // namespace kalimu::pages
