// The printer's stored record, the ink-set switch, default records built on a second object,
// the selected watermark's attributes and the rendering intents.
#include <windows.h>
#include <winspool.h>

#include <cstring>
#include <memory>

#include "kalimu/platform/file_cache.h"
#include "kalimu/platform/resource_library.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/platform/unique_handle.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/printer_info.h"
#include "kalimu/storage/driver_registry.h"

namespace kalimu::settings {
namespace {

// Resource modules of a few drivers in use at once.
constexpr size_t kCachedModules = 8;

}  // namespace

int JobSettings::ReadPrinterDevMode(void* buffer, uint32_t size) {
  if (buffer == nullptr) return 0;
  platform::GlobalBlock block;
  const PRINTER_INFO_2W* info = ReadPrinterInfo2(printer_, block);
  if (info == nullptr || info->pDevMode == nullptr) return 0;
  // Only a stored record that really holds size bytes is read: a shorter one (another
  // driver's, or the spooler's public part alone) is refused.
  if (StoredDevModeBytes(*info, block) < size) return 0;
  std::memcpy(buffer, info->pDevMode, size);
  return 1;
}

int JobSettings::WritePrinterDevMode(const void* dev_mode, uint32_t size) {
  if (dev_mode == nullptr || size < offsetof(DEVMODEW, dmDriverExtra) + sizeof(WORD)) return 0;
  // The spooler stores what the record declares: it must lie within the size given.
  const auto* record = static_cast<const DEVMODEW*>(dev_mode);
  if (size_t{record->dmSize} + record->dmDriverExtra > size) return 0;
  platform::UniquePrinter printer;
  if (!storage::DriverModuleLocator::OpenPrinterWithDefaults(printer_name_, printer.Receive())) return 0;
  platform::GlobalBlock block;
  PRINTER_INFO_2W* info = ReadPrinterInfo2(printer.get(), block);
  if (info == nullptr || info->pDevMode == nullptr) return 0;
  // The record is handed over as it is, not copied into the space of the stored one, which
  // may be smaller; the printer's security is left as it is.
  info->pDevMode = const_cast<DEVMODEW*>(record);
  info->pSecurityDescriptor = nullptr;
  return SetPrinterW(printer.get(), 2, reinterpret_cast<BYTE*>(info), 0) ? 1 : 0;
}

int JobSettings::GetPrinterAndDriverNames(char* printer_name, size_t printer_size, char* driver_name,
                                          size_t driver_size) {
  platform::GlobalBlock block;
  const PRINTER_INFO_2W* info = ReadPrinterInfo2(printer_, block);
  if (info == nullptr) return 0;
  return WideToAnsi(info->pPrinterName, printer_name, printer_size) &&
                 WideToAnsi(info->pDriverName, driver_name, driver_size)
             ? 1
             : 0;
}

void JobSettings::CreateForModel(const model::InkInfoValue* record) {
  if (record == nullptr) return;
  platform::GlobalBlock block;
  if (!block.Allocate(kDevModeSize)) return;
  // Without the printer's own record there is nothing to rewrite: a record with an empty
  // header is never stored.
  if (!ReadPrinterDevMode(block.data(), kDevModeSize)) return;
  DevModeAccessor(block.data()).SetModelId(record->codes, sizeof(record->codes));

  JobSettings variant(block.data(), printer_, printer_name_, GetDriverName());
  if (!variant.IsValid()) return;
  variant.locator().ShareDriverFiles(locator());
  // The record passes through the merge, which checks every field against the model variant
  // of the new ink codes, and is stored again.
  DriverDevMode copy;
  std::memcpy(&copy, block.data(), sizeof(copy));
  if (!variant.MergeDevMode(&copy, printer_)) return;
  WritePrinterDevMode(block.data(), kDevModeSize);
}

int JobSettings::BuildDefaultDevMode(void* buffer) {
  if (buffer == nullptr) return 0;
  JobSettings fresh(buffer, printer_, printer_name_, GetDriverName());
  if (!fresh.IsValid()) return 0;
  fresh.locator().ShareDriverFiles(locator());
  if (!fresh.ResetToDefaults()) return 0;
  uint16_t pm_flag = 0;
  if (ReadPmFlag(&pm_flag)) fresh.SetJobOptions(MirrorPmFlag(fresh.GetJobOptions(), pm_flag, kPmFlagJobBits));
  return 1;
}

void JobSettings::RestoreDefaultDevMode() {
  uint32_t message_flag = 0;
  ReadMessageDialogFlag(&message_flag);
  const uint32_t persistent = GetPersistentOptions();
  platform::GlobalBlock block;
  if (!block.Allocate(kDevModeSize) || !BuildDefaultDevMode(block.data())) return;
  SetDriverDevMode(block.data());
  SetPersistentOptions(persistent);
  WriteMessageDialogFlag(message_flag);
  LoadPmFlags();
}

int JobSettings::SelectInkSet(uint16_t index) {
  model::InkInfoValue stored{};
  ReadInkInfo(&stored);
  LoadInkSetTable();
  uint8_t codes[model::kInkCodeCount] = {};
  if (!GetInkSetCodes(index, codes, sizeof(codes))) return 0;  // no such ink set
  // Compared by codes: an index lookup answers 0 for "no match" as well as for ink set 0.
  if (std::memcmp(stored.codes, codes, sizeof(codes)) == 0) return 0;
  model::InkInfoValue record = stored;  // the reserved bytes as read
  record.valid = 1;
  record.ink_id_length = GetInkIdLength();
  std::memcpy(record.codes, codes, sizeof(codes));
  WriteInkInfo(&record);
  return 1;
}

int JobSettings::IsInkSetChanged() {
  model::InkInfoValue stored{};
  ReadInkInfo(&stored);
  uint8_t codes[model::kInkCodeCount] = {};
  GetModelId(codes, sizeof(codes));
  return std::memcmp(stored.codes, codes, sizeof(codes)) != 0 ? 1 : 0;
}

void JobSettings::SelectWatermark(int16_t index) {
  SetWatermarkIndex(index);
  const auto entry = static_cast<uint16_t>(index);
  int32_t position = 0;
  if (index < 0 || !GetEntryValue90(entry, &position)) return;  // no such entry: nothing to copy
  SetWatermarkPosition(position);
  EdgeValues box{};
  GetEntryBlock94(entry, &box, sizeof(box));
  SetWatermarkBox(&box);
  int32_t size = 0;
  GetEntryValue266(entry, &size);
  SetWatermarkSize(size);
  uint32_t on = 0;
  GetEntryValue92(entry, &on);
  SetWatermarkEnabled(on);
  uint32_t color = 0;
  if (GetEntryColor(entry, &color, sizeof(color))) SetWatermarkColor(color);
  int32_t density = 0;
  GetEntryValue280(entry, &density);
  SetWatermarkDensity(density);
  int32_t aspect = 0;
  GetAspectRatio(entry, &aspect);
  SetWatermarkAspect(aspect);
}

void JobSettings::SetRenderingIntent(uint32_t intent) {
  SetIntent1(intent);
  SetICMIntent(intent);
  if (GetColorManagementMode() == 2) {
    SetIntent2(intent);
    SetIntent3(intent);
  }
}

int JobSettings::LookupDriverIniKey(int key, char* out, size_t size, const char* data_file, int join) {
  return storage::DriverModuleLocator::ReadDriverInfoPath(key, out, size, data_file, join);
}

uint16_t GetModuleLanguageId(const char* path) {
  if (path == nullptr || path[0] == '\0') return platform::kDefaultResourceLanguage;
  // Reading a module's version block is costly: it is read once per version of the module.
  static platform::FileCache<uint16_t> languages(kCachedModules);
  const auto cached = languages.GetFromPath(path, [path]() -> std::shared_ptr<const uint16_t> {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    platform::GlobalBlock block;
    if (size == 0 || !block.Allocate(size) || !GetFileVersionInfoA(path, 0, size, block.data())) return nullptr;
    return std::make_shared<const uint16_t>(platform::VersionBlockLanguage(block.data()));
  });
  return cached != nullptr ? *cached : platform::kDefaultResourceLanguage;
}

}  // namespace kalimu::settings
