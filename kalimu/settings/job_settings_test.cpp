// The settings object's construction and factory: a caller's record used in place, the
// printer's stored record adopted only when it is this driver's, and nothing handed out where
// no record can be had.
#include "kalimu/settings/job_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kalimu/settings/job_settings_test_support.h"
#include "testkit/kalimu/stored_dev_mode.h"

namespace kalimu::settings {
namespace {

using test::DriverRecord;

TEST(JobSettingsConstruction, WithoutPrinterNothingIsValidAndTheFactoryAnswersNull) {
  DriverDevMode record{};
  JobSettings settings(&record, nullptr, "Printer", "Driver");
  EXPECT_EQ(settings.IsValid(), 0);
  EXPECT_EQ(CreateJobSettings(&record, nullptr, "Printer", "Driver"), nullptr);
  EXPECT_EQ(CreateJobSettings(nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(DestroyJobSettings(nullptr), 1);
  // Nothing of the caller's record was touched.
  DriverDevMode zero{};
  EXPECT_EQ(std::memcmp(&record, &zero, sizeof(record)), 0);
}

class JobSettingsOnPrinter : public test::RollPrinterTest {};

TEST_F(JobSettingsOnPrinter, CallerRecordIsUsedInPlaceWithNamesFromThePrinter) {
  JobSettings& settings = fixture_.settings();
  EXPECT_EQ(settings.GetDriverDevMode(), &fixture_.record());
  EXPECT_STREQ(settings.GetPrinterName(), fixture_.printer().printer_name().c_str());
  EXPECT_STREQ(fixture_.record().DriverName, fixture_.printer().driver_name().c_str());
  EXPECT_EQ(settings.GetPrinterHandle(), fixture_.handle());
  settings.SetCopies(12);
  EXPECT_EQ(fixture_.record().Public.dmCopies, 12);
  // The model is found through the printer's driver data file.
  uint32_t papers = 0;
  ASSERT_EQ(settings.GetPaperSizeCount(&papers), 1);
  EXPECT_EQ(papers, fixture_.model().papers.size());
}

TEST_F(JobSettingsOnPrinter, GivenNamesAreUsedAndCutToTheirFields) {
  DriverDevMode record{};
  const std::string long_driver(40, 'D');
  JobSettings settings(&record, fixture_.handle(), "Another Printer", long_driver.c_str());
  ASSERT_EQ(settings.IsValid(), 1);
  EXPECT_STREQ(settings.GetPrinterName(), "Another Printer");
  EXPECT_EQ(std::string(record.DriverName), std::string(31, 'D'));
  // Only a null name is taken from the printer.
  DriverDevMode other{};
  JobSettings half(&other, fixture_.handle(), nullptr, "Given Driver");
  EXPECT_STREQ(half.GetPrinterName(), fixture_.printer().printer_name().c_str());
  EXPECT_STREQ(other.DriverName, "Given Driver");
}

TEST_F(JobSettingsOnPrinter, ObjectStateAndNames) {
  JobSettings& settings = fixture_.settings();
  EXPECT_EQ(settings.GetSheetState(), 0u);
  settings.SetSheetState(2);
  EXPECT_EQ(settings.GetSheetState(), 2u);
  settings.SetSheetState(0x12345);  // a 16-bit word
  EXPECT_EQ(settings.GetSheetState(), 0x2345u);
  const std::string long_name(300, 'p');
  settings.SetPrinterName(long_name.c_str());
  EXPECT_EQ(std::string(settings.GetPrinterName()), std::string(259, 'p'));
  char printer[MAX_PATH] = {};
  char driver[MAX_PATH] = {};
  ASSERT_EQ(settings.GetPrinterAndDriverNames(printer, sizeof(printer), driver, sizeof(driver)), 1);
  EXPECT_EQ(printer, fixture_.printer().printer_name());
  EXPECT_EQ(driver, fixture_.printer().driver_name());
}

TEST_F(JobSettingsOnPrinter, PartsLoadOnDemand) {
  JobSettings& settings = fixture_.settings();
  const struct {
    uint16_t part;
    int loaded;
  } cases[] = {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 0}, {0xFFFF, 0}};
  for (const auto& c : cases) EXPECT_EQ(settings.EnsurePartLoaded(c.part), c.loaded) << "part " << c.part;
}

// Which stored records the printer's own object takes over. Until the defaults exist an object
// that would need them is not handed out.
TEST_F(JobSettingsOnPrinter, StoredRecordIsAdoptedOnlyWhenItIsThisDriversWhole) {
  const std::string driver = fixture_.printer().driver_name();
  struct Case {
    const char* what;
    void (*change)(DriverDevMode&);
    bool adopted;
  };
  const Case cases[] = {
      {"this driver's record", [](DriverDevMode&) {}, true},
      {"another driver's name", [](DriverDevMode& r) { std::strcpy(r.DriverName, "Other Driver"); }, false},
      {"the name in another case",
       [](DriverDevMode& r) {
         for (char* c = r.DriverName; *c != '\0'; ++c) *c = static_cast<char>(toupper(*c));
       },
       false},
      {"another device-mode version", [](DriverDevMode& r) { r.Public.dmSpecVersion = 0x400; }, false},
      {"another driver version", [](DriverDevMode& r) { r.Public.dmDriverVersion = 0x501; }, false},
      {"a shorter private part", [](DriverDevMode& r) { r.Public.dmDriverExtra = 600; }, false},
  };
  for (const Case& c : cases) {
    DriverDevMode stored = DriverRecord(driver);
    stored.Public.dmCopies = 7;
    c.change(stored);
    ASSERT_TRUE(testkit::StorePrinterDevMode(fixture_.handle(), &stored)) << c.what;

    DriverDevMode probe = DriverRecord(driver);
    JobSettings reader(&probe, fixture_.handle(), nullptr, nullptr);
    EXPECT_EQ(reader.AdoptPrinterDevMode(fixture_.handle()), c.adopted ? 1 : 0) << c.what;
    EXPECT_EQ(probe.Public.dmCopies, c.adopted ? 7 : 0) << c.what;

    // A record that is not taken gives way to the defaults.
    JobSettingsPtr own(CreateJobSettings(nullptr, fixture_.handle(), nullptr, nullptr));
    ASSERT_NE(own, nullptr) << c.what;
    EXPECT_NE(own->GetDriverDevMode(), &probe);
    EXPECT_EQ(own->GetCopies(), c.adopted ? 7 : 1) << c.what;
    if (c.adopted) {
      // Taken whole (the spooler may rewrite the device name).
      const size_t from = offsetof(DEVMODEW, dmSpecVersion);
      EXPECT_EQ(std::memcmp(reinterpret_cast<const uint8_t*>(own->GetDriverDevMode()) + from,
                            reinterpret_cast<const uint8_t*>(&stored) + from, kDevModeSize - from),
                0)
          << c.what;
    }
  }
}

TEST_F(JobSettingsOnPrinter, TheSpoolersOwnPublicRecordIsForeign) {
  // A fresh test printer keeps the spooler's 220-byte record without a private part.
  const std::vector<uint8_t> stored = testkit::ReadStoredDevMode(fixture_.handle());
  ASSERT_EQ(stored.size(), 220u);
  DriverDevMode probe{};
  JobSettings reader(&probe, fixture_.handle(), nullptr, nullptr);
  const DriverDevMode before = probe;
  EXPECT_EQ(reader.AdoptPrinterDevMode(fixture_.handle()), 0);
  EXPECT_EQ(std::memcmp(&probe, &before, sizeof(probe)), 0) << "nothing copied";
  JobSettingsPtr own(CreateJobSettings(nullptr, fixture_.handle(), nullptr, nullptr));
  ASSERT_NE(own, nullptr) << "the defaults stand in for it";
  EXPECT_EQ(own->GetPrivateVersion(), kDevModePrivateVersion);
}

TEST_F(JobSettingsOnPrinter, AnOwnRecordIsFreedWithTheObjectAndACallersRecordIsNot) {
  const DriverDevMode stored = DriverRecord(fixture_.printer().driver_name());
  ASSERT_TRUE(testkit::StorePrinterDevMode(fixture_.handle(), &stored));
  JobSettings* own = CreateJobSettings(nullptr, fixture_.handle(), nullptr, nullptr);
  ASSERT_NE(own, nullptr);
  const HGLOBAL memory = GlobalHandle(own->GetDriverDevMode());
  ASSERT_NE(memory, nullptr);
  EXPECT_EQ(GlobalFlags(memory) & GMEM_LOCKCOUNT, 1u);
  EXPECT_EQ(DestroyJobSettings(own), 1);
  EXPECT_EQ(GlobalFlags(memory), GMEM_INVALID_HANDLE);

  // A caller's record in global memory stays allocated and locked.
  HGLOBAL caller = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kDevModeSize);
  ASSERT_NE(caller, nullptr);
  void* bytes = GlobalLock(caller);
  DestroyJobSettings(CreateJobSettings(bytes, fixture_.handle(), nullptr, nullptr));
  EXPECT_EQ(GlobalFlags(caller) & GMEM_LOCKCOUNT, 1u);
  GlobalUnlock(caller);
  EXPECT_EQ(GlobalFree(caller), nullptr);
}

}  // namespace
}  // namespace kalimu::settings
