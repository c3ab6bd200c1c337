// The maintenance utility started through the recorder stand-in installed as the model's
// utility program.
#include "kalimu/driver/utility_launcher.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "kalimu/settings/driver_dev_mode.h"
#include "kalimu/settings/job_settings.h"
#include "testkit/kalimu/model_printer.h"
#include "testkit/windows/program_recorder.h"

namespace kalimu::driver {
namespace {

constexpr char kModelName[] = "NORVA KV-4800";

class UtilityLauncherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    ASSERT_TRUE(recorder_.ok());
    ASSERT_TRUE(InstallUtility(stem_));
    settings::StampDevModeHeader(record_);
    settings::DevModeAccessor(&record_).SetDriverName(printer_.driver_name().c_str());
    settings_ = std::make_unique<settings::JobSettings>(&record_, printer_.printer().handle(), nullptr, nullptr);
    ASSERT_TRUE(settings_->IsValid());
  }

  // The stand-in as the model's utility program under stem + ".exe".
  bool InstallUtility(const std::string& stem) {
    return printer_.WriteDriverFile(stem + ".exe", testkit::ProgramRecorder::ProgramBytes()) &&
           printer_.SetInfoKey("UtilModuleIEXE", stem + ".exe");
  }
  std::string UtilityPath(const std::string& stem) const { return printer_.DriverDirectory() + stem + ".exe"; }

  std::string PlainLine(const std::string& stem, int number, const std::string& model = kModelName) const {
    return UtilityPath(stem) + " /U \"" + std::to_string(number) + "\" /P \"" + printer_.printer_name() + "\" /M \"" +
           model + "\" /D \"" + printer_.driver_name() + "\"";
  }

  testkit::ModelPrinter printer_{testkit::SheetModel()};
  testkit::ProgramRecorder recorder_;
  const std::string stem_ = "kvu" + std::to_string(GetCurrentProcessId());
  settings::DriverDevMode record_{};
  std::unique_ptr<settings::JobSettings> settings_;
};

TEST_F(UtilityLauncherTest, PlainNumbersStartTheUtilityWithTheFirstForm) {
  UtilityLauncher launcher(settings_.get());
  EXPECT_EQ(launcher.IsUtilityAvailable(), 1);
  using Run = uint16_t (UtilityLauncher::*)();
  const struct {
    int number;
    Run run;
  } cases[] = {{1, &UtilityLauncher::RunUtility1},  {2, &UtilityLauncher::RunUtility2},
               {3, &UtilityLauncher::RunUtility3},  {7, &UtilityLauncher::RunUtility7},
               {9, &UtilityLauncher::RunUtility9},  {10, &UtilityLauncher::RunUtility10},
               {11, &UtilityLauncher::RunUtility11}};
  size_t started = 0;
  for (const auto& c : cases) {
    EXPECT_EQ((launcher.*c.run)(), 0) << c.number;
    const auto launches = recorder_.WaitForLaunches(stem_, ++started);
    ASSERT_EQ(launches.size(), started) << c.number;
    EXPECT_EQ(launches.back().command_line, PlainLine(stem_, c.number)) << c.number;
    EXPECT_EQ(launches.back().show, -1) << c.number;  // the default start-up information
  }
  // Numbers outside the utility's functions start nothing.
  for (int number : {0, 4, 5, 6, 8, 12, 13, 15, -1}) EXPECT_EQ(launcher.Run(number, nullptr), 1) << number;
  EXPECT_TRUE(recorder_.WaitForEnds(stem_, started));
  EXPECT_EQ(recorder_.Launches(stem_).size(), started);
}

TEST_F(UtilityLauncherTest, NumberFourteenWaitsForTheUtility) {
  const std::string expected = " /U \"14\" /P \"" + printer_.printer_name() + "\" /RN \"SOFTWARE\\NORVA\\PRINTER\\" +
                               printer_.driver_name() + "\" /FN \"C:\\data\\job file.txt\"";
  {
    UtilityLauncher launcher(settings_.get());
    EXPECT_EQ(launcher.Run(14, "C:\\data\\job file.txt"), 0);
    EXPECT_EQ(recorder_.Ends(stem_), 1u);  // it had ended when the launcher answered
    const auto launches = recorder_.Launches(stem_);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].command_line, expected);
  }
  // A utility that does not end within the wait: the launch failed, the utility runs on.
  UtilityLauncher launcher(settings_.get(), 300);
  ASSERT_TRUE(recorder_.Hold(stem_));
  EXPECT_EQ(launcher.Run(14, "C:\\data\\job file.txt"), 1);
  ASSERT_EQ(recorder_.WaitForLaunches(stem_, 2).size(), 2u);
  EXPECT_EQ(recorder_.Ends(stem_), 1u);
  recorder_.Release(stem_);
  EXPECT_TRUE(recorder_.WaitForEnds(stem_, 2));
}

TEST_F(UtilityLauncherTest, PathAndModelNameAreFetchedAgainAfterRelease) {
  UtilityLauncher launcher(settings_.get());
  EXPECT_EQ(launcher.RunUtility1(), 0);
  const std::string other = stem_ + "b";
  ASSERT_TRUE(InstallUtility(other));
  ASSERT_TRUE(printer_.SetInfoKey("ModelNameI", "NORVA KV-9600"));
  EXPECT_EQ(launcher.RunUtility2(), 0);  // still the texts of the first use
  ASSERT_EQ(recorder_.WaitForLaunches(stem_, 2).size(), 2u);
  EXPECT_EQ(recorder_.Launches(stem_)[1].command_line, PlainLine(stem_, 2));

  launcher.Release();
  EXPECT_EQ(launcher.RunUtility3(), 0);
  const auto launches = recorder_.WaitForLaunches(other);
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].command_line, PlainLine(other, 3, "NORVA KV-9600"));
  EXPECT_TRUE(recorder_.WaitForEnds(stem_, 2));
  EXPECT_TRUE(recorder_.WaitForEnds(other));
}

TEST_F(UtilityLauncherTest, NothingStartsWithoutSettingsOrProgram) {
  UtilityLauncher none(nullptr);
  EXPECT_EQ(none.IsUtilityAvailable(), 0);
  EXPECT_EQ(none.RunUtility1(), 1);
  EXPECT_EQ(none.Run(14, "x"), 1);

  // A utility path that names no file: available 0, and a start that fails answers 1.
  ASSERT_TRUE(printer_.SetInfoKey("UtilModuleIEXE", "missing_utility.exe"));
  UtilityLauncher missing(settings_.get());
  EXPECT_EQ(missing.IsUtilityAvailable(), 0);
  EXPECT_EQ(missing.RunUtility1(), 1);
  EXPECT_EQ(missing.Run(14, "x"), 1);
  EXPECT_TRUE(recorder_.Launches(stem_).empty());
}

TEST(UtilityLauncherModelTest, AModelWithoutUtilityStartsNothing) {
  testkit::ModelPrinter printer(testkit::SheetModel(),
                                testkit::StandardDriverData().Remove(testkit::kDriverInfoSection, "UtilModuleIEXE"));
  ASSERT_TRUE(printer.ok()) << printer.error();
  settings::DriverDevMode record{};
  settings::StampDevModeHeader(record);
  settings::DevModeAccessor(&record).SetDriverName(printer.driver_name().c_str());
  settings::JobSettings settings(&record, printer.printer().handle(), nullptr, nullptr);
  ASSERT_TRUE(settings.IsValid());
  UtilityLauncher launcher(&settings);
  EXPECT_EQ(launcher.IsUtilityAvailable(), 0);
  for (int number : {1, 2, 3, 7, 9, 10, 11}) EXPECT_EQ(launcher.Run(number, nullptr), 1) << number;
  EXPECT_EQ(launcher.Run(14, "x"), 1);
}

}  // namespace
}  // namespace kalimu::driver
