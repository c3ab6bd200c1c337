// The paper page on its template with its real procedure over a sheet's records of the test's
// own: what Apply reports to the sheet component, Reset, and a sheet without permission. The
// page's controls on the document sheet itself: paper_page_sheet_test.cpp.
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

}  // namespace
}  // namespace kalimu::pages
