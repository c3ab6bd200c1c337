// Command lines and command files of the status monitor's programs, for every request and both
// record modes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
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

  // The command file the text names, read and removed; empty when the text names none.
  std::string TakeCommandFile() {
    const std::string text = text_;
    const size_t at = text.find(" /F \"");
    if (at == std::string::npos) return {};
    const std::string path = text.substr(at + 5, text.size() - at - 6);
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    in.close();
    DeleteFileA(path.c_str());
    return content.str();
  }

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

TEST_F(UtilityCommandTest, TextIsBoundedByItsBuffer) {
  char small[12];
  const UtilityCommandTarget target{library_, printer_.printer_name().c_str(), printer_.driver_name().c_str(),
                                    directory_.c_str()};
  EXPECT_EQ(BuildUtilityCommandLine(target, small, sizeof small, kUtilityInstall, nullptr), 3);
  EXPECT_EQ(std::strlen(small), sizeof small - 1);
  // A buffer of no size is not written at all.
  char none[1] = {'x'};
  EXPECT_EQ(BuildUtilityCommandLine(target, none, 0, kUtilityInstall, nullptr), 3);
  EXPECT_EQ(none[0], 'x');
}

// The command file holds every line whole, however long the printer's name.
TEST_F(UtilityCommandTest, CommandFileKeepsEveryLineOfALongPrinterName) {
  const std::string name(240, 'P');
  printer_.SetSwitch(testkit::kMonitorModeVar, "2");
  const UtilityCommandTarget target{library_, name.c_str(), printer_.driver_name().c_str(), directory_.c_str()};
  const int32_t job = INT32_MIN;
  EXPECT_EQ(BuildUtilityCommandLine(target, text_, sizeof text_, kUtilityJobStart, &job), 4);
  EXPECT_EQ(TakeCommandFile(), "/P \"" + name + "\"\r\n/J \"-2147483648\"\r\n/KVM \"1\"");
}

}  // namespace
}  // namespace kalimu::status
