// Registry store: the printer's own data values through the spooler.
#include "kalimu/storage/driver_registry.h"
#include "kalimu/platform/text_helpers.h"

#include <winspool.h>

namespace kalimu::storage {

DWORD DriverRegistry::ReadPrinterData(HANDLE printer, const char* value_name, DWORD* out_type,
                                      void* data, DWORD size, DWORD* out_needed) {
  // A read without somewhere to put its result is refused, never reported as
  // a success.
  if (out_type == nullptr || data == nullptr || out_needed == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  wchar_t* name = platform::AllocWideFromAnsi(value_name);
  if (name == nullptr) return ERROR_INVALID_PARAMETER;
  const DWORD result =
      GetPrinterDataW(printer, name, out_type, static_cast<BYTE*>(data), size, out_needed);
  platform::FreeGlobalBlock(name);
  return result;
}

DWORD DriverRegistry::WritePrinterData(HANDLE printer, const char* value_name, DWORD type,
                                       const void* data, DWORD size) {
  wchar_t* name = platform::AllocWideFromAnsi(value_name);
  if (name == nullptr) return ERROR_INVALID_PARAMETER;
  DWORD result = ERROR_SUCCESS;
  if (type == REG_SZ && data != nullptr && size > 0) {
    // The byte count is the converted text's own: under a double-byte code
    // page it is not twice the ANSI byte count.
    const auto* text = static_cast<const char*>(data);
    const int chars = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(size), nullptr, 0);
    wchar_t* wide = chars > 0 ? static_cast<wchar_t*>(
                                    GlobalAlloc(GPTR, sizeof(wchar_t) * chars))
                              : nullptr;
    if (wide == nullptr ||
        MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(size), wide, chars) != chars) {
      result = ERROR_INVALID_PARAMETER;
    } else {
      result = SetPrinterDataW(printer, name, REG_SZ, reinterpret_cast<BYTE*>(wide),
                               sizeof(wchar_t) * chars);
    }
    platform::FreeGlobalBlock(wide);
  } else {
    result = SetPrinterDataW(printer, name, type,
                             static_cast<BYTE*>(const_cast<void*>(data)), size);
  }
  platform::FreeGlobalBlock(name);
  return result;
}

}  // namespace kalimu::storage
