// A resource as Tonvar.dll's exports hand it to the engines: its bytes alone in a heap block of
// exactly their size, passed with no length, so that a read past them is a sanitizer finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "tonvar/common/resource_bytes.h"

namespace testkit {

class ExactBlock {
 public:
  explicit ExactBlock(const std::vector<uint8_t>& bytes) : data_(new uint8_t[bytes.size()]), size_(bytes.size()) {
    if (size_ != 0) std::memcpy(data_.get(), bytes.data(), size_);
  }
  // As the exports hand it over: no length.
  tonvar::common::ResourceBytes Unbounded() const { return {data_.get(), tonvar::common::kUnboundedSize}; }
  tonvar::common::ResourceBytes Bounded() const { return {data_.get(), size_}; }
  tonvar::common::ResourceBytes Bytes(bool bounded) const { return bounded ? Bounded() : Unbounded(); }

 private:
  std::unique_ptr<uint8_t[]> data_;
  size_t size_;
};

}  // namespace testkit
