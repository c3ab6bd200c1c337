// Finds the driver's files and sibling modules through the numbered keys of
// the driver data file, and the per-driver shared folder.
#pragma once

#include <windows.h>

#include <cstddef>

#include "kalimu/storage/driver_registry.h"

namespace kalimu::storage {

// Numbered keys of section "User Mode Printer Driver Information" (44 lives
// in "ExportAPI").
enum DriverInfoKey : int {
  kInfoOutputResource = 0,
  kInfoCfgFile = 1,
  kInfoUcfFile = 2,
  kInfoLangId = 3,
  kInfoUiModule = 4,
  kInfoUiResModule = 5,
  kInfoUiRes2Module = 6,
  kInfoHelpFile = 7,
  kInfoHelpFileS = 8,
  kInfoWatFile = 9,
  kInfoStm3Module = 10,
  kInfoOutputModule = 11,
  kInfoOutputModuleXcmd3 = 12,
  kInfoMwModule = 13,
  kInfoHalftoneEngineModule = 14,
  kInfoOutputResourceNum = 15,
  kInfoWaterMarkDialog = 16,
  kInfoInkDispControl = 17,
  kInfoPrePrn = 18,
  kInfoPreviewUi = 19,
  kInfoPreviewUi2 = 20,
  kInfoSaInst = 21,
  kInfoSaDat = 22,
  kInfoRxApi = 23,
  kInfoRxPlpt = 24,
  kInfoRxPShare = 25,
  kInfoRxPSAgent = 26,
  kInfoRxPrfl = 27,
  kInfoExeName = 28,
  kInfoZpcRes = 29,
  kInfoUmdModuleNt4 = 30,
  kInfoUmdModule = 31,
  kInfoModelName = 32,
  kInfoUtilModule = 33,
  kInfoRxApiX = 34,
  kInfoDevIdNct = 35,
  kInfoStatusNct = 36,
  kInfoRxRcvCto = 37,
  kInfoRxPmon = 38,
  kInfoLumet = 39,
  kInfoRxPchp = 40,
  kInfoPellan = 41,
  kInfoBrsModule = 42,
  kInfoZpcDat01 = 43,
  kInfoPicPreset = 44,
  kInfoUtilModuleExe = 50,
  kInfoUiResModule64 = 51,
  kInfoUiRes2Module64 = 52,
  kInfoStm3Module64 = 53,
};

// The section of the numbered keys, and the text a missing key reads as.
inline constexpr char kDriverInfoSection[] = "User Mode Printer Driver Information";
inline constexpr char kExportApiSection[] = "ExportAPI";
inline constexpr char kMissingKeyText[] = "Error";

// Key name of a numbered key; null for a number outside the table.
const char* DriverInfoKeyName(int key);

class DriverModuleLocator {
 public:
  DriverModuleLocator() = default;
  ~DriverModuleLocator() = default;
  DriverModuleLocator(const DriverModuleLocator&) = delete;
  DriverModuleLocator& operator=(const DriverModuleLocator&) = delete;

  int Init(const char* printer_name, const char* driver_name, HANDLE printer);

  const char* GetPrinterName() const { return printer_name_; }
  const char* GetDriverName() const { return driver_name_; }
  HANDLE printer() const { return printer_; }
  DriverRegistry& registry() { return registry_; }

  // Every path operation answers 1 when it produced a path, 0 otherwise.
  int GetDriverDataFile(HANDLE printer, char* out, size_t len);
  // Takes over what another locator of the same printer has read of its driver already (the
  // spooler's answer is the same within one call).
  void ShareDriverFiles(const DriverModuleLocator& other);
  int GetDriverDataFilePath(char* out, size_t len);

  static int ReadDriverInfoKey(int key, char* out, size_t size, const char* data_file);
  static int ReadDriverInfoKeyVariant(int key, char* out, size_t len, const char* data_file,
                                      int join_dir, const char* suffix);
  static int ReadDriverInfoPath(int key, char* out, size_t len, const char* data_file,
                                int join_dir);
  static int ReadDriverInfoFileName(int key, char* out, const char* data_file);
  int ReadDriverInfoKeyPath(HANDLE printer, char* out, size_t len, int key);
  int GetDriverInfoPath(int key, char* out, size_t len);

  int GetOutputModulePath(char* out, size_t len);
  int GetXcmdOutputModulePath(char* out, size_t len);
  int GetMwModulePath(char* out, size_t len);
  int GetHalftoneEngineModulePath(char* out, size_t len);
  int GetWatermarkDialogModulePath(char* out, size_t len);
  int GetInkDisplayModulePath(char* out, size_t len);
  int GetPrePrintProgramPath(char* out, size_t len);
  int GetUtilityModulePath(char* out, size_t len);
  int GetBrsModulePath(char* out, size_t len);
  int GetUtilityExePath(char* out, size_t len);
  int GetStatusModulePath(char* out, size_t len);

  int GetModelName(char* out, size_t len);
  int GetRefreshUtilityName(char* out, size_t len);
  int GetUiModulePath(char* out, size_t len, int full_path);
  int GetCfgFilePath(char* out, size_t len, const char* suffix);
  int GetOutputResourcePath(char* out, size_t len, const char* suffix);
  int GetOutputResourceCount(int* out_count);
  int GetUcfFilePath(char* out, size_t len, const char* suffix);
  int GetWatermarkFilePathFor(HANDLE printer, char* out, size_t len);
  int GetWatermarkFilePath(char* out, size_t len);

  int IsUserLanguageMatch(HANDLE printer);
  int GetUiResourceModulePath(char* out, size_t len);
  int GetPreviewModulePath(char* out, size_t len);
  int GetHelpFilePath(char* out, size_t len);
  int GetHelpFilePathAlt(char* out, size_t len);

  int GetDriverDirectory(char* out, size_t len);
  static int GetSystemDirectoryPath(char* out, size_t len);
  static int GetWindowsDirectoryPath(char* out, size_t len);
  static int GetEmptyPath(char* out);
  static int GetProgramFilesPath(char* out, size_t len);
  int CreateSharedFolder(const char* driver_name, char* out, size_t len);
  int GetSharedFolderPath(const char* driver_name, char* out, size_t len);
  static BOOL OpenPrinterWithDefaults(const char* printer_name, HANDLE* out_handle);

 private:
  // The names the driver's level-2 information gives, in ANSI (empty: none or no ANSI form).
  struct DriverFiles {
    char name[MAX_PATH] = {};
    char data_file[MAX_PATH] = {};
    char driver_path[MAX_PATH] = {};
    bool held = false;
  };
  // The driver information of printer: read once for the locator's own printer (each settings
  // object lives for one call), else read into scratch. Null when it cannot be read.
  const DriverFiles* DriverFilesOf(HANDLE printer, DriverFiles& scratch);
  int LocalizedPath(int match_key, int other_key, char* out, size_t len);
  int FixedKeyPath(int key, char* out, size_t len);

  char printer_name_[MAX_PATH] = {};
  char driver_name_[MAX_PATH] = {};
  HANDLE printer_ = nullptr;
  char data_file_[MAX_PATH] = {};  // cached driver data file; empty until found
  DriverFiles driver_files_;
  DriverRegistry registry_;
};

}  // namespace kalimu::storage
