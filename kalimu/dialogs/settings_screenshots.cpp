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
#include "kalimu/dialogs/poster_panel_dialog.h"
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

// The poster panels: a 2 x 2 poster without joining, a 3 x 3 one with panels left out and cut
// lines, a 4 x 4 one that overlaps, and two panels side by side on a wide page.
void PosterPanelShots(testkit::ScreenshotRun& run, PageFixture& fixture) {
  kalimu::settings::JobSettings& s = fixture.settings();
  const auto paper = [&s](int32_t width, int32_t length, int orientation) {
    s.SetOrientation(orientation);
    s.SetCustomPaperUnit(1);
    s.SetCustomPaperSize({width, length});
    s.SetPaperSize(256);
    s.SetOutputPaperSize(256);
    s.RecomputePageGeometry();
  };
  const auto shoot = [&](const char* name, int32_t kind, uint32_t mask, uint32_t options,
                         const std::function<void(HWND)>& steps) {
    s.SetPagesPerSheet(static_cast<int16_t>(kind));
    s.SetPosterPanelMask(mask);
    s.SetPosterOptions(options);
    Shoot(run, fixture, &PosterPanelDlgProc, kPosterPanelDialog, name, [&](HWND dialog) {
      if (steps) steps(dialog);
      run.Take(dialog, name);
    });
  };
  paper(4200, 5940, DMORIENT_PORTRAIT);
  shoot("poster_panels", -1, 0, 0, nullptr);
  shoot("poster_panels_cut_lines", -2, (1u << 2) | (1u << 6), kPosterCutLineBit, nullptr);
  shoot("poster_panels_overlap", -3, 1u << 15, kPosterJoinBit, nullptr);
  paper(5940, 4200, DMORIENT_PORTRAIT);  // a wide page: two upright sheets side by side
  shoot("poster_panels_two_wide", -4, 0, kPosterCutLineBit, [&](HWND dialog) {
    RECT box{};
    GetWindowRect(GetDlgItem(dialog, kPosterPreview), &box);
    ClickPosterPanel(dialog, fixture.param(), POINT{box.left + (box.right - box.left) / 4, (box.top + box.bottom) / 2});
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
  PosterPanelShots(run, fixture);
  return run.ExitCode();
}
