// The debug hook every failed bounded text helper reports to.
#pragma once

namespace kalimu::platform {

// Called on every failure of a bounded helper. Reads HKLM
// "SOFTWARE\\NORVA\\PRINTER" "KVDRV_DEBUG" once per process; with bit 0 set it
// breaks into an attached debugger (never without one).
void DebugBreakIfEnabled();

// Read-only view of the debug hook's process state, for diagnostics.
struct DebugHookState {
  int read_flag;
  int break_flag;
  unsigned long calls;  // failures reported since the process started
};
DebugHookState GetDebugHookState();
// Forgets the setting so that the next failure reads it again.
void ResetDebugHook();

}  // namespace kalimu::platform
