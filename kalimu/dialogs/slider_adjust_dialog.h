// The slider adjustment dialog (template 2750): the media-tuning values of the device mode,
// edited with four custom track bars, their edits, two sign buttons and three combos. Every
// change is written at once; Cancel brings back the snapshot taken at opening. The advanced
// settings dialog opens it; 1 on OK, 0 on Cancel.
#pragma once

#include <windows.h>

#include <cstdint>

#include "kalimu/pages/page_records.h"

namespace kalimu::dialogs {

using pages::PageParam;

enum SliderAdjustControl : int {
  kSliderAdjustDialog = 2750,
  kDensityBar = 2770,    // value 1, -50..50
  kDryingBar = 2771,     // value 3, 0..50
  kFeedAdjustBar = 2772, // value 2, -70..70
  kInkLimitBar = 2773,   // value 5, one of 100, 84, 66, 50, 34
  kDensityEdit = 2780,
  kDryingEdit = 2781,
  kFeedAdjustEdit = 2782,
  kSuctionEdit = 2783,   // value 4, 1..15
  kDensitySign = 2790,
  kFeedAdjustSign = 2791,
  kHeadHeightCombo = 2766,  // value 6
  kThicknessCombo = 8214,   // value 8
  kDryModeCombo = 8215,     // value 9
  kSliderDefaults = 2767,
  kSliderOk = 2778,
  kSliderCancel = 2779,
  kSliderHelp = 2757,
};

// The value a signed edit stores while it is empty with a negative sign (the sign button keeps
// showing "-"); leaving the edit turns it into 0.
inline constexpr int32_t kEmptyNegative = -100;

// Ink-limit bar position of value 5: by the midpoints of 100, 84, 66, 50, 34.
int InkLimitPosition(int32_t value);
int32_t InkLimitValue(int position);

INT_PTR CALLBACK SliderAdjustDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
void InitSliderAdjustDialog(HWND dialog, PageParam& param);
void OnSliderBar(HWND dialog, PageParam& param, int bar_id);
void OnSignedEditChange(HWND dialog, PageParam& param, int edit_id);
void OnSignedEditKillFocus(HWND dialog, PageParam& param, int edit_id);
void OnSignButton(HWND dialog, PageParam& param, int sign_id);
void OnDryingEdit(HWND dialog, PageParam& param, bool leaving);
void OnSuctionEdit(HWND dialog, PageParam& param, bool leaving);
void OnTuningCombo(HWND dialog, PageParam& param, int combo_id, int code);
void ApplySliderDefaults(HWND dialog, PageParam& param);

}  // namespace kalimu::dialogs
