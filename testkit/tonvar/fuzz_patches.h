// Fuzz inputs that patch a good resource, so that an empty corpus reaches deep into a reader:
// two bytes give the length to cut the resource to (0 or more than its size: uncut), then
// triples of a 16-bit offset (taken modulo the size) and the byte to write there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace testkit {

std::vector<uint8_t> PatchResource(std::vector<uint8_t> resource, const uint8_t* patches, size_t size);

}  // namespace testkit
