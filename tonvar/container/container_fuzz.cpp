// libFuzzer target for the container reader: raw resources, containers built around the input
// (both signatures), the bare decoder and the plane reorder.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tonvar/common/byte_readers.h"
#include "tonvar/container/unpack_context.h"

namespace {

constexpr uint32_t kMaxExpanded = 1u << 16;  // the reader allocates and fills what a header asks for

void Touch(tonvar::common::ResourceBytes bytes) {
  if (bytes.size == tonvar::common::kUnboundedSize) return;
  volatile uint8_t sink = 0;
  for (size_t i = 0; i < bytes.size; ++i) sink = sink ^ bytes.data[i];
}

void Unwrap(const uint8_t* data, size_t size) {
  if (size >= 16 && tonvar::common::ReadDword(data + 12) > kMaxExpanded) return;
  tonvar::container::UnpackContext* context = nullptr;
  if (tonvar::container::NewUnpackContext(&context) != tonvar::kStatusOk) return;
  tonvar::common::ResourceBytes out{};
  if (tonvar::container::UnwrapResource(context, tonvar::common::ResourceBytes{data, size}, &out) == tonvar::kStatusOk) {
    Touch(out);
  }
  tonvar::container::DeleteUnpackContext(context);
}

// Signature, stored length matching the bytes, then the input's own bytes as count and stream.
std::vector<uint8_t> Contain(const uint8_t* data, size_t size, uint8_t eighth) {
  std::vector<uint8_t> out = {0x7A, 0xCF, 0x86, 0x5C, 0x7D, 0x90, 0x3C, eighth};
  const uint32_t stored = static_cast<uint32_t>(size);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(stored >> (8 * i)));
  out.insert(out.end(), data, data + size);
  if (size >= 4) {  // keep the expanded length modest
    const uint32_t expanded = tonvar::common::ReadDword(data) % (kMaxExpanded + 1);
    for (int i = 0; i < 4; ++i) out[12 + i] = static_cast<uint8_t>(expanded >> (8 * i));
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t mode = data[0] % 5;
  ++data;
  --size;
  switch (mode) {
    case 0:
      Unwrap(data, size);
      break;
    case 1:
    case 2: {
      const auto container = Contain(data, size, mode == 1 ? 0xB9 : 0xBA);
      Unwrap(container.data(), container.size());
      break;
    }
    case 3: {
      auto* context = new tonvar::container::UnpackContext;
      std::vector<uint8_t> out(4096);
      tonvar::container::DecompressStream(data, static_cast<uint32_t>(size), out.data(),
                               static_cast<uint32_t>(out.size()), context);
      delete context;
      break;
    }
    case 4: {
      std::vector<uint8_t> table(data, data + size);
      tonvar::container::ReorderLutPlanes(table.data(), static_cast<int64_t>(table.size()));
      break;
    }
  }
  return 0;
}
