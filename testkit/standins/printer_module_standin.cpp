// Stand-in printer module: "PrGetPrinterStatus" hands back the reply the test put in the
// environment, in a fixed global-memory block the caller frees.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "testkit/status/status_replies.h"
#include "testkit/standins/status_switches.h"

extern "C" __declspec(dllexport) int32_t WINAPI PrGetPrinterStatus(const char*, void** reply) {
  static char hex[32768];
  const DWORD n = GetEnvironmentVariableA(testkit::kModuleReplyVar, hex, sizeof hex);
  const testkit::Bytes bytes = testkit::FromHex(n > 0 && n < sizeof hex ? std::string_view(hex, n) : "");
  char length_text[32];
  const DWORD m = GetEnvironmentVariableA(testkit::kModuleLengthVar, length_text, sizeof length_text);
  const int32_t length = m > 0 && m < sizeof length_text ? std::atoi(length_text) : static_cast<int32_t>(bytes.size());
  *reply = nullptr;
  if (bytes.empty()) return length;
  void* block = GlobalAlloc(GMEM_FIXED, bytes.size());
  if (block == nullptr) return 0;
  std::memcpy(block, bytes.data(), bytes.size());
  *reply = block;
  return length;
}
