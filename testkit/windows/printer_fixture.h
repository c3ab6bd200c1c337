// Installs a driver and a printer into the test prefix, opens the printer and removes both
// again. The driver's data file holds the text the caller gives; its rendering and
// configuration modules are the test kit's stand-in configuration module.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testkit {

// The stand-in configuration module that answers the spooler without a device mode of its own.
inline constexpr char kStandinConfigModule[] = "testkit_config_ui.dll";

class TestPrinter {
 public:
  // name_base makes the driver and printer names; a process id and counter keep them unique
  // between test programs sharing one prefix. config_module: the file (in the test programs'
  // folder) installed as the driver's rendering and configuration module.
  TestPrinter(const std::string& name_base, const std::string& data_file_text,
              const std::string& config_module = kStandinConfigModule);
  ~TestPrinter();
  TestPrinter(const TestPrinter&) = delete;
  TestPrinter& operator=(const TestPrinter&) = delete;

  // Empty when everything worked; else what failed, with the Win32 error.
  const std::string& error() const { return error_; }
  bool ok() const { return error_.empty(); }

  HANDLE handle() const { return handle_; }
  const std::string& printer_name() const { return printer_name_; }
  const std::string& driver_name() const { return driver_name_; }
  // The data file where the spooler keeps it (pDataFile of the installed driver).
  const std::string& data_file() const { return data_file_; }
  // The printer's file port: raw jobs land in this file.
  const std::string& port_file() const { return port_file_; }
  // Rewrites the installed data file with new text.
  bool RewriteDataFile(const std::string& data_file_text) const;

 private:
  bool Fail(const std::string& what);

  std::string error_;
  std::string printer_name_;
  std::string driver_name_;
  std::string data_file_;
  std::string port_file_;
  std::vector<std::string> files_;  // removed again at the end
  HANDLE handle_ = nullptr;
  bool driver_added_ = false;
};

// Writes text byte for byte, replacing the file; false when it cannot be written.
bool WriteFileText(const std::string& path, const std::string& text);

// Directory of the running test program, with a trailing backslash.
std::string TestProgramDirectory();

}  // namespace testkit
