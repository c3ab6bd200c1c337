// The advanced settings dialog (template 2100): print mode, colour mode and adjustments, photo
// correction, colour management, monochrome toning and the two sample pictures. Every control
// writes straight into the sheet's settings; Cancel puts the device mode back from the copy
// taken at opening.
//
// Split by concern:
//   advanced_settings_dialog.cpp       procedure, opening, layout by colour mode, width, frame, OK, Cancel
//   advanced_settings_adjust.cpp       the colour-adjust rows (edits, sign boxes, sliders)
//   advanced_settings_print_mode.cpp   media, mode variant, render method, colour-mode radios, options
//   advanced_settings_management.cpp   the colour-management group
//   advanced_settings_toning.cpp       the monochrome-toning group and its circle
//   advanced_settings_draw.cpp         owner-drawn items and the sample pictures
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "kalimu/pages/page_records.h"

namespace kalimu::dialogs {

using pages::PageParam;

inline constexpr uint16_t kAdvancedTemplate = 2100;
inline constexpr uint16_t kAdvancedToolTipKind = 4;

INT_PTR CALLBACK AdvancedDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// {control id, help context} pairs, -1 for no help, ended by {0, 0}.
struct HelpPair {
  int32_t control;
  int32_t context;
};
const HelpPair* AdvancedHelpTable(size_t* pairs);

}  // namespace kalimu::dialogs
