// The library's one piece of process-wide state: its own module handle.
#pragma once

#include <windows.h>

namespace kalimu::platform {

// The module handle stored by DllInitialize at process attach (null before it); kept by the
// library entry, kalimu/driver/library_entry.cpp.
HMODULE KalimuModule();

}  // namespace kalimu::platform
