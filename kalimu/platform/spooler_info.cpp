// One-call reads of the spooler's information records.
#include "kalimu/platform/spooler_info.h"

namespace kalimu::platform {
namespace {

// Room for a printer's level-2 record with a device mode of this driver and long names.
constexpr DWORD kFirstBufferBytes = 8192;

}  // namespace

BYTE* ReadSpoolerRecord(const std::function<BOOL(BYTE*, DWORD, DWORD*)>& call, size_t min_size, GlobalBlock& block) {
  DWORD needed = 0;
  if (!block.Allocate(kFirstBufferBytes)) return nullptr;
  if (call(block.data(), kFirstBufferBytes, &needed)) return block.data();
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed < min_size || needed <= kFirstBufferBytes ||
      !block.Allocate(needed) || !call(block.data(), needed, &needed)) {
    block.Reset();
    return nullptr;
  }
  return block.data();
}

}  // namespace kalimu::platform
