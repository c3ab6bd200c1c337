// The table of numbered stored values: key kind, value name, type and size.
#pragma once

#include <windows.h>

namespace kalimu::storage {

struct RegistryValueRow {
  int id;
  int kind;
  bool current_user;      // below HKEY_CURRENT_USER instead of HKEY_LOCAL_MACHINE
  const char* value_name; // null: the unnamed value, or the caller's name
  DWORD type;
  DWORD size_bytes;       // 0: the caller's size
};

// Size of a string value read through the table.
constexpr DWORD kStringValueBytes = 260;

// The row of id; null for an id outside the table (ids 0-30 but 21 are
// built on the fly as the unnamed value of their key kind).
const RegistryValueRow* FindRegistryValueRow(int id);

}  // namespace kalimu::storage
