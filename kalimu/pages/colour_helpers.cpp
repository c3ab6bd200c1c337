// Colour correction and gamma controls of the advanced settings dialog.
#include <cstdio>
#include <cstring>
#include <iterator>
#include <span>

#include "kalimu/pages/page_helpers.h"
#include "kalimu/pages/track_bar.h"
#include "kalimu/platform/text_helpers.h"

namespace kalimu::pages {
namespace {

constexpr uint16_t kColourGammas[] = {150, 180, 220};
constexpr uint16_t kMonoGammas[] = {160, 180, 200, 220, 240};
constexpr uint32_t kMonoPhotoModel = 0x8000;  // header word 24
constexpr int kGammaCombo = 2184, kGammaLabel = 2183, kMonoGammaCombo = 8503, kMonoGammaLabel = 8502;
constexpr int kCorrectionModeCombo = 2102;
constexpr UINT kNoCorrectionString = 1759;  // a string no item carries

std::span<const uint16_t> GammaRow(JobSettings& settings) {
  if (IsMonoPhotoMode(settings)) return kMonoGammas;
  return kColourGammas;
}

// Edit controls of the colour adjustments and their slot in PageShared.
struct EditSlot {
  int control;
  int slot;
};
constexpr EditSlot kEditSlots[] = {
    {2080, kColorAdjustEdit0},     {2081, kColorAdjustEdit0 + 1}, {2082, kColorAdjustEdit0 + 2},
    {2083, kColorAdjustEdit0 + 3}, {2084, kColorAdjustEdit0 + 4}, {2085, kColorAdjustEdit0 + 5},
    {8510, kToningEdit0},          {8511, kToningEdit0 + 1},      {8512, kToningEdit0 + 2},
    {8513, kToningEdit0 + 3},      {8514, kToningEdit0 + 4},      {8557, kToningXEdit},
    {8560, kToningYEdit},
};

void SetCheck(HWND window, int control, bool on) { CheckDlgButton(window, control, on ? BST_CHECKED : BST_UNCHECKED); }
void Enable(HWND window, int control, bool on) {
  if (HWND item = GetDlgItem(window, control)) EnableWindow(item, on ? TRUE : FALSE);
}

}  // namespace

int IsMonoPhotoMode(JobSettings& settings) {
  return settings.TestModelHeaderFlags24(kMonoPhotoModel) && settings.GetColorMode() == 7 ? 1 : 0;
}

void StoreAdjustEditState(int control_id, const PageParam& param, uint16_t value) {
  if (param.shared == nullptr) return;
  for (const EditSlot& edit : kEditSlots) {
    if (edit.control == control_id) param.shared->adjust_edit_states[edit.slot] = value;
  }
}

void UpdateCorrectionOptionChecks(HWND window, const PageParam& param) {
  const int32_t option = param.settings->GetCorrectionOption();
  const bool on = option >= 1;
  SetCheck(window, 2180, on);
  Enable(window, 25011, on);
  Enable(window, 25012, on);
  SetCheck(window, 25012, on && option == 2);
}

void FillCorrectionModeCombo(HWND window, const PageParam& param) {
  JobSettings& settings = *param.settings;
  if (settings.TestModelHeaderFlags24(kMonoPhotoModel)) {
    settings.SetCorrectionMode(6);
    return;
  }
  struct Item {
    UINT text;
    int32_t mode;
  };
  const int region = settings.GetRegion();
  const bool short_list = region == 0 || region == 3;
  Item items[5] = {{1726, 6}, {1723, 3}};
  size_t count = 2;
  if (short_list) {
    items[count++] = {1724, 7};
  } else {
    items[count++] = {1727, 7};
    items[count++] = {1729, 9};
    items[count++] = {1728, 8};
  }
  SendDlgItemMessageA(window, kCorrectionModeCombo, CB_RESETCONTENT, 0, 0);
  for (size_t i = 0; i < count; ++i) {
    char text[128] = {};
    LoadPageString(param, items[i].text, text, sizeof(text));
    const LRESULT at = SendDlgItemMessageA(window, kCorrectionModeCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendDlgItemMessageA(window, kCorrectionModeCombo, CB_SETITEMDATA, at, items[i].mode);
  }
  UINT wanted = kNoCorrectionString;
  switch (settings.GetCorrectionMode()) {
    case 3: wanted = 1723; break;
    case 6: wanted = 1726; break;
    case 7: wanted = short_list ? 1724 : 1727; break;
    case 8: wanted = short_list ? kNoCorrectionString : 1728; break;
    case 9: wanted = short_list ? kNoCorrectionString : 1729; break;
    default: break;
  }
  // The item that carries the wanted string (none for 1759), found by what was listed.
  WPARAM selection = static_cast<WPARAM>(-1);
  for (size_t i = 0; i < count; ++i) {
    if (items[i].text != wanted) continue;
    char text[128] = {};
    LoadPageString(param, items[i].text, text, sizeof(text));
    selection = static_cast<WPARAM>(
        SendDlgItemMessageA(window, kCorrectionModeCombo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text)));
  }
  SendDlgItemMessageA(window, kCorrectionModeCombo, CB_SETCURSEL, selection, 0);
}

void UpdateCorrectionLevelControls(HWND window, const PageParam& param) {
  JobSettings& settings = *param.settings;
  if (GetDlgItem(window, 25010) == nullptr && settings.TestModelHeaderFlags24(kMonoPhotoModel)) {
    settings.SetCorrectionLevel(0);
    return;
  }
  const bool level_zero = settings.GetCorrectionLevel() == 0;
  SetCheck(window, 25010, level_zero);
  for (int control : {2103, 2104, 2106, 2107}) Enable(window, control, level_zero);
}

void InitCorrectionStrengthSlider(HWND window, const PageParam& param) {
  JobSettings& settings = *param.settings;
  constexpr int kSlider = 2104;
  const auto send = [&](WPARAM command, LPARAM value) { SendDlgItemMessageA(window, kSlider, WM_USER, command, value); };
  if (param.context != nullptr && param.context->notification_style == 1) send(kTrackSetNotificationStyle, 0);
  send(kTrackSetRange, MAKELPARAM(0, 2));
  send(kTrackSetPageStep, 1);
  send(kTrackSetMark, 1);
  send(kTrackSetPosition, settings.GetCorrectionStrength() - 1);
  Enable(window, kSlider, settings.GetCorrectionLevel() == 0);
}

void ShowGammaControls(HWND window, const PageParam& param, int show) {
  const bool mono = IsMonoPhotoMode(*param.settings) != 0;
  EnableShowDlgItem(window, mono ? kMonoGammaLabel : kGammaLabel, show);
  EnableShowDlgItem(window, mono ? kMonoGammaCombo : kGammaCombo, show);
}

void FormatGammaText(int32_t value, char* buffer, size_t size, const PageParam& param) {
  if (buffer == nullptr || size == 0) return;
  buffer[0] = '\0';
  if (IsMonoPhotoMode(*param.settings)) {
    UINT id = 8603;
    switch (value) {
      case 160: id = 8600; break;
      case 180: id = 8601; break;
      case 200: id = 8602; break;
      case 240: id = 8604; break;
      default: break;
    }
    LoadPageString(param, id, buffer, static_cast<int>(size));
    return;
  }
  std::snprintf(buffer, size, "%d.%d", value / 100 % 10, value / 10 % 10);
}

uint16_t GetDefaultGammaIndex(const PageParam& param) {
  const uint16_t wanted = param.settings->TestModelHeaderFlags20(64) ? 180 : 150;
  const std::span<const uint16_t> row = GammaRow(*param.settings);
  for (size_t i = 0; i < row.size(); ++i) {
    if (row[i] == wanted) return static_cast<uint16_t>(i);
  }
  return static_cast<uint16_t>(row.size());
}

void FillGammaCombo(HWND window, const PageParam& param) {
  JobSettings& settings = *param.settings;
  const int combo = IsMonoPhotoMode(settings) ? kMonoGammaCombo : kGammaCombo;
  const int32_t colour_mode = settings.GetColorMode();
  if (colour_mode != 0 && colour_mode != 7) {
    ShowGammaControls(window, param, 0);
    return;
  }
  ShowGammaControls(window, param, 1);
  SendDlgItemMessageA(window, combo, CB_RESETCONTENT, 0, 0);
  char current[kGammaTextChars] = {};
  FormatGammaText(settings.GetGamma(), current, sizeof(current), param);
  const std::span<const uint16_t> row = GammaRow(settings);
  WPARAM selection = GetDefaultGammaIndex(param);
  bool matched = false;
  for (size_t i = 0; i < row.size(); ++i) {
    char text[kGammaTextChars] = {};
    FormatGammaText(row[i], text, sizeof(text), param);
    const LRESULT at = SendDlgItemMessageA(window, combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendDlgItemMessageA(window, combo, CB_SETITEMDATA, at, static_cast<LPARAM>(i));
    if (!matched && std::strcmp(text, current) == 0) {
      selection = static_cast<WPARAM>(at);
      matched = true;
    }
  }
  // A default missing from the row selects nothing.
  SendDlgItemMessageA(window, combo, CB_SETCURSEL, selection < row.size() || matched ? selection : static_cast<WPARAM>(-1), 0);
}

}  // namespace kalimu::pages
