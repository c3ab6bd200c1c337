// Screenshots of the settings dialogs opened from the pages, each in the states its users meet,
// run modally over a page of a sample-model printer as the pages run them.
// Usage: kalimu_dialogs_screenshots <output folder>.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "kalimu/dialogs/dialog_run_test_support.h"
#include "kalimu/dialogs/driver_options_dialog.h"
#include "kalimu/dialogs/level_slider_dialog.h"
#include "kalimu/dialogs/page_order_dialog.h"
#include "kalimu/dialogs/source_paper_dialogs.h"
#include "kalimu/dialogs/user_paper_dialog.h"
#include "kalimu/dialogs/user_paper_test_support.h"
#include "kalimu/pages/page_test_support.h"
#include "kalimu/pages/tooltips.h"
#include "testkit/windows/message_box_watcher.h"
#include "testkit/windows/window_capture.h"

namespace {

using namespace kalimu::dialogs;
using kalimu::pages::test::HostedPage;
using kalimu::pages::test::PageFixture;
using test::Click;
using test::ModalRun;
using test::PickListItem;
using test::Type;

// Runs a dialog over a page of the fixture; `script` sets its state and takes its pictures.
void Shoot(testkit::ScreenshotRun& run, PageFixture& fixture, DLGPROC procedure, int template_id,
           const std::string& name, const std::function<void(HWND)>& script) {
  HostedPage page(fixture, 901);
  bool shown = false;
  ModalRun::Run(fixture.module(), page.window(), procedure, template_id, &fixture.param(), [&](HWND dialog) {
    shown = true;
    script(dialog);
    if (IsWindowVisible(dialog)) SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  if (!shown) run.Fail(name, "the dialog did not open");
  kalimu::pages::RemovePageToolTipHooks();
}

void UserPaper(testkit::ScreenshotRun& run, PageFixture& fixture) {
  kalimu::settings::JobSettings& s = fixture.settings();
  s.ResetUserPapers();
  s.SetDefaultSource(7);
  s.SetCustomPaperUnit(kUnitMetric);
  s.SetCustomPaperSize({2100, 2970});
  s.SetPaperSize(256);
  Shoot(run, fixture, &UserPaperSizeDlgProc, kUserPaperDialog, "user_paper_size", [&](HWND dialog) {
    run.Take(dialog, "user_paper_size");
    testkit::MessageBoxWatcher answers(IDOK);
    const char* papers[][3] = {{"Poster 30 x 40", "3000", "4000"}, {"Postcard", "1000", "1480"}};
    for (const auto& p : papers) {
      Type(dialog, kUserPaperName, p[0]);
      Type(dialog, kUserPaperWidth, p[1]);
      Type(dialog, kUserPaperLength, p[2]);
      Click(dialog, kUserPaperSave);
    }
    run.Take(dialog, "user_paper_size_saved");
    Click(dialog, kUserPaperInch);
    run.Take(dialog, "user_paper_size_inch");
  });
  // A paper the current source cannot take: greyed, with the notice.
  s.SetDefaultSource(256);
  Shoot(run, fixture, &UserPaperSizeDlgProc, kUserPaperDialog, "user_paper_size_other_source", [&](HWND dialog) {
    PickListItem(dialog, kUserPaperList, 0);
    run.Take(dialog, "user_paper_size_other_source");
  });
  s.ResetUserPapers();
}

void DriverOptions(testkit::ScreenshotRun& run, PageFixture& fixture) {
  fixture.param().context->printer = fixture.printer().printer().handle();
  std::snprintf(fixture.shared().temp_folder, sizeof(fixture.shared().temp_folder), "c:\\windows\\temp");
  fixture.shared().monitor_enabled = 1;
  fixture.shared().stm_setting = 0;
  Shoot(run, fixture, &DriverOptionsDlgProc, kDriverOptionsDialog, "driver_options", [&](HWND dialog) {
    run.Take(dialog, "driver_options");
    testkit::MessageBoxWatcher answers(IDOK);
    Click(dialog, kMonitorOffCheck);
    const int windows = static_cast<int>(SendDlgItemMessageA(dialog, kFolderTree, LB_FINDSTRINGEXACT,
                                                             static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("c:\\")));
    if (windows >= 0) {
      SendDlgItemMessageA(dialog, kFolderTree, LB_SETCURSEL, static_cast<WPARAM>(windows), 0);
      test::Command(dialog, kFolderTree, LBN_DBLCLK);
    }
    run.Take(dialog, "driver_options_root_monitor_off");
  });
}

void PageOrder(testkit::ScreenshotRun& run, PageFixture& fixture) {
  kalimu::settings::JobSettings& s = fixture.settings();
  kalimu::settings::ExtentPair dots{2000, 3000};
  kalimu::settings::EdgeValues margins{};
  s.SetPaperDotExtent(&dots);
  s.SetPaperMargins(&margins);
  s.SetPaperWidth(2100);
  s.SetPaperLength(2970);
  s.SetOrientation(DMORIENT_PORTRAIT);
  s.SetPagesPerSheet(2);
  fixture.shared().page_order_choice = 1;
  Shoot(run, fixture, &PageOrderDlgProc, kPageOrderDialog, "page_order_two", [&](HWND dialog) {
    run.Take(dialog, "page_order_two");
  });
  s.SetPagesPerSheet(kFourPagesPerSheet);
  fixture.shared().page_order_choice = 2;
  Shoot(run, fixture, &PageOrderDlgProc, kPageOrderDialog, "page_order_four", [&](HWND dialog) {
    run.Take(dialog, "page_order_four");
  });
}

void PaperChoosers(testkit::ScreenshotRun& run, PageFixture& fixture) {
  fixture.settings().SetDefaultSource(7);
  Shoot(run, fixture, &SourcePaperSizeDlgProc, kSourcePaperDialog, "source_paper_size", [&](HWND dialog) {
    run.Take(dialog, "source_paper_size");
  });
  Shoot(run, fixture, &PaperWidthDlgProc, kPaperWidthDialog, "paper_width", [&](HWND dialog) {
    run.Take(dialog, "paper_width");
  });
}

void LevelSlider(testkit::ScreenshotRun& run, PageFixture& fixture) {
  kalimu::settings::JobSettings& s = fixture.settings();
  s.SetScalingOptions(0);
  s.SetPaperFeedAuto(0);
  s.SetPaperFeedIndex(1);
  Shoot(run, fixture, &LevelSliderDlgProc, kLevelSliderDialog, "level_slider", [&](HWND dialog) {
    run.Take(dialog, "level_slider");
    Click(dialog, kFeedAutomatic);
    run.Take(dialog, "level_slider_automatic");
  });
}

}  // namespace

int main(int argc, char** argv) {
  testkit::ScreenshotRun run(argc, argv);
  PageFixture fixture(test::LimitedModel());
  if (!fixture.ok()) {
    run.Fail("settings dialogs", "no sample printer: " + fixture.error());
    return run.ExitCode();
  }
  UserPaper(run, fixture);
  DriverOptions(run, fixture);
  PageOrder(run, fixture);
  PaperChoosers(run, fixture);
  LevelSlider(run, fixture);
  return run.ExitCode();
}
