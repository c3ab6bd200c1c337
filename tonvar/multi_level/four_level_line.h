// The multi-level engine's line routines and their choice by bits per dot, resolution class,
// ink count and method.
#pragma once

#include "tonvar/multi_level/diffusion_kernels.h"
#include "tonvar/multi_level/multi_level_engine.h"

namespace tonvar::multi_level {

using LineRoutine = EngineStatus (*)(MultiLevelState* state);

// The 2-bit line driver: the state holds the call's arguments. Every ink by ordered dither, or,
// given kernels, the diffusion inks (0 and 1 of 4, 4 to 6 of 8) by cell error diffusion: one ink
// after another with kKernel on the scalar path, side by side with kTogether on the others. 512
// for a line beyond the page, 768 for a run outside the zones.
template <int kInks, DiffuseCellsKernel kKernel = nullptr, DiffuseInksKernel kTogether = nullptr>
EngineStatus RunFourLevelLine(MultiLevelState* state);

// The routine of a validated call, or null when this build has none for it.
LineRoutine ChooseLineRoutine(uint32_t bits_per_dot, uint32_t ratio_class, int32_t ink_count, uint32_t method);

}  // namespace tonvar::multi_level
