// The device property sheet's reasons and PrinterProperties.
#include "kalimu/driver/device_sheet.h"

#include <prsht.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>

#include "kalimu/driver/export_guard.h"
#include "kalimu/driver/sheet_context.h"
#include "kalimu/pages/version_page.h"
#include "kalimu/platform/module_handle.h"
#include "kalimu/platform/win32_helpers.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::driver {
namespace {

constexpr LONG kFailure = -1;
constexpr size_t kMessageBytes = 256;
constexpr size_t kPathBytes = 256;

PrinterPropertiesCalls g_calls = {&ProbePrinterDataPermission, &RunCommonPropertySheet};

// "DLL file (<base name>.dll) not found!" for the library at `path`: the name without its
// folder and extension.
void FormatMissingLibraryText(const char* path, char* out, size_t size) {
  const char* name = path;
  for (const char* p = path; *p != '\0'; ++p) {
    if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
  }
  size_t length = std::strlen(name);
  if (const char* dot = std::strrchr(name, '.')) length = static_cast<size_t>(dot - name);
  std::snprintf(out, size, "DLL file (%.*s.dll) not found!", static_cast<int>(length), name);
}

// Everything INIT made before a failure that compstui will not learn of: the page, the library
// and the context with its heap.
void ReleaseInit(SheetContext* context, HPROPSHEETPAGE page) {
  if (page != nullptr) DestroyPropertySheetPage(page);
  if (context->resource_module != nullptr) {
    FreeLibrary(context->resource_module);
    context->resource_module = nullptr;
  }
  DestroySheetContext(context);
}

LONG InitDeviceSheet(PROPSHEETUI_INFO* info, const DEVICEPROPERTYHEADER& header) {
  SheetContext* context = CreateSheetContext(header.hPrinter, nullptr, kDeviceSheet);
  if (context == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return kFailure;
  }
  context->settings = settings::CreateJobSettings(&context->dev_mode, context->printer, nullptr, nullptr);
  auto* param = static_cast<PageParam*>(HeapAlloc(context->heap, HEAP_ZERO_MEMORY, sizeof(PageParam)));
  auto* page = static_cast<PROPSHEETPAGEW*>(HeapAlloc(context->heap, HEAP_ZERO_MEMORY, sizeof(PROPSHEETPAGEW)));
  if (context->settings == nullptr || param == nullptr || page == nullptr) {
    ReleaseInit(context, nullptr);
    return kFailure;
  }
  *param = PageParam{context->settings, nullptr, context};

  char path[kPathBytes] = {};
  context->settings->GetUiResourceModulePath(path, sizeof(path));
  context->resource_module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (context->resource_module == nullptr) {
    char text[kMessageBytes];
    FormatMissingLibraryText(path, text, sizeof(text));
    platform::ShowDlgDllMessage(text);
    info->UserData = reinterpret_cast<ULONG_PTR>(context);  // DESTROY releases it
    return kFailure;
  }

  page->dwSize = sizeof(PROPSHEETPAGEW);
  page->dwFlags = 0;
  page->hInstance = context->resource_module;
  page->pszTemplate = MAKEINTRESOURCEW(pages::kVersionPageTemplate);
  page->pfnDlgProc = &pages::VersionPageProc;
  page->lParam = reinterpret_cast<LPARAM>(param);
  HPROPSHEETPAGE handle = CreatePropertySheetPageW(page);
  context->sheet_callback = info->pfnComPropSheet;
  context->sheet_handle = info->hComPropSheet;
  const LONG_PTR added = handle != nullptr && info->pfnComPropSheet != nullptr
                             ? info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_HPROPSHEETPAGE,
                                                     reinterpret_cast<LPARAM>(handle), 0)
                             : 0;
  if (added == 0) {
    ReleaseInit(context, handle);
    return kFailure;
  }
  context->page_handles[0] = added;
  info->UserData = reinterpret_cast<ULONG_PTR>(context);
  info->Result = 0;
  return 1;
}

}  // namespace

LONG RunDeviceSheetReason(PROPSHEETUI_INFO* info, LPARAM lparam) {
  if (info == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return kFailure;
  }
  const auto* header = reinterpret_cast<const DEVICEPROPERTYHEADER*>(info->lParamInit);
  if (header == nullptr) return kFailure;
  if (info->Reason == PROPSHEETUI_REASON_INIT) return InitDeviceSheet(info, *header);

  auto* context = reinterpret_cast<SheetContext*>(info->UserData);
  if (context == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return kFailure;
  }
  switch (info->Reason) {
    case PROPSHEETUI_REASON_GET_INFO_HEADER: {
      auto* out = reinterpret_cast<PROPSHEETUI_INFO_HEADER*>(lparam);
      if (out == nullptr) return kFailure;
      out->Flags = 0;
      out->pTitle = reinterpret_cast<LPTSTR>(header->pszPrinterName);  // compstui takes wide texts
      out->hInst = platform::KalimuModule();
      out->IconID = 0;
      return 1;
    }
    case PROPSHEETUI_REASON_DESTROY:
      if (context->resource_module != nullptr) FreeLibrary(context->resource_module);
      context->resource_module = nullptr;
      info->UserData = 0;
      DestroySheetContext(context);
      return 1;
    case PROPSHEETUI_REASON_SET_RESULT: {
      const auto* result = reinterpret_cast<const SETRESULT_INFO*>(lparam);
      if (result == nullptr) return kFailure;
      info->Result = result->Result;
      return 1;
    }
    default:
      return kFailure;
  }
}

PrinterPropertiesCalls ReplacePrinterPropertiesCalls(const PrinterPropertiesCalls& calls) {
  const PrinterPropertiesCalls previous = g_calls;
  g_calls = calls;
  return previous;
}

BOOL ProbePrinterDataPermission(HANDLE printer) {
  DWORD one = 1;
  wchar_t name[sizeof(kPermissionProbeValue)];
  for (size_t i = 0; i < sizeof(kPermissionProbeValue); ++i) name[i] = static_cast<wchar_t>(kPermissionProbeValue[i]);
  return SetPrinterDataW(printer, name, REG_DWORD, reinterpret_cast<BYTE*>(&one), sizeof(one)) == ERROR_SUCCESS;
}

LONG RunCommonPropertySheet(HWND window, PFNPROPSHEETUI callback, LPARAM lparam, DWORD* result) {
  using CommonPropertySheet = LONG(WINAPI*)(HWND, PFNPROPSHEETUI, LPARAM, LPDWORD);
  HMODULE library = LoadLibraryA("compstui.dll");
  if (library == nullptr) return kFailure;
  auto run = reinterpret_cast<CommonPropertySheet>(
      reinterpret_cast<void*>(GetProcAddress(library, "CommonPropertySheetUIW")));
  const LONG answer = run != nullptr ? run(window, callback, lparam, result) : kFailure;
  FreeLibrary(library);
  return answer;
}

BOOL ShowPrinterProperties(HWND window, HANDLE printer) {
  if (printer == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  DEVICEPROPERTYHEADER header = {};
  header.cbSize = sizeof(DEVICEPROPERTYHEADER);
  header.hPrinter = printer;
  if (!g_calls.probe_permission(printer)) header.Flags |= DPS_NOPERMISSION;
  DWORD result = 1;
  // A sheet component that cannot be run is a failure, whatever result still holds.
  if (g_calls.run_sheet(window, &DrvDevicePropertySheets, reinterpret_cast<LPARAM>(&header), &result) < 0) {
    return FALSE;
  }
  return result != 0 ? TRUE : FALSE;
}

}  // namespace kalimu::driver

extern "C" {

LONG WINAPI DrvDevicePropertySheets(PPROPSHEETUI_INFO info, LPARAM lparam) {
  using namespace kalimu::driver;
  return Guarded<LONG>(kFailure, [&]() -> LONG { return RunDeviceSheetReason(info, lparam); });
}

BOOL WINAPI PrinterProperties(HWND window, HANDLE printer) {
  using namespace kalimu::driver;
  return Guarded<BOOL>(FALSE, [&]() -> BOOL { return ShowPrinterProperties(window, printer); });
}

}  // extern "C"
