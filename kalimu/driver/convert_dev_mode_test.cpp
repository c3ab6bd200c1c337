// DrvConvertDevMode on a sample-model printer whose name holds a dot.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/settings/driver_dev_mode.h"
#include "testkit/kalimu/driver_printer.h"

namespace kalimu::driver {
namespace {

using settings::DriverDevMode;
using settings::kDevModeSize;

constexpr uint8_t kPoison = 0xCD;

class ConvertDevModeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    ASSERT_NE(printer_.printer_name().find('.'), std::string::npos);
  }

  BOOL Convert(const std::wstring& name, void* in, void* out, LONG* size, DWORD mode) {
    std::wstring text = name;
    return DrvConvertDevMode(text.data(), static_cast<DEVMODEW*>(in), static_cast<DEVMODEW*>(out), size, mode);
  }
  DriverDevMode DefaultRecord() {
    DriverDevMode record;
    LONG size = kDevModeSize;
    EXPECT_TRUE(Convert(name_, nullptr, &record, &size, CDM_DRIVER_DEFAULT)) << GetLastError();
    return record;
  }

  testkit::DriverPrinter printer_{testkit::RollPaperModel(), testkit::kStandinConfigModule, "Studio 9.2"};
  std::wstring name_ = printer_.wide_printer_name();
};

TEST_F(ConvertDevModeTest, DriverDefaultIsAWholeRecordNamedAsThePrinter) {
  std::vector<uint8_t> out(kDevModeSize + 16, kPoison);
  LONG size = kDevModeSize;
  // The spooler may add ",..." after the name; the dotted name is kept whole.
  ASSERT_TRUE(Convert(name_ + L",LocalsplOnly", nullptr, out.data(), &size, CDM_DRIVER_DEFAULT)) << GetLastError();
  EXPECT_EQ(size, LONG{kDevModeSize});
  const auto& record = *reinterpret_cast<const DriverDevMode*>(out.data());
  EXPECT_EQ(record.Public.dmSpecVersion, settings::kDevModeSpecVersion);
  EXPECT_EQ(record.Public.dmDriverVersion, settings::kDevModeDriverVersion);
  EXPECT_EQ(record.Public.dmSize, settings::kDevModePublicSize);
  EXPECT_EQ(record.Public.dmDriverExtra, settings::kDevModePrivateSize);
  EXPECT_STREQ(record.DriverName, printer_.driver_name().c_str());
  const std::wstring device_name = name_.substr(0, 31);
  EXPECT_EQ(std::wstring(record.Public.dmDeviceName), device_name);
  EXPECT_EQ(std::vector<uint8_t>(out.begin() + kDevModeSize, out.end()), std::vector<uint8_t>(16, kPoison));
}

TEST_F(ConvertDevModeTest, DriverDefaultAsksForRoomFirst) {
  for (bool with_output : {true, false}) {
    std::vector<uint8_t> out(kDevModeSize, kPoison);
    LONG size = kDevModeSize - 1;
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(Convert(name_, nullptr, with_output ? out.data() : nullptr, &size, CDM_DRIVER_DEFAULT));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INSUFFICIENT_BUFFER});
    EXPECT_EQ(size, LONG{kDevModeSize});
    EXPECT_EQ(out, std::vector<uint8_t>(kDevModeSize, kPoison));
    if (!with_output) {
      size = kDevModeSize;
      EXPECT_FALSE(Convert(name_, nullptr, nullptr, &size, CDM_DRIVER_DEFAULT));
      EXPECT_EQ(GetLastError(), DWORD{ERROR_INSUFFICIENT_BUFFER});
    }
  }
}

TEST_F(ConvertDevModeTest, ConvertTakesTheInputsPartsAndNamesTheModule) {
  DriverDevMode input = DefaultRecord();
  input.Public.dmCopies = 7;
  input.LayoutOptions = 0x1234;
  DriverDevMode output = DefaultRecord();
  std::memset(output.DllNameTag, 0, sizeof(output.DllNameTag));
  LONG size = kDevModeSize + 100;
  ASSERT_TRUE(Convert(name_, &input, &output, &size, CDM_CONVERT)) << GetLastError();
  EXPECT_EQ(size, LONG{kDevModeSize});
  EXPECT_EQ(output.Public.dmCopies, 7);
  EXPECT_EQ(output.LayoutOptions, 0x1234u);
  EXPECT_STREQ(output.DllNameTag, "DLLName32=KVUI64.DLL");
}

TEST_F(ConvertDevModeTest, ConvertRefusesRecordsItCannotServe) {
  struct Case {
    const char* name;
    WORD output_driver_version;
    WORD output_extra;
    LONG size;
    bool with_input;
  };
  const Case cases[] = {
      {"driver versions differ", 0x400, settings::kDevModePrivateSize, LONG{kDevModeSize}, true},
      {"size below the output record", 0x500, settings::kDevModePrivateSize, LONG{kDevModeSize} - 1, true},
      {"output below a whole record", 0x500, 100, LONG{kDevModeSize}, true},
      {"no input", 0x500, settings::kDevModePrivateSize, LONG{kDevModeSize}, false},
  };
  const DriverDevMode input = DefaultRecord();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DriverDevMode output;
    std::memset(&output, kPoison, sizeof(output));
    output.Public.dmSize = settings::kDevModePublicSize;
    output.Public.dmDriverVersion = c.output_driver_version;
    output.Public.dmDriverExtra = c.output_extra;
    const DriverDevMode before = output;
    LONG size = c.size;
    SetLastError(ERROR_SUCCESS);
    DriverDevMode in_copy = input;
    EXPECT_FALSE(Convert(name_, c.with_input ? &in_copy : nullptr, &output, &size, CDM_CONVERT));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});
    EXPECT_EQ(size, c.size);
    EXPECT_EQ(std::memcmp(&output, &before, sizeof(output)), 0);
  }
  DriverDevMode in_copy = input;
  LONG size = kDevModeSize;
  EXPECT_FALSE(Convert(name_, &in_copy, nullptr, &size, CDM_CONVERT));
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});
}

TEST_F(ConvertDevModeTest, OtherModesAndUnopenablePrintersFailWithoutWriting) {
  struct Case {
    const char* name;
    const wchar_t* printer;  // null: the test printer
    bool with_size;
    DWORD mode;
    DWORD error;
  };
  const Case cases[] = {
      {"NT 3.51 conversion", nullptr, true, CDM_CONVERT351, ERROR_INVALID_PARAMETER},
      {"unknown mode", nullptr, true, 8, ERROR_SUCCESS},
      {"no size", nullptr, false, CDM_DRIVER_DEFAULT, ERROR_INVALID_PARAMETER},
      {"unknown printer", L"No Such Printer 27", true, CDM_DRIVER_DEFAULT, ERROR_INVALID_PARAMETER},
      {"unknown printer, convert", L"No Such Printer 27", true, CDM_CONVERT, ERROR_INVALID_PARAMETER},
      {"empty name", L"", true, CDM_DRIVER_DEFAULT, ERROR_INVALID_PARAMETER},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DriverDevMode input = DefaultRecord();
    std::vector<uint8_t> out(kDevModeSize, kPoison);
    reinterpret_cast<DEVMODEW*>(out.data())->dmSize = settings::kDevModePublicSize;
    reinterpret_cast<DEVMODEW*>(out.data())->dmDriverExtra = settings::kDevModePrivateSize;
    reinterpret_cast<DEVMODEW*>(out.data())->dmDriverVersion = settings::kDevModeDriverVersion;
    const std::vector<uint8_t> before = out;
    LONG size = kDevModeSize;
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(Convert(c.printer != nullptr ? c.printer : name_, &input, out.data(), c.with_size ? &size : nullptr,
                         c.mode));
    EXPECT_EQ(GetLastError(), c.error);
    EXPECT_EQ(size, LONG{kDevModeSize});
    EXPECT_EQ(out, before);
  }
  LONG size = kDevModeSize;
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(DrvConvertDevMode(nullptr, nullptr, nullptr, &size, CDM_DRIVER_DEFAULT));
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});
}

}  // namespace
}  // namespace kalimu::driver
