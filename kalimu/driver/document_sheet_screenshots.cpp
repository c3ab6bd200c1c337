// Screenshots of the document property sheet: the sheet as the driver builds it (its callback's
// INIT adds the four pages), shown in a property sheet, each page in front once, and the sheet
// opened without permission.
// Usage: kalimu_driver_screenshots <output folder>.
#include <windows.h>
#include <commctrl.h>
#include <compstui.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "kalimu/driver/driver_ui_types.h"
#include "testkit/kalimu/driver_printer.h"
#include "testkit/windows/window_capture.h"

namespace {

std::vector<HPROPSHEETPAGE> g_pages;

LONG_PTR CALLBACK CollectPage(HANDLE, UINT function, LPARAM first, LPARAM) {
  if (function != CPSFUNC_ADD_HPROPSHEETPAGE) return function == CPSFUNC_SET_RESULT ? 1 : 0;
  g_pages.push_back(reinterpret_cast<HPROPSHEETPAGE>(first));
  return static_cast<LONG_PTR>(g_pages.size());
}

constexpr const char* kPageNames[] = {"main", "paper", "layout", "utility"};

void ShootSheet(testkit::ScreenshotRun& run, testkit::DriverPrinter& printer, DWORD mode, const std::string& state) {
  std::wstring name = printer.wide_printer_name();
  DOCUMENTPROPERTYHEADER header = {sizeof(header), 0, printer.handle(), name.data(), nullptr, nullptr, 0, mode};
  PROPSHEETUI_INFO info = {};
  info.cbSize = sizeof(info);
  info.Version = PROPSHEETUI_INFO_VERSION;
  info.Reason = PROPSHEETUI_REASON_INIT;
  info.hComPropSheet = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(1));
  info.pfnComPropSheet = &CollectPage;
  info.lParamInit = reinterpret_cast<LPARAM>(&header);
  g_pages.clear();
  if (DrvDocumentPropertySheets(&info, 0) != 1 || g_pages.size() != 4) {
    run.Fail("document_sheet" + state, "the sheet's INIT failed");
    info.Reason = PROPSHEETUI_REASON_DESTROY;
    DrvDocumentPropertySheets(&info, 0);
    return;
  }
  PROPSHEETHEADERW frame = {};
  frame.dwSize = sizeof(frame);
  frame.dwFlags = PSH_MODELESS;
  frame.pszCaption = L"Document Properties";
  frame.nPages = static_cast<UINT>(g_pages.size());
  frame.phpage = g_pages.data();
  auto sheet = reinterpret_cast<HWND>(PropertySheetW(&frame));
  if (sheet == nullptr) {
    run.Fail("document_sheet" + state, "PropertySheetW failed");
  } else {
    SetWindowPos(sheet, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    for (int page = 0; page < 4; ++page) {
      SendMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(page), 0);
      testkit::PumpMessages(300);
      run.Take(sheet, std::string("document_sheet_") + kPageNames[page] + state);
      if (!state.empty()) break;  // the read-only state shows its first page
    }
    SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    testkit::PumpMessages(100);
    DestroyWindow(sheet);
  }
  info.Reason = PROPSHEETUI_REASON_DESTROY;
  DrvDocumentPropertySheets(&info, 0);
}

}  // namespace

int main(int argc, char** argv) {
  testkit::ScreenshotRun run(argc, argv);
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  testkit::DriverPrinter printer(testkit::RollPaperModel(), testkit::kKalimuModule, "Shot");
  if (!printer.ok()) {
    run.Fail("document_sheet", "no printer: " + printer.error());
    return run.ExitCode();
  }
  ShootSheet(run, printer, DM_IN_PROMPT | DM_OUT_BUFFER, "");
  ShootSheet(run, printer, DM_IN_PROMPT | DM_OUT_BUFFER | 0x20, "_read_only");
  return run.ExitCode();
}
