// Library start-up and the two entry points that need no settings.
#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/platform/module_handle.h"

namespace kalimu::driver {
namespace {
// Written once at process attach, before any export can run; read-only afterwards.
HMODULE g_module = nullptr;
}  // namespace
}  // namespace kalimu::driver

HMODULE kalimu::platform::KalimuModule() { return kalimu::driver::g_module; }

extern "C" {

// The spooler calls this with reason 1 (process attach); any other reason changes nothing.
BOOL WINAPI DllInitialize(HANDLE module, ULONG reason) {
  if (reason == DLL_PROCESS_ATTACH) kalimu::driver::g_module = static_cast<HMODULE>(module);
  return TRUE;
}

// Every job can print; the query record is not read.
BOOL WINAPI DevQueryPrintEx(PDEVQUERYPRINT_INFO) { return TRUE; }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}

}  // extern "C"
