// Allocation-failure seam of the test builds: makes a chosen memory call fail so that the
// statuses 257 to 260 can be produced for real. Not compiled into the shipped DLL.
#pragma once

#ifdef TONVAR_FAULT_SEAMS

namespace tonvar::common::faults {

enum class MemOp { kAlloc, kLock, kUnlock, kFree };

// The n-th call of op from now (1 = the next one) fails; one pending failure per operation.
void FailNth(MemOp op, int n);
// Clears pending failures and the counters below.
void Reset();
// Calls of op since the last Reset.
int Calls(MemOp op);
// Blocks allocated and not freed since the last Reset.
int LiveBlocks();

// Resets on construction and on destruction, so a test's failures never leak into the next.
struct ScopedReset {
  ScopedReset() { Reset(); }
  ~ScopedReset() { Reset(); }
  ScopedReset(const ScopedReset&) = delete;
  ScopedReset& operator=(const ScopedReset&) = delete;
};

}  // namespace tonvar::common::faults

#endif
