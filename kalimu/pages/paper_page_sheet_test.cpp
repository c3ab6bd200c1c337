// The paper page on the document sheet as an application opens it (the sheet component's
// stand-in, OK and Cancel): copies typed and stepped, the default paper by measurement system,
// duplex from the layout page, the order picture, a one-source model, the cut and feed lists of
// the source classes and a refused source.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "kalimu/pages/control_test_support.h"
#include "kalimu/pages/messages.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/pages/paper_page.h"
#include "kalimu/pages/paper_page_sheet_test_support.h"
#include "kalimu/pages/paper_source_rules.h"
#include "kalimu/pages/tooltips.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::pages {
namespace {

using test::DocumentSheet;
using test::SheetPage;

constexpr uint32_t kCutter = 0x10 | 0x20;  // header word 28: a cutter, standard and on

std::string LibraryText(const SheetPage& page, UINT id) {
  char text[256] = {};
  LoadStringA(page.param().context->resource_module, id, text, sizeof(text));
  return text;
}

// PSN_SETACTIVE again, as when the user comes back from another page.
void Revisit(SheetPage& page) {
  page.TurnTo(test::kMainPosition);
  page.TurnTo(test::kPaperPosition);
}

class PaperPageOnSheet : public ::testing::Test {
 protected:
  void TearDown() override { RemovePageToolTipHooks(); }
};

TEST_F(PaperPageOnSheet, CopiesAreKeptBetweenOneAnd9999) {
  DocumentSheet sheet(test::PaperModel());
  ASSERT_TRUE(sheet.ok()) << sheet.error();
  const LONG_PTR result = sheet.Run(test::kPaperPosition, [](SheetPage& page) {
    ASSERT_EQ(SendMessageA(page.item(kCopiesEdit), EM_GETLIMITTEXT, 0, 0), 4) << "a fifth digit cannot be typed";
    // Typing, then the focus leaving.
    const struct {
      const char* typed;
      const char* while_typing;
      const char* shown;
      uint32_t stored;
    } typed[] = {{"0", "0", "1", 1},    {"-3", "-3", "1", 1},           {"", "", "1", 1},
                 {"25", "25", "25", 25}, {"9999", "9999", "9999", 9999}, {"10000", "9999", "9999", 9999}};
    for (const auto& c : typed) {
      page.Type(kCopiesEdit, c.typed, false);
      EXPECT_EQ(page.Text(kCopiesEdit), c.while_typing) << c.typed;
      page.Command(kCopiesEdit, EN_KILLFOCUS);
      EXPECT_EQ(page.Text(kCopiesEdit), c.shown) << c.typed;
      EXPECT_EQ(page.settings().GetCopies(), c.stored) << c.typed;
    }
    // The arrows.
    const struct {
      const char* start;
      int code;
      const char* shown;
    } arrows[] = {{"9999", SB_LINEUP, "9999"}, {"9998", SB_LINEUP, "9999"}, {"1", SB_LINEDOWN, "1"},
                  {"2", SB_LINEDOWN, "1"},     {"5", SB_PAGEUP, "5"},       {"0", SB_LINEUP, "0"}};
    for (const auto& a : arrows) {
      page.Type(kCopiesEdit, a.start, false);
      page.Scroll(kCopiesArrows, a.code);
      EXPECT_EQ(page.Text(kCopiesEdit), a.shown) << a.start << " " << a.code;
    }
    // OK reads the edit once more, clamped.
    page.Type(kCopiesEdit, "0", false);
    page.Press(PSBTN_OK);
  });
  EXPECT_EQ(result, CPSUI_OK);
  EXPECT_EQ(sheet.out().Public.dmCopies, 1);
  // Cancel hands nothing back, whatever was typed.
  EXPECT_EQ(sheet.Run(test::kPaperPosition,
                      [](SheetPage& page) {
                        page.Type(kCopiesEdit, "25");
                        page.Press(PSBTN_CANCEL);
                      }),
            CPSUI_CANCEL);
  EXPECT_TRUE(sheet.handed_nothing());
}

// With an up-down control in place of the copies arrows, the arrows step the copies as the scroll
// bar does, between 1 and 9999.
TEST_F(PaperPageOnSheet, CopiesUpDownArrowsStepLikeTheScrollBar) {
  DocumentSheet sheet(test::PaperModel());
  ASSERT_TRUE(sheet.ok()) << sheet.error();
  sheet.Run(test::kPaperPosition, [](SheetPage& page) {
    ASSERT_NE(test::ReplaceWithUpDown(page.window(), kCopiesArrows), nullptr);
    page.TurnTo(test::kLayoutPosition);  // coming back sets the arrows up again
    page.TurnTo(test::kPaperPosition);
    const struct {
      const char* start;
      bool up;
      const char* shown;
    } arrows[] = {{"9999", true, "9999"}, {"9998", true, "9999"}, {"1", false, "1"}, {"2", false, "1"}, {"5", true, "6"}};
    for (const auto& a : arrows) {
      page.Type(kCopiesEdit, a.start, false);
      test::ClickUpDownArrow(page.item(kCopiesArrows), a.up);
      EXPECT_EQ(page.Text(kCopiesEdit), a.shown) << a.start << (a.up ? " up" : " down");
    }
    page.Press(PSBTN_CANCEL);
  });
}

TEST_F(PaperPageOnSheet, DefaultPaperFollowsTheMeasurementSystem) {
  DocumentSheet sheet(test::PaperModel());
  ASSERT_TRUE(sheet.ok()) << sheet.error();
  // A paper size no model paper has: the locale chooses (Letter under U.S. measure, else A4).
  const struct {
    const char* measure;
    short paper;
  } cases[] = {{"1", DMPAPER_LETTER}, {"0", DMPAPER_A4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.measure);
    test::MeasureSystem measure(c.measure);
    ASSERT_TRUE(measure.ok());
    sheet.Run(test::kPaperPosition, [](SheetPage& page) {
      settings::JobSettings& s = page.settings();
      s.SetPaperSize(4242);
      FillPaperSizeList(page.window(), page.param(), s.GetSourceMaskBit(static_cast<uint16_t>(s.GetPaperSourceIndex())));
      EXPECT_EQ(page.Selected(kPaperSizeList), s.GetPaperSizeIndex());
      page.Press(PSBTN_OK);
    });
    EXPECT_EQ(sheet.out().Public.dmPaperSize, c.paper);
  }
}

TEST_F(PaperPageOnSheet, UserPapersAreFoundWhileAModelPaperIsSelected) {
  DocumentSheet sheet(test::PaperModel());
  ASSERT_TRUE(sheet.ok()) << sheet.error();
  sheet.Run(test::kPaperPosition, [](SheetPage& page) {
    settings::JobSettings& s = page.settings();
    // A user paper with the device mode's size, stored after the selected model paper's index.
    uint32_t users = 2;
    ASSERT_TRUE(s.SetPaperCount(&users));
    const uint32_t mask = s.GetSourceMaskBit(static_cast<uint16_t>(s.GetPaperSourceIndex()));
    for (uint16_t j = 0; j < 2; ++j) {
      const uint32_t flags = 0xFFFFFFFFu;
      const int32_t id = 900 + j;
      s.SetPaperValue16(j, &flags);
      s.SetPaperId(j, &id);
      s.SetPaperName(j, j == 0 ? "Poster" : "Flyer", 5);
    }
    s.ChangePaperSizeIndex(0);  // a model paper: its index is no user count
    s.SetPaperSize(901);
    FillPaperSizeList(page.window(), page.param(), mask);
    uint32_t n = 0;
    s.GetPaperSizeCount(&n);
    EXPECT_EQ(s.GetPaperSizeIndex(), static_cast<int32_t>(n + 1));
    EXPECT_EQ(page.Text(kPaperSizeList), "Flyer");
    page.Press(PSBTN_CANCEL);
  });
}

TEST_F(PaperPageOnSheet, DuplexChosenOnTheLayoutPageDisablesCollateReverseAndRotate) {
  DocumentSheet sheet(test::DuplexPaperModel());
  ASSERT_TRUE(sheet.ok()) << sheet.error();
  const LONG_PTR result = sheet.Run(test::kLayoutPosition, [](SheetPage& page) {
    testkit::MessageBoxWatcher boxes;
    test::UseSource(page.settings(), test::kSheetFeeder);
    page.shared().monitor_present = 1;
    page.TurnTo(test::kMainPosition);
    for (const bool duplex : {true, false, true}) {
      page.TurnTo(test::kLayoutPosition);
      ASSERT_TRUE(page.Enabled(kDuplexCheck));
      if (page.Checked(kDuplexCheck) != duplex) page.Click(kDuplexCheck);
      ASSERT_EQ(page.settings().IsDuplexOn() != 0, duplex);
      page.TurnTo(test::kPaperPosition);
      for (int control : {kCollateCheck, kReverseOrderCheck, kRotateCheck}) {
        EXPECT_EQ(page.Enabled(control), !duplex) << control << " duplex " << duplex;
      }
    }
    page.Press(PSBTN_OK);
  });
  EXPECT_EQ(result, CPSUI_OK);
  EXPECT_NE(sheet.out().Public.dmDuplex, DMDUP_SIMPLEX);
}

TEST_F(PaperPageOnSheet, OrderPictureFollowsTheSettingsNotTheBoxes) {
  DocumentSheet sheet(test::PaperModel());
  ASSERT_TRUE(sheet.ok()) << sheet.error();
  const LONG_PTR result = sheet.Run(test::kPaperPosition, [](SheetPage& page) {
    settings::JobSettings& s = page.settings();
    const struct {
      uint32_t collate;
      bool reverse;
      int16_t picture;
    } cases[] = {{1, false, 7503}, {1, true, 7502}, {0, false, 7501}, {0, true, 7500}};
    for (const auto& c : cases) {
      s.SetCollate(c.collate);
      s.SetLayoutOptionBits(0x80, c.reverse ? 1 : 0);
      Revisit(page);
      EXPECT_EQ(page.shared().order_picture_id, c.picture) << c.collate << " " << c.reverse;
    }
    // Clicks change the settings and the picture with them; a box checked without the settings
    // leaves the picture alone.
    s.SetCollate(0);
    s.SetLayoutOptionBits(0x80, 0);
    Revisit(page);
    page.Click(kCollateCheck);
    EXPECT_EQ(s.IsCollateOn(), 1);
    EXPECT_EQ(page.shared().order_picture_id, 7503);
    page.Click(kReverseOrderCheck);
    EXPECT_EQ(page.shared().order_picture_id, 7502);
    CheckDlgButton(page.window(), kCollateCheck, BST_UNCHECKED);
    UpdateOrderPicture(page.window(), page.param());
    EXPECT_EQ(page.shared().order_picture_id, 7502);
    page.Press(PSBTN_OK);
  });
  EXPECT_EQ(result, CPSUI_OK);
  EXPECT_EQ(sheet.out().Public.dmCollate, DMCOLLATE_TRUE);
}

TEST_F(PaperPageOnSheet, OneSourceModelHidesTheSourceList) {
  testkit::ModelDescription model = test::PaperModel();
  model.sources.resize(1);
  DocumentSheet sheet(model);
  ASSERT_TRUE(sheet.ok()) << sheet.error();
  sheet.Run(test::kPaperPosition, [](SheetPage& page) {
    for (int control : {kPaperSourceList, kPaperSourceLabel}) {
      EXPECT_FALSE(page.Visible(control)) << control;
      EXPECT_FALSE(page.Enabled(control)) << control;
    }
    EXPECT_GT(SendMessageA(page.item(kPaperSizeList), CB_GETCOUNT, 0, 0), 0);
    page.Press(PSBTN_OK);
  });
}

TEST_F(PaperPageOnSheet, CutModeListsBySourceClassAndMedia) {
  const struct {
    const char* name;
    int source;
    std::vector<UINT> texts;  // strings of modes 0..n-1
  } sources[] = {{"wide", test::kWideRoll, {8087, 8088, 8089, 8103}}, {"narrow", test::kNarrowRoll, {8087, 8102}}};
  for (const uint32_t media_flags8 : {0u, 4u}) {
    SCOPED_TRACE(media_flags8);
    DocumentSheet sheet(test::PaperModel(kCutter, media_flags8));
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    for (const auto& c : sources) {
      // The page fills the list when it first opens: the source is chosen on the main page.
      sheet.Run(test::kMainPosition, [&](SheetPage& page) {
        settings::JobSettings& s = page.settings();
        testkit::MessageBoxWatcher boxes;
        test::UseSource(s, c.source);
        s.SetCutOptions(0);
        page.TurnTo(test::kPaperPosition);
        std::vector<std::string> expected;
        for (UINT id : c.texts) expected.push_back(LibraryText(page, id));
        EXPECT_EQ(page.ItemTexts(kCutModeList), expected) << c.name;
        EXPECT_TRUE(page.Enabled(kCutModeList)) << c.name;
        for (int mode = 0; mode < static_cast<int>(c.texts.size()); ++mode) {
          s.SetCutOptions(0);
          Revisit(page);
          ASSERT_TRUE(page.Choose(kCutModeList, mode)) << c.name;
          // Media bit 4 allows only mode 0; a refused mode leaves the stored one shown.
          const bool accepted = media_flags8 == 0 || mode == 0;
          EXPECT_EQ(GetCutModeFromSettings(s), accepted ? mode + 1 : 1) << c.name << " mode " << mode;
          if (!accepted) {
            EXPECT_EQ(page.Selected(kCutModeList), 0) << c.name << " mode " << mode;
          }
        }
        page.Press(PSBTN_CANCEL);
      });
    }
  }
}

TEST_F(PaperPageOnSheet, FeedModesOfTheSources) {
  DocumentSheet sheet(test::PaperModel());
  ASSERT_TRUE(sheet.ok()) << sheet.error();
  sheet.Run(test::kPaperPosition, [](SheetPage& page) {
    const struct {
      const char* name;
      int source;
      bool enabled;
      std::vector<LPARAM> modes;
    } cases[] = {{"special feed 257", test::kSpecialFeed, true, {1}},
                 {"wide roll", test::kWideRoll, true, {0, 1}},
                 {"sheet feeder", test::kSheetFeeder, false, {}}};
    for (const auto& c : cases) {
      test::UseSource(page.settings(), c.source);
      page.settings().SetScalingOptions(0);
      Revisit(page);
      EXPECT_EQ(page.Items(kFeedModeList), c.modes) << c.name;
      EXPECT_EQ(page.Enabled(kFeedModeList), c.enabled) << c.name;
    }
    page.Press(PSBTN_CANCEL);
  });
}

// A source the current media does not allow: its message, the settings as they were, and OK
// hands back the record with the source it had.
TEST_F(PaperPageOnSheet, RefusedSourceShowsItsMessageAndLeavesTheSettings) {
  testkit::ModelDescription model = test::PaperModel();
  for (auto& media : model.media) media.flags4 = ~0x0Cu;  // no media for source 1
  DocumentSheet sheet(model);
  ASSERT_TRUE(sheet.ok()) << sheet.error();
  short source_before = 0;
  const LONG_PTR result = sheet.Run(test::kPaperPosition, [&](SheetPage& page) {
    settings::JobSettings& s = page.settings();
    test::UseSource(s, test::kSheetFeeder);
    Revisit(page);
    // A media conflict on a source whose feed flags have no code of their own: code 50, message 40.
    ASSERT_EQ(GetSourceConflictMessage(page.param(), test::kNarrowRoll), 50) << "the model refuses source 1";
    source_before = s.GetDriverDevMode()->Public.dmDefaultSource;
    const settings::DriverDevMode before = *s.GetDriverDevMode();
    MessageText expected{};
    BuildSettingsMessage(page.param(), 40, &expected);
    testkit::MessageBoxWatcher boxes;
    ASSERT_TRUE(page.Choose(kPaperSourceList, test::kNarrowRoll));
    EXPECT_EQ(std::memcmp(&before, s.GetDriverDevMode(), sizeof(before)), 0) << "settings unchanged";
    EXPECT_EQ(page.Selected(kPaperSourceList), test::kSheetFeeder);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, expected.text);
    EXPECT_EQ(boxes.shown()[0].caption, expected.caption);
    page.Press(PSBTN_OK);
  });
  EXPECT_EQ(result, CPSUI_OK);
  EXPECT_EQ(sheet.out().Public.dmDefaultSource, source_before);
}

}  // namespace
}  // namespace kalimu::pages
