// The fixture installs a working printer whose driver data file is the generated one.
#include "testkit/printer_fixture.h"

#include <gtest/gtest.h>
#include <winspool.h>

namespace testkit {
namespace {

TEST(DriverDataTable, RendersSectionsInFirstUseOrderAndReplacesKeys) {
  DriverDataTable table{{"A", "x", "1"}, {"B", "y", "2"}};
  table.Set("A", "z", "3").Set("A", "x", "4").Remove("B", "y").Set("B", "w", "5");
  EXPECT_EQ(table.Render(), "[A]\r\nx=4\r\nz=3\r\n\r\n[B]\r\nw=5\r\n\r\n");
}

TEST(TestPrinter, InstallsOpensAndRemovesAPrinter) {
  std::string printer_name;
  std::string data_file;
  {
    TestPrinter printer("Fixture", StandardDriverData());
    ASSERT_TRUE(printer.ok()) << printer.error();
    printer_name = printer.printer_name();
    data_file = printer.data_file();
    char value[MAX_PATH];
    GetPrivateProfileStringA(kDriverInfoSection, "CfgFileI", "Error", value, MAX_PATH,
                             data_file.c_str());
    EXPECT_STREQ(value, "KVMODEL.CFG");
    DWORD written = 0x12345678;
    EXPECT_EQ(SetPrinterDataA(printer.handle(), const_cast<char*>("KVProbe"), REG_DWORD,
                              reinterpret_cast<BYTE*>(&written), 4),
              ERROR_SUCCESS);
  }
  HANDLE gone = nullptr;
  EXPECT_FALSE(OpenPrinterA(const_cast<char*>(printer_name.c_str()), &gone, nullptr));
  EXPECT_EQ(GetFileAttributesA(data_file.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace testkit
