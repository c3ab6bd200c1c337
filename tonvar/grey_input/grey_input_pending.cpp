// The grey-input halftoning engine is not part of this build yet: every call is refused.
#include "tonvar/interface/engine_contract.h"

namespace tonvar {

EngineStatus GreyHalftoneNew(const RasterJob*, const void* const[2], uint64_t, ResourceId*, void**) {
  return kStatusBadArgument;
}
EngineStatus GreyHalftoneSetResource(void*, common::ResourceBytes, ResourceId*) { return kStatusBadArgument; }
EngineStatus GreyHalftone(void*, const HalftoneBand&) { return kStatusBadArgument; }
EngineStatus GreyHalftoneDelete(void*) { return kStatusBadArgument; }

}  // namespace tonvar
