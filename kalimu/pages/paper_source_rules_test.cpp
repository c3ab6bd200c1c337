// The rules that follow the paper source, on the paper page's template: the source list, a source
// chosen from it, and the roll kind a paired source sets. Refused sources, the cut-mode and
// feed-mode lists on the document sheet itself: paper_page_sheet_test.cpp.
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/paper_source_rules.h"

#include <gtest/gtest.h>
#include <prsht.h>

#include <cstring>

#include "kalimu/pages/page_helpers.h"
#include "kalimu/pages/paper_page.h"
#include "kalimu/pages/paper_page_test_support.h"
#include "kalimu/pages/tooltips.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::pages {
namespace {

using test::LibraryString;
using test::PageFixture;
using test::PageHost;

constexpr uint32_t kCutter = 0x10 | 0x20;  // header word 28: a cutter, standard and on

std::unique_ptr<PageHost> OpenPaperPage(PageFixture& fixture) {
  auto page = std::make_unique<PageHost>(fixture, kPaperPageTemplate, &PaperPageProc);
  if (page->window() != nullptr) page->Notify(PSN_SETACTIVE);
  return page;
}

class SourceRules : public ::testing::Test {
 protected:
  void TearDown() override { RemovePageToolTipHooks(); }
};

TEST_F(SourceRules, ListLeavesOutPairedVariantsAndShowsTheCurrentSource) {
  PageFixture fixture(test::PaperModel());
  ASSERT_TRUE(fixture.ok()) << fixture.error();
  for (int current : {test::kSheetFeeder, test::kNarrowRoll, test::kSpecialFeed}) {
    test::UseSource(fixture.settings(), current);
    auto page = OpenPaperPage(fixture);
    // Sources with a paired feed variant (256, 257, 530) are reached through 2233, never listed.
    EXPECT_EQ(page->Items(kPaperSourceList), (std::vector<LPARAM>{test::kSheetFeeder, test::kNarrowRoll})) << current;
    EXPECT_EQ(page->ItemTexts(kPaperSourceList),
              (std::vector<std::string>{LibraryString(fixture, 1501), LibraryString(fixture, 1502)}));
    if (current == test::kSpecialFeed) {
      // Not listed itself: the item of its group, whose position among all sources differs.
      EXPECT_NE(page->Selected(kPaperSourceList), -1);
    } else {
      EXPECT_EQ(page->Selected(kPaperSourceList), current);
    }
  }
}

TEST_F(SourceRules, ChangingTheSourceFromTheList) {
  PageFixture fixture(test::PaperModel());
  ASSERT_TRUE(fixture.ok()) << fixture.error();
  settings::JobSettings& s = fixture.settings();
  test::UseSource(s, test::kSheetFeeder);
  auto page = OpenPaperPage(fixture);
  testkit::MessageBoxWatcher boxes;
  ASSERT_TRUE(page->Choose(kPaperSourceList, test::kNarrowRoll));
  EXPECT_EQ(s.GetPaperSourceIndex(), static_cast<uint32_t>(test::kNarrowRoll));
  EXPECT_EQ(s.GetDefaultSource(), 4);
  // The roll options replace the margin options.
  EXPECT_TRUE(page->Visible(kRollGroup));
  EXPECT_FALSE(page->Visible(kMarginGroup));
  // Choosing the current source again changes nothing; a notification other than a selection
  // change does nothing at all.
  const settings::DriverDevMode before = fixture.record();
  ASSERT_TRUE(page->Choose(kPaperSourceList, test::kNarrowRoll));
  page->Command(kPaperSourceList, CBN_DROPDOWN);
  EXPECT_EQ(std::memcmp(&before, &fixture.record(), sizeof(before)), 0);
  EXPECT_TRUE(boxes.shown().empty());
}

// On a cutter model a roll source's identifier sets the roll kind: 530/531 clear paper option
// 0x100, 256/257 set it; any identifier other than 530 clears paper option 4.
TEST_F(SourceRules, PairedSourceChangeOnACutterModel) {
  PageFixture fixture(test::PaperModel(kCutter));
  ASSERT_TRUE(fixture.ok()) << fixture.error();
  settings::JobSettings& s = fixture.settings();
  test::UseSource(s, test::kSheetFeeder);
  auto page = OpenPaperPage(fixture);
  testkit::MessageBoxWatcher boxes;
  const struct {
    int source;
    bool bit256;
  } steps[] = {{test::kWideRoll, false}, {test::kPairedRoll, true}, {test::kSpecialFeed, true}};
  for (const auto& step : steps) {
    s.SetPaperOptionBits(4, 1);
    ChangePaperSource(page->window(), fixture.param(), step.source, false);
    if (s.GetPaperSourceIndex() != step.source) continue;  // refused by the model
    EXPECT_EQ(s.TestPaperOptionBits(0x100) != 0, step.bit256) << step.source;
    EXPECT_EQ(s.TestPaperOptionBits(4) != 0, step.source == test::kWideRoll) << step.source;
  }
}

}  // namespace
}  // namespace kalimu::pages
