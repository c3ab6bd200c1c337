// View bits and access masks of the registry store.
#pragma once

#include <windows.h>

#include <cstddef>

namespace kalimu::storage {

// Registry view argument: the view bits are (view & 3) * 0x100.
enum RegistryView : int {
  kViewDefault = 0,
  kView64 = 1,   // KEY_WOW64_64KEY
  kView32 = 2,   // KEY_WOW64_32KEY
  kViewBoth = 4, // writes 64-bit then 32-bit; reads use the default view
};

// Access masks: reads, value writes, key creation and deletion.
constexpr REGSAM kReadAccess = KEY_READ;                                           // 0x20019
constexpr REGSAM kWriteAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;     // 0x2001F
constexpr REGSAM kKeyAllAccess = KEY_ALL_ACCESS;                                   // 0xF003F

// View bits of a single view (kViewDefault, kView64 or kView32): KEY_WOW64_64KEY is 0x100,
// KEY_WOW64_32KEY 0x200. Reads in kViewBoth use the default view.
inline REGSAM ViewBits(int view) { return static_cast<REGSAM>((view & 3) * 0x100); }
inline REGSAM ReadViewBits(int view) { return view == kViewBoth ? 0 : ViewBits(view); }

// Runs op once per view: 64-bit then 32-bit for kViewBoth. One view answers
// op's result; both views 0 when both succeeded, 1 otherwise.
template <typename Op>
LONG InViews(int view, Op op) {
  if (view != kViewBoth) return op(view);
  const LONG first = op(kView64);
  const LONG second = op(kView32);
  return first == ERROR_SUCCESS && second == ERROR_SUCCESS ? 0 : 1;
}

// The printer name with every backslash turned into a comma.
void PrinterNameForKey(const char* printer_name, char* out, size_t len);

}  // namespace kalimu::storage
