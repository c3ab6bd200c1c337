// The print-mode controls of the advanced settings dialog: media type and name, mode variant,
// render method and render options, the colour-mode radios, print quality, gamma, photo
// correction and the mode options. Each control hands its choice to the settings, which run
// their consistency rules; the handler then refreshes what those rules may have changed.
#include "kalimu/dialogs/advanced_settings_parts.h"
#include "kalimu/dialogs/advanced_settings_rules.h"
#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/main_page.h"
#include "kalimu/pages/messages.h"
#include "kalimu/pages/page_access.h"
#include "kalimu/pages/page_helpers.h"

namespace kalimu::dialogs::advanced {
namespace {

constexpr int kRenderCombo = 2134;
constexpr int kRenderPicture = 2135;
constexpr int kRenderOptionCombo = 2193;
constexpr int kVariantCombo = kAdvancedVariantCombo;
constexpr int kColourModeRadios[] = {2099, 2109, 2110, 2111, 2112, 2113, 2191};
// Model header word 24 flag of the render-option combo.
constexpr uint32_t kRenderOptions = 0x400;

template <class T>
int32_t ReadRow(JobSettings& s, int (model::ModelCapabilities::*get)(uint16_t, T*), uint16_t index) {
  T value{};
  (s.*get)(index, &value);
  return static_cast<int32_t>(value);
}

// The current print mode's record for the current mode variant.
uint16_t VariantModeIndex(JobSettings& s) { return s.GetAlternativeModeIndex(s.GetCurrentModeIndex()); }

uint32_t AllowedRenderMethods(JobSettings& s) { return static_cast<uint32_t>(s.GetAlternativeColumn(18)); }
uint32_t AllowedRadioBits(JobSettings& s) { return static_cast<uint32_t>(s.GetAlternativeColumn(22)); }

int32_t Rule2154(JobSettings& s) {
  const uint16_t index = VariantModeIndex(s);
  switch (s.GetModeVariant()) {
    case 0: return ReadRow(s, &model::ModelCapabilities::GetPrintModeValue138, index);
    case 2: return ReadRow(s, &model::ModelCapabilities::GetPrintModeValue202, index);
    default: return ReadRow(s, &model::ModelCapabilities::GetPrintModeValue74, index);
  }
}

uint32_t AllowedRenderOptions(JobSettings& s) {
  const uint16_t index = VariantModeIndex(s);
  switch (s.GetModeVariant()) {
    case 0: return static_cast<uint32_t>(ReadRow(s, &model::ModelCapabilities::GetPrintModeValue160, index));
    case 2: return static_cast<uint32_t>(ReadRow(s, &model::ModelCapabilities::GetPrintModeValue224, index));
    default: return static_cast<uint32_t>(ReadRow(s, &model::ModelCapabilities::GetPrintModeValue96, index));
  }
}

void CheckColourModeRadioOnly(HWND dialog, int radio) {
  for (int id : kColourModeRadios) CheckItem(dialog, id, id == radio);
}

void Apply(HWND dialog, int id, const ControlChange& change) {
  if (change.checked >= 0) CheckItem(dialog, id, change.checked != 0);
  if (change.enabled >= 0) EnableItem(dialog, id, change.enabled != 0);
  if (change.shown >= 0) ShowItem(dialog, id, change.shown != 0);
}

// Radios shown for the colour modes other than 5; a radio the current mode does not allow stays
// disabled.
void EnableColorModeRadios(HWND dialog, const PageParam& param, bool on) {
  const uint32_t allowed = AllowedColourModeRadios(AllowedRadioBits(*param.settings), param.settings->GetRenderMethod());
  for (int id : {2111, 2113, 2109, 2112}) pages::EnableShowDlgItem(dialog, id, on ? 1 : 0);
  if (on) {
    EnableItem(dialog, 2109, (allowed & kRadioIcm) != 0);
    EnableItem(dialog, 2111, (allowed & kRadioPhoto) != 0);
    EnableItem(dialog, 2112, (allowed & kRadioNoAdjust) != 0);
  }
  pages::EnableShowDlgItem(dialog, 2191, on ? 0 : 1);
  EnableItem(dialog, 2099, on && param.settings->CurrentModeHasFlag200() == 1);
}

// The radio the colour mode stands for, checked without any other effect.
void CheckRadioByColourMode(HWND dialog, int32_t colour_mode) {
  static constexpr int kRadioOfMode[8] = {2110, 2109, 2111, 2112, 2113, 2191, 2099, 2110};
  if (colour_mode >= 0 && colour_mode < 8) CheckColourModeRadioOnly(dialog, kRadioOfMode[colour_mode]);
}

void RefreshAfterOptionChange(HWND dialog, const PageParam& param) {
  FillRenderMethodCombo(dialog, param);
  UpdateModeOptionChecks(dialog, param, 2);
  UpdateOptionCheck2154(dialog, param);
  pages::UpdateMediaOptionCheck(dialog, param, 1);
  FillRenderOptionCombo(dialog, param, 0);
}

void OnMediaChoice(HWND dialog, const PageParam& param, int id) {
  JobSettings& s = *param.settings;
  ClearUserEntry(param);
  LPARAM data = 0;
  if (!SelectedData(dialog, id, &data)) return;
  if (id == 2125) {
    if (static_cast<uint16_t>(data) == s.GetCurrentMediaIndex()) return;
  } else {
    int32_t current = 0;
    s.GetPrintModeValue4(s.GetCurrentModeIndex(), &current);
    if (static_cast<int32_t>(data) == current) return;
  }
  if (s.IsSpecialQualityLevel()) s.ApplyModeQualityLevel();
  uint32_t g = 0;
  if (id == 2125) {
    const auto index = static_cast<uint16_t>(data);
    if (!pages::IsMediaSelectable(dialog, param, s, index)) {
      pages::FillMediaTypeCombo(dialog, param, 1);
      return;
    }
    s.SelectBestMode(5, static_cast<int32_t>(data));
    s.UpdateMediaFeedValue();
    pages::ApplyMediaSourceRule(param, index);
    pages::ShowMediaSourceNotice(dialog, param);
    pages::ShowMediaNotice(dialog, param);
    g = 16;
  } else {
    s.SelectBestMode(6, static_cast<int32_t>(data));
    pages::ShowMediaInfoNotice(dialog, param);
  }
  pages::WarnMediaFlag(dialog, param);
  pages::UpdateMediaOptionCheck(dialog, param, 0);
  FillRenderOptionCombo(dialog, param, g);
  pages::FillMediaNameCombo(dialog, param);
  FillRenderMethodCombo(dialog, param);
  UpdateOptionCheck2154(dialog, param);
  UpdateModeOptionChecks(dialog, param, 1);
  pages::DisableSourceOptionControl(dialog, param);
  ShowColorModeLayout(dialog, param);
  pages::FillPrintQualityCombo(dialog, const_cast<PageParam*>(&param), 2119, 0);
  CheckColorModeRadio(dialog, param);
  pages::FillGammaCombo(dialog, param);
  pages::FillModeVariantCombo(dialog, param, kVariantCombo);
  if (HasToning(s)) ShowTonePresetGroup(dialog, param);
  const uint16_t media = s.GetCurrentMediaIndex();
  pages::ExtendMediaOptionBits(dialog, param, s, media);
  pages::ClearMediaOptionBits(dialog, param, s, media);
  UpdateColorManagementGroup(dialog, param);
}

// The refresh after the mode variant changed to d; the combo also refreshes the toning group.
void AfterVariantChange(HWND dialog, const PageParam& param, int32_t d, bool from_combo) {
  JobSettings& s = *param.settings;
  if (d == 0) {
    CheckColourModeRadioOnly(dialog, 2109);
    EnableItem(dialog, 2113, false);
  } else {
    EnableItem(dialog, 2113, true);
  }
  if (GetDlgItem(dialog, kRenderPicture) != nullptr) {
    FillRenderMethodCombo(dialog, param);
    Repaint(dialog, 2116);
  }
  LPARAM media_id = 0;
  if (SelectedData(dialog, 2128, &media_id)) s.SelectBestMode(6, static_cast<int32_t>(media_id));
  if (from_combo && HasToning(s)) ShowToningValues(dialog, param);
  ShowColorAdjustRowValues(dialog, param);
  ApplyColorModeAllowance(dialog, param, false);
  if (d == 0) EnableColorAdjustRows(dialog, param, 2);
  pages::FillGammaCombo(dialog, param);
  UpdateModeOptionChecks(dialog, param, 2);
  pages::FillMediaNameCombo(dialog, param);
  UpdateOptionCheck2154(dialog, param);
  pages::UpdateColorModeOptionCheck(dialog, param);
  pages::FillMediaTypeCombo(dialog, param, 1);
  ShowColorModeLayout(dialog, param);
  CheckColorModeRadio(dialog, param);
  pages::UpdateMediaOptionCheck(dialog, param, 1);
  FillRenderOptionCombo(dialog, param, 0);
  pages::DisableSourceOptionControl(dialog, param);
  pages::FillPrintQualityCombo(dialog, const_cast<PageParam*>(&param), 2119, 0);
  ApplyAdvancedWidthRule(dialog, param);
  UpdateColorManagementGroup(dialog, param);
}

void OnVariantCombo(HWND dialog, const PageParam& param) {
  JobSettings& s = *param.settings;
  LPARAM c = 0;
  if (!SelectedData(dialog, kVariantCombo, &c)) return;
  const uint32_t flags = pages::GetMediaVariantFlags(s);
  if ((c == 2 && (flags & 4) == 0) || (c == 0 && (flags & 1) == 0)) {
    pages::SelectModeVariantItem(dialog, param, kVariantCombo);
    return;
  }
  if (param.shared->sheet_window != nullptr) SendMessageA(param.shared->sheet_window, PSM_CHANGED, 0, 0);
  ClearUserEntry(param);
  param.shared->mode_variant_picture_id = static_cast<int16_t>(c != 0 ? 7416 : 7415);
  const int32_t d = c == 2 ? 2 : c == 0 ? 0 : 1;
  if (d == s.GetModeVariant()) return;
  s.ChangeModeVariant(d);
  AfterVariantChange(dialog, param, d, true);
}

void OnVariantRadio(HWND dialog, const PageParam& param, int id) {
  JobSettings& s = *param.settings;
  const int32_t d = id == 2114 ? 0 : 1;
  param.shared->mode_variant_picture_id = static_cast<int16_t>(d == 0 ? 7415 : 7416);
  if (d == s.GetModeVariant()) return;
  ClearUserEntry(param);
  CheckItem(dialog, 2114, d == 0);
  CheckItem(dialog, 2117, d != 0);
  s.ChangeModeVariant(d);
  AfterVariantChange(dialog, param, d, false);
}

void AfterColourModeRadio(HWND dialog, const PageParam& param) {
  ApplyAdvancedWidthRule(dialog, param);
  UpdateColorManagementGroup(dialog, param);
}

// The common end of the ICM and photo radios: their rows off, no gamma, the quality list and
// the layout of the new colour mode.
void FinishAdjustingRadio(HWND dialog, const PageParam& param, int radio) {
  CheckColourModeRadioOnly(dialog, radio);
  EnableColorAdjustRows(dialog, param, 1);
  pages::ShowGammaControls(dialog, param, 0);
  pages::FillPrintQualityCombo(dialog, const_cast<PageParam*>(&param), 2119, 0);
  ShowColorModeLayout(dialog, param);
  CheckColorModeRadio(dialog, param);
}

void OnColourModeRadio(HWND dialog, const PageParam& param, int id) {
  JobSettings& s = *param.settings;
  ClearUserEntry(param);
  switch (id) {
    case 2110:
      if (HasToning(s) && s.GetColorMode() == 7) return;
      s.OnSettingChanged(7, 0);
      CheckColourModeRadioOnly(dialog, 2110);
      EnableColorAdjustRows(dialog, param, 0);
      if (s.GetModeVariant() == 0) EnableColorAdjustRows(dialog, param, 2);
      pages::FillPrintQualityCombo(dialog, const_cast<PageParam*>(&param), 2119, 0);
      ShowColorModeLayout(dialog, param);
      CheckColorModeRadio(dialog, param);
      pages::FillGammaCombo(dialog, param);
      break;
    case 2109:
      if (s.GetColorMode() == 1) return;
      s.SetPerObjectIcmMode(1);
      ShowColorModeLayout(dialog, param);
      CheckColorModeRadio(dialog, param);
      FinishAdjustingRadio(dialog, param, 2109);
      break;
    case 2111:
      s.OnSettingChanged(7, 2);
      pages::FillCorrectionModeCombo(dialog, param);
      pages::UpdateCorrectionLevelControls(dialog, param);
      SendTrackBar(dialog, 2104, 2, static_cast<LPARAM>(s.GetCorrectionStrength()) - 1);
      FinishAdjustingRadio(dialog, param, 2111);
      break;
    default: {  // 2112, 2113, 2099
      const int32_t mode = id == 2112 ? 3 : id == 2113 ? 4 : 6;
      s.OnSettingChanged(7, mode);
      if (id == 2112) EnableColorAdjustRows(dialog, param, 1);
      CheckColourModeRadioOnly(dialog, id);
      pages::ShowGammaControls(dialog, param, 0);
      ShowColorModeLayout(dialog, param);
      CheckColorModeRadio(dialog, param);
      break;
    }
  }
  AfterColourModeRadio(dialog, param);
}

void OnCorrectionCommand(HWND dialog, const PageParam& param, int id) {
  JobSettings& s = *param.settings;
  LPARAM data = 0;
  switch (id) {
    case 2102: {
      if (!SelectedData(dialog, 2102, &data)) return;
      s.OnSettingChanged(9, static_cast<int32_t>(data));
      pages::FillCorrectionModeCombo(dialog, param);
      const uint32_t mode = s.GetCorrectionMode();
      if (mode == 7 || mode == 8 || mode == 9) {
        CheckItem(dialog, 2180, false);
        EnableItem(dialog, 2180, false);
        CheckItem(dialog, 25012, false);
        s.OnSettingChanged(11, 0);
      } else {
        EnableItem(dialog, 2180, true);
      }
      ShowCorrectionGroup(dialog, param, SW_SHOWNORMAL);
      Repaint(dialog, 2180);
      break;
    }
    case 2105:
      if (!SelectedData(dialog, 2105, &data)) return;
      s.OnSettingChanged(10, static_cast<int32_t>(data));
      pages::UpdateCorrectionLevelControls(dialog, param);
      break;
    case 25010: {
      const bool on = IsChecked(dialog, 25010);
      for (int c : {2104, 2106, 2107}) EnableItem(dialog, c, on);
      s.OnSettingChanged(10, on ? 0 : -1);
      Repaint(dialog, 25010);
      break;
    }
    case 2180: {
      const bool on = IsChecked(dialog, 2180);
      s.OnSettingChanged(11, on ? 1 : 0);
      EnableItem(dialog, 25012, on);
      CheckItem(dialog, 25012, false);
      break;
    }
    default:  // 25012
      s.SetCorrectionOption(IsChecked(dialog, 25012) ? 2 : 1);
      break;
  }
  Repaint(dialog, 2181);
}

}  // namespace

void FillRenderMethodCombo(HWND dialog, const PageParam& param) {
  JobSettings& s = *param.settings;
  s.SelectDefaultRenderMethod();
  if (GetDlgItem(dialog, kRenderCombo) == nullptr) return;
  SendDlgItemMessageA(dialog, kRenderCombo, CB_RESETCONTENT, 0, 0);
  const RenderMethodList list = ListRenderMethods(AllowedRenderMethods(s), s.GetRenderMethod());
  for (int32_t i = 0; i < list.count; ++i) {
    int32_t name = 0;
    s.GetTable7Value4(static_cast<uint16_t>(list.data[i]), &name);
    char text[128] = {};
    pages::LoadPageString(param, static_cast<UINT>(1300 + name), text, sizeof(text));
    const LRESULT at = SendDlgItemMessageA(dialog, kRenderCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendDlgItemMessageA(dialog, kRenderCombo, CB_SETITEMDATA, static_cast<WPARAM>(at), list.data[i]);
  }
  // With no method allowed, nothing is selected and the stored method stays.
  if (list.selected >= 0) {
    SendDlgItemMessageA(dialog, kRenderCombo, CB_SETCURSEL, static_cast<WPARAM>(list.selected), 0);
    if (list.data[list.selected] != static_cast<int32_t>(s.GetRenderMethod())) s.SetRenderMethod(list.data[list.selected]);
  }
  Repaint(dialog, kRenderPicture);
}

void ApplyColorModeAllowance(HWND dialog, const PageParam& param, bool with_changes) {
  JobSettings& s = *param.settings;
  const uint32_t radios = AllowedColourModeRadios(AllowedRadioBits(s), s.GetRenderMethod());
  EnableItem(dialog, 2109, (radios & kRadioIcm) != 0);
  EnableItem(dialog, 2111, (radios & kRadioPhoto) != 0);
  EnableItem(dialog, 2110, (radios & kRadioColour) != 0);
  EnableItem(dialog, 2112, (radios & kRadioNoAdjust) != 0);
  const bool bad_icm = (radios & kRadioIcm) == 0 && IsChecked(dialog, 2109);
  const bool bad_photo = (radios & kRadioPhoto) == 0 && IsChecked(dialog, 2111);
  if (with_changes) {
    if ((radios & kRadioIcm) == 0) s.SetNoColorManagement();
    if (bad_icm || bad_photo) {
      CheckColourModeRadioOnly(dialog, 2110);
      EnableColorAdjustRows(dialog, param, 0);
      s.SetColorMode(0);
      s.SetNoColorManagement();
      s.ApplyModeQualityLevel();
    }
  } else {
    const bool bad_colour = (radios & kRadioColour) == 0 && IsChecked(dialog, 2110);
    const bool bad_plain = (radios & kRadioNoAdjust) == 0 && IsChecked(dialog, 2112);
    if (bad_icm || bad_photo || bad_colour || bad_plain) {
      CheckColourModeRadioOnly(dialog, 2110);
      EnableColorAdjustRows(dialog, param, 0);
    }
  }
  pages::SelectModeVariantItem(dialog, param, kVariantCombo);
  CheckItem(dialog, 2178, s.TestModeOptionBits(2) != 0);
  ShowColorModeLayout(dialog, param);
  if (with_changes) {
    CheckColorModeRadio(dialog, param);
  } else {
    CheckRadioByColourMode(dialog, s.GetColorMode());
    InvalidateRect(dialog, nullptr, TRUE);
  }
}

void FillRenderOptionCombo(HWND dialog, const PageParam& param, uint32_t flags) {
  JobSettings& s = *param.settings;
  if (!s.TestModelHeaderFlags24(kRenderOptions)) return;
  const RenderOptionList list = ListRenderOptions(AllowedRenderOptions(s), s.GetModeOptions(), flags);
  SendDlgItemMessageA(dialog, kRenderOptionCombo, CB_RESETCONTENT, 0, 0);
  for (int32_t i = 0; i < list.count; ++i) {
    char text[128] = {};
    pages::LoadPageString(param, list.items[i].string_id, text, sizeof(text));
    const LRESULT at =
        SendDlgItemMessageA(dialog, kRenderOptionCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendDlgItemMessageA(dialog, kRenderOptionCombo, CB_SETITEMDATA, static_cast<WPARAM>(at), list.items[i].data);
  }
  EnableItem(dialog, kRenderOptionCombo, list.enabled);
  if (list.preselected >= 0) {
    SendDlgItemMessageA(dialog, kRenderOptionCombo, CB_SETCURSEL, static_cast<WPARAM>(list.preselected), 0);
  } else if (list.candidate >= 0) {
    SendDlgItemMessageA(dialog, kRenderOptionCombo, CB_SETCURSEL, static_cast<WPARAM>(list.candidate), 0);
    s.OnSettingChanged(20, list.items[list.candidate].data);
  }
}

void UpdateOptionCheck2154(HWND dialog, const PageParam& param) {
  JobSettings& s = *param.settings;
  if (s.TestModelHeaderFlags20(8)) {
    ShowItem(dialog, 2154, false);
    ShowItem(dialog, 2155, false);
  }
  switch (Rule2154(s)) {
    case 0: {
      int32_t value = 0;
      s.GetPrintModeValue6(s.GetCurrentModeIndex(), &value);
      EnableItem(dialog, 2154, true);
      CheckItem(dialog, 2154, value != 0);
      break;
    }
    case 1:
      CheckItem(dialog, 2154, true);
      EnableItem(dialog, 2154, false);
      break;
    case 2:
      CheckItem(dialog, 2154, false);
      EnableItem(dialog, 2154, false);
      break;
    default:
      break;
  }
}

void UpdateModeOptionChecks(HWND dialog, const PageParam& param, int fill_case) {
  JobSettings& s = *param.settings;
  ShowItem(dialog, 2130, s.GetColorMode() != 5);
  s.ApplyModeDefaults(fill_case);
  ModeOptionInput in{};
  in.fill_case = fill_case;
  in.rule_r = s.GetAlternativeColumn(10);
  in.rule_v = s.GetAlternativeColumn(12);
  in.option_bit1 = s.TestModeOptionBits(1) != 0;
  in.option_bit2 = s.TestModeOptionBits(2) != 0;
  in.option4_active = s.IsModeOption4Active() != 0;
  in.colour_mode5 = s.GetColorMode() == 5;
  in.special_feed = s.ModeAllowsSpecialFeed(s.GetCurrentModeIndex()) != 0;
  in.model_hides_2178 = s.TestModelHeaderFlags20(4) != 0;
  const ModeOptionChanges out = DecideModeOptionChecks(in);
  Apply(dialog, 2130, out.option_2130);
  Apply(dialog, 2178, out.option_2178);
  Apply(dialog, 2108, out.label_2108);
}

void CheckColorModeRadio(HWND dialog, const PageParam& param) {
  JobSettings& s = *param.settings;
  const int32_t mode = s.GetColorMode();
  const bool variant0 = s.GetModeVariant() == 0;
  auto disable_others = [&] {
    for (int id : {2113, 2111, 2112, 2109}) EnableItem(dialog, id, false);
  };
  switch (mode) {
    case 0:
      EnableColorModeRadios(dialog, param, true);
      CheckColourModeRadioOnly(dialog, 2110);
      EnableColorAdjustRows(dialog, param, 0);
      if (variant0) {
        EnableColorAdjustRows(dialog, param, 2);
        disable_others();
      }
      break;
    case 1:
    case 2:
    case 3:
    case 6:
      EnableColorModeRadios(dialog, param, true);
      CheckRadioByColourMode(dialog, mode);
      EnableColorAdjustRows(dialog, param, 1);
      break;
    case 4:
      if (s.GetQualityLevel() != 3) break;
      EnableColorModeRadios(dialog, param, true);
      CheckColourModeRadioOnly(dialog, 2113);
      EnableColorAdjustRows(dialog, param, 1);
      if (variant0) {
        EnableItem(dialog, 2113, false);
        CheckColourModeRadioOnly(dialog, 2110);
        EnableColorAdjustRows(dialog, param, 0);
        EnableColorAdjustRows(dialog, param, 2);
      }
      break;
    case 5:
      EnableColorModeRadios(dialog, param, false);
      CheckColourModeRadioOnly(dialog, 2191);
      EnableColorAdjustRows(dialog, param, 1);
      s.OnSettingChanged(18, 0);
      break;
    case 7:
      EnableColorModeRadios(dialog, param, true);
      CheckColourModeRadioOnly(dialog, 2110);
      EnableColorAdjustRows(dialog, param, 0);
      disable_others();
      break;
    default:
      break;
  }
  pages::UpdateColorModeOptionCheck(dialog, param);
}

bool OnPrintModeCommand(HWND dialog, const PageParam& param, int id, int code) {
  JobSettings& s = *param.settings;
  const bool combo = id == 2102 || id == 2105 || id == 2119 || id == 2125 || id == 2128 || id == kRenderCombo ||
                     id == 2184 || id == kRenderOptionCombo || id == kVariantCombo;
  if (combo && code != CBN_SELCHANGE) return true;
  if (!combo && code != BN_CLICKED) return false;
  LPARAM data = 0;
  switch (id) {
    case 2125:
    case 2128:
      OnMediaChoice(dialog, param, id);
      return true;
    case kVariantCombo:
      OnVariantCombo(dialog, param);
      return true;
    case 2114:
    case 2117:
      OnVariantRadio(dialog, param, id);
      return true;
    case 2099:
    case 2109:
    case 2110:
    case 2111:
    case 2112:
    case 2113:
      OnColourModeRadio(dialog, param, id);
      return true;
    case 2188:
      if (IsChecked(dialog, 2188)) {
        s.SetHalftoneOptionChecked(1);
        if (s.GetQualityLevel() == 5) s.OnSettingChanged(12, 4);
        else if (s.GetQualityLevel() == 0) s.OnSettingChanged(12, 1);
      } else {
        s.SetHalftoneOptionChecked(0);
      }
      pages::FillPrintQualityCombo(dialog, const_cast<PageParam*>(&param), 2119, 0);
      return true;
    case 2189:
      s.SetQualityLevel(QualityLevelForPairs(s.GetQualityLevel(), IsChecked(dialog, 2189)));
      return true;
    default:
      break;
  }
  ClearUserEntry(param);
  switch (id) {
    case kRenderCombo:
      if (!SelectedData(dialog, kRenderCombo, &data)) return true;
      s.OnSettingChanged(8, static_cast<int32_t>(data));
      ApplyColorModeAllowance(dialog, param, true);
      Repaint(dialog, kRenderPicture);
      break;
    case 2119:
      if (!SelectedData(dialog, 2119, &data)) return true;
      s.OnSettingChanged(12, static_cast<int32_t>(data));
      EnableColorAdjustRows(dialog, param, 0);
      break;
    case 2184:
      if (SelectedData(dialog, 2184, &data)) s.OnSettingChanged(13, static_cast<int32_t>(data));
      break;
    case kRenderOptionCombo:
      if (SelectedData(dialog, kRenderOptionCombo, &data)) s.OnSettingChanged(20, static_cast<int32_t>(data));
      break;
    case 2102:
    case 2105:
    case 2180:
    case 25010:
    case 25012:
      OnCorrectionCommand(dialog, param, id);
      break;
    case 2130:
      s.OnSettingChanged(14, IsChecked(dialog, 2130) ? 1 : 0);
      EnableItem(dialog, 2178, IsChecked(dialog, 2130));
      RefreshAfterOptionChange(dialog, param);
      break;
    case 2178:
      s.OnSettingChanged(16, IsChecked(dialog, 2178) ? 1 : 0);
      RefreshAfterOptionChange(dialog, param);
      break;
    case 2137:
      s.OnSettingChanged(15, IsChecked(dialog, 2137) ? 1 : 0);
      FillRenderMethodCombo(dialog, param);
      ApplyColorModeAllowance(dialog, param, true);
      UpdateModeOptionChecks(dialog, param, 2);
      UpdateOptionCheck2154(dialog, param);
      pages::DisableSourceOptionControl(dialog, param);
      break;
    case 2154:
      s.OnSettingChanged(17, IsChecked(dialog, 2154) ? 1 : 0);
      FillRenderMethodCombo(dialog, param);
      ApplyColorModeAllowance(dialog, param, true);
      UpdateModeOptionChecks(dialog, param, 2);
      pages::UpdateMediaOptionCheck(dialog, param, 1);
      FillRenderOptionCombo(dialog, param, 0);
      break;
    case 2139:
      s.OnSettingChanged(18, IsChecked(dialog, 2139) ? 1 : 0);
      break;
    case 2186:
      s.SetColorModeOptions(IsChecked(dialog, 2186) && s.GetColorMode() != 2 ? 1u : 0u);
      break;
    default:
      return false;
  }
  return true;
}

}  // namespace kalimu::dialogs::advanced
