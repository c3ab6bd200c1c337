// The utility page on a real property sheet: the stored program, the monitor group and the
// driver-options dialog, and what Apply writes back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kalimu/pages/main_page_test_support.h"
#include "kalimu/pages/page_frame_test_support.h"
#include "kalimu/pages/resource_dialogs.h"
#include "kalimu/pages/utility_page.h"
#include "kalimu/settings/printer_reg_values.h"
#include "kalimu/storage/driver_registry.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::pages {
namespace {

using test::InkModel;
using test::PageFixture;
using test::PageSteps;
using test::SheetHost;
using test::UtilitySteps;

constexpr char kDravonKey[] = "SOFTWARE\\NORVA\\NORVA Dravon";

// A copy of the resource library in which one string has another text (the rest of its string
// bundle is kept), loaded as a data file; the copy is removed again.
class LibraryCopyWithString {
 public:
  LibraryCopyWithString(HMODULE library, UINT id, const std::wstring& text) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    path_ = std::string(folder) + "kalimu_string_copy_" + std::to_string(GetCurrentProcessId()) + ".dll";
    const std::string source = testkit::TestProgramDirectory() + "testkit_resources_english.dll";
    if (!CopyFileA(source.c_str(), path_.c_str(), FALSE)) return;
    const UINT bundle = id / 16 + 1;
    WORD language = 0;
    EnumResourceLanguagesA(library, MAKEINTRESOURCEA(6), MAKEINTRESOURCEA(bundle), &TakeLanguage,
                           reinterpret_cast<LONG_PTR>(&language));
    std::vector<WORD> data;
    for (UINT i = 0; i < 16; ++i) {
      wchar_t kept[1024] = {};
      const std::wstring entry = bundle * 16 - 16 + i == id ? text : std::wstring(kept, LoadStringW(library, bundle * 16 - 16 + i, kept, 1024));
      data.push_back(static_cast<WORD>(entry.size()));
      data.insert(data.end(), entry.begin(), entry.end());
    }
    HANDLE update = BeginUpdateResourceA(path_.c_str(), FALSE);
    if (update == nullptr) return;
    const bool updated = UpdateResourceA(update, MAKEINTRESOURCEA(6), MAKEINTRESOURCEA(bundle), language, data.data(),
                                         static_cast<DWORD>(data.size() * sizeof(WORD))) != FALSE;
    if (!EndUpdateResourceA(update, updated ? FALSE : TRUE) || !updated) return;
    module_ = LoadLibraryExA(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  ~LibraryCopyWithString() {
    if (module_ != nullptr) FreeLibrary(module_);
    DeleteFileA(path_.c_str());
  }
  LibraryCopyWithString(const LibraryCopyWithString&) = delete;
  LibraryCopyWithString& operator=(const LibraryCopyWithString&) = delete;
  HMODULE module() const { return module_; }

 private:
  static BOOL CALLBACK TakeLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR out) {
    *reinterpret_cast<WORD*>(out) = language;
    return FALSE;
  }
  std::string path_;
  HMODULE module_ = nullptr;
};

INT_PTR CALLBACK EndWithOk(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return FALSE;
  EndDialog(dialog, 1);
  return TRUE;
}
INT_PTR CALLBACK EndWithCancel(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return FALSE;
  EndDialog(dialog, 0);
  return TRUE;
}


class UtilityPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.ok()) << fixture_.error();
    DeleteValue(storage::kValueTempFilePath);
    DeleteValue(storage::kValuePmFlag);
  }
  void TearDown() override {
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kDravonKey, KEY_WOW64_32KEY, 0);
    ReplaceSettingsDialogProcedure(SettingsDialog::kDriverOptions, previous_options_);
  }
  void DeleteValue(int id) { settings::DeletePrinterRegValue(&fixture_.settings(), nullptr, nullptr, id, 0); }
  bool HasValue(int id) {
    char data[MAX_PATH] = {};
    DWORD size = sizeof(data);
    return settings::ReadPrinterRegValueById(&fixture_.settings(), id, data, &size, 0) == 1;
  }
  void StoreProgram(const char* folder, const char* file) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kDravonKey, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder),
                   static_cast<DWORD>(strlen(folder) + 1));
    RegSetValueExA(key, "EXE", 0, REG_SZ, reinterpret_cast<const BYTE*>(file), static_cast<DWORD>(strlen(file) + 1));
    RegCloseKey(key);
  }
  void OptionsDialogAnswers(DLGPROC procedure) {
    const DLGPROC old = ReplaceSettingsDialogProcedure(SettingsDialog::kDriverOptions, procedure);
    if (previous_options_ == nullptr) previous_options_ = old;
  }

  PageFixture fixture_{InkModel(8, true)};
  DLGPROC previous_options_ = nullptr;
};

TEST_F(UtilityPageTest, StoredProgramPathJoinsFolderAndFileWithOneBackslash) {
  struct Case {
    const char* folder;
    const char* file;
    int answer;
    const char* path;
  };
  const Case cases[] = {
      {"C:\\Tools", "tool.exe", 1, "C:\\Tools\\tool.exe"},
      {"C:\\Tools\\", "tool.exe", 1, "C:\\Tools\\tool.exe"},
      {"C:\\Tools", "", 0, ""},  // a value of one byte is too short
  };
  for (const Case& c : cases) {
    StoreProgram(c.folder, c.file);
    char path[MAX_PATH] = {};
    EXPECT_EQ(GetStoredProgramPath(&fixture_.param(), path, sizeof(path)), c.answer) << c.folder;
    EXPECT_STREQ(path, c.path) << c.folder;
    EXPECT_EQ(GetStoredProgramPath(&fixture_.param(), nullptr, 0), c.answer) << c.folder;
  }
  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kDravonKey, KEY_WOW64_32KEY, 0);
  EXPECT_EQ(GetStoredProgramPath(&fixture_.param(), nullptr, 0), 0);
}

TEST_F(UtilityPageTest, StoredProgramButtonFollowsTheValuesAndReportsAFailedStart) {
  StoreProgram("C:\\NoSuchFolder", "missing.exe");
  SheetHost host(fixture_, kUtilityPageTemplate, UtilitySteps());
  ASSERT_NE(host.page(), nullptr);
  for (int id : {2317, 2307, 2327, 2347}) EXPECT_TRUE(IsWindowEnabled(host.item(id))) << id;
  testkit::MessageBoxWatcher boxes;
  host.Click(kStoredProgramButton);
  ASSERT_EQ(boxes.shown().size(), 1u);
  char caption[MAX_PATH] = {};
  LoadStringA(fixture_.module(), 2297, caption, MAX_PATH);
  EXPECT_EQ(boxes.shown()[0].caption, caption);

  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kDravonKey, KEY_WOW64_32KEY, 0);
  RefreshUtilityControls(host.page(), fixture_.param());
  for (int id : {2317, 2307, 2327, 2347}) EXPECT_FALSE(IsWindowEnabled(host.item(id))) << id;
}

// The error text of a failed start comes from the resource library: its "%d" takes the number 1,
// and no other conversion in it is ever read as one; the text is cut to 259 characters.
TEST_F(UtilityPageTest, FailedStartTextIsNeverUsedAsAFormat) {
  const std::string written = "Start failed (%d): %s%s%s%s%n %x %% ";
  std::wstring library_text(written.begin(), written.end());
  library_text.append(300, L'z');
  LibraryCopyWithString copy(fixture_.module(), 2050, library_text);
  ASSERT_NE(copy.module(), nullptr);
  StoreProgram("C:\\NoSuchFolder", "missing.exe");
  SheetHost host(fixture_, kUtilityPageTemplate, UtilitySteps());
  ASSERT_NE(host.page(), nullptr);
  fixture_.shared().resource_module = copy.module();
  testkit::MessageBoxWatcher boxes;
  host.Click(kStoredProgramButton);
  fixture_.shared().resource_module = fixture_.module();
  ASSERT_EQ(boxes.shown().size(), 1u);
  // The library text is loaded into 260 characters, then its number goes in.
  std::string expected = "Start failed (1): %s%s%s%s%n %x % ";
  expected.append(MAX_PATH - 1 - written.size(), 'z');
  EXPECT_EQ(boxes.shown()[0].text, expected);
}

TEST_F(UtilityPageTest, WithoutMonitorTheGroupIsOffAndOptionsOkAppliesDuplexLimits) {
  fixture_.shared().monitor_present = 0;
  SheetHost host(fixture_, kUtilityPageTemplate, UtilitySteps());
  ASSERT_NE(host.page(), nullptr);
  for (int id : {2310, 2300, 2320}) EXPECT_FALSE(IsWindowEnabled(host.item(id))) << id;

  // Cancel in the options dialog changes nothing.
  fixture_.settings().SetDuplexOptionBits(4, 1);
  OptionsDialogAnswers(&EndWithCancel);
  host.Click(kDriverOptionsButton);
  EXPECT_TRUE(fixture_.settings().TestDuplexOptionBits(4));
  EXPECT_FALSE(host.ApplyEnabled());
  // OK applies the duplex limits and marks the sheet changed.
  OptionsDialogAnswers(&EndWithOk);
  host.Click(kDriverOptionsButton);
  EXPECT_FALSE(fixture_.settings().TestDuplexOptionBits(4));
  EXPECT_TRUE(host.ApplyEnabled());
  for (int id : {2310, 2300, 2320}) EXPECT_FALSE(IsWindowEnabled(host.item(id))) << id;
  EXPECT_TRUE(host.Press(PSBTN_OK));
  EXPECT_EQ(host.applies(), 1);
}

TEST_F(UtilityPageTest, MonitorPresentEnablesItsGroup) {
  fixture_.shared().monitor_present = 1;
  SheetHost host(fixture_, kUtilityPageTemplate, UtilitySteps());
  for (int id : {2310, 2300, 2320}) EXPECT_TRUE(IsWindowEnabled(host.item(id))) << id;
  EXPECT_TRUE(host.Press(PSBTN_CANCEL));
  EXPECT_EQ(host.resets(), 1);
}

TEST_F(UtilityPageTest, ApplyWithoutTheOptionsDialogWritesNeitherValue) {
  SheetHost host(fixture_, kUtilityPageTemplate, UtilitySteps());
  ASSERT_NE(host.page(), nullptr);
  EXPECT_TRUE(host.Press(PSBTN_OK));
  EXPECT_EQ(host.applies(), 1);
  EXPECT_FALSE(HasValue(storage::kValueTempFilePath));
  EXPECT_FALSE(HasValue(storage::kValuePmFlag));
}

TEST_F(UtilityPageTest, UtilityFlagsMirrorTheJobOptionsAndKeepTheirOtherBits) {
  struct Case {
    uint16_t stored;
    bool option40_after_load;
    uint32_t options_at_apply;  // JobOptions bits 0x40 and 0x800 set before Apply
    uint16_t written;
  };
  const Case cases[] = {
      {0x1235, true, 0x800, 0x1234},   // bit 0 cleared, bit 2 kept set, the rest kept
      {0xF0F0, false, 0x40, 0xF0F1},   // bit 0 set, bit 2 cleared
      {0x0004, false, 0x840, 0x0005},
  };
  auto& s = fixture_.settings();
  for (const Case& c : cases) {
    settings::WritePrinterRegValueById(&s, storage::kValuePmFlag, &c.stored, sizeof(c.stored), 0);
    fixture_.shared().folder_loaded = 0;
    s.SetJobOptionBits(0x40 | 0x800, 0);
    OptionsDialogAnswers(&EndWithCancel);
    SheetHost host(fixture_, kUtilityPageTemplate, UtilitySteps());
    host.Click(kDriverOptionsButton);  // loads the folder and the flags
    EXPECT_EQ(fixture_.shared().folder_loaded, 1);
    EXPECT_EQ(s.TestJobOptionBits(0x40) != 0, c.option40_after_load) << std::hex << c.stored;
    s.SetJobOptionBits(0x40 | 0x800, 0);
    s.SetJobOptionBits(c.options_at_apply, 1);
    EXPECT_TRUE(host.Press(PSBTN_OK));
    uint16_t written = 0;
    DWORD size = sizeof(written);
    ASSERT_EQ(settings::ReadPrinterRegValueById(&s, storage::kValuePmFlag, &written, &size, 0), 1);
    EXPECT_EQ(written, c.written) << std::hex << c.stored;
    char folder[MAX_PATH] = {};
    size = sizeof(folder);
    ASSERT_EQ(settings::ReadPrinterRegValueById(&s, storage::kValueTempFilePath, folder, &size, 0), 1);
    EXPECT_STREQ(folder, fixture_.shared().temp_folder);
  }
}

TEST_F(UtilityPageTest, StoredFolderIsCorrectedWhenMissing) {
  auto& s = fixture_.settings();
  const char missing[] = "C:\\No\\Such\\Folder";
  settings::WritePrinterRegValue(&s, nullptr, nullptr, storage::kValueTempFilePath, REG_SZ, missing, sizeof(missing), 0);
  LoadTempFolder(fixture_.param());
  char temp[MAX_PATH] = {};
  char expected[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  GetLongPathNameA(temp, expected, MAX_PATH);
  EXPECT_STREQ(fixture_.shared().temp_folder, expected);

  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  settings::WritePrinterRegValue(&s, nullptr, nullptr, storage::kValueTempFilePath, REG_SZ, windows,
                                 static_cast<DWORD>(strlen(windows) + 1), 0);
  LoadTempFolder(fixture_.param());
  EXPECT_STREQ(fixture_.shared().temp_folder, windows);
}

// Without permission to change settings the page's paint disables every control, also the ones
// its start-up enabled.
TEST_F(UtilityPageTest, WithoutPermissionEveryControlIsDisabled) {
  fixture_.param().context->may_change = 0;
  {
    test::FrameSheet sheet(fixture_, 3);
    ShowWindow(sheet.window(), SW_SHOW);
    HWND page = sheet.page(3);
    ASSERT_NE(page, nullptr);
    int present = 0;
    for (int id : {2300, 2310, 2311, 2314, 2317, 2320, 2330, 2331, 2332, 2340, 2347}) {
      if (HWND control = GetDlgItem(page, id); control != nullptr) {
        EnableWindow(control, TRUE);
        ++present;
      }
    }
    EXPECT_GT(present, 0);
    RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    for (int id : {2300, 2310, 2311, 2314, 2317, 2320, 2330, 2331, 2332, 2340, 2347}) {
      if (HWND control = GetDlgItem(page, id); control != nullptr) EXPECT_FALSE(IsWindowEnabled(control)) << id;
    }
  }
  fixture_.param().context->may_change = 1;
}

}  // namespace
}  // namespace kalimu::pages
