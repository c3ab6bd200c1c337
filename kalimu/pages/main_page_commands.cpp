// The main page's command handlers, the quality slider and the advanced settings dialog.
#include <windows.h>

#include <iterator>

#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/main_page.h"
#include "kalimu/pages/messages.h"
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/pages/resource_dialogs.h"
#include "kalimu/pages/track_bar.h"

namespace kalimu::pages {
namespace {

constexpr uint32_t kModelToneFlag = 0x8000;
constexpr uint32_t kModelColourChoiceFlag = 1024;
constexpr int kToneListCombo = 8503;
constexpr int kToneCorrectionCheck = 8521;
// The tone row's items after the first two and the gamma change.
constexpr int kToneRowItems[] = {0, 1, 6, 7, 8, 11};

void CheckHalftone(HWND window, JobSettings& s, int on) {
  s.SetHalftoneOptionChecked(on);
  CheckDlgButton(window, kHalftoneCheck, on ? BST_CHECKED : BST_UNCHECKED);
}

// The mode's option value of a column group (variant 1, 2 or 0) at the group's offsets.
int32_t VariantModeValue(JobSettings& s, int offset_v1, int offset_v2, int offset_v0) {
  const int32_t variant = s.GetModeVariant();
  const uint16_t current = s.GetCurrentModeIndex();
  int32_t value = 0;
  if (variant == 1) {
    const uint16_t mode = s.FindModeIndexForVariant1(current);
    if (offset_v1 == 56) s.GetPrintModeValue56(mode, &value);
    else { uint32_t v = 0; s.GetPrintModeValue96(mode, &v); value = static_cast<int32_t>(v); }
  } else if (variant == 2) {
    const uint16_t mode = s.FindModeIndexForVariant2(current);
    if (offset_v2 == 184) s.GetPrintModeValue184(mode, &value);
    else { uint32_t v = 0; s.GetPrintModeValue224(mode, &v); value = static_cast<int32_t>(v); }
  } else {
    const uint16_t mode = s.FindModeIndexForVariant0(current);
    if (offset_v0 == 120) s.GetPrintModeValue120(mode, &value);
    else { uint32_t v = 0; s.GetPrintModeValue160(mode, &v); value = static_cast<int32_t>(v); }
  }
  return value;
}

void ApplyMediaModeOption(PageParam& param, int apply) {
  JobSettings& s = *param.settings;
  switch (VariantModeValue(s, 56, 184, 120)) {
    case 0: if (!apply) s.SetModeOptionBits(4, 1); break;
    case 3: if (!apply) s.SetModeOptionBits(4, 0); break;
    case 1: s.SetModeOptionBits(4, 1); break;
    case 2: s.SetModeOptionBits(4, 0); break;
    default: break;
  }
}

void ApplyColorModeChoice(PageParam& param) {
  JobSettings& s = *param.settings;
  if (!s.TestModelHeaderFlags24(kModelColourChoiceFlag)) return;
  const uint32_t f = s.GetModeOptions();
  const auto v = static_cast<uint32_t>(VariantModeValue(s, 96, 224, 160));
  const bool valid = ((v & 8) && (f & 0xE00) == 0) || ((v & 1) && (f & 0x200)) || ((v & 2) && (f & 0x400)) ||
                     ((v & 4) && (f & 0x800));
  if (valid) return;
  int32_t choice = 0;
  if ((v & 4) && (v & 0x40)) choice = 2;
  else if ((v & 2) && (v & 0x20)) choice = 1;
  else if ((v & 1) && (v & 0x10)) choice = 0;
  else if ((v & 8) && (v & 0x80)) choice = 3;
  s.OnSettingChanged(20, choice);
}

void RefreshModeList(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  // The key is the mode's own media name value, not the name value of the media record.
  int32_t name_value = 0;
  s.GetPrintModeValue4(s.GetCurrentModeIndex(), &name_value);
  s.SelectBestMode(6, name_value);
  if (s.IsPresetKind5()) {
    FillMediaTypeCombo(window, param, 3);
    ApplyColorModeChoice(param);
  } else {
    FillMediaTypeCombo(window, param, s.IsPresetKind2() ? 3 : 2);
  }
  RefreshPresetList(window, param, 0);
}

void RefreshGroup2List(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  if (s.IsPresetKind2()) {
    s.ChangePrintModeType(1);
    InitModeRadios(window, param, 1);
    InitQualitySlider(window, param);
    FillMediaTypeCombo(window, param, 0);
  } else {
    FillMediaTypeCombo(window, param, 2);
    FillGroup2PresetList(window, param);
  }
}

// The variant's follow-up by print-mode type.
void ApplyVariantByType(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  switch (s.GetPrintModeType()) {
    case 1:
      InitModeRadios(window, param, 1);
      InitQualitySlider(window, param);
      FillMediaTypeCombo(window, param, 0);
      break;
    case 0:
      RefreshModeList(window, param);
      s.ApplyModeDefaults(2);
      break;
    default:
      RefreshGroup2List(window, param);
      break;
  }
}

void RefreshToneCombo(HWND window, PageParam& param) {
  if (param.settings->TestModelHeaderFlags24(kModelToneFlag)) InitTonePresetCombo(window, param);
}

void OnQualityComboSelected(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  NotifySheetChanged(window, &param);
  param.shared->user_entry_applied = 0;
  param.shared->user_entry_index = 0;
  const int halftone = s.IsHalftoneOptionChecked();
  const LRESULT at = SendDlgItemMessageA(window, kQualityCombo, CB_GETCURSEL, 0, 0);
  if (at != CB_ERR) {
    s.OnSettingChanged(12, static_cast<int32_t>(SendDlgItemMessageA(window, kQualityCombo, CB_GETITEMDATA,
                                                                    static_cast<WPARAM>(at), 0)));
  }
  CheckHalftone(window, s, halftone);
}

}  // namespace

void OnQualitySliderMoved(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  const auto position = static_cast<int32_t>(SendDlgItemMessageA(window, kQualitySlider, WM_USER, kTrackGetPosition, 0));
  const int halftone = s.IsHalftoneOptionChecked();
  const int32_t level = s.GetQualityLevel();
  s.OnSettingChanged(2, position);
  char text[64] = {};
  const int set = static_cast<int>(s.GetQualityLabelSet());
  LoadPageString(param, static_cast<UINT>(1700 + set), text, sizeof(text));
  SetDlgItemTextA(window, kSliderLowLabel, text);
  LoadPageString(param, static_cast<UINT>(1710 + set), text, sizeof(text));
  SetDlgItemTextA(window, kSliderHighLabel, text);
  WarnMediaFlag(window, param);
  CheckHalftone(window, s, halftone);
  s.SetQualityLevel(level);
  FillPrintQualityCombo(window, &param, kQualityCombo, 1);
  UpdateModePicture(window, param);
  RedrawLayoutPreview(window);
}

void OnQualityLabelClick(HWND window) {
  POINT cursor = {};
  GetCursorPos(&cursor);
  const struct {
    int label;
    LPARAM direction;
  } kLabels[] = {{kSliderLowLabel, 0}, {kSliderHighLabel, 1}};
  HWND slider = GetDlgItem(window, kQualitySlider);
  for (const auto& end : kLabels) {
    RECT rect = {};
    if (!GetWindowRect(GetDlgItem(window, end.label), &rect) || !PtInRect(&rect, cursor)) continue;
    SendMessageA(slider, WM_USER, kTrackStep, end.direction);
    if (GetFocus() != slider) SetFocus(slider);
  }
}

void OnMediaTypeSelected(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  NotifySheetChanged(window, &param);
  const LRESULT at = SendDlgItemMessageA(window, kMainMediaCombo, CB_GETCURSEL, 0, 0);
  if (at == CB_ERR) return;
  const auto b = static_cast<uint16_t>(SendDlgItemMessageA(window, kMainMediaCombo, CB_GETITEMDATA, static_cast<WPARAM>(at), 0));
  if (b == s.GetCurrentMediaIndex()) return;
  if (IsMediaSelectable(window, param, s, b) == 0) {
    FillMediaTypeCombo(window, param, 0);
    return;
  }
  const int halftone = s.IsHalftoneOptionChecked();
  int32_t level = s.GetQualityLevel();
  s.OnSettingChanged(5, b);
  ShowMediaSourceNotice(window, param);
  switch (s.GetPrintModeType()) {
    case 1:
      // A media that no slider preset covers is refused: the list goes back to the media in force.
      if (s.GetCurrentMediaIndex() != b) FillMediaTypeCombo(window, param, 0);
      InitQualitySlider(window, param);
      level = s.GetQualityLevel();
      ApplyBlackOnlyModeRule(window, param);
      break;
    case 0:
      RefreshPresetList(window, param, 0);
      if (s.IsPresetKind5()) {
        ApplyMediaModeOption(param, 0);
        ApplyColorModeChoice(param);
      }
      s.ApplyModeDefaults(1);
      break;
    default:
      FillGroup2PresetList(window, param);
      break;
  }
  s.UpdateMediaFeedValue();
  CheckHalftone(window, s, halftone);
  s.SetQualityLevel(level);
  FillPrintQualityCombo(window, &param, kQualityCombo, 1);
  UpdateQualityCombo(window, param);
  if (s.IsSpecialQualityLevel()) s.ApplyModeQualityLevel();
  ShowMediaNotice(window, param);
  WarnMediaFlag(window, param);
  UpdateSilentCheck(window, param);
  ApplyMediaSourceRule(param, b);
  UpdateModeOptionRadios(window, param);
  UpdateModePicture(window, param);
  FillModeVariantCombo(window, param, kModeVariantCombo);
  RefreshToneCombo(window, param);
  ExtendMediaOptionBits(window, param, s, b);
  ClearMediaOptionBits(window, param, s, b);
  RedrawLayoutPreview(window);
}

void OnModeRadio(HWND window, PageParam& param, int radio) {
  JobSettings& s = *param.settings;
  NotifySheetChanged(window, &param);
  const int halftone = s.IsHalftoneOptionChecked();
  const int32_t level = s.GetQualityLevel();
  if (radio == kModeRadioType1 || radio == kModeRadioType1Alt) {
    const uint32_t old_type = s.GetPrintModeType();
    s.ChangePrintModeType(1);
    InitQualitySlider(window, param);
    FillMediaTypeCombo(window, param, 0);
    RefreshPresetList(window, param, 0);
    s.SetPresetKind0();
    CheckHalftone(window, s, halftone);
    if (old_type == 1) s.SetQualityLevel(level);
    if (s.TestModeOption3Bits(0x800) && s.GetColor() == 2) ApplyBlackOnlyModeRule(window, param);
  } else if (radio == kModeRadioType2) {
    s.ChangePrintModeType(2);
    s.SetPresetKind4();
    FillGroup2PresetList(window, param);
  } else {
    s.ChangePrintModeType(0);
    InitModeRadios(window, param, 0);
    FillMediaTypeCombo(window, param, 3);
    RefreshPresetList(window, param, 0);
    s.SetQualityLevel(level);
    CheckHalftone(window, s, halftone);
  }
  UpdateModeControls(window, param);
  UpdateModePicture(window, param);
  RedrawLayoutPreview(window);
  UpdateQualityCombo(window, param);
  FillModeVariantCombo(window, param, kModeVariantCombo);
  RefreshToneCombo(window, param);
}

void OnColorRadio(HWND window, PageParam& param, int radio) {
  JobSettings& s = *param.settings;
  const bool colour = radio == kColourRadio;
  param.shared->colour_picture_id = colour ? kColourPicture : kBlackPicture;
  NotifySheetChanged(window, &param);
  const int32_t variant = colour ? 1 : 0;
  if (s.GetModeVariant() == variant) return;
  const int halftone = s.IsHalftoneOptionChecked();
  s.ChangeModeVariant(variant);
  UpdateQualityCombo(window, param);
  ApplyVariantByType(window, param);
  UpdateModePicture(window, param);
  EnableWindow(GetDlgItem(window, kModeRadioType2), s.GetModeVariant() != 0);
  CheckHalftone(window, s, halftone);
  FillPrintQualityCombo(window, &param, kQualityCombo, 1);
  UpdateModeOptionRadios(window, param);
  RedrawLayoutPreview(window);
}

void OnModeVariantSelected(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  const LRESULT at = SendDlgItemMessageA(window, kModeVariantCombo, CB_GETCURSEL, 0, 0);
  if (at == CB_ERR) return;
  const auto b = static_cast<int32_t>(SendDlgItemMessageA(window, kModeVariantCombo, CB_GETITEMDATA, static_cast<WPARAM>(at), 0));
  const uint32_t offered = s.GetPrintModeType() == 1 ? GetMediaPresetFlags(s) : GetMediaVariantFlags(s);
  if ((b == 2 && (offered & 4) == 0) || (b == 0 && (offered & 1) == 0)) {
    SelectModeVariantItem(window, param, kModeVariantCombo);  // back to the variant in force
    return;
  }
  NotifySheetChanged(window, &param);
  param.shared->colour_picture_id = b == 0 ? kBlackPicture : kColourPicture;
  s.ChangeModeVariant(b);
  ApplyVariantByType(window, param);
  SelectModeVariantItem(window, param, kModeVariantCombo);
  UpdateQualityCombo(window, param);
  UpdateModePicture(window, param);
  EnableWindow(GetDlgItem(window, kModeRadioType2), s.GetModeVariant() != 0);
  UpdateModeOptionRadios(window, param);
  RefreshToneCombo(window, param);
  RedrawLayoutPreview(window);
}

void OnHalftoneOptionClicked(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  if (IsDlgButtonChecked(window, kHalftoneCheck) == BST_CHECKED) {
    s.SetHalftoneOptionChecked(1);
    if (s.GetQualityLevel() == 5) s.OnSettingChanged(12, 4);
    else if (s.GetQualityLevel() == 0) s.OnSettingChanged(12, 1);
  } else {
    s.SetHalftoneOptionChecked(0);
  }
  uint32_t presets = 0;
  s.GetPresetCount(&presets);
  const LRESULT at = SendDlgItemMessageA(window, kPresetList, CB_GETCURSEL, 0, 0);
  const LRESULT data = at == CB_ERR ? CB_ERR : SendDlgItemMessageA(window, kPresetList, CB_GETITEMDATA, static_cast<WPARAM>(at), 0);
  if (s.GetPrintModeType() == 0 && data != CB_ERR && data != kCustomPresetItem && data >= static_cast<LRESULT>(presets)) {
    s.SetPresetKind5();
    FillMediaTypeCombo(window, param, 3);
    RefreshPresetList(window, param, 0);
  }
  FillPrintQualityCombo(window, &param, kQualityCombo, 1);
  NotifySheetChanged(window, &param);
}

void OpenAdvancedSettings(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  if (ShowSettingsDialog(window, SettingsDialog::kAdvanced) != 0) {
    NotifySheetChanged(window, &param);
    s.RecomputePageGeometry();
    ClampScaleWithNotice(window, param, 0);
    FillMediaTypeCombo(window, param, 3);
    RefreshPresetList(window, param, 0);
    s.ApplyColorSettings();
    s.ApplyModeResolution();
    SelectModeVariantItem(window, param, kModeVariantCombo);
    const bool colour = s.GetColor() == 2;
    CheckRadioButton(window, kColourRadio, kBlackRadio, colour ? kColourRadio : kBlackRadio);
    param.shared->colour_picture_id = colour ? kColourPicture : kBlackPicture;
    CheckDlgButton(window, kHalftoneCheck, s.IsHalftoneOptionChecked() ? BST_CHECKED : BST_UNCHECKED);
    FillPrintQualityCombo(window, &param, kQualityCombo, 1);
    UpdateSilentCheck(window, param);
    UpdateModeControls(window, param);
  }
  if (s.IsPresetKind2()) {
    wchar_t name[33] = {};
    s.GetUserPresetName(name, 33);
    if (FindCustomPresetByName(param, name) == 0xFFFF) s.SetPresetKind5();
  }
  if (s.IsPresetKind5()) {
    s.ChangePrintModeType(0);
    FillMediaTypeCombo(window, param, 3);
    RefreshPresetList(window, param, 0);
  }
  UpdateModePicture(window, param);
  EnableWindow(GetDlgItem(window, kModeRadioType2), s.GetModeVariant() != 0);
  RedrawLayoutPreview(window);
}

int ApplyTonePreset(HWND window, const PageParam& param, int combo_id, int notification, int refill) {
  if (notification != CBN_SELCHANGE) return 0;
  JobSettings& s = *param.settings;
  NotifySheetChanged(window, &param);
  const LRESULT at = SendDlgItemMessageA(window, combo_id, CB_GETCURSEL, 0, 0);
  if (at == CB_ERR) return 0;
  const auto p = static_cast<int>(SendDlgItemMessageA(window, combo_id, CB_GETITEMDATA, static_cast<WPARAM>(at), 0));
  if (p < 0 || p > kCustomTonePreset) return 0;
  s.SetTonePreset(p);
  if (p == kCustomTonePreset) return 0;
  const int32_t* row = kTonePresets[p];
  s.SetAdjustment(9, row[0]);
  s.SetAdjustment(10, row[1]);
  s.OnSettingChanged(13, row[2]);
  for (size_t i = 0; i < std::size(kToneRowItems); ++i) s.SetAdjustment(kToneRowItems[i], row[3 + i]);
  if (refill) {
    HWND tones = GetDlgItem(window, kToneListCombo);
    SendMessageA(tones, CB_RESETCONTENT, 0, 0);
    for (int32_t value : kToneValues) {
      char text[kGammaTextChars] = {};
      FormatGammaText(value, text, sizeof(text), param);
      const LRESULT item = SendMessageA(tones, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
      SendMessageA(tones, CB_SETITEMDATA, static_cast<WPARAM>(item), value);
    }
    char current[kGammaTextChars] = {};
    FormatGammaText(static_cast<int32_t>(s.GetGamma()), current, sizeof(current), param);
    if (SendMessageA(tones, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(current)) == CB_ERR) {
      SendMessageA(tones, CB_SETCURSEL, GetDefaultGammaIndex(param), 0);
    }
    CheckDlgButton(window, kToneCorrectionCheck, s.GetAdjustment(11) ? BST_CHECKED : BST_UNCHECKED);
  }
  return 1;
}

void MainPageCommand(HWND window, PageParam& param, int control_id, int notification) {
  JobSettings& s = *param.settings;
  const bool checked = IsDlgButtonChecked(window, control_id) == BST_CHECKED;
  switch (control_id) {
    case kAdvancedButton:
      OpenAdvancedSettings(window, param);
      return;
    case kPresetList:
      if (notification == CBN_DROPDOWN) OnPresetListDropDown(window, param);
      else if (notification == CBN_CLOSEUP) OnPresetListCloseUp(window, param);
      else if (notification == CBN_SELENDOK) OnPresetSelected(window, param);
      return;
    case kMainMediaCombo:
      if (notification == CBN_SELCHANGE) OnMediaTypeSelected(window, param);
      return;
    case kCorrectionCheck:
      s.OnSettingChanged(11, checked ? 1 : 0);
      NotifySheetChanged(window, &param);
      return;
    case kJobOption128Check:
      s.SetJobOptionBits(128, checked ? 1 : 0);
      NotifySheetChanged(window, &param);
      return;
    case kModeRadioType1: case kModeRadioType2: case kModeRadioType0: case kModeRadioType1Alt:
      OnModeRadio(window, param, control_id);
      return;
    case kSilentCheck:
      param.shared->silent_state = checked ? 1 : 0;
      NotifySheetChanged(window, &param);
      return;
    case kColourRadio: case kBlackRadio:
      OnColorRadio(window, param, control_id);
      return;
    case kSupportButton:
      OpenSupportPage(window, param);
      return;
    case kHalftoneCheck:
      OnHalftoneOptionClicked(window, param);
      return;
    case kQualityCombo:
      if (notification == CBN_SELCHANGE) OnQualityComboSelected(window, param);
      return;
    case kQualityLevel5Check:
      s.SetQualityLevel(checked ? 5 : 0);
      s.SetLayoutOptionBits(2, checked ? 1 : 0);
      NotifySheetChanged(window, &param);
      return;
    case kModeVariantCombo:
      if (notification == CBN_SELCHANGE) OnModeVariantSelected(window, param);
      return;
    case kTonePresetCombo:
      ApplyTonePreset(window, param, kTonePresetCombo, notification, 0);
      return;
    default:
      return;
  }
}

}  // namespace kalimu::pages
