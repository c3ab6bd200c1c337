// The slider adjustment dialog: track bars, value edits, sign buttons, combos, defaults, OK and
// Cancel.
#include "kalimu/dialogs/slider_adjust_dialog.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kalimu/dialogs/dialog_services.h"
#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/page_access.h"
#include "kalimu/pages/tooltips.h"
#include "kalimu/pages/track_bar.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::dialogs {
namespace {

using settings::JobSettings;

constexpr uint16_t kTips = pages::kSliderAdjustTips;
constexpr DWORD kDialogHelpContext = 6144;
constexpr DWORD kHelpTable[] = {
    2750, 6144, 2780, 6149, 2790, 6149, 2770, 6149, 2751, 6149, 2758, 6149, 2759, 6149, 2760, 6149,
    2752, 6160, 2781, 6160, 2771, 6160, 2761, 6160, 2762, 6160, 2763, 6160, 2753, 6165, 2782, 6165,
    2791, 6165, 2764, 6165, 2765, 6165, 2772, 6165, 2769, 6165, 2754, 6176, 2783, 6176, 2768, 6176,
    2755, 6181, 2773, 6181, 2795, 6181, 2796, 6181, 2797, 6181, 2798, 6181, 2799, 6181, 2756, 6192,
    2766, 6192, 8214, 6197, 8203, 6197, 8215, 6208, 8209, 6208, 2778, 5, 2779, 16, 2757, 6144, 2767, 37, 0, 0};
constexpr int32_t kInkLimits[] = {100, 84, 66, 50, 34};
constexpr int kDryingLimit = 50;
constexpr int kSuctionLow = 1, kSuctionHigh = 15;

// The two signed rows: value 1 (density) and value 2 (feed adjustment).
struct SignedRow {
  int edit, bar, sign, slot;
  int32_t limit;
  int32_t (*get)(JobSettings&);
  void (*set)(JobSettings&, int32_t);
};
constexpr SignedRow kSignedRows[] = {
    {kDensityEdit, kDensityBar, kDensitySign, pages::kSliderAdjustEdit0, 50,
     [](JobSettings& s) { return static_cast<int32_t>(s.GetMediaTuning1()); },
     [](JobSettings& s, int32_t v) { s.SetMediaTuning1(v); }},
    {kFeedAdjustEdit, kFeedAdjustBar, kFeedAdjustSign, pages::kSliderAdjustEdit0 + 1, 70,
     [](JobSettings& s) { return static_cast<int32_t>(s.GetMediaTuning2()); },
     [](JobSettings& s, int32_t v) { s.SetMediaTuning2(v); }},
};
constexpr int kSuctionSlot = pages::kSliderAdjustEdit0 + 2;

const SignedRow* RowOf(int id) {
  for (const SignedRow& row : kSignedRows) {
    if (row.edit == id || row.bar == id || row.sign == id) return &row;
  }
  return nullptr;
}

// The combos: control, first string, item count, value getter and setter.
struct ComboRow {
  int combo;
  int first_string;
  int count;
  int32_t (*get)(JobSettings&);
  void (*set)(JobSettings&, int32_t);
};
constexpr int kHeadHeightStrings[] = {8152, 8153, 8156, 8157};
constexpr ComboRow kComboRows[] = {
    {kHeadHeightCombo, 0, 4, [](JobSettings& s) { return static_cast<int32_t>(s.GetMediaTuning6()); },
     [](JobSettings& s, int32_t v) { s.SetMediaTuning6(static_cast<uint32_t>(v)); }},
    {kThicknessCombo, 8204, 5, [](JobSettings& s) { return static_cast<int32_t>(s.GetMediaTuning8()); },
     [](JobSettings& s, int32_t v) { s.SetMediaTuning8(static_cast<uint32_t>(v)); }},
    {kDryModeCombo, 8210, 4, [](JobSettings& s) { return static_cast<int32_t>(s.GetMediaTuning9()); },
     [](JobSettings& s, int32_t v) { s.SetMediaTuning9(static_cast<uint32_t>(v)); }},
};

LRESULT BarCommand(HWND dialog, int bar, WPARAM command, LPARAM value = 0) {
  return SendDlgItemMessageA(dialog, bar, WM_USER, command, value);
}

uint16_t& State(const PageParam& param, int slot) { return param.shared->adjust_edit_states[slot]; }

// The program's own write of an edit: its EN_CHANGE is ignored.
void WriteQuietly(HWND dialog, const PageParam& param, int slot, int edit, const char* text) {
  State(param, slot) |= pages::kEditProgramText;
  SetDlgItemTextA(dialog, edit, text);
  State(param, slot) &= static_cast<uint16_t>(~pages::kEditProgramText);
}

void WriteNumberQuietly(HWND dialog, const PageParam& param, int slot, int edit, int32_t value) {
  char text[16] = {};
  std::snprintf(text, sizeof(text), "%ld", static_cast<long>(value));
  WriteQuietly(dialog, param, slot, edit, text);
}

void SetNegative(const PageParam& param, int slot, bool negative) {
  if (negative) {
    State(param, slot) |= pages::kEditNegative;
  } else {
    State(param, slot) &= static_cast<uint16_t>(~pages::kEditNegative);
  }
}

void Repaint(HWND dialog, int id) { InvalidateRect(GetDlgItem(dialog, id), nullptr, TRUE); }

// A signed row shown from its value: the magnitude (empty for the marker), the bar, the sign.
void ShowSignedRow(HWND dialog, const PageParam& param, const SignedRow& row) {
  const int32_t value = row.get(*param.settings);
  if (value == kEmptyNegative) {
    WriteQuietly(dialog, param, row.slot, row.edit, "");
  } else {
    WriteNumberQuietly(dialog, param, row.slot, row.edit, value < 0 ? -value : value);
  }
  const int32_t shown = value < -row.limit ? 0 : value;
  BarCommand(dialog, row.bar, pages::kTrackSetPosition, shown + row.limit);
  SetNegative(param, row.slot, value < 0);
  Repaint(dialog, row.sign);
}

void SelectCombo(HWND dialog, const ComboRow& row, int32_t value) {
  SendDlgItemMessageA(dialog, row.combo, CB_SETCURSEL, static_cast<WPARAM>(value >= 0 && value < row.count ? value : -1),
                      0);
}

void SetUpBar(HWND dialog, const PageParam& param, int bar, int low, int high, int page, int mark, bool ticks) {
  if (param.context != nullptr && param.context->notification_style == 1) {
    BarCommand(dialog, bar, pages::kTrackSetNotificationStyle, 0);
  }
  BarCommand(dialog, bar, pages::kTrackSetRange, MAKELPARAM(low, high));
  BarCommand(dialog, bar, pages::kTrackSetPageStep, page);
  BarCommand(dialog, bar, pages::kTrackSetTickMarks, ticks ? 1 : 0);
  BarCommand(dialog, bar, pages::kTrackSetMark, mark);
}

void DrawSign(HWND dialog, const PageParam& param, const DRAWITEMSTRUCT* item) {
  const SignedRow* row = RowOf(static_cast<int>(item->CtlID));
  if (row == nullptr) return;
  const bool negative = row->get(*param.settings) < 0;
  SetNegative(param, row->slot, negative);
  HDC dc = item->hDC;
  const COLORREF old_background = SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  const COLORREF old_text = SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  const RECT& box = item->rcItem;
  const int x = box.left + (LOWORD(GetDialogBaseUnits()) / 4) * 2;
  const int y = box.top + ((box.bottom - box.top) - metrics.tmHeight) / 2;
  ExtTextOutA(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &box, negative ? "-" : "+", 1, nullptr);
  SetBkColor(dc, old_background);
  SetTextColor(dc, old_text);
  pages::DrawItemFrame(item, GetSysColor(COLOR_WINDOW), FALSE);
}

}  // namespace

int InkLimitPosition(int32_t value) {
  if (value >= 92) return 0;
  if (value >= 75) return 1;
  if (value >= 58) return 2;
  if (value >= 42) return 3;
  return 4;
}

int32_t InkLimitValue(int position) { return kInkLimits[position < 0 ? 0 : position > 4 ? 4 : position]; }

void InitSliderAdjustDialog(HWND dialog, PageParam& param) {
  JobSettings& settings = *param.settings;
  pages::StorePageParam(dialog, &param);
  TakeDevModeSnapshot(param, &param.shared->inner_dialog_snapshot);
  SetUpBar(dialog, param, kDensityBar, 0, 100, 10, 50, false);
  SetUpBar(dialog, param, kDryingBar, 0, 50, 5, 25, false);
  SetUpBar(dialog, param, kFeedAdjustBar, 0, 140, 5, 70, false);
  SetUpBar(dialog, param, kInkLimitBar, 0, 4, 1, 0, true);
  for (const SignedRow& row : kSignedRows) ShowSignedRow(dialog, param, row);
  const auto drying = static_cast<int32_t>(settings.GetMediaTuning3());
  SetDlgItemInt(dialog, kDryingEdit, static_cast<UINT>(drying), FALSE);
  BarCommand(dialog, kDryingBar, pages::kTrackSetPosition, drying);
  WriteNumberQuietly(dialog, param, kSuctionSlot, kSuctionEdit, static_cast<int32_t>(settings.GetMediaTuning4()));
  BarCommand(dialog, kInkLimitBar, pages::kTrackSetPosition,
             InkLimitPosition(static_cast<int32_t>(settings.GetMediaTuning5())));
  for (const ComboRow& row : kComboRows) {
    for (int k = 0; k < row.count; ++k) {
      char text[128] = {};
      const int string_id = row.first_string != 0 ? row.first_string + k : kHeadHeightStrings[k];
      pages::LoadPageString(param, static_cast<UINT>(string_id), text, sizeof(text));
      const LRESULT item = SendDlgItemMessageA(dialog, row.combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
      SendDlgItemMessageA(dialog, row.combo, CB_SETITEMDATA, static_cast<WPARAM>(item), k);
    }
    SelectCombo(dialog, row, row.get(settings));
  }
  pages::InstallToolTips(dialog, kTips);
}

void OnSliderBar(HWND dialog, PageParam& param, int bar_id) {
  JobSettings& settings = *param.settings;
  const int position = static_cast<int>(BarCommand(dialog, bar_id, pages::kTrackGetPosition));
  if (const SignedRow* row = RowOf(bar_id); row != nullptr) {
    const int32_t value = position - row->limit;
    row->set(settings, value);
    WriteNumberQuietly(dialog, param, row->slot, row->edit, value < 0 ? -value : value);
    SetNegative(param, row->slot, value < 0);
    Repaint(dialog, row->sign);
  } else if (bar_id == kDryingBar) {
    settings.SetMediaTuning3(static_cast<uint32_t>(position));
    SetDlgItemInt(dialog, kDryingEdit, static_cast<UINT>(position), FALSE);
  } else if (bar_id == kInkLimitBar) {
    settings.SetMediaTuning5(static_cast<uint32_t>(InkLimitValue(position)));
  }
}

void OnSignedEditChange(HWND dialog, PageParam& param, int edit_id) {
  const SignedRow& row = *RowOf(edit_id);
  if ((State(param, row.slot) & pages::kEditProgramText) != 0) return;
  JobSettings& settings = *param.settings;
  char text[4] = {};
  GetDlgItemTextA(dialog, edit_id, text, sizeof(text));  // at most 3 characters
  bool negative = (State(param, row.slot) & pages::kEditNegative) != 0;
  char digits[4] = {};
  size_t count = 0;
  bool rewrite = false;
  for (const char* c = text; *c != '\0'; ++c) {
    if (std::isdigit(static_cast<unsigned char>(*c))) {
      digits[count++] = *c;
    } else {
      if (*c == '+') negative = false;
      if (*c == '-') negative = true;
      rewrite = true;
    }
  }
  int32_t magnitude = 0;
  int32_t value = 0;
  if (count == 0 || (count == 1 && digits[0] == '0')) {
    value = negative ? kEmptyNegative : 0;
    magnitude = -1;  // the text keeps what the user left
  } else if (count == 3) {
    const int32_t current = row.get(settings);
    magnitude = current == kEmptyNegative ? 0 : (current < 0 ? -current : current);
    value = negative ? -magnitude : magnitude;
    rewrite = true;
  } else {
    magnitude = std::atoi(digits);
    if (magnitude > row.limit) {
      magnitude = row.limit;
      rewrite = true;
    }
    value = negative ? -magnitude : magnitude;
  }
  if (rewrite) {
    if (magnitude < 0) {
      WriteQuietly(dialog, param, row.slot, edit_id, digits);
    } else {
      WriteNumberQuietly(dialog, param, row.slot, edit_id, magnitude);
    }
    SendDlgItemMessageA(dialog, edit_id, EM_SETSEL, 3, 3);
  }
  row.set(settings, value);
  BarCommand(dialog, row.bar, pages::kTrackSetPosition, (value == kEmptyNegative ? 0 : value) + row.limit);
  SetNegative(param, row.slot, negative);
  Repaint(dialog, row.sign);
}

void OnSignedEditKillFocus(HWND dialog, PageParam& param, int edit_id) {
  const SignedRow& row = *RowOf(edit_id);
  JobSettings& settings = *param.settings;
  int32_t value = row.get(settings);
  if (value == kEmptyNegative) {
    value = 0;
    row.set(settings, 0);
  }
  WriteNumberQuietly(dialog, param, row.slot, edit_id, value < 0 ? -value : value);
  SetNegative(param, row.slot, value < 0);
  Repaint(dialog, row.sign);
}

void OnSignButton(HWND dialog, PageParam& param, int sign_id) {
  const SignedRow& row = *RowOf(sign_id);
  JobSettings& settings = *param.settings;
  int32_t old_value = row.get(settings);
  if (old_value < -row.limit) {  // the marker counts as the lowest value
    old_value = -row.limit;
    WriteNumberQuietly(dialog, param, row.slot, row.edit, row.limit);
  }
  row.set(settings, -old_value);
  SetNegative(param, row.slot, -old_value < 0);
  BarCommand(dialog, row.bar, pages::kTrackSetPosition, row.limit - old_value);
  Repaint(dialog, sign_id);
}

void OnDryingEdit(HWND dialog, PageParam& param, bool leaving) {
  BOOL readable = FALSE;
  int32_t value = static_cast<int32_t>(GetDlgItemInt(dialog, kDryingEdit, &readable, TRUE));
  if (!readable && !leaving) return;
  int32_t fixed = readable ? value : 0;
  if (fixed > kDryingLimit) fixed = kDryingLimit;
  if (leaving && fixed < 0) fixed = 0;
  if (!readable || fixed != value) SetDlgItemInt(dialog, kDryingEdit, static_cast<UINT>(fixed), TRUE);
  if (fixed < 0) return;  // still being typed
  param.settings->SetMediaTuning3(static_cast<uint32_t>(fixed));
  BarCommand(dialog, kDryingBar, pages::kTrackSetPosition, fixed);
}

void OnSuctionEdit(HWND dialog, PageParam& param, bool leaving) {
  JobSettings& settings = *param.settings;
  if (leaving) {
    WriteNumberQuietly(dialog, param, kSuctionSlot, kSuctionEdit, static_cast<int32_t>(settings.GetMediaTuning4()));
    return;
  }
  if ((State(param, kSuctionSlot) & pages::kEditProgramText) != 0) return;
  BOOL readable = FALSE;
  const int32_t value = static_cast<int32_t>(GetDlgItemInt(dialog, kSuctionEdit, &readable, TRUE));
  if (!readable) return;
  const int32_t fixed = value > kSuctionHigh ? kSuctionHigh : value < kSuctionLow ? kSuctionLow : value;
  if (fixed != value) WriteNumberQuietly(dialog, param, kSuctionSlot, kSuctionEdit, fixed);
  settings.SetMediaTuning4(static_cast<uint32_t>(fixed));
}

void OnTuningCombo(HWND dialog, PageParam& param, int combo_id, int code) {
  if (code == CBN_SELCHANGE) return;
  for (const ComboRow& row : kComboRows) {
    if (row.combo != combo_id) continue;
    const LRESULT item = SendDlgItemMessageA(dialog, combo_id, CB_GETCURSEL, 0, 0);
    if (item == CB_ERR) return;  // no selection is no value
    if (row.get(*param.settings) != static_cast<int32_t>(item)) row.set(*param.settings, static_cast<int32_t>(item));
  }
}

void ApplySliderDefaults(HWND dialog, PageParam& param) {
  JobSettings& settings = *param.settings;
  for (const SignedRow& row : kSignedRows) {
    row.set(settings, 0);
    ShowSignedRow(dialog, param, row);
  }
  settings.SetMediaTuning3(0);
  SetDlgItemInt(dialog, kDryingEdit, 0, FALSE);
  BarCommand(dialog, kDryingBar, pages::kTrackSetPosition, 0);
  settings.UpdateMediaFeedValue();
  WriteNumberQuietly(dialog, param, kSuctionSlot, kSuctionEdit, static_cast<int32_t>(settings.GetMediaTuning4()));
  BarCommand(dialog, kInkLimitBar, pages::kTrackSetPosition, 0);
  settings.SetMediaTuning5(100);
  settings.SetMediaTuning6(0);
  const uint16_t media = settings.GetCurrentMediaIndex();
  const int32_t source = static_cast<int32_t>(settings.GetDefaultSource());
  uint32_t thickness = 0;
  if (source == 256 || source == 257 || source == 530 || source == 531) {
    settings.GetMediaTypeValue21(media, &thickness);
  } else {
    settings.GetMediaTypeValue20(media, &thickness);
  }
  settings.SetMediaTuning8(thickness);
  uint32_t dry_mode = 0;
  if (source == 4 || source == 258) settings.GetMediaTypeValue22(media, &dry_mode);
  settings.SetMediaTuning9(dry_mode);
  // The combos show the values now stored.
  for (const ComboRow& row : kComboRows) SelectCombo(dialog, row, row.get(settings));
}

INT_PTR CALLBACK SliderAdjustDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    InitSliderAdjustDialog(dialog, *reinterpret_cast<PageParam*>(lparam));
    return TRUE;
  }
  if (message == WM_MEASUREITEM) {  // arrives before WM_INITDIALOG
    pages::MeasureComboItem(dialog, reinterpret_cast<MEASUREITEMSTRUCT*>(lparam));
    return FALSE;
  }
  PageParam* param = pages::PageParamOf(dialog);
  if (param == nullptr) return FALSE;
  if (HandleTipsAndHelp(dialog, message, wparam, lparam, *param, kTips, kHelpTable)) return FALSE;
  switch (message) {
    case WM_HSCROLL: {
      HWND bar = reinterpret_cast<HWND>(lparam);
      const int id = bar != nullptr && IsWindow(bar) && GetParent(bar) == dialog ? GetDlgCtrlID(bar)
                                                                                : HIWORD(static_cast<DWORD>(lparam));
      OnSliderBar(dialog, *param, id);
      return FALSE;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      const int code = HIWORD(wparam);
      switch (id) {
        case kDensityEdit:
        case kFeedAdjustEdit:
          if (code == EN_CHANGE) OnSignedEditChange(dialog, *param, id);
          if (code == EN_KILLFOCUS) OnSignedEditKillFocus(dialog, *param, id);
          break;
        case kDryingEdit:
          if (code == EN_CHANGE || code == EN_KILLFOCUS) OnDryingEdit(dialog, *param, code == EN_KILLFOCUS);
          break;
        case kSuctionEdit:
          if (code == EN_CHANGE || code == EN_KILLFOCUS) OnSuctionEdit(dialog, *param, code == EN_KILLFOCUS);
          break;
        case kDensitySign:
        case kFeedAdjustSign:
          if (code == BN_CLICKED) OnSignButton(dialog, *param, id);
          break;
        case kInkLimitBar: OnSliderBar(dialog, *param, kInkLimitBar); break;
        case kHeadHeightCombo:
        case kThicknessCombo:
        case kDryModeCombo: OnTuningCombo(dialog, *param, id, code); break;
        case kSliderDefaults: ApplySliderDefaults(dialog, *param); break;
        case kSliderHelp: ShowHelpTopic(dialog, *param, kDialogHelpContext); break;
        case kSliderOk:
          param->settings->SetMediaTuningFlags(param->settings->GetMediaTuningFlags() | 1u);
          param->shared->user_entry_applied = 0;
          param->shared->user_entry_index = 0;
          pages::RemoveToolTipHook(kTips);
          FreeDevModeSnapshot(&param->shared->inner_dialog_snapshot);
          EndSettingsDialog(dialog, 1);
          break;
        case kSliderCancel:
        case IDCANCEL:
          CancelDialogSnapshot(dialog, *param, &param->shared->inner_dialog_snapshot, kTips, 0);
          break;
        default: break;
      }
      return FALSE;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item->CtlType == ODT_BUTTON) DrawSign(dialog, *param, item);
      return FALSE;
    }
    default:
      return FALSE;
  }
}

}  // namespace kalimu::dialogs
