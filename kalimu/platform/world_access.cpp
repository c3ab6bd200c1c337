// World-access security descriptor for shared keys and folders.
#include "kalimu/platform/world_access.h"

namespace kalimu::platform {

WorldAccessDescriptor::WorldAccessDescriptor(DWORD access_mask,
                                             std::initializer_list<BYTE> inherit_flags) {
  SID_IDENTIFIER_AUTHORITY world_authority = SECURITY_WORLD_SID_AUTHORITY;
  if (!AllocateAndInitializeSid(&world_authority, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0,
                                world_.Receive())) {
    return;
  }
  auto* acl = reinterpret_cast<ACL*>(acl_buffer_);
  if (!InitializeAcl(acl, sizeof(acl_buffer_), ACL_REVISION)) return;
  for (BYTE flags : inherit_flags) {
    if (!AddAccessAllowedAceEx(acl, ACL_REVISION, flags, access_mask, world_.get())) return;
  }
  if (!InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION)) return;
  if (!SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE)) return;
  attributes_.nLength = sizeof(attributes_);
  attributes_.lpSecurityDescriptor = &descriptor_;
  attributes_.bInheritHandle = FALSE;
  valid_ = true;
}

}  // namespace kalimu::platform
