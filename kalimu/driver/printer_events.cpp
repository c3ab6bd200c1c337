// Printer events: initialisation, printer data, the status monitor's installer and the
// package's stamp and setup programs.
#include "kalimu/driver/printer_events.h"

#include <winspool.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/driver/export_guard.h"
#include "kalimu/driver/printer_initialization.h"
#include "kalimu/platform/global_block.h"
#include "kalimu/platform/program_start.h"
#include "kalimu/platform/spooler_info.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/platform/unique_handle.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/status/monitor_link.h"
#include "kalimu/storage/driver_module_locator.h"

namespace kalimu::driver {
namespace {

using settings::JobSettings;

constexpr DWORD kAddConnectionAccess = 0x20002;  // READ_CONTROL | 2: what a connection needs
constexpr char kStampTag[] = "Stamp:";
constexpr char kSetupTag[] = "Setup:";
constexpr char kEmptySection[] = "Error";

// Formats into out; a line that does not fit leaves out empty and answers 0.
int FormatLine(char* out, size_t size, const char* format, ...) {
  if (out == nullptr || size == 0) return 0;
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(out, size, format, args);
  va_end(args);
  if (n < 0 || static_cast<size_t>(n) >= size) {
    out[0] = '\0';
    return 0;
  }
  return 1;
}

bool Present(const char* text) { return text != nullptr && text[0] != '\0'; }

int Refuse(char* out, size_t size) {
  if (out != nullptr && size != 0) out[0] = '\0';
  return 0;
}

InstallMode ReadInstallMode(JobSettings& settings) {
  char mode[MAX_PATH] = {};
  settings.ReadDriverIniString(storage::kDriverInfoSection, storage::DriverInfoKeyName(storage::kInfoRxApiX), mode,
                               sizeof mode, "", nullptr);
  return ParseInstallMode(mode, true);
}

// The program text of a "Tag:" in the entry, up to the next "," or the end; false without the tag.
bool ProgramText(const char* entry, size_t size, const char* tag, char* out, size_t out_size) {
  const std::string_view text(entry, strnlen(entry, size));
  const size_t at = text.find(tag);
  if (at == std::string_view::npos) return false;
  const size_t start = at + std::strlen(tag);
  const size_t end = text.find(',', start);
  const std::string_view program = text.substr(start, end == std::string_view::npos ? end : end - start);
  if (program.size() >= out_size) return false;
  std::memcpy(out, program.data(), program.size());
  out[program.size()] = '\0';
  return true;
}

// The connection command line of the installer program, started without waiting.
void StartConnectionInstaller(const char* installer, const char* printer_name, JobSettings& settings) {
  char data[MAX_PATH] = {};
  if (!settings.GetDriverFilePath(storage::kInfoSaDat, data, sizeof data) || !Present(data)) return;
  char command[kInstallerCommandBytes] = {};
  if (FormatConnectionCommand(command, sizeof command, installer, data, printer_name)) {
    platform::RunProgram(command, SW_HIDE);
  }
}

}  // namespace

InstallMode ParseInstallMode(const char* text, bool unreadable_is_library) {
  if (text == nullptr || text[0] == '\0') return unreadable_is_library ? InstallMode::kLibrary : InstallMode::kNone;
  if (std::strcmp(text, "4") == 0) return InstallMode::kProgram;
  if (std::strcmp(text, "3") == 0) return InstallMode::kLibrary;
  return InstallMode::kNone;
}

int FormatConnectionCommand(char* out, size_t size, const char* installer, const char* data, const char* printer) {
  if (!Present(installer) || !Present(data) || printer == nullptr) return Refuse(out, size);
  return FormatLine(out, size, "%s /IP:\"%s\" /P:\"%s\"", installer, data, printer);
}

int FormatInstallCommand(char* out, size_t size, const char* installer, const char* data) {
  if (!Present(installer) || !Present(data)) return Refuse(out, size);
  return FormatLine(out, size, "%s /IS:\"%s \"", installer, data);
}

int FormatRemovalCommand(char* out, size_t size, const char* installer, const char* driver_name) {
  if (!Present(installer) || driver_name == nullptr) return Refuse(out, size);
  return FormatLine(out, size, "%s /RS:\"%s\"", installer, driver_name);
}

int ImportPrinterDriverData(const wchar_t* printer_name, settings::JobSettings* settings) {
  if (printer_name == nullptr || settings == nullptr) return 0;
  PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
  platform::UniquePrinter printer;
  if (!OpenPrinterW(const_cast<wchar_t*>(printer_name), printer.Receive(), &defaults)) return 0;
  char data_file[MAX_PATH] = {};
  const int found = settings->GetDriverDataFilePath(data_file, sizeof data_file);
  if (!found) return found;

  platform::GlobalBlock block;
  if (!block.Allocate(kSectionBytes)) return found;
  auto* section = reinterpret_cast<char*>(block.data());
  const DWORD length = GetPrivateProfileSectionA(kPrinterDriverDataSection, section, kSectionBytes, data_file);
  if (length >= kSectionTooLong) {
    MessageBoxA(nullptr, kSectionTooLongText, kVifReadErrorCaption, MB_OK);
    return found;
  }
  if (length == 0 || std::strcmp(section, kEmptySection) == 0) return found;

  // Entries "name=value", each ended by a zero; the value may hold "=" itself.
  for (const char* entry = section; entry < section + length && *entry != '\0'; entry += std::strlen(entry) + 1) {
    const char* equals = std::strchr(entry, '=');
    if (equals == nullptr) continue;
    const size_t name_length = static_cast<size_t>(equals - entry);
    const char* value = equals + 1;
    const size_t value_length = std::strlen(value);
    if (name_length == 0 || name_length > kPrinterDataTextChars || value_length > kPrinterDataTextChars) continue;
    char name[kPrinterDataTextChars + 1] = {};
    std::memcpy(name, entry, name_length);
    JobSettings::SetPrinterDataValue(printer.get(), name, REG_SZ, value, static_cast<DWORD>(value_length + 1));
  }
  return found;
}

int InstallStatusMonitor(HANDLE printer, settings::JobSettings* settings) {
  if (settings == nullptr) return 1;
  char printer_name[MAX_PATH] = {};
  {
    platform::GlobalBlock block;
    const PRINTER_INFO_2A* info = platform::ReadPrinterInfo2A(printer, block);
    if (info == nullptr || info->pPrinterName == nullptr ||
        !platform::CopyStringA(printer_name, sizeof printer_name, info->pPrinterName)) {
      return 1;
    }
    const DRIVER_INFO_2A* driver = platform::ReadDriverInfo2A(printer, block);
    if (driver == nullptr || driver->pDataFile == nullptr) return 1;
  }
  char installer[MAX_PATH] = {};
  if (!settings->GetDriverFilePath(storage::kInfoSaInst, installer, sizeof installer) || !Present(installer)) {
    return 1;
  }
  switch (ReadInstallMode(*settings)) {
    case InstallMode::kLibrary: {
      const platform::UniqueModule library(LoadLibraryA(installer));
      const auto install = library ? reinterpret_cast<InstallExFunction>(
                                         reinterpret_cast<void*>(GetProcAddress(library.get(), kInstallExFunction)))
                                   : nullptr;
      char data[MAX_PATH] = {};
      if (install != nullptr && settings->GetDriverFilePath(storage::kInfoSaDat, data, sizeof data) && Present(data)) {
        install(data, printer_name);
      } else if (install == nullptr) {
        // Without the library the status monitor installs itself.
        char command[status::kMonitorCommandFileBytes] = {};
        const int answer = status::BuildMonitorCommand(command, sizeof command, printer, 0, nullptr, settings);
        if (answer >= 2 && answer <= 4) platform::RunProgram(command, SW_SHOW);
      }
      break;
    }
    case InstallMode::kProgram:
      StartConnectionInstaller(installer, printer_name, *settings);
      break;
    case InstallMode::kNone:
      break;
  }
  return 1;
}

int RunConnectionInstaller(HANDLE printer, settings::JobSettings* settings) {
  if (settings == nullptr || ReadInstallMode(*settings) != InstallMode::kProgram) return 1;
  char installer[MAX_PATH] = {};
  if (!settings->GetDriverFilePath(storage::kInfoSaInst, installer, sizeof installer) || !Present(installer)) {
    return 1;
  }
  platform::GlobalBlock block;
  const PRINTER_INFO_2A* info = platform::ReadPrinterInfo2A(printer, block);
  if (info != nullptr && info->pPrinterName != nullptr) {
    StartConnectionInstaller(installer, info->pPrinterName, *settings);
  }
  return 1;
}

int GetStampProgramEntry(HANDLE printer, char* out, size_t size, settings::JobSettings* settings) {
  if (out == nullptr || size == 0 || settings == nullptr) return 0;
  out[0] = '\0';
  platform::GlobalBlock block;
  if (platform::ReadDriverInfo2A(printer, block) == nullptr) return 0;
  return settings->GetDriverFilePath(storage::kInfoExeName, out, size) && Present(out) ? 1 : 0;
}

int StartStampProgram(HANDLE printer, const char* entry, size_t size, settings::JobSettings*) {
  if (entry == nullptr) return 0;
  char folder[MAX_PATH] = {};
  char system[MAX_PATH] = {};
  char program[MAX_PATH] = {};
  const UINT system_length = GetSystemDirectoryA(system, sizeof system);
  if (!status::GetDriverDirectoryOf(printer, folder, sizeof folder) || system_length == 0 ||
      system_length >= sizeof system || !ProgramText(entry, size, kStampTag, program, sizeof program)) {
    return 0;
  }
  char command[kInstallerCommandBytes] = {};
  if (!FormatLine(command, sizeof command, "%s%s %s", folder, program, system)) return 0;
  return platform::RunProgram(command, SW_HIDE);
}

int StartSetupProgram(HANDLE printer, const char* entry, size_t size, settings::JobSettings*) {
  if (entry == nullptr) return 0;
  char folder[MAX_PATH] = {};
  char quoted[kQuotedPrinterBytes] = {};
  char program[MAX_PATH] = {};
  if (!status::GetDriverDirectoryOf(printer, folder, sizeof folder)) return 0;
  {
    platform::GlobalBlock block;
    const PRINTER_INFO_2A* info = platform::ReadPrinterInfo2A(printer, block);
    if (info == nullptr || info->pPrinterName == nullptr ||
        !FormatLine(quoted, sizeof quoted, "\"%s\" /s", info->pPrinterName)) {
      return 0;
    }
  }
  if (!ProgramText(entry, size, kSetupTag, program, sizeof program)) return 0;
  char command[kInstallerCommandBytes] = {};
  // The program's name and its argument are parted by a blank, or no program could be found.
  if (!FormatLine(command, sizeof command, "%s%s %s", folder, program, quoted)) return 0;
  return platform::RunProgram(command, SW_HIDE);
}

}  // namespace kalimu::driver

extern "C" {

BOOL WINAPI DrvPrinterEvent(LPWSTR printer_name, INT event, DWORD, LPARAM) {
  using namespace kalimu;
  return driver::Guarded<BOOL>(TRUE, [&]() -> BOOL {
    DWORD access = 0;
    if (event == PRINTER_EVENT_ADD_CONNECTION) {
      access = kalimu::driver::kAddConnectionAccess;
    } else if (event == PRINTER_EVENT_INITIALIZE) {
      access = PRINTER_ALL_ACCESS;
    } else {
      return TRUE;
    }
    // Each event opens the printer with defaults of its own.
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, access};
    platform::UniquePrinter printer;
    if (printer_name == nullptr || !OpenPrinterW(printer_name, printer.Receive(), &defaults)) return TRUE;
    settings::JobSettingsPtr settings(settings::CreateJobSettings(nullptr, printer.get(), nullptr, nullptr));
    if (settings == nullptr) return TRUE;

    driver::DeletePrinterTempValues(printer.get(), settings.get());
    driver::InitializePrinter(printer.get());
    char entry[MAX_PATH] = {};
    if (event == PRINTER_EVENT_ADD_CONNECTION) {
      driver::RunConnectionInstaller(printer.get(), settings.get());
      if (driver::GetStampProgramEntry(printer.get(), entry, sizeof entry, settings.get())) {
        driver::StartStampProgram(printer.get(), entry, sizeof entry, settings.get());
      }
    } else {
      driver::ImportPrinterDriverData(printer_name, settings.get());
      driver::InstallStatusMonitor(printer.get(), settings.get());
      if (driver::GetStampProgramEntry(printer.get(), entry, sizeof entry, settings.get())) {
        driver::StartStampProgram(printer.get(), entry, sizeof entry, settings.get());
        driver::StartSetupProgram(printer.get(), entry, sizeof entry, settings.get());
      }
    }
    return TRUE;
  });
}

}  // extern "C"
