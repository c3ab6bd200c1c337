// The screening halftoning engine is not part of this build yet: every call is refused.
#include "tonvar/screening/engine_operations.h"

namespace tonvar::screening {

EngineStatus ScreenNew(const EngineCreateArgs&, ResourceId*, void**) { return kStatusBadArgument; }
EngineStatus ScreenSetResource(void*, common::ResourceBytes, ResourceId*) { return kStatusBadArgument; }
EngineStatus ScreenHalftone(void*, const HalftoneBand&) { return kStatusBadArgument; }
EngineStatus ScreenDelete(void**) { return kStatusBadArgument; }

}  // namespace tonvar::screening
