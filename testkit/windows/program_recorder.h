// The test's side of the recorder stand-in (testkit/standins/recorder_switches.h): a fresh
// record folder named to started programs through the environment, copies of the stand-in
// under any helper program's name, holds and exit codes per program, and the recorded starts.
// Programs are told apart by the stem of their file name ("KVUTIL" for "...\KVUTIL.EXE").
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testkit {

struct ProgramLaunch {
  int show = -1;             // wShowWindow of the start, -1 without STARTF_USESHOWWINDOW
  std::string command_line;  // GetCommandLineA of the started program, byte for byte
};

class ProgramRecorder {
 public:
  ProgramRecorder();   // sets the record folder for every program started from now on
  ~ProgramRecorder();  // lets held programs go, clears the variable, removes records and copies
  ProgramRecorder(const ProgramRecorder&) = delete;
  ProgramRecorder& operator=(const ProgramRecorder&) = delete;

  bool ok() const { return !folder_.empty(); }
  const std::string& folder() const { return folder_; }

  // The stand-in program's bytes (for a fixture that writes driver files itself) and a copy of
  // it at path, removed again at the end.
  static std::vector<uint8_t> ProgramBytes();
  // The installer library stand-in's bytes (its calls are recorded under its file's stem).
  static std::vector<uint8_t> InstallerLibraryBytes();
  bool InstallAs(const std::string& path);

  // Started programs of this stem wait until Release (or the stand-in's own limit).
  bool Hold(const std::string& stem) const;
  void Release(const std::string& stem) const;
  bool SetExitCode(const std::string& stem, int code) const;

  // The starts recorded so far, oldest first.
  std::vector<ProgramLaunch> Launches(const std::string& stem) const;
  // Waits (up to 30 s: only a hang is guarded) until count starts are recorded; the starts then.
  std::vector<ProgramLaunch> WaitForLaunches(const std::string& stem, size_t count = 1) const;
  // How many starts have ended, and the bounded wait until count have.
  size_t Ends(const std::string& stem) const;
  // The installer library's calls so far: "function\targument..." each.
  std::vector<std::string> LibraryCalls(const std::string& stem) const;
  bool WaitForEnds(const std::string& stem, size_t count = 1) const;

 private:
  std::string PathOf(const std::string& stem, const char* ext) const;

  std::string folder_;
  std::vector<std::string> installed_;
};

}  // namespace testkit
