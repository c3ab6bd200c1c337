// The multi-level halftoning engine is not part of this build yet: every call is refused.
#include "tonvar/multi_level/engine_operations.h"

namespace tonvar::multi_level {

EngineStatus MultiLevelNew(const EngineCreateArgs&, ResourceId*, void**) { return kStatusBadArgument; }
EngineStatus MultiLevelSetResource(void*, common::ResourceBytes, ResourceId*) { return kStatusBadArgument; }
EngineStatus MultiLevelHalftone(void*, const HalftoneBand&) { return kStatusBadArgument; }
EngineStatus MultiLevelDelete(void**) { return kStatusBadArgument; }

}  // namespace tonvar::multi_level
