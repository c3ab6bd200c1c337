// Opening the library's dialogs, and the entry points of the settings dialogs.
#include "kalimu/pages/resource_dialogs.h"

#include <array>
#include <utility>

#include "kalimu/dialogs/advanced_settings_dialog.h"
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

std::array<DLGPROC, static_cast<size_t>(SettingsDialog::kCount)>& Procedures() {
  static auto procedures = [] {
    auto table = StandIns(std::make_index_sequence<static_cast<size_t>(SettingsDialog::kCount)>());
    table[static_cast<size_t>(SettingsDialog::kAdvanced)] = &dialogs::AdvancedDlgProc;
    return table;
  }();
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
