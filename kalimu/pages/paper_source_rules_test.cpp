// The rules that follow the paper source, on the paper page's template: the source list, refused
// source changes, the cut-mode lists of the source classes, media that refuse cut modes, and the
// feed-mode list.
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/paper_source_rules.h"

#include <gtest/gtest.h>
#include <prsht.h>

#include <algorithm>
#include <cstring>

#include "kalimu/pages/messages.h"
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

// A source the current media does not allow is refused with its message; nothing changes.
TEST_F(SourceRules, RefusedSourceShowsItsMessageAndChangesNothing) {
  testkit::ModelDescription model = test::PaperModel();
  for (auto& media : model.media) media.flags4 = ~0x0Cu;  // no media for source 1
  PageFixture fixture(model);
  ASSERT_TRUE(fixture.ok()) << fixture.error();
  settings::JobSettings& s = fixture.settings();
  test::UseSource(s, test::kSheetFeeder);
  auto page = OpenPaperPage(fixture);
  const int code = GetSourceConflictMessage(fixture.param(), test::kNarrowRoll);
  ASSERT_NE(code, 0) << "the model refuses source 1";
  const settings::DriverDevMode before = fixture.record();
  testkit::MessageBoxWatcher boxes;
  ASSERT_TRUE(page->Choose(kPaperSourceList, test::kNarrowRoll));
  EXPECT_EQ(std::memcmp(&before, &fixture.record(), sizeof(before)), 0) << "settings unchanged";
  EXPECT_EQ(page->Selected(kPaperSourceList), test::kSheetFeeder) << "the list shows the current source";
  ASSERT_EQ(boxes.shown().size(), 1u);
  // A media conflict on a source whose feed flags have no code of their own: message 40.
  EXPECT_EQ(code, 50);
  MessageText expected{};
  BuildSettingsMessage(fixture.param(), 40, &expected);
  EXPECT_EQ(boxes.shown()[0].text, expected.text);
  EXPECT_EQ(boxes.shown()[0].caption, expected.caption);
}

struct CutCase {
  const char* name;
  int source;
  uint32_t media_flags8;
  std::vector<UINT> texts;      // strings of modes 0..n-1
  std::vector<int> accepted;    // modes the media accepts
};

TEST_F(SourceRules, CutModeListsBySourceClassAndMedia) {
  const CutCase cases[] = {
      {"wide", test::kWideRoll, 0, {8087, 8088, 8089, 8103}, {0, 1, 2, 3}},
      {"narrow", test::kNarrowRoll, 0, {8087, 8102}, {0, 1}},
      {"wide, media bit 4", test::kWideRoll, 4, {8087, 8088, 8089, 8103}, {0}},
      {"narrow, media bit 4", test::kNarrowRoll, 4, {8087, 8102}, {0}},
  };
  for (const CutCase& c : cases) {
    PageFixture fixture(test::PaperModel(kCutter, c.media_flags8));
    ASSERT_TRUE(fixture.ok()) << fixture.error();
    settings::JobSettings& s = fixture.settings();
    test::UseSource(s, c.source);
    s.SetCutOptions(0);
    auto page = OpenPaperPage(fixture);
    std::vector<std::string> expected;
    for (UINT id : c.texts) expected.push_back(LibraryString(fixture, id));
    EXPECT_EQ(page->ItemTexts(kCutModeList), expected) << c.name;
    EXPECT_TRUE(page->Enabled(kCutModeList)) << c.name;
    testkit::MessageBoxWatcher boxes;
    for (int mode = 0; mode < static_cast<int>(c.texts.size()); ++mode) {
      s.SetCutOptions(0);
      page->Notify(PSN_SETACTIVE);
      ASSERT_TRUE(page->Choose(kCutModeList, mode)) << c.name;
      const bool accepted = std::find(c.accepted.begin(), c.accepted.end(), mode) != c.accepted.end();
      EXPECT_EQ(GetCutModeFromSettings(s), accepted ? mode + 1 : 1) << c.name << " mode " << mode;
      if (!accepted) EXPECT_EQ(page->Selected(kCutModeList), 0) << c.name << ": the stored mode is shown again";
    }
  }
}

TEST_F(SourceRules, FeedModes) {
  const struct {
    const char* name;
    int source;
    bool enabled;
    std::vector<LPARAM> modes;
  } cases[] = {
      {"special feed 257", test::kSpecialFeed, true, {1}},
      {"wide roll", test::kWideRoll, true, {0, 1}},
      {"sheet feeder", test::kSheetFeeder, false, {}},
  };
  for (const auto& c : cases) {
    PageFixture fixture(test::PaperModel());
    ASSERT_TRUE(fixture.ok()) << fixture.error();
    test::UseSource(fixture.settings(), c.source);
    fixture.settings().SetScalingOptions(0);
    auto page = OpenPaperPage(fixture);
    EXPECT_EQ(page->Items(kFeedModeList), c.modes) << c.name;
    EXPECT_EQ(page->Enabled(kFeedModeList), c.enabled) << c.name;
  }
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
    if (s.GetPaperSourceIndex() != static_cast<uint32_t>(step.source)) continue;  // refused by the model
    EXPECT_EQ(s.TestPaperOptionBits(0x100) != 0, step.bit256) << step.source;
    EXPECT_EQ(s.TestPaperOptionBits(4) != 0, step.source == test::kWideRoll) << step.source;
  }
}

}  // namespace
}  // namespace kalimu::pages
