// The document property sheet: its callback driven directly with a sheet callback of the test's
// own, and the whole path through the spooler (DocumentPropertiesW with DM_IN_PROMPT on a printer
// whose configuration module is Kalimu.dll) with the common property-sheet component's stand-in
// (suite StandInSheet, run with WINEDLLOVERRIDES="compstui=n,b") or Wine's own (suite WineSheet).
#include <windows.h>
#include <commctrl.h>
#include <compstui.h>
#include <prsht.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "kalimu/driver/document_sheet.h"
#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/driver/sheet_context.h"
#include "kalimu/driver/sheet_run_test_support.h"
#include "kalimu/platform/module_handle.h"
#include "kalimu/settings/driver_dev_mode.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/printer_reg_values.h"
#include "kalimu/storage/driver_registry.h"
#include "testkit/kalimu/driver_printer.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::driver {
namespace {

using settings::DriverDevMode;
using settings::kDevModeSize;
using test::SheetTimer;

constexpr uint8_t kPoison = 0xCD;
constexpr uint32_t kNoPermission = 0x20;

// ---- The sheet callback driven directly -----------------------------------------------------

std::vector<HPROPSHEETPAGE>& AddedPages() {
  static std::vector<HPROPSHEETPAGE> pages;
  return pages;
}

// Stands in for the component: takes each page (answering its position from 0x100 on).
LONG_PTR CALLBACK AddPage(HANDLE, UINT function, LPARAM first, LPARAM) {
  if (function != CPSFUNC_ADD_HPROPSHEETPAGE) return 0;
  AddedPages().push_back(reinterpret_cast<HPROPSHEETPAGE>(first));
  return static_cast<LONG_PTR>(0x100 + AddedPages().size());
}

class DirectSheet : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(printer_.ok()) << printer_.error(); }
  void TearDown() override {
    for (HPROPSHEETPAGE page : AddedPages()) DestroyPropertySheetPage(page);
    AddedPages().clear();
  }
  HANDLE handle() { return printer_.handle(); }
  DOCUMENTPROPERTYHEADER Header(DWORD mode, DEVMODEW* out) {
    return {sizeof(DOCUMENTPROPERTYHEADER), 0, handle(), name_.data(), nullptr, out, 0, mode};
  }
  PROPSHEETUI_INFO Info(DOCUMENTPROPERTYHEADER* header) {
    PROPSHEETUI_INFO info = {};
    info.cbSize = sizeof(info);
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Reason = PROPSHEETUI_REASON_INIT;
    info.hComPropSheet = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0xC0DE));
    info.pfnComPropSheet = &AddPage;
    info.lParamInit = reinterpret_cast<LPARAM>(header);
    return info;
  }
  LONG Call(PROPSHEETUI_INFO& info, WORD reason, LPARAM lparam = 0) {
    info.Reason = reason;
    return DrvDocumentPropertySheets(&info, lparam);
  }
  bool WritePmFlag(uint16_t value) {
    settings::JobSettingsPtr job(settings::CreateJobSettings(nullptr, handle(), nullptr, nullptr));
    return job != nullptr &&
           settings::WritePrinterRegValueById(job.get(), storage::kValuePmFlag, &value, sizeof(value), 0) != 0;
  }

  testkit::DriverPrinter printer_{testkit::RollPaperModel(), testkit::kKalimuModule, "Sheet"};
  std::wstring name_ = printer_.wide_printer_name();
};

// INIT builds the sheet's records and adds the four pages in order; the pages' handles are the
// component's answers; DESTROY frees everything.
TEST_F(DirectSheet, InitAddsFourPagesAndKeepsTheirHandles) {
  auto header = Header(DM_IN_PROMPT | DM_OUT_BUFFER | kNoPermission, nullptr);
  auto info = Info(&header);
  ASSERT_EQ(Call(info, PROPSHEETUI_REASON_INIT), 1);
  auto* context = reinterpret_cast<SheetContext*>(info.UserData);
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(AddedPages().size(), 4u);
  for (int i = 0; i < kSheetPages; ++i) EXPECT_EQ(context->page_handles[i], 0x101 + i);
  EXPECT_EQ(context->sheet_handle, info.hComPropSheet);
  EXPECT_EQ(context->sheet_callback, &AddPage);
  EXPECT_EQ(context->may_change, 0u);  // DM_NOPERMISSION
  EXPECT_EQ(context->pages_ready, 1u);
  EXPECT_NE(context->resource_module, nullptr);
  EXPECT_NE(context->settings, nullptr);

  PROPSHEETUI_INFO_HEADER info_header = {};
  info_header.pTitle = reinterpret_cast<decltype(info_header.pTitle)>(1);
  EXPECT_EQ(Call(info, PROPSHEETUI_REASON_GET_INFO_HEADER, reinterpret_cast<LPARAM>(&info_header)), 1);
  EXPECT_EQ(info_header.pTitle, nullptr);
  EXPECT_EQ(info_header.hInst, platform::KalimuModule());  // the library's own module
  EXPECT_EQ(Call(info, 4), -1);  // a reason the sheet does not serve
  EXPECT_EQ(Call(info, PROPSHEETUI_REASON_DESTROY), 1);
  EXPECT_EQ(info.UserData, 0u);
  EXPECT_EQ(Call(info, PROPSHEETUI_REASON_DESTROY), -1);  // nothing left to destroy
}

// "PMFlag" value 2 turns JobOptions 0x80 on, 1 turns 0x40 on, 4 turns 0x800 on; the three bits
// are cleared first.
TEST_F(DirectSheet, PmFlagSetsTheJobOptions) {
  struct Case {
    bool stored;
    uint16_t value;
    uint32_t bits;
  };
  for (const Case& c : {Case{false, 0, 0}, Case{true, 6, 0x880}, Case{true, 1, 0x40}, Case{true, 0, 0}}) {
    SCOPED_TRACE(c.value);
    if (c.stored) {
      ASSERT_TRUE(WritePmFlag(c.value));
    }
    auto header = Header(DM_IN_PROMPT, nullptr);
    auto info = Info(&header);
    ASSERT_EQ(Call(info, PROPSHEETUI_REASON_INIT), 1);
    auto* context = reinterpret_cast<SheetContext*>(info.UserData);
    EXPECT_EQ(context->settings->GetJobOptions() & 0x8C0u, c.bits);
    EXPECT_EQ(context->may_change, 1u);
    EXPECT_EQ(Call(info, PROPSHEETUI_REASON_DESTROY), 1);
    TearDown();
  }
}

// A printer without a usable "KVProperty" gets version 0x0500 and the model's source count.
TEST_F(DirectSheet, PrinterPropertiesStoredOrMadeHere) {
  settings::JobSettingsPtr job(settings::CreateJobSettings(nullptr, handle(), nullptr, nullptr));
  ASSERT_NE(job, nullptr);
  const uint32_t sources = job->GetSourceIds(nullptr);
  ASSERT_GT(sources, 0u);
  struct Case {
    const char* name;
    uint16_t stored_version;  // 0: nothing stored
    uint32_t expected_count;
  };
  const Case cases[] = {{"absent", 0, sources}, {"stored", 0x0500, 99}, {"other version", 0x0400, sources}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.stored_version != 0) {
      PrinterPropertyRecord stored = {};
      stored.version = c.stored_version;
      stored.source_count = 99;
      ASSERT_EQ(SetPrinterDataW(handle(), const_cast<wchar_t*>(L"KVProperty"), REG_BINARY,
                                reinterpret_cast<BYTE*>(&stored), sizeof(stored)),
                static_cast<DWORD>(ERROR_SUCCESS));
    }
    auto header = Header(DM_IN_PROMPT, nullptr);
    auto info = Info(&header);
    ASSERT_EQ(Call(info, PROPSHEETUI_REASON_INIT), 1);
    const auto* context = reinterpret_cast<const SheetContext*>(info.UserData);
    EXPECT_EQ(context->printer_properties.version, kPrinterPropertyVersion);
    EXPECT_EQ(context->printer_properties.source_count, c.expected_count);
    EXPECT_EQ(Call(info, PROPSHEETUI_REASON_DESTROY), 1);
    TearDown();
  }
}

// SET_RESULT copies the sheet's record out only for CPSUI_OK with DM_UPDATE or DM_COPY.
TEST_F(DirectSheet, SetResultCopiesOutOnlyOnOk) {
  struct Case {
    DWORD mode;
    LRESULT result;
    bool copied;
  };
  const Case cases[] = {{DM_IN_PROMPT | DM_OUT_BUFFER, CPSUI_OK, true},
                        {DM_IN_PROMPT | DM_UPDATE, CPSUI_OK, true},
                        {DM_IN_PROMPT | DM_OUT_BUFFER, 2, false},
                        {DM_IN_PROMPT | DM_OUT_BUFFER, CPSUI_CANCEL, false},
                        {DM_IN_PROMPT, CPSUI_OK, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.mode << " " << c.result);
    std::vector<uint8_t> out(kDevModeSize, kPoison);
    auto header = Header(c.mode, reinterpret_cast<DEVMODEW*>(out.data()));
    auto info = Info(&header);
    ASSERT_EQ(Call(info, PROPSHEETUI_REASON_INIT), 1);
    auto* context = reinterpret_cast<SheetContext*>(info.UserData);
    context->dev_mode.Public.dmCopies = 17;
    SETRESULT_INFO result = {sizeof(SETRESULT_INFO), 0, reinterpret_cast<HANDLE>(context->page_handles[0]), c.result};
    EXPECT_EQ(Call(info, PROPSHEETUI_REASON_SET_RESULT, reinterpret_cast<LPARAM>(&result)), 1);
    if (c.copied) {
      EXPECT_EQ(std::memcmp(out.data(), &context->dev_mode, kDevModeSize), 0);
    } else {
      EXPECT_EQ(out, std::vector<uint8_t>(kDevModeSize, kPoison));
    }
    EXPECT_EQ(Call(info, PROPSHEETUI_REASON_DESTROY), 1);
    TearDown();
  }
}

// ---- Through the spooler and a property-sheet component -------------------------------------

// The sheet's record as the main page holds it: through the page's PageParam.
DriverDevMode* SheetRecord(HWND sheet) {
  auto page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
  auto* param = reinterpret_cast<PageParam*>(GetWindowLongPtrW(page, DWLP_USER));
  return param != nullptr && param->context != nullptr ? &param->context->dev_mode : nullptr;
}

// A change made on the sheet (as a page's control makes it), announced to the sheet, and a button.
void ChangeAndPress(HWND sheet, short copies, int button) {
  if (DriverDevMode* record = SheetRecord(sheet); record != nullptr) record->Public.dmCopies = copies;
  auto page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
  SendMessageW(sheet, PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
  PostMessageW(sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream file(path);
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

class StandInSheet : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    // The component must be the stand-in (WINEDLLOVERRIDES="compstui=n,b" from the test folder):
    // it writes its log; Wine's own writes none.
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof(folder), folder);
    log_ = std::string(folder) + "kalimu_compstui_log.txt";
    DeleteFileA(log_.c_str());
    SetEnvironmentVariableA("KVT_COMPSTUI_LOG", log_.c_str());
    ASSERT_EQ(Properties(current_.data(), nullptr, DM_OUT_BUFFER), IDOK);
  }
  void TearDown() override {
    SetEnvironmentVariableA("KVT_COMPSTUI_LOG", nullptr);
    DeleteFileA(log_.c_str());
  }
  HANDLE handle() { return printer_.handle(); }
  LONG Properties(void* out, void* in, DWORD mode) {
    return DocumentPropertiesW(nullptr, handle(), name_.data(), static_cast<DEVMODEW*>(out), static_cast<DEVMODEW*>(in),
                               mode);
  }
  std::vector<std::string> Log() const { return ReadLines(log_); }

  testkit::DriverPrinter printer_{testkit::RollPaperModel(), testkit::kKalimuModule, "Sheet"};
  std::wstring name_ = printer_.wide_printer_name();
  std::vector<uint8_t> current_ = std::vector<uint8_t>(kDevModeSize);
  std::string log_;
};

// OK hands the changed record back; Cancel leaves the caller's records as they were. (Wine's
// spooler answers the component's CPSUI_CANCEL, 0, where Windows answers IDCANCEL.)
TEST_F(StandInSheet, OkReturnsTheChangedRecordAndCancelLeavesItAlone) {
  struct Case {
    int button;
    LONG answer;
    bool changed;
  };
  for (const Case& c : {Case{PSBTN_OK, IDOK, true}, Case{PSBTN_CANCEL, CPSUI_CANCEL, false}}) {
    SCOPED_TRACE(c.button);
    const std::vector<uint8_t> in = current_;
    std::vector<uint8_t> out(kDevModeSize, kPoison);
    const int button = c.button;
    SheetTimer timer([button](HWND sheet) { ChangeAndPress(sheet, 23, button); });
    EXPECT_EQ(Properties(out.data(), const_cast<uint8_t*>(in.data()), DM_IN_PROMPT | DM_IN_BUFFER | DM_OUT_BUFFER),
              c.answer);
    EXPECT_EQ(in, current_);
    if (c.changed) {
      const auto* record = reinterpret_cast<const DriverDevMode*>(out.data());
      EXPECT_EQ(record->Public.dmCopies, 23);
      EXPECT_EQ(record->Public.dmSize + record->Public.dmDriverExtra, kDevModeSize);
    } else {
      EXPECT_EQ(out, std::vector<uint8_t>(kDevModeSize, kPoison));
    }
    const std::vector<std::string> log = Log();
    ASSERT_FALSE(log.empty()) << "the stand-in component did not run";
    EXPECT_EQ(log.front(), "reason 0 result 1");
    EXPECT_EQ(log.back(), "reason 2 result 1");
    DeleteFileA(log_.c_str());
  }
}

// A resource library that cannot be loaded: its message, the sheet refused, DESTROY still runs.
TEST_F(StandInSheet, MissingResourceLibraryShowsItsMessage) {
  ASSERT_TRUE(printer_.model_printer().SetInfoKey("UIRESModuleI64", "NoSuchLibrary.dll"));
  ASSERT_TRUE(printer_.model_printer().SetInfoKey("UIRES2ModuleI64", "NoSuchLibrary.dll"));
  testkit::MessageBoxWatcher boxes;
  std::vector<uint8_t> out(kDevModeSize, kPoison);
  EXPECT_LT(Properties(out.data(), nullptr, DM_IN_PROMPT | DM_OUT_BUFFER), 0);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].caption, "Dlg DLL Message");
  EXPECT_EQ(boxes.shown()[0].text.rfind("DLL file (", 0), 0u) << boxes.shown()[0].text;
  EXPECT_NE(boxes.shown()[0].text.find("NoSuchLibrary.dll) not found!"), std::string::npos);
  EXPECT_EQ(out, std::vector<uint8_t>(kDevModeSize, kPoison));
  // The spooler's own callback adds the driver's: both INITs fail, both are destroyed.
  EXPECT_EQ(Log(), (std::vector<std::string>{"reason 0 result -1", "reason 0 result -1", "reason 2 result 1",
                                              "reason 2 result 1"}));
}

// The entry points an application calls itself (Wine's AdvancedDocumentPropertiesW never
// reaches the driver).
TEST_F(StandInSheet, DirectPromptAndAdvancedProperties) {
  struct Case {
    bool advanced;
    int button;
    LONG answer;
  };
  const Case cases[] = {{false, PSBTN_OK, IDOK}, {false, PSBTN_CANCEL, IDCANCEL}, {true, PSBTN_OK, TRUE},
                        {true, PSBTN_CANCEL, FALSE}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.advanced << " " << c.button);
    std::vector<uint8_t> out(kDevModeSize, kPoison);
    const int button = c.button;
    SheetTimer timer([button](HWND sheet) { ChangeAndPress(sheet, 31, button); });
    auto* in = reinterpret_cast<DEVMODEW*>(current_.data());
    auto* out_record = reinterpret_cast<DEVMODEW*>(out.data());
    const LONG answer = c.advanced ? DrvAdvancedDocumentProperties(nullptr, handle(), name_.data(), out_record, in)
                                   : DrvDocumentProperties(nullptr, handle(), name_.data(), out_record, in,
                                                           DM_IN_PROMPT | DM_IN_BUFFER | DM_OUT_BUFFER);
    EXPECT_EQ(answer, c.answer);
    if (c.button == PSBTN_OK) {
      EXPECT_EQ(out_record->dmCopies, 31);
    } else {
      EXPECT_EQ(out, std::vector<uint8_t>(kDevModeSize, kPoison));
    }
  }
  EXPECT_EQ(DrvAdvancedDocumentProperties(nullptr, handle(), name_.data(), nullptr, nullptr), LONG{kDevModeSize});
}

// Wine's own component runs the sheet headless and never reports a result: the sheet opens and
// closes cleanly and the caller's records stay as they were.
TEST(WineSheet, OpensAndClosesCleanly) {
  testkit::DriverPrinter printer{testkit::RollPaperModel(), testkit::kKalimuModule, "Wine"};
  ASSERT_TRUE(printer.ok()) << printer.error();
  std::wstring name = printer.wide_printer_name();
  std::vector<uint8_t> in(kDevModeSize);
  ASSERT_EQ(DocumentPropertiesW(nullptr, printer.handle(), name.data(), reinterpret_cast<DEVMODEW*>(in.data()), nullptr,
                                DM_OUT_BUFFER),
            IDOK);
  const std::vector<uint8_t> before = in;
  std::vector<uint8_t> out(kDevModeSize, kPoison);
  SheetTimer timer([](HWND sheet) { PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0); });
  const LONG answer = DocumentPropertiesW(nullptr, printer.handle(), name.data(), reinterpret_cast<DEVMODEW*>(out.data()),
                                          reinterpret_cast<DEVMODEW*>(in.data()),
                                          DM_IN_PROMPT | DM_IN_BUFFER | DM_OUT_BUFFER);
  EXPECT_NE(answer, IDOK);
  EXPECT_EQ(in, before);
  EXPECT_EQ(out, std::vector<uint8_t>(kDevModeSize, kPoison));
}

}  // namespace
}  // namespace kalimu::driver
