// Global-memory wrappers through which every engine block is allocated and released.
#pragma once

#include <cstdint>

#include "tonvar/interface/status.h"

namespace tonvar::common {

// An allocation handle; blocks are fixed memory, so the handle is also the data's address.
using MemHandle = void*;

// zero_fill != 0 asks for a zero-filled block. Null when the allocation fails.
MemHandle MemAlloc(uint64_t size_bytes, uint32_t zero_fill);
// The data pointer of a block: the handle itself (null only for a null handle).
void* MemLock(MemHandle handle);
// Always 0: fixed memory needs no unlocking.
uint32_t MemUnlock(MemHandle handle);
// 0 when freed or when the handle is null; 0xFFFFFFFF when the platform refuses the free.
uint32_t MemFree(MemHandle handle);

// A block allocated (zero-filled or not) and locked, with the wrappers' failures turned into
// statuses: 257, or 258 after freeing the block (the handle is then null).
EngineStatus AllocBlock(uint64_t size_bytes, uint32_t zero_fill, MemHandle* handle, void** data);
// Unlock, then free when that succeeded: 259 / 260. The handle is cleared either way.
EngineStatus ReleaseBlock(MemHandle* handle);

}  // namespace tonvar::common
