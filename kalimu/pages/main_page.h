// The main page of the document sheet: print-mode type (quality slider, preset list, group-2
// presets), media type, mode variant, colour or black, options, the mode picture, the ink levels
// and the silent option. Every choice goes to the settings' rules; the page then refreshes what
// depends on it. The page frame turns the page's messages into these calls.
//
// Split by concern:
//   main_page_controls.cpp  start-up, refresh on activation, the mode controls and the picture
//   main_page_presets.cpp   the preset lists and the preset choice
//   main_page_commands.cpp  the command handlers, the slider and the advanced dialog
//   main_page_status.cpp    the ink level polling
//   main_page_apply.cpp     the page's part of Apply
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "kalimu/pages/page_access.h"

namespace kalimu::pages {

inline constexpr int kMainPageTemplate = 900;
inline constexpr uint16_t kMainToolTipKind = 0;

// Controls of template 900.
enum MainPageControl : int {
  kAdvancedButton = 2001,
  kQualitySlider = 2002,
  kPresetList = 2003,
  kMainMediaCombo = 2004,
  kModePicture = 2005,
  kSliderLowLabel = 2008,
  kSliderHighLabel = 2009,
  kCorrectionCheck = 2012,
  kMainVersionText = 2013,
  kJobOption128Check = 2015,
  kLayoutPreview = 2016,
  kModeRadioType1 = 2030,
  kModeRadioType2 = 2031,
  kModeRadioType0 = 2032,
  kModeRadioType1Alt = 2033,
  kSilentCheck = 2038,
  kColourRadio = 2040,
  kBlackRadio = 2041,
  kSupportButton = 2048,
  kHalftoneCheck = 2053,
  kQualityCombo = 2055,
  kQualityLevel5Check = 2056,
  kModeVariantLabel = 8107,
  kModeVariantCombo = 8108,
  kTonePresetLabel = 8112,
  kTonePresetCombo = 8113,
};

inline constexpr LPARAM kCustomPresetItem = 1000;  // item data of the custom entry (string 1650)
inline constexpr int16_t kColourPicture = 7416;
inline constexpr int16_t kBlackPicture = 7415;
inline constexpr UINT_PTR kStatusPollTimer = 3;
inline constexpr UINT kFirstPollMs = 5;
inline constexpr UINT kRepollMs = 1;
// How long the page waits for a started status refresh before it stops polling.
inline constexpr DWORD kStatusPollLimitMs = 30000;
// The page's window property that holds the tick count at which the waiting began.
inline constexpr char kStatusPollStartProperty[] = "KalimuStatusPollStart";

// Tone preset rows: {item 9, item 10, gamma change, items 0, 1, 6, 7, 8, 11}.
inline constexpr int32_t kTonePresets[5][9] = {
    {0, 0, 3, 0, 0, 0, 0, 0, 0},
    {-8, -45, 3, 0, 0, 0, 0, 0, 0},
    {4, 20, 3, 0, 0, 0, 0, 0, 0},
    {40, 48, 3, 0, 0, 0, 0, -2, 0},
    {0, 0, 3, 0, 0, 0, 0, 0, 0},
};
inline constexpr int32_t kToneValues[5] = {160, 180, 200, 220, 240};
inline constexpr int kCustomTonePreset = 4;

// --- Start-up and the mode controls (main_page_controls.cpp) ------------------------------
// Start-up step 3 of the frame: the controls from the settings. The status polling follows.
void InitMainPage(HWND window, PageParam& param);
// PSN_SETACTIVE: the controls that other pages may have changed.
void RefreshMainPage(HWND window, PageParam& param);
void InitModeRadios(HWND window, PageParam& param, int type);
void UpdateModeControls(HWND window, PageParam& param);
void UpdateModeOptionRadios(HWND window, PageParam& param);
void InitQualitySlider(HWND window, PageParam& param);
void UpdateSilentCheck(HWND window, PageParam& param);
void UpdateQualityCombo(HWND window, PageParam& param);
void FillModeVariantCombo(HWND window, const PageParam& param, int combo_id);
void SelectModeVariantItem(HWND window, const PageParam& param, int combo_id);
void FillTonePresetCombo(HWND window, const PageParam& param, int combo_id, int count);
void InitTonePresetCombo(HWND window, PageParam& param);
void UpdateModePicture(HWND window, PageParam& param);
void RedrawLayoutPreview(HWND window);
void ApplyBlackOnlyModeRule(HWND window, PageParam& param);

// --- Presets (main_page_presets.cpp) ------------------------------------------------------
int FillModelPresetList(HWND window, PageParam& param);
int FillUserPresetList(HWND window, PageParam& param);
void RefreshPresetList(HWND window, PageParam& param, int flag);
void FillGroup2PresetList(HWND window, PageParam& param);
void OnPresetListDropDown(HWND window, PageParam& param);
void OnPresetListCloseUp(HWND window, PageParam& param);
void OnPresetSelected(HWND window, PageParam& param);

// --- Commands (main_page_commands.cpp) ----------------------------------------------------
void MainPageCommand(HWND window, PageParam& param, int control_id, int notification);
void OnQualitySliderMoved(HWND window, PageParam& param);
// A click on an end label of the slider moves it one step toward that end.
void OnQualityLabelClick(HWND window);
void OnMediaTypeSelected(HWND window, PageParam& param);
void OnModeRadio(HWND window, PageParam& param, int radio);
void OnColorRadio(HWND window, PageParam& param, int radio);
void OnModeVariantSelected(HWND window, PageParam& param);
void OnHalftoneOptionClicked(HWND window, PageParam& param);
void OpenAdvancedSettings(HWND window, PageParam& param);
// Also used by the advanced dialog: 1 when a row was applied, 0 otherwise.
int ApplyTonePreset(HWND window, const PageParam& param, int combo_id, int notification, int refill);

// --- Status polling (main_page_status.cpp) ------------------------------------------------
void StartStatusPolling(HWND window, PageParam& param);
void PollPrinterStatus(HWND window, PageParam& param, UINT_PTR timer_id);
void ShowInkSetText(HWND window, PageParam& param);
void RefreshInkSetText(HWND window, PageParam& param);

// --- Apply (main_page_apply.cpp) ----------------------------------------------------------
// Before the sheet snapshot takes the settings: the page geometry and the paper flags.
void CommitMainPage(HWND window, PageParam& param);
// After it: the silent option (value 127) and the utility flags' bits 0 to 2 (value 107) from
// JobOptions, in both registry views.
void StoreMainPageValues(HWND window, PageParam& param);

}  // namespace kalimu::pages

namespace kalimu::pages {

// --- Drawing (main_page_drawing.cpp) ------------------------------------------------------
// WM_DRAWITEM: the mode picture and the owner-drawn combos (the layout preview draws itself).
void DrawMainPageItem(HWND window, const DRAWITEMSTRUCT* item, PageParam& param);
// A picture of the resource module as a bitmap of the device context: an 8-bit picture in a
// palette of its own colour table (realized while it is converted), any other with LoadBitmapA.
// The caller deletes it; null when the module has no such picture.
HBITMAP LoadPictureBitmap(HMODULE module, int bitmap_id, HDC dc);

}  // namespace kalimu::pages
