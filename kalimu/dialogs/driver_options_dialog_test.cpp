// The driver options dialog driven by messages: job option bits, the status monitor switch
// and "STMSetting", the drive list and the folder tree on a tree of folders made on c:, and the
// current directory it leaves behind.
#include "kalimu/dialogs/driver_options_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "kalimu/dialogs/dialog_run_test_support.h"
#include "kalimu/pages/page_test_support.h"
#include "kalimu/pages/resource_dialogs.h"
#include "kalimu/pages/tooltips.h"
#include "kalimu/status/monitor_link.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::dialogs {
namespace {

using pages::test::HostedPage;
using pages::test::PageFixture;
using test::Checked;
using test::Click;
using test::Command;
using test::Enabled;
using test::ModalRun;
using test::TextOf;

constexpr char kRoot[] = "c:\\kvoptions";

struct TreeItem {
  std::string text;
  int kind;
  int indent;
  bool operator==(const TreeItem&) const = default;
};
std::ostream& operator<<(std::ostream& out, const TreeItem& i) {
  return out << "{" << i.text << ", " << i.kind << ", " << i.indent << "}";
}

std::vector<TreeItem> TreeOf(HWND dialog) {
  std::vector<TreeItem> items;
  const int count = static_cast<int>(SendDlgItemMessageA(dialog, kFolderTree, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[MAX_PATH] = {};
    SendDlgItemMessageA(dialog, kFolderTree, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    const auto data = static_cast<DWORD>(SendDlgItemMessageA(dialog, kFolderTree, LB_GETITEMDATA, i, 0));
    items.push_back({text, HIWORD(data), LOWORD(data)});
  }
  return items;
}

int FindItem(HWND dialog, const char* text) {
  return static_cast<int>(SendDlgItemMessageA(dialog, kFolderTree, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(text)));
}

void DoubleClick(HWND dialog, const char* text) {
  const int item = FindItem(dialog, text);
  ASSERT_GE(item, 0) << text;
  SendDlgItemMessageA(dialog, kFolderTree, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
  Command(dialog, kFolderTree, LBN_DBLCLK);
}

std::string CurrentDirectory() {
  char path[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof(path), path);
  return path;
}

class DriverOptionsDialog : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (const char* folder : {"", "\\bin", "\\bin\\b", "\\bin\\b\\x", "\\bin\\b\\x\\deep", "\\spool", "\\spool\\tmp",
                               "\\spool\\tmp\\a", "\\spool\\tmp\\b", "\\spool\\tmp\\.hidden"}) {
      CreateDirectoryA((std::string(kRoot) + folder).c_str(), nullptr);
    }
  }
  void SetUp() override {
    ASSERT_TRUE(fixture_.ok()) << fixture_.error();
    page_ = std::make_unique<HostedPage>(fixture_, 903);
    fixture_.param().context->printer = fixture_.printer().printer().handle();
    SetCurrentDirectoryA("c:\\");
    start_directory_ = CurrentDirectory();
    SetFolder(kRoot);
    shared().monitor_enabled = 1;
    shared().stm_setting = 0;
  }
  void TearDown() override { pages::RemovePageToolTipHooks(); }

  pages::PageShared& shared() { return fixture_.shared(); }
  settings::JobSettings& s() { return fixture_.settings(); }
  void SetFolder(const std::string& path) {
    std::memset(shared().temp_folder, 0, sizeof(shared().temp_folder));
    std::memcpy(shared().temp_folder, path.c_str(), path.size());
  }
  INT_PTR Run(ModalRun::Script script) {
    return ModalRun::Run(fixture_.module(), page_->window(), &DriverOptionsDlgProc, kDriverOptionsDialog,
                            &fixture_.param(), std::move(script));
  }
  int64_t StoredStmSetting() {
    uint32_t value = 0;
    return status::ReadStmSetting(fixture_.printer().printer().handle(), &s(), &value) ? value : -1;
  }

  PageFixture fixture_{pages::test::InkModel(8, true)};
  std::unique_ptr<HostedPage> page_;
  std::string start_directory_;
};

TEST_F(DriverOptionsDialog, ADriveRootIsTheCurrentFolder) {
  SetFolder("c:");
  Run([&](HWND dialog) {
    const std::vector<TreeItem> tree = TreeOf(dialog);
    ASSERT_FALSE(tree.empty());
    EXPECT_EQ(tree[0], (TreeItem{"c:\\", kCurrentFolder, 0}));
    EXPECT_EQ(SendDlgItemMessageA(dialog, kFolderTree, LB_GETCURSEL, 0, 0), 0);
    EXPECT_NE(FindItem(dialog, "kvoptions"), -1) << "the root's folders are listed";
    EXPECT_EQ(tree[static_cast<size_t>(FindItem(dialog, "kvoptions"))].indent, 1);
    EXPECT_EQ(TextOf(dialog, kFolderText), "c:\\");
    // The fixed drives, c: chosen.
    const auto chosen = SendDlgItemMessageA(dialog, kDriveCombo, CB_GETCURSEL, 0, 0);
    ASSERT_GE(chosen, 0);
    char drive[16] = {};
    SendDlgItemMessageA(dialog, kDriveCombo, CB_GETLBTEXT, static_cast<WPARAM>(chosen),
                        reinterpret_cast<LPARAM>(drive));
    EXPECT_STREQ(drive, "c:  ");
    EXPECT_EQ(SendDlgItemMessageA(dialog, kDriveCombo, CB_GETITEMDATA, static_cast<WPARAM>(chosen), 0), 0x30002);
    Click(dialog, IDOK);
  });
  EXPECT_STREQ(shared().temp_folder, "c:");
  EXPECT_EQ(CurrentDirectory(), start_directory_);
}

TEST_F(DriverOptionsDialog, TreeOfANestedFolderAndTheComposedPath) {
  SetFolder("C:\\KVOptions\\Spool\\Tmp\\");
  const INT_PTR result = Run([&](HWND dialog) {
    const std::vector<TreeItem> expected = {{"c:\\", kOpenFolder, 0},    {"kvoptions", kOpenFolder, 1},
                                            {"spool", kOpenFolder, 2},   {"tmp", kCurrentFolder, 3},
                                            {"a", kSubfolder, 4},        {"b", kSubfolder, 4}};
    // Folders whose names start with "." are left out. (Wine reports no read-only attribute for
    // folders, not even for one the host forbids writing to, so read-only ones cannot be shown.)
    EXPECT_EQ(TreeOf(dialog), expected);
    EXPECT_EQ(TextOf(dialog, kFolderText), "c:\\kvoptions\\spool\\tmp");
    test::PickListItem(dialog, kFolderTree, 4);
    EXPECT_EQ(TextOf(dialog, kFolderText), "c:\\kvoptions\\spool\\tmp\\a");
    test::PickListItem(dialog, kFolderTree, 1);
    EXPECT_EQ(TextOf(dialog, kFolderText), "c:\\kvoptions");
    test::PickListItem(dialog, kFolderTree, 5);
    Click(dialog, IDOK);
  });
  EXPECT_EQ(result, 1);
  EXPECT_STREQ(shared().temp_folder, "c:\\kvoptions\\spool\\tmp\\b");
  EXPECT_EQ(CurrentDirectory(), start_directory_);
}

// A double-click on an open folder enters the path up to that folder, at every level, also
// where the folder's name occurs earlier in the path.
TEST_F(DriverOptionsDialog, DoubleClickEntersEveryLevel) {
  const struct {
    const char* start;
    const char* clicked;
    const char* entered;
  } cases[] = {
      {"c:\\kvoptions\\bin\\b\\x", "b", "c:\\kvoptions\\bin\\b"},
      {"c:\\kvoptions\\bin\\b\\x", "bin", "c:\\kvoptions\\bin"},
      {"c:\\kvoptions\\bin\\b\\x", "kvoptions", "c:\\kvoptions"},
      {"c:\\kvoptions\\bin\\b\\x", "c:\\", "c:"},
      {"c:\\kvoptions\\bin\\b\\x", "x", "c:\\kvoptions\\bin\\b\\x"},       // the current folder: nothing
      {"c:\\kvoptions\\bin\\b\\x", "deep", "c:\\kvoptions\\bin\\b\\x\\deep"},  // a subfolder
      {"c:\\kvoptions\\bin\\b", "b", "c:\\kvoptions\\bin\\b"},
  };
  for (const auto& c : cases) {
    SetFolder(c.start);
    Run([&](HWND dialog) {
      DoubleClick(dialog, c.clicked);
      EXPECT_EQ(TextOf(dialog, kFolderText), std::string(c.entered) + (std::strlen(c.entered) == 2 ? "\\" : ""))
          << c.start << " / " << c.clicked;
      Click(dialog, IDCANCEL);
    });
    EXPECT_STREQ(shared().temp_folder, c.start) << "Cancel keeps the stored folder";
    EXPECT_EQ(CurrentDirectory(), start_directory_);
  }
}

TEST_F(DriverOptionsDialog, MissingFoldersAndTooLongPathsAreNotEntered) {
  SetFolder("c:\\kvoptions\\spool");
  Run([&](HWND dialog) {
    // A folder that is not there (gone since the tree was filled).
    SendDlgItemMessageA(dialog, kFolderTree, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("nothere"));
    const int fake = FindItem(dialog, "nothere");
    SendDlgItemMessageA(dialog, kFolderTree, LB_SETITEMDATA, fake, MAKELONG(3, kSubfolder));
    DoubleClick(dialog, "nothere");
    EXPECT_NE(FindItem(dialog, "nothere"), -1) << "the tree stays as it was";
    // A path beyond MAX_PATH is neither listed nor composed.
    const std::string long_path = "c:\\" + std::string(300, 'a');
    EXPECT_EQ(FillFolderTree(dialog, long_path.c_str()), 0);
    char composed[8] = {};
    test::PickListItem(dialog, kFolderTree, 1);
    EXPECT_EQ(ComposeFolderPath(dialog, composed, sizeof(composed)), 0) << "c:\\kvoptions needs 13 bytes";
    Click(dialog, IDCANCEL);
  });
}

TEST_F(DriverOptionsDialog, JobOptionBitsAndCancel) {
  s().SetJobOptionBits(16 | 32 | 0x800, 0);
  s().SetLayoutOptionBits(1, 1);
  Run([&](HWND dialog) {
    EXPECT_TRUE(Checked(dialog, kLayoutBitCheck));
    Click(dialog, kRasterCheck);
    EXPECT_TRUE(s().TestJobOptionBits(16)) << "written at once";
    Click(dialog, kSkipBlankCheck);
    Click(dialog, kOptionCheck800);
    EXPECT_FALSE(s().TestJobOptionBits(32)) << "written on OK";
    Click(dialog, IDCANCEL);
  });
  EXPECT_FALSE(s().TestJobOptionBits(16)) << "Cancel restores the device mode";
  Run([&](HWND dialog) {
    Click(dialog, kRasterCheck);
    Click(dialog, kSkipBlankCheck);
    Click(dialog, kOptionCheck800);
    Click(dialog, IDOK);
  });
  EXPECT_TRUE(s().TestJobOptionBits(16));
  EXPECT_TRUE(s().TestJobOptionBits(32));
  EXPECT_TRUE(s().TestJobOptionBits(0x800));
  EXPECT_FALSE(s().TestJobOptionBits(0x8000));
  EXPECT_EQ(shared().dialog_snapshot, nullptr);
}

TEST_F(DriverOptionsDialog, MonitorSwitchWritesStmSetting) {
  s().SetJobOptionBits(64, 1);
  testkit::MessageBoxWatcher answers(IDOK);
  // Switched off, then OK: "STMSetting" 1.
  Run([&](HWND dialog) {
    EXPECT_TRUE(Enabled(dialog, kMonitorForJobCheck));
    EXPECT_TRUE(Checked(dialog, kMonitorForJobCheck));
    Click(dialog, kMonitorOffCheck);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "The status monitor will no longer be used for this printer. Continue?");
    EXPECT_FALSE(Enabled(dialog, kMonitorForJobCheck));
    EXPECT_FALSE(Enabled(dialog, kMonitorSettings));
    EXPECT_FALSE(Checked(dialog, kMonitorForJobCheck));
    EXPECT_FALSE(s().TestJobOptionBits(64));
    Click(dialog, IDOK);
  });
  EXPECT_EQ(StoredStmSetting(), 1);
  EXPECT_EQ(shared().stm_setting, 1u);
  EXPECT_EQ(shared().monitor_enabled, 0u);
  // Switched back on: written at once; then Cancel writes the value from before the dialog.
  Run([&](HWND dialog) {
    EXPECT_TRUE(Checked(dialog, kMonitorOffCheck));
    EXPECT_FALSE(Enabled(dialog, kMonitorForJobCheck));
    Click(dialog, kMonitorOffCheck);
    EXPECT_EQ(StoredStmSetting(), 0);
    EXPECT_TRUE(Checked(dialog, kMonitorForJobCheck));
    EXPECT_TRUE(s().TestJobOptionBits(64));
    Click(dialog, IDCANCEL);
  });
  EXPECT_EQ(StoredStmSetting(), 1);
  EXPECT_EQ(shared().stm_setting, 1u);
  EXPECT_EQ(shared().monitor_enabled, 0u);
  EXPECT_FALSE(s().TestJobOptionBits(64));
  // Switched off and cancelled: both flags and the stored value as before.
  shared().stm_setting = 0;
  shared().monitor_enabled = 1;
  status::WriteStmSetting(fixture_.printer().printer().handle(), &s(), 0);
  Run([&](HWND dialog) {
    Click(dialog, kMonitorOffCheck);
    Click(dialog, IDCANCEL);
  });
  EXPECT_EQ(StoredStmSetting(), 0);
  EXPECT_EQ(shared().stm_setting, 0u);
  EXPECT_EQ(shared().monitor_enabled, 1u);
}

TEST_F(DriverOptionsDialog, DeviceAndBidiRulesHideTheJobMonitorCheck) {
  const struct {
    uint32_t device_options;
    uint32_t no_bidi;
    bool shown, enabled;
  } cases[] = {{0, 0, true, true}, {0x200, 0, false, false}, {0, 2, false, true}};
  for (const auto& c : cases) {
    s().SetDeviceOptionBits(0x200, c.device_options != 0);
    s().SetNoBidiFlagBits(2, c.no_bidi != 0);
    Run([&](HWND dialog) {
      EXPECT_EQ(test::Shown(dialog, kMonitorForJobCheck), c.shown) << c.device_options << "/" << c.no_bidi;
      EXPECT_EQ(Enabled(dialog, kMonitorForJobCheck), c.enabled) << c.device_options << "/" << c.no_bidi;
      Click(dialog, IDCANCEL);
    });
  }
}

TEST_F(DriverOptionsDialog, UtilityPageOpensItThroughTheTable) {
  EXPECT_EQ(pages::SettingsDialogProcedure(pages::SettingsDialog::kDriverOptions), &DriverOptionsDlgProc);
}

}  // namespace
}  // namespace kalimu::dialogs
