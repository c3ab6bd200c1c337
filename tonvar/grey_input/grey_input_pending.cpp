// The grey-input halftoning engine is not part of this build yet: every call is refused.
#include "tonvar/grey_input/engine_operations.h"

namespace tonvar::grey_input {

EngineStatus GreyHalftoneNew(const EngineCreateArgs&, ResourceId*, void**) { return kStatusBadArgument; }
EngineStatus GreyHalftoneSetResource(void*, common::ResourceBytes, ResourceId*) { return kStatusBadArgument; }
EngineStatus GreyHalftone(void*, const HalftoneBand&) { return kStatusBadArgument; }
EngineStatus GreyHalftoneDelete(void**) { return kStatusBadArgument; }

}  // namespace tonvar::grey_input
