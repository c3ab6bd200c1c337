// Command lines and command files of the status monitor's programs, for every request and both
// record modes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "kalimu/model/model_capabilities.h"
#include "kalimu/status/utility_command.h"
#include "testkit/kalimu/status_printer.h"
#include "testkit/standins/status_switches.h"

namespace kalimu::status {
namespace {

class UtilityCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    printer_.model_printer().Attach(model_);
    ASSERT_TRUE(model_.locator().GetStatusModulePath(library_, sizeof library_));
    directory_ = printer_.DriverDirectory();
  }

  int16_t Build(int16_t request, const int32_t* job = nullptr) {
    std::strcpy(text_, "untouched");
    const UtilityCommandTarget target{library_, printer_.printer_name().c_str(), printer_.driver_name().c_str(),
                                      directory_.c_str()};
    return BuildUtilityCommandLine(target, text_, sizeof text_, request, job);
  }

  std::string TakeCommandFile() { return testkit::TakeCommandFile(text_); }

  testkit::StatusPrinter printer_;
  model::ModelCapabilities model_;
  char library_[MAX_PATH] = {};
  std::string directory_;
  char text_[512] = {};
};

TEST_F(UtilityCommandTest, EveryRequestInBothModes) {
  const int32_t job = 12;
  const std::string printer_line = "/P \"" + printer_.printer_name() + "\"";
  struct Case {
    int16_t request;
    const char* mode;
    bool with_job;
    std::string text;  // "" : untouched
    std::string file;
  };
  const std::string install = directory_ + testkit::kMonitorInstallProgram + " /I:\"" + testkit::kMonitorInstallArgument + "\"";
  const Case cases[] = {
      {0, "1", false, install, ""},
      {1, "1", false, install + " /NP", ""},
      {6, "2", false, directory_ + printer_.module_file(), ""},
      {5, "1", false, "untouched", ""},
      {2, "1", false, directory_ + testkit::kMonitorProgram2, printer_line},
      {3, "1", false, directory_ + testkit::kMonitorProgram3, printer_line},
      {3, "2", false, directory_ + testkit::kMonitorProgram3, printer_line + "\r\n/E"},
      {7, "1", true, directory_ + testkit::kMonitorJobProgram, printer_line + "\r\n/J \"12\""},
      {7, "2", true, directory_ + testkit::kMonitorJobProgram, printer_line + "\r\n/J \"12\"\r\n/KVM \"1\""},
      {8, "2", false, directory_ + testkit::kMonitorJobProgram, printer_line + "\r\n\r\n/KVM \"0\""},
      {8, "1", true, "untouched", ""},
      {4, "1", false, "untouched", ""},
  };
  for (const Case& c : cases) {
    printer_.SetSwitch(testkit::kMonitorModeVar, c.mode);
    const int16_t expected = std::string(c.mode) == "1" ? 3 : 4;
    EXPECT_EQ(Build(c.request, c.with_job ? &job : nullptr), expected) << c.request << "/" << c.mode;
    const std::string text = text_;
    const std::string file = TakeCommandFile();
    if (!c.file.empty()) {
      EXPECT_EQ(text.substr(0, c.text.size() + 5), c.text + " /F \"") << c.request << "/" << c.mode;
      EXPECT_NE(text.find("\\kvi"), std::string::npos) << text;
    } else {
      EXPECT_EQ(text, c.text) << c.request << "/" << c.mode;
    }
    EXPECT_EQ(file, c.file) << c.request << "/" << c.mode;
  }
}

TEST_F(UtilityCommandTest, LibraryAnswers) {
  struct Case {
    const char* answer;
    int16_t result;
  };
  for (const Case& c : {Case{"-1", -1}, Case{"0", 1}, Case{"2", 2}, Case{"5", 3}}) {
    printer_.SetSwitch(testkit::kMonitorAnswerVar, c.answer);
    EXPECT_EQ(Build(kUtilityProbe), c.result) << c.answer;
    EXPECT_EQ(Build(kUtilityJobEnd), c.result) << c.answer;  // mode 1: nothing built
    EXPECT_STREQ(text_, "untouched") << c.answer;
  }
  printer_.SetSwitch(testkit::kMonitorAnswerVar, nullptr);
  printer_.SetSwitch(testkit::kMonitorLayoutVar, "short");
  EXPECT_EQ(Build(kUtilityInstall), -1);
  printer_.SetSwitch(testkit::kMonitorLayoutVar, nullptr);
  ASSERT_TRUE(printer_.RemoveFile(printer_.monitor_file()));
  EXPECT_EQ(Build(kUtilityInstall), -1);
}

// A command line that does not fit is no command: no cut text, no command file left behind.
TEST_F(UtilityCommandTest, ATextThatDoesNotFitFails) {
  const UtilityCommandTarget target{library_, printer_.printer_name().c_str(), printer_.driver_name().c_str(),
                                    directory_.c_str()};
  const std::string install = directory_ + testkit::kMonitorInstallProgram + " /I:\"" +
                              testkit::kMonitorInstallArgument + "\"";
  char exact[512];
  ASSERT_LT(install.size(), sizeof exact);
  EXPECT_EQ(BuildUtilityCommandLine(target, exact, install.size() + 1, kUtilityInstall, nullptr), 3);
  EXPECT_EQ(exact, install);
  EXPECT_EQ(BuildUtilityCommandLine(target, exact, install.size(), kUtilityInstall, nullptr), -1);
  EXPECT_STREQ(exact, "");
  char none[1] = {'x'};
  EXPECT_EQ(BuildUtilityCommandLine(target, none, 0, kUtilityInstall, nullptr), -1);
  EXPECT_EQ(none[0], 'x');

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const auto CommandFiles = [&temp] {
    int count = 0;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((std::string(temp) + "kvi*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return count;
    do ++count; while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
  };
  const int before = CommandFiles();
  char small[24];
  EXPECT_EQ(BuildUtilityCommandLine(target, small, sizeof small, kUtilityJobStart, nullptr), -1);
  EXPECT_STREQ(small, "");
  EXPECT_EQ(CommandFiles(), before);
}

// The command file holds every line whole, however long the printer's name.
TEST_F(UtilityCommandTest, CommandFileKeepsEveryLineOfALongPrinterName) {
  const std::string name(240, 'P');
  printer_.SetSwitch(testkit::kMonitorModeVar, "2");
  const UtilityCommandTarget target{library_, name.c_str(), printer_.driver_name().c_str(), directory_.c_str()};
  const int32_t job = INT32_MIN;
  EXPECT_EQ(BuildUtilityCommandLine(target, text_, sizeof text_, kUtilityJobStart, &job), 4);
  EXPECT_EQ(TakeCommandFile(), "/P \"" + name + "\"\r\n/J \"-2147483648\"\r\n/KVM \"1\"");
  // A target that bounds its command file fails rather than cut a line.
  UtilityCommandTarget bounded = target;
  bounded.command_file_limit = 272;
  EXPECT_EQ(BuildUtilityCommandLine(bounded, text_, sizeof text_, kUtilityJobStart, &job), -1);
  EXPECT_STREQ(text_, "");
  bounded.command_file_limit = 273;
  EXPECT_EQ(BuildUtilityCommandLine(bounded, text_, sizeof text_, kUtilityJobStart, &job), 4);
  EXPECT_EQ(TakeCommandFile().size(), 273u);
}

}  // namespace
}  // namespace kalimu::status
