// Path choice of the halftoning line routines: processor detection, capped by the environment.
#include "tonvar/halftone_lines/simd_path.h"

#include <cstdlib>
#include <cstring>

namespace tonvar::halftone_lines {

SimdPath SupportedSimdPath() {
#if defined(__x86_64__) || defined(_M_X64)
  __builtin_cpu_init();
  // The check includes the operating system's saving of the wide registers.
  return __builtin_cpu_supports("avx2") ? SimdPath::kAvx2 : SimdPath::kSse2;
#else
  return SimdPath::kScalar;
#endif
}

SimdPath ChooseSimdPath() {
  const SimdPath supported = SupportedSimdPath();
  const char* forced = std::getenv("TONVAR_HALFTONE_PATH");
  if (forced == nullptr) return supported;
  SimdPath wanted = supported;
  if (std::strcmp(forced, "scalar") == 0) wanted = SimdPath::kScalar;
  if (std::strcmp(forced, "sse2") == 0) wanted = SimdPath::kSse2;
  if (std::strcmp(forced, "avx2") == 0) wanted = SimdPath::kAvx2;
  return static_cast<uint32_t>(wanted) < static_cast<uint32_t>(supported) ? wanted : supported;
}

const char* SimdPathName(SimdPath path) {
  switch (path) {
    case SimdPath::kScalar: return "scalar";
    case SimdPath::kSse2: return "sse2";
    case SimdPath::kAvx2: return "avx2";
  }
  return "unknown";
}

}  // namespace tonvar::halftone_lines
