// The main page on the document sheet as an application gets it.
#include <gtest/gtest.h>

#include "kalimu/pages/paper_page_sheet_test_support.h"
#include "kalimu/pages/tooltips.h"

namespace kalimu::pages {
namespace {

// The main page's finest-detail check box (its header and the layout page's share names).
constexpr int kFinestDetailCheck = 2056;
constexpr int kMediaTypeCombo = 2004;

// On a standing document sheet: coming back to the main page shows the finest-detail box as the
// record holds it (quality level 5 with layout option 2), as a sheet opened again on such a
// record must.
TEST(MainPageOnSheet, FinestDetailIsCheckedFromTheRecordWhenThePageIsShown) {
  test::DocumentSheet sheet(testkit::RollPaperModel());
  ASSERT_TRUE(sheet.ok()) << sheet.error();
  sheet.Run(test::kMainPosition, [](test::SheetPage& page) {
    page.settings().SetModeVariant(0);  // black: the quality list leaves the level as it is
    const struct {
      uint32_t level;
      int layout_bit;
      bool checked;
    } cases[] = {{5, 1, true}, {0, 0, false}, {5, 0, false}, {3, 1, false}};
    for (const auto& c : cases) {
      page.settings().SetQualityLevel(c.level);
      page.settings().SetLayoutOptionBits(2, c.layout_bit);
      page.TurnTo(test::kPaperPosition);
      page.TurnTo(test::kMainPosition);
      EXPECT_EQ(page.Checked(kFinestDetailCheck), c.checked) << c.level << " " << c.layout_bit;
    }
  });
  RemovePageToolTipHooks();
}

// In the quality slider mode a media takes only when a slider preset covers it; the roll-paper
// model's slider presets are all on its first media. Choosing another leaves the media in force
// as it was, and the list must say so rather than show the refused choice (a sheet opened again
// would show the media the record holds).
TEST(MainPageOnSheet, MediaListShowsTheMediaInForceAfterAChoiceTheSliderModeRefuses) {
  test::DocumentSheet sheet(testkit::RollPaperModel());
  ASSERT_TRUE(sheet.ok()) << sheet.error();
  sheet.Run(test::kMainPosition, [](test::SheetPage& page) {
    settings::JobSettings& s = page.settings();
    ASSERT_EQ(s.GetPrintModeType(), 1u);
    const uint16_t before = s.GetCurrentMediaIndex();
    ASSERT_EQ(page.Selected(kMediaTypeCombo), before);
    std::vector<LPARAM> refused;
    uint32_t presets = 0;
    s.GetPresetGroup0Count(&presets);
    for (LPARAM media : page.Items(kMediaTypeCombo)) {
      bool covered = false;
      for (uint32_t i = 0; i < presets; ++i) covered = covered || s.GetPresetMediaIndex(static_cast<uint16_t>(i)) == media;
      if (!covered) refused.push_back(media);
    }
    ASSERT_FALSE(refused.empty()) << "the model's slider presets cover every media";
    for (LPARAM media : refused) {
      ASSERT_TRUE(page.Choose(kMediaTypeCombo, media));
      EXPECT_EQ(s.GetCurrentMediaIndex(), before) << media;
      EXPECT_EQ(page.Selected(kMediaTypeCombo), s.GetCurrentMediaIndex()) << media;
    }
    page.Press(PSBTN_OK);
  });
  RemovePageToolTipHooks();
}

}  // namespace
}  // namespace kalimu::pages
