// The slider adjustment dialog driven by messages: signed edits and their sign buttons, the
// drying and suction edits, the bars, the combos, defaults, OK and Cancel (also with the focus
// in an edit or a combo when the dialog ends).
#include "kalimu/dialogs/slider_adjust_dialog.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "kalimu/dialogs/dialog_run_test_support.h"
#include "kalimu/pages/page_test_support.h"
#include "kalimu/pages/tooltips.h"
#include "kalimu/pages/track_bar.h"

namespace kalimu::dialogs {
namespace {

using pages::test::HostedPage;
using pages::test::PageFixture;
using test::Click;
using test::Command;
using test::ModalRun;
using test::TextOf;
using test::Type;

int Bar(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageA(dialog, id, WM_USER, pages::kTrackGetPosition, 0));
}
// The user moves a bar: its position, then the notification it sends.
void MoveBar(HWND dialog, int id, int position) {
  SendDlgItemMessageA(dialog, id, WM_USER, pages::kTrackSetPosition, position);
  SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

class SliderAdjustDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.ok()) << fixture_.error();
    page_ = std::make_unique<HostedPage>(fixture_, 901);
    s().SetMediaTuning1(0);
    s().SetMediaTuning2(0);
    s().SetMediaTuning3(10);
    s().SetMediaTuning4(5);
    s().SetMediaTuning5(70);
    s().SetMediaTuning6(1);
    s().SetMediaTuning8(2);
    s().SetMediaTuning9(3);
    s().SetMediaTuningFlags(0);
  }
  void TearDown() override { pages::RemovePageToolTipHooks(); }
  settings::JobSettings& s() { return fixture_.settings(); }
  INT_PTR Run(ModalRun::Script script) {
    return ModalRun::Run(fixture_.module(), page_->window(), &SliderAdjustDlgProc, kSliderAdjustDialog,
                            &fixture_.param(), std::move(script));
  }
  int Value1() { return static_cast<int>(s().GetMediaTuning1()); }
  int Value2() { return static_cast<int>(s().GetMediaTuning2()); }
  bool Negative(int slot) { return (fixture_.shared().adjust_edit_states[slot] & pages::kEditNegative) != 0; }

  PageFixture fixture_{pages::test::InkModel(8, true)};
  std::unique_ptr<HostedPage> page_;
};

TEST_F(SliderAdjustDialog, OpensWithTheStoredValues) {
  s().SetMediaTuning1(-20);
  s().SetMediaTuning5(5);
  Run([&](HWND dialog) {
    EXPECT_EQ(TextOf(dialog, kDensityEdit), "20");
    EXPECT_EQ(Bar(dialog, kDensityBar), 30);
    EXPECT_TRUE(Negative(pages::kSliderAdjustEdit0));
    EXPECT_EQ(TextOf(dialog, kDryingEdit), "10");
    EXPECT_EQ(Bar(dialog, kDryingBar), 10);
    EXPECT_EQ(Bar(dialog, kFeedAdjustBar), 70);
    EXPECT_EQ(TextOf(dialog, kSuctionEdit), "5");
    EXPECT_EQ(Bar(dialog, kInkLimitBar), 4) << "value 5 of 70 would be position 2; 5 is below 42";
    EXPECT_EQ(SendDlgItemMessageA(dialog, kHeadHeightCombo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendDlgItemMessageA(dialog, kDryModeCombo, CB_GETCURSEL, 0, 0), 3);
    Click(dialog, kSliderOk);
  });
  EXPECT_EQ(s().GetMediaTuningFlags() & 1u, 1u);
}

TEST(SliderAdjustValues, InkLimitPositionsByMidpoints) {
  const struct {
    int32_t value;
    int position;
  } cases[] = {{100, 0}, {92, 0}, {91, 1}, {75, 1}, {74, 2}, {70, 2}, {58, 2}, {57, 3}, {42, 3}, {41, 4}, {0, 4}};
  for (const auto& c : cases) EXPECT_EQ(InkLimitPosition(c.value), c.position) << c.value;
  EXPECT_EQ(InkLimitValue(4), 34);
  EXPECT_EQ(InkLimitValue(2), 66);
}

TEST_F(SliderAdjustDialog, SignedEditsAndSignButtons) {
  Run([&](HWND dialog) {
    const struct {
      int edit;
      const char* typed;
      const char* shown;
      int value;
      bool negative;
    } cases[] = {
        {kDensityEdit, "75", "50", 50, false},    {kDensityEdit, "-30", "30", -30, true},
        {kDensityEdit, "12", "12", -12, true},    {kDensityEdit, "+12", "12", 12, false},
        {kDensityEdit, "123", "12", 12, false},   {kDensityEdit, "-", "", kEmptyNegative, true},
        {kFeedAdjustEdit, "99", "70", 70, false}, {kFeedAdjustEdit, "-5", "5", -5, true},
    };
    for (const auto& c : cases) {
      Type(dialog, c.edit, c.typed);
      EXPECT_EQ(TextOf(dialog, c.edit), c.shown) << c.typed;
      const int value = c.edit == kDensityEdit ? Value1() : Value2();
      EXPECT_EQ(value, c.value) << c.typed;
      EXPECT_EQ(Negative(c.edit == kDensityEdit ? pages::kSliderAdjustEdit0 : pages::kSliderAdjustEdit0 + 1),
                c.negative)
          << c.typed;
    }
    // Leaving the empty negative edit stores 0.
    Type(dialog, kDensityEdit, "-");
    EXPECT_EQ(Value1(), kEmptyNegative);
    Command(dialog, kDensityEdit, EN_KILLFOCUS);
    EXPECT_EQ(Value1(), 0);
    EXPECT_EQ(TextOf(dialog, kDensityEdit), "0");
    // The sign button flips the value; the marker counts as -50 and flips to +50.
    Type(dialog, kDensityEdit, "20");
    Click(dialog, kDensitySign);
    EXPECT_EQ(Value1(), -20);
    EXPECT_EQ(Bar(dialog, kDensityBar), 30);
    Type(dialog, kDensityEdit, "-");
    Click(dialog, kDensitySign);
    EXPECT_EQ(Value1(), 50);
    EXPECT_EQ(TextOf(dialog, kDensityEdit), "50");
    EXPECT_EQ(Bar(dialog, kDensityBar), 100);
    // Bars: 10 on the feed adjustment bar is -60.
    MoveBar(dialog, kFeedAdjustBar, 10);
    EXPECT_EQ(Value2(), -60);
    EXPECT_EQ(TextOf(dialog, kFeedAdjustEdit), "60");
    EXPECT_TRUE(Negative(pages::kSliderAdjustEdit0 + 1));
    MoveBar(dialog, kInkLimitBar, 4);
    EXPECT_EQ(s().GetMediaTuning5(), 34u);
    MoveBar(dialog, kDryingBar, 33);
    EXPECT_EQ(TextOf(dialog, kDryingEdit), "33");
    EXPECT_EQ(s().GetMediaTuning3(), 33u);
    Click(dialog, kSliderOk);
  });
}

TEST_F(SliderAdjustDialog, DryingAndSuctionEditsAreBounded) {
  Run([&](HWND dialog) {
    Type(dialog, kDryingEdit, "77");
    EXPECT_EQ(TextOf(dialog, kDryingEdit), "50");
    EXPECT_EQ(s().GetMediaTuning3(), 50u);
    EXPECT_EQ(Bar(dialog, kDryingBar), 50);
    Type(dialog, kDryingEdit, "x");
    Command(dialog, kDryingEdit, EN_KILLFOCUS);
    EXPECT_EQ(TextOf(dialog, kDryingEdit), "0");
    EXPECT_EQ(s().GetMediaTuning3(), 0u);
    const struct {
      const char* typed;
      const char* shown;
      uint32_t value;
    } suction[] = {{"0", "1", 1}, {"16", "15", 15}, {"7", "7", 7}};
    for (const auto& c : suction) {
      Type(dialog, kSuctionEdit, c.typed);
      EXPECT_EQ(TextOf(dialog, kSuctionEdit), c.shown) << c.typed;
      EXPECT_EQ(s().GetMediaTuning4(), c.value) << c.typed;
    }
    Type(dialog, kSuctionEdit, "");
    Command(dialog, kSuctionEdit, EN_KILLFOCUS);
    EXPECT_EQ(TextOf(dialog, kSuctionEdit), "7");
    Click(dialog, kSliderOk);
  });
}

TEST_F(SliderAdjustDialog, CombosStoreOnTheirClosingNotificationsOnly) {
  Run([&](HWND dialog) {
    SendDlgItemMessageA(dialog, kThicknessCombo, CB_SETCURSEL, 4, 0);
    Command(dialog, kThicknessCombo, CBN_SELCHANGE);
    EXPECT_EQ(s().GetMediaTuning8(), 2u);
    Command(dialog, kThicknessCombo, CBN_SELENDOK);
    EXPECT_EQ(s().GetMediaTuning8(), 4u);
    // No selection is no value.
    SendDlgItemMessageA(dialog, kThicknessCombo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    Command(dialog, kThicknessCombo, CBN_KILLFOCUS);
    EXPECT_EQ(s().GetMediaTuning8(), 4u);
    Click(dialog, kSliderOk);
  });
}

TEST_F(SliderAdjustDialog, DefaultsTakeTheMediaRecord) {
  for (int16_t source : {int16_t{7}, int16_t{4}, int16_t{256}}) {
    s().SetDefaultSource(source);
    const uint16_t media = s().GetCurrentMediaIndex();
    uint32_t v20 = 0, v21 = 0, v22 = 0;
    s().GetMediaTypeValue20(media, &v20);
    s().GetMediaTypeValue21(media, &v21);
    s().GetMediaTypeValue22(media, &v22);
    Run([&](HWND dialog) {
      Type(dialog, kDensityEdit, "-30");
      Click(dialog, kSliderDefaults);
      EXPECT_EQ(Value1(), 0);
      EXPECT_EQ(TextOf(dialog, kDensityEdit), "0");
      EXPECT_EQ(Bar(dialog, kDensityBar), 50);
      EXPECT_EQ(Value2(), 0);
      EXPECT_EQ(s().GetMediaTuning3(), 0u);
      EXPECT_EQ(s().GetMediaTuning5(), 100u);
      EXPECT_EQ(Bar(dialog, kInkLimitBar), 0);
      EXPECT_EQ(s().GetMediaTuning6(), 0u);
      EXPECT_EQ(s().GetMediaTuning8(), source == 256 ? v21 : v20) << source;
      EXPECT_EQ(s().GetMediaTuning9(), source == 4 ? v22 : 0u) << source;
      Click(dialog, kSliderCancel);
    });
  }
}

// Cancel restores the snapshot, also when the dialog's end moves the focus out of an edit or a
// combo (their notifications then change nothing).
TEST_F(SliderAdjustDialog, CancelRestoresWhateverHasTheFocus) {
  for (int focus : {kDryingEdit, kDensityEdit, kHeadHeightCombo}) {
    const INT_PTR result = Run([&](HWND dialog) {
      Type(dialog, kDensityEdit, "-");
      Type(dialog, kDryingEdit, "40");
      SendDlgItemMessageA(dialog, kHeadHeightCombo, CB_SETCURSEL, 3, 0);
      SetFocus(GetDlgItem(dialog, focus));
      Type(dialog, kDryingEdit, "45");
      SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Value1(), 0) << focus;
    EXPECT_EQ(s().GetMediaTuning3(), 10u) << focus;
    EXPECT_EQ(s().GetMediaTuning6(), 1u) << focus;
    EXPECT_EQ(s().GetMediaTuningFlags(), 0u) << focus;
  }
}

}  // namespace
}  // namespace kalimu::dialogs
