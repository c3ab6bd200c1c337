// A test printer whose driver ships a sample model: the base configuration file under
// "CfgFileI" and, for two or more ink sets, one variant file per ink set under "CfgFileI" plus
// the ink set's suffix. Removes its files, registry keys and shared folder again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "testkit/kalimu/driver_data_file.h"
#include "testkit/kalimu/model_cfg_builder.h"
#include "testkit/windows/printer_fixture.h"

namespace testkit {

class ModelPrinter {
 public:
  explicit ModelPrinter(const ModelDescription& model, DriverDataTable data = StandardDriverData(),
                        const std::string& name_base = "Model",
                        const std::string& config_module = kStandinConfigModule);
  ~ModelPrinter();
  ModelPrinter(const ModelPrinter&) = delete;
  ModelPrinter& operator=(const ModelPrinter&) = delete;

  bool ok() const { return printer_.ok() && error_.empty(); }
  std::string error() const { return printer_.ok() ? error_ : printer_.error(); }
  TestPrinter& printer() { return printer_; }
  const std::string& printer_name() const { return printer_.printer_name(); }
  const std::string& driver_name() const { return printer_.driver_name(); }

  // Directory of the driver data file, with a trailing backslash.
  std::string DriverDirectory() const;
  // File names (relative to the driver directory) of the base file and of ink set k's variant.
  std::string BaseFileName() const { return stem_ + ".CFG"; }
  std::string VariantFileName(int ink_set) const;
  // Writes (or replaces) a file in the driver directory; removed again at the end.
  bool WriteDriverFile(const std::string& name, const std::vector<uint8_t>& bytes);
  bool DeleteDriverFile(const std::string& name);

  // Sets one key of the driver data file and rewrites it.
  bool SetInfoKey(const std::string& key, const std::string& value);
  // Rewrites the data file with the table's text followed by text of the caller's own
  // (sections the table cannot say, such as lines without "=").
  bool AppendDataText(const std::string& text);
  // Copies a stand-in resource library from the test programs' folder into the driver
  // directory and names it under both resource-library keys.
  bool InstallResourceLibrary(const std::string& standin = "testkit_resources_english.dll");
  // Stores the INKINF value naming ink set k (or arbitrary codes), or removes it.
  bool StoreInkSet(int ink_set);
  bool StoreInkCodes(const uint8_t codes[16], uint32_t length);
  void ForgetInkSet();


  // Gives a capability database (or anything with locator() and registry()) this printer.
  template <class Model>
  void Attach(Model& model) {
    model.locator().Init(printer_name().c_str(), driver_name().c_str(), printer_.handle());
    model.registry().Init(printer_name().c_str(), driver_name().c_str());
  }

  const ModelDescription& model() const { return model_; }

 private:
  ModelDescription model_;
  TestPrinter printer_;
  std::string error_;
  std::string stem_;
  DriverDataTable data_;
  std::vector<std::string> written_;
};

}  // namespace testkit
