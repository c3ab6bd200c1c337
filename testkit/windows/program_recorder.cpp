// Record folder, copies and records of the recorder stand-in.
#include "testkit/windows/program_recorder.h"

#include <windows.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <sstream>

#include "testkit/standins/recorder_switches.h"
#include "testkit/windows/printer_fixture.h"

namespace testkit {
namespace {

constexpr char kProgramFile[] = "testkit_recorder.exe";
constexpr char kInstallerFile[] = "testkit_installer.dll";
constexpr int kWaitTicks = 3000;  // of 10 ms

std::atomic<int> g_counter{0};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return in ? std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()) : std::string();
}

}  // namespace

ProgramRecorder::ProgramRecorder() {
  char temp[MAX_PATH];
  if (GetTempPathA(MAX_PATH, temp) == 0) return;
  const std::string folder = std::string(temp) + "kvrec" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(++g_counter);
  if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return;
  folder_ = folder;
  SetEnvironmentVariableA(kRecordDirVar, folder_.c_str());
}

ProgramRecorder::~ProgramRecorder() {
  if (folder_.empty()) return;
  SetEnvironmentVariableA(kRecordDirVar, nullptr);
  // Held programs go first, then every record.
  for (const char* pattern : {"\\*.hold", "\\*"}) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder_ + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) continue;
    do {
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) DeleteFileA((folder_ + "\\" + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder_.c_str());
  for (const std::string& path : installed_) {
    // A copy that still runs stays locked for a moment after its hold went.
    for (int tick = 0; tick < 200 && !DeleteFileA(path.c_str()) && GetFileAttributesA(path.c_str()) !=
                                                                     INVALID_FILE_ATTRIBUTES;
         ++tick) {
      Sleep(10);
    }
  }
}

std::vector<uint8_t> ProgramRecorder::ProgramBytes() {
  const std::string bytes = ReadAll(TestProgramDirectory() + kProgramFile);
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::vector<uint8_t> ProgramRecorder::InstallerLibraryBytes() {
  const std::string bytes = ReadAll(TestProgramDirectory() + kInstallerFile);
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

bool ProgramRecorder::InstallAs(const std::string& path) {
  if (!CopyFileA((TestProgramDirectory() + kProgramFile).c_str(), path.c_str(), FALSE)) return false;
  installed_.push_back(path);
  return true;
}

std::string ProgramRecorder::PathOf(const std::string& stem, const char* ext) const {
  return folder_ + "\\" + stem + ext;
}

bool ProgramRecorder::Hold(const std::string& stem) const {
  return WriteFileText(PathOf(stem, kRecordHoldExt), "hold");
}

void ProgramRecorder::Release(const std::string& stem) const { DeleteFileA(PathOf(stem, kRecordHoldExt).c_str()); }

bool ProgramRecorder::SetExitCode(const std::string& stem, int code) const {
  return WriteFileText(PathOf(stem, kRecordExitExt), std::to_string(code));
}

std::vector<ProgramLaunch> ProgramRecorder::Launches(const std::string& stem) const {
  std::vector<ProgramLaunch> launches;
  std::istringstream lines(ReadAll(PathOf(stem, kRecordLogExt)));
  std::string line;
  while (std::getline(lines, line)) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    launches.push_back({std::atoi(line.substr(0, tab).c_str()), line.substr(tab + 1)});
  }
  return launches;
}

std::vector<ProgramLaunch> ProgramRecorder::WaitForLaunches(const std::string& stem, size_t count) const {
  std::vector<ProgramLaunch> launches = Launches(stem);
  for (int tick = 0; tick < kWaitTicks && launches.size() < count; ++tick) {
    Sleep(10);
    launches = Launches(stem);
  }
  return launches;
}

size_t ProgramRecorder::Ends(const std::string& stem) const { return ReadAll(PathOf(stem, kRecordEndExt)).size(); }

std::vector<std::string> ProgramRecorder::LibraryCalls(const std::string& stem) const {
  std::vector<std::string> calls;
  std::istringstream lines(ReadAll(PathOf(stem, kRecordCallsExt)));
  std::string line;
  while (std::getline(lines, line)) calls.push_back(line);
  return calls;
}

bool ProgramRecorder::WaitForEnds(const std::string& stem, size_t count) const {
  for (int tick = 0; tick < kWaitTicks; ++tick) {
    if (Ends(stem) >= count) return true;
    Sleep(10);
  }
  return false;
}

}  // namespace testkit
