// Screenshots of the advanced settings dialog: colour modes 0, 2 and 7 (monochrome toning with
// its cross) and colour mode 1 with management mode 3 (the profile pairs at full width).
// Usage: kalimu_dialogs_advanced_settings_screenshots <output folder>.
#include <windows.h>

#include <string>

#include "kalimu/dialogs/advanced_settings_dialog.h"
#include "kalimu/dialogs/advanced_settings_test_support.h"
#include "testkit/windows/window_capture.h"

namespace kalimu::dialogs {
namespace {

struct State {
  const char* name;
  bool toning;
  int32_t colour_mode;
  uint32_t management_mode;
};

void TakeAdvancedSettings(testkit::ScreenshotRun& run) {
  const State states[] = {
      {"colour_mode_0", false, 0, 0},
      {"colour_mode_2", false, 2, 0},
      {"colour_mode_7", true, 7, 0},
      {"management_mode_3", false, 1, 3},
  };
  for (const State& state : states) {
    pages::test::PageFixture fixture(test::AdvancedModel(state.toning));
    if (!fixture.ok()) {
      run.Fail(state.name, "no settings object: " + fixture.error());
      continue;
    }
    settings::JobSettings& s = fixture.settings();
    s.SetModeVariant(1);
    s.SetColorMode(state.colour_mode);
    s.SetColorManagementMode(state.management_mode);
    s.SetProfileFlagBits(8 | 16, 1);
    s.SetAdjustment(0, 10);
    s.SetAdjustment(3, -5);
    s.SetAdjustment(9, 30);
    s.SetAdjustment(10, 25);
    s.SetGamma(180);
    s.SetCorrectionMode(3);
    HWND dialog = CreateDialogParamA(fixture.module(), MAKEINTRESOURCEA(kAdvancedTemplate), nullptr, &AdvancedDlgProc,
                                     reinterpret_cast<LPARAM>(&fixture.param()));
    if (dialog == nullptr) {
      run.Fail(state.name, "the dialog did not open");
      continue;
    }
    ShowWindow(dialog, SW_SHOWNOACTIVATE);
    testkit::PumpMessages(200);
    // The cross is drawn after the circle's picture.
    if (state.colour_mode == 7) {
      RECT circle{};
      GetWindowRect(GetDlgItem(dialog, 8547), &circle);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&circle), 2);
      SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(circle.left + 75 + 30, circle.top + 75 - 25));
    }
    run.Take(dialog, state.name);
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    DestroyWindow(dialog);
  }
}

}  // namespace
}  // namespace kalimu::dialogs

int main(int argc, char** argv) {
  testkit::ScreenshotRun run(argc, argv);
  kalimu::dialogs::TakeAdvancedSettings(run);
  return run.ExitCode();
}
