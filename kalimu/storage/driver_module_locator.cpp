// Module locator: the driver data file, module paths and localized choices.
#include "kalimu/storage/driver_module_locator.h"

#include <winspool.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "kalimu/platform/debug_hook.h"
#include "kalimu/platform/global_block.h"
#include "kalimu/platform/spooler_info.h"
#include "kalimu/platform/text_conversion.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/storage/locator_paths.h"

namespace kalimu::storage {
namespace {

constexpr char kDefaultRefreshUtility[] = "Pellan30.EXE";

// Level-2 driver information of a printer in block, or null.
const DRIVER_INFO_2W* ReadDriverInfo2(HANDLE printer, platform::GlobalBlock& block) {
  if (printer == nullptr) return nullptr;
  return reinterpret_cast<const DRIVER_INFO_2W*>(platform::ReadSpoolerRecord(
      [printer](BYTE* buffer, DWORD size, DWORD* needed) {
        return GetPrinterDriverW(printer, nullptr, 2, buffer, size, needed);
      },
      sizeof(DRIVER_INFO_2W), block));
}

// Converts a wide text into out (system code page); 0 when it does not fit.
int WideToAnsi(const wchar_t* text, char* out, size_t len) {
  if (text == nullptr) return 0;
  const auto ansi = platform::AnsiFromWide(text);
  return ansi ? platform::CopyStringA(out, len, ansi->c_str()) : 0;
}

// The numbered key's path or, with a non-empty suffix, its suffixed variant's.
int ReadPathOrVariant(int key, char* out, size_t len, const char* data_file, int join_dir, const char* suffix) {
  if (suffix != nullptr && suffix[0] != 0) {
    return DriverModuleLocator::ReadDriverInfoKeyVariant(key, out, len, data_file, join_dir, suffix);
  }
  return DriverModuleLocator::ReadDriverInfoPath(key, out, len, data_file, join_dir);
}

int WithTrailingBackslash(char* path, size_t capacity, char* out, size_t len) {
  const size_t n = std::strlen(path);
  if (n == 0 || path[n - 1] != '\\') platform::AppendStringA(path, capacity, "\\");
  return platform::CopyStringA(out, len, path);
}

}  // namespace

int DriverModuleLocator::Init(const char* printer_name, const char* driver_name,
                              HANDLE printer) {
  if (printer_name == nullptr || driver_name == nullptr) return 0;
  if (!platform::CopyStringA(printer_name_, MAX_PATH, printer_name) ||
      !platform::CopyStringA(driver_name_, MAX_PATH, driver_name)) {
    return 0;
  }
  registry_.Init(printer_name_, driver_name_);
  printer_ = printer;
  return 1;
}

int DriverModuleLocator::GetDriverDataFile(HANDLE printer, char* out, size_t len) {
  if (data_file_[0] == 0) {
    DriverFiles scratch;
    const DriverFiles* files = DriverFilesOf(printer, scratch);
    if (files == nullptr || files->data_file[0] == 0) return 0;
    platform::CopyStringA(data_file_, MAX_PATH, files->data_file);
  }
  return platform::CopyStringA(out, len, data_file_);
}

int DriverModuleLocator::GetDriverDataFilePath(char* out, size_t len) {
  return GetDriverDataFile(printer_, out, len);
}

const DriverModuleLocator::DriverFiles* DriverModuleLocator::DriverFilesOf(HANDLE printer, DriverFiles& scratch) {
  // The own printer's driver is read once; another printer's into the caller's scratch.
  const bool own = printer != nullptr && printer == printer_;
  if (own && driver_files_.held) return &driver_files_;
  platform::GlobalBlock block;
  const DRIVER_INFO_2W* info = ReadDriverInfo2(printer, block);
  if (info == nullptr) return nullptr;
  DriverFiles& files = own ? driver_files_ : scratch;
  files = DriverFiles{};
  // A text without an ANSI form reads as missing, as each one is needed on its own.
  WideToAnsi(info->pName, files.name, sizeof(files.name));
  WideToAnsi(info->pDataFile, files.data_file, sizeof(files.data_file));
  WideToAnsi(info->pDriverPath, files.driver_path, sizeof(files.driver_path));
  files.held = true;
  return &files;
}

void DriverModuleLocator::ShareDriverFiles(const DriverModuleLocator& other) {
  if (other.printer_ == nullptr || other.printer_ != printer_) return;
  if (other.driver_files_.held) driver_files_ = other.driver_files_;
  if (data_file_[0] == 0) platform::CopyStringA(data_file_, MAX_PATH, other.data_file_);
}

int DriverModuleLocator::ReadDriverInfoKeyPath(HANDLE printer, char* out, size_t len, int key) {
  char data_file[MAX_PATH];
  if (!GetDriverDataFile(printer, data_file, sizeof(data_file))) return 0;
  return ReadDriverInfoPath(key, out, len, data_file, 1);
}

int DriverModuleLocator::GetDriverInfoPath(int key, char* out, size_t len) {
  return ReadDriverInfoKeyPath(printer_, out, len, key);
}

int DriverModuleLocator::FixedKeyPath(int key, char* out, size_t len) {
  return GetDriverInfoPath(key, out, len);
}

int DriverModuleLocator::GetOutputModulePath(char* out, size_t len) {
  return FixedKeyPath(kInfoOutputModule, out, len);
}
int DriverModuleLocator::GetXcmdOutputModulePath(char* out, size_t len) {
  return FixedKeyPath(kInfoOutputModuleXcmd3, out, len);
}
int DriverModuleLocator::GetMwModulePath(char* out, size_t len) {
  return FixedKeyPath(kInfoMwModule, out, len);
}
int DriverModuleLocator::GetHalftoneEngineModulePath(char* out, size_t len) {
  return FixedKeyPath(kInfoHalftoneEngineModule, out, len);
}
int DriverModuleLocator::GetWatermarkDialogModulePath(char* out, size_t len) {
  return FixedKeyPath(kInfoWaterMarkDialog, out, len);
}
int DriverModuleLocator::GetInkDisplayModulePath(char* out, size_t len) {
  return FixedKeyPath(kInfoInkDispControl, out, len);
}
int DriverModuleLocator::GetPrePrintProgramPath(char* out, size_t len) {
  return FixedKeyPath(kInfoPrePrn, out, len);
}
int DriverModuleLocator::GetUtilityModulePath(char* out, size_t len) {
  return FixedKeyPath(kInfoUtilModule, out, len);
}
int DriverModuleLocator::GetBrsModulePath(char* out, size_t len) {
  return FixedKeyPath(kInfoBrsModule, out, len);
}
int DriverModuleLocator::GetUtilityExePath(char* out, size_t len) {
  return FixedKeyPath(kInfoUtilModuleExe, out, len);
}
int DriverModuleLocator::GetStatusModulePath(char* out, size_t len) {
  return FixedKeyPath(kInfoStm3Module64, out, len);
}

int DriverModuleLocator::GetModelName(char* out, size_t len) {
  char data_file[MAX_PATH];
  if (!GetDriverDataFilePath(data_file, sizeof(data_file))) return 0;
  return ReadDriverInfoPath(kInfoModelName, out, len, data_file, 0);
}

int DriverModuleLocator::GetRefreshUtilityName(char* out, size_t len) {
  char data_file[MAX_PATH];
  if (!GetDriverDataFilePath(data_file, sizeof(data_file))) return 0;
  if (ReadDriverInfoPath(kInfoPellan, out, len, data_file, 0)) return 1;
  platform::CopyStringA(out, len, kDefaultRefreshUtility);
  return 1;
}

int DriverModuleLocator::GetUiModulePath(char* out, size_t len, int full_path) {
  char path[MAX_PATH];
  if (!GetDriverInfoPath(kInfoUiModule, path, sizeof(path))) return 0;
  if (full_path) return platform::CopyStringA(out, len, path);
  return FileNameAndExtensionOf(path, out, len);
}

int DriverModuleLocator::GetCfgFilePath(char* out, size_t len, const char* suffix) {
  char data_file[MAX_PATH];
  if (!GetDriverDataFilePath(data_file, sizeof(data_file))) return 0;
  return ReadPathOrVariant(kInfoCfgFile, out, len, data_file, 1, suffix);
}

int DriverModuleLocator::GetOutputResourcePath(char* out, size_t len, const char* suffix) {
  char data_file[MAX_PATH];
  if (!GetDriverDataFilePath(data_file, sizeof(data_file))) return 0;
  return ReadPathOrVariant(kInfoOutputResource, out, len, data_file, 1, suffix);
}

int DriverModuleLocator::GetOutputResourceCount(int* out_count) {
  if (out_count == nullptr) return 0;
  *out_count = 0;
  char data_file[MAX_PATH];
  if (!GetDriverDataFilePath(data_file, sizeof(data_file))) return 0;
  char name[MAX_PATH];
  if (!ReadDriverInfoFileName(kInfoOutputResourceNum, name, data_file)) return 0;
  *out_count = std::atoi(name);
  return 1;
}

int DriverModuleLocator::GetUcfFilePath(char* out, size_t len, const char* suffix) {
  char data_file[MAX_PATH];
  if (!GetDriverDataFilePath(data_file, sizeof(data_file))) return 0;
  char value[MAX_PATH];
  if (!ReadPathOrVariant(kInfoUcfFile, value, sizeof(value), data_file, 0, suffix)) return 0;
  char folder[MAX_PATH] = "";
  GetSharedFolderPath(driver_name_, folder, sizeof(folder));
  if (folder[0] == 0) return 0;
  return platform::CopyStringA(out, len, folder) && platform::AppendStringA(out, len, value);
}

int DriverModuleLocator::GetWatermarkFilePathFor(HANDLE printer, char* out, size_t len) {
  char data_file[MAX_PATH];
  if (!GetDriverDataFile(printer, data_file, sizeof(data_file))) return 0;
  char path[MAX_PATH];
  if (!ReadDriverInfoPath(kInfoWatFile, path, sizeof(path), data_file, 1)) return 0;
  char file_name[MAX_PATH];
  if (!FileNameAndExtensionOf(path, file_name, sizeof(file_name))) return 0;
  // The shared folder belongs to the printer's own driver.
  char driver_name[MAX_PATH];
  platform::CopyStringA(driver_name, MAX_PATH, driver_name_);
  DriverFiles scratch;
  if (const DriverFiles* files = DriverFilesOf(printer, scratch); files != nullptr && files->name[0] != 0) {
    platform::CopyStringA(driver_name, MAX_PATH, files->name);
  }
  char folder[MAX_PATH] = "";
  GetSharedFolderPath(driver_name, folder, sizeof(folder));
  if (folder[0] == 0) return 0;
  return platform::CopyStringA(out, len, folder) && platform::AppendStringA(out, len, file_name);
}

int DriverModuleLocator::GetWatermarkFilePath(char* out, size_t len) {
  return GetWatermarkFilePathFor(printer_, out, len);
}

int DriverModuleLocator::IsUserLanguageMatch(HANDLE printer) {
  char data_file[MAX_PATH];
  if (!GetDriverDataFile(printer, data_file, sizeof(data_file))) return 0;
  char name[MAX_PATH];
  if (!ReadDriverInfoFileName(kInfoLangId, name, data_file)) return 0;
  const unsigned language = static_cast<unsigned>(std::strtoul(name, nullptr, 10));
  const unsigned user = GetUserDefaultLangID();
  if ((language & 0x3FF) != (user & 0x3FF)) return 0;
  if (language >= 1024 && (language >> 10) != (user >> 10)) return 0;
  return 1;
}

int DriverModuleLocator::LocalizedPath(int match_key, int other_key, char* out, size_t len) {
  char data_file[MAX_PATH];
  if (!GetDriverDataFilePath(data_file, sizeof(data_file))) return 0;
  const bool match = IsUserLanguageMatch(printer_) != 0;
  const int first = match ? match_key : other_key;
  const int second = match ? other_key : match_key;
  if (ReadDriverInfoPath(first, out, len, data_file, 1)) return 1;
  return ReadDriverInfoPath(second, out, len, data_file, 1);
}

int DriverModuleLocator::GetUiResourceModulePath(char* out, size_t len) {
  return LocalizedPath(kInfoUiResModule64, kInfoUiRes2Module64, out, len);
}
int DriverModuleLocator::GetPreviewModulePath(char* out, size_t len) {
  return LocalizedPath(kInfoPreviewUi, kInfoPreviewUi2, out, len);
}
int DriverModuleLocator::GetHelpFilePath(char* out, size_t len) {
  return LocalizedPath(kInfoHelpFile, kInfoHelpFileS, out, len);
}
int DriverModuleLocator::GetHelpFilePathAlt(char* out, size_t len) {
  return LocalizedPath(kInfoHelpFile, kInfoHelpFileS, out, len);
}

int DriverModuleLocator::GetDriverDirectory(char* out, size_t len) {
  DriverFiles scratch;
  const DriverFiles* files = DriverFilesOf(printer_, scratch);
  if (files == nullptr || files->driver_path[0] == 0) return 0;
  char path[MAX_PATH];
  platform::CopyStringA(path, sizeof(path), files->driver_path);
  char* slash = std::strrchr(path, '\\');
  if (slash == nullptr) {
    platform::DebugBreakIfEnabled();
  } else {
    slash[1] = 0;
  }
  return platform::CopyStringA(out, len, path);
}

int DriverModuleLocator::GetSystemDirectoryPath(char* out, size_t len) {
  char path[MAX_PATH + 1];
  const UINT n = GetSystemDirectoryA(path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 0;
  return WithTrailingBackslash(path, sizeof(path), out, len);
}

int DriverModuleLocator::GetWindowsDirectoryPath(char* out, size_t len) {
  char path[MAX_PATH + 1];
  const UINT n = GetWindowsDirectoryA(path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 0;
  return WithTrailingBackslash(path, sizeof(path), out, len);
}

int DriverModuleLocator::GetEmptyPath(char* out) {
  if (out != nullptr) out[0] = 0;
  return 1;
}

BOOL DriverModuleLocator::OpenPrinterWithDefaults(const char* printer_name, HANDLE* out_handle) {
  if (printer_name == nullptr) return FALSE;
  auto wide = platform::WideFromAnsi(printer_name);
  if (!wide) return FALSE;
  PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
  return OpenPrinterW(wide->data(), out_handle, &defaults);
}

}  // namespace kalimu::storage
