// Library start-up and the settings-free entry points, in process and through the DLL.
#include <gtest/gtest.h>

#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/platform/module_handle.h"

namespace kalimu::driver {
namespace {

TEST(LibraryEntry, OnlyProcessAttachStoresTheModule) {
  HMODULE self = GetModuleHandleA(nullptr);
  EXPECT_TRUE(DllInitialize(self, DLL_PROCESS_ATTACH));
  EXPECT_EQ(platform::KalimuModule(), self);
  for (ULONG reason : {ULONG{DLL_PROCESS_DETACH}, ULONG{DLL_THREAD_ATTACH}, ULONG{DLL_THREAD_DETACH}, ULONG{7}}) {
    EXPECT_TRUE(DllInitialize(nullptr, reason));
    EXPECT_EQ(platform::KalimuModule(), self) << reason;
  }
}

TEST(LibraryEntry, EveryJobCanPrint) { EXPECT_TRUE(DevQueryPrintEx(nullptr)); }

TEST(LibraryEntry, DllExportsItsEntryPointsByNameAndOrdinal) {
  HMODULE dll = LoadLibraryA("Kalimu.dll");
  ASSERT_NE(dll, nullptr) << GetLastError();
  struct Export { const char* name; WORD ordinal; };
  for (const Export& e : {Export{"DllInitialize", 108}, Export{"DevQueryPrintEx", 111}}) {
    FARPROC by_name = GetProcAddress(dll, e.name);
    FARPROC by_ordinal = GetProcAddress(dll, MAKEINTRESOURCEA(e.ordinal));
    ASSERT_NE(by_name, nullptr) << e.name;
    EXPECT_EQ(by_name, by_ordinal) << e.name;
  }
  auto dev_query = reinterpret_cast<BOOL(WINAPI*)(PDEVQUERYPRINT_INFO)>(
      GetProcAddress(dll, "DevQueryPrintEx"));
  EXPECT_TRUE(dev_query(nullptr));
  FreeLibrary(dll);
}

}  // namespace
}  // namespace kalimu::driver
