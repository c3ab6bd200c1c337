// The colour engine's operations, as interface/engine_contract.h asks.
#pragma once

#include "tonvar/interface/engine_contract.h"

namespace tonvar::colour {

EngineStatus CmColorNew(const EngineCreateArgs& args, ResourceId* first_id, void** engine);
EngineStatus CmColorSetResource(void* engine, common::ResourceBytes resource, ResourceId* next_id);
void* CmColorGetLut(void* engine);  // the LutDescriptor
EngineStatus CmColorDelete(void** engine);

}  // namespace tonvar::colour
