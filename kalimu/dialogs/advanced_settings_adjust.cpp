// The adjustment rows of the advanced settings dialog: the six colour-adjust rows (label 2060+i,
// slider 2070+i, edit 2080+i, sign box 2090+i) and the five toning rows that share their edit
// handling (edit 8510+r, slider 8515+r, sign box 8540+r).
#include <cstdlib>

#include "kalimu/dialogs/advanced_settings_parts.h"
#include "kalimu/dialogs/advanced_settings_rules.h"
#include "kalimu/pages/track_bar.h"

namespace kalimu::dialogs::advanced {
namespace {

struct AdjustRow {
  int edit;
  int sign;
  int slider;
  int item;
  bool negated;  // rows 3-5 show the item negated
  int slot;      // PageShared edit-state word
  bool fade;     // toning row 4: "+" means "-", values down to -50
};

constexpr int kToningItems[5] = {0, 1, 6, 7, 8};

bool FindRow(int control_id, AdjustRow* row) {
  for (int i = 0; i < 6; ++i) {
    if (control_id == 2080 + i || control_id == 2090 + i || control_id == 2070 + i) {
      *row = {2080 + i, 2090 + i, 2070 + i, i, i >= 3, pages::kColorAdjustEdit0 + i, false};
      return true;
    }
  }
  for (int r = 0; r < 5; ++r) {
    if (control_id == 8510 + r || control_id == 8540 + r || control_id == 8515 + r) {
      *row = {8510 + r, 8540 + r, 8515 + r, kToningItems[r], false, pages::kToningEdit0 + r, r == 4};
      return true;
    }
  }
  return false;
}

uint16_t& StateOf(const PageParam& param, const AdjustRow& row) { return param.shared->adjust_edit_states[row.slot]; }

void SetFlag(uint16_t& state, uint16_t flag, bool on) {
  state = on ? static_cast<uint16_t>(state | flag) : static_cast<uint16_t>(state & ~flag);
}

// Writes the edit's text while EN_CHANGE is told to ignore it, the caret after the last character.
void PutEditText(HWND dialog, const PageParam& param, const AdjustRow& row, const char* text) {
  uint16_t& state = StateOf(param, row);
  SetFlag(state, pages::kEditProgramText, true);
  SetDlgItemTextA(dialog, row.edit, text);
  const LRESULT length = SendDlgItemMessageA(dialog, row.edit, WM_GETTEXTLENGTH, 0, 0);
  SendDlgItemMessageA(dialog, row.edit, EM_SETSEL, static_cast<WPARAM>(length), length);
  SetFlag(state, pages::kEditProgramText, false);
}

void PutEditNumber(HWND dialog, const PageParam& param, const AdjustRow& row, int32_t value) {
  uint16_t& state = StateOf(param, row);
  SetFlag(state, pages::kEditProgramText, true);
  SetDlgItemInt(dialog, row.edit, static_cast<UINT>(std::abs(value)), TRUE);
  SetFlag(state, pages::kEditProgramText, false);
}

}  // namespace

int32_t ShownAdjustValue(const PageParam& param, int control_id) {
  AdjustRow row{};
  if (!FindRow(control_id, &row)) return 0;
  const int32_t raw = param.settings->GetAdjustment(row.item);
  if (raw == kAdjustMinusMarker) return raw;
  return row.negated ? -raw : raw;
}

// The marker is kept as it is on every row; other values are negated where the row shows them so.
void StoreShownAdjustValue(const PageParam& param, int control_id, int32_t value) {
  AdjustRow row{};
  if (!FindRow(control_id, &row)) return;
  const int32_t raw = value == kAdjustMinusMarker || !row.negated ? value : -value;
  param.settings->SetAdjustment(row.item, raw);
}

void ShowColorAdjustRowValues(HWND dialog, const PageParam& param) {
  for (int i = 0; i < 6; ++i) {
    AdjustRow row{};
    FindRow(2080 + i, &row);
    const int32_t d = AdjustValueOrZero(ShownAdjustValue(param, row.edit));
    PutEditNumber(dialog, param, row, d);
    SendTrackBar(dialog, row.slider, pages::kTrackSetPosition, d + kAdjustLimit);
  }
}

void InitAdjustSlider(HWND dialog, const PageParam& param, int slider, int32_t position) {
  if (param.context != nullptr && param.context->notification_style != 0) {
    SendTrackBar(dialog, slider, pages::kTrackSetNotificationStyle, 0);
  }
  SendTrackBar(dialog, slider, pages::kTrackSetRange, MAKELPARAM(0, 50));
  SendTrackBar(dialog, slider, pages::kTrackSetPageStep, 5);
  SendTrackBar(dialog, slider, pages::kTrackSetPosition, position);
  SendTrackBar(dialog, slider, pages::kTrackSetTickMarks, 0);
  SendTrackBar(dialog, slider, pages::kTrackSetMark, 25);
}

void InitColorAdjustRows(HWND dialog, const PageParam& param) {
  for (int i = 0; i < 6; ++i) InitAdjustSlider(dialog, param, 2070 + i, 25);
  ShowColorAdjustRowValues(dialog, param);
}

void OnColorAdjustEdit(HWND dialog, const PageParam& param, int control_id, int code) {
  AdjustRow row{};
  if (!FindRow(control_id, &row)) return;
  uint16_t& state = StateOf(param, row);
  int32_t d = ShownAdjustValue(param, control_id);
  if (code == EN_CHANGE) {
    // Text the dialog writes itself (a slider's move, a refresh) is no change by the user.
    if ((state & pages::kEditProgramText) != 0) return;
    ClearUserEntry(param);
    char text[4] = {};
    GetDlgItemTextA(dialog, row.edit, text, sizeof(text));
    const int32_t limit = row.fade && HasToning(*param.settings) ? kFadeLimit : kAdjustLimit;
    const AdjustEditResult r = FilterAdjustEditText(text, (state & pages::kEditNegative) != 0, d, row.fade, limit);
    const bool bare = r.text[0] == '\0' || (r.text[0] == '0' && r.text[1] == '\0');
    if (r.text_changed || bare) PutEditText(dialog, param, row, r.text);
    d = r.value;
    SetFlag(state, pages::kEditNegative, r.negative);
    // The sign box and the slider follow the new value.
    StoreShownAdjustValue(param, control_id, d);
    Repaint(dialog, row.sign);
    SendTrackBar(dialog, row.slider, pages::kTrackSetPosition, r.slider);
  } else if (code == EN_KILLFOCUS) {
    if (d == kAdjustMinusMarker) d = 0;
    PutEditNumber(dialog, param, row, d);
    Repaint(dialog, row.sign);
  }
  StoreShownAdjustValue(param, control_id, d);
}

void OnColorAdjustSignClick(HWND dialog, const PageParam& param, int control_id) {
  AdjustRow row{};
  if (!FindRow(control_id, &row)) return;
  ClearUserEntry(param);
  const int32_t d = -AdjustValueOrZero(ShownAdjustValue(param, control_id));
  SetFlag(StateOf(param, row), pages::kEditNegative, d < 0);
  StoreShownAdjustValue(param, control_id, d);
  Repaint(dialog, row.sign);
  SendTrackBar(dialog, row.slider, pages::kTrackSetPosition, d + kAdjustLimit);
}

void OnColorAdjustSlider(HWND dialog, const PageParam& param, int i) {
  AdjustRow row{};
  if (!FindRow(2070 + i, &row)) return;
  const auto p = static_cast<int32_t>(SendDlgItemMessageA(dialog, row.slider, WM_USER, pages::kTrackGetPosition, 0));
  PutEditNumber(dialog, param, row, p - kAdjustLimit);
  param.settings->SetAdjustment(row.item, row.negated ? kAdjustLimit - p : p - kAdjustLimit);
  Repaint(dialog, row.sign);
}

}  // namespace kalimu::dialogs::advanced
