// The main page on the document sheet as an application gets it.
#include <gtest/gtest.h>

#include "kalimu/pages/paper_page_sheet_test_support.h"
#include "kalimu/pages/tooltips.h"

namespace kalimu::pages {
namespace {

// The main page's finest-detail check box (its header and the layout page's share names).
constexpr int kFinestDetailCheck = 2056;

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

}  // namespace
}  // namespace kalimu::pages
