// Checks that a security descriptor grants the world (S-1-1-0) an access mask.
#pragma once

#include <windows.h>

namespace testkit {

// True when the DACL holds an allow ACE for the world with exactly `mask` and all of
// `inherit_flags` set.
bool GrantsWorld(PSECURITY_DESCRIPTOR descriptor, DWORD mask, BYTE inherit_flags);

// The same for a registry key (opened in the given view bits) and for a file or folder.
bool KeyGrantsWorld(HKEY root, const char* key, REGSAM view, DWORD mask, BYTE inherit_flags);
bool FileGrantsWorld(const char* path, DWORD mask, BYTE inherit_flags);

}  // namespace testkit
