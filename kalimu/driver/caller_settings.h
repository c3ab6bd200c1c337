// The settings object of a query on a caller's device mode, built so that the caller's bytes are
// only read: a whole record of this driver is copied and used as it is; any other record (an
// application's public part, a record of another driver or layout) is merged into the printer's
// current settings.
#pragma once

#include <windows.h>

#include "kalimu/settings/driver_dev_mode.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::driver {

// copy: the record the object works on when the caller's is a whole one of this driver; it must
// outlive the object. Without a caller's record the printer's current settings are used. Null
// when no object can be built or the record cannot be merged.
settings::JobSettingsPtr SettingsForCallerRecord(HANDLE printer, const DEVMODEW* dev_mode,
                                                 settings::DriverDevMode& copy);

}  // namespace kalimu::driver
