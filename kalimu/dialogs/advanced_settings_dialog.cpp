// The advanced settings dialog's frame: its procedure, opening, the layout by colour mode, the
// width rule, the etched frame, OK and Cancel.
#include "kalimu/dialogs/advanced_settings_dialog.h"

#include <array>

#include "kalimu/dialogs/advanced_settings_parts.h"
#include "kalimu/dialogs/advanced_settings_rules.h"
#include "kalimu/dialogs/dialog_services.h"
#include "kalimu/dialogs/slider_adjust_dialog.h"
#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/main_page.h"
#include "kalimu/pages/page_access.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/pages/track_bar.h"
#include "kalimu/pages/resource_dialogs.h"
#include "kalimu/pages/tooltips.h"
#include "kalimu/pages/spin_steps.h"
#include "kalimu/settings/mode_option_record.h"

namespace kalimu::dialogs {
namespace {

using namespace advanced;

// ---- Help table ----------------------------------------------------------------------------------

struct HelpRange {
  int32_t first;
  int32_t last;
  int32_t context;
};
constexpr HelpRange kHelpRanges[] = {
    {2100, 2100, 1280}, {2124, 2125, 1285}, {2131, 2131, 1285}, {2114, 2115, 1296}, {2117, 2117, 1296},
    {8119, 8120, 1296}, {8122, 8122, 1296}, {2126, 2128, 1301}, {2132, 2135, 1312}, {2129, 2130, 1317},
    {2178, 2178, 1317}, {2136, 2137, 1328}, {2138, 2139, 1333}, {2154, 2155, 1344}, {2122, 2122, 1349},
    {2099, 2099, 1351}, {2110, 2110, 1360}, {2111, 2111, 1365}, {2109, 2109, 1376}, {2112, 2112, 1381},
    {2113, 2113, 1408}, {2102, 2102, 1413}, {2179, 2179, 1413}, {2103, 2107, 1424}, {25010, 25010, 1424},
    {2180, 2180, 1429}, {25011, 25012, 1429}, {2186, 2187, 1440}, {2187, 2187, 1440}, {2188, 2188, 1445},
    {2189, 2189, 1456}, {2190, 2190, 1461}, {2192, 2194, 1472}, {2183, 2184, 1397}, {2119, 2119, 1397},
    {2147, 2147, 1397}, {2060, 2065, 1397}, {2070, 2075, 1397}, {2080, 2085, 1397}, {2090, 2095, 1397},
    {2151, 2151, 1397}, {2156, 2169, 1397}, {8500, 8508, 1399}, {8510, 8519, 1399}, {8521, 8521, 1399},
    {8525, 8534, 1399}, {8540, 8561, 1399}, {8160, 8161, 1488}, {8166, 8166, 1492}, {8175, 8175, 1492},
    {8183, 8183, 1492}, {8169, 8170, 1378}, {8178, 8179, 1378}, {8186, 8187, 1378}, {8190, 8191, 1379},
    {8167, 8168, 1386}, {8176, 8177, 1386}, {8184, 8185, 1386}, {8171, 8172, 1387}, {8180, 8181, 1387},
    {8188, 8189, 1387}, {8173, 8173, 1504}, {2140, 2140, -1}, {2152, 2153, -1}, {2181, 2182, -1},
    {2191, 2191, -1},  {8165, 8165, -1},  {8174, 8174, -1},  {8182, 8182, -1},
};
constexpr size_t CountHelpPairs() {
  size_t n = 0;
  for (const HelpRange& r : kHelpRanges) n += static_cast<size_t>(r.last - r.first + 1);
  return n;
}
constexpr size_t kHelpPairs = CountHelpPairs() + 1;  // with the closing {0, 0}
static_assert(kHelpPairs == 184);

constexpr std::array<HelpPair, kHelpPairs> BuildHelpTable() {
  std::array<HelpPair, kHelpPairs> table{};
  size_t at = 0;
  for (const HelpRange& r : kHelpRanges) {
    for (int32_t id = r.first; id <= r.last; ++id) table[at++] = {id, r.context};
  }
  return table;
}
constexpr std::array<HelpPair, kHelpPairs> kHelpTable = BuildHelpTable();

// OK and Cancel end the dialog with its PageParam forgotten first, so that notifications that
// arrive while it closes (a kill-focus after Cancel's restore) change nothing.
void OnAdvancedOk(HWND dialog, const PageParam& param) {
  if (param.shared->user_entry_applied != 0) {
    param.settings->SetPresetKind2();
  } else {
    param.settings->SetPresetKind5();
  }
  FreeDevModeSnapshot(&param.shared->dialog_snapshot);
  pages::RemoveToolTipHook(kAdvancedToolTipKind);
  EndSettingsDialog(dialog, 1);
}

// Everything changed since the opening goes back, what the user settings and slider adjustment
// dialogs changed included; what they saved to the store stays.
void OnAdvancedCancel(HWND dialog, const PageParam& param) {
  CancelDialogSnapshot(dialog, param, &param.shared->dialog_snapshot, kAdvancedToolTipKind, 0);
}

// ---- Opening -------------------------------------------------------------------------------------

RECT ClientRectOf(HWND dialog, int control_id) {
  RECT r{};
  HWND item = GetDlgItem(dialog, control_id);
  if (item == nullptr) return r;
  GetWindowRect(item, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void FillAdvancedControls(HWND dialog, const PageParam& param) {
  JobSettings& s = *param.settings;
  pages::FillMediaTypeCombo(dialog, param, 1);
  pages::FillMediaNameCombo(dialog, param);
  FillRenderMethodCombo(dialog, param);
  ApplyColorModeAllowance(dialog, param, true);
  pages::UpdateMediaOptionCheck(dialog, param, 1);
  FillRenderOptionCombo(dialog, param, 0);
  settings::ModeOptionRecord record{};
  s.GetModeOptionRecord(&record);
  s.ApplyModeOptionBit8(record);
  switch (record.bit8_default) {
    case 0:
      EnableItem(dialog, 2139, true);
      CheckItem(dialog, 2139, s.TestModeOptionBits(8) != 0);
      break;
    case 1:
      EnableItem(dialog, 2139, false);
      CheckItem(dialog, 2139, true);
      break;
    case 2:
      EnableItem(dialog, 2139, false);
      CheckItem(dialog, 2139, false);
      break;
    default:
      break;
  }
  UpdateOptionCheck2154(dialog, param);
  pages::UpdateColorModeOptionCheck(dialog, param);
  InitColorAdjustRows(dialog, param);
  pages::InitCorrectionStrengthSlider(dialog, param);
  ShowColorModeLayout(dialog, param);
  CheckColorModeRadio(dialog, param);
  if (s.TestModelHeaderFlags20(kNoQualityCombo)) {
    ShowItem(dialog, 2119, false);
    ShowItem(dialog, 2147, false);
  } else {
    pages::FillPrintQualityCombo(dialog, const_cast<PageParam*>(&param), 2119, 0);
  }
  pages::FillModeVariantCombo(dialog, param, kAdvancedVariantCombo);
  if (HasToning(s)) InitToningControls(dialog, param);
  UpdateModeOptionChecks(dialog, param, 2);
  pages::DisableSourceOptionControl(dialog, param);
  EnableItem(dialog, 2188, s.IsHalftoneOptionOn() != 0);
  CheckItem(dialog, 2188, s.IsHalftoneOptionChecked() != 0);
}

void LayoutAdvancedDialog(HWND dialog, const PageParam& param) {
  ClearUserEntry(param);
  if (param.shared->mode_variant_picture_id == 0) {
    param.shared->mode_variant_picture_id = static_cast<int16_t>(param.settings->GetModeVariant() == 0 ? 7415 : 7416);
  }
  RECT window{};
  GetWindowRect(dialog, &window);
  RECT anchor{};
  GetWindowRect(GetDlgItem(dialog, 2174), &anchor);
  param.shared->dialog_full_width = window.right - window.left;
  param.shared->dialog_right_part_width = window.right - anchor.right - 12;
  if (HasToning(*param.settings)) {
    const RECT circle = ClientRectOf(dialog, 8547);
    const int left = circle.left + (circle.right - circle.left - 150) / 2;
    const int top = circle.top + (circle.bottom - circle.top - 150) / 2;
    SetWindowPos(GetDlgItem(dialog, 8547), nullptr, left, top, kToningCircleSize, kToningCircleSize,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  }
  pages::UpdateCorrectionOptionChecks(dialog, param);
  pages::FillCorrectionModeCombo(dialog, param);
  pages::UpdateCorrectionLevelControls(dialog, param);
  pages::FillGammaCombo(dialog, param);
  FillAdvancedControls(dialog, param);
  ApplyAdvancedWidthRule(dialog, param);
  UpdateColorManagementGroup(dialog, param);
}

void InitAdvancedDialog(HWND dialog, PageParam* param) {
  pages::StorePageParam(dialog, param);
  TakeDevModeSnapshot(*param, &param->shared->dialog_snapshot);
  LRESULT height = SendDlgItemMessageA(dialog, 2128, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  if (height == CB_ERR) height = 15;
  SendDlgItemMessageA(dialog, 8120, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height);
  SendDlgItemMessageA(dialog, 2125, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height);
  LayoutAdvancedDialog(dialog, *param);
  pages::InstallToolTips(dialog, kAdvancedToolTipKind);
}

// ---- Painting ------------------------------------------------------------------------------------

int ClientWidth(HWND dialog, int id) {
  RECT r{};
  GetClientRect(GetDlgItem(dialog, id), &r);
  return r.right;
}

void Line(HDC dc, int x0, int y0, int x1, int y1) {
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

void DrawAdvancedGroupFrame(HWND dialog, HDC dc) {
  const int a = ClientWidth(dialog, 2170);
  const int b = ClientWidth(dialog, 2171);
  const int w = ClientWidth(dialog, 2173);
  RECT tall{};
  GetClientRect(GetDlgItem(dialog, 2172), &tall);
  const int h = tall.bottom;
  const RECT corner = ClientRectOf(dialog, 2170);
  const int x = corner.left;
  const int y = corner.bottom - 4;
  for (int id = 2170; id <= 2174; ++id) ShowItem(dialog, id, false);
  HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  HGDIOBJ old = SelectObject(dc, shadow);
  Line(dc, x, y, x + a, y);
  Line(dc, x + w - b, y, x + w, y);
  Line(dc, x, y, x, y + h);
  Line(dc, x, y + h, x + w, y + h);
  Line(dc, x + w, y, x + w, y + h);
  SelectObject(dc, light);
  Line(dc, x + 1, y + 1, x + a - 1, y + 1);
  Line(dc, x + w - b, y + 1, x + w - 1, y + 1);
  Line(dc, x + 1, y + 1, x + 1, y + h - 1);
  Line(dc, x, y + h + 1, x + w + 1, y + h + 1);
  Line(dc, x + w + 1, y, x + w + 1, y + h + 1);
  SelectObject(dc, old);
  DeleteObject(shadow);
  DeleteObject(light);
}

void PaintAdvancedDialog(HWND dialog, const PageParam& param) {
  pages::SelectModeVariantItem(dialog, param, kAdvancedVariantCombo);
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(dialog, &paint);
  DrawAdvancedGroupFrame(dialog, dc);
  CheckItem(dialog, 2178, param.settings->TestModeOptionBits(2) != 0);
  EndPaint(dialog, &paint);
}

// ---- Commands ------------------------------------------------------------------------------------

void StepStrengthSliderByClick(HWND dialog, POINT client) {
  HWND slider = GetDlgItem(dialog, 2104);
  if (slider == nullptr || !IsWindowEnabled(slider)) return;
  POINT screen = client;
  ClientToScreen(dialog, &screen);
  for (int i = 0; i < 2; ++i) {
    RECT label{};
    GetWindowRect(GetDlgItem(dialog, 2106 + i), &label);
    if (!PtInRect(&label, screen)) continue;
    SendMessageA(slider, WM_USER, pages::kTrackStep, i);
    if (GetFocus() != slider) SetFocus(slider);
  }
}

void OnAdvancedHScroll(HWND dialog, const PageParam& param, WPARAM wparam, LPARAM lparam) {
  HWND bar = param.context != nullptr && param.context->notification_style != 0
                 ? reinterpret_cast<HWND>(lparam)
                 : reinterpret_cast<HWND>(static_cast<intptr_t>(HIWORD(lparam)));
  (void)wparam;
  const int id = GetDlgCtrlID(bar);
  if (id == 2104) {
    const auto p = static_cast<int32_t>(SendMessageA(bar, WM_USER, pages::kTrackGetPosition, 0));
    if (p + 1 != static_cast<int32_t>(param.settings->GetCorrectionStrength())) {
      ClearUserEntry(param);
      param.settings->SetCorrectionStrength(static_cast<uint32_t>(p + 1));
      Repaint(dialog, 2181);
    }
  } else if (id >= 2070 && id <= 2075) {
    OnColorAdjustSlider(dialog, param, id - 2070);
  } else if (id >= 8515 && id <= 8519) {
    OnToningSlider(dialog, param, id - 8515);
  }
}

void OnAdvancedCommand(HWND dialog, const PageParam& param, WPARAM wparam) {
  const int id = LOWORD(wparam);
  const int code = HIWORD(wparam);
  if (id == IDOK) {
    OnAdvancedOk(dialog, param);
  } else if (id == IDCANCEL) {
    OnAdvancedCancel(dialog, param);
  } else if (id >= 2080 && id <= 2085) {
    OnColorAdjustEdit(dialog, param, id, code);
  } else if (id >= 2090 && id <= 2095) {
    OnColorAdjustSignClick(dialog, param, id);
  } else if (id == 2122) {
    if (code == BN_CLICKED) pages::ShowSettingsDialog(dialog, pages::SettingsDialog::kUserSettings);
  } else if (id == 2190) {
    if (code == BN_CLICKED) pages::ShowResourceDialog(dialog, &SliderAdjustDlgProc, kSliderAdjustDialog);
  } else if (id == 2140) {
    ShowHelpTopic(dialog, param, kHelpTable.front().context);
  } else if (OnToningCommand(dialog, param, id, code) || OnColorManagementCommand(dialog, param, id, code)) {
    return;
  } else {
    OnPrintModeCommand(dialog, param, id, code);
  }
}

// The help table as the help system takes it: {control, context} double words ended by {0, 0}.
const DWORD* HelpIds() {
  static const std::array<DWORD, kHelpPairs * 2> ids = [] {
    std::array<DWORD, kHelpPairs * 2> out{};
    for (size_t i = 0; i < kHelpPairs; ++i) {
      out[2 * i] = static_cast<DWORD>(kHelpTable[i].control);
      out[2 * i + 1] = static_cast<DWORD>(kHelpTable[i].context);
    }
    return out;
  }();
  return ids.data();
}

}  // namespace

namespace advanced {

bool HasToning(JobSettings& settings) { return settings.TestModelHeaderFlags24(kToningCapability) != 0; }

void ClearUserEntry(const PageParam& param) {
  param.shared->user_entry_applied = 0;
  param.shared->user_entry_index = 0;
}

void Repaint(HWND dialog, int control_id, bool erase) {
  HWND item = GetDlgItem(dialog, control_id);
  if (item != nullptr) InvalidateRect(item, nullptr, erase ? TRUE : FALSE);
}
void ShowItem(HWND dialog, int control_id, bool show) {
  HWND item = GetDlgItem(dialog, control_id);
  if (item != nullptr) ShowWindow(item, show ? SW_SHOWNORMAL : SW_HIDE);
}
void EnableItem(HWND dialog, int control_id, bool enable) {
  HWND item = GetDlgItem(dialog, control_id);
  if (item != nullptr) EnableWindow(item, enable ? TRUE : FALSE);
}
void CheckItem(HWND dialog, int control_id, bool checked) {
  CheckDlgButton(dialog, control_id, checked ? BST_CHECKED : BST_UNCHECKED);
}
bool IsChecked(HWND dialog, int control_id) { return IsDlgButtonChecked(dialog, control_id) == BST_CHECKED; }

bool SelectedData(HWND dialog, int combo_id, LPARAM* data) {
  const LRESULT at = SendDlgItemMessageA(dialog, combo_id, CB_GETCURSEL, 0, 0);
  if (at == CB_ERR) return false;
  *data = SendDlgItemMessageA(dialog, combo_id, CB_GETITEMDATA, static_cast<WPARAM>(at), 0);
  return *data != CB_ERR;
}

void SendTrackBar(HWND dialog, int control_id, WPARAM command, LPARAM argument) {
  SendDlgItemMessageA(dialog, control_id, WM_USER, command, argument);
}

void ApplyAdvancedWidthRule(HWND dialog, const PageParam& param) {
  JobSettings& s = *param.settings;
  const int32_t width = AdvancedDialogWidth(HasToning(s), s.GetColorMode(), s.GetColorManagementMode(),
                                            param.shared->dialog_full_width, param.shared->dialog_right_part_width);
  RECT r{};
  GetWindowRect(dialog, &r);
  if (width <= 0) return;
  SetWindowPos(dialog, HWND_NOTOPMOST, 0, 0, width, r.bottom - r.top, SWP_NOMOVE | SWP_NOOWNERZORDER);
}

void ShowCorrectionGroup(HWND dialog, const PageParam& param, int show) {
  JobSettings& s = *param.settings;
  const bool on = show != SW_HIDE;
  for (int id : {2179, 2181, 2102, 2104}) ShowItem(dialog, id, on);
  if (!on) {
    for (int id : {25010, 2104, 2103, 2106, 2107, 2180, 25011, 25012}) pages::EnableShowDlgItem(dialog, id, 0);
    return;
  }
  for (int id : {25010, 2104, 2103, 2106, 2107, 25011, 2180, 25012}) ShowItem(dialog, id, true);
  const bool automatic = s.GetCorrectionLevel() == 0;
  CheckItem(dialog, 25010, automatic);
  for (int id : {2104, 2106, 2107}) EnableItem(dialog, id, automatic);
  switch (s.GetCorrectionOption()) {
    case 0:
      CheckItem(dialog, 2180, false);
      CheckItem(dialog, 25012, false);
      EnableItem(dialog, 25012, false);
      break;
    case 1:
      CheckItem(dialog, 2180, true);
      EnableItem(dialog, 25012, true);
      break;
    case 2:
      CheckItem(dialog, 2180, true);
      CheckItem(dialog, 25012, true);
      EnableItem(dialog, 25012, true);
      break;
    default:
      break;
  }
  const uint32_t mode = s.GetCorrectionMode();
  EnableItem(dialog, 2180, !(mode == 7 || mode == 8 || mode == 9));
}

void ShowColorAdjustPanel(HWND dialog, const PageParam& param, bool show) {
  JobSettings& s = *param.settings;
  bool panel = show;
  if (HasToning(s)) {
    const bool toning = show && s.GetColorMode() == 7;
    ShowToningGroup(dialog, param, toning);
    if (toning) panel = false;
  }
  ApplyAdvancedWidthRule(dialog, param);
  static constexpr int kPanel[] = {2090, 2091, 2092, 2093, 2094, 2095, 2101, 2070, 2071, 2072, 2073, 2074, 2075,
                                   2119, 2143, 2061, 2144, 2060, 2145, 2147, 2148, 2149, 2150, 2062, 2063, 2064,
                                   2065, 2151, 2156, 2157, 2080, 2081, 2082, 2083, 2084, 2085};
  for (int id : kPanel) pages::EnableShowDlgItem(dialog, id, panel ? 1 : 0);
  for (int id = 2158; id <= 2174; ++id) pages::EnableShowDlgItem(dialog, id, panel ? 1 : 0);
  if (HasToning(s)) {
    pages::EnableShowDlgItem(dialog, 2183, panel ? 1 : 0);
    pages::EnableShowDlgItem(dialog, 2184, panel ? 1 : 0);
  }
}

void ShowColorModeLayout(HWND dialog, const PageParam& param) {
  JobSettings& s = *param.settings;
  EnableItem(dialog, 2099, s.CurrentModeHasFlag200() == 1);
  const int32_t mode = s.GetColorMode();
  if (mode == 4 && s.GetQualityLevel() != 3) return;
  ShowItem(dialog, 2182, true);
  switch (mode) {
    case 0:
      ShowCorrectionGroup(dialog, param, SW_HIDE);
      ShowColorAdjustPanel(dialog, param, true);
      break;
    case 2:
      ShowCorrectionGroup(dialog, param, SW_SHOWNORMAL);
      ShowColorAdjustPanel(dialog, param, false);
      break;
    case 5:
      ShowCorrectionGroup(dialog, param, SW_HIDE);
      ShowColorAdjustPanel(dialog, param, false);
      ShowItem(dialog, 2186, false);
      ShowItem(dialog, 2187, false);
      break;
    case 7:
      ShowCorrectionGroup(dialog, param, SW_HIDE);
      ShowColorAdjustPanel(dialog, param, true);
      break;
    default:  // 1, 3, 4, 6 and any other
      ShowCorrectionGroup(dialog, param, SW_HIDE);
      for (int id : {2179, 2181, 2102}) pages::EnableShowDlgItem(dialog, id, 0);
      ShowColorAdjustPanel(dialog, param, false);
      break;
  }
  if (s.TestModelHeaderFlags20(kNoQualityCombo)) {
    ShowItem(dialog, 2119, false);
    ShowItem(dialog, 2147, false);
  }
}

void EnableColorAdjustRows(HWND dialog, const PageParam& param, int rows_case) {
  JobSettings& s = *param.settings;
  const bool no_quality = s.TestModelHeaderFlags20(kNoQualityCombo) != 0;
  auto set_row = [&](int row, bool on) {
    for (int base : {2060, 2080, 2070, 2090}) EnableItem(dialog, base + row, on);
    uint16_t& state = param.shared->adjust_edit_states[pages::kColorAdjustEdit0 + row];
    state = on ? static_cast<uint16_t>(state | pages::kEditActive) : static_cast<uint16_t>(state & ~pages::kEditActive);
  };
  switch (rows_case) {
    case 0: {
      EnableItem(dialog, 2110, true);
      if (!no_quality) {
        EnableItem(dialog, 2147, true);
        EnableItem(dialog, 2119, true);
      }
      const bool on = s.GetQualityLevel() != 3;
      for (int row = 0; row < 6; ++row) set_row(row, on);
      break;
    }
    case 1:
      if (no_quality) {
        EnableItem(dialog, 2147, false);
        EnableItem(dialog, 2119, false);
      }
      for (int row = 0; row < 6; ++row) set_row(row, false);
      break;
    case 2:
      if (!no_quality) {
        EnableItem(dialog, 2147, false);
        EnableItem(dialog, 2119, false);
      }
      for (int row = 0; row < 6; ++row) set_row(row, row < 2);
      break;
    default:
      break;
  }
  for (int row = 0; row < 6; ++row) Repaint(dialog, 2090 + row);
}

}  // namespace advanced

INT_PTR CALLBACK AdvancedDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    InitAdvancedDialog(dialog, reinterpret_cast<PageParam*>(lparam));
    return 0;
  }
  PageParam* param = pages::PageParamOf(dialog);
  if (param == nullptr || param->settings == nullptr || param->shared == nullptr) {
    return message == WM_PALETTECHANGED ? (reinterpret_cast<HWND>(wparam) == dialog) : 0;
  }
  const POINT point{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
  switch (message) {
    case WM_COMMAND:
      OnAdvancedCommand(dialog, *param, wparam);
      break;
    case WM_HSCROLL:
      OnAdvancedHScroll(dialog, *param, wparam, lparam);
      break;
    case WM_VSCROLL: {
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lparam));
      if (id == 8558 || id == 8561) {
        OnToningSpin(dialog, *param, id, pages::SpinLineCode(reinterpret_cast<HWND>(lparam), wparam));
      }
      break;
    }
    case WM_PAINT:
      PaintAdvancedDialog(dialog, *param);
      break;
    case WM_DRAWITEM:
      DrawAdvancedItem(dialog, *param, reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      RedrawToningCross(dialog, *param);
      break;
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
      if (item->CtlID == 2125 || item->CtlID == 2128 || item->CtlID == 8120) pages::MeasureComboItem(dialog, item);
      break;
    }
    case WM_NOTIFY:
      pages::HandleToolTipNotifyA(reinterpret_cast<NMHDR*>(lparam), *param, kAdvancedToolTipKind);
      break;
    case WM_HELP:
    case WM_CONTEXTMENU:
      ShowContextHelp(dialog, message, wparam, lparam, HelpIds());
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
      UpdateToningCursor(dialog, *param, point);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      StepStrengthSliderByClick(dialog, point);
      OnToningCircleClick(dialog, *param, point);
      break;
    case WM_QUERYNEWPALETTE:
      Repaint(dialog, 2181);
      break;
    case WM_PALETTECHANGED:
      return reinterpret_cast<HWND>(wparam) == dialog;
    default:
      break;
  }
  return 0;
}

const HelpPair* AdvancedHelpTable(size_t* pairs) {
  if (pairs != nullptr) *pairs = kHelpPairs;
  return kHelpTable.data();
}

}  // namespace kalimu::dialogs
