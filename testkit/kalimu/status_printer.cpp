// The status stand-ins installed beside a model printer's driver.
#include "testkit/kalimu/status_printer.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "testkit/standins/status_switches.h"
#include "testkit/windows/printer_fixture.h"

namespace testkit {
namespace {

std::optional<std::vector<uint8_t>> ReadProgramFile(const std::string& name) {
  std::ifstream in(TestProgramDirectory() + name, std::ios::binary);
  if (!in) return std::nullopt;
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

StatusPrinter::StatusPrinter(const ModelDescription& model) : printer_(model, StandardDriverData(), "Status") {
  if (!printer_.ok()) return;
  const std::string stem = "kvs" + std::to_string(GetCurrentProcessId());
  monitor_file_ = stem + "_stm.dll";
  module_file_ = stem + "_module.dll";
  helper_file_ = stem + "_refresh.exe";
  if (!Install("testkit_status_monitor.dll", monitor_file_) ||
      !Install("testkit_printer_module.dll", module_file_) ||
      !Install("testkit_refresh_helper.exe", helper_file_)) {
    return;
  }
  if (!printer_.SetInfoKey("STM3ModuleI64", monitor_file_) || !printer_.SetInfoKey("PellanI", helper_file_)) {
    error_ = "setting the stand-in keys failed";
    return;
  }
  SetSwitch(kMonitorModuleVar, module_file_.c_str());
}

StatusPrinter::~StatusPrinter() {
  for (const std::string& name : switches_) SetEnvironmentVariableA(name.c_str(), nullptr);
}

bool StatusPrinter::Install(const std::string& standin, const std::string& name) {
  const auto bytes = ReadProgramFile(standin);
  if (!bytes || !printer_.WriteDriverFile(name, *bytes)) {
    error_ = "installing " + standin + " failed";
    return false;
  }
  return true;
}

void StatusPrinter::SetSwitch(const char* name, const char* value) {
  SetEnvironmentVariableA(name, value);
  switches_.push_back(name);
}

std::string StatusPrinter::PrinterKey() const {
  std::string printer = printer_name();
  for (char& c : printer) c = c == '\\' ? ',' : c;
  return "SOFTWARE\\NORVA\\PRINTER\\" + driver_name() + "\\" + printer;
}

std::optional<std::vector<uint8_t>> StatusPrinter::ReadValue(const char* name, REGSAM view) const {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PrinterKey().c_str(), 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  DWORD size = 0;
  std::optional<std::vector<uint8_t>> value;
  if (RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
    std::vector<uint8_t> bytes(size);
    if (RegQueryValueExA(key, name, nullptr, nullptr, bytes.data(), &size) == ERROR_SUCCESS) {
      bytes.resize(size);
      value = std::move(bytes);
    }
  }
  RegCloseKey(key);
  return value;
}

bool StatusPrinter::WriteValue(const char* name, DWORD type, const void* data, DWORD size) const {
  bool ok = true;
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, PrinterKey().c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
      ok = false;
      continue;
    }
    ok &= RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
    RegCloseKey(key);
  }
  return ok;
}

void StatusPrinter::DeleteValue(const char* name) const {
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PrinterKey().c_str(), 0, KEY_SET_VALUE | view, &key) == ERROR_SUCCESS) {
      RegDeleteValueA(key, name);
      RegCloseKey(key);
    }
  }
}

int32_t StatusPrinter::WaitForRequestFlag() const {
  // A started helper ends within a second or two under Wine; the limit only guards a hang.
  for (int tick = 0; tick < 600; ++tick) {
    const auto flag = ReadValue("RX_FLAG", KEY_WOW64_64KEY);
    int32_t value = 0;
    if (flag && flag->size() == sizeof value) {
      std::memcpy(&value, flag->data(), sizeof value);
      if (value != 0) return value;
    }
    Sleep(50);
  }
  return 0;
}

std::string TakeCommandFile(const std::string& command_line) {
  const size_t at = command_line.find(" /F \"");
  if (at == std::string::npos || command_line.size() < at + 6) return {};
  const std::string path = command_line.substr(at + 5, command_line.size() - at - 6);
  std::string content;
  {
    std::ifstream in(path, std::ios::binary);
    content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  DeleteFileA(path.c_str());
  return content;
}

}  // namespace testkit
