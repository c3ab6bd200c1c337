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

// The printer adjustment dialog's sample model: `channels` channels in two rows with the channel
// check, two IWF fields, `ht` HT fields (more than the dialog's four are held to them), RT, a
// cutter with maintenance buttons, both platen options.
inline testkit::ModelDescription PrinterAdjustModel(uint32_t channels = 3, uint8_t ht = 9) {
  auto model = testkit::SheetModel();
  model.header.ink_word = 0x4000u | 0x100u | channels;
  model.header.flags40 = 3;
  model.header.byte77 = 2;
  model.header.byte78 = ht;
  model.header.flags24 = 0x4000u | 8u | 32u;
  model.header.flags28 = 16u;
  return model;
}

}  // namespace kalimu::dialogs
