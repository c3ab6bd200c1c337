// The stored road: a refresh helper program asks the printer and stores the reply, its time and
// the request flag in the printer's key; the object reads them back.
#include <cstdio>
#include <cstring>

#include "kalimu/platform/driver_file.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/platform/unique_handle.h"
#include "kalimu/status/printer_status.h"
#include "kalimu/storage/locator_paths.h"

namespace kalimu::status {
namespace {

using storage::kValueRxFlag;
using storage::kValueRxStatus;
using storage::kValueRxTime;
using storage::kViewBoth;
using storage::kViewDefault;

constexpr char kRequestFilePrefix[] = "vik";
constexpr char kPrinterRootKey[] = "SOFTWARE\\NORVA\\PRINTER\\";

}  // namespace

int IsReplyTimeFresh(const SYSTEMTIME& stored, const SYSTEMTIME& now, uint16_t limit) {
  if (stored.wYear != now.wYear || stored.wMonth != now.wMonth || stored.wDay != now.wDay) return 0;
  uint16_t age = 0;
  if (now.wHour == stored.wHour) {
    age = static_cast<uint16_t>(now.wMinute - stored.wMinute);  // a later stored minute wraps
  } else if (now.wHour == stored.wHour + 1) {
    age = static_cast<uint16_t>(now.wMinute - stored.wMinute + 60);
  } else {
    return 0;
  }
  return age < limit ? 1 : 0;
}

int32_t PrinterStatus::GetRequestFlag() const {
  int32_t flag = kRequestNone;
  DWORD size = sizeof flag;
  if (registry_.ReadValueById(kValueRxFlag, &flag, &size, kViewDefault) != ERROR_SUCCESS ||
      size != sizeof flag) {
    return kRequestNone;
  }
  return flag;
}

int PrinterStatus::IsStoredStatusFresh(uint16_t limit_minutes) const {
  SYSTEMTIME stored = {};
  DWORD size = sizeof stored;
  if (registry_.ReadValueById(kValueRxTime, &stored, &size, kViewDefault) != ERROR_SUCCESS ||
      size != sizeof stored) {
    return 0;
  }
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  return IsReplyTimeFresh(stored, now, limit_minutes);
}

int PrinterStatus::CreateRequestFile(char* out, size_t size) const {
  char folder[MAX_PATH];
  const DWORD n = GetTempPathA(sizeof folder, folder);
  if (n == 0 || n >= sizeof folder) return 0;
  platform::DriverFile file;
  char path[MAX_PATH];
  if (!file.CreateTempFile(folder, kRequestFilePrefix, path)) return 0;
  // One line naming the printer's key: "SOFTWARE\NORVA\PRINTER\<driver>\@<printer>" in quotes.
  char line[3 * MAX_PATH];
  const int length = std::snprintf(line, sizeof line, "\"%s%s\\@%s\"", kPrinterRootKey,
                                   driver_name_, printer_name_);
  const bool written = length > 0 && static_cast<size_t>(length) < sizeof line &&
                       file.Write(line, static_cast<DWORD>(length), nullptr) == length;
  file.Close();
  if (!written) {
    DeleteFileA(path);
    return 0;
  }
  return storage::FileNameAndExtensionOf(path, out, size);
}

int PrinterStatus::StartStatusRefresh() {
  // The flag goes first, so that pollers wait for this refresh even when it fails to start.
  const int32_t pending = kRequestPending;
  registry_.WriteValueById(kValueRxFlag, &pending, sizeof pending, kViewBoth);

  char request[MAX_PATH];
  if (!CreateRequestFile(request, sizeof request)) return 0;
  if (LaunchRefreshHelper(request)) return 1;
  // Nobody will read the request: it goes again.
  char folder[MAX_PATH];
  const DWORD n = GetTempPathA(sizeof folder, folder);
  if (n > 0 && n < sizeof folder && platform::AppendStringA(folder, sizeof folder, request)) DeleteFileA(folder);
  return 0;
}

bool PrinterStatus::LaunchRefreshHelper(const char* request) {
  char library_path[MAX_PATH];
  char library[MAX_PATH] = "";
  if (locator_.GetStatusModulePath(library_path, sizeof library_path)) {
    storage::FileNameAndExtensionOf(library_path, library, sizeof library);
  }
  char helper[MAX_PATH];
  char program[MAX_PATH];
  if (!locator_.GetRefreshUtilityName(helper, sizeof helper) ||
      std::snprintf(program, sizeof program, "%s%s", driver_directory_, helper) >= static_cast<int>(sizeof program)) {
    return false;
  }
  char command[4 * MAX_PATH];
  std::snprintf(command, sizeof command, " *A\"%s\"\"%s\" *T\"@\"", library, request);

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(program, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  // The helper runs on its own: its handles are not kept.
  const platform::UniqueKernelHandle thread(process.hThread);
  const platform::UniqueKernelHandle started(process.hProcess);
  return true;
}

uint16_t PrinterStatus::RefreshStatus() {
  const int32_t flag = GetRequestFlag();
  const bool fresh = flag != kRequestNone && IsStoredStatusFresh(kFreshReplyMinutes);
  if (fresh && flag == kRequestReplyStored) {
    LoadStoredStatus();
    return kRefreshLoaded;
  }
  if (fresh && flag != kRequestNoReply) return kRefreshPending;
  return StartStatusRefresh() ? kRefreshPending : kRefreshNotStarted;
}

int32_t PrinterStatus::LoadStoredStatus() {
  uint8_t stored[kStoredReplyMax] = {};
  DWORD size = sizeof stored;
  if (registry_.ReadValueById(kValueRxStatus, stored, &size, kViewDefault) != ERROR_SUCCESS) size = 0;
  if (!AdoptReply(stored, size)) return -1;
  return ParseReply();
}

}  // namespace kalimu::status
