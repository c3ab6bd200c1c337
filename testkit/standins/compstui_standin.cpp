// Stand-in of the common property-sheet component (compstui.dll) on comctl32's PropertySheetW.
// Wine's own never delivers CPSFUNC_SET_RESULT, so a driver's Apply cannot reach its caller
// there. Tests load this one with WINEDLLOVERRIDES="compstui=n,b" from the test programs' folder.
//
// CommonPropertySheetUIW runs the caller's sheet callback with INIT; a callback adds pages
// (CPSFUNC_ADD_HPROPSHEETPAGE) or further callbacks (CPSFUNC_ADD_PFNPROPSHEETUIW/A, as the
// spooler adds the driver's), each run with INIT at once on its own PROPSHEETUI_INFO. Then every
// callback is asked GET_INFO_HEADER (the last title a callback gives captions the sheet, else
// "Document Properties") and the pages show in one modal PropertySheetW. A page's
// CPSFUNC_SET_RESULT reaches the callback that added it at once as PROPSHEETUI_REASON_SET_RESULT;
// a sheet that ends without any page reporting gets one SET_RESULT with CPSUI_CANCEL for every
// callback. DESTROY comes last (added callbacks first), also after a failed INIT. The result is
// CPSUI_OK when a page reported it, else CPSUI_CANCEL.
//
// With KVT_COMPSTUI_LOG naming a file, every call of a callback is appended to it as
// "reason <reason> result <answer>" (SET_RESULT lines also carry "value <Result>").
#include <windows.h>
#include <commctrl.h>
#include <compstui.h>
#include <prsht.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr size_t kMaxPages = 64;
constexpr size_t kMaxCallbacks = 8;

struct Callback {
  PFNPROPSHEETUI function;
  PROPSHEETUI_INFO info;
  bool started;
};

struct Page {
  HPROPSHEETPAGE page;
  size_t owner;  // the callback that added it
};

struct Sheet {
  std::vector<std::unique_ptr<Callback>> callbacks;  // [0] is the caller's
  std::vector<Page> pages;
  size_t running = 0;  // the callback whose INIT runs
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

LONG Call(Callback& callback, WORD reason, LPARAM lparam) {
  callback.info.Reason = reason;
  const LONG answer = callback.function(&callback.info, lparam);
  char line[96];
  if (reason == PROPSHEETUI_REASON_SET_RESULT) {
    std::snprintf(line, sizeof(line), "reason %u result %ld value %ld", static_cast<unsigned>(reason),
                  static_cast<long>(answer), static_cast<long>(reinterpret_cast<const SETRESULT_INFO*>(lparam)->Result));
  } else {
    std::snprintf(line, sizeof(line), "reason %u result %ld", static_cast<unsigned>(reason), static_cast<long>(answer));
  }
  Log(line);
  return answer;
}

LONG_PTR CALLBACK SheetFunction(HANDLE handle, UINT function, LPARAM first, LPARAM second);

// Adds a callback and runs its INIT; its handle (position + 1), or 0 when its INIT failed.
LONG_PTR AddCallback(Sheet& sheet, PFNPROPSHEETUI function, LPARAM init) {
  if (function == nullptr || sheet.callbacks.size() >= kMaxCallbacks) return 0;
  auto callback = std::make_unique<Callback>();
  callback->function = function;
  callback->info.cbSize = sizeof(PROPSHEETUI_INFO);
  callback->info.Version = PROPSHEETUI_INFO_VERSION;
  callback->info.hComPropSheet = &sheet;
  callback->info.pfnComPropSheet = &SheetFunction;
  callback->info.lParamInit = init;
  sheet.callbacks.push_back(std::move(callback));
  const size_t index = sheet.callbacks.size() - 1;
  const size_t outer = sheet.running;
  sheet.running = index;
  sheet.callbacks[index]->started = true;
  const LONG answer = Call(*sheet.callbacks[index], PROPSHEETUI_REASON_INIT, 0);
  sheet.running = outer;
  return answer > 0 ? static_cast<LONG_PTR>(index + 1) : 0;
}

void DeliverResult(Sheet& sheet, size_t callback, HANDLE page, LRESULT value) {
  SETRESULT_INFO result = {sizeof(SETRESULT_INFO), 0, page, value};
  Call(*sheet.callbacks[callback], PROPSHEETUI_REASON_SET_RESULT, reinterpret_cast<LPARAM>(&result));
}

LONG_PTR CALLBACK SheetFunction(HANDLE handle, UINT function, LPARAM first, LPARAM second) {
  auto* sheet = static_cast<Sheet*>(handle);
  if (sheet == nullptr) return 0;
  switch (function) {
    case CPSFUNC_ADD_HPROPSHEETPAGE:
      if (first == 0 || sheet->pages.size() >= kMaxPages) return 0;
      sheet->pages.push_back({reinterpret_cast<HPROPSHEETPAGE>(first), sheet->running});
      // A page's handle in this component: its position, counted from 0x100.
      return static_cast<LONG_PTR>(0x100 + sheet->pages.size());
    case CPSFUNC_ADD_PFNPROPSHEETUIA:
    case CPSFUNC_ADD_PFNPROPSHEETUIW:
      return AddCallback(*sheet, reinterpret_cast<PFNPROPSHEETUI>(first), second);
    case CPSFUNC_SET_RESULT: {
      const auto page = static_cast<size_t>(first) - 0x101;
      DeliverResult(*sheet, page < sheet->pages.size() ? sheet->pages[page].owner : 0,
                    reinterpret_cast<HANDLE>(first), second);
      sheet->reported = true;
      if (second == CPSUI_OK) sheet->result = CPSUI_OK;
      return 1;
    }
    default:
      return 0;
  }
}

}  // namespace

extern "C" LONG WINAPI CommonPropertySheetUIW(HWND owner, PFNPROPSHEETUI callback, LPARAM lparam, LPDWORD result) {
  if (result != nullptr) *result = CPSUI_CANCEL;
  if (callback == nullptr) return ERR_CPSUI_GETLASTERROR;
  Sheet sheet;
  LONG answer = ERR_CPSUI_GETLASTERROR;
  if (AddCallback(sheet, callback, lparam) != 0 && !sheet.pages.empty()) {
    wchar_t title[128] = L"Document Properties";
    for (auto& added : sheet.callbacks) {
      PROPSHEETUI_INFO_HEADER header = {};
      header.cbSize = sizeof(header);
      header.pTitle = title;
      header.hWndParent = owner;
      Call(*added, PROPSHEETUI_REASON_GET_INFO_HEADER, reinterpret_cast<LPARAM>(&header));
      // A callback that names the sheet gives its title (a null title keeps the one before).
      const auto* named = reinterpret_cast<const wchar_t*>(header.pTitle);
      if (named != nullptr && named != title) lstrcpynW(title, named, 128);
    }
    std::vector<HPROPSHEETPAGE> pages;
    for (const Page& page : sheet.pages) pages.push_back(page.page);
    PROPSHEETHEADERW frame = {};
    frame.dwSize = sizeof(frame);
    frame.hwndParent = owner;
    frame.pszCaption = title;
    frame.nPages = static_cast<UINT>(pages.size());
    frame.phpage = pages.data();
    if (PropertySheetW(&frame) >= 0) {
      if (!sheet.reported) {
        for (size_t i = 0; i < sheet.callbacks.size(); ++i) DeliverResult(sheet, i, nullptr, CPSUI_CANCEL);
      }
      answer = static_cast<LONG>(sheet.result);
    }
  }
  for (size_t i = sheet.callbacks.size(); i-- > 0;) {
    if (sheet.callbacks[i]->started) Call(*sheet.callbacks[i], PROPSHEETUI_REASON_DESTROY, answer == CPSUI_OK ? 1 : 0);
  }
  if (result != nullptr && answer >= 0) *result = static_cast<DWORD>(answer);
  return answer;
}

extern "C" LONG WINAPI CommonPropertySheetUIA(HWND owner, PFNPROPSHEETUI callback, LPARAM lparam, LPDWORD result) {
  return CommonPropertySheetUIW(owner, callback, lparam, result);
}
