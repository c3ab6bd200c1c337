// The status object on a printer with the stand-ins: the direct road through the status-monitor
// library and the printer module, the stored road through the refresh helper, and the ink set.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "kalimu/model/model_capabilities.h"
#include "kalimu/status/printer_status.h"
#include "kalimu/status/status_monitor.h"
#include "testkit/kalimu/status_printer.h"
#include "testkit/status/status_replies.h"
#include "testkit/standins/status_switches.h"

namespace kalimu::status {
namespace {

using testkit::BinaryReply;
using testkit::Bytes;
using testkit::TextReply;

class PrinterStatusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    printer_.model_printer().Attach(model_);
  }

  std::unique_ptr<PrinterStatus> NewStatus() { return std::unique_ptr<PrinterStatus>(CreatePrinterStatus(model_)); }

  void SetFlag(int32_t flag) { printer_.WriteValue("RX_FLAG", REG_BINARY, &flag, sizeof flag); }
  // A stored reply taken `minutes_ago` minutes before now.
  void StoreReply(const Bytes& reply, int minutes_ago) {
    FILETIME file;
    GetSystemTimeAsFileTime(&file);
    ULARGE_INTEGER t{{file.dwLowDateTime, file.dwHighDateTime}};
    t.QuadPart -= static_cast<ULONGLONG>(minutes_ago) * 60 * 10000000;
    file = FILETIME{t.LowPart, t.HighPart};
    FILETIME local;
    FileTimeToLocalFileTime(&file, &local);
    SYSTEMTIME time;
    FileTimeToSystemTime(&local, &time);
    printer_.WriteValue("RX_TIME", REG_BINARY, &time, sizeof time);
    printer_.WriteValue("RX_STATUS", REG_BINARY, reply.data(), static_cast<DWORD>(reply.size()));
  }
  std::string TempFile(const char* name) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + name + std::to_string(GetCurrentProcessId()) + ".txt";
    DeleteFileA(path.c_str());
    return path;
  }
  static std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  testkit::StatusPrinter printer_;
  model::ModelCapabilities model_;
};

TEST_F(PrinterStatusTest, CreationTakesNamesAndDriverDirectory) {
  auto status = NewStatus();
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->printer_name(), printer_.printer_name());
  EXPECT_EQ(status->driver_name(), printer_.driver_name());
  EXPECT_EQ(status->driver_directory(), printer_.DriverDirectory());
}

TEST_F(PrinterStatusTest, StatusModuleQueryFollowsTheMonitorAnswer) {
  struct Case {
    const char* answer;
    const char* mode;
    const char* layout;
    int32_t result;
  };
  const Case cases[] = {
      {"-1", "1", "", -1}, {"0", "1", "", 1},      {"2", "1", "", 2},        {"3", "1", "", 3},
      {"3", "2", "", 4},   {"7", "1", "", 3},      {"3", "1", "short", -1},  {"3", "1", "null", -1},
  };
  for (const Case& c : cases) {
    printer_.SetSwitch(testkit::kMonitorAnswerVar, c.answer);
    printer_.SetSwitch(testkit::kMonitorModeVar, c.mode);
    printer_.SetSwitch(testkit::kMonitorLayoutVar, c.layout[0] ? c.layout : nullptr);
    auto status = NewStatus();
    char path[MAX_PATH] = "untouched";
    EXPECT_EQ(status->QueryStatusModule(path, sizeof path), c.result) << c.answer << c.mode << c.layout;
    if (c.result >= 2) {
      EXPECT_EQ(path, printer_.DriverDirectory() + printer_.module_file());
    } else {
      EXPECT_STREQ(path, "untouched");
    }
  }
}

// A module name that fits the record but not the path after the driver directory: a path cut at
// the buffer's end would name another file, so the module counts as unreachable.
TEST_F(PrinterStatusTest, ModulePathThatDoesNotFitIsRefused) {
  const std::string module(MAX_PATH - 4, 'm');
  printer_.SetSwitch(testkit::kMonitorModuleVar, module.c_str());
  char path[MAX_PATH] = "untouched";
  EXPECT_EQ(NewStatus()->QueryStatusModule(path, sizeof path), -1);
  EXPECT_STREQ(path, "");
  EXPECT_EQ(NewStatus()->FetchStatusFromModule(), 0);
}

TEST_F(PrinterStatusTest, MonitorIsAskedForTheSizeThenTheRecord) {
  const std::string log = TempFile("kvtmonitor");
  printer_.SetSwitch(testkit::kMonitorLogVar, log.c_str());
  char path[MAX_PATH];
  EXPECT_EQ(NewStatus()->QueryStatusModule(path, sizeof path), 3);
  std::istringstream lines(ReadText(log));
  std::string first, second;
  std::getline(lines, first);
  std::getline(lines, second);
  const std::string names = printer_.printer_name() + "|" + printer_.driver_name() + "|3|";
  EXPECT_EQ(first, names + "0");
  EXPECT_EQ(second.rfind(names, 0), 0u) << second;
  EXPECT_NE(second, names + "0");
  DeleteFileA(log.c_str());
}

// The library is loaded in this process and its pointers are its answer: texts in its own
// data are read as well as those in the block, each cut to its buffer; a null pointer is an
// empty text.
TEST_F(PrinterStatusTest, RecordTextsAreReadWhereverTheyLie) {
  printer_.SetSwitch(testkit::kMonitorLayoutVar, "outside");
  char library[MAX_PATH];
  ASSERT_TRUE(model_.locator().GetStatusModulePath(library, sizeof library));
  MonitorInfo info;
  EXPECT_EQ(QueryStatusMonitor(library, "p", "d", &info), 3);
  EXPECT_STREQ(info.module_program, printer_.module_file().c_str());
  EXPECT_EQ(std::string(info.program3), std::string(MAX_PATH - 1, 'x'));
  EXPECT_STREQ(info.install_program, "");
  EXPECT_STREQ(info.install_argument, testkit::kMonitorInstallArgument);
  EXPECT_STREQ(info.job_program, testkit::kMonitorJobProgram);
  EXPECT_EQ(info.mode, 1u);
  const Bytes reply = BinaryReply().Status(4).Build();
  printer_.SetSwitch(testkit::kModuleReplyVar, testkit::ToHex(reply).c_str());
  EXPECT_EQ(NewStatus()->FetchStatusFromModule(), static_cast<int32_t>(reply.size()));
  printer_.SetSwitch(testkit::kModuleReplyVar, nullptr);
}

TEST_F(PrinterStatusTest, MissingLibraryOrModule) {
  char path[MAX_PATH];
  ASSERT_TRUE(printer_.RemoveFile(printer_.module_file()));
  EXPECT_EQ(NewStatus()->QueryStatusModule(path, sizeof path), 3);
  EXPECT_EQ(NewStatus()->FetchStatusFromModule(), 0);
  ASSERT_TRUE(printer_.RemoveFile(printer_.monitor_file()));
  EXPECT_EQ(NewStatus()->QueryStatusModule(path, sizeof path), -1);
}

TEST_F(PrinterStatusTest, FetchParsesTheModuleReply) {
  const Bytes reply = BinaryReply().Status(4).Inks({{0x0B01, 40}, {0x0C01, 'n'}}).Build();
  struct Case {
    const char* name;
    std::string hex;
    const char* length;
    int32_t result;
  };
  const Case cases[] = {
      {"reply", testkit::ToHex(reply), nullptr, static_cast<int32_t>(reply.size())},
      {"no reply", "", nullptr, 0},
      {"negative length", testkit::ToHex(reply), "-1", 0},
      {"length past the block", testkit::ToHex(reply), "100000", 0},
  };
  for (const Case& c : cases) {
    printer_.SetSwitch(testkit::kModuleReplyVar, c.hex.c_str());
    printer_.SetSwitch(testkit::kModuleLengthVar, c.length);
    auto status = NewStatus();
    EXPECT_EQ(status->FetchStatusFromModule(), c.result) << c.name;
    EXPECT_EQ(status->reading().status.present, c.result > 0) << c.name;
  }
  printer_.SetSwitch(testkit::kModuleReplyVar, testkit::ToHex(reply).c_str());
  printer_.SetSwitch(testkit::kModuleLengthVar, nullptr);
  auto status = NewStatus();
  ASSERT_GT(status->FetchStatusFromModule(), 0);
  EXPECT_EQ(status->reading().status.value, 4);
  EXPECT_EQ(status->GetWarningBits(), 0x200000u);
}

TEST_F(PrinterStatusTest, RequestFlagAndStoredFreshness) {
  auto status = NewStatus();
  EXPECT_EQ(status->GetRequestFlag(), -1);
  EXPECT_EQ(status->IsStoredStatusFresh(3), 0);
  SetFlag(2);
  StoreReply(TextReply("ST:01;"), 0);
  EXPECT_EQ(status->GetRequestFlag(), 2);
  EXPECT_EQ(status->IsStoredStatusFresh(3), 1);
  StoreReply(TextReply("ST:01;"), 10);
  EXPECT_EQ(status->IsStoredStatusFresh(3), 0);
  StoreReply(TextReply("ST:01;"), 60 * 24);
  EXPECT_EQ(status->IsStoredStatusFresh(3), 0);
}

TEST(ReplyTime, FreshForLessThanTheLimit) {
  auto at = [](WORD day, WORD hour, WORD minute) {
    SYSTEMTIME t = {};
    t.wYear = 2026;
    t.wMonth = 12;
    t.wDay = day;
    t.wHour = hour;
    t.wMinute = minute;
    return t;
  };
  struct Case {
    SYSTEMTIME stored;
    SYSTEMTIME now;
    uint16_t limit;
    int fresh;
  };
  const Case cases[] = {
      {at(10, 10, 58), at(10, 11, 0), 3, 1},   // 2 minutes across the hour
      {at(10, 10, 57), at(10, 11, 0), 3, 0},   // 3 minutes
      {at(10, 11, 2), at(10, 11, 0), 3, 0},    // two minutes in the future
      {at(10, 11, 1), at(10, 11, 0), 3, 0},    // one minute in the future
      {at(10, 11, 0), at(10, 11, 0), 3, 1},
      {at(10, 11, 0), at(10, 11, 2), 3, 1},
      {at(10, 9, 59), at(10, 11, 0), 3, 0},    // two hours apart
      {at(9, 23, 59), at(10, 0, 0), 3, 0},     // before midnight
      {at(10, 11, 0), at(10, 11, 0), 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsReplyTimeFresh(c.stored, c.now, c.limit), c.fresh)
        << c.stored.wHour << ":" << c.stored.wMinute << " at " << c.now.wHour << ":" << c.now.wMinute;
  }
}

TEST_F(PrinterStatusTest, RefreshDecision) {
  const Bytes reply = TextReply("ST:05;IQ:4060;");
  struct Case {
    const char* name;
    int32_t flag;  // -1: absent
    int minutes_ago;
    uint16_t result;
    bool started;
  };
  const Case cases[] = {
      {"never asked", -1, 0, 1, true},
      {"fresh reply", 2, 0, 0, false},
      {"stale reply", 2, 10, 1, true},
      {"fresh, no reply last time", 1, 0, 1, true},
      {"fresh, pending", 0, 0, 1, false},
      {"fresh, unknown flag", 9, 0, 1, false},
  };
  for (const Case& c : cases) {
    const std::string log = TempFile("kvtrefresh");
    printer_.SetSwitch(testkit::kRefreshLogVar, log.c_str());
    printer_.SetSwitch(testkit::kRefreshReplyVar, testkit::ToHex(reply).c_str());
    StoreReply(TextReply("ST:01;"), c.minutes_ago);
    if (c.flag < 0) {
      printer_.DeleteValue("RX_FLAG");
    } else {
      SetFlag(c.flag);
    }
    auto status = NewStatus();
    EXPECT_EQ(status->RefreshStatus(), c.result) << c.name;
    if (c.started) {
      EXPECT_EQ(printer_.WaitForRequestFlag(), 2) << c.name;
      EXPECT_EQ(status->LoadStoredStatus(), 0) << c.name;
      EXPECT_EQ(status->reading().status.value, 5) << c.name;
    } else {
      EXPECT_EQ(status->reading().status.value, c.result == 0 ? 1 : 0) << c.name;
      EXPECT_EQ(status->GetRequestFlag(), c.flag) << c.name;
    }
    EXPECT_EQ(GetFileAttributesA(log.c_str()) != INVALID_FILE_ATTRIBUTES, c.started) << c.name;
    DeleteFileA(log.c_str());
  }
}

TEST_F(PrinterStatusTest, RefreshHelperCommandLine) {
  const std::string log = TempFile("kvtcommand");
  printer_.SetSwitch(testkit::kRefreshLogVar, log.c_str());
  printer_.SetSwitch(testkit::kRefreshFlagVar, "1");
  auto status = NewStatus();
  ASSERT_EQ(status->StartStatusRefresh(), 1);
  EXPECT_EQ(printer_.WaitForRequestFlag(), 1);
  const std::string line = ReadText(log);
  // " *A"<library>""vik....tmp" *T"@""
  const std::string head = " *A\"" + printer_.monitor_file() + "\"\"vik";
  EXPECT_EQ(line.rfind(head, 0), 0u) << line;
  EXPECT_NE(line.find(".tmp\" *T\"@\""), std::string::npos) << line;
  EXPECT_EQ(line.find('\\'), std::string::npos) << line;
  DeleteFileA(log.c_str());
}

TEST_F(PrinterStatusTest, RequestFileNamesThePrinterKey) {
  auto status = NewStatus();
  char name[MAX_PATH];
  ASSERT_EQ(status->CreateRequestFile(name, sizeof name), 1);
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  const std::string path = std::string(folder) + name;
  EXPECT_EQ(ReadText(path), "\"SOFTWARE\\NORVA\\PRINTER\\" + printer_.driver_name() + "\\@" + printer_.printer_name() + "\"");
  DeleteFileA(path.c_str());
}

// Request files waiting in the temporary folder.
int RequestFileCount() {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((std::string(folder) + "vik*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 1;
  while (FindNextFileA(search, &found)) ++count;
  FindClose(search);
  return count;
}

TEST_F(PrinterStatusTest, HelperThatCannotStartLeavesThePendingFlag) {
  ASSERT_TRUE(printer_.RemoveFile(printer_.helper_file()));
  SetFlag(1);
  auto status = NewStatus();
  const int requests = RequestFileCount();
  EXPECT_EQ(status->RefreshStatus(), 2);
  EXPECT_EQ(RequestFileCount(), requests);  // the request nobody will read is not left behind
  EXPECT_EQ(status->GetRequestFlag(), 0);
  const auto in_32 = printer_.ReadValue("RX_FLAG", KEY_WOW64_32KEY);
  ASSERT_TRUE(in_32.has_value());
  EXPECT_EQ((*in_32)[0], 0);
}

TEST_F(PrinterStatusTest, InkSetFromTheStoredReplyOrTheStoredInkSet) {
  model::InkInfoValue stored = {1, 2, {0x21, 0x22}, {}};
  printer_.WriteValue("INKINF", REG_BINARY, &stored, sizeof stored);
  struct Case {
    const char* name;
    int32_t flag;
    Bytes reply;
    int result;
    uint32_t valid, count;
    uint8_t first_code;
  };
  const Case cases[] = {
      {"codes and levels", 2, BinaryReply().Status(1).Inks({{0x0B01, 40}, {0x0C01, 50}}).Build(), 1, 1, 2, 0x0B},
      {"an ink not available", 2, TextReply("ST:01;IQ:40NA;INK:0B01,0C01,;"), 1, 0, 0, 0},
      {"no codes", 2, TextReply("ST:01;IQ:4040;"), 0, 1, 2, 0x21},
      {"no stored reply", 1, TextReply("ST:01;IQ:4040;INK:0B01,0C01,;"), 0, 1, 2, 0x21},
  };
  for (const Case& c : cases) {
    SetFlag(c.flag);
    StoreReply(c.reply, 0);
    auto status = NewStatus();
    model::InkInfoValue out;
    std::memset(&out, 0xEE, sizeof out);
    EXPECT_EQ(status->GetInkSet(&out), c.result) << c.name;
    EXPECT_EQ(out.valid, c.valid) << c.name;
    EXPECT_EQ(out.ink_id_length, c.count) << c.name;
    EXPECT_EQ(out.codes[0], c.first_code) << c.name;
    EXPECT_EQ(out.reserved[0], 0) << c.name;
  }
  printer_.DeleteValue("INKINF");
  SetFlag(0);
  auto status = NewStatus();
  model::InkInfoValue out;
  std::memset(&out, 0xEE, sizeof out);
  EXPECT_EQ(status->GetInkSet(&out), 0);
  EXPECT_EQ(out.valid, 0u);
  EXPECT_EQ(out.codes[0], 0);
}

}  // namespace
}  // namespace kalimu::status
