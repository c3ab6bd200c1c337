// Document events of GDI around a device context and a print job.
#include "kalimu/driver/document_events.h"

#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/driver/export_guard.h"
#include "kalimu/platform/global_block.h"
#include "kalimu/platform/program_start.h"
#include "kalimu/platform/spooler_info.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/settings/driver_dev_mode.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/printer_info.h"
#include "kalimu/settings/printer_reg_values.h"
#include "kalimu/status/monitor_link.h"
#include "kalimu/status/stored_readings.h"
#include "kalimu/storage/driver_module_locator.h"
#include "kalimu/storage/driver_registry.h"

namespace kalimu::driver {
namespace {

using settings::JobSettings;
using settings::JobSettingsPtr;

constexpr char kPrinterRootKey[] = "SOFTWARE\\NORVA\\PRINTER\\";
constexpr int kDefaultView = 0;  // reads: the default view; writes: both views

// Model header words.
constexpr uint32_t kH20PrePrintFlag = 0x80;
constexpr uint32_t kH24Stacker = 0x2;
constexpr uint32_t kH24PagePosition = 0x1002100;
constexpr uint32_t kH24OverTemperature = 0x1000;
constexpr uint32_t kH24PaperRemain = 0x80000;
constexpr uint32_t kH28BinInfo = 0x4;

// "PMFlag" bits.
constexpr uint16_t kPmMonitorJob = 0x1;
constexpr uint16_t kPmPrePrint = 0x2;

constexpr uint32_t kJobOptionNetwork = 0x20;
constexpr int32_t kPresetKindUser = 2;
constexpr int32_t kColorModeMonochrome = 1;

int SystemPrinterKind(HANDLE printer) {
  platform::GlobalBlock block;
  const PRINTER_INFO_2W* info = settings::ReadPrinterInfo2(printer, block);
  if (info == nullptr) return -1;
  return (info->Attributes & PRINTER_ATTRIBUTE_NETWORK) != 0 ? 1 : 0;
}

int SystemJobDatatype(HANDLE printer, DWORD job_id, wchar_t* out, size_t size) {
  DWORD needed = 0;
  if (GetJobW(printer, job_id, 1, nullptr, 0, &needed) || GetLastError() != ERROR_INSUFFICIENT_BUFFER ||
      needed < sizeof(JOB_INFO_1W)) {
    return 0;
  }
  platform::GlobalBlock block;
  if (!block.Allocate(needed) || !GetJobW(printer, job_id, 1, block.data(), needed, &needed)) return 0;
  const auto* job = reinterpret_cast<const JOB_INFO_1W*>(block.data());
  platform::CopyStringW(out, size, job->pDatatype != nullptr ? job->pDatatype : L"");
  return 1;
}

constexpr SpoolerFacts kSystemFacts = {SystemPrinterKind, SystemJobDatatype};

// A 32-bit stored value; false when it does not read with 4 bytes.
bool ReadNumber(const storage::DriverRegistry& registry, int id, int32_t* out) {
  DWORD size = sizeof *out;
  return registry.ReadValueById(id, out, &size, storage::kViewDefault) == ERROR_SUCCESS && size == sizeof *out;
}

// "PMFlag" when it reads with exactly two bytes.
bool ReadPmFlag(JobSettings& settings, uint16_t* out) {
  DWORD size = sizeof *out;
  return settings.ReadRegistryValue(nullptr, nullptr, storage::kValuePmFlag, out, &size, kDefaultView) ==
             ERROR_SUCCESS &&
         size == sizeof *out;
}

bool IsModelPaperId(JobSettings& settings, int32_t id) {
  uint32_t count = 0;
  settings.GetPaperSizeCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    if (settings.GetPaperIdByIndex(static_cast<uint16_t>(i)) == id) return true;
  }
  return false;
}

// The PRE events: a merged copy of the application's record (or, without one, the printer's
// stored or default record) in a block of its own, handed out through out.
int CopyDevMode(HANDLE printer, const DEVMODEW* application, PVOID out, const SpoolerFacts& facts) {
  if (out == nullptr) return DOCUMENTEVENT_FAILURE;
  platform::GlobalBlock block;
  if (!block.Allocate(settings::kDevModeSize)) return DOCUMENTEVENT_FAILURE;
  JobSettingsPtr settings(settings::CreateJobSettings(nullptr, printer, nullptr, nullptr));
  if (settings == nullptr) return DOCUMENTEVENT_FAILURE;
  if (application != nullptr && settings->MergeDevMode(application, printer) != 1) return DOCUMENTEVENT_FAILURE;
  if (IsNetworkPrinter(printer, facts)) MarkNetworkJob(printer, settings.get());
  std::memcpy(block.data(), settings->GetDevMode(), settings::kDevModeSize);
  *static_cast<void**>(out) = block.Release();
  return DOCUMENTEVENT_SUCCESS;
}

// The POST events free the copy the PRE event handed out.
int FreeDevModeCopy(PVOID in) {
  if (in != nullptr) {
    void* copy = *static_cast<void**>(in);
    if (copy != nullptr) platform::GlobalBlock::FreeLocked(copy);
  }
  return DOCUMENTEVENT_SUCCESS;
}

int StartDocument(HANDLE printer) {
  JobSettingsPtr settings(settings::CreateJobSettings(nullptr, printer, nullptr, nullptr));
  if (settings == nullptr) return DOCUMENTEVENT_UNSUPPORTED;
  StoreUserTempFolder(printer, settings->GetDriverName(), settings.get());
  return DOCUMENTEVENT_SUCCESS;
}

// The job has started: its flags for the pre-print program, then the status monitor.
int StartJob(HANDLE printer, PVOID in, const SpoolerFacts& facts) {
  JobSettingsPtr settings(settings::CreateJobSettings(nullptr, printer, nullptr, nullptr));
  if (settings == nullptr) return DOCUMENTEVENT_UNSUPPORTED;
  if (in == nullptr) return DOCUMENTEVENT_SUCCESS;  // no job to speak of
  const DWORD job_id = *static_cast<const DWORD*>(in);

  char printer_name[MAX_PATH] = {};
  {
    platform::GlobalBlock block;
    const PRINTER_INFO_2A* info = platform::ReadPrinterInfo2A(printer, block);
    if (info == nullptr || info->pPrinterName == nullptr ||
        !platform::CopyStringA(printer_name, sizeof printer_name, info->pPrinterName)) {
      settings->GetDeviceNameA(printer_name, sizeof printer_name);
    }
  }
  uint32_t stm_flags = 0;
  uint32_t stm_value = 0;
  status::CheckStmSetting(printer, settings.get(), &stm_flags, &stm_value);

  uint16_t flags = 0;
  if (!StorePrePrintFlags(settings->GetDriverName(), &flags, job_id, printer, settings.get(), facts)) {
    return DOCUMENTEVENT_SUCCESS;
  }
  if (flags & kPmPrePrint) StartPrePrintProgram(printer, printer_name, job_id, 2, settings.get());

  char command[status::kMonitorCommandFileBytes] = {};
  const int32_t id = static_cast<int32_t>(job_id);
  const int16_t type = (flags & kPmMonitorJob) ? 7 : 8;
  const int answer = status::BuildMonitorCommand(command, sizeof command, printer, type, &id, settings.get());
  if (answer == 4 || ((answer == 3 || answer == 2) && (flags & kPmMonitorJob))) {
    platform::RunProgram(command, SW_SHOW);
  }
  return DOCUMENTEVENT_SUCCESS;
}

}  // namespace

const SpoolerFacts& SystemSpoolerFacts() { return kSystemFacts; }

int IsNetworkPrinter(HANDLE printer, const SpoolerFacts& facts) { return facts.printer_kind(printer) == 1 ? 1 : 0; }

int IsNetworkNonRawJob(HANDLE printer, DWORD job_id, const SpoolerFacts& facts) {
  if (facts.printer_kind(printer) == 0) return 0;
  wchar_t datatype[kJobDatatypeChars] = {};
  if (!facts.job_datatype(printer, job_id, datatype, kJobDatatypeChars) || datatype[0] == L'\0') return 0;
  datatype[3] = L'\0';  // "RAW [FF appended]" and the like are raw jobs too
  return std::wcscmp(datatype, L"RAW") != 0 ? 1 : 0;
}

void MarkNetworkJob(HANDLE, settings::JobSettings* settings) {
  if (settings == nullptr) return;
  uint16_t pm_flag = 0;
  const bool network = (ReadPmFlag(*settings, &pm_flag) && (pm_flag & kPmPrePrint)) ||
                       settings->IsWatermarkOn() ||
                       settings->GetColorMode() == kColorModeMonochrome ||
                       settings->GetPresetKind() == kPresetKindUser ||
                       !IsModelPaperId(*settings, settings->GetPaperSize()) ||
                       !IsModelPaperId(*settings, static_cast<int32_t>(settings->GetOutputPaperSize()));
  const uint32_t options = settings->GetJobOptions();
  settings->SetJobOptions(network ? options | kJobOptionNetwork : options);
}

int StoreUserTempFolder(HANDLE, const char*, settings::JobSettings* settings) {
  if (settings == nullptr) return 0;
  char temp[MAX_PATH] = {};
  char stored[MAX_PATH] = {};
  const DWORD length = GetTempPathA(MAX_PATH, temp);
  if (length == 0 || length >= MAX_PATH) return 1;
  DWORD size = sizeof stored;
  const bool same = settings->ReadRegistryValue(nullptr, nullptr, storage::kValueTempFilePathUser, stored, &size,
                                                kDefaultView) == ERROR_SUCCESS &&
                    lstrcmpA(stored, temp) == 0;
  if (!same) {
    settings::WritePrinterRegValue(settings, nullptr, nullptr, storage::kValueTempFilePathUser, REG_SZ, temp,
                                   length + 1, kDefaultView);
  }
  return 1;
}

void ResetJobStatusValues(HANDLE printer) {
  JobSettingsPtr settings(settings::CreateJobSettings(nullptr, printer, nullptr, nullptr));
  if (settings == nullptr) return;
  const storage::DriverRegistry& registry = settings->registry();
  status::WriteStoredNumber(registry, storage::kValueInkCheck, 0);
  status::ClearPrinterStatusFlag(registry);
  if (settings->TestModelHeaderFlags28(kH28BinInfo)) status::WriteStoredNumber(registry, storage::kValueKvBinInfo, 0);
  if (settings->TestModelHeaderFlags24(kH24Stacker)) status::WriteStackerState(registry, -1);
  if (settings->TestModelHeaderFlags24(kH24PagePosition)) status::WritePagePosition(registry, -1);
  if (settings->TestModelHeaderFlags24(kH24OverTemperature)) status::WriteOverTemperature(registry, -1);
  if (settings->TestModelHeaderFlags24(kH24PaperRemain)) status::WritePaperRemain(registry, -1);
  int32_t ppck = 0;
  if (ReadNumber(registry, storage::kValuePpck, &ppck)) status::WriteStoredNumber(registry, storage::kValuePpck, 0);
}

int StorePrePrintFlags(const char*, uint16_t* flags, DWORD job_id, HANDLE printer, settings::JobSettings* settings,
                       const SpoolerFacts& facts) {
  char key[MAX_PATH] = {};
  {
    platform::GlobalBlock block;
    const DRIVER_INFO_2A* driver = platform::ReadDriverInfo2A(printer, block);
    if (driver == nullptr || driver->pName == nullptr || !platform::CopyStringA(key, sizeof key, kPrinterRootKey) ||
        !platform::AppendStringA(key, sizeof key, driver->pName)) {
      return 0;
    }
  }
  uint16_t pm_flag = 0;
  if (settings == nullptr || !ReadPmFlag(*settings, &pm_flag)) {
    *flags = kPmMonitorJob;
    return 1;
  }
  char name[kJobFlagsNameChars + 1] = {};
  std::snprintf(name, sizeof name, kJobFlagsNameFormat, static_cast<unsigned>(job_id));
  if (!IsNetworkNonRawJob(printer, job_id, facts)) {
    settings::WritePrinterRegValue(settings, key, name, storage::kValueCaller, REG_BINARY, &pm_flag, sizeof pm_flag,
                                   kDefaultView);
  }
  *flags = pm_flag;
  return 1;
}

int BuildPrePrintCommand(HANDLE printer, const char* printer_name, DWORD job_id, int mode,
                         settings::JobSettings* settings, char* out, size_t size) {
  if (settings == nullptr || printer_name == nullptr || out == nullptr || size == 0) return 0;
  out[0] = '\0';
  char program[MAX_PATH] = {};
  if (!settings->GetDriverFilePath(storage::kInfoPrePrn, program, sizeof program) || program[0] == '\0') return 0;
  char drive[_MAX_DRIVE] = {};
  char dir[_MAX_DIR] = {};
  char name[_MAX_FNAME] = {};
  char ext[_MAX_EXT] = {};
  if (_splitpath_s(program, drive, sizeof drive, dir, sizeof dir, name, sizeof name, ext, sizeof ext) != 0 ||
      name[0] == '\0') {
    return 0;
  }
  platform::GlobalBlock block;
  const DRIVER_INFO_2A* driver = platform::ReadDriverInfo2A(printer, block);
  if (driver == nullptr || driver->pDataFile == nullptr || driver->pDataFile[0] == '\0') return 0;
  const int pre_print_flag = settings->TestModelHeaderFlags20(kH20PrePrintFlag) ? 1 : 0;
  const int n = std::snprintf(out, size, "%s%s%s%s NORVAPPEXVTRNAME%u,%s,%s,%d,%d", drive, dir, name, ext,
                              static_cast<unsigned>(job_id), driver->pDataFile, printer_name, mode, pre_print_flag);
  if (n < 0 || static_cast<size_t>(n) >= size) {
    out[0] = '\0';  // a cut line would start the program with another job's arguments
    return 0;
  }
  return 1;
}

int StartPrePrintProgram(HANDLE printer, const char* printer_name, DWORD job_id, int mode,
                         settings::JobSettings* settings) {
  char command[kPrePrintCommandBytes] = {};
  if (!BuildPrePrintCommand(printer, printer_name, job_id, mode, settings, command, sizeof command)) return 0;
  if (!platform::RunProgram(command, SW_HIDE)) return 0;
  Sleep(kPrePrintSettleMs);
  return 1;
}

int HandleDocumentEvent(HANDLE printer, HDC, int event, ULONG, PVOID in, ULONG, PVOID out,
                        const SpoolerFacts& facts) {
  switch (event) {
    case DOCUMENTEVENT_CREATEDCPRE: {
      if (in == nullptr) return DOCUMENTEVENT_FAILURE;
      return CopyDevMode(printer, static_cast<const DOCEVENT_CREATEDCPRE*>(in)->pdm, out, facts);
    }
    case DOCUMENTEVENT_CREATEDCPOST:
    case DOCUMENTEVENT_RESETDCPOST:
      return FreeDevModeCopy(in);
    case DOCUMENTEVENT_RESETDCPRE: {
      if (in == nullptr) return DOCUMENTEVENT_FAILURE;
      return CopyDevMode(printer, *static_cast<const DEVMODEW* const*>(in), out, facts);
    }
    case DOCUMENTEVENT_STARTDOC:
      return StartDocument(printer);
    case DOCUMENTEVENT_ENDDOC:
      ResetJobStatusValues(printer);
      return DOCUMENTEVENT_SUCCESS;
    case DOCUMENTEVENT_STARTDOCPOST:
      return StartJob(printer, in, facts);
    default:
      return DOCUMENTEVENT_UNSUPPORTED;
  }
}

}  // namespace kalimu::driver

extern "C" {

int WINAPI DrvDocumentEvent(HANDLE printer, HDC dc, int event, ULONG in_size, PVOID in, ULONG out_size, PVOID out) {
  return kalimu::driver::Guarded<int>(DOCUMENTEVENT_FAILURE, [&] {
    return kalimu::driver::HandleDocumentEvent(printer, dc, event, in_size, in, out_size, out,
                                               kalimu::driver::SystemSpoolerFacts());
  });
}

}  // extern "C"
