// The source paper size and paper width dialogs driven by messages: the papers offered for the
// current source, the locale's first choice (and none), selection, OK and Cancel; the roll
// widths of the LFP table.
#include "kalimu/dialogs/source_paper_dialogs.h"

#include <gtest/gtest.h>

#include <memory>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "kalimu/dialogs/dialog_run_test_support.h"
#include "kalimu/pages/page_test_support.h"
#include "kalimu/pages/resource_dialogs.h"
#include "kalimu/pages/tooltips.h"
#include "kalimu/storage/user_settings_records.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::dialogs {
namespace {

using pages::test::HostedPage;
using pages::test::PageFixture;
using test::Click;
using test::ModalRun;
using test::PickComboItem;
using test::TextOf;

constexpr int16_t kSheetFeeder = 7;

// The roll-paper model with feed kinds: A4 metric, Letter inch, the others neither (or none at
// all); A3 carries the paper flag that warns.
testkit::ModelDescription FeedKindModel(bool any_kind) {
  testkit::ModelDescription m = testkit::RollPaperModel();
  for (auto& paper : m.papers) paper.value4 = 0;
  if (any_kind) {
    m.papers[0].value4 = 1;  // A4
    m.papers[2].value4 = 2;  // Letter
  }
  m.papers[1].flags20 |= 0x100;  // A3
  return m;
}

std::vector<std::string> ComboTexts(HWND dialog, int id) {
  std::vector<std::string> texts;
  const int count = static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[128] = {};
    SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    texts.push_back(text);
  }
  return texts;
}

std::string SelectedText(HWND dialog, int id) {
  const auto item = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
  if (item < 0) return "(none)";
  char text[128] = {};
  SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text));
  return text;
}

class PaperChoosers : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.ok()) << fixture_.error();
    page_ = std::make_unique<HostedPage>(fixture_, 901);
    s().SetDefaultSource(kSheetFeeder);
    s().SetScalingOptions(0);
    // Two user papers: one for the sheet feeder, one for the rolls.
    ASSERT_EQ(s().ResetUserPapers(), 1);
    const uint32_t two = 2;
    s().SetPaperCount(&two);
    const struct {
      const char* name;
      uint32_t sources;
    } users[] = {{"Sheet card", 0x01}, {"Roll banner", 0x50}};
    for (uint16_t i = 0; i < 2; ++i) {
      storage::UserPaperEntry entry{};
      s().GetPaperEntry(i, &entry, sizeof(entry));
      std::snprintf(entry.name, sizeof(entry.name), "%s", users[i].name);
      entry.paper.source_flags = users[i].sources;
      entry.state = 2;
      entry.slot = static_cast<int16_t>(i);
      s().SetPaperEntry(i, &entry, sizeof(entry));
    }
  }
  void TearDown() override { pages::RemovePageToolTipHooks(); }

  settings::JobSettings& s() { return fixture_.settings(); }
  testkit::MessageBoxWatcher notices_{IDOK};  // the paper warnings
  INT_PTR Run(DLGPROC procedure, int template_id, ModalRun::Script script) {
    return ModalRun::Run(fixture_.module(), page_->window(), procedure, template_id, &fixture_.param(),
                            std::move(script));
  }

  PageFixture fixture_{FeedKindModel(true)};
  std::unique_ptr<HostedPage> page_;
};

TEST_F(PaperChoosers, SourcePaperOffersWhatTheSourceTakesAndTheLocalesPaper) {
  const bool metric = settings::JobSettings::IsMetricLocale() != 0;
  const INT_PTR result = Run(&SourcePaperSizeDlgProc, kSourcePaperDialog, [&](HWND dialog) {
    EXPECT_EQ(TextOf(dialog, kSourcePaperText),
              "The paper source cannot take this size. Choose the paper to print on:");
    const std::vector<std::string> offered = {"A4", "A3", "Letter", "A4 (Borderless)", "User Defined", "Sheet card"};
    EXPECT_EQ(ComboTexts(dialog, kSourcePaperCombo), offered) << "the roll paper and the roll banner are left out";
    EXPECT_EQ(SelectedText(dialog, kSourcePaperCombo), metric ? "A4" : "Letter");
    EXPECT_EQ(SendDlgItemMessageA(dialog, kSourcePaperCombo, CB_GETITEMDATA, 5, 0), 768);
    testkit::MessageBoxWatcher answers(IDOK);
    PickComboItem(dialog, kSourcePaperCombo, 1);  // A3
    EXPECT_TRUE(s().TestScalingOptionBits(2)) << "fit to the output paper";
    const uint32_t output = s().GetOutputPaperSize();
    const size_t warnings = answers.shown().size();
    PickComboItem(dialog, kSourcePaperCombo, 1);  // again: nothing but the paper warning again
    EXPECT_EQ(s().GetOutputPaperSize(), output);
    EXPECT_EQ(answers.shown().size(), 2 * warnings);
    Click(dialog, IDOK);
  });
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(s().TestScalingOptionBits(2));
  EXPECT_EQ(fixture_.shared().dialog_snapshot, nullptr);
}

TEST_F(PaperChoosers, SourcePaperCancelRestoresTheSettings) {
  s().SetOutputPaperSize(11);
  const INT_PTR result = Run(&SourcePaperSizeDlgProc, kSourcePaperDialog, [&](HWND dialog) {
    PickComboItem(dialog, kSourcePaperCombo, 3);
    Click(dialog, IDCANCEL);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(static_cast<int>(s().GetOutputPaperSize()), 11);
  EXPECT_FALSE(s().TestScalingOptionBits(2));
}

TEST(PaperChooserLocale, NoPaperOfTheLocalesKindChoosesNothing) {
  testkit::MessageBoxWatcher notices(IDOK);
  PageFixture fixture(FeedKindModel(false));
  ASSERT_TRUE(fixture.ok()) << fixture.error();
  HostedPage page(fixture, 901);
  settings::JobSettings& s = fixture.settings();
  s.SetDefaultSource(kSheetFeeder);
  s.SetScalingOptions(0);
  s.SetOutputPaperSize(11);
  const INT_PTR result = ModalRun::Run(fixture.module(), page.window(), &SourcePaperSizeDlgProc,
                                          kSourcePaperDialog, &fixture.param(), [&](HWND dialog) {
                                            EXPECT_EQ(SelectedText(dialog, kSourcePaperCombo), "(none)");
                                            Click(dialog, IDOK);
                                          });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(static_cast<int>(s.GetOutputPaperSize()), 11) << "OK without a choice keeps the output paper";
  pages::RemovePageToolTipHooks();
}

TEST_F(PaperChoosers, PaperWidthListsTheRollWidthsAndCancelRestores) {
  uint32_t records = 0;
  s().GetLfpRecordCount(&records);
  ASSERT_GE(records, 1u);
  s().SetLfpIndex(0);
  for (const auto& [button, result, index] : {std::tuple{IDCANCEL, 0, 0u}, std::tuple{IDOK, 1, records - 1}}) {
    const INT_PTR answer = Run(&PaperWidthDlgProc, kPaperWidthDialog, [&](HWND dialog) {
      const std::vector<std::string> widths = ComboTexts(dialog, kPaperWidthCombo);
      ASSERT_EQ(widths.size(), records);
      uint32_t value = 0;
      s().GetLfpValue2(0, &value);
      char expected[128] = {};
      LoadStringA(fixture_.module(), 1450 + value, expected, sizeof(expected));
      EXPECT_EQ(widths[0], expected);
      EXPECT_EQ(SendDlgItemMessageA(dialog, kPaperWidthCombo, CB_GETCURSEL, 0, 0), 0);
      PickComboItem(dialog, kPaperWidthCombo, static_cast<int>(records - 1));
      EXPECT_EQ(s().GetLfpIndex(), records - 1) << "taken at once";
      Click(dialog, button);
    });
    EXPECT_EQ(answer, result);
    EXPECT_EQ(s().GetLfpIndex(), index);
    EXPECT_EQ(fixture_.shared().inner_dialog_snapshot, nullptr);
  }
  EXPECT_EQ(pages::SettingsDialogProcedure(pages::SettingsDialog::kPaperWidth), &PaperWidthDlgProc);
  EXPECT_EQ(pages::SettingsDialogProcedure(pages::SettingsDialog::kSourcePaperSize), &SourcePaperSizeDlgProc);
}

}  // namespace
}  // namespace kalimu::dialogs
