// The 1/0 wrappers of the registry store and the stored-value helpers.
#include "kalimu/settings/printer_reg_values.h"

#include "kalimu/settings/job_settings.h"
#include "kalimu/storage/registry_views.h"

namespace kalimu::settings {
namespace {

int ReadView(int view) { return view == 1 || view == 2 ? view : 0; }
int WriteView(int view) { return view == 1 || view == 2 ? view : 4; }

constexpr uint32_t kBrsModelFlag = 0x200000;  // model header word 24
constexpr uint32_t kBrsKeepAll = 0x80000000u;

}  // namespace

int WritePrinterRegValue(JobSettings* settings, const char* sub_key, const char* value_name, int id, DWORD type,
                         const void* data, DWORD size, int view) {
  if (settings == nullptr) return 0;
  return settings->WriteRegistryValue(sub_key, value_name, id, type, data, size, WriteView(view)) == 0 ? 1 : 0;
}

int ReadPrinterRegValue(JobSettings* settings, const char* sub_key, const char* value_name, int id, void* data,
                        DWORD* size, int view) {
  if (settings == nullptr) return 0;
  return settings->ReadRegistryValue(sub_key, value_name, id, data, size, ReadView(view)) == 0 ? 1 : 0;
}

int DeletePrinterRegValue(JobSettings* settings, const char* sub_key, const char* value_name, int id, int view) {
  if (settings == nullptr) return 0;
  return settings->DeleteRegistryValue(sub_key, value_name, id, WriteView(view)) == 0 ? 1 : 0;
}

int WritePrinterRegValueById(JobSettings* settings, int id, const void* data, DWORD size, int view) {
  if (settings == nullptr) return 0;
  return settings->WriteRegistryValueById(id, data, size, WriteView(view)) == 0 ? 1 : 0;
}

int ReadPrinterRegValueById(JobSettings* settings, int id, void* data, DWORD* size, int view) {
  if (settings == nullptr) return 0;
  return settings->ReadRegistryValueById(id, data, size, ReadView(view)) == 0 ? 1 : 0;
}

int CheckPrinterRegKeyAccess(JobSettings* settings, const char* key_path, int view) {
  if (settings == nullptr) return 0;
  return settings->CheckPrinterKeyAccess(key_path, WriteView(view));
}

int EnsurePrinterRegRootKey(JobSettings* settings, int view) {
  if (settings == nullptr) return 0;
  return settings->EnsurePrinterRootKey(WriteView(view));
}

int ReadSupportKeyValue(JobSettings* settings, char* out, size_t size) {
  if (settings == nullptr) return 0;
  const int found = settings->ReadSupportKey(out, size, 2);
  return static_cast<uint16_t>(found) != 0 ? found : settings->ReadSupportKey(out, size, 1);
}

void NormalizeBrsInfo(JobSettings* settings) {
  if (settings == nullptr || !settings->TestModelHeaderFlags24(kBrsModelFlag)) return;
  uint32_t value = 0;
  settings->GetBrsInfo(&value);
  if ((value & kBrsKeepAll) == 0) settings->SetBrsInfo(value & 1);
}

void MakeRegistryPrinterName(const char* name, char* out, size_t size) {
  storage::PrinterNameForKey(name, out, size);
}

}  // namespace kalimu::settings
