// Checks of the world-access DACLs of created keys and folders.
#include "testkit/windows/world_access_check.h"

#include <vector>

namespace testkit {

bool GrantsWorld(PSECURITY_DESCRIPTOR descriptor, DWORD mask, BYTE inherit_flags) {
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  ACL* acl = nullptr;
  if (!GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted) || !present ||
      acl == nullptr) {
    return false;
  }
  SID_IDENTIFIER_AUTHORITY authority = SECURITY_WORLD_SID_AUTHORITY;
  PSID world = nullptr;
  if (!AllocateAndInitializeSid(&authority, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &world)) {
    return false;
  }
  bool found = false;
  for (DWORD i = 0; i < acl->AceCount && !found; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    if (!GetAce(acl, i, reinterpret_cast<void**>(&ace))) continue;
    found = ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && ace->Mask == mask &&
            (ace->Header.AceFlags & inherit_flags) == inherit_flags &&
            EqualSid(&ace->SidStart, world);
  }
  FreeSid(world);
  return found;
}

bool KeyGrantsWorld(HKEY root, const char* key, REGSAM view, DWORD mask, BYTE inherit_flags) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key, 0, KEY_READ | view, &handle) != ERROR_SUCCESS) return false;
  std::vector<BYTE> buffer(4096);
  DWORD size = static_cast<DWORD>(buffer.size());
  const LONG result = RegGetKeySecurity(handle, DACL_SECURITY_INFORMATION, buffer.data(), &size);
  RegCloseKey(handle);
  return result == ERROR_SUCCESS && GrantsWorld(buffer.data(), mask, inherit_flags);
}

bool FileGrantsWorld(const char* path, DWORD mask, BYTE inherit_flags) {
  std::vector<BYTE> buffer(4096);
  DWORD needed = 0;
  if (!GetFileSecurityA(path, DACL_SECURITY_INFORMATION, buffer.data(),
                        static_cast<DWORD>(buffer.size()), &needed)) {
    return false;
  }
  return GrantsWorld(buffer.data(), mask, inherit_flags);
}

}  // namespace testkit
