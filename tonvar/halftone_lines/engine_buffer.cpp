// Allocation, slices and release of the halftoning engines' buffers.
#include "tonvar/halftone_lines/engine_buffer.h"

namespace tonvar::halftone_lines {

EngineStatus AllocEngineBuffer(EngineBuffer* buffer, uint64_t size_bytes, uint32_t zero_fill) {
  buffer->allocation = common::MemAlloc(size_bytes, zero_fill);
  if (buffer->allocation == nullptr) return kStatusAllocFailed;
  void* data = common::MemLock(buffer->allocation);
  if (data == nullptr) {
    common::MemFree(buffer->allocation);
    buffer->allocation = nullptr;
    return kStatusLockFailed;
  }
  buffer->data = static_cast<uint8_t*>(data);
  buffer->size = size_bytes;
  return kStatusOk;
}

EngineStatus SetEngineBuffer(EngineBuffer* buffer, uint8_t* data, common::MemHandle allocation,
                             uint64_t size_bytes) {
  buffer->size = size_bytes;
  buffer->data = data;
  buffer->allocation = allocation;
  return kStatusOk;
}

EngineStatus FreeEngineBuffers(EngineBuffer* buffers, size_t count) {
  bool unlock_failed = false;
  for (size_t i = 0; i < count; ++i) {
    EngineBuffer& b = buffers[i];
    if (b.data == nullptr || b.allocation == nullptr) continue;
    if (common::MemUnlock(b.allocation) != 0) {
      unlock_failed = true;
      b.allocation = nullptr;  // still locked: freeing it now would be unsafe
    }
    b.data = nullptr;
  }
  bool free_failed = false;
  for (size_t i = 0; i < count; ++i) {
    EngineBuffer& b = buffers[i];
    if (b.allocation == nullptr) continue;
    if (common::MemFree(b.allocation) != 0) free_failed = true;
    b.allocation = nullptr;
  }
  if (unlock_failed) return kStatusUnlockFailed;
  if (free_failed) return kStatusFreeFailed;
  return kStatusOk;
}

}  // namespace tonvar::halftone_lines
