// DrvQueryJobAttributes and DrvQueryColorProfile: answers from the caller's record, whose bytes
// are never written.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/settings/job_settings.h"
#include "testkit/kalimu/driver_printer.h"
#include "testkit/windows/guard_page.h"

namespace kalimu::driver {
namespace {

using settings::DriverDevMode;

constexpr uint8_t kPoison = 0xCD;
constexpr uint32_t kLayoutReverseOrder = 128;

class JobQueriesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    settings::JobSettingsPtr settings(settings::CreateJobSettings(nullptr, printer_.handle(), nullptr, nullptr));
    ASSERT_NE(settings, nullptr);
    std::memcpy(&record_, settings->GetDriverDevMode(), sizeof(record_));
  }
  HANDLE handle() { return printer_.handle(); }

  testkit::DriverPrinter printer_{testkit::RollPaperModel()};
  DriverDevMode record_;  // the printer's current record
};

TEST_F(JobQueriesTest, AttributesAtBothLevels) {
  struct Case {
    DWORD level;
    bool reverse;
    size_t written;
  };
  for (const Case& c : {Case{1, false, sizeof(ATTRIBUTE_INFO_1)}, Case{2, true, sizeof(ATTRIBUTE_INFO_2)}}) {
    SCOPED_TRACE(c.level);
    record_.Public.dmCopies = 5;
    record_.LayoutOptions = c.reverse ? (record_.LayoutOptions | kLayoutReverseOrder)
                                      : (record_.LayoutOptions & ~kLayoutReverseOrder);
    const testkit::GuardedBytes caller(sizeof(record_), &record_, true);
    std::vector<uint8_t> info(sizeof(ATTRIBUTE_INFO_2) + 8, kPoison);
    ASSERT_TRUE(DrvQueryJobAttributes(handle(), caller.as<DEVMODEW>(), c.level, info.data()));
    const auto& attributes = *reinterpret_cast<const ATTRIBUTE_INFO_2*>(info.data());
    const DWORD order = c.reverse ? REVERSE_PRINT : 0;
    EXPECT_EQ(attributes.dwJobNumberOfPagesPerSide, 1u);
    EXPECT_EQ(attributes.dwDrvNumberOfPagesPerSide, 1u);
    EXPECT_EQ(attributes.dwNupBorderFlags, 1u);
    EXPECT_EQ(attributes.dwJobPageOrderFlags, order);
    EXPECT_EQ(attributes.dwDrvPageOrderFlags, order);
    EXPECT_EQ(attributes.dwJobNumberOfCopies, 5u);
    EXPECT_EQ(attributes.dwDrvNumberOfCopies, 5u);
    if (c.level == 2) {
      EXPECT_EQ(attributes.dwColorOptimization, 0u);
    }
    EXPECT_EQ(std::vector<uint8_t>(info.begin() + c.written, info.end()),
              std::vector<uint8_t>(info.size() - c.written, kPoison));
  }
}

TEST_F(JobQueriesTest, ForeignRecordIsAnsweredFromAMergedCopy) {
  // A 220-byte record of an application: reading past it or writing into it faults.
  const DEVMODEW foreign = testkit::ForeignDevMode(3);
  const testkit::GuardedBytes caller(sizeof(foreign), &foreign, true);
  ATTRIBUTE_INFO_1 attributes{};
  ASSERT_TRUE(DrvQueryJobAttributes(handle(), caller.as<DEVMODEW>(), 1, reinterpret_cast<BYTE*>(&attributes)));
  EXPECT_EQ(attributes.dwJobNumberOfCopies, 3u);

  ULONG size = 520;
  wchar_t profile[260];
  FLONG flags = 0;
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(DrvQueryColorProfile(handle(), caller.as<DEVMODEW>(), QCP_DEVICEPROFILE, profile, &size, &flags));
  EXPECT_EQ(GetLastError(), DWORD{ERROR_SUCCESS});
  EXPECT_EQ(std::memcmp(caller.data(), &foreign, sizeof(foreign)), 0);
}

TEST_F(JobQueriesTest, AttributesRefuseOtherLevelsAndMissingRecords) {
  std::vector<uint8_t> info(sizeof(ATTRIBUTE_INFO_2), kPoison);
  for (DWORD level : {DWORD{0}, DWORD{3}}) {
    EXPECT_FALSE(DrvQueryJobAttributes(handle(), &record_.Public, level, info.data())) << level;
  }
  EXPECT_FALSE(DrvQueryJobAttributes(handle(), nullptr, 1, info.data()));
  EXPECT_FALSE(DrvQueryJobAttributes(nullptr, &record_.Public, 1, info.data()));
  EXPECT_EQ(info, std::vector<uint8_t>(sizeof(ATTRIBUTE_INFO_2), kPoison));
}

TEST_F(JobQueriesTest, ColourProfileOnlyWhenTheDriverManagesColourWithTheHost) {
  record_.Public.dmICMMethod = DMICMMETHOD_DRIVER;
  record_.ColorSettingsBlock.ColorManagementMode = 1;
  wchar_t expected[260] = {};
  {
    DriverDevMode copy = record_;
    settings::JobSettingsPtr oracle(settings::CreateJobSettings(&copy, handle(), nullptr, nullptr));
    ASSERT_NE(oracle, nullptr);
    oracle->GetPrinterProfile1(expected, 260);
  }
  const DriverDevMode before = record_;

  struct Case {
    const char* name;
    DWORD icm_method;
    uint32_t colour_mode;
    ULONG query_mode;
    ULONG size;
    BOOL result;
    DWORD error;
    ULONG size_after;
  };
  const Case cases[] = {
      {"device profile", DMICMMETHOD_DRIVER, 1, QCP_DEVICEPROFILE, 520, TRUE, ERROR_SUCCESS, 520},
      {"buffer of 100 bytes", DMICMMETHOD_DRIVER, 1, QCP_DEVICEPROFILE, 100, FALSE, ERROR_INSUFFICIENT_BUFFER, 520},
      {"source profile", DMICMMETHOD_DRIVER, 1, QCP_SOURCEPROFILE, 520, FALSE, ERROR_SUCCESS, 520},
      {"colour by the system", DMICMMETHOD_SYSTEM, 1, QCP_DEVICEPROFILE, 520, FALSE, ERROR_SUCCESS, 520},
      {"another colour mode", DMICMMETHOD_DRIVER, 0, QCP_DEVICEPROFILE, 520, FALSE, ERROR_SUCCESS, 520},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    record_.Public.dmICMMethod = c.icm_method;
    record_.ColorSettingsBlock.ColorManagementMode = c.colour_mode;
    const DriverDevMode given = record_;
    std::vector<wchar_t> profile(300, L'\xCDCD');
    ULONG size = c.size;
    FLONG flags = 0xFF;
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(DrvQueryColorProfile(handle(), &record_.Public, c.query_mode, profile.data(), &size, &flags), c.result);
    EXPECT_EQ(GetLastError(), c.error);
    EXPECT_EQ(size, c.size_after);
    EXPECT_EQ(std::memcmp(&record_, &given, sizeof(given)), 0);
    if (c.result) {
      EXPECT_EQ(flags, FLONG{QCP_PROFILEDISK});
      EXPECT_STREQ(profile.data(), expected);
      EXPECT_EQ(profile[260], L'\xCDCD');
    } else {
      EXPECT_EQ(flags, FLONG{0xFF});
    }
  }
  record_ = before;
  ULONG size = 520;
  EXPECT_FALSE(DrvQueryColorProfile(nullptr, &record_.Public, QCP_DEVICEPROFILE, expected, &size, nullptr));
}

}  // namespace
}  // namespace kalimu::driver
