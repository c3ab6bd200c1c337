// The services every page and settings dialog shares: change notification, device-mode
// snapshots, the release of the sheet's page resources, the Windows directory, the Apply-time
// ink-set check, the driver version text, and numbers read from and written to edits.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "kalimu/pages/messages.h"
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/pages/tooltips.h"
#include "kalimu/platform/global_block.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/status/printer_status.h"

namespace kalimu::pages {
namespace {

constexpr int kVersionLabelString = 8064;
constexpr int kInkSetChangedMessage = 22;

// Unlocks and frees a global-memory block held by its locked address, and clears the pointer.
template <typename T>
void FreeLockedBlock(T** block) {
  if (block == nullptr || *block == nullptr) return;
  platform::GlobalBlock::FreeLocked(*block);
  *block = nullptr;
}

}  // namespace

uint16_t NotifySheetChanged(HWND page, const PageParam* param) {
  if (param == nullptr || param->shared == nullptr || param->shared->sheet_window == nullptr) return 0;
  SendMessageW(param->shared->sheet_window, PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
  return 1;
}

settings::DriverDevMode* TakeDevModeSnapshot(const PageParam& param) {
  if (param.settings == nullptr) return nullptr;
  platform::GlobalBlock block;
  if (!block.Allocate(settings::kDevModeSize)) return nullptr;
  if (const settings::DriverDevMode* record = param.settings->GetDriverDevMode(); record != nullptr) {
    std::memcpy(block.data(), record, settings::kDevModeSize);
  }
  return reinterpret_cast<settings::DriverDevMode*>(block.Release());
}

void FreeDevModeSnapshot(settings::DriverDevMode** snapshot) { FreeLockedBlock(snapshot); }

void RestoreDevModeSnapshot(const PageParam* param, const settings::DriverDevMode* snapshot) {
  if (param == nullptr || param->settings == nullptr || snapshot == nullptr) return;
  param->settings->SetDriverDevMode(snapshot);
}

BOOL CancelDialogSnapshot(HWND dialog, const PageParam* param, settings::DriverDevMode** snapshot,
                          uint16_t tooltip_kind, int result) {
  if (snapshot != nullptr) {
    RestoreDevModeSnapshot(param, *snapshot);
    FreeDevModeSnapshot(snapshot);
  }
  RemoveToolTipHook(tooltip_kind);
  return EndDialog(dialog, static_cast<int16_t>(result));
}

void ReleasePageResources(PageParam* param) {
  if (param == nullptr || param->shared == nullptr || param->settings == nullptr) return;
  PageShared& shared = *param->shared;
  FreeLockedBlock(&shared.sample_picture);
  FreeLockedBlock(&shared.watermark_display);
  FreeLockedBlock(&shared.watermark_bitmap);
  RemovePageToolTipHooks();
  FreeDevModeSnapshot(&shared.sheet_snapshot);
  FreeDevModeSnapshot(&shared.dialog_snapshot);
  FreeDevModeSnapshot(&shared.inner_dialog_snapshot);
  if (shared.preview_palette != nullptr) {
    DeleteObject(shared.preview_palette);
    shared.preview_palette = nullptr;
  }
}

void GetWindowsDirPath(char* buffer, size_t size) {
  if (buffer == nullptr) return;
  const UINT length = GetWindowsDirectoryA(nullptr, 0);
  if (length == 0) return;
  platform::GlobalBlock work;
  if (!work.Allocate(static_cast<size_t>(length) + 1)) return;
  auto* path = reinterpret_cast<char*>(work.data());
  const UINT written = GetWindowsDirectoryA(path, length);
  if (written == 0 || written >= length) return;
  if (path[written - 1] != '\\') {
    path[written] = '\\';
    path[written + 1] = '\0';
  }
  platform::CopyStringA(buffer, size, path);
}

void CheckPrinterInkSet(HWND window, PageParam* param) {
  if (param == nullptr || param->shared == nullptr || param->settings == nullptr) return;
  if (param->shared->ink_set_check_done != 0) return;
  std::unique_ptr<status::PrinterStatus> printer_status(status::CreatePrinterStatus(*param->settings));
  if (!printer_status) return;
  model::InkInfoValue ink_set = {};
  printer_status->GetInkSet(&ink_set);
  // IsInkSetDifferent compares at most the record's 16 codes, whatever count the printer claims.
  if (!IsInkSetDifferent(*param->settings, ink_set)) return;
  ShowSettingsMessage(window, *param, 0, kInkSetChangedMessage);
  param->settings->WriteInkInfo(&ink_set);
  param->settings->CreateForModel(&ink_set);
  param->shared->ink_set_check_done = 1;
}

void ShowDriverVersionText(HWND control, const PageParam* param) {
  if (param == nullptr || param->settings == nullptr) return;
  constexpr int kLabelChars = 64;
  constexpr size_t kVersionChars = 128;
  char label[kLabelChars + 1] = {};
  LoadPageString(*param, kVersionLabelString, label, sizeof(label));
  char version[kVersionChars] = {};
  param->settings->GetDriverVersionText(version, sizeof(version));
  char text[MAX_PATH] = {};
  platform::CopyStringA(text, sizeof(text), label);
  platform::AppendStringA(text, sizeof(text), " ");
  platform::AppendStringA(text, sizeof(text), version);
  SetWindowTextA(control, text);
}

int32_t ReadEditNumber(HWND dialog, int control) {
  char text[32] = {};
  GetDlgItemTextA(dialog, control, text, sizeof(text));
  return static_cast<int32_t>(std::strtol(text, nullptr, 10));
}

void WriteEditNumber(HWND dialog, int control, int32_t value) {
  SetDlgItemInt(dialog, control, static_cast<UINT>(value), TRUE);
}

}  // namespace kalimu::pages
