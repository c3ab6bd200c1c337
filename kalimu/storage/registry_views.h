// View bits and access masks of the registry store.
#pragma once

#include <windows.h>

#include <cstddef>

namespace kalimu::storage {

// Access masks: reads, value writes, key creation and deletion.
constexpr REGSAM kReadAccess = KEY_READ;                                           // 0x20019
constexpr REGSAM kWriteAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;     // 0x2001F
constexpr REGSAM kKeyAllAccess = KEY_ALL_ACCESS;                                   // 0xF003F

// View bits of a single view (0, 1 or 2); view 4 reads use the default view.
inline REGSAM ViewBits(int view) { return static_cast<REGSAM>((view & 3) * 0x100); }
inline REGSAM ReadViewBits(int view) { return view == 4 ? 0 : ViewBits(view); }

// Runs op once per view: 64-bit then 32-bit for view 4. One view answers
// op's result; both views 0 when both succeeded, 1 otherwise.
template <typename Op>
LONG InViews(int view, Op op) {
  if (view != 4) return op(view);
  const LONG first = op(1);
  const LONG second = op(2);
  return first == ERROR_SUCCESS && second == ERROR_SUCCESS ? 0 : 1;
}

// The printer name with every backslash turned into a comma.
void PrinterNameForKey(const char* printer_name, char* out, size_t len);

}  // namespace kalimu::storage
