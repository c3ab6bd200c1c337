// Sample-model printer for the spooler entry points.
#include "testkit/kalimu/driver_printer.h"

#include <winspool.h>

#include <cwchar>

namespace testkit {
namespace {

DriverDataTable DriverData() {
  DriverDataTable data = StandardDriverData();
  data.SetInfo("UMDModuleNT4", kUserModeModuleFile);
  data.SetInfo("ZPCRES", kZpcParamFile);
  return data;
}

}  // namespace

DriverPrinter::DriverPrinter(const ModelDescription& model, const std::string& config_module,
                             const std::string& name_base)
    : printer_(model, DriverData(), name_base, config_module) {
  resources_ = printer_.ok() && printer_.InstallResourceLibrary();
}

// The model printer removes the machine's keys; the user's key of the driver goes here.
DriverPrinter::~DriverPrinter() { DeleteUserDriverKey(driver_name()); }

void DeleteUserDriverKey(const std::string& driver_name) {
  const std::string key = "SOFTWARE\\NORVA\\PRINTER\\" + driver_name;
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    HKEY root = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_ALL_ACCESS | view, &root) != ERROR_SUCCESS) continue;
    RegDeleteTreeA(root, nullptr);
    RegCloseKey(root);
    RegDeleteKeyExA(HKEY_CURRENT_USER, key.c_str(), view, 0);
  }
}

DEVMODEW ForeignDevMode(WORD copies) {
  DEVMODEW record{};
  wcscpy(record.dmDeviceName, L"Some Application");
  record.dmSpecVersion = 0x401;
  record.dmSize = sizeof(DEVMODEW);
  record.dmFields = DM_COPIES;
  record.dmCopies = copies;
  return record;
}

std::wstring DriverPrinter::wide_printer_name() const {
  const std::string& name = printer_name();
  const int n = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, nullptr, 0);
  std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
  if (n > 1) MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wide.data(), n);
  return wide;
}

std::string DriverPrinter::DriverKey() const { return "SOFTWARE\\NORVA\\PRINTER\\" + driver_name(); }

std::string DriverPrinter::PrinterKey() const {
  std::string name = printer_name();
  for (char& c : name) {
    if (c == '\\') c = ',';
  }
  return DriverKey() + "\\" + name;
}

std::optional<std::vector<uint8_t>> ReadMachineValue(const std::string& key, const char* name) {
  DWORD size = 0;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, nullptr, nullptr,
                   &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::vector<uint8_t> bytes(size);
  if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, nullptr,
                   bytes.data(), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  bytes.resize(size);
  return bytes;
}

bool WriteMachineValue(const std::string& key, const char* name, DWORD type, const void* data, DWORD size) {
  bool written = true;
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS) {
      return false;
    }
    written = RegSetValueExA(handle, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS && written;
    RegCloseKey(handle);
  }
  return written;
}

std::optional<std::string> ReadMachineText(const std::string& key, const char* name) {
  auto bytes = ReadMachineValue(key, name);
  if (!bytes) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(bytes->data()), strnlen(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

std::optional<std::vector<uint8_t>> ReadPrinterDataBytes(HANDLE printer, const wchar_t* name) {
  DWORD type = 0;
  DWORD needed = 0;
  const DWORD probe = GetPrinterDataW(printer, const_cast<wchar_t*>(name), &type, nullptr, 0, &needed);
  if (probe != ERROR_MORE_DATA && probe != ERROR_SUCCESS) return std::nullopt;
  std::vector<uint8_t> bytes(needed);
  if (GetPrinterDataW(printer, const_cast<wchar_t*>(name), &type, bytes.data(), needed, &needed) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  bytes.resize(needed);
  return bytes;
}

}  // namespace testkit
