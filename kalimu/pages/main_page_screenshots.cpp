// Screenshots of the sheets' own pages on a sample-model printer: the main page with its ink
// meters, without status and with the tone mark on its mode picture, the utility page, and the
// device sheet's version page.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <functional>
#include <string>
#include <vector>

#include "kalimu/driver/device_sheet.h"
#include "kalimu/pages/main_page_test_support.h"
#include "kalimu/pages/page_frame_test_support.h"
#include "kalimu/pages/version_page.h"
#include "testkit/kalimu/driver_printer.h"
#include "testkit/windows/window_capture.h"

namespace {

using namespace kalimu::pages;

// One page of the document sheet's four, on a real modeless sheet run by the page frame.
void PageShot(testkit::ScreenshotRun& run, const testkit::ModelDescription& model, int page_index,
              const std::string& name, bool no_status,
              const std::function<void(kalimu::settings::JobSettings&)>& prepare = nullptr) {
  test::PageFixture fixture(model);
  if (!fixture.ok()) {
    run.Fail(name, fixture.error());
    return;
  }
  if (no_status) fixture.settings().SetNoBidiFlagBits(8, 1);
  if (prepare) prepare(fixture.settings());
  fixture.shared().monitor_present = 1;
  test::FrameSheet sheet(fixture, page_index);
  HWND page = sheet.page(page_index);
  if (sheet.window() == nullptr || page == nullptr) {
    run.Fail(name, "the sheet did not open");
    return;
  }
  if (no_status) ShowInkSetText(page, fixture.param());
  SetWindowPos(sheet.window(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  for (int round = 0; round < 20; ++round) sheet.Pump();
  run.Take(sheet.window(), name);
}

std::vector<HPROPSHEETPAGE>* g_added = nullptr;
LONG_PTR CALLBACK AddPage(HANDLE, UINT function, LPARAM page, LPARAM) {
  if (function != CPSFUNC_ADD_HPROPSHEETPAGE || g_added == nullptr) return 0;
  g_added->push_back(reinterpret_cast<HPROPSHEETPAGE>(page));
  return 1;
}

// A model whose modes take the mode option, in colour with a toning correction: the mode
// picture carries the tone mark.
testkit::ModelDescription ToneMarkModel() {
  testkit::ModelDescription model = test::InkModel(6, false);
  model.header.flags24 |= 0x2000000u;
  for (auto& mode : model.modes) mode.flags24 |= 0x100u;
  return model;
}
void PrepareToneMark(kalimu::settings::JobSettings& s) {
  s.ChangePrintModeType(0);
  s.SetPresetKind5();
  s.SetModeVariant(1);
  s.SetColor(DMCOLOR_COLOR);
  s.SetColorMode(2);
  s.SetCorrectionMode(6);
}

// The device sheet as compstui shows it: its INIT adds the version page to a property sheet.
void VersionPageShot(testkit::ScreenshotRun& run) {
  const std::string name = "device_sheet_version_page";
  testkit::DriverPrinter printer(testkit::RollPaperModel());
  if (!printer.ok()) {
    run.Fail(name, printer.error());
    return;
  }
  std::wstring printer_name = printer.wide_printer_name();
  DEVICEPROPERTYHEADER header = {sizeof(DEVICEPROPERTYHEADER), 0, printer.handle(), printer_name.data()};
  std::vector<HPROPSHEETPAGE> added;
  g_added = &added;
  PROPSHEETUI_INFO info = {};
  info.cbSize = sizeof(info);
  info.Version = PROPSHEETUI_INFO_VERSION;
  info.Reason = PROPSHEETUI_REASON_INIT;
  info.pfnComPropSheet = &AddPage;
  info.lParamInit = reinterpret_cast<LPARAM>(&header);
  if (kalimu::driver::RunDeviceSheetReason(&info, 0) != 1 || added.size() != 1) {
    run.Fail(name, "INIT did not add the page");
  } else {
    PROPSHEETHEADERW sheet = {};
    sheet.dwSize = sizeof(sheet);
    sheet.dwFlags = PSH_MODELESS;
    sheet.pszCaption = printer_name.c_str();
    sheet.nPages = 1;
    sheet.phpage = added.data();
    HWND window = reinterpret_cast<HWND>(PropertySheetW(&sheet));
    if (window == nullptr) {
      run.Fail(name, "the sheet did not open");
    } else {
      ShowWindow(window, SW_SHOWNOACTIVATE);
      SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
      run.Take(window, name);
      DestroyWindow(window);
    }
  }
  info.Reason = PROPSHEETUI_REASON_DESTROY;
  if (info.UserData != 0) kalimu::driver::RunDeviceSheetReason(&info, 0);
  g_added = nullptr;
}

}  // namespace

// Usage: kalimu_pages_main_page_screenshots <output folder>.
int main(int argc, char** argv) {
  testkit::ScreenshotRun run(argc, argv);
  PageShot(run, test::InkModel(8, true), 0, "main_page", false);
  PageShot(run, test::InkModel(6, false), 0, "main_page_two_meters", false);
  PageShot(run, test::InkModel(8, true), 0, "main_page_no_ink_levels", true);
  PageShot(run, ToneMarkModel(), 0, "main_page_tone_mark", false, &PrepareToneMark);
  PageShot(run, test::InkModel(8, true), 3, "utility_page", false);
  VersionPageShot(run);
  return run.ExitCode();
}
