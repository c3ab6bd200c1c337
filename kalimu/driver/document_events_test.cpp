// Document events on a sample-model printer with the status stand-ins: the device-mode copies,
// the temporary folder, the end-of-document reset and the job start with a real spooler job,
// the pre-print program and the monitor's job program recorded by the recorder stand-in.
#include "kalimu/driver/document_events.h"

#include <gtest/gtest.h>
#include <winspool.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/settings/driver_dev_mode.h"
#include "kalimu/settings/job_settings.h"
#include "testkit/kalimu/driver_printer.h"
#include "testkit/kalimu/status_printer.h"
#include "testkit/standins/status_switches.h"
#include "testkit/windows/program_recorder.h"

namespace kalimu::driver {
namespace {

using testkit::ReadMachineValue;
using testkit::WriteMachineValue;
using Bytes = std::vector<uint8_t>;

std::string Stem() { return "kvpre" + std::to_string(GetCurrentProcessId()); }

testkit::ModelDescription ModelWithFlags(uint32_t flags20, uint32_t flags24, uint32_t flags28) {
  testkit::ModelDescription model = testkit::SheetModel();
  model.header.flags20 |= flags20;
  model.header.flags24 = (model.header.flags24 & ~0x1083102u) | flags24;
  model.header.flags28 = (model.header.flags28 & ~0x4u) | flags28;
  return model;
}

// Facts of a spooler that knows network printers and data types.
int g_printer_kind = 0;
const wchar_t* g_datatype = nullptr;
const SpoolerFacts kFedFacts = {
    [](HANDLE) { return g_printer_kind; },
    [](HANDLE, DWORD, wchar_t* out, size_t size) -> int {
      if (g_datatype == nullptr) return 0;
      wcsncpy(out, g_datatype, size - 1);
      return 1;
    }};

class DocumentEventTest : public ::testing::Test {
 public:
  explicit DocumentEventTest(const testkit::ModelDescription& model = ModelWithFlags(0x80, 0, 0)) : printer_(model) {}

  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    ASSERT_TRUE(recorder_.ok());
    testkit::ModelPrinter& model = printer_.model_printer();
    ASSERT_TRUE(model.WriteDriverFile(stem_ + ".exe", testkit::ProgramRecorder::ProgramBytes()));
    ASSERT_TRUE(model.SetInfoKey("PrePrnI", stem_ + ".exe"));
    ASSERT_TRUE(model.WriteDriverFile(testkit::kMonitorJobProgram, testkit::ProgramRecorder::ProgramBytes()));
    g_printer_kind = 0;
    g_datatype = nullptr;
  }
  void TearDown() override {
    if (job_ != 0) EndDocPrinter(printer_.handle());
    recorder_.WaitForEnds(stem_, recorder_.Launches(stem_).size());
    recorder_.WaitForEnds("monitorjob", recorder_.Launches("monitorjob").size());
  }

  std::string DriverKey() const { return "SOFTWARE\\NORVA\\PRINTER\\" + printer_.driver_name(); }
  void StorePmFlag(const Bytes& bytes) {
    ASSERT_TRUE(WriteMachineValue(DriverKey(), "PMFlag", REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size())));
  }
  std::optional<Bytes> JobFlags() const {
    return ReadMachineValue(DriverKey(), ("NORVAPPEXVTRNAME" + std::to_string(job_)).c_str());
  }
  // A real job of the spooler: its id.
  DWORD StartJob() {
    wchar_t name[] = L"document events";
    wchar_t datatype[] = L"RAW";
    DOC_INFO_1W info = {name, nullptr, datatype};
    job_ = StartDocPrinterW(printer_.handle(), 1, reinterpret_cast<BYTE*>(&info));
    return job_;
  }
  int Event(int event, void* in, void* out = nullptr, const SpoolerFacts& facts = SystemSpoolerFacts()) {
    return HandleDocumentEvent(printer_.handle(), nullptr, event, in != nullptr ? sizeof(void*) : 0, in,
                               out != nullptr ? sizeof(void*) : 0, out, facts);
  }
  int32_t Number(const char* name) {
    const auto value = printer_.ReadValue(name, KEY_WOW64_64KEY);
    int32_t number = 0x5A5A5A5A;
    if (value && value->size() == 4) std::memcpy(&number, value->data(), 4);
    return number;
  }
  void SetNumber(const char* name, int32_t value) { printer_.WriteValue(name, REG_DWORD, &value, sizeof value); }
  std::string PrePrintLine(DWORD job, int flag) {
    return printer_.DriverDirectory() + stem_ + ".exe NORVAPPEXVTRNAME" + std::to_string(job) + "," +
           printer_.model_printer().printer().data_file() + "," + printer_.printer_name() + ",2," +
           std::to_string(flag);
  }

  testkit::StatusPrinter printer_;
  testkit::ProgramRecorder recorder_;
  const std::string stem_ = Stem();
  DWORD job_ = 0;
};

// The job start by "PMFlag": the job's flags value, the pre-print program and the monitor's
// job program (type 7 when flags has 1, else 8; mode 1 answers 3, mode 2 answers 4).
TEST_F(DocumentEventTest, JobStartFollowsPmFlag) {
  struct Case {
    Bytes pm_flag;
    const char* monitor_mode;
    std::optional<Bytes> job_flags;
    bool pre_print;
    std::string monitor_file;  // the job program's command file, "" when it is not started
  };
  const std::string printer_line = "/P \"" + printer_.printer_name() + "\"\r\n/J \"";
  const Case cases[] = {
      {{2, 0}, "1", Bytes{2, 0}, true, ""},                // type 8 answers 3: flags lacks 1, no start
      {{2, 0}, "2", Bytes{2, 0}, true, "/KVM \"0\""},      // type 8 answers 4: started
      {{1, 0, 0, 0}, "1", std::nullopt, false, ""},        // 4 bytes: flags 1, type 7 answers 3: started
      {{3, 0}, "1", Bytes{3, 0}, true, ""},                // type 7 answers 3, flags has 1: started
  };
  size_t pre_print_starts = 0;
  size_t monitor_starts = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "PMFlag size " << c.pm_flag.size() << " first " << int{c.pm_flag[0]}
                                    << " mode " << c.monitor_mode);
    StorePmFlag(c.pm_flag);
    printer_.SetSwitch(testkit::kMonitorModeVar, c.monitor_mode);
    DWORD job = StartJob();
    ASSERT_NE(job, 0u);
    EXPECT_EQ(Event(DOCUMENTEVENT_STARTDOCPOST, &job), DOCUMENTEVENT_SUCCESS);
    EXPECT_EQ(JobFlags(), c.job_flags);
    if (c.pre_print) {
      const auto launches = recorder_.WaitForLaunches(stem_, ++pre_print_starts);
      ASSERT_EQ(launches.size(), pre_print_starts);
      EXPECT_EQ(launches.back().command_line, PrePrintLine(job, 1));
      EXPECT_EQ(launches.back().show, SW_HIDE);
    }
    const bool monitor = c.pm_flag.size() == 4 || c.pm_flag[0] == 3 || !c.monitor_file.empty();
    if (monitor) {
      const auto launches = recorder_.WaitForLaunches("monitorjob", ++monitor_starts);
      ASSERT_EQ(launches.size(), monitor_starts);
      EXPECT_EQ(launches.back().show, SW_SHOW);
      const std::string expected = printer_line + std::to_string(job) + "\"" +
                                   (c.monitor_mode[0] == '2' ? "\r\n" + c.monitor_file : "");
      EXPECT_EQ(testkit::TakeCommandFile(launches.back().command_line), expected);
    }
    EndDocPrinter(printer_.handle());
    job_ = 0;
  }
  EXPECT_EQ(recorder_.Launches(stem_).size(), pre_print_starts);
  EXPECT_EQ(recorder_.Launches("monitorjob").size(), monitor_starts);
}

// Whether a job's flags value is written: only a job of another data type than "RAW" on a
// network printer goes without (a "RAW" job on a network printer keeps it).
TEST_F(DocumentEventTest, NetworkJobsOfOtherDataTypesWriteNoFlagsValue) {
  printer_.SetSwitch(testkit::kMonitorAnswerVar, "0");  // no monitor program
  StorePmFlag({1, 0});
  struct Case {
    int printer_kind;
    const wchar_t* datatype;
    int network_non_raw;
  };
  const Case cases[] = {
      {1, L"RAW", 0}, {1, L"RAW [FF appended]", 0}, {1, L"NT EMF 1.008", 1}, {1, L"TEXT", 1},
      {1, L"", 0},    {1, nullptr, 0},              {0, L"NT EMF 1.008", 0}, {-1, L"NT EMF 1.008", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.printer_kind << " type " << (c.datatype ? c.datatype : L"(none)"));
    g_printer_kind = c.printer_kind;
    g_datatype = c.datatype;
    DWORD job = StartJob();
    ASSERT_NE(job, 0u);
    EXPECT_EQ(IsNetworkNonRawJob(printer_.handle(), job, kFedFacts), c.network_non_raw);
    EXPECT_EQ(Event(DOCUMENTEVENT_STARTDOCPOST, &job, nullptr, kFedFacts), DOCUMENTEVENT_SUCCESS);
    EXPECT_EQ(JobFlags().has_value(), c.network_non_raw == 0);
    EndDocPrinter(printer_.handle());
    job_ = 0;
  }
  // The spooler here keeps no data type: a real job is no network job.
  DWORD job = StartJob();
  EXPECT_EQ(IsNetworkNonRawJob(printer_.handle(), job, SystemSpoolerFacts()), 0);
}

TEST_F(DocumentEventTest, RawJobOnNetworkPrinterKeepsFlagsAndPrePrintProgram) {
  printer_.SetSwitch(testkit::kMonitorAnswerVar, "0");
  StorePmFlag({2, 0});
  g_printer_kind = 1;
  g_datatype = L"RAW";
  DWORD job = StartJob();
  ASSERT_EQ(Event(DOCUMENTEVENT_STARTDOCPOST, &job, nullptr, kFedFacts), DOCUMENTEVENT_SUCCESS);
  EXPECT_EQ(JobFlags(), (Bytes{2, 0}));
  const auto launches = recorder_.WaitForLaunches(stem_);
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].command_line, PrePrintLine(job, 1));
}

TEST_F(DocumentEventTest, PrePrintLineThatDoesNotFitStartsNothing) {
  settings::JobSettingsPtr settings(settings::CreateJobSettings(nullptr, printer_.handle(), nullptr, nullptr));
  ASSERT_NE(settings, nullptr);
  char line[kPrePrintCommandBytes];
  ASSERT_EQ(BuildPrePrintCommand(printer_.handle(), "P", 7, 2, settings.get(), line, sizeof line), 1);
  const size_t fixed = std::strlen(line) - 1;  // all but the printer name
  const std::string fits(kPrePrintCommandBytes - 1 - fixed, 'n');
  EXPECT_EQ(BuildPrePrintCommand(printer_.handle(), fits.c_str(), 7, 2, settings.get(), line, sizeof line), 1);
  EXPECT_EQ(std::strlen(line), kPrePrintCommandBytes - 1);
  const std::string too_long = fits + "n";
  EXPECT_EQ(BuildPrePrintCommand(printer_.handle(), too_long.c_str(), 7, 2, settings.get(), line, sizeof line), 0);
  EXPECT_STREQ(line, "");
  EXPECT_EQ(StartPrePrintProgram(printer_.handle(), too_long.c_str(), 7, 2, settings.get()), 0);
  // Without the program's key there is nothing to start.
  ASSERT_TRUE(printer_.model_printer().SetInfoKey("PrePrnI", ""));
  settings::JobSettingsPtr fresh(settings::CreateJobSettings(nullptr, printer_.handle(), nullptr, nullptr));
  EXPECT_EQ(StartPrePrintProgram(printer_.handle(), "P", 7, 2, fresh.get()), 0);
  EXPECT_TRUE(recorder_.Launches(stem_).empty());
}

TEST_F(DocumentEventTest, DeviceContextEventsHandOutAndFreeMergedCopies) {
  DEVMODEW application = testkit::ForeignDevMode(3);
  DOCEVENT_CREATEDCPRE create = {nullptr, nullptr, &application, FALSE};
  DEVMODEW* copy = nullptr;
  ASSERT_EQ(Event(DOCUMENTEVENT_CREATEDCPRE, &create, &copy), DOCUMENTEVENT_SUCCESS);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(GlobalSize(GlobalHandle(copy)), settings::kDevModeSize);
  const auto* record = reinterpret_cast<const settings::DriverDevMode*>(copy);
  EXPECT_EQ(record->Public.dmDriverExtra, settings::kDevModePrivateSize);
  EXPECT_EQ(record->Public.dmCopies, 3);
  EXPECT_EQ(Event(DOCUMENTEVENT_CREATEDCPOST, &copy), DOCUMENTEVENT_SUCCESS);

  // ResetDC hands the application's record by its address.
  application.dmCopies = 5;
  DEVMODEW* reset_in = &application;
  DEVMODEW* reset = nullptr;
  ASSERT_EQ(Event(DOCUMENTEVENT_RESETDCPRE, &reset_in, &reset), DOCUMENTEVENT_SUCCESS);
  ASSERT_NE(reset, nullptr);
  EXPECT_EQ(reset->dmCopies, 5);
  EXPECT_EQ(Event(DOCUMENTEVENT_RESETDCPOST, &reset), DOCUMENTEVENT_SUCCESS);

  // A device context made without a record gets the printer's own.
  settings::JobSettingsPtr own(settings::CreateJobSettings(nullptr, printer_.handle(), nullptr, nullptr));
  ASSERT_NE(own, nullptr);
  DOCEVENT_CREATEDCPRE bare = {nullptr, nullptr, nullptr, FALSE};
  ASSERT_EQ(Event(DOCUMENTEVENT_CREATEDCPRE, &bare, &copy), DOCUMENTEVENT_SUCCESS);
  EXPECT_EQ(std::memcmp(copy, own->GetDevMode(), settings::kDevModeSize), 0);
  EXPECT_EQ(Event(DOCUMENTEVENT_CREATEDCPOST, &copy), DOCUMENTEVENT_SUCCESS);

  DEVMODEW* none = nullptr;
  EXPECT_EQ(Event(DOCUMENTEVENT_CREATEDCPOST, &none), DOCUMENTEVENT_SUCCESS);
  EXPECT_EQ(Event(DOCUMENTEVENT_RESETDCPOST, nullptr), DOCUMENTEVENT_SUCCESS);
  // Nothing to read or nowhere to hand the copy: failure, nothing handed out.
  DEVMODEW* untouched = reinterpret_cast<DEVMODEW*>(0x1234);
  EXPECT_EQ(Event(DOCUMENTEVENT_CREATEDCPRE, nullptr, &untouched), DOCUMENTEVENT_FAILURE);
  EXPECT_EQ(Event(DOCUMENTEVENT_CREATEDCPRE, &create, nullptr), DOCUMENTEVENT_FAILURE);
  EXPECT_EQ(DrvDocumentEvent(nullptr, nullptr, DOCUMENTEVENT_CREATEDCPRE, sizeof create, &create, sizeof untouched,
                             &untouched),
            DOCUMENTEVENT_FAILURE);
  EXPECT_EQ(untouched, reinterpret_cast<DEVMODEW*>(0x1234));
}

TEST_F(DocumentEventTest, NetworkPrinterCopiesAreMarked) {
  settings::JobSettingsPtr own(settings::CreateJobSettings(nullptr, printer_.handle(), nullptr, nullptr));
  ASSERT_NE(own, nullptr);
  ASSERT_EQ(own->GetJobOptions() & 0x20, 0u);
  DOCEVENT_CREATEDCPRE create = {nullptr, nullptr, nullptr, FALSE};
  for (int kind : {0, 1}) {
    g_printer_kind = kind;
    settings::DriverDevMode record{};
    std::memcpy(&record, own->GetDevMode(), sizeof record);
    record.SettingsRecord.ColorMode = 1;  // monochrome: the driver renders
    create.pdm = &record.Public;
    DEVMODEW* copy = nullptr;
    ASSERT_EQ(Event(DOCUMENTEVENT_CREATEDCPRE, &create, &copy, kFedFacts), DOCUMENTEVENT_SUCCESS);
    EXPECT_EQ(reinterpret_cast<settings::DriverDevMode*>(copy)->JobOptions & 0x20, kind == 1 ? 0x20u : 0u) << kind;
    Event(DOCUMENTEVENT_CREATEDCPOST, &copy);
  }
}

// Each reason for the driver's own rendering on a network printer sets job option 0x20.
TEST_F(DocumentEventTest, MarkNetworkJobReasons) {
  using Change = void (*)(settings::JobSettings&, DocumentEventTest&);
  struct Case {
    const char* name;
    Change change;
    bool marked;
  };
  const Case cases[] = {
      {"defaults", [](settings::JobSettings&, DocumentEventTest&) {}, false},
      {"pm flag 1", [](settings::JobSettings&, DocumentEventTest& t) { t.StorePmFlag({1, 0}); }, false},
      {"pm flag 2", [](settings::JobSettings&, DocumentEventTest& t) { t.StorePmFlag({2, 0}); }, true},
      {"pm flag 4 bytes", [](settings::JobSettings&, DocumentEventTest& t) { t.StorePmFlag({2, 0, 0, 0}); }, false},
      {"watermark", [](settings::JobSettings& s, DocumentEventTest&) { s.SetWatermarkFlagBits(1, 1); }, true},
      {"monochrome", [](settings::JobSettings& s, DocumentEventTest&) { s.SetColorMode(1); }, true},
      {"user preset", [](settings::JobSettings& s, DocumentEventTest&) { s.SetPresetKind(2); }, true},
      {"user paper", [](settings::JobSettings& s, DocumentEventTest&) { s.GetDevMode()->dmPaperSize = 999; }, true},
      {"user output paper", [](settings::JobSettings& s, DocumentEventTest&) { s.SetOutputPaperSize(999); }, true},
  };
  for (const Case& c : cases) {
    StorePmFlag({1, 0});
    settings::JobSettingsPtr settings(settings::CreateJobSettings(nullptr, printer_.handle(), nullptr, nullptr));
    ASSERT_NE(settings, nullptr);
    settings->SetJobOptions(0x1);
    c.change(*settings, *this);
    MarkNetworkJob(printer_.handle(), settings.get());
    EXPECT_EQ(settings->GetJobOptions(), c.marked ? 0x21u : 0x1u) << c.name;
  }
}

TEST_F(DocumentEventTest, StartDocStoresTheUserTemporaryFolder) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  ASSERT_TRUE(WriteMachineValue(DriverKey(), "TempFilePathUser", REG_SZ, "C:\\old\\", 8));
  EXPECT_EQ(Event(DOCUMENTEVENT_STARTDOC, nullptr), DOCUMENTEVENT_SUCCESS);
  const auto stored = ReadMachineValue(DriverKey(), "TempFilePathUser");
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->size(), std::strlen(temp) + 1);
  EXPECT_STREQ(reinterpret_cast<const char*>(stored->data()), temp);
  EXPECT_EQ(Event(DOCUMENTEVENT_STARTDOC, nullptr), DOCUMENTEVENT_SUCCESS);  // the same: kept
  // No settings for an unknown printer: unsupported; the events GDI does not use here: unsupported.
  EXPECT_EQ(DrvDocumentEvent(nullptr, nullptr, DOCUMENTEVENT_STARTDOC, 0, nullptr, 0, nullptr),
            DOCUMENTEVENT_UNSUPPORTED);
  DWORD job = 1;
  EXPECT_EQ(DrvDocumentEvent(nullptr, nullptr, DOCUMENTEVENT_STARTDOCPOST, 4, &job, 0, nullptr),
            DOCUMENTEVENT_UNSUPPORTED);
  for (int event : {6, 7, 9, 10, 11, 12, 14, 15, 0, -1}) {
    EXPECT_EQ(Event(event, nullptr), DOCUMENTEVENT_UNSUPPORTED) << event;
  }
}

// The end-of-document reset by the model's flag words.
struct ResetCase {
  const char* name;
  uint32_t flags24, flags28;
  int32_t stacker, page, temperature, remain, bin;  // after the reset (0x5A5A5A5A: left as stored)
};

class EndDocTest : public DocumentEventTest, public ::testing::WithParamInterface<ResetCase> {
 protected:
  EndDocTest() : DocumentEventTest(ModelWithFlags(0, GetParam().flags24, GetParam().flags28)) {}
};

TEST_P(EndDocTest, ResetsTheReadingsTheModelHas) {
  const ResetCase& c = GetParam();
  for (const char* name : {"INKCHECK", "RX_STACKER", "RX_PGPOS", "RX_OVTEMP", "PaperRemain", "KV_BININFO"}) {
    SetNumber(name, 1);
  }
  SetNumber("PPCK", 0x10000);
  uint8_t status[20] = {};
  status[16] = 1;
  status[0] = 7;
  printer_.WriteValue("RX_PRNSTATUS", REG_BINARY, status, sizeof status);

  EXPECT_EQ(Event(DOCUMENTEVENT_ENDDOC, nullptr), DOCUMENTEVENT_SUCCESS);
  constexpr int32_t kKept = 1;
  EXPECT_EQ(Number("INKCHECK"), 0);
  EXPECT_EQ(Number("RX_STACKER"), c.stacker == 0x5A5A5A5A ? kKept : c.stacker);
  EXPECT_EQ(Number("RX_PGPOS"), c.page == 0x5A5A5A5A ? kKept : c.page);
  EXPECT_EQ(Number("RX_OVTEMP"), c.temperature == 0x5A5A5A5A ? kKept : c.temperature);
  EXPECT_EQ(Number("PaperRemain"), c.remain == 0x5A5A5A5A ? kKept : c.remain);
  EXPECT_EQ(Number("KV_BININFO"), c.bin == 0x5A5A5A5A ? kKept : c.bin);
  EXPECT_EQ(Number("PPCK"), 0);
  const auto stored = printer_.ReadValue("RX_PRNSTATUS", KEY_WOW64_64KEY);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ((*stored)[16], 0);
  EXPECT_EQ((*stored)[0], 7);

  // A "PPCK" that was never stored is not made.
  printer_.DeleteValue("PPCK");
  EXPECT_EQ(Event(DOCUMENTEVENT_ENDDOC, nullptr), DOCUMENTEVENT_SUCCESS);
  EXPECT_FALSE(printer_.ReadValue("PPCK", KEY_WOW64_64KEY).has_value());
}

constexpr int32_t kLeft = 0x5A5A5A5A;
INSTANTIATE_TEST_SUITE_P(
    Flags, EndDocTest,
    ::testing::Values(ResetCase{"None", 0, 0, kLeft, kLeft, kLeft, kLeft, kLeft},
                      ResetCase{"PagePositionOnly", 0x100, 0, kLeft, -1, kLeft, kLeft, kLeft},
                      ResetCase{"PagePosition2000", 0x2000, 0, kLeft, -1, kLeft, kLeft, kLeft},
                      ResetCase{"StackerTemperatureRemain", 0x2 | 0x1000 | 0x80000, 0, -1, kLeft, -1, -1, kLeft},
                      ResetCase{"PagePositionWide", 0x1000000, 0x4, kLeft, -1, kLeft, kLeft, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kalimu::driver
