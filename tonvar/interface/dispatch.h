// The engine interface's internal operations, one per export.
#pragma once

#include <cstdint>

#include "tonvar/interface/client_records.h"
#include "tonvar/interface/status.h"
#include "tonvar/interface/halftone_band.h"
#include "tonvar/interface/handles.h"

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
