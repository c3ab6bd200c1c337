// The user paper size dialog driven by messages: sizes, units and limits, names, saving and
// deleting user papers, their source masks and ids, OK and Cancel.
#include "kalimu/dialogs/user_paper_dialog.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <algorithm>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "kalimu/dialogs/dialog_run_test_support.h"
#include "kalimu/dialogs/user_paper_test_support.h"
#include "kalimu/pages/page_test_support.h"
#include "kalimu/pages/paper_page_test_support.h"
#include "kalimu/pages/resource_dialogs.h"
#include "kalimu/pages/tooltips.h"
#include "kalimu/storage/user_settings_records.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::dialogs {
namespace {

using pages::test::HostedPage;
using pages::test::PageFixture;
using test::Checked;
using test::Click;
using test::Command;
using test::Enabled;
using test::LimitedModel;
using test::ModalRun;
using test::PickListItem;
using test::Shown;
using test::TextOf;
using test::Type;

constexpr int16_t kSheetFeeder = 7, kManualFeed = 4, kRoll = 256;

class UserPaperDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.ok()) << fixture_.error();
    page_ = std::make_unique<HostedPage>(fixture_, 901);
    ASSERT_EQ(s().ResetUserPapers(), 1);
    s().SetDefaultSource(kSheetFeeder);
    s().SetCustomPaperUnit(kUnitMetric);
    s().SetCustomPaperSize({2100, 2970});
    s().SetPaperSize(model::kCustomPaperId);
  }
  void TearDown() override { pages::RemovePageToolTipHooks(); }

  JobSettings& s() { return fixture_.settings(); }
  INT_PTR Run(ModalRun::Script script) {
    return ModalRun::Run(fixture_.module(), page_->window(), &UserPaperSizeDlgProc, kUserPaperDialog,
                            &fixture_.param(), std::move(script));
  }
  uint32_t PaperCount() {
    uint32_t count = 0;
    s().GetPaperCount(&count);
    return count;
  }
  storage::UserPaperEntry Paper(uint16_t index) {
    storage::UserPaperEntry entry{};
    s().GetPaperEntry(index, &entry, sizeof(entry));
    return entry;
  }
  static int ListCount(HWND dialog) {
    return static_cast<int>(SendDlgItemMessageA(dialog, kUserPaperList, LB_GETCOUNT, 0, 0));
  }
  static int ListSelection(HWND dialog) {
    return static_cast<int>(SendDlgItemMessageA(dialog, kUserPaperList, LB_GETCURSEL, 0, 0));
  }
  static void SaveAs(HWND dialog, const char* name, const char* width, const char* length) {
    Type(dialog, kUserPaperName, name);
    Type(dialog, kUserPaperWidth, width);
    Type(dialog, kUserPaperLength, length);
    Click(dialog, kUserPaperSave);
  }

  // The locale's default paper is a metric one whatever the run's locale.
  pages::test::MeasureSystem metric_{"0"};
  PageFixture fixture_{LimitedModel()};
  std::unique_ptr<HostedPage> page_;
};

TEST(UserPaperSizes, RangeTextsAndUnitConversion) {
  const struct {
    int32_t low, high;
    const char* text;
  } ranges[] = {{100, 4400, "[  100 ...  4400]"}, {89, 1118, "[   89 ...  1118]"}, {2540, 150000, "[ 2540 ... 150000]"},
                {-5, 0, "[   -5 ...     0]"}};
  for (const auto& r : ranges) {
    char text[64] = {};
    FormatSizeRange(r.low, r.high, text, sizeof(text));
    EXPECT_STREQ(text, r.text);
  }
  EXPECT_EQ(ConvertSizeUnit(2100, kUnitInch), 827);
  EXPECT_EQ(ConvertSizeUnit(827, kUnitMetric), 2101);
  EXPECT_EQ(ConvertSizeUnit(0, kUnitInch), 0);
}

TEST_F(UserPaperDialog, OpensWithTheCustomSizeAndTheLimitsOfTheSource) {
  const INT_PTR result = Run([&](HWND dialog) {
    EXPECT_EQ(TextOf(dialog, kUserPaperWidth), "2100");
    EXPECT_EQ(TextOf(dialog, kUserPaperLength), "2970");
    EXPECT_EQ(TextOf(dialog, kUserPaperWidthRange), "[  890 ...  3290]");
    EXPECT_EQ(TextOf(dialog, kUserPaperLengthRange), "[ 1270 ...  4830]");
    EXPECT_TRUE(Checked(dialog, kUserPaperMetric));
    EXPECT_FALSE(Checked(dialog, kUserPaperInch));
    EXPECT_EQ(TextOf(dialog, kUserPaperName), "User Defined");
    EXPECT_EQ(ListCount(dialog), 1);
    EXPECT_FALSE(Enabled(dialog, kUserPaperSave));
    EXPECT_FALSE(Enabled(dialog, kUserPaperDelete));
    EXPECT_TRUE(Enabled(dialog, IDOK));
    EXPECT_FALSE(Shown(dialog, kUserPaperNotice));
    Click(dialog, IDOK);
  });
  EXPECT_EQ(result, -1);
  EXPECT_EQ(s().GetCustomPaperWidth(), 2100u);
  EXPECT_EQ(fixture_.shared().dialog_snapshot, nullptr);
}

TEST_F(UserPaperDialog, RangeOfTheManualFeedAndSizesOutsideTheLimits) {
  s().SetDefaultSource(kManualFeed);
  s().SetCustomPaperSize({50, 50});  // below the limits: the locale's default paper is shown instead
  Run([&](HWND dialog) {
    EXPECT_EQ(TextOf(dialog, kUserPaperWidthRange), "[  100 ...  4400]");
    int32_t width = std::stoi(TextOf(dialog, kUserPaperWidth));
    EXPECT_GE(width, 100);
    EXPECT_LE(width, 4400);
    Click(dialog, IDCANCEL);
  });
}

// A stored size outside the limits gives the locale's default paper, whose unit may differ from
// the stored one: the radios, range texts and clamping then follow the locale's unit.
TEST_F(UserPaperDialog, OutOfRangeSizeSettlesTheLocaleUnitBeforeItIsShown) {
  const struct {
    const char* measure;
    uint32_t stored_unit;
    uint32_t unit;
  } cases[] = {{"0", kUnitInch, kUnitMetric}, {"1", kUnitMetric, kUnitInch}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.measure);
    pages::test::MeasureSystem measure(c.measure);
    ASSERT_TRUE(measure.ok());
    s().SetCustomPaperUnit(c.stored_unit);
    s().SetCustomPaperSize({20, 20});
    Run([&](HWND dialog) {
      ASSERT_EQ(s().GetCustomPaperUnit(), c.unit);
      const SizeLimits limits = CurrentSizeLimits(s());
      char width_range[64] = {};
      char length_range[64] = {};
      FormatSizeRange(limits.min_width, limits.max_width, width_range, sizeof(width_range));
      FormatSizeRange(limits.min_length, limits.max_length, length_range, sizeof(length_range));
      EXPECT_EQ(TextOf(dialog, kUserPaperWidthRange), width_range);
      EXPECT_EQ(TextOf(dialog, kUserPaperLengthRange), length_range);
      EXPECT_EQ(Checked(dialog, kUserPaperMetric), c.unit == kUnitMetric);
      EXPECT_EQ(Checked(dialog, kUserPaperInch), c.unit == kUnitInch);
      const auto width = static_cast<int32_t>(s().GetCustomPaperWidth());
      const auto length = static_cast<int32_t>(s().GetCustomPaperLength());
      EXPECT_EQ(TextOf(dialog, kUserPaperWidth), std::to_string(ClampSize(width, limits.min_width, limits.max_width)));
      EXPECT_EQ(TextOf(dialog, kUserPaperLength),
                std::to_string(ClampSize(length, limits.min_length, limits.max_length)));
      Click(dialog, IDCANCEL);
    });
  }
}

TEST_F(UserPaperDialog, UnitSwitchConvertsAndClamps) {
  s().SetCustomPaperSize({2100, 4830});
  Run([&](HWND dialog) {
    Click(dialog, kUserPaperInch);
    EXPECT_EQ(TextOf(dialog, kUserPaperWidth), "827");  // (2100 * 100 + 127) / 254
    EXPECT_EQ(TextOf(dialog, kUserPaperLength), "1902");
    EXPECT_EQ(TextOf(dialog, kUserPaperWidthRange), "[  350 ...  1295]");
    EXPECT_TRUE(Checked(dialog, kUserPaperInch));
    EXPECT_EQ(s().GetCustomPaperUnit(), static_cast<uint32_t>(kUnitInch));
    EXPECT_TRUE(Enabled(dialog, IDOK)) << "the new-size name enables OK again";
    Type(dialog, kUserPaperName, "Mine");
    Click(dialog, kUserPaperMetric);
    EXPECT_FALSE(Enabled(dialog, IDOK)) << "with another name a changed unit waits for Save";
    EXPECT_TRUE(Enabled(dialog, kUserPaperSave));
    Click(dialog, kUserPaperInch);
    // Back to 0.1 mm: 827 -> 2101, 1902 -> 4831, clamped to 4830.
    Click(dialog, kUserPaperMetric);
    EXPECT_EQ(TextOf(dialog, kUserPaperWidth), "2101");
    EXPECT_EQ(TextOf(dialog, kUserPaperLength), "4830");
    // Clicking the unit already chosen changes nothing.
    Type(dialog, kUserPaperWidth, "2000");
    Click(dialog, kUserPaperMetric);
    EXPECT_EQ(TextOf(dialog, kUserPaperWidth), "2000");
    Click(dialog, IDCANCEL);
  });
  EXPECT_EQ(s().GetCustomPaperUnit(), static_cast<uint32_t>(kUnitMetric)) << "Cancel restores the unit";
}

TEST_F(UserPaperDialog, LongNamesAreCutTo24Bytes) {
  Run([&](HWND dialog) {
    Type(dialog, kUserPaperName, "abcdefghijklmnopqrstuvwxyz1234");
    EXPECT_EQ(TextOf(dialog, kUserPaperName), "abcdefghijklmnopqrstuvwx");
    DWORD start = 0, end = 0;
    SendDlgItemMessageA(dialog, kUserPaperName, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                        reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 24u);
    EXPECT_EQ(end, 24u);
    EXPECT_TRUE(Enabled(dialog, kUserPaperSave));
    EXPECT_FALSE(Enabled(dialog, IDOK));
    // Blanks only: nothing to save.
    Type(dialog, kUserPaperName, " \t ");
    EXPECT_FALSE(Enabled(dialog, kUserPaperSave));
    // A model paper's name cannot be saved.
    Type(dialog, kUserPaperName, "A4  ");
    EXPECT_FALSE(Enabled(dialog, kUserPaperSave));
    EXPECT_FALSE(Enabled(dialog, IDOK));
    Click(dialog, IDCANCEL);
  });
}

TEST_F(UserPaperDialog, SavedPapersGetFreshIdsAndStayAfterCancel) {
  const INT_PTR result = Run([&](HWND dialog) {
    SaveAs(dialog, "Banner", "3000", "1500");
    SaveAs(dialog, "Square", "2000", "2000");
    EXPECT_EQ(ListCount(dialog), 3);
    EXPECT_EQ(ListSelection(dialog), 2);
    EXPECT_TRUE(Enabled(dialog, IDOK));
    EXPECT_TRUE(Enabled(dialog, kUserPaperDelete));
    EXPECT_FALSE(Enabled(dialog, kUserPaperSave));
    ASSERT_EQ(PaperCount(), 2u);
    EXPECT_EQ(Paper(0).paper.id, 768);
    EXPECT_EQ(Paper(1).paper.id, 769);
    // Delete the first: the second moves down and keeps its id; the next one gets 770.
    testkit::MessageBoxWatcher answers(IDOK);
    PickListItem(dialog, kUserPaperList, 1);
    EXPECT_EQ(TextOf(dialog, kUserPaperName), "Banner");
    Click(dialog, kUserPaperDelete);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "Delete the selected entry?");
    EXPECT_EQ(ListCount(dialog), 2);
    EXPECT_EQ(ListSelection(dialog), 0);
    EXPECT_EQ(TextOf(dialog, kUserPaperName), "User Defined");
    SaveAs(dialog, "Wide", "3200", "1300");
    ASSERT_EQ(PaperCount(), 2u);
    EXPECT_EQ(Paper(0).paper.id, 769);
    EXPECT_EQ(Paper(1).paper.id, 770);
    EXPECT_EQ(Paper(1).slot, 1);
    EXPECT_EQ(Paper(1).state, 2);
    Click(dialog, IDCANCEL);
  });
  EXPECT_EQ(result, -1);
  EXPECT_EQ(s().GetPaperSize(), model::kCustomPaperId);
  // The store on disk keeps the papers.
  ASSERT_EQ(s().Reload(), 1);
  ASSERT_EQ(PaperCount(), 2u);
  const storage::UserPaperEntry wide = Paper(1);
  EXPECT_STREQ(wide.name, "Wide");
  EXPECT_EQ(wide.paper.width, 3200);
  EXPECT_EQ(wide.paper.length, 1300);
  EXPECT_EQ(wide.paper.value4, kUnitMetric);
  EXPECT_EQ(wide.paper.kind, 1) << "shorter than wide";
  EXPECT_EQ(Paper(0).paper.kind, 0);
}

// The source mask of a saved size: two bits per source that takes it, ANDed with the sources of
// the model's user-defined paper; a model without one restricts nothing.
TEST(UserPaperSourceMasks, FollowTheLimitsAndTheUserDefinedPaper) {
  const struct {
    bool with_user_defined;
    int32_t width, length;
    uint32_t mask;
  } cases[] = {
      {true, 2000, 2000, 0x0F},     // sheet feeder and manual feed
      {true, 3000, 3000, 0x3F},     // every source but the one paper 256 leaves out
      {true, 9000, 3000, 0x30},     // the rolls only, of them the one paper 256 takes
      {true, 50, 50, 0x00},         // none
      {false, 2000, 2000, 0x0F},    // no paper 256: both bits of each pair
      {false, 9000, 3000, 0xF0},
  };
  for (bool with : {true, false}) {
    PageFixture fixture(LimitedModel(with));
    ASSERT_TRUE(fixture.ok()) << fixture.error();
    for (const auto& c : cases) {
      if (c.with_user_defined != with) continue;
      fixture.settings().SetCustomPaperUnit(kUnitInch);
      EXPECT_EQ(UserPaperSourceMask(fixture.settings(), kUnitMetric, c.width, c.length, 0), c.mask)
          << c.width << " x " << c.length << (with ? " with" : " without") << " paper 256";
      EXPECT_EQ(fixture.settings().GetCustomPaperUnit(), static_cast<uint32_t>(kUnitMetric));
    }
  }
}

TEST_F(UserPaperDialog, APaperTheSourceCannotTakeSnapsBack) {
  s().SetDefaultSource(kRoll);
  Run([&](HWND dialog) {
    SaveAs(dialog, "Roll only", "9000", "3000");
    SaveAs(dialog, "Both", "3000", "3000");
    Click(dialog, IDCANCEL);  // the papers stay
  });
  s().SetDefaultSource(kSheetFeeder);
  Run([&](HWND dialog) {
    PickListItem(dialog, kUserPaperList, 2);
    EXPECT_EQ(ListSelection(dialog), 2);
    EXPECT_EQ(TextOf(dialog, kUserPaperName), "Both");
    PickListItem(dialog, kUserPaperList, 1);  // the roll-only paper
    EXPECT_EQ(ListSelection(dialog), 2) << "back to the last accepted item";
    EXPECT_EQ(TextOf(dialog, kUserPaperName), "Both");
    // Its item is drawn greyed and the notice shows.
    UpdateWindow(GetDlgItem(dialog, kUserPaperList));
    RedrawWindow(GetDlgItem(dialog, kUserPaperList), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(Shown(dialog, kUserPaperNotice));
    Click(dialog, IDOK);
  });
  // With nothing accepted yet, item 0.
  Run([&](HWND dialog) {
    PickListItem(dialog, kUserPaperList, 1);
    EXPECT_EQ(ListSelection(dialog), 0);
    EXPECT_EQ(TextOf(dialog, kUserPaperName), "User Defined");
    Click(dialog, IDCANCEL);
  });
}

TEST_F(UserPaperDialog, OkCorrectsSizesFirstThenEnds) {
  const INT_PTR result = Run([&](HWND dialog) {
    Type(dialog, kUserPaperWidth, "");
    Type(dialog, kUserPaperLength, "99999");
    EXPECT_FALSE(Enabled(dialog, IDOK));
    Command(dialog, IDOK, BN_CLICKED);  // as the default button answers Enter
    ASSERT_TRUE(IsWindowVisible(dialog)) << "corrected sizes keep the dialog open";
    EXPECT_EQ(TextOf(dialog, kUserPaperWidth), "3290");
    EXPECT_EQ(TextOf(dialog, kUserPaperLength), "4830");
    Type(dialog, kUserPaperWidth, "1000");
    Command(dialog, IDOK, BN_CLICKED);
  });
  EXPECT_EQ(result, -1);
  EXPECT_EQ(s().GetCustomPaperWidth(), 1000u);
  EXPECT_EQ(s().GetCustomPaperLength(), 4830u);
}

TEST_F(UserPaperDialog, OkWithAUserPaperAnswersItsPosition) {
  const INT_PTR result = Run([&](HWND dialog) {
    SaveAs(dialog, "First", "1000", "2000");
    SaveAs(dialog, "Second", "1100", "2100");
    PickListItem(dialog, kUserPaperList, 1);
    EXPECT_EQ(TextOf(dialog, kUserPaperWidth), "1000");
    EXPECT_TRUE(Enabled(dialog, IDOK));
    Click(dialog, IDOK);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(s().GetCustomPaperWidth(), 2100u) << "the custom size is kept";
}

TEST_F(UserPaperDialog, SizeEditsLeavingTheFieldAreBounded) {
  Run([&](HWND dialog) {
    const struct {
      int edit;
      const char* typed;
      const char* shown;
    } cases[] = {{kUserPaperWidth, "", "3290"}, {kUserPaperWidth, "12", "890"}, {kUserPaperWidth, "5000", "3290"},
                 {kUserPaperWidth, "x", "3290"}, {kUserPaperLength, "2000", "2000"}, {kUserPaperLength, "0", "1270"}};
    for (const auto& c : cases) {
      Type(dialog, c.edit, c.typed);
      Command(dialog, c.edit, EN_KILLFOCUS);
      EXPECT_EQ(TextOf(dialog, c.edit), c.shown) << c.edit << " '" << c.typed << "'";
    }
    EXPECT_TRUE(Enabled(dialog, IDOK)) << "the new-size name enables OK again";
    Click(dialog, IDCANCEL);
  });
}

TEST_F(UserPaperDialog, SpinsStepInsideTheLimits) {
  Run([&](HWND dialog) {
    const struct {
      int spin, edit;
      const char* before;
      int code;
      const char* after;
    } cases[] = {{kUserPaperWidthSpin, kUserPaperWidth, "1000", SB_LINEUP, "1001"},
                 {kUserPaperWidthSpin, kUserPaperWidth, "1000", SB_LINEDOWN, "999"},
                 {kUserPaperWidthSpin, kUserPaperWidth, "3290", SB_LINEUP, "3290"},
                 {kUserPaperWidthSpin, kUserPaperWidth, "890", SB_LINEDOWN, "890"},
                 {kUserPaperWidthSpin, kUserPaperWidth, "5000", SB_LINEDOWN, "5000"},
                 {kUserPaperWidthSpin, kUserPaperWidth, "1000", SB_THUMBPOSITION, "1000"},
                 {kUserPaperLengthSpin, kUserPaperLength, "4829", SB_LINEUP, "4830"},
                 {kUserPaperLengthSpin, kUserPaperLength, "1271", SB_LINEDOWN, "1270"}};
    for (const auto& c : cases) {
      Type(dialog, c.edit, c.before);
      SendMessageA(dialog, WM_VSCROLL, MAKEWPARAM(c.code, 0), reinterpret_cast<LPARAM>(GetDlgItem(dialog, c.spin)));
      EXPECT_EQ(TextOf(dialog, c.edit), c.after) << c.spin << " " << c.before << " code " << c.code;
    }
    Click(dialog, IDCANCEL);
  });
}

// A resource library may make the spins up-down controls, whose arrows report only their new
// position: they step the edits as the scroll bars do.
TEST_F(UserPaperDialog, UpDownSpinsStepLikeScrollBars) {
  INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&classes);
  Run([&](HWND dialog) {
    for (int id : {int{kUserPaperWidthSpin}, int{kUserPaperLengthSpin}}) {
      HWND bar = GetDlgItem(dialog, id);
      RECT r = {};
      GetWindowRect(bar, &r);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
      DestroyWindow(bar);
      ASSERT_NE(CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE, r.left, r.top, r.right - r.left,
                                std::max<LONG>(r.bottom - r.top, 20), dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleA(nullptr), nullptr),
                nullptr);
    }
    // A unit change sets the spins up again (ranges and positions).
    Click(dialog, kUserPaperInch);
    Click(dialog, kUserPaperMetric);
    const auto click = [dialog](int spin, bool up) {
      HWND control = GetDlgItem(dialog, spin);
      RECT client = {};
      GetClientRect(control, &client);
      const LPARAM at = MAKELPARAM(client.right / 2, up ? client.bottom / 4 : client.bottom * 3 / 4);
      SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
      SendMessageA(control, WM_LBUTTONUP, 0, at);
    };
    const struct {
      int spin, edit;
      const char* before;
      bool up;
      const char* after;
    } cases[] = {{kUserPaperWidthSpin, kUserPaperWidth, "1000", true, "1001"},
                 {kUserPaperWidthSpin, kUserPaperWidth, "1000", false, "999"},
                 {kUserPaperWidthSpin, kUserPaperWidth, "3290", true, "3290"},
                 {kUserPaperLengthSpin, kUserPaperLength, "1271", false, "1270"},
                 {kUserPaperLengthSpin, kUserPaperLength, "4829", true, "4830"}};
    for (const auto& c : cases) {
      Type(dialog, c.edit, c.before);
      click(c.spin, c.up);
      EXPECT_EQ(TextOf(dialog, c.edit), c.after) << c.spin << " " << c.before << (c.up ? " up" : " down");
    }
    Click(dialog, IDCANCEL);
  });
}

TEST_F(UserPaperDialog, SaveRefusesReservedNamesFullStoresAndCancelledOverwrites) {
  Run([&](HWND dialog) {
    testkit::MessageBoxWatcher answers(IDCANCEL);
    // The new-size name.
    Type(dialog, kUserPaperName, "User Defined");
    Command(dialog, kUserPaperSave, BN_CLICKED);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "This name is reserved for the new size.");
    EXPECT_EQ(PaperCount(), 0u);
    // Overwrite answered with Cancel: nothing stored.
    SaveAs(dialog, "Kept", "1000", "2000");
    SaveAs(dialog, "Kept", "1500", "2500");
    ASSERT_EQ(answers.shown().size(), 2u);
    EXPECT_EQ(answers.shown()[1].text, "A paper of this name exists. Overwrite it?");
    EXPECT_EQ(Paper(0).paper.width, 1000);
    // Overwrite answered with OK.
    answers.set_answer(IDOK);
    SaveAs(dialog, "Kept", "1500", "2500");
    EXPECT_EQ(Paper(0).paper.width, 1500);
    EXPECT_EQ(PaperCount(), 1u);
    // A full store.
    uint32_t capacity = 0;
    s().GetUserPaperCapacity(&capacity);
    for (uint32_t i = 1; i < capacity; ++i) {
      char name[16] = {};
      std::snprintf(name, sizeof(name), "P%u", static_cast<unsigned>(i));
      SaveAs(dialog, name, "1000", "2000");
    }
    ASSERT_EQ(PaperCount(), capacity);
    answers.clear();
    SaveAs(dialog, "One too many", "1000", "2000");
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "The list of user paper sizes is full.");
    EXPECT_EQ(PaperCount(), capacity);
    Click(dialog, IDCANCEL);
  });
}

TEST_F(UserPaperDialog, PageOpensItThroughTheTable) {
  testkit::MessageBoxWatcher answers(IDOK);
  const INT_PTR result = ModalRun::Run(fixture_.module(), page_->window(),
                                          pages::SettingsDialogProcedure(pages::SettingsDialog::kUserPaperSize),
                                          kUserPaperDialog, &fixture_.param(),
                                          [](HWND dialog) { Click(dialog, IDCANCEL); });
  EXPECT_EQ(result, -1);
  EXPECT_EQ(pages::SettingsDialogProcedure(pages::SettingsDialog::kUserPaperSize), &UserPaperSizeDlgProc);
}

}  // namespace
}  // namespace kalimu::dialogs
