// The spooler's questions about one job: how to lay it out (DrvQueryJobAttributes) and which
// colour profile the device uses (DrvQueryColorProfile). Both read the caller's record only.
#include <windows.h>

#include "kalimu/driver/caller_settings.h"
#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/driver/export_guard.h"
#include "kalimu/platform/text_helpers.h"

namespace kalimu::driver {
namespace {

constexpr DWORD kNupBorderFlags = 1;  // no border around the pages of a sheet (one page per side)
constexpr DWORD kColourManagedByHost = 1;  // ColorManagementMode
constexpr ULONG kProfileBytes = MAX_PATH * sizeof(wchar_t);

BOOL QueryJobAttributes(HANDLE printer, const DEVMODEW* dev_mode, DWORD level, BYTE* info) {
  if ((level != 1 && level != 2) || dev_mode == nullptr || info == nullptr) return FALSE;
  settings::DriverDevMode copy;
  settings::JobSettingsPtr settings = SettingsForCallerRecord(printer, dev_mode, copy);
  if (settings == nullptr) return FALSE;
  // ATTRIBUTE_INFO_2 begins with the fields of ATTRIBUTE_INFO_1.
  auto* attributes = reinterpret_cast<ATTRIBUTE_INFO_2*>(info);
  const DWORD page_order = settings->IsReverseOrder() ? REVERSE_PRINT : 0;
  attributes->dwJobNumberOfPagesPerSide = 1;
  attributes->dwDrvNumberOfPagesPerSide = 1;
  attributes->dwNupBorderFlags = kNupBorderFlags;
  attributes->dwJobPageOrderFlags = page_order;
  attributes->dwDrvPageOrderFlags = page_order;
  attributes->dwJobNumberOfCopies = static_cast<DWORD>(settings->GetCopies());
  attributes->dwDrvNumberOfCopies = static_cast<DWORD>(settings->GetCopies());
  if (level == 2) attributes->dwColorOptimization = 0;
  return TRUE;
}

BOOL QueryColorProfile(HANDLE printer, const DEVMODEW* dev_mode, ULONG query_mode, void* profile, ULONG* size,
                       FLONG* flags) {
  settings::DriverDevMode copy;
  settings::JobSettingsPtr settings = SettingsForCallerRecord(printer, dev_mode, copy);
  // A profile is answered only when the driver manages colour with the host's profile.
  if (settings == nullptr || printer == nullptr || settings->GetICMMethod() != DMICMMETHOD_DRIVER ||
      settings->GetColorManagementMode() != kColourManagedByHost || size == nullptr) {
    return FALSE;
  }
  if (*size < kProfileBytes) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    *size = kProfileBytes;
    return FALSE;
  }
  wchar_t name[MAX_PATH] = {};
  settings->GetPrinterProfile1(name, MAX_PATH);
  if (query_mode != QCP_DEVICEPROFILE || profile == nullptr) return FALSE;
  platform::CopyStringW(static_cast<wchar_t*>(profile), *size / sizeof(wchar_t), name);
  if (flags != nullptr) *flags = QCP_PROFILEDISK;
  return TRUE;
}

}  // namespace
}  // namespace kalimu::driver

extern "C" {

BOOL WINAPI DrvQueryJobAttributes(HANDLE printer, PDEVMODEW dev_mode, DWORD level, LPBYTE info) {
  using namespace kalimu::driver;
  return Guarded<BOOL>(FALSE, [&] { return QueryJobAttributes(printer, dev_mode, level, info); });
}

BOOL WINAPI DrvQueryColorProfile(HANDLE printer, PDEVMODEW dev_mode, ULONG query_mode, PVOID profile, ULONG* size,
                                 FLONG* flags) {
  using namespace kalimu::driver;
  return Guarded<BOOL>(FALSE, [&] { return QueryColorProfile(printer, dev_mode, query_mode, profile, size, flags); });
}

}  // extern "C"
