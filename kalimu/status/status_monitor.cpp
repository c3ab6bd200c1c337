// One query of the status-monitor library.
#include "kalimu/status/status_monitor.h"

#include <algorithm>
#include <cstring>

#include "kalimu/platform/global_block.h"
#include "kalimu/platform/unique_handle.h"

namespace kalimu::status {
namespace {

// Copies the text a record pointer leads to. The library runs in this process and its pointers
// are its answer, so a text is read wherever it lies: one inside the block is cut at the
// block's end, any text at the output's size; a null pointer is an empty text.
void CopyRecordText(const platform::GlobalBlock& block, size_t offset, char* out, size_t out_size) {
  out[0] = '\0';
  uintptr_t pointer = 0;
  std::memcpy(&pointer, block.data() + offset, sizeof pointer);
  if (pointer == 0) return;
  const char* text = reinterpret_cast<const char*>(pointer);
  const uintptr_t begin = reinterpret_cast<uintptr_t>(block.data());
  size_t room = out_size - 1;
  if (pointer >= begin && pointer < begin + block.size()) room = std::min(room, begin + block.size() - pointer);
  const size_t n = strnlen(text, room);
  std::memcpy(out, text, n);
  out[n] = '\0';
}

}  // namespace

int32_t QueryStatusMonitor(const char* library_path, const char* printer_name,
                           const char* driver_name, MonitorInfo* out) {
  *out = MonitorInfo{};
  if (library_path == nullptr || library_path[0] == '\0') return kMonitorFailed;
  platform::UniqueModule library(LoadLibraryA(library_path));
  if (!library) return kMonitorFailed;
  const auto query = reinterpret_cast<MonitorQueryProc>(GetProcAddress(library.get(), kMonitorQueryExport));
  int32_t answer = kMonitorFailed;
  platform::GlobalBlock block;
  if (query != nullptr) {
    uint32_t needed = 0;
    query(printer_name, driver_name, kMonitorInfoLevel, nullptr, 0, &needed);
    if (block.Allocate(needed)) {
      answer = query(printer_name, driver_name, kMonitorInfoLevel, block.data(),
                     static_cast<uint32_t>(block.size()), &needed);
    }
  }
  // Everything needed is copied before the library goes: its texts may live in its own data.
  if (block.held() && answer != kMonitorFailed && answer != kMonitorNotServed) {
    if (block.size() < kMonitorRecordMinSize) {
      answer = kMonitorFailed;
    } else {
      std::memcpy(&out->mode, block.data() + kRecordMode, sizeof out->mode);
      CopyRecordText(block, kRecordInstallArgument, out->install_argument, sizeof out->install_argument);
      CopyRecordText(block, kRecordProgram2, out->program2, sizeof out->program2);
      CopyRecordText(block, kRecordProgram3, out->program3, sizeof out->program3);
      CopyRecordText(block, kRecordJobProgram, out->job_program, sizeof out->job_program);
      CopyRecordText(block, kRecordInstallProgram, out->install_program, sizeof out->install_program);
      CopyRecordText(block, kRecordModuleProgram, out->module_program, sizeof out->module_program);
    }
  }
  if (!block.held()) answer = kMonitorFailed;
  out->answer = answer;
  return answer;
}

}  // namespace kalimu::status
