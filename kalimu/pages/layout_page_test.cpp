// The layout page on its template with its real procedure, driven by messages: the percentage and
// its arrows, posters on long papers, duplex against the poster radio, and the watermark group
// with the list dialog.
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/layout_page.h"

#include <gtest/gtest.h>
#include <prsht.h>

#include <cstring>
#include <vector>

#include "kalimu/pages/messages.h"
#include "kalimu/pages/paper_page_test_support.h"
#include "kalimu/pages/tooltips.h"
#include "kalimu/platform/global_block.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::pages {
namespace {

using test::PageFixture;
using test::PageHost;

// The paper model whose sheet feeder allows duplex printing and scaling.
testkit::ModelDescription LayoutModel() {
  testkit::ModelDescription m = test::PaperModel();
  m.sources[test::kSheetFeeder].flags8 = 0x100000;
  return m;
}

int16_t PaperIndexOf(settings::JobSettings& s, int32_t id) {
  uint32_t n = 0;
  s.GetPaperSizeCount(&n);
  for (uint32_t i = 0; i < n; ++i) {
    int32_t other = 0;
    if (s.GetPaperSizeId(static_cast<uint16_t>(i), &other) && other == id) return static_cast<int16_t>(i);
  }
  return -1;
}

class LayoutPage : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.ok()) << fixture_.error();
    fixture_.shared().monitor_present = 1;
    test::UseSource(s(), test::kSheetFeeder);
    s().ChangeDuplex(DMDUP_SIMPLEX);
    Open();
  }
  void TearDown() override {
    page_.reset();
    RemovePageToolTipHooks();
  }
  void Open() {
    page_.reset();
    page_ = std::make_unique<PageHost>(fixture_, kLayoutPageTemplate, &LayoutPageProc);
    ASSERT_NE(page_->window(), nullptr);
  }
  void Refresh() { page_->Notify(PSN_SETACTIVE); }
  settings::JobSettings& s() { return fixture_.settings(); }
  PageFixture fixture_{LayoutModel()};
  std::unique_ptr<PageHost> page_;
};

TEST_F(LayoutPage, PercentageIsCorrectedWithMessage4) {
  s().ChangeScalingMode(8);
  Refresh();
  ASSERT_TRUE(page_->Checked(kScaleRadio));
  ASSERT_EQ(SendMessageA(page_->item(kScaleEdit), EM_GETLIMITTEXT, 0, 0), 3);
  MessageText message4{};
  BuildSettingsMessage(fixture_.param(), 4, &message4);
  const struct {
    const char* typed;
    const char* shown;
    uint32_t stored;
    bool message;
  } cases[] = {{"0", "100", 100, true},  {"5", "10", 10, true},    {"999", "650", 650, true},
               {"10", "10", 10, false},  {"650", "650", 650, false}, {"77", "77", 77, false},
               {"-8", "10", 10, true}};
  for (const auto& c : cases) {
    testkit::MessageBoxWatcher boxes;
    page_->Type(kScaleEdit, c.typed);
    EXPECT_EQ(page_->Text(kScaleEdit), c.shown) << c.typed;
    EXPECT_EQ(s().GetScalePercent(), c.stored) << c.typed;
    ASSERT_EQ(boxes.shown().size(), c.message ? 1u : 0u) << c.typed;
    if (c.message) EXPECT_EQ(boxes.shown()[0].text, message4.text);
  }
  // Apply corrects once more.
  testkit::MessageBoxWatcher boxes;
  SetWindowTextA(page_->item(kScaleEdit), "3");
  page_->Notify(PSN_APPLY);
  EXPECT_EQ(s().GetScalePercent(), 10u);
  EXPECT_EQ(boxes.shown().size(), 1u);
}

TEST_F(LayoutPage, PercentageArrowsStopAtTheLimits) {
  s().ChangeScalingMode(8);
  Refresh();
  const struct {
    const char* start;
    int code;
    const char* shown;
  } cases[] = {{"650", SB_LINEUP, "650"}, {"10", SB_LINEDOWN, "10"}, {"649", SB_LINEUP, "650"},
               {"11", SB_LINEDOWN, "10"}, {"100", SB_PAGEDOWN, "100"}, {"700", SB_LINEUP, "650"},
               {"5", SB_LINEDOWN, "10"}};
  for (const auto& c : cases) {
    page_->Type(kScaleEdit, c.start, false);
    page_->Scroll(kScaleArrows, c.code);
    EXPECT_EQ(page_->Text(kScaleEdit), c.shown) << c.start << " " << c.code;
  }
}

TEST_F(LayoutPage, PosterOfFourByFourNeedsANearlySquarePaper) {
  const int16_t a4 = PaperIndexOf(s(), 9);
  const int16_t long_roll = PaperIndexOf(s(), testkit::kLongRollPaperId);
  ASSERT_GE(a4, 0);
  ASSERT_GE(long_roll, 0);
  testkit::MessageBoxWatcher boxes;  // the paper notices
  s().ChangeScalingMode(2);
  s().ChangeOutputPaperSize(9);
  s().ChangePagesPerSheet(-4);
  Refresh();
  ASSERT_EQ(s().IsNearlySquarePaper(), 1);
  ASSERT_EQ(s().GetPagesPerSheet(), -4);
  EXPECT_TRUE(page_->Enabled(kPoster4Radio));
  EXPECT_TRUE(page_->Checked(kPoster4Radio));
  // A paper of aspect 2 or more: code -4 becomes 1 and 2449 is offered no more.
  ASSERT_TRUE(page_->Choose(kOutputPaperList, long_roll));
  ASSERT_EQ(s().IsNearlySquarePaper(), 0);
  EXPECT_EQ(s().GetPagesPerSheet(), 1);
  EXPECT_FALSE(page_->Enabled(kPoster4Radio));
  // Back on A4 with a poster of another kind: 2449 is offered again.
  s().ChangePagesPerSheet(-1);
  ASSERT_TRUE(page_->Choose(kOutputPaperList, a4));
  EXPECT_TRUE(page_->Enabled(kPoster4Radio));
}

TEST_F(LayoutPage, DuplexSwitchesOffThePosterRadio) {
  s().ChangePagesPerSheet(2);
  Refresh();
  ASSERT_TRUE(page_->Enabled(kDuplexCheck));
  ASSERT_TRUE(page_->Enabled(kPosterRadio));
  testkit::MessageBoxWatcher boxes;
  page_->Click(kDuplexCheck);
  EXPECT_TRUE(s().IsDuplexOn());
  EXPECT_FALSE(page_->Enabled(kPosterRadio));
  EXPECT_TRUE(page_->Enabled(kBindingMarginButton));
  page_->Click(kDuplexCheck);
  EXPECT_FALSE(s().IsDuplexOn());
  EXPECT_TRUE(page_->Enabled(kPosterRadio)) << "code 2: the poster radio comes back";
  // With a single page per sheet the poster radio stays off.
  page_->Click(kMultiPageCheck);
  ASSERT_EQ(s().GetPagesPerSheet(), 1);
  page_->Click(kDuplexCheck);
  page_->Click(kDuplexCheck);
  EXPECT_FALSE(page_->Enabled(kPosterRadio));
}

// An editor that answers a new list with one user entry added (a copy of the first, renamed)
// and selected: the store takes it.
storage::WatermarkEntry* AddUserEntry(HWND, HMODULE, const storage::WatermarkEntry* entries, int16_t* count,
                                      int16_t* selection, int16_t, int32_t, int32_t, const int32_t[4], const void*,
                                      const watermark::WatermarkHelpBlock*) {
  platform::GlobalBlock block;
  const size_t n = static_cast<size_t>(*count);
  if (n < 1 || !block.Allocate((n + 1) * sizeof(storage::WatermarkEntry))) return nullptr;
  auto* out = reinterpret_cast<storage::WatermarkEntry*>(block.data());
  std::memcpy(out, entries, n * sizeof(storage::WatermarkEntry));
  out[n] = entries[0];
  out[n].position = static_cast<int16_t>(n);
  out[n].bitmap_id = 0;  // a user's text watermark
  out[n].kind = 0;
  std::memset(out[n].name, 0, sizeof(out[n].name));
  std::memcpy(out[n].name, "MINE", 4);
  std::memset(out[n].text, 0, sizeof(out[n].text));
  std::memcpy(out[n].text, "MINE", 4);
  out[n].bitmap_path[0] = '\0';
  out[n].thumbnail_path[0] = '\0';
  *count += 1;
  *selection = static_cast<int16_t>(n);
  return reinterpret_cast<storage::WatermarkEntry*>(block.Release());
}

TEST_F(LayoutPage, ConfirmedWatermarkListReplacesTheEntries) {
  storage::WatermarkStore& store = s();
  uint32_t count = 0;
  uint32_t users = 0;
  store.GetEntryCount(&count);
  store.GetUserCount(&users);
  ASSERT_GT(count, 0u);
  s().SetWatermarkIndex(0);
  s().SetWatermarkEnabled(1);
  Refresh();
  const WatermarkEditorCall previous = ReplaceWatermarkEditor(1, &AddUserEntry);
  page_->Click(kWatermarkManageButton);
  ReplaceWatermarkEditor(1, previous);
  uint32_t after = 0;
  uint32_t users_after = 0;
  store.GetEntryCount(&after);
  store.GetUserCount(&users_after);
  EXPECT_EQ(after, count + 1);
  EXPECT_EQ(users_after, users + 1);
  char name[64] = {};
  store.GetEntryName(static_cast<uint16_t>(count), name, sizeof(name));
  EXPECT_STREQ(name, "MINE");
  EXPECT_EQ(s().GetWatermarkIndex(), count);
  EXPECT_EQ(page_->Selected(kWatermarkList), static_cast<LPARAM>(count));
  EXPECT_TRUE(page_->Enabled(kWatermarkEditButton));
}

// Deleting the user's entry in the list dialog and then cancelling leaves the store as it was.
TEST_F(LayoutPage, CancelledWatermarkListLeavesTheStoreUnchanged) {
  storage::WatermarkStore& store = s();
  Refresh();
  const WatermarkEditorCall previous = ReplaceWatermarkEditor(1, &AddUserEntry);
  page_->Click(kWatermarkManageButton);  // a user entry to delete
  ReplaceWatermarkEditor(1, previous);
  const auto entries_now = [&store] {
    uint32_t count = 0;
    store.GetEntryCount(&count);
    const auto* bytes = reinterpret_cast<const uint8_t*>(store.GetEntries());
    return std::vector<uint8_t>(bytes, bytes + count * sizeof(storage::WatermarkEntry));
  };
  const std::vector<uint8_t> before = entries_now();
  const uint32_t index = s().GetWatermarkIndex();
  const uint32_t flags = s().GetWatermarkFlags();
  testkit::MessageBoxWatcher boxes;  // "delete this watermark?" answered OK
  bool deleted = false;
  test::ModalScript script([&deleted](HWND dialog) {
    HWND names = GetDlgItem(dialog, 2901);
    const LRESULT before_count = SendMessageA(names, LB_GETCOUNT, 0, 0);
    SendMessageA(names, LB_SETCURSEL, 0, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(2901, LBN_SELCHANGE), reinterpret_cast<LPARAM>(names));
    SendMessageA(GetDlgItem(dialog, 2910), BM_CLICK, 0, 0);
    deleted = SendMessageA(names, LB_GETCOUNT, 0, 0) == before_count - 1;
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  page_->Click(kWatermarkManageButton);
  EXPECT_TRUE(script.ran()) << "the list dialog opened";
  EXPECT_TRUE(deleted) << "the entry was gone from the dialog's list";
  EXPECT_EQ(entries_now(), before);
  EXPECT_EQ(s().GetWatermarkIndex(), index);
  EXPECT_EQ(s().GetWatermarkFlags(), flags);
}

TEST_F(LayoutPage, NoWatermarkEntriesDisablesTheGroup) {
  Refresh();
  EXPECT_TRUE(page_->Enabled(kWatermarkList));
  const uint32_t none = 0;
  storage::WatermarkStore& store = s();
  ASSERT_TRUE(store.SetEntryCount(&none));
  Refresh();
  for (int control : {kWatermarkList, kWatermarkManageButton, kWatermarkLabel}) {
    EXPECT_FALSE(page_->Enabled(control)) << control;
  }
}

}  // namespace
}  // namespace kalimu::pages
