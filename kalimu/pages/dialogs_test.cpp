// The settings dialogs the pages open: every entry of the table opens its template of the
// resource library with the page's PageParam; stand-ins end them with the result a test
// chooses, and the paper routines act on that result.
#include "kalimu/pages/resource_dialogs.h"

#include <gtest/gtest.h>

#include "kalimu/pages/page_helpers.h"
#include "kalimu/pages/page_test_support.h"
#include "kalimu/pages/tooltips.h"

namespace kalimu::pages {
namespace {

using test::HostedPage;
using test::InkModel;
using test::PageFixture;

// What the test's stand-in ends its dialog with, and what it saw.
INT_PTR g_result = 0;
PageParam* g_seen_param = nullptr;
int g_seen_template_ok = 0;

INT_PTR CALLBACK EndWithChosenResult(HWND dialog, UINT message, WPARAM, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    g_seen_param = reinterpret_cast<PageParam*>(lparam);
    g_seen_template_ok = GetWindow(dialog, GW_CHILD) != nullptr;
    EndDialog(dialog, g_result);
    return TRUE;
  }
  return FALSE;
}

// Replaces a dialog's entry point for one test.
class StandIn {
 public:
  StandIn(SettingsDialog dialog, INT_PTR result) : dialog_(dialog) {
    g_result = result;
    g_seen_param = nullptr;
    previous_ = ReplaceSettingsDialogProcedure(dialog, &EndWithChosenResult);
  }
  ~StandIn() { ReplaceSettingsDialogProcedure(dialog_, previous_); }

 private:
  SettingsDialog dialog_;
  DLGPROC previous_;
};

// Presses a button of the next dialog box that becomes active on this thread.
class DialogPresser {
 public:
  explicit DialogPresser(int button) {
    button_ = button;
    hook_ = SetWindowsHookExA(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
  }
  ~DialogPresser() { UnhookWindowsHookEx(hook_); }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_ACTIVATE) PostMessageA(reinterpret_cast<HWND>(wparam), WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED), 0);
    return CallNextHookEx(hook_, code, wparam, lparam);
  }
  static inline int button_ = IDOK;
  static inline HHOOK hook_ = nullptr;
};

class Dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.ok()) << fixture_.error();
    page_ = std::make_unique<HostedPage>(fixture_, 901);
    ASSERT_NE(page_->window(), nullptr);
  }
  void TearDown() override { RemovePageToolTipHooks(); }
  PageFixture fixture_{InkModel(8, true)};
  std::unique_ptr<HostedPage> page_;
};

TEST_F(Dialogs, EveryTableEntryOpensItsTemplateWithThePageParam) {
  for (const SettingsDialogEntry& entry : kSettingsDialogs) {
    for (INT_PTR result : {INT_PTR{0}, INT_PTR{1}, INT_PTR{-1}, INT_PTR{3}}) {
      StandIn stand_in(entry.dialog, result);
      EXPECT_EQ(ShowSettingsDialog(page_->window(), entry.dialog), result) << entry.name;
      EXPECT_EQ(g_seen_param, &fixture_.param()) << entry.name;
      EXPECT_TRUE(g_seen_template_ok) << entry.name;
    }
  }
  // A template the library does not hold: -1.
  EXPECT_EQ(ShowResourceDialog(page_->window(), &EndWithChosenResult, 4242), -1);
}

TEST_F(Dialogs, StandInsFollowTheDialogProtocol) {
  for (const auto& [button, result] : {std::pair{IDOK, 1}, std::pair{IDCANCEL, 0}}) {
    DialogPresser presser(button);
    EXPECT_EQ(ShowSettingsDialog(page_->window(), SettingsDialog::kPosterPanel), result);
    // The dialog's tooltip hook is gone with it.
    const ToolTipSlot* slot = FindToolTipSlot();
    if (slot != nullptr) {
      EXPECT_EQ(slot->entries[kPosterPanelTips].hook, nullptr);
    }
  }
}

TEST_F(Dialogs, UserPaperSizeAnswers) {
  settings::JobSettings& s = fixture_.settings();
  s.ChangePaperSizeIndex(0);
  {
    // An offset moves the paper index.
    StandIn stand_in(SettingsDialog::kUserPaperSize, 2);
    EditUserPaperSize(page_->window(), 0, fixture_.param(), 0);
    EXPECT_EQ(s.GetPaperSizeIndex(), 2);
  }
  {
    // -1 keeps the index and stores the custom size (0.1 mm) into the paper record, in 1/360 in.
    s.SetCustomPaperUnit(1);
    s.SetCustomPaperSize({2540, 5080});
    StandIn stand_in(SettingsDialog::kUserPaperSize, -1);
    EditUserPaperSize(page_->window(), 1, fixture_.param(), 0);
    EXPECT_EQ(s.GetPaperSizeIndex(), 1);
    int32_t extent[2] = {};
    ASSERT_TRUE(s.GetPaperSizeExtent(1, extent, sizeof(extent)));
    EXPECT_EQ(extent[0], 3600);
    EXPECT_EQ(extent[1], 7200);
  }
  // A size in 1/100 inch.
  s.SetCustomPaperUnit(2);
  s.SetCustomPaperSize({1000, 1})  ;
  StoreCustomPaperExtent(fixture_.param(), 0);
  int32_t extent[2] = {};
  ASSERT_TRUE(s.GetPaperSizeExtent(0, extent, sizeof(extent)));
  EXPECT_EQ(extent[0], 3600);
  EXPECT_EQ(extent[1], 4);  // (360 + 50) / 100
}

// A paper the current source does not take asks first; Cancel puts the list back.
TEST_F(Dialogs, PaperForAnotherSourceAsksFirst) {
  settings::JobSettings& s = fixture_.settings();
  s.SetScalingOptions(0);
  FillPaperSizeCombo(page_->window(), fixture_.param());
  const int32_t before = s.GetPaperSizeIndex();
  uint32_t papers = 0;
  s.GetPaperSizeCount(&papers);
  int32_t foreign = -1, own = -1;
  for (uint32_t j = 0; j < papers; ++j) {
    const bool takes = s.TestPaperFlags(static_cast<int16_t>(j), s.GetSourceMask()) != 0;
    if (!takes && foreign < 0) foreign = static_cast<int32_t>(j);
    if (takes && own < 0 && static_cast<int32_t>(j) != before) own = static_cast<int32_t>(j);
  }
  ASSERT_GE(foreign, 0);
  ASSERT_GE(own, 0);
  HWND combo = page_->item(kPaperSizeCombo);
  {
    StandIn stand_in(SettingsDialog::kSourcePaperSize, 0);
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    EXPECT_EQ(ChoosePaperSize(page_->window(), foreign, kPaperSizeCombo, fixture_.param()), 0);
    EXPECT_EQ(g_seen_param, &fixture_.param());
    EXPECT_EQ(s.GetPaperSizeIndex(), before);
    const LRESULT item = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, static_cast<WPARAM>(item), 0), before);
  }
  {
    StandIn stand_in(SettingsDialog::kSourcePaperSize, 1);
    EXPECT_EQ(ChoosePaperSize(page_->window(), foreign, kPaperSizeCombo, fixture_.param()), 1);
    EXPECT_EQ(g_seen_param, &fixture_.param());
  }
  {
    StandIn stand_in(SettingsDialog::kSourcePaperSize, 0);
    EXPECT_EQ(ChoosePaperSize(page_->window(), own, kPaperSizeCombo, fixture_.param()), 1);
    EXPECT_EQ(g_seen_param, nullptr) << "a paper the source takes opens no dialog";
    EXPECT_EQ(s.GetPaperSizeIndex(), own);
  }
}

}  // namespace
}  // namespace kalimu::pages
