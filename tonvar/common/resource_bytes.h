// The bytes of one resource as an engine step sees them, after the container reader.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tonvar::common {

// Size of a plain resource: the client passes no length, so its readers bound themselves by
// the format's own size fields and maxima.
constexpr size_t kUnboundedSize = SIZE_MAX;

struct ResourceBytes {
  const uint8_t* data;
  size_t size;  // the expanded length of an unwrapped container, else kUnboundedSize
};

}  // namespace tonvar::common
