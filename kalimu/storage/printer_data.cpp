// Registry store: the printer's own data values through the spooler.
#include "kalimu/platform/text_conversion.h"
#include "kalimu/storage/driver_registry.h"

#include <winspool.h>

namespace kalimu::storage {

DWORD DriverRegistry::ReadPrinterData(HANDLE printer, const char* value_name, DWORD* out_type,
                                      void* data, DWORD size, DWORD* out_needed) {
  // A read without somewhere to put its result is refused, never reported as
  // a success.
  if (out_type == nullptr || data == nullptr || out_needed == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  if (value_name == nullptr) return ERROR_INVALID_PARAMETER;
  auto name = platform::WideFromAnsi(value_name);
  if (!name) return ERROR_INVALID_PARAMETER;
  return GetPrinterDataW(printer, name->data(), out_type, static_cast<BYTE*>(data), size,
                         out_needed);
}

DWORD DriverRegistry::WritePrinterData(HANDLE printer, const char* value_name, DWORD type,
                                       const void* data, DWORD size) {
  if (value_name == nullptr) return ERROR_INVALID_PARAMETER;
  auto name = platform::WideFromAnsi(value_name);
  if (!name) return ERROR_INVALID_PARAMETER;
  if (type == REG_SZ && data != nullptr && size > 0) {
    // The byte count is the converted text's own: under a double-byte code
    // page it is not twice the ANSI byte count.
    auto wide = platform::WideFromAnsi({static_cast<const char*>(data), size});
    if (!wide) return ERROR_INVALID_PARAMETER;
    return SetPrinterDataW(printer, name->data(), REG_SZ, reinterpret_cast<BYTE*>(wide->data()),
                           static_cast<DWORD>(sizeof(wchar_t) * wide->size()));
  }
  return SetPrinterDataW(printer, name->data(), type,
                         static_cast<BYTE*>(const_cast<void*>(data)), size);
}

}  // namespace kalimu::storage
