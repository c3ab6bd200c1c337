// Printer initialisation and the driver upgrade on sample-model printers of the spooler.
#include "kalimu/driver/printer_initialization.h"

#include <gtest/gtest.h>
#include <winspool.h>

#include <cstring>
#include <string>

#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/settings/driver_dev_mode.h"
#include "kalimu/settings/job_settings.h"
#include "testkit/kalimu/driver_printer.h"
#include "testkit/kalimu/stored_dev_mode.h"

namespace kalimu::driver {
namespace {

using testkit::ReadMachineText;
using testkit::ReadMachineValue;

std::string LongTempPath() {
  char temp[MAX_PATH] = {};
  char long_path[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  GetLongPathNameA(temp, long_path, MAX_PATH);
  return long_path;
}

class InitializePrinterTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(printer_.ok()) << printer_.error(); }
  testkit::DriverPrinter printer_{testkit::RollPaperModel()};
};

TEST_F(InitializePrinterTest, WritesTheModuleNameFolderValuesAndUserFiles) {
  ASSERT_EQ(InitializePrinter(printer_.handle()), 1);

  auto module = testkit::ReadPrinterDataBytes(printer_.handle(), L"SPLUserModePrinterDriver");
  ASSERT_TRUE(module.has_value());
  // The spooler hands the text out in UTF-16; its terminator was stored with it.
  const std::string expected = testkit::kUserModeModuleFile;
  ASSERT_EQ(module->size(), (expected.size() + 1) * sizeof(wchar_t));
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(module->data())), std::wstring(expected.begin(), expected.end()));

  const std::string key = printer_.DriverKey();
  EXPECT_EQ(ReadMachineText(key, "TempFilePath"), LongTempPath());
  const auto folder = ReadMachineText(key, "KVFilesPath");
  ASSERT_TRUE(folder.has_value());
  EXPECT_EQ(folder->back(), '\\');
  EXPECT_NE(GetFileAttributesA(folder->c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(ReadMachineValue(key, "PMFlag"), (std::vector<uint8_t>{1, 0}));
  EXPECT_EQ(ReadMachineText(key, "ZPCParamFile"),
            printer_.model_printer().DriverDirectory() + testkit::kZpcParamFile);
  // The default ink set's record, and the printer's key that the registry store grants.
  const auto ink = ReadMachineValue(printer_.PrinterKey(), "INKINF");
  ASSERT_TRUE(ink.has_value());
  EXPECT_EQ(ink->size(), 32u);
  EXPECT_EQ((*ink)[0], 1);
}

TEST_F(InitializePrinterTest, KeepsStoredValuesUntilTheTemporaryValuesAreDeleted) {
  const std::string key = printer_.DriverKey();
  ASSERT_EQ(InitializePrinter(printer_.handle()), 1);
  const char own_temp[] = "C:\\own temp\\";
  const char own_files[] = "C:\\own files\\";
  const uint16_t own_flag = 6;
  ASSERT_TRUE(testkit::WriteMachineValue(key, "TempFilePath", REG_SZ, own_temp, sizeof(own_temp)));
  ASSERT_TRUE(testkit::WriteMachineValue(key, "KVFilesPath", REG_SZ, own_files, sizeof(own_files)));
  ASSERT_TRUE(testkit::WriteMachineValue(key, "PMFlag", REG_BINARY, &own_flag, sizeof(own_flag)));

  ASSERT_EQ(InitializePrinter(printer_.handle()), 1);
  EXPECT_EQ(ReadMachineText(key, "TempFilePath"), own_temp);
  EXPECT_EQ(ReadMachineText(key, "KVFilesPath"), own_files);
  EXPECT_EQ(ReadMachineValue(key, "PMFlag"), (std::vector<uint8_t>{6, 0}));

  settings::JobSettingsPtr settings(settings::CreateJobSettings(nullptr, printer_.handle(), nullptr, nullptr));
  ASSERT_NE(settings, nullptr);
  EXPECT_EQ(DeletePrinterTempValues(printer_.handle(), settings.get()), 1);
  for (const char* name : {"TempFilePath", "KVFilesPath", "PMFlag"}) {
    EXPECT_FALSE(ReadMachineValue(key, name).has_value()) << name;
  }
  EXPECT_EQ(DeletePrinterTempValues(printer_.handle(), settings.get()), 1);  // nothing left to delete

  ASSERT_EQ(InitializePrinter(printer_.handle()), 1);
  EXPECT_EQ(ReadMachineText(key, "TempFilePath"), LongTempPath());
  EXPECT_NE(ReadMachineText(key, "KVFilesPath"), own_files);
  EXPECT_EQ(ReadMachineValue(key, "PMFlag"), (std::vector<uint8_t>{1, 0}));
}

TEST_F(InitializePrinterTest, UnreadablePrinterIsRefused) {
  EXPECT_EQ(InitializePrinter(nullptr), 0);
  EXPECT_EQ(UpgradeStoredDevMode(nullptr), 0);
}

// The model header's flag words decide the start values; a stored cutter reading stays.
struct FlagCase {
  const char* name;
  uint32_t flags20, flags24, flags28;
  std::optional<uint32_t> stored_cutter;
  std::optional<uint32_t> cbt, silent, platen, cutter;
};

class ModelStartValues : public ::testing::TestWithParam<FlagCase> {};

std::optional<uint32_t> Dword(const std::optional<std::vector<uint8_t>>& bytes) {
  if (!bytes || bytes->size() != 4) return std::nullopt;
  uint32_t value = 0;
  std::memcpy(&value, bytes->data(), 4);
  return value;
}

TEST_P(ModelStartValues, FollowTheHeaderFlags) {
  const FlagCase& c = GetParam();
  testkit::ModelDescription model = testkit::RollPaperModel();
  model.header.flags20 = (model.header.flags20 & ~0x3000020u) | c.flags20;
  model.header.flags24 = (model.header.flags24 & ~0x78u) | c.flags24;
  model.header.flags28 = (model.header.flags28 & ~0x30u) | c.flags28;
  testkit::DriverPrinter printer(model);
  ASSERT_TRUE(printer.ok()) << printer.error();
  if (c.stored_cutter) {
    ASSERT_TRUE(testkit::WriteMachineValue(printer.PrinterKey(), "CUTTERINFO", REG_DWORD, &*c.stored_cutter, 4));
  }

  ASSERT_EQ(InitializePrinter(printer.handle()), 1);
  EXPECT_EQ(Dword(testkit::ReadPrinterDataBytes(printer.handle(), L"CBT Enable")), c.cbt);
  EXPECT_EQ(Dword(ReadMachineValue(printer.DriverKey(), "Silent")), c.silent);
  EXPECT_EQ(Dword(ReadMachineValue(printer.DriverKey(), "PLATENINF")), c.platen);
  EXPECT_EQ(Dword(ReadMachineValue(printer.PrinterKey(), "CUTTERINFO")), c.cutter);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, ModelStartValues,
    ::testing::Values(FlagCase{"None", 0, 0, 0, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
                      FlagCase{"CbtSilentOn", 0x2000020, 0, 0, std::nullopt, 1, 1, std::nullopt, std::nullopt},
                      FlagCase{"SilentOff", 0x1000000, 0, 0, std::nullopt, std::nullopt, 0, std::nullopt, std::nullopt},
                      FlagCase{"PlatenKindWithoutBits", 0, 0x08, 0, std::nullopt, std::nullopt, std::nullopt, 0, std::nullopt},
                      FlagCase{"PlatenBothBits", 0, 0x50, 0, std::nullopt, std::nullopt, std::nullopt, 3, std::nullopt},
                      FlagCase{"PlatenSecondBit", 0, 0x40, 0, std::nullopt, std::nullopt, std::nullopt, 2, std::nullopt},
                      FlagCase{"CutterPresent", 0, 0, 0x20, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 1},
                      FlagCase{"CutterAbsent", 0, 0, 0x10, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0},
                      FlagCase{"CutterReadingKept", 0, 0, 0x20, 7, std::nullopt, std::nullopt, std::nullopt, 7}),
    [](const auto& info) { return std::string(info.param.name); });

// DrvUpgradePrinter: the initialisation, then the stored record rewritten in this driver's layout.
class UpgradeTest : public InitializePrinterTest {
 protected:
  BOOL Upgrade(DWORD level) {
    std::wstring name = printer_.wide_printer_name();
    DRIVER_UPGRADE_INFO_1 info = {name.data(), nullptr};
    return DrvUpgradePrinter(level, reinterpret_cast<BYTE*>(&info));
  }
};

TEST_F(UpgradeTest, ForeignStoredRecordBecomesOneOfThisDriver) {
  // A fresh printer holds the spooler's own public record.
  const std::vector<uint8_t> before = testkit::ReadStoredDevMode(printer_.handle());
  ASSERT_EQ(before.size(), sizeof(DEVMODEW));

  SetLastError(ERROR_SUCCESS);
  ASSERT_TRUE(Upgrade(1)) << GetLastError();
  const std::vector<uint8_t> after = testkit::ReadStoredDevMode(printer_.handle());
  ASSERT_EQ(after.size(), settings::kDevModeSize);
  const auto& record = *reinterpret_cast<const settings::DriverDevMode*>(after.data());
  EXPECT_EQ(record.Public.dmSpecVersion, settings::kDevModeSpecVersion);
  EXPECT_EQ(record.Public.dmDriverVersion, settings::kDevModeDriverVersion);
  EXPECT_EQ(record.Public.dmDriverExtra, settings::kDevModePrivateSize);
  EXPECT_STREQ(record.DriverName, printer_.driver_name().c_str());
  EXPECT_TRUE(ReadMachineValue(printer_.DriverKey(), "PMFlag").has_value());  // initialised first

  // A second upgrade keeps the record it wrote.
  ASSERT_TRUE(Upgrade(1));
  EXPECT_EQ(testkit::WithNamesAsStrings(testkit::ReadStoredDevMode(printer_.handle())),
            testkit::WithNamesAsStrings(after));
}

TEST_F(UpgradeTest, RefusesOtherLevelsMissingInfoAndUnknownPrinters) {
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(Upgrade(2));
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(DrvUpgradePrinter(1, nullptr));
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});
  wchar_t unknown[] = L"No Such Printer 27";
  DRIVER_UPGRADE_INFO_1 info = {unknown, nullptr};
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(DrvUpgradePrinter(1, reinterpret_cast<BYTE*>(&info)));
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});
  // Nothing was initialised by the refused calls.
  EXPECT_FALSE(ReadMachineValue(printer_.DriverKey(), "PMFlag").has_value());
}

}  // namespace
}  // namespace kalimu::driver
