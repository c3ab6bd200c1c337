// The instruction-set path of the halftoning line routines. An engine settles its path once, at
// creation, and keeps it in its own state: every path gives output identical to the scalar one.
#pragma once

#include <cstdint>

namespace tonvar::halftone_lines {

enum class SimdPath : uint32_t { kScalar = 0, kSse2 = 1, kAvx2 = 2 };

// The widest path this processor runs. The environment variable TONVAR_HALFTONE_PATH
// ("scalar", "sse2" or "avx2") lowers it, never raises it: tests force each path with it.
SimdPath ChooseSimdPath();

// The widest path the processor supports, whatever the environment says.
SimdPath SupportedSimdPath();

const char* SimdPathName(SimdPath path);

}  // namespace tonvar::halftone_lines
