// Printer data values of a printer installed by the fixture.
#include "kalimu/storage/driver_registry.h"

#include <gtest/gtest.h>
#include <winspool.h>

#include <cstring>

#include "testkit/kalimu/driver_data_file.h"
#include "testkit/windows/printer_fixture.h"

namespace kalimu::storage {
namespace {

class PrinterDataTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { printer_ = new testkit::TestPrinter("Data", testkit::StandardDriverData().Render()); }
  static void TearDownTestSuite() {
    delete printer_;
    printer_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(printer_->ok()) << printer_->error(); }

  // Bytes the spooler holds for a value.
  static DWORD StoredBytes(const wchar_t* name, DWORD* type) {
    DWORD needed = 0;
    BYTE probe[1];
    GetPrinterDataW(printer_->handle(), const_cast<wchar_t*>(name), type, probe, 0, &needed);
    return needed;
  }

  static testkit::TestPrinter* printer_;
};
testkit::TestPrinter* PrinterDataTest::printer_ = nullptr;

TEST_F(PrinterDataTest, DwordAndBinaryRoundTrip) {
  const DWORD value = 0xA5A5;
  EXPECT_EQ(DriverRegistry::WritePrinterData(printer_->handle(), "KVPermission", REG_DWORD, &value, 4), 0u);
  DWORD type = 0;
  DWORD back = 0;
  DWORD needed = 0;
  EXPECT_EQ(DriverRegistry::ReadPrinterData(printer_->handle(), "KVPermission", &type, &back, 4, &needed), 0u);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(back, value);
  const BYTE record[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  EXPECT_EQ(DriverRegistry::WritePrinterData(printer_->handle(), "STMSetting", REG_BINARY, record, 12), 0u);
  BYTE small[4];
  EXPECT_EQ(DriverRegistry::ReadPrinterData(printer_->handle(), "STMSetting", &type, small, 4, &needed),
            static_cast<DWORD>(ERROR_MORE_DATA));
  EXPECT_EQ(needed, 12u);
}

TEST_F(PrinterDataTest, MissingValueOrMissingPointersAreFailures) {
  DWORD type = 0;
  DWORD data = 0;
  DWORD needed = 0;
  EXPECT_EQ(DriverRegistry::ReadPrinterData(printer_->handle(), "NoSuchValue", &type, &data, 4, &needed),
            static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(DriverRegistry::ReadPrinterData(printer_->handle(), "KVPermission", nullptr, &data, 4, &needed),
            static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(DriverRegistry::ReadPrinterData(printer_->handle(), "KVPermission", &type, nullptr, 4, &needed),
            static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(DriverRegistry::ReadPrinterData(printer_->handle(), "KVPermission", &type, &data, 4, nullptr),
            static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

// A string is stored as UTF-16 whose byte count is the converted text's own.
TEST_F(PrinterDataTest, StringsAreWidenedWithTheirOwnLength) {
  EXPECT_EQ(DriverRegistry::WritePrinterData(printer_->handle(), "KVProperty", REG_SZ, "ABCD", 5), 0u);
  DWORD type = 0;
  EXPECT_EQ(StoredBytes(L"KVProperty", &type), 10u);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  wchar_t back[8] = {};
  DWORD needed = 0;
  EXPECT_EQ(DriverRegistry::ReadPrinterData(printer_->handle(), "KVProperty", &type, back, sizeof(back), &needed), 0u);
  EXPECT_STREQ(back, L"ABCD");

  if (GetACP() != 932) return;
  // Two double-byte characters and the terminator: 5 ANSI bytes, 3 UTF-16 units.
  const char text[] = "\x93\xfa\x96\x7b";
  EXPECT_EQ(DriverRegistry::WritePrinterData(printer_->handle(), "KVProperty", REG_SZ, text, 5), 0u);
  EXPECT_EQ(StoredBytes(L"KVProperty", &type), 6u);
  std::memset(back, 0, sizeof(back));
  EXPECT_EQ(DriverRegistry::ReadPrinterData(printer_->handle(), "KVProperty", &type, back, sizeof(back), &needed), 0u);
  EXPECT_STREQ(back, L"\x65e5\x672c");
}

}  // namespace
}  // namespace kalimu::storage
