// The entry points reached as applications reach them: Kalimu.dll installed as the driver's
// configuration module, called by Wine's spooler.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/settings/driver_dev_mode.h"
#include "testkit/kalimu/driver_printer.h"
#include "testkit/kalimu/stored_dev_mode.h"
#include "testkit/windows/guard_page.h"

namespace kalimu::driver {
namespace {

using settings::DriverDevMode;
using settings::kDevModeSize;

constexpr uint8_t kPoison = 0xCD;

class SpoolerCallsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(printer_.ok()) << printer_.error(); }
  HANDLE handle() { return printer_.handle(); }
  LONG Properties(void* out, DEVMODEW* in, DWORD mode) {
    return DocumentPropertiesW(nullptr, handle(), name_.data(), static_cast<DEVMODEW*>(out), in, mode);
  }

  testkit::DriverPrinter printer_{testkit::RollPaperModel(), testkit::kKalimuModule};
  std::wstring name_ = printer_.wide_printer_name();
};

void ExpectDriverHeader(const void* bytes) {
  const auto* record = static_cast<const DEVMODEW*>(bytes);
  EXPECT_EQ(record->dmSpecVersion, settings::kDevModeSpecVersion);
  EXPECT_EQ(record->dmDriverVersion, settings::kDevModeDriverVersion);
  EXPECT_EQ(record->dmSize, settings::kDevModePublicSize);
  EXPECT_EQ(record->dmDriverExtra, settings::kDevModePrivateSize);
}

TEST_F(SpoolerCallsTest, AddedPrinterHoldsTheSpoolersOwnRecord) {
  // While the printer was added the driver had no printer to ask, so the spooler kept its own.
  EXPECT_EQ(testkit::ReadStoredDevMode(handle()).size(), sizeof(DEVMODEW));
}

TEST_F(SpoolerCallsTest, SizeAndDefaults) {
  EXPECT_EQ(Properties(nullptr, nullptr, 0), LONG{kDevModeSize});
  for (DWORD mode : {DWORD{DM_OUT_BUFFER}, DWORD{DM_UPDATE}}) {
    SCOPED_TRACE(mode);
    std::vector<uint8_t> out(kDevModeSize + 8, kPoison);
    EXPECT_EQ(Properties(out.data(), nullptr, mode), IDOK);
    ExpectDriverHeader(out.data());
    EXPECT_STREQ(reinterpret_cast<const DriverDevMode*>(out.data())->DriverName, printer_.driver_name().c_str());
    EXPECT_EQ(std::vector<uint8_t>(out.end() - 8, out.end()), std::vector<uint8_t>(8, kPoison));
  }
}

TEST_F(SpoolerCallsTest, ForeignRecordIsMergedAndLeftUntouched) {
  const DEVMODEW foreign = testkit::ForeignDevMode(3);
  const testkit::GuardedBytes input(sizeof(foreign), &foreign, true);
  std::vector<uint8_t> out(kDevModeSize, kPoison);
  EXPECT_EQ(Properties(out.data(), input.as<DEVMODEW>(), DM_IN_BUFFER | DM_OUT_BUFFER), IDOK);
  ExpectDriverHeader(out.data());
  EXPECT_EQ(reinterpret_cast<const DEVMODEW*>(out.data())->dmCopies, 3);
  EXPECT_EQ(std::memcmp(input.data(), &foreign, sizeof(foreign)), 0);
}

TEST_F(SpoolerCallsTest, StoredRecordRoundTripsAndBecomesTheDefault) {
  std::vector<uint8_t> record(kDevModeSize);
  ASSERT_EQ(Properties(record.data(), nullptr, DM_OUT_BUFFER), IDOK);
  reinterpret_cast<DEVMODEW*>(record.data())->dmCopies = 11;
  ASSERT_TRUE(testkit::StorePrinterDevMode(handle(), record.data()));

  const std::vector<uint8_t> stored = testkit::ReadStoredDevMode(handle());
  ASSERT_EQ(stored.size(), kDevModeSize);
  const auto* a = reinterpret_cast<const DEVMODEW*>(record.data());
  const auto* b = reinterpret_cast<const DEVMODEW*>(stored.data());
  // The spooler may leave bytes after the names' terminators: names compare as strings.
  EXPECT_STREQ(a->dmDeviceName, b->dmDeviceName);
  EXPECT_STREQ(a->dmFormName, b->dmFormName);
  const size_t after_name = offsetof(DEVMODEW, dmSpecVersion);
  EXPECT_EQ(std::memcmp(record.data() + after_name, stored.data() + after_name, offsetof(DEVMODEW, dmFormName) - after_name), 0);
  const size_t after_form = offsetof(DEVMODEW, dmLogPixels);
  EXPECT_EQ(std::memcmp(record.data() + after_form, stored.data() + after_form, kDevModeSize - after_form), 0);

  // The stored record is now the printer's current one.
  std::vector<uint8_t> current(kDevModeSize, kPoison);
  ASSERT_EQ(Properties(current.data(), nullptr, DM_OUT_BUFFER), IDOK);
  EXPECT_EQ(reinterpret_cast<const DEVMODEW*>(current.data())->dmCopies, 11);
}

TEST_F(SpoolerCallsTest, DeviceCapabilitiesAgreeOrFailCleanly) {
  // Wine hands the driver no printer handle; Windows hands it an open one.
  for (WORD index : {WORD{DC_PAPERS}, WORD{DC_BINS}, WORD{DC_SIZE}, WORD{DC_COPIES}}) {
    const int from_spooler = DeviceCapabilitiesW(name_.c_str(), nullptr, index, nullptr, nullptr);
    const DWORD direct = DrvDeviceCapabilities(handle(), nullptr, index, nullptr, nullptr);
    EXPECT_TRUE(from_spooler == static_cast<int>(direct) || from_spooler == -1) << index << " " << from_spooler;
  }
}

}  // namespace
}  // namespace kalimu::driver
