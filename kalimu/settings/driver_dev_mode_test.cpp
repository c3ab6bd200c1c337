// The record's allocation, header and acceptance rules.
#include "kalimu/settings/driver_dev_mode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "kalimu/settings/dev_mode_accessor.h"

namespace kalimu::settings {
namespace {

constexpr wchar_t kDriverNameW[] = L"NORVA KV-9000 Series";
constexpr char kDriverNameA[] = "NORVA KV-9000 Series";

DriverDevMode DriverRecord(const char* driver_name = kDriverNameA) {
  DriverDevMode record{};
  StampDevModeHeader(record);
  CutDriverName(driver_name, record.DriverName);
  return record;
}

TEST(DriverDevMode, AllocatedRecordIsZeroMovableMemoryAndFreesOnce) {
  DevModeAccessor accessor;
  ASSERT_EQ(accessor.AllocDevMode(), 1);
  DriverDevMode* record = accessor.GetDriverDevMode();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(static_cast<void*>(accessor.GetDevMode()), static_cast<void*>(record));

  const auto* bytes = reinterpret_cast<const uint8_t*>(record);
  for (size_t i = 0; i < kDevModeSize; ++i) ASSERT_EQ(bytes[i], 0) << "byte " << i;
  HGLOBAL memory = GlobalHandle(record);
  ASSERT_NE(memory, nullptr);
  EXPECT_GE(GlobalSize(memory), kDevModeSize);
  EXPECT_EQ(GlobalFlags(memory) & GMEM_LOCKCOUNT, 1u);  // movable and locked once

  EXPECT_EQ(accessor.FreeDevMode(), 1);
  EXPECT_EQ(accessor.GetDevMode(), nullptr);
  EXPECT_EQ(accessor.GetDriverDevMode(), nullptr);
  EXPECT_EQ(accessor.FreeDevMode(), 0);  // nothing left to free
}

TEST(DriverDevMode, StampedHeaderHasTheDriverValuesAndTouchesNothingElse) {
  DevModeAccessor accessor;
  ASSERT_EQ(accessor.AllocDevMode(), 1);
  StampDevModeHeader(*accessor.GetDriverDevMode());

  EXPECT_EQ(accessor.GetSpecVersion(), 0x401u);
  EXPECT_EQ(accessor.GetDriverVersion(), 0x500u);
  EXPECT_EQ(accessor.GetSize(), 220u);
  EXPECT_EQ(accessor.GetDriverExtra(), 828u);
  EXPECT_EQ(accessor.GetPrivateVersion(), 0x0710u);
  EXPECT_EQ(accessor.GetPrivateTrailer(), 0x0710u);
  const auto* bytes = reinterpret_cast<const uint8_t*>(accessor.GetDriverDevMode());
  EXPECT_EQ(bytes[220], 0x10);
  EXPECT_EQ(bytes[221], 0x07);
  EXPECT_EQ(bytes[1046], 0x10);
  EXPECT_EQ(bytes[1047], 0x07);
  for (size_t i = 0; i < kDevModeSize; ++i) {
    const bool header = (i >= 64 && i < 72) || i == 220 || i == 221 || i >= 1046;
    if (!header) {
      ASSERT_EQ(bytes[i], 0) << "byte " << i;
    }
  }
  EXPECT_EQ(accessor.FreeDevMode(), 1);
}

TEST(DriverDevMode, DriverNameIsCutToThirtyOneBytesAndZeroFilled) {
  char field[kDriverNameBytes];
  std::memset(field, 'x', sizeof(field));
  const std::string forty(40, 'N');
  CutDriverName(forty.c_str(), field);
  EXPECT_EQ(std::string(field), std::string(31, 'N'));
  EXPECT_EQ(field[31], '\0');

  CutDriverName("short", field);
  EXPECT_STREQ(field, "short");
  for (size_t i = 5; i < kDriverNameBytes; ++i) EXPECT_EQ(field[i], '\0');

  CutDriverName(nullptr, field);
  EXPECT_EQ(field[0], '\0');
}

TEST(DriverDevMode, DriverNameCutKeepsDoubleByteCharactersWhole) {
  // 30 single-byte characters, then a Shift-JIS character whose lead byte is byte 30.
  const std::string name = std::string(30, 'A') + "\x82\xA0" + "B";
  char field[kDriverNameBytes];
  CutDriverName(name.c_str(), field, 932);
  EXPECT_EQ(std::string(field), std::string(30, 'A'));
  // In a single-byte code page the same bytes are cut at 31.
  CutDriverName(name.c_str(), field, 1252);
  EXPECT_EQ(std::string(field), std::string(30, 'A') + "\x82");
}

struct StoredCase {
  const char* what;
  std::function<void(DriverDevMode&)> change;
  size_t available = kDevModeSize;
  const wchar_t* printer_driver = kDriverNameW;
  bool accepted = false;
};

TEST(DriverDevMode, StoredRecordIsAcceptedOnlyWithTheDriverHeaderAndName) {
  const std::wstring long_driver_w(40, L'K');
  const std::string long_driver_a(40, 'K');
  const StoredCase cases[] = {
      {"own record", [](DriverDevMode&) {}, kDevModeSize, kDriverNameW, true},
      {"public fields do not matter", [](DriverDevMode& r) { r.Public.dmCopies = 0; },
       kDevModeSize, kDriverNameW, true},
      {"dmSpecVersion", [](DriverDevMode& r) { r.Public.dmSpecVersion = 0x400; }},
      {"driver version", [](DriverDevMode& r) { r.Public.dmDriverVersion = 0x501; }},
      {"public size", [](DriverDevMode& r) { r.Public.dmSize = 156; }},
      {"private size", [](DriverDevMode& r) { r.Public.dmDriverExtra = 827; }},
      {"another driver with the same private size",
       [](DriverDevMode& r) { CutDriverName("Other Vendor Driver", r.DriverName); }},
      {"different case",
       [](DriverDevMode& r) { CutDriverName("NORVA KV-9000 SERIES", r.DriverName); }},
      {"name prefix only", [](DriverDevMode& r) { CutDriverName("NORVA KV-9000", r.DriverName); }},
      {"unterminated name", [](DriverDevMode& r) { std::memset(r.DriverName, 'K', 32); },
       kDevModeSize, long_driver_w.c_str()},
      {"buffer shorter than the record", [](DriverDevMode&) {}, kDevModeSize - 1},
      {"buffer shorter than the header", [](DriverDevMode&) {}, 71},
      {"long driver name, written cut",
       [&](DriverDevMode& r) { CutDriverName(long_driver_a.c_str(), r.DriverName); },
       kDevModeSize, long_driver_w.c_str(), true},
      {"long driver name, record of a shorter one",
       [&](DriverDevMode& r) { CutDriverName(std::string(30, 'K').c_str(), r.DriverName); },
       kDevModeSize, long_driver_w.c_str()},
      {"no driver name", [](DriverDevMode&) {}, kDevModeSize, nullptr},
  };
  for (const StoredCase& c : cases) {
    SCOPED_TRACE(c.what);
    DriverDevMode record = DriverRecord();
    c.change(record);
    EXPECT_EQ(AcceptsStoredDevMode(&record, c.available, c.printer_driver), c.accepted);
  }
  EXPECT_FALSE(AcceptsStoredDevMode(nullptr, kDevModeSize, kDriverNameW));
}

TEST(DriverDevMode, LongDriverNameWrittenByTheAccessorIsAcceptedBack) {
  const std::wstring driver_w = L"NORVA KV-9000 Series Wide Format Colour Driver";  // 46
  const std::string driver_a(driver_w.begin(), driver_w.end());
  DriverDevMode record = DriverRecord();
  DevModeAccessor accessor(&record);
  accessor.SetDriverName(driver_a.c_str());
  EXPECT_EQ(std::string(accessor.GetDriverName()), driver_a.substr(0, 31));
  EXPECT_TRUE(AcceptsStoredDevMode(&record, kDevModeSize, driver_w.c_str()));
  DriverDevMode incoming = record;
  EXPECT_TRUE(AcceptsIncomingPrivatePart(record, &incoming, kDevModeSize));
}

TEST(DriverDevMode, ForeignPublicOnlyRecordIsRefused) {
  DEVMODEW foreign{};
  foreign.dmSpecVersion = 0x401;
  foreign.dmSize = sizeof(DEVMODEW);
  EXPECT_FALSE(AcceptsStoredDevMode(&foreign, sizeof(foreign), kDriverNameW));
  foreign.dmDriverVersion = 0x500;
  foreign.dmDriverExtra = 828;  // claims a private part the buffer does not hold
  EXPECT_FALSE(AcceptsStoredDevMode(&foreign, sizeof(foreign), kDriverNameW));
}

struct IncomingCase {
  const char* what;
  std::function<void(DriverDevMode&)> change;
  size_t available = kDevModeSize;
  bool accepted = false;
};

TEST(DriverDevMode, IncomingPrivatePartIsTakenOnlyWhenEveryCheckedValueMatches) {
  const IncomingCase cases[] = {
      {"same driver", [](DriverDevMode&) {}, kDevModeSize, true},
      {"other public and private values",
       [](DriverDevMode& r) {
         r.Public.dmCopies = 7;
         r.JobOptions = 0x50;
         r.UiLanguage = 1031;
       },
       kDevModeSize, true},
      {"dmSpecVersion", [](DriverDevMode& r) { r.Public.dmSpecVersion = 0x400; }},
      {"driver version", [](DriverDevMode& r) { r.Public.dmDriverVersion = 0x400; }},
      {"public size", [](DriverDevMode& r) { r.Public.dmSize = 212; }},
      {"private size", [](DriverDevMode& r) { r.Public.dmDriverExtra = 800; }},
      {"another driver", [](DriverDevMode& r) { CutDriverName("Other Driver", r.DriverName); }},
      {"different case",
       [](DriverDevMode& r) { CutDriverName("norva kv-9000 series", r.DriverName); }},
      {"unterminated name", [](DriverDevMode& r) { std::memset(r.DriverName, 'N', 32); }},
      {"private version", [](DriverDevMode& r) { r.PrivateVersion = 0x0700; }},
      {"private trailer", [](DriverDevMode& r) { r.PrivateTrailer = 0x0711; }},
      {"buffer shorter than declared", [](DriverDevMode&) {}, kDevModeSize - 2},
      {"buffer shorter than the header", [](DriverDevMode&) {}, 40},
  };
  const DriverDevMode own = DriverRecord();
  for (const IncomingCase& c : cases) {
    SCOPED_TRACE(c.what);
    DriverDevMode incoming = DriverRecord();
    c.change(incoming);
    EXPECT_EQ(AcceptsIncomingPrivatePart(own, &incoming, c.available), c.accepted);
  }
  EXPECT_FALSE(AcceptsIncomingPrivatePart(own, nullptr, kDevModeSize));
}

TEST(DriverDevMode, IncomingSizesAreComparedWithTheOwnRecord) {
  // Both records declare the same unusual sizes: still refused, the private fields compared
  // lie beyond what such a record declares.
  DriverDevMode own = DriverRecord();
  own.Public.dmDriverExtra = 16;
  DriverDevMode incoming = DriverRecord();
  incoming.Public.dmDriverExtra = 16;
  EXPECT_FALSE(AcceptsIncomingPrivatePart(own, &incoming, kDevModeSize));
}

}  // namespace
}  // namespace kalimu::settings
