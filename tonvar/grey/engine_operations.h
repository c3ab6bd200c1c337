// The grey colour-matching engine's operations, as interface/engine_contract.h asks.
#pragma once

#include "tonvar/interface/engine_contract.h"

namespace tonvar::grey {

EngineStatus CmGreyNew(const EngineCreateArgs& args, ResourceId* first_id, void** engine);
EngineStatus CmGreySetResource(void* engine, common::ResourceBytes resource, ResourceId* next_id);
void* CmGreyGetLut(void* engine);  // the GreyLut
EngineStatus CmGreyDelete(void** engine);

}  // namespace tonvar::grey
