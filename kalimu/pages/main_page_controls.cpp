// The main page's start-up, its refresh on activation, the mode controls and the mode picture.
#include <windows.h>

#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/ink_display.h"
#include "kalimu/pages/main_page.h"
#include "kalimu/pages/messages.h"
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/pages/track_bar.h"

namespace kalimu::pages {
namespace {

constexpr uint32_t kModelToneFlag = 0x8000;        // header word 24: second colour variant, tones
constexpr uint32_t kModelModeOptionFlag = 0x2000000;  // header word 24: 2033 by the mode option
constexpr UINT kProfilesMissingText = 2036;
constexpr UINT kProfilesMissingCaption = 2035;
constexpr UINT kVariantStrings[] = {8109, 8110, 8111};
constexpr UINT kFirstToneString = 8114;

void Show(HWND window, int id, bool on) { ShowWindow(GetDlgItem(window, id), on ? SW_SHOW : SW_HIDE); }
void Enable(HWND window, int id, bool on) { EnableWindow(GetDlgItem(window, id), on ? TRUE : FALSE); }
void Check(HWND window, int id, bool on) { CheckDlgButton(window, id, on ? BST_CHECKED : BST_UNCHECKED); }

// Which of 2030 and 2033 stands for print-mode type 1.
int Type1Radio(PageParam& param) {
  JobSettings& s = *param.settings;
  bool alternative;
  if (s.TestModelHeaderFlags24(kModelModeOptionFlag)) {
    alternative = s.CanUseModeOption() == 1;
  } else {
    alternative = s.CurrentModeHasFlag200() == 1 && s.GetModeVariant() == 1;
  }
  return alternative ? kModeRadioType1Alt : kModeRadioType1;
}

void ShowType1Radio(HWND window, PageParam& param) {
  const int radio = Type1Radio(param);
  Show(window, kModeRadioType1Alt, radio == kModeRadioType1Alt);
  Show(window, kModeRadioType1, radio == kModeRadioType1);
}

// The radio of type 1 that InitModeRadios checks.
int Type1CheckedRadio(PageParam& param) {
  JobSettings& s = *param.settings;
  const bool alternative = s.TestModelHeaderFlags24(kModelModeOptionFlag)
                               ? s.CanUseModeOption() == 1
                               : s.GetColorMode() == 6 && s.GetModeVariant() == 1;
  return alternative ? kModeRadioType1Alt : kModeRadioType1;
}

void CheckTypeRadio(HWND window, int radio) {
  for (int id : {kModeRadioType1, kModeRadioType2, kModeRadioType0, kModeRadioType1Alt}) Check(window, id, id == radio);
}

void ShowSliderGroup(HWND window, bool on) {
  for (int id : {kSliderLowLabel, kSliderHighLabel, kQualitySlider}) {
    Show(window, id, on);
    Enable(window, id, on);
  }
}

void ShowTonePresetGroup(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  const bool shown = s.GetPrintModeType() == 1 && s.GetColorMode() == 7;
  Show(window, kTonePresetLabel, shown);
  Show(window, kTonePresetCombo, shown);
}

void SetSliderLabels(HWND window, PageParam& param) {
  const int set = static_cast<int>(param.settings->GetQualityLabelSet());
  char text[64] = {};
  LoadPageString(param, static_cast<UINT>(1700 + set), text, sizeof(text));
  SetDlgItemTextA(window, kSliderLowLabel, text);
  LoadPageString(param, static_cast<UINT>(1710 + set), text, sizeof(text));
  SetDlgItemTextA(window, kSliderHighLabel, text);
}

}  // namespace

void RedrawLayoutPreview(HWND window) { InvalidateRect(GetDlgItem(window, kLayoutPreview), nullptr, TRUE); }

void InitModeRadios(HWND window, PageParam& param, int type) {
  ShowType1Radio(window, param);
  switch (type) {
    case 1:
      CheckTypeRadio(window, Type1CheckedRadio(param));
      for (int id : {kQualitySlider, kSliderLowLabel, kSliderHighLabel}) Show(window, id, true);
      for (int id : {kPresetList, kAdvancedButton, kCorrectionCheck}) Show(window, id, false);
      break;
    case 2:
      CheckTypeRadio(window, kModeRadioType2);
      for (int id : {kPresetList, kCorrectionCheck, kQualitySlider, kSliderLowLabel, kAdvancedButton, kSliderHighLabel}) {
        Show(window, id, false);
      }
      break;
    default:
      CheckTypeRadio(window, kModeRadioType0);
      for (int id : {kPresetList, kAdvancedButton}) Show(window, id, true);
      for (int id : {kQualitySlider, kSliderHighLabel, kSliderLowLabel}) Show(window, id, false);
      break;
  }
}

void UpdateModeControls(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  ShowType1Radio(window, param);
  switch (s.GetPrintModeType()) {
    case 1:
      CheckTypeRadio(window, Type1Radio(param));
      ShowSliderGroup(window, s.GetQualityPosition() != 0);
      for (int id : {kPresetList, kCorrectionCheck, kAdvancedButton}) Show(window, id, false);
      break;
    case 2:
      for (int id : {kSliderLowLabel, kSliderHighLabel, kQualitySlider, kAdvancedButton}) Show(window, id, false);
      Show(window, kPresetList, true);
      Show(window, kCorrectionCheck, true);
      Check(window, kCorrectionCheck, s.IsCorrectionOptionOn() == 1);
      break;
    default:
      for (int id : {kSliderLowLabel, kSliderHighLabel, kQualitySlider, kCorrectionCheck}) Show(window, id, false);
      Show(window, kPresetList, true);
      Show(window, kAdvancedButton, true);
      break;
  }
}

void UpdateModeOptionRadios(HWND window, PageParam& param) {
  ShowType1Radio(window, param);
  if (param.settings->GetPrintModeType() == 1) CheckTypeRadio(window, Type1Radio(param));
}

void InitQualitySlider(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  uint32_t group0 = 0;
  s.GetPresetGroup0Count(&group0);
  const uint16_t media = s.GetCurrentMediaIndex();
  const int32_t variant = s.GetModeVariant();
  int32_t n = 0;
  for (uint32_t p = 0; p < group0; ++p) {
    int32_t value12 = -1;
    s.GetPresetValue12(static_cast<uint16_t>(p), &value12);
    if (s.GetPresetMediaIndex(static_cast<uint16_t>(p)) == media && value12 == variant) ++n;
  }
  HWND slider = GetDlgItem(window, kQualitySlider);
  if (param.context != nullptr && param.context->notification_style == 1) {
    SendMessageA(slider, WM_USER, kTrackSetNotificationStyle, 0);
  }
  SendMessageA(slider, WM_USER, kTrackSetRange, MAKELPARAM(1, n));
  SendMessageA(slider, WM_USER, kTrackSetPageStep, 1);
  for (int32_t position = 2; position < n; ++position) SendMessageA(slider, WM_USER, kTrackSetMark, position);
  const int32_t position = s.GetQualityPosition();
  SendMessageA(slider, WM_USER, kTrackSetPosition, position);
  SetSliderLabels(window, param);
  ShowSliderGroup(window, position != 0);
}

void UpdateSilentCheck(HWND window, PageParam& param) {
  const bool allowed = IsSilentOptionAllowed(param) == 1;
  Enable(window, kSilentCheck, allowed);
  Check(window, kSilentCheck, allowed && param.shared->silent_state != 0);
}

void UpdateQualityCombo(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  const bool type1 = s.GetPrintModeType() == 1;
  if (type1) {
    Show(window, kQualityCombo, true);
    FillPrintQualityCombo(window, &param, kQualityCombo, 1);
  }
  const bool on = type1 && s.GetModeVariant() == 1;
  Show(window, kQualityCombo, on);
  Enable(window, kQualityCombo, on);
}

void SelectModeVariantItem(HWND window, const PageParam& param, int combo_id) {
  const int32_t variant = param.settings->GetModeVariant();
  const bool three = param.settings->TestModelHeaderFlags24(kModelToneFlag) != 0;
  int item = 1;
  if (variant == 1) item = 0;
  if (variant == 0 && three) item = 2;
  SendDlgItemMessageA(window, combo_id, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
}

void FillModeVariantCombo(HWND window, const PageParam& param, int combo_id) {
  HWND combo = GetDlgItem(window, combo_id);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  const bool three = param.settings->TestModelHeaderFlags24(kModelToneFlag) != 0;
  struct Item {
    UINT text;
    LPARAM data;
  };
  const Item items[] = {{combo_id == kModeVariantCombo ? kVariantStrings[0] : 8121u, 1},
                        {kVariantStrings[1], 2},
                        {kVariantStrings[2], 0}};
  for (const Item& item : items) {
    if (item.data == 2 && !three) continue;
    char text[128] = {};
    LoadPageString(param, item.text, text, sizeof(text));
    const LRESULT at = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), item.data);
  }
  SelectModeVariantItem(window, param, combo_id);
}

void FillTonePresetCombo(HWND window, const PageParam& param, int combo_id, int count) {
  HWND combo = GetDlgItem(window, combo_id);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  for (int i = 0; i < count; ++i) {
    char text[128] = {};
    LoadPageString(param, kFirstToneString + static_cast<UINT>(i), text, sizeof(text));
    const LRESULT at = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), i);
  }
}

void InitTonePresetCombo(HWND window, PageParam& param) {
  const int stored = static_cast<int>(param.settings->GetTonePreset());
  FillTonePresetCombo(window, param, kTonePresetCombo, stored == kCustomTonePreset ? 5 : 4);
  SendDlgItemMessageA(window, kTonePresetCombo, CB_SETCURSEL, static_cast<WPARAM>(stored), 0);
  ShowTonePresetGroup(window, param);
}

void UpdateModePicture(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  const bool variant1 = s.GetModeVariant() == 1;
  const bool option8 = s.TestModeOptionBits(8) != 0;
  int32_t picture = param.shared->mode_picture_id;
  if (s.IsPresetKind5() || s.IsPresetKind2()) {
    picture = option8 ? (variant1 ? 7428 : 7431) : (variant1 ? 7422 : 7425);
  } else if (s.IsPresetKind1Or4()) {
    const int32_t p = s.GetPresetId();
    if (option8) {
      picture = variant1 ? (p > 49 ? p + 6100 : p + 1040) : (p > 49 ? p + 6150 : p + 1080);
    } else {
      picture = variant1 ? (p > 19 ? p + 6000 : p + 1000) : (p > 19 ? p + 6050 : p + 1020);
    }
  } else if (s.IsPresetKind0()) {
    int32_t name = 0;
    s.GetPrintModeValue4(s.GetCurrentModeIndex(), &name);
    int32_t v = 0;
    s.GetTable5Value0(static_cast<uint16_t>(name), &v);
    if (option8) {
      int32_t first = 0;
      s.GetTable5Value0(0, &first);
      picture = 7429 + (v - first > 1 ? 1 : 0);
    } else {
      picture = (v < 2 || v == 7) ? 7423 : 7424;
    }
    if (variant1) picture -= 3;
  }
  param.shared->mode_picture_id = static_cast<int16_t>(picture);
  InvalidateRect(GetDlgItem(window, kModePicture), nullptr, TRUE);
}

void ApplyBlackOnlyModeRule(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  if (s.TestModeOption3Bits(0x800) && s.GetColor() == 2) {
    s.SetModeVariant(0);
    s.SetColor(1);
    param.shared->colour_picture_id = kBlackPicture;
    CheckRadioButton(window, kColourRadio, kBlackRadio, kBlackRadio);
    Enable(window, kModeRadioType2, false);
  }
}

void InitMainPage(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  if (s.GetColorMode() == 1 && s.CheckProfilesMissing() == 1) {
    char caption[MAX_PATH] = {};
    char text[kMessageTextChars] = {};
    LoadPageString(param, kProfilesMissingCaption, caption, MAX_PATH);
    LoadPageString(param, kProfilesMissingText, text, static_cast<int>(kMessageTextChars));
    MessageBoxA(window, text, caption, MB_ICONERROR);
    s.OnSettingChanged(7, 0);
    s.SetPresetKind5();
  }
  FillModeVariantCombo(window, param, kModeVariantCombo);
  if (s.TestModelHeaderFlags24(kModelToneFlag)) {
    InitTonePresetCombo(window, param);
  } else {
    const bool colour = s.GetColor() == 2;
    CheckRadioButton(window, kColourRadio, kBlackRadio, colour ? kColourRadio : kBlackRadio);
    param.shared->colour_picture_id = colour ? kColourPicture : kBlackPicture;
    // A model without tone presets never shows their group.
    Show(window, kTonePresetLabel, false);
    Show(window, kTonePresetCombo, false);
  }
  uint32_t modes = 0;
  s.GetPrintModeCount(&modes);
  if (s.GetCurrentModeIndex() >= modes) {
    s.ChangePrintModeType(1);
    s.ApplyPresetRecord(0);
  }
  uint32_t users = 0;
  s.GetSettingsCount(&users);
  if (s.IsPresetKind2() && users == 0) s.SetPresetKind5();

  switch (s.GetPrintModeType()) {
    case 1:
      InitModeRadios(window, param, 1);
      InitQualitySlider(window, param);
      FillMediaTypeCombo(window, param, 0);
      RefreshPresetList(window, param, 0);
      break;
    case 2:
      FillMediaTypeCombo(window, param, 2);
      FillGroup2PresetList(window, param);
      InitModeRadios(window, param, 2);
      break;
    default:
      s.ClearCorrectionFlags();
      InitModeRadios(window, param, 0);
      FillMediaTypeCombo(window, param, s.IsPresetKind5() || s.IsPresetKind2() ? 3 : 2);
      RefreshPresetList(window, param, 0);
      break;
  }
  UpdateQualityCombo(window, param);
  UpdateModeControls(window, param);
  UpdateModePicture(window, param);
  Enable(window, kModeRadioType2, s.GetModeVariant() != 0);
  Check(window, kJobOption128Check, s.TestJobOptionBits(128) != 0);
  param.shared->silent_state = 0;
  UpdateSilentCheck(window, param);
  UpdateModeOptionRadios(window, param);
  RedrawLayoutPreview(window);
  ShowSupportButton(window, param, kSupportButton);
  InitInkMeters(window, param);
  ShowDriverVersionText(GetDlgItem(window, kMainVersionText), &param);
}

void RefreshMainPage(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  const uint32_t type = s.GetPrintModeType();
  FillMediaTypeCombo(window, param, type == 1 ? 0 : type == 0 ? 3 : 2);
  if (s.IsHalftoneOptionOn()) {
    Enable(window, kHalftoneCheck, true);
  } else {
    Enable(window, kHalftoneCheck, false);
    s.SetHalftoneOptionChecked(0);
  }
  Check(window, kHalftoneCheck, s.IsHalftoneOptionChecked() != 0);
  FillPrintQualityCombo(window, &param, kQualityCombo, 1);
  RefreshInkSetText(window, param);
  UpdateSilentCheck(window, param);
  UpdateModeControls(window, param);
  FillModeVariantCombo(window, param, kModeVariantCombo);
  if (s.TestModelHeaderFlags24(kModelToneFlag)) InitTonePresetCombo(window, param);
  // The finest-detail box stands for quality level 5 with layout option 2: shown as the record
  // holds it, also after the sheet was closed and opened again.
  Check(window, kQualityLevel5Check, s.GetQualityLevel() == 5 && s.TestLayoutOptionBits(2) != 0);
}

}  // namespace kalimu::pages
