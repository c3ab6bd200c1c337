// The screening halftoning engine's operations, as interface/engine_contract.h asks.
#pragma once

#include "tonvar/interface/engine_contract.h"

namespace tonvar::screening {

EngineStatus ScreenNew(const EngineCreateArgs& args, ResourceId* first_id, void** engine);
EngineStatus ScreenSetResource(void* engine, common::ResourceBytes resource, ResourceId* next_id);
EngineStatus ScreenHalftone(void* engine, const HalftoneBand& band);
EngineStatus ScreenDelete(void** engine);

}  // namespace tonvar::screening
