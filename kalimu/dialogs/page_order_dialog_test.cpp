// The page order dialog driven by messages: the printable shape test, the choices offered for two
// and four pages per sheet, their pictures and borders, OK and Cancel.
#include "kalimu/dialogs/page_order_dialog.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "kalimu/dialogs/dialog_run_test_support.h"
#include "kalimu/pages/page_test_support.h"
#include "kalimu/pages/resource_dialogs.h"
#include "kalimu/pages/tooltips.h"

namespace kalimu::dialogs {
namespace {

using pages::test::HostedPage;
using pages::test::PageFixture;
using test::Click;
using test::Enabled;
using test::ModalRun;
using test::Shown;
using test::TextOf;

class PageOrderDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.ok()) << fixture_.error();
    page_ = std::make_unique<HostedPage>(fixture_, 902);
    Shape(2100, 2970, {2000, 3000}, {0, 0, 0, 0}, DMORIENT_PORTRAIT);
  }
  void TearDown() override { pages::RemovePageToolTipHooks(); }

  settings::JobSettings& s() { return fixture_.settings(); }
  pages::PageShared& shared() { return fixture_.shared(); }
  void Shape(int32_t paper_width, int32_t paper_length, settings::ExtentPair dots, settings::EdgeValues margins,
             int orientation) {
    s().SetPaperWidth(paper_width);
    s().SetPaperLength(paper_length);
    s().SetPaperDotExtent(&dots);
    s().SetPaperMargins(&margins);
    s().SetOrientation(orientation);
  }
  INT_PTR Run(ModalRun::Script script) {
    return ModalRun::Run(fixture_.module(), page_->window(), &PageOrderDlgProc, kPageOrderDialog,
                            &fixture_.param(), std::move(script));
  }
  // The pixel at (x, y) of a button as drawn.
  static COLORREF PixelOf(HWND dialog, int id, int x, int y) {
    HWND button = GetDlgItem(dialog, id);
    RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(button);
    const COLORREF pixel = GetPixel(dc, x, y);
    ReleaseDC(button, dc);
    return pixel;
  }

  PageFixture fixture_{pages::test::InkModel(8, true)};
  std::unique_ptr<HostedPage> page_;
};

TEST_F(PageOrderDialog, PrintableShapeTest) {
  const struct {
    const char* name;
    int32_t paper_width, paper_length;
    settings::ExtentPair dots;
    settings::EdgeValues margins;  // left, top, right, bottom
    int orientation;
    uint32_t margin_bits, layout_bits;
    int portrait;
  } cases[] = {
      {"tall", 2100, 2970, {2000, 3000}, {0, 0, 0, 0}, DMORIENT_PORTRAIT, 0, 0, 1},
      {"wide", 2970, 2100, {3000, 2000}, {0, 0, 0, 0}, DMORIENT_LANDSCAPE, 0, 0, 0},
      {"margins make it wide", 2100, 2200, {2000, 2100}, {0, 100, 0, 100}, DMORIENT_PORTRAIT, 0, 0, 0},
      {"equal sides count as tall", 2100, 2200, {2000, 2000}, {10, 10, 10, 10}, DMORIENT_PORTRAIT, 0, 0, 1},
      {"square, landscape", 2000, 2000, {2000, 2000}, {0, 0, 0, 0}, DMORIENT_LANDSCAPE, 2, 0, 0},
      {"square, portrait", 2000, 2000, {2000, 2000}, {0, 300, 0, 300}, DMORIENT_PORTRAIT, 0, 0, 0},
      {"square, margin bit 2: crosswise", 2000, 2000, {2000, 2000}, {0, 300, 0, 300}, DMORIENT_PORTRAIT, 2, 0, 1},
      {"square, turned, bit 1 clear: crosswise", 2000, 2000, {2000, 2000}, {0, 300, 0, 300}, DMORIENT_PORTRAIT, 0,
       256, 1},
      {"square, turned, bit 1 set", 2000, 2000, {2000, 2000}, {0, 300, 0, 300}, DMORIENT_PORTRAIT, 1, 256, 0},
      {"square, turned twice", 2000, 2000, {2000, 2000}, {0, 300, 0, 300}, DMORIENT_PORTRAIT, 0, 256 | 2048, 0},
  };
  for (const auto& c : cases) {
    Shape(c.paper_width, c.paper_length, c.dots, c.margins, c.orientation);
    s().SetMarginOptions(c.margin_bits);
    s().SetLayoutOptionBits(256 | 2048, 0);
    s().SetLayoutOptionBits(c.layout_bits, 1);
    EXPECT_EQ(IsPrintableAreaPortrait(s()), c.portrait) << c.name;
  }
}

TEST_F(PageOrderDialog, TwoPagesPortraitOffersTheFirstTwoChoices) {
  s().SetPagesPerSheet(2);
  shared().page_order_choice = 2;
  Run([&](HWND dialog) {
    EXPECT_EQ(shared().page_order_choice, 0) << "a choice the shape does not offer becomes 0";
    EXPECT_TRUE(Enabled(dialog, kOrderButton0));
    EXPECT_TRUE(Enabled(dialog, kOrderButton0 + 1));
    EXPECT_FALSE(Enabled(dialog, kOrderButton0 + 2));
    EXPECT_FALSE(Shown(dialog, kOrderButton0 + 3));
    EXPECT_FALSE(Shown(dialog, kOrderLabel0 + 3));
    EXPECT_EQ(TextOf(dialog, kOrderLabel0), "Left to Right");
    EXPECT_EQ(TextOf(dialog, kOrderLabel0 + 2), "Top to Bottom");
    EXPECT_EQ(PageOrderBitmapId(s(), 0, Enabled(dialog, kOrderButton0)), 7700);
    EXPECT_EQ(PageOrderBitmapId(s(), 1, Enabled(dialog, kOrderButton0 + 1)), 7701);
    EXPECT_EQ(PageOrderBitmapId(s(), 2, Enabled(dialog, kOrderButton0 + 2)), 7705);
    // The current choice looks pressed: black along its top left, white along its bottom right.
    EXPECT_EQ(PixelOf(dialog, kOrderButton0, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(dialog, kOrderButton0, 1, 5), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(dialog, kOrderButton0 + 1, 0, 0), RGB(255, 255, 255));
    RECT box{};
    GetClientRect(GetDlgItem(dialog, kOrderButton0 + 1), &box);
    EXPECT_EQ(PixelOf(dialog, kOrderButton0 + 1, box.right - 1, box.bottom - 2), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(dialog, kOrderButton0, box.right - 2, box.bottom - 1), RGB(255, 255, 255));
    Click(dialog, kOrderButton0 + 1);
    EXPECT_EQ(shared().page_order_choice, 1);
    EXPECT_EQ(PixelOf(dialog, kOrderButton0 + 1, 0, 0), RGB(0, 0, 0));
    Click(dialog, IDOK);
  });
  EXPECT_EQ(s().GetPlacement(), 1);
}

TEST_F(PageOrderDialog, TwoPagesLandscapeOnATallAreaForcesTheThirdChoice) {
  s().SetPagesPerSheet(5);  // anything but four pages counts as two
  shared().page_order_choice = 0;
  Shape(2100, 2970, {2000, 3000}, {0, 0, 0, 0}, DMORIENT_LANDSCAPE);
  Run([&](HWND dialog) {
    EXPECT_EQ(s().GetPagesPerSheet(), 2);
    EXPECT_EQ(shared().page_order_choice, 2);
    EXPECT_FALSE(Enabled(dialog, kOrderButton0));
    EXPECT_FALSE(Enabled(dialog, kOrderButton0 + 1));
    EXPECT_TRUE(Enabled(dialog, kOrderButton0 + 2));
    EXPECT_EQ(PageOrderBitmapId(s(), 2, true), 7702);
    EXPECT_EQ(PageOrderBitmapId(s(), 0, false), 7703);
    Click(dialog, IDOK);
  });
  EXPECT_EQ(s().GetPlacement(), 2);
}

TEST_F(PageOrderDialog, FourPagesOfferEveryChoice) {
  s().SetPagesPerSheet(kFourPagesPerSheet);
  shared().page_order_choice = 3;
  s().SetLayoutOptionBits(64, 1);
  s().SetPlacement(0);
  Run([&](HWND dialog) {
    for (int k = 0; k < 4; ++k) {
      EXPECT_TRUE(Shown(dialog, kOrderButton0 + k)) << k;
      EXPECT_TRUE(Enabled(dialog, kOrderButton0 + k)) << k;
    }
    EXPECT_EQ(TextOf(dialog, kOrderLabel0 + 3), "Down, then Right to Left");
    const int natural = s().IsPaperOrientationNatural() ? 10 : 0;
    EXPECT_EQ(PageOrderBitmapId(s(), 3, true), 7713 + natural);
    Click(dialog, kOrderButton0 + 2);
    Click(dialog, IDOK);
  });
  EXPECT_EQ(s().GetPlacement(), 2);
  EXPECT_TRUE(s().HasLayoutOptionBit64()) << "OK keeps layout option bit 64";
  EXPECT_EQ(shared().dialog_snapshot, nullptr);
}

TEST_F(PageOrderDialog, CancelKeepsThePlacementAndTheChoice) {
  s().SetPagesPerSheet(kFourPagesPerSheet);
  s().SetPlacement(1);
  shared().page_order_choice = 1;
  const INT_PTR result = Run([&](HWND dialog) {
    Click(dialog, kOrderButton0 + 3);
    EXPECT_EQ(shared().page_order_choice, 3);
    Click(dialog, IDCANCEL);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(s().GetPlacement(), 1);
  EXPECT_EQ(shared().page_order_choice, 1);
  EXPECT_EQ(pages::SettingsDialogProcedure(pages::SettingsDialog::kPageOrder), &PageOrderDlgProc);
}

}  // namespace
}  // namespace kalimu::dialogs
