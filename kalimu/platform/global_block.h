// A moveable, zero-filled global-memory block, locked for as long as it is held.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <utility>

#include "kalimu/platform/unique_handle.h"

namespace kalimu::platform {

class GlobalBlock {
 public:
  GlobalBlock() = default;
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;
  GlobalBlock(GlobalBlock&& other) noexcept { Swap(other); }
  GlobalBlock& operator=(GlobalBlock&& other) noexcept {
    if (this != &other) {
      Reset();
      Swap(other);
    }
    return *this;
  }

  void Swap(GlobalBlock& other) noexcept {
    std::swap(memory_, other.memory_);
    std::swap(lock_, other.lock_);
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
  }

  // Replaces the held block by a new zero-filled one; false (nothing held) when none can be had.
  bool Allocate(size_t size) {
    Reset();
    if (size == 0) return false;
    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    if (!memory) return false;
    auto* data = static_cast<uint8_t*>(GlobalLock(memory.get()));
    if (data == nullptr) return false;
    memory_ = std::move(memory);
    lock_.Reset(memory_.get());
    data_ = data;
    size_ = size;
    return true;
  }

  void Reset() {
    lock_.Reset();
    memory_.Reset();
    data_ = nullptr;
    size_ = 0;
  }

  // Gives the block up, still locked, and answers its address: its new owner frees it with
  // FreeLocked.
  uint8_t* Release() {
    lock_.Release();
    memory_.Release();
    size_ = 0;
    return std::exchange(data_, nullptr);
  }

  // Unlocks and frees the locked global-memory block at data. False when no block starts there
  // or the free failed (the block then stays).
  static bool FreeLocked(const void* data) {
    HGLOBAL memory = data != nullptr ? GlobalHandle(data) : nullptr;
    if (memory == nullptr) return false;
    GlobalUnlock(memory);
    return GlobalFree(memory) == nullptr;
  }

  uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  bool held() const { return data_ != nullptr; }

 private:
  UniqueGlobal memory_;
  UniqueGlobalLock lock_;  // after memory_: the block is unlocked before it is freed
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace kalimu::platform
