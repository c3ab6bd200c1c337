// Stand-in status refresh helper: started as
//   <program>  *A"<monitor library>""<request file>" *T"@"
// it reads the printer's key from the request file (in the temporary folder), stores the reply
// of the environment (testkit/standins/status_switches.h) with the local time and the
// request flag in that key, both registry views, and deletes the request file.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "testkit/status/status_replies.h"
#include "testkit/standins/status_switches.h"

namespace {

std::string Env(const char* name, const char* fallback) {
  static char value[32768];
  const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
  return n > 0 && n < sizeof value ? std::string(value, n) : std::string(fallback);
}

// The text between the quotes that follow `after` in the command line.
std::string Quoted(const std::string& line, size_t* pos) {
  const size_t open = line.find('"', *pos);
  if (open == std::string::npos) return {};
  const size_t close = line.find('"', open + 1);
  if (close == std::string::npos) return {};
  *pos = close + 1;
  return line.substr(open + 1, close - open - 1);
}

bool SetInViews(const std::string& key, const char* name, const void* data, DWORD size) {
  bool ok = true;
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view,
                        nullptr, &handle, nullptr) != ERROR_SUCCESS) {
      ok = false;
      continue;
    }
    ok &= RegSetValueExA(handle, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
    RegCloseKey(handle);
  }
  return ok;
}

}  // namespace

int main() {
  const std::string line = GetCommandLineA();
  const std::string log = Env(testkit::kRefreshLogVar, "");
  if (!log.empty()) {
    if (FILE* f = std::fopen(log.c_str(), "wb")) {
      std::fputs(line.c_str(), f);
      std::fclose(f);
    }
  }
  size_t pos = line.find("*A");
  if (pos == std::string::npos) return 2;
  Quoted(line, &pos);  // the monitor library
  const std::string request_name = Quoted(line, &pos);
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string request_path = std::string(temp) + request_name;

  std::string request;
  if (FILE* f = std::fopen(request_path.c_str(), "rb")) {
    char buffer[1024];
    request.assign(buffer, std::fread(buffer, 1, sizeof buffer, f));
    std::fclose(f);
  }
  DeleteFileA(request_path.c_str());
  // "SOFTWARE\NORVA\PRINTER\<driver>\@<printer>" in quotes.
  if (request.size() < 2 || request.front() != '"' || request.back() != '"') return 3;
  request = request.substr(1, request.size() - 2);
  const size_t at = request.find("\\@");
  if (at == std::string::npos) return 3;
  std::string printer = request.substr(at + 2);
  for (char& c : printer) c = c == '\\' ? ',' : c;
  const std::string key = request.substr(0, at + 1) + printer;

  const int flag = std::atoi(Env(testkit::kRefreshFlagVar, "2").c_str());
  if (flag == 2) {
    const testkit::Bytes reply = testkit::FromHex(Env(testkit::kRefreshReplyVar, ""));
    SYSTEMTIME now;
    GetLocalTime(&now);
    SetInViews(key, "RX_STATUS", reply.data(), static_cast<DWORD>(reply.size()));
    SetInViews(key, "RX_TIME", &now, sizeof now);
  }
  return SetInViews(key, "RX_FLAG", &flag, sizeof flag) ? 0 : 1;
}
