// The driver options dialog's check boxes, monitor switch, OK, Cancel and owner-drawn items.
#include "kalimu/dialogs/driver_options_dialog.h"

#include <cstring>

#include "kalimu/dialogs/dialog_services.h"
#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/messages.h"
#include "kalimu/pages/page_access.h"
#include "kalimu/pages/tooltips.h"
#include "kalimu/platform/program_start.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/printer_reg_values.h"
#include "kalimu/status/monitor_link.h"

namespace kalimu::dialogs {
namespace {

constexpr uint16_t kTips = pages::kDriverOptionsTips;
constexpr DWORD kDialogHelpContext = 2304;
constexpr COLORREF kBitmapKey = RGB(0, 0, 255);
constexpr int kMonitorOffMessage = 36;
constexpr int16_t kMonitorSettingsRequest = 3;
constexpr int16_t kMonitorProbeRequest = 5;
// Drive bitmaps 2..6 (by drive kind), then folder bitmaps 10..12 (by folder kind).
constexpr int kBitmapIds[pages::kDriverOptionBitmaps] = {2, 3, 4, 5, 6, 10, 11, 12};

constexpr DWORD kHelpTable[] = {
    2500, 2304, 2501, 2309, 2508, 2320, 2509, 2325, 2502, 2336, 2506, 2336, 2505, 2336, 2503, 2336,
    2511, 2341, 2512, 2352, 2513, 2357, 2514, 2368, 2517, 2373, 2518, 2384, 2519, 2389,
    2504, kNoHelp, 2510, kNoHelp, 0, 0};

// Job option bits written on OK by check boxes that only some templates have.
constexpr struct {
  int control;
  uint32_t bit;
} kOptionalChecks[] = {{kOptionCheck800, 0x800}, {kOptionCheck8000, 0x8000}, {kOptionCheck10000, 0x10000}};

// The process's current directory when the dialog opened (one modal dialog per thread).
thread_local char t_start_directory[MAX_PATH] = {};

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
void Check(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }
void Enable(HWND dialog, int id, bool on) { EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE); }
HANDLE PrinterOf(const PageParam& param) { return param.context != nullptr ? param.context->printer : nullptr; }

void LoadBitmaps(const PageParam& param) {
  HMODULE module = pages::ResourceModuleOf(param);
  for (int k = 0; k < pages::kDriverOptionBitmaps; ++k) {
    HBITMAP& slot = param.shared->driver_option_bitmaps[k];
    if (slot != nullptr) DeleteObject(slot);
    slot = module != nullptr ? LoadBitmapA(module, MAKEINTRESOURCEA(kBitmapIds[k])) : nullptr;
  }
}

void DeleteBitmaps(const PageParam& param) {
  for (HBITMAP& slot : param.shared->driver_option_bitmaps) {
    if (slot != nullptr) DeleteObject(slot);
    slot = nullptr;
  }
}

void RestoreStartDirectory() {
  if (t_start_directory[0] != '\0') SetCurrentDirectoryA(t_start_directory);
  t_start_directory[0] = '\0';
}

// The monitor's state: 2508 and 2512 follow the monitor-enabled flag.
void ShowMonitorUse(HWND dialog, const PageParam& param, bool in_use) {
  Enable(dialog, kMonitorForJobCheck, in_use);
  Enable(dialog, kMonitorSettings, in_use);
  if (!in_use) Check(dialog, kMonitorForJobCheck, false);
}

void FillFolders(HWND dialog, const PageParam& param) {
  char path[MAX_PATH + 1] = {};
  std::memcpy(path, param.shared->temp_folder, sizeof(param.shared->temp_folder));
  path[MAX_PATH - 1] = '\0';
  size_t length = std::strlen(path);
  if (length > 0 && path[length - 1] == ':') std::strcat(path, "\\");
  if (length == 0 || !SetCurrentDirectoryA(path)) {
    // No folder stored, or one that is gone: start where the process is.
    const DWORD n = GetCurrentDirectoryA(MAX_PATH, path);
    if (n == 0 || n >= MAX_PATH) return;
  }
  FillDriveCombo(dialog, path[0]);
  FillFolderTree(dialog, path);
  ShowFolderPath(dialog);
}

}  // namespace

void InitDriverOptionsDialog(HWND dialog, PageParam& param) {
  settings::JobSettings& settings = *param.settings;
  PageShared& shared = *param.shared;
  pages::StorePageParam(dialog, &param);
  const DWORD n = GetCurrentDirectoryA(sizeof(t_start_directory), t_start_directory);
  if (n == 0 || n >= sizeof(t_start_directory)) t_start_directory[0] = '\0';
  TakeDevModeSnapshot(param, &shared.dialog_snapshot);

  Check(dialog, kRasterCheck, settings.TestJobOptionBits(16) != 0);
  Check(dialog, kMonitorForJobCheck, settings.TestJobOptionBits(64) != 0);
  ShowMonitorUse(dialog, param, shared.monitor_enabled != 0);
  if (settings.TestDeviceOptionBits(0x200)) {
    EnableWindow(GetDlgItem(dialog, kMonitorForJobCheck), FALSE);
    ShowWindow(GetDlgItem(dialog, kMonitorForJobCheck), SW_HIDE);
  }
  if (settings.TestNoBidiFlagBits(2)) ShowWindow(GetDlgItem(dialog, kMonitorForJobCheck), SW_HIDE);
  Check(dialog, kLayoutBitCheck, settings.TestLayoutOptionBits(1) != 0);

  shared.saved_stm_setting = shared.stm_setting != 0 ? 1 : 0;
  shared.saved_monitor_enabled = shared.monitor_enabled != 0 ? 1 : 0;
  Check(dialog, kMonitorOffCheck, shared.stm_setting != 0);
  uint32_t flags = 0;
  uint32_t value = 0;
  status::CheckStmSetting(PrinterOf(param), &settings, &flags, &value);
  if ((flags & status::kStmCannotWrite) != 0) Enable(dialog, kMonitorOffCheck, false);

  Check(dialog, kSkipBlankCheck, settings.TestJobOptionBits(32) != 0);
  LoadBitmaps(param);

  FillFolders(dialog, param);
  if (!settings::EnsurePrinterRegRootKey(&settings, 0)) {
    Enable(dialog, kDriveCombo, false);
    Enable(dialog, kFolderTree, false);
    Enable(dialog, kMonitorSettings, false);
  }
  for (const auto& c : kOptionalChecks) {
    if (GetDlgItem(dialog, c.control) != nullptr) Check(dialog, c.control, settings.TestJobOptionBits(c.bit) != 0);
  }
  pages::InstallToolTips(dialog, kTips);
}

void SwitchMonitor(HWND dialog, PageParam& param) {
  settings::JobSettings& settings = *param.settings;
  PageShared& shared = *param.shared;
  if (Checked(dialog, kMonitorOffCheck)) {
    shared.stm_setting = 1;
    pages::ShowSettingsMessage(dialog, param, MB_OK, kMonitorOffMessage);
    ShowMonitorUse(dialog, param, false);
    settings.SetJobOptionBits(64, 0);
    shared.monitor_enabled = 0;
  } else {
    shared.stm_setting = 0;
    ShowMonitorUse(dialog, param, true);
    Check(dialog, kMonitorForJobCheck, true);
    settings.SetJobOptionBits(64, 1);
    shared.monitor_enabled = 1;
    status::WriteStmSetting(PrinterOf(param), &settings, 0);
  }
}

void ConfirmDriverOptions(HWND dialog, PageParam& param) {
  settings::JobSettings& settings = *param.settings;
  PageShared& shared = *param.shared;
  DeleteBitmaps(param);
  char path[MAX_PATH] = {};
  if (ComposeFolderPath(dialog, path, sizeof(shared.temp_folder))) {
    std::memcpy(shared.temp_folder, path, sizeof(shared.temp_folder));
  }
  status::WriteStmSetting(PrinterOf(param), &settings, shared.stm_setting != 0 ? 1 : 0);
  char command[MAX_PATH] = {};
  const int probe =
      status::BuildMonitorCommand(command, sizeof(command), PrinterOf(param), kMonitorProbeRequest, nullptr, &settings);
  if (settings.TestDeviceOptionBits(0x200) && probe >= 2 && probe <= 4) {
    settings.SetJobOptionBits(64, Checked(dialog, kMonitorForJobCheck) ? 1 : 0);
  }
  settings.SetJobOptionBits(32, Checked(dialog, kSkipBlankCheck) ? 1 : 0);
  for (const auto& c : kOptionalChecks) {
    if (GetDlgItem(dialog, c.control) != nullptr) settings.SetJobOptionBits(c.bit, Checked(dialog, c.control) ? 1 : 0);
  }
  FreeDevModeSnapshot(&shared.dialog_snapshot);
  pages::RemoveToolTipHook(kTips);
  RestoreStartDirectory();
  EndSettingsDialog(dialog, 1);
}

void CancelDriverOptions(HWND dialog, PageParam& param) {
  PageShared& shared = *param.shared;
  DeleteBitmaps(param);
  CancelDialogSnapshot(dialog, param, &shared.dialog_snapshot, kTips, 0);
  shared.monitor_enabled = shared.saved_monitor_enabled != 0 ? 1 : 0;
  shared.stm_setting = shared.saved_stm_setting != 0 ? 1 : 0;
  status::WriteStmSetting(PrinterOf(param), param.settings, shared.stm_setting);
  RestoreStartDirectory();
}

void DrawDriverOptionsItem(HWND dialog, const PageParam& param, const DRAWITEMSTRUCT* item) {
  if (static_cast<int>(item->itemID) < 0) return;
  const bool tree = item->CtlID == kFolderTree;
  HDC dc = item->hDC;
  if ((item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) != 0) {
    char text[MAX_PATH] = {};
    const UINT get_length = tree ? LB_GETTEXTLEN : CB_GETLBTEXTLEN;
    const UINT get_text = tree ? LB_GETTEXT : CB_GETLBTEXT;
    const LRESULT length = SendMessageA(item->hwndItem, get_length, item->itemID, 0);
    if (length >= 0 && length < static_cast<LRESULT>(sizeof(text))) {
      SendMessageA(item->hwndItem, get_text, item->itemID, reinterpret_cast<LPARAM>(text));
    }
    const DWORD data = static_cast<DWORD>(item->itemData);
    const uint16_t kind = HIWORD(data);
    int slot = -1;
    if (tree && kind >= kSubfolder && kind <= kCurrentFolder) slot = 5 + (kind - kSubfolder);
    if (!tree && kind >= 2 && kind <= 6) slot = kind - 2;
    HBITMAP bitmap = slot >= 0 ? param.shared->driver_option_bitmaps[slot] : nullptr;
    BITMAP size{};
    if (bitmap != nullptr) GetObjectA(bitmap, sizeof(size), &size);

    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    const COLORREF background = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    const COLORREF old_text = SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const COLORREF old_background = SetBkColor(dc, background);
    const RECT& box = item->rcItem;
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(dc, &box, brush);
    DeleteObject(brush);
    const int left = tree ? box.left + (LOWORD(data) + 1) * 4 : box.left;
    const int height = box.bottom - box.top;
    if (bitmap != nullptr) {
      HDC source = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(source, bitmap);
      pages::BlitTransparent(dc, left, box.top + (height - size.bmHeight) / 2, source, size.bmWidth, size.bmHeight,
                             kBitmapKey);
      SelectObject(source, old);
      DeleteDC(source);
    }
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    const int text_left = left + size.bmWidth + 4;
    RECT text_box{text_left, box.top, box.right, box.bottom};
    ExtTextOutA(dc, text_left, box.top + (height - metrics.tmHeight) / 2, ETO_OPAQUE, &text_box, text,
                static_cast<UINT>(std::strlen(text)), nullptr);
    SetTextColor(dc, old_text);
    SetBkColor(dc, old_background);
    if ((item->itemState & ODS_FOCUS) != 0) DrawFocusRect(dc, &box);
    if (tree) ShowFolderPath(dialog);
  } else if ((item->itemAction & ODA_FOCUS) != 0) {
    DrawFocusRect(dc, &item->rcItem);
  }
}

INT_PTR CALLBACK DriverOptionsDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    InitDriverOptionsDialog(dialog, *reinterpret_cast<PageParam*>(lparam));
    return TRUE;
  }
  if (message == WM_MEASUREITEM) {  // arrives before WM_INITDIALOG
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
    if (item->CtlID != kDriveCombo) return FALSE;
    pages::MeasureComboItem(dialog, item);
    return TRUE;
  }
  PageParam* param = pages::PageParamOf(dialog);
  if (param == nullptr) return FALSE;
  if (HandleTipsAndHelp(dialog, message, wparam, lparam, *param, kTips, kHelpTable)) return TRUE;
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      const int code = HIWORD(wparam);
      settings::JobSettings& settings = *param->settings;
      switch (id) {
        case IDOK: ConfirmDriverOptions(dialog, *param); return TRUE;
        case IDCANCEL: CancelDriverOptions(dialog, *param); return TRUE;
        case kRasterCheck: settings.SetJobOptionBits(16, Checked(dialog, id) ? 1 : 0); return TRUE;
        case kMonitorForJobCheck: settings.SetJobOptionBits(64, Checked(dialog, id) ? 1 : 0); return TRUE;
        case kDriverOptionsHelp: ShowHelpTopic(dialog, *param, kDialogHelpContext); return TRUE;
        case kDriveCombo:
          if (code == CBN_SELCHANGE) EnterSelectedDrive(dialog);
          return TRUE;
        case kFolderTree:
          if (code == LBN_SELCHANGE) ShowFolderPath(dialog);
          if (code == LBN_DBLCLK) EnterFolderItem(dialog);
          return TRUE;
        case kMonitorSettings: {
          char command[MAX_PATH] = {};
          const int kind = status::BuildMonitorCommand(command, sizeof(command), PrinterOf(*param),
                                                       kMonitorSettingsRequest, nullptr, &settings);
          if (kind == 3 || kind == 4) platform::RunProgram(command, SW_SHOW);
          return TRUE;
        }
        case kMonitorOffCheck: SwitchMonitor(dialog, *param); return TRUE;
        default: return FALSE;
      }
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item->CtlID != kFolderTree && item->CtlID != kDriveCombo) return FALSE;
      DrawDriverOptionsItem(dialog, *param, item);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace kalimu::dialogs
