// The sheet services of the paper and layout pages and of the binding margin dialog.
#include "kalimu/pages/paper_page_frame.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "kalimu/platform/global_block.h"
#include "kalimu/pages/tooltips.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/platform/win32_helpers.h"
#include "kalimu/status/printer_status.h"

namespace kalimu::pages::paper_layout {

int MarkChanged(HWND page, const PageParam& param) {
  if (param.shared == nullptr || param.shared->sheet_window == nullptr) return 0;
  SendMessageA(param.shared->sheet_window, PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
  return 1;
}

bool TakeSnapshot(const PageParam& param, settings::DriverDevMode** slot) {
  if (slot == nullptr) return false;
  if (*slot != nullptr) return true;
  if (param.settings == nullptr || param.settings->GetDriverDevMode() == nullptr) return false;
  platform::GlobalBlock block;
  if (!block.Allocate(sizeof(settings::DriverDevMode))) return false;
  std::memcpy(block.data(), param.settings->GetDriverDevMode(), sizeof(settings::DriverDevMode));
  *slot = reinterpret_cast<settings::DriverDevMode*>(block.Release());
  return true;
}

void RestoreSnapshot(const PageParam& param, const settings::DriverDevMode* snapshot) {
  if (snapshot != nullptr && param.settings != nullptr) param.settings->SetDriverDevMode(snapshot);
}

void FreeSnapshot(settings::DriverDevMode** slot) {
  if (slot == nullptr || *slot == nullptr) return;
  platform::GlobalBlock::FreeLocked(*slot);
  *slot = nullptr;
}

void ReleaseSheetResources(const PageParam& param) {
  if (param.shared == nullptr || param.settings == nullptr) return;
  PageShared& shared = *param.shared;
  for (void** buffer : {&shared.sample_picture, &shared.watermark_display, &shared.watermark_bitmap}) {
    if (*buffer != nullptr) platform::GlobalBlock::FreeLocked(*buffer);
    *buffer = nullptr;
  }
  RemovePageToolTipHooks();
  FreeSnapshot(&shared.sheet_snapshot);
  FreeSnapshot(&shared.dialog_snapshot);
  FreeSnapshot(&shared.inner_dialog_snapshot);
  if (shared.preview_palette != nullptr) DeleteObject(shared.preview_palette);
  shared.preview_palette = nullptr;
}

void ApplyPage(HWND page, const PageParam& param, driver::SheetPage which) {
  settings::JobSettings& s = *param.settings;
  if (param.shared->sheet_snapshot != nullptr && s.GetDriverDevMode() != nullptr) {
    std::memcpy(param.shared->sheet_snapshot, s.GetDriverDevMode(), sizeof(settings::DriverDevMode));
  }
  if (param.context != nullptr) {
    // The public record the settings were made over; the driver record when they have none.
    const DEVMODEW* source = s.GetDevMode();
    if (source == nullptr && s.GetDriverDevMode() != nullptr) source = &s.GetDriverDevMode()->Public;
    if (source != nullptr && reinterpret_cast<const void*>(source) != &param.context->dev_mode) {
      platform::CopyDevModeRecord(source, reinterpret_cast<DEVMODEW*>(&param.context->dev_mode));
    }
    if (param.context->sheet_callback != nullptr) {
      param.context->sheet_callback(param.context->sheet_handle, CPSFUNC_SET_RESULT, param.context->page_handles[which],
                                    CPSUI_OK);
    }
  }
  SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
  ReleaseSheetResources(param);
}

void ResetPage(const PageParam& param) {
  if (param.shared == nullptr) return;
  RestoreSnapshot(param, param.shared->sheet_snapshot);
  ReleaseSheetResources(param);
}

void ShowVersionText(HWND control, const PageParam& param) {
  if (control == nullptr) return;
  char text[MAX_PATH] = {};
  LoadPageString(param, 8064, text, 64);
  char version[128] = {};
  if (param.settings != nullptr) param.settings->GetDriverVersionText(version, sizeof(version));
  platform::AppendStringA(text, sizeof(text), " ");
  platform::AppendStringA(text, sizeof(text), version);
  SetWindowTextA(control, text);
}

void RequestStatusRefresh(const PageParam& param) {
  if (param.settings == nullptr) return;
  std::unique_ptr<status::PrinterStatus> printer(status::CreatePrinterStatus(*param.settings));
  if (printer != nullptr) printer->RefreshStatus();
}

int32_t ReadEditNumber(HWND dialog, int control) {
  char text[32] = {};
  GetDlgItemTextA(dialog, control, text, sizeof(text));
  return static_cast<int32_t>(std::strtol(text, nullptr, 10));
}

void WriteEditNumber(HWND dialog, int control, int32_t value) {
  SetDlgItemInt(dialog, control, static_cast<UINT>(value), TRUE);
}

namespace {
constexpr uint32_t kNoHelp = 0xFFFFFFFFu;
}  // namespace

const HelpIdPair kPaperPageHelpIds[] = {
    {901, 512},  {2212, 517}, {2232, 517}, {2201, 517}, {2213, 528}, {2202, 528}, {2217, 533}, {2218, 533},
    {2222, 533}, {2223, 533}, {2219, 533}, {2220, 533}, {2221, 533}, {2215, 544}, {2203, 544}, {2204, 544},
    {2205, 544}, {2216, 549}, {2206, 549}, {2207, 549}, {2248, 549}, {2208, 549}, {2224, 560}, {2225, 560},
    {2226, 560}, {2227, 560}, {2228, 560}, {2229, 560}, {2230, 560}, {2231, 560}, {2238, 560}, {2233, 565},
    {2236, 576}, {2237, 576}, {2239, 581}, {2254, 592}, {2260, 583}, {2209, 32},  {2210, kNoHelp},
    {2211, kNoHelp}, {0, 0}};

const HelpIdPair kLayoutPageHelpIds[] = {
    {902, 768},  {2403, 773}, {2417, 773}, {2418, 773}, {2419, 773}, {2431, 773}, {2404, 773}, {2405, 773},
    {2420, 773}, {2406, 773}, {2407, 773}, {2408, 773}, {2412, 784}, {2424, 784}, {2436, 784}, {2425, 816},
    {2410, 816}, {2411, 816}, {2415, 805}, {2413, 816}, {2426, 821}, {2446, 821}, {2447, 821}, {2448, 821},
    {2449, 821}, {2423, 821}, {2440, 832}, {2421, 789}, {2414, 789}, {2422, 789}, {2409, 789}, {2432, 800},
    {2433, 800}, {2434, 800}, {2435, 800}, {2401, 32},  {2430, kNoHelp}, {2402, kNoHelp}, {2416, kNoHelp},
    {0, 0}};

const HelpIdPair kBindingMarginHelpIds[] = {
    {2960, 5376}, {2963, 5381}, {2964, 5381}, {2965, 5381}, {2972, 5381},    {2973, 5381},
    {2974, 5381}, {2966, 5392}, {2967, 5392}, {2968, 5392}, {2969, 5397},    {2970, 5397},
    {2971, 5397}, {2962, kNoHelp}, {2961, kNoHelp}, {2975, kNoHelp}, {0, 0}};

void ShowTableHelp(HWND dialog, HWND help_window, UINT command, const HelpIdPair* table) {
  const PageParam* param = PageParamOf(dialog);
  if (param == nullptr || param->settings == nullptr) return;
  char path[MAX_PATH] = {};
  param->settings->GetHelpFilePath(path, sizeof(path));
  WinHelpA(help_window, path, command, reinterpret_cast<ULONG_PTR>(table));
}

void ShowContextTopic(HWND window, const PageParam& param, DWORD context) {
  if (param.settings == nullptr) return;
  char path[MAX_PATH] = {};
  param.settings->GetHelpFilePath(path, sizeof(path));
  WinHelpA(window, path, HELP_CONTEXT, context);
}

}  // namespace kalimu::pages::paper_layout
