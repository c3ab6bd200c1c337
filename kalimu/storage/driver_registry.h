// Store of the driver's numbered values in the registry (both views) and in
// the printer's data.
#pragma once

#include <windows.h>

#include <cstddef>

#include "kalimu/storage/registry_views.h"

namespace kalimu::storage {

// Key paths of the store (below HKEY_LOCAL_MACHINE unless noted).
enum RegistryKeyKind : int {
  kKeyPrinter = 0,              // PRINTER\<driver>\<printer>
  kKeyDriver = 1,               // PRINTER\<driver>
  kKeyDriverUser = 2,           // the driver key below HKEY_CURRENT_USER
  kKeyPrinterRoot = 3,          // "SOFTWARE\NORVA\PRINTER\"
  kKeyPrinterDriverData = 4,    // spooler's PrinterDriverData of the printer
  kKeyMonRxPrinter = 5,
  kKeyMonRxApi = 6,
  kKeyMonOldRxApiPorts = 7,
  kKeyMonLpt = 8,
  kKeyMonShare = 9,
  kKeyMonSAgent = 10,
  kKeyMonProfile = 11,
  kKeyMonLptEnv = 12,
  kKeyMonShareEnv = 13,
  kKeyMonSAgentEnv = 14,
  kKeyProviderLpt = 15,
  kKeySaProfile = 16,
  kKeyNorva = 17,               // "SOFTWARE\NORVA"
  kKeyRxProvider = 18,
  kKeySa = 19,
  kKeyColourCalibration = 20,
  kKeyNone = 21,
  kKeyResourceLocale = 22,
  kKeyPsolver = 23,
  kKeyTsUrl = 24,
  kKeyWindowsCurrentVersion = 25,
  kKeyYantra = 26,
  kKeyDravon = 27,
  kKeyUserShellFolders = 28,
  kKeyDriverSub = 29,
  kKeySpoolerPrinter = 30,
  kKeyCaller = 100,             // the key path the caller gives
};

// Numbered stored values. Ids 0-30 (but 21) are the unnamed value of the key
// of kind = id.
enum RegistryValueId : int {
  kValueCaller = 100,           // caller's key, value name, type and size
  kValueRxTime = 101,
  kValueRxStatus = 102,
  kValueTempFilePath = 103,
  kValueRxHtarvikOption = 104,
  kValueKvFilesPath = 105,
  kValueCalibrationFlag = 106,
  kValuePmFlag = 107,
  kValueInkInf = 108,
  kValueInkCheck = 109,
  kValueRxPaperFlag = 110,
  kValuePaperCheck = 111,
  kValueRxPrnStatus = 112,
  kValueRxFlag = 113,
  kValueTempFilePath2 = 114,
  kValueCutterInfo = 115,
  kValueRxHeadId = 116,
  kValueMesDlgFlag = 120,
  kValuePlatenInf = 121,
  kValueTempFilePathUser = 125,
  kValueZpcParamFile = 126,
  kValueSilent = 127,
  kValueRxStacker = 128,
  kValueRxPgPos = 129,
  kValueRxOvTemp = 130,
  kValueKvBinInfo = 131,
  kValueKeyFile = 132,
  kValueTSupportUrl = 133,
  kValueKvInkLevel = 134,
  kValueMonRxApiPath = 135,
  kValueMonLptPath = 136,
  kValueMonSharePath = 137,
  kValueMonSAgentPath = 138,
  kValueAllowMonitoring = 139,
  kValueMonProfile = 140,       // caller's value name
  kValueDevIdNoChkTime = 141,
  kValueStatusNoChkTime = 142,
  kValueRxRcvCmdTimeOut = 143,
  kValueLptSa = 144,
  kValueSaProfile = 145,        // caller's value name
  kValueKvIwfInfo = 146,
  kValueKvHtInfo = 147,
  kValueKvRtInfo = 150,
  kValueStmSetting = 151,
  kValueHpiInfo = 156,
  kValueHighPrecisionId = 157,
  kValueCriInfo = 158,
  kValueSerialNo = 159,
  kValueYantraFlag = 160,
  kValueCalFn = 161,
  kValuePaperRemain = 162,
  kValueInstallPath = 256,
  kValueExe = 257,
  kValuePersonal = 258,
  kValueBrsInfo = 259,
  kValueBrsResult = 260,
  kValueBrsFileName = 261,
  kValueBrsExtractFileName = 262,
  kValuePpck = 263,
};

// Id ranges of the store.
// Key kinds 0-4: the driver's own keys, opened and created by id.
constexpr bool IsOwnKeyKind(int kind) { return kind >= kKeyPrinter && kind <= kKeyPrinterDriverData; }
// Key kinds 5-19: the status monitor's keys.
constexpr bool IsMonitorKeyKind(int kind) { return kind >= kKeyMonRxPrinter && kind <= kKeySa; }
// Monitor keys that may be created (all but kKeyNorva, 17, which is no monitor key of its own).
constexpr bool IsCreatableMonitorKey(int kind) { return IsMonitorKeyKind(kind) && kind != kKeyNorva; }
// Monitor keys that may be deleted: the creatable ones but the three environment keys (12-14).
constexpr bool IsDeletableMonitorKey(int kind) {
  return IsCreatableMonitorKey(kind) && !(kind >= kKeyMonLptEnv && kind <= kKeyMonSAgentEnv);
}
// Monitor keys deleted with their subkeys: 8-10.
constexpr bool IsMonitorKeyTree(int kind) { return kind >= kKeyMonLpt && kind <= kKeyMonSAgent; }
// Ids 0-30 (but kKeyNone, 21) are the unnamed value of the key of kind = id.
inline constexpr int kLastKindValueId = kKeySpoolerPrinter;
// Value ids 101-162: the named values of the driver's and the monitor's keys.
constexpr bool IsTableValueId(int id) { return id >= kValueRxTime && id <= kValuePaperRemain; }
// Value ids 135-145: values of the monitor's keys.
constexpr bool IsMonitorValueId(int id) { return id >= kValueMonRxApiPath && id <= kValueSaProfile; }
// Monitor values that may be deleted: all but the three check times (141-143).
constexpr bool IsDeletableMonitorValue(int id) {
  return IsMonitorValueId(id) && !(id >= kValueDevIdNoChkTime && id <= kValueRxRcvCmdTimeOut);
}

class DriverRegistry {
 public:
  static constexpr size_t kNameChars = MAX_PATH;
  static constexpr size_t kKeyChars = 520;

  DriverRegistry() = default;
  ~DriverRegistry() = default;

  // 1/0 operations.
  int Init(const char* printer_name, const char* driver_name);
  int GetKeyPath(int kind, char* out, size_t len, const char* subkey) const;
  int LookupValue(int id, HKEY* out_root, char* key, size_t key_len, char* value_name,
                  size_t name_len, DWORD* out_type, DWORD* out_size, const char* subkey,
                  const char* caller_value_name) const;
  int EnumSubKey(HKEY key, DWORD index, char* name, DWORD* name_len, char* class_name,
                 DWORD* class_len, FILETIME* time) const;
  int CloseKey(HKEY key) const;

  // Win32 error codes (0 on success; view 4 operations: 0 when both views
  // succeeded, 1 otherwise).
  LONG ReadValue(const char* subkey, const char* value_name, int id, void* data, DWORD* size,
                 int view) const;
  LONG WriteValue(const char* subkey, const char* value_name, int id, DWORD type,
                  const void* data, DWORD size, int view) const;
  LONG DeleteValue(const char* subkey, const char* value_name, int id, int view) const;
  HKEY OpenKey(const char* subkey, int id, int view) const;
  LONG QueryValue(const char* subkey, const char* value_name, int id, void* data, DWORD* size,
                  int view) const;
  LONG WriteValueV(const char* subkey, const char* value_name, int id, DWORD type,
                   const void* data, DWORD size, int view) const;
  LONG ReadValueById(int id, void* data, DWORD* size, int view) const;
  LONG WriteValueById(int id, const void* data, DWORD size, int view) const;
  LONG CreateKey(const char* subkey, int id, DWORD options, REGSAM access,
                 SECURITY_ATTRIBUTES* security, DWORD* out_disposition) const;
  LONG DeleteKey(const char* subkey, int id, int view) const;
  LONG DeleteKeyTree(const char* subkey, int id, int view) const;

  // Status-monitor kinds 5-19 and ids 135-145.
  LONG QueryMonitorValue(const char* value_name, int id, void* data, DWORD* size,
                         int view) const;
  LONG WriteMonitorValue(const char* value_name, int id, DWORD type, const void* data,
                         DWORD size, int view) const;
  LONG DeleteMonitorValue(const char* value_name, int id, int view) const;
  LONG CreateMonitorKey(int kind, DWORD options, REGSAM access, SECURITY_ATTRIBUTES* security,
                        DWORD* out_disposition) const;
  LONG DeleteMonitorKey(int kind, int view) const;
  LONG DeleteMonitorKeyTree(int kind, int view) const;

  // Helpers on explicit keys.
  LONG SetValueCreatingKey(HKEY root, const char* key, const char* value_name, DWORD type,
                           const void* data, DWORD size, int view) const;
  LONG SetValueInViews(HKEY root, const char* key, const char* value_name, DWORD type,
                       const void* data, DWORD size, int view) const;
  LONG DeleteValueInViews(HKEY root, const char* key, const char* value_name, int view) const;
  static LONG DeleteEmptyKey(HKEY root, const char* key, int view);
  static LONG DeleteKeyInViews(HKEY root, const char* key, int view);
  static LONG DeleteKeyTreeW(HKEY root, const wchar_t* key, int view);
  static LONG DeleteKeyTreeA(HKEY root, const char* key, int view);
  static LONG DeleteKeyTreeInViews(HKEY root, const char* key, int view);
  int CreateKeyWithWorldAccess(const char* subkey, const char* printer_name, int view) const;
  int CreateKeyInViews(const char* subkey, const char* printer_name, int view) const;

  // Printer data through the spooler.
  static DWORD ReadPrinterData(HANDLE printer, const char* value_name, DWORD* out_type,
                               void* data, DWORD size, DWORD* out_needed);
  static DWORD WritePrinterData(HANDLE printer, const char* value_name, DWORD type,
                                const void* data, DWORD size);

  bool ready() const { return ready_ != 0; }
  const char* printer_name() const { return printer_name_; }
  const char* driver_name() const { return driver_name_; }

 private:
  // Key path and value name of a status-monitor value (ids 135 to 145); false when unknown.
  bool MonitorValueKey(int id, const char* value_name, char* key, size_t key_len,
                       const char** name) const;
  void BuildKeyPaths();

  int ready_ = 0;
  char printer_name_[kNameChars] = {};
  char driver_name_[kNameChars] = {};
  char printer_key_[kKeyChars] = {};      // kind 0
  char driver_key_[kKeyChars] = {};       // kinds 1 and 2
  char driver_data_key_[kKeyChars] = {};  // kind 4
  char yantra_base_[kKeyChars] = {};      // base of kind 26
};

}  // namespace kalimu::storage
