// The grey colour-matching engine is not part of this build yet: every call is refused.
#include "tonvar/grey/engine_operations.h"

namespace tonvar::grey {

EngineStatus CmGreyNew(const EngineCreateArgs&, ResourceId*, void**) { return kStatusBadArgument; }
EngineStatus CmGreySetResource(void*, common::ResourceBytes, ResourceId*) { return kStatusBadArgument; }
void* CmGreyGetLut(void*) { return nullptr; }
EngineStatus CmGreyDelete(void**) { return kStatusBadArgument; }

}  // namespace tonvar::grey
