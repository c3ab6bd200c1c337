// Takes turns between test programs that run in parallel in one prefix and touch the same
// machine-wide value (a named mutex, held while the object lives).
#pragma once

#include <windows.h>

namespace testkit {

class MachineTurn {
 public:
  explicit MachineTurn(const char* name) : mutex_(CreateMutexA(nullptr, FALSE, name)) {
    // An abandoned turn (a crashed holder) is still a turn.
    if (mutex_ != nullptr) WaitForSingleObject(mutex_, INFINITE);
  }
  ~MachineTurn() {
    if (mutex_ != nullptr) {
      ReleaseMutex(mutex_);
      CloseHandle(mutex_);
    }
  }
  MachineTurn(const MachineTurn&) = delete;
  MachineTurn& operator=(const MachineTurn&) = delete;

 private:
  HANDLE mutex_;
};

}  // namespace testkit
