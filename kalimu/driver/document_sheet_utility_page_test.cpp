// The utility page on the document sheet as applications open it: DocumentPropertiesW with
// DM_IN_PROMPT on a printer whose configuration module is Kalimu.dll, run by the property-sheet
// component's stand-in (WINEDLLOVERRIDES="compstui=n,b"). The stored program is the recorder
// stand-in; the driver-options dialog is answered by the test.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kalimu/driver/sheet_run_test_support.h"
#include "kalimu/pages/utility_page.h"
#include "kalimu/settings/dev_mode_accessor.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/printer_reg_values.h"
#include "kalimu/storage/driver_registry.h"
#include "testkit/kalimu/driver_printer.h"
#include "testkit/windows/program_recorder.h"

namespace kalimu::driver {
namespace {

using settings::DevModeAccessor;
using settings::kDevModeSize;
using test::ClickItem;
using test::DialogButtonTimer;
using test::RecordOfPage;
using test::SheetTimer;

constexpr uint8_t kPoison = 0xCD;
constexpr int kUtilityPageIndex = 3;
constexpr char kProgramKey[] = "SOFTWARE\\NORVA\\NORVA Dravon";  // 32-bit view
constexpr char kProgramFile[] = "KVPROG.EXE";

class StandInSheetUtilityPage : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    values_.reset(settings::CreateJobSettings(nullptr, printer_.handle(), nullptr, nullptr));
    ASSERT_NE(values_, nullptr);
    current_.assign(kDevModeSize, 0);
    ASSERT_EQ(DocumentPropertiesW(nullptr, printer_.handle(), name_.data(), Record(current_), nullptr, DM_OUT_BUFFER),
              IDOK);
    Forget(storage::kValueTempFilePath);
    Forget(storage::kValuePmFlag);
  }
  void TearDown() override { RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kProgramKey, KEY_WOW64_32KEY, 0); }
  static DEVMODEW* Record(std::vector<uint8_t>& bytes) { return reinterpret_cast<DEVMODEW*>(bytes.data()); }

  // Opens the sheet with the utility page current, runs the script on the page, then presses
  // the button; the sheet's answer, with the handed-back record in *out.
  LONG Run(int button, const std::function<void(HWND page)>& script, std::vector<uint8_t>* out) {
    out->assign(kDevModeSize, kPoison);
    std::vector<uint8_t> in = current_;
    SheetTimer timer([&script, button](HWND sheet) {
      script(test::ShowSheetPage(sheet, kUtilityPageIndex));
      PostMessageW(sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
    });
    return DocumentPropertiesW(nullptr, printer_.handle(), name_.data(), Record(*out), Record(in),
                               DM_IN_PROMPT | DM_IN_BUFFER | DM_OUT_BUFFER);
  }
  void Forget(int id) { settings::DeletePrinterRegValue(values_.get(), nullptr, nullptr, id, 0); }
  bool Has(int id, int view) {
    char data[MAX_PATH] = {};
    DWORD size = sizeof(data);
    return settings::ReadPrinterRegValueById(values_.get(), id, data, &size, view) == 1;
  }
  static void StoreProgram(const std::string& folder, const char* file) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kProgramKey, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>(folder.size() + 1));
    RegSetValueExA(key, "EXE", 0, REG_SZ, reinterpret_cast<const BYTE*>(file), static_cast<DWORD>(std::strlen(file) + 1));
    RegCloseKey(key);
  }

  testkit::DriverPrinter printer_{testkit::RollPaperModel(), testkit::kKalimuModule, "Utility"};
  std::wstring name_ = printer_.wide_printer_name();
  settings::JobSettingsPtr values_;  // the printer's registry values
  std::vector<uint8_t> current_;
};

// The stored program starts from its folder and file joined by one backslash, whether the
// folder ends in one or not.
TEST_F(StandInSheetUtilityPage, StoredProgramStartsFromItsFolder) {
  testkit::ProgramRecorder recorder;
  ASSERT_TRUE(recorder.ok());
  std::string folder = recorder.folder();
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  ASSERT_TRUE(recorder.InstallAs(folder + "\\" + kProgramFile));
  const std::string expected = folder + "\\" + kProgramFile;
  size_t started = 0;
  for (const std::string& stored : {folder, folder + "\\"}) {
    SCOPED_TRACE(stored);
    StoreProgram(stored, kProgramFile);
    bool enabled = false;
    std::vector<uint8_t> out;
    EXPECT_EQ(Run(PSBTN_CANCEL,
                  [&](HWND page) {
                    enabled = test::ItemEnabled(page, pages::kStoredProgramButton);
                    ClickItem(page, pages::kStoredProgramButton);
                  },
                  &out),
              CPSUI_CANCEL);
    EXPECT_TRUE(enabled);
    const std::vector<testkit::ProgramLaunch> launches = recorder.WaitForLaunches("KVPROG", ++started);
    ASSERT_EQ(launches.size(), started);
    EXPECT_EQ(launches.back().command_line, expected);
  }
}

// Without the status monitor its buttons are off; OK in the driver-options dialog then applies
// the duplex limits and announces a change, Cancel there changes nothing. The record OK hands
// back carries what the dialog left.
TEST_F(StandInSheetUtilityPage, OptionsDialogWithoutTheMonitor) {
  struct Case {
    const char* name;
    int dialog_button;
    bool duplex_option_4;
  };
  for (const Case& c : {Case{"options OK", IDOK, false}, Case{"options Cancel", IDCANCEL, true}}) {
    SCOPED_TRACE(c.name);
    std::vector<int> monitor_enabled;
    std::string dialog;
    bool option_after = !c.duplex_option_4;
    std::vector<uint8_t> out;
    EXPECT_EQ(Run(PSBTN_OK,
                  [&](HWND page) {
                    for (int id : {2310, 2300, 2320}) {
                      if (test::ItemEnabled(page, id)) monitor_enabled.push_back(id);
                    }
                    settings::DriverDevMode* record = RecordOfPage(page);
                    if (record == nullptr) return;
                    DevModeAccessor(record).SetDuplexOptionBits(4, 1);
                    DialogButtonTimer answer(c.dialog_button);
                    ClickItem(page, pages::kDriverOptionsButton);
                    dialog = DialogButtonTimer::Caption();
                    option_after = DevModeAccessor(record).TestDuplexOptionBits(4) != 0;
                  },
                  &out),
              IDOK);
    EXPECT_TRUE(monitor_enabled.empty());
    EXPECT_FALSE(dialog.empty()) << "the driver-options dialog did not open";
    EXPECT_EQ(option_after, c.duplex_option_4);
    EXPECT_EQ(DevModeAccessor(out.data()).TestDuplexOptionBits(4) != 0, c.duplex_option_4);
  }
}

// The temporary-file folder (value 103) is written at OK only when the driver-options dialog
// loaded it; the utility flags (value 107) then mirror JobOptions 0x40 and 0x800 in bits 0 and 2
// and keep their other bits.
TEST_F(StandInSheetUtilityPage, ValuesWrittenAtOk) {
  struct Case {
    const char* name;
    bool open_options;
    uint16_t stored;
    uint32_t options_at_ok;  // JobOptions 0x40 and 0x800
    bool folder_written;
    uint16_t written;
  };
  const Case cases[] = {
      {"options never opened", false, 0x1230, 0, false, 0x1230},
      {"bit 0 cleared, bit 2 set", true, 0x1235, 0x800, true, 0x1234},
      {"bit 0 set, bit 2 cleared", true, 0xF0F4, 0x40, true, 0xF0F1},
      {"both set", true, 0x0000, 0x840, true, 0x0005},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Forget(storage::kValueTempFilePath);
    ASSERT_EQ(settings::WritePrinterRegValueById(values_.get(), storage::kValuePmFlag, &c.stored, sizeof(c.stored), 0),
              1);
    std::vector<uint8_t> out;
    EXPECT_EQ(Run(PSBTN_OK,
                  [&](HWND page) {
                    settings::DriverDevMode* record = RecordOfPage(page);
                    if (record == nullptr) return;
                    if (c.open_options) {
                      DialogButtonTimer answer(IDCANCEL);
                      ClickItem(page, pages::kDriverOptionsButton);
                    }
                    DevModeAccessor(record).SetJobOptionBits(0x40 | 0x800, 0);
                    DevModeAccessor(record).SetJobOptionBits(c.options_at_ok, 1);
                  },
                  &out),
              IDOK);
    for (int view : {1, 2}) {
      EXPECT_EQ(Has(storage::kValueTempFilePath, view), c.folder_written) << "view " << view;
    }
    uint16_t written = 0;
    DWORD size = sizeof(written);
    ASSERT_EQ(settings::ReadPrinterRegValueById(values_.get(), storage::kValuePmFlag, &written, &size, 0), 1);
    EXPECT_EQ(written, c.written) << std::hex << written;
  }
}

}  // namespace
}  // namespace kalimu::driver
