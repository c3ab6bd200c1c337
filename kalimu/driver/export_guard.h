// The last resort of every entry point that builds settings: nothing throws across the DLL's
// boundary. An exception that escapes (most likely an allocation that failed) becomes the entry
// point's failure result with ERROR_NOT_ENOUGH_MEMORY.
#pragma once

#include <windows.h>

namespace kalimu::driver {

template <class Result, class Call>
Result Guarded(Result failure, Call call) noexcept {
  try {
    return call();
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return failure;
  }
}

}  // namespace kalimu::driver
