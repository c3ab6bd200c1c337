// Whole bands of the multi-level engine's cell error diffusion (method 1 at 2 bits per dot) and
// of its one-bit routines, every routed combination, with golden checksums shared by the host
// build and the Windows DLL.
#pragma once

#include <vector>

#include "testkit/tonvar/multi_level_bands.h"

namespace testkit {

std::vector<MultiLevelBand> DiffusionBands();

// GoogleTest expectations over every band: its checksum is the golden one, blank input sets no
// dot, and two handles fed the same calls, interleaved, give the same rows.
void ExpectDiffusionBands(const EngineCalls& calls);

}  // namespace testkit
