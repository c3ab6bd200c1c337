// Driver install and removal: the status monitor's keys, the installer library or program.
#include "kalimu/driver/driver_events.h"

#include <winspool.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/driver/export_guard.h"
#include "kalimu/driver/printer_events.h"
#include "kalimu/platform/program_start.h"
#include "kalimu/platform/text_conversion.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/platform/unique_handle.h"
#include "kalimu/storage/driver_module_locator.h"
#include "kalimu/storage/driver_registry.h"

namespace kalimu::driver {
namespace {

using storage::DriverModuleLocator;
using storage::DriverRegistry;
using namespace storage;  // key kinds, value ids and driver information keys

constexpr char kNorvaKey[] = "SOFTWARE\\NORVA";
constexpr char kPrinterKey[] = "SOFTWARE\\NORVA\\PRINTER";
constexpr char kRxPrinterKey[] = "SOFTWARE\\NORVA\\RXPrinter4";

// What one driver event knows of its driver.
struct DriverEventContext {
  const char* driver_name;
  const char* data_file;
  DriverRegistry registry;
  platform::UniqueModule installer_library;
  char installer[MAX_PATH] = {};  // the key-21 path, or empty

  int Path(int key, char* out) const { return DriverModuleLocator::ReadDriverInfoPath(key, out, MAX_PATH, data_file, 1); }
  int FileName(int key, char* out) const { return DriverModuleLocator::ReadDriverInfoFileName(key, out, data_file); }
  template <class Function>
  Function Find(const char* name) const {
    return installer_library ? reinterpret_cast<Function>(
                                   reinterpret_cast<void*>(GetProcAddress(installer_library.get(), name)))
                             : nullptr;
  }
};

bool Prepare(DriverEventContext& context) {
  if (!context.registry.Init("", context.driver_name)) return false;
  if (context.Path(kInfoSaInst, context.installer) && context.installer[0] != '\0') {
    context.installer_library.Reset(LoadLibraryA(context.installer));
  } else {
    context.installer[0] = '\0';
  }
  return true;
}

InstallMode ModeOf(const DriverEventContext& context) {
  char mode[MAX_PATH] = {};
  if (!context.FileName(kInfoRxApiX, mode)) mode[0] = '\0';
  return ParseInstallMode(mode, false);
}

// Starts the installer program hidden and waits for it.
void RunInstallerAndWait(const char* command) {
  STARTUPINFOA startup = {};
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  platform::RunProgramAndWait(nullptr, command, &startup, kInstallerWaitMs);
}

int CreateKey(const DriverRegistry& registry, int kind) {
  return CreateRegKeyBothViews(&registry, kind, 0, KEY_ALL_ACCESS);
}

int SetText(const DriverRegistry& registry, const char* name, int id, const char* text) {
  return SetRegValueBothViews(&registry, name, id, REG_SZ, text, static_cast<DWORD>(std::strlen(text) + 1));
}

int SetNumber(const DriverRegistry& registry, int id, int32_t value) {
  return SetRegValueBothViews(&registry, nullptr, id, REG_DWORD, &value, sizeof value);
}

void InstallWithProgram(DriverEventContext& context) {
  context.installer_library.Reset();
  const DriverRegistry& registry = context.registry;
  char path[MAX_PATH] = {};
  if (context.Path(kInfoRxApi, path)) CreateKey(registry, kKeyMonRxApi);
  CreateKey(registry, kKeyMonOldRxApiPorts);
  if (context.Path(kInfoRxPShare, path) && CreateKey(registry, kKeyMonShare)) {
    SetText(registry, nullptr, kValueMonSharePath, path);
  }
  if (context.Path(kInfoRxPSAgent, path) && CreateKey(registry, kKeyMonSAgent)) {
    SetText(registry, nullptr, kValueMonSAgentPath, path);
    int32_t allow = 0;
    DWORD size = sizeof allow;
    if (!QueryRegValue(&registry, nullptr, kValueAllowMonitoring, &allow, &size) || size < 2) {
      SetNumber(registry, kValueAllowMonitoring, 0);
    }
  }
  char text[MAX_PATH] = {};
  if (context.FileName(kInfoStatusNct, text) && CreateKey(registry, kKeyMonShareEnv)) {
    SetNumber(registry, kValueStatusNoChkTime, std::atoi(text));
  }
  if (context.FileName(kInfoRxRcvCto, text) && CreateKey(registry, kKeyMonSAgentEnv)) {
    SetNumber(registry, kValueRxRcvCmdTimeOut, std::atoi(text));
  }
  char data[MAX_PATH] = {};
  char command[kInstallerCommandBytes] = {};
  if (context.Path(kInfoSaDat, data) && FormatInstallCommand(command, sizeof command, context.installer, data)) {
    RunInstallerAndWait(command);
  }
}

void InstallWithLibrary(DriverEventContext& context) {
  const auto install = context.Find<InstallFunction>(kInstallFunction);
  if (install == nullptr) return;
  const DriverRegistry& registry = context.registry;
  char path[MAX_PATH] = {};
  if (CreateKey(registry, kKeyProviderLpt) && context.Path(kInfoRxPlpt, path)) {
    SetText(registry, nullptr, kValueLptSa, path);
  }
  char model[MAX_PATH] = {};
  char profile[MAX_PATH] = {};
  if (CreateKey(registry, kKeySaProfile) && context.FileName(kInfoModelName, model) &&
      context.Path(kInfoRxPrfl, profile)) {
    SetText(registry, model, kValueSaProfile, profile);
  }
  char data[MAX_PATH] = {};
  if (context.Path(kInfoSaDat, data)) install(data);
  context.installer_library.Reset();
}

// A monitor key under the removal's rule: a plain delete while the installer library is
// loaded, the whole tree otherwise.
void DeleteMonitorKey(const DriverEventContext& context, int kind) {
  if (context.installer_library) {
    DeleteRegKeyBothViews(&context.registry, kind);
  } else {
    DeleteRegTreeBothViews(&context.registry, kind);
  }
}

void RemoveWithProgram(DriverEventContext& context) {
  const DriverRegistry& registry = context.registry;
  char command[kInstallerCommandBytes] = {};
  if (FormatRemovalCommand(command, sizeof command, context.installer, context.driver_name)) {
    RunInstallerAndWait(command);
  }
  char model[MAX_PATH] = {};
  if (context.FileName(kInfoModelName, model)) DeleteRegValueBothViews(&registry, model, kValueMonProfile);
  if (DeleteRegKeyBothViews(&registry, kKeyMonProfile)) {
    DeleteRegValueBothViews(&registry, nullptr, kValueMonRxApiPath);
    DeleteRegKeyBothViews(&registry, kKeyMonRxApi);
    DeleteRegValueBothViews(&registry, nullptr, kValueMonLptPath);
    DeleteMonitorKey(context, kKeyMonLpt);
    DeleteRegValueBothViews(&registry, nullptr, kValueMonSharePath);
    DeleteMonitorKey(context, kKeyMonShare);
    DeleteRegValueBothViews(&registry, nullptr, kValueMonSAgentPath);
    DeleteRegValueBothViews(&registry, nullptr, kValueAllowMonitoring);
    DeleteMonitorKey(context, kKeyMonSAgent);
    DeleteRegKeyBothViews(&registry, kKeyMonOldRxApiPorts);
  }
  DriverRegistry::DeleteKeyInViews(HKEY_LOCAL_MACHINE, kRxPrinterKey, kViewBoth);
  context.installer_library.Reset();
}

void RemoveWithLibrary(DriverEventContext& context) {
  const auto uninstall = context.Find<UninstallFunction>(kUninstallFunction);
  if (uninstall == nullptr) return;
  const DriverRegistry& registry = context.registry;
  uninstall(context.driver_name);
  char model[MAX_PATH] = {};
  if (context.FileName(kInfoModelName, model)) DeleteRegValueBothViews(&registry, model, kValueSaProfile);
  DeleteRegKeyBothViews(&registry, kKeySaProfile);
  if (DeleteRegKeyBothViews(&registry, kKeySa)) {
    DeleteRegValueBothViews(&registry, nullptr, kValueLptSa);
    DeleteRegKeyBothViews(&registry, kKeyProviderLpt);
    DeleteRegKeyBothViews(&registry, kKeyRxProvider);
  }
}

// The data file's full path. An installer may name the files by their names alone: they then
// lie in the spooler's driver folder of the driver's version.
std::optional<std::string> DataFilePath(const DRIVER_INFO_3W& info) {
  const std::wstring_view name(info.pDataFile);
  if (name.find_first_of(L"\\/:") != std::wstring_view::npos) return platform::AnsiFromWide(name);
  wchar_t folder[MAX_PATH] = {};
  DWORD needed = 0;
  if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(folder), sizeof folder, &needed)) {
    return std::nullopt;
  }
  return platform::AnsiFromWide(std::wstring(folder) + L"\\" + std::to_wstring(info.cVersion) + L"\\" +
                                std::wstring(name));
}

}  // namespace

int CreateRegKeyBothViews(const storage::DriverRegistry* registry, int kind, DWORD options, REGSAM access) {
  if (registry == nullptr) return 0;
  const LONG wide = registry->CreateMonitorKey(kind, options, access | KEY_WOW64_64KEY, nullptr, nullptr);
  const LONG narrow = registry->CreateMonitorKey(kind, options, access | KEY_WOW64_32KEY, nullptr, nullptr);
  return wide == ERROR_SUCCESS && narrow == ERROR_SUCCESS ? 1 : 0;
}

int SetRegValueBothViews(const storage::DriverRegistry* registry, const char* name, int id, DWORD type,
                         const void* data, DWORD size) {
  return registry != nullptr && registry->WriteMonitorValue(name, id, type, data, size, kViewBoth) == ERROR_SUCCESS
             ? 1
             : 0;
}

int QueryRegValue(const storage::DriverRegistry* registry, const char* name, int id, void* data, DWORD* size) {
  return registry != nullptr && registry->QueryMonitorValue(name, id, data, size, kView64) == ERROR_SUCCESS ? 1 : 0;
}

int DeleteRegValueBothViews(const storage::DriverRegistry* registry, const char* name, int id) {
  return registry != nullptr && registry->DeleteMonitorValue(name, id, kViewBoth) == ERROR_SUCCESS ? 1 : 0;
}

int DeleteRegKeyBothViews(const storage::DriverRegistry* registry, int kind) {
  return registry != nullptr && registry->DeleteMonitorKey(kind, kViewBoth) == ERROR_SUCCESS ? 1 : 0;
}

int DeleteRegTreeBothViews(const storage::DriverRegistry* registry, int kind) {
  return registry != nullptr && registry->DeleteMonitorKeyTree(kind, kViewBoth) == ERROR_SUCCESS ? 1 : 0;
}

void InstallDriver(const char* driver_name, const char* data_file) {
  DriverEventContext context{driver_name, data_file};
  if (!Prepare(context)) return;
  switch (ModeOf(context)) {
    case InstallMode::kProgram: InstallWithProgram(context); break;
    default: InstallWithLibrary(context); break;
  }
}

void RemoveDriver(const char* driver_name, const char* data_file) {
  DriverEventContext context{driver_name, data_file};
  if (!Prepare(context)) return;
  switch (ModeOf(context)) {
    case InstallMode::kProgram: RemoveWithProgram(context); break;
    default: RemoveWithLibrary(context); break;
  }
  char key[MAX_PATH] = {};
  if (platform::CopyStringA(key, sizeof key, kPrinterKey) && platform::AppendStringA(key, sizeof key, "\\") &&
      platform::AppendStringA(key, sizeof key, driver_name) && driver_name[0] != '\0') {
    DriverRegistry::DeleteKeyTreeInViews(HKEY_LOCAL_MACHINE, key, kViewBoth);
  }
  // Keys that still hold another driver's keys stay.
  DriverRegistry::DeleteKeyInViews(HKEY_LOCAL_MACHINE, kPrinterKey, kViewBoth);
  DriverRegistry::DeleteKeyInViews(HKEY_LOCAL_MACHINE, kNorvaKey, kViewBoth);
}

}  // namespace kalimu::driver

extern "C" {

BOOL WINAPI DrvDriverEvent(DWORD event, DWORD level, LPBYTE info, LPARAM) {
  using namespace kalimu;
  return driver::Guarded<BOOL>(FALSE, [&]() -> BOOL {
    if (level != 3 || info == nullptr || (event != DRIVER_EVENT_INITIALIZE && event != DRIVER_EVENT_DELETE)) {
      return FALSE;
    }
    const auto* driver = reinterpret_cast<const DRIVER_INFO_3W*>(info);
    if (driver->pName == nullptr || driver->pDataFile == nullptr) return FALSE;
    const auto name = platform::AnsiFromWide(driver->pName);
    const auto data_file = driver::DataFilePath(*driver);
    if (!name || !data_file) return FALSE;
    if (event == DRIVER_EVENT_INITIALIZE) {
      driver::InstallDriver(name->c_str(), data_file->c_str());
    } else {
      driver::RemoveDriver(name->c_str(), data_file->c_str());
    }
    return TRUE;
  });
}

}  // extern "C"
