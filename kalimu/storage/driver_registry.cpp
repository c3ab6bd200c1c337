// Registry store: key paths, the value table lookup and reads.
#include "kalimu/storage/driver_registry.h"

#include <cstring>
#include <initializer_list>

#include "kalimu/platform/text_helpers.h"
#include "kalimu/platform/unique_handle.h"
#include "kalimu/storage/registry_table.h"
#include "kalimu/storage/registry_views.h"

namespace kalimu::storage {
namespace {

constexpr char kPrinterRoot[] = "SOFTWARE\\NORVA\\PRINTER\\";
constexpr char kSpoolerPrinters[] = "System\\CurrentControlSet\\control\\Print\\Printers\\";
constexpr char kNorva[] = "SOFTWARE\\NORVA";

// Joins parts into out; 0 when the result does not fit.
int Join(char* out, size_t len, std::initializer_list<const char*> parts) {
  if (len == 0) return 0;
  out[0] = 0;
  for (const char* part : parts) {
    if (!platform::AppendStringA(out, len, part)) return 0;
  }
  return 1;
}

// Monitor key paths, built from "SOFTWARE\NORVA".
int MonitorKeyPath(int kind, char* out, size_t len) {
  switch (kind) {
    case kKeyNorva: return Join(out, len, {kNorva});
    case kKeyMonRxPrinter: return Join(out, len, {kNorva, "\\RXPrinter4"});
    case kKeyRxProvider: return Join(out, len, {kNorva, "\\RXProvider3"});
    case kKeySa: return Join(out, len, {kNorva, "\\SA"});
    case kKeyMonRxApi: return Join(out, len, {kNorva, "\\RXPrinter4\\RXAPI4"});
    case kKeyMonOldRxApiPorts: return Join(out, len, {kNorva, "\\RXPrinter4\\OldRXAPIPorts"});
    case kKeyMonLpt: return Join(out, len, {kNorva, "\\RXPrinter4\\LPT4"});
    case kKeyMonShare: return Join(out, len, {kNorva, "\\RXPrinter4\\SHARE4"});
    case kKeyMonSAgent: return Join(out, len, {kNorva, "\\RXPrinter4\\SAgent4"});
    case kKeyMonProfile: return Join(out, len, {kNorva, "\\RXPrinter4\\Profile"});
    case kKeyMonLptEnv: return Join(out, len, {kNorva, "\\RXPrinter4\\LPT4\\Env"});
    case kKeyMonShareEnv: return Join(out, len, {kNorva, "\\RXPrinter4\\SHARE4\\Env"});
    case kKeyMonSAgentEnv: return Join(out, len, {kNorva, "\\RXPrinter4\\SAgent4\\Env"});
    case kKeyProviderLpt: return Join(out, len, {kNorva, "\\RXProvider3\\LPT"});
    case kKeySaProfile: return Join(out, len, {kNorva, "\\SA\\Profile"});
    default: return 0;
  }
}

bool IsMonitorId(int id) { return IsMonitorKeyKind(id) || IsMonitorValueId(id); }

bool IsStringType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Checks what RegQueryValueExA delivered against the table: a string where a
// number is expected (or a number where a string is) or a DWORD of another
// size is refused, and string data is terminated within the buffer.
LONG CheckReadValue(DWORD want_type, DWORD got_type, BYTE* data, DWORD buffer_bytes,
                    DWORD got_bytes) {
  // The caller's own type, or a binary record whose writer may have typed it otherwise.
  if (want_type == REG_NONE || want_type == REG_BINARY) return ERROR_SUCCESS;
  if (IsStringType(want_type) != IsStringType(got_type)) return ERROR_INVALID_DATA;
  if (want_type == REG_DWORD && buffer_bytes == 4 && got_bytes != 4) return ERROR_INVALID_DATA;
  if (IsStringType(want_type) && data != nullptr) {
    if (got_bytes == 0 || data[got_bytes - 1] != 0) {
      if (got_bytes >= buffer_bytes) return ERROR_MORE_DATA;
      data[got_bytes] = 0;
    }
  }
  return ERROR_SUCCESS;
}

// Opens root\key for reading in the view and reads value_name into data; the
// size behind size is the buffer size in and the stored size out. Without a
// buffer the key is only opened, unless size_probe asks for the stored size.
LONG ReadFromKey(HKEY root, const char* key, const char* value_name, DWORD want_type,
                 void* data, DWORD* size, int view, bool size_probe = false) {
  platform::UniqueKey handle;
  const LONG open = RegOpenKeyExA(root, key, 0, KEY_READ | ReadViewBits(view), handle.Receive());
  if (open != ERROR_SUCCESS) return open;
  LONG result = ERROR_SUCCESS;
  if (size != nullptr && (data != nullptr || size_probe)) {
    const DWORD buffer_bytes = *size;
    DWORD type = REG_NONE;
    result = RegQueryValueExA(handle.get(), value_name, nullptr, &type, static_cast<BYTE*>(data), size);
    if (result == ERROR_SUCCESS) {
      result = CheckReadValue(want_type, type, static_cast<BYTE*>(data), buffer_bytes, *size);
    }
  }
  return result;
}

}  // namespace

void PrinterNameForKey(const char* printer_name, char* out, size_t len) {
  platform::CopyStringA(out, len, printer_name);
  for (char* c = out; *c != 0; ++c) {
    if (*c == '\\') *c = ',';
  }
}

int DriverRegistry::Init(const char* printer_name, const char* driver_name) {
  if (printer_name == nullptr || driver_name == nullptr) return 0;
  if (!platform::CopyStringA(printer_name_, kNameChars, printer_name) ||
      !platform::CopyStringA(driver_name_, kNameChars, driver_name)) {
    ready_ = 0;
    return 0;
  }
  BuildKeyPaths();
  ready_ = 1;
  return 1;
}

void DriverRegistry::BuildKeyPaths() {
  char printer[kNameChars];
  PrinterNameForKey(printer_name_, printer, sizeof(printer));
  Join(driver_key_, kKeyChars, {kPrinterRoot, driver_name_});
  Join(printer_key_, kKeyChars, {driver_key_, "\\", printer});
  Join(driver_data_key_, kKeyChars, {kSpoolerPrinters, printer, "\\PrinterDriverData"});
  Join(yantra_base_, kKeyChars, {kPrinterRoot, "NORVA Yantra\\", driver_name_, "\\"});
}

int DriverRegistry::GetKeyPath(int kind, char* out, size_t len, const char* subkey) const {
  if (out == nullptr || len == 0) return 0;
  if (kind == kKeyCaller) return subkey != nullptr && platform::CopyStringA(out, len, subkey);
  if (kind == kKeyPrinterRoot) return Join(out, len, {kPrinterRoot});
  if (IsMonitorKeyKind(kind)) return MonitorKeyPath(kind, out, len);
  switch (kind) {
    case kKeyResourceLocale: return Join(out, len, {"Control Panel\\desktop\\ResourceLocale"});
    case kKeyWindowsCurrentVersion:
      return Join(out, len, {"Software\\Microsoft\\Windows\\CurrentVersion"});
    case kKeyDravon: return Join(out, len, {"SOFTWARE\\NORVA\\NORVA Dravon"});
    case kKeyUserShellFolders:
      return Join(out, len,
                  {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"});
    default: break;
  }
  if (!ready_) return 0;
  const bool with_sub = subkey != nullptr && subkey[0] != 0;
  switch (kind) {
    case kKeyPrinter: return Join(out, len, {printer_key_});
    case kKeyDriver:
    case kKeyDriverUser: return Join(out, len, {driver_key_});
    case kKeyPrinterDriverData: return Join(out, len, {driver_data_key_});
    case kKeyColourCalibration:
      return Join(out, len, {kPrinterRoot, "CCM\\", driver_name_, "\\XXXXXXXXXXXXXXXXXX"});
    case kKeyPsolver:
      return with_sub ? Join(out, len, {driver_key_, " PSOLVER\\", subkey})
                      : Join(out, len, {driver_key_, " PSOLVER"});
    case kKeyTsUrl:
      return with_sub ? Join(out, len, {driver_key_, " TS_URL\\", subkey})
                      : Join(out, len, {driver_key_, " TS_URL"});
    case kKeyYantra:
      return Join(out, len, {yantra_base_, with_sub ? subkey : ""});
    case kKeyDriverSub:
      return Join(out, len, {driver_key_, "\\", with_sub ? subkey : ""});
    case kKeySpoolerPrinter: {
      char printer[kNameChars];
      PrinterNameForKey(printer_name_, printer, sizeof(printer));
      return Join(out, len, {kSpoolerPrinters, printer});
    }
    default: return 0;
  }
}

int DriverRegistry::LookupValue(int id, HKEY* out_root, char* key, size_t key_len,
                                char* value_name, size_t name_len, DWORD* out_type,
                                DWORD* out_size, const char* subkey,
                                const char* caller_value_name) const {
  const RegistryValueRow* row = FindRegistryValueRow(id);
  if (row == nullptr) return 0;
  if (!GetKeyPath(row->kind, key, key_len, subkey)) return 0;
  if (out_root != nullptr) *out_root = row->current_user ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  const char* name = row->value_name;
  if (id == kValueCaller || id == kValueMonProfile || id == kValueSaProfile) {
    if (caller_value_name != nullptr) name = caller_value_name;
  }
  if (value_name != nullptr && name_len > 0) {
    if (!platform::CopyStringA(value_name, name_len, name != nullptr ? name : "")) return 0;
  }
  if (id != kValueCaller) {
    if (out_type != nullptr) *out_type = row->type;
    if (out_size != nullptr) *out_size = row->size_bytes;
  }
  return 1;
}

LONG DriverRegistry::ReadValue(const char* subkey, const char* value_name, int id, void* data,
                               DWORD* size, int view) const {
  if (!ready_) return ERROR_FILE_NOT_FOUND;
  if (IsMonitorId(id)) return QueryMonitorValue(value_name, id, data, size, view);
  const RegistryValueRow* row = FindRegistryValueRow(id);
  const bool own_table = id == kValueCaller || IsOwnKeyKind(id) ||
                         (IsTableValueId(id) && row != nullptr);
  if (!own_table) return ERROR_FILE_NOT_FOUND;
  if (id == kValueCaller && subkey == nullptr) return ERROR_FILE_NOT_FOUND;
  char key[kKeyChars];
  // kValueYantraFlag and kValueCalFn live below the kKeyYantra base joined directly with the
  // caller's subkey; kValueKeyFile and kValueTSupportUrl in their own keys without one.
  const char* key_subkey = (id == kValueKeyFile || id == kValueTSupportUrl) ? nullptr : subkey;
  if (!GetKeyPath(row->kind, key, sizeof(key), key_subkey)) return ERROR_INVALID_PARAMETER;
  const char* name = id == kValueCaller ? value_name : row->value_name;
  DWORD want_type = id == kValueCaller ? REG_NONE : row->type;

  // Fixed-size values are read with the table's size, never more than the
  // caller's buffer holds; a stored value that does not fit answers
  // ERROR_MORE_DATA.
  DWORD table_bytes = row->size_bytes;
  if (id == kValueCalibrationFlag || id == kValuePmFlag) {
    table_bytes = 2;
    want_type = REG_BINARY;  // stored by the driver as 2 binary bytes
  }
  const bool caller_size = id <= kKeyPrinterDriverData || id == kValueCaller || id == kValueHighPrecisionId ||
                           id == kValueSerialNo || id == kValueCalFn;
  if (!caller_size && size != nullptr && table_bytes != 0 && table_bytes < *size) {
    *size = table_bytes;
  }
  const HKEY root = row->current_user ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  return ReadFromKey(root, key, name, want_type, data, size, view);
}

LONG DriverRegistry::QueryValue(const char* subkey, const char* value_name, int id, void* data,
                                DWORD* size, int view) const {
  if (!ready_) return ERROR_FILE_NOT_FOUND;
  HKEY root = nullptr;
  char key[kKeyChars];
  char name[kNameChars];
  DWORD type = REG_NONE;
  DWORD table_size = 0;
  if (id == kValueCaller && subkey == nullptr) return ERROR_FILE_NOT_FOUND;
  if (!LookupValue(id, &root, key, sizeof(key), name, sizeof(name), &type, &table_size, subkey,
                   value_name)) {
    return ERROR_FILE_NOT_FOUND;
  }
  // A size without a buffer asks for the stored value's size.
  return ReadFromKey(root, key, name[0] != 0 ? name : nullptr, type, data, size, view, true);
}

LONG DriverRegistry::ReadValueById(int id, void* data, DWORD* size, int view) const {
  return QueryValue(nullptr, nullptr, id, data, size, view);
}

LONG DriverRegistry::QueryMonitorValue(const char* value_name, int id, void* data, DWORD* size,
                                       int view) const {
  char key[kKeyChars];
  const char* name = nullptr;
  DWORD want_type = REG_SZ;
  if (IsMonitorKeyKind(id)) {
    if (!MonitorKeyPath(id, key, sizeof(key))) return ERROR_FILE_NOT_FOUND;
  } else {
    const RegistryValueRow* row = FindRegistryValueRow(id);
    if (row == nullptr || !IsMonitorValueId(id)) return ERROR_FILE_NOT_FOUND;
    if (!MonitorKeyPath(row->kind, key, sizeof(key))) return ERROR_FILE_NOT_FOUND;
    name = row->value_name != nullptr ? row->value_name : value_name;
    if (name == nullptr) return ERROR_FILE_NOT_FOUND;
    want_type = row->type;
    if (size != nullptr && row->size_bytes < *size) *size = row->size_bytes;
  }
  return ReadFromKey(HKEY_LOCAL_MACHINE, key, name, want_type, data, size, view);
}

HKEY DriverRegistry::OpenKey(const char* subkey, int id, int view) const {
  if (!ready_) return nullptr;
  char key[kKeyChars] = "";
  if (id == kValueCaller) {
    if (subkey == nullptr || !platform::CopyStringA(key, sizeof(key), subkey)) return nullptr;
  } else if (id == kValueKeyFile || id == kValueTSupportUrl) {
    if (!GetKeyPath(id == kValueKeyFile ? kKeyPsolver : kKeyTsUrl, key, sizeof(key), nullptr)) {
      return nullptr;
    }
  }
  platform::UniqueKey handle;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | ReadViewBits(view), handle.Receive()) !=
      ERROR_SUCCESS) {
    return nullptr;
  }
  return handle.Release();  // the caller's, closed with CloseKey
}

int DriverRegistry::EnumSubKey(HKEY key, DWORD index, char* name, DWORD* name_len,
                               char* class_name, DWORD* class_len, FILETIME* time) const {
  return RegEnumKeyExA(key, index, name, name_len, nullptr, class_name, class_len, time) ==
                 ERROR_SUCCESS
             ? 1
             : 0;
}

int DriverRegistry::CloseKey(HKEY key) const {
  return key != nullptr && RegCloseKey(key) == ERROR_SUCCESS ? 1 : 0;
}

}  // namespace kalimu::storage
