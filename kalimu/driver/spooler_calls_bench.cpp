// Speed of the spooler's no-window calls: DrvDeviceCapabilities(DC_PAPERS) with an open printer
// and DocumentPropertiesW merging a caller's record through Wine's spooler, beside the same
// public calls on a printer of Wine's own PostScript driver in the same run. Run by hand under
// Wine: kalimu_spooler_calls_bench.exe [seconds per measurement, default 1].
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "kalimu/driver/driver_ui_types.h"
#include "testkit/kalimu/driver_printer.h"
#include "testkit/kalimu/stored_dev_mode.h"
#include "testkit/windows/printer_fixture.h"

namespace {

// A printer of Wine's PostScript driver with a small generated model description.
constexpr char kPpd[] =
    "*PPD-Adobe: \"4.3\"\r\n*FormatVersion: \"4.3\"\r\n*FileVersion: \"1.0\"\r\n*LanguageVersion: English\r\n"
    "*LanguageEncoding: ISOLatin1\r\n*PCFileName: \"KVBENCH.PPD\"\r\n*Manufacturer: \"Bench\"\r\n"
    "*Product: \"(Bench)\"\r\n*ModelName: \"Bench PS\"\r\n*NickName: \"Bench PS\"\r\n*PSVersion: \"(3010) 0\"\r\n"
    "*ColorDevice: True\r\n*DefaultColorSpace: RGB\r\n*OpenUI *PageSize: PickOne\r\n*DefaultPageSize: A4\r\n"
    "*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\r\n"
    "*PageSize Letter/Letter: \"<</PageSize[612 792]>>setpagedevice\"\r\n*CloseUI: *PageSize\r\n"
    "*DefaultImageableArea: A4\r\n*ImageableArea A4/A4: \"18 18 577 824\"\r\n"
    "*ImageableArea Letter/Letter: \"18 18 594 774\"\r\n*DefaultPaperDimension: A4\r\n"
    "*PaperDimension A4/A4: \"595 842\"\r\n*PaperDimension Letter/Letter: \"612 792\"\r\n";

class PostScriptPrinter {
 public:
  PostScriptPrinter() {
    wchar_t directory[MAX_PATH];
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory), sizeof(directory),
                                    &needed)) {
      return;
    }
    const std::wstring dir = std::wstring(directory) + L"\\";
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    CopyFileW((std::wstring(system) + L"\\wineps.drv").c_str(), (dir + L"wineps.drv").c_str(), FALSE);
    ppd_ = dir + L"kvbench.ppd";
    HANDLE file = CreateFileW(ppd_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, kPpd, sizeof(kPpd) - 1, &written, nullptr);
    CloseHandle(file);

    std::wstring driver_path = dir + L"wineps.drv";
    DRIVER_INFO_3W info = {};
    info.cVersion = 3;
    info.pName = driver_.data();
    info.pDriverPath = driver_path.data();
    info.pDataFile = ppd_.data();
    info.pConfigFile = driver_path.data();
    if (!AddPrinterDriverW(nullptr, 3, reinterpret_cast<BYTE*>(&info))) {
      std::printf("AddPrinterDriverW (PostScript) failed: %lu\n", GetLastError());
      return;
    }
    std::wstring port = L"FILE:";
    std::wstring processor = L"winprint";
    std::wstring datatype = L"RAW";
    PRINTER_INFO_2W printer = {};
    printer.pPrinterName = name_.data();
    printer.pPortName = port.data();
    printer.pDriverName = driver_.data();
    printer.pPrintProcessor = processor.data();
    printer.pDatatype = datatype.data();
    printer.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    handle_ = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
    if (handle_ == nullptr) std::printf("AddPrinterW (PostScript) failed: %lu\n", GetLastError());
  }
  ~PostScriptPrinter() {
    if (handle_ != nullptr) {
      DeletePrinter(handle_);
      ClosePrinter(handle_);
    }
    DeletePrinterDriverW(nullptr, nullptr, driver_.data());
    DeleteFileW(ppd_.c_str());
  }
  bool ok() const { return handle_ != nullptr; }
  std::wstring& name() { return name_; }

 private:
  std::wstring driver_ = L"Kalimu Bench PostScript";
  std::wstring name_ = L"Kalimu Bench PostScript Printer";
  std::wstring ppd_;
  HANDLE handle_ = nullptr;
};

// Calls per second of call over about `seconds` (at least 10 calls); 0 when a call fails.
double CallsPerSecond(double seconds, const std::function<bool()>& call) {
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  long calls = 0;
  do {
    for (int k = 0; k < 10; ++k, ++calls) {
      if (!call()) return 0;
    }
    QueryPerformanceCounter(&now);
  } while (static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart) < seconds);
  return calls / (static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
}

void Report(const char* what, double ours, double postscript) {
  std::printf("%-48s Kalimu %10.0f/s   PostScript %10.0f/s   ratio %.1e\n", what, ours, postscript,
              postscript > 0 ? ours / postscript : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 1.0;
  testkit::DriverPrinter kalimu(testkit::RollPaperModel(), testkit::kKalimuModule);
  PostScriptPrinter postscript;
  if (!kalimu.ok() || !postscript.ok()) {
    std::printf("printers not installed: %s\n", kalimu.ok() ? "PostScript" : kalimu.error().c_str());
    return 1;
  }
  std::wstring kalimu_name = kalimu.wide_printer_name();
  HANDLE handle = kalimu.handle();
  HANDLE ps_handle = nullptr;
  OpenPrinterW(postscript.name().data(), &ps_handle, nullptr);

  // A merge: a record of the printer handed in and back out.
  auto merge = [&](HANDLE printer, std::wstring& name) {
    const LONG size = DocumentPropertiesW(nullptr, printer, name.data(), nullptr, nullptr, 0);
    std::vector<uint8_t> in(size > 0 ? size : 1), out(size > 0 ? size : 1);
    DocumentPropertiesW(nullptr, printer, name.data(), reinterpret_cast<DEVMODEW*>(in.data()), nullptr, DM_OUT_BUFFER);
    return CallsPerSecond(seconds, [&] {
      return DocumentPropertiesW(nullptr, printer, name.data(), reinterpret_cast<DEVMODEW*>(out.data()),
                                 reinterpret_cast<DEVMODEW*>(in.data()), DM_IN_BUFFER | DM_OUT_BUFFER) == IDOK;
    });
  };
  const double ps_capabilities = CallsPerSecond(seconds, [&] {
    return DeviceCapabilitiesW(postscript.name().c_str(), nullptr, DC_PAPERS, nullptr, nullptr) > 0;
  });
  const double ps_merge = merge(ps_handle, postscript.name());

  // First as the spooler left the printer (its own public record: the defaults are built on
  // every call), then holding a record of this driver, as after the printer's initialisation.
  for (const char* state : {"spooler's record", "driver's record"}) {
    std::printf("printer holding the %s\n", state);
    Report("  DrvDeviceCapabilities DC_PAPERS (open handle)", CallsPerSecond(seconds, [&] {
             return DrvDeviceCapabilities(handle, nullptr, DC_PAPERS, nullptr, nullptr) != GDI_ERROR;
           }), ps_capabilities);
    Report("  DocumentPropertiesW merge", merge(handle, kalimu_name), ps_merge);
    std::vector<uint8_t> record(1048);
    DocumentPropertiesW(nullptr, handle, kalimu_name.data(), reinterpret_cast<DEVMODEW*>(record.data()), nullptr,
                        DM_OUT_BUFFER);
    testkit::StorePrinterDevMode(handle, record.data());
  }
  if (ps_handle != nullptr) ClosePrinter(ps_handle);
  return 0;
}
