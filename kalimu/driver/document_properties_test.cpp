// The sheet context and the document-property calls that need no window, called directly.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/driver/sheet_context.h"
#include "kalimu/settings/job_settings.h"
#include "testkit/kalimu/driver_printer.h"
#include "testkit/kalimu/stored_dev_mode.h"
#include "testkit/windows/guard_page.h"

namespace kalimu::driver {
namespace {

using settings::DriverDevMode;
using settings::kDevModeSize;

constexpr uint8_t kPoison = 0xCD;

struct SheetContextDeleter {
  void operator()(SheetContext* context) const { DestroySheetContext(context); }
};
using ContextPtr = std::unique_ptr<SheetContext, SheetContextDeleter>;

class DocumentPropertiesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    settings::JobSettingsPtr settings(settings::CreateJobSettings(nullptr, handle(), nullptr, nullptr));
    ASSERT_NE(settings, nullptr);
    std::memcpy(&current_, settings->GetDriverDevMode(), sizeof(current_));
    source_count_ = settings->GetSourceIds(nullptr);
  }
  HANDLE handle() { return printer_.handle(); }
  DOCUMENTPROPERTYHEADER Header(DEVMODEW* in, void* out, DWORD mode) {
    return {sizeof(DOCUMENTPROPERTYHEADER), 0, handle(), nullptr, in, static_cast<DEVMODEW*>(out), 0, mode};
  }

  testkit::DriverPrinter printer_{testkit::RollPaperModel()};
  DriverDevMode current_;  // the printer's current settings
  uint32_t source_count_ = 0;
};

TEST_F(DocumentPropertiesTest, ContextHoldsTheCurrentRecordAndAFreshPropertyRecord) {
  ContextPtr context(CreateSheetContext(handle(), nullptr, kDocumentSheet));
  ASSERT_NE(context, nullptr);
  EXPECT_NE(context->heap, nullptr);
  EXPECT_EQ(context->printer, handle());
  EXPECT_EQ(std::memcmp(&context->dev_mode, &current_, sizeof(current_)), 0);
  EXPECT_EQ(context->printer_properties.version, kPrinterPropertyVersion);
  EXPECT_EQ(context->printer_properties.source_count, source_count_);
  EXPECT_EQ(context->settings, nullptr);
  EXPECT_EQ(context->pages_ready, 0u);
}

TEST_F(DocumentPropertiesTest, StoredPropertyRecordIsTakenOnlyWhenWholeAndOfThisVersion) {
  struct Case {
    const char* name;
    uint16_t version;
    DWORD stored_bytes;
    bool taken;
  };
  for (const Case& c : {Case{"whole", kPrinterPropertyVersion, 88, true}, Case{"longer", kPrinterPropertyVersion, 96, true},
                        Case{"short", kPrinterPropertyVersion, 87, false}, Case{"other version", 0x400, 88, false}}) {
    SCOPED_TRACE(c.name);
    uint8_t stored[96] = {};
    std::memcpy(stored, &c.version, 2);
    const uint32_t count = 77;
    std::memcpy(stored + 4, &count, 4);
    stored[50] = 9;
    ASSERT_EQ(SetPrinterDataW(handle(), const_cast<wchar_t*>(L"KVProperty"), REG_BINARY, stored, c.stored_bytes),
              DWORD{ERROR_SUCCESS});
    ContextPtr context(CreateSheetContext(handle(), nullptr, kDocumentSheet));
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->printer_properties.version, kPrinterPropertyVersion);
    EXPECT_EQ(context->printer_properties.source_count, c.taken ? count : source_count_);
    EXPECT_EQ(context->printer_properties.reserved[50 - 8], c.taken ? 9 : 0);
  }
}

TEST_F(DocumentPropertiesTest, OnlyTheDocumentSheetMergesTheCallersRecord) {
  DEVMODEW foreign = testkit::ForeignDevMode(4);
  ContextPtr document(CreateSheetContext(handle(), &foreign, kDocumentSheet));
  ContextPtr device(CreateSheetContext(handle(), &foreign, kDeviceSheet));
  ASSERT_NE(document, nullptr);
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(document->dev_mode.Public.dmCopies, 4);
  EXPECT_EQ(std::memcmp(&device->dev_mode, &current_, sizeof(current_)), 0);
  EXPECT_EQ(CreateSheetContext(nullptr, nullptr, kDocumentSheet), nullptr);
}

TEST_F(DocumentPropertiesTest, SizeQueriesTouchNothing) {
  std::vector<uint8_t> out(kDevModeSize, kPoison);
  for (DWORD mode : {DWORD{0}, DWORD{DM_COPY}}) {
    SCOPED_TRACE(mode);
    DOCUMENTPROPERTYHEADER header = Header(nullptr, mode == 0 ? out.data() : nullptr, mode);
    EXPECT_EQ(DrvDocumentPropertySheets(nullptr, reinterpret_cast<LPARAM>(&header)), LONG{kDevModeSize});
    EXPECT_EQ(header.cbOut, DWORD{kDevModeSize});
    EXPECT_EQ(DrvDocumentProperties(nullptr, handle(), nullptr, mode == 0 ? reinterpret_cast<DEVMODEW*>(out.data()) : nullptr,
                                    nullptr, mode),
              LONG{kDevModeSize});
  }
  EXPECT_EQ(out, std::vector<uint8_t>(kDevModeSize, kPoison));
  EXPECT_EQ(DrvAdvancedDocumentProperties(nullptr, handle(), nullptr, nullptr, nullptr), LONG{kDevModeSize});
}

TEST_F(DocumentPropertiesTest, MergeHandsBackTheCurrentSettingsInTheShapeOfTheInput) {
  struct Case {
    const char* name;
    DWORD mode;
    bool with_input;
    WORD out_size;
    WORD out_extra;
  };
  const Case cases[] = {
      {"update without input", DM_UPDATE, false, 220, 828},
      {"copy without input", DM_COPY, false, 220, 828},
      {"copy of a foreign record", DM_COPY, true, 220, 828},
      {"update and copy of a foreign record", DM_UPDATE | DM_COPY, true, 220, 828},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DEVMODEW foreign = testkit::ForeignDevMode(6);
    const testkit::GuardedBytes input(sizeof(foreign), &foreign, true);
    std::vector<uint8_t> out(kDevModeSize + 8, kPoison);
    DEVMODEW* in = c.with_input ? input.as<DEVMODEW>() : nullptr;
    DOCUMENTPROPERTYHEADER header = Header(in, out.data(), c.mode);
    EXPECT_EQ(DrvDocumentPropertySheets(nullptr, reinterpret_cast<LPARAM>(&header)), 1);
    EXPECT_EQ(header.cbOut, DWORD{kDevModeSize});
    const auto& record = *reinterpret_cast<const DriverDevMode*>(out.data());
    EXPECT_EQ(record.Public.dmSpecVersion, 0x401);
    EXPECT_EQ(record.Public.dmDriverVersion, 0x500);
    EXPECT_EQ(record.Public.dmSize, c.out_size);
    EXPECT_EQ(record.Public.dmDriverExtra, c.out_extra);
    EXPECT_EQ(record.Public.dmCopies, c.with_input ? 6 : current_.Public.dmCopies);
    EXPECT_STREQ(record.DriverName, current_.DriverName);
    if (!c.with_input) {
      EXPECT_EQ(std::memcmp(&record, &current_, sizeof(current_)), 0);
    }
    EXPECT_EQ(std::vector<uint8_t>(out.end() - 8, out.end()), std::vector<uint8_t>(8, kPoison));
    EXPECT_EQ(std::memcmp(input.data(), &foreign, sizeof(foreign)), 0);

    // The same through DrvDocumentProperties, which answers IDOK.
    std::vector<uint8_t> again(kDevModeSize, kPoison);
    EXPECT_EQ(DrvDocumentProperties(nullptr, handle(), nullptr, reinterpret_cast<DEVMODEW*>(again.data()), in, c.mode),
              IDOK);
    EXPECT_EQ(std::vector<uint8_t>(again.begin(), again.end()), std::vector<uint8_t>(out.begin(), out.end() - 8));
  }
}

TEST_F(DocumentPropertiesTest, OlderPublicPartGetsItsOwnShapeBack) {
  DriverDevMode older = current_;
  older.Public.dmSpecVersion = 0x320;
  older.Public.dmSize = 188;
  std::memmove(reinterpret_cast<uint8_t*>(&older) + 188, &current_.PrivateVersion, settings::kDevModePrivateSize);
  std::vector<uint8_t> out(kDevModeSize, kPoison);
  DOCUMENTPROPERTYHEADER header = Header(&older.Public, out.data(), DM_COPY);
  EXPECT_EQ(DrvDocumentPropertySheets(nullptr, reinterpret_cast<LPARAM>(&header)), 1);
  const auto* record = reinterpret_cast<const DEVMODEW*>(out.data());
  EXPECT_EQ(record->dmSpecVersion, 0x320);
  EXPECT_EQ(record->dmSize, 188);
  EXPECT_EQ(record->dmDriverExtra, settings::kDevModePrivateSize);
  EXPECT_EQ(std::vector<uint8_t>(out.begin() + 188 + settings::kDevModePrivateSize, out.end()),
            std::vector<uint8_t>(kDevModeSize - 188 - settings::kDevModePrivateSize, kPoison));
}

TEST_F(DocumentPropertiesTest, FailuresWithoutASheet) {
  std::vector<uint8_t> out(kDevModeSize, kPoison);
  EXPECT_EQ(DrvDocumentPropertySheets(nullptr, 0), -1);
  DOCUMENTPROPERTYHEADER header = Header(nullptr, out.data(), DM_COPY);
  header.hPrinter = nullptr;  // as the spooler asks while a printer is being added
  EXPECT_EQ(DrvDocumentPropertySheets(nullptr, reinterpret_cast<LPARAM>(&header)), -1);
  EXPECT_EQ(DrvDocumentProperties(nullptr, nullptr, nullptr, reinterpret_cast<DEVMODEW*>(out.data()), nullptr, DM_COPY),
            -1);
  EXPECT_EQ(out, std::vector<uint8_t>(kDevModeSize, kPoison));

  // A sheet whose component hands no callback cannot add its pages: INIT fails, and DESTROY
  // still frees what INIT made; without a context every later reason fails.
  header = Header(nullptr, out.data(), DM_COPY);
  PROPSHEETUI_INFO info{};
  info.cbSize = sizeof(info);
  info.lParamInit = reinterpret_cast<LPARAM>(&header);
  info.Reason = PROPSHEETUI_REASON_INIT;
  EXPECT_EQ(DrvDocumentPropertySheets(&info, 0), -1);
  EXPECT_NE(info.UserData, 0u);
  info.Reason = PROPSHEETUI_REASON_DESTROY;
  EXPECT_EQ(DrvDocumentPropertySheets(&info, 0), 1);
  EXPECT_EQ(info.UserData, 0u);
  info.Reason = PROPSHEETUI_REASON_SET_RESULT;
  EXPECT_EQ(DrvDocumentPropertySheets(&info, 0), -1);
  header.hPrinter = nullptr;
  info.Reason = PROPSHEETUI_REASON_INIT;
  EXPECT_EQ(DrvDocumentPropertySheets(&info, 0), -1);
  EXPECT_EQ(info.UserData, 0u);
  EXPECT_EQ(out, std::vector<uint8_t>(kDevModeSize, kPoison));
}

}  // namespace
}  // namespace kalimu::driver
