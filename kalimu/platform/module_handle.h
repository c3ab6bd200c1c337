// The library's one piece of process-wide state: its own module handle.
#pragma once

#include <windows.h>

namespace kalimu::platform {

// The module handle stored by DllInitialize at process attach (null before it).
HMODULE KalimuModule();

}  // namespace kalimu::platform
