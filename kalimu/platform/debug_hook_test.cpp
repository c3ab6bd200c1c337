// The debug hook of the bounded text helpers.
#include "kalimu/platform/debug_hook.h"

#include <gtest/gtest.h>

#include "kalimu/platform/text_helpers.h"
#include "testkit/windows/machine_turn.h"

namespace kalimu::platform {
namespace {

// The hook reads "KVDRV_DEBUG" once per process and, with bit 0 set, breaks only into an
// attached debugger: without one the process goes on.
TEST(DebugHook, ReadsItsSettingOnceAndNeverBreaksWithoutDebugger) {
  ASSERT_FALSE(IsDebuggerPresent());
  // The value is machine-wide: runs of this program in parallel take turns.
  testkit::MachineTurn turn("KalimuDebugHookTestTurn");
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\NORVA\\PRINTER", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  DWORD on = 1;
  ASSERT_EQ(RegSetValueExA(key, "KVDRV_DEBUG", 0, REG_DWORD, reinterpret_cast<BYTE*>(&on), 4),
            ERROR_SUCCESS);
  ResetDebugHook();
  EXPECT_EQ(GetDebugHookState().read_flag, 0);
  char dst[2];
  EXPECT_EQ(CopyStringA(dst, 2, "long"), 0);  // reaches the hook; must not end the process
  EXPECT_EQ(GetDebugHookState().read_flag, 1);
  EXPECT_EQ(GetDebugHookState().break_flag, 1);

  DWORD off = 0;
  RegSetValueExA(key, "KVDRV_DEBUG", 0, REG_DWORD, reinterpret_cast<BYTE*>(&off), 4);
  EXPECT_EQ(CopyStringA(dst, 2, "long"), 0);
  EXPECT_EQ(GetDebugHookState().break_flag, 1) << "the setting is read only once";

  RegDeleteValueA(key, "KVDRV_DEBUG");
  RegCloseKey(key);
  ResetDebugHook();
  EXPECT_EQ(CopyStringA(dst, 2, "long"), 0);
  EXPECT_EQ(GetDebugHookState().break_flag, 0);
}

}  // namespace
}  // namespace kalimu::platform
