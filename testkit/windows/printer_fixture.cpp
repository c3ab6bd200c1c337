// Printer fixture: a driver with a generated data file and a printer on a file port.
#include "testkit/windows/printer_fixture.h"

#include <winspool.h>

#include <atomic>
#include <fstream>
#include <memory>

namespace testkit {
namespace {

std::wstring Widen(const std::string& text) {
  const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
  if (n > 1) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), n);
  return wide;
}

std::string Narrow(const wchar_t* text) {
  if (text == nullptr) return {};
  const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), n, nullptr, nullptr);
  return narrow;
}

std::atomic<int> g_counter{0};

}  // namespace

bool WriteFileText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  return static_cast<bool>(out);
}

std::string TestProgramDirectory() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, n);
  return dir.substr(0, dir.find_last_of('\\') + 1);
}

bool TestPrinter::Fail(const std::string& what) {
  error_ = what + " failed, error " + std::to_string(GetLastError());
  return false;
}

TestPrinter::TestPrinter(const std::string& name_base, const std::string& data_file_text,
                         const std::string& config_module) {
  const std::string unique =
      std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++g_counter);
  driver_name_ = "NORVA Test " + name_base + " " + unique;
  printer_name_ = "NORVA Printer " + name_base + " " + unique;
  const std::string file_base = "kvt" + unique;

  wchar_t driver_dir[MAX_PATH];
  DWORD needed = 0;
  if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(driver_dir),
                                  sizeof(driver_dir), &needed)) {
    Fail("GetPrinterDriverDirectoryW");
    return;
  }
  const std::string dir = Narrow(driver_dir) + "\\";
  const std::string module = dir + file_base + "_ui.dll";
  const std::string ini = dir + file_base + ".ini";
  files_ = {module, ini};
  if (!CopyFileA((TestProgramDirectory() + config_module).c_str(), module.c_str(), FALSE)) {
    Fail("copying the configuration module");
    return;
  }
  if (!WriteFileText(ini, data_file_text)) {
    Fail("writing the driver data file");
    return;
  }

  std::wstring name = Widen(driver_name_);
  std::wstring module_w = Widen(module);
  std::wstring ini_w = Widen(ini);
  DRIVER_INFO_3W info = {};
  info.cVersion = 3;
  info.pName = name.data();
  info.pDriverPath = module_w.data();
  info.pDataFile = ini_w.data();
  info.pConfigFile = module_w.data();
  if (!AddPrinterDriverW(nullptr, 3, reinterpret_cast<BYTE*>(&info))) {
    Fail("AddPrinterDriverW");
    return;
  }
  driver_added_ = true;

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::wstring printer = Widen(printer_name_);
  port_file_ = std::string(temp) + file_base + ".prn";
  std::wstring port = Widen(port_file_);
  std::wstring processor = L"winprint";
  std::wstring datatype = L"RAW";
  PRINTER_INFO_2W printer_info = {};
  printer_info.pPrinterName = printer.data();
  printer_info.pPortName = port.data();
  printer_info.pDriverName = name.data();
  printer_info.pPrintProcessor = processor.data();
  printer_info.pDatatype = datatype.data();
  printer_info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
  handle_ = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&printer_info));
  if (handle_ == nullptr) {
    Fail("AddPrinterW");
    return;
  }
  ClosePrinter(handle_);
  handle_ = nullptr;
  PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
  if (!OpenPrinterW(printer.data(), &handle_, &defaults)) {
    handle_ = nullptr;
    Fail("OpenPrinterW");
    return;
  }

  needed = 0;
  GetPrinterDriverW(handle_, nullptr, 2, nullptr, 0, &needed);
  auto buffer = std::make_unique<BYTE[]>(needed ? needed : 1);
  if (!GetPrinterDriverW(handle_, nullptr, 2, buffer.get(), needed, &needed)) {
    Fail("GetPrinterDriverW");
    return;
  }
  const auto* installed = reinterpret_cast<DRIVER_INFO_2W*>(buffer.get());
  data_file_ = Narrow(installed->pDataFile);
  files_ = {module, ini, Narrow(installed->pDriverPath), Narrow(installed->pConfigFile),
            data_file_, port_file_};
}

bool TestPrinter::RewriteDataFile(const std::string& data_file_text) const {
  return !data_file_.empty() && WriteFileText(data_file_, data_file_text);
}

TestPrinter::~TestPrinter() {
  if (handle_ != nullptr) {
    DeletePrinter(handle_);
    ClosePrinter(handle_);
  }
  if (driver_added_) {
    std::wstring name = Widen(driver_name_);
    DeletePrinterDriverExW(nullptr, nullptr, name.data(), DPD_DELETE_ALL_FILES, 0);
  }
  // The spooler may leave the files behind.
  for (const std::string& file : files_) DeleteFileA(file.c_str());
}

}  // namespace testkit
