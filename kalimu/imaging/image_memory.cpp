// Moveable global memory on Windows; on the host a plain heap block with the same contract.
#include "kalimu/imaging/image_memory.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#endif

namespace kalimu::imaging {

#ifdef KALIMU_IMAGING_FAULT_SEAMS
namespace faults {
namespace {
// Test builds only; the shipped library keeps no mutable global state.
struct SeamState {
  int calls = 0;
  int fail_in = 0;        // matching requests until the failing one, 0 = none
  size_t only_size = 0;
  int live = 0;
};
SeamState seam;
}  // namespace

void FailNthAlloc(int n, size_t only_size) {
  seam.fail_in = n > 0 ? n : 0;
  seam.only_size = only_size;
}
int AllocCalls() { return seam.calls; }
int BlocksLive() { return seam.live; }
void Reset() { seam = SeamState{}; }

bool AllocShouldFail(size_t size) {
  ++seam.calls;
  if (seam.fail_in == 0 || (seam.only_size != 0 && size != seam.only_size)) return false;
  return --seam.fail_in == 0;
}
void CountLive(int delta) { seam.live += delta; }
}  // namespace faults
#define IMAGING_ALLOC_FAILS(size) faults::AllocShouldFail(size)
#define IMAGING_COUNT_LIVE(delta) faults::CountLive(delta)
#else
#define IMAGING_ALLOC_FAILS(size) false
#define IMAGING_COUNT_LIVE(delta) ((void)0)
#endif

void* ImageBlockAlloc(size_t size, uint32_t zero_fill) {
  if (IMAGING_ALLOC_FAILS(size)) return nullptr;
  if (size == 0) size = 1;  // an empty moveable block could not be locked
#ifdef _WIN32
  HGLOBAL handle = GlobalAlloc(zero_fill == 1 ? GMEM_MOVEABLE | GMEM_ZEROINIT : GMEM_MOVEABLE, size);
  if (handle == nullptr) return nullptr;
  void* data = GlobalLock(handle);
  if (data == nullptr) {
    GlobalFree(handle);
    return nullptr;
  }
#else
  void* data = zero_fill == 1 ? std::calloc(1, size) : std::malloc(size);
  if (data == nullptr) return nullptr;
#endif
  IMAGING_COUNT_LIVE(1);
  return data;
}

void* ImageBlockLock(void* block) { return block; }

int32_t ImageBlockFree(void* block) {
  if (block == nullptr) return 0;
#ifdef _WIN32
  HGLOBAL handle = GlobalHandle(block);
  if (handle != nullptr) {
    GlobalUnlock(handle);
    GlobalFree(handle);
  }
#else
  std::free(block);
#endif
  IMAGING_COUNT_LIVE(-1);
  return 0;
}

int32_t ImageBlockCopy(void* destination, const void* source, size_t size) {
  if (size != 0) std::memmove(destination, source, size);
  return 0;
}

int32_t ImageBlockZero(void* block, size_t size) {
  if (size != 0) std::memset(block, 0, size);
  return 0;
}

int32_t ImageResourceRelease(void* resource) {
  if (resource == nullptr) return 0;
#ifdef _WIN32
  // FreeResource answers FALSE when it released the resource.
  return FreeResource(static_cast<HGLOBAL>(resource)) ? 0 : 1;
#else
  return 1;  // the host has no loaded resources to give back
#endif
}

}  // namespace kalimu::imaging
