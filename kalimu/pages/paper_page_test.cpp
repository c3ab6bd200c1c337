// The paper page on its template with its real procedure, driven by messages: copies, the default
// paper by measurement system, duplex against collation, the order picture, a one-source model,
// and Apply and Reset.
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/paper_page.h"

#include <gtest/gtest.h>
#include <prsht.h>

#include <cstring>

#include "kalimu/pages/paper_page_test_support.h"
#include "kalimu/pages/paper_source_rules.h"
#include "kalimu/pages/tooltips.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::pages {
namespace {

using test::PageFixture;
using test::PageHost;

class PaperPage : public ::testing::Test {
 protected:
  explicit PaperPage(const testkit::ModelDescription& model = test::PaperModel()) : fixture_(model) {}
  void SetUp() override {
    ASSERT_TRUE(fixture_.ok()) << fixture_.error();
    Open();
  }
  void TearDown() override {
    page_.reset();
    RemovePageToolTipHooks();
  }
  void Open() {
    page_.reset();
    page_ = std::make_unique<PageHost>(fixture_, kPaperPageTemplate, &PaperPageProc);
    ASSERT_NE(page_->window(), nullptr);
    page_->Notify(PSN_SETACTIVE);
  }
  settings::JobSettings& s() { return fixture_.settings(); }
  PageFixture fixture_;
  std::unique_ptr<PageHost> page_;
};

TEST_F(PaperPage, CopiesAreKeptBetweenOneAnd9999) {
  ASSERT_EQ(SendMessageA(page_->item(kCopiesEdit), EM_GETLIMITTEXT, 0, 0), 4) << "a fifth digit cannot be typed";
  // Typing, then the focus leaving.
  const struct {
    const char* typed;
    const char* while_typing;
    const char* shown;
    uint32_t stored;
  } typed[] = {{"0", "0", "1", 1}, {"-3", "-3", "1", 1}, {"", "", "1", 1}, {"25", "25", "25", 25},
               {"9999", "9999", "9999", 9999}, {"10000", "9999", "9999", 9999}};
  for (const auto& c : typed) {
    page_->Type(kCopiesEdit, c.typed, false);
    EXPECT_EQ(page_->Text(kCopiesEdit), c.while_typing) << c.typed;
    page_->Command(kCopiesEdit, EN_KILLFOCUS);
    EXPECT_EQ(page_->Text(kCopiesEdit), c.shown) << c.typed;
    EXPECT_EQ(s().GetCopies(), c.stored) << c.typed;
  }
  // The arrows.
  const struct {
    const char* start;
    int code;
    const char* shown;
  } arrows[] = {{"9999", SB_LINEUP, "9999"}, {"9998", SB_LINEUP, "9999"}, {"1", SB_LINEDOWN, "1"},
                {"2", SB_LINEDOWN, "1"},     {"5", SB_PAGEUP, "5"},       {"0", SB_LINEUP, "0"}};
  for (const auto& a : arrows) {
    page_->Type(kCopiesEdit, a.start, false);
    page_->Scroll(kCopiesArrows, a.code);
    EXPECT_EQ(page_->Text(kCopiesEdit), a.shown) << a.start << " " << a.code;
  }
  // Apply reads the edit once more, clamped.
  page_->Type(kCopiesEdit, "0", false);
  page_->Notify(PSN_APPLY);
  EXPECT_EQ(s().GetCopies(), 1u);
}

TEST_F(PaperPage, DefaultPaperFollowsTheMeasurementSystem) {
  // A paper size no model paper has: the locale chooses (kind 2 under U.S. measure, else kind 1).
  const struct {
    const char* measure;
    int16_t expected_id;
  } cases[] = {{"1", 1 /* Letter */}, {"0", 9 /* A4 */}};
  for (const auto& c : cases) {
    test::MeasureSystem measure(c.measure);
    ASSERT_TRUE(measure.ok());
    s().SetPaperSize(4242);
    FillPaperSizeList(page_->window(), fixture_.param(), s().GetSourceMaskBit(static_cast<uint16_t>(s().GetPaperSourceIndex())));
    int32_t id = 0;
    s().GetPaperSizeId(static_cast<uint16_t>(s().GetPaperSizeIndex()), &id);
    EXPECT_EQ(id, c.expected_id) << "measure " << c.measure;
    EXPECT_EQ(page_->Selected(kPaperSizeList), s().GetPaperSizeIndex()) << "measure " << c.measure;
  }
}

TEST_F(PaperPage, UserPapersAreFoundWhileAModelPaperIsSelected) {
  // A user paper with the device mode's size, stored after the selected model paper's index.
  uint32_t users = 2;
  ASSERT_TRUE(s().SetPaperCount(&users));
  const uint32_t mask = s().GetSourceMaskBit(static_cast<uint16_t>(s().GetPaperSourceIndex()));
  for (uint16_t j = 0; j < 2; ++j) {
    const uint32_t flags = 0xFFFFFFFFu;
    const int32_t id = 900 + j;
    s().SetPaperValue16(j, &flags);
    s().SetPaperId(j, &id);
    s().SetPaperName(j, j == 0 ? "Poster" : "Flyer", 5);
  }
  s().ChangePaperSizeIndex(0);  // a model paper: its index is no user count
  s().SetPaperSize(901);
  FillPaperSizeList(page_->window(), fixture_.param(), mask);
  uint32_t n = 0;
  s().GetPaperSizeCount(&n);
  EXPECT_EQ(s().GetPaperSizeIndex(), static_cast<int32_t>(n + 1));
  EXPECT_EQ(page_->Text(kPaperSizeList), "Flyer");
}

TEST_F(PaperPage, DuplexDisablesCollateReverseAndRotate) {
  for (const bool duplex : {true, false}) {
    s().ChangeDuplex(duplex ? DMDUP_VERTICAL : DMDUP_SIMPLEX);
    ASSERT_EQ(s().IsDuplexOn() != 0, duplex);
    page_->Notify(PSN_SETACTIVE);
    for (int control : {kCollateCheck, kReverseOrderCheck, kRotateCheck}) {
      EXPECT_EQ(page_->Enabled(control), !duplex) << control << " duplex " << duplex;
    }
  }
}

TEST_F(PaperPage, OrderPictureFollowsTheSettings) {
  const struct {
    uint32_t collate;
    bool reverse;
    int16_t picture;
  } cases[] = {{1, false, 7503}, {1, true, 7502}, {0, false, 7501}, {0, true, 7500}};
  for (const auto& c : cases) {
    s().ChangeDuplex(DMDUP_SIMPLEX);
    s().SetCollate(c.collate);
    s().SetLayoutOptionBits(0x80, c.reverse ? 1 : 0);
    page_->Notify(PSN_SETACTIVE);
    EXPECT_EQ(fixture_.shared().order_picture_id, c.picture);
  }
  // Clicking the boxes changes the settings, and the picture with them.
  s().SetCollate(0);
  s().SetLayoutOptionBits(0x80, 0);
  page_->Notify(PSN_SETACTIVE);
  page_->Click(kCollateCheck);
  EXPECT_EQ(s().IsCollateOn(), 1);
  EXPECT_EQ(fixture_.shared().order_picture_id, 7503);
  page_->Click(kReverseOrderCheck);
  EXPECT_EQ(fixture_.shared().order_picture_id, 7502);
  // A box changed without the settings leaves the picture alone.
  CheckDlgButton(page_->window(), kCollateCheck, BST_UNCHECKED);
  UpdateOrderPicture(page_->window(), fixture_.param());
  EXPECT_EQ(fixture_.shared().order_picture_id, 7502);
}

TEST_F(PaperPage, ApplyReportsToTheSheetAndResetRestores) {
  struct Call {
    HANDLE sheet;
    WORD function;
    LPARAM page;
    LPARAM result;
  };
  static std::vector<Call> calls;
  calls.clear();
  fixture_.param().context->sheet_callback = [](HANDLE sheet, UINT function, LPARAM page, LPARAM result) -> LONG_PTR {
    calls.push_back({sheet, static_cast<WORD>(function), page, result});
    return 1;
  };
  fixture_.param().context->page_handles[driver::kPaperPage] = 0x1234;
  ASSERT_EQ(s().ResetToDefaults(), 1);  // a whole record, as a sheet holds one
  Open();
  const uint32_t copies = s().GetCopies();
  page_->Type(kCopiesEdit, "17");
  ASSERT_EQ(s().GetCopies(), 17u);
  page_->Notify(PSN_APPLY);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].function, CPSFUNC_SET_RESULT);
  EXPECT_EQ(calls[0].page, 0x1234);
  EXPECT_EQ(calls[0].result, CPSUI_OK);
  EXPECT_EQ(GetWindowLongPtrA(page_->window(), DWLP_MSGRESULT), PSNRET_NOERROR);
  EXPECT_EQ(fixture_.param().context->dev_mode.Public.dmCopies, 17);
  EXPECT_EQ(fixture_.shared().sheet_snapshot, nullptr) << "the first page's Apply releases the snapshot";
  // A page opened afresh takes a new snapshot; Reset puts it back.
  Open();
  page_->Type(kCopiesEdit, "44");
  page_->Notify(PSN_RESET);
  EXPECT_EQ(s().GetCopies(), 17u);
  (void)copies;
  fixture_.param().context->sheet_callback = nullptr;
}

TEST_F(PaperPage, ReadOnlySheetDisablesEveryControlAtPaint) {
  fixture_.param().context->may_change = 0;
  ShowWindow(page_->frame(), SW_SHOWNOACTIVATE);
  ShowWindow(page_->window(), SW_SHOWNOACTIVATE);
  RedrawWindow(page_->window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  for (int control : {kPaperSizeList, kPortraitRadio, kCopiesEdit, kCollateCheck, kCopiesArrows}) {
    EXPECT_FALSE(page_->Enabled(control)) << control;
  }
  fixture_.param().context->may_change = 1;
}

// A model with one paper source shows neither the source list nor its label.
class OneSourcePaperPage : public PaperPage {
 protected:
  static testkit::ModelDescription Model() {
    testkit::ModelDescription m = test::PaperModel();
    m.sources.resize(1);
    return m;
  }
  OneSourcePaperPage() : PaperPage(Model()) {}
};

TEST_F(OneSourcePaperPage, HidesTheSourceList) {
  for (int control : {kPaperSourceList, kPaperSourceLabel}) {
    EXPECT_FALSE(page_->Visible(control)) << control;
    EXPECT_FALSE(page_->Enabled(control)) << control;
  }
  EXPECT_GT(SendMessageA(page_->item(kPaperSizeList), CB_GETCOUNT, 0, 0), 0);
}

}  // namespace
}  // namespace kalimu::pages
