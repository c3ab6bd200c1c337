// The paper page (template 901): paper size and source, orientation, copies, collation and page
// order, margins, the roll and cut options of roll sources, the feed mode and the paper-page
// option. Its dialog procedure turns messages into the plain steps below; the rules that follow
// the paper source are in paper_source_rules.h.
#pragma once

#include <windows.h>

#include <cstdint>

#include "kalimu/pages/page_access.h"

namespace kalimu::pages {

enum PaperPageControl : int {
  kPaperSizeList = 2201,
  kPaperSourceList = 2202,
  kPortraitRadio = 2203,
  kLandscapeRadio = 2204,
  kRotateCheck = 2205,
  kMarginStandardRadio = 2206,
  kMarginMaximumRadio = 2207,
  kMarginOptionCheck = 2208,
  kPaperPreview = 2209,
  kPaperVersionText = 2210,
  kPaperOptionsGroup = 2212,
  kPaperSourceLabel = 2213,
  kMarginGroup = 2216,
  kCollateCheck = 2219,
  kReverseOrderCheck = 2220,
  kOrderPicture = 2221,
  kCopiesEdit = 2222,
  kCopiesArrows = 2223,
  kRollGroup = 2224,
  kRollBannerRadio = 2225,
  kRollSheetRadio = 2226,
  kSaveRollCheck = 2227,
  kPageLineCheck = 2228,
  kFitRollCheck = 2229,
  kRollMarginCheck = 2230,
  kAutoCutCheck = 2231,
  kRollOptionsGroup = 2232,
  kPairedSourceCheck = 2233,
  kCutLabel = 2236,
  kCutModeList = 2237,
  kPaperWidthButton = 2238,
  kLevelButton = 2239,
  kPaperPageOptionLabel = 2246,
  kPaperPageOptionList = 2247,
  kMarginCentredCheck = 2248,
  kFeedModeList = 2254,
  kPairedLevelButton = 2260,
};
inline constexpr int kPaperPageTemplate = 901;
inline constexpr DWORD kPaperPageHelpContext = 512;
inline constexpr int32_t kMaxCopies = 9999;

// The page runs in the page frame (PaperPageProc, page_frame.h); these are its steps.

// Start-up: the controls filled from the settings.
void FillPaperPageControls(HWND page, PageParam& param);
// PSN_SETACTIVE's refresh (1), before the paper-size combo is filled again.
int RefreshPaperPage(HWND page, const PageParam& param);
void OnPaperPageActivate(HWND page, const PageParam& param);
void OnPaperPageCommand(HWND page, const PageParam& param, int control, int code);
void OnCopiesArrows(HWND page, const PageParam& param, int code);
// The page's own commits at Apply: roll fit, copies, paper flags.
void CommitPaperPage(HWND page, const PageParam& param);
void CommitCopies(HWND page, const PageParam& param);
void DrawPaperPageItem(HWND page, const PageParam& param, const DRAWITEMSTRUCT* item);

// Combo 2201 after a source change: the papers the source mask allows, model papers first.
void FillPaperSizeList(HWND page, const PageParam& param, uint32_t mask);
void ShowMarginState(HWND page, const PageParam& param);
// Order picture 7500..7503 from the settings' collation and order (never from the check boxes).
int16_t OrderPictureId(settings::JobSettings& settings);
void UpdateOrderPicture(HWND page, const PageParam& param);
void CheckPaperMarginOption(HWND page, const PageParam& param);
void RepaintPaperPreview(HWND page);
void ShowPaperPageOptions(HWND page, const PageParam& param);
void FillPaperPageOptionList(HWND page, const PageParam& param);

}  // namespace kalimu::pages
