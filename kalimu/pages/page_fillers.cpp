// The print-quality and watermark combos, and the colour-adjustment items of the advanced and
// monochrome-toning dialogs.
#include <windows.h>

#include <array>
#include <string>

#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::pages {

namespace {

constexpr int kQualityString = 1400;     // + level 0..5
constexpr int kQualityLevel10String = 1406;
constexpr int kNoWatermarkString = 1880;
constexpr int kWatermarkCombo = 2422;

std::string LoadText(PageParam* param, int id) {
  char text[256] = {};
  if (param->shared != nullptr) LoadStringA(param->shared->resource_module, static_cast<UINT>(id), text, sizeof(text));
  return text;
}

LRESULT AddItem(HWND combo, const std::string& text, LPARAM data) {
  const LRESULT index = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (index >= 0) SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
  return index;
}

bool SelectText(HWND combo, const std::string& text) {
  const LRESULT index = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(text.c_str()));
  if (index < 0) return false;
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  return true;
}

std::string QualityText(PageParam* param, int32_t level) {
  return LoadText(param, level > 5 ? kQualityLevel10String : kQualityString + level);
}

// One colour-adjustment row: edit or sign box id -> edit-state word, adjustment number, shown
// negated, sign box, slider.
struct AdjustRow {
  int edit;
  int sign;
  int state_slot;
  int number;
  bool negated;
  int slider;
};
constexpr std::array<AdjustRow, 11> kAdjustRows = {{
    {2080, 2090, 0, 0, false, 2070}, {2081, 2091, 1, 1, false, 2071}, {2082, 2092, 2, 2, false, 2072},
    {2083, 2093, 3, 3, true, 2073},  {2084, 2094, 4, 4, true, 2074},  {2085, 2095, 5, 5, true, 2075},
    {8510, 8540, 6, 0, false, 8515}, {8511, 8541, 7, 1, false, 8516}, {8512, 8542, 8, 6, false, 8517},
    {8513, 8543, 9, 7, false, 8518}, {8514, 8544, 10, 8, false, 8519},
}};
static_assert(kAdjustRows.back().state_slot < kAdjustEditSlots);

const AdjustRow* FindAdjustRow(int control_id) {
  for (const AdjustRow& row : kAdjustRows) {
    if (row.edit == control_id || row.sign == control_id) return &row;
  }
  return nullptr;
}

constexpr int kFixedMinusSign = 8544;  // the fade item is never positive

}  // namespace

void FillPrintQualityCombo(HWND dialog, PageParam* param, int combo_id, int flag) {
  settings::JobSettings* s = param->settings;
  if (s->TestModelHeaderFlags20(0x8000000)) return;
  HWND combo = GetDlgItem(dialog, combo_id);
  const uint16_t mode = s->GetCurrentModeIndex();
  const auto variant = s->GetModeVariant();
  int32_t mask = 0;
  if (variant == 1) {
    s->GetPrintModeValue76(s->FindModeIndexForVariant1(mode), &mask);
  } else if (variant == 2) {
    s->GetPrintModeValue204(s->FindModeIndexForVariant2(mode), &mask);
  } else {
    s->GetPrintModeValue140(s->FindModeIndexForVariant0(mode), &mask);
  }
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  const bool outer_levels = flag == 0 && !s->IsHalftoneOptionChecked();
  for (int n = 5; n >= 0; --n) {
    if (!(mask & (1 << n))) continue;
    if ((n == 0 || n == 5) && !outer_levels) continue;
    AddItem(combo, LoadText(param, kQualityString + n), n);
  }
  if (mask & 0x400) AddItem(combo, LoadText(param, kQualityLevel10String), 10);

  const int32_t level =
      s->IsSpecialQualityLevel() ? s->GetModeQualityLevel() : static_cast<int32_t>(s->GetQualityLevel());
  if (SelectText(combo, QualityText(param, level))) return;
  if (variant == 1) {
    s->ApplyModeQualityLevel();
    if (!SelectText(combo, QualityText(param, static_cast<int32_t>(s->GetQualityLevel())))) {
      AddItem(combo, LoadText(param, kQualityString), 0);
      SendMessageA(combo, CB_SETCURSEL, 0, 0);
    }
    if (s->GetColorMode() == 4) s->SetQualityLevel(3);
  } else if (variant == 0) {
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  }
}

int FillWatermarkCombo(HWND dialog, PageParam* param) {
  HWND combo = GetDlgItem(dialog, kWatermarkCombo);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  AddItem(combo, LoadText(param, kNoWatermarkString), -1);
  storage::WatermarkStore& store = *param->settings;
  uint32_t count = 0;
  store.GetEntryCount(&count);
  for (uint32_t i = 0; i < count && i <= 0xFFFF; ++i) {
    char name[64] = {};
    store.GetEntryName(static_cast<uint16_t>(i), name, sizeof(name));
    AddItem(combo, name, static_cast<LPARAM>(i));
  }
  const int line =
      param->settings->IsWatermarkOn() ? static_cast<int>(param->settings->GetWatermarkIndex()) + 1 : 0;
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(line), 0);
  return 1;
}

int GetColorAdjustItem(PageParam* param, int control_id, ColorAdjustItem* item) {
  *item = ColorAdjustItem{};
  const AdjustRow* row = FindAdjustRow(control_id);
  if (row == nullptr) return 0;
  item->edit_state = param->shared != nullptr ? param->shared->adjust_edit_states[row->state_slot] : 0;
  const int32_t value = param->settings->GetAdjustment(row->number);
  item->value = row->negated ? -value : value;
  item->sign_box = row->sign;
  item->slider = row->slider;
  return 1;
}

void SetColorAdjustState(PageParam* param, int control_id, uint16_t edit_state) {
  const AdjustRow* row = FindAdjustRow(control_id);
  if (row != nullptr && param->shared != nullptr) param->shared->adjust_edit_states[row->state_slot] = edit_state;
}

void SetColorAdjustValue(PageParam* param, int control_id, int32_t value) {
  const AdjustRow* row = FindAdjustRow(control_id);
  if (row != nullptr) param->settings->SetAdjustment(row->number, row->negated ? -value : value);
}

int PrepareAdjustSignItem(const DRAWITEMSTRUCT* item, PageParam* param, COLORREF* old_background, char* sign) {
  const int id = static_cast<int>(item->CtlID);
  ColorAdjustItem adjust;
  GetColorAdjustItem(param, id, &adjust);
  uint16_t state = adjust.edit_state;
  if (adjust.value < 0 || id == kFixedMinusSign) {
    *sign = '-';
    state |= kEditNegative;
  } else {
    *sign = '+';
    state &= static_cast<uint16_t>(~kEditNegative);
  }
  SetColorAdjustState(param, id, state);
  const bool may_change = param->context != nullptr && param->context->may_change != 0;
  const bool active = (state & kEditActive) != 0 && may_change;
  *old_background = SetBkColor(item->hDC, GetSysColor(active ? COLOR_WINDOW : COLOR_BTNFACE));
  return active ? 1 : 0;
}

void GetCorrectionSettings(PageParam* param, imaging::CorrectionSettings* out) {
  const settings::JobSettings& s = *param->settings;
  out->Size = imaging::kCorrectionSettingsSize;
  out->Class = imaging::kSampleClass;
  const int32_t mode = static_cast<int32_t>(s.GetCorrectionMode());
  if (mode == -1 || (mode >= 0 && mode <= 9)) out->Mode = mode;
  const int32_t level = static_cast<int32_t>(s.GetCorrectionLevel());
  if (level >= -1 && level <= 3) out->Level = level;
  const int32_t strength = static_cast<int32_t>(s.GetCorrectionStrength());
  if (strength >= 1 && strength <= 3) out->Strength = (strength - 1) * 5;
  const int32_t option = static_cast<int32_t>(s.GetCorrectionOption());
  if (option >= 0 && option <= 2) out->Option = option;
  out->Flags = static_cast<int32_t>(s.GetCorrectionFlags());
}

}  // namespace kalimu::pages
