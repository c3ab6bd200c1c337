// The multi-level halftoning engine's operations, as interface/engine_contract.h asks.
#pragma once

#include "tonvar/interface/engine_contract.h"

namespace tonvar::multi_level {

EngineStatus MultiLevelNew(const EngineCreateArgs& args, ResourceId* first_id, void** engine);
EngineStatus MultiLevelSetResource(void* engine, common::ResourceBytes resource, ResourceId* next_id);
EngineStatus MultiLevelHalftone(void* engine, const HalftoneBand& band);
EngineStatus MultiLevelDelete(void** engine);

}  // namespace tonvar::multi_level
