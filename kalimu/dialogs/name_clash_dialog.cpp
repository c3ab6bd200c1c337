#include "kalimu/dialogs/name_clash_dialog.h"

#include <cstring>
#include <cwchar>

#include "kalimu/dialogs/user_settings_dialog.h"
#include "kalimu/dialogs/user_settings_entries.h"
#include "kalimu/dialogs/user_settings_transfer.h"
#include "kalimu/pages/resource_dialogs.h"
#include "kalimu/platform/text_helpers.h"

namespace kalimu::dialogs {
namespace {

constexpr size_t kAnsiTextBytes = 256;
constexpr size_t kWideTextChars = 260;

// The PageParam of a dialog with a shared record, or null.
pages::PageParam* SharedParamOf(HWND dialog) {
  pages::PageParam* param = pages::PageParamOf(dialog);
  return param != nullptr && param->settings != nullptr && param->shared != nullptr ? param : nullptr;
}


}  // namespace

INT_PTR CALLBACK NameClashDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* param = reinterpret_cast<pages::PageParam*>(lparam);
    pages::StorePageParam(dialog, param);
    if (param != nullptr && param->shared != nullptr) {
      wchar_t text[kWideTextChars] = {};
      swprintf(text, kWideTextChars, L"%ls%.*ls%ls", L"<",
               static_cast<int>(wcsnlen(param->shared->clash_name, std::size(param->shared->clash_name))),
               param->shared->clash_name, L">");
      SetDlgItemTextW(dialog, kClashNameText, text);
    }
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  if (SharedParamOf(dialog) == nullptr) return TRUE;
  switch (LOWORD(wparam)) {
    case IDOK:
    case kClashOverwriteButton:
      EndDialog(dialog, kClashOverwrite);
      break;
    case IDCANCEL:
    case kClashCancelButton:
      EndDialog(dialog, kClashSkip);
      break;
    case kClashRenameButton:
      if (pages::ShowResourceDialog(dialog, &RenameEntryDlgProc, kRenameTemplate) == 1) {
        EndDialog(dialog, kClashRename);
      }
      break;
    default:
      break;
  }
  return TRUE;
}

void OnNewEntryNameChange(HWND dialog) {
  pages::PageParam* param = SharedParamOf(dialog);
  if (param == nullptr) return;
  char text[kAnsiTextBytes] = {};
  GetDlgItemTextA(dialog, kRenameEdit, text, sizeof(text));
  if (!HasNameText(text)) {
    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    return;
  }
  EnableWindow(GetDlgItem(dialog, IDOK), TRUE);
  if (!IsSettingsNameAllowed(*param, text)) return;
  const bool extended = param->settings->TestModelHeaderFlags24(0x100000) != 0;
  const int cut = LimitSettingsNameText(text, sizeof(text), extended);
  if (cut >= 0) {
    SetDlgItemTextA(dialog, kRenameEdit, text);
    SendDlgItemMessageA(dialog, kRenameEdit, EM_SETSEL, static_cast<WPARAM>(cut), cut);
  }
}

int AcceptNewEntryName(HWND dialog) {
  pages::PageParam* param = SharedParamOf(dialog);
  if (param == nullptr) return 0;
  wchar_t name[kWideTextChars] = {};
  GetDlgItemTextW(dialog, kRenameEdit, name, kWideTextChars);
  if (FindSettingsEntryByName(*param->settings, name) != kNoSettingsEntry || !IsSettingsNameAllowedW(*param, name)) {
    return 0;
  }
  wchar_t* clash = param->shared->clash_name;
  std::memset(clash, 0, sizeof(param->shared->clash_name));
  platform::CopyStringNW(clash, std::size(param->shared->clash_name), name, std::size(param->shared->clash_name) - 1);
  return 1;
}

INT_PTR CALLBACK RenameEntryDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* param = reinterpret_cast<pages::PageParam*>(lparam);
      pages::StorePageParam(dialog, param);
      if (param != nullptr && param->shared != nullptr) {
        SetDlgItemTextW(dialog, kRenameCurrentText, param->shared->clash_name);
        SetDlgItemTextW(dialog, kRenameEdit, param->shared->clash_name);
      }
      SendDlgItemMessageA(dialog, kRenameEdit, EM_LIMITTEXT, kAnsiTextBytes - 1, 0);
      SetFocus(GetDlgItem(dialog, kRenameEdit));
      EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
      return FALSE;  // the focus is on the edit
    }
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDOK:
          if (AcceptNewEntryName(dialog)) {
            EndDialog(dialog, 1);
          } else {
            // Refused: the name stays as typed for the user to change.
            MessageBeep(MB_ICONWARNING);
            SendDlgItemMessageA(dialog, kRenameEdit, EM_SETSEL, 0, -1);
            SetFocus(GetDlgItem(dialog, kRenameEdit));
          }
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, 0);
          return TRUE;
        case kRenameEdit:
          if (HIWORD(wparam) == EN_CHANGE) OnNewEntryNameChange(dialog);
          return TRUE;
        default:
          return TRUE;
      }
    default:
      return FALSE;
  }
}

}  // namespace kalimu::dialogs
