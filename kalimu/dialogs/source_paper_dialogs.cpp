// The source paper size and paper width dialogs.
#include "kalimu/dialogs/source_paper_dialogs.h"

#include <cstring>

#include "kalimu/dialogs/dialog_services.h"
#include "kalimu/model/cfg_records.h"
#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/messages.h"
#include "kalimu/pages/page_access.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::dialogs {
namespace {

constexpr int kSourcePaperPrompt = 8041;
constexpr int kRollWidthNames = 1450;
constexpr int kScaleToOutputPaper = 2;

LRESULT Combo(HWND dialog, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
  return SendDlgItemMessageA(dialog, kSourcePaperCombo, message, wparam, lparam);
}

void AddPaper(HWND dialog, const char* text, int32_t id) {
  const LRESULT item = Combo(dialog, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  if (item >= 0) Combo(dialog, CB_SETITEMDATA, static_cast<WPARAM>(item), id);
}

void FillPapers(HWND dialog, const PageParam& param) {
  settings::JobSettings& settings = *param.settings;
  const uint32_t mask = settings.GetSourceMask();
  uint32_t papers = 0;
  settings.GetPaperSizeCount(&papers);
  for (uint32_t i = 0; i < papers; ++i) {
    int32_t id = 0;
    if (!settings.TestPaperFlags(static_cast<int16_t>(i), mask) || !settings.GetPaperSizeId(static_cast<uint16_t>(i), &id)) {
      continue;
    }
    char name[128] = {};
    pages::LoadPageString(param, static_cast<UINT>(id), name, sizeof(name));
    AddPaper(dialog, name, id);
  }
  uint32_t users = 0;
  settings.GetPaperCount(&users);
  for (uint32_t i = 0; i < users; ++i) {
    uint32_t sources = 0;
    int32_t id = 0;
    if (!settings.GetPaperValue16(static_cast<uint16_t>(i), &sources) || (sources & mask) == 0 ||
        !settings.GetPaperId(static_cast<uint16_t>(i), &id)) {
      continue;
    }
    char name[32] = {};
    settings.GetPaperName(static_cast<uint16_t>(i), name, sizeof(name));
    AddPaper(dialog, name, id);
  }
}

// The paper id of the selected item; false when nothing is selected.
bool SelectedPaper(HWND dialog, int32_t* id) {
  const LRESULT item = Combo(dialog, CB_GETCURSEL);
  if (item < 0) return false;
  *id = static_cast<int32_t>(Combo(dialog, CB_GETITEMDATA, static_cast<WPARAM>(item)));
  return true;
}

}  // namespace

void InitSourcePaperDialog(HWND dialog, PageParam& param) {
  settings::JobSettings& settings = *param.settings;
  pages::StorePageParam(dialog, &param);
  TakeDevModeSnapshot(param, &param.shared->dialog_snapshot);
  char prompt[256] = {};
  pages::LoadPageString(param, kSourcePaperPrompt, prompt, sizeof(prompt));
  SetDlgItemTextA(dialog, kSourcePaperText, prompt);
  FillPapers(dialog, param);
  // The first paper of the locale's kind; with none, nothing is chosen and OK keeps the output
  // paper as it was.
  const uint32_t kind = settings::JobSettings::IsMetricLocale() ? 1 : 2;
  uint32_t papers = 0;
  settings.GetPaperSizeCount(&papers);
  for (uint32_t i = 0; i < papers; ++i) {
    int32_t id = 0;
    if (!settings.PaperMatchesFeed(static_cast<uint16_t>(i), kind) || !settings.GetPaperSizeId(static_cast<uint16_t>(i), &id)) {
      continue;
    }
    settings.ChangeOutputPaperSize(id);
    char name[128] = {};
    pages::LoadPageString(param, static_cast<UINT>(id), name, sizeof(name));
    const LRESULT item = Combo(dialog, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
    Combo(dialog, CB_SETCURSEL, static_cast<WPARAM>(item));
    break;
  }
}

void OnSourcePaperSelect(HWND dialog, PageParam& param) {
  settings::JobSettings& settings = *param.settings;
  int32_t id = 0;
  if (!SelectedPaper(dialog, &id)) return;
  settings.ChangeScalingMode(kScaleToOutputPaper);
  if (id == static_cast<int32_t>(settings.GetOutputPaperSize())) {
    pages::WarnPaperFlag(dialog, param);
    return;
  }
  settings.ChangeOutputPaperSize(id);
  pages::WarnPaperFlag(dialog, param);
  pages::UpdatePaperOptionControls(dialog, param, 1);
  NotifySheetChanged(dialog, param);
}

void ConfirmSourcePaper(HWND dialog, PageParam& param) {
  int32_t id = 0;
  if (SelectedPaper(dialog, &id)) {
    param.settings->ChangeScalingMode(kScaleToOutputPaper);
    param.settings->ChangeOutputPaperSize(id);
  }
  FreeDevModeSnapshot(&param.shared->dialog_snapshot);
  EndSettingsDialog(dialog, 1);
}

void CancelSourcePaper(HWND dialog, PageParam& param) {
  CancelDialogSnapshot(dialog, param, &param.shared->dialog_snapshot, -1, 0);
}

void DrawSourcePaperItem(HWND dialog, const PageParam& param, const DRAWITEMSTRUCT* item) {
  if (item->itemID == static_cast<UINT>(-1)) return;
  pages::DrawComboItemText(dialog, item);
  if ((item->itemState & ODS_COMBOBOXEDIT) != 0 || Combo(dialog, CB_GETDROPPEDSTATE) == 0) return;
  uint32_t users = 0;
  param.settings->GetPaperCount(&users);
  if (users == 0) return;
  char text[128] = {};
  char custom[128] = {};
  if (Combo(dialog, CB_GETLBTEXTLEN, item->itemID) >= static_cast<LRESULT>(sizeof(text))) return;
  Combo(dialog, CB_GETLBTEXT, item->itemID, reinterpret_cast<LPARAM>(text));
  pages::LoadPageString(param, model::kCustomPaperId, custom, sizeof(custom));
  if (std::strcmp(text, custom) == 0) pages::DrawItemSeparator(item, 1);
}

INT_PTR CALLBACK SourcePaperSizeDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    InitSourcePaperDialog(dialog, *reinterpret_cast<PageParam*>(lparam));
    return TRUE;
  }
  if (message == WM_MEASUREITEM) {  // arrives before WM_INITDIALOG
    pages::MeasureComboItem(dialog, reinterpret_cast<MEASUREITEMSTRUCT*>(lparam));
    return TRUE;
  }
  PageParam* param = pages::PageParamOf(dialog);
  if (param == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case kSourcePaperCombo:
          if (HIWORD(wparam) == CBN_SELCHANGE) OnSourcePaperSelect(dialog, *param);
          return TRUE;
        case IDOK: ConfirmSourcePaper(dialog, *param); return TRUE;
        case IDCANCEL: CancelSourcePaper(dialog, *param); return TRUE;
        default: return TRUE;
      }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item->CtlID != kSourcePaperCombo) return FALSE;
      DrawSourcePaperItem(dialog, *param, item);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

// ---- Paper width ----------------------------------------------------------------------------------

void InitPaperWidthDialog(HWND dialog, PageParam& param) {
  settings::JobSettings& settings = *param.settings;
  pages::StorePageParam(dialog, &param);
  TakeDevModeSnapshot(param, &param.shared->inner_dialog_snapshot);
  uint32_t records = 0;
  settings.GetLfpRecordCount(&records);
  for (uint32_t i = 0; i < records; ++i) {
    uint32_t value = 0;
    settings.GetLfpValue2(static_cast<uint16_t>(i), &value);
    char name[128] = {};
    pages::LoadPageString(param, kRollWidthNames + value, name, sizeof(name));
    SendDlgItemMessageA(dialog, kPaperWidthCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  }
  SendDlgItemMessageA(dialog, kPaperWidthCombo, CB_SETCURSEL, settings.GetLfpIndex(), 0);
}

INT_PTR CALLBACK PaperWidthDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    InitPaperWidthDialog(dialog, *reinterpret_cast<PageParam*>(lparam));
    return TRUE;
  }
  PageParam* param = pages::PageParamOf(dialog);
  if (param == nullptr || message != WM_COMMAND) return FALSE;
  switch (LOWORD(wparam)) {
    case kPaperWidthCombo:
      if (HIWORD(wparam) == CBN_SELCHANGE) {
        const LRESULT item = SendDlgItemMessageA(dialog, kPaperWidthCombo, CB_GETCURSEL, 0, 0);
        if (item >= 0) param->settings->SetLfpIndex(static_cast<uint32_t>(item));
      }
      break;
    case IDOK:
      FreeDevModeSnapshot(&param->shared->inner_dialog_snapshot);
      EndSettingsDialog(dialog, 1);
      break;
    case IDCANCEL:
      CancelDialogSnapshot(dialog, *param, &param->shared->inner_dialog_snapshot, -1, 0);
      break;
    default:
      break;
  }
  return FALSE;
}

}  // namespace kalimu::dialogs
