// The version page of the device sheet.
#include "kalimu/pages/version_page.h"

#include <prsht.h>

#include "kalimu/platform/text_helpers.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::pages {

void ShowVersionText(HWND window, HANDLE, char* buffer, size_t size, int control_id, HMODULE module,
                     settings::JobSettings* settings) {
  if (buffer == nullptr || size == 0) return;
  char data_file[MAX_PATH] = {};
  if (settings != nullptr) settings->GetDriverDataFilePath(data_file, sizeof(data_file));
  if (buffer[0] == '\0') {
    char label[kVersionPartChars] = {};
    if (module != nullptr) LoadStringA(module, kVersionLabelString, label, static_cast<int>(sizeof(label)));
    char version[kVersionPartChars] = {};
    GetPrivateProfileStringA("VersionInformation", "DriverVersion", kDefaultDriverVersion, version,
                             static_cast<DWORD>(sizeof(version)), data_file);
    platform::CopyStringA(buffer, size, label);
    // A blank that does not fit leaves the version out too.
    if (platform::AppendStringA(buffer, size, " ") == 1) platform::AppendStringA(buffer, size, version);
  }
  SetDlgItemTextA(window, control_id, buffer);
}

INT_PTR CALLBACK VersionPageProc(HWND window, UINT message, WPARAM, LPARAM lparam) {
  if (message != WM_INITDIALOG) return FALSE;
  const auto* page = reinterpret_cast<const PROPSHEETPAGEW*>(lparam);
  auto* param = page != nullptr ? reinterpret_cast<PageParam*>(page->lParam) : nullptr;
  HMODULE module = nullptr;
  HANDLE printer = nullptr;
  settings::JobSettings* settings = nullptr;
  if (param != nullptr) {
    settings = param->settings;
    if (param->context != nullptr) {
      module = param->context->resource_module;
      printer = param->context->printer;
    }
  }
  char line[kVersionLineChars] = {};
  ShowVersionText(window, printer, line, kVersionLineChars, kVersionText, module, settings);
  ShowWindow(GetDlgItem(window, kVersionHidden), SW_HIDE);
  return TRUE;
}

}  // namespace kalimu::pages
