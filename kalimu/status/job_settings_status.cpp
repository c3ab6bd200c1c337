// The printer-status operations on a job's settings object, through its registry store.
#include "kalimu/status/job_settings_status.h"

#include "kalimu/status/stored_readings.h"

namespace kalimu::status {

#define KS_WRITE(name, id) \
  int name(settings::JobSettings& settings, int32_t value) { return name(settings.registry(), value); }
#define KS_READ(name, id, fallback) \
  int32_t name(settings::JobSettings& settings) { return name(settings.registry()); }
#define KS_WRITE_BLOCK(name, id)                                         \
  int name(settings::JobSettings& settings, const uint8_t block[8]) { \
    return name(settings.registry(), block);                             \
  }
#include "kalimu/status/stored_reading_list.inc"
#undef KS_WRITE
#undef KS_READ
#undef KS_WRITE_BLOCK

int WriteBinInfo(settings::JobSettings& settings, int32_t value) {
  return WriteBinInfo(settings.registry(), value);
}

int ClearPrinterStatusFlag(settings::JobSettings& settings) {
  return ClearPrinterStatusFlag(settings.registry());
}

PublicationTarget PublicationTargetOf(settings::JobSettings& settings) {
  return PublicationTarget{&settings, static_cast<int16_t>(settings.GetPaperSourceIndex())};
}

}  // namespace kalimu::status
