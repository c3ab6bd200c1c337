// Global-memory wrappers through which every engine block is allocated and released.
#pragma once

#include <cstdint>

namespace tonvar {

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

}  // namespace tonvar
