// The Halftone call on a multi-level handle: its arguments taken into the work block, their
// checks, and the line routine of the job.
#pragma once

#include "tonvar/multi_level/multi_level_engine.h"

namespace tonvar::multi_level {

// Copies the call's arguments and the job's per-call fields into the state (moving the line
// history on, also for a call that is then refused).
void StoreHalftoneCall(const MultiLevelEngine& engine, const HalftoneBand& band, MultiLevelState* state);

// 0, or 512 for a call the engine refuses.
EngineStatus CheckMultiLevelCall(const MultiLevelState& state, const HalftoneBand& band);

}  // namespace tonvar::multi_level
