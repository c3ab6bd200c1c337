// The rendering library's handle: CreateMelvoInfo builds the settings of one job on a copy of
// the caller's record with the printer opened by name, CreateStruct hands out records built from
// them, DestroyStruct and DestroyMelvoInfo free everything again.
#include <windows.h>

#include <cstring>
#include <memory>
#include <new>

#include "kalimu/driver/export_guard.h"
#include "kalimu/driver/render_records.h"
#include "kalimu/driver/struct_builder.h"
#include "kalimu/platform/global_block.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/platform/unique_handle.h"
#include "kalimu/platform/win32_helpers.h"
#include "kalimu/settings/driver_dev_mode.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/status/printer_status.h"
#include "kalimu/status/status_reading.h"

namespace kalimu::driver {
namespace {

constexpr size_t kText1Limit = 62;
constexpr size_t kText2Limit = 126;
constexpr uint32_t kModeOption3Xcmd = 0x20;

// A locked global block given up by its scope's owner once the handle holds it.
template <class T>
T* TakeBlock(platform::GlobalBlock& block) {
  return reinterpret_cast<T*>(block.Release());
}

uint32_t JobFlagWord(const settings::JobSettings& settings, uint32_t options) {
  uint32_t word = kJobFlagHandle;
  const bool duplex = settings.IsDuplexOn() != 0;
  const bool option4 = settings.IsDuplexWithOption4() != 0;
  if (duplex && !option4) word |= (options & kOptionDuplexKind) ? kJobFlagDuplexKind : kJobFlagDuplexOther;
  if ((duplex || option4) && (options & kOptionDuplexOption)) word |= kJobFlagDuplexOption;
  if (options & kOption20) word |= kJobFlag10;
  if (options & kOptionDefaultModeForRecords) word |= kJobFlagDefaultMode;
  if (options & kOption100) word |= kJobFlag100;
  return word;
}

// A copy of bytes of text and a terminator in a new global block; null when none can be had.
char* CopyTextBlock(const char* text, size_t length) {
  platform::GlobalBlock block;
  if (!block.Allocate(length + 1)) return nullptr;
  std::memcpy(block.data(), text, length);
  return TakeBlock<char>(block);
}

// Text 1 or 2 of the caller, cut to limit bytes. A cut through a double-byte character of the
// system code page leaves its lead byte as the terminator; the length stays the cut length.
void CopyCallerText(const char* text, size_t limit, char** out, uint32_t* out_length) {
  *out = nullptr;
  *out_length = 0;
  if (text == nullptr) return;
  char buffer[kRecordPathBytes] = {};
  platform::CopyStringA(buffer, sizeof(buffer), text);
  size_t n = std::strlen(buffer);
  if (n > limit) n = limit;
  if (n == 0) return;
  char* copy = CopyTextBlock(buffer, n);
  if (copy == nullptr) return;
  // The character walk starts at the text's first byte: a trail byte may carry a lead byte's value.
  if (n == limit && platform::WholeCharacterLength(buffer, limit) < limit) copy[limit - 1] = '\0';
  *out = copy;
  *out_length = static_cast<uint32_t>(n);
}

void CopyStatusText(settings::JobSettings& settings, MelvoJobRecord& job) {
  std::unique_ptr<status::PrinterStatus> reader(status::CreatePrinterStatus(settings));
  if (reader == nullptr) return;
  reader->LoadStoredStatus();
  const char* text = reader->GetSbText();
  if (text == nullptr) return;
  const size_t length = strnlen(text, status::kSbTextCapacity - 1);
  job.status_text = CopyTextBlock(text, length);
  if (job.status_text != nullptr) job.status_text_length = static_cast<uint32_t>(length);
}

void FillMelvoJobRecord(MelvoJobRecord& job, settings::JobSettings& settings, const MelvoInfoParams& params,
                        const JobOptionRecord& options) {
  job.settings = &settings;
  job.flags = JobFlagWord(settings, options.flags);
  CopyStatusText(settings, job);
  CopyCallerText(params.text1, kText1Limit, &job.text1, &job.text1_length);
  CopyCallerText(params.text2, kText2Limit, &job.text2, &job.text2_length);
  job.caller_value = params.caller_value;
  job.option_value = options.value;
  job.color = static_cast<uint32_t>(settings.GetColor());
}

MelvoInfo* MakeHandle(const MelvoInfoParams* params) {
  if (params == nullptr || params->dev_mode == nullptr || params->printer_name == nullptr) return nullptr;
  // The whole 1048-byte record of this driver is read; a shorter or foreign one is refused
  // before anything past its public part is touched.
  const auto* caller = static_cast<const DEVMODEW*>(params->dev_mode);
  if (caller->dmSize != settings::kDevModePublicSize || caller->dmDriverExtra != settings::kDevModePrivateSize) {
    return nullptr;
  }
  platform::UniquePrinter printer;
  {
    HANDLE opened = nullptr;
    if (!platform::OpenPrinterByAnsiName(params->printer_name, &opened) || opened == nullptr) return nullptr;
    printer.Reset(opened);
  }
  platform::GlobalBlock dev_mode;
  if (!dev_mode.Allocate(settings::kDevModeSize)) return nullptr;
  std::memcpy(dev_mode.data(), params->dev_mode, settings::kDevModeSize);
  auto* record = reinterpret_cast<settings::DriverDevMode*>(dev_mode.data());
  char driver_name[settings::kDriverNameBytes + 1] = {};
  std::memcpy(driver_name, record->DriverName, settings::kDriverNameBytes);
  settings::JobSettingsPtr settings(
      settings::CreateJobSettings(record, printer.get(), params->printer_name, driver_name));
  if (settings == nullptr) return nullptr;

  std::unique_ptr<StructBuilder> builder(new (std::nothrow) StructBuilder{});
  platform::GlobalBlock info_block;
  platform::GlobalBlock job_block;
  if (builder == nullptr || !info_block.Allocate(sizeof(MelvoInfo)) || !job_block.Allocate(sizeof(MelvoJobRecord))) {
    return nullptr;
  }
  JobOptionRecord options{};
  if (params->job_options != nullptr) std::memcpy(&options, params->job_options, sizeof(options));
  if (options.flags & kOptionDefaultModeAtCreate) {
    settings->ChangePrintModeType(0);
    settings->SetPresetKind5();
    settings->ChangeModeVariant(0);
  }
  auto* job = reinterpret_cast<MelvoJobRecord*>(job_block.data());
  FillMelvoJobRecord(*job, *settings, *params, options);

  auto* info = TakeBlock<MelvoInfo>(info_block);
  info->builder = builder.release();
  info->job = TakeBlock<MelvoJobRecord>(job_block);
  info->printer = printer.Release();
  settings.release();
  dev_mode.Release();  // the settings' record: freed with them by DestroyMelvoInfo
  return info;
}

DWORD FreeHandle(MelvoInfo* info) {
  if (info == nullptr) return 1;
  MelvoJobRecord* job = info->job;
  if (job != nullptr) {
    auto* settings = JobSettingsOf(*job);
    void* dev_mode = settings != nullptr ? settings->GetDriverDevMode() : nullptr;
    settings::DestroyJobSettings(settings);
    StructBuilder::FreeBlock(dev_mode);
  }
  if (StructBuilder* builder = info->builder) {
    // Blocks the rendering library left in the builder go with it.
    StructBuilder::FreeBlock(builder->spare_block);
    StructBuilder::FreeBlock(builder->brs_block);
    delete builder;
  }
  if (info->printer != nullptr) ClosePrinter(info->printer);
  if (job != nullptr) {
    StructBuilder::FreeBlock(job->status_text);
    StructBuilder::FreeBlock(job->text2);
    StructBuilder::FreeBlock(job->text1);
    StructBuilder::FreeBlock(job);
  }
  StructBuilder::FreeBlock(info);
  return 1;
}

int FamilyOfType(uint32_t type) {
  switch (type) {
    case kStructJobLayout: return kFamilyJobLayout;
    case kStructModulePaths: return kFamilyModulePaths;
    case kStructColorHalftone: return kFamilyColorHalftone;
    default: return -1;
  }
}

// Type 10: model header values 66 (high half) and 64 (low half), sign-extended.
intptr_t PackedModelValue(settings::JobSettings& settings) {
  int32_t low = 0;
  int32_t high = 0;
  settings.GetModelHeaderValue64(&low);
  settings.GetModelHeaderValue66(&high);
  const auto packed = static_cast<int32_t>((static_cast<uint32_t>(high) << 16) | (static_cast<uint32_t>(low) & 0xFFFF));
  return static_cast<intptr_t>(packed);
}

// Type 20: the output module's path.
char* OutputModulePath(settings::JobSettings& settings) {
  platform::GlobalBlock block;
  if (!block.Allocate(kRecordPathBytes)) return nullptr;
  auto* path = reinterpret_cast<char*>(block.data());
  settings.GetOutputModulePath(path, kRecordPathBytes);
  if (settings.TestModeOption3Bits(kModeOption3Xcmd)) settings.GetXcmdOutputModulePath(path, kRecordPathBytes);
  return TakeBlock<char>(block);
}

void* MakeStruct(uint32_t type, MelvoInfo* info) {
  if (info == nullptr || info->builder == nullptr || info->job == nullptr) return nullptr;
  StructBuilder& builder = *info->builder;
  const int family = FamilyOfType(type);
  if (family >= 0) {
    builder.BeginRequest();
    void* record = builder.NewRecord(family, info->job);
    if (record == nullptr) return nullptr;
    builder.FillRecord(family, record, info->job);
    return record;
  }
  settings::JobSettings* settings = JobSettingsOf(*info->job);
  if (settings == nullptr) return nullptr;
  if (type == kStructModelValue) return reinterpret_cast<void*>(PackedModelValue(*settings));
  if (type == kStructOutputModule) return OutputModulePath(*settings);
  return nullptr;
}

DWORD FreeStruct(uint32_t type, void* record, MelvoInfo* info) {
  const int family = FamilyOfType(type);
  if (family >= 0) {
    if (info == nullptr || info->builder == nullptr) return 0;
    StructBuilder& builder = *info->builder;
    builder.BeginRequest();
    if (record == nullptr) {
      builder.error = kBuilderBadRequest;
      return 0;
    }
    builder.FreeRecord(family, record);
    return 1;
  }
  if (type == kStructOutputModule) StructBuilder::FreeBlock(record);
  return 0;
}

}  // namespace
}  // namespace kalimu::driver

extern "C" {

void* WINAPI CreateMelvoInfo(void* params) {
  using namespace kalimu::driver;
  return Guarded<void*>(nullptr, [&] { return MakeHandle(static_cast<const MelvoInfoParams*>(params)); });
}

DWORD WINAPI DestroyMelvoInfo(void* info) {
  using namespace kalimu::driver;
  return Guarded<DWORD>(1, [&] { return FreeHandle(static_cast<MelvoInfo*>(info)); });
}

void* WINAPI CreateStruct(DWORD type, void* info, void*, void*) {
  using namespace kalimu::driver;
  return Guarded<void*>(nullptr, [&] { return MakeStruct(type, static_cast<MelvoInfo*>(info)); });
}

DWORD WINAPI DestroyStruct(DWORD type, void* record, void* info) {
  using namespace kalimu::driver;
  return Guarded<DWORD>(0, [&] { return FreeStruct(type, record, static_cast<MelvoInfo*>(info)); });
}

}  // extern "C"
