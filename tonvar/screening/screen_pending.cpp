// The screening engine is not part of this build yet: every call is refused.
#include "tonvar/interface/engine_contract.h"

namespace tonvar {

EngineStatus ScreenNew(const RasterJob*, const void* const[2], uint64_t, ResourceId*, void**) {
  return kStatusBadArgument;
}
EngineStatus ScreenSetResource(void*, common::ResourceBytes, ResourceId*) { return kStatusBadArgument; }
EngineStatus ScreenHalftone(void*, const HalftoneBand&) { return kStatusBadArgument; }
EngineStatus ScreenDelete(void*) { return kStatusBadArgument; }

}  // namespace tonvar
