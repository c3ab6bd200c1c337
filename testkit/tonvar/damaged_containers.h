// A table of damaged resource containers, with the status the container reader gives each.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testkit {

struct DamagedContainer {
  std::string name;
  std::vector<uint8_t> bytes;
  uint32_t status;  // what unwrapping answers: -200 (0xFFFFFF38) or -300 (0xFFFFFED4)
  // The damage shows only to a reader that knows the resource's size (its stored length runs
  // past the bytes). Without a size, such a container would be read beyond its end, so callers
  // that pass no size (the exported interface) must skip it.
  bool needs_size = false;
};

std::vector<DamagedContainer> DamagedContainers();

}  // namespace testkit
