// Global-memory wrappers: GlobalAlloc on Windows, a small recording allocator on the host.
#include "tonvar/common/memory.h"

#include "tonvar/common/memory_faults.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#include <cstring>
#endif

#ifdef TONVAR_FAULT_SEAMS
#include <unordered_set>
#endif

namespace tonvar::common {

#ifdef TONVAR_FAULT_SEAMS
namespace faults {
namespace {
// Test builds only; the shipped library has no mutable global state.
struct SeamState {
  int calls[4] = {};
  int fail_at[4] = {};  // call number that fails, 0 = none
  int live = 0;
  // Blocks whose unlock was made to fail: their owner leaves them alone, so the seam releases
  // them at the next Reset to keep leak checkers quiet.
  std::unordered_set<void*> abandoned;
};
SeamState seam;

bool ShouldFail(MemOp op) {
  const int i = static_cast<int>(op);
  ++seam.calls[i];
  if (seam.fail_at[i] != 0 && seam.calls[i] == seam.fail_at[i]) {
    seam.fail_at[i] = 0;
    return true;
  }
  return false;
}
}  // namespace

void ReleaseBlock(MemHandle handle);

void FailNth(MemOp op, int n) {
  const int i = static_cast<int>(op);
  seam.fail_at[i] = n > 0 ? seam.calls[i] + n : 0;
}
void Reset() {
  auto abandoned = std::move(seam.abandoned);
  for (void* block : abandoned) ReleaseBlock(block);
  seam = SeamState{};
}
int Calls(MemOp op) { return seam.calls[static_cast<int>(op)]; }
int LiveBlocks() { return seam.live; }
}  // namespace faults
#define TONVAR_SEAM_FAILS(op) faults::ShouldFail(faults::MemOp::op)
#define TONVAR_SEAM_LIVE(delta) (faults::seam.live += (delta))
#define TONVAR_SEAM_FORGET(handle) faults::seam.abandoned.erase(handle)
#else
#define TONVAR_SEAM_FAILS(op) false
#define TONVAR_SEAM_LIVE(delta) ((void)0)
#define TONVAR_SEAM_FORGET(handle) ((void)0)
#endif

#ifndef _WIN32
namespace {
// Host stand-in for fixed global memory: the block records its own handle in a header so a
// free can tell a block of ours from anything else.
constexpr uint64_t kHostBlockTag = 0x6B636F6C42766E54ull;  // "TnvBlock"
struct alignas(16) HostBlockHeader {
  uint64_t tag;
  void* self;
};
}  // namespace
#endif

MemHandle MemAlloc(uint64_t size_bytes, uint32_t zero_fill) {
  if (TONVAR_SEAM_FAILS(kAlloc)) return nullptr;
#ifdef _WIN32
  MemHandle handle = GlobalAlloc(zero_fill ? GMEM_ZEROINIT : 0, static_cast<SIZE_T>(size_bytes));
#else
  if (size_bytes > (uint64_t{1} << 40)) return nullptr;
  auto* header = static_cast<HostBlockHeader*>(std::malloc(sizeof(HostBlockHeader) + size_bytes));
  if (header == nullptr) return nullptr;
  header->tag = kHostBlockTag;
  header->self = header + 1;
  if (zero_fill) std::memset(header + 1, 0, size_bytes);
  MemHandle handle = header + 1;
#endif
  if (handle != nullptr) TONVAR_SEAM_LIVE(1);
  return handle;
}

void* MemLock(MemHandle handle) {
  if (TONVAR_SEAM_FAILS(kLock)) return nullptr;
  return handle;
}

uint32_t MemUnlock(MemHandle handle) {
#ifdef TONVAR_FAULT_SEAMS
  if (TONVAR_SEAM_FAILS(kUnlock)) {
    if (handle != nullptr) faults::seam.abandoned.insert(handle);
    return 1;
  }
#endif
  return 0;
}

namespace {
uint32_t PlatformFree(MemHandle handle) {
#ifdef _WIN32
  if (GlobalFree(handle) != nullptr) return 0xFFFFFFFF;
#else
  auto* header = static_cast<HostBlockHeader*>(handle) - 1;
  if (header->tag != kHostBlockTag || header->self != handle) return 0xFFFFFFFF;
  header->tag = 0;
  std::free(header);
#endif
  TONVAR_SEAM_LIVE(-1);
  return 0;
}
}  // namespace

#ifdef TONVAR_FAULT_SEAMS
void faults::ReleaseBlock(MemHandle handle) { PlatformFree(handle); }
#endif

EngineStatus AllocBlock(uint64_t size_bytes, uint32_t zero_fill, MemHandle* handle, void** data) {
  *handle = MemAlloc(size_bytes, zero_fill);
  if (*handle == nullptr) return kStatusAllocFailed;
  *data = MemLock(*handle);
  if (*data == nullptr) {
    MemFree(*handle);
    *handle = nullptr;
    return kStatusLockFailed;
  }
  return kStatusOk;
}

EngineStatus ReleaseBlock(MemHandle* handle) {
  if (*handle == nullptr) return kStatusOk;
  MemHandle h = *handle;
  *handle = nullptr;
  if (MemUnlock(h) != 0) return kStatusUnlockFailed;
  if (MemFree(h) != 0) return kStatusFreeFailed;
  return kStatusOk;
}

uint32_t MemFree(MemHandle handle) {
  if (handle == nullptr) return 0;
  TONVAR_SEAM_FORGET(handle);
  // An injected free failure still releases the block: its owner forgets it either way.
  if (TONVAR_SEAM_FAILS(kFree)) {
    PlatformFree(handle);
    return 0xFFFFFFFF;
  }
  return PlatformFree(handle);
}

}  // namespace tonvar::common
