// Snapshots, ends and help of the settings dialogs.
#include "kalimu/dialogs/dialog_services.h"

#include <commctrl.h>

#include <cstring>

#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/tooltips.h"
#include "kalimu/platform/global_block.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::dialogs {

int TakeDevModeSnapshot(const PageParam& param, settings::DriverDevMode** field) {
  FreeDevModeSnapshot(field);
  platform::GlobalBlock block;
  const settings::DriverDevMode* current = param.settings->GetDriverDevMode();
  if (current == nullptr || !block.Allocate(sizeof(settings::DriverDevMode))) return 0;
  std::memcpy(block.data(), current, sizeof(settings::DriverDevMode));
  *field = reinterpret_cast<settings::DriverDevMode*>(block.Release());
  return 1;
}

void FreeDevModeSnapshot(settings::DriverDevMode** field) {
  if (*field == nullptr) return;
  platform::GlobalBlock::FreeLocked(*field);
  *field = nullptr;
}

void RestoreDevModeSnapshot(const PageParam& param, const settings::DriverDevMode* snapshot) {
  if (snapshot != nullptr) param.settings->SetDriverDevMode(snapshot);
}

void CancelDialogSnapshot(HWND dialog, const PageParam& param, settings::DriverDevMode** field, int kind,
                          INT_PTR result) {
  if (*field != nullptr) {
    RestoreDevModeSnapshot(param, *field);
    FreeDevModeSnapshot(field);
  }
  if (kind >= 0) pages::RemoveToolTipHook(static_cast<uint16_t>(kind));
  EndSettingsDialog(dialog, result);
}

void EndSettingsDialog(HWND dialog, INT_PTR result) {
  SetWindowLongPtrA(dialog, DWLP_USER, 0);
  EndDialog(dialog, result);
}

void NotifySheetChanged(HWND window, const PageParam& param) {
  if (param.shared != nullptr && param.shared->sheet_window != nullptr) {
    SendMessageA(param.shared->sheet_window, PSM_CHANGED, reinterpret_cast<WPARAM>(window), 0);
  }
}

namespace {
bool HelpFileOf(const PageParam& param, char* path, size_t size) {
  return param.settings != nullptr && param.settings->FindHelpFilePath(path, size) != 0 && path[0] != '\0';
}
}  // namespace

void ShowDialogHelp(HWND window, const PageParam& param, UINT command, ULONG_PTR data) {
  char path[MAX_PATH] = {};
  if (HelpFileOf(param, path, sizeof(path))) pages::CallWinHelp(window, path, command, data);
}

void ShowHelpTopic(HWND window, const PageParam& param, DWORD context) {
  ShowDialogHelp(window, param, HELP_CONTEXT, context);
}

void ShowContextHelp(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam, const DWORD* table) {
  const PageParam* param = pages::PageParamOf(dialog);
  if (param == nullptr) return;
  const auto data = reinterpret_cast<ULONG_PTR>(table);
  if (message == WM_HELP) {
    const auto* info = reinterpret_cast<const HELPINFO*>(lparam);
    ShowDialogHelp(static_cast<HWND>(info->hItemHandle), *param, HELP_WM_HELP, data);
  } else if (message == WM_CONTEXTMENU) {
    ShowDialogHelp(reinterpret_cast<HWND>(wparam), *param, HELP_CONTEXTMENU, data);
  }
}

}  // namespace kalimu::dialogs

namespace kalimu::dialogs {

bool HandleTipsAndHelp(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam, const PageParam& param,
                       uint16_t kind, const DWORD* table) {
  switch (message) {
    case WM_NOTIFY:
      pages::HandleToolTipNotifyA(reinterpret_cast<NMHDR*>(lparam), param, kind);
      return true;
    case WM_HELP:
    case WM_CONTEXTMENU:
      ShowContextHelp(dialog, message, wparam, lparam, table);
      return true;
    default:
      return false;
  }
}

}  // namespace kalimu::dialogs
