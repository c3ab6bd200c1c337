// Bytes that end right before a no-access page, as a caller's resource or row may: a read past
// their end faults. The bytes before them on their first page hold a sentinel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace testkit {

class GuardedBytes {
 public:
  explicit GuardedBytes(const std::vector<uint8_t>& bytes);
  GuardedBytes(const uint8_t* bytes, size_t size);
  ~GuardedBytes();
  GuardedBytes(GuardedBytes&& other) noexcept;
  GuardedBytes& operator=(GuardedBytes&& other) noexcept;
  GuardedBytes(const GuardedBytes&) = delete;
  GuardedBytes& operator=(const GuardedBytes&) = delete;

  uint8_t* data() const { return base_ + accessible_ - size_; }
  size_t size() const { return size_; }
  // The bytes before data() are as the constructor left them.
  bool SentinelIntact() const;
  std::vector<uint8_t> Bytes() const { return std::vector<uint8_t>(data(), data() + size_); }

 private:
  uint8_t* base_ = nullptr;
  size_t accessible_ = 0;  // committed read-write bytes before the no-access page
  size_t size_ = 0;
};

}  // namespace testkit
