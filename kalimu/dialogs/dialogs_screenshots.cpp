// Screenshots of the settings dialogs: runs every registered dialog's pictures.
// Usage: kalimu_dialogs_screenshots <output folder>.
#include "kalimu/dialogs/dialog_screenshots.h"

int main(int argc, char** argv) {
  testkit::ScreenshotRun run(argc, argv);
  for (kalimu::dialogs::screenshots::TakeScreenshots take : kalimu::dialogs::screenshots::Registered()) take(run);
  if (run.taken() == 0) run.Fail("settings dialogs", "no dialog took a picture");
  return run.ExitCode();
}
