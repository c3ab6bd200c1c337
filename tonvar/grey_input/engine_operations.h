// The grey-input halftoning engine's operations, as interface/engine_contract.h asks.
#pragma once

#include "tonvar/interface/engine_contract.h"

namespace tonvar::grey_input {

EngineStatus GreyHalftoneNew(const EngineCreateArgs& args, ResourceId* first_id, void** engine);
EngineStatus GreyHalftoneSetResource(void* engine, common::ResourceBytes resource, ResourceId* next_id);
EngineStatus GreyHalftone(void* engine, const HalftoneBand& band);
EngineStatus GreyHalftoneDelete(void** engine);

}  // namespace tonvar::grey_input
