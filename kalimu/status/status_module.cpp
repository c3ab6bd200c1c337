// The direct road: the status-monitor library names the printer module, whose
// "PrGetPrinterStatus" hands back the reply at once.
#include <cstdio>

#include "kalimu/platform/unique_handle.h"
#include "kalimu/status/printer_status.h"
#include "kalimu/status/status_monitor.h"

namespace kalimu::status {
namespace {

constexpr char kPrinterStatusExport[] = "PrGetPrinterStatus";
// "PrGetPrinterStatus" (printer name, reply block out) -> reply length.
using PrinterStatusProc = int32_t(WINAPI*)(const char* printer_name, void** reply);

}  // namespace

int32_t PrinterStatus::QueryStatusModule(char* out, size_t size) {
  char library[MAX_PATH];
  if (!locator_.GetStatusModulePath(library, sizeof library)) return -1;
  MonitorInfo info;
  const int32_t answer = QueryStatusMonitor(library, printer_name_, driver_name_, &info);
  if (answer == kMonitorFailed) return -1;
  if (answer == kMonitorNotServed) return 1;
  // A path cut at the buffer's end would name another file: such a module cannot be reached.
  const int length = std::snprintf(out, size, "%s%s", driver_directory_, info.module_program);
  if (length < 0 || static_cast<size_t>(length) >= size) {
    if (size > 0) out[0] = '\0';
    return -1;
  }
  if (answer == kMonitorServedDirect) return 2;
  return info.mode == 1 ? 3 : 4;
}

int32_t PrinterStatus::FetchStatusFromModule() {
  char path[MAX_PATH] = "";
  const int32_t kind = QueryStatusModule(path, sizeof path);
  if (kind != 3 && kind != 4) return 0;
  platform::UniqueModule module(LoadLibraryA(path));
  if (!module) return 0;
  const auto get_status =
      reinterpret_cast<PrinterStatusProc>(GetProcAddress(module.get(), kPrinterStatusExport));
  if (get_status == nullptr) return 0;
  void* reply = nullptr;
  int32_t length = get_status(printer_name_, &reply);
  const platform::UniqueGlobal block(reply);
  // The module's block is trusted only as far as it reaches.
  if (length > 0 && (reply == nullptr || GlobalSize(reply) < static_cast<SIZE_T>(length))) length = 0;
  if (length > 0 && !AdoptReply(static_cast<const uint8_t*>(reply), static_cast<size_t>(length))) length = 0;
  if (length <= 0) return 0;
  ParseReply();
  return length;
}

}  // namespace kalimu::status
