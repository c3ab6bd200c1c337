// The poster panel dialog (template 2950): the page cut into the poster's panels, drawn by the
// dialog into its preview control; a click on a panel leaves it out of the print (or takes it
// back), and a check box with two radio buttons chooses how the panels are joined: cut lines
// (option bit 1) or overlapping edges to paste (bits 2 and 8). The layout page opens it; the
// mask and the options are written as the user clicks, OK ends with 1, Cancel puts the device
// mode back as it was at opening and ends with 0.
//
//   poster_panel_dialog.cpp  opening, the joining options, panel clicks, OK, Cancel
//   poster_panel_preview.cpp the preview picture
#pragma once

#include <windows.h>

#include <cstdint>

#include "kalimu/pages/layout_preview.h"
#include "kalimu/pages/page_records.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::dialogs {

using pages::PageParam;

enum PosterPanelControl : int {
  kPosterPanelDialog = 2950,
  kPosterHelp = 2951,
  kPosterPreview = 2954,
  kPosterJoinCheck = 2956,
  kPosterCutLines = 2958,  // option bit 1
  kPosterOverlap = 2959,   // option bits 2 and 8
};

// Poster option word bits.
enum PosterOptionBit : uint32_t {
  kPosterCutLineBit = 1,
  kPosterOverlapBit = 2,
  kPosterDialogOpenBit = 4,
  kPosterJoinBit = 8,
};

// A set bit of the panel mask leaves its panel out. The mask after a click on `panel`: its bit
// flipped, unless every one of the `count` panels would then be left out (the mask is kept).
uint32_t TogglePosterPanel(uint32_t mask, int panel, int count);

// The preview picture: 9174 for a tall paper in portrait or a wide one in landscape, else 9175.
int PosterPictureId(settings::JobSettings& settings);
// The part of the picture that panel `panel` shows, as (x, y, width, height) in a RECT's four
// fields: the picture cut into columns x rows equal shares, each widened by a tenth and moved
// in by a twentieth per side when the panels overlap (an axis of one tile keeps the whole side).
RECT PosterTileRect(int picture_width, int picture_height, const pages::PosterPanels& panels, int panel, bool overlap);

INT_PTR CALLBACK PosterPanelDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
void InitPosterPanelDialog(HWND dialog, PageParam& param);
// The check box and the two radio buttons (each as the user clicks it).
void OnPosterJoinCheck(HWND dialog, PageParam& param);
void ChoosePosterCutLines(HWND dialog, PageParam& param);
void ChoosePosterOverlap(HWND dialog, PageParam& param);
// A click at `screen` (screen coordinates): flips the panel under it and redraws; nothing
// outside every panel. Answers the panel's index, -1 when none was hit.
int ClickPosterPanel(HWND dialog, PageParam& param, POINT screen);
void ConfirmPosterPanels(HWND dialog, PageParam& param);
void CancelPosterPanels(HWND dialog, PageParam& param);

// Draws the preview into control 2954 of the dialog.
void DrawPosterPreview(HWND dialog, PageParam& param);

}  // namespace kalimu::dialogs
