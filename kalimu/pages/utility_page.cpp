// The utility page: start-up, the control refresh and the buttons.
#include "kalimu/pages/utility_page.h"

#include <cstring>

#include "kalimu/driver/utility_launcher.h"
#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/messages.h"
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/resource_dialogs.h"
#include "kalimu/platform/program_start.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/printer_reg_values.h"
#include "kalimu/status/monitor_link.h"
#include "kalimu/storage/driver_registry.h"

namespace kalimu::pages {
namespace {

constexpr int kProgramValueView = 2;
constexpr DWORD kProgramValueMinBytes = 2;
constexpr int16_t kMonitorRequest = 2;
constexpr UINT kMonitorFailedText = 8013;
constexpr UINT kMonitorFailedCaption = 8014;
constexpr UINT kProgramFailedText = 2050;
constexpr UINT kProgramFailedCaption = 2297;
constexpr uint32_t kPmFlagLoadedOption = 0x40;  // JobOptions bit mirrored by value 107 bit 0
constexpr uint32_t kPmFlagSecondOption = 0x800;  // JobOptions bit mirrored by value 107 bit 2

// Groups of controls that are switched together.
constexpr int kMonitorGroup[] = {2310, 2300, 2320};
constexpr int kAdjustGroup[] = {2314, 2304, 2324, 2344};
constexpr int kUtility7Group[] = {2315, 2305, 2325, 2345};
constexpr int kUtility11Group[] = {2316, 2306, 2326, 2346};
constexpr int kUtility11Buttons[] = {2316, 2306, 2326};
constexpr int kLauncherGroup[] = {2311, 2312, 2313, 2301, 2302, 2303, 2321, 2322, 2323};
constexpr int kProgramGroup[] = {2317, 2307, 2327, 2347};
constexpr int kUtility7Buttons[] = {2315, 2305, 2325};

template <size_t N>
void EnableGroup(HWND window, const int (&ids)[N], bool on) {
  for (int id : ids) EnableWindow(GetDlgItem(window, id), on ? TRUE : FALSE);
}
template <size_t N>
void HideGroup(HWND window, const int (&ids)[N]) {
  for (int id : ids) {
    EnableWindow(GetDlgItem(window, id), FALSE);
    ShowWindow(GetDlgItem(window, id), SW_HIDE);
  }
}

bool MonitorPresent(const PageParam& param) { return param.shared != nullptr && param.shared->monitor_present != 0; }

// The utility numbers of the buttons that start the maintenance utility.
struct UtilityButton {
  int control_id;
  int number;
};
constexpr UtilityButton kUtilityButtons[] = {{2311, 2}, {2312, 3}, {2313, 1}, {2315, 7}, {2316, 11}, {2394, 9}, {2395, 10}};

void ShowPageError(HWND window, const PageParam& param, UINT text_id, UINT caption_id, bool numbered) {
  char caption[MAX_PATH] = {};
  char text[MAX_PATH] = {};
  LoadPageString(param, caption_id, caption, MAX_PATH);
  LoadPageString(param, text_id, text, MAX_PATH);
  if (numbered) {
    char library_text[MAX_PATH];
    platform::CopyStringA(library_text, sizeof(library_text), text);
    FormatErrorNumberText(library_text, 1, text, sizeof(text));
  }
  MessageBoxA(window, text, caption, MB_ICONERROR);
}

// A folder that exists and can be written to.
bool IsUsableFolder(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) == 0;
}

void OpenDriverOptions(HWND window, PageParam& param) {
  if (param.shared != nullptr && param.shared->folder_loaded == 0) LoadTempFolder(param);
  if (ShowSettingsDialog(window, SettingsDialog::kDriverOptions) == 0) return;
  const bool monitor = MonitorPresent(param);
  EnableGroup(window, kMonitorGroup, monitor);
  EnableGroup(window, kUtility11Buttons, monitor);
  if (param.settings->TestModelHeaderFlags20(0x100)) EnableGroup(window, kUtility7Buttons, monitor);
  if (!monitor) param.settings->ApplyDuplexLimits();
  NotifySheetChanged(window, &param);
}

}  // namespace

void InitUtilityPage(HWND window, PageParam& param) {
  RefreshUtilityControls(window, param);
  if (param.shared != nullptr) param.shared->folder_loaded = 0;
  ShowDriverVersionText(GetDlgItem(window, kUtilityVersionText), &param);
  param.settings->SetSheetState(2);
  uint32_t stm = 0;
  const HANDLE printer = param.context != nullptr ? param.context->printer : param.settings->GetPrinterHandle();
  status::ReadStmSetting(printer, param.settings, &stm);
  if (param.shared != nullptr) param.shared->stm_setting = stm == 1 ? 1 : 0;
  if (!settings::EnsurePrinterRegRootKey(param.settings, 0)) EnableGroup(window, kAdjustGroup, false);
}

void RefreshUtilityControls(HWND window, PageParam& param) {
  settings::JobSettings& s = *param.settings;
  const bool monitor = MonitorPresent(param);
  EnableGroup(window, kMonitorGroup, monitor);
  if (!s.TestModelHeaderFlags36(0x100) && !s.TestModelHeaderFlags24(0x4000) && !s.TestModelHeaderFlags40(1 | 2) &&
      !s.TestModelHeaderFlags24(0x80)) {
    HideGroup(window, kAdjustGroup);
  }
  if (s.TestModelHeaderFlags20(0x100)) {
    EnableGroup(window, kUtility7Group, monitor);
    EnableGroup(window, kUtility11Group, monitor);
  } else {
    HideGroup(window, kUtility7Group);
  }
  {
    driver::UtilityLauncher launcher(param.settings);
    EnableGroup(window, kLauncherGroup, launcher.IsUtilityAvailable() == 1);
    launcher.Release();
  }
  EnableGroup(window, kProgramGroup, GetStoredProgramPath(&param, nullptr, 0) == 1);
  EnableGroup(window, kUtility11Buttons, monitor);
}

void RunMaintenanceUtility(HWND, PageParam* param, int control_id) {
  if (param == nullptr || param->settings == nullptr) return;
  for (const UtilityButton& button : kUtilityButtons) {
    if (button.control_id != control_id) continue;
    driver::UtilityLauncher launcher(param->settings);
    launcher.RunUtilityNumber(button.number);  // its answer is not used
    launcher.Release();
    return;
  }
}

int GetStoredProgramPath(PageParam* param, char* buffer, size_t size) {
  if (param == nullptr || param->settings == nullptr) return 0;
  char folder[MAX_PATH] = {};
  char file[MAX_PATH] = {};
  DWORD folder_bytes = sizeof(folder);
  DWORD file_bytes = sizeof(file);
  if (!settings::ReadPrinterRegValueById(param->settings, storage::kValueInstallPath, folder, &folder_bytes,
                                         kProgramValueView) ||
      !settings::ReadPrinterRegValueById(param->settings, storage::kValueExe, file, &file_bytes, kProgramValueView) ||
      folder_bytes < kProgramValueMinBytes || file_bytes < kProgramValueMinBytes) {
    return 0;
  }
  folder[MAX_PATH - 1] = '\0';
  file[MAX_PATH - 1] = '\0';
  if (buffer != nullptr) {
    const size_t length = std::strlen(folder);
    if (length > 0 && folder[length - 1] != '\\') platform::AppendStringA(folder, sizeof(folder), "\\");
    platform::CopyStringA(buffer, size, folder);
    platform::AppendStringA(buffer, size, file);
  }
  return 1;
}

void UtilityPageCommand(HWND window, PageParam& param, int control_id) {
  switch (control_id) {
    case kMonitorButton: {
      char command[MAX_PATH] = {};
      const int16_t kind = param.settings->BuildUtilityCommandLine(command, sizeof(command), kMonitorRequest, nullptr);
      if ((kind == 3 || kind == 4) && platform::RunProgram(command, SW_SHOW) == 0) {
        ShowPageError(window, param, kMonitorFailedText, kMonitorFailedCaption, false);
      }
      return;
    }
    case 2311: case 2312: case 2313: case 2315: case 2316:
      RunMaintenanceUtility(window, &param, control_id);
      return;
    case kAdjustButton:
      if (ShowSettingsDialog(window, SettingsDialog::kPrinterAdjust) != 0) NotifySheetChanged(window, &param);
      return;
    case kStoredProgramButton: {
      char path[MAX_PATH] = {};
      if (GetStoredProgramPath(&param, path, sizeof(path)) == 1 && platform::RunProgram(path, SW_SHOW) == 0) {
        ShowPageError(window, param, kProgramFailedText, kProgramFailedCaption, true);
      }
      return;
    }
    case kDriverOptionsButton:
      OpenDriverOptions(window, param);
      return;
    default:
      return;
  }
}

void LoadTempFolder(PageParam& param) {
  PageShared& shared = *param.shared;
  shared.folder_loaded = 1;
  char folder[MAX_PATH] = {};
  DWORD bytes = sizeof(folder) - 1;
  const bool read =
      settings::ReadPrinterRegValueById(param.settings, storage::kValueTempFilePath, folder, &bytes, 0) == 1;
  if (!read || !IsUsableFolder(folder)) {
    const DWORD length = GetTempPathA(sizeof(folder), folder);
    if (length == 0 || length >= sizeof(folder)) GetWindowsDirectoryA(folder, sizeof(folder));
  }
  char long_form[MAX_PATH] = {};
  const DWORD length = GetLongPathNameA(folder, long_form, sizeof(long_form));
  if (length == 0 || length >= sizeof(long_form)) GetWindowsDirectoryA(long_form, sizeof(long_form));
  platform::CopyStringA(shared.temp_folder, sizeof(shared.temp_folder), long_form);

  uint16_t flags = 0;
  DWORD flag_bytes = sizeof(flags);
  if (settings::ReadPrinterRegValueById(param.settings, storage::kValuePmFlag, &flags, &flag_bytes, 0) == 1) {
    param.settings->SetJobOptionBits(kPmFlagLoadedOption, flags & 1);
  }
}

void CommitUtilityPage(PageParam& param) {
  if (param.shared == nullptr || param.shared->folder_loaded == 0) return;
  settings::JobSettings* s = param.settings;
  settings::EnsurePrinterRegRootKey(s, 0);
  const char* folder = param.shared->temp_folder;
  const DWORD folder_bytes = static_cast<DWORD>(platform::GetStringLengthA(folder, MAX_PATH) + 1);
  settings::WritePrinterRegValue(s, nullptr, nullptr, storage::kValueTempFilePath, REG_SZ, folder, folder_bytes, 0);
  uint32_t value = 0;
  DWORD bytes = sizeof(value);
  if (!settings::ReadPrinterRegValue(s, nullptr, nullptr, storage::kValuePmFlag, &value, &bytes, 0)) value = 0;
  uint16_t word = static_cast<uint16_t>(value);
  word = static_cast<uint16_t>((word & ~5u) | (s->TestJobOptionBits(kPmFlagLoadedOption) ? 1u : 0u) |
                               (s->TestJobOptionBits(kPmFlagSecondOption) ? 4u : 0u));
  settings::WritePrinterRegValue(s, nullptr, nullptr, storage::kValuePmFlag, REG_BINARY, &word, sizeof(word), 0);
}

void DrawUtilityButton(const DRAWITEMSTRUCT* item, const PageParam& param) {
  if (item == nullptr || item->CtlType != ODT_BUTTON) return;
  const int id = static_cast<int>(item->CtlID);
  if (id < kFirstUtilityButton || id > kLastUtilityButton) return;
  HBITMAP bitmap = LoadBitmapA(ResourceModuleOf(param), MAKEINTRESOURCEA(kUtilityButtonBitmap + id - kFirstUtilityButton));
  DrawBitmapButton(item, bitmap, nullptr, kPictureKey);
  DrawItemFocus(item);
  if (bitmap != nullptr) DeleteObject(bitmap);
}

}  // namespace kalimu::pages
