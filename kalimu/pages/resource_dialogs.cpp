// Opening the library's dialogs, and the entry points of the settings dialogs.
#include "kalimu/pages/resource_dialogs.h"

#include <array>
#include <utility>

#include "kalimu/dialogs/advanced_settings_dialog.h"
#include "kalimu/dialogs/driver_options_dialog.h"
#include "kalimu/dialogs/level_slider_dialog.h"
#include "kalimu/dialogs/page_order_dialog.h"
#include "kalimu/dialogs/poster_panel_dialog.h"
#include "kalimu/dialogs/printer_adjust_dialog.h"
#include "kalimu/dialogs/source_paper_dialogs.h"
#include "kalimu/dialogs/user_paper_dialog.h"
#include "kalimu/dialogs/user_settings_dialog.h"
#include "kalimu/pages/tooltips.h"

namespace kalimu::pages {
namespace {

template <SettingsDialog Dialog>
INT_PTR CALLBACK StandInDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  const int16_t kind = SettingsDialogOf(Dialog).tooltip_kind;
  switch (message) {
    case WM_INITDIALOG:
      StorePageParam(dialog, reinterpret_cast<PageParam*>(lparam));
      if (kind != kNoToolTips) InstallToolTips(dialog, static_cast<uint16_t>(kind));
      return TRUE;
    case WM_NOTIFY:
      if (PageParam* param = PageParamOf(dialog); param != nullptr && kind != kNoToolTips) {
        HandleToolTipNotifyA(reinterpret_cast<NMHDR*>(lparam), *param, static_cast<uint16_t>(kind));
      }
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
        if (kind != kNoToolTips) RemoveToolTipHook(static_cast<uint16_t>(kind));
        EndDialog(dialog, LOWORD(wparam) == IDOK ? 1 : 0);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

template <size_t... I>
std::array<DLGPROC, sizeof...(I)> StandIns(std::index_sequence<I...>) {
  return {&StandInDialogProc<static_cast<SettingsDialog>(I)>...};
}

using ProcedureTable = std::array<DLGPROC, static_cast<size_t>(SettingsDialog::kCount)>;

// The dialogs that have their own procedure; the others keep their stand-in.
ProcedureTable RealProcedures() {
  ProcedureTable table = StandIns(std::make_index_sequence<static_cast<size_t>(SettingsDialog::kCount)>());
  const auto set = [&table](SettingsDialog dialog, DLGPROC procedure) {
    table[static_cast<size_t>(dialog)] = procedure;
  };
  set(SettingsDialog::kUserPaperSize, &dialogs::UserPaperSizeDlgProc);
  set(SettingsDialog::kDriverOptions, &dialogs::DriverOptionsDlgProc);
  set(SettingsDialog::kPageOrder, &dialogs::PageOrderDlgProc);
  set(SettingsDialog::kPosterPanel, &dialogs::PosterPanelDlgProc);
  set(SettingsDialog::kSourcePaperSize, &dialogs::SourcePaperSizeDlgProc);
  set(SettingsDialog::kPaperWidth, &dialogs::PaperWidthDlgProc);
  set(SettingsDialog::kLevelSlider, &dialogs::LevelSliderDlgProc);
  set(SettingsDialog::kPrinterAdjust, &dialogs::PrinterAdjustDlgProc);
  set(SettingsDialog::kUserSettings, &dialogs::UserSettingsDlgProc);
  set(SettingsDialog::kAdvanced, &dialogs::AdvancedDlgProc);
  return table;
}

ProcedureTable& Procedures() {
  static ProcedureTable procedures = RealProcedures();
  return procedures;
}

}  // namespace

INT_PTR ShowResourceDialog(HWND parent, DLGPROC procedure, int template_id) {
  PageParam* param = PageParamOf(parent);
  HMODULE module = param != nullptr ? ResourceModuleOf(*param) : nullptr;
  return DialogBoxParamA(module, MAKEINTRESOURCEA(static_cast<WORD>(template_id)), parent, procedure,
                         reinterpret_cast<LPARAM>(param));
}

DLGPROC SettingsDialogProcedure(SettingsDialog dialog) {
  return dialog < SettingsDialog::kCount ? Procedures()[static_cast<size_t>(dialog)] : nullptr;
}

INT_PTR ShowSettingsDialog(HWND parent, SettingsDialog dialog) {
  if (dialog >= SettingsDialog::kCount) return -1;
  return ShowResourceDialog(parent, SettingsDialogProcedure(dialog), SettingsDialogOf(dialog).template_id);
}

DLGPROC ReplaceSettingsDialogProcedure(SettingsDialog dialog, DLGPROC procedure) {
  if (dialog >= SettingsDialog::kCount) return nullptr;
  return std::exchange(Procedures()[static_cast<size_t>(dialog)], procedure);
}

}  // namespace kalimu::pages
