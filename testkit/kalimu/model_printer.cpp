// Test printer with a sample model.
#include "testkit/kalimu/model_printer.h"

#include <windows.h>

#include <cctype>
#include <cstring>
#include <fstream>

namespace testkit {
namespace {

// Every driver's files share one spooler folder: the file names carry the driver's name.
std::string FileStem(const std::string& driver_name) {
  std::string stem;
  for (char c : driver_name) stem += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return stem;
}

DriverDataTable WithModelKeys(const ModelDescription& model, DriverDataTable data, const std::string& stem) {
  data.SetInfo("CfgFileI", stem + ".CFG");
  if (model.ink_sets.size() >= 2) {
    for (size_t k = 0; k < model.ink_sets.size(); ++k) {
      const std::string suffix = InkSetSuffix(model, static_cast<int>(k));
      data.SetInfo("CfgFileI" + suffix, stem + suffix + ".CFG");
    }
  }
  return data;
}

std::string PrinterKey(const std::string& driver, const std::string& printer) {
  std::string name = printer;
  for (char& c : name) {
    if (c == '\\') c = ',';
  }
  return "SOFTWARE\\NORVA\\PRINTER\\" + driver + "\\" + name;
}

}  // namespace

ModelPrinter::ModelPrinter(const ModelDescription& model, DriverDataTable data, const std::string& name_base,
                           const std::string& config_module)
    : model_(model), printer_(name_base, data.Render(), config_module) {
  if (!printer_.ok()) return;
  stem_ = FileStem(driver_name());
  data_ = WithModelKeys(model, std::move(data), stem_);
  if (!printer_.RewriteDataFile(data_.Render())) error_ = "cannot rewrite the data file";
  if (!WriteDriverFile(BaseFileName(), BuildCfgFile(model).bytes)) error_ = "cannot write the base file";
  if (model.ink_sets.size() >= 2) {
    for (size_t k = 0; k < model.ink_sets.size(); ++k) {
      if (!WriteDriverFile(VariantFileName(static_cast<int>(k)),
                           BuildCfgFile(VariantFor(model, static_cast<int>(k))).bytes)) {
        error_ = "cannot write a variant file";
      }
    }
  }
}

ModelPrinter::~ModelPrinter() {
  for (const std::string& name : written_) DeleteFileA((DriverDirectory() + name).c_str());
  if (!driver_name().empty()) {
    const std::string driver_key = "SOFTWARE\\NORVA\\PRINTER\\" + driver_name();
    // The shared folder that the user files went to, then the driver's keys in both views.
    char folder[MAX_PATH] = {};
    DWORD size = sizeof(folder);
    if (RegGetValueA(HKEY_LOCAL_MACHINE, driver_key.c_str(), "KVFilesPath", RRF_RT_REG_SZ, nullptr, folder, &size) ==
        ERROR_SUCCESS && folder[0] != '\0') {
      WIN32_FIND_DATAA found;
      HANDLE find = FindFirstFileA((std::string(folder) + "*").c_str(), &found);
      if (find != INVALID_HANDLE_VALUE) {
        do {
          DeleteFileA((std::string(folder) + found.cFileName).c_str());
        } while (FindNextFileA(find, &found));
        FindClose(find);
      }
      RemoveDirectoryA(folder);
    }
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
      HKEY key;
      if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\NORVA\\PRINTER", 0, KEY_ALL_ACCESS | view, &key) ==
          ERROR_SUCCESS) {
        RegDeleteTreeA(key, driver_name().c_str());
        RegCloseKey(key);
      }
    }
  }
}

std::string ModelPrinter::DriverDirectory() const {
  const std::string& data_file = printer_.data_file();
  const size_t slash = data_file.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : data_file.substr(0, slash + 1);
}

std::string ModelPrinter::VariantFileName(int ink_set) const {
  return stem_ + InkSetSuffix(model_, ink_set) + ".CFG";
}

bool ModelPrinter::WriteDriverFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::ofstream out(DriverDirectory() + name, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  written_.push_back(name);
  return static_cast<bool>(out);
}

bool ModelPrinter::DeleteDriverFile(const std::string& name) {
  return DeleteFileA((DriverDirectory() + name).c_str()) != 0;
}

bool ModelPrinter::SetInfoKey(const std::string& key, const std::string& value) {
  data_.SetInfo(key, value);
  return printer_.RewriteDataFile(data_.Render());
}

bool ModelPrinter::AppendDataText(const std::string& text) {
  return printer_.RewriteDataFile(data_.Render() + text);
}

bool ModelPrinter::InstallResourceLibrary(const std::string& standin) {
  const std::string name = stem_ + "_" + standin;
  if (!CopyFileA((TestProgramDirectory() + standin).c_str(), (DriverDirectory() + name).c_str(), FALSE)) return false;
  written_.push_back(name);
  data_.SetInfo("UIRESModuleI64", name);
  data_.SetInfo("UIRES2ModuleI64", name);
  return printer_.RewriteDataFile(data_.Render());
}

bool ModelPrinter::StoreInkCodes(const uint8_t codes[16], uint32_t length) {
  uint8_t value[32] = {};
  value[0] = 1;
  std::memcpy(value + 4, &length, 4);
  std::memcpy(value + 8, codes, 16);
  const std::string key = PrinterKey(driver_name(), printer_name());
  HKEY handle;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const bool stored = RegSetValueExA(handle, "INKINF", 0, REG_BINARY, value, sizeof(value)) == ERROR_SUCCESS;
  RegCloseKey(handle);
  return stored;
}

bool ModelPrinter::StoreInkSet(int ink_set) {
  const uint32_t word = model_.header.ink_word;
  const uint32_t length = (word & 0x8000u) ? (word >> 24) : (word & 0xFFu);
  return StoreInkCodes(model_.ink_sets[ink_set].codes, length);
}

void ModelPrinter::ForgetInkSet() {
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, PrinterKey(driver_name(), printer_name()).c_str(), "INKINF");
}

}  // namespace testkit
