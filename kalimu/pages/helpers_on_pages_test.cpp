// The page helper routines on the real controls of the library's pages and dialogs: the paper
// size list, the correction mode and gamma lists, the feed text.
#include <gtest/gtest.h>

#include <string>

#include "kalimu/pages/page_helpers.h"
#include "kalimu/pages/page_test_support.h"

namespace kalimu::pages {
namespace {

using test::HostedPage;
using test::InkModel;
using test::PageFixture;

std::string SelectedText(HWND combo) {
  const LRESULT item = SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (item == CB_ERR) return "<none>";
  char text[256] = {};
  SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text));
  return text;
}

class OnPages : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fixture_.ok()) << fixture_.error(); }
  std::string Str(UINT id) {
    char text[256] = {};
    LoadStringA(fixture_.module(), id, text, sizeof(text));
    return text;
  }
  settings::JobSettings& s() { return fixture_.settings(); }
  PageFixture fixture_{InkModel(8, true)};
};

// A user paper selected while the user paper list is empty: the model paper with id 256 takes
// its place.
TEST_F(OnPages, EmptyUserPaperListFallsBackToPaper256) {
  HostedPage page(fixture_, 901);
  ASSERT_NE(page.window(), nullptr);
  uint32_t model_papers = 0;
  s().GetPaperSizeCount(&model_papers);
  uint32_t user_papers = 0;
  s().GetPaperCount(&user_papers);
  ASSERT_EQ(user_papers, 0u);
  s().SetPaperSizeIndex(static_cast<int32_t>(model_papers) + 1);
  ASSERT_TRUE(s().IsUserPaperSelected());
  FillPaperSizeCombo(page.window(), fixture_.param());
  EXPECT_EQ(s().GetPaperSize(), 256);
  ASSERT_LT(s().GetPaperSizeIndex(), static_cast<int32_t>(model_papers));
  EXPECT_TRUE(s().IsPaperIdAt(256, static_cast<uint16_t>(s().GetPaperSizeIndex())));
  EXPECT_EQ(SelectedText(page.item(kPaperSizeCombo)), Str(256));
  // Every listed item carries its model paper index.
  HWND combo = page.item(kPaperSizeCombo);
  const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  ASSERT_GT(count, 0);
  for (LRESULT i = 0; i < count; ++i) EXPECT_LT(SendMessageA(combo, CB_GETITEMDATA, i, 0), static_cast<LRESULT>(model_papers));
}

TEST_F(OnPages, CorrectionModeList) {
  HWND dialog = CreateDialogParamA(fixture_.module(), MAKEINTRESOURCEA(2100), nullptr, &HostedPage::StorePageParamProc,
                                   reinterpret_cast<LPARAM>(&fixture_.param()));
  ASSERT_NE(dialog, nullptr);
  HWND combo = GetDlgItem(dialog, 2102);
  struct Case {
    int32_t mode;
    std::string selected;
  };
  // Region 0: People, Automatic, Portrait; mode 8 looks for string 1759, which no item carries.
  for (const Case& c : {Case{8, "<none>"}, Case{9, "<none>"}, Case{7, Str(1724)}, Case{3, Str(1723)},
                        Case{6, Str(1726)}, Case{0, "<none>"}}) {
    s().SetCorrectionMode(c.mode);
    FillCorrectionModeCombo(dialog, fixture_.param());
    EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3) << c.mode;
    EXPECT_EQ(SelectedText(combo), c.selected) << c.mode;
  }
  DestroyWindow(dialog);
}

TEST_F(OnPages, GammaListSelectsTheDefaultForAnUnlistedValue) {
  HWND dialog = CreateDialogParamA(fixture_.module(), MAKEINTRESOURCEA(2100), nullptr, &HostedPage::StorePageParamProc,
                                   reinterpret_cast<LPARAM>(&fixture_.param()));
  ASSERT_NE(dialog, nullptr);
  HWND combo = GetDlgItem(dialog, 2184);
  s().SetColorMode(0);
  for (const auto& [gamma, selected] : {std::pair{220, "2.2"}, std::pair{180, "1.8"}, std::pair{170, "1.5"}}) {
    s().SetGamma(gamma);
    FillGammaCombo(dialog, fixture_.param());
    EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SelectedText(combo), selected) << gamma;
    EXPECT_TRUE(IsWindowEnabled(combo));
  }
  // Other colour modes hide the gamma controls.
  s().SetColorMode(2);
  FillGammaCombo(dialog, fixture_.param());
  EXPECT_FALSE(IsWindowEnabled(combo));
  EXPECT_EQ(GetWindowLongA(combo, GWL_STYLE) & WS_VISIBLE, 0);
  DestroyWindow(dialog);
}

}  // namespace
}  // namespace kalimu::pages
