// The colour engine is not part of this build yet: every call is refused.
#include "tonvar/colour/engine_seams.h"

namespace tonvar {

EngineStatus CmColorNew(const CmParams*, const RasterJob*, uint64_t, ResourceId*, CmHandle*) {
  return kStatusBadArgument;
}
EngineStatus CmColorSetResource(CmHandle*, ResourceBytes, ResourceId*) { return kStatusBadArgument; }
void* CmColorGetLut(CmHandle*) { return nullptr; }
EngineStatus CmColorDelete(CmHandle*) { return kStatusBadArgument; }

}  // namespace tonvar
