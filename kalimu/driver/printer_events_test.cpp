// Printer events on a sample-model printer: the printer data of the driver data file, the
// installer library and program, and the stamp and setup programs, recorded by the recorder
// and installer stand-ins.
#include "kalimu/driver/printer_events.h"

#include <gtest/gtest.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/settings/job_settings.h"
#include "testkit/kalimu/driver_printer.h"
#include "testkit/kalimu/status_printer.h"
#include "testkit/standins/status_switches.h"
#include "testkit/windows/message_box_watcher.h"
#include "testkit/windows/program_recorder.h"

namespace kalimu::driver {
namespace {

std::string SystemFolder() {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  return folder;
}

// The printer data value as the spooler hands it out (UTF-16), or none.
std::optional<std::wstring> PrinterText(HANDLE printer, const wchar_t* name) {
  const auto bytes = testkit::ReadPrinterDataBytes(printer, name);
  if (!bytes || bytes->size() % 2 != 0 || bytes->empty()) return std::nullopt;
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes->data()), bytes->size() / 2 - 1);
}

class PrinterEventTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    ASSERT_TRUE(recorder_.ok());
    testkit::ModelPrinter& model = printer_.model_printer();
    for (const std::string& stem : {stamp_, setup_, program_}) {
      ASSERT_TRUE(model.WriteDriverFile(stem + ".exe", testkit::ProgramRecorder::ProgramBytes()));
    }
    ASSERT_TRUE(model.WriteDriverFile(library_ + ".dll", testkit::ProgramRecorder::InstallerLibraryBytes()));
    ASSERT_TRUE(model.SetInfoKey("SADatI", "KVSA.DAT"));
    ASSERT_TRUE(model.SetInfoKey("ExeNameI", "Stamp:" + stamp_ + ".exe,Setup:" + setup_ + ".exe"));
    UseLibrary();
  }
  void TearDown() override {
    for (const std::string& stem : {stamp_, setup_, program_}) {
      recorder_.WaitForEnds(stem, recorder_.Launches(stem).size());
    }
  }

  void UseLibrary() {
    ASSERT_TRUE(printer_.model_printer().SetInfoKey("RXAPIX", "3"));
    ASSERT_TRUE(printer_.model_printer().SetInfoKey("SAInstI", library_ + ".dll"));
  }
  void UseProgram() {
    ASSERT_TRUE(printer_.model_printer().SetInfoKey("RXAPIX", "4"));
    ASSERT_TRUE(printer_.model_printer().SetInfoKey("SAInstI", program_ + ".exe"));
  }
  BOOL Event(int event) {
    std::wstring name = printer_.wide_printer_name();
    return DrvPrinterEvent(name.data(), event, 0, 0);
  }
  std::string Dir() { return printer_.model_printer().DriverDirectory(); }
  std::string ConnectionLine() {
    return Dir() + program_ + ".exe /IP:\"" + Dir() + "KVSA.DAT\" /P:\"" + printer_.printer_name() + "\"";
  }
  std::string StampLine() { return Dir() + stamp_ + ".exe " + SystemFolder(); }
  std::string SetupLine() { return Dir() + setup_ + ".exe \"" + printer_.printer_name() + "\" /s"; }
  std::vector<std::string> Lines(const std::string& stem, size_t count) {
    std::vector<std::string> lines;
    for (const auto& launch : recorder_.WaitForLaunches(stem, count)) {
      EXPECT_EQ(launch.show, SW_HIDE) << stem;
      lines.push_back(launch.command_line);
    }
    return lines;
  }

  testkit::DriverPrinter printer_{testkit::RollPaperModel()};
  testkit::ProgramRecorder recorder_;
  const std::string pid_ = std::to_string(GetCurrentProcessId());
  const std::string stamp_ = "kvstamp" + pid_;
  const std::string setup_ = "kvsetup" + pid_;
  const std::string program_ = "kvinst" + pid_;
  const std::string library_ = "kvsainst" + pid_;
};

TEST_F(PrinterEventTest, InitializeWithTheInstallerLibrary) {
  ASSERT_TRUE(printer_.model_printer().AppendDataText(
      "[PrinterDriverData]\r\nKVColour=Photo Black\r\nKVTray=Roll 1\r\n"));
  EXPECT_TRUE(Event(PRINTER_EVENT_INITIALIZE));

  EXPECT_TRUE(testkit::ReadMachineValue(printer_.DriverKey(), "PMFlag").has_value());  // initialised
  EXPECT_EQ(PrinterText(printer_.handle(), L"KVColour"), L"Photo Black");
  EXPECT_EQ(PrinterText(printer_.handle(), L"KVTray"), L"Roll 1");
  EXPECT_EQ(recorder_.LibraryCalls(library_),
            (std::vector<std::string>{"PrInstallOstrelEx\t" + Dir() + "KVSA.DAT\t" + printer_.printer_name()}));
  EXPECT_EQ(Lines(stamp_, 1), std::vector<std::string>{StampLine()});
  EXPECT_EQ(Lines(setup_, 1), std::vector<std::string>{SetupLine()});
  EXPECT_TRUE(recorder_.Launches(program_).empty());
}

TEST_F(PrinterEventTest, InitializeAndConnectWithTheInstallerProgram) {
  UseProgram();
  EXPECT_TRUE(Event(PRINTER_EVENT_INITIALIZE));
  EXPECT_EQ(Lines(program_, 1), std::vector<std::string>{ConnectionLine()});
  EXPECT_EQ(Lines(stamp_, 1).size(), 1u);
  EXPECT_EQ(Lines(setup_, 1).size(), 1u);

  // A connection: the installer program and the stamp program, no setup program.
  EXPECT_TRUE(Event(PRINTER_EVENT_ADD_CONNECTION));
  EXPECT_EQ(Lines(program_, 2), (std::vector<std::string>{ConnectionLine(), ConnectionLine()}));
  EXPECT_EQ(Lines(stamp_, 2), (std::vector<std::string>{StampLine(), StampLine()}));
  EXPECT_TRUE(recorder_.WaitForEnds(stamp_, 2));
  EXPECT_EQ(recorder_.Launches(setup_).size(), 1u);
  EXPECT_TRUE(recorder_.LibraryCalls(library_).empty());
}

TEST_F(PrinterEventTest, ConnectionWithTheLibraryStartsOnlyTheStampProgram) {
  EXPECT_TRUE(Event(PRINTER_EVENT_ADD_CONNECTION));
  EXPECT_EQ(Lines(stamp_, 1), std::vector<std::string>{StampLine()});
  EXPECT_TRUE(recorder_.WaitForEnds(stamp_));
  EXPECT_TRUE(recorder_.LibraryCalls(library_).empty());
  EXPECT_TRUE(recorder_.Launches(setup_).empty());
  EXPECT_TRUE(recorder_.Launches(program_).empty());
}

TEST_F(PrinterEventTest, EntryWithoutSetupAndOtherModesOrEvents) {
  ASSERT_TRUE(printer_.model_printer().SetInfoKey("ExeNameI", "Stamp:" + stamp_ + ".exe"));
  ASSERT_TRUE(printer_.model_printer().SetInfoKey("RXAPIX", "5"));  // no installer at all
  EXPECT_TRUE(Event(PRINTER_EVENT_INITIALIZE));
  EXPECT_EQ(Lines(stamp_, 1).size(), 1u);
  EXPECT_TRUE(recorder_.WaitForEnds(stamp_));
  EXPECT_TRUE(recorder_.Launches(setup_).empty());
  EXPECT_TRUE(recorder_.LibraryCalls(library_).empty());

  // Other events, and printers that cannot be opened: answered, nothing done.
  for (int event : {PRINTER_EVENT_DELETE, PRINTER_EVENT_DELETE_CONNECTION, PRINTER_EVENT_CACHE_REFRESH, 99}) {
    EXPECT_TRUE(Event(event)) << event;
  }
  wchar_t unknown[] = L"No Such Printer 29";
  EXPECT_TRUE(DrvPrinterEvent(unknown, PRINTER_EVENT_INITIALIZE, 0, 0));
  EXPECT_TRUE(DrvPrinterEvent(nullptr, PRINTER_EVENT_INITIALIZE, 0, 0));
  EXPECT_EQ(recorder_.Launches(stamp_).size(), 1u);
}

// The printer data section: entries split at their first "=", and the sections that import
// nothing.
TEST_F(PrinterEventTest, PrinterDriverDataSections) {
  std::string huge = "[PrinterDriverData]\r\n";
  for (int i = 0; huge.size() < 33000; ++i) huge += "Big" + std::to_string(i) + "=" + std::string(200, 'x') + "\r\n";
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::pair<const wchar_t*, std::optional<std::wstring>>> values;
    bool message;
  };
  const Case cases[] = {
      {"two entries", "[PrinterDriverData]\r\nPdA=one\r\nPdB=two words\r\n", {{L"PdA", L"one"}, {L"PdB", L"two words"}},
       false},
      {"value with =", "[PrinterDriverData]\r\nPdC=a=b\r\n", {{L"PdC", L"a=b"}, {L"a", std::nullopt}}, false},
      {"Error", "[PrinterDriverData]\r\nError\r\n", {{L"Error", std::nullopt}}, false},
      {"no =", "[PrinterDriverData]\r\nPdD\r\nPdE=5\r\n", {{L"PdD", std::nullopt}, {L"PdE", L"5"}}, false},
      {"over 32 KB", huge, {{L"Big0", std::nullopt}, {L"Big1", std::nullopt}}, true},
      {"no section", "", {{L"PdF", std::nullopt}}, false},
  };
  settings::JobSettingsPtr settings(settings::CreateJobSettings(nullptr, printer_.handle(), nullptr, nullptr));
  ASSERT_NE(settings, nullptr);
  const std::wstring name = printer_.wide_printer_name();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(printer_.model_printer().AppendDataText(c.text));
    testkit::MessageBoxWatcher watcher;
    EXPECT_EQ(ImportPrinterDriverData(name.c_str(), settings.get()), 1);
    for (const auto& [value, expected] : c.values) EXPECT_EQ(PrinterText(printer_.handle(), value), expected);
    if (c.message) {
      ASSERT_EQ(watcher.shown().size(), 1u);
      EXPECT_EQ(watcher.shown()[0].caption, kVifReadErrorCaption);
      EXPECT_EQ(watcher.shown()[0].text, kSectionTooLongText);
    } else {
      EXPECT_TRUE(watcher.shown().empty());
    }
  }
  // The stored text's size is its length and terminator.
  const auto bytes = testkit::ReadPrinterDataBytes(printer_.handle(), L"PdA");
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(bytes->size(), 4 * sizeof(wchar_t));
  wchar_t unknown[] = L"No Such Printer 29";
  EXPECT_EQ(ImportPrinterDriverData(unknown, settings.get()), 0);
}

// Command lines never run past their bounds: a line that does not fit starts nothing.
TEST_F(PrinterEventTest, CommandLinesKeepTheirBounds) {
  char line[kInstallerCommandBytes];
  struct Case {
    const char* name;
    int (*format)(char*, size_t, const std::string&);
    size_t fixed;  // characters of the line besides the variable text
  };
  const Case cases[] = {
      {"connection", [](char* o, size_t s, const std::string& t) { return FormatConnectionCommand(o, s, "I", "D", t.c_str()); },
       std::strlen("I /IP:\"D\" /P:\"\"")},
      {"install", [](char* o, size_t s, const std::string& t) { return FormatInstallCommand(o, s, "I", t.c_str()); },
       std::strlen("I /IS:\" \"")},
      {"removal", [](char* o, size_t s, const std::string& t) { return FormatRemovalCommand(o, s, "I", t.c_str()); },
       std::strlen("I /RS:\"\"")},
  };
  for (const Case& c : cases) {
    const std::string fits(kInstallerCommandBytes - 1 - c.fixed, 'x');
    EXPECT_EQ(c.format(line, sizeof line, fits), 1) << c.name;
    EXPECT_EQ(std::strlen(line), kInstallerCommandBytes - 1) << c.name;
    EXPECT_EQ(c.format(line, sizeof line, fits + "x"), 0) << c.name;
    EXPECT_STREQ(line, "") << c.name;
  }
  EXPECT_EQ(FormatInstallCommand(line, sizeof line, "", "D"), 0);
  EXPECT_EQ(FormatRemovalCommand(line, sizeof line, nullptr, "D"), 0);
  EXPECT_STREQ(FormatInstallCommand(line, sizeof line, "I", "D") ? line : "", "I /IS:\"D \"");

  // Program texts that make a line too long start nothing.
  settings::JobSettingsPtr settings(settings::CreateJobSettings(nullptr, printer_.handle(), nullptr, nullptr));
  const std::string long_program = "Stamp:" + std::string(250, 's') + ".exe,Setup:" + std::string(250, 'u') + ".exe";
  EXPECT_EQ(StartStampProgram(printer_.handle(), long_program.c_str(), long_program.size() + 1, settings.get()), 0);
  EXPECT_EQ(StartSetupProgram(printer_.handle(), long_program.c_str(), long_program.size() + 1, settings.get()), 0);
  const std::string no_tags = "KVSTAMP.EXE";
  EXPECT_EQ(StartStampProgram(printer_.handle(), no_tags.c_str(), no_tags.size() + 1, settings.get()), 0);
  EXPECT_EQ(StartSetupProgram(printer_.handle(), no_tags.c_str(), no_tags.size() + 1, settings.get()), 0);
}

// A printer whose name does not fit the quoted name of the setup program's line.
TEST(PrinterEventNameTest, LongPrinterNameStartsNoSetupProgram) {
  testkit::DriverPrinter printer(testkit::SheetModel(), testkit::kStandinConfigModule, std::string(80, 'N'));
  ASSERT_TRUE(printer.ok()) << printer.error();
  ASSERT_GT(printer.printer_name().size() + 5, kQuotedPrinterBytes - 1);
  const std::string entry = "Setup:KVSETUP.EXE";
  EXPECT_EQ(StartSetupProgram(printer.handle(), entry.c_str(), entry.size() + 1, nullptr), 0);
}

// Without the library's "PrInstallOstrelEx" the status monitor's own install command runs.
TEST(InstallStatusMonitorTest, WithoutTheLibraryFunctionTheMonitorInstalls) {
  testkit::StatusPrinter printer;
  ASSERT_TRUE(printer.ok()) << printer.error();
  testkit::ProgramRecorder recorder;
  ASSERT_TRUE(printer.model_printer().WriteDriverFile(testkit::kMonitorInstallProgram,
                                                      testkit::ProgramRecorder::ProgramBytes()));
  ASSERT_TRUE(printer.model_printer().SetInfoKey("SAInstI", printer.module_file()));  // a library without it
  ASSERT_TRUE(printer.model_printer().SetInfoKey("SADatI", "KVSA.DAT"));
  settings::JobSettingsPtr settings(settings::CreateJobSettings(nullptr, printer.handle(), nullptr, nullptr));
  ASSERT_NE(settings, nullptr);
  EXPECT_EQ(InstallStatusMonitor(printer.handle(), settings.get()), 1);
  const auto launches = recorder.WaitForLaunches("monitorsetup");
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].command_line, printer.DriverDirectory() + testkit::kMonitorInstallProgram + " /I:\"" +
                                          testkit::kMonitorInstallArgument + "\"");
  EXPECT_EQ(launches[0].show, SW_SHOW);
  EXPECT_TRUE(recorder.WaitForEnds("monitorsetup"));
}

TEST(InstallModeTest, Texts) {
  EXPECT_EQ(ParseInstallMode("4", false), InstallMode::kProgram);
  EXPECT_EQ(ParseInstallMode("3", false), InstallMode::kLibrary);
  EXPECT_EQ(ParseInstallMode("", true), InstallMode::kLibrary);
  EXPECT_EQ(ParseInstallMode("", false), InstallMode::kNone);
  EXPECT_EQ(ParseInstallMode("34", true), InstallMode::kNone);
}

}  // namespace
}  // namespace kalimu::driver
