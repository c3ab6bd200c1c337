// The device sheet driven as compstui drives it (the test's own sheet callback adds the page to
// a real property sheet), PrinterProperties with its probe and sheet run replaced, and both run
// by the property-sheet component's stand-in (suite StandInSheetDevice, run with
// WINEDLLOVERRIDES="compstui=n,b").
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <winspool.h>

#include <functional>
#include <string>
#include <vector>

#include "kalimu/driver/device_sheet.h"
#include "kalimu/driver/sheet_context.h"
#include "kalimu/driver/sheet_run_test_support.h"
#include "kalimu/pages/version_page.h"
#include "kalimu/platform/module_handle.h"
#include "testkit/kalimu/driver_printer.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::driver {
namespace {

// What the test's compstui learnt through the sheet callback.
struct SheetCalls {
  LONG_PTR add_answer = 1;
  std::vector<HPROPSHEETPAGE> added;
};
SheetCalls* g_sheet = nullptr;

LONG_PTR CALLBACK ComPropSheet(HANDLE, UINT function, LPARAM lparam1, LPARAM) {
  if (function != CPSFUNC_ADD_HPROPSHEETPAGE || g_sheet == nullptr) return 0;
  if (g_sheet->add_answer != 0) g_sheet->added.push_back(reinterpret_cast<HPROPSHEETPAGE>(lparam1));
  return g_sheet->add_answer;
}

class DeviceSheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    name_ = printer_.wide_printer_name();
    header_ = {sizeof(DEVICEPROPERTYHEADER), 0, printer_.handle(), name_.data()};
    g_sheet = &sheet_;
  }
  void TearDown() override { g_sheet = nullptr; }

  PROPSHEETUI_INFO Info(WORD reason) {
    PROPSHEETUI_INFO info = {};
    info.cbSize = sizeof(info);
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Reason = reason;
    info.hComPropSheet = reinterpret_cast<HANDLE>(0x5151);
    info.pfnComPropSheet = &ComPropSheet;
    info.lParamInit = reinterpret_cast<LPARAM>(&header_);
    return info;
  }
  // The driver data file of the printer's settings.
  std::string DataFile() {
    settings::JobSettingsPtr settings(settings::CreateJobSettings(nullptr, printer_.handle(), nullptr, nullptr));
    char path[MAX_PATH] = {};
    if (settings != nullptr) settings->GetDriverDataFilePath(path, sizeof(path));
    return path;
  }
  // The added page shown on a modeless property sheet: the text of its version line.
  static std::string ShownVersionLine(HPROPSHEETPAGE page) {
    PROPSHEETHEADERW sheet = {};
    sheet.dwSize = sizeof(sheet);
    sheet.dwFlags = PSH_MODELESS;
    sheet.pszCaption = L"printer";
    sheet.nPages = 1;
    sheet.phpage = &page;
    HWND window = reinterpret_cast<HWND>(PropertySheetW(&sheet));
    if (window == nullptr) return "<no sheet>";
    HWND shown = PropSheet_GetCurrentPageHwnd(window);
    char text[300] = {};
    GetDlgItemTextA(shown, pages::kVersionText, text, sizeof(text));
    const bool hidden = !IsWindowVisible(GetDlgItem(shown, pages::kVersionHidden));
    DestroyWindow(window);
    return hidden ? text : "<31101 shown>";
  }

  testkit::DriverPrinter printer_{testkit::RollPaperModel()};
  std::wstring name_;
  DEVICEPROPERTYHEADER header_ = {};
  SheetCalls sheet_;
};

TEST_F(DeviceSheetTest, ReasonsOfASheetThatShowsTheVersionPage) {
  const std::string data = DataFile();
  ASSERT_TRUE(WritePrivateProfileStringA("VersionInformation", "DriverVersion", "6.20", data.c_str()));
  PROPSHEETUI_INFO info = Info(PROPSHEETUI_REASON_INIT);
  info.Result = 77;
  ASSERT_EQ(DrvDevicePropertySheets(&info, 0), 1);
  ASSERT_NE(info.UserData, 0u);
  EXPECT_EQ(info.Result, 0);
  const auto* context = reinterpret_cast<SheetContext*>(info.UserData);
  EXPECT_EQ(context->sheet_callback, &ComPropSheet);
  EXPECT_EQ(context->sheet_handle, info.hComPropSheet);
  EXPECT_NE(context->settings, nullptr);
  EXPECT_NE(context->resource_module, nullptr);
  ASSERT_EQ(sheet_.added.size(), 1u);
  EXPECT_EQ(ShownVersionLine(sheet_.added[0]), "Driver Version 6.20");

  // The title is the header's printer name; the icon comes from the driver's own module.
  info.Reason = PROPSHEETUI_REASON_GET_INFO_HEADER;
  PROPSHEETUI_INFO_HEADER title = {};
  title.Flags = 0xFF;
  title.IconID = 9;
  EXPECT_EQ(DrvDevicePropertySheets(&info, reinterpret_cast<LPARAM>(&title)), 1);
  EXPECT_EQ(reinterpret_cast<const wchar_t*>(title.pTitle), name_.data());
  EXPECT_EQ(title.Flags, 0);
  EXPECT_EQ(title.hInst, platform::KalimuModule());
  EXPECT_EQ(title.IconID, 0u);

  info.Reason = PROPSHEETUI_REASON_SET_RESULT;
  SETRESULT_INFO result = {sizeof(result), 0, nullptr, CPSUI_OK};
  EXPECT_EQ(DrvDevicePropertySheets(&info, reinterpret_cast<LPARAM>(&result)), 1);
  EXPECT_EQ(info.Result, CPSUI_OK);

  info.Reason = 9;
  EXPECT_EQ(DrvDevicePropertySheets(&info, 0), -1);
  info.Reason = PROPSHEETUI_REASON_DESTROY;
  EXPECT_EQ(DrvDevicePropertySheets(&info, 0), 1);
  EXPECT_EQ(info.UserData, 0u);
}

TEST_F(DeviceSheetTest, FailuresOfInitAndOfTheOtherReasons) {
  // No header, no info.
  PROPSHEETUI_INFO info = Info(PROPSHEETUI_REASON_INIT);
  info.lParamInit = 0;
  EXPECT_EQ(DrvDevicePropertySheets(&info, 0), -1);
  SetLastError(0);
  EXPECT_EQ(DrvDevicePropertySheets(nullptr, 0), -1);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});

  // A printer whose settings cannot be read: no context.
  DEVICEPROPERTYHEADER no_printer = {sizeof(DEVICEPROPERTYHEADER), 0, nullptr, nullptr};
  info.lParamInit = reinterpret_cast<LPARAM>(&no_printer);
  SetLastError(0);
  EXPECT_EQ(DrvDevicePropertySheets(&info, 0), -1);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_DATA});
  EXPECT_EQ(info.UserData, 0u);

  // Reasons after INIT without a context.
  info = Info(PROPSHEETUI_REASON_DESTROY);
  SetLastError(0);
  EXPECT_EQ(DrvDevicePropertySheets(&info, 0), -1);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_DATA});

  // The sheet refuses the page: everything INIT made is released, nothing is left for DESTROY.
  sheet_.add_answer = 0;
  info = Info(PROPSHEETUI_REASON_INIT);
  EXPECT_EQ(DrvDevicePropertySheets(&info, 0), -1);
  EXPECT_EQ(info.UserData, 0u);
}

TEST_F(DeviceSheetTest, MissingResourceLibraryIsNamedAndLeftForDestroy) {
  ASSERT_TRUE(printer_.model_printer().SetInfoKey("UIRESModuleI64", "KvMissingRes.dll"));
  ASSERT_TRUE(printer_.model_printer().SetInfoKey("UIRES2ModuleI64", "KvMissingRes.dll"));
  testkit::MessageBoxWatcher boxes;
  PROPSHEETUI_INFO info = Info(PROPSHEETUI_REASON_INIT);
  EXPECT_EQ(DrvDevicePropertySheets(&info, 0), -1);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].caption, "Dlg DLL Message");
  EXPECT_EQ(boxes.shown()[0].text, "DLL file (KvMissingRes.dll) not found!");
  EXPECT_TRUE(sheet_.added.empty());
  ASSERT_NE(info.UserData, 0u);
  info.Reason = PROPSHEETUI_REASON_DESTROY;
  EXPECT_EQ(DrvDevicePropertySheets(&info, 0), 1);
}

// PrinterProperties with the probe's and the sheet's answers chosen by the test.
struct PropertiesRun {
  BOOL probe = TRUE;
  LONG sheet_answer = 1;
  DWORD sheet_result = 1;
  bool ran = false;
  WORD flags = 0xFFFF;
  const wchar_t* name = L"unset";
};
PropertiesRun* g_run = nullptr;

BOOL FakeProbe(HANDLE) { return g_run->probe; }
LONG FakeSheet(HWND, PFNPROPSHEETUI callback, LPARAM lparam, DWORD* result) {
  const auto* header = reinterpret_cast<const DEVICEPROPERTYHEADER*>(lparam);
  g_run->ran = callback == &DrvDevicePropertySheets;
  g_run->flags = header->Flags;
  g_run->name = header->pszPrinterName;
  if (g_run->sheet_answer >= 0) *result = g_run->sheet_result;
  return g_run->sheet_answer;
}

TEST_F(DeviceSheetTest, PrinterPropertiesProbesThenRunsTheSheet) {
  struct Case {
    const char* name;
    PropertiesRun run;
    WORD flags;
    BOOL answer;
  };
  const Case cases[] = {
      {"may change, OK", {TRUE, 1, 1}, 0, TRUE},
      {"probe fails", {FALSE, 1, 1}, DPS_NOPERMISSION, TRUE},
      {"sheet result 0", {TRUE, 1, 0}, 0, FALSE},
      {"sheet component cannot run", {TRUE, -1, 0}, 0, FALSE},
  };
  for (const Case& c : cases) {
    PropertiesRun run = c.run;
    g_run = &run;
    const PrinterPropertiesCalls previous = ReplacePrinterPropertiesCalls({&FakeProbe, &FakeSheet});
    const BOOL answer = PrinterProperties(nullptr, printer_.handle());
    ReplacePrinterPropertiesCalls(previous);
    g_run = nullptr;
    EXPECT_EQ(answer, c.answer) << c.name;
    EXPECT_TRUE(run.ran) << c.name;
    EXPECT_EQ(run.flags, c.flags) << c.name;
    EXPECT_EQ(run.name, nullptr) << c.name;
  }
  SetLastError(0);
  EXPECT_EQ(PrinterProperties(nullptr, nullptr), FALSE);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
}

TEST_F(DeviceSheetTest, PermissionProbeLeavesItsValue) {
  ASSERT_TRUE(ProbePrinterDataPermission(printer_.handle()));
  DWORD type = 0;
  DWORD value = 0;
  DWORD needed = 0;
  ASSERT_EQ(GetPrinterDataW(printer_.handle(), const_cast<LPWSTR>(L"KVPermission"), &type,
                            reinterpret_cast<BYTE*>(&value), sizeof(value), &needed),
            DWORD{ERROR_SUCCESS});
  EXPECT_EQ(type, DWORD{REG_DWORD});
  EXPECT_EQ(value, 1u);
}

// ---- Run by the property-sheet component's stand-in --------------------------------------------

class StandInSheetDevice : public DeviceSheetTest {
 protected:
  // What the stand-in showed: the sheet's caption and the page's version line.
  struct Shown {
    std::wstring caption = L"<no sheet>";
    std::string version;
  };
  // A script for the sheet: records what it shows, then presses the button.
  static std::function<void(HWND)> ShowAndPress(Shown* shown, int button) {
    return [shown, button](HWND sheet) {
      wchar_t caption[256] = {};
      GetWindowTextW(sheet, caption, 256);
      shown->caption = caption;
      char line[300] = {};
      GetDlgItemTextA(PropSheet_GetCurrentPageHwnd(sheet), pages::kVersionText, line, sizeof(line));
      shown->version = line;
      PostMessageW(sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
    };
  }
};

// The spooler's way in: the component runs DrvDevicePropertySheets with the header it was given.
// The sheet's title is the header's printer name; the page shows the driver's version. No page
// of this sheet reports a result, so the component answers CPSUI_CANCEL after OK too.
TEST_F(StandInSheetDevice, TitleIsThePrinterNameAndThePageShowsTheVersion) {
  struct Case {
    int button;
    const char* key;  // null: no key in the driver data file
    const char* line;
  };
  const std::string data = DataFile();
  for (const Case& c : {Case{PSBTN_OK, "6.20", "Driver Version 6.20"}, Case{PSBTN_CANCEL, nullptr, "Driver Version 5.00"}}) {
    SCOPED_TRACE(c.button);
    ASSERT_TRUE(WritePrivateProfileStringA("VersionInformation", "DriverVersion", c.key, data.c_str()));
    Shown shown;
    test::SheetTimer timer(ShowAndPress(&shown, c.button));
    DWORD result = 77;
    EXPECT_EQ(RunCommonPropertySheet(nullptr, &DrvDevicePropertySheets, reinterpret_cast<LPARAM>(&header_), &result),
              CPSUI_CANCEL);
    EXPECT_EQ(result, DWORD{CPSUI_CANCEL});
    EXPECT_EQ(shown.caption, name_);
    EXPECT_EQ(shown.version, c.line);
  }
}

// PrinterProperties runs the same sheet through the stand-in; a probe that cannot write the
// printer's data (Wine grants every right, so it fails here through the seam) gives the header
// DPS_NOPERMISSION. The header names no printer: the sheet keeps the component's own caption.
struct ProbeRun {
  BOOL probe = TRUE;
  WORD flags = 0xFFFF;
  LONG answer = 99;
};
ProbeRun* g_probe_run = nullptr;

BOOL ScriptedProbe(HANDLE) { return g_probe_run->probe; }
LONG RecordingSheetRun(HWND window, PFNPROPSHEETUI callback, LPARAM lparam, DWORD* result) {
  g_probe_run->flags = reinterpret_cast<const DEVICEPROPERTYHEADER*>(lparam)->Flags;
  g_probe_run->answer = RunCommonPropertySheet(window, callback, lparam, result);
  return g_probe_run->answer;
}

TEST_F(StandInSheetDevice, PrinterPropertiesWithAndWithoutPermission) {
  struct Case {
    BOOL probe;
    WORD flags;
  };
  for (const Case& c : {Case{TRUE, 0}, Case{FALSE, DPS_NOPERMISSION}}) {
    SCOPED_TRACE(c.probe);
    ProbeRun run;
    run.probe = c.probe;
    g_probe_run = &run;
    Shown shown;
    test::SheetTimer timer(ShowAndPress(&shown, PSBTN_OK));
    const PrinterPropertiesCalls previous = ReplacePrinterPropertiesCalls({&ScriptedProbe, &RecordingSheetRun});
    const BOOL answer = PrinterProperties(nullptr, printer_.handle());
    ReplacePrinterPropertiesCalls(previous);
    g_probe_run = nullptr;
    EXPECT_EQ(run.flags, c.flags);
    EXPECT_EQ(run.answer, CPSUI_CANCEL);
    EXPECT_EQ(answer, FALSE);
    EXPECT_EQ(shown.caption, L"Document Properties");
    EXPECT_EQ(shown.version.rfind("Driver Version ", 0), 0u) << shown.version;
  }
}

}  // namespace
}  // namespace kalimu::driver
