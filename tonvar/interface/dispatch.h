// The engine interface's internal operations, one per export. Each checks its handle's kind
// tag before anything else: a null handle, a released one or a handle of the other kind is
// refused with 512.
//
// A refused New leaves:
//  - *out_handle null, whatever the refusal (when out_handle itself is given), and no block;
//  - *first_id untouched when the interface refuses the arguments, else what the engine wrote
//    (the colour engine writes 0 before anything can fail).
#pragma once

#include <cstdint>

#include "tonvar/interface/client_records.h"
#include "tonvar/interface/halftone_band.h"
#include "tonvar/interface/handles.h"
#include "tonvar/interface/status.h"

namespace tonvar {

EngineStatus NewCmHandle(const CmParams* params, const RasterJob* job, uint64_t reserved,
                         ResourceId* first_id, CmHandle** out_handle);
EngineStatus ApplyCmResource(CmHandle* handle, const uint8_t* resource, ResourceId* next_id);
CmLutInfo* GetCmLutInfo(CmHandle* handle);
EngineStatus DeleteCmHandle(CmHandle* handle);

EngineStatus NewHalftoneHandle(const RasterJob* job, CmLutInfo* const* luts, uint64_t reserved,
                               ResourceId* first_id, HalftoneHandle** out_handle);
EngineStatus ApplyHalftoneResource(HalftoneHandle* handle, const uint8_t* resource,
                                   ResourceId* next_id);
EngineStatus RunHalftone(HalftoneHandle* handle, const HalftoneBand& band);
EngineStatus DeleteHalftoneHandle(HalftoneHandle* handle);

}  // namespace tonvar
