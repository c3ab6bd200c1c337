// The blocks a halftoning engine owns or borrows, kept in a fixed array inside its engine record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "tonvar/common/memory.h"
#include "tonvar/interface/status.h"

namespace tonvar::halftone_lines {

// One block: owned when `allocation` is set (released by unlocking and freeing it), or a slice of
// a block another buffer of the same engine owns (allocation null, never released by itself).
// A buffer record that is all zeros owns nothing.
struct EngineBuffer {
  uint64_t size;             // usable bytes at data
  uint8_t* data;             // locked address of the block, or the start of a slice
  common::MemHandle allocation;
};
static_assert(sizeof(EngineBuffer) == 24);
static_assert(offsetof(EngineBuffer, size) == 0);
static_assert(offsetof(EngineBuffer, data) == 8);
static_assert(offsetof(EngineBuffer, allocation) == 16);
static_assert(std::is_trivially_copyable_v<EngineBuffer>);

// Allocates (zero-filled when zero_fill != 0) and locks a block for the buffer. 257 leaves size
// and data as they were; 258 frees the block again, so the buffer never ends half-owned.
EngineStatus AllocEngineBuffer(EngineBuffer* buffer, uint64_t size_bytes, uint32_t zero_fill);

// Describes a slice (allocation null) or an adopted block. Always 0.
EngineStatus SetEngineBuffer(EngineBuffer* buffer, uint8_t* data, common::MemHandle allocation,
                             uint64_t size_bytes);

// Releases every owned buffer of an engine's array in two passes: first every block with data is
// unlocked (a block whose unlock fails is left allocated, its allocation forgotten), then every
// block still recorded is freed. 259 when an unlock failed, else 260 when a free failed, else 0;
// every buffer is visited either way and ends cleared of what was released.
EngineStatus FreeEngineBuffers(EngineBuffer* buffers, size_t count);

}  // namespace tonvar::halftone_lines
