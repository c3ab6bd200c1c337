// The one-bit line routines of the multi-level engine: the run of one call into one dot or none
// per pixel and ink, for 4 or 8 inks.
#pragma once

#include "tonvar/multi_level/multi_level_engine.h"

namespace tonvar::multi_level {

// kDiffuse: the diffusion inks (0 and 1 of 4, 4 to 6 of 8) go through the one-bit diffusion core
// (the class H=2V routines with method 1); otherwise every ink is dithered. 512 for a line
// beyond the page, 768 for a run outside the zones.
template <int kInks, bool kDiffuse>
EngineStatus RunOneBitLine(MultiLevelState* state);

}  // namespace tonvar::multi_level
