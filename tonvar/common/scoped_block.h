// Ownership of engine blocks. A ScopedBlock holds one block: allocated and locked in one call,
// released on every path out of its scope, replaceable, and handed over to a record when the
// record takes it. ReplaceBlock is the same replacement for a block a fixed-layout record
// holds itself. The release is ReleaseBlock's everywhere: 259 for a failed unlock (the block
// is then left alone), 260 for a failed free.
#pragma once

#include <cstdint>
#include <utility>

#include "tonvar/common/memory.h"
#include "tonvar/interface/status.h"

namespace tonvar::common {

// Releases *handle (its status is returned and nothing new is allocated when it fails), then
// allocates `size` bytes, locked, into *handle and *data. *data is null unless it succeeds.
template <typename T>
EngineStatus ReplaceBlock(MemHandle* handle, uint64_t size, bool zero_fill, T** data) {
  *data = nullptr;
  const EngineStatus released = ReleaseBlock(handle);
  if (released != kStatusOk) return released;
  void* locked = nullptr;
  const EngineStatus allocated = AllocBlock(size, zero_fill ? 1 : 0, handle, &locked);
  if (allocated == kStatusOk) *data = static_cast<T*>(locked);
  return allocated;
}

class ScopedBlock {
 public:
  ScopedBlock() = default;
  ~ScopedBlock() { Release(); }
  ScopedBlock(const ScopedBlock&) = delete;
  ScopedBlock& operator=(const ScopedBlock&) = delete;
  ScopedBlock(ScopedBlock&& other) noexcept
      : handle_(std::exchange(other.handle_, nullptr)), data_(std::exchange(other.data_, nullptr)) {}

  // Allocates and locks a block, releasing the one held first (see ReplaceBlock).
  EngineStatus Allocate(uint64_t size, bool zero_fill) {
    return ReplaceBlock(&handle_, size, zero_fill, &data_);
  }
  // 0, 259 or 260; the scope holds nothing afterwards either way.
  EngineStatus Release() {
    data_ = nullptr;
    return ReleaseBlock(&handle_);
  }
  // Hands the block to a new owner, who releases it from then on.
  MemHandle Detach() {
    data_ = nullptr;
    return std::exchange(handle_, nullptr);
  }

  MemHandle handle() const { return handle_; }
  template <typename T = uint8_t>
  T* data() const {
    return static_cast<T*>(data_);
  }

 private:
  MemHandle handle_ = nullptr;
  void* data_ = nullptr;
};

}  // namespace tonvar::common
