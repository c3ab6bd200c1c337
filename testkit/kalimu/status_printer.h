// A model printer whose driver directory holds the status stand-ins: the status-monitor
// library, the printer module it names and the refresh helper program, each under a name of
// its own that the driver data file gives. Steers the stand-ins through the environment and
// restores it at the end.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "testkit/kalimu/model_printer.h"

namespace testkit {

class StatusPrinter {
 public:
  explicit StatusPrinter(const ModelDescription& model = SheetModel());
  ~StatusPrinter();
  StatusPrinter(const StatusPrinter&) = delete;
  StatusPrinter& operator=(const StatusPrinter&) = delete;

  bool ok() const { return printer_.ok() && error_.empty(); }
  std::string error() const { return printer_.ok() ? error_ : printer_.error(); }
  ModelPrinter& model_printer() { return printer_; }
  HANDLE handle() { return printer_.printer().handle(); }
  const std::string& printer_name() const { return printer_.printer_name(); }
  const std::string& driver_name() const { return printer_.driver_name(); }
  std::string DriverDirectory() const { return printer_.DriverDirectory(); }

  // File names of the stand-ins in the driver directory.
  const std::string& monitor_file() const { return monitor_file_; }
  const std::string& module_file() const { return module_file_; }
  const std::string& helper_file() const { return helper_file_; }
  bool RemoveFile(const std::string& name) { return printer_.DeleteDriverFile(name); }

  // Sets (or, with null, clears) an environment switch until the end of the fixture.
  void SetSwitch(const char* name, const char* value);

  // The printer key's values in one registry view (KEY_WOW64_64KEY or KEY_WOW64_32KEY).
  std::optional<std::vector<uint8_t>> ReadValue(const char* name, REGSAM view) const;
  bool WriteValue(const char* name, DWORD type, const void* data, DWORD size) const;
  void DeleteValue(const char* name) const;
  std::string PrinterKey() const;

  // Waits until the refresh helper has replaced the pending flag; the flag then read, or 0.
  int32_t WaitForRequestFlag() const;

 private:
  bool Install(const std::string& standin, const std::string& name);

  ModelPrinter printer_;
  std::string error_;
  std::string monitor_file_;
  std::string module_file_;
  std::string helper_file_;
  std::vector<std::string> switches_;
};

// The command file a monitor command line names (after " /F "), read and removed; empty when
// the line names none.
std::string TakeCommandFile(const std::string& command_line);

}  // namespace testkit
