// Starts of the maintenance utility.
#include "kalimu/driver/utility_launcher.h"

#include <cstdio>

#include "kalimu/platform/driver_file.h"
#include "kalimu/platform/program_start.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::driver {
namespace {

constexpr uint16_t kStarted = 0;
constexpr uint16_t kNotStarted = 1;

// Fetches a text into a fresh block; an answer of 0 leaves the block empty, so that the next
// call tries again.
template <typename Fetch>
void FetchText(platform::GlobalBlock& block, size_t size, Fetch fetch) {
  if (block.held() || !block.Allocate(size)) return;
  if (!fetch(reinterpret_cast<char*>(block.data()), size)) block.Reset();
}

// printf into a fixed buffer; false when the text does not fit whole.
template <size_t N, typename... Args>
bool Format(char (&out)[N], const char* format, Args... args) {
  const int n = std::snprintf(out, N, format, args...);
  return n >= 0 && static_cast<size_t>(n) < N;
}

bool IsPlainNumber(int number) { return (number >= 1 && number <= 3) || number == 7 || (number >= 9 && number <= 11); }

}  // namespace

void UtilityLauncher::Release() {
  utility_path_.Reset();
  model_name_.Reset();
}

bool UtilityLauncher::FetchTexts() {
  if (settings_ == nullptr) return false;
  FetchText(utility_path_, kUtilityPathBytes,
            [this](char* out, size_t size) { return settings_->GetUtilityProgramPath(out, size); });
  FetchText(model_name_, kUtilityModelNameBytes,
            [this](char* out, size_t size) { return settings_->GetModelName(out, size); });
  return utility_path_.held() && model_name_.held();
}

int UtilityLauncher::IsUtilityAvailable() {
  if (settings_ == nullptr) return 0;
  FetchText(utility_path_, kUtilityPathBytes,
            [this](char* out, size_t size) { return settings_->GetUtilityProgramPath(out, size); });
  return utility_path_.held() && platform::DriverFile().FileExists(utility_path()) ? 1 : 0;
}

uint16_t UtilityLauncher::Run(int number, const char* file_name) {
  if (!FetchTexts()) return kNotStarted;
  if (IsPlainNumber(number)) return RunUtilityNumber(number);
  if (number == 14) return RunUtilityAndWait(number, file_name);
  return kNotStarted;
}

uint16_t UtilityLauncher::RunUtilityNumber(int number) {
  if (!FetchTexts()) return kNotStarted;
  char line[kUtilityCommandBytes];
  if (!Format(line, "%s /U \"%d\" /P \"%s\" /M \"%s\" /D \"%s\"", utility_path(), number,
              settings_->GetPrinterName(), model_name(), settings_->GetDriverName())) {
    return kNotStarted;
  }
  // The default start-up information: the utility shows itself as it likes.
  return platform::StartProgram(nullptr, line, nullptr) ? kStarted : kNotStarted;
}

uint16_t UtilityLauncher::RunUtilityAndWait(int number, const char* file_name) {
  if (!FetchTexts()) return kNotStarted;
  char line[kUtilityWaitCommandBytes];
  if (!Format(line, " /U \"%d\" /P \"%s\" /RN \"SOFTWARE\\NORVA\\PRINTER\\%s\" /FN \"%s\"", number,
              settings_->GetPrinterName(), settings_->GetDriverName(), file_name != nullptr ? file_name : "")) {
    return kNotStarted;
  }
  return platform::RunProgramAndWait(utility_path(), line, nullptr, wait_ms_) == platform::ProgramWait::kEnded
             ? kStarted
             : kNotStarted;
}

}  // namespace kalimu::driver
