// The status-monitor link of a printer: command lines and files through the stand-in monitor,
// the driver folder, the "STMSetting" switch and the plain program start.
#include "kalimu/status/monitor_link.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "kalimu/platform/program_start.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/storage/driver_registry.h"
#include "testkit/kalimu/status_printer.h"
#include "testkit/standins/status_switches.h"
#include "testkit/windows/program_recorder.h"

namespace kalimu::status {
namespace {

class MonitorLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    settings::StampDevModeHeader(record_);
    settings::DevModeAccessor(&record_).SetDriverName(printer_.driver_name().c_str());
    settings_ = std::make_unique<settings::JobSettings>(&record_, printer_.handle(), nullptr, nullptr);
    ASSERT_TRUE(settings_->IsValid());
    directory_ = printer_.DriverDirectory();
  }

  int Build(int16_t type, const int32_t* job = nullptr, HANDLE printer = nullptr) {
    std::strcpy(text_, "untouched");
    return BuildMonitorCommand(text_, sizeof text_, printer != nullptr ? printer : printer_.handle(), type, job,
                               settings_.get());
  }

  // Printer data "STMSetting", or -1 when absent.
  int64_t PrinterStmSetting() {
    uint32_t value = 0;
    return ReadStmSetting(printer_.handle(), settings_.get(), &value) ? static_cast<int64_t>(value) : -1;
  }
  bool RegistryHoldsStmSetting(uint32_t* value) {
    DWORD size = sizeof *value;
    return settings_->ReadRegistryValueById(storage::kValueStmSetting, value, &size, storage::kViewDefault) == 0;
  }

  testkit::StatusPrinter printer_;
  settings::DriverDevMode record_{};
  std::unique_ptr<settings::JobSettings> settings_;
  std::string directory_;
  char text_[260] = {};
};

TEST_F(MonitorLinkTest, EveryTypeInBothModes) {
  const int32_t job = 12;
  const std::string printer_line = "/P \"" + printer_.printer_name() + "\"";
  const std::string install = directory_ + testkit::kMonitorInstallProgram + " /I:\"" +
                              testkit::kMonitorInstallArgument + "\"";
  const std::string module = directory_ + printer_.module_file();
  const std::string monitor2 = directory_ + testkit::kMonitorProgram2;
  const std::string monitor3 = directory_ + testkit::kMonitorProgram3;
  const std::string job_program = directory_ + testkit::kMonitorJobProgram;
  struct Case {
    int16_t type;
    int mode;
    std::string program;  // the text before " /F", or the whole text when no file is named
    std::string file;     // the command file's lines ("" : the text names none)
  };
  const Case cases[] = {
      {0, 1, install, ""},
      {0, 2, install, ""},
      {1, 1, install + " /NP", ""},
      {1, 2, install + " /NP", ""},
      {2, 1, monitor2, printer_line},
      {2, 2, monitor2, printer_line},
      {3, 1, monitor3, printer_line},
      {3, 2, monitor3, printer_line + "\r\n/E"},
      {4, 1, "untouched", ""},
      {4, 2, "untouched", ""},
      {5, 1, "untouched", ""},
      {5, 2, "untouched", ""},
      {6, 1, module, ""},
      {6, 2, module, ""},
      {7, 1, job_program, printer_line + "\r\n/J \"12\""},
      {7, 2, job_program, printer_line + "\r\n/J \"12\"\r\n/KVM \"1\""},
      {8, 1, "untouched", ""},
      {8, 2, job_program, printer_line + "\r\n/J \"12\"\r\n/KVM \"0\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " mode " << c.mode);
    printer_.SetSwitch(testkit::kMonitorModeVar, std::to_string(c.mode).c_str());
    EXPECT_EQ(Build(c.type, &job), c.mode == 1 ? 3 : 4);
    const std::string text = text_;
    const std::string file = testkit::TakeCommandFile(text);
    if (c.file.empty()) {
      EXPECT_EQ(text, c.program);
    } else {
      EXPECT_EQ(text.substr(0, c.program.size() + 5), c.program + " /F \"");
      EXPECT_NE(text.find("\\kvi"), std::string::npos) << text;
    }
    EXPECT_EQ(file, c.file);
  }
  // Without a job id the job line is left out.
  printer_.SetSwitch(testkit::kMonitorModeVar, "2");
  EXPECT_EQ(Build(7), 4);
  EXPECT_EQ(testkit::TakeCommandFile(text_), printer_line + "\r\n\r\n/KVM \"1\"");
}

TEST_F(MonitorLinkTest, LibraryAnswersAndMissingPieces) {
  struct Case {
    const char* answer;
    int16_t type;
    int result;
  };
  // The library's 0 makes every type answer 1; 2 is passed on, also for type 8 in mode 1.
  for (const Case& c : {Case{"0", 0, 1}, Case{"0", 2, 1}, Case{"0", 4, 1}, Case{"0", 5, 1}, Case{"0", 6, 1},
                        Case{"0", 7, 1}, Case{"0", 8, 1}, Case{"2", 8, 2}, Case{"2", 5, 2}, Case{"-1", 5, -1}}) {
    printer_.SetSwitch(testkit::kMonitorAnswerVar, c.answer);
    EXPECT_EQ(Build(c.type), c.result) << c.answer << " type " << c.type;
    EXPECT_STREQ(text_, "untouched") << c.answer << " type " << c.type;
  }
  printer_.SetSwitch(testkit::kMonitorAnswerVar, nullptr);

  // No driver information: a handle that names no printer.
  EXPECT_EQ(Build(0, nullptr, INVALID_HANDLE_VALUE), -1);
  // A library without the query export.
  ASSERT_TRUE(printer_.model_printer().SetInfoKey("STM3ModuleI64", printer_.module_file()));
  EXPECT_EQ(Build(0), -1);
  // No library at all.
  ASSERT_TRUE(printer_.model_printer().SetInfoKey("STM3ModuleI64", "missing_monitor.dll"));
  EXPECT_EQ(Build(0), -1);
  EXPECT_STREQ(text_, "untouched");
}

TEST_F(MonitorLinkTest, ACommandThatDoesNotFitFails) {
  char small[16];
  EXPECT_EQ(BuildMonitorCommand(small, sizeof small, printer_.handle(), 0, nullptr, settings_.get()), -1);
  EXPECT_STREQ(small, "");
}

TEST_F(MonitorLinkTest, DriverDirectoryOfAPrinter) {
  char out[MAX_PATH] = {};
  ASSERT_EQ(GetDriverDirectoryOf(printer_.handle(), out, sizeof out), 1);
  EXPECT_EQ(out, directory_);
  EXPECT_EQ(GetDriverDirectoryOf(printer_.handle(), out, directory_.size()), 0);  // no room for the terminator
  EXPECT_EQ(GetDriverDirectoryOf(INVALID_HANDLE_VALUE, out, sizeof out), 0);
}

// The writer that stands for a user who may not change the printer's data.
int RefusingWriter(HANDLE, settings::JobSettings*, uint32_t) { return 0; }

TEST_F(MonitorLinkTest, StmSettingMovesIntoThePrinterData) {
  const uint32_t waiting = 7;
  ASSERT_EQ(settings_->WriteRegistryValueById(storage::kValueStmSetting, &waiting, sizeof waiting,
                                              storage::kViewBoth),
            0);
  uint32_t flags = 0x10;
  uint32_t value = 0;
  // A refused write keeps the waiting value and marks the flags.
  EXPECT_EQ(CheckStmSetting(printer_.handle(), settings_.get(), &flags, &value, RefusingWriter), 7u);
  EXPECT_EQ(flags, 0x11u);
  uint32_t stored = 0;
  EXPECT_TRUE(RegistryHoldsStmSetting(&stored));
  EXPECT_EQ(PrinterStmSetting(), -1);

  // A write that succeeds moves it and leaves the flags as they were.
  EXPECT_EQ(CheckStmSetting(printer_.handle(), settings_.get(), &flags, &value), 7u);
  EXPECT_EQ(value, 7u);
  EXPECT_EQ(flags, 0x11u);
  EXPECT_FALSE(RegistryHoldsStmSetting(&stored));
  EXPECT_EQ(PrinterStmSetting(), 7);

  // Nothing waiting: the printer data is written back as a probe of the right to write.
  EXPECT_EQ(CheckStmSetting(printer_.handle(), settings_.get(), &flags, &value), 7u);
  EXPECT_EQ(flags, 0x10u);
  EXPECT_EQ(CheckStmSetting(printer_.handle(), settings_.get(), &flags, &value, RefusingWriter), 7u);
  EXPECT_EQ(flags, 0x11u);
  EXPECT_EQ(PrinterStmSetting(), 7);
}

TEST_F(MonitorLinkTest, StmSettingAbsentReadsZero) {
  uint32_t out = 99;
  EXPECT_EQ(ReadStmSetting(printer_.handle(), settings_.get(), &out), 0);
  EXPECT_EQ(out, 0u);
  uint32_t flags = 1;
  uint32_t value = 99;
  EXPECT_EQ(CheckStmSetting(printer_.handle(), settings_.get(), &flags, &value), 0u);
  EXPECT_EQ(flags, 0u);
  EXPECT_EQ(PrinterStmSetting(), 0);  // the probe wrote it
}

TEST(RunProgramTest, StartsTheCommandLineAsItStands) {
  testkit::ProgramRecorder recorder;
  ASSERT_TRUE(recorder.ok());
  const std::string program = recorder.folder() + "\\kvmonitor.exe";
  ASSERT_TRUE(recorder.InstallAs(program));
  const std::string line = program + " /F \"C:\\some where\\kvi1.tmp\"";
  EXPECT_EQ(platform::RunProgram(line.c_str(), SW_SHOW), 1);
  const auto launches = recorder.WaitForLaunches("kvmonitor");
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].command_line, line);
  EXPECT_EQ(launches[0].show, SW_SHOW);
  EXPECT_TRUE(recorder.WaitForEnds("kvmonitor"));

  EXPECT_EQ(platform::RunProgram((recorder.folder() + "\\missing.exe /X").c_str(), SW_SHOW), 0);
}

}  // namespace
}  // namespace kalimu::status
