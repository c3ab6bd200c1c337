// Provisional interface layer: refuses every call until the handle protocol is in place.
#include "tonvar/colour/interface.h"

namespace tonvar {

EngineStatus NewCmHandle(const CmParams*, const RasterJob*, uint64_t, ResourceId*, CmHandle** out) {
  if (out != nullptr) *out = nullptr;
  return kStatusBadArgument;
}
EngineStatus ApplyCmResource(CmHandle*, const uint8_t*, ResourceId*) { return kStatusBadArgument; }
CmLutInfo* GetCmLutInfo(CmHandle*) { return nullptr; }
EngineStatus DeleteCmHandle(CmHandle*) { return kStatusBadArgument; }
EngineStatus NewHalftoneHandle(const RasterJob*, CmLutInfo* const*, uint64_t, ResourceId*,
                               HalftoneHandle**) {
  return kStatusBadArgument;
}
EngineStatus ApplyHalftoneResource(HalftoneHandle*, const uint8_t*, ResourceId*) {
  return kStatusBadArgument;
}
EngineStatus RunHalftone(HalftoneHandle*, const HalftoneBand&) { return kStatusBadArgument; }
EngineStatus DeleteHalftoneHandle(HalftoneHandle*) { return kStatusBadArgument; }

}  // namespace tonvar
