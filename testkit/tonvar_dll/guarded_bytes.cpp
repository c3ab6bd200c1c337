// Bytes against a no-access page.
#include "testkit/tonvar_dll/guarded_bytes.h"

#include <windows.h>

#include <cstring>
#include <utility>

namespace testkit {
namespace {
constexpr size_t kPage = 4096;
constexpr uint8_t kSentinel = 0xA7;
}  // namespace

GuardedBytes::GuardedBytes(const std::vector<uint8_t>& bytes) : GuardedBytes(bytes.data(), bytes.size()) {}

GuardedBytes::GuardedBytes(const uint8_t* bytes, size_t size) : size_(size) {
  accessible_ = (size + kPage - 1) / kPage * kPage;
  if (accessible_ == 0) accessible_ = kPage;
  base_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, accessible_ + kPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  if (base_ == nullptr) {
    accessible_ = size_ = 0;
    return;
  }
  DWORD old = 0;
  VirtualProtect(base_ + accessible_, kPage, PAGE_NOACCESS, &old);
  std::memset(base_, kSentinel, accessible_ - size_);
  if (size_ != 0) std::memcpy(data(), bytes, size_);
}

GuardedBytes::~GuardedBytes() {
  if (base_ != nullptr) VirtualFree(base_, 0, MEM_RELEASE);
}

GuardedBytes::GuardedBytes(GuardedBytes&& other) noexcept
    : base_(std::exchange(other.base_, nullptr)),
      accessible_(std::exchange(other.accessible_, 0)),
      size_(std::exchange(other.size_, 0)) {}

GuardedBytes& GuardedBytes::operator=(GuardedBytes&& other) noexcept {
  if (this != &other) {
    if (base_ != nullptr) VirtualFree(base_, 0, MEM_RELEASE);
    base_ = std::exchange(other.base_, nullptr);
    accessible_ = std::exchange(other.accessible_, 0);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

bool GuardedBytes::SentinelIntact() const {
  for (size_t i = 0; i < accessible_ - size_; ++i) {
    if (base_[i] != kSentinel) return false;
  }
  return true;
}

}  // namespace testkit
