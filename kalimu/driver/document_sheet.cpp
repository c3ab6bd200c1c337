// The document property sheet's window paths: the sheet callback's reasons, the setup before
// the pages exist, and the component that shows the sheet.
#include "kalimu/driver/document_sheet.h"

#include <prsht.h>

#include <cstdio>
#include <cstring>

#include "kalimu/driver/device_sheet.h"
#include "kalimu/pages/custom_controls.h"
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/page_records.h"
#include "kalimu/platform/module_handle.h"
#include "kalimu/platform/win32_helpers.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/printer_reg_values.h"
#include "kalimu/status/monitor_link.h"
#include "kalimu/storage/driver_registry.h"

namespace kalimu::driver {
namespace {

constexpr LONG kFailure = -1;
constexpr uint32_t kNoPermission = 0x20;  // DM_NOPERMISSION of the caller's mode
constexpr DWORD kPageFlags = PSP_USEICONID | PSP_HASHELP;

// JobOptions bits that mirror "PMFlag", by the value that keeps each.
struct PmFlagBit {
  uint16_t value;
  uint32_t job_option;
};
constexpr PmFlagBit kPmFlagBits[] = {{2, 0x80}, {1, 0x40}, {4, 0x800}};

// Monitor probe answers that mean a status monitor serves the printer.
constexpr int kMonitorModeOne = 3;
constexpr int kMonitorModeTwo = 4;
constexpr int16_t kMonitorProbe = 5;

struct DocumentPage {
  WORD template_id;
  WORD icon_id;
  DLGPROC procedure;
};
constexpr DocumentPage kDocumentPages[kSheetPages] = {
    {900, 7200, &pages::MainPageProc},
    {901, 7201, &pages::PaperPageProc},
    {902, 7202, &pages::LayoutPageProc},
    {903, 7203, &pages::UtilityPageProc},
};

template <typename T>
T* AllocateOnSheet(SheetContext* context) {
  return static_cast<T*>(HeapAlloc(context->heap, HEAP_ZERO_MEMORY, sizeof(T)));
}

void LoadPmFlags(settings::JobSettings& job) {
  uint32_t options = job.GetJobOptions();
  for (const PmFlagBit& bit : kPmFlagBits) options &= ~bit.job_option;
  uint16_t pm_flag = 0;
  DWORD size = sizeof(pm_flag);
  if (settings::ReadPrinterRegValueById(&job, storage::kValuePmFlag, &pm_flag, &size, 0) != 0) {
    for (const PmFlagBit& bit : kPmFlagBits) {
      if ((pm_flag & bit.value) != 0) options |= bit.job_option;
    }
  }
  job.SetJobOptions(options);
}

uint32_t ProbeMonitor(HANDLE printer, settings::JobSettings& job) {
  uint32_t flags = 0;
  uint32_t value = 0;
  status::CheckStmSetting(printer, &job, &flags, &value);
  if ((flags & status::kStmCannotWrite) != 0) return 0;
  char command[MAX_PATH] = {};
  const int answer = status::BuildMonitorCommand(command, sizeof(command), printer, kMonitorProbe, nullptr, &job);
  return answer == kMonitorModeOne || answer == kMonitorModeTwo ? 1 : 0;
}

// Adds the four pages; 1, or 0 when the component refused one (those before it stay added).
int AddDocumentPages(const PROPSHEETUI_INFO& info, SheetContext* context, PageParam* param) {
  if (info.pfnComPropSheet == nullptr) return 0;
  auto* page = AllocateOnSheet<PROPSHEETPAGEW>(context);
  if (page == nullptr) return 0;
  static_assert(sizeof(PROPSHEETPAGEW) == 96);
  page->dwSize = sizeof(PROPSHEETPAGEW);
  page->dwFlags = kPageFlags;
  page->hInstance = context->resource_module;
  page->lParam = reinterpret_cast<LPARAM>(param);
  context->sheet_callback = info.pfnComPropSheet;
  context->sheet_handle = info.hComPropSheet;
  for (int i = 0; i < kSheetPages; ++i) {
    page->pszTemplate = MAKEINTRESOURCEW(kDocumentPages[i].template_id);
    page->pszIcon = MAKEINTRESOURCEW(kDocumentPages[i].icon_id);
    page->pfnDlgProc = kDocumentPages[i].procedure;
    HPROPSHEETPAGE created = CreatePropertySheetPageW(page);
    if (created == nullptr) return 0;
    const LONG_PTR handle =
        info.pfnComPropSheet(info.hComPropSheet, CPSFUNC_ADD_HPROPSHEETPAGE, reinterpret_cast<LPARAM>(created), 0);
    if (handle == 0) {
      DestroyPropertySheetPage(created);
      return 0;
    }
    context->page_handles[i] = handle;
  }
  return 1;
}

LONG InitSheet(PROPSHEETUI_INFO* info, DOCUMENTPROPERTYHEADER* header) {
  SheetContext* context = CreateSheetContext(header->hPrinter, header->pdmIn, kDocumentSheet);
  info->UserData = reinterpret_cast<ULONG_PTR>(context);
  if (context == nullptr) return kFailure;
  auto* param = AllocateOnSheet<PageParam>(context);
  if (param == nullptr) return kFailure;
  context->printer = header->hPrinter;
  if (!SetUpDocumentSheet(param, header, context)) return kFailure;
  param->context = context;
  info->Result = 0;
  return AddDocumentPages(*info, context, param) ? 1 : kFailure;
}

LONG DestroySheet(SheetContext* context) {
  if (context->resource_module != nullptr) {
    pages::UnregisterCustomControls(context->resource_module);
    FreeLibrary(context->resource_module);
    context->resource_module = nullptr;
  }
  DestroySheetContext(context);
  return 1;
}

LONG SetResult(SheetContext* context, const SETRESULT_INFO* result, const DOCUMENTPROPERTYHEADER* header) {
  if (result != nullptr && result->Result == CPSUI_OK && (header->fMode & (DM_UPDATE | DM_COPY)) != 0 &&
      header->pdmOut != nullptr) {
    std::memcpy(header->pdmOut, &context->dev_mode, settings::kDevModeSize);
  }
  return 1;
}

}  // namespace

int SetUpDocumentSheet(PageParam* param, const DOCUMENTPROPERTYHEADER* header, SheetContext* context) {
  settings::JobSettings* job = settings::CreateJobSettings(&context->dev_mode, context->printer, nullptr, nullptr);
  param->settings = job;
  if (job == nullptr) return 0;
  context->settings = job;  // the context destroys it

  char path[MAX_PATH] = {};
  job->GetUiResourceModulePath(path, sizeof(path));
  context->resource_module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (context->resource_module == nullptr) {
    // A path of up to 260 bytes does not fit the message whole: it is cut, never overrun.
    char message[256];
    std::snprintf(message, sizeof(message), "DLL file (%s) not found!", path);
    platform::ShowDlgDllMessage(message);
    return 0;
  }
  pages::RegisterCustomControls(context->resource_module);
  context->may_change = (header->fMode & kNoPermission) == 0 ? 1 : 0;
  context->notification_style = 1;

  auto* shared = AllocateOnSheet<pages::PageShared>(context);
  if (shared == nullptr) return 0;
  shared->resource_module = context->resource_module;
  param->shared = shared;

  LoadPmFlags(*job);
  job->SetSheetState(0);
  uint32_t message_flag = 0;
  job->ReadMessageDialogFlag(&message_flag);
  job->SetPersistentOptions(message_flag);
  shared->monitor_present = ProbeMonitor(context->printer, *job);
  context->pages_ready = 1;
  return 1;
}

LONG RunDocumentSheetReason(PROPSHEETUI_INFO* info, LPARAM lparam, DOCUMENTPROPERTYHEADER* header) {
  if (info->Reason == PROPSHEETUI_REASON_INIT) return InitSheet(info, header);
  auto* context = reinterpret_cast<SheetContext*>(info->UserData);
  if (context == nullptr) return kFailure;
  switch (info->Reason) {
    case PROPSHEETUI_REASON_GET_INFO_HEADER: {
      auto* info_header = reinterpret_cast<PROPSHEETUI_INFO_HEADER*>(lparam);
      if (info_header == nullptr) return kFailure;
      info_header->Flags = 0;
      info_header->pTitle = nullptr;
      info_header->hInst = platform::KalimuModule();
      info_header->IconID = 0;
      return 1;
    }
    case PROPSHEETUI_REASON_DESTROY:
      info->UserData = 0;
      return DestroySheet(context);
    case PROPSHEETUI_REASON_SET_RESULT:
      return SetResult(context, reinterpret_cast<const SETRESULT_INFO*>(lparam), header);
    default:
      return kFailure;
  }
}

LONG ShowDocumentSheet(HWND window, DOCUMENTPROPERTYHEADER* header) {
  DWORD result = 0;
  if (RunCommonPropertySheet(window, &DrvDocumentPropertySheets, reinterpret_cast<LPARAM>(header), &result) < 0) {
    return kFailure;
  }
  return static_cast<LONG>(result);
}

BOOL ShowAdvancedDocumentSheet(HWND window, DOCUMENTPROPERTYHEADER* header) {
  header->cbOut = 0;
  return ShowDocumentSheet(window, header) > 0 ? TRUE : FALSE;
}

}  // namespace kalimu::driver
