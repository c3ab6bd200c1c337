// The level slider dialog (template 2280): the paper's feed index 0..2, chosen automatically
// from the paper's own record or by hand on a three-step track bar that shows it reversed
// (position = 2 - index). The paper page opens it; 1 on OK, 0 on Cancel.
#pragma once

#include <windows.h>

#include "kalimu/pages/page_records.h"

namespace kalimu::dialogs {

using pages::PageParam;

enum LevelSliderControl : int {
  kLevelSliderDialog = 2280,
  kFeedByHand = 2262,
  kFeedAutomatic = 2263,
  kFeedFrame = 2264,
  kFeedLabel0 = 2281,  // 2281..2283
  kFeedBar = 2284,
  kFeedOk = 2285,
  kFeedCancel = 2286,
  kFeedHelp = 2287,
  kFeedPicture0 = 2288,  // bitmap 2289
  kFeedPicture1 = 2290,  // bitmap 2291
  kFeedText = 2292,
};

// The bar position of a feed index: 2 - index, at the bar's end for an index above 2.
int FeedBarPosition(int index);

INT_PTR CALLBACK LevelSliderDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
void InitLevelSliderDialog(HWND dialog, PageParam& param);
void ChooseFeedByHand(HWND dialog, PageParam& param);
void ChooseFeedAutomatic(HWND dialog, PageParam& param);
void ConfirmLevelSlider(HWND dialog, PageParam& param);

}  // namespace kalimu::dialogs
