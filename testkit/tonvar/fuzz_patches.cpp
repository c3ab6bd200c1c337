// Patched resources for the fuzz targets.
#include "testkit/tonvar/fuzz_patches.h"

namespace testkit {

std::vector<uint8_t> PatchResource(std::vector<uint8_t> resource, const uint8_t* patches, size_t size) {
  if (size < 2) return resource;
  const size_t cut = patches[0] | (patches[1] << 8);
  if (cut != 0 && cut < resource.size()) resource.resize(cut);
  for (size_t at = 2; at + 3 <= size && !resource.empty(); at += 3) {
    resource[(patches[at] | (patches[at + 1] << 8)) % resource.size()] = patches[at + 2];
  }
  return resource;
}

}  // namespace testkit
