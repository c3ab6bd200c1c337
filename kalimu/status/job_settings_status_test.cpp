// The status operations on a job's settings object reach the printer the object was made for.
#include "kalimu/status/job_settings_status.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "kalimu/status/printer_status.h"
#include "kalimu/status/stored_readings.h"
#include "kalimu/status/utility_command.h"
#include "testkit/kalimu/status_printer.h"

namespace kalimu::status {
namespace {

class JobSettingsStatusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    settings::StampDevModeHeader(record_);
    settings::DevModeAccessor(&record_).SetDriverName(printer_.driver_name().c_str());
    record_.PaperSourceIndex = 1;
    settings_ = std::make_unique<settings::JobSettings>(&record_, printer_.handle(), nullptr, nullptr);
    ASSERT_TRUE(settings_->IsValid());
    registry_.Init(printer_.printer_name().c_str(), printer_.driver_name().c_str());
  }

  testkit::StatusPrinter printer_;
  settings::DriverDevMode record_{};
  std::unique_ptr<settings::JobSettings> settings_;
  storage::DriverRegistry registry_;
};

TEST_F(JobSettingsStatusTest, StoredReadingsAreThePrintersOwn) {
  EXPECT_EQ(ReadPagePosition(*settings_), -1);
  EXPECT_EQ(WritePagePosition(*settings_, 42), 1);
  EXPECT_EQ(ReadPagePosition(registry_), 42);  // the same value, seen without the object
  EXPECT_EQ(WriteBinInfo(registry_, 9), 1);
  EXPECT_EQ(ReadBinInfo(*settings_), 9);
}

TEST_F(JobSettingsStatusTest, PublicationTargetIsTheJobsModelAndSource) {
  const PublicationTarget target = PublicationTargetOf(*settings_);
  EXPECT_EQ(target.model, static_cast<model::ModelCapabilities*>(settings_.get()));
  EXPECT_EQ(target.paper_source_index, 1);
}

TEST_F(JobSettingsStatusTest, StatusObjectOfTheJob) {
  std::unique_ptr<PrinterStatus> status(CreatePrinterStatus(*settings_));
  ASSERT_NE(status, nullptr);
}

TEST_F(JobSettingsStatusTest, UtilityCommandLineOfTheJobsPrinter) {
  char through_object[512] = {};
  char direct[512] = {};
  char library[MAX_PATH] = {};
  ASSERT_TRUE(settings_->GetStatusModulePath(library, sizeof library));
  const std::string directory = printer_.DriverDirectory();
  const UtilityCommandTarget target{library, printer_.printer_name().c_str(), printer_.driver_name().c_str(),
                                    directory.c_str()};
  const int16_t expected = BuildUtilityCommandLine(target, direct, sizeof direct, kUtilityInstall, nullptr);
  ASSERT_GT(expected, 1);
  EXPECT_EQ(settings_->BuildUtilityCommandLine(through_object, sizeof through_object, kUtilityInstall, nullptr),
            expected);
  EXPECT_STREQ(through_object, direct);
}

}  // namespace
}  // namespace kalimu::status
