// A moveable, zero-filled global-memory block, locked for as long as it is held.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace kalimu::platform {

class GlobalBlock {
 public:
  GlobalBlock() = default;
  ~GlobalBlock() { Reset(); }
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;

  // Replaces the held block by a new zero-filled one; false (nothing held) when none can be had.
  bool Allocate(size_t size) {
    Reset();
    if (size == 0) return false;
    handle_ = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (handle_ == nullptr) return false;
    data_ = static_cast<uint8_t*>(GlobalLock(handle_));
    if (data_ == nullptr) {
      GlobalFree(handle_);
      handle_ = nullptr;
      return false;
    }
    size_ = size;
    return true;
  }

  void Reset() {
    if (handle_ != nullptr) {
      GlobalUnlock(handle_);
      GlobalFree(handle_);
    }
    handle_ = nullptr;
    data_ = nullptr;
    size_ = 0;
  }

  uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  bool held() const { return data_ != nullptr; }

 private:
  HGLOBAL handle_ = nullptr;
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace kalimu::platform
