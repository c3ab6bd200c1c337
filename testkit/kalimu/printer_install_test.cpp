// The printer fixture installs a working printer whose driver data file is the generated one.
#include "testkit/windows/printer_fixture.h"

#include <gtest/gtest.h>
#include <winspool.h>

#include "testkit/kalimu/driver_data_file.h"

namespace testkit {
namespace {

TEST(TestPrinter, InstallsOpensAndRemovesAPrinter) {
  std::string printer_name;
  std::string data_file;
  {
    TestPrinter printer("Fixture", StandardDriverData().Render());
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
