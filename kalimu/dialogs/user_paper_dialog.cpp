// The user paper size dialog's controls, commands and list drawing.
#include "kalimu/dialogs/user_paper_dialog.h"

#include <commctrl.h>

#include <cstring>

#include "kalimu/dialogs/dialog_services.h"
#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/messages.h"
#include "kalimu/pages/page_access.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/pages/spin_steps.h"
#include "kalimu/pages/tooltips.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/storage/user_settings_records.h"

namespace kalimu::dialogs {
namespace {

constexpr uint16_t kTips = pages::kUserPaperSizeTips;
constexpr uint16_t kNoPosition = 0xFFFF;
constexpr int kNameBuffer = 256;

constexpr DWORD kHelpTable[] = {
    2550, 5888, 2570, 5893, 2551, 5893, 2571, 5904, 2552, 5904, 2572, 5909, 2556, 5909, 2557, 5909,
    2561, 5909, 2573, 5920, 2555, 5920, 2558, 5920, 2562, 5920, 2574, 5925, 2559, 5925, 2560, 5925,
    2566, 5925, 2567, 5925, 2553, 5936, 2554, 5941, 2569, kNoHelp, 2563, kNoHelp, 0, 0};
constexpr DWORD kDialogHelpContext = 5888;

void Enable(HWND dialog, int id, bool on) { EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE); }

LRESULT ListMessage(HWND dialog, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
  return SendDlgItemMessageA(dialog, kUserPaperList, message, wparam, lparam);
}

int Selection(HWND dialog) { return static_cast<int>(ListMessage(dialog, LB_GETCURSEL)); }

void NewSizeText(const PageParam& param, char* out, int size) {
  pages::LoadPageString(param, kNewSizeText, out, size);
}

void ReadName(HWND dialog, char* out, int size) { GetDlgItemTextA(dialog, kUserPaperName, out, size); }

bool OnlyBlanks(const char* text) {
  for (; *text != '\0'; ++text) {
    if (*text != ' ' && *text != '\t') return false;
  }
  return true;
}

// The program's own write of the name or a size: its EN_CHANGE is not an edit of the user.
void WriteQuietly(HWND dialog, PageParam& param, int id, const char* text) {
  param.shared->ignore_name_change = 1;
  SetDlgItemTextA(dialog, id, text);
  param.shared->ignore_name_change = 0;
}

void WriteSizeQuietly(HWND dialog, PageParam& param, int id, int32_t value) {
  param.shared->ignore_name_change = 1;
  SetDlgItemInt(dialog, id, static_cast<UINT>(value), TRUE);
  param.shared->ignore_name_change = 0;
}

bool ReadSize(HWND dialog, int id, int32_t* value) {
  BOOL ok = FALSE;
  *value = static_cast<int32_t>(GetDlgItemInt(dialog, id, &ok, TRUE));
  return ok != FALSE;
}

void ShowSizes(HWND dialog, PageParam& param, int32_t width, int32_t length, const SizeLimits& limits) {
  WriteSizeQuietly(dialog, param, kUserPaperWidth, ClampSize(width, limits.min_width, limits.max_width));
  WriteSizeQuietly(dialog, param, kUserPaperLength, ClampSize(length, limits.min_length, limits.max_length));
}

// Limits, radios, range texts and spin ranges of the current unit.
SizeLimits ShowUnitState(HWND dialog, const PageParam& param) {
  const SizeLimits limits = CurrentSizeLimits(*param.settings);
  const bool metric = param.settings->GetCustomPaperUnit() == kUnitMetric;
  CheckRadioButton(dialog, kUserPaperMetric, kUserPaperInch, metric ? kUserPaperMetric : kUserPaperInch);
  char range[64] = {};
  FormatSizeRange(limits.min_width, limits.max_width, range, sizeof(range));
  SetDlgItemTextA(dialog, kUserPaperWidthRange, range);
  FormatSizeRange(limits.min_length, limits.max_length, range, sizeof(range));
  SetDlgItemTextA(dialog, kUserPaperLengthRange, range);
  // The handler's limits bound the values, whether the spins are scroll bars or up-down controls.
  SendDlgItemMessageA(dialog, kUserPaperWidthSpin, UDM_SETRANGE, 0, MAKELPARAM(limits.max_width, limits.min_width));
  SendDlgItemMessageA(dialog, kUserPaperLengthSpin, UDM_SETRANGE, 0,
                      MAKELPARAM(limits.max_length, limits.min_length));
  for (int spin : {kUserPaperWidthSpin, kUserPaperLengthSpin}) pages::PrepareSpin(GetDlgItem(dialog, spin));
  return limits;
}

void NameStates(HWND dialog, const PageParam& param) {
  char name[kNameBuffer] = {};
  char fresh[kNameBuffer] = {};
  ReadName(dialog, name, sizeof(name));
  NewSizeText(param, fresh, sizeof(fresh));
  if (std::strcmp(name, fresh) == 0) {
    Enable(dialog, kUserPaperSave, false);
    Enable(dialog, kUserPaperDelete, false);
    Enable(dialog, IDOK, true);
  } else if (OnlyBlanks(name)) {
    Enable(dialog, kUserPaperSave, false);
    Enable(dialog, kUserPaperDelete, false);
  }
}

void UnitRefresh(HWND dialog, const PageParam& param) {
  ShowUnitState(dialog, param);
  if (CheckUserPaperName(dialog, param)) Enable(dialog, kUserPaperSave, true);
  Enable(dialog, IDOK, false);
  NameStates(dialog, param);
}

void FillList(HWND dialog, const PageParam& param) {
  ListMessage(dialog, LB_RESETCONTENT);
  char text[kNameBuffer] = {};
  NewSizeText(param, text, sizeof(text));
  const auto first = ListMessage(dialog, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  ListMessage(dialog, LB_SETITEMDATA, static_cast<WPARAM>(first), 100);
  uint32_t count = 0;
  param.settings->GetPaperCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    char name[32] = {};
    param.settings->GetPaperName(static_cast<uint16_t>(i), name, sizeof(name));
    const auto item = ListMessage(dialog, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    ListMessage(dialog, LB_SETITEMDATA, static_cast<WPARAM>(item), static_cast<LPARAM>(i));
  }
}

bool SourceTakes(JobSettings& settings, int store_index) {
  return settings.TestPaperFlags16(static_cast<uint16_t>(store_index), settings.GetSourceMask()) != 0;
}

// Item 0 selected with the new-size name, Save and Delete off, OK on.
void ShowNewSizeItem(HWND dialog, PageParam& param) {
  char fresh[kNameBuffer] = {};
  NewSizeText(param, fresh, sizeof(fresh));
  WriteQuietly(dialog, param, kUserPaperName, fresh);
  Enable(dialog, kUserPaperSave, false);
  Enable(dialog, kUserPaperDelete, false);
  Enable(dialog, IDOK, true);
  ListMessage(dialog, LB_SETCURSEL, 0);
}

}  // namespace

int CheckUserPaperName(HWND dialog, const PageParam& param) {
  char name[kNameBuffer] = {};
  ReadName(dialog, name, sizeof(name));
  const bool selected = Selection(dialog) != LB_ERR;
  if (IsModelPaperName(param, name)) {
    if (!selected) {
      Enable(dialog, kUserPaperSave, false);
      Enable(dialog, IDOK, false);
      Enable(dialog, kUserPaperDelete, false);
    }
    return 0;
  }
  if (!selected) {
    Enable(dialog, kUserPaperSave, true);
    Enable(dialog, IDOK, false);
  }
  const int found = FindUserPaper(*param.settings, name);
  if (found >= 0) {
    Enable(dialog, kUserPaperDelete, true);
    ListMessage(dialog, LB_SETCURSEL, static_cast<WPARAM>(found + 1));
  } else {
    Enable(dialog, kUserPaperDelete, false);
    ListMessage(dialog, LB_SETCURSEL, static_cast<WPARAM>(-1));
  }
  return 1;
}

void InitUserPaperDialog(HWND dialog, PageParam& param) {
  JobSettings& settings = *param.settings;
  pages::StorePageParam(dialog, &param);
  TakeDevModeSnapshot(param, &param.shared->dialog_snapshot);
  if (settings.GetPaperSize() != model::kCustomPaperId) {
    settings.ChangeCustomPaperUnit(JobSettings::IsMetricLocale() ? kUnitMetric : kUnitInch);
    UnitRefresh(dialog, param);
  }
  settings::ExtentPair size{};
  settings.GetCustomPaperSize(&size);
  const SizeLimits stored_limits = CurrentSizeLimits(settings);
  const bool inside = stored_limits.min_width <= size.width && size.width <= stored_limits.max_width &&
                      stored_limits.min_length <= size.height && size.height <= stored_limits.max_length;
  if (!inside) {
    // The locale's default paper may bring the locale's unit: the limits, radios and range texts
    // shown are those of the unit it leaves.
    settings.SelectLocaleDefaultPaper();
    settings.GetCustomPaperSize(&size);
  }
  const SizeLimits limits = ShowUnitState(dialog, param);
  ShowSizes(dialog, param, size.width, size.height, limits);

  FillList(dialog, param);
  char fresh[kNameBuffer] = {};
  NewSizeText(param, fresh, sizeof(fresh));
  SetDlgItemTextA(dialog, kUserPaperName, fresh);
  Enable(dialog, kUserPaperSave, false);
  const int selection = Selection(dialog);
  param.shared->last_paper_position = selection == LB_ERR ? kNoPosition : static_cast<uint16_t>(selection);

  Enable(dialog, kUserPaperDelete, false);
  ShowWindow(GetDlgItem(dialog, kUserPaperNotice), SW_HIDE);
  NameStates(dialog, param);
  param.shared->ignore_name_change = 0;
  pages::InstallToolTips(dialog, kTips);
}

void OnUserPaperNameChange(HWND dialog, PageParam& param) {
  if (param.shared->ignore_name_change != 0) {
    param.shared->ignore_name_change = 0;
    return;
  }
  ListMessage(dialog, LB_SETCURSEL, static_cast<WPARAM>(-1));
  char name[kNameBuffer] = {};
  ReadName(dialog, name, sizeof(name));
  if (std::strlen(name) > kUserPaperNameBytes) {
    platform::TruncateAnsiString(name, sizeof(name), kUserPaperNameBytes);
    WriteQuietly(dialog, param, kUserPaperName, name);
    SendDlgItemMessageA(dialog, kUserPaperName, EM_SETSEL, kUserPaperNameBytes, kUserPaperNameBytes);
  }
  if (!OnlyBlanks(name)) {
    Enable(dialog, kUserPaperSave, true);
    Enable(dialog, IDOK, false);
    CheckUserPaperName(dialog, param);
  } else {
    Enable(dialog, kUserPaperSave, false);
    Enable(dialog, kUserPaperDelete, false);
    ListMessage(dialog, LB_SETCURSEL, static_cast<WPARAM>(-1));
  }
}

void OnUserPaperSizeChange(HWND dialog, PageParam& param) {
  if (param.shared->ignore_name_change != 0) {
    param.shared->ignore_name_change = 0;
    return;
  }
  if (CheckUserPaperName(dialog, param)) Enable(dialog, kUserPaperSave, true);
  Enable(dialog, IDOK, false);
}

void OnUserPaperSizeKillFocus(HWND dialog, PageParam& param, int edit_id) {
  const SizeLimits limits = CurrentSizeLimits(*param.settings);
  const bool width = edit_id == kUserPaperWidth;
  const int32_t minimum = width ? limits.min_width : limits.min_length;
  const int32_t maximum = width ? limits.max_width : limits.max_length;
  int32_t value = 0;
  const bool readable = ReadSize(dialog, edit_id, &value);
  const int32_t fixed = readable ? ClampSize(value, minimum, maximum) : maximum;
  if (!readable || fixed != value) WriteSizeQuietly(dialog, param, edit_id, fixed);
  NameStates(dialog, param);
}

void OnUserPaperSpin(HWND dialog, PageParam& param, int spin_id, int code) {
  const SizeLimits limits = CurrentSizeLimits(*param.settings);
  const bool width = spin_id == kUserPaperWidthSpin;
  const int edit_id = width ? kUserPaperWidth : kUserPaperLength;
  const int32_t minimum = width ? limits.min_width : limits.min_length;
  const int32_t maximum = width ? limits.max_width : limits.max_length;
  int32_t value = 0;
  if (!ReadSize(dialog, edit_id, &value)) return;
  if (code == SB_LINEUP && value >= minimum && value < maximum) {
    SetDlgItemInt(dialog, edit_id, static_cast<UINT>(value + 1), TRUE);
  } else if (code == SB_LINEDOWN && value > minimum && value <= maximum) {
    SetDlgItemInt(dialog, edit_id, static_cast<UINT>(value - 1), TRUE);
  }
}

void OnUserPaperUnit(HWND dialog, PageParam& param, int radio_id) {
  JobSettings& settings = *param.settings;
  const int unit = radio_id == kUserPaperMetric ? kUnitMetric : kUnitInch;
  if (settings.GetCustomPaperUnit() == static_cast<uint32_t>(unit)) return;
  int32_t width = 0;
  int32_t length = 0;
  ReadSize(dialog, kUserPaperWidth, &width);
  ReadSize(dialog, kUserPaperLength, &length);
  settings.SetCustomPaperUnit(static_cast<uint32_t>(unit));
  const SizeLimits limits = CurrentSizeLimits(settings);
  ShowSizes(dialog, param, ConvertSizeUnit(width, unit), ConvertSizeUnit(length, unit), limits);
  UnitRefresh(dialog, param);
}

void OnUserPaperSelect(HWND dialog, PageParam& param) {
  JobSettings& settings = *param.settings;
  int position = Selection(dialog);
  if (position == LB_ERR) return;
  if (position >= 1 && !SourceTakes(settings, position - 1)) {
    const uint16_t last = param.shared->last_paper_position;
    position = last == kNoPosition ? 0 : last;
  }
  param.shared->last_paper_position = static_cast<uint16_t>(position);
  if (position == 0) {
    ShowNewSizeItem(dialog, param);
    WriteSizeQuietly(dialog, param, kUserPaperWidth, static_cast<int32_t>(settings.GetCustomPaperWidth()));
    WriteSizeQuietly(dialog, param, kUserPaperLength, static_cast<int32_t>(settings.GetCustomPaperLength()));
    return;
  }
  const auto index = static_cast<uint16_t>(position - 1);
  Enable(dialog, kUserPaperDelete, true);
  char name[32] = {};
  settings.GetPaperName(index, name, sizeof(name));
  WriteQuietly(dialog, param, kUserPaperName, name);
  settings::ExtentPair extent{};
  settings.GetPaperExtent(index, &extent, sizeof(extent));
  WriteSizeQuietly(dialog, param, kUserPaperWidth, extent.width);
  WriteSizeQuietly(dialog, param, kUserPaperLength, extent.height);
  Enable(dialog, kUserPaperSave, false);
  Enable(dialog, IDOK, true);
  settings.SetCustomPaperUnit(settings.TestPaperFlags4(index, 2) ? kUnitInch : kUnitMetric);
  ShowUnitState(dialog, param);
  ListMessage(dialog, LB_SETCURSEL, static_cast<WPARAM>(position));
  InvalidateRect(GetDlgItem(dialog, kUserPaperList), nullptr, TRUE);
}

void SaveUserPaper(HWND dialog, PageParam& param) {
  JobSettings& settings = *param.settings;
  char name[32] = {};
  char fresh[kNameBuffer] = {};
  ReadName(dialog, name, sizeof(name));
  NewSizeText(param, fresh, sizeof(fresh));
  if (std::strcmp(name, fresh) == 0) {
    pages::ShowSettingsMessage(dialog, param, MB_OK | MB_ICONEXCLAMATION, 6);
    return;
  }
  uint32_t count = 0;
  settings.GetPaperCount(&count);
  int index = FindUserPaper(settings, name);
  const bool added = index < 0;
  if (!added) {
    if (pages::ShowSettingsMessage(dialog, param, MB_OKCANCEL | MB_ICONQUESTION, 7) != IDOK) return;
  } else {
    uint32_t capacity = 0;
    settings.GetUserPaperCapacity(&capacity);
    if (count >= capacity) {
      pages::ShowSettingsMessage(dialog, param, MB_OK | MB_ICONEXCLAMATION, 8);
      return;
    }
    index = static_cast<int>(count);
  }
  const SizeLimits limits = CurrentSizeLimits(settings);
  int32_t width = 0;
  int32_t length = 0;
  ReadSize(dialog, kUserPaperWidth, &width);
  ReadSize(dialog, kUserPaperLength, &length);
  width = ClampSize(width, limits.min_width, limits.max_width);
  length = ClampSize(length, limits.min_length, limits.max_length);
  const int unit = IsDlgButtonChecked(dialog, kUserPaperMetric) == BST_CHECKED ? kUnitMetric : kUnitInch;
  const auto slot = static_cast<uint16_t>(index);

  if (added) {
    const uint32_t new_count = count + 1;
    settings.SetPaperCount(&new_count);
  }
  storage::UserPaperEntry entry{};
  settings.GetPaperEntry(slot, &entry, sizeof(entry));
  entry.paper.value4 = static_cast<int16_t>(unit);
  if (added) {
    std::memset(entry.name, 0, sizeof(entry.name));
    std::memcpy(entry.name, name, std::strlen(name));
    entry.state = 2;
    entry.slot = static_cast<int16_t>(slot);
    entry.paper.id = ChooseUserPaperId(settings, slot);
    settings.ChangePaperSizeIndex(settings.GetPaperSizeIndex() + 1);
    uint32_t papers = 0;
    settings.GetPaperSizeCount(&papers);
    model::PaperSizeRecord last{};
    if (papers > 0 && settings.GetPaperSizeRecord(static_cast<uint16_t>(papers - 1), &last, sizeof(last))) {
      entry.paper.flags20 = last.flags20;
      entry.paper.flags24 = last.flags24;
      for (int k = 0; k < 3; ++k) entry.paper.margin_index[k] = last.margin_index[k];  // 28, 30, 32
      if (settings.TestModelHeaderFlags20(0x8000)) {
        for (int k : {3, 4, 5, 6, 8}) entry.paper.margin_index[k] = last.margin_index[k];  // 34..40, 44
      }
    }
  }
  entry.paper.width = width;
  entry.paper.length = length;
  entry.paper.source_flags = UserPaperSourceMask(settings, unit, width, length, entry.paper.source_flags);
  entry.paper.value4 = static_cast<int16_t>(unit);
  entry.paper.kind = length < width ? 1 : 0;
  settings.SetPaperEntry(slot, &entry, sizeof(entry));
  settings.SaveUserStore();

  if (added) {
    const auto item = ListMessage(dialog, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.name));
    ListMessage(dialog, LB_SETITEMDATA, static_cast<WPARAM>(item), static_cast<LPARAM>(slot));
  }
  ListMessage(dialog, LB_SETCURSEL, static_cast<WPARAM>(slot + 1));
  param.shared->last_paper_position = static_cast<uint16_t>(slot + 1);
  Enable(dialog, kUserPaperDelete, true);
  Enable(dialog, IDOK, true);
  Enable(dialog, kUserPaperSave, false);
  SetFocus(GetDlgItem(dialog, kUserPaperList));
}

void DeleteUserPaper(HWND dialog, PageParam& param) {
  JobSettings& settings = *param.settings;
  char name[kNameBuffer] = {};
  ReadName(dialog, name, sizeof(name));
  const int index = FindUserPaper(settings, name);
  if (index < 0) return;
  if (pages::ShowSettingsMessage(dialog, param, MB_OKCANCEL | MB_ICONQUESTION, 9) != IDOK) return;
  settings.DeletePaperEntry(static_cast<uint16_t>(index));
  if (settings.GetPaperSizeIndex() > 0) settings.ChangePaperSizeIndex(settings.GetPaperSizeIndex() - 1);
  settings.SaveUserStore();
  FillList(dialog, param);
  ShowNewSizeItem(dialog, param);
  param.shared->last_paper_position = 0;
  SetFocus(GetDlgItem(dialog, kUserPaperList));
}

int ConfirmUserPaper(HWND dialog, PageParam& param) {
  const SizeLimits limits = CurrentSizeLimits(*param.settings);
  bool corrected = false;
  int32_t sizes[2] = {};
  const struct {
    int edit;
    int32_t minimum, maximum;
  } edits[] = {{kUserPaperWidth, limits.min_width, limits.max_width},
               {kUserPaperLength, limits.min_length, limits.max_length}};
  for (int k = 0; k < 2; ++k) {
    int32_t value = 0;
    const bool readable = ReadSize(dialog, edits[k].edit, &value);
    sizes[k] = readable ? ClampSize(value, edits[k].minimum, edits[k].maximum) : edits[k].maximum;
    if (!readable || sizes[k] != value) {
      WriteSizeQuietly(dialog, param, edits[k].edit, sizes[k]);
      corrected = true;
    }
  }
  if (corrected) return 0;
  FreeDevModeSnapshot(&param.shared->dialog_snapshot);
  const int position = Selection(dialog);
  pages::RemoveToolTipHook(kTips);
  if (position <= 0) {
    param.settings->SetCustomPaperSize({sizes[0], sizes[1]});
    EndSettingsDialog(dialog, -1);
  } else {
    EndSettingsDialog(dialog, position);
  }
  return 1;
}

void CancelUserPaper(HWND dialog, PageParam& param) {
  CancelDialogSnapshot(dialog, param, &param.shared->dialog_snapshot, kTips, -1);
  param.settings->ChangePaperSize(model::kCustomPaperId);
}

void DrawUserPaperItem(HWND dialog, const PageParam& param, const DRAWITEMSTRUCT* item) {
  if (item->itemID == static_cast<UINT>(-1)) return;
  HWND list = item->hwndItem;
  const auto length = SendMessageA(list, LB_GETTEXTLEN, item->itemID, 0);
  char text[kNameBuffer] = {};
  if (length < 0 || length >= static_cast<LRESULT>(sizeof(text))) return;
  SendMessageA(list, LB_GETTEXT, item->itemID, reinterpret_cast<LPARAM>(text));
  const bool selected = (item->itemState & ODS_SELECTED) != 0;
  const bool user_paper = item->itemID >= 1;
  const bool usable = !user_paper || SourceTakes(*param.settings, static_cast<int>(item->itemID) - 1);
  if (!usable && selected) return;

  COLORREF text_colour = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
  const COLORREF background = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
  if (!usable) {
    text_colour = kUnusableText;
    ShowWindow(GetDlgItem(dialog, kUserPaperNotice), SW_SHOW);
  }
  HDC dc = item->hDC;
  const COLORREF old_text = SetTextColor(dc, text_colour);
  const COLORREF old_background = SetBkColor(dc, background);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  const RECT& box = item->rcItem;
  const int x = box.left + (LOWORD(GetDialogBaseUnits()) / 4) * 2;
  const int y = box.top + ((box.bottom - box.top) - metrics.tmHeight) / 2;
  ExtTextOutA(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &box, text, static_cast<UINT>(std::strlen(text)), nullptr);
  SetTextColor(dc, old_text);
  SetBkColor(dc, old_background);
  char fresh[kNameBuffer] = {};
  NewSizeText(param, fresh, sizeof(fresh));
  if (item->itemID == 0 && std::strcmp(text, fresh) == 0) pages::DrawItemSeparator(item, 1);
}

INT_PTR CALLBACK UserPaperSizeDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    InitUserPaperDialog(dialog, *reinterpret_cast<PageParam*>(lparam));
    return TRUE;
  }
  if (message == WM_MEASUREITEM) {  // arrives before WM_INITDIALOG
    pages::MeasureComboItem(dialog, reinterpret_cast<MEASUREITEMSTRUCT*>(lparam));
    return TRUE;
  }
  PageParam* param = pages::PageParamOf(dialog);
  if (param == nullptr) return FALSE;
  if (HandleTipsAndHelp(dialog, message, wparam, lparam, *param, kTips, kHelpTable)) return TRUE;
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      const int code = HIWORD(wparam);
      switch (id) {
        case IDOK: ConfirmUserPaper(dialog, *param); return TRUE;
        case IDCANCEL: CancelUserPaper(dialog, *param); return TRUE;
        case kUserPaperList:
          if (code == LBN_SELCHANGE) OnUserPaperSelect(dialog, *param);
          return TRUE;
        case kUserPaperName:
          if (code == EN_CHANGE) OnUserPaperNameChange(dialog, *param);
          return TRUE;
        case kUserPaperSave: SaveUserPaper(dialog, *param); return TRUE;
        case kUserPaperDelete: DeleteUserPaper(dialog, *param); return TRUE;
        case kUserPaperWidth:
        case kUserPaperLength:
          if (code == EN_CHANGE) OnUserPaperSizeChange(dialog, *param);
          if (code == EN_KILLFOCUS) OnUserPaperSizeKillFocus(dialog, *param, id);
          return TRUE;
        case kUserPaperMetric:
        case kUserPaperInch:
          if (code == BN_CLICKED) OnUserPaperUnit(dialog, *param, id);
          return TRUE;
        case kUserPaperHelp: ShowHelpTopic(dialog, *param, kDialogHelpContext); return TRUE;
        default: return FALSE;
      }
    }
    case WM_VSCROLL: {
      const int spin = GetDlgCtrlID(reinterpret_cast<HWND>(lparam));
      if (spin != kUserPaperWidthSpin && spin != kUserPaperLengthSpin) return FALSE;
      OnUserPaperSpin(dialog, *param, spin, pages::SpinLineCode(reinterpret_cast<HWND>(lparam), wparam));
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item->CtlID != kUserPaperList) return FALSE;
      DrawUserPaperItem(dialog, *param, item);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace kalimu::dialogs
