// The debug hook every failed bounded text helper reports to.
#include "kalimu/platform/debug_hook.h"
#include "kalimu/platform/unique_handle.h"

namespace kalimu::platform {
namespace {

// Process-wide, unsynchronised: a race only repeats the one registry read.
int g_read_flag = 0;
int g_break_flag = 0;
unsigned long g_calls = 0;

void ReadDebugSetting() {
  g_read_flag = 1;
  UniqueKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\NORVA\\PRINTER", 0, KEY_READ, key.Receive()) !=
      ERROR_SUCCESS) {
    return;
  }
  DWORD value = 0;
  DWORD size = sizeof(value);
  DWORD type = 0;
  if (RegQueryValueExA(key.get(), "KVDRV_DEBUG", nullptr, &type, reinterpret_cast<BYTE*>(&value),
                       &size) == ERROR_SUCCESS &&
      size == sizeof(value) && (value & 1) != 0) {
    g_break_flag = 1;
  }
}

}  // namespace

void DebugBreakIfEnabled() {
  ++g_calls;
  if (g_read_flag == 0) ReadDebugSetting();
  // Without a debugger a breakpoint would end the host process (the spooler).
  if (g_break_flag == 1 && IsDebuggerPresent()) DebugBreak();
}

DebugHookState GetDebugHookState() { return {g_read_flag, g_break_flag, g_calls}; }

void ResetDebugHook() {
  g_read_flag = 0;
  g_break_flag = 0;
}

}  // namespace kalimu::platform
