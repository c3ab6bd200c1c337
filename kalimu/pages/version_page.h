// The device sheet's version page: one line with the driver's version.
#pragma once

#include <windows.h>

#include <cstddef>

#include "kalimu/pages/page_access.h"

namespace kalimu::pages {

inline constexpr int kVersionPageTemplate = 31108;
inline constexpr int kVersionText = 31105;
inline constexpr int kVersionHidden = 31101;
inline constexpr UINT kVersionLabelString = 8064;
inline constexpr size_t kVersionLineChars = MAX_PATH;
inline constexpr size_t kVersionPartChars = 128;
inline constexpr char kDefaultDriverVersion[] = "5.00";

// Builds the version line (string 8064 of `module`, a blank, the data file's "DriverVersion" of
// "VersionInformation" or "5.00") into `buffer` when it holds an empty text, and shows the
// buffer as the text of `control_id`. The line is bounded by `size` characters.
void ShowVersionText(HWND window, HANDLE printer, char* buffer, size_t size, int control_id, HMODULE module,
                     settings::JobSettings* settings);

// The page's procedure: handles WM_INITDIALOG only (its lParam is the PROPSHEETPAGE whose lParam
// is the PageParam); every other message answers FALSE.
INT_PTR CALLBACK VersionPageProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace kalimu::pages
