// The binding margin dialog: start-up, limits, edits, arrows, pictures, OK and Cancel.
#include "kalimu/pages/binding_margin_dialog.h"

#include <cstdio>

#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/gdi_scope.h"
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/spin_steps.h"
#include "kalimu/pages/tooltips.h"

namespace kalimu::pages {
namespace {


// Set on the dialog window once OK or Cancel began: the edit's focus loss that ending the dialog
// brings must not store a margin after the snapshot was put back.
constexpr char kEndingProperty[] = "KalimuBindingEnding";

void Enable(HWND dialog, int control, bool on) { EnableWindow(GetDlgItem(dialog, control), on ? TRUE : FALSE); }

void StoreClampedEdit(HWND dialog, const PageParam& param) {
  int32_t value = ReadEditNumber(dialog, kBindingMarginEdit);
  if (value > param.shared->binding_margin_max) value = param.shared->binding_margin_max;
  if (value < param.shared->binding_margin_min) value = param.shared->binding_margin_min;
  WriteEditNumber(dialog, kBindingMarginEdit, value);
  param.settings->SetBindingMargin(static_cast<uint32_t>(value));
}

void EndBindingDialog(HWND dialog, PageParam& param, bool ok) {
  SetPropA(dialog, kEndingProperty, reinterpret_cast<HANDLE>(1));
  if (!ok) {
    CancelDialogSnapshot(dialog, &param, &param.shared->inner_dialog_snapshot, kBindingMarginTips, 0);
    return;
  }
  // A margin typed and confirmed with Enter is taken before the dialog ends.
  StoreClampedEdit(dialog, param);
  FreeDevModeSnapshot(&param.shared->inner_dialog_snapshot);
  RemoveToolTipHook(kBindingMarginTips);
  EndDialog(dialog, 1);
}

}  // namespace

void FormatBindingLimits(int32_t minimum, int32_t maximum, char* out, size_t size) {
  if (out == nullptr || size == 0) return;
  std::snprintf(out, size, "[%d ... %d]", static_cast<int>(minimum), static_cast<int>(maximum));
}

void UpdateBindingMarginLimits(HWND dialog, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  Enable(dialog, kBindingMarginArrows, true);
  Enable(dialog, kBindingMarginEdit, true);
  uint16_t limits[2] = {};
  s.GetBindingMarginLimits(limits);
  param.shared->binding_margin_min = limits[0];
  param.shared->binding_margin_max = limits[1];
  if (static_cast<int64_t>(s.GetBindingMargin()) <= limits[0]) {
    WriteEditNumber(dialog, kBindingMarginEdit, limits[0]);
    s.SetBindingMargin(limits[0]);
  }
  char text[kBindingLimitsChars] = {};
  FormatBindingLimits(limits[0], limits[1], text, sizeof(text));
  SetDlgItemTextA(dialog, kBindingLimitsLabel, text);
  const bool editable = limits[0] != limits[1];
  Enable(dialog, kBindingMarginArrows, editable);
  Enable(dialog, kBindingMarginEdit, editable);
  HWND label = GetDlgItem(dialog, kBindingLimitsLabel);
  EnableWindow(label, editable ? TRUE : FALSE);
  ShowWindow(label, editable ? SW_SHOW : SW_HIDE);
  // The kept limits bound the arrows; a scroll bar's range only shapes its thumb.
  SetScrollRange(GetDlgItem(dialog, kBindingMarginArrows), SB_CTL, limits[0], limits[1], TRUE);
  PrepareSpin(GetDlgItem(dialog, kBindingMarginArrows));
}

void StartBindingMarginDialog(HWND dialog, PageParam* param) {
  StorePageParam(dialog, param);
  if (param == nullptr || param->settings == nullptr || param->shared == nullptr) return;
  settings::JobSettings& s = *param->settings;
  if (param->shared->inner_dialog_snapshot == nullptr) {
    param->shared->inner_dialog_snapshot = TakeDevModeSnapshot(*param);
  }
  if (s.IsDuplexWithOption1()) {
    const bool natural = s.IsPaperOrientationNatural() != 0;
    Enable(dialog, kBindingEdge0Radio, natural);
    Enable(dialog, kBindingEdge1Radio, natural);
    Enable(dialog, kBindingEdge2Radio, !natural);
  }
  int edge = kBindingEdge0Radio;
  if (s.IsBindingEdge1()) edge = kBindingEdge1Radio;
  else if (s.IsBindingEdge2()) edge = kBindingEdge2Radio;
  for (int radio : {kBindingEdge0Radio, kBindingEdge2Radio, kBindingEdge1Radio}) {
    CheckDlgButton(dialog, radio, radio == edge ? BST_CHECKED : BST_UNCHECKED);
  }
  WriteEditNumber(dialog, kBindingMarginEdit, static_cast<int32_t>(s.GetBindingMargin()));
  CheckDlgButton(dialog, kBindingMetricRadio, s.IsBindingUnitMetric() ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, kBindingInchRadio, s.IsBindingUnitInch() ? BST_CHECKED : BST_UNCHECKED);
  UpdateBindingMarginLimits(dialog, *param);
  InstallToolTips(dialog, kBindingMarginTips);
}

void OnBindingMarginCommand(HWND dialog, const PageParam& param, int control, int code) {
  settings::JobSettings& s = *param.settings;
  switch (control) {
    case kBindingMarginEdit:
      if (code == EN_CHANGE) {
        if (ReadEditNumber(dialog, kBindingMarginEdit) != static_cast<int32_t>(s.GetBindingMargin())) {
          NotifySheetChanged(dialog, &param);
        }
      } else if (code == EN_KILLFOCUS && GetPropA(dialog, kEndingProperty) == nullptr) {
        StoreClampedEdit(dialog, param);
      }
      return;
    case kBindingEdge0Radio:
      s.SetBindingEdge0();
      UpdateBindingMarginLimits(dialog, param);
      return;
    case kBindingEdge2Radio:
      s.SetBindingEdge2();
      UpdateBindingMarginLimits(dialog, param);
      return;
    case kBindingEdge1Radio:
      s.SetBindingEdge1();
      UpdateBindingMarginLimits(dialog, param);
      return;
    case kBindingMetricRadio:
    case kBindingInchRadio: {
      const bool metric = control == kBindingMetricRadio;
      if (metric ? !s.IsBindingUnitMetric() : !s.IsBindingUnitInch()) {
        const auto value = static_cast<uint16_t>(ReadEditNumber(dialog, kBindingMarginEdit));
        const uint32_t converted = metric ? s.SetBindingMarginInMetric(value) : s.SetBindingMarginInInch(value);
        WriteEditNumber(dialog, kBindingMarginEdit, static_cast<int32_t>(converted));
      }
      UpdateBindingMarginLimits(dialog, param);
      return;
    }
    case kBindingHelpButton:
      ShowHelpTopic(dialog, &param, kBindingMarginHelpContext);
      return;
    default:
      return;
  }
}

void OnBindingMarginArrows(HWND dialog, const PageParam& param, int code) {
  const int32_t v = ReadEditNumber(dialog, kBindingMarginEdit);
  const int32_t minimum = param.shared->binding_margin_min;
  const int32_t maximum = param.shared->binding_margin_max;
  int32_t next = v;
  if (code == SB_LINEUP && v >= minimum && v < maximum) next = v + 1;
  else if (code == SB_LINEDOWN && v > minimum && v <= maximum) next = v - 1;
  if (next == v) return;
  WriteEditNumber(dialog, kBindingMarginEdit, next);
  param.settings->ChangeBindingMargin(static_cast<uint32_t>(next));
}

void DrawBindingPicture(const PageParam& param, const DRAWITEMSTRUCT* item) {
  if (item == nullptr || item->CtlType != ODT_BUTTON) return;
  const int index = static_cast<int>(item->CtlID) - kBindingPicture0;
  if (index < 0 || index > 2) return;
  if (item->itemAction != ODA_DRAWENTIRE && item->itemAction != ODA_SELECT) return;
  UniqueGdiObject bitmap(LoadBitmapA(ResourceModuleOf(param), MAKEINTRESOURCEA(7804 + index)));
  if (bitmap) DrawItemBitmap(item, static_cast<HBITMAP>(bitmap.get()), kPictureKey);
}

INT_PTR CALLBACK BindingMarginDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    StartBindingMarginDialog(dialog, reinterpret_cast<PageParam*>(lparam));
    return TRUE;
  }
  PageParam* param = PageParamOf(dialog);
  const bool ready = param != nullptr && param->settings != nullptr && param->shared != nullptr;
  switch (message) {
    case WM_COMMAND:
      if (!ready) return TRUE;
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
        EndBindingDialog(dialog, *param, LOWORD(wparam) == IDOK);
      } else {
        OnBindingMarginCommand(dialog, *param, LOWORD(wparam), HIWORD(wparam));
      }
      return TRUE;
    case WM_VSCROLL:
      if (ready && reinterpret_cast<HWND>(lparam) == GetDlgItem(dialog, kBindingMarginArrows)) {
        OnBindingMarginArrows(dialog, *param, SpinLineCode(reinterpret_cast<HWND>(lparam), wparam));
      }
      return TRUE;
    case WM_DRAWITEM:
      if (ready) DrawBindingPicture(*param, reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      return TRUE;
    case WM_NOTIFY:
      if (ready) HandleToolTipNotifyA(reinterpret_cast<NMHDR*>(lparam), *param, kBindingMarginTips);
      return TRUE;
    case WM_HELP: {
      const auto* info = reinterpret_cast<const HELPINFO*>(lparam);
      ShowContextHelp(dialog, info != nullptr ? static_cast<HWND>(info->hItemHandle) : dialog, HELP_WM_HELP,
                      BindingMarginHelpTable());
      return TRUE;
    }
    case WM_CONTEXTMENU:
      ShowContextHelp(dialog, dialog, HELP_CONTEXTMENU, BindingMarginHelpTable());
      return TRUE;
    case WM_DESTROY:
      RemovePropA(dialog, kEndingProperty);
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace kalimu::pages
