// The page order dialog (template 2450): the order in which several pages are placed on one
// sheet, chosen among picture buttons (four for four pages per sheet, three for two, of which
// only those that fit the printable area's shape are enabled). The layout page opens it; OK
// stores the choice as the placement code and ends with 1, Cancel ends with 0.
#pragma once

#include <windows.h>

#include <cstdint>

#include "kalimu/pages/page_records.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::dialogs {

using pages::PageParam;

enum PageOrderControl : int {
  kPageOrderDialog = 2450,
  kOrderButton0 = 2452,  // choices 0..3: buttons 2452..2455
  kOrderLabel0 = 2456,   // their labels 2456..2459
  kPageOrderHelp = 2460,
};
inline constexpr int kFourPagesPerSheet = 3;  // the pages-per-sheet code of four pages

// 1 when the printable area is at least as tall as it is wide (square paper: see the source).
int IsPrintableAreaPortrait(settings::JobSettings& settings);
// The bitmap of choice button `choice` (0..3) in its state.
int PageOrderBitmapId(settings::JobSettings& settings, int choice, bool enabled);

INT_PTR CALLBACK PageOrderDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
void InitPageOrderDialog(HWND dialog, PageParam& param);
void ConfirmPageOrder(HWND dialog, PageParam& param);
void CancelPageOrder(HWND dialog, PageParam& param);
void DrawPageOrderButton(HWND dialog, const PageParam& param, const DRAWITEMSTRUCT* item);

}  // namespace kalimu::dialogs
