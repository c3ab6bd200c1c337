// The grey-input halftoning engine is not part of this build yet: every call is refused.
#include "tonvar/colour/engine_seams.h"

namespace tonvar {

EngineStatus GreyHalftoneNew(const RasterJob*, const void* const[2], uint64_t, ResourceId*, void**) {
  return kStatusBadArgument;
}
EngineStatus GreyHalftoneSetResource(void*, ResourceBytes, ResourceId*) { return kStatusBadArgument; }
EngineStatus GreyHalftone(void*, const HalftoneBand&) { return kStatusBadArgument; }
EngineStatus GreyHalftoneDelete(void*) { return kStatusBadArgument; }

}  // namespace tonvar
