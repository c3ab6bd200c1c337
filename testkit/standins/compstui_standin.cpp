// Stand-in of the common property-sheet component (compstui.dll) on comctl32's PropertySheetW.
// Wine's own never delivers CPSFUNC_SET_RESULT, so a driver's Apply cannot reach its caller
// there. Tests load this one with WINEDLLOVERRIDES="compstui=n,b" from the test programs' folder.
//
// CommonPropertySheetUIW runs the caller's sheet callback with INIT, GET_INFO_HEADER, then shows
// the pages it added (CPSFUNC_ADD_HPROPSHEETPAGE) in one modal PropertySheetW. A page's
// CPSFUNC_SET_RESULT reaches the callback at once as PROPSHEETUI_REASON_SET_RESULT; a sheet that
// ends without any page reporting gets one SET_RESULT with CPSUI_CANCEL. DESTROY comes last,
// also after a failed INIT. The result is CPSUI_OK when a page reported it, else CPSUI_CANCEL.
//
// With KVT_COMPSTUI_LOG naming a file, every call of the sheet callback is appended to it as
// "reason <reason> result <answer>" (SET_RESULT lines also carry "value <Result>").
#include <windows.h>
#include <commctrl.h>
#include <compstui.h>
#include <prsht.h>

#include <cstdio>
#include <vector>

namespace {

constexpr int kMaxPages = 64;

struct Sheet {
  PFNPROPSHEETUI callback;
  PROPSHEETUI_INFO info;
  std::vector<HPROPSHEETPAGE> pages;
  bool reported = false;
  LRESULT result = CPSUI_CANCEL;
};

void Log(const char* line) {
  char path[MAX_PATH] = {};
  if (GetEnvironmentVariableA("KVT_COMPSTUI_LOG", path, sizeof(path)) == 0) return;
  FILE* file = std::fopen(path, "a");
  if (file == nullptr) return;
  std::fprintf(file, "%s\n", line);
  std::fclose(file);
}

LONG CallSheet(Sheet& sheet, WORD reason, LPARAM lparam) {
  sheet.info.Reason = reason;
  const LONG answer = sheet.callback(&sheet.info, lparam);
  char line[64];
  std::snprintf(line, sizeof(line), "reason %u result %ld", static_cast<unsigned>(reason), static_cast<long>(answer));
  Log(line);
  return answer;
}

void DeliverResult(Sheet& sheet, HANDLE page, LRESULT value) {
  SETRESULT_INFO result = {sizeof(SETRESULT_INFO), 0, page, value};
  sheet.info.Reason = PROPSHEETUI_REASON_SET_RESULT;
  const LONG answer = sheet.callback(&sheet.info, reinterpret_cast<LPARAM>(&result));
  char line[64];
  std::snprintf(line, sizeof(line), "reason %d result %ld value %ld", PROPSHEETUI_REASON_SET_RESULT,
                static_cast<long>(answer), static_cast<long>(value));
  Log(line);
  sheet.reported = true;
  if (value == CPSUI_OK) sheet.result = CPSUI_OK;
}

LONG_PTR CALLBACK SheetFunction(HANDLE handle, UINT function, LPARAM first, LPARAM second) {
  auto* sheet = static_cast<Sheet*>(handle);
  if (sheet == nullptr) return 0;
  switch (function) {
    case CPSFUNC_ADD_HPROPSHEETPAGE:
      if (first == 0 || sheet->pages.size() >= kMaxPages) return 0;
      sheet->pages.push_back(reinterpret_cast<HPROPSHEETPAGE>(first));
      // A page's handle in this component: its position, counted from 1.
      return static_cast<LONG_PTR>(sheet->pages.size());
    case CPSFUNC_SET_RESULT:
      DeliverResult(*sheet, reinterpret_cast<HANDLE>(first), second);
      return 1;
    default:
      return 0;
  }
}

}  // namespace

extern "C" LONG WINAPI CommonPropertySheetUIW(HWND owner, PFNPROPSHEETUI callback, LPARAM lparam, LPDWORD result) {
  if (result != nullptr) *result = CPSUI_CANCEL;
  if (callback == nullptr) return ERR_CPSUI_GETLASTERROR;
  Sheet sheet{callback, {}, {}};
  sheet.info.cbSize = sizeof(PROPSHEETUI_INFO);
  sheet.info.Version = PROPSHEETUI_INFO_VERSION;
  sheet.info.hComPropSheet = &sheet;
  sheet.info.pfnComPropSheet = &SheetFunction;
  sheet.info.lParamInit = lparam;

  LONG answer = ERR_CPSUI_GETLASTERROR;
  if (CallSheet(sheet, PROPSHEETUI_REASON_INIT, 0) > 0) {
    wchar_t title[128] = L"Document Properties";
    PROPSHEETUI_INFO_HEADER header = {};
    header.cbSize = sizeof(header);
    header.pTitle = title;
    header.hWndParent = owner;
    CallSheet(sheet, PROPSHEETUI_REASON_GET_INFO_HEADER, reinterpret_cast<LPARAM>(&header));
    PROPSHEETHEADERW frame = {};
    frame.dwSize = sizeof(frame);
    frame.hwndParent = owner;
    frame.pszCaption = header.pTitle != nullptr ? header.pTitle : title;
    frame.nPages = static_cast<UINT>(sheet.pages.size());
    frame.phpage = sheet.pages.data();
    if (!sheet.pages.empty() && PropertySheetW(&frame) >= 0) {
      if (!sheet.reported) DeliverResult(sheet, nullptr, CPSUI_CANCEL);
      answer = static_cast<LONG>(sheet.result);
    }
  }
  CallSheet(sheet, PROPSHEETUI_REASON_DESTROY, answer == CPSUI_OK ? 1 : 0);
  if (result != nullptr && answer >= 0) *result = static_cast<DWORD>(answer);
  return answer;
}

extern "C" LONG WINAPI CommonPropertySheetUIA(HWND owner, PFNPROPSHEETUI callback, LPARAM lparam, LPDWORD result) {
  return CommonPropertySheetUIW(owner, callback, lparam, result);
}
