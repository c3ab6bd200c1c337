// libFuzzer target for the exported-settings reader: any bytes as a file, read the way an import
// reads it; every text that comes out must end inside its field.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "kalimu/dialogs/settings_export_file.h"

namespace {

void CheckTerminated(const char* field, size_t size) {
  if (std::memchr(field, 0, size) == nullptr) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kalimu::dialogs;
  const std::span<const uint8_t> file(data, size);
  SettingsExportHeader header{};
  if (ReadSettingsExportHeader(file, &header) != ExportFileStatus::kOk) return 0;
  CheckTerminated(header.driver_name, sizeof(header.driver_name));
  SettingsExportIdentity model;
  model.cfg_version = 0x0710;
  std::memcpy(model.driver_name, "Kalimu", 7);
  volatile int verdict = static_cast<int>(CheckSettingsExportHeader(header, model, 3, 10));
  (void)verdict;
  for (size_t i = 0; i < header.record_count; ++i) {
    SettingsExportRecord record{};
    if (ReadSettingsExportRecord(file, i, &record) != ExportFileStatus::kOk) break;
    CheckTerminated(record.name, sizeof(record.name));
    for (const auto& profile : record.profile_names) CheckTerminated(profile, sizeof(profile));
    volatile bool refused = IsRecordRefused(header, record);
    (void)refused;
  }
  return 0;
}
