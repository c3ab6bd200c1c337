// Creation and destruction of a sheet's context.
#include "kalimu/driver/sheet_context.h"

#include <winspool.h>

#include <cstring>
#include <memory>

#include "kalimu/platform/global_block.h"
#include "kalimu/platform/spooler_info.h"
#include "kalimu/platform/text_conversion.h"
#include "kalimu/platform/unique_handle.h"

namespace kalimu::driver {
namespace {

constexpr SIZE_T kInitialHeapBytes = 8192;

// Private heaps of HeapCreate: HeapDestroy.
struct PrivateHeapTraits {
  using Handle = HANDLE;
  static HANDLE Empty() { return nullptr; }
  static void Close(HANDLE heap) { HeapDestroy(heap); }
};
using UniqueHeap = platform::UniqueHandle<PrivateHeapTraits>;

// The printer's driver information must be readable and its name must have an ANSI form.
bool HasReadableDriver(HANDLE printer) {
  platform::GlobalBlock block;
  const auto* info = reinterpret_cast<const DRIVER_INFO_2W*>(platform::ReadSpoolerRecord(
      [printer](BYTE* buffer, DWORD size, DWORD* needed) {
        return GetPrinterDriverW(printer, nullptr, 2, buffer, size, needed);
      },
      sizeof(DRIVER_INFO_2W), block));
  return info != nullptr && info->pName != nullptr && platform::AnsiFromWide(info->pName).has_value();
}

// "KVProperty" as stored: false when it is missing, short or of another version.
bool ReadPrinterPropertyRecord(HANDLE printer, PrinterPropertyRecord* out) {
  DWORD type = 0;
  DWORD needed = 0;
  uint8_t probe = 0;  // the size query still names a buffer
  settings::JobSettings::GetPrinterDataValue(printer, kPrinterPropertyValue, &type, &probe, 0, &needed);
  platform::GlobalBlock block;
  if (needed < sizeof(PrinterPropertyRecord) || !block.Allocate(needed) ||
      settings::JobSettings::GetPrinterDataValue(printer, kPrinterPropertyValue, &type, block.data(), needed,
                                                 &needed) != ERROR_SUCCESS ||
      needed < sizeof(PrinterPropertyRecord)) {
    return false;
  }
  std::memcpy(out, block.data(), sizeof(*out));
  return out->version == kPrinterPropertyVersion;
}

}  // namespace

SheetContext* CreateSheetContext(HANDLE printer, const DEVMODEW* dev_mode, int kind) {
  UniqueHeap heap(HeapCreate(HEAP_NO_SERIALIZE, kInitialHeapBytes, 0));
  if (!heap) return nullptr;
  auto* context = static_cast<SheetContext*>(HeapAlloc(heap.get(), HEAP_ZERO_MEMORY, sizeof(SheetContext)));
  if (context == nullptr || printer == nullptr || !HasReadableDriver(printer)) return nullptr;
  context->heap = heap.get();
  context->printer = printer;

  // The printer's current settings: its stored record of this driver, else the defaults.
  settings::JobSettingsPtr current(settings::CreateJobSettings(nullptr, printer, nullptr, nullptr));
  if (current == nullptr) return nullptr;
  std::memcpy(&context->dev_mode, current->GetDriverDevMode(), sizeof(context->dev_mode));

  if (!ReadPrinterPropertyRecord(printer, &context->printer_properties)) {
    context->printer_properties = PrinterPropertyRecord{};
    context->printer_properties.version = kPrinterPropertyVersion;
    context->printer_properties.source_count = current->GetSourceIds(nullptr);
  }
  if (kind != kDeviceSheet && dev_mode != nullptr) {
    // What cannot be taken over keeps the printer's value; the merge's own answer says nothing more.
    current->MergeDevMode(dev_mode, printer);
    std::memcpy(&context->dev_mode, current->GetDriverDevMode(), sizeof(context->dev_mode));
  }
  heap.Release();  // the context owns its heap from here on
  return context;
}

void DestroySheetContext(SheetContext* context) {
  if (context == nullptr) return;
  settings::DestroyJobSettings(context->settings);
  HeapDestroy(context->heap);
}

}  // namespace kalimu::driver
