// A sample-model printer for the spooler entry points: the driver data names the rendering
// module and the parameter file the initialisation records, the stand-in resource library is
// installed, and the driver's module can be Kalimu.dll itself, so that the spooler reaches the
// entry points as applications do. Removes the user's key of the driver again.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "testkit/kalimu/model_cfg_builder.h"
#include "testkit/kalimu/model_printer.h"

namespace testkit {

// The library under test, as the spooler loads it.
inline constexpr char kKalimuModule[] = "Kalimu.dll";
// File names the driver data of a DriverPrinter gives its rendering module and parameter file.
inline constexpr char kUserModeModuleFile[] = "KVUMD64.DLL";
inline constexpr char kZpcParamFile[] = "KVZPC.RES";

class DriverPrinter {
 public:
  // name_base goes into the printer's and driver's names (see TestPrinter).
  explicit DriverPrinter(const ModelDescription& model, const std::string& config_module = kStandinConfigModule,
                         const std::string& name_base = "Drv");
  ~DriverPrinter();
  DriverPrinter(const DriverPrinter&) = delete;
  DriverPrinter& operator=(const DriverPrinter&) = delete;

  bool ok() const { return printer_.ok() && resources_; }
  std::string error() const { return printer_.ok() ? "the resource library" : printer_.error(); }
  HANDLE handle() { return printer_.printer().handle(); }
  ModelPrinter& model_printer() { return printer_; }
  const std::string& printer_name() const { return printer_.printer_name(); }
  std::wstring wide_printer_name() const;
  const std::string& driver_name() const { return printer_.driver_name(); }

  // The driver's key below HKEY_LOCAL_MACHINE, and the printer's key below it.
  std::string DriverKey() const;
  std::string PrinterKey() const;

 private:
  ModelPrinter printer_;
  bool resources_ = false;
};

// A public-only record as applications and the spooler make them (220 bytes, no private part,
// driver version 0) that asks for a number of copies.
DEVMODEW ForeignDevMode(WORD copies);

// Removes the driver's key below HKEY_CURRENT_USER in both views.
void DeleteUserDriverKey(const std::string& driver_name);

// A value below HKEY_LOCAL_MACHINE in the process's (64-bit) view: its bytes, or none when it cannot be read.
std::optional<std::vector<uint8_t>> ReadMachineValue(const std::string& key, const char* name);
// Writes a value below HKEY_LOCAL_MACHINE in both views, creating the key.
bool WriteMachineValue(const std::string& key, const char* name, DWORD type, const void* data, DWORD size);
// A REG_SZ value's text (without its terminator), or none.
std::optional<std::string> ReadMachineText(const std::string& key, const char* name);
// A printer data value's bytes, or none.
std::optional<std::vector<uint8_t>> ReadPrinterDataBytes(HANDLE printer, const wchar_t* name);

}  // namespace testkit
