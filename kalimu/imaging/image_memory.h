// Memory routines of the image engines: every block they make is made and freed here.
#pragma once

#include <cstddef>
#include <cstdint>

// Only the Windows library ships; the host build is a test build and carries the
// allocation-failure seam below.
#if !defined(_WIN32) && !defined(KALIMU_IMAGING_FAULT_SEAMS)
#define KALIMU_IMAGING_FAULT_SEAMS 1
#endif

namespace kalimu::imaging {

// A moveable global-memory block (zero-filled when zero_fill is 1), locked at once: the
// locked address, or null.
void* ImageBlockAlloc(size_t size, uint32_t zero_fill);
// Blocks stay locked from allocation on: the address itself.
void* ImageBlockLock(void* block);
// Unlocks and frees the block holding `block` (null is accepted). Always 0.
int32_t ImageBlockFree(void* block);
int32_t ImageBlockCopy(void* destination, const void* source, size_t size);
int32_t ImageBlockZero(void* block, size_t size);
// Releases a loaded resource: 1 when the release succeeded, else 0 (also for null).
int32_t ImageResourceRelease(void* resource);

// An engine block held for the length of a scope; freed on every path.
class ScopedImageBlock {
 public:
  ScopedImageBlock(size_t size, uint32_t zero_fill) : data_(ImageBlockAlloc(size, zero_fill)) {}
  ~ScopedImageBlock() { ImageBlockFree(data_); }
  ScopedImageBlock(const ScopedImageBlock&) = delete;
  ScopedImageBlock& operator=(const ScopedImageBlock&) = delete;
  template <typename T>
  T* as() const { return static_cast<T*>(data_); }
  bool held() const { return data_ != nullptr; }

 private:
  void* data_;
};

#ifdef KALIMU_IMAGING_FAULT_SEAMS
// Test builds only: the n-th ImageBlockAlloc from now (1 = the next) fails, counting only
// requests of only_size bytes when that is not 0; n = 0 clears it. BlocksLive counts blocks
// allocated and not yet freed.
namespace faults {
void FailNthAlloc(int n, size_t only_size = 0);
int AllocCalls();
int BlocksLive();
void Reset();
struct ScopedReset {
  ScopedReset() { Reset(); }
  ~ScopedReset() { Reset(); }
  ScopedReset(const ScopedReset&) = delete;
  ScopedReset& operator=(const ScopedReset&) = delete;
};
}  // namespace faults
#endif

}  // namespace kalimu::imaging
