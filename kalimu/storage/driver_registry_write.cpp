// Registry store: writes, deletions, key creation and removal.
#include <string>

#include "kalimu/platform/text_conversion.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/platform/unique_handle.h"
#include "kalimu/platform/world_access.h"
#include "kalimu/storage/driver_registry.h"
#include "kalimu/storage/registry_table.h"
#include "kalimu/storage/registry_views.h"

namespace kalimu::storage {
namespace {

bool IsWritableId(int id) {
  switch (id) {
    case kValueCaller: case kValueRxStatus: case kValueTempFilePath: case kValueRxHtarvikOption:
    case kValueKvFilesPath: case kValuePmFlag: case kValueInkInf: case kValueInkCheck:
    case kValueRxPaperFlag: case kValuePaperCheck: case kValueRxPrnStatus: case kValueRxFlag:
    case kValueTempFilePath2: case kValueCutterInfo: case kValueRxHeadId: case kValueMesDlgFlag:
    case kValuePlatenInf: case kValueTempFilePathUser: case kValueZpcParamFile: case kValueSilent:
    case kValueRxStacker: case kValueRxPgPos: case kValueRxOvTemp: case kValueKvBinInfo:
    case kValueKvInkLevel: case kValueKvIwfInfo: case kValueKvHtInfo: case kValueKvRtInfo:
    case kValueStmSetting: case kValueHpiInfo: case kValueHighPrecisionId: case kValueCriInfo:
    case kValueSerialNo: case kValueYantraFlag: case kValueCalFn: case kValuePaperRemain:
      return true;
    default:
      return false;
  }
}

// The type a value is always written with, whatever the caller passes.
DWORD WriteType(int id) {
  switch (id) {
    case kValueRxStatus: case kValueRxHtarvikOption: case kValuePmFlag: case kValueInkInf:
    case kValueRxPrnStatus: case kValueRxFlag: case kValueRxHeadId: case kValueKvIwfInfo:
    case kValueKvHtInfo: case kValueHighPrecisionId:
      return REG_BINARY;
    case kValueTempFilePath: case kValueTempFilePath2: case kValueKvFilesPath:
    case kValueTempFilePathUser: case kValueZpcParamFile: case kValueSerialNo: case kValueCalFn:
      return REG_SZ;
    default:
      return REG_DWORD;
  }
}

}  // namespace

LONG DriverRegistry::WriteValue(const char* subkey, const char* value_name, int id, DWORD type,
                                const void* data, DWORD size, int view) const {
  if (!ready_) return ERROR_FILE_NOT_FOUND;
  if (IsMonitorValueId(id)) return WriteMonitorValue(value_name, id, type, data, size, view);
  if (!IsWritableId(id)) return ERROR_FILE_NOT_FOUND;
  const RegistryValueRow* row = FindRegistryValueRow(id);
  char key[kKeyChars];
  const char* name = row->value_name;
  DWORD write_type = WriteType(id);
  if (id == kValueCaller) {
    if (subkey == nullptr) return ERROR_FILE_NOT_FOUND;
    name = value_name;  // none: the key's unnamed value
    write_type = type;
  }
  if (!GetKeyPath(row->kind, key, sizeof(key), subkey)) return ERROR_INVALID_PARAMETER;
  const HKEY root = row->current_user ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  return SetValueInViews(root, key, name, write_type, data, size, view);
}

LONG DriverRegistry::WriteValueV(const char* subkey, const char* value_name, int id, DWORD type,
                                 const void* data, DWORD size, int view) const {
  if (!ready_) return ERROR_FILE_NOT_FOUND;
  if (id == kValueCaller && subkey == nullptr) return ERROR_FILE_NOT_FOUND;
  HKEY root = nullptr;
  char key[kKeyChars];
  char name[kNameChars];
  DWORD table_type = type;
  DWORD table_size = 0;
  if (!LookupValue(id, &root, key, sizeof(key), name, sizeof(name), &table_type, &table_size,
                   subkey, value_name)) {
    return ERROR_FILE_NOT_FOUND;
  }
  return SetValueInViews(root, key, name[0] != 0 ? name : nullptr, table_type, data, size, view);
}

LONG DriverRegistry::WriteValueById(int id, const void* data, DWORD size, int view) const {
  if (id == kValueCaller) return ERROR_FILE_NOT_FOUND;
  return WriteValueV(nullptr, nullptr, id, REG_NONE, data, size, view);
}

bool DriverRegistry::MonitorValueKey(int id, const char* value_name, char* key, size_t key_len,
                                     const char** name) const {
  const RegistryValueRow* row = FindRegistryValueRow(id);
  if (row == nullptr || id < 135 || id > 145) return false;
  if (!GetKeyPath(row->kind, key, key_len, nullptr)) return false;
  *name = row->value_name != nullptr ? row->value_name : value_name;
  return *name != nullptr;
}

LONG DriverRegistry::WriteMonitorValue(const char* value_name, int id, DWORD /*type*/,
                                       const void* data, DWORD size, int view) const {
  char key[kKeyChars];
  const char* name = nullptr;
  if (!MonitorValueKey(id, value_name, key, sizeof(key), &name)) return ERROR_FILE_NOT_FOUND;
  const DWORD type = FindRegistryValueRow(id)->type;  // known: MonitorValueKey found the row
  return SetValueInViews(HKEY_LOCAL_MACHINE, key, name, type, data, size, view);
}

LONG DriverRegistry::SetValueCreatingKey(HKEY root, const char* key, const char* value_name,
                                         DWORD type, const void* data, DWORD size,
                                         int view) const {
  platform::UniqueKey handle;
  LONG result = RegOpenKeyExA(root, key, 0, kWriteAccess | ViewBits(view), handle.Receive());
  if (result == ERROR_FILE_NOT_FOUND) {
    // Keys of the machine are shared between users: create them open to all.
    if (root == HKEY_LOCAL_MACHINE) CreateKeyWithWorldAccess(key, nullptr, view);
    result = RegCreateKeyExA(root, key, 0, nullptr, 0, kKeyAllAccess | ViewBits(view), nullptr,
                             handle.Receive(), nullptr);
  }
  if (result != ERROR_SUCCESS) return result;
  if (data != nullptr) {
    result = RegSetValueExA(handle.get(), value_name, 0, type, static_cast<const BYTE*>(data), size);
  }
  return result;
}

LONG DriverRegistry::SetValueInViews(HKEY root, const char* key, const char* value_name,
                                     DWORD type, const void* data, DWORD size, int view) const {
  return InViews(view, [&](int v) {
    return SetValueCreatingKey(root, key, value_name, type, data, size, v);
  });
}

int DriverRegistry::CreateKeyWithWorldAccess(const char* subkey, const char* printer_name,
                                             int view) const {
  if (!ready_ || subkey == nullptr) return 0;
  platform::WorldAccessDescriptor world = platform::WorldAccessDescriptor::ForSharedKey();
  if (!world.valid()) return 0;
  platform::UniqueKey handle;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\NORVA\\PRINTER", 0, nullptr, 0,
                  kKeyAllAccess | ViewBits(view), nullptr, handle.Receive(), nullptr);
  char path[kKeyChars];
  if (!platform::CopyStringA(path, sizeof(path), subkey)) return 0;
  if (printer_name != nullptr) {
    char printer[kNameChars];
    PrinterNameForKey(printer_name, printer, sizeof(printer));
    if (!platform::AppendStringA(path, sizeof(path), "\\") || !platform::AppendStringA(path, sizeof(path), printer)) {
      return 0;
    }
  }
  DWORD disposition = 0;
  const LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0,
                                      kKeyAllAccess | ViewBits(view), world.attributes(),
                                      handle.Receive(), &disposition);
  if (result != ERROR_SUCCESS) return 0;
  // Some registries apply their default security to a new key whatever the
  // creation asked for: state the DACL of a key we created once more.
  if (disposition == REG_CREATED_NEW_KEY) {
    RegSetKeySecurity(handle.get(), DACL_SECURITY_INFORMATION,
                      world.attributes()->lpSecurityDescriptor);
  }
  return 1;
}

int DriverRegistry::CreateKeyInViews(const char* subkey, const char* printer_name,
                                     int view) const {
  if (view != kViewBoth) return CreateKeyWithWorldAccess(subkey, printer_name, view);
  const int first = CreateKeyWithWorldAccess(subkey, printer_name, kView64);
  const int second = CreateKeyWithWorldAccess(subkey, printer_name, kView32);
  return first && second ? 1 : 0;
}

LONG DriverRegistry::CreateKey(const char* subkey, int id, DWORD options, REGSAM access,
                               SECURITY_ATTRIBUTES* security, DWORD* out_disposition) const {
  if (!ready_) return ERROR_FILE_NOT_FOUND;
  if (IsCreatableMonitorKey(id)) {
    return CreateMonitorKey(id, options, access, security, out_disposition);
  }
  if (!IsOwnKeyKind(id) && id != kKeyCaller) return ERROR_FILE_NOT_FOUND;
  char key[kKeyChars];
  if (!GetKeyPath(id, key, sizeof(key), subkey)) {
    return id == kKeyCaller && subkey == nullptr ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_PARAMETER;
  }
  const HKEY root = id == kKeyDriverUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  platform::UniqueKey handle;
  const LONG result = RegCreateKeyExA(root, key, 0, nullptr, options, access, security, handle.Receive(),
                                      out_disposition);
  return result;
}

LONG DriverRegistry::CreateMonitorKey(int kind, DWORD options, REGSAM access,
                                      SECURITY_ATTRIBUTES* security,
                                      DWORD* out_disposition) const {
  char key[kKeyChars];
  if (!GetKeyPath(kind, key, sizeof(key), nullptr)) return ERROR_FILE_NOT_FOUND;
  platform::UniqueKey handle;
  const LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, options, access,
                                      security, handle.Receive(), out_disposition);
  return result;
}

LONG DriverRegistry::DeleteValue(const char* subkey, const char* value_name, int id,
                                 int view) const {
  if (!ready_) return ERROR_FILE_NOT_FOUND;
  if (IsDeletableMonitorValue(id)) {
    return DeleteMonitorValue(value_name, id, view);
  }
  char key[kKeyChars];
  const char* name = nullptr;
  switch (id) {
    case kValueCaller:
      if (subkey == nullptr || value_name == nullptr) return ERROR_FILE_NOT_FOUND;
      if (!platform::CopyStringA(key, sizeof(key), subkey)) return ERROR_INVALID_PARAMETER;
      name = value_name;
      break;
    case kValueTempFilePath:
    case kValueTempFilePath2:
    case kValueKvFilesPath:
    case kValuePaperCheck:
    case kValueStmSetting:
    case kValueCalibrationFlag:
      if (!GetKeyPath(FindRegistryValueRow(id)->kind, key, sizeof(key), nullptr)) {
        return ERROR_FILE_NOT_FOUND;
      }
      name = FindRegistryValueRow(id)->value_name;
      break;
    default:
      return ERROR_FILE_NOT_FOUND;
  }
  return DeleteValueInViews(HKEY_LOCAL_MACHINE, key, name, view);
}

LONG DriverRegistry::DeleteMonitorValue(const char* value_name, int id, int view) const {
  char key[kKeyChars];
  const char* name = nullptr;
  if (!MonitorValueKey(id, value_name, key, sizeof(key), &name)) return ERROR_FILE_NOT_FOUND;
  return DeleteValueInViews(HKEY_LOCAL_MACHINE, key, name, view);
}

LONG DriverRegistry::DeleteValueInViews(HKEY root, const char* key, const char* value_name,
                                        int view) const {
  return InViews(view, [&](int v) {
    platform::UniqueKey handle;
    LONG result = RegOpenKeyExA(root, key, 0, kWriteAccess | ViewBits(v), handle.Receive());
    if (result != ERROR_SUCCESS) return result;
    result = RegDeleteValueA(handle.get(), value_name);
    return result;
  });
}

LONG DriverRegistry::DeleteKey(const char* subkey, int id, int view) const {
  if (!ready_) return ERROR_FILE_NOT_FOUND;
  if (IsDeletableMonitorKey(id)) {
    return DeleteMonitorKey(id, view);
  }
  if (id != kKeyCaller || subkey == nullptr) return ERROR_FILE_NOT_FOUND;
  return DeleteKeyInViews(HKEY_LOCAL_MACHINE, subkey, view);
}

LONG DriverRegistry::DeleteKeyTree(const char* subkey, int id, int view) const {
  if (!ready_) return ERROR_FILE_NOT_FOUND;
  if (IsMonitorKeyTree(id)) return DeleteMonitorKeyTree(id, view);
  if (id != kKeyCaller || subkey == nullptr) return ERROR_FILE_NOT_FOUND;
  return DeleteKeyTreeInViews(HKEY_LOCAL_MACHINE, subkey, view);
}

LONG DriverRegistry::DeleteMonitorKey(int kind, int view) const {
  char key[kKeyChars];
  if (!GetKeyPath(kind, key, sizeof(key), nullptr)) return ERROR_FILE_NOT_FOUND;
  return DeleteKeyInViews(HKEY_LOCAL_MACHINE, key, view);
}

LONG DriverRegistry::DeleteMonitorKeyTree(int kind, int view) const {
  char key[kKeyChars];
  if (!GetKeyPath(kind, key, sizeof(key), nullptr)) return ERROR_FILE_NOT_FOUND;
  return DeleteKeyTreeInViews(HKEY_LOCAL_MACHINE, key, view);
}

LONG DriverRegistry::DeleteEmptyKey(HKEY root, const char* key, int view) {
  platform::UniqueKey handle;
  LONG result = RegOpenKeyExA(root, key, 0, kKeyAllAccess | ViewBits(view), handle.Receive());
  if (result != ERROR_SUCCESS) return result;
  DWORD subkeys = 0;
  DWORD values = 0;
  result = RegQueryInfoKeyA(handle.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                            &values, nullptr, nullptr, nullptr, nullptr);
  if (result != ERROR_SUCCESS) return result;
  if (subkeys != 0 || values != 0) return ERROR_ACCESS_DENIED;
  return RegDeleteKeyExA(root, key, ViewBits(view), 0);
}

LONG DriverRegistry::DeleteKeyInViews(HKEY root, const char* key, int view) {
  return InViews(view, [&](int v) { return DeleteEmptyKey(root, key, v); });
}

LONG DriverRegistry::DeleteKeyTreeW(HKEY root, const wchar_t* key, int view) {
  platform::UniqueKey handle;
  LONG result = RegOpenKeyExW(root, key, 0, kKeyAllAccess | ViewBits(view), handle.Receive());
  if (result != ERROR_SUCCESS) return result;
  DWORD subkeys = 0;
  RegQueryInfoKeyW(handle.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                   nullptr, nullptr, nullptr, nullptr);
  for (DWORD index = subkeys; index-- > 0;) {
    wchar_t name[256];
    DWORD name_len = 256;
    if (RegEnumKeyExW(handle.get(), index, name, &name_len, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      continue;
    }
    const std::wstring child = std::wstring(key) + L"\\" + name;
    DeleteKeyTreeW(root, child.c_str(), view);
  }
  return RegDeleteKeyExW(root, key, ViewBits(view), 0);
}

LONG DriverRegistry::DeleteKeyTreeA(HKEY root, const char* key, int view) {
  if (key == nullptr) return ERROR_INVALID_PARAMETER;
  const auto wide = platform::WideFromAnsi(key);
  if (!wide) return ERROR_INVALID_PARAMETER;
  return DeleteKeyTreeW(root, wide->c_str(), view);
}

LONG DriverRegistry::DeleteKeyTreeInViews(HKEY root, const char* key, int view) {
  return InViews(view, [&](int v) { return DeleteKeyTreeA(root, key, v); });
}

}  // namespace kalimu::storage
