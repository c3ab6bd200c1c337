// The multi-level halftoning engine is not part of this build yet: every call is refused.
#include "tonvar/interface/engine_contract.h"

namespace tonvar {

EngineStatus MultiLevelNew(const RasterJob*, const void* const[2], uint64_t, ResourceId*, void**) {
  return kStatusBadArgument;
}
EngineStatus MultiLevelSetResource(void*, common::ResourceBytes, ResourceId*) { return kStatusBadArgument; }
EngineStatus MultiLevelHalftone(void*, const HalftoneBand&) { return kStatusBadArgument; }
EngineStatus MultiLevelDelete(void*) { return kStatusBadArgument; }

}  // namespace tonvar
