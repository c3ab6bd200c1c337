// Screenshots of the paper page, the layout page and the binding margin dialog on sample-model
// printers: the paper page on a sheet feeder and on a wide roll of a cutter model, the layout
// page with normal size and with a poster, duplex and a watermark, and the binding margin dialog
// in both units.
// Usage: kalimu_pages_paper_page_screenshots <output folder>.
#include <windows.h>
#include <prsht.h>

#include <functional>
#include <memory>
#include <string>

#include "kalimu/pages/binding_margin_dialog.h"
#include "kalimu/pages/layout_page.h"
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/paper_page.h"
#include "kalimu/pages/paper_page_test_support.h"
#include "kalimu/pages/tooltips.h"
#include "testkit/windows/message_box_watcher.h"
#include "testkit/windows/window_capture.h"

namespace {

using namespace kalimu::pages;

// Shows a hosted page inside a frame of its size and captures the frame.
void TakePage(testkit::ScreenshotRun& run, test::PageHost& host, const std::string& name) {
  if (host.window() == nullptr) {
    run.Fail(name, "the page did not open");
    return;
  }
  RECT rect;
  GetWindowRect(host.window(), &rect);
  SetWindowLongA(host.frame(), GWL_STYLE, WS_POPUP | WS_BORDER);
  SetWindowPos(host.frame(), HWND_TOP, 0, 0, rect.right - rect.left + 2, rect.bottom - rect.top + 2,
               SWP_SHOWWINDOW | SWP_FRAMECHANGED);
  SetWindowPos(host.window(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
  host.Notify(PSN_SETACTIVE);
  testkit::PumpMessages(100);
  run.Take(host.frame(), name);
}

void PageShot(testkit::ScreenshotRun& run, const testkit::ModelDescription& model, int template_id, DLGPROC procedure,
              const std::function<void(test::PageFixture&)>& prepare, const std::string& name) {
  test::PageFixture fixture(model);
  if (!fixture.ok()) {
    run.Fail(name, fixture.error());
    return;
  }
  fixture.shared().monitor_present = 1;
  testkit::MessageBoxWatcher boxes;  // notices the settings may raise while the page starts
  prepare(fixture);
  {
    test::PageHost host(fixture, template_id, procedure);
    TakePage(run, host, name);
  }
  ReleasePageResources(&fixture.param());
}

void BindingShot(testkit::ScreenshotRun& run, bool inch, const std::string& name) {
  testkit::ModelDescription model = test::PaperModel();
  model.sources[test::kSheetFeeder].flags8 = 0x100000;
  test::PageFixture fixture(model);
  if (!fixture.ok()) {
    run.Fail(name, fixture.error());
    return;
  }
  kalimu::settings::JobSettings& s = fixture.settings();
  s.ChangeDuplex(DMDUP_HORIZONTAL);
  s.EnableDuplexOption1();
  if (inch) {
    s.SetBindingMarginInInch(254);
  } else {
    s.SetBindingMarginInMetric(40);
  }
  HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HWND dialog = CreateDialogParamA(fixture.module(), MAKEINTRESOURCEA(kBindingMarginTemplate), owner,
                                   &BindingMarginDlgProc, reinterpret_cast<LPARAM>(&fixture.param()));
  if (dialog == nullptr) {
    run.Fail(name, "the dialog did not open");
  } else {
    SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    testkit::PumpMessages(100);
    run.Take(dialog, name);
    RemoveToolTipHook(kBindingMarginTips);
    DestroyWindow(dialog);
  }
  DestroyWindow(owner);
  ReleasePageResources(&fixture.param());
}

}  // namespace

int main(int argc, char** argv) {
  testkit::ScreenshotRun run(argc, argv);
  PageShot(run, test::PaperModel(), kPaperPageTemplate, &PaperPageProc,
           [](test::PageFixture& f) {
             test::UseSource(f.settings(), test::kSheetFeeder);
             f.settings().SetCopies(3);
             f.settings().SetCollate(1);
           },
           "paper_page");
  PageShot(run, test::PaperModel(0x10 | 0x20), kPaperPageTemplate, &PaperPageProc,
           [](test::PageFixture& f) { test::UseSource(f.settings(), test::kWideRoll); }, "paper_page_wide_roll");
  testkit::ModelDescription layout_model = test::PaperModel();
  layout_model.sources[test::kSheetFeeder].flags8 = 0x100000;
  PageShot(run, layout_model, kLayoutPageTemplate, &LayoutPageProc,
           [](test::PageFixture& f) { test::UseSource(f.settings(), test::kSheetFeeder); }, "layout_page");
  PageShot(run, layout_model, kLayoutPageTemplate, &LayoutPageProc,
           [](test::PageFixture& f) {
             kalimu::settings::JobSettings& s = f.settings();
             test::UseSource(s, test::kSheetFeeder);
             s.ChangeScalingMode(8);
             s.SetScalePercent(80);
             s.ChangePagesPerSheet(3);
             s.ChangeDuplex(DMDUP_VERTICAL);
             s.SetWatermarkIndex(1);
             s.SetWatermarkEnabled(1);
           },
           "layout_page_scaled_duplex");
  BindingShot(run, false, "binding_margin_metric");
  BindingShot(run, true, "binding_margin_inch");
  RemovePageToolTipHooks();
  return run.ExitCode();
}
