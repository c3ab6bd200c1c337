// Shared by the dialogs' tests: a job-settings object for a test printer's model.
#pragma once

#include <memory>

#include "kalimu/settings/driver_dev_mode.h"
#include "kalimu/settings/job_settings.h"
#include "testkit/kalimu/model_printer.h"

namespace kalimu::dialogs {

// Stamps *record for the printer's driver and builds the settings object on it; the record must
// outlive the object.
inline std::unique_ptr<settings::JobSettings> NewJobSettings(testkit::ModelPrinter& printer,
                                                             settings::DriverDevMode* record) {
  settings::StampDevModeHeader(*record);
  settings::DevModeAccessor(record).SetDriverName(printer.driver_name().c_str());
  return std::make_unique<settings::JobSettings>(record, printer.printer().handle(), nullptr, nullptr);
}

}  // namespace kalimu::dialogs
