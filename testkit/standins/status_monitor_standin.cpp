// Stand-in status-monitor library: "VTR_GetInfo" fills a level-3 record whose texts lie inside
// the block it is given, or for the layout "outside" partly in the library's own data. The
// answer, the mode and the printer module come from the environment
// (testkit/standins/status_switches.h).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "testkit/standins/status_switches.h"

namespace {

std::string Env(const char* name, const char* fallback) {
  char value[1024];
  const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
  return n > 0 && n < sizeof value ? std::string(value, n) : std::string(fallback);
}

constexpr size_t kRecordSize = 72;
// The library's own copies of texts for the layout "outside".
char module_copy[1024];
char long_text[testkit::kMonitorLongTextLength + 1];

void Log(const char* printer, const char* driver, uint16_t level, uint32_t size) {
  const std::string path = Env(testkit::kMonitorLogVar, "");
  if (path.empty()) return;
  if (FILE* f = std::fopen(path.c_str(), "ab")) {
    std::fprintf(f, "%s|%s|%u|%u\n", printer ? printer : "(null)", driver ? driver : "(null)", level, size);
    std::fclose(f);
  }
}

}  // namespace

extern "C" __declspec(dllexport) int32_t WINAPI VTR_GetInfo(const char* printer, const char* driver,
                                                            uint16_t level, void* block,
                                                            uint32_t size, uint32_t* needed) {
  Log(printer, driver, level, size);
  const int32_t answer = std::atoi(Env(testkit::kMonitorAnswerVar, "3").c_str());
  const uint32_t mode = static_cast<uint32_t>(std::atoi(Env(testkit::kMonitorModeVar, "1").c_str()));
  const std::string layout = Env(testkit::kMonitorLayoutVar, "");
  const std::string module = Env(testkit::kMonitorModuleVar, testkit::kMonitorDefaultModule);
  const char* texts[6] = {testkit::kMonitorInstallArgument, testkit::kMonitorProgram2,
                          testkit::kMonitorProgram3,        testkit::kMonitorJobProgram,
                          testkit::kMonitorInstallProgram,  module.c_str()};
  constexpr size_t kOffsets[6] = {0, 8, 16, 24, 32, 64};

  size_t total = kRecordSize;
  for (const char* t : texts) total += std::strlen(t) + 1;
  if (layout == "short") total = 40;  // too small for the record's fields
  if (block == nullptr) {
    if (needed != nullptr) *needed = static_cast<uint32_t>(total);
    return answer;
  }
  if (layout == "null" || size < total) return -1;
  uint8_t* record = static_cast<uint8_t*>(block);
  if (layout != "short") {
    std::memcpy(record + 48, &mode, sizeof mode);
    char* text = reinterpret_cast<char*>(record + kRecordSize);
    for (size_t i = 0; i < 6; ++i) {
      // "outside": program 3 is a long text and the module name a copy, both in this library's
      // own data; the install program is a null pointer.
      const char* target = text;
      if (layout == "outside" && i == 2) {
        std::memset(long_text, 'x', testkit::kMonitorLongTextLength);
        target = long_text;
      } else if (layout == "outside" && i == 4) {
        target = nullptr;
      } else if (layout == "outside" && i == 5) {
        std::snprintf(module_copy, sizeof module_copy, "%s", module.c_str());
        target = module_copy;
      } else {
        std::strcpy(text, texts[i]);
        text += std::strlen(texts[i]) + 1;
      }
      std::memcpy(record + kOffsets[i], &target, sizeof target);
    }
  }
  if (needed != nullptr) *needed = static_cast<uint32_t>(total);
  return answer;
}
