// The layout page (template 902): normal size, fit to an output paper or a percentage of 10 to
// 650, several pages per sheet or a poster, page frame, duplex printing with its option and the
// binding margin, and the watermark. Its dialog procedure turns messages into the plain steps
// below.
#pragma once

#include <windows.h>

#include <cstdint>

#include "kalimu/pages/page_access.h"
#include "kalimu/storage/watermark_records.h"
#include "kalimu/watermark/watermark_list_state.h"

namespace kalimu::pages {

enum LayoutPageControl : int {
  kLayoutPreview = 2401,
  kLayoutPicture = 2402,
  kOutputPaperLabel = 2404,
  kOutputPaperList = 2405,
  kScaleEdit = 2406,
  kScaleArrows = 2407,
  kScaleLabel = 2408,
  kWatermarkManageButton = 2409,
  kTwoPagesRadio = 2410,
  kFourPagesRadio = 2411,
  kPageOrderButton = 2413,
  kWatermarkEditButton = 2414,
  kPageFrameCheck = 2415,
  kNormalSizeRadio = 2417,
  kFitToPaperRadio = 2418,
  kScaleRadio = 2419,
  kScaleRangeLabel = 2420,
  kWatermarkLabel = 2421,
  kWatermarkList = 2422,
  kPosterPanelButton = 2423,
  kPagesPerSheetRadio = 2425,
  kPosterRadio = 2426,
  kLayoutVersionText = 2430,
  kScaledPrintingCheck = 2431,
  kBindingMarginButton = 2434,
  kDuplexCheck = 2433,
  kDuplexOptionCheck = 2435,
  kMultiPageCheck = 2436,
  kSkipBlankCheck = 2440,
  kPoster1Radio = 2446,  // kinds -1 .. -4: 2446 .. 2449
  kPoster2Radio = 2447,
  kPoster3Radio = 2448,
  kPoster4Radio = 2449,
  kWatermarkNameList = 2808,
};
inline constexpr int kLayoutPageTemplate = 902;
inline constexpr DWORD kLayoutPageHelpContext = 768;
inline constexpr int32_t kMinScale = 10;
inline constexpr int32_t kMaxScale = 650;

// The page runs in the page frame (LayoutPageProc, page_frame.h); these are its steps.

// Start-up: the controls filled from the settings.
void FillLayoutPageControls(HWND page, PageParam& param);
void RefreshLayoutPage(HWND page, const PageParam& param);
void OnLayoutPageCommand(HWND page, const PageParam& param, int control, int code);
// WM_VSCROLL: marks the sheet changed; the percentage arrows for SB_LINEUP / SB_LINEDOWN of 2407.
void OnLayoutScroll(HWND page, const PageParam& param, HWND from, int code);
void CommitLayoutPage(HWND page, const PageParam& param);
void DrawLayoutPageItem(HWND page, const PageParam& param, const DRAWITEMSTRUCT* item);

void UpdateLayoutControls(HWND page, const PageParam& param);
void UpdateDuplexControls(HWND page, const PageParam& param);
void UpdateLayoutState(HWND page, const PageParam& param);
void UpdateScaleControls(HWND page, const PageParam& param);
void ApplyPosterRadioRule(HWND page, const PageParam& param);
void FillOutputPaperList(HWND page, const PageParam& param);
// Percentage check when the edit loses the focus (and at Apply when scaling by percentage).
void CheckScalePercent(HWND page, const PageParam& param);
void OnScaleArrows(HWND page, const PageParam& param, int code);
void ShowSinglePageLayout(HWND page, const PageParam& param);
void ShowPagesPerSheetMode(HWND page, const PageParam& param);
void ShowPosterMode(HWND page, const PageParam& param);
void OnDuplexCheck(HWND page, const PageParam& param);
void OnWatermarkChoice(HWND page, const PageParam& param);
// The watermark list with entry i selected (-1: none, the watermark switched off).
void RefillWatermarkList(HWND page, const PageParam& param, int32_t i);
void RepaintLayoutPreview(HWND page);
// After the watermark edit dialog: the stored watermark's picture loaded anew into the shared
// record (settings message 10 for a bitmap too large), the watermark list refilled with the stored
// index, and the preview copy prepared (which stores the bitmap's aspect in the record).
void ReloadEditedWatermark(HWND page, const PageParam& param);

// The watermark editor: mode 0 edits the selected entry, mode 1 manages the list. Answers the
// entry index selected afterwards (-1 for none).
int32_t EditWatermarks(HWND page, const PageParam& param, int mode);

// The editor's entry points (mode 0 the edit dialog, mode 1 the list dialog); tests replace
// them. Both answer a new entry array (global memory, freed by the caller) or null.
using WatermarkEditorCall = storage::WatermarkEntry* (*)(HWND owner, HMODULE module,
                                                         const storage::WatermarkEntry* entries, int16_t* count,
                                                         int16_t* selection, int16_t user_capacity,
                                                         int32_t page_width, int32_t page_height,
                                                         const int32_t margins[4], const void* reserved,
                                                         const watermark::WatermarkHelpBlock* help);
WatermarkEditorCall ReplaceWatermarkEditor(int mode, WatermarkEditorCall call);

}  // namespace kalimu::pages
