// Settings objects over a caller's device mode that never write the caller's bytes.
#include "kalimu/driver/caller_settings.h"

#include <cstring>

namespace kalimu::driver {
namespace {

bool IsWholeDriverRecord(const DEVMODEW& record) {
  return record.dmSpecVersion == settings::kDevModeSpecVersion &&
         record.dmDriverVersion == settings::kDevModeDriverVersion &&
         record.dmSize == settings::kDevModePublicSize && record.dmDriverExtra == settings::kDevModePrivateSize;
}

}  // namespace

settings::JobSettingsPtr SettingsForCallerRecord(HANDLE printer, const DEVMODEW* dev_mode,
                                                 settings::DriverDevMode& copy) {
  if (dev_mode != nullptr && IsWholeDriverRecord(*dev_mode)) {
    std::memcpy(&copy, dev_mode, sizeof(copy));
    return settings::JobSettingsPtr(settings::CreateJobSettings(&copy, printer, nullptr, nullptr));
  }
  settings::JobSettingsPtr settings(settings::CreateJobSettings(nullptr, printer, nullptr, nullptr));
  if (settings != nullptr && dev_mode != nullptr && !settings->MergeDevMode(dev_mode, printer)) settings.reset();
  return settings;
}

}  // namespace kalimu::driver
