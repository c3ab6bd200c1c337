// The printer's maintenance utility, started for the printer of a settings object with a
// function number, so that the utility page and dialogs can open one of its functions directly.
#pragma once

#include <windows.h>

#include <cstdint>

#include "kalimu/platform/global_block.h"

namespace kalimu::settings {
class JobSettings;
}

namespace kalimu::driver {

inline constexpr DWORD kUtilityWaitMs = 30000;  // the waiting form (number 14)
inline constexpr size_t kUtilityPathBytes = MAX_PATH;
inline constexpr size_t kUtilityModelNameBytes = 32;
inline constexpr size_t kUtilityCommandBytes = 780;      // the plain form
inline constexpr size_t kUtilityWaitCommandBytes = 1040;  // the waiting form

// Every answer is 0 when the utility started (and, for 14, ended within the wait), else 1.
class UtilityLauncher {
 public:
  // settings is not owned. wait_ms bounds the waiting form.
  explicit UtilityLauncher(settings::JobSettings* settings, DWORD wait_ms = kUtilityWaitMs)
      : settings_(settings), wait_ms_(wait_ms) {}
  UtilityLauncher(const UtilityLauncher&) = delete;
  UtilityLauncher& operator=(const UtilityLauncher&) = delete;

  // Frees the utility path and the model name; the next call fetches them again.
  void Release();
  // 1 when the utility path names a file that opens for reading.
  int IsUtilityAvailable();

  // Numbers 1 to 3, 7 and 9 to 11 start the utility without waiting; 14 starts it with the
  // file name and waits; any other number starts nothing.
  uint16_t Run(int number, const char* file_name);
  uint16_t RunUtility1() { return Run(1, nullptr); }
  uint16_t RunUtility2() { return Run(2, nullptr); }
  uint16_t RunUtility3() { return Run(3, nullptr); }
  uint16_t RunUtility7() { return Run(7, nullptr); }
  uint16_t RunUtility9() { return Run(9, nullptr); }
  uint16_t RunUtility10() { return Run(10, nullptr); }
  uint16_t RunUtility11() { return Run(11, nullptr); }

  uint16_t RunUtilityNumber(int number);
  uint16_t RunUtilityAndWait(int number, const char* file_name);

 private:
  // Fetches what is missing; false when either text is still missing.
  bool FetchTexts();
  const char* utility_path() const { return reinterpret_cast<const char*>(utility_path_.data()); }
  const char* model_name() const { return reinterpret_cast<const char*>(model_name_.data()); }

  settings::JobSettings* settings_;
  platform::GlobalBlock utility_path_;  // fetched on first use
  platform::GlobalBlock model_name_;    // fetched on first use
  DWORD wait_ms_;
};

}  // namespace kalimu::driver
