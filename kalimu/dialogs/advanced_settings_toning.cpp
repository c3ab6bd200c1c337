// The monochrome-toning group of the advanced settings dialog (colour mode 7 of toning models):
// tone presets, the tone list, five adjustment rows, the highlight check, the toning circle with
// its red cross, and the coordinate edits with their spin arrows.
#include <cstdlib>
#include <cstring>

#include "kalimu/dialogs/advanced_settings_parts.h"
#include "kalimu/dialogs/advanced_settings_rules.h"
#include "kalimu/pages/main_page.h"
#include "kalimu/pages/page_access.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/pages/spin_steps.h"
#include "kalimu/pages/track_bar.h"

namespace kalimu::dialogs::advanced {
namespace {

constexpr int kPresetLabel = 8500;
constexpr int kPresetCombo = 8501;
constexpr int kToneCombo = 8503;
constexpr int kHighlightCheck = 8521;
constexpr int kSample = 8546;
constexpr int kCircle = 8547;
constexpr int kEditX = 8557;
constexpr int kSpinX = 8558;
constexpr int kEditY = 8560;
constexpr int kSpinY = 8561;
constexpr int kCustomPreset = pages::kCustomTonePreset;
constexpr int kToningCursor = 8605;
constexpr int kItemX = 9;
constexpr int kItemY = 10;
constexpr int kItemHighlight = 11;
constexpr int kRowItems[5] = {0, 1, 6, 7, 8};

bool InMonoPhotoMode(const PageParam& param) {
  return HasToning(*param.settings) && param.settings->GetColorMode() == 7;
}

uint16_t& CoordinateState(const PageParam& param, int edit) {
  return param.shared->adjust_edit_states[edit == kEditX ? pages::kToningXEdit : pages::kToningYEdit];
}

void SetProgramText(uint16_t& state, bool on) {
  state = on ? static_cast<uint16_t>(state | pages::kEditProgramText)
             : static_cast<uint16_t>(state & ~pages::kEditProgramText);
}

void PutCoordinate(HWND dialog, const PageParam& param, int edit, const char* text) {
  uint16_t& state = CoordinateState(param, edit);
  SetProgramText(state, true);
  SetDlgItemTextA(dialog, edit, text);
  const LRESULT length = SendDlgItemMessageA(dialog, edit, WM_GETTEXTLENGTH, 0, 0);
  SendDlgItemMessageA(dialog, edit, EM_SETSEL, static_cast<WPARAM>(length), length);
  SetProgramText(state, false);
}

void PutCoordinateNumber(HWND dialog, const PageParam& param, int edit, int32_t value) {
  uint16_t& state = CoordinateState(param, edit);
  SetProgramText(state, true);
  SetDlgItemInt(dialog, edit, static_cast<UINT>(value), TRUE);
  SetProgramText(state, false);
}

void ShowCoordinates(HWND dialog, const PageParam& param) {
  PutCoordinateNumber(dialog, param, kEditX, param.settings->GetAdjustment(kItemX));
  PutCoordinateNumber(dialog, param, kEditY, param.settings->GetAdjustment(kItemY));
  for (int spin : {kSpinX, kSpinY}) pages::PrepareSpin(GetDlgItem(dialog, spin));
}

void FillTonePresetCombo(HWND dialog, const PageParam& param, int count) {
  pages::FillTonePresetCombo(dialog, param, kPresetCombo, count);
}

}  // namespace

void ShowTonePresetGroup(HWND dialog, const PageParam& param) {
  const bool show = param.settings->GetColorMode() == 7;
  pages::EnableShowDlgItem(dialog, kPresetLabel, show ? 1 : 0);
  pages::EnableShowDlgItem(dialog, kPresetCombo, show ? 1 : 0);
  if (!show) return;
  const int preset = param.settings->GetTonePreset();
  const int count = preset == kCustomPreset ? 5 : 4;
  if (SendDlgItemMessageA(dialog, kPresetCombo, CB_GETCOUNT, 0, 0) != count) FillTonePresetCombo(dialog, param, count);
  SendDlgItemMessageA(dialog, kPresetCombo, CB_SETCURSEL, preset >= 0 && preset < count ? preset : 0, 0);
}

namespace {

void MakeCustom(HWND dialog, const PageParam& param) {
  param.settings->SetTonePreset(kCustomPreset);
  ShowTonePresetGroup(dialog, param);
}

void ShowToningRows(HWND dialog, const PageParam& param) {
  for (int r = 0; r < 5; ++r) {
    uint16_t& state = param.shared->adjust_edit_states[pages::kToningEdit0 + r];
    const int32_t item = AdjustValueOrZero(param.settings->GetAdjustment(kRowItems[r]));
    SetProgramText(state, true);
    SetDlgItemInt(dialog, 8510 + r, static_cast<UINT>(std::abs(item)), TRUE);
    SetProgramText(state, false);
    SendTrackBar(dialog, 8515 + r, pages::kTrackSetPosition, item + (r == 4 ? kFadeLimit : kAdjustLimit));
  }
}

RECT CircleRect(HWND dialog) {
  RECT r{};
  GetWindowRect(GetDlgItem(dialog, kCircle), &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

ToningPoint StoredPoint(const PageParam& param) {
  return {param.settings->GetAdjustment(kItemX), param.settings->GetAdjustment(kItemY)};
}

void DrawCross(HWND dialog, ToningPoint point, COLORREF colour) {
  const RECT circle = CircleRect(dialog);
  const ToningPoint at = ToningPixel(point, circle.left, circle.top);
  HDC dc = GetDC(dialog);
  HPEN pen = CreatePen(PS_SOLID, 1, colour);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, at.x - 3, at.y, nullptr);
  LineTo(dc, at.x + 4, at.y);
  MoveToEx(dc, at.x, at.y - 3, nullptr);
  LineTo(dc, at.x, at.y + 4);
  SelectObject(dc, old);
  DeleteObject(pen);
  ReleaseDC(dialog, dc);
}

void DrawToningCross(HWND dialog, const PageParam& param) {
  if (!InMonoPhotoMode(param)) return;
  DrawCross(dialog, StoredPoint(param), RGB(255, 0, 0));
}

void EraseToningCross(HWND dialog, const PageParam& param) {
  if (!InMonoPhotoMode(param)) return;
  DrawCross(dialog, StoredPoint(param), GetSysColor(COLOR_BTNFACE));
  Repaint(dialog, kCircle, false);
}

void StorePoint(const PageParam& param, ToningPoint point) {
  param.settings->SetAdjustment(kItemX, point.x);
  param.settings->SetAdjustment(kItemY, point.y);
}

void OnTonePresetCombo(HWND dialog, const PageParam& param, int code) {
  JobSettings& s = *param.settings;
  switch (code) {
    case CBN_DROPDOWN: {
      FillTonePresetCombo(dialog, param, 4);
      const int preset = s.GetTonePreset();
      SendDlgItemMessageA(dialog, kPresetCombo, CB_SETCURSEL, preset >= 0 && preset < 4 ? preset : 0, 0);
      return;
    }
    case CBN_CLOSEUP:
      ShowTonePresetGroup(dialog, param);
      ShowToningRows(dialog, param);
      ShowCoordinates(dialog, param);
      return;
    case CBN_SELENDOK: {
      ClearUserEntry(param);
      EraseToningCross(dialog, param);
      // The shared tone-preset rule acts on a selection change; here the choice ends the drop-down.
      if (pages::ApplyTonePreset(dialog, param, kPresetCombo, CBN_SELCHANGE, 1) == 1) {
        ShowTonePresetGroup(dialog, param);
        ShowToningRows(dialog, param);
        ShowCoordinates(dialog, param);
        Repaint(dialog, kSample, false);
      }
      break;
    }
    default:
      break;
  }
  DrawToningCross(dialog, param);
}

void OnCoordinateEdit(HWND dialog, const PageParam& param, int edit, int code) {
  JobSettings& s = *param.settings;
  ClearUserEntry(param);
  const ToningPoint old = StoredPoint(param);
  uint16_t& state = CoordinateState(param, edit);
  if ((state & pages::kEditProgramText) != 0) return;
  if (code == EN_CHANGE || code == EN_KILLFOCUS) {
    char text[16] = {};
    GetDlgItemTextA(dialog, edit, text, sizeof(text));
    const CoordinateEditResult typed = FilterCoordinateText(text);
    ToningPoint point = old;
    int32_t& edited = edit == kEditX ? point.x : point.y;
    const int32_t other = edit == kEditX ? point.y : point.x;
    edited = typed.value;
    bool rewrite = typed.text_changed || code == EN_KILLFOCUS;
    char shown[16] = {};
    std::memcpy(shown, typed.text, sizeof(shown));
    if (!IsInsideToningCircle(edited, other)) {
      edited = ClampToningCoordinate(edited, other);
      wsprintfA(shown, "%d", edited);
      rewrite = true;
    }
    if (code == EN_KILLFOCUS && std::strcmp(shown, "-") == 0) shown[0] = '\0';
    if (rewrite) PutCoordinate(dialog, param, edit, shown[0] == '\0' ? "0" : shown);
    EraseToningCross(dialog, param);
    StorePoint(param, point);
    DrawToningCross(dialog, param);
    if (point.x != old.x || point.y != old.y) MakeCustom(dialog, param);
  }
  (void)s;
  Repaint(dialog, kSample, false);
}

}  // namespace

void ShowToningGroup(HWND dialog, const PageParam& param, bool show) {
  static constexpr int kRanges[][2] = {{8500, 8508}, {8510, 8519}, {8521, 8521}, {8525, 8534}, {8540, 8561}};
  for (const auto& range : kRanges) {
    for (int id = range[0]; id <= range[1]; ++id) pages::EnableShowDlgItem(dialog, id, show ? 1 : 0);
  }
  for (int r = 0; r < 5; ++r) {
    uint16_t& state = param.shared->adjust_edit_states[pages::kToningEdit0 + r];
    state = show ? static_cast<uint16_t>(state | pages::kEditActive) : static_cast<uint16_t>(state & ~pages::kEditActive);
  }
  if (show) ShowTonePresetGroup(dialog, param);
}

void ShowToningValues(HWND dialog, const PageParam& param) {
  ShowTonePresetGroup(dialog, param);
  ShowToningRows(dialog, param);
  ShowCoordinates(dialog, param);
  CheckItem(dialog, kHighlightCheck, param.settings->GetAdjustment(kItemHighlight) != 0);
}

void InitToningControls(HWND dialog, const PageParam& param) {
  for (int r = 0; r < 5; ++r) InitAdjustSlider(dialog, param, 8515 + r, r == 4 ? 50 : 25);
  // The spin arrows are scroll bars: the handler's limits bound the values.
  for (int edit : {kEditX, kEditY}) SendDlgItemMessageA(dialog, edit, EM_LIMITTEXT, 4, 0);
  ShowToningValues(dialog, param);
}

bool OnToningCommand(HWND dialog, const PageParam& param, int id, int code) {
  JobSettings& s = *param.settings;
  if (id == kPresetCombo) {
    OnTonePresetCombo(dialog, param, code);
  } else if (id == kToneCombo) {
    if (code != CBN_SELCHANGE) return true;
    ClearUserEntry(param);
    LPARAM data = 0;
    if (!SelectedData(dialog, kToneCombo, &data)) return true;
    s.OnSettingChanged(13, static_cast<int32_t>(data));
    MakeCustom(dialog, param);
    Repaint(dialog, kSample, false);
  } else if (id >= 8510 && id <= 8514) {
    int32_t before[5];
    for (int r = 0; r < 5; ++r) before[r] = s.GetAdjustment(kRowItems[r]);
    OnColorAdjustEdit(dialog, param, id, code);
    for (int r = 0; r < 5; ++r) {
      if (s.GetAdjustment(kRowItems[r]) != before[r]) {
        MakeCustom(dialog, param);
        break;
      }
    }
    Repaint(dialog, kSample, false);
  } else if (id >= 8540 && id <= 8543) {
    OnColorAdjustSignClick(dialog, param, id);
    MakeCustom(dialog, param);
    Repaint(dialog, kSample, false);
  } else if (id == kHighlightCheck) {
    ClearUserEntry(param);
    s.SetAdjustment(kItemHighlight, IsChecked(dialog, kHighlightCheck) ? 1 : 0);
    MakeCustom(dialog, param);
    EraseToningCross(dialog, param);
    DrawToningCross(dialog, param);
    Repaint(dialog, kSample, false);
  } else if (id == kEditX || id == kEditY) {
    OnCoordinateEdit(dialog, param, id, code);
  } else {
    return false;
  }
  return true;
}

void OnToningSlider(HWND dialog, const PageParam& param, int row) {
  const int32_t base = row == 4 ? kFadeLimit : kAdjustLimit;
  const auto p = static_cast<int32_t>(SendDlgItemMessageA(dialog, 8515 + row, WM_USER, pages::kTrackGetPosition, 0));
  const int32_t v = p - base;
  uint16_t& state = param.shared->adjust_edit_states[pages::kToningEdit0 + row];
  SetProgramText(state, true);
  SetDlgItemInt(dialog, 8510 + row, static_cast<UINT>(std::abs(v)), TRUE);
  SetProgramText(state, false);
  param.settings->SetAdjustment(kRowItems[row], v);
  MakeCustom(dialog, param);
  Repaint(dialog, 8540 + row);
  Repaint(dialog, kSample, false);
}

void OnToningSpin(HWND dialog, const PageParam& param, int spin_id, int code) {
  const int edit = spin_id == kSpinX ? kEditX : kEditY;
  BOOL ok = FALSE;
  int32_t value = static_cast<int32_t>(GetDlgItemInt(dialog, edit, &ok, TRUE));
  if (code == SB_LINEUP && value >= -kToningRadius && value < kToningRadius) ++value;
  if (code == SB_LINEDOWN && value > -kToningRadius && value <= kToningRadius) --value;
  ToningPoint point = StoredPoint(param);
  const int32_t other = spin_id == kSpinX ? point.y : point.x;
  value = ClampToningCoordinate(value, other);
  EraseToningCross(dialog, param);
  (spin_id == kSpinX ? point.x : point.y) = value;
  StorePoint(param, point);
  PutCoordinateNumber(dialog, param, edit, value);
  Repaint(dialog, kSample, false);
  MakeCustom(dialog, param);
  SetFocus(GetDlgItem(dialog, edit));
  DrawToningCross(dialog, param);
}

void OnToningCircleClick(HWND dialog, const PageParam& param, POINT client) {
  if (!InMonoPhotoMode(param)) return;
  const RECT circle = CircleRect(dialog);
  ToningPoint point{};
  if (!MapToningClick(client.x, client.y, circle.left, circle.top, &point)) return;
  EraseToningCross(dialog, param);
  StorePoint(param, point);
  ShowCoordinates(dialog, param);
  MakeCustom(dialog, param);
  Repaint(dialog, kSample, false);
  Repaint(dialog, kCircle, false);
  SetFocus(GetDlgItem(dialog, kEditX));
  DrawToningCross(dialog, param);
}

void RedrawToningCross(HWND dialog, const PageParam& param) { DrawToningCross(dialog, param); }

void UpdateToningCursor(HWND dialog, const PageParam& param, POINT client) {
  if (!InMonoPhotoMode(param)) return;
  EnableItem(dialog, kCircle, false);
  const RECT circle = CircleRect(dialog);
  HCURSOR wanted = nullptr;
  if (MapToningClick(client.x, client.y, circle.left, circle.top, nullptr)) {
    if (param.shared->toning_saved_cursor == nullptr) param.shared->toning_saved_cursor = GetCursor();
    wanted = LoadCursorA(pages::ResourceModuleOf(param), MAKEINTRESOURCEA(kToningCursor));
  } else {
    wanted = param.shared->toning_saved_cursor;
  }
  if (wanted != nullptr && wanted != GetCursor()) SetCursor(wanted);
}

}  // namespace kalimu::dialogs::advanced
