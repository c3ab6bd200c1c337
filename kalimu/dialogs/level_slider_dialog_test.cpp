// The level slider dialog driven by messages: the bar shows the feed index reversed, OK stores
// it by hand and keeps the derived index in the automatic mode, the feed mode follows the scaling and paper options, and the
// automatic choice takes the paper's own index.
#include "kalimu/dialogs/level_slider_dialog.h"

#include <gtest/gtest.h>

#include <memory>

#include "kalimu/dialogs/dialog_run_test_support.h"
#include "kalimu/pages/page_test_support.h"
#include "kalimu/pages/resource_dialogs.h"
#include "kalimu/pages/tooltips.h"
#include "kalimu/pages/track_bar.h"

namespace kalimu::dialogs {
namespace {

using pages::test::HostedPage;
using pages::test::PageFixture;
using test::Checked;
using test::Click;
using test::Enabled;
using test::ModalRun;
using test::TextOf;

int BarPosition(HWND dialog) {
  return static_cast<int>(SendDlgItemMessageA(dialog, kFeedBar, WM_USER, pages::kTrackGetPosition, 0));
}
void MoveBar(HWND dialog, int position) {
  SendDlgItemMessageA(dialog, kFeedBar, WM_USER, pages::kTrackSetPosition, position);
}

class LevelSliderDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.ok()) << fixture_.error();
    page_ = std::make_unique<HostedPage>(fixture_, 901);
    s().SetScalingOptions(0);
    s().SetPaperOptionBits(1 | 0x100, 0);
    s().SetPaperFeedAuto(0);
  }
  void TearDown() override { pages::RemovePageToolTipHooks(); }
  settings::JobSettings& s() { return fixture_.settings(); }
  INT_PTR Run(ModalRun::Script script) {
    return ModalRun::Run(fixture_.module(), page_->window(), &LevelSliderDlgProc, kLevelSliderDialog,
                            &fixture_.param(), std::move(script));
  }
  PageFixture fixture_{pages::test::InkModel(8, true)};
  std::unique_ptr<HostedPage> page_;
};

// By hand, OK stores the index the bar shows whenever it differs from the stored one (a stored
// index above 2 shows as 0 and is stored as such); in the automatic mode the derived index, which
// may be 3 or 4, stays.
TEST_F(LevelSliderDialog, BarShowsTheIndexReversedAndOkStoresItByHand) {
  const struct {
    uint32_t stored;
    uint32_t automatic;
    int shown;
    int moved_to;  // -1: untouched
    uint32_t after_ok;
  } cases[] = {{0, 0, 2, 0, 2}, {2, 0, 0, 1, 1}, {1, 0, 1, -1, 1}, {3, 0, 2, -1, 0}, {4, 0, 2, 2, 0},
               {4, 0, 2, 1, 1},  {3, 0, 2, 0, 2}, {3, 1, 2, -1, 3}, {4, 1, 2, -1, 4}, {1, 1, 1, -1, 1}};
  for (const auto& c : cases) {
    s().SetPaperFeedIndex(c.stored);
    s().SetPaperFeedAuto(c.automatic);
    const INT_PTR result = Run([&](HWND dialog) {
      EXPECT_EQ(BarPosition(dialog), c.shown) << "stored " << c.stored;
      EXPECT_EQ(Checked(dialog, kFeedByHand), c.automatic == 0);
      EXPECT_EQ(Enabled(dialog, kFeedBar), c.automatic == 0);
      EXPECT_EQ(TextOf(dialog, kFeedLabel0), "Thick");
      if (c.moved_to >= 0) MoveBar(dialog, c.moved_to);
      Click(dialog, kFeedOk);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(s().GetPaperFeedIndex(), c.after_ok)
        << "stored " << c.stored << " automatic " << c.automatic << " moved to " << c.moved_to;
  }
  EXPECT_EQ(fixture_.shared().inner_dialog_snapshot, nullptr);
}

TEST_F(LevelSliderDialog, FeedModeFollowsScalingAndPaperOptions) {
  const struct {
    const char* name;
    uint32_t scaling, paper_options, stored_auto;
    bool by_hand_enabled, automatic_enabled, automatic_checked, group_enabled;
    uint32_t auto_after_open;
  } cases[] = {
      {"fit to the output paper", 2, 1 | 0x100, 1, true, false, false, true, 0},
      {"scaled to the output paper", 8, 0, 1, true, false, false, true, 0},
      {"paper options 1 and 0x100", 0, 1 | 0x100, 0, false, true, true, false, 1},
      {"automatic stored", 0, 1, 1, true, true, true, false, 1},
      {"by hand", 0, 0x100, 0, true, true, false, true, 0},
  };
  for (const auto& c : cases) {
    s().SetScalingOptions(c.scaling);
    s().SetPaperOptionBits(1 | 0x100, 0);
    s().SetPaperOptionBits(c.paper_options, 1);
    s().SetPaperFeedAuto(c.stored_auto);
    Run([&](HWND dialog) {
      EXPECT_EQ(Enabled(dialog, kFeedByHand), c.by_hand_enabled) << c.name;
      EXPECT_EQ(Enabled(dialog, kFeedAutomatic), c.automatic_enabled) << c.name;
      EXPECT_EQ(Checked(dialog, kFeedAutomatic), c.automatic_checked) << c.name;
      EXPECT_EQ(Checked(dialog, kFeedByHand), !c.automatic_checked) << c.name;
      for (int id : {int{kFeedBar}, kFeedLabel0 + 0, kFeedLabel0 + 1, kFeedLabel0 + 2, int{kFeedText}, int{kFeedFrame}}) {
        EXPECT_EQ(Enabled(dialog, id), c.group_enabled) << c.name << " " << id;
      }
      EXPECT_EQ(s().GetPaperFeedAuto(), c.auto_after_open) << c.name;
      Click(dialog, kFeedOk);
    });
  }
}

TEST_F(LevelSliderDialog, AutomaticTakesThePapersIndexAndCancelRestores) {
  s().SetPaperFeedIndex(0);
  s().SetScalingOptions(0);
  const uint32_t derived = s().DerivePaperFeedIndex();
  Run([&](HWND dialog) {
    Click(dialog, kFeedAutomatic);
    EXPECT_EQ(s().GetPaperFeedIndex(), derived);
    EXPECT_EQ(BarPosition(dialog), FeedBarPosition(static_cast<int>(derived)));
    EXPECT_FALSE(Enabled(dialog, kFeedBar));
    EXPECT_FALSE(Enabled(dialog, kFeedLabel0 + 2));
    EXPECT_EQ(s().GetPaperFeedAuto(), 1u);
    Click(dialog, kFeedByHand);
    EXPECT_TRUE(Enabled(dialog, kFeedBar));
    EXPECT_EQ(s().GetPaperFeedAuto(), 0u);
    Click(dialog, kFeedAutomatic);
    Click(dialog, kFeedOk);
  });
  EXPECT_EQ(s().GetPaperFeedIndex(), derived) << "an untouched bar keeps the derived index";
  EXPECT_EQ(s().GetPaperFeedAuto(), 1u);
  // Cancel: everything as before the dialog.
  s().SetPaperFeedAuto(0);
  s().SetPaperFeedIndex(1);
  const INT_PTR result = Run([&](HWND dialog) {
    Click(dialog, kFeedAutomatic);
    MoveBar(dialog, 2);
    Click(dialog, kFeedCancel);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(s().GetPaperFeedIndex(), 1u);
  EXPECT_EQ(s().GetPaperFeedAuto(), 0u);
  // Notifications other than BN_CLICKED do nothing; Escape cancels.
  Run([&](HWND dialog) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kFeedOk, BN_DOUBLECLICKED), 0);
    EXPECT_TRUE(IsWindowVisible(dialog));
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(pages::SettingsDialogProcedure(pages::SettingsDialog::kLevelSlider), &LevelSliderDlgProc);
}

TEST(LevelSliderPositions, IndexesAboveTwoSitAtTheBarsEnd) {
  const int expected[] = {2, 1, 0, 0, 0};
  for (int index = 0; index < 5; ++index) EXPECT_EQ(FeedBarPosition(index), expected[index]) << index;
}

}  // namespace
}  // namespace kalimu::dialogs
