// The screenshot program of the settings dialogs (kalimu_dialogs_screenshots): each dialog's
// *_screenshots.cpp registers a function that opens its windows in their states and takes
// their pictures; dialogs_screenshots.cpp runs them all.
#pragma once

#include <vector>

#include "testkit/windows/window_capture.h"

namespace kalimu::dialogs::screenshots {

using TakeScreenshots = void (*)(testkit::ScreenshotRun& run);

inline std::vector<TakeScreenshots>& Registered() {
  static std::vector<TakeScreenshots> functions;
  return functions;
}

struct Register {
  explicit Register(TakeScreenshots function) { Registered().push_back(function); }
};

}  // namespace kalimu::dialogs::screenshots
