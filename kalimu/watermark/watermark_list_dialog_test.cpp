// The watermark list dialog on template 2900 of the stand-in resource library, run modally and
// driven by messages from a timer inside its own loop; message boxes answered and recorded by
// the watcher; the open dialog filled in and confirmed. Files land in a scratch folder (the
// folder of entry 0's thumbnail).
#include "kalimu/watermark/watermark_list_dialog.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <utility>

#include "kalimu/watermark/dib_format.h"
#include "kalimu/watermark/watermark_bitmap_file.h"
#include "kalimu/watermark/watermark_help.h"
#include "kalimu/watermark/watermark_messages.h"
#include "kalimu/watermark/watermark_test_support.h"
#include "kalimu/watermark/watermark_tooltips.h"
#include "testkit/kalimu/help_recorder.h"
#include "testkit/watermark/bmp_builder.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::watermark {
namespace {

using storage::WatermarkEntry;

void Click(HWND dialog, int control) { SendMessageA(GetDlgItem(dialog, control), BM_CLICK, 0, 0); }
void Type(HWND dialog, int control, const char* text) { SetDlgItemTextA(dialog, control, text); }
bool Enabled(HWND dialog, int control) { return IsWindowEnabled(GetDlgItem(dialog, control)) != FALSE; }
void Select(HWND dialog, const char* name) {
  HWND list = GetDlgItem(dialog, kListNames);
  const LRESULT item = SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kListNames, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}
int Items(HWND dialog) { return static_cast<int>(SendDlgItemMessageA(dialog, kListNames, LB_GETCOUNT, 0, 0)); }

std::string Message(WatermarkMessage message) {
  return test::ResourceString(GetWatermarkMessageRow(message).text_id);
}

class ListDialog : public ::testing::Test {
 protected:
  ListDialog() {
    // Two fixed entries (their thumbnails name the shared folder) and one user text entry.
    entries_.resize(2);
    for (int i = 0; i < 2; ++i) {
      WatermarkEntry& e = entries_[i];
      e.position = static_cast<int16_t>(i);
      e.bitmap_id = 16001 + i;
      e.kind = 2;
      std::strcpy(e.name, i == 0 ? "CONFIDENTIAL" : "DRAFT");
      std::strcpy(e.thumbnail_path, (folder_ / (i == 0 ? "KVWM01.MWB" : "KVWM02.MWB")).c_str());
    }
  }
  ~ListDialog() override {
    if (result_ != nullptr) platform::GlobalBlock::FreeLocked(result_);
  }

  // Runs the dialog over entries_ with the script; the result and the values written back.
  void Run(std::function<void(HWND)> script, int16_t capacity = 4) {
    count_ = static_cast<int16_t>(entries_.size());
    test::DialogScript driver(std::move(script), kListNames);
    result_ = ManageWatermarksDialog(nullptr, test::TestResources(), entries_.data(), &count_, &selection_, capacity,
                                     2100, 2970, margins_, nullptr, &help_);
    ASSERT_TRUE(driver.ran()) << "the dialog never came up";
  }
  // Adds a text watermark through the controls.
  static void AddText(HWND dialog, const char* name, const char* text) {
    Click(dialog, kListTextRadio);
    Type(dialog, kListNameEdit, name);
    Type(dialog, kListContentEdit, text);
    Click(dialog, kListAddReplace);
  }
  std::vector<WatermarkEntry> Result() const {
    return result_ != nullptr ? std::vector<WatermarkEntry>(result_, result_ + count_) : std::vector<WatermarkEntry>{};
  }

  test::ScratchFolder folder_{"kalimu_list_dialog"};
  std::vector<WatermarkEntry> entries_;
  int32_t margins_[4] = {0, 0, 0, 0};
  WatermarkHelpBlock help_{"C:\\help\\driver.hlp", 0};
  WatermarkEntry* result_ = nullptr;
  int16_t count_ = 0;
  int16_t selection_ = 0;
};

TEST_F(ListDialog, TextWatermarksAddedAndConfirmedKeepTheirFiles) {
  testkit::MessageBoxWatcher watcher;
  Run([&](HWND dialog) {
    AddText(dialog, "Secret", "TOP SECRET");
    AddText(dialog, "Copy", "COPY");
    EXPECT_EQ(Items(dialog), 2);
    Type(dialog, kListNameEdit, "");
    Type(dialog, kListContentEdit, "");
    Click(dialog, IDOK);
  });
  EXPECT_TRUE(watcher.shown().empty());
  const std::vector<WatermarkEntry> result = Result();
  ASSERT_EQ(result.size(), 4u);
  EXPECT_EQ(folder_.Files().size(), 4u);  // two ".WBF" files and two thumbnails
  const WatermarkEntry& added = result[2];
  EXPECT_STREQ(added.name, "Secret");
  EXPECT_STREQ(added.text, "TOP SECRET");
  EXPECT_EQ(added.position, 2);
  EXPECT_EQ(added.kind, 0);
  EXPECT_EQ(added.bitmap_id, 0);
  EXPECT_EQ(added.flags, 1);
  EXPECT_DOUBLE_EQ(added.angle, -0.5235987755982988);
  EXPECT_EQ(added.density_percent, 20);
  EXPECT_EQ(added.size_percent, 50);
  EXPECT_EQ(added.color[2], 255);
  EXPECT_EQ(added.color[0] + added.color[1], 0);
  const LOGFONTA font = EntryFont(added);
  EXPECT_EQ(font.lfHeight, -200);
  EXPECT_EQ(font.lfEscapement, 300);
  EXPECT_TRUE(test::Exists(added.bitmap_path));
  EXPECT_TRUE(test::Exists(added.thumbnail_path));
  EXPECT_EQ(std::string(added.bitmap_path).rfind(folder_ / "WAT", 0), 0u);
  EXPECT_GT(added.bitmap_size, 62);
  EXPECT_GT(added.box[2], added.box[0]);
  EXPECT_LE(added.box[2], 10000);
  EXPECT_EQ(selection_, 0);  // no list selection: the selection at opening
}

TEST_F(ListDialog, CancelDeletesEveryFileItMade) {
  Run([&](HWND dialog) {
    AddText(dialog, "Secret", "TOP SECRET");
    AddText(dialog, "Copy", "COPY");
    EXPECT_EQ(folder_.Files().size(), 4u);
    Click(dialog, IDCANCEL);
  });
  EXPECT_EQ(result_, nullptr);
  EXPECT_EQ(count_, 2);
  EXPECT_TRUE(folder_.Files().empty());
}

TEST_F(ListDialog, DeletingOnOkRemovesOnlyTheFilesTheDriverMade) {
  // A first run adds a text and a bitmap watermark.
  const std::string picture = folder_ / "user picture.bmp";
  testkit::watermark::BmpLayout layout;
  layout.width = 300;
  layout.height = 100;
  layout.bits = 24;
  ASSERT_TRUE(testkit::WriteBytes(picture, testkit::watermark::BuildBmp(layout)));
  Run([&](HWND dialog) {
    AddText(dialog, "Secret", "TOP SECRET");
    Click(dialog, kListBitmapRadio);
    Type(dialog, kListNameEdit, "Logo");
    Type(dialog, kListContentEdit, picture.c_str());
    Click(dialog, kListAddReplace);
    Click(dialog, IDOK);
  });
  entries_ = Result();
  ASSERT_EQ(entries_.size(), 4u);
  const WatermarkEntry text = entries_[2], bitmap = entries_[3];
  EXPECT_EQ(bitmap.kind, 1);
  EXPECT_STREQ(bitmap.bitmap_path, picture.c_str());
  // The box keeps the picture's 3:1 aspect on the page's printable area.
  const double box_w = (bitmap.box[2] - bitmap.box[0]) * 2100.0, box_h = (bitmap.box[3] - bitmap.box[1]) * 2970.0;
  EXPECT_NEAR(box_w / box_h, 3.0, 0.01);
  platform::GlobalBlock::FreeLocked(result_);
  result_ = nullptr;

  testkit::MessageBoxWatcher watcher(IDOK);
  Run([&](HWND dialog) {
    Select(dialog, "Secret");
    EXPECT_TRUE(Enabled(dialog, kListDelete));
    Click(dialog, kListDelete);
    Select(dialog, "Logo");
    Click(dialog, kListDelete);
    EXPECT_EQ(Items(dialog), 0);
    Click(dialog, IDOK);
  });
  ASSERT_EQ(watcher.shown().size(), 2u);
  EXPECT_EQ(watcher.shown()[0].text, Message(WatermarkMessage::kDelete));
  ASSERT_EQ(count_, 2);
  EXPECT_FALSE(test::Exists(text.bitmap_path));
  EXPECT_FALSE(test::Exists(text.thumbnail_path));
  EXPECT_FALSE(test::Exists(bitmap.thumbnail_path));
  EXPECT_TRUE(test::Exists(picture));  // never the user's own picture
}

TEST_F(ListDialog, SelectionHandedBackAfterDeletes) {
  for (const char* name : {"A", "B", "C"}) {
    WatermarkEntry e{};
    e.position = static_cast<int16_t>(entries_.size());
    std::strcpy(e.name, name);
    entries_.push_back(e);
  }
  struct Case {
    const char* what;
    int16_t selected;
    const char* deleted;
    int16_t handed_back;
  };
  const Case cases[] = {
      {"the entry selected at opening deleted", 3, "B", -1},
      {"an entry before it deleted", 4, "A", 3},
      {"an entry after it deleted", 2, "C", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    selection_ = c.selected;
    testkit::MessageBoxWatcher watcher(IDOK);
    Run([&](HWND dialog) {
      Select(dialog, c.deleted);
      Click(dialog, kListDelete);
      Click(dialog, IDOK);
    });
    EXPECT_EQ(count_, 4);
    EXPECT_EQ(selection_, c.handed_back);
    const std::vector<WatermarkEntry> result = Result();
    ASSERT_EQ(result.size(), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(result[i].position, i);
    platform::GlobalBlock::FreeLocked(result_);
    result_ = nullptr;
  }
}

TEST_F(ListDialog, FixedNamesAreReservedInTheirExactCase) {
  testkit::MessageBoxWatcher watcher;
  Run([&](HWND dialog) {
    Click(dialog, kListTextRadio);
    Type(dialog, kListNameEdit, "DRAFT");
    Type(dialog, kListContentEdit, "DRAFT");
    EXPECT_FALSE(Enabled(dialog, kListAddReplace));
    Click(dialog, kListAddReplace);  // pressed all the same
    EXPECT_EQ(Items(dialog), 0);
    Type(dialog, kListNameEdit, "Draft");
    EXPECT_TRUE(Enabled(dialog, kListAddReplace));
    Click(dialog, kListAddReplace);
    EXPECT_EQ(Items(dialog), 1);
    Click(dialog, IDOK);
  });
  ASSERT_EQ(watcher.shown().size(), 1u);
  EXPECT_EQ(watcher.shown()[0].text, Message(WatermarkMessage::kFixedName));
  EXPECT_EQ(count_, 3);
}

TEST_F(ListDialog, EditsKeepToTheirLengths) {
  Run([&](HWND dialog) {
    Click(dialog, kListTextRadio);
    Type(dialog, kListNameEdit, "123456789012345678901234567890");
    SendDlgItemMessageA(dialog, kListNameEdit, EM_SETSEL, 30, 30);
    SendDlgItemMessageA(dialog, kListNameEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("x"));
    EXPECT_EQ(ControlText(dialog, kListNameEdit), "123456789012345678901234567890");
    Type(dialog, kListContentEdit, std::string(70, 'T').c_str());
    EXPECT_EQ(ControlText(dialog, kListContentEdit), std::string(62, 'T'));
    Click(dialog, kListBitmapRadio);
    Type(dialog, kListContentEdit, std::string(300, 'p').c_str());
    EXPECT_EQ(ControlText(dialog, kListContentEdit).size(), 255u);
    Click(dialog, IDCANCEL);
  });
}

// Under code page 932 a double-byte character is cut whole; under single-byte code pages the
// same bytes are two characters.
TEST_F(ListDialog, DoubleByteNamesAreCutWhole) {
  const std::string name = std::string(29, 'n') + "\x82\xa0";  // 29 + one double-byte character
  Run([&](HWND dialog) {
    Type(dialog, kListNameEdit, name.c_str());
    const std::string kept = ControlText(dialog, kListNameEdit);
    if (GetACP() == 932) {
      EXPECT_EQ(kept, std::string(29, 'n'));
    } else {
      EXPECT_EQ(kept, name.substr(0, 30));
    }
    Type(dialog, kListContentEdit, "\x93\xfa\x96\x7b");  // two characters in code page 932
    Click(dialog, kListAddReplace);
    Click(dialog, IDOK);
  });
  const std::vector<WatermarkEntry> result = Result();
  ASSERT_EQ(result.size(), 3u);
  EXPECT_EQ(std::string(result[2].text), "\x93\xfa\x96\x7b");
  EXPECT_TRUE(test::Exists(result[2].bitmap_path));
}

TEST_F(ListDialog, CapacityStopsAddsButNotReplacements) {
  WatermarkEntry user{};
  user.position = 2;
  std::strcpy(user.name, "Mine");
  std::strcpy(user.text, "MINE");
  entries_.push_back(user);
  testkit::MessageBoxWatcher watcher(IDOK);
  Run(
      [&](HWND dialog) {
        AddText(dialog, "Another", "ANOTHER");
        EXPECT_EQ(Items(dialog), 1);
        Type(dialog, kListNameEdit, "Mine");  // selects the entry of that name
        Type(dialog, kListContentEdit, "OURS");
        Click(dialog, kListAddReplace);
        Click(dialog, IDOK);
      },
      1);
  ASSERT_EQ(watcher.shown().size(), 2u);
  EXPECT_EQ(watcher.shown()[0].text, Message(WatermarkMessage::kCapacityReached));
  EXPECT_EQ(watcher.shown()[1].text, Message(WatermarkMessage::kReplace));
  ASSERT_EQ(Result().size(), 3u);
  EXPECT_STREQ(Result()[2].text, "OURS");
  EXPECT_TRUE(test::Exists(Result()[2].bitmap_path));
  EXPECT_EQ(selection_, 2);
}

TEST_F(ListDialog, AnAddWhoseBitmapFailsLeavesNoEntry) {
  // Entry 0's thumbnail names a folder that does not exist: no ".WBF" file can be made.
  std::strcpy(entries_[0].thumbnail_path, (folder_ / "missing\\KVWM01.MWB").c_str());
  testkit::MessageBoxWatcher watcher;
  Run([&](HWND dialog) {
    AddText(dialog, "Secret", "TOP SECRET");
    EXPECT_EQ(Items(dialog), 0);
    Type(dialog, kListNameEdit, "");
    Type(dialog, kListContentEdit, "");
    Click(dialog, IDOK);
  });
  ASSERT_EQ(watcher.shown().size(), 1u);
  EXPECT_EQ(watcher.shown()[0].text, Message(WatermarkMessage::kCannotLoad));
  EXPECT_EQ(count_, 2);
}

TEST_F(ListDialog, OkWithEveryEntryDeletedKeepsTheList) {
  entries_.clear();
  WatermarkEntry user{};
  std::strcpy(user.name, "Only");
  std::strcpy(user.thumbnail_path, (folder_ / "only.MWB").c_str());
  std::strcpy(user.bitmap_path, (folder_ / "only.WBF").c_str());
  ASSERT_TRUE(testkit::WriteBytes(user.thumbnail_path, {1}));
  ASSERT_TRUE(testkit::WriteBytes(user.bitmap_path, {1}));
  entries_.push_back(user);
  testkit::MessageBoxWatcher watcher(IDOK);
  Run([&](HWND dialog) {
    Select(dialog, "Only");
    Click(dialog, kListDelete);
    Click(dialog, IDOK);
  });
  EXPECT_EQ(result_, nullptr);
  EXPECT_EQ(count_, 1);
  EXPECT_TRUE(test::Exists(user.thumbnail_path));  // the old list still names them
  EXPECT_TRUE(test::Exists(user.bitmap_path));
}

TEST_F(ListDialog, MissingPiecesGetTheirMessages) {
  testkit::MessageBoxWatcher watcher;
  Run([&](HWND dialog) {
    // Focus away from the edits, so that typing into one does not fill in the other.
    SetFocus(GetDlgItem(dialog, kListNames));
    Type(dialog, kListNameEdit, "Name only");
    Click(dialog, IDOK);
    SetFocus(GetDlgItem(dialog, kListNames));
    Type(dialog, kListNameEdit, "");
    Type(dialog, kListContentEdit, "Text only");
    Click(dialog, kListOkToo);
    EXPECT_TRUE(IsWindow(dialog));
    Type(dialog, kListContentEdit, "");
    Click(dialog, kListOkToo);
  });
  ASSERT_EQ(watcher.shown().size(), 2u);
  EXPECT_EQ(watcher.shown()[0].text, Message(WatermarkMessage::kContentMissing));
  EXPECT_EQ(watcher.shown()[1].text, Message(WatermarkMessage::kNameMissing));
  EXPECT_NE(result_, nullptr);
}

TEST_F(ListDialog, AutoFillCopiesTheNameOfANewTextWatermark) {
  Run([&](HWND dialog) {
    SetFocus(GetDlgItem(dialog, kListNameEdit));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kListNameEdit, EN_SETFOCUS),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, kListNameEdit)));
    Type(dialog, kListNameEdit, "Hello");
    EXPECT_EQ(ControlText(dialog, kListContentEdit), "Hello");
    EXPECT_TRUE(Enabled(dialog, kListAddReplace));
    EXPECT_FALSE(Enabled(dialog, kListBrowse));
    Click(dialog, IDCANCEL);
  });
}

TEST_F(ListDialog, ToolTipsAreInstalledAndRemoved) {
  Run([&](HWND dialog) {
    const WatermarkToolTipFields fields = GetWatermarkToolTipFields(kListDialogTips);
    EXPECT_EQ(fields.dialog, dialog);
    EXPECT_NE(fields.hook, nullptr);
    Click(dialog, IDCANCEL);
  });
  EXPECT_EQ(GetWatermarkToolTipFields(kListDialogTips).hook, nullptr);
}

// The open dialog is the real one: a hook fills in its file name and confirms it.
TEST_F(ListDialog, BrowseThroughTheOpenDialog) {
  const std::string picture = folder_ / "browsed.bmp";
  testkit::watermark::BmpLayout layout;
  ASSERT_TRUE(testkit::WriteBytes(picture, testkit::watermark::BuildBmp(layout)));
  static std::string chosen;
  chosen = picture;
  static HHOOK hook = nullptr;
  static int opened = 0;
  opened = 0;
  hook = SetWindowsHookExA(
      WH_CBT,
      [](int code, WPARAM wparam, LPARAM lparam) -> LRESULT {
        if (code == HCBT_ACTIVATE) {
          HWND window = reinterpret_cast<HWND>(wparam);
          HWND name = GetDlgItem(window, 0x47C);  // the file name box
          if (name == nullptr) name = GetDlgItem(window, 0x480);
          if (name != nullptr && GetDlgItem(window, kListNames) == nullptr) {
            ++opened;
            SetWindowTextA(name, chosen.c_str());
            PostMessageA(window, WM_COMMAND, IDOK, 0);
          }
        }
        return CallNextHookEx(hook, code, wparam, lparam);
      },
      nullptr, GetCurrentThreadId());
  std::string shown;
  Run([&](HWND dialog) {
    Click(dialog, kListBitmapRadio);
    EXPECT_TRUE(Enabled(dialog, kListBrowse));
    Click(dialog, kListBrowse);
    shown = ControlText(dialog, kListContentEdit);
    Click(dialog, IDCANCEL);
  });
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(shown, picture);
}

TEST_F(ListDialog, NoDialogNoList) {
  // A module without template 2900: the dialog cannot be made (-1), which is no OK.
  count_ = 2;
  result_ = ManageWatermarksDialog(nullptr, GetModuleHandleA(nullptr), entries_.data(), &count_, &selection_, 4, 2100,
                                   2970, margins_, nullptr, &help_);
  EXPECT_EQ(result_, nullptr);
  EXPECT_EQ(count_, 2);
  // Without a module, nothing at all.
  EXPECT_EQ(ManageWatermarksDialog(nullptr, nullptr, entries_.data(), &count_, &selection_, 4, 2100, 2970, margins_,
                                   nullptr, &help_),
            nullptr);
}

// Help goes through the page frame's help entry (a recorder here) with the help file the layout
// page handed over: WM_HELP for the item's window, WM_CONTEXTMENU for the dialog itself, the help
// button for the list's context. The procedure is called directly: no help message goes through
// the window system.
TEST_F(ListDialog, HelpRequestsReachTheHelpEntryWithTheListTable) {
  testkit::HelpRecorder recorder;
  HWND shown = nullptr;
  HWND item = nullptr;
  Run([&](HWND dialog) {
    shown = dialog;
    item = GetDlgItem(dialog, kListNames);
    HELPINFO info = {sizeof(HELPINFO), HELPINFO_WINDOW, kListNames, item, 0, {10, 10}};
    EXPECT_EQ(WatermarkListDlgProc(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info)), TRUE);
    EXPECT_EQ(WatermarkListDlgProc(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(item), MAKELPARAM(10, 10)), TRUE);
    WatermarkListDlgProc(dialog, WM_COMMAND, MAKEWPARAM(kListHelp, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, kListHelp)));
    Click(dialog, IDCANCEL);
  });
  const auto table = reinterpret_cast<ULONG_PTR>(kWatermarkListHelpTable.data());
  const testkit::HelpRequest expected[] = {{item, help_.help_path, HELP_WM_HELP, table},
                                           {shown, help_.help_path, HELP_CONTEXTMENU, table},
                                           {shown, help_.help_path, HELP_CONTEXT, kListHelpContext}};
  recorder.ExpectRequests(expected);
}

TEST(WatermarkListHelp, TableGivesEachControlItsContext) {
  const auto& table = kWatermarkListHelpTable;
  EXPECT_EQ(table.back().control, 0u);
  EXPECT_EQ(table.back().context, 0u);
  auto context_of = [&](uint32_t control) -> uint32_t {
    for (const HelpIdPair& pair : table) {
      if (pair.control == control) return pair.context;
    }
    return 0;
  };
  const std::pair<uint32_t, uint32_t> rows[] = {{2900, 5632}, {2869, 5637}, {2901, 5637}, {2902, 5648},
                                                {2903, 5653}, {2904, 5680}, {2908, 5669}, {2910, 5664},
                                                {2928, pages::kNoHelp}, {2927, pages::kNoHelp}};
  for (const auto& [control, context] : rows) EXPECT_EQ(context_of(control), context) << control;
  EXPECT_EQ(kListHelpContext, table.front().context);
}

}  // namespace
}  // namespace kalimu::watermark
