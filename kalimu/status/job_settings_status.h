// The printer-status operations on a job's settings object: the stored readings of its
// printer and the publication target for the paper source the job uses. A status object for
// the job is CreatePrinterStatus(settings): the object is its own capability database.
#pragma once

#include <cstdint>

#include "kalimu/settings/job_settings.h"
#include "kalimu/status/status_publication.h"

namespace kalimu::status {

#define KS_WRITE(name, id) int name(settings::JobSettings& settings, int32_t value);
#define KS_READ(name, id, fallback) int32_t name(settings::JobSettings& settings);
#define KS_WRITE_BLOCK(name, id) int name(settings::JobSettings& settings, const uint8_t block[8]);
#include "kalimu/status/stored_reading_list.inc"
#undef KS_WRITE
#undef KS_READ
#undef KS_WRITE_BLOCK

int WriteBinInfo(settings::JobSettings& settings, int32_t value);
int ClearPrinterStatusFlag(settings::JobSettings& settings);

// The job's model and the paper source its device mode names.
PublicationTarget PublicationTargetOf(settings::JobSettings& settings);

}  // namespace kalimu::status
