// The record builder's frame: blocks, versions, the request of a family and the temporary
// settings that families 0 and 2 may be built under.
#include "kalimu/driver/struct_builder.h"

#include <cstring>

#include "kalimu/platform/global_block.h"
#include "kalimu/settings/driver_dev_mode.h"

namespace kalimu::driver {
namespace {

constexpr uint32_t kSourceRollFlags = 2 | 4;          // paper-source word 12
constexpr uint32_t kModeRollDefault = 0x200;         // print-mode word 24
constexpr uint32_t kModelWritesBrsInfo = 0x200000;   // model header word 24

uint16_t HeaderByte(int (model::ModelCapabilities::*getter)(uint32_t*), settings::JobSettings& settings) {
  uint32_t value = 0;
  (settings.*getter)(&value);
  return static_cast<uint16_t>(value);
}

bool InRange(uint32_t value, uint32_t low, uint32_t high) { return value >= low && value <= high; }

}  // namespace

void StructBuilder::FreeBlock(const void* block) {
  if (block != nullptr) platform::GlobalBlock::FreeLocked(block);
}

void* StructBuilder::AllocBlock(size_t size) {
  if (error != kBuilderOk || size == 0) return nullptr;
  platform::GlobalBlock block;
  if (!block.Allocate(size)) {
    error = kBuilderNoMemory;
    return nullptr;
  }
  return block.Release();
}

void StructBuilder::ReadVersions(settings::JobSettings& settings) {
  using MC = model::ModelCapabilities;
  version0 = HeaderByte(&MC::GetModelHeaderByte80, settings);
  version2 = HeaderByte(&MC::GetModelHeaderByte81, settings);
  layout_offset_version = HeaderByte(&MC::GetModelHeaderByte83, settings);
  media_tuning_version = HeaderByte(&MC::GetModelHeaderByte84, settings);
  ink_text_version = HeaderByte(&MC::GetModelHeaderByte85, settings);
  printable_area_version = HeaderByte(&MC::GetModelHeaderByte86, settings);
  head_info_version = HeaderByte(&MC::GetModelHeaderByte87, settings);
  tone_version = HeaderByte(&MC::GetModelHeaderByte88, settings);
  brs_version = HeaderByte(&MC::GetModelHeaderByte89, settings);
}

void* StructBuilder::NewRecord(int family, MelvoJobRecord* job) {
  settings::JobSettings* settings = job != nullptr ? JobSettingsOf(*job) : nullptr;
  if (settings == nullptr) {
    error = kBuilderBadRequest;
    return nullptr;
  }
  ReadVersions(*settings);
  switch (family) {
    case kFamilyJobLayout: {
      // The layout divides by the device resolution: a record without one cannot be built.
      settings::ResolutionPair resolution{};
      settings->GetDeviceResolution(&resolution);
      if (!InRange(version0, 1, 9) || resolution.x == 0 || resolution.y == 0) break;
      return NewJobLayout();
    }
    case kFamilyModulePaths:
      return NewModulePaths();
    case kFamilyColorHalftone:
      if (!InRange(version2, 1, 3)) break;
      return NewColorHalftone();
    default:
      break;
  }
  error = kBuilderBadRequest;
  return nullptr;
}

int StructBuilder::FillRecord(int family, void* record, MelvoJobRecord* job) {
  if (record == nullptr || job == nullptr || job->settings == nullptr) {
    error = kBuilderBadRequest;
    return 0;
  }
  saved_settings = nullptr;
  ReadVersions(*JobSettingsOf(*job));
  int filled = 1;
  switch (family) {
    case kFamilyJobLayout:
      PrepareSettings(job);
      FillJobLayout(static_cast<JobLayoutStruct*>(record), job);
      break;
    case kFamilyModulePaths:
      FillModulePaths(static_cast<ModulePathsStruct*>(record), job);
      break;
    case kFamilyColorHalftone:
      PrepareSettings(job);
      FillColorHalftone(static_cast<ColorHalftoneStruct*>(record), job);
      break;
    default:
      error = kBuilderBadRequest;
      filled = 0;
      break;
  }
  settings::JobSettings& settings = *JobSettingsOf(*job);
  if (settings.TestModelHeaderFlags24(kModelWritesBrsInfo)) settings.SetBrsInfo(flags);
  RestoreSettings(job);
  return filled;
}

void StructBuilder::FreeRecord(int family, void* record) {
  if (record == nullptr) return;
  switch (family) {
    case kFamilyJobLayout:
      FreeJobLayout(static_cast<JobLayoutStruct*>(record));
      break;
    case kFamilyModulePaths:
      FreeModulePaths(static_cast<ModulePathsStruct*>(record));
      break;
    case kFamilyColorHalftone:
      FreeColorHalftone(static_cast<ColorHalftoneStruct*>(record));
      break;
    default:
      return;
  }
  FreeBlock(record);
}

void StructBuilder::PrepareSettings(MelvoJobRecord* job) {
  settings::JobSettings* settings = JobSettingsOf(*job);
  bool roll_rule = false;
  const auto source = static_cast<int16_t>(settings->GetPaperSourceIndex());
  if (settings->TestPaperSourceFlags12(source, kSourceRollFlags)) {
    roll_rule = settings->TestPrintModeFlags24(static_cast<int16_t>(settings->GetCurrentModeIndex()),
                                               kModeRollDefault) != 0;
  }
  if ((job->flags & kJobFlagDefaultMode) == 0 && !roll_rule) return;

  if ((job->flags & kJobFlagHandle) == 0) {
    // Built for a caller that did not make the handle: its own settings stay as they are, and
    // the record is built from a copy.
    auto* work = static_cast<uint8_t*>(AllocBlock(settings::kDevModeSize));
    if (work == nullptr) return;
    work_dev_mode = work;
    std::memcpy(work, settings->GetDriverDevMode(), settings::kDevModeSize);
    settings::JobSettings* copy = settings::CreateJobSettings(
        work, settings->GetPrinterHandle(), settings->GetPrinterName(), settings->GetDriverName());
    if (copy == nullptr) return;
    saved_settings = settings;
    job->settings = copy;
    settings = copy;
  }
  if (job->flags & kJobFlagDefaultMode) {
    settings->ChangePrintModeType(0);
    settings->SetPresetKind5();
    settings->ChangeModeVariant(2);
  }
  if ((flags & kBuilderReselectMode) && !settings->ReselectCurrentMode()) {
    flags = (flags & ~kBuilderReselectMode) | kBuilderReselectFailed;
  }
  if (roll_rule) {
    settings::ResolutionPair kept{};
    settings->GetDeviceResolution(&kept);
    if (settings->SelectDefaultModeForMedia()) settings->SetDeviceResolution(kept.x, kept.y);
  }
}

void StructBuilder::RestoreSettings(MelvoJobRecord* job) {
  if (saved_settings != nullptr) {
    settings::DestroyJobSettings(JobSettingsOf(*job));
    job->settings = saved_settings;
    saved_settings = nullptr;
  }
  FreeBlock(work_dev_mode);
  work_dev_mode = nullptr;
  FreeBlock(spare_block);
  spare_block = nullptr;
  FreeBlock(brs_block);
  brs_block = nullptr;
}

}  // namespace kalimu::driver
