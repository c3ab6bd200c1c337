// Security descriptor whose DACL grants the world (S-1-1-0) an access mask,
// for the keys and folders the driver creates and shares between users.
#pragma once

#include <windows.h>

#include <initializer_list>

#include "kalimu/platform/unique_handle.h"

namespace kalimu::platform {

class WorldAccessDescriptor {
 public:
  // One allow ACE per entry of inherit_flags, each granting access_mask.
  WorldAccessDescriptor(DWORD access_mask, std::initializer_list<BYTE> inherit_flags);
  // The shared folder: FILE_ALL_ACCESS, inherited by subfolders and by files.
  static WorldAccessDescriptor ForSharedFolder() {
    return WorldAccessDescriptor(FILE_ALL_ACCESS, {CONTAINER_INHERIT_ACE, OBJECT_INHERIT_ACE});
  }
  // Files of the shared folder (watermark bitmaps and thumbnails): FILE_ALL_ACCESS, no inheritance.
  static WorldAccessDescriptor ForSharedFile() { return WorldAccessDescriptor(FILE_ALL_ACCESS, {0}); }
  // Keys of the store: KEY_ALL_ACCESS, inherited by subkeys.
  static WorldAccessDescriptor ForSharedKey() {
    return WorldAccessDescriptor(KEY_ALL_ACCESS, {CONTAINER_INHERIT_ACE});
  }
  WorldAccessDescriptor(const WorldAccessDescriptor&) = delete;
  WorldAccessDescriptor& operator=(const WorldAccessDescriptor&) = delete;

  bool valid() const { return valid_; }
  SECURITY_ATTRIBUTES* attributes() { return valid_ ? &attributes_ : nullptr; }

 private:
  bool valid_ = false;
  UniqueSid world_;
  BYTE acl_buffer_[256] = {};
  SECURITY_DESCRIPTOR descriptor_ = {};
  SECURITY_ATTRIBUTES attributes_ = {};
};

}  // namespace kalimu::platform
