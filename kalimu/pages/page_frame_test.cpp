// The page frame in a real property sheet: the snapshot, Apply and Cancel across the four pages,
// the ink-set check, read-only paint, change notification and help through a stand-in help
// system.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kalimu/pages/main_page.h"
#include "kalimu/pages/messages.h"
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/page_frame_test_support.h"
#include "kalimu/pages/tooltip_texts.h"
#include "kalimu/pages/track_bar.h"
#include "kalimu/platform/global_block.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::pages {
namespace {

using test::FrameSheet;
using test::InkModel;
using test::kPageHandles;
using test::PageFixture;

constexpr int kApplyButton = 0x3021;

// Same 1048 bytes; the first difference is named when they differ.
::testing::AssertionResult SameRecord(const void* a, const void* b) {
  const auto* x = static_cast<const uint8_t*>(a);
  const auto* y = static_cast<const uint8_t*>(b);
  for (size_t i = 0; i < settings::kDevModeSize; ++i) {
    if (x[i] != y[i]) return ::testing::AssertionFailure() << "first difference at byte " << i;
  }
  return ::testing::AssertionSuccess();
}

class Frame : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.ok()) << fixture_.error();
    // A whole record of this driver, as a sheet edits it.
    fixture_.settings().ResetToDefaults();
    ASSERT_EQ(record().Public.dmSize + record().Public.dmDriverExtra, settings::kDevModeSize);
  }
  settings::DriverDevMode& record() { return fixture_.record(); }
  PageShared& shared() { return fixture_.shared(); }
  PageFixture fixture_{InkModel(8, true)};
};

// The page that opens first takes the snapshot before anything changed; Cancel brings it back.
TEST_F(Frame, LayoutPageFirstThenCancelRestoresTheSnapshot) {
  const settings::DriverDevMode before = record();
  FrameSheet sheet(fixture_, 2);
  ASSERT_NE(sheet.window(), nullptr);
  ASSERT_NE(shared().sheet_snapshot, nullptr);
  EXPECT_TRUE(SameRecord(shared().sheet_snapshot, &before));
  EXPECT_EQ(shared().sheet_window, sheet.window());  // edits enable Apply

  record().Public.dmCopies = static_cast<short>(before.Public.dmCopies + 3);
  sheet.Select(0);  // a later page takes no snapshot of its own
  EXPECT_TRUE(SameRecord(shared().sheet_snapshot, &before));
  sheet.Press(PSBTN_CANCEL);
  EXPECT_TRUE(sheet.Ended());
  EXPECT_TRUE(SameRecord(&record(), &before));
  EXPECT_EQ(shared().sheet_snapshot, nullptr);
  EXPECT_TRUE(FrameSheet::Calls().empty());
}

// Apply reaches every page that was opened: each reports CPSUI_OK with its own page handle, the
// first one frees the snapshot, and the sheet context holds the edited record.
TEST_F(Frame, ApplyReportsEachOpenedPageWithItsOwnHandle) {
  struct Case {
    int start;
    std::vector<int> visited;
    std::vector<LPARAM> handles;
  };
  const Case cases[] = {
      {0, {}, {kPageHandles[0]}},
      {2, {}, {kPageHandles[2]}},
      {3, {}, {kPageHandles[3]}},
      {0, {1, 2, 3}, {kPageHandles[0], kPageHandles[1], kPageHandles[2], kPageHandles[3]}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start);
    std::memset(&fixture_.param().context->dev_mode, 0, sizeof(settings::DriverDevMode));
    FrameSheet sheet(fixture_, c.start);
    for (int page : c.visited) sheet.Select(page);
    record().Public.dmCopies = static_cast<short>(record().Public.dmCopies + 1);
    const short copies = record().Public.dmCopies;
    // The paper page, once opened, commits the copies its edit shows.
    if (HWND paper = sheet.page(1)) SetDlgItemInt(paper, 2222, static_cast<UINT>(copies), FALSE);
    sheet.Press(PSBTN_OK);
    EXPECT_TRUE(sheet.Ended());
    const std::vector<test::SheetCall>& calls = FrameSheet::Calls();
    ASSERT_EQ(calls.size(), c.handles.size());
    for (size_t i = 0; i < calls.size(); ++i) {
      EXPECT_EQ(calls[i].sheet, test::kSheetHandle);
      EXPECT_EQ(calls[i].function, static_cast<UINT>(CPSFUNC_SET_RESULT));
      EXPECT_EQ(calls[i].first, c.handles[i]);
      EXPECT_EQ(calls[i].second, CPSUI_OK);
      EXPECT_EQ(calls[i].snapshot_present, i == 0) << i;
    }
    EXPECT_TRUE(SameRecord(&fixture_.param().context->dev_mode, &record()));
    EXPECT_EQ(fixture_.param().context->dev_mode.Public.dmCopies, copies);
    EXPECT_EQ(shared().sheet_snapshot, nullptr);
  }
}

// The printer's ink set against the settings' model identifier, at the Apply of all four pages:
// a difference shows message 22 once and is taken over; a count beyond the 16 codes compares 16.
TEST_F(Frame, InkSetCheckAtApply) {
  uint8_t model_id[16] = {};
  fixture_.settings().GetModelId(model_id, sizeof(model_id));
  uint8_t other[16];
  std::memcpy(other, model_id, sizeof(other));
  other[1] = static_cast<uint8_t>(other[1] ^ 0x40);
  struct Case {
    const char* name;
    const uint8_t* codes;
    uint32_t count;
    size_t boxes;
    uint16_t done;
  };
  const Case cases[] = {
      {"same codes", model_id, 16, 0, 0},
      {"count beyond the record", model_id, 200, 0, 0},
      {"no codes", other, 0, 0, 0},
      {"another ink set", other, 16, 1, 1},
  };
  MessageText expected{};
  BuildSettingsMessage(fixture_.param(), 22, &expected);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(fixture_.printer().StoreInkCodes(c.codes, c.count));
    shared().ink_set_check_done = 0;
    testkit::MessageBoxWatcher boxes;
    FrameSheet sheet(fixture_, 0);
    for (int page : {1, 2, 3}) sheet.Select(page);
    sheet.Press(PSBTN_OK);
    EXPECT_TRUE(sheet.Ended());
    ASSERT_EQ(boxes.shown().size(), c.boxes);
    if (c.boxes != 0) {
      EXPECT_EQ(boxes.shown()[0].caption, expected.caption);
    }
    EXPECT_EQ(shared().ink_set_check_done, c.done);
    EXPECT_EQ(FrameSheet::Calls().size(), 4u);
  }
  fixture_.printer().ForgetInkSet();
}

// A sheet without permission disables the page's editable controls at every paint, also after
// a rule enabled one again.
TEST_F(Frame, ReadOnlySheetDisablesEditableControlsAtEveryPaint) {
  for (uint32_t may_change : {0u, 1u}) {
    SCOPED_TRACE(may_change);
    fixture_.param().context->may_change = may_change;
    FrameSheet sheet(fixture_, 0);
    ShowWindow(sheet.window(), SW_SHOW);
    for (int index = 0; index < 4; ++index) {
      sheet.Select(index);
      HWND page = sheet.page(index);
      ASSERT_NE(page, nullptr);
      int present = 0;
      for (const ControlRange& range : PageEditableControls(static_cast<DocumentPage>(index))) {
        for (int id = range.first; id <= range.last; ++id) {
          if (HWND control = GetDlgItem(page, id); control != nullptr) {
            EnableWindow(control, TRUE);
            ++present;
          }
        }
      }
      EXPECT_GT(present, 0) << index;
      RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      for (const ControlRange& range : PageEditableControls(static_cast<DocumentPage>(index))) {
        for (int id = range.first; id <= range.last; ++id) {
          if (HWND control = GetDlgItem(page, id); control != nullptr) {
            // With permission the page's own rules decide; without it nothing stays enabled.
            if (may_change == 0) EXPECT_FALSE(IsWindowEnabled(control)) << index << " " << id;
          }
        }
      }
    }
  }
  fixture_.param().context->may_change = 1;
}

// A click on one of the quality slider's end labels steps the slider toward that end and gives
// it the focus; a click elsewhere on the page leaves it.
TEST_F(Frame, ClickOnAQualityLabelStepsTheSlider) {
  FrameSheet sheet(fixture_, 0);
  ShowWindow(sheet.window(), SW_SHOW);
  HWND page = sheet.page(0);
  ASSERT_NE(page, nullptr);
  HWND slider = GetDlgItem(page, kQualitySlider);
  ASSERT_NE(slider, nullptr);
  ShowWindow(slider, SW_SHOW);
  SendMessageA(slider, WM_USER, kTrackSetRange, MAKELPARAM(1, 5));
  const auto position = [&] { return SendMessageA(slider, WM_USER, kTrackGetPosition, 0); };
  const auto click = [&](int label, UINT message) {
    RECT rect = {};
    if (label != 0) {
      GetWindowRect(GetDlgItem(page, label), &rect);
    } else {
      GetWindowRect(page, &rect);
      rect.right = rect.left + 2;
      rect.bottom = rect.top + 2;
    }
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageA(page, message, 0, 0);
  };
  struct Case {
    int label;  // 0: a corner of the page
    UINT message;
    LRESULT before;
    LRESULT after;
  };
  const Case cases[] = {
      {kSliderHighLabel, WM_LBUTTONDOWN, 3, 4},
      {kSliderLowLabel, WM_LBUTTONDBLCLK, 3, 2},
      {0, WM_LBUTTONDOWN, 3, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    SendMessageA(slider, WM_USER, kTrackSetPosition, c.before);
    SetFocus(GetDlgItem(sheet.window(), IDOK));
    click(c.label, c.message);
    EXPECT_EQ(position(), c.after);
    EXPECT_EQ(GetFocus() == slider, c.label != 0);
  }
}

TEST_F(Frame, ChangesEnableApplyThroughTheRecordedSheetWindow) {
  FrameSheet sheet(fixture_, 1);
  HWND page = sheet.page(1);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sheet.window(), kApplyButton)));
  EXPECT_EQ(NotifySheetChanged(page, &fixture_.param()), 1);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(sheet.window(), kApplyButton)));
  shared().sheet_window = nullptr;
  EXPECT_EQ(NotifySheetChanged(page, &fixture_.param()), 0);
  EXPECT_EQ(NotifySheetChanged(page, nullptr), 0);
}

// ---- Help ---------------------------------------------------------------------------------------

struct HelpCall {
  HWND window;
  std::string file;
  UINT command;
  ULONG_PTR data;
};
std::vector<HelpCall>& HelpCalls() {
  static std::vector<HelpCall> calls;
  return calls;
}
BOOL WINAPI RecordHelp(HWND window, LPCSTR file, UINT command, ULONG_PTR data) {
  HelpCalls().push_back({window, file != nullptr ? file : "", command, data});
  return TRUE;
}

// The help system never runs for real in a test: the recorder stands in for it.
class HelpRecorder {
 public:
  HelpRecorder() : previous_(ReplaceWinHelp(&RecordHelp)) { HelpCalls().clear(); }
  ~HelpRecorder() { ReplaceWinHelp(previous_); }
  HelpRecorder(const HelpRecorder&) = delete;
  HelpRecorder& operator=(const HelpRecorder&) = delete;

 private:
  WinHelpFunction previous_;
};

TEST(HelpTables, SizesFirstPairsAndControlsWithoutHelp) {
  struct Case {
    std::span<const HelpIdPair> table;
    size_t pairs;
    HelpIdPair first;
    int without_help;
  };
  const Case cases[] = {
      {PageHelpTable(DocumentPage::kMain), 58, {900, 256}, 5},
      {PageHelpTable(DocumentPage::kPaper), 40, {901, 512}, 2},
      {PageHelpTable(DocumentPage::kLayout), 39, {902, 768}, 3},
      {PageHelpTable(DocumentPage::kUtility), 36, {903, 1024}, 2},
      {BindingMarginHelpTable(), 16, {2960, 5376}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first.control);
    ASSERT_EQ(c.table.size(), c.pairs + 1);
    EXPECT_EQ(c.table.front().control, c.first.control);
    EXPECT_EQ(c.table.front().context, c.first.context);
    EXPECT_EQ(c.table.back().control, 0u);
    EXPECT_EQ(c.table.back().context, 0u);
    int none = 0;
    for (const HelpIdPair& pair : c.table.first(c.pairs)) {
      EXPECT_NE(pair.control, 0u);
      if (pair.context == kNoHelp) ++none;
    }
    EXPECT_EQ(none, c.without_help);
  }
  EXPECT_EQ(PageHelpContext(DocumentPage::kPaper), 512u);
  // The main page lists 2048 twice, with its context and then without help.
  int seen = 0;
  for (const HelpIdPair& pair : PageHelpTable(DocumentPage::kMain)) {
    if (pair.control == 2048) {
      EXPECT_EQ(pair.context, seen++ == 0 ? 400u : kNoHelp);
    }
  }
  EXPECT_EQ(seen, 2);
}

// Context help and help topics through the help system's entry: the help file of the settings,
// the page's table, and for the context menu the page window rather than the control.
TEST_F(Frame, HelpGoesThroughTheReplaceableHelpEntry) {
  HelpRecorder recorder;
  char help_file[MAX_PATH] = {};
  fixture_.settings().GetHelpFilePath(help_file, sizeof(help_file));
  FrameSheet sheet(fixture_, 2);
  HWND page = sheet.page(2);
  HWND control = GetDlgItem(page, 2403);
  ASSERT_NE(control, nullptr);

  // The page procedures are called directly: no help message goes through the window system.
  LayoutPageProc(page, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control), MAKELPARAM(10, 10));
  HELPINFO info = {sizeof(HELPINFO), HELPINFO_WINDOW, 2403, control, 2403, {10, 10}};
  LayoutPageProc(page, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
  NMHDR help = {sheet.window(), 0, static_cast<UINT>(PSN_HELP)};
  LayoutPageProc(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&help));
  EXPECT_TRUE(ShowHelpTopic(page, &fixture_.param(), kBindingMarginHelpContext));
  EXPECT_FALSE(ShowHelpTopic(page, nullptr, 1));

  const auto table = reinterpret_cast<ULONG_PTR>(PageHelpTable(DocumentPage::kLayout).data());
  const std::vector<HelpCall>& calls = HelpCalls();
  ASSERT_EQ(calls.size(), 4u);
  struct Expected {
    HWND window;
    UINT command;
    ULONG_PTR data;
  };
  const Expected expected[] = {{page, HELP_CONTEXTMENU, table},
                               {control, HELP_WM_HELP, table},
                               {page, HELP_CONTEXT, 768},
                               {page, HELP_CONTEXT, kBindingMarginHelpContext}};
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].window, expected[i].window) << i;
    EXPECT_EQ(calls[i].command, expected[i].command) << i;
    EXPECT_EQ(calls[i].data, expected[i].data) << i;
    EXPECT_EQ(calls[i].file, help_file) << i;
  }
}

// ---- Snapshots, resources and small services ----------------------------------------------------

TEST_F(Frame, DialogCancelRestoresAndFreesItsSnapshot) {
  const settings::DriverDevMode before = record();
  shared().dialog_snapshot = TakeDevModeSnapshot(fixture_.param());
  ASSERT_NE(shared().dialog_snapshot, nullptr);
  EXPECT_TRUE(SameRecord(shared().dialog_snapshot, &before));
  record().Public.dmCopies = static_cast<short>(before.Public.dmCopies + 5);
  test::HostedPage dialog(fixture_, 901);
  ASSERT_NE(dialog.window(), nullptr);
  EXPECT_TRUE(CancelDialogSnapshot(dialog.window(), &fixture_.param(), &shared().dialog_snapshot, kPaperPageTips, 0));
  EXPECT_TRUE(SameRecord(&record(), &before));
  EXPECT_EQ(shared().dialog_snapshot, nullptr);
  // Without a snapshot nothing is restored.
  record().Public.dmCopies = 9;
  EXPECT_TRUE(CancelDialogSnapshot(dialog.window(), &fixture_.param(), &shared().dialog_snapshot, kPaperPageTips, 0));
  EXPECT_EQ(record().Public.dmCopies, 9);
}

TEST_F(Frame, ReleasePageResourcesFreesEveryBufferOnce) {
  auto block = [] {
    platform::GlobalBlock b;
    return b.Allocate(64) ? static_cast<void*>(b.Release()) : nullptr;
  };
  shared().sample_picture = block();
  shared().watermark_bitmap = block();
  shared().watermark_display = block();
  shared().sheet_snapshot = TakeDevModeSnapshot(fixture_.param());
  shared().dialog_snapshot = TakeDevModeSnapshot(fixture_.param());
  shared().inner_dialog_snapshot = TakeDevModeSnapshot(fixture_.param());
  LOGPALETTE palette = {0x300, 1, {{1, 2, 3, 0}}};
  shared().preview_palette = CreatePalette(&palette);
  ASSERT_NE(shared().preview_palette, nullptr);
  ReleasePageResources(&fixture_.param());
  EXPECT_EQ(shared().sample_picture, nullptr);
  EXPECT_EQ(shared().watermark_bitmap, nullptr);
  EXPECT_EQ(shared().watermark_display, nullptr);
  EXPECT_EQ(shared().sheet_snapshot, nullptr);
  EXPECT_EQ(shared().dialog_snapshot, nullptr);
  EXPECT_EQ(shared().inner_dialog_snapshot, nullptr);
  EXPECT_EQ(shared().preview_palette, nullptr);
  ReleasePageResources(&fixture_.param());  // a second release finds nothing
  ReleasePageResources(nullptr);
  PageParam no_shared = {&fixture_.settings(), nullptr, nullptr};
  ReleasePageResources(&no_shared);
}

TEST(PageServices, WindowsDirectoryEndsWithABackslash) {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, sizeof(windows));
  const std::string expected = std::string(windows) + (std::string(windows).back() == '\\' ? "" : "\\");
  char path[MAX_PATH] = "untouched";
  GetWindowsDirPath(path, sizeof(path));
  EXPECT_EQ(std::string(path), expected);
  char small[4] = {};
  GetWindowsDirPath(small, sizeof(small));
  EXPECT_EQ(std::string(small), expected.substr(0, 3));
  GetWindowsDirPath(nullptr, 10);
}

TEST_F(Frame, DriverVersionTextFollowsItsLabel) {
  test::HostedPage page(fixture_, 900);
  HWND label = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 100, 10, page.window(), nullptr, nullptr, nullptr);
  ShowDriverVersionText(label, &fixture_.param());
  char text[MAX_PATH] = {};
  GetWindowTextA(label, text, sizeof(text));
  char caption[65] = {};
  LoadStringA(fixture_.module(), 8064, caption, sizeof(caption));
  char version[128] = {};
  fixture_.settings().GetDriverVersionText(version, sizeof(version));
  EXPECT_EQ(std::string(text), std::string(caption) + " " + version);
  EXPECT_GT(std::string(version).size(), 0u);
}

}  // namespace
}  // namespace kalimu::pages
