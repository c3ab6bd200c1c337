// Bytes that end exactly where an inaccessible page begins: a reader or writer that strays past
// them faults at once.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace testkit {

class GuardedBytes {
 public:
  // size bytes, filled with the bytes given (or zero), directly before a no-access page;
  // read_only: a writer faults too.
  explicit GuardedBytes(size_t size, const void* bytes = nullptr, bool read_only = false) : size_(size) {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const size_t page = info.dwPageSize;
    const size_t pages = (size + page - 1) / page + 1;
    base_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, pages * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (base_ == nullptr) return;
    DWORD old = 0;
    VirtualProtect(base_ + (pages - 1) * page, page, PAGE_NOACCESS, &old);
    data_ = base_ + (pages - 1) * page - size;
    if (bytes != nullptr) std::memcpy(data_, bytes, size);
    if (read_only) VirtualProtect(data_, size, PAGE_READONLY, &old);
  }
  ~GuardedBytes() {
    if (base_ != nullptr) VirtualFree(base_, 0, MEM_RELEASE);
  }
  GuardedBytes(const GuardedBytes&) = delete;
  GuardedBytes& operator=(const GuardedBytes&) = delete;

  uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  template <class T>
  T* as() const {
    return reinterpret_cast<T*>(data_);
  }

 private:
  uint8_t* base_ = nullptr;
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace testkit
