// The engines behind the interface layer: each engine provides these operations.
#pragma once

#include <cstdint>

#include "tonvar/interface/client_records.h"
#include "tonvar/interface/status.h"
#include "tonvar/interface/halftone_band.h"
#include "tonvar/interface/handles.h"
#include "tonvar/common/resource_bytes.h"

namespace tonvar {

// Colour engine (every document type but 7). New writes handle->engine and the first id.
EngineStatus CmColorNew(const CmParams* params, const RasterJob* job, uint64_t reserved,
                        ResourceId* first_id, CmHandle* handle);
EngineStatus CmColorSetResource(CmHandle* handle, common::ResourceBytes resource, ResourceId* next_id);
void* CmColorGetLut(CmHandle* handle);  // the LutDescriptor
EngineStatus CmColorDelete(CmHandle* handle);

// Grey engine (document type 7).
EngineStatus CmGreyNew(const CmParams* params, const RasterJob* job, uint64_t reserved,
                       ResourceId* first_id, CmHandle* handle);
EngineStatus CmGreySetResource(CmHandle* handle, common::ResourceBytes resource, ResourceId* next_id);
void* CmGreyGetLut(CmHandle* handle);  // the GreyLut
EngineStatus CmGreyDelete(CmHandle* handle);

// Halftoning engines. `tables` holds the first table and the second (or null).
EngineStatus MultiLevelNew(const RasterJob* job, const void* const tables[2], uint64_t reserved,
                           ResourceId* first_id, void** engine);
EngineStatus MultiLevelSetResource(void* engine, common::ResourceBytes resource, ResourceId* next_id);
EngineStatus MultiLevelHalftone(void* engine, const HalftoneBand& band);
EngineStatus MultiLevelDelete(void* engine);

EngineStatus ScreenNew(const RasterJob* job, const void* const tables[2], uint64_t reserved,
                       ResourceId* first_id, void** engine);
EngineStatus ScreenSetResource(void* engine, common::ResourceBytes resource, ResourceId* next_id);
EngineStatus ScreenHalftone(void* engine, const HalftoneBand& band);
EngineStatus ScreenDelete(void* engine);

EngineStatus GreyHalftoneNew(const RasterJob* job, const void* const tables[2], uint64_t reserved,
                             ResourceId* first_id, void** engine);
EngineStatus GreyHalftoneSetResource(void* engine, common::ResourceBytes resource, ResourceId* next_id);
EngineStatus GreyHalftone(void* engine, const HalftoneBand& band);
EngineStatus GreyHalftoneDelete(void* engine);

}  // namespace tonvar
