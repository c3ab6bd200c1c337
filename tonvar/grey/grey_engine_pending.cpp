// The grey engine is not part of this build yet: every call is refused.
#include "tonvar/interface/engine_contract.h"

namespace tonvar {

EngineStatus CmGreyNew(const CmParams*, const RasterJob*, uint64_t, ResourceId*, CmHandle*) {
  return kStatusBadArgument;
}
EngineStatus CmGreySetResource(CmHandle*, common::ResourceBytes, ResourceId*) { return kStatusBadArgument; }
void* CmGreyGetLut(CmHandle*) { return nullptr; }
EngineStatus CmGreyDelete(CmHandle*) { return kStatusBadArgument; }

}  // namespace tonvar
