// Small Win32 helpers of the entry points.
#include "kalimu/platform/win32_helpers.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kalimu::platform {
namespace {

TEST(CopyDevModeRecord, CopiesPublicAndPrivatePartsOrOnlyTheHead) {
  BYTE source[1048];
  BYTE target[1100];
  for (size_t i = 0; i < sizeof(source); ++i) source[i] = static_cast<BYTE>(i * 7 + 1);
  auto* dm = reinterpret_cast<DEVMODEW*>(source);
  dm->dmSize = 220;
  dm->dmDriverExtra = 828;
  std::memset(target, 0xEE, sizeof(target));
  CopyDevModeRecord(dm, reinterpret_cast<DEVMODEW*>(target));
  EXPECT_EQ(std::memcmp(source, target, 1048), 0);
  EXPECT_EQ(target[1048], 0xEE);

  dm->dmSize = 0;
  std::memset(target, 0xEE, sizeof(target));
  CopyDevModeRecord(dm, reinterpret_cast<DEVMODEW*>(target));
  EXPECT_EQ(std::memcmp(source, target, 8), 0);
  EXPECT_EQ(target[8], 0xEE);
}

}  // namespace
}  // namespace kalimu::platform
