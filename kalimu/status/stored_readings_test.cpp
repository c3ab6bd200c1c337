// The stored printer readings on an installed printer: each accessor writes both registry
// views and reads back its value, or its default when nothing is stored.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "kalimu/status/stored_readings.h"
#include "testkit/kalimu/status_printer.h"

namespace kalimu::status {
namespace {

class StoredReadingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    registry_.Init(printer_.printer_name().c_str(), printer_.driver_name().c_str());
  }

  // The value as each view holds it (the driver key for the model settings).
  int32_t InView(const char* name, REGSAM view, bool driver_key = false) {
    std::string key = printer_.PrinterKey();
    if (driver_key) key = key.substr(0, key.rfind('\\'));
    int32_t value = 0x5A5A5A5A;
    DWORD size = sizeof value;
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE | view, &handle) == ERROR_SUCCESS) {
      RegQueryValueExA(handle, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
      RegCloseKey(handle);
    }
    return value;
  }

  testkit::StatusPrinter printer_;
  storage::DriverRegistry registry_;
};

TEST_F(StoredReadingsTest, NumbersRoundTripInBothViews) {
  struct Case {
    const char* name;
    int (*write)(const storage::DriverRegistry&, int32_t);
    int32_t (*read)(const storage::DriverRegistry&);
    int32_t fallback;
    bool driver_key;
  };
  const Case cases[] = {
      {"PLATENINF", WritePlatenInfo, ReadPlatenInfo, 0, true},
      {"RX_STACKER", WriteStackerState, ReadStackerState, 0, false},
      {"RX_PGPOS", WritePagePosition, ReadPagePosition, -1, false},
      {"RX_OVTEMP", WriteOverTemperature, ReadOverTemperature, 0, false},
      {"PaperRemain", WritePaperRemain, ReadPaperRemain, 0, false},
      {"KV_BININFO", WriteBinInfo, ReadBinInfo, 0, false},
      {"KV_INKLEVEL", WriteInkLevel, ReadInkLevel, 0, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.read(registry_), c.fallback) << c.name;
    EXPECT_EQ(c.write(registry_, -7), 1) << c.name;
    EXPECT_EQ(c.read(registry_), -7) << c.name;
    EXPECT_EQ(InView(c.name, KEY_WOW64_64KEY, c.driver_key), -7) << c.name;
    EXPECT_EQ(InView(c.name, KEY_WOW64_32KEY, c.driver_key), -7) << c.name;
  }
}

TEST_F(StoredReadingsTest, WriteOnlyValues) {
  EXPECT_EQ(WriteSilentValue(registry_, 1), 1);
  EXPECT_EQ(InView("Silent", KEY_WOW64_32KEY, true), 1);
  EXPECT_EQ(WriteRtInfo(registry_, 0x33), 1);
  EXPECT_EQ(InView("KVRT_INFO", KEY_WOW64_64KEY), 0x33);
  const uint8_t block[8] = {3, 1, 2, 3, 0, 0, 0, 0};
  EXPECT_EQ(WriteIwfInfo(registry_, block), 1);
  EXPECT_EQ(WriteHtInfo(registry_, block), 1);
  for (const char* name : {"KVIWF_INFO", "KVHT_INFO"}) {
    const auto stored = printer_.ReadValue(name, KEY_WOW64_32KEY);
    ASSERT_TRUE(stored.has_value()) << name;
    EXPECT_EQ(*stored, std::vector<uint8_t>(block, block + 8)) << name;
  }
}

TEST_F(StoredReadingsTest, BinInfoAnswersOneEvenWhenTheWriteFails) {
  const storage::DriverRegistry unready;  // no printer: every write fails
  EXPECT_EQ(WriteBinInfo(unready, 2), 1);
  EXPECT_EQ(WriteStackerState(unready, 2), 0);
  EXPECT_EQ(ReadPagePosition(unready), -1);
}

TEST_F(StoredReadingsTest, ClearPrinterStatusFlag) {
  EXPECT_EQ(ClearPrinterStatusFlag(registry_), 0);
  EXPECT_FALSE(printer_.ReadValue("RX_PRNSTATUS", KEY_WOW64_64KEY).has_value());
  uint8_t record[20];
  for (int i = 0; i < 20; ++i) record[i] = static_cast<uint8_t>(i + 1);
  ASSERT_TRUE(printer_.WriteValue("RX_PRNSTATUS", REG_BINARY, record, sizeof record));
  EXPECT_EQ(ClearPrinterStatusFlag(registry_), 1);
  std::memset(record + 16, 0, 4);
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    const auto stored = printer_.ReadValue("RX_PRNSTATUS", view);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(*stored, std::vector<uint8_t>(record, record + 20));
  }
}

}  // namespace
}  // namespace kalimu::status
