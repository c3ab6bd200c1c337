// Every export with the records its callers hand it at their own sizes: each record an export
// only reads lies read-only at the very end of readable memory (a no-access page follows), each
// record it writes ends at a no-access page. The answers are those of the same call on ordinary
// memory, and the records read come back unchanged.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kalimu/driver/device_sheet.h"
#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/driver/render_queries.h"
#include "kalimu/driver/render_records.h"
#include "kalimu/settings/driver_dev_mode.h"
#include "kalimu/settings/job_settings.h"
#include "testkit/kalimu/driver_printer.h"
#include "testkit/windows/guard_page.h"

namespace kalimu::driver {
namespace {

using settings::DriverDevMode;
using settings::kDevModeSize;

constexpr uint8_t kPoison = 0xCD;
constexpr size_t kJobOptionBytes = 12;
constexpr size_t kJobDataBytes = 310;

// A component that accepts every request of a sheet and shows nothing.
LONG_PTR CALLBACK AcceptingComPropSheet(HANDLE, UINT, LPARAM, LPARAM) { return 1; }

BOOL GrantingProbe(HANDLE) { return TRUE; }
LONG ClosingSheet(HWND, PFNPROPSHEETUI, LPARAM, DWORD* result) {
  *result = 1;
  return 1;
}

class CallerRecordsTest : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    settings::JobSettingsPtr settings(settings::CreateJobSettings(nullptr, handle(), nullptr, nullptr));
    ASSERT_NE(settings, nullptr);
    std::memcpy(&current_, settings->GetDriverDevMode(), sizeof(current_));
    name_ = printer_.printer_name();
    wide_name_ = printer_.wide_printer_name();
  }
  HANDLE handle() { return printer_.handle(); }

  // A record the export only reads: at a page's end, read-only, when guarded; else on the heap.
  template <class T = void>
  T* In(const void* bytes, size_t size) {
    if (guarded_) {
      pages_.push_back(std::make_unique<testkit::GuardedBytes>(size, bytes, true));
      read_.push_back({pages_.back()->data(), std::vector<uint8_t>(static_cast<const uint8_t*>(bytes),
                                                                   static_cast<const uint8_t*>(bytes) + size)});
      return reinterpret_cast<T*>(pages_.back()->data());
    }
    heap_.emplace_back(static_cast<const uint8_t*>(bytes), static_cast<const uint8_t*>(bytes) + size);
    return reinterpret_cast<T*>(heap_.back().data());
  }
  // A record the export writes (or builds its settings on): poisoned, at a page's end when guarded.
  template <class T = void>
  T* Out(size_t size, const void* bytes = nullptr) {
    std::vector<uint8_t> initial(size, kPoison);
    if (bytes != nullptr) std::memcpy(initial.data(), bytes, size);
    if (guarded_) {
      pages_.push_back(std::make_unique<testkit::GuardedBytes>(size, initial.data()));
      return reinterpret_cast<T*>(pages_.back()->data());
    }
    heap_.push_back(std::move(initial));
    return reinterpret_cast<T*>(heap_.back().data());
  }
  const char* Name() { return In<const char>(name_.c_str(), name_.size() + 1); }
  wchar_t* WideName() { return In<wchar_t>(wide_name_.c_str(), (wide_name_.size() + 1) * sizeof(wchar_t)); }
  // The printer's whole record, and an application's public-only one.
  DEVMODEW* WholeIn() { return In<DEVMODEW>(&current_, sizeof(current_)); }
  DEVMODEW* WholeOut() { return Out<DEVMODEW>(sizeof(current_), &current_); }
  DEVMODEW* PublicIn() {
    const DEVMODEW foreign = testkit::ForeignDevMode(4);
    return In<DEVMODEW>(&foreign, sizeof(foreign));
  }

  // One call on ordinary memory, then guarded; the read records must be unchanged.
  struct Answer {
    LONG_PTR ordinary;
    LONG_PTR guarded;
  };
  Answer Call(const std::function<LONG_PTR()>& call) {
    guarded_ = false;
    const LONG_PTR ordinary = call();
    heap_.clear();
    guarded_ = true;
    const LONG_PTR guarded = call();
    for (const auto& [at, bytes] : read_) {
      EXPECT_EQ(std::memcmp(at, bytes.data(), bytes.size()), 0) << "a read record changed";
    }
    read_.clear();
    pages_.clear();
    return {ordinary, guarded};
  }

  testkit::DriverPrinter printer_{testkit::RollPaperModel()};
  DriverDevMode current_{};
  std::string name_;
  std::wstring wide_name_;
  bool guarded_ = false;
  std::deque<std::vector<uint8_t>> heap_;
  std::vector<std::unique_ptr<testkit::GuardedBytes>> pages_;
  std::vector<std::pair<const uint8_t*, std::vector<uint8_t>>> read_;
};

TEST_F(CallerRecordsTest, EveryExportReadsAndWritesOnlyItsCallersRecords) {
  struct Case {
    const char* name;
    std::optional<LONG_PTR> answer;  // none: whatever the call on ordinary memory answers
    std::function<LONG_PTR(CallerRecordsTest&)> call;
  };
  const Case cases[] = {
      {"DllInitialize", TRUE,
       [](CallerRecordsTest&) -> LONG_PTR { return DllInitialize(GetModuleHandleA("Kalimu.dll"), DLL_THREAD_ATTACH); }},
      {"DevQueryPrintEx", TRUE,
       [](CallerRecordsTest& t) -> LONG_PTR {
         DEVQUERYPRINT_INFO info = {sizeof(info), 1, t.handle(), nullptr, nullptr, 0, 0};
         return DevQueryPrintEx(t.In<DEVQUERYPRINT_INFO>(&info, sizeof(info)));
       }},
      // The rendering library's handle and every record made from it, from a 12-byte job-option
      // record; the public-only record is refused.
      {"CreateMelvoInfo, CreateStruct, DestroyStruct, DestroyMelvoInfo", 1,
       [](CallerRecordsTest& t) -> LONG_PTR {
         uint8_t options[kJobOptionBytes] = {};
         options[8] = 0x80;
         const MelvoInfoParams params{t.WholeIn(), t.In(options, sizeof(options)), t.In<char>("text", 5),
                                      nullptr, 0, t.Name()};
         void* info = CreateMelvoInfo(t.In(&params, sizeof(params)));
         if (info == nullptr) return 0;
         LONG_PTR made = 1;
         // The sample model names no record versions: the module paths and the output module.
         for (DWORD type : {2u, 20u}) {
           void* record = CreateStruct(type, info, nullptr, nullptr);
           made &= record != nullptr;
           DestroyStruct(type, record, info);
         }
         return made & static_cast<LONG_PTR>(DestroyMelvoInfo(info));
       }},
      {"CreateMelvoInfo with a public-only record", 0,
       [](CallerRecordsTest& t) -> LONG_PTR {
         uint8_t options[kJobOptionBytes] = {};
         const MelvoInfoParams params{t.PublicIn(), t.In(options, sizeof(options)), nullptr, nullptr, 0, t.Name()};
         return reinterpret_cast<LONG_PTR>(CreateMelvoInfo(t.In(&params, sizeof(params))));
       }},
      // The settings are built in place on the caller's record: it lies on a writable page.
      {"DRVUIGetInkSet", 1,
       [](CallerRecordsTest& t) -> LONG_PTR {
         auto* info = t.Out<uint8_t>(sizeof(InkSetInfo));
         const DWORD answer = DRVUIGetInkSet(t.WholeOut(), info, t.Name());
         return answer == 1 && info[0] != kPoison;
       }},
      {"DRVUIGetInkSet with a public-only record", 1,
       [](CallerRecordsTest& t) -> LONG_PTR {
         auto* info = t.Out<uint8_t>(sizeof(InkSetInfo));
         return DRVUIGetInkSet(t.PublicIn(), info, t.Name()) == 1 && info[0] == kPoison;
       }},
      {"DRVUIGetUIData2", 1,
       [](CallerRecordsTest& t) -> LONG_PTR {
         auto* data = t.Out<uint8_t>(sizeof(UiData2Info));
         return DRVUIGetUIData2(t.WholeOut(), data, nullptr, t.Name()) == 1 && data[0] != kPoison;
       }},
      {"DRVUIGetJobDataEx2", 1,
       [](CallerRecordsTest& t) -> LONG_PTR {
         auto* data = t.Out<uint8_t>(kJobDataBytes);
         const int32_t version = 1;
         std::memcpy(data, &version, sizeof(version));
         return DRVUIGetJobDataEx2(t.WholeIn(), data, t.Name()) == 1 && data[4] != kPoison;
       }},
      {"DRVUIGetPrePrintStatus", std::nullopt,
       [](CallerRecordsTest& t) -> LONG_PTR { return DRVUIGetPrePrintStatus(t.WholeOut(), t.handle()); }},
      {"DRVUIGetPrePrintStatus with a public-only record", 0,
       [](CallerRecordsTest& t) -> LONG_PTR { return DRVUIGetPrePrintStatus(t.PublicIn(), t.handle()); }},
      {"DrvDocumentPropertySheets without a sheet", 1,
       [](CallerRecordsTest& t) -> LONG_PTR {
         auto* out = t.Out<DEVMODEW>(kDevModeSize);
         DOCUMENTPROPERTYHEADER header = {sizeof(header), 0, t.handle(), t.WideName(), t.PublicIn(), out, 0,
                                          DM_IN_BUFFER | DM_OUT_BUFFER};
         auto* written = t.Out<DOCUMENTPROPERTYHEADER>(sizeof(header), &header);  // cbOut is written
         const LONG answer = DrvDocumentPropertySheets(nullptr, reinterpret_cast<LPARAM>(written));
         return answer == 1 && out->dmCopies == 4 && written->cbOut == kDevModeSize;
       }},
      {"DrvDocumentPropertySheets, sheet made and destroyed", 1,
       [](CallerRecordsTest& t) -> LONG_PTR {
         DOCUMENTPROPERTYHEADER header = {sizeof(header), 0, t.handle(), t.WideName(), t.PublicIn(),
                                          t.Out<DEVMODEW>(kDevModeSize), 0, DM_IN_BUFFER | DM_OUT_BUFFER};
         PROPSHEETUI_INFO info = {sizeof(info), PROPSHEETUI_INFO_VERSION, 0, PROPSHEETUI_REASON_INIT,
                                  reinterpret_cast<HANDLE>(0x5151), &AcceptingComPropSheet,
                                  reinterpret_cast<LPARAM>(t.In(&header, sizeof(header))), 0, 0};
         auto* sheet = t.Out<PROPSHEETUI_INFO>(sizeof(info), &info);
         const LONG made = DrvDocumentPropertySheets(sheet, 0);
         sheet->Reason = PROPSHEETUI_REASON_DESTROY;
         DrvDocumentPropertySheets(sheet, 1);
         return made;
       }},
      {"DrvDevicePropertySheets, sheet made and destroyed", 1,
       [](CallerRecordsTest& t) -> LONG_PTR {
         DEVICEPROPERTYHEADER header = {sizeof(header), 0, t.handle(), t.WideName()};
         PROPSHEETUI_INFO info = {sizeof(info), PROPSHEETUI_INFO_VERSION, 0, PROPSHEETUI_REASON_INIT,
                                  reinterpret_cast<HANDLE>(0x5151), &AcceptingComPropSheet,
                                  reinterpret_cast<LPARAM>(t.In(&header, sizeof(header))), 0, 0};
         auto* sheet = t.Out<PROPSHEETUI_INFO>(sizeof(info), &info);
         const LONG made = DrvDevicePropertySheets(sheet, 0);
         sheet->Reason = PROPSHEETUI_REASON_DESTROY;
         DrvDevicePropertySheets(sheet, 1);
         return made;
       }},
      {"PrinterProperties", TRUE,
       [](CallerRecordsTest& t) -> LONG_PTR {
         const PrinterPropertiesCalls previous = ReplacePrinterPropertiesCalls({&GrantingProbe, &ClosingSheet});
         const BOOL answer = PrinterProperties(nullptr, t.handle());
         ReplacePrinterPropertiesCalls(previous);
         return answer;
       }},
      {"DrvDocumentProperties", IDOK,
       [](CallerRecordsTest& t) -> LONG_PTR {
         auto* out = t.Out<DEVMODEW>(kDevModeSize);
         const LONG answer =
             DrvDocumentProperties(nullptr, t.handle(), t.WideName(), out, t.PublicIn(), DM_IN_BUFFER | DM_OUT_BUFFER);
         return out->dmCopies == 4 ? answer : -2;
       }},
      {"DrvAdvancedDocumentProperties, size", LONG_PTR{kDevModeSize},
       [](CallerRecordsTest& t) -> LONG_PTR {
         return DrvAdvancedDocumentProperties(nullptr, t.handle(), t.WideName(), nullptr, nullptr);
       }},
      // The output is a whole record of this driver that the conversion writes over; the parts of
      // a public-only record from another driver do not merge, so it is refused unread past its end.
      {"DrvConvertDevMode of a public-only record", LONG_PTR{kDevModeSize},
       [](CallerRecordsTest& t) -> LONG_PTR {
         auto* out = t.WholeOut();
         const LONG size = kDevModeSize;
         auto* io_size = t.Out<LONG>(sizeof(size), &size);
         const BOOL answer = DrvConvertDevMode(t.WideName(), t.PublicIn(), out, io_size, CDM_CONVERT);
         return answer * 0x10000 + *io_size + (out->dmCopies == 4 ? 0x100000 : 0);
       }},
      {"DrvConvertDevMode of a whole record", (TRUE * 0x10000) + LONG_PTR{kDevModeSize},
       [](CallerRecordsTest& t) -> LONG_PTR {
         const LONG size = kDevModeSize;
         auto* io_size = t.Out<LONG>(sizeof(size), &size);
         const BOOL answer = DrvConvertDevMode(t.WideName(), t.WholeIn(), t.WholeOut(), io_size, CDM_CONVERT);
         return answer * 0x10000 + *io_size;
       }},
      {"DrvDeviceCapabilities", std::nullopt,
       [](CallerRecordsTest& t) -> LONG_PTR {
         const DWORD count = DrvDeviceCapabilities(t.handle(), nullptr, DC_PAPERS, nullptr, nullptr);
         if (count == 0 || count == DWORD(-1)) return -2;
         auto* papers = t.Out<WORD>(count * sizeof(WORD));
         return DrvDeviceCapabilities(t.handle(), t.WideName(), DC_PAPERS, papers, t.PublicIn()) * 0x10000 +
                papers[count - 1];
       }},
      {"DrvQueryJobAttributes", std::nullopt,
       [](CallerRecordsTest& t) -> LONG_PTR {
         auto* info = t.Out<ATTRIBUTE_INFO_1>(sizeof(ATTRIBUTE_INFO_1));
         const BOOL answer =
             DrvQueryJobAttributes(t.handle(), t.PublicIn(), 1, reinterpret_cast<BYTE*>(info));
         return answer * 0x10000 + static_cast<LONG_PTR>(info->dwJobNumberOfCopies);
       }},
      {"DrvQueryColorProfile", std::nullopt,
       [](CallerRecordsTest& t) -> LONG_PTR {
         ULONG size = MAX_PATH * sizeof(wchar_t);
         auto* profile = t.Out(size);
         auto* io_size = t.Out<ULONG>(sizeof(size), &size);
         auto* flags = t.Out<FLONG>(sizeof(FLONG));
         return DrvQueryColorProfile(t.handle(), t.PublicIn(), QCP_DEVICEPROFILE, profile, io_size, flags);
       }},
      {"DrvDocumentEvent, a device context's record", DOCUMENTEVENT_SUCCESS,
       [](CallerRecordsTest& t) -> LONG_PTR {
         DOCEVENT_CREATEDCPRE create = {nullptr, nullptr, t.PublicIn(), FALSE};
         auto* copy = t.Out<DEVMODEW*>(sizeof(DEVMODEW*));
         *copy = nullptr;
         const int answer = DrvDocumentEvent(t.handle(), nullptr, DOCUMENTEVENT_CREATEDCPRE, sizeof(create),
                                             t.In(&create, sizeof(create)), sizeof(DEVMODEW*), copy);
         if (*copy == nullptr || (*copy)->dmCopies != 4) return -2;
         DrvDocumentEvent(t.handle(), nullptr, DOCUMENTEVENT_CREATEDCPOST, sizeof(DEVMODEW*),
                          t.In(copy, sizeof(DEVMODEW*)), 0, nullptr);
         return answer;
       }},
      {"DrvDriverEvent", TRUE,
       [](CallerRecordsTest& t) -> LONG_PTR {
         DWORD needed = 0;
         GetPrinterDriverW(t.handle(), nullptr, 3, nullptr, 0, &needed);
         std::vector<BYTE> bytes(needed);
         if (!GetPrinterDriverW(t.handle(), nullptr, 3, bytes.data(), needed, &needed)) return -2;
         DRIVER_INFO_3W info = *reinterpret_cast<const DRIVER_INFO_3W*>(bytes.data());
         auto wide = [&t](const wchar_t* text) {
           return text == nullptr ? nullptr : t.In<wchar_t>(text, (wcslen(text) + 1) * sizeof(wchar_t));
         };
         info.pName = wide(info.pName);
         info.pEnvironment = wide(info.pEnvironment);
         info.pDriverPath = wide(info.pDriverPath);
         info.pDataFile = wide(info.pDataFile);
         info.pConfigFile = wide(info.pConfigFile);
         info.pHelpFile = wide(info.pHelpFile);
         info.pDependentFiles = nullptr;
         info.pMonitorName = wide(info.pMonitorName);
         info.pDefaultDataType = wide(info.pDefaultDataType);
         return DrvDriverEvent(DRIVER_EVENT_INITIALIZE, 3, t.In<BYTE>(&info, sizeof(info)), 0);
       }},
      {"DrvPrinterEvent", TRUE,
       [](CallerRecordsTest& t) -> LONG_PTR { return DrvPrinterEvent(t.WideName(), PRINTER_EVENT_INITIALIZE, 0, 0); }},
      {"DrvUpgradePrinter", std::nullopt,
       [](CallerRecordsTest& t) -> LONG_PTR {
         DRIVER_UPGRADE_INFO_1 info = {t.WideName(), nullptr};
         return DrvUpgradePrinter(1, t.In<BYTE>(&info, sizeof(info)));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Answer answer = Call([&] { return c.call(*this); });
    if (c.answer) {
      EXPECT_EQ(answer.ordinary, *c.answer);
    }
    EXPECT_EQ(answer.guarded, answer.ordinary);
  }
}

}  // namespace
}  // namespace kalimu::driver
